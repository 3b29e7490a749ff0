// The two loop plots: rotation of the four series on breath markers, the
// new loop continuing the old one, the ranges, automatic scaling every
// fourth breath, gaps and the cap on a loop that never closes.
#include "tests/workbench/MainRig.h"
#include "tests/support/Components.h"

#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/ComCtrls.h"

namespace {

// A loop record on a chart of its own.
struct LoopRig {
    TChart Chart{nullptr};
    TFastLineSeries S[4] = {TFastLineSeries(nullptr), TFastLineSeries(nullptr), TFastLineSeries(nullptr),
                            TFastLineSeries(nullptr)};
    TLoopPlotInfo Loop;
    LoopRig()
    {
        for (auto& X : S)
            X.SetParentChart(&Chart);
        Loop.SetColours(clRed, clGray);
        Loop.Attach(&Chart, &S[0], &S[1], &S[2], &S[3], nullptr);
        Chart.LeftAxis()->SetMinMax(-1, 1);
        Chart.BottomAxis()->SetMinMax(-2, 2);
    }
};

void Sample(TMainForm& F, int32_t Counter, float Flow, float Volume, float Pressure, bool Marker)
{
    TWaveformSample S;
    S.Flow = Flow;
    S.Volume = Volume;
    S.AirwayPressure = Pressure;
    S.SampleCounter = Counter;
    S.Flags[0] = Marker ? 1 : 0;
    F.NewWaveformSample(S);
}

}  // namespace

// Each marker moves to the next series; the fourth comes back to the first
// and says so. The chart always holds the four series once each, the
// previous loops newest first and the current loop last, on top.
TEST(LoopPlots, MarkersRotateTheSeries)
{
    LoopRig R;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(R.Loop.AddPoint(i, i, false));
    EXPECT_EQ(R.Loop.ActiveSeries(), &R.S[0]);
    struct Step {
        bool Result;
        int Active;
        int Order[4];
    };
    const Step Steps[] = {
        {false, 1, {0, 3, 2, 1}},
        {false, 2, {1, 0, 3, 2}},
        {false, 3, {2, 1, 0, 3}},
        {true, 0, {3, 2, 1, 0}},
        {false, 1, {0, 3, 2, 1}},
    };
    int n = 0;
    for (const Step& St : Steps) {
        EXPECT_EQ(R.Loop.AddPoint(10, 10, true), St.Result) << n;
        EXPECT_EQ(R.Loop.Rotation(), St.Active) << n;
        EXPECT_EQ(R.Loop.ActiveSeries(), &R.S[St.Active]) << n;
        ASSERT_EQ(R.Chart.SeriesCount(), 4);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(R.Chart.Series(i), &R.S[St.Order[i]]) << n << " index " << i;
        // The current loop in its colour over the last one in the shadow.
        EXPECT_EQ(R.S[St.Active].SeriesColor(), clRed) << n;
        EXPECT_EQ(R.S[St.Order[0]].SeriesColor(), clGray) << n;
        ++n;
    }
    // Clearing keeps the rotation.
    R.Loop.Clear();
    EXPECT_EQ(R.Loop.Rotation(), 1);
    for (auto& S : R.S)
        EXPECT_EQ(S.Count(), 0);
}

