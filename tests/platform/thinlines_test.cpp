// One-pixel lines on an image the canvas paints itself are written straight
// into the image; through a painter somebody else began they go through
// Qt. Both must give the same pixels.
#include "platform/Application.h"
#include "platform/private/CanvasQt.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int W = 90, H = 70;

// Draws Scene twice, directly and through an external painter, and returns
// the number of pixels that differ.
int DifferingPixels(QImage::Format Format, const std::function<void(TCanvas&)>& Scene)
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
    int Differ = 0;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            if (Direct.pixel(X, Y) != Painted.pixel(X, Y))
                ++Differ;
    return Differ;
}

}  // namespace

TEST(ThinLines, DirectPixelsMatchThePainter)
{
    EnsureApplication();
    std::mt19937 Rng(7);
    std::uniform_int_distribution<int> Coord(-20, 110);
    std::vector<TPoint> Ends;
    for (int I = 0; I < 120; ++I)
        Ends.push_back({Coord(Rng), Coord(Rng)});

    struct TCase {
        const char* Name;
        TPenStyle Style;
        TBackgroundMode Back;
        int Clip;   // 0 none, 1 rectangle, 2 two rectangles
        TCanvasTransform Move;
    };
    const TCase Cases[] = {
        {"solid", psSolid, bkTransparent, 0, {}},
        {"dotted, transparent gaps", psDot, bkTransparent, 0, {}},
        {"dash-dot, opaque gaps", psDashDot, bkOpaque, 0, {}},
        {"clipped to a rectangle", psSolid, bkTransparent, 1, {}},
        {"clipped to two rectangles", psDash, bkOpaque, 2, {}},
        {"moved by whole pixels", psSolid, bkTransparent, 1, {1.0, 1.0, 7.0, -5.0}},
    };
    for (QImage::Format Format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        for (const TCase& Case : Cases) {
            const int Differ = DifferingPixels(Format, [&](TCanvas& C) {
                C.SetTransform(Case.Move);
                if (Case.Clip >= 1)
                    C.IntersectClipRect(Rect(10, 8, 70, 60));
                if (Case.Clip == 2)
                    C.ExcludeClipRect(Rect(30, 20, 45, 40));
                C.Pen()->SetStyle(Case.Style);
                C.SetBackgroundMode(Case.Back);
                C.SetBackgroundColor(clYellow);
                for (size_t I = 0; I + 1 < Ends.size(); I += 2) {
                    C.Pen()->SetColor(I % 3 == 0 ? clRed : clNavy);
                    C.MoveTo(Ends[I].X, Ends[I].Y);
                    C.LineTo(Ends[I + 1].X, Ends[I + 1].Y);
                }
                // Degenerate segments: a point and a one-pixel step.
                C.MoveTo(40, 30);
                C.LineTo(40, 30);
                C.LineTo(41, 31);
            });
            EXPECT_EQ(Differ, 0) << Case.Name << ", format " << Format;
        }
    }
}
