// The chart's drawing pass rendered offscreen: axis labels and their pixels,
// ticks and grid, titles and feet, the legend's layout, the order in which
// series are drawn, and a picture for a person to look at.
#include "chart/Chart.h"
#include "platform/Application.h"
#include "platform/Forms.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A series that joins its points with a thick line in its own colour.
class TThickLineSeries : public TChartSeries {
public:
    explicit TThickLineSeries(TComponent* AOwner = nullptr) : TChartSeries(AOwner) {}
    void DrawValue(int ValueIndex) override
    {
        TCanvas3D* C = ParentChart()->ChartCanvas();
        C->Pen->SetColor(SeriesColor());
        C->Pen->SetWidth(5);
        C->Pen->SetStyle(psSolid);
        const TPoint P{CalcXPos(ValueIndex), CalcYPos(ValueIndex)};
        if (ValueIndex > FirstVisibleIndex)
            C->Line(Last, P);
        Last = P;
    }
    TPoint Last;
};

struct TLabel {
    std::string Text;
    int X;
    int Y;
};

// A chart of W x H as the program sets it up: 2-D, no title, no legend.
struct TChartFixture {
    explicit TChartFixture(int W = 400, int H = 300)
    {
        EnsureApplication();
        Chart = std::make_unique<TChart>(nullptr);
        Chart->SetBounds(0, 0, W, H);
        Chart->SetView3D(false);
        Chart->Legend()->SetVisible(false);
        Chart->Title()->SetVisible(false);
    }
    TThickLineSeries* AddSeries(TColor Color, const std::vector<std::pair<double, double>>& Points,
                                const std::string& Title = {})
    {
        auto* S = new TThickLineSeries(Chart.get());
        S->SetSeriesColor(Color);
        S->SetTitle(Title);
        for (auto [X, Y] : Points)
            S->AddXY(X, Y);
        Chart->AddSeries(S);
        return S;
    }
    // Axes label only values some active series puts on them.
    void BindAxes() { AddSeries(clRed, {}); }
    // Records every label an axis draws, in drawing order.
    std::vector<TLabel>& Watch(TChartAxis* Axis)
    {
        auto& List = Labels.emplace_back();
        Axis->OnDrawLabel = [&List](TChartAxis*, int& X, int& Y, int&, std::string& Text, bool&) {
            List.push_back({Text, X, Y});
        };
        return List;
    }
    std::unique_ptr<TBitmap> Render() { return Chart->ChCreateBitmap(clWhite, Chart->GetRectangle(), pfDevice); }

    std::unique_ptr<TChart> Chart;
    std::deque<std::vector<TLabel>> Labels;
};

std::vector<std::string> Texts(const std::vector<TLabel>& Labels)
{
    std::vector<std::string> Result;
    for (const TLabel& L : Labels)
        Result.push_back(L.Text);
    return Result;
}

// ------------------------------------------------------------------ axis labels

struct TLabelCase {
    double Min, Max, Increment;
    bool RoundFirst;
    std::vector<std::string> Expected;
};

TEST(AxisLabels, ValuesFromTopDownWithBothEndsKept)
{
    const std::vector<TLabelCase> Cases = {
        {-0.3, 0.3, 0.1, true, {"0.3", "0.2", "0.1", "0", "-0.1", "-0.2", "-0.3"}},
        {0, 60, 10, true, {"60", "50", "40", "30", "20", "10", "0"}},
        {0.5, 60.5, 10, true, {"60", "50", "40", "30", "20", "10"}},
        {0.5, 60.5, 10, false, {"60.5", "50.5", "40.5", "30.5", "20.5", "10.5", "0.5"}},
        {0, 0.7, 0.1, true, {"0.7", "0.6", "0.5", "0.4", "0.3", "0.2", "0.1", "0"}},
        {-10, 10, 5, true, {"10", "5", "0", "-5", "-10"}},
    };
    for (const TLabelCase& C : Cases) {
        SCOPED_TRACE(std::to_string(C.Min) + " .. " + std::to_string(C.Max));
        for (bool Vertical : {true, false}) {
            TChartFixture F;
            F.BindAxes();
            TChartAxis* A = Vertical ? F.Chart->LeftAxis() : F.Chart->BottomAxis();
            A->SetMinMax(C.Min, C.Max);
            A->SetDesiredIncrement(C.Increment);
            A->SetRoundFirstLabel(C.RoundFirst);
            auto& Labels = F.Watch(A);
            F.Render();
            EXPECT_EQ(Texts(Labels), C.Expected);
            EXPECT_EQ(A->TickPixels().size(), C.Expected.size());
        }
    }
}

