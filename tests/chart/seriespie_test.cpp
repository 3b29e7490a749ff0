// Pie series: slice angles, the "Other" slice, several pies on one chart,
// the darkened slice pen, the hit test of exploded slices, and pictures.
#include "chart/ChLegend.h"
#include "chart/Chart.h"
#include "chart/SeriesPie.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

double Degrees(double Radians) { return Radians * 180 / std::numbers::pi; }

// A pie of the given values on a counting chart, its visible range and
// angles computed as a drawing pass does.
struct TPieRig {
    explicit TPieRig(std::vector<double> Values)
    {
        Chart.SetView3D(false);
        Chart.LayOut({0, 0, 400, 300});
        Pie = std::make_unique<TPieSeries>(nullptr);
        for (double V : Values)
            Pie->Add(V);
        Chart.AddSeries(Pie.get());
    }
    ~TPieRig() { Chart.RemoveSeries(Pie.get()); }
    void Prepare()
    {
        Pie->DoBeforeDrawChart();
        Pie->CalcFirstLastVisibleIndex();
        Pie->CalcAngles();
    }
    std::vector<double> EndDegrees()
    {
        std::vector<double> Result;
        for (const TPieAngle& A : Pie->Angles())
            Result.push_back(std::round(Degrees(A.EndAngle) * 1000) / 1000);
        return Result;
    }
    TCountingChart Chart;
    std::unique_ptr<TPieSeries> Pie;
};

