// Line, point and area series: segments, stairs and areas by their pixels,
// the segment that enters the visible range, null points, the outline and
// shadow passes, stacking, the hit test, the area origin, marks beside
// horizontal kinds, and pictures for a person to look at.
#include "chart/ChMarks.h"
#include "chart/Chart.h"
#include "chart/SeriesArea.h"
#include "chart/SeriesLine.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// A 2-D chart on a white page with no title, walls or grid, both axes
// fixed at 0..100, so that every value has a known pixel.
struct TLineRig : TFormChartRig {
    TLineRig()
    {
        Chart->SetColor(clWhite);
        Chart->BackWall()->SetVisible(false);
        Chart->Title()->SetVisible(false);
        Chart->LeftAxis()->Grid()->SetVisible(false);
        Chart->BottomAxis()->Grid()->SetVisible(false);
        Chart->BottomAxis()->SetMinMax(0, 100);
        Chart->LeftAxis()->SetMinMax(0, 100);
    }
    template <class TKind>
    TKind* Add(TColor Color = clRed)
    {
        auto* S = new TKind(Form.get());
        S->SetSeriesColor(Color);
        Chart->AddSeries(S);
        return S;
    }
    // Draws the chart; pixels and positions are those of this pass.
    void Render() { Image = Chart->ChCreateBitmap(clWhite, Chart->GetRectangle(), pfDevice); }
    TColor At(int X, int Y) { return PixelOf(*Image, X, Y); }
    TColor AtValue(double X, double Y) { return At(PX(X), PY(Y)); }
    // Colour C within one pixel of (X, Y): where a slanted line may put it.
    bool Near(int X, int Y, TColor C)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (At(X + dx, Y + dy) == C)
                    return true;
        return false;
    }
    void Save(const std::string& Name) { Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/" + Name); }

    std::unique_ptr<TBitmap> Image;
};

} // namespace

// ------------------------------------------------------------------ segments

// Stairs take the horizontal step first, inverted stairs the vertical one;
// without stairs the segment is one slanted line.
TEST(LineSegment, StairsGoThroughTheCornerTheyName)
{
    struct TCase {
        bool Stairs;
        bool Inverted;
        const char* Name;
    };
    for (const TCase& C : {TCase{false, false, "line"}, TCase{true, false, "stairs"}, TCase{true, true, "inverted"}}) {
        SCOPED_TRACE(C.Name);
        TLineRig Rig;
        auto* S = Rig.Add<TLineSeries>();
        S->SetStairs(C.Stairs);
        S->SetInvertedStairs(C.Inverted);
        S->AddXY(20, 30);
        S->AddXY(60, 70);
        Rig.Render();
        const int X0 = Rig.PX(20), Y0 = Rig.PY(30), X1 = Rig.PX(60), Y1 = Rig.PY(70);
        const int MX = (X0 + X1) / 2, MY = (Y0 + Y1) / 2;
        // The first corner (X1, Y0) plain, (X0, Y1) inverted.
        EXPECT_EQ(Rig.At(MX, Y0) == clRed, C.Stairs && !C.Inverted) << "tread at the first value";
        EXPECT_EQ(Rig.At(X1, MY) == clRed, C.Stairs && !C.Inverted) << "riser at the second position";
        EXPECT_EQ(Rig.At(X0, MY) == clRed, C.Inverted) << "riser at the first position";
        EXPECT_EQ(Rig.At(MX, Y1) == clRed, C.Inverted) << "tread at the second value";
        EXPECT_EQ(Rig.Near(MX, MY, clRed), !C.Stairs) << "the slanted line";
    }
}