// Pixels worked out from the span: a vertical axis puts its minimum at the
// bottom of the plot, a horizontal one at the left.
TEST(AxisLabels, TicksSitWhereTheValuesMapOnTheSpan)
{
    TChartFixture F;
    F.BindAxes();
    TChartAxis* L = F.Chart->LeftAxis();
    TChartAxis* B = F.Chart->BottomAxis();
    L->SetMinMax(-0.3, 0.3);
    L->SetDesiredIncrement(0.1);
    B->SetMinMax(0, 60);
    B->SetDesiredIncrement(10);
    auto& Left = F.Watch(L);
    auto& Bottom = F.Watch(B);
    F.Render();
    const TRect R = F.Chart->ChartRect;
    ASSERT_EQ(L->TickPixels().size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        const double V = 0.3 - 0.1 * static_cast<double>(i);
        const int Expected = static_cast<int>(std::lround(R.Bottom - (V + 0.3) / 0.6 * (R.Bottom - R.Top)));
        EXPECT_NEAR(L->TickPixels()[i], Expected, 1) << V;
    }
    ASSERT_EQ(B->TickPixels().size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        const double V = 60 - 10.0 * static_cast<double>(i);
        const int Expected = static_cast<int>(std::lround(R.Left + V / 60 * (R.Right - R.Left)));
        EXPECT_NEAR(B->TickPixels()[i], Expected, 1) << V;
    }
    // The left axis labels end left of the axis line, the bottom ones start below it.
    for (const TLabel& T : Left)
        EXPECT_LT(T.X, R.Left);
    // The label event sees the anchor one line above where the text starts.
    TCanvas3D* C = F.Chart->ChartCanvas();
    C->AssignFont(B->LabelsFont());
    for (const TLabel& T : Bottom)
        EXPECT_GT(T.Y + C->GetFontHeight(), R.Bottom);
    EXPECT_EQ(B->TickPixels().front(), R.Right);
    EXPECT_EQ(B->TickPixels().back(), R.Left);
}

TEST(AxisLabels, LabelsOffTheAxisEndsAreSkippedWhenAsked)
{
    TChartFixture F;
    F.BindAxes();
    TChartAxis* B = F.Chart->BottomAxis();
    B->SetMinMax(0, 60);
    B->SetDesiredIncrement(10);
    B->SetLabelsOnAxis(false);
    auto& Labels = F.Watch(B);
    F.Render();
    EXPECT_EQ(Texts(Labels), (std::vector<std::string>{"50", "40", "30", "20", "10"}));
}

// The program's plots: a fixed range with a step too small for the axis. The
// step grows along 1, 2, 5, 10 until the labels no longer touch.
TEST(AxisLabels, SmallDesiredIncrementGrowsUntilLabelsFit)
{
    for (bool Vertical : {true, false}) {
        SCOPED_TRACE(Vertical ? "vertical" : "horizontal");
        TChartFixture F;
        F.BindAxes();
        TChartAxis* A = Vertical ? F.Chart->LeftAxis() : F.Chart->BottomAxis();
        A->SetMinMax(0, 100);
        A->SetDesiredIncrement(1);
        auto& Labels = F.Watch(A);
        F.Render();
        ASSERT_GE(Labels.size(), 3u);
        EXPECT_LT(Labels.size(), 101u);
        EXPECT_EQ(Labels.front().Text, "100");
        EXPECT_EQ(Labels.back().Text, "0");
        const int Steps = static_cast<int>(Labels.size()) - 1;
        EXPECT_EQ(100 % Steps, 0);
        const int Step = 100 / Steps;
        EXPECT_TRUE(Step == 2 || Step == 5 || Step == 10 || Step == 20) << Step;
        TCanvas3D* C = F.Chart->ChartCanvas();
        C->AssignFont(A->LabelsFont());
        const int Extent = Vertical ? C->GetFontHeight() : C->TextWidth("100");
        for (size_t i = 1; i < A->TickPixels().size(); ++i)
            EXPECT_GE(std::abs(A->TickPixels()[i] - A->TickPixels()[i - 1]), Extent);
    }
}

TEST(AxisLabels, CustomItemsReplaceTheValueLabels)
{
    TChartFixture F;
    F.BindAxes();
    TChartAxis* L = F.Chart->LeftAxis();
    L->SetMinMax(0, 100);
    L->Items().Add(25, "low");
    L->Items().Add(75);
    L->Items().Add(150, "off scale");
    auto& Labels = F.Watch(L);
    F.Render();
    EXPECT_EQ(Texts(Labels), (std::vector<std::string>{"low", "75"}));
    ASSERT_EQ(L->TickPixels().size(), 2u);
    EXPECT_EQ(L->TickPixels()[0], L->CalcYPosValue(25));
    // Copying an axis copies its items.
    TChartFixture Other;
    Other.Chart->SetLeftAxis(L);
    ASSERT_EQ(Other.Chart->LeftAxis()->Items().Count(), 3);
    EXPECT_EQ(Other.Chart->LeftAxis()->Items().Item(0)->Text(), "low");
    EXPECT_THROW(Other.Chart->LeftAxis()->Items().Item(3), EListError);
}

