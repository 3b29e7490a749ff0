// The leak and trend tests in the main window: started from their dialogs,
// fed through NewWaveformSample and NewParameters on the test clocks, their
// side-bar pages and the leak plot; end to end against the simulator
// streaming a pressure decay and tidal volumes.
#include "tests/workbench/MainRig.h"

#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Graphics.h"
#include "platform/LookOut.h"
#include "platform/Mask.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"
#include "tests/workbench/TestClocks.h"
#include "tools/analyzer-sim/SimScripts.h"
#include "widgets/IcNumEdit.h"
#include "workbench/LeakTestDialog.h"
#include "workbench/TrendTestSettings.h"

#include <filesystem>
#include <memory>

namespace {

// The two test dialogs, as the start-up creates them.
struct TestDialogs {
    std::unique_ptr<TdlgStartLeakTest> Leak{new TdlgStartLeakTest(nullptr)};
    std::unique_ptr<TdlgTrendTest> Trend{new TdlgTrendTest(nullptr)};
    TestDialogs()
    {
        dlgStartLeakTest = Leak.get();
        dlgTrendTest = Trend.get();
    }
    ~TestDialogs()
    {
        dlgStartLeakTest = nullptr;
        dlgTrendTest = nullptr;
    }
};

std::string Text(TMainForm& F, const std::string& Name)
{
    TLabel* L = Find<TLabel>(&F, Name);
    return L ? L->Caption() : "<none>";
}

void LowPressure(TMainForm& F, float Value)
{
    static int32_t Counter = 0;
    TWaveformSample S;
    S.LowPressure = Value;
    S.AirwayPressure = 5;
    S.SampleCounter = ++Counter;
    F.NewWaveformSample(S);
}

TParameterStruct TidalVolume(float Value)
{
    TParameterStruct P;
    P.SetSlot(TParameterStruct::SlotOf(parTidalVolume2), Value);
    return P;
}

// Runs "Start Leak Test" answering its dialog.
void StartLeakTest(TMainForm& F, int UnitRow, double Compliance, const std::string& Time)
{
    DialogAnswers Answers(
        [&](TObject* Form) {
            auto* D = dynamic_cast<TComponent*>(Form);
            Pick(Find<TComboBox>(D, "cbLeakPressureUnits"), UnitRow);
            Find<TIcNumSpin>(D, "eLeakCompliance")->SetValue(Compliance);
            Find<TMaskEdit>(D, "eLeakTestTime")->SetText(Time);
        },
        mrOk);
    Find<TAction>(&F, "actnLeakTest")->Execute();
}

std::vector<std::string> LinesOf(const TTestReportSource& Source)
{
    TStringList L;
    Source.AddReportLines(&L, false);
    std::vector<std::string> Out;
    for (int i = 0; i < L.Count(); ++i)
        Out.push_back(L.Get(i));
    return Out;
}

// Connected at the analyzer's own rate (no slow probes), shown at 900 x 600.
void ConnectAndShow(MainRig& R)
{
    R.StartSim();
    R.ConnectAtOwnRate();
    R.Form->SetBounds(10, 10, 900, 600);
    R.Form->Show();
    // Already connected: no second handshake.
    Find<TTimer>(R.Form.get(), "tmrStartHandshake")->SetEnabled(false);
}

void SaveForm(TMainForm& F, const std::string& File)
{
    ProcessFor(150);
    std::unique_ptr<TBitmap> Image(F.GetFormImage());
    ASSERT_TRUE(Image);
    const std::string Name = std::string(OZ_TEST_ARTIFACTS) + "/" + File;
    Image->SaveToFile(Name);
    EXPECT_GT(std::filesystem::file_size(Name), 1000u);
}

}  // namespace