// The area between two points is the polygon from the origin up to both
// points: inside it is filled, above the line and beside the points not.
TEST(AreaSegment, PolygonDownToTheOriginOrOneStairRectangle)
{
    for (bool Stairs : {false, true}) {
        SCOPED_TRACE(Stairs ? "stairs" : "polygon");
        TLineRig Rig;
        auto* S = Rig.Add<TAreaSeries>();
        S->SetUseYOrigin(true);
        S->SetYOrigin(10);
        S->SetStairs(Stairs);
        S->AddXY(20, 40);
        S->AddXY(60, 80);
        Rig.Render();
        const int X0 = Rig.PX(20), X1 = Rig.PX(60), O = Rig.PY(10);
        EXPECT_EQ(S->GetOriginPos(0), O);
        EXPECT_EQ(Rig.AtValue(40, 20), clRed) << "inside";
        EXPECT_EQ(Rig.At(X0 + 2, O - 2), clRed) << "the bottom-left corner";
        EXPECT_EQ(Rig.At(X1 - 2, O - 2), clRed) << "the bottom-right corner";
        EXPECT_EQ(Rig.AtValue(40, 5), clWhite) << "below the origin";
        EXPECT_EQ(Rig.AtValue(15, 20), clWhite) << "before the first point";
        EXPECT_EQ(Rig.AtValue(65, 20), clWhite) << "after the last point";
        // Above the slanted edge (the polygon) or above the first value (the stair).
        EXPECT_EQ(Rig.AtValue(55, 50), Stairs ? clWhite : clRed);
        EXPECT_EQ(Rig.AtValue(25, 60), clWhite);
    }
}

// A visible pointer lies on top of both segments that touch its point.
TEST(LineSegment, PointersAreDrawnOverTheLines)
{
    TLineRig Rig;
    auto* S = Rig.Add<TLineSeries>();
    S->Pointer()->SetVisible(true);
    S->Pointer()->Pen()->SetVisible(false);
    S->Pointer()->Brush()->SetColor(clBlue);
    S->AddXY(20, 50);
    S->AddXY(50, 50);
    S->AddXY(80, 50);
    Rig.Render();
    for (double X : {20.0, 50.0, 80.0})
        EXPECT_EQ(Rig.AtValue(X, 50), clBlue) << X;
    EXPECT_EQ(Rig.AtValue(35, 50), clRed);
}

// ------------------------------------------------------------------ entering the visible range

// The first visible point is not the series' first: the line starts at the
// chart's left edge, at the height interpolated between the point outside
// and the point inside (in logarithms on a logarithmic axis), or at the
// outside point's height with stairs.
TEST(LineEntering, StartsAtTheLeftEdgeAtTheInterpolatedHeight)
{
    struct TCase {
        const char* Name;
        bool Log;
        bool Stairs;
        double Y0;
        double Y1;
        double EdgeY;
    };
    const TCase Cases[] = {
        {"linear", false, false, 0, 100, 50},
        {"logarithmic", true, false, 1, 100, 10},
        {"stairs", false, true, 20, 100, 20},
        // A logarithm of 0 or of a negative value has no place on the axis:
        // the straight interpolation stands in.
        {"logarithmic from 0", true, false, 0, 100, 50},
        {"logarithmic from below 0", true, false, -20, 100, 40},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TLineRig Rig;
        Rig.Chart->BottomAxis()->SetMinMax(5, 15);
        if (C.Log) {
            Rig.Chart->LeftAxis()->SetMinMax(0.1, 100);
            Rig.Chart->LeftAxis()->SetLogarithmic(true);
        }
        auto* S = Rig.Add<TLineSeries>();
        S->SetStairs(C.Stairs);
        S->AddXY(0, C.Y0);
        S->AddXY(10, C.Y1);
        S->AddXY(12, C.Y1);
        Rig.Render();
        EXPECT_EQ(S->FirstVisibleIndex, 1);
        const int Left = Rig.Chart->ChartRect.Left;
        const int EdgeY = Rig.PY(C.EdgeY);
        const int X1 = Rig.PX(10), Y1 = Rig.PY(C.Y1);
        if (C.Stairs) {
            EXPECT_EQ(Rig.At((Left + X1) / 2, EdgeY), clRed) << "the tread at the outside point's height";
            EXPECT_EQ(Rig.At(X1, (EdgeY + Y1) / 2), clRed);
        } else {
            EXPECT_TRUE(Rig.Near((Left + X1) / 2, (EdgeY + Y1) / 2, clRed)) << "half way from the edge";
            EXPECT_TRUE(Rig.Near(Left + 1, EdgeY, clRed)) << "at the edge";
        }
    }
}

// ------------------------------------------------------------------ colours and nulls