TEST(AxisLabels, LabelTextNeverShowsMinusZero)
{
    TChartFixture F;
    TChartAxis* A = F.Chart->LeftAxis();
    const std::vector<std::pair<double, std::string>> Cases = {
        {-1e-17, "0"}, {-0.0001, "0"}, {0, "0"}, {-0.25, "-0.25"}, {-1234.5, "-1,234.5"}, {0.0005, "0.001"},
    };
    for (const auto& [Value, Text] : Cases)
        EXPECT_EQ(A->LabelValue(Value), Text) << Value;
}

TEST(AxisLabels, DepthAxesInvertTogether)
{
    TChartFixture F;
    F.Chart->DepthTopAxis()->SetInverted(true);
    EXPECT_TRUE(F.Chart->DepthAxis()->Inverted());
    F.Chart->DepthAxis()->SetInverted(false);
    EXPECT_FALSE(F.Chart->DepthTopAxis()->Inverted());
    EXPECT_FALSE(F.Chart->LeftAxis()->Inverted());
}

TEST(AxisLabels, NarrowAxisLabelsNeverOverlap)
{
    TChartFixture F(140, 200);
    F.BindAxes();
    TChartAxis* B = F.Chart->BottomAxis();
    B->SetMinMax(0, 100000);
    B->SetDesiredIncrement(1);
    auto& Labels = F.Watch(B);
    F.Render();
    ASSERT_GE(Labels.size(), 2u);
    TCanvas3D* C = F.Chart->ChartCanvas();
    C->AssignFont(B->LabelsFont());
    // Labels are centred on their anchor and drawn from right to left.
    for (size_t i = 1; i < Labels.size(); ++i) {
        const int RightEdgeOfNext = Labels[i].X + C->TextWidth(Labels[i].Text) / 2;
        const int LeftEdgeOfPrev = Labels[i - 1].X - C->TextWidth(Labels[i - 1].Text) / 2;
        EXPECT_LT(RightEdgeOfNext, LeftEdgeOfPrev) << Labels[i].Text << " / " << Labels[i - 1].Text;
    }
}

TEST(AxisLabels, AxisTitleIsDrawnOutsideTheLabels)
{
    TChartFixture F;
    F.BindAxes();
    F.Chart->LeftAxis()->SetMinMax(0, 10);
    F.Chart->LeftAxis()->Title()->SetCaption("Flow");
    F.Chart->BottomAxis()->SetMinMax(0, 10);
    F.Chart->BottomAxis()->Title()->SetCaption("Seconds");
    auto& Left = F.Watch(F.Chart->LeftAxis());
    auto& Bottom = F.Watch(F.Chart->BottomAxis());
    F.Render();
    ASSERT_FALSE(Left.empty());
    ASSERT_FALSE(Bottom.empty());
    EXPECT_EQ(Left.front().Text, "Flow");
    EXPECT_EQ(Bottom.front().Text, "Seconds");
    for (size_t i = 1; i < Left.size(); ++i)
        EXPECT_LT(Left.front().X, Left[i].X);
    for (size_t i = 1; i < Bottom.size(); ++i)
        EXPECT_GT(Bottom.front().Y, Bottom[i].Y);
}

// ------------------------------------------------------------------ ticks and grid

// The bottom axis' grid alone on a white chart: 0..60 in steps of 10, the
// left axis 0..1 without a grid, rendered once.
struct TGridFixture : TChartFixture {
    explicit TGridFixture(bool Centered)
    {
        BindAxes();
        Chart->BackWall()->Pen()->SetVisible(false);
        Chart->SetColor(clWhite);
        B = Chart->BottomAxis();
        B->SetMinMax(0, 60);
        B->SetDesiredIncrement(10);
        if (Centered)
            B->SetGridCentered(true);
        Chart->LeftAxis()->SetMinMax(0, 1);
        Chart->LeftAxis()->Grid()->SetVisible(false);
        Image = Render();
        R = Chart->ChartRect;
    }
    // Anything but white in column X near the middle of the chart rectangle.
    bool ColumnHasInk(int X) const
    {
        const int MidY = (R.Top + R.Bottom) / 2;
        for (int Y = MidY - 6; Y <= MidY + 6; ++Y)
            if (PixelOf(*Image, X, Y) != clWhite)
                return true;
        return false;
    }

    TChartAxis* B = nullptr;
    std::unique_ptr<TBitmap> Image;
    TRect R;
};

TEST(AxisGrid, GridLinesOnlyStrictlyInsideTheSpan)
{
    TGridFixture F(false);
    TChartAxis* B = F.B;
    const TRect R = F.R;
    ASSERT_EQ(B->TickPixels().size(), 7u);
    for (size_t i = 1; i + 1 < B->TickPixels().size(); ++i)
        EXPECT_TRUE(F.ColumnHasInk(B->TickPixels()[i])) << B->TickPixels()[i];
    EXPECT_FALSE(F.ColumnHasInk(B->TickPixels().front())) << "no grid line on the last pixel of the span";
    EXPECT_FALSE(F.ColumnHasInk(R.Right + 1));
    // The ticks hang below the axis line.
    EXPECT_NE(PixelOf(*F.Image, B->TickPixels()[3], R.Bottom + 3), clWhite);
    EXPECT_EQ(PixelOf(*F.Image, B->TickPixels()[3] + 4, R.Bottom + 4), clWhite);
}

