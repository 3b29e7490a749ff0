// The chart and the mouse: zoom by a dragged rectangle and its undo,
// panning, the wheel, tools that cancel a press, the hit test, series that
// hear the mouse enter and leave their points, and the values under it.
#include "chart/Chart.h"
#include "chart/Series.h"
#include "chart/SeriesLine.h"
#include "platform/Application.h"
#include "platform/Forms.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct TMouseFixture : TFormChartRig {
    TMouseFixture()
    {
        Series = new TFastLineSeries(Form.get());
        Series->AddXY(0, 0);
        Series->AddXY(100, 100);
        Chart->AddSeries(Series);
        Chart->BottomAxis()->SetMinMax(0, 100);
        Chart->LeftAxis()->SetMinMax(0, 100);
        Chart->Draw();
    }
    void Drag(TMouseButton Button, int X0, int Y0, int X1, int Y1)
    {
        Chart->WidgetMouseDown(Button, {}, X0, Y0, false);
        Chart->WidgetMouseMove({}, (X0 + X1) / 2, (Y0 + Y1) / 2);
        Chart->WidgetMouseMove({}, X1, Y1);
        Chart->WidgetMouseUp(Button, {}, X1, Y1);
        Chart->Draw();
    }
    void ExpectRange(TChartAxis* A, double Min, double Max)
    {
        EXPECT_NEAR(A->Minimum(), Min, 1.0);
        EXPECT_NEAR(A->Maximum(), Max, 1.0);
    }

    TFastLineSeries* Series = nullptr;
};

TEST(ChartZoom, DraggedRectangleSetsTheRangesAndUndoRestoresTheFirstScales)
{
    TMouseFixture F;
    int Zooms = 0;
    F.Chart->OnZoom = [&](TObject*) { ++Zooms; };
    F.Drag(mbLeft, F.PX(20), F.PY(80), F.PX(60), F.PY(40));
    F.ExpectRange(F.Chart->BottomAxis(), 20, 60);
    F.ExpectRange(F.Chart->LeftAxis(), 40, 80);
    EXPECT_TRUE(F.Chart->Zoomed);
    // A second zoom; undo goes back to before the first.
    F.Drag(mbLeft, F.PX(30), F.PY(70), F.PX(50), F.PY(50));
    F.ExpectRange(F.Chart->BottomAxis(), 30, 50);
    EXPECT_EQ(Zooms, 2);
    F.Chart->UndoZoom();
    EXPECT_DOUBLE_EQ(F.Chart->BottomAxis()->Minimum(), 0);
    EXPECT_DOUBLE_EQ(F.Chart->BottomAxis()->Maximum(), 100);
    EXPECT_DOUBLE_EQ(F.Chart->LeftAxis()->Maximum(), 100);
    EXPECT_FALSE(F.Chart->BottomAxis()->Automatic());
    EXPECT_FALSE(F.Chart->Zoomed);
}

TEST(ChartZoom, SmallOrLeftwardDragsDoNotZoom)
{
    struct TCase {
        const char* Name;
        double X0, Y0, X1, Y1;
        bool Zoomed;
    };
    for (const TCase& C : {TCase{"too small", 20, 80, 22, 40, false}, TCase{"leftward undoes", 60, 80, 20, 40, false},
                           TCase{"rightward", 20, 80, 60, 40, true}}) {
        SCOPED_TRACE(C.Name);
        TMouseFixture F;
        F.Chart->ZoomPercent(110);
        F.Chart->Draw();
        F.Drag(mbLeft, F.PX(C.X0), F.PY(C.Y0), F.PX(C.X1), F.PY(C.Y1));
        if (C.Zoomed)
            F.ExpectRange(F.Chart->BottomAxis(), C.X0, C.X1);
        else if (std::string(C.Name) == "too small")
            F.ExpectRange(F.Chart->BottomAxis(), 10, 90);
        else
            F.ExpectRange(F.Chart->BottomAxis(), 0, 100);
    }
}

TEST(ChartZoom, HorizontalDirectionIgnoresTheVerticalExtent)
{
    TMouseFixture F;
    F.Chart->Zoom()->SetDirection(tzdHorizontal);
    F.Drag(mbLeft, F.PX(20), F.PY(50), F.PX(60), F.PY(50));
    F.ExpectRange(F.Chart->BottomAxis(), 20, 60);
    // The vertical axes keep their whole range (the plot area's height).
    EXPECT_NEAR(F.Chart->LeftAxis()->Minimum(), 0, 1.0);
    EXPECT_NEAR(F.Chart->LeftAxis()->Maximum(), 100, 1.0);
}

TEST(ChartZoom, NotAllowedMeansNoRubberBand)
{
    TMouseFixture F;
    F.Chart->Zoom()->SetAllow(false);
    F.Drag(mbLeft, F.PX(20), F.PY(80), F.PX(60), F.PY(40));
    F.ExpectRange(F.Chart->BottomAxis(), 0, 100);
}

