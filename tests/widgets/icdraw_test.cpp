// The library's drawing procedures, by pixels on bitmaps.
#include "widgets/_icproc.h"

#include "platform/Application.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<TBitmap> WhiteBitmap(int W, int H)
{
    EnsureApplication();
    return std::make_unique<TBitmap>(W, H);
}

bool AllWhite(TBitmap& B)
{
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            if (B.Canvas()->Pixels(x, y) != clWhite)
                return false;
    return true;
}

// Each channel within Tolerance.
bool Near(TColor A, TColor B, int Tolerance)
{
    return std::abs(GetRValue(A) - GetRValue(B)) <= Tolerance && std::abs(GetGValue(A) - GetGValue(B)) <= Tolerance &&
           std::abs(GetBValue(A) - GetBValue(B)) <= Tolerance;
}

TEST(IcGradFill, VerticalBandsStepOneColumnAtATime)
{
    auto B = WhiteBitmap(51, 10);
    IcGradFill(B->Canvas(), Rect(0, 0, 51, 10), clRed, clBlue, gsVertical1);
    for (int y : {0, 9})
        for (int x = 0; x < 51; ++x)
            ASSERT_EQ(B->Canvas()->Pixels(x, y), RGB(255 - 5 * x, 0, 5 * x)) << x << "," << y;
}

TEST(IcGradFill, MiddleStyleHasC1InTheMiddleRowAndC2AtTheEdge)
{
    auto B = WhiteBitmap(8, 10);
    IcGradFill(B->Canvas(), Rect(0, 0, 8, 10), clBlack, clWhite, gsHorizontal2);
    struct Row { int Y; int Level; };
    const Row rows[] = {{5, 0}, {4, 51}, {6, 51}, {9, 204}, {0, 255}, {1, 204}};
    for (const Row& r : rows)
        EXPECT_EQ(B->Canvas()->Pixels(3, r.Y), RGB(r.Level, r.Level, r.Level)) << r.Y;
}

TEST(IcGradFill, OneBandPerRowWhenThereAreMoreLevelsThanRows)
{
    auto B = WhiteBitmap(4, 100);
    IcGradFill(B->Canvas(), Rect(0, 0, 4, 100), clBlack, clWhite, gsHorizontal1);
    EXPECT_EQ(B->Canvas()->Pixels(0, 0), clBlack);
    for (int y = 1; y < 100; ++y)
        ASSERT_GT(GetRValue(B->Canvas()->Pixels(0, y)), GetRValue(B->Canvas()->Pixels(0, y - 1))) << y;
}

// Black to blue on (5, 5, 45, 35) of a white bitmap: C1 (exactly) and C2
// (within a few levels) where each style puts them, nothing outside R.
TEST(IcGradFill, EveryStylePutsItsColoursInPlaceAndStaysInsideR)
{
    struct Case {
        TGradientStyle Style;
        TPoint C1At;   // relative to R
        TPoint C2At;   // (-1, -1): C2 lies beyond R
        int C1Tolerance;
    };
    const Case cases[] = {
        {gsHorizontal1, {10, 0}, {10, 29}, 0},
        {gsHorizontal2, {10, 15}, {10, 0}, 0},
        {gsHorizontal3, {10, 10}, {10, 29}, 0},
        {gsVertical1, {0, 10}, {39, 10}, 0},
        {gsVertical2, {20, 10}, {0, 10}, 0},
        {gsVertical3, {13, 10}, {39, 10}, 0},
        {gsElliptic1, {20, 15}, {0, 0}, 16},
        {gsElliptic2, {20, 15}, {0, 0}, 16},
        {gsElliptic3, {11, 9}, {39, 29}, 16},
        {gsRectangle, {20, 15}, {0, 0}, 0},
        {gsDiamond1, {20, 15}, {0, 0}, 0},
        {gsDiamond2, {20, 15}, {-1, -1}, 0},
        {gsTopLeft, {0, 0}, {39, 29}, 4},
        {gsTopRight, {39, 0}, {0, 29}, 8},
    };
    for (const Case& c : cases) {
        auto B = WhiteBitmap(50, 40);
        const TRect R = Rect(5, 5, 45, 35);
        IcGradFill(B->Canvas(), R, clBlack, clBlue, c.Style);
        TCanvas* C = B->Canvas();
        EXPECT_TRUE(Near(C->Pixels(R.Left + c.C1At.X, R.Top + c.C1At.Y), clBlack, c.C1Tolerance))
            << c.Style << ": " << std::hex << C->Pixels(R.Left + c.C1At.X, R.Top + c.C1At.Y);
        if (c.C2At.X >= 0) {
            EXPECT_TRUE(Near(C->Pixels(R.Left + c.C2At.X, R.Top + c.C2At.Y), clBlue, 16)) << c.Style;
        }
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 50; ++x) {
                const bool Inside = x >= R.Left && x < R.Right && y >= R.Top && y < R.Bottom;
                const TColor P = C->Pixels(x, y);
                if (Inside)
                    ASSERT_EQ(GetRValue(P) + GetGValue(P), 0) << c.Style << " " << x << "," << y;
                else
                    ASSERT_EQ(P, clWhite) << c.Style << " " << x << "," << y;
            }
    }
}

