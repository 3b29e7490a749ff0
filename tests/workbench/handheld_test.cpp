// The handheld unit's records: the directory and the download against the
// simulated handheld, the handheld files they make, and importing them
// through the live-data callbacks.
#include "platform/Buttons.h"
#include "platform/CheckLst.h"
#include "platform/ComCtrls.h"
#include "platform/DialogHook.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"
#include "tests/workbench/MainRig.h"
#include "tools/analyzer-sim/SimEncode.h"
#include "tools/analyzer-sim/SimScripts.h"
#include "workbench/FileDownload.h"
#include "workbench/Zrmobilefilerecord.h"
#include "chart/Chart.h"
#include "chart/Series.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace {

// The handheld file text of an image, built here byte by byte.
std::string TokensOf(const std::vector<uint8_t>& Image)
{
    std::string S;
    char T[8];
    for (uint8_t B : Image) {
        std::snprintf(T, sizeof T, "0x%02X ", B);
        S += T;
    }
    return S;
}

std::string ReadFile(const std::string& Name)
{
    std::ifstream F(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(F), {});
}

void WriteFile(const std::string& Name, const std::string& Text)
{
    std::ofstream F(Name, std::ios::binary);
    F << Text;
}

TDateTime RecordTime(const sim::SimHandheldRecord& R)
{
    return EncodeDate(static_cast<uint16_t>(2000 + R.Year), R.Month, R.Day) + EncodeTime(R.Hour, R.Minute, R.Second, 0);
}

// Answers the dialogs of a test: the folder browser with Folder (or Cancel
// when it is empty), the overwrite question as Overwrite says, other boxes
// with OK; OnMessage sees each message box first.
struct Answers {
    std::string Folder;
    int Overwrite = mrOk;
    std::vector<std::string> Messages;
    int FolderQuestions = 0;
    std::function<void(const std::string&)> OnMessage;
    TDialogAnswerer Old;

    Answers()
    {
        Old = SetDialogAnswerer([this](const TDialogRequest& Q, TDialogAnswer& A) {
            if (Q.Kind == TDialogKind::BrowseFolder) {
                ++FolderQuestions;
                A.ModalResult = Folder.empty() ? mrCancel : mrOk;
                A.FileName = Folder;
                return true;
            }
            Messages.push_back(Q.Text);
            if (OnMessage)
                OnMessage(Q.Text);
            A.ModalResult = Q.Text.rfind("File already exists.", 0) == 0 ? Overwrite : mrOk;
            return true;
        });
    }
    ~Answers() { SetDialogAnswerer(Old); }
};

// The main window connected to a simulated handheld holding Records, with
// the download dialog.
struct HandheldRig {
    MainRig R;
    std::unique_ptr<TdlgFileDownload> Dlg;
    std::string Out;

    explicit HandheldRig(const std::vector<sim::SimFile>& Files)
    {
        {
            auto L = R.Sim.Lock();
            R.Sim.Device().Kind = sim::DeviceKind::Handheld;
            R.Sim.Device().Files = Files;
        }
        R.StartSim();
        // Connected at the simulator's rate, as a handheld.
        R.ConnectAtOwnRate();
        R.Form->ConfigureForDevice(2, "1.05.14");
        Dlg = std::make_unique<TdlgFileDownload>(nullptr, ZebbSer);
        dlgFileDownload = Dlg.get();
        Out = R.Dir + "/out";
        std::filesystem::create_directory(Out);
    }
    ~HandheldRig() { Dlg.reset(); }

    TCheckListBox* List() { return Find<TCheckListBox>(Dlg.get(), "FileList"); }
    // Asks for the directory as the menu does; true once Lines lines show.
    bool ShowDirectory(int Lines)
    {
        Find<TAction>(R.Form.get(), "actnDownloadFiles")->Execute();
        return ProcessUntil([&] { return List()->Count() == Lines && R.Got('I').size() >= 1; });
    }
    std::vector<std::string> Lines()
    {
        std::vector<std::string> L;
        for (int i = 0; i < List()->Count(); ++i)
            L.push_back(List()->Items()->Strings(i));
        return L;
    }
    void CheckAll()
    {
        for (int i = 0; i < List()->Count(); ++i)
            List()->SetChecked(i, true);
    }
    void Download() { Find<TButton>(Dlg.get(), "btnDownload")->Click(); }
    bool Ready()
    {
        return Find<TButton>(Dlg.get(), "btnDownload")->Enabled() && List()->Enabled() &&
               !Find<TProgressBar>(Dlg.get(), "ProgressBar")->Visible() && !Dlg->Downloading();
    }
};

