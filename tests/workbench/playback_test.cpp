// Playing data files back through the main window: the round trip from a
// recording of the simulator, the dispatch of each record type, the
// transport and speed controls, and the failures a user must hear about.
#include "tests/workbench/DataFileRig.h"
#include "tests/workbench/RecordingRig.h"

#include "analyzer/Units.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/Timer.h"
#include "tools/analyzer-sim/SimScripts.h"

#include <map>
#include <set>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace datafile;

// The main window without the analyzer, the open dialog answered with
// OpenName, and message boxes with MessageAnswer.
struct PlaybackRig : MainRig {
    std::string OpenName;
    int MessageAnswer = mrOk;
    std::vector<std::string> Messages;
    TDialogAnswerer Old;
    PlaybackRig()
    {
        CreateRecordingDialogs();
        Old = SetDialogAnswerer([this](const TDialogRequest& Rq, TDialogAnswer& An) {
            if (Rq.Kind == TDialogKind::OpenFile) {
                An.ModalResult = OpenName.empty() ? mrCancel : mrOk;
                An.FileName = OpenName;
                return true;
            }
            if (Rq.Kind == TDialogKind::MessageBox) {
                Messages.push_back(Rq.Text);
                An.ModalResult = MessageAnswer;
                return true;
            }
            return false;
        });
    }
    ~PlaybackRig() { SetDialogAnswerer(Old); }
    TAction* Action(const char* Name) { return Find<TAction>(Form.get(), Name); }
    TTimer* Timer() { return Find<TTimer>(Form.get(), "tmrPlayback"); }
    // One tick of the playback timer, as the clock would fire it.
    void Tick() { Timer()->OnTimer(Timer()); }
    std::string Memo(const char* Name) { return Find<TMemo>(Form.get(), Name)->Text(); }
    // Writes the records under Name in the window's folder and opens it.
    std::string Play(const std::string& Name, const std::vector<TDataFileRecord>& Records, size_t ExtraBytes = 0)
    {
        OpenName = Dir + "/" + Name;
        WriteRecords(OpenName, Records, ExtraBytes);
        Action("actnOpenFile")->Execute();
        return OpenName;
    }
};

// The window's live-data results a replay must give back: statistics of
// every signal and parameter, and the texts of the monitor and Full Test
// labels.
std::map<std::string, std::string> LiveResults(TMainForm& F)
{
    std::map<std::string, std::string> Out;
    for (int i = 0; i < SignalCount; ++i) {
        const TSignalStats& S = F.SignalStats(i);
        Out["signal " + std::to_string(i)] = S.FormatMean(false) + " " + S.FormatMax(false) + " " +
                                             S.FormatMin(false) + " " + S.FormatSmoothed(false) + " n=" +
                                             std::to_string(S.MeanCount());
    }
    for (int Id = 0; Id < ParameterCount; ++Id) {
        const TSignalStats& S = Probe(F).ParamStats(Id);
        Out["param " + std::to_string(Id)] = S.FormatMean(false) + " " + S.FormatMax(false) + " " +
                                             S.FormatMin(false) + " n=" + std::to_string(S.MeanCount());
    }
    for (int i = 0; i < F.ComponentCount(); ++i) {
        auto* L = dynamic_cast<TLabel*>(F.Components(i));
        if (!L || !L->Parent())
            continue;
        for (TWinControl* P = L->Parent(); P; P = P->Parent()) {
            const std::string N = P->Name();
            if (N == "pnlSigPlots1" || N == "pnlSigPlots2" || N == "pnlSigPlots3" || N == "tsFullTest") {
                Out[L->Name()] = L->Caption();
                break;
            }
        }
    }
    return Out;
}

// The window recording into Signals/run.zrp, the recording dialogs
// answered.
struct RecordingRig : MainRig {
    UserAnswers User;
    std::string FileName;
    RecordingRig()
    {
        FileName = Dir + "/Signals/run.zrp";
        User.SaveName = FileName;
    }
    TAction* Action(const char* Name) { return Find<TAction>(Form.get(), Name); }
};

}  // namespace

