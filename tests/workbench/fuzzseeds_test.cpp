// The fuzz targets' seeds (tests/fuzz-seeds/<target>/) are the program's own
// output: a recording of the simulator's stream made from the main window,
// the frames the simulator sends, flow tables read from its registers and a
// saved report run. Each case makes its target's seeds afresh and checks
// that they, and the seeds kept in the source tree, still reach deep into
// their reader: a seed the reader stops at early leaves the fuzzer at the
// door. With OZ_WRITE_FUZZ_SEEDS naming a folder (tests/fuzz-seeds) the
// seeds made are written there, one folder a target.
#include "analyzer/Flowtables.h"
#include "report/RpOutline.h"
#include "report/RpPageList.h"
#include "report/RpPrntr.h"
#include "tests/analyzer/CommandRig.h"
#include "tests/tools/SimLine.h"
#include "tests/workbench/RecordingRig.h"
#include "tools/analyzer-sim/SimEncode.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Seeds = std::map<std::string, Bytes>;   // file name -> bytes

Bytes FileBytes(const fs::path& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

// The seeds kept in the source tree for Target.
Seeds KeptSeeds(const std::string& Target)
{
    Seeds Out;
    const fs::path Dir = fs::path(OZ_SOURCE_DIR) / "tests" / "fuzz-seeds" / Target;
    if (fs::is_directory(Dir))
        for (const auto& E : fs::directory_iterator(Dir))
            Out[E.path().filename().string()] = FileBytes(E.path());
    return Out;
}

// Writes the seeds made when OZ_WRITE_FUZZ_SEEDS asks for it.
void WriteSeeds(const std::string& Target, const Seeds& Made)
{
    const char* Root = std::getenv("OZ_WRITE_FUZZ_SEEDS");
    if (!Root || !*Root)
        return;
    const fs::path Dir = fs::path(Root) / Target;
    fs::create_directories(Dir);
    for (const auto& [Name, Data] : Made) {
        std::ofstream Out(Dir / Name, std::ios::binary | std::ios::trunc);
        Out.write(reinterpret_cast<const char*>(Data.data()), static_cast<std::streamsize>(Data.size()));
    }
}

// Every seed, made and kept, through Check; the kept ones must be there.
template <class F>
void CheckSeeds(const std::string& Target, const Seeds& Made, F Check)
{
    WriteSeeds(Target, Made);
    for (const auto& [Name, Data] : Made) {
        SCOPED_TRACE("made " + Name);
        EXPECT_LE(Data.size(), 8192u);   // small: the fuzzer mutates every byte
        Check(Data);
    }
    const Seeds Kept = KeptSeeds(Target);
    EXPECT_FALSE(Kept.empty()) << "no seeds in tests/fuzz-seeds/" << Target;
    for (const auto& [Name, Data] : Kept) {
        SCOPED_TRACE("kept " + Name);
        Check(Data);
    }
}

// ----------------------------------------------------------- recordings

struct RecorderRig : MainRig {
    UserAnswers User;
    std::string FileName = Dir + "/Signals/run.zrp";
    RecorderRig() { User.SaveName = FileName; }
    TAction* Action(const char* Name) { return Find<TAction>(Form.get(), Name); }
};

TEST(FuzzSeeds, DataFilesAreRecordingsOfTheSimulatorsStream)
{
    RecorderRig R;
    R.StartSim();
    {
        auto L = R.Sim.Lock();
        R.Sim.Device().ParameterPeriodMs = 150;
        R.Sim.Device().StatusPeriodMs = 200;
    }
    R.ConnectAtOwnRate();
    ASSERT_TRUE(ProcessUntil([&] { return Probe(*R.Form).SampleTime() > 2; }, 10000));
    R.Action("actnSaveFile")->Execute();
    ASSERT_TRUE(Probe(*R.Form).Recording());
    ASSERT_TRUE(ProcessUntil([&] { return Probe(*R.Form).RecordedCount() > 40; }, 10000));
    R.Action("actnMarkTime")->Execute();
    R.User.AnnotateNotes = "valve changed\nsecond line";
    R.Action("actnAnnotate")->Execute();
    ProcessFor(100);
    R.Action("actnCloseFile")->Execute();
    const std::vector<TDataFileRecord> Records = ReadDataFile(R.FileName);
    ASSERT_GT(Records.size(), 40u);

    const auto Join = [](const std::vector<TDataFileRecord>& Rs) {
        Bytes Out;
        for (const TDataFileRecord& Rec : Rs) {
            uint8_t B[TDataFileRecord::Size];
            Rec.ToBytes(B);
            Out.insert(Out.end(), B, B + sizeof B);
        }
        return Out;
    };
    // The header and the stream as it starts; then every kind of record once,
    // in the order they first came, the transport's marks among them.
    Seeds Made;
    Made["start.zrp"] = Join({Records.begin(), Records.begin() + 16});
    std::vector<TDataFileRecord> Kinds(Records.begin(), Records.begin() + 5);
    std::string Seen;
    for (size_t i = 5; i < Records.size(); ++i) {
        const TDataFileRecord& Rec = Records[i];
        if (!IsFrameRecord(Rec) || Seen.find(static_cast<char>(Rec.RecordType)) == std::string::npos) {
            Seen += static_cast<char>(Rec.RecordType);
            Kinds.push_back(Rec);
        }
    }
    Made["kinds.zrp"] = Join(Kinds);

    CheckSeeds("datafile_fuzz", Made, [](const Bytes& Data) {
        ASSERT_EQ(Data.size() % TDataFileRecord::Size, 0u);
        std::string Types;
        for (size_t At = 0; At < Data.size(); At += TDataFileRecord::Size)
            Types += static_cast<char>(Data[At]);
        // The header and frames of the stream.
        EXPECT_EQ(Types.substr(0, 5), "!TJIH");
        EXPECT_NE(Types.find('W'), std::string::npos);
    });
    // After the header: both streams, the time mark and the annotation.
    for (const char* Part : {"W", "p", "!T", "H"})
        EXPECT_NE(Seen.find(Part), std::string::npos) << Part << " in " << Seen;
}

// ------------------------------------------------------- received frames

// The receive target's input: the first byte picks the road (even: the
// stream; odd: a download of file byte >> 1), then runs of at most 64 bytes,
// each after a byte that tells its length less one.
Bytes ReceiveInput(uint8_t Road, const Bytes& Stream)
{
    Bytes Out{Road};
    for (size_t At = 0; At < Stream.size(); At += 64) {
        const size_t N = std::min<size_t>(64, Stream.size() - At);
        Out.push_back(static_cast<uint8_t>(N - 1));
        Out.insert(Out.end(), Stream.begin() + static_cast<std::ptrdiff_t>(At),
                   Stream.begin() + static_cast<std::ptrdiff_t>(At + N));
    }
    return Out;
}

Bytes Joined(const std::vector<Bytes>& Frames, size_t Limit)
{
    Bytes Out;
    for (const Bytes& F : Frames) {
        if (Out.size() + F.size() > Limit)
            break;
        Out.insert(Out.end(), F.begin(), F.end());
    }
    return Out;
}

TEST(FuzzSeeds, ReceivedBytesAreWhatTheSimulatorSends)
{
    struct Kind {
        const char* Name;
        sim::DeviceKind Device;
        bool Extended, OldScaling;
    };
    const Kind Kinds[] = {{"analyzer", sim::DeviceKind::Bench, true, false},
                          {"oldfirmware", sim::DeviceKind::Bench, false, true},
                          {"handheld", sim::DeviceKind::Handheld, true, false}};
    Seeds Made;
    for (const Kind& K : Kinds) {
        SCOPED_TRACE(K.Name);
        CommandRig Rig;
        {
            auto L = Rig.Sim.Lock();
            sim::SimDevice& D = Rig.Sim.Device();
            D.Kind = K.Device;
            D.ExtendedFrames = K.Extended;
            D.OldFirmwareScaling = K.OldScaling;
            D.ParameterPeriodMs = 60;
            D.StatusPeriodMs = 100;
            sim::SimFile File;
            File.Name = "RUN 7";
            File.Data.resize(60);
            for (size_t i = 0; i < File.Data.size(); ++i)
                File.Data[i] = static_cast<uint8_t>(i * 5 + 1);
            D.Files = {File, File};
        }
        Rig.Sim.SetKeepSent(true);
        Rig.Start();
        EXPECT_TRUE(Rig.Proto->ProbeConnection());
        Rig.Proto->QueryVersion(false);
        EXPECT_TRUE(Rig.Proto->SendSerialMode('3'));
        ProcessFor(250);
        EXPECT_TRUE(Rig.Proto->SendSerialMode('X'));
        ProcessFor(50);
        const std::vector<Bytes> Stream = Rig.Sim.Sent();
        {
            auto L = Rig.Sim.Lock();
            Rig.Sim.Device().StatusPeriodMs = 0;
        }
        ProcessFor(50);
        Rig.Sim.SetKeepSent(true);   // from here on: the handheld's files only
        Rig.Proto->RequestFileList();
        ProcessFor(200);
        uint8_t Buffer[20000];
        EXPECT_TRUE(Rig.Proto->DownloadFile(1, Buffer, sizeof Buffer, nullptr));
        const std::vector<Bytes> Handheld = Rig.Sim.Sent();
        Made[std::string(K.Name) + ".stream"] = ReceiveInput(0, Joined(Stream, 3000));
        if (K.Device == sim::DeviceKind::Handheld)
            Made["download"] = ReceiveInput(1 << 1 | 1, Joined(Handheld, 3000));
    }
    // Each seed holds frames of the kinds the program takes apart.
    CheckSeeds("receive_fuzz", Made, [](const Bytes& Input) {
        ASSERT_GT(Input.size(), 1u);
        Bytes Stream;
        for (size_t At = 1; At < Input.size();) {
            const size_t N = std::min<size_t>(1 + Input[At] % 64, Input.size() - At - 1);
            Stream.insert(Stream.end(), Input.begin() + static_cast<std::ptrdiff_t>(At + 1),
                          Input.begin() + static_cast<std::ptrdiff_t>(At + 1 + N));
            At += 1 + N;
        }
        int Bad = 0;
        const auto Frames = simtest::FramesIn(Stream, nullptr, &Bad);
        EXPECT_EQ(Bad, 0);
        EXPECT_GE(Frames.size(), 4u);
        std::string Types;
        for (const auto& F : Frames)
            if (Types.find(static_cast<char>(F.Type)) == std::string::npos)
                Types += static_cast<char>(F.Type);
        if (Input[0] % 2 == 0) {
            EXPECT_NE(Types.find('?'), std::string::npos) << Types;   // waveform
            EXPECT_NE(Types.find('P'), std::string::npos) << Types;   // parameters
        } else {
            EXPECT_EQ(Types, "I");   // directory entries and the file's blocks
        }
    });
}

// ----------------------------------------------------------- flow tables

TEST(FuzzSeeds, FlowTablesAreReadFromTheSimulatorsRegisters)
{
    // Identifier, checksum and rows where the tables live: low at 194, 195,
    // 197, 140 and 153; high at 192, 193, 196, 166 and 179.
    struct Table {
        const char* Name;
        char Which;
        uint16_t IdHigh, IdLow, Checksum, RowA, RowB;
        bool SumMatches;
    };
    const Table Tables[] = {{"low.zrb", '1', 194, 195, 197, 140, 153, true},
                            {"high.zrb", '2', 192, 193, 196, 166, 179, true},
                            {"mismatch.zrb", '1', 194, 195, 197, 140, 153, false}};
    Seeds Made;
    const fs::path Dir = fs::path(OZ_TEST_ARTIFACTS) / "fuzzseeds";
    fs::create_directories(Dir);
    for (const Table& T : Tables) {
        SCOPED_TRACE(T.Name);
        CommandRig Rig;
        Rig.Start();
        uint32_t Sum = 0;
        for (int i = 0; i < 13; ++i) {
            const auto A = static_cast<uint16_t>(512 + 731 * i), B = static_cast<uint16_t>(60000 - 977 * i);
            Rig.SetRegister(static_cast<uint16_t>(T.RowA + i), A);
            Rig.SetRegister(static_cast<uint16_t>(T.RowB + i), B);
            Sum += A + B;
        }
        Rig.SetRegister(T.IdHigh, 0x0002);
        Rig.SetRegister(T.IdLow, static_cast<uint16_t>(0x1F40 + T.Which));
        Rig.SetRegister(T.Checksum, static_cast<uint16_t>(T.SumMatches ? Sum : Sum + 1));
        const fs::path Path = Dir / T.Name;
        EXPECT_EQ(Rig.Proto->ReadFlowTable(T.Which, Path.string()), T.SumMatches ? ftWritten : ftChecksumMismatch);
        Made[T.Name] = FileBytes(Path);
    }
    CheckSeeds("flowtable_fuzz", Made, [](const Bytes& Text) {
        TFlowTableFile Table;
        EXPECT_TRUE(ParseFlowTable(std::string_view(reinterpret_cast<const char*>(Text.data()), Text.size()), Table));
        EXPECT_NE(Table.Values[25], 0);
    });
}

// --------------------------------------------------------- saved reports

TEST(FuzzSeeds, SavedReportsAreRunsOfTheReportPrinter)
{
    EnsureApplication();
    const fs::path Dir = fs::path(OZ_TEST_ARTIFACTS) / "fuzzseeds";
    fs::create_directories(Dir);
    Seeds Made;
    // Plain pages with links and an outline, and coded pages.
    for (const bool Coded : {false, true}) {
        TRpPrinter P(nullptr);
        P.SetPaperSize(TRpPaperSize::A4);
        P.SetDestination(rpdMetafile);
        P.SetCompression(Coded);
        P.BeginDoc();
        for (int N = 1; N <= 2; ++N) {
            P.NewPage();
            TCanvas* C = P.GetCanvas();
            C->Font()->SetName("Arial");
            C->Font()->SetSize(12);
            C->TextOut(P.XPos(200), P.YPos(150), "Flow test - page " + std::to_string(N));
            C->Brush()->SetColor(RGB(200, 220, 255));
            C->Rectangle(P.XPos(200), P.YPos(300), P.XPos(900), P.YPos(500));
            C->MoveTo(P.XPos(200), P.YPos(600));
            C->LineTo(P.XPos(1500), P.YPos(700 + 50 * N));
            if (!Coded) {
                P.AddHyperlink(Rect(P.XPos(200), P.YPos(150), P.XPos(900), P.YPos(250)), "ext:trend");
                P.AddOutline(N - 1, "Section " + std::to_string(N), Rect(0, 0, 100, 100));
            }
        }
        P.EndDoc();
        const fs::path Path = Dir / (Coded ? "coded.rpf" : "plain.rpf");
        P.Save(Path.string());
        Bytes File{0};   // the first byte: the file as it is
        const Bytes Saved = FileBytes(Path);
        File.insert(File.end(), Saved.begin(), Saved.end());
        Made[Coded ? "coded" : "plain"] = File;
        if (!Coded) {
            TMemoryStream S;
            P.PageList()->Outline()->SaveToStream(&S);
            Bytes Outline{0};
            Outline.insert(Outline.end(), S.Memory(), S.Memory() + S.Size());
            Made["outline"] = Outline;
        }
    }
    CheckSeeds("rpf_fuzz", Made, [](const Bytes& Input) {
        ASSERT_GT(Input.size(), 1u);
        ASSERT_EQ(Input[0] % 2, 0);
        const Bytes File(Input.begin() + 1, Input.end());
        TRpOutline Outline;
        TMemoryStream O;
        O.WriteBuffer(File.data(), static_cast<int64_t>(File.size()));
        O.SetPosition(0);
        bool IsOutline = false;
        try {
            Outline.LoadFromStream(&O);
            IsOutline = Outline.Count() > 0 && O.Position() == O.Size();
        } catch (const ERpError&) {
        } catch (const EReadError&) {
        }
        if (IsOutline)
            return;
        TRpPageList L;
        auto S = std::make_unique<TRpStream>(INT32_MAX);
        S->WriteBuffer(File.data(), static_cast<int64_t>(File.size()));
        ASSERT_NO_THROW(L.LoadFromStream(std::move(S), "seed.rpf"));
        EXPECT_EQ(L.PageCount(), 2);
        for (int N = 1; N <= L.PageCount(); ++N)
            EXPECT_NE(L.GetPage(N), nullptr);
    });
}

}  // namespace
