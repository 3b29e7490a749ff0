// The fast line series: segments drawn one at a time straight onto the
// chart's window, the full redraw, null points, stairs, clipping of far-off
// values, and the small rules around pens, margins and hit tests.
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/Application.h"
#include "platform/Forms.h"
#include "tests/chart/ChartRig.h"
#include "tests/support/ProcessEvents.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// A 2-D chart on a form, both axes 0..100, one red one-pixel fast line,
// drawn once so that it knows its rectangle and draws onto its window.
struct TFastFixture : TFormChartRig {
    TFastFixture()
    {
        Chart->Title()->SetVisible(false);
        Chart->LeftAxis()->Grid()->SetVisible(false);
        Chart->BottomAxis()->Grid()->SetVisible(false);
        Chart->BottomAxis()->SetMinMax(0, 100);
        Chart->LeftAxis()->SetMinMax(0, 100);
        Series = new TFastLineSeries(Form.get());
        Series->SetSeriesColor(clRed);
        Chart->AddSeries(Series);
        Chart->Draw();
    }
    bool Red(int X, int Y) { return Chart->Canvas()->Pixels(X, Y) == clRed; }
    // Red within one pixel of (X, Y): where a line's rasterisation may put it.
    bool RedNear(int X, int Y)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (Red(X + dx, Y + dy))
                    return true;
        return false;
    }
    bool RedAt(double X, double Y) { return RedNear(PX(X), PY(Y)); }
    void AddIncremental(const std::vector<std::pair<double, double>>& Points)
    {
        for (auto [X, Y] : Points) {
            Series->SetAutoRepaint(false);
            Series->AddXY(X, Y);
        }
    }

    TFastLineSeries* Series = nullptr;
};

TEST(FastLineIncremental, FirstPointDrawsNothingThenEachPointItsSegment)
{
    TFastFixture F;
    F.AddIncremental({{10, 50}});
    EXPECT_FALSE(F.RedAt(10, 50));
    F.AddIncremental({{50, 50}});
    EXPECT_TRUE(F.RedAt(30, 50));
    EXPECT_EQ(F.Series->LastPoint().X, F.PX(50));
    F.AddIncremental({{50, 90}});
    EXPECT_TRUE(F.RedAt(50, 70));
    // Nothing but the segments: no repaint ran, nothing else is red.
    EXPECT_FALSE(F.RedAt(30, 70));
    EXPECT_FALSE(F.RedAt(80, 50));
}

// A point in its predecessor's pixel column: drawn unless DrawAllPoints is
// off. The full redraw then starts the next segment from the last point
// reached, the incremental path from the stored previous point.
TEST(FastLineIncremental, SamePixelColumnAndTheFullRedrawDifferByDrawAllPoints)
{
    for (bool DrawAll : {true, false}) {
        SCOPED_TRACE(DrawAll ? "DrawAllPoints" : "thinned");
        TFastFixture F;
        F.Series->SetDrawAllPoints(DrawAll);
        F.AddIncremental({{10, 20}, {10, 80}, {90, 80}});
        EXPECT_EQ(F.RedAt(10, 50), DrawAll) << "vertical segment in one column";
        EXPECT_TRUE(F.RedAt(50, 80)) << "incremental segment starts at the stored previous point";
        EXPECT_FALSE(F.RedAt(50, 50));

        F.Chart->Draw();
        EXPECT_EQ(F.RedAt(10, 50), DrawAll);
        EXPECT_EQ(F.RedAt(50, 80), DrawAll) << "full redraw from (10, 80)";
        EXPECT_EQ(F.RedAt(50, 50), !DrawAll) << "full redraw from (10, 20), the last point reached";
    }
}

TEST(FastLineIncremental, StairsGoThroughTheCornerTheyName)
{
    struct TCase {
        bool Inverted;
        double CornerX, CornerY;
        double OtherX, OtherY;
    };
    // From (20, 70) to (80, 30).
    for (const TCase& C : {TCase{false, 50, 70, 20, 50}, TCase{true, 20, 50, 50, 70}}) {
        SCOPED_TRACE(C.Inverted ? "inverted" : "plain");
        TFastFixture F;
        F.Series->SetStairs(true);
        F.Series->SetInvertedStairs(C.Inverted);
        F.AddIncremental({{20, 70}, {80, 30}});
        EXPECT_TRUE(F.RedAt(C.CornerX, C.CornerY));
        EXPECT_FALSE(F.RedAt(C.OtherX, C.OtherY));
        EXPECT_FALSE(F.RedAt(50, 50)) << "no diagonal";
    }
}

TEST(FastLineIncremental, NullPointBreaksTheLineOnlyWithIgnoreNullsOff)
{
    for (bool Ignore : {true, false}) {
        SCOPED_TRACE(Ignore ? "IgnoreNulls" : "nulls break");
        TFastFixture F;
        F.Series->SetIgnoreNulls(Ignore);
        F.Series->AddXY(10, 40);
        F.Series->AddNullXY(50, 40);
        F.Series->AddXY(90, 40);
        F.Chart->Draw();
        EXPECT_EQ(F.RedAt(30, 40), Ignore) << "segment into the null point";
        EXPECT_TRUE(F.RedAt(70, 40)) << "segment out of it starts at its pixel";
        F.Series->SetAutoRepaint(false);
        F.Series->AddNullXY(90, 80);
        EXPECT_EQ(F.RedAt(90, 60), Ignore);
        EXPECT_EQ(F.Series->LastPoint().Y, F.PY(80)) << "the pen moved to the null point";
    }
}

