// Series pointers, callouts and the marks' callout and symbol: the pixels
// of each pointer shape, its margins and size checks, blending, gradient
// fill, the legend symbol, arrows, arrow length and overlapping marks.
#include "chart/ChCallout.h"
#include "chart/ChMarks.h"
#include "chart/Chart.h"
#include "chart/SeriesCustom.h"
#include "chart/SeriesLine.h"
#include "platform/ScopeGuard.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A canvas that counts the blending sections it opens and closes.
class TBlendCountingCanvas : public TChCanvas3D {
public:
    TChBlend* BeginBlending(const TRect& R, int Transparency) override
    {
        ++Begun;
        LastBlendRect = R;
        return TChCanvas3D::BeginBlending(R, Transparency);
    }
    void EndBlending(TChBlend* Blend) override
    {
        ++Ended;
        TChCanvas3D::EndBlending(Blend);
    }
    int Begun = 0;
    int Ended = 0;
    TRect LastBlendRect;
};

// A buffered W x H pass on a white page (2-D, or orthogonal 3-D with the
// given depth), read back pixel by pixel.
struct TPointerPass {
    TBlendCountingCanvas Canvas;
    TView3DOptions Options{nullptr};
    explicit TPointerPass(int W = 120, int H = 90, bool Is3D = false)
    {
        Canvas.InitWindow(nullptr, &Options, clWhite, Is3D, {0, 0, W, H});
        Canvas.Projection(40, {0, 0, W, H}, {0, 0, W, H});
        Canvas.Pen->SetStyle(psClear);
        Canvas.Brush->SetColor(clWhite);
        Canvas.FillRect({0, 0, W, H});
    }
    TColor Pixel(int X, int Y) { return PixelOf(*Canvas.BufferBitmap, X, Y); }
    // Blending leaves white a shade off white: only real ink counts.
    bool Inked(int X, int Y)
    {
        const TColor C = Pixel(X, Y);
        return GetRValue(C) < 250 || GetGValue(C) < 250 || GetBValue(C) < 250;
    }
    // Bounding box of everything not white; empty when nothing is.
    TRect InkedBounds()
    {
        TRect R{1 << 20, 1 << 20, -1, -1};
        for (int Y = 0; Y < Canvas.BufferBitmap->Height(); ++Y)
            for (int X = 0; X < Canvas.BufferBitmap->Width(); ++X)
                if (Inked(X, Y)) {
                    R.Left = std::min(R.Left, X);
                    R.Top = std::min(R.Top, Y);
                    R.Right = std::max(R.Right, X + 1);
                    R.Bottom = std::max(R.Bottom, Y + 1);
                }
        return R.Right < 0 ? TRect{} : R;
    }
    void Draw(TSeriesPointer& P, int X, int Y, int H, int V, TSeriesPointerStyle Style, bool Is3D = false)
    {
        P.PrepareCanvas(&Canvas, clRed);
        P.DrawPointer(&Canvas, Is3D, X, Y, H, V, clRed, Style);
    }
    void Save(const std::string& Name) { Canvas.BufferBitmap->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/" + Name); }
};

} // namespace

// ------------------------------------------------------------------ shapes

TEST(SeriesPointerShape, RectangleCoversItsHalfSizesAndNothingBeside)
{
    TPointerPass Pass;
    TSeriesPointer P(nullptr);
    Pass.Draw(P, 50, 40, 3, 2, psRectangle);
    EXPECT_EQ(Pass.InkedBounds(), (TRect{47, 38, 54, 43}));
    EXPECT_EQ(Pass.Pixel(47, 38), clBlack) << "the pen outlines it";
    EXPECT_EQ(Pass.Pixel(53, 42), clBlack);
    EXPECT_EQ(Pass.Pixel(50, 40), clRed) << "the brush takes the point's colour";
}

