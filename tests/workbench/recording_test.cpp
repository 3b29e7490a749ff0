// Recording data files from the main window: the header, the stream,
// annotations, time marks, timed breaks and closing; the failures a user
// must hear about.
#include "tests/workbench/RecordingRig.h"

#include "platform/ComCtrls.h"

namespace {

// A waveform frame whose sample counter tells it apart, as the link hands
// it to the recorder.
Bytes Wave(uint16_t Counter)
{
    Bytes F(25, 0);
    F[0] = ':';
    F[1] = '?';
    F[2] = 25;
    F[21] = static_cast<uint8_t>(Counter >> 8);
    F[22] = static_cast<uint8_t>(Counter);
    F[24] = 0x0D;
    return F;
}

void Feed(TMainForm& Form, uint16_t Counter)
{
    const Bytes F = Wave(Counter);
    Form.RecordMessage('W', static_cast<uint8_t>(F.size()), F.data());
}

uint16_t CounterOf(const TDataFileRecord& R)
{
    return static_cast<uint16_t>(R.Payload[21] << 8 | R.Payload[22]);
}

// The test clock, from 10:00:00 on 1 Mar 2026.
// Times are the start plus whole tenths of seconds, so a time reached in
// steps equals the same time computed at once.
struct TestClock {
    const TDateTime Start = EncodeDate(2026, 3, 1) + EncodeTime(10, 0, 0, 0);
    int64_t Tenths = 0;
    TDateTime Time = Start;
    TestClock()
    {
        SetNowOverride([this] { return Time; });
    }
    ~TestClock() { SetNowOverride({}); }
    void Advance(double Seconds)
    {
        Tenths += std::llround(Seconds * 10);
        Time = Start + (Tenths / 10.0) / SecsPerDay;
    }
};

struct RecordingRig : MainRig {
    UserAnswers User;
    std::string FileName;
    RecordingRig()
    {
        FileName = Dir + "/Signals/run.zrp";
        User.SaveName = FileName;
    }
    TAction* Action(const char* Name) { return Find<TAction>(Form.get(), Name); }
    std::string StatusText() { return Find<TStatusBar>(Form.get(), "StatusBar")->Panels()->Items(0)->Text(); }
};

}  // namespace

TEST(Recording, StreamFromTheAnalyzerIsRecordedWholeAfterItsHeader)
{
    RecordingRig R;
    R.StartSim();
    // Everything the analyzer sends is kept from the start: frames sent just
    // before the recording starts may still be on their way when it does.
    R.Sim.SetKeepSent(true);
    R.ConnectAtOwnRate();
    ASSERT_TRUE(ProcessUntil([&] { return Probe(*R.Form).SampleTime() > 5; }, 10000));
    R.Action("actnSaveFile")->Execute();
    ASSERT_TRUE(Probe(*R.Form).Recording());
    EXPECT_EQ(R.StatusText(), R.FileName);
    EXPECT_TRUE(R.Action("actnCloseFile")->Enabled());
    ASSERT_TRUE(ProcessUntil([&] { return Probe(*R.Form).RecordedCount() > 80; }, 10000));
    R.Action("actnCloseFile")->Execute();
    EXPECT_FALSE(Probe(*R.Form).Recording());
    EXPECT_EQ(R.StatusText(), "");
    EXPECT_FALSE(R.Action("actnCloseFile")->Enabled());
    EXPECT_TRUE(PartFilesIn(R.Dir + "/Signals").empty());

    const auto Records = ReadDataFile(R.FileName);
    ASSERT_GT(Records.size(), 80u);
    const std::string Types = TypesOf(Records);
    EXPECT_EQ(Types.substr(0, 5), "!TJIH");
    EXPECT_EQ(Types.find_first_not_of("Wps", 5), std::string::npos) << Types;
    EXPECT_EQ(GetRecordField(Records[1].Payload, 0), dlgRecord->TimeText());
    EXPECT_EQ(GetRecordField(Records[2].Payload, 0), "Subject:       Bob");
    EXPECT_EQ(GetRecordField(Records[3].Payload, 0), "Investigator:  Ann");
    EXPECT_EQ(GetRecordField(Records[4].Payload, 0), "first");
    EXPECT_EQ(GetRecordField(Records[4].Payload, 1), "second");
    EXPECT_EQ(GetRecordField(Records[4].Payload, 2), "");

    std::vector<Bytes> Frames;
    for (size_t i = 5; i < Records.size(); ++i)
        Frames.push_back(FrameOf(Records[i]));
    const auto Sent = R.Sim.Sent();
    EXPECT_EQ(CompareWithSent(Frames, Sent, Sent.size(), false), "");
    // The waveform counters run on without a gap.
    uint16_t Last = 0;
    bool First = true;
    for (size_t i = 5; i < Records.size(); ++i) {
        if (Records[i].RecordType != drtWaveform)
            continue;
        const uint16_t C = CounterOf(Records[i]);
        if (!First) {
            EXPECT_EQ(C, static_cast<uint16_t>(Last + 1));
        }
        Last = C;
        First = false;
    }
}