// A pie on a form chart drawn into a bitmap.
struct TPiePicture : TFormChartRig {
    TPiePicture()
    {
        Chart->SetColor(clWhite);
        Chart->BackWall()->SetVisible(false);
        Chart->Title()->SetVisible(false);
    }
    TPieSeries* Add(std::vector<double> Values)
    {
        auto* S = new TPieSeries(Form.get());
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

TEST(PieAngles, SlicesShareTheAngleByTheirValues)
{
    struct TCase {
        std::vector<double> Values;
        int AngleSize;
        std::vector<double> Ends;
    };
    const TCase Cases[] = {
        {{10, 20, 30, 40}, 360, {36, 108, 216, 360}},
        {{1, 1, 2}, 180, {45, 90, 180}},
        {{-1, 1, 2}, 180, {45, 90, 180}},     // absolute values
        {{0, 0, 0}, 360, {360, 360, 360}},     // the first slice covers all, the others are empty
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.AngleSize);
        TPieRig Rig(C.Values);
        Rig.Pie->SetAngleSize(C.AngleSize);
        Rig.Prepare();
        EXPECT_EQ(Rig.EndDegrees(), C.Ends);
        EXPECT_EQ(Rig.Pie->Angles()[0].StartAngle, 0);
    }
}

TEST(PieOtherSlice, SmallValuesAreGroupedIntoOneSlice)
{
    TPieRig Rig({5, 20, 3, 40});
    Rig.Pie->OtherSlice()->SetStyle(poBelowValue);
    Rig.Pie->OtherSlice()->SetValue(6);
    Rig.Prepare();
    ASSERT_EQ(Rig.Pie->Count(), 5);
    EXPECT_TRUE(Rig.Pie->BelongsToOtherSlice(0));
    EXPECT_FALSE(Rig.Pie->BelongsToOtherSlice(1));
    EXPECT_TRUE(Rig.Pie->BelongsToOtherSlice(2));
    EXPECT_EQ(Rig.Pie->YValues()->Value(4), 8);
    EXPECT_EQ(Rig.Pie->XLabel(4), "Other");
    // 20 + 40 + 8 = 68 share the turn; grouped points get empty slices.
    const std::vector<TPieAngle>& A = Rig.Pie->Angles();
    EXPECT_EQ(A[0].EndAngle, A[0].StartAngle);
    EXPECT_NEAR(Degrees(A[1].EndAngle), 20 * 360 / 68.0, 1e-9);
    EXPECT_NEAR(Degrees(A[4].EndAngle), 360, 1e-9);
    // The next pass regroups from the plain values: one "Other" slice only.
    Rig.Pie->OtherSlice()->SetText("Rest");
    Rig.Prepare();
    EXPECT_EQ(Rig.Pie->Count(), 5);
    EXPECT_EQ(Rig.Pie->XLabel(4), "Rest");
    EXPECT_EQ(Rig.Pie->YValues()->TotalABS(), 68) << "percentages count the grouped points once";
    EXPECT_EQ(Rig.Pie->MarkPercent(4, false), FormatFloat(Rig.Pie->PercentFormat(), 800 / 68.0));
    EXPECT_EQ(Rig.Pie->CountLegendItems(), 3) << "the legend leaves the grouped points out";
    EXPECT_EQ(Rig.Pie->LegendToValueIndex(0), 1);
    EXPECT_EQ(Rig.Pie->LegendToValueIndex(2), 4);
    Rig.Pie->OtherSlice()->SetStyle(poBelowPercent);
    Rig.Pie->OtherSlice()->SetValue(10);
    Rig.Prepare();
    EXPECT_EQ(Rig.Pie->YValues()->Value(4), 8) << "5 and 3 of 68 are below 10 %";
}

TEST(PieOtherSlice, TheOtherPointIsNeverStored)
{
    TPieRig Rig({5, 20, 3, 40});
    Rig.Pie->OtherSlice()->SetStyle(poBelowValue);
    Rig.Pie->OtherSlice()->SetValue(6);
    Rig.Prepare();
    ASSERT_EQ(Rig.Pie->Count(), 5);
    TMemoryStream M;
    Rig.Pie->WriteData(&M);
    M.SetPosition(0);
    TPieSeries Back(nullptr);
    Back.ReadData(&M);
    ASSERT_EQ(Back.Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Back.YValues()->Value(i), std::vector<double>({5, 20, 3, 40})[static_cast<size_t>(i)]);
}

// The chart's legend lists the slices drawn; the other slice's own legend
// lists the points grouped into it.
TEST(PieOtherSlice, ItsOwnLegendListsTheGroupedPoints)
{
    TPiePicture Rig;
    Rig.Chart->Legend()->SetVisible(true);
    auto* S = Rig.Add({5, 20, 3, 40});
    S->SetValueColor(0, RGB(250, 0, 0));
    S->OtherSlice()->SetStyle(poBelowValue);
    S->OtherSlice()->SetValue(6);
    TChartLegend* Own = S->OtherSlice()->Legend();
    ASSERT_NE(Own, nullptr);
    EXPECT_FALSE(Own->Visible()) << "made hidden";
    EXPECT_EQ(Own->Series(), S);
    Own->SetVisible(true);
    Own->SetAlignment(laLeft);
    Rig.Render();
    Rig.Save("pie_other_legend.png");
    EXPECT_EQ(Rig.Chart->Legend()->ItemCount, 3) << "20, 40 and the \"Other\" slice";
    EXPECT_EQ(Own->ItemCount, 2) << "5 and 3";
    EXPECT_EQ(Rig.Chart->SeriesOwnLegend, nullptr) << "cleared after drawing";
    // Its first symbol shows the first grouped point's colour.
    const TRect R = Own->RectLegend();
    ASSERT_LT(R.Left, R.Right);
    int Red = 0;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left; X < R.Right; ++X)
            Red += Rig.At(X, Y) == RGB(250, 0, 0);
    EXPECT_GT(Red, 5);

    // A copied pie copies the legend onto its own chart.
    auto* Copy = Rig.Add({1});
    Copy->Assign(S);
    ASSERT_TRUE(Copy->OtherSlice()->HasLegend());
    EXPECT_NE(Copy->OtherSlice()->Legend(), Own);
    EXPECT_EQ(Copy->OtherSlice()->Legend()->Alignment(), laLeft);
    EXPECT_EQ(Copy->OtherSlice()->Legend()->Series(), Copy);

