// How pictures combine with a canvas: the copy mode (copy or XOR) and
// reversed target rectangles, which mirror the picture.
#include "platform/Application.h"
#include "platform/Graphics.h"
#include "platform/Metafile.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A 4 x 2 picture whose every pixel differs: (x, y) is RGB(10x + 1, 100y + 1, 7).
std::unique_ptr<TBitmap> Picture()
{
    EnsureApplication();
    auto B = std::make_unique<TBitmap>(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            B->Canvas()->SetPixels(x, y, RGB(10 * x + 1, 100 * y + 1, 7));
    return B;
}

TColor PictureAt(int x, int y) { return RGB(10 * x + 1, 100 * y + 1, 7); }

TEST(CopyMode, ReversedRectanglesMirrorThePictureOverTheSamePixels)
{
    auto Src = Picture();
    struct Case { const char* Name; TRect Dest; bool FlipX; bool FlipY; };
    const Case cases[] = {
        {"upright", Rect(2, 3, 6, 5), false, false},
        {"left-right", Rect(6, 3, 2, 5), true, false},
        {"top-bottom", Rect(2, 5, 6, 3), false, true},
        {"both", Rect(6, 5, 2, 3), true, true},
    };
    for (const Case& c : cases) {
        for (bool ViaCopyRect : {false, true}) {
            TBitmap Target(10, 8);
            if (ViaCopyRect)
                Target.Canvas()->CopyRect(c.Dest, Src->Canvas(), Rect(0, 0, 4, 2));
            else
                Target.Canvas()->StretchDraw(c.Dest, Src.get());
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 10; ++x) {
                    const bool Inside = x >= 2 && x < 6 && y >= 3 && y < 5;
                    const int sx = c.FlipX ? 3 - (x - 2) : x - 2;
                    const int sy = c.FlipY ? 1 - (y - 3) : y - 3;
                    EXPECT_EQ(Target.Canvas()->Pixels(x, y), Inside ? PictureAt(sx, sy) : clWhite)
                        << c.Name << (ViaCopyRect ? " CopyRect " : " StretchDraw ") << x << "," << y;
                }
        }
    }
}

TEST(CopyMode, SourceInvertXorsBitmapsExactlyWithinTheClipAndTwiceRestores)
{
    auto Src = Picture();
    TBitmap Target(6, 4);
    TCanvas* C = Target.Canvas();
    C->Brush()->SetColor(RGB(0x55, 0xAA, 0x0F));
    C->FillRect(Rect(0, 0, 6, 4));
    EXPECT_EQ(C->CopyMode(), cmSrcCopy);
    C->SetCopyMode(cmSrcInvert);
    C->IntersectClipRect(Rect(0, 0, 4, 4));
    C->Draw(1, 1, Src.get());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool Drawn = x >= 1 && x < 4 && y >= 1 && y < 3;   // the clip cuts column 4
            const TColor Expected = Drawn ? (RGB(0x55, 0xAA, 0x0F) ^ PictureAt(x - 1, y - 1)) : RGB(0x55, 0xAA, 0x0F);
            EXPECT_EQ(C->Pixels(x, y), Expected) << x << "," << y;
        }
    // CopyRect mixes the same way; a second pass restores the picture.
    C->CopyRect(Rect(1, 1, 5, 3), Src->Canvas(), Rect(0, 0, 4, 2));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(C->Pixels(x, y), RGB(0x55, 0xAA, 0x0F)) << x << "," << y;
    // Mirrored and mixed at once.
    C->ClearClip();
    C->StretchDraw(Rect(4, 2, 0, 0), Src.get());
    EXPECT_EQ(C->Pixels(0, 0), RGB(0x55, 0xAA, 0x0F) ^ PictureAt(3, 1));
    EXPECT_EQ(C->Pixels(3, 1), RGB(0x55, 0xAA, 0x0F) ^ PictureAt(0, 0));
}

TEST(CopyMode, MetafilesRecordSourceInvertAsCopy)
{
    auto Src = Picture();
    TMetafile M;
    M.SetWidth(6);
    M.SetHeight(4);
    {
        TMetafileCanvas C(&M, nullptr);
        C.SetCopyMode(cmSrcInvert);
        C.Draw(1, 1, Src.get());
    }
    TBitmap Target(6, 4);
    Target.Canvas()->Brush()->SetColor(clBlack);
    Target.Canvas()->FillRect(Rect(0, 0, 6, 4));
    Target.Canvas()->Draw(0, 0, &M);
    EXPECT_EQ(Target.Canvas()->Pixels(1, 1), PictureAt(0, 0));
    EXPECT_EQ(Target.Canvas()->Pixels(4, 2), PictureAt(3, 1));
    EXPECT_EQ(Target.Canvas()->Pixels(0, 0), clBlack);
}

}  // namespace
