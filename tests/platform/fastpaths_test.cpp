// The canvas's faster paths give the pixels and sizes of the plain ones:
// colour-keyed bitmaps written straight into an image against the painter,
// CopyRect reading its source in place against a copied bitmap, outlines
// painted as runs against the line writer, plain rectangles written straight
// into an image against the painter, and text measured once per font
// and text.
#include "platform/Application.h"
#include "platform/private/CanvasQt.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int W = 90, H = 70;

int Differing(const QImage& A, const QImage& B)
{
    int Differ = 0;
    for (int Y = 0; Y < A.height(); ++Y)
        for (int X = 0; X < A.width(); ++X)
            Differ += (A.pixel(X, Y) & 0xFFFFFFu) != (B.pixel(X, Y) & 0xFFFFFFu);
    return Differ;
}

// Scene drawn on an image the canvas paints itself and through a painter
// somebody else began (which never takes the direct paths).
int DirectAgainstPainter(QImage::Format Format, const std::function<void(TCanvas&)>& Scene)
{
    QImage Direct(W, H, Format), Painted(W, H, Format);
    Direct.fill(Qt::white);
    Painted.fill(Qt::white);
    {
        TQtCanvas C(&Direct);
        Scene(C);
        C.Flush();
    }
    {
        QPainter P(&Painted);
        TQtCanvas C(&P, Painted.size());
        Scene(C);
    }
    return Differing(Direct, Painted);
}

// A 40 x 30 glyph: a green disc with a navy ring on olive, olive keyed out.
TBitmap& Glyph()
{
    static TBitmap B(40, 30);
    static bool Drawn = false;
    if (!Drawn) {
        TCanvas* C = B.Canvas();
        C->Brush()->SetColor(clOlive);
        C->FillRect({0, 0, 40, 30});
        C->Brush()->SetColor(clLime);
        C->Pen()->SetColor(clNavy);
        C->Ellipse(3, 2, 37, 28);
        B.SetTransparent(true);
        B.SetTransparentColor(clOlive);
        Drawn = true;
    }
    return B;
}

}  // namespace

TEST(CanvasFastPaths, KeyedBitmapMatchesThePainter)
{
    EnsureApplication();
    struct TCase {
        const char* Name;
        int Clip;   // 0 none, 1 rectangle, 2 two rectangles
        TCanvasTransform Move;
        TColor Key;
    };
    const TCase Cases[] = {
        {"plain", 0, {}, clOlive},
        {"key from the corner pixel", 0, {}, clDefault},
        {"clipped to a rectangle", 1, {}, clOlive},
        {"clipped to two rectangles", 2, {}, clOlive},
        {"moved by whole pixels", 1, {1.0, 1.0, 7.0, -5.0}, clOlive},
    };
    for (QImage::Format Format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        for (const TCase& K : Cases) {
            Glyph().SetTransparentColor(K.Key);
            const int Differ = DirectAgainstPainter(Format, [&](TCanvas& C) {
                C.Brush()->SetColor(clYellow);
                C.FillRect({0, 0, W, H});
                C.SetTransform(K.Move);
                if (K.Clip >= 1)
                    C.IntersectClipRect(Rect(10, 8, 70, 60));
                if (K.Clip == 2)
                    C.ExcludeClipRect(Rect(30, 20, 45, 40));
                // Inside, across the edges and partly off the surface.
                for (TPoint P : {TPoint{5, 5}, TPoint{30, 20}, TPoint{-10, 50}, TPoint{70, -8}})
                    C.Draw(P.X, P.Y, &Glyph());
            });
            EXPECT_EQ(Differ, 0) << K.Name << ", format " << Format;
        }
    }
    Glyph().SetTransparentColor(clOlive);
}

// CopyRect reads another bitmap's pixels in place; the plain path copies the
// area into a bitmap of its own first. Both land the same pixels, also for
// areas that reach outside the source or copy a canvas onto itself.
TEST(CanvasFastPaths, CopyRectMatchesDrawingACopiedBitmap)
{
    EnsureApplication();
    struct TCase {
        const char* Name;
        TRect Source;
        TRect Dest;
    };
    const TCase Cases[] = {
        {"same size", {0, 0, 40, 30}, {10, 10, 50, 40}},
        {"part of the source", {8, 6, 30, 24}, {0, 0, 22, 18}},
        {"stretched", {0, 0, 40, 30}, {0, 0, 80, 45}},
        {"reaching outside the source", {20, 10, 60, 50}, {5, 5, 45, 45}},
    };
    for (const TCase& K : Cases) {
        TBitmap Fast(W, H), Plain(W, H);
        Fast.Canvas()->CopyRect(K.Dest, Glyph().Canvas(), K.Source);
        // The plain path: the area copied pixel by pixel, then drawn.
        TBitmap Part(K.Source.Width(), K.Source.Height());
        for (int Y = 0; Y < Part.Height(); ++Y)
            for (int X = 0; X < Part.Width(); ++X) {
                const int SX = K.Source.Left + X, SY = K.Source.Top + Y;
                const bool In = SX >= 0 && SY >= 0 && SX < Glyph().Width() && SY < Glyph().Height();
                Part.ScanLine(Y)[X] = In ? (Glyph().ScanLine(SY)[SX] | 0xFF000000u) : 0xFF000000u;
            }
        Plain.Canvas()->StretchDraw(K.Dest, &Part);
        int Differ = 0;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X)
                Differ += (Fast.ScanLine(Y)[X] & 0xFFFFFFu) != (Plain.ScanLine(Y)[X] & 0xFFFFFFu);
        EXPECT_EQ(Differ, 0) << K.Name;
    }
}