// End to end: the simulator's script recorded by the program, played back
// at the top speed, leaves the window as the live frames left it.
TEST(Playback, RecordingOfTheSimulatorPlaysBackToTheSameResults)
{
    RecordingRig R;
    ASSERT_TRUE(R.ShowConnected(5));
    TMainForm& F = *R.Form;
    R.Action("actnSerialModeNone")->Execute();
    ProcessFor(100);

    R.Action("actnSaveFile")->Execute();
    ASSERT_TRUE(Probe(F).Recording());
    R.Action("actnResetEveryting")->Execute();
    Probe(F).SetLabelRefreshCount(0);
    size_t WaveCount = 0;
    size_t ParamCount = 0;
    {
        auto L = R.Sim.Lock();
        sim::SimDevice& D = R.Sim.Device();
        D.Waveform = sim::PressureDecay(30, 20, 3);
        WaveCount = D.Waveform.size();
        D.WaveformLoop = false;
        D.WaveformNext = 0;
        D.Parameters = sim::TidalVolumeRecords({500, 520, 480, 510});
        ParamCount = D.Parameters.size();
        D.ParametersLoop = false;
        D.ParametersNext = 0;
        D.ParameterPeriodMs = 100;
    }
    R.Action("actnSerialModeBoth")->Execute();
    ASSERT_TRUE(ProcessUntil(
        [&] {
            auto L = R.Sim.Lock();
            return R.Sim.Device().WaveformNext >= WaveCount && R.Sim.Device().ParametersNext >= ParamCount;
        },
        15000));
    ProcessFor(300);
    R.Action("actnSerialModeNone")->Execute();
    ProcessFor(100);
    const auto Live = LiveResults(F);
    EXPECT_GT(F.SignalStats(sigLowPressure).MeanCount(), static_cast<double>(WaveCount) - 1);
    const std::string TimeText = dlgRecord->TimeText();
    R.Action("actnCloseFile")->Execute();
    const auto Records = ReadDataFile(R.FileName);
    const std::string Types = TypesOf(Records);
    ASSERT_EQ(Types.substr(0, 5), "!TJIH");
    EXPECT_GE(std::count(Types.begin(), Types.end(), 'W'), static_cast<long>(WaveCount));
    EXPECT_GE(std::count(Types.begin(), Types.end(), 'p'), static_cast<long>(ParamCount));
    EXPECT_EQ(F.SignalStats(sigLowPressure).Max(), NoValue);   // closing cleared them

    // Played at speed 20 (1 ms).
    {
        const TDialogAnswerer Inner = SetDialogAnswerer({});
        SetDialogAnswerer([&](const TDialogRequest& Rq, TDialogAnswer& An) {
            if (Rq.Kind == TDialogKind::OpenFile) {
                An.ModalResult = mrOk;
                An.FileName = R.FileName;
                return true;
            }
            return Inner(Rq, An);
        });
        R.Sim.ClearReceived();
        Find<TScrollBar>(&F, "scrollSpeed")->SetPosition(20);
        EXPECT_EQ(Find<TTimer>(&F, "tmrPlayback")->Interval(), 1u);
        R.Action("actnOpenFile")->Execute();
        SetDialogAnswerer(Inner);
    }
    ASSERT_TRUE(Probe(F).PlayingFile());
    EXPECT_TRUE(Find<TPanel>(&F, "pnlSideBar")->Visible());
    Probe(F).SetLabelRefreshCount(0);
    // Opening switched the analyzer's output off.
    const auto Modes = R.Got('M');
    ASSERT_FALSE(Modes.empty());
    EXPECT_EQ(Modes.back().Payload, Bytes{'0'});
    ASSERT_TRUE(
        ProcessUntil([&] { return Probe(F).PlaybackPosition() == static_cast<int64_t>(Records.size()); }, 20000));
    ProcessFor(50);
    const auto Played = LiveResults(F);
    for (const auto& [Key, Value] : Live)
        EXPECT_EQ(Played.at(Key), Value) << Key;
    EXPECT_EQ(Probe(F).FileInfo(0), "run.zrp");
    EXPECT_EQ(Probe(F).FileInfo(1), TimeText);
    EXPECT_EQ(Probe(F).FileInfo(2), "Subject:       Bob");
    EXPECT_EQ(Probe(F).FileInfo(3), "Investigator:  Ann");
    const std::string Info = Find<TMemo>(&F, "pnlFileInfo")->Text();
    EXPECT_NE(Info.find("Subject:       Bob"), std::string::npos) << Info;
    EXPECT_NE(Info.find("first second"), std::string::npos) << Info;
    const std::string Events = Find<TMemo>(&F, "CommentMemo")->Text();
    EXPECT_NE(Events.find(TimeText), std::string::npos) << Events;
    EXPECT_NE(Events.find("Time Stamp"), std::string::npos) << Events;

    ProcessFor(150);
    std::unique_ptr<TBitmap> Image(F.GetFormImage());
    ASSERT_TRUE(Image);
    const std::string Name = std::string(OZ_TEST_ARTIFACTS) + "/workbench-playback.png";
    Image->SaveToFile(Name);
    EXPECT_GT(std::filesystem::file_size(Name), 1000u);
}