// A new loop starts with the five last points of the previous one, oldest
// first, then the new point; points keep the order they came in, however x
// goes.
TEST(LoopPlots, NewLoopContinuesThePreviousOne)
{
    LoopRig R;
    const float Xs[] = {5, 3, 4, 1, 2, 0, 6};
    for (int i = 0; i < 7; ++i)
        R.Loop.AddPoint(Xs[i], static_cast<float>(i), false);
    ASSERT_EQ(R.S[0].Count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_DOUBLE_EQ(R.S[0].XValue(i), Xs[i]) << i;
    R.Loop.AddPoint(9, 9, true);
    ASSERT_EQ(R.S[1].Count(), 6);
    const double WantX[] = {4, 1, 2, 0, 6, 9};
    const double WantY[] = {2, 3, 4, 5, 6, 9};
    for (int i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(R.S[1].XValue(i), WantX[i]) << i;
        EXPECT_DOUBLE_EQ(R.S[1].YValue(i), WantY[i]) << i;
    }
    // The first loop stays as it was, in the shadow colour.
    EXPECT_EQ(R.S[0].Count(), 7);
}

// Both axes take their pair plus 5 %; equal bounds on either axis change
// neither; unbound, nothing happens.
TEST(LoopPlots, Ranges)
{
    struct Case {
        float X1, Y1, X2, Y2;
        double XMin, XMax, YMin, YMax;
    };
    const Case Cases[] = {
        {0, 10, 100, -10, -5, 105, -11, 11},
        {3, 0, 3, 10, -2, 2, -1, 1},   // x1 = x2: the y axis stays too
        {0, 4, 10, 4, -2, 2, -1, 1},   // y1 = y2
    };
    for (const Case& C : Cases) {
        LoopRig R;
        R.Loop.SetRanges(C.X1, C.Y1, C.X2, C.Y2, false);
        EXPECT_NEAR(R.Chart.BottomAxis()->Minimum(), C.XMin, 1e-5);
        EXPECT_NEAR(R.Chart.BottomAxis()->Maximum(), C.XMax, 1e-5);
        EXPECT_NEAR(R.Chart.LeftAxis()->Minimum(), C.YMin, 1e-5);
        EXPECT_NEAR(R.Chart.LeftAxis()->Maximum(), C.YMax, 1e-5);
    }
    LoopRig R;
    R.Loop.AddPoint(1, 1, false);
    R.Loop.SetRanges(0, 0, 1, 1, true);
    EXPECT_EQ(R.S[0].Count(), 0);

    TLoopPlotInfo Loose;
    Loose.SetRanges(0, 0, 1, 1, true);
    EXPECT_FALSE(Loose.AddPoint(1, 1, true));
    EXPECT_EQ(Loose.Rotation(), 0);
}

// An absent value leaves a gap and is kept out of the history that starts
// the next loop; a loop without markers stops growing at its cap.
TEST(LoopPlots, GapsAndTheCap)
{
    LoopRig R;
    R.Loop.AddPoint(1, 1, false);
    R.Loop.AddPoint(NoValue, 2, false);
    R.Loop.AddPoint(3, NoValue, false);
    R.Loop.AddPoint(4, 4, false);
    struct Point {
        double X, Y;
        bool Null;
    };
    const Point Want[] = {{1, 1, false}, {1, 1, true}, {1, 1, true}, {4, 4, true}, {4, 4, false}};
    ASSERT_EQ(R.S[0].Count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(R.S[0].XValue(i), Want[i].X) << i;
        EXPECT_DOUBLE_EQ(R.S[0].YValue(i), Want[i].Y) << i;
        EXPECT_EQ(R.S[0].IsNull(i), Want[i].Null) << i;
    }
    EXPECT_FLOAT_EQ(R.Loop.HistoryX(0), 4);
    EXPECT_FLOAT_EQ(R.Loop.HistoryX(1), 1);

    LoopRig C;
    for (int i = 0; i < 10000; ++i)
        C.Loop.AddPoint(static_cast<float>(i), 0, false);
    EXPECT_LE(C.S[0].Count(), TLoopPlotInfo::MaxLoopPoints);
    EXPECT_GT(C.S[0].Count(), TLoopPlotInfo::MaxLoopPoints - TLoopPlotInfo::LoopPointsDropped);
    // The newest points stay.
    EXPECT_DOUBLE_EQ(C.S[0].XValue(C.S[0].Count() - 1), 9999);
}

// In the main window: volume against flow and pressure against volume, a
// new loop at each marker, and both loops rescale from the statistics at
// the fourth marker only, worked out by hand.
TEST(LoopPlots, MainWindowLoopsRescaleEveryFourthBreath)
{
    MainRig M;
    M.Build();
    TMainForm& F = *M.Form;
    EXPECT_EQ(Find<TLabel>(&F, "lblLoopTitle1")->Caption(), "Flow / Volume");
    EXPECT_EQ(Find<TLabel>(&F, "lblLoopTitle2")->Caption(), "Volume / Pressure");
    // The start ranges: loop 0 x 0 .. 1, y -50 .. 50, plus 5 %.
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop1")->BottomAxis()->Minimum(), -0.05, 1e-5);
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop1")->LeftAxis()->Maximum(), 55, 1e-4);

    // Flow -30 .. 60, volume 0 .. 500, pressure 5 .. 20 over each breath of
    // 10 samples; a marker on the first sample of breaths 2 to 5.
    int Counter = 0;
    auto Breath = [&](bool Marker) {
        for (int i = 0; i < 10; ++i)
            Sample(F, Counter++, static_cast<float>(i * 10 - 30), static_cast<float>(i * 500 / 9.0),
                   static_cast<float>(5 + i * 15 / 9.0), Marker && i == 0);
    };
    Breath(false);
    EXPECT_EQ(Find<TFastLineSeries>(&F, "seriesLoop1_1")->Count(), 10);
    EXPECT_DOUBLE_EQ(Find<TFastLineSeries>(&F, "seriesLoop1_1")->XValue(9), 500);
    EXPECT_DOUBLE_EQ(Find<TFastLineSeries>(&F, "seriesLoop1_1")->YValue(9), 60);
    EXPECT_DOUBLE_EQ(Find<TFastLineSeries>(&F, "seriesLoop2_1")->XValue(9), 20);
    EXPECT_DOUBLE_EQ(Find<TFastLineSeries>(&F, "seriesLoop2_1")->YValue(9), 500);
    for (int b = 0; b < 3; ++b)
        Breath(true);
    EXPECT_EQ(Probe(F).LoopPlot(0).Rotation(), 3);
    EXPECT_EQ(Probe(F).LoopPlot(1).Rotation(), 3);
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop1")->BottomAxis()->Minimum(), -0.05, 1e-5);
    Breath(true);
    EXPECT_EQ(Probe(F).LoopPlot(0).Rotation(), 0);

    // Loop 0: volume 0 .. 500 -> -25 .. 525, axis -52.5 .. 552.5; flow
    // -30 .. 60 -> -34.5 .. 64.5, axis -39.45 .. 69.45.
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop1")->BottomAxis()->Minimum(), -52.5, 1e-3);
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop1")->BottomAxis()->Maximum(), 552.5, 1e-3);
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop1")->LeftAxis()->Minimum(), -39.45, 1e-3);
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop1")->LeftAxis()->Maximum(), 69.45, 1e-3);
    EXPECT_NEAR(Probe(F).LoopScale(0).XLower, -25, 1e-3);
    EXPECT_NEAR(Probe(F).LoopScale(0).XUpper, 525, 1e-3);
    EXPECT_NEAR(Probe(F).LoopScale(0).YLower, -34.5, 1e-3);
    EXPECT_NEAR(Probe(F).LoopScale(0).YUpper, 64.5, 1e-3);
    // Loop 1: pressure 5 .. 20 -> 4.25 .. 20.75, axis 3.425 .. 21.575;
    // volume x 1.05: 0 .. 525 -> -26.25 .. 551.25, axis -55.125 .. 580.125.
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop2")->BottomAxis()->Minimum(), 3.425, 1e-3);
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop2")->BottomAxis()->Maximum(), 21.575, 1e-3);
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop2")->LeftAxis()->Minimum(), -55.125, 1e-3);
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop2")->LeftAxis()->Maximum(), 580.125, 1e-3);
    EXPECT_NEAR(Probe(F).LoopScale(1).YUpper, 551.25, 1e-3);
}

// A loop scaled by hand keeps its axes at the fourth marker.
TEST(LoopPlots, ManualLoopKeepsItsAxes)
{
    MainRig M;
    M.Build();
    TMainForm& F = *M.Form;
    TPlotScale Scale = Probe(F).LoopScale(0);
    Scale.Manual = true;
    Probe(F).SetLoopScale(0, Scale);
    for (int i = 0; i < 50; ++i)
        Sample(F, i, static_cast<float>(i), static_cast<float>(i * 10), 5, i % 10 == 0 && i > 0);
    EXPECT_EQ(Probe(F).LoopPlot(0).Rotation(), 0);
    EXPECT_NEAR(Find<TChart>(&F, "chartLoop1")->BottomAxis()->Maximum(), 1.05, 1e-5);
    EXPECT_GT(Find<TChart>(&F, "chartLoop2")->LeftAxis()->Maximum(), 400);
}

// The loop popup: the button says which loop it addresses, the check mark
// shows automatic scaling, the actions toggle it and clear that loop only.
TEST(LoopPlots, PopupMenuAddressesOneLoop)
{
    MainRig M;
    M.Build();
    TMainForm& F = *M.Form;
    F.Show();
    Find<TPageControl>(&F, "PageControl")->SetActivePage(Find<TTabSheet>(&F, "tsLoop"));
    for (int i = 0; i < 5; ++i)
        Sample(F, i, 1, 2, 3, false);

    Find<TButton>(&F, "btnLoop2Menu")->Click();
    ProcessFor(50);
    EXPECT_EQ(Find<TPopupMenu>(&F, "menuLoopPopup")->Tag(), 1);
    EXPECT_TRUE(Find<TAction>(&F, "actnAutoScaleLoop")->Checked());
    Find<TAction>(&F, "actnAutoScaleLoop")->Execute();
    EXPECT_TRUE(Probe(F).LoopScale(1).Manual);
    EXPECT_FALSE(Probe(F).LoopScale(0).Manual);
    F.menuLoopPopupPopup(nullptr);
    EXPECT_FALSE(Find<TAction>(&F, "actnAutoScaleLoop")->Checked());
    Find<TAction>(&F, "actnClearLoop")->Execute();
    EXPECT_EQ(Find<TFastLineSeries>(&F, "seriesLoop2_1")->Count(), 0);
    EXPECT_EQ(Find<TFastLineSeries>(&F, "seriesLoop1_1")->Count(), 5);
    // Manual scaling has its dialog now.
    EXPECT_TRUE(Find<TAction>(&F, "actnManualScaleLoop")->Enabled());

    // Only the right button opens it from the chart.
    F.chartLoop1MouseDown(Find<TChart>(&F, "chartLoop1"), mbLeft, TShiftState{}, 10, 10);
    EXPECT_EQ(Find<TPopupMenu>(&F, "menuLoopPopup")->Tag(), 1);
    F.chartLoop1MouseDown(Find<TChart>(&F, "chartLoop1"), mbRight, TShiftState{}, 10, 10);
    ProcessFor(50);
    EXPECT_EQ(Find<TPopupMenu>(&F, "menuLoopPopup")->Tag(), 0);
    EXPECT_TRUE(Find<TAction>(&F, "actnAutoScaleLoop")->Checked());
}