TEST(AxisGrid, CentredGridFallsBetweenTicks)
{
    TGridFixture F(true);
    TChartAxis* B = F.B;
    const int Between = static_cast<int>(std::lround((B->TickPixels()[2] + B->TickPixels()[3]) * 0.5));
    EXPECT_TRUE(F.ColumnHasInk(Between));
    EXPECT_FALSE(F.ColumnHasInk(B->TickPixels()[3]));
}

// An axis drawn again after the pass at positions of its own: labels, ticks
// and line where asked, with a range and span of its own when given; the
// axis keeps its range, increment, grid and its grid's notification.
TEST(AxisCustomDraw, DrawnAtItsOwnPositionsAndPutBack)
{
    struct Case {
        const char* Name;
        std::function<void(TChartAxis*)> Draw;
        std::vector<std::string> Labels;
        int First, Last;   // pixels of the first and last label (0: the pass's span)
    };
    const std::vector<Case> Cases = {
        {"min max start end",
         [](TChartAxis* A) { A->CustomDrawMinMaxStartEnd(200, 170, 210, false, 0, 1, 0.5, 60, 160); },
         {"1", "0.5", "0"}, 60, 160},
        {"start end", [](TChartAxis* A) { A->CustomDrawStartEnd(200, 170, 210, false, 60, 160); },
         {"100", "80", "60", "40", "20", "0"}, 60, 160},
        {"min max", [](TChartAxis* A) { A->CustomDrawMinMax(200, 170, 210, true, 0, 1, 0.5); },
         {"1", "0.5", "0"}, 0, 0},
        {"own span", [](TChartAxis* A) { A->CustomDraw(200, 170, 210, true); },
         {"100", "80", "60", "40", "20", "0"}, 0, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TChartFixture F;
        F.BindAxes();
        TChartAxis* L = F.Chart->LeftAxis();
        L->SetMinMax(0, 100);
        L->SetDesiredIncrement(20);
        std::vector<TLabel>& Labels = F.Watch(L);
        F.Chart->OnAfterDraw = [&](TObject*) {
            Labels.clear();
            C.Draw(L);
        };
        const auto Image = F.Render();
        const int Top = C.First != 0 ? C.First : F.Chart->ChartRect.Top;
        const int Bottom = C.Last != 0 ? C.Last : F.Chart->ChartRect.Bottom;
        EXPECT_EQ(Texts(Labels), C.Labels);
        ASSERT_EQ(L->TickPixels().size(), C.Labels.size());
        EXPECT_EQ(L->TickPixels().front(), Top);
        EXPECT_EQ(L->TickPixels().back(), Bottom);
        for (const TLabel& Label : Labels)
            EXPECT_LE(Label.X, 200) << Label.Text;
        EXPECT_NE(PixelOf(*Image, 210, (Top + Bottom) / 2), clWhite) << "the axis line";
        EXPECT_EQ(L->Minimum(), 0);
        EXPECT_EQ(L->Maximum(), 100);
        EXPECT_EQ(L->Increment(), 20);
        EXPECT_FALSE(L->Automatic());
        EXPECT_EQ(L->ScaleMin(), 0);
        EXPECT_EQ(L->ScaleMax(), 100);
        EXPECT_TRUE(L->Grid()->Visible());
        EXPECT_TRUE(static_cast<bool>(L->Grid()->OnChange));
    }
}

// ------------------------------------------------------------------ titles

// Records the chart rectangle around the titles and legend step.
class TRecordingChart : public TChart {
public:
    using TChart::TChart;
    void DrawTitlesAndLegend(bool BeforeSeries) override
    {
        if (BeforeSeries)
            Before = ChartRect;
        TChart::DrawTitlesAndLegend(BeforeSeries);
        if (BeforeSeries)
            After = ChartRect;
    }
    TRect Before, After;
};

TEST(ChartTitles, TitleAndFootTakeTheirHeightFromThePlot)
{
    EnsureApplication();
    TRecordingChart Chart(nullptr);
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    Chart.Title()->Frame()->SetVisible(false);
    Chart.Foot()->Frame()->SetVisible(false);
    auto Draw = [&] { Chart.ChCreateBitmap(clWhite, Chart.GetRectangle(), pfDevice); };
    TCanvas3D* C = Chart.ChartCanvas();

    Draw();
    EXPECT_EQ(Chart.After.Top, Chart.Before.Top) << "a title without text takes nothing";

    Chart.Title()->Text()->Add("Flow");
    Draw();
    C->AssignFont(Chart.Title()->Font());
    const int TitleHeight = C->GetFontHeight();
    EXPECT_EQ(Chart.After.Top, Chart.Before.Top + TitleHeight + ChTitleFootDistance);
    EXPECT_EQ(Chart.After.Bottom, Chart.Before.Bottom);

    Chart.Foot()->Text()->Add("one");
    Chart.Foot()->Text()->Add("two");
    Draw();
    C->AssignFont(Chart.Foot()->Font());
    const int FootHeight = C->GetFontHeight();
    EXPECT_EQ(Chart.After.Bottom, Chart.Before.Bottom - ChTitleFootDistance - 2 * FootHeight);
    EXPECT_EQ(Chart.Foot()->ShapeBounds.Bottom, Chart.Before.Bottom);
    EXPECT_EQ(Chart.Foot()->ShapeBounds.Top, Chart.Before.Bottom - 2 * FootHeight);

    // A title placed by hand leaves the plot alone.
    Chart.Title()->SetLeft(10);
    Chart.Foot()->SetVisible(false);
    Draw();
    EXPECT_EQ(Chart.After.Top, Chart.Before.Top);
}

TEST(ChartTitles, PrintedChartTitleIsLeftJustifiedBoldBlack)
{
    TChartFixture Screen;
    Screen.Chart->Title()->SetAlignment(taLeftJustify);
    Screen.Chart->Title()->SetAdjustFrame(false);
    Screen.Chart->Title()->Font()->SetColor(clBlack);
    Screen.Chart->Title()->Font()->SetStyle(TFontStyles{fsBold});
    TChartFixture Report;
    Report.BindAxes();
    Report.Chart->SetTitle(Screen.Chart->Title());
    Report.Chart->SetLegend(Screen.Chart->Legend());
    Report.Chart->Title()->Text()->Clear();
    Report.Chart->Title()->Text()->Add("Airway pressure");
    Report.Chart->Title()->SetVisible(true);
    Report.Chart->BottomAxis()->SetMinMax(0, 10);
    Report.Chart->LeftAxis()->SetMinMax(0, 10);
    auto Image = Report.Render();
    const TRect B = Report.Chart->Title()->ShapeBounds;
    EXPECT_TRUE(Report.Chart->Title()->OnTop());
    EXPECT_FALSE(Report.Chart->Legend()->Visible());
    EXPECT_LT(B.Bottom, Report.Chart->ChartRect.Top);
    // Black ink in the left half of the title box, none in its right half.
    bool LeftInk = false, RightInk = false;
    for (int Y = B.Top; Y < B.Bottom; ++Y)
        for (int X = B.Left; X < B.Right; ++X)
            if (PixelOf(*Image, X, Y) == clBlack)
                (X < (B.Left + B.Right) / 2 ? LeftInk : RightInk) = true;
    EXPECT_TRUE(LeftInk);
    EXPECT_FALSE(RightInk);
}

// ------------------------------------------------------------------ legend

TEST(ChartLegend, VerticalLegendBoxRowsAndPlotGap)
{
    TChartFixture F;
    F.Chart->Legend()->SetVisible(true);
    F.AddSeries(clRed, {{0, 1}, {10, 2}}, "Flow");
    F.AddSeries(clBlue, {{0, 2}, {10, 1}}, "Volume");
    F.AddSeries(clGreen, {{0, 3}, {10, 3}}, "Pressure");
    TRect Before;
    F.Chart->OnGetLegendRect = [&](TCustomChart* C, TRect&) { Before = C->ChartRect; };
    F.Render();
    TCustomChartLegend* L = F.Chart->Legend();
    EXPECT_EQ(L->ResolvedStyle, lsSeries);
    EXPECT_EQ(L->ColumnCount, 1);
    EXPECT_EQ(L->RowCount, 3);
    EXPECT_EQ(L->LastShownValue, 2);

    TCanvas3D* C = F.Chart->ChartCanvas();
    C->AssignFont(L->Font());
    const int S = C->TextWidth(" ");
    const int H = C->GetFontHeight();
    const int W = 2 * S - 1 + C->TextWidth("Pressure");
    const int V = W + 10 + static_cast<int>(std::nearbyint((W + 10) * 0.2));
    const int FrameW = L->Pen()->Width();
    const TRect& B = L->ShapeBounds;
    EXPECT_EQ(B.Right, Before.Right - (L->Shadow()->HorizSize() + FrameW + 1));
    EXPECT_EQ(B.Right - B.Left, V);
    EXPECT_EQ(B.Top, F.Chart->PanelBounds.Top + static_cast<int>(std::nearbyint(0.1 * 300)));
    EXPECT_EQ(B.Bottom - B.Top, 3 * H + 2);
    // The plot ends 3 % of its former width left of the legend.
    EXPECT_EQ(F.Chart->ChartRect.Right, B.Left - 3 * (Before.Right - Before.Left) / 100);

    // Rows hit by the mouse, the row below the last hitting nothing.
    EXPECT_EQ(L->Clicked(B.Left + 5, L->FirstItemTop() + 1 + H / 2), 0);
    EXPECT_EQ(L->Clicked(B.Left + 5, L->FirstItemTop() + 1 + 2 * H + H / 2), 2);
    EXPECT_EQ(L->Clicked(B.Left - 5, B.Top + 3), -1);
    L->SetInverted(true);
    F.Render();
    EXPECT_EQ(L->Clicked(B.Left + 5, L->FirstItemTop() + 1 + H / 2), 2);
}

TEST(ChartLegend, HorizontalLegendSitsBelowThePlotInColumns)
{
    TChartFixture F(500, 300);
    F.Chart->Legend()->SetVisible(true);
    F.Chart->Legend()->SetAlignment(laBottom);
    F.AddSeries(clRed, {{0, 1}, {10, 2}}, "Flow");
    F.AddSeries(clBlue, {{0, 2}, {10, 1}}, "Volume");
    F.AddSeries(clGreen, {{0, 3}, {10, 3}}, "Pressure");
    F.Render();
    TCustomChartLegend* L = F.Chart->Legend();
    EXPECT_EQ(L->ColumnCount, 3);
    EXPECT_EQ(L->RowCount, 1);
    EXPECT_GT(L->ShapeBounds.Top, F.Chart->ChartRect.Bottom);
    EXPECT_LE(L->ShapeBounds.Bottom, F.Chart->PanelBounds.Bottom);
    // Each column answers for its own series.
    const int Y = L->FirstItemTop() + 3;
    const int Column = (L->ShapeBounds.Right - L->ShapeBounds.Left) / 3;
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(L->Clicked(L->ShapeBounds.Left + 2 + c * Column + Column / 2, Y), c);
}

TEST(ChartLegend, NegativeSpacingKeepsItemHeightPositive)
{
    TChartFixture F;
    F.Chart->Legend()->SetVisible(true);
    F.Chart->Legend()->SetVertSpacing(-500);
    F.AddSeries(clRed, {{0, 1}, {10, 2}}, "Flow");
    F.AddSeries(clBlue, {{0, 2}, {10, 1}}, "Volume");
    F.Render();
    EXPECT_EQ(F.Chart->Legend()->CalcItemHeight(), 1);
    EXPECT_LE(F.Chart->Legend()->RowCount, 2);
}

TEST(ChartLegend, OneSeriesListsItsValuesAndColumnsSplit)
{
    TChartFixture F;
    F.Chart->Legend()->SetVisible(true);
    auto* S = F.AddSeries(clRed, {{0, 1}, {10, 2}, {20, 3}});
    S->SetXLabel(1, "mid");
    F.Render();
    TCustomChartLegend* L = F.Chart->Legend();
    EXPECT_EQ(L->ResolvedStyle, lsValues);
    EXPECT_EQ(L->RowCount, 3);
    EXPECT_EQ(F.Chart->FormattedLegend(0), "1");
    EXPECT_EQ(F.Chart->FormattedLegend(1), std::string("2") + ChColumnSeparator + "mid");
    // A third column is dropped.
    F.Chart->OnGetLegendText = [](TCustomAxisPanel*, TLegendStyle, int, std::string& Text) {
        Text = std::string("a") + ChColumnSeparator + "b" + ChColumnSeparator + "c";
    };
    F.Render();
    TCanvas3D* C = F.Chart->ChartCanvas();
    C->AssignFont(L->Font());
    EXPECT_EQ(L->TextColumnWidths[0], C->TextWidth("a"));
    EXPECT_EQ(L->TextColumnWidths[1], C->TextWidth("b"));
}

TEST(ChartLegend, FirstValueBelowZeroIsRefused)
{
    TChartFixture F;
    EXPECT_THROW(F.Chart->Legend()->SetFirstValue(-1), LegendException);
    EXPECT_EQ(F.Chart->Legend()->FirstValue(), 0);
}

// ------------------------------------------------------------------ series

TEST(ChartSeries, LaterSeriesIsDrawnOnTopUntilExchanged)
{
    TChartFixture F;
    F.Chart->BottomAxis()->SetMinMax(0, 10);
    F.Chart->LeftAxis()->SetMinMax(0, 10);
    F.AddSeries(clRed, {{0, 5}, {10, 5}});
    F.AddSeries(clBlue, {{0, 5}, {10, 5}});
    auto Image = F.Render();
    const int X = F.Chart->BottomAxis()->CalcXPosValue(5);
    const int Y = F.Chart->LeftAxis()->CalcYPosValue(5);
    EXPECT_EQ(PixelOf(*Image, X, Y), clBlue);
    F.Chart->ExchangeSeries(0, 1);
    Image = F.Render();
    EXPECT_EQ(PixelOf(*Image, X, Y), clRed);
    // A hidden series draws nothing.
    F.Chart->Series(1)->SetActive(false);
    Image = F.Render();
    EXPECT_EQ(PixelOf(*Image, X, Y), clBlue);
}

TEST(ChartSeries, AutomaticAxesFollowTheData)
{
    TChartFixture F;
    F.AddSeries(clRed, {{0, -2}, {30, 8}});
    F.Render();
    EXPECT_DOUBLE_EQ(F.Chart->BottomAxis()->ScaleMin(), 0);
    EXPECT_DOUBLE_EQ(F.Chart->BottomAxis()->ScaleMax(), 30);
    EXPECT_DOUBLE_EQ(F.Chart->LeftAxis()->ScaleMin(), -2);
    EXPECT_DOUBLE_EQ(F.Chart->LeftAxis()->ScaleMax(), 8);
    EXPECT_FALSE(F.Chart->IsAxisVisible(F.Chart->TopAxis()));
    EXPECT_FALSE(F.Chart->IsAxisVisible(F.Chart->RightAxis()));
}

struct TVisibleCase {
    std::vector<double> X;
    bool IncludeOuter;
    int First, Last;
};

TEST(ChartSeries, VisibleRangeOfOrderedPoints)
{
    const std::vector<TVisibleCase> Cases = {
        {{0, 5, 12, 22}, false, 2, 2},
        {{0, 5, 12, 22}, true, 2, 3},
        {{0, 5, 10, 15, 20, 25}, false, 2, 4},
        {{0, 1, 2}, false, -1, -1},
    };
    for (const TVisibleCase& C : Cases) {
        TChartFixture F;
        F.Chart->BottomAxis()->SetMinMax(10, 20);
        F.Chart->LeftAxis()->SetMinMax(0, 1);
        auto* S = F.AddSeries(clRed, {});
        for (double X : C.X)
            S->AddXY(X, 0.5);
        S->XValues()->SetOrder(loAscending);
        S->IncludeOuterPoint = C.IncludeOuter;
        int Before = 0, After = 0;
        S->BeforeDrawValues = [&](TObject*) { ++Before; };
        S->AfterDrawValues = [&](TObject*) { ++After; };
        F.Render();
        EXPECT_EQ(S->FirstVisibleIndex, C.First);
        EXPECT_EQ(S->LastVisibleIndex, C.Last);
        EXPECT_EQ(Before, C.First == -1 ? 0 : 1);
        EXPECT_EQ(After, Before);
    }
}

TEST(ChartSeries, MarkTextsByStyle)
{
    TChartFixture F;
    auto* S = F.AddSeries(clRed, {{1, 30}, {2, 10}});
    S->SetXLabel(0, "first");
    const std::vector<std::pair<TSeriesMarksStyle, std::string>> Cases = {
        {smsValue, "30"}, {smsLabel, "first"}, {smsLabelValue, "first 30"},
        {smsPercent, "75"}, {smsXValue, "1"}, {smsXY, "1 30"},
    };
    S->SetPercentFormat("0");
    for (const auto& [Style, Text] : Cases) {
        S->Marks()->SetStyle(Style);
        EXPECT_EQ(S->GetMarkText(0), Text) << Style;
    }
    S->Marks()->SetStyle(smsLabel);
    EXPECT_EQ(S->GetMarkText(1), "10") << "a point without label shows its value";
}

TEST(ChartSeries, MarksOnEveryNthPointButNotOnNulls)
{
    TChartFixture F;
    auto* S = F.AddSeries(clRed, {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}});
    S->SetNull(4);
    S->Marks()->SetVisible(true);
    S->Marks()->SetDrawEvery(2);
    F.Render();
    std::vector<int> Marked;
    for (int i = 0; i < S->Count(); ++i)
        if (S->Marks()->Positions().Get(i) != nullptr)
            Marked.push_back(i);
    EXPECT_EQ(Marked, (std::vector<int>{0, 2, 6}));
    // A mark stands centred above its point.
    const TSeriesMarkPosition* P = S->Marks()->Positions().Get(2);
    EXPECT_EQ(P->ArrowEnd.X, S->CalcXPos(2));
    EXPECT_EQ(P->BoxTopLeft.X + P->BoxWidth / 2, P->ArrowEnd.X);
    EXPECT_EQ(P->BoxTopLeft.Y + P->BoxHeight - 1, P->ArrowEnd.Y);
}

