// Pixel rules of the canvas on bitmaps.
#include "platform/Application.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

struct TInk {
    int Count = 0;
    TRect Box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};   // Right/Bottom inclusive here
};

// Pixels that differ from Background.
TInk InkOf(TBitmap& B, TColor Background = clWhite)
{
    TInk I;
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X)
            if (B.Canvas()->Pixels(X, Y) != Background) {
                ++I.Count;
                I.Box.Left = std::min(I.Box.Left, X);
                I.Box.Top = std::min(I.Box.Top, Y);
                I.Box.Right = std::max(I.Box.Right, X);
                I.Box.Bottom = std::max(I.Box.Bottom, Y);
            }
    return I;
}

std::unique_ptr<TBitmap> NewBitmap(int W, int H)
{
    EnsureApplication();
    return std::make_unique<TBitmap>(W, H);
}

void SaveArtifact(TBitmap& B, const std::string& Name) { B.SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/" + Name); }

}  // namespace

TEST(Canvas, NewBitmapIsWhiteAndKeepsContentWhenGrown)
{
    auto B = NewBitmap(4, 3);
    EXPECT_EQ(InkOf(*B).Count, 0);
    B->Canvas()->SetPixels(1, 1, clRed);
    B->SetSize(8, 6);
    EXPECT_EQ(B->Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(B->Canvas()->Pixels(7, 5), clWhite);
    EXPECT_EQ(InkOf(*B).Count, 1);
    EXPECT_EQ(B->Canvas()->Pixels(8, 0), clNone);
}

TEST(Canvas, ScanLineIsBlueLowAndSeesCanvasDrawing)
{
    auto B = NewBitmap(5, 2);
    B->Canvas()->SetPixels(2, 1, RGB(10, 20, 30));
    EXPECT_EQ(B->ScanLine(1)[2] & 0xFFFFFFu, 0x0A141Eu);
    B->ScanLine(0)[4] = 0x00FF0000u;   // red, top byte 0 as row writers leave it
    EXPECT_EQ(B->Canvas()->Pixels(4, 0), clRed);
    auto Copy = NewBitmap(5, 2);
    Copy->Canvas()->StretchDraw(Rect(0, 0, 5, 2), B.get());
    EXPECT_EQ(Copy->Canvas()->Pixels(4, 0), clRed);
    B->Canvas()->Pen()->SetColor(clBlue);
    B->Canvas()->MoveTo(0, 0);
    B->Canvas()->LineTo(2, 0);
    EXPECT_EQ(B->ScanLine(0)[0] & 0xFFFFFFu, 0x0000FFu);
    EXPECT_THROW(B->ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(B->ScanLine(-1), EInvalidGraphicOperation);
}

TEST(Canvas, LineToLeavesOutTheEndPixel)
{
    struct TCase { int X0, Y0, X1, Y1; };
    const TCase Cases[] = {{2, 5, 12, 5}, {12, 5, 2, 5}, {4, 1, 4, 11}, {4, 11, 4, 1},
                           {1, 1, 9, 9}, {9, 9, 1, 1}, {1, 10, 13, 3}, {13, 3, 1, 10}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::to_string(C.X0) + "," + std::to_string(C.Y0) + " -> " + std::to_string(C.X1) + "," + std::to_string(C.Y1));
        auto B = NewBitmap(16, 16);
        B->Canvas()->Pen()->SetColor(clBlack);
        B->Canvas()->MoveTo(C.X0, C.Y0);
        B->Canvas()->LineTo(C.X1, C.Y1);
        EXPECT_EQ(B->Canvas()->Pixels(C.X0, C.Y0), clBlack);
        EXPECT_EQ(B->Canvas()->Pixels(C.X1, C.Y1), clWhite);
        EXPECT_EQ(InkOf(*B).Count, std::max(std::abs(C.X1 - C.X0), std::abs(C.Y1 - C.Y0)));
        EXPECT_EQ(B->Canvas()->PenPos(), Point(C.X1, C.Y1));
    }
}

TEST(Canvas, PolylineJoinsSegmentsAndPolygonClosesItsOutline)
{
    auto B = NewBitmap(20, 20);
    TCanvas* C = B->Canvas();
    C->Polyline({{2, 2}, {10, 2}, {10, 10}});
    EXPECT_EQ(C->Pixels(10, 2), clBlack);   // inner vertex drawn
    EXPECT_EQ(C->Pixels(10, 10), clWhite);  // last point left out
    EXPECT_EQ(InkOf(*B).Count, 16);

    auto P = NewBitmap(20, 20);
    P->Canvas()->Brush()->SetStyle(bsClear);
    P->Canvas()->Polygon({{2, 2}, {10, 2}, {10, 10}, {2, 10}});
    EXPECT_EQ(InkOf(*P).Count, 32);
    EXPECT_EQ(P->Canvas()->Pixels(10, 10), clBlack);
}

TEST(Canvas, RectangleLeavesOutRightAndBottomEdges)
{
    auto B = NewBitmap(20, 16);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clRed);
    C->Rectangle(2, 3, 12, 9);
    EXPECT_EQ(C->Pixels(2, 3), clBlack);
    EXPECT_EQ(C->Pixels(11, 8), clBlack);
    EXPECT_EQ(C->Pixels(11, 3), clBlack);
    EXPECT_EQ(C->Pixels(12, 5), clWhite);
    EXPECT_EQ(C->Pixels(5, 9), clWhite);
    EXPECT_EQ(C->Pixels(1, 5), clWhite);
    EXPECT_EQ(C->Pixels(5, 2), clWhite);
    EXPECT_EQ(C->Pixels(3, 4), clRed);
    EXPECT_EQ(C->Pixels(10, 7), clRed);
    const TInk I = InkOf(*B);
    EXPECT_EQ(I.Box, (TRect{2, 3, 11, 8}));
    EXPECT_EQ(I.Count, 10 * 6);

    // A one-pixel rectangle shows that pixel.
    auto P = NewBitmap(4, 4);
    P->Canvas()->Rectangle(1, 2, 2, 3);
    EXPECT_EQ(InkOf(*P).Count, 1);
    EXPECT_EQ(P->Canvas()->Pixels(1, 2), clBlack);

    // Without a pen the filled area is one pixel smaller on the right and bottom.
    auto N = NewBitmap(20, 16);
    N->Canvas()->Pen()->SetStyle(psClear);
    N->Canvas()->Brush()->SetColor(clRed);
    N->Canvas()->Rectangle(2, 3, 12, 9);
    EXPECT_EQ(InkOf(*N).Box, (TRect{2, 3, 10, 7}));

    // FillRect covers Left..Right-1 x Top..Bottom-1, no pen.
    auto F = NewBitmap(20, 16);
    F->Canvas()->Brush()->SetColor(clGreen);
    F->Canvas()->FillRect(Rect(2, 3, 12, 9));
    EXPECT_EQ(InkOf(*F).Box, (TRect{2, 3, 11, 8}));
    EXPECT_EQ(InkOf(*F).Count, 60);

    // FrameRect draws one pixel of brush colour round the same area.
    auto R = NewBitmap(20, 16);
    R->Canvas()->Brush()->SetColor(clBlue);
    R->Canvas()->FrameRect(Rect(2, 3, 12, 9));
    EXPECT_EQ(InkOf(*R).Box, (TRect{2, 3, 11, 8}));
    EXPECT_EQ(InkOf(*R).Count, 2 * 10 + 2 * 4);
}