TEST(SeriesPointerShape, DiamondFillsItsFourCorners)
{
    TPointerPass Pass;
    TSeriesPointer P(nullptr);
    Pass.Draw(P, 50, 40, 3, 2, psDiamond);
    for (TPoint Corner : {TPoint{47, 40}, TPoint{50, 38}, TPoint{53, 40}, TPoint{50, 42}})
        EXPECT_TRUE(Pass.Inked(Corner.X, Corner.Y)) << Corner.X << "," << Corner.Y;
    EXPECT_EQ(Pass.InkedBounds(), (TRect{47, 38, 54, 43}));
    EXPECT_FALSE(Pass.Inked(47, 38)) << "the rectangle's corner stays empty";
}

// Every style stays inside the pointer's box; the crosses draw strokes
// through the centre only, the dot one pixel, nothing draws nothing.
TEST(SeriesPointerShape, EveryStyleStaysInsideItsBox)
{
    struct TCase {
        TSeriesPointerStyle Style;
        TRect Bounds;
    };
    const TRect Box{46, 36, 55, 45};
    const TCase Cases[] = {
        {psRectangle, Box},
        {psCircle, {46, 36, 54, 44}},   // the ellipse leaves out its right and bottom edge
        {psTriangle, Box},        {psDownTriangle, Box}, {psCross, Box},          {psDiagCross, Box},
        {psStar, Box},            {psDiamond, Box},      {psLeftTriangle, Box},   {psRightTriangle, Box},
        {psSmallDot, {50, 40, 51, 41}},
        {psNothing, {}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(SeriesPointerStyleIdents().ToIdent(C.Style));
        TPointerPass Pass;
        TSeriesPointer P(nullptr);
        Pass.Draw(P, 50, 40, 4, 4, C.Style);
        EXPECT_EQ(Pass.InkedBounds(), C.Bounds);
    }
    TPointerPass Pass;
    TSeriesPointer P(nullptr);
    Pass.Draw(P, 50, 40, 4, 4, psStar);
    for (TPoint Stroke : {TPoint{50, 37}, TPoint{47, 40}, TPoint{47, 37}, TPoint{53, 37}})
        EXPECT_TRUE(Pass.Inked(Stroke.X, Stroke.Y)) << "four strokes of the star";
    EXPECT_FALSE(Pass.Inked(48, 37));
}

TEST(SeriesPointerShape, NothingWithTransparencyOpensAndClosesItsBlending)
{
    TPointerPass Pass;
    TSeriesPointer P(nullptr);
    P.SetTransparency(50);
    Pass.Draw(P, 50, 40, 3, 2, psNothing);
    EXPECT_EQ(Pass.Canvas.Begun, 1);
    EXPECT_EQ(Pass.Canvas.Ended, 1);
    // The pointer's box as the screen sees it, right and bottom edges included.
    EXPECT_EQ(Pass.Canvas.LastBlendRect, (TRect{47, 38, 55, 44}));
    EXPECT_EQ(Pass.InkedBounds(), TRect{});
    // Opaque pointers blend nothing.
    P.SetTransparency(0);
    Pass.Draw(P, 50, 40, 3, 2, psRectangle);
    EXPECT_EQ(Pass.Canvas.Begun, 1);
}

TEST(SeriesPointerShape, TransparentPointerLetsTheBackgroundThrough)
{
    TPointerPass Pass;
    TSeriesPointer P(nullptr);
    P.Pen()->SetVisible(false);
    P.SetTransparency(50);
    Pass.Draw(P, 50, 40, 4, 4, psRectangle);
    const TColor C = Pass.Pixel(50, 40);
    EXPECT_EQ(GetRValue(C), 255);
    EXPECT_NEAR(GetGValue(C), 128, 2) << "half red, half white";
}

TEST(SeriesPointerShape, GradientRunsToThePointColourUnlessItKeepsItsEnd)
{
    for (bool Keep : {false, true}) {
        SCOPED_TRACE(Keep ? "keeps its end" : "takes the point's colour");
        TPointerPass Pass;
        TSeriesPointer P(nullptr);
        P.Gradient()->SetVisible(true);
        P.Gradient()->SetStartColor(clWhite);
        P.Gradient()->SetEndColor(clBlue);
        P.Gradient()->SetDirection(gdTopBottom);
        P.SetKeepGradientEnd(Keep);
        Pass.Draw(P, 50, 40, 10, 10, psRectangle);
        EXPECT_EQ(P.Gradient()->EndColor(), Keep ? clBlue : clRed);
        // Inside the pen the fill changes from top to bottom.
        EXPECT_NE(Pass.Pixel(50, 32), Pass.Pixel(50, 48));
        EXPECT_EQ(Pass.Pixel(40, 40), clBlack) << "the outline stays";
    }
}

TEST(SeriesPointerShape, EveryStyleIn2DAnd3DForAPerson)
{
    TPointerPass Pass(480, 170, true);
    TPointerPass Flat(480, 80);
    TSeriesPointer P(nullptr);
    P.Gradient()->SetStartColor(clWhite);
    for (int s = psRectangle; s <= psRightTriangle; ++s) {
        const auto Style = static_cast<TSeriesPointerStyle>(s);
        const int X = 20 + s * 38;
        P.Gradient()->SetVisible(false);
        Flat.Draw(P, X, 25, 12, 12, Style);
        P.Gradient()->SetVisible(true);
        Flat.Draw(P, X, 60, 12, 12, Style);
        P.Gradient()->SetVisible(false);
        P.SetDraw3D(true);
        Pass.Draw(P, X, 70, 12, 12, Style, true);
        P.SetDraw3D(false);
        Pass.Draw(P, X, 130, 12, 12, Style, true);
    }
    Flat.Save("series_pointer_styles_2d.png");
    Pass.Save("series_pointer_styles_3d.png");
    EXPECT_TRUE(Pass.Inked(20, 70));
}

// ------------------------------------------------------------------ sizes and margins

TEST(SeriesPointerSettings, SizeOfZeroOrLessIsRefusedAndKept)
{
    TSeriesPointer P(nullptr);
    for (int Bad : {0, -3}) {
        try {
            P.SetHorizSize(Bad);
            FAIL() << "accepted " << Bad;
        } catch (const ChartException& E) {
            EXPECT_STREQ(E.what(), "Pointer size must be greater than zero");
        }
        EXPECT_THROW(P.SetVertSize(Bad), ChartException);
    }
    EXPECT_EQ(P.HorizSize(), 4);
    EXPECT_EQ(P.VertSize(), 4);
    P.SetHorizSize(7);
    EXPECT_EQ(P.HorizSize(), 7);
}

TEST(SeriesPointerSettings, VisiblePointerWidensTheMarginsToSizePlusOne)
{
    TSeriesPointer P(nullptr);
    P.SetHorizSize(3);
    P.SetVertSize(6);
    int L = 2, R = 9, T = 0, B = 0;
    P.CalcHorizMargins(L, R);
    P.CalcVerticalMargins(T, B);
    EXPECT_EQ(L, 4);
    EXPECT_EQ(R, 9) << "a larger margin stays";
    EXPECT_EQ(T, 7);
    EXPECT_EQ(B, 7);
    for (int Off = 0; Off < 2; ++Off) {
        TSeriesPointer Q(nullptr);
        if (Off == 0)
            Q.SetVisible(false);
        else
            Q.SetInflateMargins(false);
        int A = 0, Z = 0;
        Q.CalcHorizMargins(A, Z);
        EXPECT_EQ(A + Z, 0);
    }
}

TEST(SeriesPointerSettings, AssignCopiesShapeAndSizes)
{
    TSeriesPointer A(nullptr), B(nullptr);
    A.SetStyle(psStar);
    A.SetHorizSize(9);
    A.SetDark3D(false);
    A.SetTransparency(30);
    A.Gradient()->SetVisible(true);
    A.Brush()->SetColor(clLime);
    A.SetVisible(false);
    B.Assign(&A);
    EXPECT_EQ(B.Style(), psStar);
    EXPECT_EQ(B.HorizSize(), 9);
    EXPECT_FALSE(B.Dark3D());
    EXPECT_EQ(B.Transparency(), 30);
    EXPECT_TRUE(B.Gradient()->Visible());
    EXPECT_EQ(B.Color(), clLime);
    EXPECT_FALSE(B.Visible());
}

TEST(SeriesPointerSettings, PublishedDefaultsOfPointerAndCallouts)
{
    TSeriesPointer P(nullptr);
    TMarksCallout M(nullptr);
    struct TCase {
        TObject* Object;
        const char* Name;
        bool Default;
    };
    for (const TCase& C : {TCase{&P, "Dark3D", true}, TCase{&P, "Draw3D", true}, TCase{&P, "HorizSize", true},
                           TCase{&P, "Transparency", true}, TCase{&M, "Draw3D", true}, TCase{&M, "Visible", true},
                           TCase{&M, "ArrowHeadSize", true}, TCase{&M, "Length", true}}) {
        SCOPED_TRACE(C.Name);
        const TPropInfo* Info = GetPropInfo(C.Object, C.Name);
        ASSERT_NE(Info, nullptr);
        EXPECT_EQ(Info->IsDefault(C.Object) || !Info->IsStored(C.Object), C.Default);
    }
    EXPECT_FALSE(M.Draw3D());
    EXPECT_FALSE(M.Visible());
    EXPECT_EQ(M.Arrow()->Color(), clWhite);
    EXPECT_EQ(M.Color(), clBlack);
    M.SetLength(5);
    EXPECT_TRUE(GetPropInfo(&M, "Length")->IsStored(&M));
    EXPECT_EQ(TMarksCallout::StaticClass()->ClassParent(), TCallout::StaticClass());
}

// ------------------------------------------------------------------ legend symbol

TEST(SeriesPointerLegend, HalfSizesFromTheRectangleCappedByThePointer)
{
    struct TCase {
        int Size;
        TRect Rect;
        bool DrawPen;
        TRect Inked;
    };
    const TCase Cases[] = {
        // 12 x 9 at (100, 100), centre (106, 104): half sizes 4 x 3 with a
        // pen, 7 x 5 capped to 4 x 4 without.
        {4, {100, 100, 112, 109}, true, {102, 101, 111, 108}},
        {4, {100, 100, 112, 109}, false, {102, 100, 111, 109}},
        // 30 x 20, centre (115, 110), a 12 x 12 pointer: 10 x 6 with a pen,
        // 16 x 11 capped to 12 x 11 without.
        {12, {100, 100, 130, 120}, true, {105, 104, 126, 117}},
        {12, {100, 100, 130, 120}, false, {103, 99, 128, 122}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Size << (C.DrawPen ? " with pen" : " without pen"));
        TFormChartRig Rig;
        auto* S = new TPointSeries(Rig.Form.get());
        S->Pointer()->SetHorizSize(C.Size);
        S->Pointer()->SetVertSize(C.Size);
        Rig.Chart->AddSeries(S);
        TChCanvas3D* Canvas = dynamic_cast<TChCanvas3D*>(Rig.Chart->ChartCanvas());
        TView3DOptions Options(nullptr);
        Canvas->InitWindow(nullptr, &Options, clWhite, false, {0, 0, 200, 200});
        Canvas->Projection(0, {0, 0, 200, 200}, {0, 0, 200, 200});
        Canvas->Pen->SetStyle(psClear);
        Canvas->Brush->SetColor(clWhite);
        Canvas->FillRect({0, 0, 200, 200});
        ChPointerDrawLegend(S->Pointer(), clRed, C.Rect, C.DrawPen);
        TRect R{1 << 20, 1 << 20, -1, -1};
        for (int Y = 80; Y < 140; ++Y)
            for (int X = 80; X < 150; ++X)
                if (PixelOf(*Canvas->BufferBitmap, X, Y) != clWhite) {
                    R.Left = std::min(R.Left, X);
                    R.Top = std::min(R.Top, Y);
                    R.Right = std::max(R.Right, X + 1);
                    R.Bottom = std::max(R.Bottom, Y + 1);
                }
        EXPECT_EQ(R, C.Inked);
    }
}

// ------------------------------------------------------------------ marks callout

TEST(MarksCallout, ApplyArrowLengthLiftsBoxAndArrowEndByLengthAndDistance)
{
    TLineSeries S(nullptr);
    TSeriesMarks* M = S.Marks();
    TSeriesMarkPosition P;
    P.ArrowStart = {50, 100};
    P.ArrowEnd = {50, 100};
    P.BoxTopLeft = {40, 90};
    M->ApplyArrowLength(&P);
    EXPECT_EQ(P.BoxTopLeft.Y, 90) << "no callout, nothing moves";
    M->SetArrowLength(5);
    M->Callout()->SetDistance(3);
    M->ApplyArrowLength(&P);
    EXPECT_EQ(P.BoxTopLeft, (TPoint{40, 82}));
    EXPECT_EQ(P.ArrowEnd, (TPoint{50, 92}));
    EXPECT_EQ(P.ArrowStart, (TPoint{50, 97}));
}

TEST(MarksCallout, ReadOnDemandFreedByNilAndCopiedWithTheMarks)
{
    TLineSeries A(nullptr), B(nullptr);
    EXPECT_FALSE(A.Marks()->HasCallout());
    EXPECT_FALSE(A.Marks()->HasSymbol());
    EXPECT_EQ(A.Marks()->ArrowLength(), 8);
    EXPECT_TRUE(A.Marks()->HasCallout());
    A.Marks()->SetCallout(nullptr);
    EXPECT_FALSE(A.Marks()->HasCallout());
    A.Marks()->SetArrowLength(12);
    A.Marks()->Symbol()->SetVisible(true);
    B.Marks()->Assign(A.Marks());
    EXPECT_EQ(B.Marks()->ArrowLength(), 12);
    EXPECT_TRUE(B.Marks()->SymbolShown());
    A.Marks()->SetCallout(nullptr);
    B.Marks()->Assign(A.Marks());
    EXPECT_FALSE(B.Marks()->HasCallout()) << "a source without callout frees ours";
}

TEST(MarksCallout, OverlappingMarksArePushedApart)
{
    TLineSeries S(nullptr);
    TSeriesMarks* M = S.Marks();
    M->Shadow()->SetSize(0);
    M->Pen()->SetVisible(false);
    TSeriesMarkPosition First;
    First.BoxTopLeft = {10, 50};
    First.BoxWidth = 30;
    First.BoxHeight = 12;
    First.ArrowEnd = {25, 62};
    M->UsePosition(0, First);

    struct TCase {
        int Top;
        int ExpectedTop;
    };
    // Starting higher, a mark moves up above the first; starting level or
    // lower, it moves down below it; clear of it, it stays.
    for (const TCase& C : {TCase{55, 62}, TCase{50, 62}, TCase{45, 38}, TCase{70, 70}}) {
        SCOPED_TRACE(C.Top);
        TSeriesMarkPosition P;
        P.BoxTopLeft = {20, C.Top};
        P.BoxWidth = 30;
        P.BoxHeight = 12;
        P.ArrowEnd = {35, C.Top + 12};
        M->AntiOverlap(0, 1, &P);
        EXPECT_EQ(P.BoxTopLeft.Y, C.ExpectedTop);
        EXPECT_EQ(P.ArrowEnd.Y, C.ExpectedTop + 12) << "the arrow end moves with the box";
    }
    // The frame counts with the box.
    M->Pen()->SetVisible(true);
    M->Pen()->SetWidth(2);
    TSeriesMarkPosition P;
    P.BoxTopLeft = {10, 50};
    P.BoxWidth = 30;
    P.BoxHeight = 12;
    M->AntiOverlap(0, 1, &P);
    EXPECT_EQ(P.BoxTopLeft.Y, 64);
}

// A series with a visible callout arrow draws it from the point to its
// mark box; its head sits on the point.
TEST(MarksCallout, ArrowsWithLineAndSolidHeads)
{
    struct TCase {
        TArrowHeadStyle Head;
        const char* File;
    };
    for (const TCase& C : {TCase{ahNone, "marks_arrow_none.png"}, TCase{ahLine, "marks_arrow_line.png"},
                           TCase{ahSolid, "marks_arrow_solid.png"}}) {
        SCOPED_TRACE(C.File);
        TFormChartRig Rig;
        Rig.Chart->SetColor(clWhite);
        Rig.Chart->BackWall()->SetVisible(false);
        Rig.Chart->LeftAxis()->SetMinMax(0, 100);
        Rig.Chart->BottomAxis()->SetMinMax(0, 10);
        auto* S = new TLineSeries(Rig.Form.get());
        S->SetSeriesColor(clGreen);
        S->AddXY(5, 40);
        S->Marks()->SetVisible(true);
        S->Marks()->SetArrowLength(40);
        S->Marks()->Arrow()->SetColor(clBlue);
        S->Marks()->Arrow()->SetWidth(1);
        S->Marks()->Callout()->SetArrowHead(C.Head);
        S->Marks()->Callout()->SetArrowHeadSize(10);
        Rig.Chart->AddSeries(S);
        const auto Image = Rig.Chart->ChCreateBitmap(clWhite, Rig.Chart->GetRectangle(), pfDevice);
        Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/" + C.File);
        const int X = Rig.PX(5), Y = Rig.PY(40);
        // The shaft halfway up: a line, or a filled band with a blue edge.
        EXPECT_EQ(PixelOf(*Image, X, Y - 20), C.Head == ahSolid ? clBlack : clBlue);
        // Beside the tip the head's wings show; a plain arrow has none.
        int Head = 0;
        for (int DY = 3; DY <= 8; ++DY)
            for (int DX : {-3, -2, 2, 3})
                Head += PixelOf(*Image, X + DX, Y - DY) == clBlue;
        EXPECT_EQ(Head > 0, C.Head != ahNone);
        if (C.Head == ahSolid) {
            EXPECT_EQ(PixelOf(*Image, X, Y - 4), clBlack) << "the head is filled with the callout's brush";
        }
    }
}

TEST(MarksCallout, ArrowColourCheckOnlyWhenAsked)
{
    for (bool Check : {false, true}) {
        SCOPED_TRACE(Check ? "checked" : "as set");
        TFormChartRig Rig;
        Rig.Chart->SetColor(clWhite);
        Rig.Chart->BackWall()->SetVisible(false);
        Rig.Chart->LeftAxis()->SetMinMax(0, 100);
        Rig.Chart->BottomAxis()->SetMinMax(0, 10);
        auto* S = new TLineSeries(Rig.Form.get());
        S->AddXY(5, 40);
        S->Marks()->SetVisible(true);
        S->Marks()->SetArrowLength(40);
        Rig.Chart->AddSeries(S);
        TValueRollback<bool> Flag(ChCheckMarkArrowColor, Check);
        const auto Image = Rig.Chart->ChCreateBitmap(clWhite, Rig.Chart->GetRectangle(), pfDevice);
        EXPECT_EQ(PixelOf(*Image, Rig.PX(5), Rig.PY(40) - 20), Check ? clBlack : clWhite);
    }
}

TEST(MarksSymbol, SymbolWidensTheBoxAndShowsThePointColour)
{
    TFormChartRig Rig;
    Rig.Chart->SetColor(clWhite);
    Rig.Chart->BackWall()->SetVisible(false);
    Rig.Chart->LeftAxis()->SetMinMax(0, 100);
    Rig.Chart->BottomAxis()->SetMinMax(0, 10);
    auto* S = new TLineSeries(Rig.Form.get());
    S->AddXY(5, 40, "", clFuchsia);
    S->Marks()->SetVisible(true);
    Rig.Chart->AddSeries(S);
    Rig.Chart->ChCreateBitmap(clWhite, Rig.Chart->GetRectangle(), pfDevice);
    const int Plain = S->Marks()->Positions().Get(0)->BoxWidth;
    S->Marks()->Symbol()->SetVisible(true);
    const auto Image = Rig.Chart->ChCreateBitmap(clWhite, Rig.Chart->GetRectangle(), pfDevice);
    Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/marks_symbol.png");
    const TSeriesMarkPosition* P = S->Marks()->Positions().Get(0);
    const int FontHeight = S->Marks()->Symbol()->Height() + 5;
    EXPECT_EQ(P->BoxWidth, Plain + FontHeight - 4);
    const TRect& R = S->Marks()->Symbol()->ShapeBounds;
    EXPECT_EQ(R.Left, P->BoxTopLeft.X + 4);
    EXPECT_EQ(PixelOf(*Image, (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2), clFuchsia);
}