sim::SimFile FileOf(sim::SimHandheldRecord R, const std::string& Name)
{
    R.Name = Name;
    return sim::HandheldFile(R);
}

}  // namespace

// ----------------------------------------------------------------- directory

TEST(HandheldDirectory, ListsValidEntriesUncheckedAndDropsBlanksFromNames)
{
    HandheldRig H({sim::HandheldFile(sim::DemoHandheldRecord(0)), sim::HandheldFile(sim::DemoHandheldRecord(1)),
                   sim::HandheldFile(sim::DemoHandheldRecord(2))});
    TMainForm& F = *H.R.Form;
    SetApplicationMainForm(&F);
    F.SetBounds(120, 90, 900, 600);
    F.Show();
    Find<TTimer>(&F, "tmrStartHandshake")->SetEnabled(false);   // connected already
    ASSERT_TRUE(H.ShowDirectory(3));
    // The dialog opens over the main window, not at the screen's corner
    // over the menu bar.
    EXPECT_NEAR(H.Dlg->Left() + H.Dlg->Width() / 2, F.Left() + F.Width() / 2, 2);
    EXPECT_NEAR(H.Dlg->Top() + H.Dlg->Height() / 2, F.Top() + F.Height() / 2, 2);
    EXPECT_GT(H.Dlg->Top(), F.Top() + F.Height() - F.ClientHeight());
    SetApplicationMainForm(nullptr);
    EXPECT_EQ(H.Lines(), (std::vector<std::string>{"(0)  VentTest1  10/Jun/2024 09:00 a",
                                                   "(1)  VentTest2  11/Jun/2024 10:00 a",
                                                   "(2)  LeakCheck  12/Jun/2024 11:00 a"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(H.List()->Checked(i));
    EXPECT_TRUE(H.Dlg->Visible());
    EXPECT_EQ(H.Dlg->FormStyle(), fsStayOnTop);
    EXPECT_EQ(H.Dlg->Caption(), "File Download");
    EXPECT_FALSE(Find<TProgressBar>(H.Dlg.get(), "ProgressBar")->Visible());
}

TEST(HandheldDirectory, EmptyDirectoryDownloadsNothingAndIsReadyAtOnce)
{
    HandheldRig H({});
    Answers A;
    A.Folder = H.Out;
    Find<TAction>(H.R.Form.get(), "actnDownloadFiles")->Execute();
    ASSERT_TRUE(ProcessUntil([&] { return H.Dlg->FileInfo(0).Name.empty() && H.R.Got('I').size() == 1; }));
    ProcessFor(100);
    EXPECT_EQ(H.List()->Count(), 0);
    H.Download();
    EXPECT_TRUE(H.Ready());
    EXPECT_EQ(A.FolderQuestions, 0);
    EXPECT_TRUE(A.Messages.empty());
    EXPECT_TRUE(std::filesystem::is_empty(H.Out));
}

// ------------------------------------------------------------------ download

// Two files downloaded end to end: each file holds the tokens of the
// simulator's image, 80,000 bytes, dated with the record's date and time,
// named after the record with ".zrm" for its extension; the imported file
// gives back the encoder's values.
TEST(HandheldDownload, FilesHoldTheImageAsTokensWithTheRecordsTime)
{
    const sim::SimHandheldRecord Vent = sim::DemoHandheldRecord(0);
    sim::SimHandheldRecord Leak = sim::DemoHandheldRecord(2);
    Leak.Minute = 41;
    Leak.Second = 17;
    HandheldRig H({FileOf(Vent, "Run.1"), FileOf(Leak, "Test")});
    ASSERT_TRUE(H.ShowDirectory(2));
    H.CheckAll();
    Answers A;
    A.Folder = H.Out;
    H.Download();
    EXPECT_TRUE(H.Ready());
    EXPECT_TRUE(A.Messages.empty());
    EXPECT_EQ(A.FolderQuestions, 1);
    EXPECT_EQ(AnsweredDialogs().back().InitialDir, H.Dlg->Directory());
    EXPECT_EQ(Find<TProgressBar>(H.Dlg.get(), "ProgressBar")->Position(), 100);

    const struct {
        const char* File;
        const sim::SimHandheldRecord* Record;
        std::string Name;
    } Want[] = {{"Run.zrm", &Vent, "Run.1"}, {"Test.zrm", &Leak, "Test"}};
    for (const auto& W : Want) {
        const std::string Path = H.Out + "/" + W.File;
        sim::SimHandheldRecord R = *W.Record;
        R.Name = W.Name;
        const std::string Text = ReadFile(Path);
        EXPECT_EQ(Text.size(), 80000u) << W.File;
        EXPECT_TRUE(Text == TokensOf(sim::HandheldImage(R))) << W.File;
        TDateTime Age = 0;
        ASSERT_TRUE(FileAge(Path, Age));
        EXPECT_NEAR(Age, RecordTime(R), 0.5 / SecsPerDay) << W.File;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(H.Out), {}), 2);

    // Round trip: the downloaded file imports the encoder's values.
    TZRMobSavedRecord Rec;
    ASSERT_EQ(Rec.LoadFromFile(H.Out + "/Run.zrm"), zrRead);
    EXPECT_EQ(Rec.Name(), "Run.1");
    EXPECT_NEAR(Rec.DateTime(), RecordTime(Vent), 1e-6);
    EXPECT_EQ(Rec.SampleCount(), 1500);
    for (int k : {0, 1, 700, 1499}) {
        const TWaveformSample S = Rec.GetSample(k);
        EXPECT_NEAR(S.Flow, Vent.Samples[k].Flow, 0.0051) << k;
        EXPECT_NEAR(S.Volume, Vent.Samples[k].Volume, 0.051) << k;
        EXPECT_NEAR(S.AirwayPressure, Vent.Samples[k].Pressure, 0.051) << k;
        EXPECT_NEAR(S.HighPressure, Vent.Samples[k].HighPressure, 0.0051) << k;
        EXPECT_EQ(S.LowPressure, NoValue);
    }
    ASSERT_TRUE(H.R.Form->ImportHandheldFile(H.Out + "/Run.zrm"));
    const TSignalStats& Flow = H.R.Form->SignalStats(sigFlow);
    EXPECT_NEAR(Flow.MinValue(), Vent.Flow.Min, 0.0051);
    EXPECT_NEAR(Flow.MaxValue(), Vent.Flow.Max, 0.0051);
    EXPECT_NEAR(Flow.MeanValue(), Vent.Flow.Mean, 0.0051);
    EXPECT_NEAR(Probe(*H.R.Form).ParamStats(parTidalVolume1).MaxValue(), Vent.TidalVolume.Max, 0.051);
    EXPECT_NEAR(H.R.Form->LastParameters().GetValue(parPIP), Vent.LastBreath.PIP, 0.051);
}

// A failed file is told and the next one still comes; Cancel on the
// overwrite question keeps that file only; a name with '/' or without one
// of its own stays inside the folder; a record without a valid date keeps
// the time it was written. The download holds the device commands and
// "Download Files" meanwhile leaves the directory alone.
TEST(HandheldDownload, FailuresAndRefusalsSkipOneFileOnly)
{
    sim::SimHandheldRecord Bad = sim::DemoHandheldRecord(1);
    Bad.Month = 13;
    std::vector<sim::SimFile> Files = {FileOf(sim::DemoHandheldRecord(0), "Lost"),
                                       FileOf(sim::DemoHandheldRecord(0), "Kept.x"),
                                       FileOf(sim::DemoHandheldRecord(1), "../up"), FileOf(Bad, "..")};
    Files[0].DropBlocks = {17};
    HandheldRig H(Files);
    ASSERT_TRUE(H.ShowDirectory(4));
    H.CheckAll();
    WriteFile(H.Out + "/Kept.zrm", "old");
    Answers A;
    A.Folder = H.Out;
    A.Overwrite = mrCancel;
    const size_t DirectoryRequests = H.R.Got('I').size();
    bool SawLock = false;
    A.OnMessage = [&](const std::string& Text) {
        if (Text != "ERROR: Could Not Download File")
            return;
        // Between two files: the menu command is held, and run anyway it
        // only brings the dialog to the front.
        TAction* Menu = Find<TAction>(H.R.Form.get(), "actnDownloadFiles");
        SawLock = H.Dlg->Downloading() && H.R.Form->DeviceCommandRunning() && !Menu->Enabled() &&
                  !Find<TAction>(H.R.Form.get(), "actnSerialModeBoth")->Enabled();
        H.R.Form->actnDownloadFilesExecute(nullptr);
        EXPECT_EQ(H.List()->Count(), 4);
        EXPECT_TRUE(H.Dlg->FileInfo(3).Valid);
    };
    const TDateTime Before = Now();
    H.Download();
    EXPECT_TRUE(H.Ready());
    EXPECT_TRUE(SawLock);
    EXPECT_FALSE(H.R.Form->DeviceCommandRunning());
    EXPECT_EQ(A.Messages, (std::vector<std::string>{"ERROR: Could Not Download File",
                                                    "File already exists.  'Kept.zrm' Overwrite?"}));
    EXPECT_EQ(ReadFile(H.Out + "/Kept.zrm"), "old");
    EXPECT_FALSE(std::filesystem::exists(H.Out + "/Lost.zrm"));
    EXPECT_EQ(ReadFile(H.Out + "/..zrm").size(), 80000u);
    EXPECT_FALSE(std::filesystem::exists(H.R.Dir + "/up.zrm"));
    EXPECT_EQ(ReadFile(H.Out + "/handheld-3.zrm").size(), 80000u);
    TDateTime Age = 0;
    ASSERT_TRUE(FileAge(H.Out + "/handheld-3.zrm", Age));
    EXPECT_GE(Age, Before - 2.0 / SecsPerDay);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(H.Out), {}), 3);
    // The menu command during the download asked for no directory.
    size_t Requests = 0;
    for (const sim::Frame& F : H.R.Got('I'))
        Requests += !F.Payload.empty() && F.Payload[0] == 'L';
    EXPECT_EQ(DirectoryRequests, 1u);
    EXPECT_EQ(Requests, 1u);
}

