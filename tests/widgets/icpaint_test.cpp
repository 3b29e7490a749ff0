// The value indicator, the bevels and the bars, by numbers and pixels, and a
// gallery of them for people to look at.
#include "widgets/_IcClassPaint.h"

#include "platform/Application.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TBitmap> Filled(int W, int H, TColor Color)
{
    EnsureApplication();
    auto B = std::make_unique<TBitmap>(W, H);
    B->Canvas()->Brush()->SetColor(Color);
    B->Canvas()->FillRect(Rect(0, 0, W, H));
    return B;
}

// The box (Right, Bottom exclusive) of pixels other than Background;
// empty when there are none.
TRect InkBox(TBitmap& B, TColor Background, const TRect& Within)
{
    TRect R{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = Within.Top; y < Within.Bottom; ++y)
        for (int x = Within.Left; x < Within.Right; ++x)
            if (B.Canvas()->Pixels(x, y) != Background) {
                R.Left = std::min(R.Left, x);
                R.Top = std::min(R.Top, y);
                R.Right = std::max(R.Right, x + 1);
                R.Bottom = std::max(R.Bottom, y + 1);
            }
    return R.Left == INT_MAX ? TRect{} : R;
}

// ----------------------------------------------------------- value indicator

TEST(IcValInd, BoxIsSizedFromTheFormatAndAnchoredAtItsPoint)
{
    const TColor Grey = RGB(200, 200, 200);
    auto B = Filled(200, 100, Grey);
    TIcValInd V;
    TCanvas* C = B->Canvas();
    C->Font()->Assign(V.Font());
    ASSERT_EQ(C->TextHeight("##0.0"), 15);
    ASSERT_EQ(C->TextWidth("##0.0"), 32);

    V.Draw(C, Point(100, 50), toMidCenter);
    EXPECT_EQ(InkBox(*B, Grey, Rect(0, 0, 200, 100)), Rect(81, 41, 121, 60));
    EXPECT_EQ(V.TextMargin(), 2);
    EXPECT_EQ(V.ValueRect(), Rect(83, 43, 119, 58));
    // Two frame pixels dark at the top-left, light at the bottom-right.
    EXPECT_EQ(C->Pixels(81, 41), RGB(115, 115, 115));
    EXPECT_EQ(C->Pixels(82, 50), RGB(115, 115, 115));
    EXPECT_EQ(C->Pixels(120, 59), clWhite);
    EXPECT_EQ(C->Pixels(119, 58), clWhite);
    EXPECT_EQ(C->Pixels(84, 44), clBlack);
    // The placeholder: the format itself, right-aligned at the margin.
    const TRect Text = InkBox(*B, clBlack, V.ValueRect());
    EXPECT_NEAR(Text.Right, 118, 2);
    EXPECT_NEAR(Text.Width(), 32, 3);

    struct Case { toPos Pos; TPoint TopLeft; };
    const Case cases[] = {
        {toTopLeft, {101, 50}}, {toTopRight, {61, 50}}, {toBotCenter, {81, 31}}, {toMidRight, {61, 41}},
    };
    for (const Case& c : cases) {
        auto D = Filled(200, 100, Grey);
        TIcValInd Other;
        Other.Draw(D->Canvas(), Point(100, 50), c.Pos);
        EXPECT_EQ(InkBox(*D, Grey, Rect(0, 0, 200, 100)).TopLeft(), c.TopLeft) << c.Pos;
    }
    // The offsets move the anchor.
    auto O = Filled(200, 100, Grey);
    V.SetOffsetX(-10);
    V.SetOffsetY(5);
    V.Draw(O->Canvas(), Point(100, 50), toMidCenter);
    EXPECT_EQ(InkBox(*O, Grey, Rect(0, 0, 200, 100)), Rect(71, 46, 111, 65));
}

