// A chart panel copied to the clipboard as a bitmap and as a played
// metafile; exported text copied as text.
#include "chart/ChProcs.h"
#include "platform/Application.h"
#include "platform/Clipbrd.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

namespace {

// The shared picture panel without its text, at a fixed size.
class TBoxPanel : public TPicturePanel {
public:
    TBoxPanel() : TPicturePanel(false) { SetBounds(0, 0, 200, 120); }
};

TEST(ChartClipboard, BitmapCopyIsTheExportedBitmap)
{
    EnsureApplication();
    TBoxPanel P;
    Clipboard()->SetText("old");
    P.CopyToClipboardBitmap();
    TBitmap Got;
    ASSERT_TRUE(Clipboard()->GetBitmap(Got));
    EXPECT_TRUE(Got.SameImage(*P.ChCreateBitmap(clWhite, P.GetRectangle(), pfDevice)));
    EXPECT_EQ(PixelOf(Got, 50, 40), clYellow);
    EXPECT_EQ(PixelOf(Got, 150, 100), RGB(230, 240, 255));

    P.CopyToClipboardBitmap({0, 0, 90, 70});
    ASSERT_TRUE(Clipboard()->GetBitmap(Got));
    EXPECT_EQ(Got.Width(), 90);
    EXPECT_EQ(Got.Height(), 70);
}

TEST(ChartClipboard, MetafileCopyIsAPictureOfTheChart)
{
    EnsureApplication();
    TBoxPanel P;
    const auto Direct = P.ChCreateBitmap(clWhite, P.GetRectangle(), pfDevice);
    for (const bool Enhanced : {false, true}) {
        Clipboard()->SetText("old");
        P.CopyToClipboardMetafile(Enhanced);
        TBitmap Got;
        ASSERT_TRUE(Clipboard()->GetBitmap(Got)) << Enhanced;
        ASSERT_EQ(Got.Width(), 200);
        ASSERT_EQ(Got.Height(), 120);
        // Away from edges (where smoothing may differ) the played metafile
        // shows what the direct drawing shows.
        int Compared = 0, Differ = 0;
        for (int Y = 2; Y < 118; ++Y)
            for (int X = 2; X < 198; ++X) {
                const TColor C = PixelOf(*Direct, X, Y);
                bool Uniform = true;
                for (int Dy = -2; Dy <= 2 && Uniform; ++Dy)
                    for (int Dx = -2; Dx <= 2 && Uniform; ++Dx)
                        Uniform = PixelOf(*Direct, X + Dx, Y + Dy) == C;
                if (!Uniform)
                    continue;
                ++Compared;
                Differ += PixelOf(Got, X, Y) != C;
            }
        EXPECT_GT(Compared, 15000) << Enhanced;
        EXPECT_EQ(Differ, 0) << Enhanced;
        EXPECT_EQ(PixelOf(Got, 50, 40), clYellow) << Enhanced;
    }
}

class TTextExport : public TChExportData {
public:
    std::string AsString() override { return "x\ty\r\n1\t2\r\n"; }
};

TEST(ChartClipboard, ExportedTextGoesOnTheClipboardAsText)
{
    EnsureApplication();
    TBoxPanel P;
    P.CopyToClipboardBitmap();
    TTextExport E;
    E.CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "x\ty\r\n1\t2\r\n");
}

}  // namespace