TEST(LineSegment, NullPointsAreNeverJoined)
{
    TLineRig Rig;
    auto* S = Rig.Add<TLineSeries>();
    S->Pointer()->SetVisible(true);
    S->AddXY(10, 50);
    S->AddNullXY(30, 50);
    S->AddXY(50, 50);
    S->AddXY(70, 50);
    Rig.Render();
    EXPECT_EQ(Rig.AtValue(20, 50), clWhite) << "into the null point";
    EXPECT_EQ(Rig.AtValue(40, 50), clWhite) << "out of the null point";
    EXPECT_EQ(Rig.AtValue(30, 50), clWhite) << "the null point has no pointer";
    EXPECT_EQ(Rig.AtValue(60, 50), clRed) << "the next segment starts at the next point";
    EXPECT_EQ(Rig.AtValue(50, 50), clRed) << "its pointer";
}

// Each segment takes its end point's colour unless ColorEachLine is off.
TEST(LineSegment, ColorEachLineOffDrawsEverySegmentInTheSeriesColour)
{
    for (bool Each : {true, false}) {
        SCOPED_TRACE(Each ? "each line" : "series colour");
        TLineRig Rig;
        auto* S = Rig.Add<TLineSeries>();
        S->SetColorEachLine(Each);
        S->AddXY(10, 50, "", clBlue);
        S->AddXY(50, 50, "", clGreen);
        S->AddXY(90, 50, "", clBlue);
        Rig.Render();
        EXPECT_EQ(Rig.AtValue(30, 50), Each ? clGreen : clRed);
        EXPECT_EQ(Rig.AtValue(70, 50), Each ? clBlue : clRed);
    }
}

// The outline is the line pen widened to 2 x width + outline width + 1 in
// the outline's colour, drawn before the line itself.
TEST(LinePasses, OutlineIsDrawnWideUnderTheLine)
{
    TLineRig Rig;
    auto* S = Rig.Add<TLineSeries>();
    const TColor PenColor = S->LinePen()->Color();
    S->LinePen()->SetWidth(3);
    S->OutLine()->SetVisible(true);
    S->OutLine()->SetWidth(2);
    S->OutLine()->SetColor(clBlue);
    S->AddXY(10, 50);
    S->AddXY(90, 50);
    Rig.Render();
    const int X = Rig.PX(50);
    int Red = 0, Blue = 0;
    for (int Y = Rig.PY(50) - 10; Y <= Rig.PY(50) + 10; ++Y) {
        Red += Rig.At(X, Y) == clRed;
        Blue += Rig.At(X, Y) == clBlue;
    }
    EXPECT_EQ(Red, 3);
    EXPECT_EQ(Red + Blue, 9);
    EXPECT_EQ(S->LinePen()->Width(), 3) << "the pen is given back";
    EXPECT_EQ(S->LinePen()->Color(), PenColor);
    EXPECT_EQ(S->SeriesColor(), clRed);
}

// The shadow is the whole series moved by the shadow's sizes in its colour,
// drawn first, without pointers.
TEST(LinePasses, ShadowDrawsTheSeriesOffsetInTheShadowColourFirst)
{
    TLineRig Rig;
    auto* S = Rig.Add<TLineSeries>();
    S->Shadow()->SetColor(clGray);
    S->Shadow()->SetHorizSize(3);
    S->Shadow()->SetVertSize(5);
    S->Pointer()->SetVisible(true);
    S->Pointer()->Brush()->SetColor(clBlue);
    S->AddXY(20, 50);
    S->AddXY(80, 50);
    Rig.Render();
    // Moved axes may round a half pixel the other way.
    EXPECT_TRUE(Rig.Near(Rig.PX(50) + 3, Rig.PY(50) + 5, clGray));
    EXPECT_EQ(Rig.At(Rig.PX(50) + 3, Rig.PY(50) - 5), clWhite);
    EXPECT_EQ(Rig.AtValue(50, 50), clRed);
    EXPECT_EQ(Rig.At(Rig.PX(80) + 3, Rig.PY(50) + 5 + 4), clWhite) << "the shadow has no pointers";
    EXPECT_EQ(Rig.AtValue(80, 50), clBlue);
    const int Start = Rig.PX(0);
    EXPECT_EQ(Rig.Chart->BottomAxis()->PixelStart(), Start) << "the axes are given back";
    EXPECT_TRUE(S->Pointer()->Visible());
}

// ------------------------------------------------------------------ stacking

