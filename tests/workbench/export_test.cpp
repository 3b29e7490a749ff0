// Text export of data files: the signal and parameter tables, their lines
// and headings, and the files a user must not lose.
#include "tests/workbench/DataFileRig.h"

#include "analyzer/Serialfunctions.h"
#include "platform/DialogHook.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <locale>

using namespace datafile;

namespace {

const std::string SignalHeader = "Flow (lpm)\tVolume (ml)\tAirway Pressure (cmH2O)\tLow Pressure (cmH2O)\t"
                                 "High Pressure (psi)\tBarometric Pressure (mmHg)\tOxygen(%)\tTemperature (C)\t"
                                 "Relative Humidity (%)\tTime\r\n";
const std::string ParameterHeader =
    "Minute Volume (lpm)\tTidal Volume (ml)\tBase Flow (lpm)\tPIF (lpm)\tPEF (lpm)\tPIP (cmH2O)\tPEEP (cmH2O)\t"
    "IPP (cmH2O)\tMAP (cmH2O)\tBreath Rate\tIn. Hold (sec)\tEx. Hold (sec)\tIn. Time (sec)\tEx. Time (sec)\t"
    "I:E Ratio\tCompliance (ml/cmH2O)\tMin Airway Press\tAssist Press\tTime\r\n";

// A waveform frame of length L with flow, temperature (tenths of a kelvin)
// and relative humidity (tenths of a percent).
TDataFileRecord WaveOf(uint8_t L, uint8_t S1, uint16_t Flow, uint16_t TempTenths = 0, uint16_t RhTenths = 0)
{
    Bytes F(L, 0);
    F[0] = ':';
    F[1] = '?';
    F[2] = L;
    F[3] = S1;
    F[5] = static_cast<uint8_t>(Flow >> 8);
    F[6] = static_cast<uint8_t>(Flow);
    if (L >= 30) {
        F[24] = static_cast<uint8_t>(RhTenths >> 8);
        F[25] = static_cast<uint8_t>(RhTenths);
        F[26] = static_cast<uint8_t>(TempTenths >> 8);
        F[27] = static_cast<uint8_t>(TempTenths);
    }
    return MakeDataRecord(drtWaveform, L, F.data(), 0);
}

std::string FileText(const std::string& Name)
{
    std::string Data;
    ReadWholeFile(Name, Data);
    return Data;
}

// A folder of its own; message boxes answered with Answer and kept.
struct ExportRig {
    std::string Dir;
    int Answer = mrOk;
    std::vector<std::string> Messages;
    TDialogAnswerer Old;
    ExportRig()
    {
        char Template[] = "/tmp/ozexp-XXXXXX";
        Dir = ::mkdtemp(Template);
        Old = SetDialogAnswerer([this](const TDialogRequest& Rq, TDialogAnswer& An) {
            if (Rq.Kind != TDialogKind::MessageBox)
                return false;
            Messages.push_back(Rq.Text);
            An.ModalResult = Answer;
            return true;
        });
    }
    ~ExportRig()
    {
        SetDialogAnswerer(Old);
        std::error_code Ec;
        std::filesystem::remove_all(Dir, Ec);
    }
    std::string Write(const std::string& Name, const std::vector<TDataFileRecord>& Records, size_t Extra = 0)
    {
        const std::string Path = Dir + "/" + Name;
        WriteRecords(Path, Records, Extra);
        return Path;
    }
};

// A small recording: a header time, a wave, two time marks in a row, a
// short wave, a parameter record of each firmware and a partial record.
std::vector<TDataFileRecord> SmallRecording()
{
    return {
        MakeMarkerRecord(0),
        MakeTextRecord(drtTimeStamp, "09:00:00", 0),
        MakeTextRecord(drtSubject, "Subject:       Bob", 0),
        WaveOf(30, 0x80, 2500, 2981, 455),
        WaveOf(30, 0x00, 250, 2981, 455),
        MakeMarkerRecord(0),
        MakeTextRecord(drtTimeStamp, "09:00:01", 0),
        MakeTextRecord(drtTimeStamp, "09:00:02", 0),
        WaveOf(25, 0x40, 0x01F4),
        ParamRecord(drtParameters, 100, 200, 150),
        MakeTextRecord(drtTimeStamp, "09:00:03", 0),
        ParamRecord(drtParametersOld, 20, 10, 15),
    };
}

}  // namespace

TEST(Export, SignalAndParameterTablesOfASmallRecordingByteForByte)
{
    ExportRig R;
    const std::string Source = R.Write("small.zrp", SmallRecording(), 60);
    ASSERT_TRUE(ExportDataFile(Source, 0));
    ASSERT_TRUE(ExportDataFile(Source, 1));
    EXPECT_TRUE(R.Messages.empty());
    // The temperature in degrees Celsius; a short frame has none, nor
    // humidity; the time on the first line after a time mark only, and of
    // two marks in a row the second.
    EXPECT_EQ(FileText(R.Dir + "/small.sig"), SignalHeader +
                                                  "2.500\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t25.0\t45.5\t09:00:00\r\n"
                                                  "2.50\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t25.0\t45.5\r\n"
                                                  "-5.00\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t-----\t-----\t09:00:02\r\n");
    // The I:E ratio of 1 s in, 2 s out prints as "1:2.00"; old firmware
    // scales rate and times by ten less.
    EXPECT_EQ(FileText(R.Dir + "/small.par"),
              ParameterHeader +
                  "0.000\t0.0\t0.00\t0.00\t0.00\t0.0\t0.0\t0.0\t0.0\t15.0\t0.00\t0.00\t1.00\t2.00\t1:2.00\t0.0\t0.0\t0.0"
                  "\t09:00:02\r\n"
                  "0.000\t0.0\t0.00\t0.00\t0.00\t0.0\t0.0\t0.0\t0.0\t15.0\t0.00\t0.00\t2.00\t1.00\t2.00:1\t0.0\t0.0\t0.0"
                  "\t09:00:03\r\n");
}