TEST(MainLeakTest, StartFollowAndEnd)
{
    MonotonicClock Clock;
    TestDialogs Dialogs;
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    auto* Sig = Find<TAction>(&F, "actnSigLeakTest");
    auto* End = Find<TAction>(&F, "actnEndLeakTest");
    auto* Print = Find<TAction>(&F, "actnPrintLeakTest");
    auto* Page = Find<TLookOutPage>(&F, "lopLeakTest");
    auto* BtnEnd = Find<TButton>(&F, "btnEndLeakTest");
    EXPECT_FALSE(Page->Enabled());
    EXPECT_FALSE(Sig->Enabled());
    EXPECT_FALSE(Print->Enabled());
    EXPECT_EQ(BtnEnd->Caption(), "Start Leak Test");
    EXPECT_EQ(Find<TButton>(&F, "btnShowHideLeakPlot")->Caption(), "Show Leak Plot");
    for (const char* L : {"lblLeakCurrentPressure", "lblLeakStartPressure", "lblLeakRate", "lblLeakVolumeLost"})
        EXPECT_EQ(Text(F, L), "-----") << L;

    LowPressure(F, 40);
    StartLeakTest(F, 1, 1.5, "0:00:20");
    EXPECT_TRUE(Probe(F).LeakTest().IsRunning());
    EXPECT_EQ(Probe(F).LeakTest().Source(), &F.SignalStats(sigLowPressure));
    // The page, the side bar and the plot in the third row.
    EXPECT_TRUE(Page->Enabled());
    EXPECT_TRUE(Find<TPanel>(&F, "pnlSideBar")->Visible());
    EXPECT_TRUE(Find<TAction>(&F, "actnFileControls")->Checked());
    EXPECT_EQ(Find<TLookOutBar>(&F, "LookOutBar")->ActivePage(), Page);
    EXPECT_TRUE(Probe(F).LeakPlotShown());
    EXPECT_TRUE(Find<TPanel>(&F, "pnlSigPlots4")->Visible());
    EXPECT_FALSE(Find<TPanel>(&F, "pnlSigPlots3")->Visible());
    EXPECT_EQ(Find<TButton>(&F, "btnShowHideLeakPlot")->Caption(), "Hide Leak Plot");
    EXPECT_EQ(BtnEnd->Caption(), "End Leak Test");
    EXPECT_TRUE(End->Enabled());
    EXPECT_TRUE(Print->Enabled());
    EXPECT_EQ(Text(F, "lblTitleLeakTest"), "Leak Test (Low Pressure)");
    EXPECT_EQ(Text(F, "lblUnits2LeakTest"), "mmHg");

    for (int i = 1; i < 20; ++i) {
        Clock.Advance(1000);
        LowPressure(F, 40);
    }
    EXPECT_EQ(Text(F, "lblFinalLeakLabel"), "Current Pressure:");
    EXPECT_EQ(Text(F, "lblLeakStartPressure"), "29.4 mmHg");
    EXPECT_EQ(Text(F, "lblLeakElapsedTime"), "00:00:19");
    Clock.Advance(1000);
    LowPressure(F, 34);
    EXPECT_FALSE(Probe(F).LeakTest().IsRunning());
    EXPECT_EQ(Text(F, "lblFinalLeakLabel"), "Final Pressure:");
    EXPECT_EQ(Text(F, "lblLeakCurrentPressure"), "25.0 mmHg");
    EXPECT_EQ(Text(F, "lblLeakRate"), "0.22 mmHg/sec");
    EXPECT_EQ(Text(F, "lblLeakCompliance"), "1.5 ml/cmH2O");
    EXPECT_EQ(Text(F, "lblLeakVolumeLost"), "9.0 mL");
    EXPECT_FALSE(End->Enabled());
    EXPECT_EQ(Probe(F).LeakTest().Series()->ParentChart(), Find<TChart>(&F, "chartLeakTest"));
    // A point per sample; the one that ended the test is not plotted.
    EXPECT_EQ(Probe(F).LeakTest().Series()->Count(), 19);

    const TReportSource& Source = F;
    EXPECT_EQ(LinesOf(*Source.LeakTestSource())[2], "Final Pressure:   25.0 mmHg");
    EXPECT_EQ(LinesOf(*Source.LeakTestSource())[5], "Test Time:        00:00:20");

    // A second test ended by hand after 5 s: the time actually run.
    StartLeakTest(F, 0, 2, "0:10:00");
    EXPECT_TRUE(End->Enabled());
    for (int i = 0; i < 5; ++i) {
        Clock.Advance(1000);
        LowPressure(F, 33);
    }
    Find<TAction>(&F, "actnEndLeakTest")->Execute();
    EXPECT_FALSE(Probe(F).LeakTest().IsRunning());
    EXPECT_FALSE(End->Enabled());
    EXPECT_EQ(BtnEnd->Caption(), "Start Leak Test");
    EXPECT_EQ(Text(F, "lblFinalLeakLabel"), "Final Pressure:");
    EXPECT_EQ(Text(F, "lblLeakElapsedTime"), "00:00:05");
    EXPECT_EQ(LinesOf(*Source.LeakTestSource())[5], "Test Time:        00:00:05");
    EXPECT_EQ(LinesOf(*Source.LeakTestSource())[0], "Leak Test on Low Pressure (cmH2O)");
}

