// The leak test on scripted pressures and the test clocks: results in the
// chosen unit, smoothed or raw final pressure, absent values, the clock it
// runs on, its plot and labels, and the dialog that starts it.
#include "workbench/Leaktestfunctions.h"
#include "workbench/LeakTestDialog.h"

#include "analyzer/Units.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/Application.h"
#include "platform/Mask.h"
#include "platform/StdCtrls.h"
#include "tests/support/Components.h"
#include "tests/workbench/TestClocks.h"
#include "widgets/IcNumEdit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The main window's low-pressure statistic fed by hand, and a leak test
// bound to a chart and its labels.
struct LeakRig {
    MonotonicClock Clock{MonotonicClock::Held};
    TSignalStats Low;
    std::unique_ptr<TChart> Chart = std::make_unique<TChart>(nullptr);
    std::vector<std::unique_ptr<TLabel>> Labels;
    TLeakTest Test;

    LeakRig()
    {
        Low.Setup("Low Pressure", "L Press", ucCmH2O, ucCmH2O, -1, 5.0f);
        for (int i = 0; i < 7; ++i)
            Labels.push_back(std::make_unique<TLabel>(nullptr));
        Test.SetChart(Chart.get(), clFuchsia);
        Test.SetLabels(Label(0), Label(1), Label(2), Label(3), Label(4), Label(5), Label(6));
    }
    TLabel* Label(int i) { return Labels[static_cast<size_t>(i)].get(); }
    std::string Title() { return Label(0)->Caption(); }
    std::string Max() { return Label(3)->Caption(); }
    std::string Min() { return Label(4)->Caption(); }
    std::string Current() { return Label(6)->Caption(); }
    // One waveform sample: the statistic first, then the test.
    void Sample(float Pressure)
    {
        Low.AddSample(Pressure);
        Test.AddSample();
    }
    void SampleAfter(int64_t Ms, float Pressure)
    {
        Clock.Advance(Ms);
        Sample(Pressure);
    }
    void Start(float Pressure, float Compliance, TDateTime TestTime, TUnitCode Unit)
    {
        Low.AddSample(Pressure);
        Test.Start(&Low, Compliance, TestTime, Unit);
    }
    std::vector<std::string> Report()
    {
        TStringList L;
        Test.AddReportLines(&L, false);
        std::vector<std::string> Out;
        for (int i = 0; i < L.Count(); ++i)
            Out.push_back(L.Get(i));
        return Out;
    }
};

TDateTime Seconds(int S)
{
    return S / SecsPerDay;
}

}  // namespace

TEST(LeakTest, ResultsInTheChosenUnit)
{
    LeakRig R;
    R.Start(40, 1.5f, Seconds(20), ucMmHg);
    EXPECT_TRUE(R.Test.IsRunning());
    EXPECT_EQ(R.Test.InitialPressureText(true), "29.4 mmHg");
    EXPECT_EQ(R.Title(), "Leak Test (Low Pressure)");
    EXPECT_EQ(R.Label(1)->Caption(), "mmHg");
    EXPECT_EQ(R.Label(2)->Caption(), "mmHg");
    // Axes: the test time along the bottom, up to 5 % above the start.
    EXPECT_DOUBLE_EQ(R.Chart->BottomAxis()->Maximum(), 20);
    EXPECT_NEAR(R.Chart->LeftAxis()->Maximum(), 42, 1e-4);
    EXPECT_DOUBLE_EQ(R.Chart->LeftAxis()->Minimum(), 0);

    for (int i = 1; i <= 19; ++i)
        R.SampleAfter(1000, 40);
    EXPECT_TRUE(R.Test.IsRunning());
    // The sample that reaches the test time counts raw and ends the test.
    R.SampleAfter(1000, 34);
    EXPECT_FALSE(R.Test.IsRunning());
    EXPECT_EQ(R.Test.FinalPressureText(true), "25.0 mmHg");
    EXPECT_EQ(R.Test.LeakRateText(true), "0.22 mmHg/sec");
    EXPECT_EQ(R.Test.VolumeLostText(true), "9.0 mL");
    EXPECT_EQ(R.Test.ComplianceText(true), "1.5 ml/cmH2O");
    EXPECT_EQ(R.Test.ElapsedTimeText(), "00:00:20");
    EXPECT_NEAR(R.Test.GetLeakRate(), 0.3f * 0.73556f, 1e-3);

    EXPECT_EQ(R.Report(), (std::vector<std::string>{
                              "Leak Test on Low Pressure (mmHg)",
                              " ",
                              "Final Pressure:   25.0 mmHg",
                              "Initial Pressure: 29.4 mmHg",
                              "Leak Rate:        0.22 mmHg/sec",
                              "Test Time:        00:00:20",
                              " ",
                              "Compliance:       1.5 ml/cmH2O",
                              "Volume Lost:      9.0 mL",
                          }));
    // Ended: later samples change nothing, and the ending sample is not
    // plotted.
    const int Points = R.Test.Series()->Count();
    R.SampleAfter(1000, 20);
    EXPECT_EQ(R.Test.FinalPressureText(false), "25.0");
    EXPECT_EQ(R.Test.Series()->Count(), Points);
}