TEST(FastLineIncremental, FarOffValueIsClippedToTheChartRectangle)
{
    TFastFixture F;
    F.AddIncremental({{50, 50}, {50, 1000}});
    const TRect R = F.Chart->ChartRect;
    const int X = F.PX(50);
    EXPECT_TRUE(F.Red(X, R.Top + 2)) << "drawn up to the edge";
    for (int Y = 0; Y <= R.Top; ++Y)
        ASSERT_FALSE(F.Red(X, Y)) << "drawn over the panel at y " << Y;
    // The clip is gone again: the next segment inside draws normally.
    F.AddIncremental({{90, 90}});
    EXPECT_TRUE(F.RedAt(90, 90) || F.RedAt(89, 90));
}

TEST(FastLineIncremental, WithoutChartThePointIsOnlyStored)
{
    EnsureApplication();
    TFastLineSeries S(nullptr);
    S.SetAutoRepaint(false);
    S.AddXY(1, 2);
    S.AddXY(3, 4);
    EXPECT_EQ(S.Count(), 2);
    EXPECT_EQ(S.YValue(1), 4);
}

TEST(FastLineIncremental, HiddenSeriesDrawsNoSegment)
{
    TFastFixture F;
    F.Series->SetActive(false);
    F.Chart->Draw();
    F.AddIncremental({{10, 50}, {90, 50}});
    EXPECT_FALSE(F.RedAt(50, 50));
}

TEST(FastLineIncremental, FastPenDrawsOnePixelInTheLineColourAndTheRepaintTheFullPen)
{
    TFastFixture F;
    F.Series->LinePen()->SetWidth(5);
    F.Series->SetFastPen(true);
    EXPECT_TRUE(F.Series->FastPen());
    F.AddIncremental({{10, 50}, {90, 50}});
    const int X = F.PX(50), Y = F.PY(50);
    EXPECT_TRUE(F.Red(X, Y));
    EXPECT_FALSE(F.Red(X, Y + 2)) << "the fast pen is one pixel wide";
    F.Chart->Draw();
    EXPECT_TRUE(F.Red(X, Y + 2)) << "the full redraw uses LinePen";
}

TEST(FastLineOnScreen, SegmentsSurviveACopyOnlyUpdateAndTheNextPassReplacesThem)
{
    TFastFixture F;
    F.Form->Show();
    ProcessFor(50);
    F.AddIncremental({{10, 50}, {90, 50}});
    ProcessFor(50);
    EXPECT_TRUE(F.RedAt(50, 50));
    // Clear repaints the chart: the segments drawn outside the pass go.
    F.Series->Clear();
    ProcessUntil([&] { return !F.RedAt(50, 50); }, 2000);
    EXPECT_FALSE(F.RedAt(50, 50));
    // Points added with repainting on show after the next paint.
    F.Series->SetAutoRepaint(true);
    F.Series->AddXY(10, 30);
    F.Series->AddXY(90, 30);
    EXPECT_TRUE(ProcessUntil([&] { return F.RedAt(50, 30); }, 2000));
}

// ------------------------------------------------------------------ small rules

TEST(FastLineRules, MarginsGrowWithThePenWidth)
{
    EnsureApplication();
    TFastLineSeries S(nullptr);
    const int Expected[] = {1, 1, 2, 3, 3, 4, 4};
    for (int W = 0; W <= 6; ++W) {
        S.LinePen()->SetWidth(W);
        int L = 0, R = 0, T = 0, B = 0;
        S.CalcHorizMargins(L, R);
        S.CalcVerticalMargins(T, B);
        EXPECT_EQ(L, Expected[W]) << "width " << W;
        EXPECT_EQ(R, Expected[W]);
        EXPECT_EQ(T, Expected[W]);
        EXPECT_EQ(B, Expected[W]);
    }
}

TEST(FastLineRules, SeriesColourAndLinePenFollowEachOther)
{
    EnsureApplication();
    TFastLineSeries S(nullptr);
    S.SetSeriesColor(clBlue);
    EXPECT_EQ(S.LinePen()->Color(), clBlue);
    TChartPen P;
    P.SetColor(clGreen);
    S.SetLinePen(&P);
    EXPECT_EQ(S.SeriesColor(), clGreen);
}

TEST(FastLineRules, DefaultsAndCopy)
{
    EnsureApplication();
    TFastLineSeries A(nullptr);
    EXPECT_TRUE(A.AutoRepaint());
    EXPECT_TRUE(A.DrawAllPoints());
    EXPECT_TRUE(A.IgnoreNulls());
    EXPECT_TRUE(A.IncludeOuterPoint);
    EXPECT_FALSE(A.FunctionCentrePoint);
    A.SetStairs(true);
    A.SetDrawAllPoints(false);
    A.SetFastPen(true);
    TFastLineSeries B(nullptr);
    B.Assign(&A);
    EXPECT_TRUE(B.Stairs());
    EXPECT_FALSE(B.DrawAllPoints());
    EXPECT_TRUE(B.FastPen());
}

TEST(FastLineRules, HitTestPointThenSegmentThenNothing)
{
    TFastFixture F;
    F.Series->AddXY(10, 10);
    F.Series->AddXY(50, 10);
    F.Series->AddXY(90, 90);
    F.Chart->Draw();
    EXPECT_EQ(F.Series->Clicked(F.PX(50), F.PY(10)), 1);
    EXPECT_EQ(F.Series->Clicked(F.PX(30), F.PY(10)), 0);
    EXPECT_EQ(F.Series->Clicked(F.PX(30), F.PY(60)), -1);
    F.Series->Clear();
    F.Chart->Draw();
    EXPECT_EQ(F.Series->Clicked(F.PX(30), F.PY(10)), -1);
}

}  // namespace