// Each record type, played from a hand-built file.
TEST(Playback, EachRecordTypeReachesItsLinesCallbacksAndDecoders)
{
    struct Case {
        const char* Name;
        TDataFileRecord Record;
        std::function<void(TMainForm&)> Check;
    };
    const Case Cases[] = {
        {"time stamp", MakeTextRecord(drtTimeStamp, "10:11:12", 0),
         [](TMainForm& F) {
             EXPECT_EQ(Probe(F).Event(0), "10:11:12");
             EXPECT_EQ(Probe(F).Event(1), "Time Stamp");
             EXPECT_EQ(Probe(F).FileInfo(1), "10:11:12");
             EXPECT_EQ(Find<TMemo>(&F, "CommentMemo")->Lines()->Strings(0), "10:11:12");
         }},
        {"notes", MakeFieldsRecord(drtNotes, "a", "b", "", "d", 0),
         [](TMainForm& F) {
             EXPECT_EQ(Probe(F).FileInfo(4), "a");
             EXPECT_EQ(Probe(F).FileInfo(5), "b");
             EXPECT_EQ(Probe(F).FileInfo(6), "");
             EXPECT_EQ(Probe(F).FileInfo(7), "d");
         }},
        {"investigator", MakeTextRecord(drtInvestigator, "Investigator:  Ann", 0),
         [](TMainForm& F) { EXPECT_EQ(Probe(F).FileInfo(3), "Investigator:  Ann"); }},
        {"subject", MakeTextRecord(drtSubject, "Subject:       Bob", 0),
         [](TMainForm& F) {
             EXPECT_EQ(Probe(F).FileInfo(2), "Subject:       Bob");
             EXPECT_EQ(Find<TMemo>(&F, "pnlFileInfo")->Lines()->Strings(2), "Subject:       Bob");
         }},
        {"comments", MakeFieldsRecord(drtComments, "c0", "c1", "c2", "c3", 0),
         [](TMainForm& F) {
             EXPECT_EQ(Probe(F).Event(1), "c0");
             EXPECT_EQ(Probe(F).Event(4), "c3");
         }},
        {"parameters", ParamRecord(drtParameters, 100, 200, 150),
         [](TMainForm& F) {
             EXPECT_EQ(F.DeviceKind(), dkAnalyzer);
             EXPECT_FLOAT_EQ(F.LastParameters().GetValue(parRespiratoryRate), 15);
             EXPECT_FLOAT_EQ(F.LastParameters().GetValue(parIERatio), -2);
         }},
        {"old parameters", ParamRecord(drtParametersOld, 10, 20, 15),
         [](TMainForm& F) {
             EXPECT_EQ(F.DeviceKind(), dkAnalyzerOldFirmware);
             EXPECT_FLOAT_EQ(F.LastParameters().GetValue(parRespiratoryRate), 15);
             EXPECT_FLOAT_EQ(F.LastParameters().GetValue(parInspTime), 1);
         }},
        {"waveform", WaveRecord(7, -500),
         [](TMainForm& F) {
             EXPECT_EQ(Probe(F).SampleTime(), 7);
             EXPECT_FLOAT_EQ(F.SignalStats(sigFlow).Current(), -5);
         }},
        {"bench status", StatusRecord(drtBenchStatus, 2),
         [](TMainForm& F) {
             EXPECT_EQ(Probe(F).CorrectionMode(), 2);
             EXPECT_EQ(F.DeviceKind(), dkAnalyzer);
         }},
        {"handheld status", StatusRecord(drtHandheldStatus, 1),
         [](TMainForm& F) {
             EXPECT_EQ(Probe(F).CorrectionMode(), 1);
             EXPECT_EQ(F.DeviceKind(), dkHandheld);
         }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        PlaybackRig R;
        R.Build();
        R.Play("case.zrp", {C.Record});
        ASSERT_TRUE(Probe(*R.Form).PlayingFile());
        R.Tick();
        EXPECT_EQ(Probe(*R.Form).PlaybackPosition(), 1);
        C.Check(*R.Form);
    }

    // A marker and a handheld status frame as the recorder marks it change
    // nothing at all.
    PlaybackRig R;
    R.Build();
    const Bytes Status(31, 0xF2);
    R.Play("nothing.zrp", {MakeMarkerRecord(0), MakeDataRecord(drtHandheldStatusFrame, 31, Status.data(), 0)});
    const TDeviceKind Kind = R.Form->DeviceKind();
    const int Mode = Probe(*R.Form).CorrectionMode();
    R.Tick();
    EXPECT_EQ(Probe(*R.Form).PlaybackPosition(), 2);
    EXPECT_EQ(R.Form->DeviceKind(), Kind);
    EXPECT_EQ(Probe(*R.Form).CorrectionMode(), Mode);
    EXPECT_EQ(R.Form->SignalStats(sigFlow).MeanCount(), 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Probe(*R.Form).Event(i), "");
    EXPECT_EQ(Probe(*R.Form).FileInfo(0), "nothing.zrp");
    EXPECT_EQ(Probe(*R.Form).FileInfo(1), "");
}

namespace {


// '!' 'T' 'J' 'I' 'H', five waves, then two '!' 'T' blocks of five waves:
// markers at 0, 10 and 17, 24 records.
std::vector<TDataFileRecord> ThreeBlocks()
{
    std::vector<TDataFileRecord> Out = {
        MakeMarkerRecord(0), MakeTextRecord(drtTimeStamp, "t1", 0), MakeTextRecord(drtSubject, "Subject:       S", 0),
        MakeTextRecord(drtInvestigator, "Investigator:  I", 0), MakeFieldsRecord(drtNotes, "n", "", "", "", 0)};
    uint16_t Counter = 1;
    for (const char* Time : {"", "t2", "t3"}) {
        if (*Time) {
            Out.push_back(MakeMarkerRecord(0));
            Out.push_back(MakeTextRecord(drtTimeStamp, Time, 0));
        }
        for (int i = 0; i < 5; ++i)
            Out.push_back(WaveRecord(Counter++, 100));
    }
    return Out;
}

}  // namespace

TEST(Playback, TransportControlsMoveOnWholeRecords)
{
    PlaybackRig R;
    R.Build();
    TMainForm& F = *R.Form;
    R.Play("blocks.zrp", ThreeBlocks(), 50);   // and a partial record at the end
    ASSERT_TRUE(Probe(F).PlayingFile());
    EXPECT_TRUE(R.Timer()->Enabled());
    EXPECT_TRUE(Find<TPanel>(&F, "pnlSideBar")->Visible());
    EXPECT_TRUE(R.Action("actnCloseFile")->Enabled());
    R.Tick();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 10);
    EXPECT_EQ(Probe(F).SampleTime(), 5);

    // Stop, then Play from the first record with empty boxes.
    R.Action("actnStop")->Execute();
    EXPECT_FALSE(R.Timer()->Enabled());
    EXPECT_EQ(Probe(F).PlaybackPosition(), 0);
    EXPECT_EQ(R.Memo("pnlFileInfo").find("Subject"), std::string::npos);
    EXPECT_EQ(Probe(F).FileInfo(2), "");
    EXPECT_EQ(Probe(F).Event(0), "");
    R.Action("actnPlay")->Execute();
    EXPECT_TRUE(R.Timer()->Enabled());
    EXPECT_EQ(Probe(F).PlaybackPosition(), 0);
    R.Tick();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 10);
    EXPECT_EQ(Probe(F).Event(0), "t1");

    // Pause and Play go on from the same place.
    R.Action("actnPause")->Execute();
    EXPECT_FALSE(R.Timer()->Enabled());
    EXPECT_TRUE(Probe(F).PlaybackPaused());
    R.Action("actnPlay")->Execute();
    EXPECT_TRUE(R.Timer()->Enabled());
    EXPECT_EQ(Probe(F).PlaybackPosition(), 10);
    EXPECT_EQ(Probe(F).Event(0), "t1");   // not cleared
    R.Tick();
    EXPECT_FALSE(Probe(F).PlaybackPaused());
    EXPECT_EQ(Probe(F).PlaybackPosition(), 20);

    // Skip back: after the nearest earlier marker; from before the second
    // record, the start.
    R.Action("actnSkipBack")->Execute();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 18);
    R.Action("actnAllBackward")->Execute();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 0);
    R.Action("actnSkipBack")->Execute();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 0);
    R.Action("actnSkipFwd")->Execute();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 1);
    R.Action("actnSkipBack")->Execute();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 0);

    // Skip forward from the last marker reaches the end; End is the last
    // whole record, and skip back from there lands on a record boundary.
    R.Action("actnAllBackward")->Execute();
    R.Action("actnSkipFwd")->Execute();
    R.Action("actnSkipFwd")->Execute();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 11);
    R.Action("actnSkipFwd")->Execute();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 18);
    R.Action("actnSkipFwd")->Execute();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 24);
    R.Action("actnAllBackward")->Execute();
    R.Action("actnAllForward")->Execute();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 24);
    R.Action("actnSkipBack")->Execute();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 18);
    R.Tick();
    EXPECT_EQ(Probe(F).Event(0), "t3");
    EXPECT_EQ(Probe(F).SampleTime(), 15);
    EXPECT_EQ(Probe(F).PlaybackPosition(), 24);
}

