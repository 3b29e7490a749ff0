// Bar series layout: slots and bar widths, places side by side and in stack
// groups, stacked positions and origins, value ranges, depth and one mode
// for every bar series of a chart.
#include "chart/SeriesBar.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A 2-D chart whose category axis spans 500 pixels (0 .. 500) and whose
// value axis spans 300 pixels, both fixed.
struct TBarRig {
    TBarRig()
    {
        Chart.SetView3D(false);
        Chart.LayOut({0, 0, 500, 300});
        Chart.BottomAxis()->SetMinMax(-1, 4);
        Chart.LeftAxis()->SetMinMax(-10, 10);
    }
    template <class TKind = TBarSeries>
    TKind* Add(std::vector<double> Values)
    {
        Series.push_back(std::make_unique<TKind>(nullptr));
        TKind* S = static_cast<TKind*>(Series.back().get());
        for (double V : Values)
            S->Add(V);
        Chart.AddSeries(S);
        return S;
    }
    // What a drawing pass does before it places points.
    void Prepare()
    {
        for (TChartAxis* A : {Chart.BottomAxis(), Chart.LeftAxis()}) {
            A->InternalCalcPositions();
            A->AdjustMaxMin();
        }
        for (auto& S : Series)
            S->DoBeforeDrawChart();
        for (auto& S : Series) {
            int First = 0, Second = 0;
            S->CalcHorizMargins(First, Second);
            Margins.push_back(First);
        }
    }
    int PX(double X) { return Chart.BottomAxis()->CalcXPosValue(X); }
    int PY(double Y) { return Chart.LeftAxis()->CalcYPosValue(Y); }

    TCountingChart Chart;
    std::vector<std::unique_ptr<TCustomBarSeries>> Series;
    std::vector<int> Margins;
};

} // namespace

// Three series of four points side by side: five slots of 100 pixels, bars
// of 70 div 3 = 23 made even, each series' bar left of the next.
TEST(BarLayout, SideBySideSlotsWidthsAndPlaces)
{
    TBarRig Rig;
    TCustomBarSeries* S[3];
    for (auto*& One : S)
        One = Rig.Add({1, 2, 3, 4});
    Rig.Prepare();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(S[i]->SlotCount(), 5);
        EXPECT_EQ(S[i]->BarCount(), 3);
        EXPECT_EQ(S[i]->BarIndex(), i + 1);
        EXPECT_EQ(S[i]->BarPixels(), 24);
        EXPECT_EQ(Rig.Margins[static_cast<size_t>(i)], 72);
    }
    const int Category = Rig.PX(2);
    EXPECT_EQ(S[0]->CalcXPos(2), Category - 36);
    EXPECT_EQ(S[1]->CalcXPos(2), Category - 12);
    EXPECT_EQ(S[2]->CalcXPos(2), Category + 12);

    for (TCustomBarSeries* One : S)
        One->SetBarWidthPercent(100);
    Rig.Prepare();
    EXPECT_EQ(S[1]->CalcXPos(2), S[0]->CalcXPos(2) + S[0]->BarPixels()) << "full width: neighbours touch";
    S[0]->SetOffsetPercent(50);
    EXPECT_EQ(S[0]->CalcXPos(2), Category - 51 + 17) << "shifted by half a bar";
}

TEST(BarLayout, WidthFromSlotsOrAxisRangeOrFixed)
{
    struct TCase {
        const char* Name;
        int Series;
        bool SideMargins;
        bool AutoBarSize;
        int Custom;
        int Pixels;
    };
    // Five points a series on a 500-pixel axis from -1 to 4.
    const TCase Cases[] = {
        {"two series", 2, true, false, 0, 30},        // 6 slots of 83: 58 div 2 = 29, made even
        {"no side margins", 1, false, false, 0, 70},  // 5 slots of 100
        {"axis range", 1, true, true, 0, 50},         // a slot of 500 / (4 + 2 + 1) = 71
        {"fixed", 1, true, false, 17, 17},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TBarRig Rig;
        TCustomBarSeries* First = nullptr;
        for (int s = 0; s < C.Series; ++s) {
            auto* S = Rig.Add({1, 2, 3, 4, 5});
            if (First == nullptr)
                First = S;
        }
        First->SetSideMargins(C.SideMargins);
        First->SetAutoBarSize(C.AutoBarSize);
        First->SetCustomBarSize(C.Custom);
        Rig.Prepare();
        EXPECT_EQ(First->BarPixels(), C.Pixels);
        EXPECT_EQ(Rig.Margins[0], C.SideMargins ? C.Pixels * C.Series : C.Pixels * C.Series / 2);
    }
}