TEST(ChartPaging, PagesShowTheirOwnPoints)
{
    TChartFixture F;
    std::vector<std::pair<double, double>> Points;
    for (int i = 0; i < 25; ++i)
        Points.emplace_back(i, i % 5);
    auto* S = F.AddSeries(clRed, Points);
    F.Chart->SetMaxPointsPerPage(10);
    EXPECT_EQ(F.Chart->NumPages(), 3);
    F.Chart->SetPage(99);
    EXPECT_EQ(F.Chart->Page(), 3);
    int First = 0, Last = 0;
    S->CalcFirstLastPage(First, Last);
    EXPECT_EQ(First, 20);
    EXPECT_EQ(Last, 24);
    F.Render();
    EXPECT_DOUBLE_EQ(F.Chart->BottomAxis()->ScaleMin(), 20);
    EXPECT_DOUBLE_EQ(F.Chart->BottomAxis()->ScaleMax(), 24);
    F.Chart->SetScaleLastPage(false);
    F.Render();
    EXPECT_DOUBLE_EQ(F.Chart->BottomAxis()->ScaleMax(), 20 + 4.0 * 10 / 5);
    F.Chart->SetPage(0);
    EXPECT_EQ(F.Chart->Page(), 1);
    EXPECT_THROW(F.Chart->SetMaxPointsPerPage(-1), ChartException);
}