TEST(SeriesStacking, StackedAndFullStackedPositions)
{
    struct TCase {
        TCustomSeriesStack Stack;
        double Values[3];
        double Expected[3];
        double Origins[3];
    };
    // Only values of a point's own sign count below it.
    const TCase Cases[] = {
        {cssStack, {3, -1, 2}, {3, -1, 5}, {0, 0, 3}},
        {cssStack100, {1, 1, 2}, {25, 50, 100}, {0, 25, 50}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(CustomSeriesStackIdents().ToIdent(C.Stack));
        TLineRig Rig;
        Rig.Chart->LeftAxis()->SetMinMax(-10, 110);
        TLineSeries* S[3];
        for (int i = 0; i < 3; ++i) {
            S[i] = Rig.Add<TLineSeries>();
            S[i]->AddXY(50, C.Values[i]);
        }
        S[1]->SetStacked(C.Stack);
        Rig.Render();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(S[i]->Stacked(), C.Stack) << "every series of the kind stacks";
            EXPECT_EQ(S[i]->CalcYPos(0), Rig.PY(C.Expected[i])) << i;
            EXPECT_EQ(S[i]->GetOriginPos(0), Rig.PY(C.Origins[i])) << i;
        }
    }
}

TEST(SeriesStacking, FullStackOfZeroesAndStackedExtremes)
{
    TLineRig Rig;
    auto* A = Rig.Add<TLineSeries>();
    auto* B = Rig.Add<TLineSeries>();
    A->AddXY(0, 0);
    B->AddXY(0, 0);
    A->AddXY(1, 4);
    B->AddXY(1, 6);
    A->SetStacked(cssStack100);
    Rig.Render();
    EXPECT_EQ(B->CalcYPos(0), Rig.Chart->LeftAxis()->PixelEnd()) << "no division by a zero total";
    EXPECT_EQ(B->MaxYValue(), 100);
    EXPECT_EQ(B->MinYValue(), 0);
    A->SetStacked(cssStack);
    EXPECT_EQ(B->MaxYValue(), 10);
    EXPECT_EQ(A->MaxYValue(), 4);
}

// Stacking is set for the whole kind: a point series of the chart is left
// alone, and an area series reads it as MultiArea.
TEST(SeriesStacking, StackedAndMultiAreaReachEverySeriesOfTheKind)
{
    TLineRig Rig;
    auto* A = Rig.Add<TAreaSeries>();
    auto* B = Rig.Add<TAreaSeries>();
    auto* P = Rig.Add<TPointSeries>();
    A->SetMultiArea(maStacked);
    EXPECT_EQ(B->MultiArea(), maStacked);
    EXPECT_EQ(B->Stacked(), cssStack);
    EXPECT_EQ(P->Stacked(), cssNone);
    B->SetMultiArea(maStacked100);
    EXPECT_EQ(A->Stacked(), cssStack100);
    A->SetStacked(cssOverlap);
    EXPECT_EQ(A->MultiArea(), maNone);
    EXPECT_EQ(B->MultiArea(), maNone);
    A->SetMultiArea(maNone);
    EXPECT_EQ(A->Stacked(), cssOverlap) << "writing what it reads changes nothing";
}

namespace {

// An area series that records the order in which the chart draws points.
class TOrderedArea : public TAreaSeries {
public:
    TOrderedArea(TComponent* AOwner, int AId, std::vector<std::pair<int, int>>* ALog)
        : TAreaSeries(AOwner), Id(AId), Log(ALog)
    {
    }
    void DrawValue(int ValueIndex) override
    {
        Log->emplace_back(ValueIndex, Id);
        TAreaSeries::DrawValue(ValueIndex);
    }
    int Id;
    std::vector<std::pair<int, int>>* Log;
};

} // namespace

