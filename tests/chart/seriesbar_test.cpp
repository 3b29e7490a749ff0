// Bar series layout: slots and bar widths, places side by side and in stack
// groups, stacked positions and origins, value ranges, depth and one mode
// for every bar series of a chart.
#include "chart/ChMarks.h"
#include "chart/SeriesBar.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
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
    // A new bar series stores none of its own properties.
    for (const char* Name : {"BarWidthPercent", "MultiBar", "SideMargins", "UseYOrigin", "CustomBarWidth"}) {
        const TPropInfo* Info = GetPropInfo(&B, Name);
        ASSERT_NE(Info, nullptr) << Name;
        EXPECT_TRUE(Info->IsDefault(&B)) << Name;
    }
    EXPECT_NE(GetPropInfo(&H, "CustomBarHeight"), nullptr);
    EXPECT_EQ(GetPropInfo(&H, "CustomBarWidth"), nullptr);
    B.SetMultiBar(mbStacked);
    EXPECT_FALSE(GetPropInfo(&B, "MultiBar")->IsDefault(&B));
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

// A bar equal to its origin is a line in the brush colour; a bar narrower
// than its pen is drawn hollow with the pen in the brush colour.
TEST(BarDrawing, FlatBarIsALineAndAThinBarIsHollow)
{
    TBarPicture Rig;
    auto* S = Rig.Add({0, 5});
    Rig.Render();
    const int Mid = S->CalcXPos(0) + S->BarPixels() / 2;
    EXPECT_EQ(Rig.At(Mid, Rig.PY(0)), clRed) << "the flat bar";
    EXPECT_EQ(Rig.At(S->CalcXPos(1), Rig.PY(2)), clBlack) << "a tall bar keeps its black outline";

    S->SetCustomBarSize(1);
    S->BarPen()->SetWidth(4);
    Rig.Render();
    int Black = 0, Red = 0;
    for (int X = S->CalcXPos(1) - 3; X <= S->CalcXPos(1) + 5; ++X) {
        Black += Rig.At(X, Rig.PY(2)) == clBlack;
        Red += Rig.At(X, Rig.PY(2)) == clRed;
    }
    EXPECT_EQ(Black, 0) << "the pen takes the brush colour";
    EXPECT_GT(Red, 0);
}

TEST(BarDrawing, FullWidthBarsTouchTheirNeighbours)
{
    TBarPicture Rig;
    auto* S = Rig.Add({5, 5, 5});
    S->SetBarWidthPercent(100);
    S->BarPen()->SetVisible(false);
    S->SetColorEachPoint(true);
    Rig.Render();
    for (int X = S->CalcXPos(0); X < S->CalcXPos(2) + S->BarPixels(); ++X)
        ASSERT_NE(Rig.At(X, Rig.PY(2)), clWhite) << X;
    EXPECT_EQ(Rig.At(S->CalcXPos(2) + S->BarPixels() + 1, Rig.PY(2)), clWhite) << "the last bar is as wide as its width + 1";
}

TEST(BarDrawing, TickLinesOnlyStrictlyInsideTheBar)
{
    TBarPicture Rig;
    auto* S = Rig.Add({6});
    S->TickLines()->SetVisible(true);
    S->TickLines()->SetColor(clBlue);
    Rig.Render();
    const int Mid = S->CalcXPos(0) + S->BarPixels() / 2;
    ASSERT_FALSE(Rig.Chart->LeftAxis()->TickPixels().empty());
    int Inside = 0;
    for (int T : Rig.Chart->LeftAxis()->TickPixels()) {
        if (Rig.PY(6) < T && T < Rig.PY(0)) {
            EXPECT_EQ(Rig.At(Mid, T), clBlue) << T;
            ++Inside;
        } else
            EXPECT_NE(Rig.At(Mid, T), clBlue) << T;
    }
    EXPECT_GT(Inside, 0);
}