// Skipping, rewinding or going to the start moves playback elsewhere in the
// file: the monitor plots and the loops take the next record as the start
// of a new stretch of trace (a move, not a line from the last one).
TEST(Playback, JumpsLeaveAGapInThePlots)
{
    // Four blocks of a marker and four samples; the third block's counters
    // jump far ahead.
    std::vector<TDataFileRecord> Records;
    uint16_t Counter = 1;
    for (int Block = 0; Block < 4; ++Block) {
        Records.push_back(MakeMarkerRecord(0));
        if (Block == 3)
            Counter = 700;
        for (int i = 0; i < 4; ++i)
            Records.push_back(WaveRecord(Counter++, static_cast<int16_t>(100 * (Block + 1))));
    }
    struct Case {
        const char* Action;
        int Times;
    };
    const Case Cases[] = {{"actnSkipFwd", 2}, {"actnSkipBack", 1}, {"actnAllBackward", 1}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Action);
        PlaybackRig R;
        R.Build();
        TMainForm& F = *R.Form;
        R.Play("jumps.zrp", Records);
        R.Tick();   // the first two blocks
        ASSERT_EQ(Probe(F).PlaybackPosition(), 10);
        TFastLineSeries* Monitor = Probe(F).MonitorPlot(0).ActiveSeries();
        TFastLineSeries* Loop = Probe(F).LoopPlot(0).ActiveSeries();
        const int MonitorBefore = Monitor->Count();
        const int LoopBefore = Loop->Count();
        for (int i = 0; i < C.Times; ++i)
            R.Action(C.Action)->Execute();
        R.Tick();
        ASSERT_EQ(Probe(F).MonitorPlot(0).ActiveSeries(), Monitor);
        ASSERT_EQ(Probe(F).LoopPlot(0).ActiveSeries(), Loop);
        for (TFastLineSeries* S : {Monitor, Loop}) {
            const int Before = S == Monitor ? MonitorBefore : LoopBefore;
            ASSERT_GT(S->Count(), Before + 1);
            EXPECT_FALSE(S->IsNull(Before - 1));
            // The pen moves to the first point after the jump, then draws.
            EXPECT_TRUE(S->IsNull(Before));
            EXPECT_EQ(S->XValue(Before), S->XValue(Before + 1));
            EXPECT_EQ(S->YValue(Before), S->YValue(Before + 1));
            for (int i = Before + 1; i < S->Count(); ++i)
                EXPECT_FALSE(S->IsNull(i)) << i;
        }
    }
    // Played straight through, the blocks join up.
    PlaybackRig R;
    R.Build();
    R.Play("jumps.zrp", Records);
    R.Tick();
    R.Tick();
    TFastLineSeries* S = Probe(*R.Form).MonitorPlot(0).ActiveSeries();
    for (int i = 1; i < S->Count(); ++i)
        EXPECT_FALSE(S->IsNull(i)) << i;
}