namespace {

// A C++ locale that writes a decimal comma.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

}  // namespace

TEST(Export, NumbersUseAPointInEveryLocale)
{
    ExportRig R;
    const std::string Source = R.Write("de.zrp", {WaveOf(30, 0, 250, 2981, 455)});
    const std::locale Old = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    const bool German = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    const bool Exported = ExportDataFile(Source, 0);
    std::setlocale(LC_ALL, "C");
    std::locale::global(Old);
    ASSERT_TRUE(Exported);
    EXPECT_EQ(FileText(R.Dir + "/de.sig"), SignalHeader + "2.50\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\t25.0\t45.5\r\n")
        << (German ? "with" : "without") << " a German C locale";
}

TEST(Export, TextsAreWrittenAsTheyAreNeverAsAFormat)
{
    ExportRig R;
    const std::string Source =
        R.Write("fmt.zrp", {MakeTextRecord(drtTimeStamp, "%s%n%d %%", 0), WaveOf(25, 0, 0)});
    ASSERT_TRUE(ExportDataFile(Source, 0));
    const std::string Text = FileText(R.Dir + "/fmt.sig");
    EXPECT_NE(Text.find("\t%s%n%d %%\r\n"), std::string::npos) << Text;
}

TEST(Export, AWaveformOnlyRecordingGivesAParameterTableOfItsHeaderAlone)
{
    ExportRig R;
    const std::string Source = R.Write("waves.zrp", {MakeTextRecord(drtTimeStamp, "t", 0), WaveOf(30, 0, 1)});
    ASSERT_TRUE(ExportDataFile(Source, 1));
    EXPECT_EQ(FileText(R.Dir + "/waves.par"), ParameterHeader);
}

TEST(Export, RefusedExportsWriteNothing)
{
    ExportRig R;
    const std::string Source = R.Write("run.zrp", {WaveOf(30, 0, 1)});
    EXPECT_FALSE(ExportDataFile(R.Dir + "/missing.zrp", 0));
    EXPECT_FALSE(ExportDataFile(Source, 2));
    EXPECT_FALSE(ExportDataFile(Source, -1));
    EXPECT_TRUE(R.Messages.empty());
    EXPECT_FALSE(FileExists(R.Dir + "/missing.sig"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(R.Dir), {}), 1);
}

TEST(Export, AnExistingTableIsOverwrittenOnlyWhenTheUserAgrees)
{
    ExportRig R;
    const std::string Source = R.Write("run.zrp", {WaveOf(30, 0, 1)});
    const std::string Table = R.Dir + "/run.sig";
    ASSERT_TRUE(ExportDataFile(Source, 0));
    const std::string First = FileText(Table);
    R.Write("run.zrp", {WaveOf(30, 0, 2)});

    R.Answer = mrCancel;
    EXPECT_FALSE(ExportDataFile(Source, 0));
    ASSERT_EQ(R.Messages.size(), 1u);
    EXPECT_EQ(R.Messages[0], "File \"run.sig\" already exists.  Overwrite?");
    EXPECT_EQ(FileText(Table), First);

    R.Answer = mrOk;
    EXPECT_TRUE(ExportDataFile(Source, 0));
    EXPECT_EQ(R.Messages.size(), 2u);
    EXPECT_NE(FileText(Table), First);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(R.Dir), {}), 2);   // no temporary left
}

TEST(Export, ATableThatWouldBeTheSourceIsRefused)
{
    ExportRig R;
    const std::string Source = R.Write("x.sig", {WaveOf(30, 0, 1)});
    const std::string Before = FileText(Source);
    EXPECT_FALSE(ExportDataFile(Source, 0));
    EXPECT_EQ(FileText(Source), Before);
    ASSERT_EQ(R.Messages.size(), 1u);
    EXPECT_NE(R.Messages[0].find("x.sig"), std::string::npos);
}

TEST(Export, AFailedWriteIsReportedWithItsReason)
{
    ExportRig R;
    const std::string Source = R.Write("run.zrp", {WaveOf(30, 0, 1)});
    std::filesystem::create_directory(R.Dir + "/run.par");   // the table's name is taken by a folder
    EXPECT_FALSE(ExportDataFile(Source, 1));
    ASSERT_EQ(R.Messages.size(), 1u);
    EXPECT_NE(R.Messages[0].find("run.zrp"), std::string::npos) << R.Messages[0];
    EXPECT_NE(R.Messages[0].find("run.par"), std::string::npos) << R.Messages[0];
    EXPECT_TRUE(std::filesystem::is_directory(R.Dir + "/run.par"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(R.Dir), {}), 2);
}