TEST(Canvas, EllipseStaysInsideItsBoxAndTouchesEverySide)
{
    const TRect Boxes[] = {{10, 10, 30, 20}, {3, 4, 40, 40}, {5, 5, 9, 9}};
    for (const TRect& R : Boxes) {
        auto B = NewBitmap(48, 48);
        B->Canvas()->Brush()->SetColor(clYellow);
        B->Canvas()->Ellipse(R);
        EXPECT_EQ(InkOf(*B).Box, (TRect{R.Left, R.Top, R.Right - 1, R.Bottom - 1}));
        // The centre is filled, the corners are not.
        EXPECT_EQ(B->Canvas()->Pixels((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2), clYellow);
        if (R.Width() > 5) {
            EXPECT_EQ(B->Canvas()->Pixels(R.Left, R.Top), clWhite);
        }
        // A rounded rectangle keeps the same box.
        auto Q = NewBitmap(48, 48);
        Q->Canvas()->Brush()->SetColor(clYellow);
        Q->Canvas()->RoundRect(R.Left, R.Top, R.Right, R.Bottom, 6, 6);
        EXPECT_EQ(InkOf(*Q).Box, (TRect{R.Left, R.Top, R.Right - 1, R.Bottom - 1}));
    }
}

TEST(Canvas, PieAndArcRunCounterClockwiseFromStartToEndRadial)
{
    // Quarter from the east radial to the north radial: the upper right.
    auto B = NewBitmap(44, 44);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clRed);
    C->Pie(0, 0, 41, 41, 40, 20, 20, 0);
    EXPECT_EQ(C->Pixels(30, 10), clRed);
    EXPECT_EQ(C->Pixels(10, 10), clWhite);
    EXPECT_EQ(C->Pixels(10, 30), clWhite);
    EXPECT_EQ(C->Pixels(30, 30), clWhite);

    // The same radials swapped give the other three quarters.
    auto S = NewBitmap(44, 44);
    S->Canvas()->Brush()->SetColor(clRed);
    S->Canvas()->Pie(0, 0, 41, 41, 20, 0, 40, 20);
    EXPECT_EQ(S->Canvas()->Pixels(30, 10), clWhite);
    EXPECT_EQ(S->Canvas()->Pixels(10, 10), clRed);
    EXPECT_EQ(S->Canvas()->Pixels(10, 30), clRed);
    EXPECT_EQ(S->Canvas()->Pixels(30, 30), clRed);

    // An arc is not filled and stays on the ellipse.
    auto A = NewBitmap(44, 44);
    A->Canvas()->Arc(0, 0, 41, 41, 0, 20, 40, 20);   // west to east through the south
    const TInk I = InkOf(*A);
    EXPECT_GE(I.Box.Top, 19);
    EXPECT_LE(I.Box.Bottom, 40);
    EXPECT_EQ(A->Canvas()->Pixels(20, 30), clWhite);
    EXPECT_EQ(A->Canvas()->Pixels(20, 40), clBlack);

    // Chord closes with a straight line: the half below the diameter is filled.
    auto D = NewBitmap(44, 44);
    D->Canvas()->Brush()->SetColor(clRed);
    D->Canvas()->Chord(0, 0, 41, 41, 0, 20, 40, 20);
    EXPECT_EQ(D->Canvas()->Pixels(20, 30), clRed);
    EXPECT_EQ(D->Canvas()->Pixels(20, 10), clWhite);
}

