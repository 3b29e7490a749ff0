// The chart's draw pass as a whole: axis labels drawn on what lies under
// them, the legend laid out before it paints, and the faster paths of the
// pass drawing the very pixels of the plain ones.
#include "chart/Chart.h"
#include "chart/Series.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct TLabelCell {
    TChartAxis* Axis;
    std::string Text;
    int X;
    int Y;
};

// A 2-D monitor-like chart with two series and recorded label anchors.
struct TLabelRig {
    TLabelRig()
    {
        EnsureApplication();
        Chart = std::make_unique<TChart>(nullptr);
        Chart->SetBounds(0, 0, 480, 300);
        Chart->SetView3D(false);
        Chart->Title()->SetVisible(false);
        Chart->Legend()->SetVisible(false);
        Chart->BottomAxis()->SetMinMax(0, 10);
        Chart->LeftAxis()->SetMinMax(-100, 100);
        for (int s = 0; s < 2; ++s) {
            auto* S = new TFastLineSeries(Chart.get());
            S->SetSeriesColor(s == 0 ? SymbolColour[0] : SymbolColour[1]);
            S->SetTitle(s == 0 ? "Flow" : "Volume");
            for (int i = 0; i <= 50; ++i)
                S->AddXY(i * 0.2, (s == 0 ? 80 : 40) * std::sin(i * 0.3));
            Chart->AddSeries(S);
        }
        for (TChartAxis* A : {Chart->LeftAxis(), Chart->BottomAxis()})
            A->OnDrawLabel = [this](TChartAxis* Sender, int& X, int& Y, int&, std::string& Text, bool&) {
                Cells.push_back({Sender, Text, X, Y});
            };
    }
    std::unique_ptr<TBitmap> Render()
    {
        Cells.clear();
        return Chart->ChCreateBitmap(clWhite, Chart->GetRectangle(), pfDevice);
    }
    // The pixels of Colour inside the text cells of every label drawn.
    int PixelsOfColourInLabelCells(const TBitmap& Image, TColor Colour)
    {
        TBitmap Measure(1, 1);
        TCanvas* M = Measure.Canvas();
        M->Font()->Assign(Chart->LeftAxis()->LabelsFont());
        int Found = 0;
        for (const TLabelCell& C : Cells) {
            const int W = M->TextWidth(C.Text), H = M->TextHeight(C.Text);
            // The left axis right-aligns its labels, the bottom one centres
            // them; the anchor handed to OnDrawLabel is one line above the
            // line's top.
            const int Left = C.Axis->Horizontal() ? C.X - W / 2 : C.X - W;
            const int Top = C.Y + H;
            for (int Y = Top; Y < Top + H; ++Y)
                for (int X = Left; X < Left + W; ++X)
                    if (X >= 0 && Y >= 0 && X < Image.Width() && Y < Image.Height())
                        Found += PixelOf(Image, X, Y) == Colour;
        }
        return Found;
    }

    static constexpr TColor SymbolColour[2] = {clLime, clFuchsia};
    std::unique_ptr<TChart> Chart;
    std::vector<TLabelCell> Cells;
};

// Labels are written with a clear background: neither the colour the legend
// symbols leave on the canvas nor an opaque back wall's colour fills their
// cells, on either axis, in either order of the axes.
TEST(AxisLabelCells, NoFillFromLegendSymbolsOrBackWall)
{
    constexpr TColor Wall = RGB(250, 200, 120);
    struct TCase {
        const char* Name;
        std::function<void(TChart&)> Setup;
        std::vector<TColor> Forbidden;
    };
    const std::vector<TCase> Cases = {
        {"legend", [](TChart& C) { C.Legend()->SetVisible(true); },
         {TLabelRig::SymbolColour[0], TLabelRig::SymbolColour[1]}},
        {"opaque back wall",
         [](TChart& C) {
             C.BackWall()->SetTransparent(false);
             C.BackWall()->SetColor(Wall);
         },
         {Wall}},
        {"legend and wall, axes behind the series",
         [](TChart& C) {
             C.Legend()->SetVisible(true);
             C.BackWall()->SetTransparent(false);
             C.BackWall()->SetColor(Wall);
             C.SetAxisBehind(false);
         },
         {Wall, TLabelRig::SymbolColour[0], TLabelRig::SymbolColour[1]}},
    };
    for (const TCase& K : Cases) {
        TLabelRig R;
        K.Setup(*R.Chart);
        auto Image = R.Render();
        Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/label_cells_" + std::to_string(&K - Cases.data()) + ".png");
        ASSERT_GT(R.Cells.size(), 6u) << K.Name;
        for (TColor C : K.Forbidden)
            EXPECT_EQ(R.PixelsOfColourInLabelCells(*Image, C), 0) << K.Name << " colour " << std::hex << C;
    }
}