// While another device command waits for its acknowledgement, Download
// starts nothing: the two would share the analyzer's replies.
TEST(HandheldDownload, WaitsForAnotherDeviceCommand)
{
    HandheldRig H({FileOf(sim::DemoHandheldRecord(0), "Run")});
    ASSERT_TRUE(H.ShowDirectory(1));
    H.CheckAll();
    Answers A;
    A.Folder = H.Out;
    {
        TMainForm::TDeviceCommandLock Busy(*H.R.Form);
        H.Download();
        EXPECT_EQ(A.FolderQuestions, 0);
        EXPECT_TRUE(std::filesystem::is_empty(H.Out));
    }
    H.Download();
    EXPECT_EQ(A.FolderQuestions, 1);
    EXPECT_FALSE(std::filesystem::is_empty(H.Out));
}

TEST(HandheldDownload, FileNamesStayInsideTheFolder)
{
    const struct {
        const char* Name;
        int Index;
        const char* File;
    } Cases[] = {
        {"Run.1", 0, "Run.zrm"},      {"Test", 1, "Test.zrm"},       {"a.b.c", 2, "a.b.zrm"},
        {"a/b", 3, "a_b.zrm"},        {"../x", 4, "..zrm"}    ,       {"", 5, "handheld-5.zrm"},
        {".", 6, "handheld-6.zrm"},   {"..", 7, "handheld-7.zrm"},   {"/", 8, "_.zrm"},
    };
    for (const auto& C : Cases) {
        TZRMobFileInfo E;
        E.Name = C.Name;
        E.Index = C.Index;
        EXPECT_EQ(HandheldFileName(E), C.File) << C.Name;
    }
}