    // The legend follows the series to another chart, settings kept.
    TChart Other(Rig.Form.get());
    Rig.Chart->RemoveSeries(S);
    Other.AddSeries(S);
    ASSERT_NE(S->OtherSlice()->Legend(), nullptr);
    EXPECT_EQ(S->OtherSlice()->Legend()->Alignment(), laLeft);
    EXPECT_TRUE(S->OtherSlice()->Legend()->Visible());
    S->OtherSlice()->SetLegend(nullptr);
    EXPECT_FALSE(S->OtherSlice()->HasLegend());
}

TEST(PieLayout, SeveralPiesShareTheChartInAGrid)
{
    struct TCase {
        int Pies;
        int Cols;
        int Rows;
    };
    for (const TCase& C : {TCase{2, 1, 2}, TCase{3, 2, 2}, TCase{4, 2, 2}, TCase{5, 2, 3}}) {
        SCOPED_TRACE(C.Pies);
        TCountingChart Chart;
        Chart.SetView3D(false);
        Chart.LayOut({0, 0, 600, 600});
        std::vector<std::unique_ptr<TPieSeries>> Pies;
        for (int i = 0; i < C.Pies; ++i) {
            Pies.push_back(std::make_unique<TPieSeries>(nullptr));
            Pies.back()->Marks()->SetVisible(false);
            Pies.back()->Add(1);
            Chart.AddSeries(Pies.back().get());
        }
        TPieSeries* Last = Pies.back().get();
        Last->DoBeforeDrawValues();
        const int K = C.Pies - 1, W = 600 / C.Cols, H = 600 / C.Rows;
        const TRect Cell{(K % C.Cols) * W, (K / C.Cols) * H, (K % C.Cols + 1) * W, (K / C.Cols + 1) * H};
        EXPECT_EQ(Chart.ChartRect, Cell);
        EXPECT_EQ(Last->CircleCentre(), (TPoint{(Cell.Left + Cell.Right) / 2, (Cell.Top + Cell.Bottom) / 2}));
        Last->DoAfterDrawValues();
        EXPECT_EQ(Chart.ChartRect, (TRect{0, 0, 600, 600})) << "the chart gets its rectangle back";
        for (auto& P : Pies)
            Chart.RemoveSeries(P.get());
    }
}

TEST(PieDrawing, DarkPenOutlinesEachSliceInItsColourDarkened)
{
    TPiePicture Rig;
    auto* S = Rig.Add({1});
    S->Marks()->SetVisible(false);
    S->SetColorEachPoint(false);
    S->SetSeriesColor(RGB(200, 100, 50));
    S->SetDarkPen(100);
    Rig.Render();
    const TPoint C = S->CircleCentre();
    TColor Edge = clWhite;
    for (int X = S->CircleRect().Right + 2; X > C.X && Edge == clWhite; --X)
        Edge = Rig.At(X, C.Y);
    EXPECT_EQ(Edge, ApplyDark(RGB(200, 100, 50), 155));
    EXPECT_EQ(Rig.At(C.X - 10, C.Y + 10), RGB(200, 100, 50));
}

// A slice is hit within its reach: the distance of (radius x + its offset
// x, radius y + its offset y) from the centre, so an exploded slice reaches
// further than a plain one.
TEST(PieHitTest, ClickBeyondTheCircleHitsAnExplodedSlice)
{
    TPiePicture Rig;
    auto* S = Rig.Add({1, 1});
    S->Marks()->SetVisible(false);
    S->ExplodedSlice().SetValue(0, 30);
    Rig.Render();
    const TPoint C = S->CircleCentre();
    const double RX = S->XRadius(), RY = S->YRadius();
    const double Plain = std::hypot(RX, RY), Exploded = std::hypot(RX, RY + std::round(RY * 0.3));
    const int D = static_cast<int>((Plain + Exploded) / 2);
    EXPECT_EQ(S->Clicked(C.X, C.Y - D), 0) << "above the centre: the exploded upper half";
    EXPECT_EQ(S->Clicked(C.X, C.Y + D), -1) << "below: beyond the plain lower half's reach";
    EXPECT_EQ(S->Clicked(C.X + 1, C.Y + static_cast<int>(RY / 2)), 1);
}