TEST(Playback, AtTheEndContinuousPlayWrapsInTheSameTickElseTheLastRecordPlaysOnce)
{
    PlaybackRig R;
    R.Build();
    TMainForm& F = *R.Form;
    R.Play("blocks.zrp", ThreeBlocks());
    // Without continuous play: records 20 to 23, then rest at the end.
    ASSERT_FALSE(Probe(F).LoopPlayback());
    EXPECT_TRUE(Find<TSpeedButton>(&F, "btnLoopPlayBlack")->Visible());
    EXPECT_FALSE(Find<TSpeedButton>(&F, "btnLoopPlayRed")->Visible());
    R.Tick();
    R.Tick();
    const double Before = F.SignalStats(sigFlow).MeanCount();
    R.Tick();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 24);
    EXPECT_EQ(F.SignalStats(sigFlow).MeanCount(), Before + 4);
    EXPECT_EQ(Probe(F).SampleTime(), 15);
    R.Tick();
    EXPECT_EQ(F.SignalStats(sigFlow).MeanCount(), Before + 4);
    EXPECT_TRUE(R.Timer()->Enabled());

    // With it: the statistics restart and the first ten records play.
    Find<TSpeedButton>(&F, "btnLoopPlayBlack")->Click();
    EXPECT_TRUE(Probe(F).LoopPlayback());
    EXPECT_TRUE(Find<TSpeedButton>(&F, "btnLoopPlayRed")->Visible());
    EXPECT_FALSE(Find<TSpeedButton>(&F, "btnLoopPlayBlack")->Visible());
    R.Tick();
    EXPECT_EQ(Probe(F).PlaybackPosition(), 10);
    EXPECT_EQ(F.SignalStats(sigFlow).MeanCount(), 5);
    EXPECT_EQ(Probe(F).SampleTime(), 5);
    EXPECT_EQ(Probe(F).Event(0), "t1");
}