// Stacked areas share one depth and are drawn point by point together; on
// an inverted value axis the last series is drawn first.
TEST(SeriesStacking, StackedAreasOnAnInvertedAxisDrawInReverseOrder)
{
    for (bool Inverted : {false, true}) {
        SCOPED_TRACE(Inverted ? "inverted" : "normal");
        TLineRig Rig;
        Rig.Chart->SetView3D(true);
        Rig.Chart->LeftAxis()->SetInverted(Inverted);
        std::vector<std::pair<int, int>> Log;
        TOrderedArea* S[2];
        for (int s = 0; s < 2; ++s) {
            S[s] = new TOrderedArea(Rig.Form.get(), s, &Log);
            Rig.Chart->AddSeries(S[s]);
            S[s]->AddXY(20, 10);
            S[s]->AddXY(60, 20);
        }
        S[0]->SetMultiArea(maStacked);
        EXPECT_EQ(S[0]->DrawSeriesForward(0), !Inverted);
        Rig.Render();
        EXPECT_EQ(S[0]->GetZOrder(), S[1]->GetZOrder()) << "one depth";
        const int First = Inverted ? 1 : 0, Second = 1 - First;
        const std::vector<std::pair<int, int>> Expected{{0, First}, {0, Second}, {1, First}, {1, Second}};
        EXPECT_EQ(Log, Expected);
    }
}

// ------------------------------------------------------------------ hit test

TEST(LineHitTest, PointerLineAreaAndNothingElse)
{
    TLineRig Rig;
    auto* S = Rig.Add<TLineSeries>();
    S->Pointer()->SetVisible(true);
    S->AddXY(20, 20);
    S->AddXY(60, 60);
    S->AddXY(80, 20);
    std::vector<int> Clicks;
    S->OnClickPointer = [&](TCustomSeries*, int ValueIndex, int, int) { Clicks.push_back(ValueIndex); };
    Rig.Render();
    const int H = S->Pointer()->HorizSize();
    EXPECT_EQ(S->Clicked(Rig.PX(60) + H - 1, Rig.PY(60)), 1) << "inside the pointer";
    EXPECT_EQ(Clicks, std::vector<int>{1});
    EXPECT_EQ(S->Clicked(Rig.PX(40), Rig.PY(40)), 0) << "the line from point 0";
    EXPECT_EQ(S->Clicked(Rig.PX(70), Rig.PY(40)), 1) << "the line from point 1";
    EXPECT_EQ(S->Clicked(Rig.PX(40), Rig.PY(20)), -1) << "below the line";
    S->Pointer()->SetStyle(psNothing);
    EXPECT_EQ(S->Clicked(Rig.PX(60) + H - 1, Rig.PY(60)), -1) << "an invisible style is never hit";
    EXPECT_EQ(S->Clicked(Rig.PX(60), Rig.PY(60)), 1) << "the exact point is";
    EXPECT_EQ(Clicks.size(), 1u);

    S->SetClickableLine(false);
    S->Pointer()->SetStyle(psRectangle);
    EXPECT_EQ(S->Clicked(Rig.PX(40), Rig.PY(40)), -1) << "lines are not clickable";
    EXPECT_EQ(S->Clicked(Rig.PX(20), Rig.PY(20) + 1), 0) << "pointers are";
    S->Pointer()->SetVisible(false);
    EXPECT_EQ(S->Clicked(Rig.PX(20), Rig.PY(20) + 1), -1);
    EXPECT_EQ(S->Clicked(Rig.PX(20), Rig.PY(20)), 0) << "and exact points";
}

TEST(LineHitTest, StairsAndInsideTheArea)
{
    TLineRig Rig;
    auto* A = Rig.Add<TAreaSeries>();
    A->AddXY(20, 40);
    A->AddXY(60, 80);
    Rig.Render();
    EXPECT_EQ(A->Clicked(Rig.PX(40), Rig.PY(20)), 0) << "inside the area";
    EXPECT_EQ(A->Clicked(Rig.PX(70), Rig.PY(20)), -1) << "beside it";
    A->SetStairs(true);
    EXPECT_EQ(A->Clicked(Rig.PX(40), Rig.PY(40)), 0) << "on the tread";
    EXPECT_EQ(A->Clicked(Rig.PX(60), Rig.PY(70)), 0) << "on the riser";
    A->SetInvertedStairs(true);
    EXPECT_EQ(A->Clicked(Rig.PX(20), Rig.PY(70)), 0) << "on the inverted riser";
}

// ------------------------------------------------------------------ kinds