// Polylines and rectangles of one-pixel pens are painted as runs of pixels;
// the same figures as single lines go through the line writer. (Styled pens
// run their pattern on along a polyline but start it again on every single
// line, so only solid pens compare.)
TEST(CanvasFastPaths, OutlinesMatchTheirLines)
{
    EnsureApplication();
    const std::vector<TPoint> Path{{5, 5}, {60, 5}, {60, 40}, {20, 62}, {20, 20}, {84, 66}};
    for (TPenStyle Style : {psSolid}) {
        for (TBackgroundMode Back : {bkTransparent, bkOpaque}) {
            QImage Runs(W, H, QImage::Format_RGB32), Lines(W, H, QImage::Format_RGB32);
            Runs.fill(Qt::white);
            Lines.fill(Qt::white);
            auto Setup = [&](TCanvas& C) {
                C.Pen()->SetColor(clRed);
                C.Pen()->SetStyle(Style);
                C.Brush()->SetStyle(bsClear);
                C.SetBackgroundMode(Back);
                C.SetBackgroundColor(clAqua);
            };
            {
                TQtCanvas C(&Runs);
                Setup(C);
                C.Polyline(Path);
                C.Rectangle(30, 45, 80, 68);
                C.Flush();
            }
            {
                TQtCanvas C(&Lines);
                Setup(C);
                C.MoveTo(Path[0].X, Path[0].Y);
                for (size_t I = 1; I < Path.size(); ++I)
                    C.LineTo(Path[I].X, Path[I].Y);
                C.MoveTo(30, 45);
                C.LineTo(79, 45);
                C.LineTo(79, 67);
                C.LineTo(30, 67);
                C.LineTo(30, 45);
                C.Flush();
            }
            EXPECT_EQ(Differing(Runs, Lines), 0) << "style " << Style << ", background " << Back;
        }
    }
}

// Rectangles of a thin solid outline and a solid fill are written straight
// into the image; through a painter the outline and fill are drawn by it.
// Every box size, corner order, leaving out either part, clips and a moved
// canvas land the same pixels.
TEST(CanvasFastPaths, PlainRectanglesMatchThePainter)
{
    EnsureApplication();
    struct TCase {
        const char* Name;
        TPenStyle Pen;
        TBrushStyle Brush;
        TCanvasTransform Move;
        int Clip;   // 0 none, 1 a rectangle, 2 a rectangle with a hole
    };
    const TCase Cases[] = {
        {"outline and fill", psSolid, bsSolid, {}, 0},
        {"outline only", psSolid, bsClear, {}, 0},
        {"fill only", psClear, bsSolid, {}, 0},
        {"clipped", psSolid, bsSolid, {}, 1},
        {"clipped with a hole", psSolid, bsSolid, {}, 2},
        {"moved", psSolid, bsSolid, {1, 1, 7, -3}, 1},
    };
    for (const TCase& K : Cases) {
        for (QImage::Format Format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
            const int Differ = DirectAgainstPainter(Format, [&](TCanvas& C) {
                C.SetTransform(K.Move);
                if (K.Clip >= 1)
                    C.IntersectClipRect(Rect(10, 8, 70, 60));
                if (K.Clip == 2)
                    C.ExcludeClipRect(Rect(30, 20, 45, 40));
                C.Pen()->SetColor(clNavy);
                C.Pen()->SetStyle(K.Pen);
                C.Brush()->SetColor(clLime);
                C.Brush()->SetStyle(K.Brush);
                // From 1 x 1 up, both corner orders, across edges and off
                // the surface.
                for (int S = 1; S <= 6; ++S) {
                    C.Rectangle(4 + 9 * S, 4, 4 + 10 * S, 4 + S);
                    C.Rectangle(4 + 10 * S, 30 + S, 4 + 9 * S, 30);
                }
                C.Rectangle(-5, 50, 12, 75);
                C.Rectangle(60, 15, 95, 45);
                C.Rectangle(25, 25, 50, 50);
            });
            EXPECT_EQ(Differ, 0) << K.Name << ", format " << Format;
        }
    }
}

