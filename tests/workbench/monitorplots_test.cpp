// The three sweeping monitor plots: sweep position and wrap, the shadow
// sweep, the Y range taken at each wrap, gaps for absent values, the label
// cadence and titles; end to end with the simulator, with a picture of both
// plot pages and the CPU time the live path takes.
#include "tests/workbench/MainRig.h"
#include "tests/support/Components.h"

#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/ComCtrls.h"
#include "platform/StdCtrls.h"

#include <chrono>
#include <ctime>
#include <sys/resource.h>
#include <thread>

namespace {

struct PlotRig {
    MainRig R;
    TMainForm* F = nullptr;
    PlotRig()
    {
        R.Build();
        F = R.Form.get();
    }
    void Sample(int32_t Counter, float Flow, float Volume = 0, float Pressure = 0, uint8_t Marker = 0)
    {
        TWaveformSample S;
        S.Flow = Flow;
        S.Volume = Volume;
        S.AirwayPressure = Pressure;
        S.SampleCounter = Counter;
        S.Flags[0] = Marker;
        F->NewWaveformSample(S);
    }
};

std::string Caption(TLabel* L)
{
    return L->Caption();
}

double ThreadCpuSeconds()
{
    timespec T{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
    return T.tv_sec + T.tv_nsec * 1e-9;
}

double ProcessCpuSeconds()
{
    timespec T{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
    return T.tv_sec + T.tv_nsec * 1e-9;
}

}  // namespace

// A 30 s sweep with the counter rising by one: positions 1 to 1500 fill the
// first series, the 1501st sample wraps to x = 0 in the other series, which
// starts at the last y; the finished sweep turns grey behind the new one
// and the Y axis is worked out from the flow statistics.
TEST(MonitorPlots, SweepWrapsAndRescalesFromTheStatistics)
{
    PlotRig P;
    TMainForm& F = *P.F;
    const TMonitorPlotInfo& Plot = Probe(F).MonitorPlot(0);
    TFastLineSeries* First = Find<TFastLineSeries>(&F, "seriesMonitor1_1");
    TFastLineSeries* Second = Find<TFastLineSeries>(&F, "seriesMonitor1_2");
    // Flow runs -30 .. 60 in steps of 10.
    auto Flow = [](int i) { return static_cast<float>((i % 10) * 10 - 30); };
    for (int i = 0; i < 1500; ++i)
        P.Sample(i, Flow(i));
    EXPECT_EQ(Plot.SweepPos(), 1500);
    EXPECT_EQ(Plot.ActiveSeries(), First);
    ASSERT_EQ(First->Count(), 1500);
    EXPECT_NEAR(First->XValue(0), 0.02, 1e-9);
    EXPECT_NEAR(First->XValue(1499), 30.0, 1e-6);
    EXPECT_EQ(Second->Count(), 0);
    // No wrap yet: the axis keeps its start range, -100 .. 100 LPM plus 5 %.
    EXPECT_NEAR(Find<TChart>(&F, "chartMonitor1")->LeftAxis()->Minimum(), -110, 1e-4);

    P.Sample(1500, 25);
    EXPECT_EQ(Plot.SweepPos(), 0);
    EXPECT_EQ(Plot.ActiveSeries(), Second);
    EXPECT_EQ(Plot.InactiveSeries(), First);
    ASSERT_EQ(Second->Count(), 2);
    EXPECT_DOUBLE_EQ(Second->XValue(0), 0);
    EXPECT_DOUBLE_EQ(Second->YValue(0), Flow(1499));
    EXPECT_DOUBLE_EQ(Second->XValue(1), 0);
    EXPECT_DOUBLE_EQ(Second->YValue(1), 25);
    EXPECT_EQ(First->SeriesColor(), clGray);
    EXPECT_EQ(Second->SeriesColor(), clBlue);
    EXPECT_TRUE(First->Active());
    EXPECT_EQ(Find<TChart>(&F, "chartMonitor1")->Series(0), First);
    EXPECT_EQ(Find<TChart>(&F, "chartMonitor1")->Series(1), Second);
    // min -30, max 60, plus 5 %: -34.5 .. 64.5 stored; the axis adds its own
    // 5 % of 99: -39.45 .. 69.45.
    EXPECT_NEAR(Probe(F).SignalScale(sigFlow).YLower, -34.5, 1e-4);
    EXPECT_NEAR(Probe(F).SignalScale(sigFlow).YUpper, 64.5, 1e-4);
    EXPECT_NEAR(Find<TChart>(&F, "chartMonitor1")->LeftAxis()->Minimum(), -39.45, 1e-4);
    EXPECT_NEAR(Find<TChart>(&F, "chartMonitor1")->LeftAxis()->Maximum(), 69.45, 1e-4);
    EXPECT_NEAR(Find<TChart>(&F, "chartMonitor1")->BottomAxis()->Maximum(), 30, 1e-9);

    // The next wrap gives the first series back, cleared.
    for (int i = 1501; i <= 3001; ++i)
        P.Sample(i, 1);
    EXPECT_EQ(Plot.ActiveSeries(), First);
    EXPECT_EQ(First->Count(), 2);
    EXPECT_EQ(Find<TChart>(&F, "chartMonitor1")->Series(1), First);
}

// The sweep advances by the counter's difference; a counter that repeats or
// goes back (restart, 16-bit overflow) advances it by one tick.
TEST(MonitorPlots, SweepFollowsTheSampleCounter)
{
    struct Case {
        int32_t A, B;
        int32_t Pos;
    };
    const Case Cases[] = {
        {0, 100, 101},    // a jump of 100 ticks: 2 s in one step
        {5, 5, 2},        // repeated
        {100, 50, 2},     // backwards
        {65535, 0, 2},    // overflow
        {0, 1, 2},
    };
    for (const Case& C : Cases) {
        PlotRig P;
        P.Sample(C.A, 1);
        P.Sample(C.B, 1);
        const TMonitorPlotInfo& Plot = Probe(*P.F).MonitorPlot(0);
        EXPECT_EQ(Plot.SweepPos(), C.Pos) << C.A << " -> " << C.B;
        EXPECT_NEAR(Plot.ActiveSeries()->XValue(1), C.Pos * 0.02, 1e-6) << C.A << " -> " << C.B;
    }
}

// With "Show Previous Monitor Data" off only the new sweep shows after a
// wrap; switching it back on keeps the shadow at the next wrap.
TEST(MonitorPlots, ShowPreviousDataHidesTheShadowSweep)
{
    PlotRig P;
    TMainForm& F = *P.F;
    ASSERT_TRUE(Find<TAction>(&F, "actnShowPreviousData")->Checked());
    Find<TAction>(&F, "actnShowPreviousData")->Execute();
    EXPECT_FALSE(Find<TAction>(&F, "actnShowPreviousData")->Checked());
    for (int i = 0; i <= 1500; ++i)
        P.Sample(i, 1);
    for (int p = 0; p < 3; ++p) {
        EXPECT_FALSE(Probe(F).MonitorPlot(p).InactiveSeries()->Active()) << p;
        EXPECT_TRUE(Probe(F).MonitorPlot(p).ActiveSeries()->Active()) << p;
    }
    Find<TAction>(&F, "actnShowPreviousData")->Execute();
    for (int i = 1501; i <= 3001; ++i)
        P.Sample(i, 1);
    EXPECT_TRUE(Probe(F).MonitorPlot(0).InactiveSeries()->Active());
    EXPECT_TRUE(Probe(F).MonitorPlot(0).ActiveSeries()->Active());
}

// The settings file's choice reaches the plots at start.
TEST(MonitorPlots, ShowPreviousDataFromTheSettingsFile)
{
    MainRig R;
    R.Ini("Settings", "Monitor Shadow Series", "0");
    R.Build();
    EXPECT_FALSE(Find<TAction>(R.Form.get(), "actnShowPreviousData")->Checked());
    for (int p = 0; p < 3; ++p)
        EXPECT_FALSE(Probe(*R.Form).MonitorPlot(p).ShowPrevious());
}

// A wrap leaves the axis alone while the signal is scaled by hand, and while
// its statistics have seen no value yet.
TEST(MonitorPlots, WrapKeepsTheAxisWhenManualOrWithoutStatistics)
{
    struct Case {
        bool Manual;
        float Flow;
    };
    for (const Case C : {Case{true, 5}, Case{false, NoValue}}) {
        PlotRig P;
        TMainForm& F = *P.F;
        TPlotScale Scale = Probe(F).SignalScale(sigFlow);
        Scale.Manual = C.Manual;
        Scale.YUpper = 7;
        Probe(F).SetSignalScale(sigFlow, Scale);
        for (int i = 0; i <= 1500; ++i)
            P.Sample(i, C.Flow);
        EXPECT_EQ(Probe(F).MonitorPlot(0).SweepPos(), 0);
        EXPECT_NEAR(Find<TChart>(&F, "chartMonitor1")->LeftAxis()->Minimum(), -110, 1e-4) << C.Manual;
        EXPECT_NEAR(Find<TChart>(&F, "chartMonitor1")->LeftAxis()->Maximum(), 110, 1e-4) << C.Manual;
        EXPECT_FLOAT_EQ(Probe(F).SignalScale(sigFlow).YUpper, 7) << C.Manual;
    }
}

// An absent value leaves a gap: the sweep advances, the pen moves without
// drawing, the trace resumes at the next value without a line from the gap,
// and NoValue is never stored as a point or as the last y.
TEST(MonitorPlots, AbsentValueLeavesAGap)
{
    PlotRig P;
    TMainForm& F = *P.F;
    const float In[] = {10, 20, NoValue, NoValue, 30, 40};
    for (int i = 0; i < 6; ++i) {
        P.Sample(i, In[i]);
        if (i == 3) {
            EXPECT_FLOAT_EQ(Probe(F).MonitorPlot(0).LastY(), 20);
        }
    }
    struct Point {
        double X, Y;
        bool Null;
    };
    const Point Want[] = {{0.02, 10, false}, {0.04, 20, false}, {0.06, 20, true}, {0.08, 20, true},
                          {0.10, 30, true},  {0.10, 30, false}, {0.12, 40, false}};
    TFastLineSeries* S = Find<TFastLineSeries>(&F, "seriesMonitor1_1");
    ASSERT_EQ(S->Count(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_NEAR(S->XValue(i), Want[i].X, 1e-6) << i;
        EXPECT_DOUBLE_EQ(S->YValue(i), Want[i].Y) << i;
        EXPECT_EQ(S->IsNull(i), Want[i].Null) << i;
    }
    EXPECT_FALSE(S->IgnoreNulls());
    EXPECT_FLOAT_EQ(Probe(F).MonitorPlot(0).LastY(), 40);

    // A wrap on an absent value seeds the new sweep with the last good y.
    for (int i = 6; i < 1500; ++i)
        P.Sample(i, 3);
    P.Sample(1500, NoValue);
    TFastLineSeries* New = Find<TFastLineSeries>(&F, "seriesMonitor1_2");
    ASSERT_EQ(New->Count(), 2);
    EXPECT_DOUBLE_EQ(New->YValue(0), 3);
    EXPECT_FALSE(New->IsNull(0));
    EXPECT_TRUE(New->IsNull(1));
    EXPECT_DOUBLE_EQ(New->YValue(1), 3);
}

// Maximum and minimum follow every sample; current and average change on
// every 25th only.
TEST(MonitorPlots, LabelsRefreshOnTheirCadence)
{
    PlotRig P;
    TMainForm& F = *P.F;
    // The count runs across title updates too; start it here.
    Probe(F).SetLabelRefreshCount(0);
    for (int i = 1; i <= 24; ++i)
        P.Sample(i, static_cast<float>(i));
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblMaxMonitor1")), "24.00");
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblMinMonitor1")), "1.00");
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblCurrMonitor1")), "-----");
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblAvgMonitor1")), "-----");
    P.Sample(25, 25);
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblMaxMonitor1")), "25.00");
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblAvgMonitor1")), "13.00");
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblCurrMonitor1")), F.SignalStats(sigFlow).FormatSmoothed(false));
    EXPECT_NE(Caption(Find<TLabel>(&F, "lblCurrMonitor1")), "-----");
    // The next 24 leave current and average as they were.
    for (int i = 26; i <= 49; ++i)
        P.Sample(i, 100);
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblAvgMonitor1")), "13.00");
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblMaxMonitor1")), "100.00");
    P.Sample(50, 100);
    EXPECT_NE(Caption(Find<TLabel>(&F, "lblAvgMonitor1")), "13.00");
}

// While a report prints, samples reach the statistics but no plot and no
// monitor label.
TEST(MonitorPlots, PrintingTakesNoPoints)
{
    PlotRig P;
    TMainForm& F = *P.F;
    F.SetPrinting(true);
    for (int i = 0; i < 30; ++i)
        P.Sample(i, 5, 100, 10, i == 10);
    EXPECT_FLOAT_EQ(F.SignalStats(sigFlow).Current(), 5);
    for (int p = 0; p < 3; ++p)
        for (int s = 0; s < 2; ++s)
            EXPECT_EQ(Find<TFastLineSeries>(&F, "seriesMonitor" + std::to_string(p + 1) + "_" + std::to_string(s + 1))
                          ->Count(),
                      0);
    for (int l = 0; l < 2; ++l)
        for (int s = 0; s < 4; ++s)
            EXPECT_EQ(Find<TFastLineSeries>(&F, "seriesLoop" + std::to_string(l + 1) + "_" + std::to_string(s + 1))->Count(),
                      0);
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblMaxMonitor1")), "-----");
    F.SetPrinting(false);
    P.Sample(30, 5);
    EXPECT_EQ(Find<TFastLineSeries>(&F, "seriesMonitor1_1")->Count(), 1);
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblMaxMonitor1")), "5.00");
}

// Titles and units of the plots and the loop axes come from the shown
// signals and follow a change of display unit.
TEST(MonitorPlots, TitlesAndUnits)
{
    PlotRig P;
    TMainForm& F = *P.F;
    const char* const Titles[3] = {"Flow", "Airway Pressure", "Volume"};
    const char* const Units[3] = {"LPM", "cmH2O", "mL"};
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(Caption(Find<TLabel>(&F, "lblTitleMonitor" + std::to_string(p + 1))), Titles[p]);
        EXPECT_EQ(Caption(Find<TLabel>(&F, "lblUnits1Monitor" + std::to_string(p + 1))), Units[p]);
        EXPECT_EQ(Caption(Find<TLabel>(&F, "lblUnits2Monitor" + std::to_string(p + 1))), Units[p]);
        const TLabel* Title = Find<TLabel>(&F, "lblTitleMonitor" + std::to_string(p + 1));
        EXPECT_EQ(Find<TLabel>(&F, "lblUnits1Monitor" + std::to_string(p + 1))->Left(),
                  Title->Left() + Title->Width() + 5);
    }
    EXPECT_EQ(Find<TChart>(&F, "chartLoop1")->LeftAxis()->Title()->Caption(), "Flow (LPM)");
    EXPECT_EQ(Find<TChart>(&F, "chartLoop1")->BottomAxis()->Title()->Caption(), "Volume (mL)");
    EXPECT_EQ(Find<TChart>(&F, "chartLoop2")->LeftAxis()->Title()->Caption(), "Volume (mL)");
    EXPECT_EQ(Find<TChart>(&F, "chartLoop2")->BottomAxis()->Title()->Caption(), "Airway Pressure (cmH2O)");
    EXPECT_EQ(Find<TChart>(&F, "chartMonitor1")->BottomAxis()->Title()->Caption(), "Seconds");

    Probe(F).SetSignalDisplayUnit(sigAirwayPressure, ucMBar);
    Find<TAction>(&F, "actnUpdateMonitorTitles")->Execute();
    EXPECT_EQ(Caption(Find<TLabel>(&F, "lblUnits1Monitor2")), "mBar");
    EXPECT_EQ(Find<TChart>(&F, "chartLoop2")->BottomAxis()->Title()->Caption(), "Airway Pressure (mBar)");
}

// The plot record on a chart of its own: Y range and time span.
TEST(MonitorPlots, YRangeAndTimeSpan)
{
    TChart Chart(nullptr);
    TFastLineSeries A(nullptr), B(nullptr);
    A.SetParentChart(&Chart);
    B.SetParentChart(&Chart);
    TMonitorPlotInfo Plot;
    Plot.Attach(&Chart, &A, &B);
    Chart.LeftAxis()->SetMinMax(-1, 1);

    struct RangeCase {
        float A, B, Min, Max;
    };
    for (const RangeCase C : {RangeCase{5, -5, -5.5f, 5.5f}, RangeCase{3, 3, -5.5f, 5.5f},
                              RangeCase{0, 100, -5, 105}}) {
        Plot.SetYRange(C.A, C.B, false);
        EXPECT_NEAR(Chart.LeftAxis()->Minimum(), C.Min, 1e-5) << C.A << ' ' << C.B;
        EXPECT_NEAR(Chart.LeftAxis()->Maximum(), C.Max, 1e-5) << C.A << ' ' << C.B;
    }

    struct SpanCase {
        float Seconds, Span;
    };
    for (const SpanCase C : {SpanCase{0, 30}, SpanCase{-4, 30}, SpanCase{10, 10}}) {
        Chart.BottomAxis()->SetMinMax(3, 4);
        Plot.SetTimeSpan(C.Seconds, false);
        EXPECT_FLOAT_EQ(Plot.GetTimeSpan(), C.Span) << C.Seconds;
        EXPECT_DOUBLE_EQ(Chart.BottomAxis()->Minimum(), 0) << C.Seconds;
        EXPECT_NEAR(Chart.BottomAxis()->Maximum(), C.Span, 1e-6) << C.Seconds;
    }
    // A 10 s span wraps after position 500, and clearing with reset starts
    // the sweep over at position 1.
    for (int i = 0; i < 500; ++i)
        EXPECT_FALSE(Plot.AddPoint(1, i));
    EXPECT_TRUE(Plot.AddPoint(1, 500));
    Plot.SetTimeSpan(10, true);
    EXPECT_EQ(Plot.SweepPos(), 0);
    EXPECT_EQ(A.Count() + B.Count(), 0);
    Plot.AddPoint(1, 7);
    EXPECT_EQ(Plot.SweepPos(), 1);

    // Unbound, only the record changes.
    TMonitorPlotInfo Loose;
    Loose.SetYRange(1, 2, true);
    Loose.SetTimeSpan(12, true);
    EXPECT_FLOAT_EQ(Loose.GetTimeSpan(), 12);
    EXPECT_FALSE(Loose.AddPoint(1, 1));
}

namespace {

// One breath of 100 samples (1 s at the simulator's rate), inspiration the
// first third, with the breath marker on its first sample.
std::vector<sim::SimSample> Breath()
{
    const double Pi = 3.14159265358979;
    std::vector<sim::SimSample> Out;
    for (int Ph = 0; Ph < 100; ++Ph) {
        sim::SimSample S;
        if (Ph < 33) {
            S.Flow = 40 * std::sin(Pi * Ph / 33.0);
            S.AirwayPressure = 5 + 15 * std::sin(Pi * Ph / 66.0);
        } else {
            S.Flow = -30 * std::sin(Pi * (Ph - 33) / 67.0);
            S.AirwayPressure = 5 + 15 * std::exp(-(Ph - 33) / 10.0);
        }
        S.Volume = 250 * (1 - std::cos(2 * Pi * Ph / 100.0));
        S.Breath = Ph == 0;
        Out.push_back(S);
    }
    return Out;
}

void SavePage(TMainForm& F, TTabSheet* Page, const std::string& File)
{
    Find<TPageControl>(&F, "PageControl")->SetActivePage(Page);
    ProcessFor(150);
    std::unique_ptr<TBitmap> Image(F.GetFormImage());
    ASSERT_TRUE(Image);
    const std::string Name = std::string(OZ_TEST_ARTIFACTS) + "/" + File;
    Image->SaveToFile(Name);
    EXPECT_GT(std::filesystem::file_size(Name), 1000u);
}

}  // namespace

// The simulator's breaths on both plot pages: the sweeps wrap and take
// their range from the data, the loops rotate and rescale at the fourth
// breath. The pictures are for a person to look at.
TEST(MonitorPlots, SimulatorBreathsOnBothPages)
{
    MainRig R;
    {
        auto L = R.Sim.Lock();
        R.Sim.Device().Waveform = Breath();
        R.Sim.Device().ParameterPeriodMs = 1000;
    }
    ASSERT_TRUE(R.ShowConnected(10));
    TMainForm& F = *R.Form;
    // 300 ticks: a wrap every 3 s of the simulator's stream.
    for (int p = 0; p < 3; ++p)
        Probe(F).SetMonitorTimeSpan(p, 6);
    const int32_t Start = Probe(F).SampleTime();
    ASSERT_TRUE(ProcessUntil([&] { return Probe(F).SampleTime() - Start > 450; }, 15000));

    // The flow plot wrapped and took flow's range: -30 .. 40 and margins.
    EXPECT_LT(Find<TChart>(&F, "chartMonitor1")->LeftAxis()->Minimum(), -30);
    EXPECT_GT(Find<TChart>(&F, "chartMonitor1")->LeftAxis()->Maximum(), 40);
    EXPECT_LT(Find<TChart>(&F, "chartMonitor1")->LeftAxis()->Maximum(), 50);
    EXPECT_GT(Probe(F).MonitorPlot(0).ActiveSeries()->Count(), 0);
    EXPECT_GT(Probe(F).MonitorPlot(0).InactiveSeries()->Count(), 200);
    // Four breath markers rescaled the loops: volume 0 .. 500 across loop 0.
    EXPECT_LT(Find<TChart>(&F, "chartLoop1")->BottomAxis()->Minimum(), 0);
    EXPECT_GT(Find<TChart>(&F, "chartLoop1")->BottomAxis()->Maximum(), 500);
    EXPECT_LT(Find<TChart>(&F, "chartLoop1")->BottomAxis()->Maximum(), 600);
    int Filled = 0;
    for (int s = 0; s < 4; ++s)
        Filled += Find<TFastLineSeries>(&F, "seriesLoop1_" + std::to_string(s + 1))->Count() > 50;
    EXPECT_GE(Filled, 3);

    SavePage(F, Find<TTabSheet>(&F, "tsMonitor"), "workbench-monitor-plots.png");
    SavePage(F, Find<TTabSheet>(&F, "tsLoop"), "workbench-loop-plots.png");
}

// The whole path from the serial line to the plots with the window shown,
// the simulator streaming waveforms at 100 samples a second and parameter
// records: CPU time of the window's thread per second of stream, reported;
// only a generous bound is asserted so a loaded machine does not fail it.
TEST(MonitorPlots, LivePathCpuLoad)
{
    MainRig R;
    {
        auto L = R.Sim.Lock();
        R.Sim.Device().ParameterPeriodMs = 1000;
    }
    ASSERT_TRUE(R.ShowConnected(20));
    TMainForm& F = *R.Form;

    const int32_t Counter0 = Probe(F).SampleTime();
    const double Thread0 = ThreadCpuSeconds();
    const double Process0 = ProcessCpuSeconds();
    const auto Wall0 = std::chrono::steady_clock::now();
    // The window's loop: events handled as they come, the thread asleep in
    // between (a 5 ms nap stands for the blocking wait of the real loop).
    while (std::chrono::steady_clock::now() - Wall0 < std::chrono::seconds(5)) {
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const double Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - Wall0).count();
    const double Thread = ThreadCpuSeconds() - Thread0;
    const double Process = ProcessCpuSeconds() - Process0;
    const int32_t Samples = Probe(F).SampleTime() - Counter0;

    int32_t SimCounter = 0;
    {
        auto L = R.Sim.Lock();
        SimCounter = R.Sim.Device().SampleCounter;
    }
    const int32_t Lag = SimCounter - 1 - Probe(F).SampleTime();
    const double Streamed = Samples / 100.0;
    std::printf("live path: %d samples (%.2f s of stream) in %.2f s; window thread %.1f ms CPU per streamed "
                "second (%.1f %% of a core); whole process with the simulator %.1f %%; lag %d samples\n",
                Samples, Streamed, Wall, 1000 * Thread / Streamed, 100 * Thread / Streamed, 100 * Process / Wall,
                Lag);
    RecordProperty("window_thread_cpu_percent", static_cast<int>(100 * Thread / Streamed + 0.5));
    // Keeping up: nearly every sample of the 5 s arrived and none is queued.
    EXPECT_GT(Samples, 0.8 * 100 * Wall);
    EXPECT_LT(Lag, 50);
    EXPECT_LT(Thread / Streamed, 0.5);
}