TEST(IcValInd, DrawValueWritesTheFormattedValueRightAlignedAndNothingElse)
{
    auto B = Filled(200, 100, clWhite);
    TIcValInd V;
    TCanvas* C = B->Canvas();
    V.Draw(C, Point(100, 50), toMidCenter);
    TBitmap Before;
    Before.Assign(B.get());
    V.DrawValue(C, 12.34);

    const TRect Inside = V.ValueRect();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (!Inside.Contains(Point(x, y))) {
                ASSERT_EQ(C->Pixels(x, y), Before.Canvas()->Pixels(x, y)) << x << "," << y;
            }
    // The text is "12.3" (not the placeholder, not 12.34), its right end at
    // the margin.
    C->Font()->Assign(V.Font());
    const TRect Ink = InkBox(*B, clBlack, Inside);
    EXPECT_NEAR(Ink.Width(), C->TextWidth("12.3"), 2);
    EXPECT_LT(Ink.Width(), C->TextWidth("12.34") - 4);
    EXPECT_NEAR(Ink.Right, Inside.Right - V.TextMargin() + 1, 2);

    // Hidden, or before Draw set the rectangle: nothing.
    TIcValInd Fresh;
    auto E = Filled(50, 50, clWhite);
    Fresh.DrawValue(E->Canvas(), 1.0);
    EXPECT_EQ(InkBox(*E, clWhite, Rect(0, 0, 50, 50)), TRect{});
    V.SetVisible(false);
    Before.Assign(B.get());
    V.DrawValue(C, 99.9);
    V.Draw(C, Point(10, 10), toTopLeft);
    EXPECT_TRUE(B->SameImage(Before));
}

TEST(IcValInd, CaptionSitsAgainstTheBox)
{
    struct Case { toPos Pos; const char* Where; };
    const Case cases[] = {
        {toTopLeft, "above"}, {toTopCenter, "above"}, {toTopRight, "above"},
        {toMidLeft, "left"}, {toMidRight, "right"},
        {toBotLeft, "below"}, {toBotCenter, "below"}, {toBotRight, "below"},
    };
    for (const Case& c : cases) {
        auto B = Filled(240, 120, clWhite);
        TIcValInd V;
        V.Caption()->SetText("Flow");
        V.Caption()->SetPos(c.Pos);
        V.Draw(B->Canvas(), Point(120, 60), toMidCenter);
        const TRect Box = Rect(101, 51, 141, 70);
        const TRect Ink = InkBox(*B, clWhite, Rect(0, 0, 240, 120));
        const std::string Where = c.Where;
        TRect Caption = Ink;
        if (Where == "above") {
            EXPECT_LT(Ink.Top, Box.Top) << c.Pos;
            Caption = InkBox(*B, clWhite, Rect(0, 0, 240, Box.Top));
            EXPECT_LE(Caption.Bottom, Box.Top) << c.Pos;
        } else if (Where == "below") {
            EXPECT_GT(Ink.Bottom, Box.Bottom) << c.Pos;
            Caption = InkBox(*B, clWhite, Rect(0, Box.Bottom, 240, 120));
        } else if (Where == "left") {
            Caption = InkBox(*B, clWhite, Rect(0, 0, Box.Left, 120));
            EXPECT_LE(Caption.Right, Box.Left - 1) << c.Pos;
        } else {
            Caption = InkBox(*B, clWhite, Rect(Box.Right, 0, 240, 120));
        }
        EXPECT_FALSE(Caption.IsEmpty()) << c.Pos;
        if (c.Pos % 3 == 0 && c.Pos != toMidLeft) {
            EXPECT_NEAR(Caption.Left, Box.Left, 2) << c.Pos;
        }
        if (c.Pos % 3 == 2 && c.Pos != toMidRight) {
            EXPECT_NEAR(Caption.Right, Box.Right, 2) << c.Pos;
        }
    }
}

// -------------------------------------------------------------------- bevel