// A file that cannot be written is told by name and nothing is left behind.
TEST(HandheldDownload, UnwritableFileIsToldByName)
{
    MainRig R;
    TdlgFileDownload Dlg(nullptr, nullptr);
    Answers A;
    TZRMobFileInfo E;
    E.Name = "Rec";
    E.DateTime = EncodeDate(2024, 6, 1);
    const std::string Missing = R.Dir + "/no-such-folder";
    EXPECT_EQ(Dlg.SaveImage(std::vector<uint8_t>(ZrmImageSize, 1), E, Missing), siFailed);
    ASSERT_EQ(A.Messages.size(), 1u);
    EXPECT_NE(A.Messages[0].find(Missing + "/Rec.zrm"), std::string::npos) << A.Messages[0];
    EXPECT_FALSE(std::filesystem::exists(Missing));

    // Confirmed, an existing file is replaced whole.
    WriteFile(R.Dir + "/Rec.zrm", "old");
    EXPECT_EQ(Dlg.SaveImage(std::vector<uint8_t>(ZrmImageSize, 0xAB), E, R.Dir), siSaved);
    EXPECT_EQ(ReadFile(R.Dir + "/Rec.zrm"), TokensOf(std::vector<uint8_t>(ZrmImageSize, 0xAB)));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(R.Dir), {}), 1);
}