TEST(Canvas, GalleryForPeopleToLookAt)
{
    auto B = NewBitmap(240, 120);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clSkyBlue);
    C->RoundRect(5, 5, 75, 55, 20, 20);
    C->Brush()->SetColor(clCream);
    C->Ellipse(85, 5, 155, 55);
    C->Brush()->SetColor(clMoneyGreen);
    C->Pie(165, 5, 235, 55, 235, 30, 200, 5);
    C->Chord(165, 60, 235, 110, 165, 85, 235, 85);
    C->Pen()->SetWidth(3);
    C->Pen()->SetColor(clMaroon);
    C->MoveTo(5, 70);
    C->LineTo(75, 110);
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(psDashDot);
    C->Brush()->SetStyle(bsDiagCross);
    C->Brush()->SetColor(clNavy);
    C->Rectangle(85, 60, 155, 110);
    C->Pen()->SetStyle(psSolid);
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetName("Arial");
    C->Font()->SetStyle({fsBold});
    C->TextOut(20, 22, "Flow");
    SaveArtifact(*B, "canvas_gallery.png");
    EXPECT_GT(InkOf(*B).Count, 1000);
}

TEST(Canvas, PolygonFillsByTheAlternateRule)
{
    auto B = NewBitmap(60, 60);
    TCanvas* C = B->Canvas();
    C->Pen()->SetStyle(psClear);
    C->Brush()->SetColor(clBlue);
    // A five-pointed star drawn in one stroke: its centre is covered twice.
    C->Polygon({{30, 2}, {47, 55}, {2, 21}, {58, 21}, {13, 55}});
    EXPECT_EQ(C->Pixels(30, 32), clWhite);
    EXPECT_EQ(C->Pixels(30, 10), clBlue);
    SaveArtifact(*B, "canvas_star.png");
}

TEST(Canvas, RasterPenModesMixPenAndSurface)
{
    struct TCase { TPenMode Mode; TColor Pen, Dest, Expected; };
    const TCase Cases[] = {
        {pmCopy, clRed, clBlue, clRed},
        {pmXor, RGB(0xF0, 0x0F, 0xFF), RGB(0xFF, 0xFF, 0x00), RGB(0x0F, 0xF0, 0xFF)},
        {pmNotXor, RGB(0xF0, 0x0F, 0xFF), RGB(0xFF, 0xFF, 0x00), RGB(0xF0, 0x0F, 0x00)},
        {pmNot, clRed, RGB(0x12, 0x34, 0x56), RGB(0xED, 0xCB, 0xA9)},
        {pmNotCopy, RGB(0x12, 0x34, 0x56), clBlack, RGB(0xED, 0xCB, 0xA9)},
        {pmBlack, clRed, clWhite, clBlack},
        {pmWhite, clRed, clBlack, clWhite},
        {pmNop, clRed, clBlue, clBlue},
        {pmMerge, clRed, clBlue, clFuchsia},
        {pmMask, clYellow, clAqua, clLime},
        {pmMaskPenNot, clYellow, clAqua, clRed},
        {pmMergeNotPen, clYellow, clBlack, clBlue},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(static_cast<int>(K.Mode));
        auto B = NewBitmap(8, 4);
        TCanvas* C = B->Canvas();
        C->Brush()->SetColor(K.Dest);
        C->FillRect(Rect(0, 0, 8, 4));
        C->Pen()->SetColor(K.Pen);
        C->Pen()->SetMode(K.Mode);
        C->MoveTo(1, 1);
        C->LineTo(5, 1);
        EXPECT_EQ(C->Pixels(2, 1), K.Expected);
        EXPECT_EQ(C->Pixels(5, 1), K.Dest);   // end pixel untouched in every mode
        EXPECT_EQ(C->Pixels(2, 2), K.Dest);
    }
}