TEST(Recording, TimedBreaksFollowTheClockFromTheFrameThatTriggeredTheLast)
{
    TestClock Clock;
    RecordingRig R;
    R.Build();
    // 30 seconds chosen in the dialog.
    R.User.TimedBreakRow = 1;
    R.Action("actnTimedBreaks")->Execute();
    EXPECT_DOUBLE_EQ(Probe(*R.Form).TimedInterval() * SecsPerDay, 30);
    R.Action("actnSaveFile")->Execute();
    ASSERT_TRUE(Probe(*R.Form).Recording());

    uint16_t N = 0;
    Clock.Advance(29.9);
    Feed(*R.Form, N++);                 // not yet due
    Clock.Advance(0.1);
    Feed(*R.Form, N++);                 // due at 30 s: the break comes first
    const std::string FirstBreak = TimeToStr(Clock.Time);
    Clock.Advance(20);
    Feed(*R.Form, N++);
    Clock.Advance(9.9);
    Feed(*R.Form, N++);                 // 29.9 s after the last break
    Clock.Advance(5);
    Feed(*R.Form, N++);                 // late: the break goes before this one
    const std::string SecondBreak = TimeToStr(Clock.Time);
    Clock.Advance(29);
    Feed(*R.Form, N++);
    R.Action("actnCloseFile")->Execute();

    const auto Records = ReadDataFile(R.FileName);
    EXPECT_EQ(TypesOf(Records), "!TJIH" "W" "!TW" "W" "W" "!TW" "W");
    EXPECT_EQ(GetRecordField(Records[7].Payload, 0), FirstBreak);
    EXPECT_EQ(GetRecordField(Records[12].Payload, 0), SecondBreak);
}

TEST(Recording, NoTimedBreaksWithNoneOrAnIntervalThatIsNoPositiveNumber)
{
    // "nan" and a negative number in the settings file as well as "None".
    for (const char* Stored : {"0", "-0.0003", "nan"}) {
        SCOPED_TRACE(Stored);
        TestClock Clock;
        RecordingRig R;
        R.Ini("Settings", "Timed Interval", Stored);
        R.Build();
        R.Action("actnSaveFile")->Execute();
        for (uint16_t N = 0; N < 5; ++N) {
            Clock.Advance(3600);
            Feed(*R.Form, N);
        }
        R.Action("actnCloseFile")->Execute();
        EXPECT_EQ(TypesOf(ReadDataFile(R.FileName)), "!TJIHWWWWW");
    }
}

TEST(Recording, TimedBreakDialogShowsTheStoredIntervalsRow)
{
    struct Case {
        double Seconds;
        const char* Shown;
    };
    const Case Cases[] = {{0, "None"},         {30, "30 Seconds"}, {45, "1 Minute"}, {120, "5 Minutes"},
                          {600, "10 Minutes"}, {1200, "None"},     {-30, "None"}};
    RecordingRig R;
    for (const Case& C : Cases) {
        R.Ini("Settings", "Timed Interval", FloatToStr(C.Seconds / SecsPerDay));
        R.Build();
        R.Action("actnTimedBreaks")->Execute();
        EXPECT_EQ(R.User.TimedBreakShown, C.Shown) << C.Seconds;
    }
    // OK on "None" sets no breaks; "10 Minutes" ten minutes.
    R.User.TimedBreakRow = 0;
    R.Action("actnTimedBreaks")->Execute();
    EXPECT_EQ(Probe(*R.Form).TimedInterval(), 0);
    R.User.TimedBreakRow = 4;
    R.Action("actnTimedBreaks")->Execute();
    EXPECT_DOUBLE_EQ(Probe(*R.Form).TimedInterval() * SecsPerDay, 600);
}