// -------------------------------------------------------------------- import

namespace {

struct ImportRig {
    MainRig R;
    Answers A;
    ImportRig() { R.Build(); }
    std::string Write(const sim::SimHandheldRecord& Rec, const std::string& Name = "rec.zrm")
    {
        const std::string Path = R.Dir + "/" + Name;
        WriteFile(Path, TokensOf(sim::HandheldImage(Rec)));
        return Path;
    }
};

sim::SimHandheldRecord Breathing()
{
    sim::SimHandheldRecord R = sim::DemoHandheldRecord(0);
    R.Flow = {-77.7, 88.8, 12.34, 5.5};
    return R;
}

int DrawnPoints(TComponent* Form, const char* Series)
{
    TFastLineSeries* S = Find<TFastLineSeries>(Form, Series);
    int N = 0;
    for (int i = 0; i < S->Count(); ++i)
        N += !S->IsNull(i);
    return N;
}

}  // namespace

// The samples go through the live path (one sweep step each), the stored
// statistics replace the computed ones and the monitor labels show them at
// once.
TEST(HandheldImport, LabelsShowTheStoredStatistics)
{
    ImportRig I;
    TMainForm& F = *I.R.Form;
    const sim::SimHandheldRecord Rec = Breathing();
    Find<TToolSpeedButton>(&F, "btnPIPSelect")->Click();
    ASSERT_TRUE(F.ImportHandheldFile(I.Write(Rec)));
    EXPECT_TRUE(I.A.Messages.empty());
    EXPECT_EQ(Probe(F).SampleTime(), 1499);
    EXPECT_EQ(Probe(F).MonitorPlot(0).SweepPos(), 1500);
    EXPECT_GT(DrawnPoints(&F, "seriesMonitor1_1"), 1400);
    const TSignalStats& Flow = F.SignalStats(sigFlow);
    EXPECT_FLOAT_EQ(Flow.MinValue(), -77.7f);
    EXPECT_FLOAT_EQ(Flow.MaxValue(), 88.8f);
    EXPECT_FLOAT_EQ(Flow.MeanValue(), 12.34f);
    EXPECT_FALSE(Flow.ResetPending());
    EXPECT_EQ(Find<TLabel>(&F, "lblMinMonitor1")->Caption(), Flow.FormatMin(false));
    EXPECT_EQ(Find<TLabel>(&F, "lblMaxMonitor1")->Caption(), Flow.FormatMax(false));
    EXPECT_EQ(Find<TLabel>(&F, "lblAvgMonitor1")->Caption(), Flow.FormatMean(false));
    EXPECT_EQ(Find<TLabel>(&F, "lblCurrMonitor1")->Caption(), Flow.FormatSmoothed(false));
    EXPECT_EQ(Find<TLabel>(&F, "lblAvgMonitor1")->Caption(), Flow.FormatValue(12.34f, false));
    EXPECT_EQ(Find<TLabel>(&F, "lblCurrMonitor1")->Caption(), Flow.FormatValue(5.5f, false));

    // The Full Test details show the stored statistics of the chosen
    // parameter.
    const TSignalStats& PIP = Probe(F).ParamStats(parPIP);
    EXPECT_NEAR(PIP.MaxValue(), Rec.PIP.Max, 0.051);
    EXPECT_EQ(Find<TLabel>(&F, "lblFullDetailMax")->Caption(), PIP.FormatMax(false));
    EXPECT_EQ(Find<TLabel>(&F, "lblFullDetailAvg")->Caption(), PIP.FormatMean(false));

    // The plots are fitted to the record.
    const TChartAxis* Axis = Find<TChart>(&F, "chartMonitor1")->LeftAxis();
    EXPECT_LE(Axis->Minimum(), -77.7);
    EXPECT_GE(Axis->Maximum(), 88.8);
    EXPECT_LT(Axis->Maximum(), 120);
    EXPECT_GE(Find<TChart>(&F, "chartMonitor2")->LeftAxis()->Maximum(), Rec.Pressure.Max);

    // A picture of the monitor page after the import, for a person.
    F.SetBounds(10, 10, 900, 600);
    F.Show();
    ProcessFor(100);
    std::unique_ptr<TBitmap> Image(F.GetFormImage());
    ASSERT_TRUE(Image);
    Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/workbench-handheld-import.png");
}