TEST(MainLeakTest, ShowHidePlotEndsAMaximizedView)
{
    MonotonicClock Clock;
    TestDialogs Dialogs;
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    F.SetBounds(10, 10, 900, 600);
    LowPressure(F, 30);
    StartLeakTest(F, 0, 1, "0:01:00");
    auto* Sig = Find<TAction>(&F, "actnSigLeakTest");
    auto* Button = Find<TButton>(&F, "btnShowHideLeakPlot");
    ASSERT_TRUE(Probe(F).LeakPlotShown());

    Sig->Execute();
    EXPECT_FALSE(Probe(F).LeakPlotShown());
    EXPECT_EQ(Button->Caption(), "Show Leak Plot");
    EXPECT_TRUE(Find<TPanel>(&F, "pnlSigPlots3")->Visible());
    EXPECT_FALSE(Find<TPanel>(&F, "pnlSigPlots4")->Visible());

    Find<TButton>(&F, "btnMonitor2Max")->Click();
    ASSERT_TRUE(Probe(F).PlotMaximized());
    Sig->Execute();
    EXPECT_FALSE(Probe(F).PlotMaximized());
    EXPECT_TRUE(Probe(F).LeakPlotShown());
    EXPECT_EQ(Button->Caption(), "Hide Leak Plot");
    EXPECT_TRUE(Find<TPanel>(&F, "pnlSigPlots1")->Visible());
    EXPECT_TRUE(Find<TPanel>(&F, "pnlSigPlots4")->Visible());
    EXPECT_FALSE(Find<TPanel>(&F, "pnlSigPlots3")->Visible());

    // The popup of an airway pressure plot names its channel.
    Find<TAction>(&F, "actnLeakTest")->SetTag(sigAirwayPressure);
    DialogAnswers Answers([](TObject*) {}, mrOk);
    Find<TAction>(&F, "actnLeakTest")->Execute();
    EXPECT_EQ(Probe(F).LeakTest().Source(), &F.SignalStats(sigAirwayPressure));
    EXPECT_EQ(Text(F, "lblTitleLeakTest"), "Leak Test (Airway Pressure)");
}

TEST(MainLeakTest, ABadTestTimeStartsNothing)
{
    TestDialogs Dialogs;
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    LowPressure(F, 30);
    DialogAnswers Answers(
        [](TObject* Form) {
            Find<TMaskEdit>(dynamic_cast<TComponent*>(Form), "eLeakTestTime")->SetText("24:00:00");
        },
        mrOk);
    Find<TAction>(&F, "actnLeakTest")->Execute();
    ASSERT_EQ(Answers.Messages.size(), 1u);
    EXPECT_EQ(Answers.Messages[0].rfind("Invalid argument to time encode", 0), 0u);
    EXPECT_FALSE(Probe(F).LeakTest().IsRunning());
    EXPECT_FALSE(Find<TLookOutPage>(&F, "lopLeakTest")->Enabled());
    EXPECT_FALSE(Probe(F).LeakPlotShown());
    EXPECT_FALSE(Find<TPanel>(&F, "pnlSideBar")->Visible());
}