TEST(PieDrawing, PiesForAPerson)
{
    struct TPicture {
        const char* File;
        bool Is3D;
        std::function<void(TPiePicture&)> Build;
    };
    const std::vector<double> Values{30, 20, 15, 12, 8, 5, 4, 3, 2, 1};
    const TPicture Pictures[] = {
        {"pie_flat.png", false, [&](TPiePicture& R) { R.Add(Values); }},
        {"pie_3d.png", true, [&](TPiePicture& R) { R.Add(Values); }},
        {"pie_exploded_3d.png", true, [&](TPiePicture& R) { R.Add(Values)->SetExplodeBiggest(30); }},
        {"pie_donut.png", false, [&](TPiePicture& R) { R.Add(Values)->SetDonutPercent(50); }},
        {"pie_semi.png", false, [&](TPiePicture& R) { R.Add(Values)->SetAngleSize(180); }},
        {"pie_patterns.png", false, [&](TPiePicture& R) { R.Add(Values)->SetUsePatterns(true); }},
        {"pie_other.png", false,
         [&](TPiePicture& R) {
             auto* S = R.Add(Values);
             S->OtherSlice()->SetStyle(poBelowValue);
             S->OtherSlice()->SetValue(5);
         }},
        {"pie_three.png", false,
         [&](TPiePicture& R) {
             for (int i = 0; i < 3; ++i)
                 R.Add({10.0 + i, 20, 30})->Marks()->SetVisible(false);
         }},
    };
    for (const TPicture& P : Pictures) {
        SCOPED_TRACE(P.File);
        TPiePicture Rig;
        Rig.Chart->SetView3D(P.Is3D);
        P.Build(Rig);
        Rig.Render();
        Rig.Save(P.File);
        int Inked = 0;
        for (int Y = 0; Y < Rig.Image->Height(); Y += 3)
            for (int X = 0; X < Rig.Image->Width(); X += 3)
                Inked += Rig.At(X, Y) != clWhite;
        EXPECT_GT(Inked, 500);
    }
}

TEST(PieSettings, DefaultsAndTheChartsOwn3DOptions)
{
    TCountingChart Chart;
    Chart.View3DOptions()->SetElevation(345);
    auto Pie = std::make_unique<TPieSeries>(nullptr);
    EXPECT_TRUE(Pie->ColorEachPoint());
    EXPECT_EQ(Pie->AngleSize(), 360);
    EXPECT_EQ(Pie->Shadow()->Color(), 10526880);
    EXPECT_EQ(Pie->YValues()->Name(), "Pie");
    Chart.AddSeries(Pie.get());
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 315);
    Pie->SetActive(false);
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 345);
    Chart.RemoveSeries(Pie.get());
}

TEST(PieSettings, SlicePatternsAndExplodingWithoutPoints)
{
    EXPECT_EQ(PieSlicePattern(6), bsHorizontal);
    EXPECT_EQ(PieSlicePattern(7), bsVertical);
    EXPECT_EQ(PieSlicePattern(8), bsFDiagonal);
    TPieSeries Empty(nullptr);
    Empty.SetExplodeBiggest(30);
    EXPECT_EQ(Empty.ExplodedSlice().Count(), 0) << "nothing to explode";
    Empty.ExplodedSlice().SetValue(-1, 5);
    EXPECT_EQ(Empty.ExplodedSlice().Count(), 0) << "no slot before the first";
    TPieSeries Pie(nullptr);
    for (double V : {3.0, 9.0, 4.0})
        Pie.Add(V);
    Pie.SetExplodeBiggest(30);
    EXPECT_EQ(Pie.ExplodedSlice().Value(1), 30);
    EXPECT_EQ(Pie.ExplodedSlice().Value(7), 0) << "beyond the list reads 0";
}