TEST(IcGradFill, EqualColoursFillPlainlyAndEmptyRectanglesDrawNothing)
{
    auto B = WhiteBitmap(20, 20);
    IcGradFill(B->Canvas(), Rect(2, 2, 6, 6), clBtnShadow, RGB(128, 128, 128), gsElliptic1);
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            ASSERT_EQ(B->Canvas()->Pixels(x, y), RGB(128, 128, 128));

    const TRect Empty[] = {Rect(5, 5, 5, 15), Rect(5, 5, 15, 5), Rect(15, 15, 5, 5)};
    for (const TRect& R : Empty) {
        auto E = WhiteBitmap(20, 20);
        for (int s = gsHorizontal1; s <= gsTopRight; ++s)
            IcGradFill(E->Canvas(), R, clBlack, clRed, static_cast<TGradientStyle>(s));
        IcCircleGradFill(E->Canvas(), R, clBlack, clRed);
        EXPECT_TRUE(AllWhite(*E)) << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom;
    }
}

TEST(IcGradFill, CircleGradientRunsFromTopLeftToBottomRight)
{
    auto B = WhiteBitmap(40, 40);
    B->Canvas()->SelectClipEllipse(Rect(0, 0, 40, 40));
    IcCircleGradFill(B->Canvas(), Rect(0, 0, 40, 40), clBlack, clWhite);
    const TColor TopLeft = B->Canvas()->Pixels(8, 8);
    const TColor Middle = B->Canvas()->Pixels(20, 20);
    const TColor BottomRight = B->Canvas()->Pixels(31, 31);
    EXPECT_LT(GetRValue(TopLeft), 40);
    EXPECT_NEAR(GetRValue(Middle), 128, 30);
    EXPECT_GT(GetRValue(BottomRight), 215);
    // Anti-diagonals are even.
    EXPECT_EQ(B->Canvas()->Pixels(10, 30), B->Canvas()->Pixels(30, 10));
}