TEST(Canvas, XorTwiceRestoresThePicture)
{
    auto B = NewBitmap(64, 48);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clSkyBlue);
    C->FillRect(Rect(0, 0, 64, 48));
    C->Brush()->SetColor(clMaroon);
    C->Ellipse(5, 5, 40, 30);
    C->Font()->SetName("Arial");
    C->TextOut(20, 25, "XOR");
    TBitmap Before;
    Before.Assign(B.get());

    auto DrawFigures = [&]() {
        C->Pen()->SetMode(pmXor);
        C->Pen()->SetColor(clYellow);
        C->Brush()->SetColor(clTeal);
        C->MoveTo(0, 0);
        C->LineTo(63, 40);
        C->Rectangle(10, 10, 50, 40);
        C->Ellipse(0, 20, 30, 48);
        C->Polygon({{60, 2}, {40, 30}, {63, 47}});
        C->Pen()->SetWidth(3);
        C->Polyline({{2, 45}, {30, 2}, {50, 45}});
        C->Pen()->SetWidth(1);
    };
    DrawFigures();
    EXPECT_FALSE(B->SameImage(Before));
    SaveArtifact(*B, "canvas_xor_once.png");
    DrawFigures();
    EXPECT_TRUE(B->SameImage(Before));
}

TEST(Canvas, DashStylesUseTheClassicLengths)
{
    struct TCase { TPenStyle Style; std::string Pattern; };
    // '#' pen, '.' gap, for the first pixels of a horizontal line.
    const TCase Cases[] = {
        {psDash, std::string(18, '#') + std::string(6, '.') + std::string(18, '#')},
        {psDot, "###...###...###"},
        {psDashDot, std::string(9, '#') + "......###......" + std::string(9, '#')},
        {psDashDotDot, std::string(9, '#') + "...###...###..." + std::string(9, '#')},
        {psAlternate, "#.#.#.#.#."},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(static_cast<int>(K.Style));
        auto B = NewBitmap(80, 3);
        TCanvas* C = B->Canvas();
        C->Brush()->SetStyle(bsClear);   // transparent gaps
        C->Pen()->SetStyle(K.Style);
        C->MoveTo(0, 1);
        C->LineTo(79, 1);
        std::string Seen;
        for (int X = 0; X < static_cast<int>(K.Pattern.size()); ++X)
            Seen += C->Pixels(X, 1) == clBlack ? '#' : '.';
        EXPECT_EQ(Seen, K.Pattern);
    }
    // With an opaque background the gaps take the background colour.
    auto O = NewBitmap(40, 3);
    O->Canvas()->Pen()->SetStyle(psDot);
    O->Canvas()->SetBackgroundMode(bkOpaque);
    O->Canvas()->SetBackgroundColor(clRed);
    O->Canvas()->MoveTo(0, 1);
    O->Canvas()->LineTo(20, 1);
    EXPECT_EQ(O->Canvas()->Pixels(4, 1), clRed);
    EXPECT_EQ(O->Canvas()->Pixels(1, 1), clBlack);
}

TEST(Canvas, WidePensCoverTheirWidth)
{
    auto B = NewBitmap(40, 20);
    TCanvas* C = B->Canvas();
    C->Pen()->SetWidth(5);
    C->Pen()->SetEndCap(pecFlat);
    C->MoveTo(5, 10);
    C->LineTo(35, 10);
    const TInk I = InkOf(*B);
    EXPECT_EQ(I.Box.Bottom - I.Box.Top + 1, 5);
    EXPECT_EQ(C->Pixels(20, 8), clBlack);
    EXPECT_EQ(C->Pixels(20, 12), clBlack);
    EXPECT_EQ(C->Pixels(20, 13), clWhite);
}

TEST(Canvas, HatchBrushesRepeatEveryEightPixels)
{
    struct TCase { TBrushStyle Style; bool (*Expect)(int X, int Y); };
    const TCase Cases[] = {
        {bsHorizontal, [](int, int Y) { return Y % 8 == 4; }},
        {bsVertical, [](int X, int) { return X % 8 == 4; }},
        {bsCross, [](int X, int Y) { return X % 8 == 4 || Y % 8 == 4; }},
        {bsFDiagonal, [](int X, int Y) { return X % 8 == Y % 8; }},
        {bsBDiagonal, [](int X, int Y) { return (X + Y) % 8 == 7; }},
        {bsDiagCross, [](int X, int Y) { return X % 8 == Y % 8 || (X + Y) % 8 == 7; }},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(static_cast<int>(K.Style));
        auto B = NewBitmap(24, 24);
        TCanvas* C = B->Canvas();
        C->Brush()->SetColor(clRed);
        C->FillRect(Rect(0, 0, 24, 24));
        C->Brush()->SetColor(clBlue);
        C->Brush()->SetStyle(K.Style);   // a hatch leaves the background transparent
        C->FillRect(Rect(0, 0, 24, 24));
        int Wrong = 0;
        for (int Y = 0; Y < 24; ++Y)
            for (int X = 0; X < 24; ++X)
                Wrong += C->Pixels(X, Y) != (K.Expect(X, Y) ? clBlue : clRed);
        EXPECT_EQ(Wrong, 0);
        // Opaque background: the gaps take the background colour.
        C->SetBackgroundMode(bkOpaque);
        C->SetBackgroundColor(clLime);
        C->FillRect(Rect(0, 0, 24, 24));
        EXPECT_EQ(C->Pixels(1, 2), K.Expect(1, 2) ? clBlue : clLime);
        if (K.Style == bsDiagCross)
            SaveArtifact(*B, "canvas_hatch.png");
    }
}