TEST(LeakTest, CircuitFallingTenCmH2OInTenSeconds)
{
    // 30 to 20 cmH2O in 10 s with 2 ml/cmH2O: about 1 cmH2O/s and 20 ml.
    LeakRig R;
    R.Start(30, 2, Seconds(10), ucCmH2O);
    for (int i = 1; i <= 500; ++i)
        R.SampleAfter(20, 30 - 10 * i / 500.0f);
    EXPECT_FALSE(R.Test.IsRunning());
    EXPECT_NEAR(R.Test.GetLeakRate(), 1.0f, 0.01f);
    EXPECT_NEAR(R.Test.GetVolumeLost(), 20.0f, 0.1f);
    EXPECT_EQ(R.Test.LeakRateText(true), "1.00 cmH2O/sec");
}

TEST(LeakTest, BeforeTheTestTimeTheSmoothedPressureCounts)
{
    LeakRig R;
    R.Start(40, 1, Seconds(60), ucCmH2O);
    // Twelve more samples complete the first 13-sample window.
    for (int i = 0; i < 12; ++i)
        R.SampleAfter(100, 30);
    const float Smoothed = (40 + 12 * 30) / 13.0f;
    EXPECT_NEAR(R.Test.FinalPressure(), Smoothed, 1e-4);
    EXPECT_NEAR(R.Test.GetVolumeLost(), 40 - Smoothed, 1e-4);

    // End Leak Test takes one more sample, smoothed as the time is short,
    // then stops.
    R.Low.AddSample(10);
    R.Clock.Advance(800);
    const TDateTime Before = R.Test.GetElapsedTime();
    R.Test.Stop();
    EXPECT_FALSE(R.Test.IsRunning());
    EXPECT_GT(R.Test.GetElapsedTime(), Before);
    EXPECT_NEAR(R.Test.GetElapsedTime() * SecsPerDay, 2.0, 0.05);
    EXPECT_NEAR(R.Test.FinalPressure(), Smoothed, 1e-4);
    EXPECT_NEAR(R.Test.GetLeakRate(), (40 - Smoothed) / 2.0f, 0.05f);
    // Stopping again takes nothing more.
    R.Clock.Advance(5000);
    R.Test.Stop();
    EXPECT_NEAR(R.Test.GetElapsedTime() * SecsPerDay, 2.0, 0.05);
}

TEST(LeakTest, SteadyPressureLosesNothing)
{
    LeakRig R;
    R.Start(25, 3, Seconds(5), ucKPa);
    for (int i = 0; i < 250; ++i)
        R.SampleAfter(20, 25);
    EXPECT_FALSE(R.Test.IsRunning());
    EXPECT_NEAR(R.Test.GetLeakRate(), 0, 1e-6);
    EXPECT_NEAR(R.Test.GetVolumeLost(), 0, 1e-6);
    EXPECT_EQ(R.Test.VolumeLostText(true), "0.0 mL");
}