// A fixed origin widens the value range to include it and the area fills
// down to its pixel.
TEST(AreaSeriesKind, FixedOriginSpansTheRangeAndEndsTheFill)
{
    TLineRig Rig;
    Rig.Chart->LeftAxis()->SetMinMax(0, 10);
    auto* S = Rig.Add<TAreaSeries>();
    for (int i = 0; i < 6; ++i)
        S->AddXY(20 + i * 10, 3 + i);
    EXPECT_EQ(S->MinYValue(), 3);
    S->SetUseYOrigin(true);
    S->SetYOrigin(1);
    EXPECT_EQ(S->MinYValue(), 1);
    EXPECT_EQ(S->MaxYValue(), 8);
    Rig.Render();
    EXPECT_EQ(Rig.At(Rig.PX(45), Rig.PY(1) - 2), clRed);
    EXPECT_EQ(Rig.At(Rig.PX(45), Rig.PY(1) + 2), clWhite);
}

// Marks of a horizontal area stand right of their points even left of the
// origin; marks of a horizontal line stand on the side away from its origin
// (the axis start: the right end when the axis is inverted).
TEST(AreaSeriesKind, HorizontalMarksStandBesideTheirPoints)
{
    TLineRig Rig;
    Rig.Chart->BottomAxis()->SetMinMax(-100, 100);
    auto* A = Rig.Add<THorizAreaSeries>();
    A->SetUseYOrigin(true);
    A->AddXY(-50, 30);
    A->AddXY(50, 60);
    A->Marks()->SetVisible(true);
    Rig.Render();
    Rig.Save("horizontal_area_marks.png");
    for (int i = 0; i < 2; ++i) {
        const TSeriesMarkPosition* P = A->Marks()->Positions().Get(i);
        ASSERT_NE(P, nullptr);
        EXPECT_GT(P->BoxTopLeft.X, A->CalcXPos(i)) << "area mark " << i;
        EXPECT_EQ(P->BoxTopLeft.Y, A->CalcYPos(i) - P->BoxHeight / 2) << "centred on the point";
    }
    for (bool Inverted : {false, true}) {
        SCOPED_TRACE(Inverted ? "inverted" : "normal");
        TLineRig Line;
        Line.Chart->BottomAxis()->SetInverted(Inverted);
        auto* L = Line.Add<THorizLineSeries>(clBlue);
        L->AddXY(40, 20);
        L->AddXY(60, 70);
        L->Marks()->SetVisible(true);
        Line.Render();
        for (int i = 0; i < 2; ++i) {
            const TSeriesMarkPosition* P = L->Marks()->Positions().Get(i);
            ASSERT_NE(P, nullptr);
            if (Inverted)
                EXPECT_LT(P->BoxTopLeft.X + P->BoxWidth, L->CalcXPos(i)) << i;
            else
                EXPECT_GT(P->BoxTopLeft.X, L->CalcXPos(i)) << i;
        }
    }
}

// A point series copied from a line series keeps its own nature: pointers,
// no line, no hits between points.
TEST(PointSeriesKind, AssignedFromALineStillDrawsNoLine)
{
    TLineRig Rig;
    TLineSeries Line(nullptr);
    Line.SetStairs(true);
    auto* P = Rig.Add<TPointSeries>();
    P->Assign(&Line);
    P->SetSeriesColor(clRed);
    EXPECT_TRUE(P->Pointer()->Visible());
    EXPECT_FALSE(P->JoinPoints());
    EXPECT_FALSE(P->ClickableLine());
    P->AddXY(20, 50);
    P->AddXY(80, 50);
    Rig.Render();
    EXPECT_EQ(Rig.AtValue(50, 50), clWhite);
    EXPECT_EQ(Rig.AtValue(20, 50), clRed);
    EXPECT_EQ(P->Clicked(Rig.PX(50), Rig.PY(50)), -1);
}