// Stacked bars stand side by side only between stack groups.
TEST(BarLayout, StackGroupsShareAPlace)
{
    TBarRig Rig;
    TCustomBarSeries* S[3];
    for (auto*& One : S)
        One = Rig.Add({1, 2, 3, 4});
    S[0]->SetMultiBar(mbStacked);
    S[2]->SetStackGroup(1);
    Rig.Prepare();
    EXPECT_EQ(S[0]->BarCount(), 2);
    EXPECT_EQ(S[0]->BarIndex(), 1);
    EXPECT_EQ(S[1]->BarIndex(), 1);
    EXPECT_EQ(S[2]->BarIndex(), 2);
    EXPECT_EQ(S[0]->CalcXPos(1), S[1]->CalcXPos(1));
    EXPECT_EQ(S[2]->CalcXPos(1), S[0]->CalcXPos(1) + S[0]->BarPixels());
}

TEST(BarStacking, ValuesAndOriginsBySignAndGroup)
{
    TBarRig Rig;
    auto* A = Rig.Add({2});
    auto* B = Rig.Add({-1});
    auto* C = Rig.Add({3});
    A->SetMultiBar(mbStacked);
    Rig.Prepare();
    EXPECT_EQ(A->CalcYPos(0), Rig.PY(2));
    EXPECT_EQ(B->CalcYPos(0), Rig.PY(-1));
    EXPECT_EQ(C->CalcYPos(0), Rig.PY(5));
    EXPECT_EQ(C->GetOriginPos(0), Rig.PY(2));
    EXPECT_EQ(B->GetOriginPos(0), Rig.PY(0));
    EXPECT_EQ(C->MaxYValue(), 5);
    EXPECT_EQ(B->MinYValue(), -1);
    C->SetStackGroup(1);
    EXPECT_EQ(C->CalcYPos(0), Rig.PY(3)) << "another group starts from 0";
}

// A 100 % category whose values sum to 0 lies on the value axis' pixel of
// 0, not on the panel's pixel 0.
TEST(BarStacking, FullStackOfZeroesLiesOnTheValueAxisZero)
{
    TBarRig Rig;
    Rig.Chart.LeftAxis()->SetMinMax(-50, 150);
    auto* A = Rig.Add({0, 1});
    auto* B = Rig.Add({0, 3});
    A->SetMultiBar(mbStacked100);
    Rig.Prepare();
    for (TCustomBarSeries* S : {static_cast<TCustomBarSeries*>(A), static_cast<TCustomBarSeries*>(B)}) {
        EXPECT_EQ(S->CalcYPos(0), Rig.PY(0));
        EXPECT_EQ(S->GetOriginPos(0), Rig.PY(0));
    }
    EXPECT_NE(Rig.PY(0), 0);
    EXPECT_EQ(A->CalcYPos(1), Rig.PY(25));
    EXPECT_EQ(B->CalcYPos(1), Rig.PY(100));
    EXPECT_EQ(B->GetOriginPos(1), Rig.PY(25));
    EXPECT_EQ(A->MaxYValue(), 100);
    EXPECT_EQ(A->MinYValue(), 0);
}

TEST(BarStacking, SelfStackAndOriginInTheRange)
{
    TBarRig Rig;
    auto* A = Rig.Add({2, 3, 4});
    EXPECT_EQ(A->MinYValue(), 0) << "the origin stays in the range";
    A->SetYOrigin(1);
    EXPECT_EQ(A->MinYValue(), 1);
    A->SetUseYOrigin(false);
    EXPECT_EQ(A->MinYValue(), 2);
    A->SetMultiBar(mbSelfStack);
    EXPECT_FALSE(A->CalcVisibleRange);
    EXPECT_EQ(A->MaxYValue(), 9);
    Rig.Prepare();
    EXPECT_EQ(A->CalcYPos(2), Rig.PY(9));
    EXPECT_EQ(A->GetOriginPos(2), Rig.PY(5));
    EXPECT_EQ(A->MinXValue(), 0) << "the series' place in the list";
    EXPECT_EQ(A->CalcXPos(0), A->CalcXPos(2));
}

// The mode is one for the chart: set on one series it reaches the others,
// and a new series takes it from the first.
TEST(BarLayout, OneModeForEveryBarSeries)
{
    TBarRig Rig;
    auto* A = Rig.Add({1});
    auto* B = Rig.Add({1});
    auto* H = Rig.Add<THorizBarSeries>({1});
    B->SetMultiBar(mbStacked);
    EXPECT_EQ(A->MultiBar(), mbStacked);
    EXPECT_EQ(H->MultiBar(), mbSide) << "another kind keeps its own";
    A->SetSideMargins(false);
    EXPECT_FALSE(B->SideMargins());
    auto* C = Rig.Add({1});
    EXPECT_EQ(C->MultiBar(), mbStacked);
    EXPECT_FALSE(C->SideMargins());
}