// The transport buttons show pictures of their own, one each, with their
// hints; the Loop buttons and the speed bar sit on the row below them.
TEST(Playback, TransportButtonsShowPictures)
{
    PlaybackRig R;
    R.Build();
    TToolBar* Bar = Find<TToolBar>(R.Form.get(), "tbPlayback");
    ASSERT_NE(Bar, nullptr);
    EXPECT_FALSE(Bar->ShowCaptions());
    ASSERT_NE(Bar->Images(), nullptr);
    const std::pair<const char*, const char*> Buttons[] = {
        {"btnPlay", "Play"},   {"btnPause", "Pause"},         {"btnStop", "Stop"}, {"btnAllBackward", "Start"},
        {"btnSkipBack", "Rewind"}, {"btnSkipFwd", "Fast Forward"}, {"btnAllForward", "End"},
    };
    std::set<int> Pictures;
    for (const auto& [Name, Hint] : Buttons) {
        TToolButton* B = Find<TToolButton>(R.Form.get(), Name);
        ASSERT_NE(B, nullptr) << Name;
        EXPECT_EQ(B->Parent(), Bar) << Name;
        EXPECT_FALSE(B->InOverflow()) << Name;
        EXPECT_EQ(B->Hint(), Hint) << Name;
        EXPECT_GE(B->ImageIndex(), 0) << Name;
        EXPECT_LT(B->ImageIndex(), Bar->Images()->Count()) << Name;
        Pictures.insert(B->ImageIndex());
    }
    EXPECT_EQ(Pictures.size(), 7u);
    const int Below = Bar->Top() + Bar->Height();
    for (const char* Name : {"btnLoopPlayBlack", "scrollSpeed", "lblSpeed"})
        EXPECT_GE(Find<TControl>(R.Form.get(), Name)->Top(), Below) << Name;
}