// After the import the Full Test page's list and its detailed view tell the
// same values, for the parameters the handheld stores statistics of and for
// those it keeps only the last breath of (the tidal volume the page shows).
TEST(HandheldImport, FullTestListAndDetailAgree)
{
    ImportRig I;
    TMainForm& F = *I.R.Form;
    const sim::SimHandheldRecord Rec = Breathing();
    ASSERT_TRUE(F.ImportHandheldFile(I.Write(Rec)));
    const std::pair<const char*, const char*> Fields[] = {
        {"btnTVSelect", "lblTV"},   {"btnMVSelect", "lblMV"},   {"btnPIPSelect", "lblPIP"},
        {"btnTiSelect", "lblTi"},   {"btnTiHSelect", "lblTiHold"}, {"btnRRSelect", "lblRR"},
    };
    for (const auto& [Button, Value] : Fields) {
        Find<TToolSpeedButton>(&F, Button)->Click();
        const std::string Listed = Find<TLabel>(&F, Value)->Caption();
        EXPECT_EQ(Find<TLabel>(&F, "lblFullDetailCurrent")->Caption(), Listed) << Button;
        EXPECT_EQ(Listed.find("-----"), std::string::npos) << Button << ": " << Listed;
    }
    // The tidal volume of the last breath, with its statistics from it.
    const TSignalStats& TV = Probe(F).ParamStats(parTidalVolume2);
    EXPECT_NEAR(TV.Current(), Rec.LastBreath.TidalVolumeInsp, 0.051);
    EXPECT_NEAR(TV.MeanValue(), Rec.LastBreath.TidalVolumeInsp, 0.051);
}

// Statistics the handheld does not store wait for their next value: live
// data after the import counts from it alone, and the stored ones carry on.
TEST(HandheldImport, UnstoredStatisticsStartAfreshWithTheNextValue)
{
    ImportRig I;
    TMainForm& F = *I.R.Form;
    sim::SimHandheldRecord Rec = Breathing();
    Rec.Oxygen = {};   // stored as absent
    TWaveformSample Live;
    Live.BaroPressure = 700;
    Live.Oxygen = 30;
    F.NewWaveformSample(Live);   // before the import
    ASSERT_TRUE(F.ImportHandheldFile(I.Write(Rec)));
    EXPECT_EQ(F.SignalStats(sigBaroPressure).FormatMean(false), "-----");
    EXPECT_EQ(F.SignalStats(sigOxygen).FormatMax(false), "-----");
    Live.BaroPressure = 760;
    Live.Oxygen = 21;
    Live.Flow = 100;
    F.NewWaveformSample(Live);
    EXPECT_FLOAT_EQ(F.SignalStats(sigBaroPressure).MinValue(), 760);
    EXPECT_FLOAT_EQ(F.SignalStats(sigBaroPressure).MeanValue(), 760);
    EXPECT_FLOAT_EQ(Probe(F).ParamStats(parBaroPressure).MeanValue(), 760);
    EXPECT_FLOAT_EQ(F.SignalStats(sigOxygen).MinValue(), 21);
    EXPECT_FLOAT_EQ(F.SignalStats(sigFlow).MaxValue(), 100);
    EXPECT_FLOAT_EQ(F.SignalStats(sigFlow).MinValue(), -77.7f);
}