TEST(Canvas, BitmapPatternBrushTiles)
{
    TBitmap Pattern(2, 2);
    Pattern.Canvas()->SetPixels(0, 0, clBlack);
    auto B = NewBitmap(8, 8);
    B->Canvas()->Brush()->SetBitmap(&Pattern);
    B->Canvas()->FillRect(Rect(0, 0, 8, 8));
    EXPECT_EQ(B->Canvas()->Pixels(4, 6), clBlack);
    EXPECT_EQ(B->Canvas()->Pixels(5, 6), clWhite);
    EXPECT_EQ(InkOf(*B).Count, 16);
}

TEST(Canvas, ClipRegionsLimitDrawing)
{
    struct TCase {
        const char* Name;
        void (*Clip)(TCanvas* C);
        TPoint Inside, Outside;
    };
    const TCase Cases[] = {
        {"rect", [](TCanvas* C) { C->IntersectClipRect(Rect(10, 10, 20, 20)); }, {10, 10}, {20, 19}},
        {"ellipse", [](TCanvas* C) { C->SelectClipEllipse(Rect(0, 0, 40, 40)); }, {20, 20}, {1, 1}},
        {"polygon", [](TCanvas* C) { C->SelectClipPolygon({{0, 0}, {39, 0}, {0, 39}}); }, {5, 5}, {35, 35}},
        {"round rect", [](TCanvas* C) { C->SelectClipRoundRect(Rect(0, 0, 40, 40), 20, 20); }, {20, 1}, {0, 0}},
        {"or", [](TCanvas* C) { C->SelectClipRect(Rect(0, 0, 5, 5)); C->SelectClipRect(Rect(30, 30, 40, 40), RGN_OR); }, {35, 35}, {20, 20}},
        {"diff", [](TCanvas* C) { C->SelectClipRect(Rect(0, 0, 40, 40), RGN_COPY); C->ExcludeClipRect(Rect(10, 10, 30, 30)); }, {5, 5}, {15, 15}},
        {"xor", [](TCanvas* C) { C->SelectClipRect(Rect(0, 0, 20, 40), RGN_COPY); C->SelectClipRect(Rect(10, 0, 40, 40), RGN_XOR); }, {35, 5}, {15, 5}},
        {"and", [](TCanvas* C) { C->SelectClipRect(Rect(0, 0, 20, 40)); C->SelectClipRect(Rect(10, 0, 40, 40), RGN_AND); }, {15, 5}, {5, 5}},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(K.Name);
        auto B = NewBitmap(40, 40);
        TCanvas* C = B->Canvas();
        K.Clip(C);
        C->Brush()->SetColor(clRed);
        C->FillRect(Rect(0, 0, 40, 40));
        C->MoveTo(0, 39);
        C->LineTo(40, 39);
        EXPECT_EQ(C->Pixels(K.Inside.X, K.Inside.Y), clRed);
        EXPECT_EQ(C->Pixels(K.Outside.X, K.Outside.Y), clWhite);
        // Removing the clip opens the whole surface again.
        C->ClearClip();
        EXPECT_FALSE(C->HasClip());
        C->Brush()->SetColor(clBlue);
        C->FillRect(Rect(0, 0, 40, 40));
        EXPECT_EQ(C->Pixels(K.Outside.X, K.Outside.Y), clBlue);
    }

    // The clip in force can be read, replaced and put back.
    auto B = NewBitmap(40, 40);
    TCanvas* C = B->Canvas();
    C->IntersectClipRect(Rect(5, 5, 15, 15));
    EXPECT_EQ(C->ClipRect(), Rect(5, 5, 15, 15));
    TRegion Saved;
    ASSERT_TRUE(C->GetClipRegion(Saved));
    C->SelectClipRect(Rect(20, 20, 30, 30), RGN_COPY);
    C->SelectClipRegion(&Saved);
    C->Brush()->SetColor(clRed);
    C->FillRect(Rect(0, 0, 40, 40));
    EXPECT_EQ(InkOf(*B).Box, (TRect{5, 5, 14, 14}));
}

TEST(Canvas, PathsFillStrokeAndClip)
{
    auto B = NewBitmap(40, 40);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clRed);
    C->BeginPath();
    C->MoveTo(5, 5);
    C->LineTo(35, 5);
    C->LineTo(35, 35);
    C->CloseFigure();
    C->EndPath();
    EXPECT_EQ(InkOf(*B).Count, 0);   // nothing drawn while collecting
    C->FillPath();
    EXPECT_EQ(C->Pixels(30, 10), clRed);
    EXPECT_EQ(C->Pixels(10, 30), clWhite);

    auto S = NewBitmap(40, 40);
    TCanvas* D = S->Canvas();
    D->BeginPath();
    D->Ellipse(0, 0, 40, 40);
    D->EndPath();
    D->SelectClipPath(RGN_AND);
    D->Brush()->SetColor(clBlue);
    D->FillRect(Rect(0, 0, 40, 40));
    EXPECT_EQ(D->Pixels(20, 20), clBlue);
    EXPECT_EQ(D->Pixels(1, 1), clWhite);

    // A widened path is the band the pen would paint.
    auto W = NewBitmap(40, 40);
    TCanvas* E = W->Canvas();
    E->Pen()->SetWidth(6);
    E->BeginPath();
    E->MoveTo(5, 20);
    E->LineTo(35, 20);
    E->EndPath();
    E->WidenPath();
    E->Brush()->SetColor(clGreen);
    E->FillPath();
    EXPECT_EQ(E->Pixels(20, 18), clGreen);
    EXPECT_EQ(E->Pixels(20, 22), clGreen);
    EXPECT_EQ(E->Pixels(20, 26), clWhite);
}