TEST(LeakTest, AbsentPressuresGiveNoResults)
{
    {
        SCOPED_TRACE("absent at the start");
        LeakRig R;
        const double LeftMax = R.Chart->LeftAxis()->Maximum();
        R.Start(NoValue, 1.5f, Seconds(20), ucMmHg);
        EXPECT_EQ(R.Chart->LeftAxis()->Maximum(), LeftMax);
        R.SampleAfter(1000, 35);
        for (const std::string& Text : {R.Test.InitialPressureText(true), R.Test.FinalPressureText(true)})
            EXPECT_EQ(Text, "----- mmHg");
        EXPECT_EQ(R.Test.LeakRateText(true), "----- mmHg/sec");
        EXPECT_EQ(R.Test.VolumeLostText(true), "----- mL");
        EXPECT_EQ(R.Test.GetFinalPressure(), NoValue);
        EXPECT_EQ(R.Test.GetLeakRate(), NoValue);
        EXPECT_EQ(R.Test.GetVolumeLost(), NoValue);
    }
    {
        SCOPED_TRACE("absent while it runs");
        LeakRig R;
        R.Start(30, 1, Seconds(20), ucPSI);
        R.SampleAfter(1000, 29);
        R.SampleAfter(1000, NoValue);
        EXPECT_EQ(R.Test.GetFinalPressure(), NoValue);
        EXPECT_EQ(R.Test.FinalPressureText(true), "----- PSI");
        EXPECT_EQ(R.Test.LeakRateText(false), "-----");
        // The plot shows a gap at the last good value, never -9,999,999.
        TFastLineSeries* S = R.Test.Series();
        ASSERT_GE(S->Count(), 2);
        const int Last = S->Count() - 1;
        EXPECT_EQ(S->ValueColor(Last), clNone);
        EXPECT_EQ(S->YValues()->Value(Last), 29);
        EXPECT_GT(R.Chart->LeftAxis()->Minimum(), NoValue);
        // Values again: results come back once a smoothing window is
        // complete, and the trace resumes at once.
        for (int i = 0; i < 13; ++i)
            R.SampleAfter(20, 28);
        EXPECT_NE(R.Test.GetFinalPressure(), NoValue);
        EXPECT_NE(S->ValueColor(S->Count() - 1), clNone);
    }
    // A start pressure of 0 or below leaves the left axis as it was.
    for (float Start : {0.0f, -4.0f}) {
        SCOPED_TRACE(Start);
        LeakRig R;
        R.Chart->LeftAxis()->SetMinMax(-100, 100);
        R.Start(Start, 1, Seconds(20), ucCmH2O);
        EXPECT_EQ(R.Chart->LeftAxis()->Minimum(), -100);
        EXPECT_EQ(R.Chart->LeftAxis()->Maximum(), 100);
    }
}

TEST(LeakTest, ElapsedTimeIgnoresWallClockChanges)
{
    WallClock Wall(EncodeDate(2026, 3, 29) + EncodeTime(1, 59, 0, 0));
    LeakRig R;
    R.Start(40, 1, Seconds(60), ucCmH2O);
    EXPECT_EQ(FormatDateTime("hh:nn:ss", R.Test.StartTime()), "01:59:00");
    // The wall clock jumps an hour ahead (daylight saving) and later back.
    Wall.Set(Wall.Get() + 1.0 / 24);
    R.SampleAfter(10000, 38);
    EXPECT_TRUE(R.Test.IsRunning());
    EXPECT_NEAR(R.Test.GetElapsedTime() * SecsPerDay, 10, 0.05);
    Wall.Set(Wall.Get() - 2.0 / 24);
    R.SampleAfter(10000, 36);
    EXPECT_TRUE(R.Test.IsRunning());
    EXPECT_NEAR(R.Test.GetElapsedTime() * SecsPerDay, 20, 0.05);
    EXPECT_EQ(R.Test.ElapsedTimeText(), "00:00:20");
    // The start time shown stays wall-clock.
    EXPECT_EQ(FormatDateTime("hh:nn:ss", R.Test.StartTime()), "01:59:00");
}