// Frames that arrive while the note is typed are acknowledged, so they are
// in the file at once; the note follows them.
TEST(Recording, FramesAreWrittenWhileTheNoteIsTypedAndTheNoteFollowsThem)
{
    for (const int Result : {mrOk, mrCancel}) {
        SCOPED_TRACE(Result == mrOk ? "OK" : "Cancel");
        TestClock Clock;
        RecordingRig R;
        R.Build();
        R.Action("actnSaveFile")->Execute();
        Feed(*R.Form, 1);
        Clock.Advance(5);
        const std::string Opened = TimeToStr(Clock.Time);
        R.User.AnnotateResult = Result;
        R.User.AnnotateNotes = "valve\nchanged";
        std::string InFileMeanwhile;
        R.User.WhileAnnotating = [&] {
            // Frames dispatched inside the dialog's loop while the note is typed.
            Clock.Advance(2);
            Feed(*R.Form, 2);
            Feed(*R.Form, 3);
            const auto Parts = PartFilesIn(R.Dir + "/Signals");
            if (Parts.size() == 1)
                InFileMeanwhile = TypesOf(ReadDataFile(Parts[0]));
        };
        R.Action("actnAnnotate")->Execute();
        EXPECT_EQ(InFileMeanwhile, "!TJIH" "WWW");
        Feed(*R.Form, 4);
        R.Action("actnCloseFile")->Execute();

        const auto Records = ReadDataFile(R.FileName);
        std::vector<uint16_t> Counters;
        for (const auto& Rec : Records)
            if (Rec.RecordType == drtWaveform)
                Counters.push_back(CounterOf(Rec));
        EXPECT_EQ(Counters, (std::vector<uint16_t>{1, 2, 3, 4}));
        if (Result == mrOk) {
            ASSERT_EQ(TypesOf(Records), "!TJIH" "WWW" "!TH" "W");
            // The time is the one the dialog showed when it opened.
            EXPECT_EQ(GetRecordField(Records[9].Payload, 0), Opened);
            EXPECT_EQ(GetRecordField(Records[10].Payload, 0), "valve");
            EXPECT_EQ(GetRecordField(Records[10].Payload, 1), "changed");
        } else {
            EXPECT_EQ(TypesOf(Records), "!TJIH" "WWWW");
        }
    }
}

TEST(Recording, TimeMarkIsWrittenAndTold)
{
    TestClock Clock;
    RecordingRig R;
    R.Build();
    // Nothing happens while no recording runs.
    R.Action("actnMarkTime")->Execute();
    R.Action("actnAnnotate")->Execute();
    EXPECT_TRUE(R.User.Messages.empty());

    R.Action("actnSaveFile")->Execute();
    Feed(*R.Form, 1);
    R.Action("actnMarkTime")->Execute();
    Feed(*R.Form, 2);
    R.Action("actnCloseFile")->Execute();
    const auto Records = ReadDataFile(R.FileName);
    ASSERT_EQ(TypesOf(Records), "!TJIH" "W" "!T" "W");
    EXPECT_EQ(GetRecordField(Records[7].Payload, 0), TimeToStr(Clock.Time));
    EXPECT_EQ(R.User.Messages, (std::vector<std::string>{"The time marked was " + TimeToStr(Clock.Time)}));
}

TEST(Recording, ANewRecordingAsksFirstAndClosesTheOldOneComplete)
{
    RecordingRig R;
    R.Build();
    R.Action("actnSaveFile")->Execute();
    Feed(*R.Form, 1);
    // Cancel leaves the recording running.
    R.User.MessageAnswer = mrCancel;
    R.Action("actnSaveFile")->Execute();
    EXPECT_EQ(R.User.Messages, (std::vector<std::string>{"File already recording, close this file?"}));
    EXPECT_TRUE(Probe(*R.Form).Recording());
    Feed(*R.Form, 2);

    R.User.MessageAnswer = mrOk;
    R.User.SaveName = R.Dir + "/Signals/second.zrp";
    R.Action("actnSaveFile")->Execute();
    EXPECT_EQ(TypesOf(ReadDataFile(R.FileName)), "!TJIHWW");
    // Only the second recording's part file is left.
    const auto Parts = PartFilesIn(R.Dir + "/Signals");
    ASSERT_EQ(Parts.size(), 1u);
    EXPECT_EQ(Parts[0].rfind(R.User.SaveName + ".", 0), 0u) << Parts[0];
    Feed(*R.Form, 3);
    R.Action("actnCloseFile")->Execute();
    EXPECT_EQ(TypesOf(ReadDataFile(R.User.SaveName)), "!TJIHW");
    EXPECT_TRUE(PartFilesIn(R.Dir + "/Signals").empty());
}