TEST(IcSBevel, FacesShrinkByTheBorderWidthLinesSpacingAndOffset)
{
    struct Case { TBevelLine Line; int Border; };
    const Case cases[] = {{blNone, 7}, {blOuter, 8}, {blInner, 8}, {blBoth, 9}};
    for (const Case& c : cases) {
        TIcSBevel Bevel;
        Bevel.SetBevelLine(c.Line);
        EXPECT_EQ(Bevel.BorderWidth(), c.Border) << c.Line;
        Bevel.Offset()->Write(1, 2, 3, 4);
        for (bool Filled : {false, true}) {
            auto B = ::Filled(60, 60, clWhite);
            TRect R = Rect(0, 0, 60, 60);
            if (Filled)
                Bevel.PaintFilledBevel(B->Canvas(), R);
            else
                Bevel.PaintBevel(B->Canvas(), R);
            EXPECT_EQ(R, Rect(c.Border + 2, c.Border + 1, 60 - c.Border - 3, 60 - c.Border - 4)) << c.Line;
            const bool Outer = c.Line == blOuter || c.Line == blBoth;
            EXPECT_EQ(B->Canvas()->Pixels(30, 0), Outer ? clBlack : clWhite) << c.Line;
            EXPECT_EQ(B->Canvas()->Pixels(30, 30), Filled ? ColorToRGB(clBtnFace) : clWhite) << c.Line;
        }
    }
}

TEST(IcSBevel, FilledBevelShowsTheSurfaceGradientInsideTheFrame)
{
    auto B = Filled(40, 40, clWhite);
    TIcSBevel Bevel;
    Bevel.SetSpacing(0);
    Bevel.SurfaceGrad()->SetVisible(true);
    Bevel.SurfaceGrad()->SetColorFrom(clBlack);
    Bevel.SurfaceGrad()->SetColorTo(clRed);
    TRect R = Rect(0, 0, 40, 40);
    Bevel.PaintFilledBevel(B->Canvas(), R);
    EXPECT_EQ(R, Rect(2, 2, 38, 38));
    EXPECT_EQ(B->Canvas()->Pixels(20, 2), clBlack);
    EXPECT_GT(GetRValue(B->Canvas()->Pixels(20, 37)), 200);
    EXPECT_EQ(B->Canvas()->Pixels(20, 1), clWhite) << "frame: highlight";
}

TEST(IcSBevel, RoundBevelNeedsARoundFaceAndMoreThanFourPixels)
{
    TIcSBevel Bevel;
    EXPECT_EQ(Bevel.RoundFace(), nullptr);
    auto B = Filled(60, 60, clWhite);
    TRect R = Rect(0, 0, 60, 60);
    Bevel.PaintRoundBevel(B->Canvas(), R, 0, 0);
    EXPECT_EQ(R, Rect(0, 0, 60, 60)) << "not round";

    Bevel.SetRound(true);
    ASSERT_NE(Bevel.RoundFace(), nullptr);
    EXPECT_EQ(Bevel.RoundFace()->Width(), 30);
    R = Rect(10, 10, 14, 40);
    Bevel.PaintRoundBevel(B->Canvas(), R, 0, 0);
    EXPECT_EQ(R, Rect(10, 10, 14, 40));
    EXPECT_EQ(InkBox(*B, clWhite, Rect(0, 0, 60, 60)), TRect{});

    // The ring's shading is made again at every change.
    Bevel.SetColorShadowFrom(clBlack);
    Bevel.SetColorShadowTo(clWhite);
    EXPECT_LT(GetRValue(Bevel.RoundFace()->Canvas()->Pixels(0, 0)), 10);
    EXPECT_GT(GetRValue(Bevel.RoundFace()->Canvas()->Pixels(29, 29)), 230);

    // Raised: dark at the top-left of the ring; lowered: turned over.
    for (TBevelStyle Style : {bsRaised, bsLowered}) {
        Bevel.SetStyle(Style);
        auto Face = Filled(60, 60, clYellow);
        R = Rect(0, 0, 60, 60);
        Bevel.PaintRoundBevel(Face->Canvas(), R, 0, 0);
        EXPECT_EQ(R, Rect(7, 7, 53, 53));
        const int TopLeft = GetRValue(Face->Canvas()->Pixels(30, 1)) + GetRValue(Face->Canvas()->Pixels(1, 30));
        const int BottomRight = GetRValue(Face->Canvas()->Pixels(30, 58)) + GetRValue(Face->Canvas()->Pixels(58, 30));
        if (Style == bsRaised) {
            EXPECT_LT(TopLeft, BottomRight);
        } else {
            EXPECT_GT(TopLeft, BottomRight);
        }
        EXPECT_EQ(Face->Canvas()->Pixels(30, 30), ColorToRGB(clBtnFace));
        EXPECT_EQ(Face->Canvas()->Pixels(1, 1), clYellow) << "outside the round clip";
        EXPECT_FALSE(Face->Canvas()->HasClip());
    }
}