TEST(ChartLegend, RadioCheckBoxLeavesOnlyTheClickedSeriesActive)
{
    TChartFixture F;
    F.Chart->Legend()->SetVisible(true);
    F.Chart->Legend()->SetCheckBoxes(true);
    F.Chart->Legend()->SetCheckBoxesStyle(cbsRadio);
    std::vector<TChartSeries*> Series;
    for (TColor C : {clRed, clBlue, clGreen})
        Series.push_back(F.AddSeries(C, {{0, 1}, {1, 2}}, "S"));
    F.Render();
    TCustomChartLegend* L = F.Chart->Legend();
    const int H = L->CalcItemHeight();
    // Below the last row nothing is toggled.
    EXPECT_FALSE(L->DoMouseDown(L->ShapeBounds.Left + 5, L->FirstItemTop() + 1 + 3 * H + 2));
    EXPECT_TRUE(L->DoMouseDown(L->ShapeBounds.Left + 5, L->FirstItemTop() + 1 + 2 * H + H / 2));
    EXPECT_FALSE(Series[0]->Active());
    EXPECT_FALSE(Series[1]->Active());
    EXPECT_TRUE(Series[2]->Active());
}

TEST(ChartOnForm, PaintsOnItsWindowAndRepaintsAChangedSeries)
{
    EnsureApplication();
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 420, 320);
    auto* Chart = new TChart(&Form);
    Chart->SetParent(&Form);
    Chart->SetBounds(0, 0, 400, 300);
    Chart->SetView3D(false);
    Chart->Legend()->SetVisible(false);
    Chart->BottomAxis()->SetMinMax(0, 10);
    Chart->LeftAxis()->SetMinMax(0, 10);
    auto* S = new TThickLineSeries(&Form);
    S->SetSeriesColor(clRed);
    S->AddXY(0, 5);
    S->AddXY(10, 5);
    Chart->AddSeries(S);
    Chart->Draw();
    const int X = Chart->BottomAxis()->CalcXPosValue(5), Y = Chart->LeftAxis()->CalcYPosValue(5);
    EXPECT_EQ(Chart->Canvas()->Pixels(X, Y), clRed);
    S->SetSeriesColor(clBlue);
    Chart->Draw();
    EXPECT_EQ(Chart->Canvas()->Pixels(X, Y), clBlue);
}