TEST(Recording, TheNameWrittenIsTheOneAskedAbout)
{
    // "run.dat" is chosen, "run.zrp" is what would be written, and it exists.
    RecordingRig R;
    R.Build();
    std::string Error;
    ASSERT_TRUE(WriteFileAtomic(R.FileName, "keep me", Error));
    R.User.SaveName = R.Dir + "/Signals/run.dat";
    R.User.MessageAnswer = mrNo;
    R.Action("actnSaveFile")->Execute();
    ASSERT_EQ(R.User.Messages, (std::vector<std::string>{"run.zrp already exists.\nDo you want to replace it?"}));
    EXPECT_FALSE(Probe(*R.Form).Recording());
    std::string Data;
    ReadWholeFile(R.FileName, Data);
    EXPECT_EQ(Data, "keep me");

    R.User.MessageAnswer = mrYes;
    R.Action("actnSaveFile")->Execute();
    EXPECT_TRUE(Probe(*R.Form).Recording());
    R.Action("actnCloseFile")->Execute();
    EXPECT_EQ(TypesOf(ReadDataFile(R.FileName)), "!TJIH");
}

TEST(Recording, AFileThatCannotBeCreatedIsReportedAndNothingRecords)
{
    RecordingRig R;
    R.Build();
    std::string Error;
    ASSERT_TRUE(WriteFileAtomic(R.Dir + "/plain", "x", Error));
    R.User.SaveName = R.Dir + "/plain/sub/run.zrp";
    R.Action("actnSaveFile")->Execute();
    EXPECT_FALSE(Probe(*R.Form).Recording());
    EXPECT_EQ(R.StatusText(), "");
    EXPECT_EQ(Probe(*R.Form).DataFileName(), "");
    EXPECT_FALSE(R.Action("actnCloseFile")->Enabled());
    ASSERT_EQ(R.User.Messages.size(), 1u);
    EXPECT_NE(R.User.Messages[0].find(R.User.SaveName), std::string::npos) << R.User.Messages[0];
    EXPECT_NE(R.User.Messages[0].find("Not a directory"), std::string::npos) << R.User.Messages[0];
    Feed(*R.Form, 1);   // nothing to write to
}

// A name near the limit of one name records and exports: the files written
// beside it on the way keep within the limit too.
TEST(Recording, ALongFileNameRecordsFromTheAnalyzerAndExports)
{
    RecordingRig R;
    R.StartSim();
    R.ConnectAtOwnRate();
    ASSERT_TRUE(ProcessUntil([&] { return Probe(*R.Form).SampleTime() > 5; }, 10000));
    const std::string Base = R.Dir + "/Signals/" + std::string(246, 'r');
    R.User.SaveName = Base + ".zrp";
    ASSERT_EQ(ExtractFileName(R.User.SaveName).size(), 250u);
    R.Action("actnSaveFile")->Execute();
    ASSERT_TRUE(Probe(*R.Form).Recording()) << (R.User.Messages.empty() ? "" : R.User.Messages[0]);
    ASSERT_TRUE(ProcessUntil([&] { return Probe(*R.Form).RecordedCount() > 40; }, 10000));
    R.Action("actnCloseFile")->Execute();
    EXPECT_TRUE(R.User.Messages.empty()) << R.User.Messages[0];
    const std::string Types = TypesOf(ReadDataFile(R.User.SaveName));
    EXPECT_EQ(Types.substr(0, 5), "!TJIH");
    EXPECT_GT(Types.size(), 40u);

    ASSERT_TRUE(ExportDataFile(R.User.SaveName, ekSignals)) << (R.User.Messages.empty() ? "" : R.User.Messages[0]);
    ASSERT_TRUE(ExportDataFile(R.User.SaveName, ekParameters)) << (R.User.Messages.empty() ? "" : R.User.Messages[0]);
    std::string Signals, Parameters;
    ReadWholeFile(Base + ".sig", Signals);
    ReadWholeFile(Base + ".par", Parameters);
    EXPECT_EQ(Signals.rfind("Flow (lpm)\t", 0), 0u);
    EXPECT_GT(std::count(Signals.begin(), Signals.end(), '\n'), 30);
    EXPECT_EQ(Parameters.rfind("Minute Volume (lpm)\t", 0), 0u);
    std::vector<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(R.Dir + "/Signals"))
        Names.push_back(Entry.path().filename().string());
    std::sort(Names.begin(), Names.end());
    EXPECT_EQ(Names, (std::vector<std::string>{std::string(246, 'r') + ".par", std::string(246, 'r') + ".sig",
                                               std::string(246, 'r') + ".zrp"}));
}