TEST(IcLed, ShapesFillTheirOutline)
{
    struct Case { TLEDShape Shape; TRect R; std::vector<TPoint> In; std::vector<TPoint> Out; };
    const Case cases[] = {
        {sArrowLeft, Rect(0, 0, 20, 10), {{0, 5}, {19, 0}, {19, 9}, {15, 5}}, {{0, 0}, {0, 9}, {19, 10}}},
        {sArrowRight, Rect(0, 0, 20, 10), {{0, 0}, {19, 5}, {0, 9}}, {{19, 0}, {19, 9}}},
        {sArrowUp, Rect(0, 0, 10, 10), {{5, 0}, {9, 9}, {0, 9}}, {{0, 0}, {9, 0}}},
        {sArrowDown, Rect(0, 0, 10, 10), {{0, 0}, {9, 0}, {5, 9}}, {{0, 9}, {9, 9}}},
        {sRectangle, Rect(2, 2, 12, 8), {{3, 2}, {2, 3}, {10, 7}, {6, 5}}, {{12, 5}, {6, 8}, {1, 1}}},
        {sRound, Rect(0, 0, 13, 13), {{6, 0}, {6, 12}, {0, 6}, {12, 6}, {6, 6}}, {{0, 0}, {12, 12}, {13, 6}}},
    };
    for (const Case& c : cases) {
        auto B = WhiteBitmap(24, 16);
        IcDrawLED(B->Canvas(), c.R, c.Shape, clRed, clRed);
        for (const TPoint& P : c.In)
            EXPECT_NE(B->Canvas()->Pixels(P.X, P.Y), clWhite) << c.Shape << " in " << P.X << "," << P.Y;
        for (const TPoint& P : c.Out)
            EXPECT_EQ(B->Canvas()->Pixels(P.X, P.Y), clWhite) << c.Shape << " out " << P.X << "," << P.Y;
    }
}

TEST(IcRoundSector, SweepsClockwiseAndThinSectorsDrawNothing)
{
    struct Case { float Start; float Sweep; std::vector<TPoint> In; std::vector<TPoint> Out; };
    const Case cases[] = {
        // 12 to 3 o'clock: the upper-right quarter.
        {0, 90, {{30, 10}}, {{10, 10}, {10, 30}, {30, 30}}},
        // The same quarter counted back from 3 o'clock.
        {90, -90, {{30, 10}}, {{10, 10}, {10, 30}, {30, 30}}},
        // 9 to 12 o'clock across the start.
        {270, 90, {{10, 10}}, {{30, 10}, {30, 30}}},
        {0, 360, {{10, 10}, {30, 10}, {10, 30}, {30, 30}}, {}},
        {45, 0, {}, {{20, 10}, {30, 10}, {10, 10}, {10, 30}, {30, 30}}},
        {45, 0.01f, {}, {{20, 10}, {30, 10}, {10, 10}, {10, 30}, {30, 30}}},
    };
    for (const Case& c : cases) {
        auto B = WhiteBitmap(41, 41);
        TCanvas* C = B->Canvas();
        C->Pen()->SetColor(clBlue);
        C->Brush()->SetColor(clBlue);
        IcRoundSector(C, Rect(0, 0, 41, 41), c.Start, c.Sweep);
        for (const TPoint& P : c.In)
            EXPECT_EQ(C->Pixels(P.X, P.Y), clBlue) << c.Start << "+" << c.Sweep << " in " << P.X << "," << P.Y;
        for (const TPoint& P : c.Out)
            EXPECT_EQ(C->Pixels(P.X, P.Y), clWhite) << c.Start << "+" << c.Sweep << " out " << P.X << "," << P.Y;
    }
}

TEST(Ic3DEllipse, PictureShowsUprightOrTurnedAndRadiiBelowOneDrawNothing)
{
    EnsureApplication();
    TBitmap Picture(10, 10);
    Picture.Canvas()->Brush()->SetColor(clRed);
    Picture.Canvas()->FillRect(Rect(0, 0, 10, 5));
    Picture.Canvas()->Brush()->SetColor(clBlue);
    Picture.Canvas()->FillRect(Rect(0, 5, 10, 10));
    for (bool Upright : {true, false}) {
        auto B = WhiteBitmap(40, 40);
        Ic3DEllipse(B->Canvas(), Point(0, 0), Point(20, 20), 10, 10, &Picture, clBlack, Upright, false);
        EXPECT_EQ(B->Canvas()->Pixels(20, 14), Upright ? clRed : clBlue);
        EXPECT_EQ(B->Canvas()->Pixels(20, 26), Upright ? clBlue : clRed);
        EXPECT_EQ(B->Canvas()->Pixels(11, 11), clWhite) << "outside the ellipse";
        EXPECT_FALSE(B->Canvas()->HasClip()) << "the clip is given back";
    }
    for (const TPoint Radii : {Point(0, 10), Point(10, 0), Point(-3, 5)}) {
        auto B = WhiteBitmap(40, 40);
        Ic3DEllipse(B->Canvas(), Point(0, 0), Point(20, 20), Radii.X, Radii.Y, &Picture, clBlack, true, true);
        EXPECT_TRUE(AllWhite(*B)) << Radii.X << "," << Radii.Y;
    }
}