// After the axes, the canvas is left with a transparent background, so a
// text drawn later on the same canvas fills nothing either.
TEST(AxisLabelCells, AxisPassLeavesTransparentBackground)
{
    TLabelRig R;
    R.Chart->Legend()->SetVisible(true);
    TCanvasBackMode After = cbmOpaque;
    R.Chart->OnBeforeDrawSeries = [&](TObject*) { After = R.Chart->ChartCanvas()->BackMode(); };
    R.Render();
    EXPECT_EQ(After, cbmTransparent);
}

// The room an axis keeps for its labels is measured on the texts it makes
// itself, whatever the user's label event makes of them; the event stays
// assigned and rewrites the labels drawn.
TEST(AxisLabelEvent, RoomIsMeasuredOnTheAxisOwnTexts)
{
    TLabelRig Plain;
    Plain.Render();
    const int PlainLeft = Plain.Chart->ChartRect.Left;

    TLabelRig R;
    int Asked = 0;
    R.Chart->OnGetAxisLabel = [&](TChartAxis* Axis, TChartSeries*, int, std::string& Text) {
        if (Axis == R.Chart->LeftAxis()) {
            ++Asked;
            Text = "[" + Text + " units]";
        }
    };
    R.Render();
    EXPECT_EQ(R.Chart->ChartRect.Left, PlainLeft);
    EXPECT_TRUE(static_cast<bool>(R.Chart->OnGetAxisLabel));
    EXPECT_GT(Asked, 0);
    bool AllRewritten = true;
    for (const TLabelCell& C : R.Cells)
        if (C.Axis == R.Chart->LeftAxis())
            AllRewritten = AllRewritten && C.Text.find(" units]") != std::string::npos;
    EXPECT_TRUE(AllRewritten);
}

// The legend is laid out before it paints: when the chart's OnGetLegendRect
// hears of the box, the rows, columns and shown items are already known and
// nothing of the legend is on the canvas yet; the box is then painted where
// the event moved it, and the chart gives it its room.
TEST(LegendLayout, LaidOutBeforeItPaints)
{
    TLabelRig R;
    const TColor Box = RGB(255, 250, 200);
    R.Chart->Legend()->SetVisible(true);
    R.Chart->Legend()->SetColor(Box);
    int RowsSeen = -1, LastSeen = -2, BoxPixelsBefore = -1;
    TRect Moved;
    R.Chart->OnGetLegendRect = [&](TCustomChart* Sender, TRect& Rect) {
        RowsSeen = Sender->Legend()->RowCount;
        LastSeen = Sender->Legend()->LastShownValue;
        TCanvas* C = Sender->ChartCanvas()->ReferenceCanvas;
        BoxPixelsBefore = 0;
        for (int Y = Rect.Top; Y < Rect.Bottom; ++Y)
            for (int X = Rect.Left; X < Rect.Right; ++X)
                BoxPixelsBefore += C->Pixels(X, Y) == Box;
        Rect.Top += 20;
        Rect.Bottom += 20;
        Moved = Rect;
    };
    auto Image = R.Render();
    EXPECT_EQ(RowsSeen, 2);
    EXPECT_EQ(LastSeen, 1);
    EXPECT_EQ(BoxPixelsBefore, 0);
    EXPECT_EQ(R.Chart->Legend()->ShapeBounds, Moved);
    EXPECT_EQ(PixelOf(*Image, (Moved.Left + Moved.Right) / 2, Moved.Bottom - 2), Box);
    EXPECT_LT(R.Chart->ChartRect.Right, Moved.Left);
}

}  // namespace