TEST(ChartPanning, RightDragMovesBothAxesAndAFrozenAxisStillScrolls)
{
    TMouseFixture F;
    int Scrolls = 0;
    F.Chart->OnScroll = [&](TObject*) { ++Scrolls; };
    // A handler that shows a menu on the right button does not stop panning.
    F.Chart->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {};
    F.Drag(mbRight, F.PX(50), F.PY(50), F.PX(60), F.PY(40));
    F.ExpectRange(F.Chart->BottomAxis(), -10, 90);
    F.ExpectRange(F.Chart->LeftAxis(), 10, 110);
    EXPECT_GT(Scrolls, 0);

    F.Chart->OnAllowScroll = [&](TChartAxis* A, double&, double&, bool& Allow) {
        Allow = A != F.Chart->BottomAxis();
    };
    const int Before = Scrolls;
    F.Drag(mbRight, F.PX(50), F.PY(50), F.PX(60), F.PY(40));
    F.ExpectRange(F.Chart->BottomAxis(), -10, 90);
    F.ExpectRange(F.Chart->LeftAxis(), 20, 120);
    EXPECT_GT(Scrolls, Before);
    F.Chart->UndoZoom();
    F.ExpectRange(F.Chart->BottomAxis(), 0, 100);
}

TEST(ChartPanning, LeavingThePlotAreaStopsIt)
{
    TMouseFixture F;
    F.Chart->WidgetMouseDown(mbRight, {}, F.PX(50), F.PY(50), false);
    EXPECT_TRUE(F.Chart->Panning.Active);
    F.Chart->WidgetMouseMove({}, 1, 1);
    EXPECT_FALSE(F.Chart->Panning.Active);
    F.Chart->WidgetMouseUp(mbRight, {}, 1, 1);
    F.ExpectRange(F.Chart->BottomAxis(), 0, 100);
}

TEST(ChartWheel, OneNotchMovesTheVerticalAxesByThreePercent)
{
    TMouseFixture F;
    F.Chart->WidgetMouseWheel({}, -120, {50, 50});
    EXPECT_DOUBLE_EQ(F.Chart->LeftAxis()->Minimum(), 3);
    EXPECT_DOUBLE_EQ(F.Chart->BottomAxis()->Minimum(), 0);
    F.Chart->WidgetMouseWheel({}, 120, {50, 50});
    EXPECT_NEAR(F.Chart->LeftAxis()->Minimum(), 0, 1e-9);
}

class TCancelTool : public TChCustomTool {
public:
    using TChCustomTool::TChCustomTool;
    void ChartMouseEvent(TChartMouseEvent Event, TMouseButton, TShiftState, int, int) override
    {
        if (Event == cmeDown)
            ParentChart()->MouseCancelled = true;
    }
};

TEST(ChartClicks, ToolThatCancelsStopsClicksAndZoom)
{
    TMouseFixture F;
    int Clicks = 0;
    F.Chart->OnClickBackground = [&](TCustomChart*, TMouseButton, TShiftState, int, int) { ++Clicks; };
    auto* Tool = new TCancelTool(F.Form.get());
    Tool->SetParentChart(F.Chart);
    F.Drag(mbLeft, F.PX(20), F.PY(80), F.PX(60), F.PY(40));
    EXPECT_EQ(Clicks, 0);
    F.ExpectRange(F.Chart->BottomAxis(), 0, 100);
}

TEST(ChartClicks, HitTestFindsSeriesOnlyWhenSomebodyListens)
{
    TMouseFixture F;
    const TPoint OnPoint{F.PX(50), F.PY(50)};
    EXPECT_EQ(F.Chart->CalcNeedClickedPart(OnPoint, true).PartStyle, cpChartRect);
    TChartClickedPart Part;
    F.Chart->CalcClickedPart(OnPoint, Part);
    EXPECT_EQ(Part.PartStyle, cpSeries);
    EXPECT_EQ(Part.PartSeries, F.Series);
    int Index = -2;
    F.Series->OnClick = [&](TChartSeries*, int I, TMouseButton, TShiftState, int, int) { Index = I; };
    F.Chart->WidgetMouseDown(mbLeft, {}, OnPoint.X, OnPoint.Y, false);
    F.Chart->WidgetMouseUp(mbLeft, {}, OnPoint.X, OnPoint.Y);
    EXPECT_EQ(Index, 0);
    EXPECT_EQ(F.Chart->CalcNeedClickedPart({1, 1}, false).PartStyle, cpNone);
}