TEST(IcSBevel, CopiesIntoAnotherBevelOnly)
{
    TIcSBevel A, B;
    A.SetStyle(bsLowered);
    A.SetBevelLine(blBoth);
    A.SetPenColor(clRed);
    A.Offset()->SetLeft(3);
    A.SurfaceGrad()->SetStyle(gsDiamond1);
    int Changes = 0;
    B.OnChange = [&](TObject*) { ++Changes; };
    B.Assign(&A);
    EXPECT_EQ(B.Style(), bsLowered);
    EXPECT_EQ(B.BevelLine(), blBoth);
    EXPECT_EQ(B.BorderWidth(), 9);
    EXPECT_EQ(B.PenColor(), clRed);
    EXPECT_EQ(B.Offset()->Left(), 3);
    EXPECT_EQ(B.SurfaceGrad()->Style(), gsDiamond1);
    EXPECT_GE(Changes, 1);
    TBarSettings Bar;
    EXPECT_THROW(B.Assign(&Bar), EConvertError);
    EXPECT_THROW(Bar.Assign(&B), EConvertError);
}

// --------------------------------------------------------------------- bars

// Bar at PPT in a W x H rectangle at (2, 3) of a white bitmap.
std::unique_ptr<TBitmap> PaintedBar(TBarSettings& Bar, int W, int H, int PPT)
{
    auto B = Filled(W + 4, H + 6, clWhite);
    Bar.SetBarRect(Bounds(2, 3, W, H));
    Bar.PaintBar(B->Canvas(), PPT);
    return B;
}

bool Lit(TBitmap& B, int X, int Y) { return B.Canvas()->Pixels(X + 2, Y + 3) == clLime; }

TEST(IcBar, WiderThanTallIsHorizontalElseVertical)
{
    struct Case { int W; int H; bool Vertical; };
    const Case cases[] = {{100, 20, false}, {20, 100, true}, {20, 20, true}};
    for (const Case& c : cases) {
        TBarSettings Bar;
        auto B = PaintedBar(Bar, c.W, c.H, 500);
        EXPECT_EQ(Bar.BarWidth(), c.W);
        EXPECT_EQ(Bar.BarHeight(), c.H);
        // Half the bar lit: the left half, or the lower half.
        EXPECT_TRUE(Lit(*B, 0, c.H - 1)) << c.W << "x" << c.H;
        EXPECT_EQ(Lit(*B, c.W - 1, 0), false) << c.W << "x" << c.H;
        EXPECT_EQ(Lit(*B, 0, 0), !c.Vertical) << c.W << "x" << c.H;
        EXPECT_EQ(Lit(*B, c.W - 1, c.H - 1), c.Vertical) << c.W << "x" << c.H;
        EXPECT_EQ(B->Canvas()->Pixels(c.W + 2, 3), clWhite);
        EXPECT_EQ(B->Canvas()->Pixels(2, c.H + 3), clWhite);
    }
}

TEST(IcBar, LedSegmentsAreThreePixelsWithOneGap)
{
    TBarSettings Bar;
    Bar.SetStyle(bsLED_Bar);
    auto B = PaintedBar(Bar, 120, 10, 500);
    for (int x = 0; x < 120; ++x)
        ASSERT_EQ(Lit(*B, x, 5), x < 59 && x % 4 != 3) << x;
    EXPECT_EQ(B->Canvas()->Pixels(2 + 59, 8), clBlack);
    EXPECT_EQ(B->Canvas()->Pixels(2 + 60, 8), clBlack);

    struct Case { int W; int PPT; int First; int Segments; };
    const Case cases[] = {{100, 1000, 0, 25}, {100, 0, 0, 0}, {101, 1000, 1, 25}};
    for (const Case& c : cases) {
        auto L = PaintedBar(Bar, c.W, 8, c.PPT);
        int Segments = 0;
        int First = -1;
        for (int x = 0; x < c.W; ++x)
            if (Lit(*L, x, 4) && (x == 0 || !Lit(*L, x - 1, 4))) {
                ++Segments;
                if (First < 0)
                    First = x;
            }
        EXPECT_EQ(Segments, c.Segments) << c.W << " at " << c.PPT;
        if (c.Segments > 0) {
            EXPECT_EQ(First, c.First) << c.W << " at " << c.PPT;
        }
    }

    // Vertical: from the bottom up, a gap row below each segment.
    auto V = PaintedBar(Bar, 8, 40, 1000);
    for (int y = 0; y < 40; ++y)
        ASSERT_EQ(Lit(*V, 4, y), y % 4 != 3) << y;
}