TEST(Playback, SpeedBarSetsTheTimerInterval)
{
    PlaybackRig R;
    R.Build();
    auto* Speed = Find<TScrollBar>(R.Form.get(), "scrollSpeed");
    EXPECT_EQ(Speed->Position(), 10);
    EXPECT_EQ(Find<TLabel>(R.Form.get(), "lblSpeed")->Caption(), "190");
    const std::pair<int, unsigned> Table[] = {{1, 370}, {2, 350}, {10, 190}, {19, 10}, {20, 1}, {15, 90}};
    for (const auto& [Position, Interval] : Table) {
        Speed->SetPosition(Position);
        EXPECT_EQ(R.Timer()->Interval(), Interval) << Position;
        EXPECT_EQ(Find<TLabel>(R.Form.get(), "lblSpeed")->Caption(), std::to_string(Interval));
    }
}

TEST(Playback, HandheldFilesOfAnyCaseGoToTheImportOthersPlay)
{
    const std::pair<const char*, bool> Names[] = {
        {"a.zrm", false}, {"b.ZRM", false}, {"c.Zrm", false}, {"d.zrp", true}, {"e.dat", true}};
    for (const auto& [Name, Plays] : Names) {
        SCOPED_TRACE(Name);
        PlaybackRig R;
        R.Build();
        R.Play(Name, {MakeMarkerRecord(0)});
        EXPECT_EQ(Probe(*R.Form).PlayingFile(), Plays);
        EXPECT_EQ(R.Timer()->Enabled(), Plays);
        // Not a handheld file: the import refuses it by name.
        ASSERT_EQ(R.Messages.size(), Plays ? 0u : 1u);
        if (!Plays) {
            EXPECT_NE(R.Messages[0].find(Name), std::string::npos) << R.Messages[0];
        }
        EXPECT_EQ(Probe(*R.Form).DataFileName(), R.OpenName);
        EXPECT_TRUE(R.Action("actnCloseFile")->Enabled());
    }
}