// Over overlapping points every series is asked: each hears its own enter
// and leave, the chart shows the cursor of a series under the mouse, and a
// series with neither a cursor nor a handler is not hit-tested at all.
TEST(ChartMouseOver, EverySeriesHearsTheMouseEnterAndLeaveItsPoints)
{
    TMouseFixture F;
    F.Series->SetActive(false);
    const auto Points = [&](std::initializer_list<TPoint> At) {
        auto* S = new TPointSeries(F.Form.get());
        for (const TPoint& P : At)
            S->AddXY(P.X, P.Y);
        F.Chart->AddSeries(S);
        return S;
    };
    TPointSeries* Heard = Points({{50, 50}});
    TPointSeries* Hand = Points({{50, 50}, {20, 20}});
    TPointSeries* Silent = Points({{80, 20}});
    Hand->Cursor = crHandPoint;
    std::vector<std::string> Log;
    Heard->OnMouseEnter = [&](TObject* S) { Log.push_back(S == Heard ? "enter" : "?"); };
    Heard->OnMouseLeave = [&](TObject* S) { Log.push_back(S == Heard ? "leave" : "?"); };
    F.Chart->Draw();
    const auto MoveTo = [&](int X, int Y) { F.Chart->WidgetMouseMove({}, F.PX(X), F.PY(Y)); };

    MoveTo(50, 50);
    EXPECT_EQ(Log, (std::vector<std::string>{"enter"}));
    EXPECT_TRUE(Heard->MouseInside());
    EXPECT_TRUE(Hand->MouseInside());
    EXPECT_EQ(F.Chart->Cursor(), crHandPoint);
    MoveTo(50, 50);
    EXPECT_EQ(Log.size(), 1u) << "no second enter while inside";
    MoveTo(20, 20);
    EXPECT_EQ(Log, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_FALSE(Heard->MouseInside());
    EXPECT_TRUE(Hand->MouseInside());
    EXPECT_EQ(F.Chart->Cursor(), crHandPoint);
    MoveTo(80, 20);
    EXPECT_FALSE(Hand->MouseInside());
    EXPECT_FALSE(Silent->CheckMouse(F.PX(80), F.PY(20)));
    EXPECT_FALSE(F.Chart->CheckMouseSeries(F.PX(80), F.PY(20)));
    EXPECT_EQ(F.Chart->Cursor(), F.Chart->SavedCursor);
    // An inactive series is not asked.
    Heard->SetActive(false);
    MoveTo(50, 50);
    EXPECT_EQ(Log.size(), 2u);
    EXPECT_FALSE(Heard->MouseInside());
}

// The values and the point under the mouse, through the series' axes.
TEST(ChartMouseOver, CursorValuesAndPointUnderTheMouse)
{
    TMouseFixture F;
    auto* S = new TPointSeries(F.Form.get());
    S->AddXY(30, 70);
    S->AddXY(60, 20);
    F.Chart->AddSeries(S);
    F.Form->Show();
    F.Chart->Draw();
    Mouse->SetCursorPos(F.Chart->ClientToScreen({F.PX(60), F.PY(20)}));
    Application->ProcessMessages();
    EXPECT_EQ(F.Chart->GetCursorPos(), (TPoint{F.PX(60), F.PY(20)}));
    double X = 0, Y = 0;
    S->GetCursorValues(X, Y);
    EXPECT_NEAR(X, 60, 0.5);
    EXPECT_NEAR(Y, 20, 0.5);
    EXPECT_EQ(S->GetCursorValueIndex(), 1);
    Mouse->SetCursorPos(F.Chart->ClientToScreen({F.PX(45), F.PY(45)}));
    Application->ProcessMessages();
    EXPECT_EQ(S->GetCursorValueIndex(), -1);
    TPointSeries Loose(nullptr);
    Loose.GetCursorValues(X, Y);
    EXPECT_EQ(X, 0);
    EXPECT_EQ(Loose.GetCursorValueIndex(), -1);
}

// Dragging a chart part: the drag keeps the part it was made from and shows
// the library's hand cursor over a target that takes the drop.
TEST(ChartDrag, DragObjectCarriesThePartAndShowsTheHand)
{
    TMouseFixture F;
    TChartClickedPart Part;
    F.Chart->CalcClickedPart({F.PX(50), F.PY(50)}, Part);
    TChDragObject Drag(Part);
    EXPECT_EQ(Drag.Part().PartStyle, cpSeries);
    EXPECT_EQ(Drag.Part().PartSeries, F.Series);
    EXPECT_EQ(Drag.GetDragCursor(true, 0, 0), crChartHand);
    EXPECT_EQ(Drag.GetDragCursor(false, 0, 0), crNoDrop);
    EXPECT_EQ(Screen->Cursors(Drag.GetDragCursor(true, 0, 0)), crHandPoint);
    Drag.Finished(nullptr, 0, 0, true);
    EXPECT_EQ(Drag.Part().PartIndex, Part.PartIndex);
}

}  // namespace