TEST(IcBar, BidirectionalBarsFillBetweenOriginAndValue)
{
    TBarSettings Bar;
    Bar.SetOptions({opBidir});
    Bar.SetOrigin(500);
    struct Case { int PPT; int From; int To; };
    const Case cases[] = {{200, 40, 100}, {800, 100, 160}, {500, 100, 100}};
    for (const Case& c : cases) {
        auto B = PaintedBar(Bar, 200, 10, c.PPT);
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(Lit(*B, x, 5), x >= c.From && x < c.To) << c.PPT << " at " << x;
    }
    auto V = PaintedBar(Bar, 10, 200, 200);
    for (int y = 0; y < 200; ++y)
        ASSERT_EQ(Lit(*V, 5, y), y >= 100 && y < 160) << y;
}

TEST(IcBar, PositionsBeyondTheScaleAreDrawnAtItsEnds)
{
    TBarSettings Bar;
    Bar.SetStyle(bsLED_Bar);
    Bar.SetOptions({opBidir});
    Bar.SetOrigin(-7);
    const auto Start = std::chrono::steady_clock::now();
    auto Huge = PaintedBar(Bar, 100, 10, 2000000000);
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(1));
    auto Full = PaintedBar(Bar, 100, 10, 1000);
    EXPECT_TRUE(Huge->SameImage(*Full));
    auto Below = PaintedBar(Bar, 100, 10, -50);
    auto Zero = PaintedBar(Bar, 100, 10, 0);
    EXPECT_TRUE(Below->SameImage(*Zero));

    Bar.SetStyle(bsBar);
    Bar.SetOrigin(100000);
    auto Origin = PaintedBar(Bar, 100, 10, 500);
    for (int x = 0; x < 100; ++x)
        ASSERT_EQ(Lit(*Origin, x, 5), x >= 50) << x;

    // An empty bar rectangle paints nothing.
    auto E = Filled(20, 20, clWhite);
    for (const TRect& R : {Rect(5, 5, 5, 15), Rect(5, 5, 15, 5), Rect(15, 15, 5, 5)}) {
        Bar.SetBarRect(R);
        Bar.PaintBar(E->Canvas(), 500);
    }
    EXPECT_EQ(InkBox(*E, clWhite, Rect(0, 0, 20, 20)), TRect{});
}

TEST(IcBar, MarkerAndSectorColour)
{
    TBarSettings Bar;
    Bar.SetStyle(bsPoint);
    auto B = PaintedBar(Bar, 103, 6, 500);
    for (int x = 0; x < 103; ++x)
        ASSERT_EQ(Lit(*B, x, 2), x >= 50 && x < 53) << x;
    Bar.SetStyle(bsBar);
    Bar.SetOptions({opUseSectorCol});
    Bar.SetSectorColor(clRed);
    auto S = PaintedBar(Bar, 100, 6, 300);
    EXPECT_EQ(S->Canvas()->Pixels(2 + 10, 3 + 2), clRed);
    EXPECT_EQ(S->Canvas()->Pixels(2 + 40, 3 + 2), clBlack);
}