TEST(Canvas, TextAlignmentPlacesTheReferencePoint)
{
    auto Measure = [](unsigned Align) {
        auto B = NewBitmap(200, 80);
        TCanvas* C = B->Canvas();
        C->Font()->SetName("Arial");
        C->Font()->SetSize(14);
        C->Brush()->SetStyle(bsClear);
        C->SetTextAlign(Align);
        C->TextOut(100, 40, "Hello");
        return InkOf(*B).Box;
    };
    const TRect Left = Measure(TA_LEFT | TA_TOP);
    const TRect Right = Measure(TA_RIGHT | TA_TOP);
    const TRect Center = Measure(TA_CENTER | TA_TOP);
    const TRect Baseline = Measure(TA_LEFT | TA_BASELINE);
    const TRect Bottom = Measure(TA_LEFT | TA_BOTTOM);
    EXPECT_GE(Left.Left, 100);
    EXPECT_GE(Left.Top, 40);
    EXPECT_LT(Right.Right, 100);
    EXPECT_LT(Center.Left, 100);
    EXPECT_GT(Center.Right, 100);
    EXPECT_LE(Baseline.Bottom, 40);      // "Hello" has no descender
    EXPECT_GE(Baseline.Bottom, 37);
    EXPECT_LT(Bottom.Bottom, Baseline.Bottom);
    EXPECT_EQ(Right.Right - Right.Left, Left.Right - Left.Left);
}

TEST(Canvas, TextMetricsComeFromTheStandInFonts)
{
    auto B = NewBitmap(10, 10);
    TCanvas* C = B->Canvas();
    C->Font()->SetName("Arial");
    C->Font()->SetSize(10);
    const int Arial = C->TextWidth("Flow 123");
    C->Font()->SetName("MS Sans Serif");
    EXPECT_EQ(C->TextWidth("Flow 123"), Arial);   // both Liberation Sans
    C->Font()->SetName("Courier New");
    EXPECT_EQ(C->TextWidth("iiii"), C->TextWidth("WWWW"));   // fixed pitch
    EXPECT_EQ(C->TextWidth("WWWW"), 4 * C->TextWidth("W"));
    const TSize E = C->TextExtent("x");
    EXPECT_EQ(E.cy, C->TextHeight("x"));
    EXPECT_EQ(E.cy, C->TextAscent() + C->TextDescent());
    // Character spacing adds to every character.
    const int Plain = C->TextWidth("abc");
    C->SetTextCharacterExtra(2);
    EXPECT_EQ(C->TextWidth("abc"), Plain + 6);
}

TEST(Canvas, RotatedTextRunsUpwardsAtNinetyDegrees)
{
    auto B = NewBitmap(120, 160);
    TCanvas* C = B->Canvas();
    C->Font()->SetName("Arial");
    C->Font()->SetSize(12);
    C->Brush()->SetStyle(bsClear);
    const int W = C->TextWidth("Pressure");
    const int H = C->TextHeight("Pressure");
    C->Font()->SetOrientation(900);
    C->TextOut(40, 140, "Pressure");
    SaveArtifact(*B, "canvas_rotated_text.png");
    const TRect Ink = InkOf(*B).Box;
    // The text's top edge faces left: it lies right of x, above y.
    EXPECT_GE(Ink.Left, 40);
    EXPECT_LE(Ink.Right, 40 + H);
    EXPECT_LE(Ink.Bottom, 140);
    EXPECT_GE(Ink.Top, 140 - W - 1);
    EXPECT_GT(Ink.Bottom - Ink.Top, W - 6);
}

TEST(Canvas, OpaqueTextBackgroundFollowsTheBrush)
{
    auto B = NewBitmap(100, 40);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clYellow);   // a solid brush makes the text background opaque
    C->TextOut(5, 5, "i");
    EXPECT_EQ(C->BackgroundMode(), bkOpaque);
    EXPECT_EQ(C->Pixels(5, 5), clYellow);
    C->Brush()->SetStyle(bsClear);
    EXPECT_EQ(C->BackgroundMode(), bkTransparent);
    C->TextOut(50, 5, "i");
    EXPECT_EQ(C->Pixels(50, 5), clWhite);
    // TextRect clips to its rectangle.
    C->Font()->SetSize(20);
    C->TextRect(Rect(0, 25, 10, 40), 0, 25, "WWWW");
    EXPECT_LE(InkOf(*B).Box.Right, 55);
    TInk Row;
    for (int X = 10; X < 50; ++X)
        for (int Y = 25; Y < 40; ++Y)
            Row.Count += C->Pixels(X, Y) != clWhite;
    EXPECT_EQ(Row.Count, 0);
}

