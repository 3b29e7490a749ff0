// What the reports read of the main window, through TReportSource alone:
// the records match what the screen shows.
#include "tests/workbench/MainRig.h"

#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/StdCtrls.h"
#include "reports/Reportsource.h"
#include "tests/support/Components.h"

namespace {

void Sample(TMainForm& F, int32_t Counter, float Flow)
{
    TWaveformSample S;
    S.Flow = Flow;
    S.Volume = 10 * Flow;
    S.AirwayPressure = 2;
    S.SampleCounter = Counter;
    F.NewWaveformSample(S);
}

std::string CaptionOf(TMainForm& F, const std::string& Name)
{
    TLabel* L = Find<TLabel>(&F, Name);
    return L ? L->Caption() : "<none>";
}

}  // namespace

TEST(ReportSource, RecordsAreWhatTheScreenShows)
{
    MainRig R;
    R.Ini("Settings", "Print Header", "Bench 7");
    R.Build();
    TMainForm& F = *R.Form;
    F.SetSerialNumber("123456");
    for (int i = 1; i <= 30; ++i)
        Sample(F, i, static_cast<float>(i));
    const TParameterStruct Params;
    F.NewParameters(Params);

    const TReportSource& Source = F;
    EXPECT_EQ(Source.PrintHeader(), "Bench 7");
    EXPECT_EQ(Source.SerialNumber(), "123456");
    EXPECT_EQ(&Source.SignalStats(sigFlow), &F.SignalStats(sigFlow));
    EXPECT_EQ(Source.SignalStats(sigFlow).Current(), 30);
    EXPECT_EQ(Source.LastParameters().GetValue(21), Params.GetValue(21));

    const struct {
        int Plot;
        const char* Chart;
        const char* Suffix;
    } Monitors[] = {{0, "chartMonitor1", "Monitor1"}, {1, "chartMonitor2", "Monitor2"}, {2, "chartMonitor3", "Monitor3"}};
    for (const auto& M : Monitors) {
        SCOPED_TRACE(M.Chart);
        const TPlotReportRecord Rec = Source.MonitorPlotRecord(M.Plot);
        EXPECT_EQ(Rec.Chart, Find<TChart>(&F, M.Chart));
        EXPECT_EQ(Rec.Title, CaptionOf(F, std::string("lblTitle") + M.Suffix));
        EXPECT_EQ(Rec.Units, CaptionOf(F, std::string("lblUnits2") + M.Suffix));
        EXPECT_EQ(Rec.Current, CaptionOf(F, std::string("lblCurr") + M.Suffix));
        EXPECT_EQ(Rec.Min, CaptionOf(F, std::string("lblMin") + M.Suffix));
        EXPECT_EQ(Rec.Max, CaptionOf(F, std::string("lblMax") + M.Suffix));
        EXPECT_EQ(Rec.Avg, CaptionOf(F, std::string("lblAvg") + M.Suffix));
    }
    // The flow plot: the labels as the samples left them.
    EXPECT_EQ(Source.MonitorPlotRecord(0).Title, "Flow");
    EXPECT_EQ(Source.MonitorPlotRecord(0).Max, "30.00");
    EXPECT_EQ(Source.MonitorPlotRecord(0).Min, "1.00");

    const TPlotReportRecord Loop = Source.LoopPlotRecord(1);
    EXPECT_EQ(Loop.Chart, Find<TChart>(&F, "chartLoop2"));
    EXPECT_EQ(Loop.Title, "Volume / Pressure");
    EXPECT_EQ(Source.LoopPlotRecord(0).Title, "Flow / Volume");

    // The trend and leak tests write their own lines.
    EXPECT_EQ(Source.TrendTestSource(), &Probe(F).TrendTest());
    EXPECT_EQ(Source.LeakTestSource(), &Probe(F).LeakTest());
    EXPECT_EQ(Source.LeakTestSource()->PlotRecord().Chart, Find<TChart>(&F, "chartLeakTest"));
}

TEST(ReportSource, WhilePrintingThePlotsTakeNoPoints)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    TReportSource& Source = F;
    Sample(F, 1, 1);
    const int Before = Probe(F).MonitorPlot(0).ActiveSeries()->Count();
    Source.SetPrinting(true);
    EXPECT_TRUE(Probe(F).Printing());
    Sample(F, 2, 2);
    EXPECT_EQ(Probe(F).MonitorPlot(0).ActiveSeries()->Count(), Before);
    Source.SetPrinting(false);
    Sample(F, 3, 3);
    EXPECT_GT(Probe(F).MonitorPlot(0).ActiveSeries()->Count(), Before);
}