TEST(IcBar, ValueTextShowsInvertedOverBarAndBackground)
{
    TBarSettings Bar;
    Bar.SetValueText("50.0");
    Bar.SetUnitText("%");
    Bar.Font()->SetStyle({fsBold});
    Bar.Font()->SetSize(12);
    auto Plain = PaintedBar(Bar, 200, 24, 500);
    Bar.SetOptions({opValue, opUnit});
    auto B = PaintedBar(Bar, 200, 24, 500);
    // The text is XORed in: every changed pixel differs from the plain bar by
    // a grey level (white text, anti-aliased edges), so full text pixels
    // are magenta over the lime bar and white over the black background.
    int Magenta = 0, White = 0;
    TRect Changed{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 200; ++x) {
            const TColor P = B->Canvas()->Pixels(x + 2, y + 3);
            const TColor D = P ^ Plain->Canvas()->Pixels(x + 2, y + 3);
            if (D == 0)
                continue;
            ASSERT_TRUE(GetRValue(D) == GetGValue(D) && GetGValue(D) == GetBValue(D)) << x << "," << y;
            Magenta += P == clFuchsia && x < 100;
            White += P == clWhite && x >= 100;
            Changed = Rect(std::min(Changed.Left, x), std::min(Changed.Top, y), std::max(Changed.Right, x + 1),
                           std::max(Changed.Bottom, y + 1));
        }
    EXPECT_GT(Magenta, 10);
    EXPECT_GT(White, 10);
    // "50.0 %" centred on the bar.
    Bar.Font()->SetColor(clBtnHighlight);
    TBitmap Measure(1, 1);
    Measure.Canvas()->Font()->Assign(Bar.Font());
    const int TextW = Measure.Canvas()->TextWidth("50.0 %");
    EXPECT_NEAR(Changed.Left + Changed.Right, 200, 4);
    EXPECT_NEAR(Changed.Width(), TextW, 4);

    // Vertical with a unit: the value above the middle, the unit below.
    auto V = PaintedBar(Bar, 40, 80, 0);
    const TRect Above = InkBox(*V, clBlack, Rect(2, 3, 42, 43));
    const TRect Below = InkBox(*V, clBlack, Rect(2, 43, 42, 83));
    EXPECT_FALSE(Above.IsEmpty());
    EXPECT_FALSE(Below.IsEmpty());
    EXPECT_GT(Above.Width(), Below.Width());
}

TEST(IcBar, SettersAndCopies)
{
    TBarSettings Bar;
    int Changes = 0;
    Bar.OnChange = [&](TObject*) { ++Changes; };
    Bar.SetMinWidth(0);
    Bar.SetMinHeight(-2);
    EXPECT_EQ(Bar.minWidth(), 5);
    EXPECT_EQ(Bar.minHeight(), 5);
    EXPECT_EQ(Changes, 0);
    Bar.SetMinWidth(7);
    Bar.SetMinWidth(7);
    EXPECT_EQ(Changes, 2) << "an equal value reports too";

    TObject* Sender = nullptr;
    Bar.OnChange = [&](TObject* S) { Sender = S; };
    Bar.Font()->SetSize(14);
    EXPECT_EQ(Sender, Bar.Font());
    Bar.Bevel()->SetWidth(3);
    EXPECT_EQ(Sender, Bar.Bevel());

    TIcSBevel Deep;
    Deep.SetSpacing(4);
    Bar.SetBevel(&Deep);
    EXPECT_EQ(Bar.Bevel()->Spacing(), 4);
    EXPECT_EQ(Sender, &Bar);

    TBarSettings Copy;
    Bar.SetStyle(bsLED_Bar);
    Bar.SetOptions({opValue, opBidir});
    Bar.SetBkColor(clNavy);
    Copy.Assign(&Bar);
    EXPECT_EQ(Copy.Style(), bsLED_Bar);
    EXPECT_EQ(Copy.Options(), (TBarOptions{opValue, opBidir}));
    EXPECT_EQ(Copy.BkColor(), clNavy);
    EXPECT_EQ(Copy.minWidth(), 7);
    EXPECT_EQ(Copy.Font()->Size(), 14);
    EXPECT_EQ(Copy.Bevel()->Spacing(), 4);
}

// ------------------------------------------------------------------ gallery