TEST(Canvas, DrawCopiesBitmapsStretchedAndKeyed)
{
    TBitmap Src(4, 2);
    Src.Canvas()->Brush()->SetColor(clRed);
    Src.Canvas()->FillRect(Rect(0, 0, 2, 2));
    auto B = NewBitmap(20, 20);
    B->Canvas()->Draw(1, 1, &Src);
    EXPECT_EQ(B->Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(B->Canvas()->Pixels(3, 1), clWhite);
    EXPECT_EQ(InkOf(*B).Box, (TRect{1, 1, 2, 2}));
    B->Canvas()->StretchDraw(Rect(10, 10, 18, 14), &Src);
    EXPECT_EQ(B->Canvas()->Pixels(13, 13), clRed);
    EXPECT_EQ(B->Canvas()->Pixels(14, 13), clWhite);

    // Transparent: the bottom-left colour (red) is left out.
    auto T = NewBitmap(8, 8);
    T->Canvas()->Brush()->SetColor(clBlue);
    T->Canvas()->FillRect(Rect(0, 0, 8, 8));
    Src.SetTransparent(true);
    T->Canvas()->Draw(0, 0, &Src);
    EXPECT_EQ(T->Canvas()->Pixels(0, 0), clBlue);
    EXPECT_EQ(T->Canvas()->Pixels(3, 0), clWhite);

    // Half opacity mixes with what is there.
    auto H = NewBitmap(4, 4);
    Src.SetTransparent(false);
    H->Canvas()->Draw(0, 0, &Src, 128);
    EXPECT_EQ(GetRValue(H->Canvas()->Pixels(0, 0)), 255);
    EXPECT_NEAR(GetGValue(H->Canvas()->Pixels(0, 0)), 127, 2);

    // CopyRect takes pixels from another canvas.
    auto D = NewBitmap(8, 8);
    D->Canvas()->CopyRect(Rect(0, 0, 2, 2), B->Canvas(), Rect(1, 1, 3, 3));
    EXPECT_EQ(D->Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(D->Canvas()->Pixels(1, 1), clRed);

    B->Canvas()->Draw(0, 0, nullptr);   // nothing, no crash
    TBitmap Empty;
    B->Canvas()->Draw(0, 0, &Empty);
}

TEST(Canvas, CanvasWithoutSurfaceAcceptsEverything)
{
    EnsureApplication();
    TCanvas C;
    C.Rectangle(0, 0, 10, 10);
    C.TextOut(1, 1, "x");
    C.FillPath();
    EXPECT_EQ(C.Pixels(0, 0), clNone);
    EXPECT_GT(C.TextWidth("abc"), 0);
}

TEST(Canvas, LockHoldsTheCanvasAgainstAnotherThreadAndNestsOnItsOwn)
{
    TBitmap B;
    TCanvas* C = B.Canvas();
    C->Lock();
    EXPECT_TRUE(C->TryLock()); // the same thread nests
    bool OtherGotIt = true;
    std::thread([&] { OtherGotIt = C->TryLock(); }).join();
    EXPECT_FALSE(OtherGotIt);
    C->Unlock();
    C->Unlock();
    std::thread([&] {
        OtherGotIt = C->TryLock();
        if (OtherGotIt)
            C->Unlock();
    }).join();
    EXPECT_TRUE(OtherGotIt);
}

// A TextOut leaves the pen past its text (with TA_UPDATECP only a
// left-aligned text moves it), measured in the font the text was drawn in,
// whatever font the canvas holds when the pen is read or used: a text drawn
// from the pen starts where the one before ended, and so does a line.
TEST(Canvas, TextOutLeavesThePenPastItsTextInTheFontItWasDrawnIn)
{
    auto B = NewBitmap(400, 80);
    TCanvas* C = B->Canvas();
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetName("Arial");
    auto InSize = [C](int Points) {
        C->Font()->SetSize(Points);
        return C->TextWidth("Flow");
    };
    const int Small = InSize(10), Large = InSize(20);
    ASSERT_GT(Large, Small);

    struct TCase {
        unsigned Align;
        TPoint Pen;   // where the pen stands after "Flow" in 10 points
    };
    const TCase Cases[] = {
        {TA_LEFT | TA_TOP, {10 + Small, 5}},
        {TA_LEFT | TA_BASELINE, {10 + Small, 5}},
        {TA_UPDATECP | TA_LEFT, {30 + Small, 7}},
        {TA_UPDATECP | TA_RIGHT, {30, 7}},
        {TA_UPDATECP | TA_CENTER, {30, 7}},
    };
    for (const TCase& Case : Cases) {
        C->MoveTo(30, 7);
        C->SetTextAlign(Case.Align);
        InSize(10);
        C->TextOut(10, 5, "Flow");
        InSize(20);
        C->Font()->SetName("Courier New");
        EXPECT_EQ(C->PenPos(), Case.Pen) << "align " << Case.Align;
        C->Font()->SetName("Arial");
    }

    // A pen set after the text wins over it.
    C->SetTextAlign(TA_LEFT | TA_TOP);
    C->TextOut(10, 5, "Flow");
    C->MoveTo(1, 2);
    EXPECT_EQ(C->PenPos(), Point(1, 2));

    // Two texts from the pen in two sizes, then a line from where they end.
    C->SetTextAlign(TA_UPDATECP | TA_LEFT | TA_TOP);
    C->MoveTo(5, 30);
    InSize(10);
    C->TextOut(0, 0, "Flow");
    InSize(20);
    C->TextOut(0, 0, "Flow");
    EXPECT_EQ(C->PenPos(), Point(5 + Small + Large, 30));
    C->Pen()->SetColor(clRed);
    C->LineTo(390, 30);
    EXPECT_EQ(C->Pixels(5 + Small + Large, 30), clRed);
    EXPECT_NE(C->Pixels(5 + Small + Large - 1, 30), clRed);
}

// The quick width bound of a text is never below its width, over plain,
// spaced-out, ligature-prone and non-ASCII texts in fonts of every kind, at
// screen and printer resolutions; for plain text in a font that has all of
// its glyphs it stays within a pixel a character of the width, so that it
// decides most fits by itself.
TEST(Canvas, TextWidthBoundIsNeverBelowTheWidth)
{
    EnsureApplication();
    struct TFontCase {
        const char* Name;
        int Points;
        TFontStyles Style;
        int Extra;
        int PixelsPerInch;
    };
    const TFontCase Fonts[] = {
        {"Arial", 10, {}, 0, 96},
        {"Arial", 10, {}, 0, 600},
        {"Arial", 14, {fsBold, fsItalic}, 0, 96},
        {"Courier New", 9, {}, 0, 96},
        {"Times New Roman", 12, {fsItalic}, 0, 300},
        {"Times New Roman", 11, {fsUnderline}, 2, 96},
        {"MS Sans Serif", 8, {fsBold}, 1, 96},
        {"Arial", 1, {}, 0, 96},
    };
    const std::string Texts[] = {
        "",
        " ",
        "Breath 1234",
        "above the alarm limit",
        "12:34:56",
        "384.5 L/min",
        "office affluent flight ffi fl",
        "WAVE AVATAR To Ty Yo",
        "iiiiiiiiiiiiiiiiiiii",
        "MMMMMMMMMMMMMMMMMMMM",
        "!\"#$%&'()*+,-./0123456789:;<=>?@[\\]^_`{|}~",
        "Gr\u00f6\u00dfe 5 \u00b0C",
        "tab\there",
        "\u05e9\u05dc\u05d5\u05dd shalom",
    };
    for (const TFontCase& F : Fonts) {
        TBitmap B(10, 10);
        TCanvas* C = B.Canvas();
        C->Font()->SetPixelsPerInch(F.PixelsPerInch);
        C->Font()->SetName(F.Name);
        C->Font()->SetSize(F.Points);
        C->Font()->SetStyle(F.Style);
        C->SetTextCharacterExtra(F.Extra);
        for (const std::string& T : Texts) {
            const int Width = C->TextWidth(T), Bound = C->TextWidthBound(T);
            EXPECT_GE(Bound, Width) << F.Name << ' ' << F.Points << " at " << F.PixelsPerInch << ": '" << T << "'";
            const bool Plain = std::all_of(T.begin(), T.end(), [](char Ch) { return Ch >= ' ' && Ch <= '~'; });
            if (Plain) {
                EXPECT_LE(Bound, Width + static_cast<int>(T.size())) << F.Name << ": '" << T << "'";
            }
        }
    }
}

// Reports measure their texts on worker threads while the GUI thread
// measures its own: canvases on several threads at once, in the same font,
// get the widths one thread alone gets (more texts than the font keeps, so
// that the threads add to its widths and empty them meanwhile).
TEST(Canvas, TextIsMeasuredAlikeOnSeveralThreadsAtOnce)
{
    EnsureApplication();
    constexpr int Threads = 4, Texts = 3000;
    auto Measure = [](int T, std::vector<int>& Widths) {
        TCanvas C;
        C.Font()->SetName("Arial");
        C.Font()->SetSize(10);
        for (int I = 0; I < Texts; ++I) {
            const std::string Text = "Flow " + std::to_string(T) + "." + std::to_string(I) + " L/min";
            Widths.push_back(I % 2 ? C.TextWidth(Text) : C.TextExtent(Text).cx);
        }
    };
    std::vector<std::vector<int>> Alone(Threads), Together(Threads);
    for (int T = 0; T < Threads; ++T)
        Measure(T, Alone[static_cast<size_t>(T)]);
    std::vector<std::thread> Workers;
    for (int T = 0; T < Threads; ++T)
        Workers.emplace_back([&, T] { Measure(T, Together[static_cast<size_t>(T)]); });
    for (std::thread& W : Workers)
        W.join();
    EXPECT_EQ(Together, Alone);
}