TEST(MainTrendTest, StartCountAndEnd)
{
    MonotonicClock Clock;
    TestDialogs Dialogs;
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    auto* Page = Find<TLookOutPage>(&F, "lopTrendTest");
    EXPECT_FALSE(Page->Enabled());
    F.NewParameters(TidalVolume(500));

    // While the dialog is open, records keep arriving: the proposed limits
    // follow the live value until one is edited.
    std::string Follow, Kept, Preselected;
    {
        DialogAnswers Answers(
            [&](TObject* Form) {
                auto* D = dynamic_cast<TComponent*>(Form);
                Preselected = Find<TComboBox>(D, "cbTrendParam")->Text();
                F.NewParameters(TidalVolume(600));
                Follow = Find<TIcNumSpin>(D, "eMin")->Text() + " " + Find<TIcNumSpin>(D, "eMax")->Text();
                Find<TIcNumSpin>(D, "eMax")->SetValue(650);
                F.NewParameters(TidalVolume(500));
                Kept = Find<TIcNumSpin>(D, "eMin")->Text() + " " + Find<TIcNumSpin>(D, "eMax")->Text();
                Find<TIcNumSpin>(D, "eMax")->SetValue(525);
            },
            mrOk);
        Find<TAction>(&F, "actnTrendTest")->Execute();
    }
    EXPECT_EQ(Preselected, "Tidal Volume");
    EXPECT_EQ(Follow, "570.0 630.0");
    EXPECT_EQ(Kept, "475.0 650.0");
    ASSERT_TRUE(Probe(F).TrendTest().IsRunning());
    EXPECT_EQ(Probe(F).TrendTest().ParamId(), parTidalVolume2);
    EXPECT_FLOAT_EQ(Probe(F).TrendTest().MinLimit(), 475);
    EXPECT_FLOAT_EQ(Probe(F).TrendTest().MaxLimit(), 525);
    EXPECT_TRUE(Page->Enabled());
    EXPECT_TRUE(Find<TPanel>(&F, "pnlSideBar")->Visible());
    EXPECT_EQ(Find<TLookOutBar>(&F, "LookOutBar")->ActivePage(), Page);
    EXPECT_EQ(Find<TNotebook>(&F, "nbkTrendTest")->ActivePage(), "Testing");

    for (float V : {500.0f, 525.0f, 525.1f, NoValue, 474.9f, 490.0f})
        F.NewParameters(TidalVolume(V));
    EXPECT_EQ(Text(F, "lblTrendParameter"), "TV");
    EXPECT_EQ(Text(F, "lblTrendInitialValue"), "500.0");
    EXPECT_EQ(Text(F, "lblTrendCurrentValue"), "490.0");
    EXPECT_EQ(Text(F, "lblTrendMinLimit"), "475.0");
    EXPECT_EQ(Text(F, "lblTrendMaxLimit"), "525.0");
    EXPECT_EQ(Text(F, "lblTrendPercentDifference"), "-2.0 %");
    EXPECT_EQ(Text(F, "lblTrendTestNumber"), "6");
    EXPECT_EQ(Text(F, "lblTrendIncidentNumber"), "3");

    // The running time every 250 ms.
    Clock.Advance(83'000);
    Find<TTimer>(&F, "tmrTrendTest")->OnTimer(nullptr);
    EXPECT_EQ(Text(F, "lblTrendRunningTime"), "00:01:23");

    Find<TAction>(&F, "actnEndTrendTest")->Execute();
    EXPECT_FALSE(Probe(F).TrendTest().IsRunning());
    EXPECT_EQ(Find<TNotebook>(&F, "nbkTrendTest")->ActivePage(), "Results");
    EXPECT_EQ(Text(F, "lblTrendReportParameter"), "TV");
    EXPECT_EQ(Text(F, "lblTrendElapsedTime"), "00:01:23");
    EXPECT_EQ(Text(F, "lblTrendReportInitialValue"), "500.0");
    EXPECT_EQ(Text(F, "lblTrendReportMinLimit"), "475.0");
    EXPECT_EQ(Text(F, "lblTrendReportMaxLimit"), "525.0");
    EXPECT_EQ(Text(F, "lblTrendReportTestNumber"), "6");
    EXPECT_EQ(Text(F, "lblTrendReportIncidentNumber"), "3");
    // Stopped: the timer leaves the running time alone; records no longer
    // count.
    Clock.Advance(5000);
    Find<TTimer>(&F, "tmrTrendTest")->OnTimer(nullptr);
    EXPECT_EQ(Text(F, "lblTrendRunningTime"), "00:01:23");
    F.NewParameters(TidalVolume(100));
    EXPECT_EQ(Probe(F).TrendTest().TestCount(), 6);

    const TReportSource& Source = F;
    const auto Lines = LinesOf(*Source.TrendTestSource());
    ASSERT_GE(Lines.size(), 3u);
    EXPECT_EQ(Lines[0], "Trend Test on Tidal Volume");
    EXPECT_EQ(Lines[1], "Values accepted between 525.0 and 475.0");
    EXPECT_EQ(Lines[2], "3 incidents in 6 tests");
    EXPECT_EQ(Lines.size(), 7u + 3 * 14);
}

// End to end: the simulator streams a pressure decay; a leak test of 2 s on
// the low pressure follows it on the real clock.
TEST(MainLeakTest, SimulatorPressureDecay)
{
    TestDialogs Dialogs;
    MainRig R;
    {
        auto L = R.Sim.Lock();
        R.Sim.Device().Waveform = sim::PressureDecay(30, 20, 10);
    }
    ConnectAndShow(R);
    TMainForm& F = *R.Form;
    ASSERT_TRUE(ProcessUntil([&] { return Probe(F).SampleTime() > 20; }, 10000));
    StartLeakTest(F, 0, 2, "0:00:02");
    ASSERT_TRUE(Probe(F).LeakTest().IsRunning());
    const float Initial = Probe(F).LeakTest().InitialPressure();
    EXPECT_GT(Initial, 19.9f);
    EXPECT_LT(Initial, 30.1f);
    ASSERT_TRUE(ProcessUntil([&] { return !Probe(F).LeakTest().IsRunning(); }, 10000));
    const float Final = Probe(F).LeakTest().FinalPressure();
    // Falling all the while (the decay restarts at 30 after its end: a
    // restart within the test gives a negative loss, so look at its sign
    // only when it did not restart).
    EXPECT_NE(Final, NoValue);
    if (Final < Initial) {
        EXPECT_GT(Probe(F).LeakTest().LeakRate(), 0);
        EXPECT_NEAR(Probe(F).LeakTest().GetVolumeLost(), (Initial - Final) * 2, 0.01);
    }
    EXPECT_GT(Probe(F).LeakTest().Series()->Count(), 50);
    EXPECT_EQ(Text(F, "lblFinalLeakLabel"), "Final Pressure:");
    EXPECT_NE(Text(F, "lblLeakRate"), "-----");
    EXPECT_TRUE(Find<TPanel>(&F, "pnlSigPlots4")->Visible());
    SaveForm(F, "workbench-leak-test.png");
}

// End to end: tidal volumes from the simulator's parameter script.
TEST(MainTrendTest, SimulatorTidalVolumes)
{
    TestDialogs Dialogs;
    MainRig R;
    {
        auto L = R.Sim.Lock();
        R.Sim.Device().Parameters = sim::TidalVolumeRecords({500});
        R.Sim.Device().ParametersLoop = false;
        R.Sim.Device().ParameterPeriodMs = 100;
    }
    ConnectAndShow(R);
    TMainForm& F = *R.Form;
    ASSERT_TRUE(ProcessUntil([&] { return F.LastParameters().GetValue(parTidalVolume2) == 500; }, 10000));
    {
        DialogAnswers Answers(nullptr, mrOk);
        Find<TAction>(&F, "actnTrendTest")->Execute();
    }
    ASSERT_TRUE(Probe(F).TrendTest().IsRunning());
    EXPECT_FLOAT_EQ(Probe(F).TrendTest().MinLimit(), 475);
    EXPECT_FLOAT_EQ(Probe(F).TrendTest().MaxLimit(), 525);
    {
        auto L = R.Sim.Lock();
        for (const auto& P : sim::TidalVolumeRecords({500, 525, 525.1, sim::kAbsent, 474.9, 490}))
            R.Sim.Device().Parameters.push_back(P);
    }
    ASSERT_TRUE(ProcessUntil([&] { return Probe(F).TrendTest().TestCount() >= 6; }, 10000));
    EXPECT_EQ(Text(F, "lblTrendIncidentNumber"), "3");
    EXPECT_EQ(Text(F, "lblTrendPercentDifference"), "-2.0 %");
    Find<TAction>(&F, "actnEndTrendTest")->Execute();
    EXPECT_EQ(Text(F, "lblTrendReportIncidentNumber"), "3");
    SaveForm(F, "workbench-trend-results.png");
}