TEST(LeakTest, PlotAndLabels)
{
    LeakRig R;
    R.Low.SetDisplayUnit(ucMmHg);
    R.Start(40, 1, Seconds(30), ucInH2O);
    R.SampleAfter(1000, 38);
    R.SampleAfter(1000, 36);
    TFastLineSeries* S = R.Test.Series();
    EXPECT_EQ(S->ParentChart(), R.Chart.get());
    EXPECT_EQ(S->SeriesColor(), clFuchsia);
    ASSERT_EQ(S->Count(), 2);
    // Seconds along, the source's display unit up.
    EXPECT_NEAR(S->XValues()->Value(1), 2.0, 0.05);
    EXPECT_NEAR(S->YValues()->Value(1), ConvertUnits(ucCmH2O, ucMmHg, 36), 1e-3);
    // The labels show the test's own statistics in the result unit.
    EXPECT_EQ(R.Max(), FormatNumber(DecimalsFor(ucCmH2O, ucInH2O), ConvertUnits(ucCmH2O, ucInH2O, 40)));
    EXPECT_EQ(R.Min(), FormatNumber(DecimalsFor(ucCmH2O, ucInH2O), ConvertUnits(ucCmH2O, ucInH2O, 36)));
    EXPECT_EQ(R.Test.Stats().DisplayUnit(), ucCmH2O);
    // The decimals follow the source's display unit; the rate has one more.
    EXPECT_EQ(R.Test.GetDecimals(), DecimalsFor(ucCmH2O, ucMmHg));

    // What the report reads.
    const TPlotReportRecord Rec = R.Test.PlotRecord();
    EXPECT_EQ(Rec.Chart, R.Chart.get());
    EXPECT_EQ(Rec.Title, "Leak Test (Low Pressure)");
    EXPECT_EQ(Rec.Units, "inH2O");
    EXPECT_EQ(Rec.Max, R.Max());
    EXPECT_EQ(Rec.Current, R.Current());

    // A new start clears the plot.
    R.Start(36, 1, Seconds(30), ucCmH2O);
    EXPECT_EQ(S->Count(), 0);
}

TEST(LeakTest, WithoutSourceOrTime)
{
    LeakRig R;
    EXPECT_FALSE(R.Test.IsRunning());
    EXPECT_EQ(R.Test.UnitText(), "cmH2O");
    EXPECT_EQ(R.Test.SignalNameText(), "");
    R.Test.AddSample();
    R.Test.Stop();
    R.Test.Start(nullptr, 1, Seconds(10), ucMmHg);
    EXPECT_FALSE(R.Test.IsRunning());
    EXPECT_EQ(R.Test.FinalPressureText(true), "----- cmH2O");

    // A zero test time ends the test at the first sample.
    R.Start(30, 1, 0, ucCmH2O);
    EXPECT_TRUE(R.Test.IsRunning());
    R.SampleAfter(20, 29);
    EXPECT_FALSE(R.Test.IsRunning());
    EXPECT_EQ(R.Test.FinalPressureText(false), "29.0");
}

TEST(LeakTest, ChartFreedFirstTakesTheSeriesAlong)
{
    auto Test = std::make_unique<TLeakTest>();
    auto Chart = std::make_unique<TChart>(nullptr);
    Test->SetChart(Chart.get(), clFuchsia);
    EXPECT_EQ(Chart->SeriesCount(), 1);
    Chart.reset();
    EXPECT_EQ(Test->Series(), nullptr);
    Test.reset();   // no second free (the sanitizer build checks)

    // The test freed first leaves the chart without its series.
    Chart = std::make_unique<TChart>(nullptr);
    Test = std::make_unique<TLeakTest>();
    Test->SetChart(Chart.get(), clFuchsia);
    Test.reset();
    EXPECT_EQ(Chart->SeriesCount(), 0);
}

// ------------------------------------------------------------------ dialog

namespace {

struct LeakDialogRig {
    std::unique_ptr<TdlgStartLeakTest> Dlg = std::make_unique<TdlgStartLeakTest>(nullptr);
    // What the dialog showed when it opened.
    std::string ShownChannel, ShownUnit, ShownTime;
    double ShownCompliance = 0;

    bool Run(int ChannelRow, int UnitRow, double Compliance, const std::string& Time, int Result)
    {
        DialogAnswers Answers(
            [&](TObject* Form) {
                auto* F = dynamic_cast<TComponent*>(Form);
                auto* Channel = Find<TComboBox>(F, "cbLeakPressureChannel");
                auto* Units = Find<TComboBox>(F, "cbLeakPressureUnits");
                auto* Spin = Find<TIcNumSpin>(F, "eLeakCompliance");
                auto* Edit = Find<TMaskEdit>(F, "eLeakTestTime");
                ShownChannel = Channel->Text();
                ShownUnit = Units->Text();
                ShownTime = Edit->Text();
                ShownCompliance = Spin->Value();
                Pick(Channel, ChannelRow);
                Pick(Units, UnitRow);
                Spin->SetValue(Compliance);
                Edit->SetText(Time);
            },
            Result);
        const bool Ok = Dlg->Execute();
        Messages = Answers.Messages;
        return Ok;
    }
    std::vector<std::string> Messages;
};

}  // namespace