TEST(IcPaintGallery, EveryGradientLedBevelBarAndReadOut)
{
    auto G = Filled(900, 480, ColorToRGB(clBtnFace));
    TCanvas* C = G->Canvas();
    C->Font()->SetName("Arial");
    C->Font()->SetSize(8);
    C->Brush()->SetStyle(bsClear);

    // Gradients, two rows of seven.
    for (int s = gsHorizontal1; s <= gsTopRight; ++s) {
        const TRect R = Bounds(10 + (s % 7) * 125, 20 + (s / 7) * 80, 110, 60);
        IcGradFill(C, R, RGB(20, 40, 160), RGB(240, 240, 200), static_cast<TGradientStyle>(s));
        C->Brush()->SetStyle(bsClear);
        C->Font()->SetColor(clBlack);
        C->TextOut(R.Left, R.Bottom + 1, "style " + std::to_string(s));
    }

    // LEDs on and off.
    TLED Led;
    for (int s = sRound; s <= sRectangle; ++s) {
        Led.SetShape(static_cast<TLEDShape>(s));
        for (int On = 0; On < 2; ++On) {
            Led.SetDrawRect(Bounds(10 + s * 60 + On * 24, 210, 20, 20));
            Led.Draw(C, On == 1);
        }
    }

    // Bevels: button bevels, filled and plain, round raised and lowered.
    TIcBtnBevel Btn;
    for (int Raised = 0; Raised < 2; ++Raised) {
        TRect R = Bounds(380 + Raised * 60, 200, 50, 40);
        Btn.PaintBevel(C, R, Raised == 1, true, clBtnFace);
    }
    TIcSBevel Bevel;
    Bevel.SetWidth(4);
    Bevel.SetBevelLine(blBoth);
    Bevel.SurfaceGrad()->SetVisible(true);
    TRect R = Bounds(510, 190, 70, 60);
    Bevel.PaintFilledBevel(C, R);
    Bevel.SurfaceGrad()->SetVisible(false);
    R = Bounds(590, 190, 70, 60);
    Bevel.PaintBevel(C, R);
    Bevel.SetColorShadowFrom(RGB(60, 60, 60));
    Bevel.SetColorShadowTo(clWhite);
    Bevel.SetColor(RGB(250, 250, 235));
    Bevel.SetRound(true);
    for (int Lowered = 0; Lowered < 2; ++Lowered) {
        Bevel.SetStyle(Lowered ? bsLowered : bsRaised);
        R = Bounds(680 + Lowered * 100, 180, 90, 90);
        Bevel.PaintRoundBevel(C, R, 0, 0);
    }

    // Bars in every style and direction, with value texts.
    TBarSettings Bar;
    Bar.SetValueText("62.5");
    Bar.SetUnitText("%");
    Bar.SetOrigin(400);
    const TBarStyle Styles[] = {bsBar, bsLED_Bar, bsPoint};
    for (int i = 0; i < 3; ++i) {
        Bar.SetStyle(Styles[i]);
        Bar.SetOptions(i == 0 ? TBarOptions{opValue, opUnit, opBidir} : TBarOptions{opValue, opUnit});
        Bar.SetBarRect(Bounds(10, 290 + i * 34, 200, 24));
        Bar.PaintBar(C, 625);
        Bar.SetBarRect(Bounds(230 + i * 50, 290, 40, 160));
        Bar.PaintBar(C, 625);
    }
    Bar.SetStyle(bsBar);
    Bar.SetOptions({opValue, opBidir});
    Bar.SetBarRect(Bounds(10, 400, 200, 24));
    Bar.SetValueText("-30.0");
    Bar.PaintBar(C, 250);

    // Read-outs with captions around them.
    const toPos Captions[] = {toTopLeft, toTopCenter, toMidLeft, toMidRight, toBotCenter, toBotRight};
    for (int i = 0; i < 6; ++i) {
        TIcValInd V;
        V.Caption()->SetText("Flow");
        V.Caption()->SetPos(Captions[i]);
        V.Draw(C, Point(460 + (i % 3) * 150, 340 + (i / 3) * 90), toMidCenter);
        V.DrawValue(C, 12.34 * (i + 1));
    }
    G->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/widgets_gallery_drawing.png");
}

}  // namespace