TEST(Playback, AFileThatCannotBeOpenedIsReportedAndNothingPlays)
{
    PlaybackRig R;
    R.Build();
    // A socket is there like a file, but no file can be opened on it.
    R.OpenName = R.Dir + "/socket.zrp";
    const int Socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(Socket, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    std::snprintf(Address.sun_path, sizeof Address.sun_path, "%s", R.OpenName.c_str());
    ASSERT_EQ(::bind(Socket, reinterpret_cast<sockaddr*>(&Address), sizeof Address), 0);
    R.Action("actnOpenFile")->Execute();
    ::close(Socket);
    EXPECT_FALSE(Probe(*R.Form).PlayingFile());
    EXPECT_FALSE(R.Timer()->Enabled());
    EXPECT_FALSE(R.Action("actnCloseFile")->Enabled());
    EXPECT_EQ(Probe(*R.Form).DataFileName(), "");
    ASSERT_EQ(R.Messages.size(), 1u);
    EXPECT_NE(R.Messages[0].find("socket.zrp"), std::string::npos) << R.Messages[0];
}

TEST(Playback, ClosingAPlayedFileGivesTheDeviceKindBack)
{
    PlaybackRig R;
    R.Build();
    TMainForm& F = *R.Form;
    ASSERT_EQ(F.DeviceKind(), dkAnalyzer);
    R.Play("hh.zrp", {StatusRecord(drtHandheldStatus, 1), ParamRecord(drtParametersOld, 10, 20, 15)});
    R.Tick();
    EXPECT_EQ(F.DeviceKind(), dkAnalyzerOldFirmware);
    R.Action("actnCloseFile")->Execute();
    EXPECT_FALSE(Probe(F).PlayingFile());
    EXPECT_FALSE(R.Timer()->Enabled());
    EXPECT_EQ(F.DeviceKind(), dkAnalyzer);
    EXPECT_EQ(Probe(F).FileInfo(0), "");
}

TEST(Playback, ExtractActionsWriteTheTablesAndTellTheUser)
{
    PlaybackRig R;
    R.Build();
    R.OpenName = R.Dir + "/run.zrp";
    WriteRecords(R.OpenName, {WaveRecord(1, 250), ParamRecord(drtParameters, 100, 200, 150)});
    R.Action("actnExtractSignalFile")->Execute();
    R.Action("actnExtractParameterFile")->Execute();
    EXPECT_EQ(R.Messages, (std::vector<std::string>{"Signal File Extacted.", "Parameter File Extacted."}));
    EXPECT_TRUE(FileExists(R.Dir + "/run.sig"));
    EXPECT_TRUE(FileExists(R.Dir + "/run.par"));

    // A refused overwrite says nothing further; a cancelled dialog nothing.
    R.MessageAnswer = mrCancel;
    R.Action("actnExtractSignalFile")->Execute();
    ASSERT_EQ(R.Messages.size(), 3u);
    EXPECT_EQ(R.Messages[2], "File \"run.sig\" already exists.  Overwrite?");
    R.OpenName.clear();
    R.Action("actnExtractParameterFile")->Execute();
    EXPECT_EQ(R.Messages.size(), 3u);
    EXPECT_FALSE(Probe(*R.Form).PlayingFile());
}

// Open and save reset the live displays whether or not a file was open, and
// a file opened while the analyzer streams is shown alone: no sweep, scale
// or statistic keeps live values. Closing it gives the analyzer's output
// back in the mode it ran in.
TEST(Playback, OpenOrSaveWhileTheAnalyzerStreamsResetsTheDisplaysAndCloseGivesTheOutputBack)
{
    PlaybackRig R;
    R.StartSim();
    R.ConnectAtOwnRate();
    TMainForm& F = *R.Form;
    const TSignalStats& Flow = F.SignalStats(sigFlow);
    TChartSeries* Sweep = Find<TChart>(&F, "chartMonitor1")->Series(0);
    auto Streaming = [&] { return Flow.MeanCount() > 20 && Sweep->Count() > 20; };
    ASSERT_TRUE(ProcessUntil(Streaming, 5000));
    ASSERT_FALSE(R.Action("actnCloseFile")->Enabled());

    // Save, cancelled at its dialog: no file was open, the displays reset.
    {
        UserAnswers User;   // the save dialog cancelled
        R.Action("actnSaveFile")->Execute();
    }
    EXPECT_TRUE(Flow.ResetPending());
    EXPECT_EQ(Sweep->Count(), 0);
    ASSERT_TRUE(ProcessUntil(Streaming, 5000));

    R.Play("three.zrp", {WaveRecord(1, 1234), WaveRecord(2, 1234), WaveRecord(3, 1234)});
    {
        auto L = R.Sim.Lock();
        EXPECT_EQ(R.Sim.Device().SerialMode, '0');
    }
    EXPECT_TRUE(Flow.ResetPending());
    EXPECT_EQ(Sweep->Count(), 0);
    ProcessFor(100);   // any live frame still under way
    R.Tick();
    EXPECT_EQ(Flow.MeanCount(), 3);
    EXPECT_NEAR(Flow.Max(), 12.34, 1e-4);
    EXPECT_EQ(Sweep->Count(), 3);

    R.Action("actnCloseFile")->Execute();
    {
        auto L = R.Sim.Lock();
        EXPECT_EQ(R.Sim.Device().SerialMode, '3');
    }
    EXPECT_TRUE(R.Action("actnSerialModeBoth")->Checked());
    const int32_t Closed = Probe(F).SampleTime();
    EXPECT_TRUE(ProcessUntil([&] { return Probe(F).SampleTime() > Closed + 10; }, 5000));

    // A user who had the output off keeps it off.
    R.Action("actnSerialModeNone")->Execute();
    R.Play("again.zrp", {WaveRecord(1, 1234)});
    R.Action("actnCloseFile")->Execute();
    auto L = R.Sim.Lock();
    EXPECT_EQ(R.Sim.Device().SerialMode, '0');
}