TEST(LineSeriesKind, DefaultsAndCopyingRules)
{
    TLineSeries A(nullptr), B(nullptr);
    EXPECT_FALSE(A.Pointer()->Visible());
    EXPECT_TRUE(A.JoinPoints());
    A.Pointer()->SetVisible(true);
    B.Assign(&A);
    EXPECT_TRUE(B.Pointer()->Visible()) << "a line source keeps its pointers";
    TPointSeries P(nullptr);
    B.Assign(&P);
    EXPECT_FALSE(B.Pointer()->Visible()) << "a point source's pointers are hidden again";
    EXPECT_TRUE(B.JoinPoints());
    EXPECT_FALSE(B.DrawArea());

    THorizLineSeries H(nullptr);
    H.AddXY(5, 3);
    H.AddXY(1, 1);
    EXPECT_EQ(H.XValues()->Value(0), 5) << "X values are not sorted on insertion";
    EXPECT_EQ(H.XValues()->Order(), loNone);
    EXPECT_EQ(H.YValues()->Order(), loAscending);
    EXPECT_FALSE(H.YMandatory());
    EXPECT_FALSE(H.CalcVisibleRange);

    TAreaSeries Area(nullptr);
    EXPECT_TRUE(Area.DrawArea());
    Area.SetUseYOrigin(true);
    TAreaSeries Other(nullptr);
    Other.Assign(&Area);
    EXPECT_TRUE(Other.UseYOrigin());
    Other.Assign(&A);
    EXPECT_TRUE(Other.DrawArea()) << "an area stays an area";
}

// ------------------------------------------------------------------ pictures for a person

TEST(LineAreaPictures, GalleryOfKindsForAPerson)
{
    struct TPicture {
        const char* File;
        std::function<void(TLineRig&)> Build;
    };
    const auto Wave = [](TChartSeries* S, double Base, double Amplitude) {
        for (int i = 0; i <= 20; ++i)
            S->AddXY(i * 5, Base + Amplitude * ((i * 7) % 11) / 10.0);
    };
    const TPicture Pictures[] = {
        {"line_stairs.png",
         [&](TLineRig& R) {
             auto* S = R.Add<TLineSeries>();
             S->SetStairs(true);
             S->Pointer()->SetVisible(true);
             Wave(S, 20, 50);
         }},
        {"line_ribbon_3d.png",
         [&](TLineRig& R) {
             R.Chart->SetView3D(true);
             auto* S = R.Add<TLineSeries>();
             S->SetLineHeight(8);
             Wave(S, 20, 50);
             auto* T = R.Add<TLineSeries>(clGreen);
             Wave(T, 10, 30);
         }},
        {"area_gradient.png",
         [&](TLineRig& R) {
             auto* S = R.Add<TAreaSeries>(clNavy);
             S->Gradient()->SetVisible(true);
             S->Gradient()->SetStartColor(clWhite);
             S->Gradient()->SetEndColor(clNavy);
             Wave(S, 20, 60);
         }},
        {"area_transparent_over_line.png",
         [&](TLineRig& R) {
             auto* L = R.Add<TLineSeries>(clBlue);
             L->LinePen()->SetWidth(3);
             Wave(L, 10, 80);
             auto* S = R.Add<TAreaSeries>(clRed);
             S->SetTransparency(50);
             Wave(S, 20, 40);
         }},
        {"area_stacked.png",
         [&](TLineRig& R) {
             R.Chart->LeftAxis()->SetAutomatic(true);
             for (TColor C : {clRed, clGreen, clBlue}) {
                 auto* S = R.Add<TAreaSeries>(C);
                 Wave(S, 10, 20);
                 S->SetMultiArea(maStacked);
             }
         }},
        {"area_stacked100.png",
         [&](TLineRig& R) {
             for (TColor C : {clRed, clGreen, clBlue}) {
                 auto* S = R.Add<TAreaSeries>(C);
                 Wave(S, 10, 20);
                 S->SetMultiArea(maStacked100);
             }
         }},
        {"horizontal_line_and_area.png",
         [&](TLineRig& R) {
             auto* A = R.Add<THorizAreaSeries>(clSilver);
             auto* L = R.Add<THorizLineSeries>(clRed);
             L->Pointer()->SetVisible(true);
             for (int i = 0; i <= 10; ++i) {
                 A->AddXY(20 + (i * 37) % 50, i * 10);
                 L->AddXY(30 + (i * 23) % 60, i * 10);
             }
         }},
    };
    for (const TPicture& P : Pictures) {
        SCOPED_TRACE(P.File);
        TLineRig Rig;
        P.Build(Rig);
        Rig.Render();
        Rig.Save(P.File);
        int Inked = 0;
        for (int Y = 0; Y < Rig.Image->Height(); Y += 3)
            for (int X = 0; X < Rig.Image->Width(); X += 3)
                Inked += Rig.At(X, Y) != clWhite;
        EXPECT_GT(Inked, 200) << "the picture shows something";
    }
}