// Text sizes are kept per font: every setting that changes a width changes
// the width measured, and changing it back gives the first size again.
TEST(CanvasFastPaths, TextSizesFollowEveryFontSetting)
{
    EnsureApplication();
    TBitmap B(10, 10);
    TCanvas* C = B.Canvas();
    const std::string Text = "mmmmmmmm 100";
    C->Font()->SetName("Arial");
    C->Font()->SetSize(8);
    const TSize Base = C->TextExtent(Text);
    struct TCase {
        const char* Name;
        std::function<void(TCanvas&)> Change;
        bool Taller;   // checked only when it must grow
    };
    const std::vector<TCase> Cases = {
        {"larger", [](TCanvas& K) { K.Font()->SetSize(12); }, true},
        {"bold", [](TCanvas& K) { K.Font()->SetStyle(TFontStyles{fsBold}); }, false},
        {"fixed pitch face", [](TCanvas& K) { K.Font()->SetName("Courier New"); }, false},
        {"cell height", [](TCanvas& K) { K.Font()->SetHeight(20); }, true},
        {"character spacing", [](TCanvas& K) { K.SetTextCharacterExtra(2); }, false},
    };
    for (const TCase& K : Cases) {
        K.Change(*C);
        const TSize Changed = C->TextExtent(Text);
        EXPECT_NE(Changed.cx, Base.cx) << K.Name;
        if (K.Taller) {
            EXPECT_GT(Changed.cy, Base.cy) << K.Name;
        }
        C->Font()->SetName("Arial");
        C->Font()->SetSize(8);
        C->Font()->SetStyle(TFontStyles{});
        C->SetTextCharacterExtra(0);
        EXPECT_EQ(C->TextExtent(Text).cx, Base.cx) << K.Name;
        EXPECT_EQ(C->TextExtent(Text).cy, Base.cy) << K.Name;
    }
    EXPECT_EQ(C->TextWidth("") , 0);
}

// Text drawn from glyphs shaped once per font and text lands the pixels
// Qt's own drawText gives for the same font, alignment and position.
TEST(CanvasFastPaths, ShapedTextMatchesDrawText)
{
    EnsureApplication();
    struct TCase {
        const char* Name;
        const char* Face;
        int Size;
        TFontStyles Style;
        unsigned Align;
        int Orientation;
    };
    const TCase Cases[] = {
        {"labels", "Arial", 8, {}, TA_LEFT, 0},
        {"right-aligned bold", "Arial", 10, TFontStyles{fsBold}, TA_RIGHT, 0},
        {"centred, bottom", "Times New Roman", 12, TFontStyles{fsItalic}, TA_CENTER | TA_BOTTOM, 0},
        {"underlined", "Arial", 9, TFontStyles{fsUnderline, fsStrikeOut}, TA_LEFT, 0},
        {"rotated", "Courier New", 11, {}, TA_LEFT, 900},
    };
    const std::vector<std::string> Texts{"-100", "12.5", "Seconds", "LPM", "W\xc3\xa4rme %", "0"};
    for (const TCase& K : Cases) {
        for (int Pass = 0; Pass < 2; ++Pass) {   // shaped anew, then from the cache
            QImage Fast(160, 120, QImage::Format_RGB32), Plain(160, 120, QImage::Format_RGB32);
            Fast.fill(Qt::white);
            Plain.fill(Qt::white);
            TBitmap FontHolder(1, 1);
            TFont* F = FontHolder.Canvas()->Font();
            F->SetName(K.Face);
            F->SetSize(K.Size);
            F->SetStyle(K.Style);
            F->SetColor(clNavy);
            {
                TQtCanvas C(&Fast);
                C.Font()->Assign(F);
                C.Font()->SetOrientation(K.Orientation);
                C.SetTextAlign(K.Align);
                C.Brush()->SetStyle(bsClear);
                for (size_t I = 0; I < Texts.size(); ++I)
                    C.TextOut(80, 10 + static_cast<int>(I) * 18, Texts[I]);
                C.Flush();
            }
            {
                // The same texts through Qt's drawText, placed as the canvas
                // places them.
                TBitmap Measure(1, 1);
                TCanvas* M = Measure.Canvas();
                M->Font()->Assign(F);
                QPainter P(&Plain);
                P.setFont(ToQFont(*F));
                P.setPen(QColor(0, 0, 128));
                for (size_t I = 0; I < Texts.size(); ++I) {
                    const int W = M->TextWidth(Texts[I]);
                    double Ox = 0;
                    if ((K.Align & TA_CENTER) == TA_CENTER)
                        Ox = -std::floor(W / 2.0);
                    else if (K.Align & TA_RIGHT)
                        Ox = -W;
                    const double Base = (K.Align & TA_BOTTOM) ? -M->TextDescent() : M->TextAscent();
                    P.save();
                    P.translate(80, 10 + static_cast<int>(I) * 18);
                    P.rotate(-K.Orientation / 10.0);
                    P.drawText(QPointF(Ox, Base), QString::fromStdString(Texts[I]));
                    P.restore();
                }
            }
            EXPECT_EQ(Differing(Fast, Plain), 0) << K.Name << ", pass " << Pass;
        }
    }
}