// Images from the encoder, one change each, and what the import makes of
// them.
TEST(HandheldImport, ImagesTable)
{
    struct Case {
        const char* What;
        std::function<void(sim::SimHandheldRecord&)> Change;
        std::function<void(const TZRMobSavedRecord&, TMainForm&)> Check;
    };
    const Case Cases[] = {
        {"pressure mode 3 is low pressure",
         [](sim::SimHandheldRecord& R) {
             R.PressureMode = 3;
             R.Pressure = {1, 9, 4, 3};
         },
         [](const TZRMobSavedRecord& Rec, TMainForm& F) {
             EXPECT_EQ(Rec.GetSample(10).AirwayPressure, NoValue);
             EXPECT_NEAR(Rec.GetSample(10).LowPressure, Rec.Sample(10).Pressure, 1e-6);
             EXPECT_EQ(DrawnPoints(&F, "seriesMonitor2_1"), 0);
             EXPECT_FLOAT_EQ(F.SignalStats(sigLowPressure).MaxValue(), 9);
         }},
        {"another mode is airway pressure",
         [](sim::SimHandheldRecord& R) { R.PressureMode = 2; },
         [](const TZRMobSavedRecord& Rec, TMainForm& F) {
             EXPECT_EQ(Rec.GetSample(10).LowPressure, NoValue);
             EXPECT_NE(Rec.GetSample(10).AirwayPressure, NoValue);
             EXPECT_GT(DrawnPoints(&F, "seriesMonitor2_1"), 1400);
         }},
        {"an absent flow leaves a gap",
         [](sim::SimHandheldRecord& R) { R.Samples[5].Flow = sim::kAbsent; },
         [](const TZRMobSavedRecord& Rec, TMainForm& F) {
             EXPECT_EQ(Rec.GetSample(5).Flow, NoValue);
             EXPECT_NE(Rec.GetSample(6).Flow, NoValue);
             TFastLineSeries* S = Find<TFastLineSeries>(&F, "seriesMonitor1_1");
             int Nulls = 0;
             for (int i = 0; i < S->Count(); ++i)
                 Nulls += S->IsNull(i);
             EXPECT_EQ(Nulls, 2);   // the gap and the first point after it
         }},
        {"Ti 1 s and Te 2 s give 1:2.00",
         [](sim::SimHandheldRecord& R) {
             R.LastBreath.InspTime = 1.0;
             R.LastBreath.ExpTime = 2.0;
         },
         [](const TZRMobSavedRecord& Rec, TMainForm& F) {
             EXPECT_FLOAT_EQ(F.LastParameters().GetValue(parIERatio), -2.0f);
             EXPECT_EQ(F.LastParameters().ValueText(parIERatio, false), "1:2.00");
         }},
        {"Ti 3 s and Te 1.5 s give 2.00:1",
         [](sim::SimHandheldRecord& R) {
             R.LastBreath.InspTime = 3.0;
             R.LastBreath.ExpTime = 1.5;
         },
         [](const TZRMobSavedRecord& Rec, TMainForm& F) {
             EXPECT_FLOAT_EQ(F.LastParameters().GetValue(parIERatio), 2.0f);
         }},
        {"Te 0 gives no ratio",
         [](sim::SimHandheldRecord& R) {
             R.LastBreath.InspTime = 1.0;
             R.LastBreath.ExpTime = 0;
         },
         [](const TZRMobSavedRecord& Rec, TMainForm& F) {
             EXPECT_EQ(F.LastParameters().GetValue(parIERatio), NoValue);
             EXPECT_EQ(F.LastParameters().GetValue(parMinAirwayPressure), NoValue);
         }},
        {"name bytes outside 0x21..0x7E are dropped",
         [](sim::SimHandheldRecord& R) { R.Name = std::string("A b\x7F" "c\x01" "d\xC3", 8); },
         [](const TZRMobSavedRecord& Rec, TMainForm&) { EXPECT_EQ(Rec.Name(), "Abcd"); }},
        {"an invalid date gives date-time 0",
         [](sim::SimHandheldRecord& R) {
             R.Day = 31;
             R.Month = 2;
         },
         [](const TZRMobSavedRecord& Rec, TMainForm& F) {
             EXPECT_EQ(Rec.DateTime(), 0);
             EXPECT_EQ(Probe(F).SampleTime(), 1499);
         }},
        {"a count above 1,500 delivers 1,500 samples",
         [](sim::SimHandheldRecord& R) { R.SampleCount = 40000; },
         [](const TZRMobSavedRecord& Rec, TMainForm& F) {
             EXPECT_EQ(Rec.SampleCount(), 1500);
             EXPECT_EQ(Probe(F).SampleTime(), 1499);
             EXPECT_EQ(Rec.GetSample(1500).Flow, NoValue);
             EXPECT_EQ(Rec.GetSample(1500).SampleCounter, 0);
         }},
        {"a short count delivers its samples only",
         [](sim::SimHandheldRecord& R) { R.SampleCount = 30; },
         [](const TZRMobSavedRecord& Rec, TMainForm& F) {
             EXPECT_EQ(Probe(F).SampleTime(), 29);
             EXPECT_EQ(Rec.GetSample(29).SampleCounter, 29);
             EXPECT_EQ(Rec.GetSample(29).Flags[2], 1);
             EXPECT_EQ(Rec.GetSample(29).Flags[0] + Rec.GetSample(29).Flags[1], 0);
             EXPECT_EQ(Rec.GetSample(30).Flags[2], 0);
         }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        ImportRig I;
        sim::SimHandheldRecord R = Breathing();
        C.Change(R);
        const std::string Path = I.Write(R);
        TZRMobSavedRecord Rec;
        ASSERT_EQ(Rec.LoadFromFile(Path), zrRead);
        ASSERT_TRUE(I.R.Form->ImportHandheldFile(Path));
        C.Check(Rec, *I.R.Form);
    }
}

// A file that is missing, short or broken is refused by name and the
// window keeps what it showed.
TEST(HandheldImport, BrokenFilesChangeNothing)
{
    ImportRig I;
    TMainForm& F = *I.R.Form;
    ASSERT_TRUE(F.ImportHandheldFile(I.Write(Breathing())));
    const std::string Good = TokensOf(sim::HandheldImage(Breathing()));
    const struct {
        const char* What;
        std::string Text;   // "-": no file at all
        TZrmReadResult Result;
    } Cases[] = {
        {"missing", "-", zrMissing},
        {"empty", "", zrTooFewNumbers},
        {"one number short", Good.substr(0, Good.size() - 5), zrTooFewNumbers},
        {"not a number", "0xZZ " + Good, zrBadNumber},
        {"too large", "4294967296 " + Good, zrBadNumber},
        {"a decimal point", Good.substr(0, 100) + "1.5 " + Good, zrBadNumber},
    };
    const float Max = F.SignalStats(sigFlow).MaxValue();
    for (const auto& C : Cases) {
        const std::string Path = I.R.Dir + "/broken.zrm";
        std::filesystem::remove(Path);
        if (C.Text != "-")
            WriteFile(Path, C.Text);
        I.A.Messages.clear();
        TZRMobSavedRecord Rec;
        EXPECT_EQ(Rec.LoadFromFile(Path), C.Result) << C.What;
        EXPECT_EQ(Rec.PressureMode(), -1) << C.What;
        EXPECT_FALSE(F.ImportHandheldFile(Path)) << C.What;
        ASSERT_EQ(I.A.Messages.size(), 1u) << C.What;
        EXPECT_NE(I.A.Messages[0].find(Path), std::string::npos) << C.What;
        EXPECT_EQ(F.SignalStats(sigFlow).MaxValue(), Max) << C.What;
        EXPECT_EQ(Probe(F).SampleTime(), 1499) << C.What;
    }
}

// Numbers as "%i" reads them, kept as their low byte.
TEST(HandheldImport, TokensReadAsScanfIntegers)
{
    const struct {
        const char* Token;
        int Byte;   // -1: refused
    } Cases[] = {
        {"0x1F", 0x1F},      {"0X1f", 0x1F},      {"31", 31},          {"037", 31},        {"0", 0},
        {"-1", 0xFF},        {"+0x10", 0x10},     {"0x1234", 0x34},    {"4294967295", 0xFF},
        {"-2147483648", 0},  {"0x", -1},          {"0xG1", -1},        {"08", -1},         {"1.5", -1},
        {"4294967296", -1},  {"-2147483649", -1}, {"abc", -1},         {"--1", -1},        {"-", -1},
        {"0x100000000", -1},
    };
    std::string Rest;
    for (size_t i = 1; i < ZrmImageSize; ++i)
        Rest += "\t0x00\n";
    for (const auto& C : Cases) {
        std::vector<uint8_t> Image;
        const TZrmReadResult Result = ParseZrmText(std::string(C.Token) + Rest, Image);
        if (C.Byte < 0) {
            EXPECT_EQ(Result, zrBadNumber) << C.Token;
            EXPECT_TRUE(Image.empty()) << C.Token;
        } else {
            ASSERT_EQ(Result, zrRead) << C.Token;
            ASSERT_EQ(Image.size(), ZrmImageSize);
            EXPECT_EQ(Image[0], C.Byte) << C.Token;
        }
    }
    // What follows the 16,000th number is not looked at.
    std::vector<uint8_t> Image;
    EXPECT_EQ(ParseZrmText("7" + Rest + " junk", Image), zrRead);
    EXPECT_EQ(ZrmFileText(Image).substr(0, 10), "0x07 0x00 ");
}