// ------------------------------------------------------------------ a picture

TEST(ChartPicture, TwoSeriesWithTitleLegendAndAxisTitles)
{
    TChartFixture F(480, 320);
    F.Chart->Title()->SetVisible(true);
    F.Chart->Title()->Text()->Add("Flow and volume");
    F.Chart->Legend()->SetVisible(true);
    F.Chart->LeftAxis()->Title()->SetCaption("l/min");
    F.Chart->BottomAxis()->Title()->SetCaption("Seconds");
    F.Chart->BottomAxis()->SetMinMax(0, 10);
    F.Chart->BottomAxis()->SetDesiredIncrement(1);
    F.Chart->LeftAxis()->SetMinMax(-60, 60);
    F.Chart->LeftAxis()->SetDesiredIncrement(20);
    std::vector<std::pair<double, double>> Flow, Volume;
    for (int i = 0; i <= 100; ++i) {
        const double T = i * 0.1;
        Flow.emplace_back(T, 50 * std::sin(T * 1.7));
        Volume.emplace_back(T, 30 * std::cos(T * 1.7) - 10);
    }
    F.AddSeries(clRed, Flow, "Flow");
    F.AddSeries(clBlue, Volume, "Volume");
    auto Image = F.Render();
    Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/chart_two_series.png");
    EXPECT_EQ(F.Chart->Legend()->RowCount, 2);
    EXPECT_LT(F.Chart->Title()->ShapeBounds.Bottom, F.Chart->ChartRect.Top);
    EXPECT_LT(F.Chart->ChartRect.Right, F.Chart->Legend()->ShapeBounds.Left);
}

}  // namespace

namespace {

// The default chart is 3-D: walls on the left and the floor, the back wall
// behind the series, the plot narrowed by the depth.
TEST(ChartPicture, ThreeDimensionalChartKeepsItsPlotInsideThePanel)
{
    TChartFixture F(480, 320);
    F.Chart->SetView3D(true);
    F.Chart->Legend()->SetVisible(true);
    F.AddSeries(clRed, {{0, 1}, {5, 4}, {10, 2}}, "Flow");
    F.AddSeries(clBlue, {{0, 3}, {5, 1}, {10, 4}}, "Volume");
    auto Image = F.Render();
    Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/chart_3d.png");
    const TRect R = F.Chart->ChartRect;
    EXPECT_GT(F.Chart->DepthWidth, 0);
    EXPECT_GT(R.Right - R.Left, 100);
    EXPECT_GE(R.Left, F.Chart->PanelBounds.Left);
    EXPECT_LE(R.Right + F.Chart->DepthWidth, F.Chart->PanelBounds.Right);
}

}  // namespace