TEST(IcBevels, ButtonBevelAndEllipseReturnTheirFace)
{
    auto B = WhiteBitmap(20, 20);
    TRect R = Rect(0, 0, 20, 20);
    IcBtnBevel(B->Canvas(), R, true, true, clYellow);
    EXPECT_EQ(R, Rect(2, 2, 18, 18));
    TCanvas* C = B->Canvas();
    EXPECT_EQ(C->Pixels(10, 0), clWhite);
    EXPECT_EQ(C->Pixels(10, 1), RGB(210, 210, 210));
    EXPECT_EQ(C->Pixels(10, 18), RGB(128, 128, 128));
    EXPECT_EQ(C->Pixels(10, 19), clBlack);
    EXPECT_EQ(C->Pixels(10, 10), clYellow);

    R = Rect(0, 0, 20, 20);
    IcEllipse3D(C, R, clRed, false);
    EXPECT_EQ(R, Rect(1, 1, 18, 18));
    EXPECT_EQ(C->Pixels(10, 10), clRed);

    // A wide thumb of size 20 about (20, 10): 21 x 9, framed, its face in Color.
    auto T = WhiteBitmap(40, 20);
    IcThumb(T->Canvas(), Point(20, 10), 20, false, true, clGreen);
    EXPECT_EQ(T->Canvas()->Pixels(10, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(T->Canvas()->Pixels(30, 10), clBlack);
    EXPECT_EQ(T->Canvas()->Pixels(20, 14), clBlack);
    EXPECT_EQ(T->Canvas()->Pixels(20, 10), clGreen);
    EXPECT_EQ(T->Canvas()->Pixels(9, 10), clWhite);
    EXPECT_EQ(T->Canvas()->Pixels(20, 5), clWhite);

    // A sunken circle: shadow over the upper-left half of its outline.
    auto S = WhiteBitmap(30, 30);
    IcCircleAtPoint(S->Canvas(), Point(15, 15), 8, clRed, clYellow);
    EXPECT_EQ(S->Canvas()->Pixels(15, 15), clYellow);
    EXPECT_EQ(S->Canvas()->Pixels(15, 7), ColorToRGB(clBtnShadow));
    EXPECT_EQ(S->Canvas()->Pixels(7, 15), ColorToRGB(clBtnShadow));
    EXPECT_EQ(S->Canvas()->Pixels(15, 23), ColorToRGB(clBtnHighlight));
}

TEST(IcArrowDraw, TurnsThePolygonAndNeverReachesPastItsLists)
{
    auto B = WhiteBitmap(30, 30);
    B->Canvas()->Brush()->SetColor(clBlack);
    std::vector<TPoint> Src = {{0, 0}, {15, 15}, {15, 5}, {18, 15}, {12, 15}};
    IcArrowSettings(Src[0], 5, 4, 1, 2, 3);
    EXPECT_EQ(Src[0].X & 0xFF, 4);
    EXPECT_EQ((Src[0].X >> 8) & 0xFF, 1);
    EXPECT_EQ(Src[0].Y & 0xFFFF, 2 | (3 << 8));
    std::vector<TPoint> Dst(5);
    IcArrowDraw(B->Canvas(), 90, Src, Dst, true);
    EXPECT_EQ(Dst[0], Src[0]);
    EXPECT_EQ(Dst[1], Point(15, 15));
    EXPECT_EQ(Dst[2], Point(25, 15));   // 12 o'clock turned to 3 o'clock
    EXPECT_EQ(Dst[3], Point(15, 18));
    EXPECT_EQ(Dst[4], Point(15, 12));
    EXPECT_NE(B->Canvas()->Pixels(20, 15), clWhite);

    // A header that claims more points than either list holds.
    IcArrowSettings(Src[0], 0, 200, 0, 0, 0);
    std::vector<TPoint> Short(3, Point(-1, -1));
    IcArrowDraw(B->Canvas(), 90, Src, Short, true);
    EXPECT_EQ(Short[2], Point(25, 15));
    std::vector<TPoint> Long(8, Point(-1, -1));
    IcArrowDraw(B->Canvas(), 90, Src, Long, true);
    EXPECT_EQ(Long[4], Point(15, 12));
    EXPECT_EQ(Long[5], Point(-1, -1));
    IcArrowDraw(B->Canvas(), 90, std::span<const TPoint>(), Long, true);
}

TEST(IcGeometry, AnglesCirclesSquaresAndPointer)
{
    struct AngleCase { TPoint P; float Angle; };
    const AngleCase angles[] = {
        {{10, 0}, 90}, {{0, -10}, 0}, {{0, 10}, 180}, {{-10, 0}, 270}, {{10, -10}, 45}, {{-10, -10}, 315},
        {{10, 10}, 135}, {{-10, 10}, 225},
    };
    for (const AngleCase& a : angles)
        EXPECT_NEAR(IcGetAngle(a.P, Point(0, 0)), a.Angle, 0.01) << a.P.X << "," << a.P.Y;

    EXPECT_TRUE(IcInCircle(5, 50, Rect(0, 0, 10, 100)));
    EXPECT_FALSE(IcInCircle(5, 90, Rect(0, 0, 10, 100)));
    EXPECT_EQ(IcMakeSquare(Rect(0, 0, 100, 40)), Rect(0, 0, 40, 40));
    EXPECT_EQ(IcMakeCenterSquare(Rect(0, 0, 100, 40)), Rect(30, 0, 70, 40));
    EXPECT_EQ(IcMakeCenterSquare(Rect(10, 0, 50, 100)), Rect(10, 30, 50, 70));

    auto B = WhiteBitmap(220, 20);
    B->Canvas()->Pen()->SetColor(clBlack);
    B->Canvas()->Brush()->SetColor(clBlack);
    IcDrawHPointer(B->Canvas(), Rect(10, 2, 210, 20), 500, 4, 8, false);
    EXPECT_EQ(B->Canvas()->Pixels(110, 2), clBlack);
    EXPECT_EQ(B->Canvas()->Pixels(109, 2), clWhite);
    EXPECT_EQ(B->Canvas()->Pixels(106, 10), clBlack);
}

TEST(IcHorizScala, CentresTheTicksAndReturnsTheirExtent)
{
    auto B = WhiteBitmap(240, 60);
    TCanvas* C = B->Canvas();
    C->Brush()->SetStyle(bsClear);
    int MaxW = 0, TextH = 0;
    IcGetMaxTokenSize(C, MaxW, TextH, "0;50;100;");
    TRect R = Rect(0, 0, 240, 60);
    IcHorizScala(C, "0;50;100;", R, 2, 5, false);
    const int SubW = (240 - MaxW) / 10;
    const int Left = (240 - 10 * SubW) / 2;
    EXPECT_EQ(R.Left, Left);
    EXPECT_EQ(R.Right, Left + 10 * SubW);
    EXPECT_EQ(R.Top, 15);
    EXPECT_EQ(R.Bottom, 18 + TextH);
    // The base line, main ticks down to row 14, sub ticks to row 7.
    EXPECT_NE(C->Pixels(Left + SubW / 2, 1), clWhite);
    EXPECT_NE(C->Pixels(Left, 14), clWhite);
    EXPECT_NE(C->Pixels(Left + 5 * SubW, 14), clWhite);
    EXPECT_NE(C->Pixels(Left + SubW, 7), clWhite);
    EXPECT_EQ(C->Pixels(Left + SubW, 9), clWhite);
}

}  // namespace