TEST(StartLeakTestDialog, ShowsAndTakesBackItsValues)
{
    LeakDialogRig R;
    EXPECT_EQ(R.Dlg->Caption(), "Start Leak Test");
    EXPECT_EQ(R.Dlg->Compliance(), 0);
    EXPECT_DOUBLE_EQ(R.Dlg->TestTime() * SecsPerDay, 600);
    auto* Units = Find<TComboBox>(R.Dlg.get(), "cbLeakPressureUnits");
    ASSERT_EQ(Units->Items()->Count(), 9);
    const char* const Names[] = {"cmH2O", "mmHg", "PSI", "kPa", "Bar", "mBar", "ATM", "inH2O", "InHg"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Units->Items()->Get(i), Names[i]);

    R.Dlg->SetChannel(sigHighPressure);
    R.Dlg->SetUnit(ucPSI);
    ASSERT_TRUE(R.Run(2, 1, 1.5, "0:00:20", mrOk));
    EXPECT_EQ(R.ShownChannel, "High Pressure");
    EXPECT_EQ(R.ShownUnit, "PSI");
    EXPECT_EQ(R.ShownTime, "0:10:00");
    EXPECT_EQ(R.ShownCompliance, 0);
    EXPECT_EQ(R.Dlg->Channel(), sigAirwayPressure);
    EXPECT_EQ(R.Dlg->Unit(), ucMmHg);
    EXPECT_FLOAT_EQ(R.Dlg->Compliance(), 1.5f);
    EXPECT_NEAR(R.Dlg->TestTime() * SecsPerDay, 20, 1e-6);

    // The next run shows the last values; Cancel keeps them.
    ASSERT_FALSE(R.Run(0, 8, 4, "1:00:00", mrCancel));
    EXPECT_EQ(R.ShownChannel, "Airway Pressure");
    EXPECT_EQ(R.ShownUnit, "mmHg");
    EXPECT_EQ(R.ShownTime, "0:00:20");
    EXPECT_DOUBLE_EQ(R.ShownCompliance, 1.5);
    EXPECT_EQ(R.Dlg->Channel(), sigAirwayPressure);
    EXPECT_EQ(R.Dlg->Unit(), ucMmHg);
    EXPECT_NEAR(R.Dlg->TestTime() * SecsPerDay, 20, 1e-6);
    EXPECT_TRUE(R.Messages.empty());

    ASSERT_TRUE(R.Run(0, 0, 2, "12:34:56", mrOk));
    EXPECT_EQ(R.Dlg->Channel(), sigLowPressure);
    EXPECT_NEAR(R.Dlg->TestTime() * SecsPerDay, 12 * 3600 + 34 * 60 + 56, 1e-4);
}

TEST(StartLeakTestDialog, ATimeThatIsNoTimeOfDayStartsNothing)
{
    for (const char* Time : {"", "  :  :  ", "24:00:00", "0:60:00", "0:00:60"}) {
        SCOPED_TRACE(Time);
        LeakDialogRig R;
        EXPECT_FALSE(R.Run(1, 3, 2.5, Time, mrOk));
        ASSERT_EQ(R.Messages.size(), 1u);
        EXPECT_EQ(R.Messages[0].rfind("Invalid argument to time encode", 0), 0u) << R.Messages[0];
        // Channel, unit and compliance are taken all the same; the time
        // stays.
        EXPECT_EQ(R.Dlg->Channel(), sigHighPressure);
        EXPECT_EQ(R.Dlg->Unit(), ucKPa);
        EXPECT_FLOAT_EQ(R.Dlg->Compliance(), 2.5f);
        EXPECT_DOUBLE_EQ(R.Dlg->TestTime() * SecsPerDay, 600);
    }
}