TEST(BarLayout, DepthPercentMovesBothEndsInwards)
{
    TBarRig Rig;
    auto* A = Rig.Add({1});
    A->SetDepth(20);
    A->SetDepthPercent(50);
    A->CalcDepthPositions();
    EXPECT_EQ(A->StartZ, 5);
    EXPECT_EQ(A->EndZ, 15);
}

TEST(BarLayout, DefaultsOfANewBarSeries)
{
    TBarSeries B(nullptr);
    EXPECT_EQ(B.MultiBar(), mbSide);
    EXPECT_EQ(B.BarWidthPercent(), 70);
    EXPECT_TRUE(B.UseYOrigin());
    EXPECT_TRUE(B.SideMargins());
    EXPECT_TRUE(B.Marks()->Visible());
    EXPECT_EQ(B.Marks()->ArrowLength(), 20);
    EXPECT_TRUE(B.Gradient()->Visible());
    EXPECT_EQ(B.Gradient()->Direction(), gdTopBottom);
    THorizBarSeries H(nullptr);
    EXPECT_FALSE(H.YMandatory());
    EXPECT_EQ(H.Gradient()->Direction(), gdLeftRight);
}

// ------------------------------------------------------------------ drawing

namespace {

// A 2-D chart on a white page without title, walls or grid: categories 0
// to 3 along the bottom, values -10 to 10 up the left.
struct TBarPicture : TFormChartRig {
    TBarPicture()
    {
        Chart->SetColor(clWhite);
        Chart->BackWall()->SetVisible(false);
        Chart->Title()->SetVisible(false);
        Chart->LeftAxis()->Grid()->SetVisible(false);
        Chart->BottomAxis()->Grid()->SetVisible(false);
        Chart->LeftAxis()->SetMinMax(-10, 10);
        Chart->BottomAxis()->SetMinMax(-1, 4);
    }
    template <class TKind = TBarSeries>
    TKind* Add(std::vector<double> Values, TColor Color = clRed)
    {
        auto* S = new TKind(Form.get());
        S->SetSeriesColor(Color);
        S->Marks()->SetVisible(false);
        for (double V : Values)
            S->Add(V);
        Chart->AddSeries(S);
        return S;
    }
    void Render() { Image = Chart->ChCreateBitmap(clWhite, Chart->GetRectangle(), pfDevice); }
    TColor At(int X, int Y) { return PixelOf(*Image, X, Y); }
    void Save(const std::string& Name) { Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/" + Name); }
    std::unique_ptr<TBitmap> Image;
};

} // namespace

TEST(BarDrawing, EveryStyleFlatAndIn3DForAPerson)
{
    for (bool Is3D : {false, true}) {
        TBarPicture Rig;
        Rig.Form->SetBounds(0, 0, 920, 320);
        Rig.Chart->SetBounds(0, 0, 900, 300);
        Rig.Chart->SetView3D(Is3D);
        Rig.Chart->BottomAxis()->SetMinMax(-1, 11);
        auto* S = Rig.Add({3, 5, 7, 9, 6, 4, 8, 5, 7, 3, 6});
        S->SetColorEachPoint(true);
        S->TickLines()->SetVisible(true);
        S->OnGetBarStyle = [](TCustomBarSeries*, int ValueIndex, TBarStyle& Style) {
            Style = static_cast<TBarStyle>(ValueIndex);
        };
        Rig.Render();
        Rig.Save(Is3D ? "bar_styles_3d.png" : "bar_styles_2d.png");
    }
    TBarPicture Rig;
    TCustomBarSeries* S[3];
    for (int i = 0; i < 3; ++i)
        S[i] = Rig.Add({2, -3, 4, 1}, i == 0 ? clRed : i == 1 ? clGreen : clBlue);
    S[0]->SetMultiBar(mbStacked);
    Rig.Render();
    Rig.Save("bar_stacked.png");
    TBarPicture Horiz;
    for (int i = 0; i < 2; ++i)
        Horiz.Add<THorizBarSeries>({2, -3, 4, 1}, i == 0 ? clRed : clBlue);
    Horiz.Chart->LeftAxis()->SetMinMax(-1, 4);
    Horiz.Chart->BottomAxis()->SetMinMax(-10, 10);
    Horiz.Render();
    Horiz.Save("bar_horizontal.png");
}