TEST(BarHitTest, PyramidOnlyInsideItsTriangle)
{
    TBarPicture Rig;
    auto* S = Rig.Add({8, 4});
    S->SetBarStyle(bsPyramid);
    Rig.Render();
    const int Left = S->CalcXPos(0), W = S->BarPixels();
    EXPECT_EQ(S->Clicked(Left + W / 2, Rig.PY(2)), 0) << "inside the triangle";
    EXPECT_EQ(S->Clicked(Left + 1, Rig.PY(7)), -1) << "in the rectangle, outside the triangle";
    S->SetBarStyle(bsRectangle);
    EXPECT_EQ(S->Clicked(Left + 1, Rig.PY(7)), 0) << "a box is hit anywhere in it";
    EXPECT_EQ(S->Clicked(S->CalcXPos(1) + W / 2, Rig.PY(6)), -1) << "above a lower bar";
    EXPECT_EQ(S->Clicked(S->CalcXPos(1) + W / 2, Rig.PY(3)), 1);
}

TEST(BarMarks, NegativeBarsHaveTheirMarksBelow)
{
    TBarPicture Rig;
    auto* S = Rig.Add({5, -5});
    S->Marks()->SetVisible(true);
    Rig.Render();
    Rig.Save("bar_marks.png");
    const TSeriesMarkPosition* Up = S->Marks()->Positions().Get(0);
    const TSeriesMarkPosition* Down = S->Marks()->Positions().Get(1);
    ASSERT_NE(Up, nullptr);
    ASSERT_NE(Down, nullptr);
    EXPECT_LT(Up->BoxTopLeft.Y + Up->BoxHeight, Rig.PY(5));
    EXPECT_GT(Down->BoxTopLeft.Y, Rig.PY(-5));
    EXPECT_EQ(Up->BoxTopLeft.X + Up->BoxWidth / 2, S->CalcXPos(0) + S->BarPixels() / 2) << "centred on the bar";
}

// A relative gradient ends each bar at its value's share of the way from
// the start colour to the bar colour; values that do not spread end in the
// full colour.
TEST(BarGradientColour, RelativeShareOfTheValueRange)
{
    struct TCase {
        const char* Name;
        std::vector<double> Values;
        bool UseOrigin;
        int Index;
        TColor Expected;
    };
    const TCase Cases[] = {
        {"half way", {0, 50, 100}, true, 1, RGB(127, 127, 255)},
        {"largest", {0, 50, 100}, true, 2, RGB(0, 0, 255)},
        {"at the origin", {0, 50, 100}, true, 0, clWhite},
        {"all equal", {5, 5, 5}, false, 1, RGB(0, 0, 255)},
        {"all at the origin", {0, 0}, true, 1, RGB(0, 0, 255)},
        // Below the origin the share is negative: each channel stops at 255.
        {"below the origin", {-50, 0, 100}, true, 0, clWhite},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TBarPicture Rig;
        Rig.Chart->LeftAxis()->SetMinMax(-60, 110);
        auto* S = Rig.Add(C.Values, RGB(0, 0, 255));
        S->SetBarStyle(bsRectGradient);
        S->SetUseYOrigin(C.UseOrigin);
        S->Gradient()->SetStartColor(clWhite);
        S->Gradient()->SetRelative(true);
        Rig.Render();
        EXPECT_EQ(S->CalcGradientColor(C.Index), C.Expected);
    }
}

TEST(BarLayout, GalleryEntries)
{
    TBarSeries S(nullptr);
    std::vector<std::string> Names;
    S.CreateSubGallery([&](const std::string& Name) -> TCustomAxisPanel* {
        Names.push_back(Name);
        return nullptr;
    });
    const std::vector<std::string> Expected{"Normal", "Colors", "Pyramid", "Ellipse", "Inv. Pyramid", "Gradient",
                                            "Stack", "Stack 100%", "Self Stacked", "Sides", "Side All"};
    EXPECT_EQ(Names, Expected);
    S.SetSubGallery(4);
    EXPECT_EQ(S.BarStyle(), bsInvPyramid);
    S.SetSubGallery(8);
    EXPECT_EQ(S.MultiBar(), mbSelfStack);
    S.SetSubGallery(10);
    EXPECT_EQ(S.MultiBar(), mbSideAll);
}
