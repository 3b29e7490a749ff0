// Series with many points to a pixel column paint runs of points at once:
// the pictures must be those of drawing every point by itself, for every
// kind and the settings that decide whether a run may be shortened.
#include "chart/ChColumnScan.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "chart/SeriesArea.h"
#include "chart/SeriesLine.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Crowded data: a slow wave with a fast one on top, some 30 points to a
// column of the 400-pixel chart, crossing zero.
double Wave(int i) { return 50 * std::sin(i * 0.0015) + 25 * std::sin(i * 0.21) + 10 * std::sin(i * 1.7); }

struct TCase {
    const char* Name;
    std::function<TChartSeries*(TComponent*)> Make;
    // Changes the chart after the series is in (axis ranges).
    std::function<void(TChart*)> Chart = nullptr;
    int Points = 12000;
};

TChartSeries* Line(TComponent* O) { return new TLineSeries(O); }
TAreaSeries* Area(TComponent* O)
{
    auto* S = new TAreaSeries(O);
    // Colours of their own, so that an outline painted in the wrong order
    // shows.
    S->AreaLinesPen()->SetColor(clBlue);
    S->LinePen()->SetColor(clLime);
    return S;
}
TFastLineSeries* Fast(TComponent* O)
{
    auto* S = new TFastLineSeries(O);
    S->SetDrawAllPoints(true);
    return S;
}

const TCase Cases[] = {
    {"line", Line},
    {"line_each_point_coloured", [](TComponent* O) { auto* S = Line(O); S->SetColorEachPoint(true); return S; }},
    {"line_wide_pen", [](TComponent* O) { auto* S = static_cast<TLineSeries*>(Line(O)); S->LinePen()->SetWidth(2); return S; }},
    {"line_dashed", [](TComponent* O) { auto* S = static_cast<TLineSeries*>(Line(O)); S->LinePen()->SetStyle(psDash); return S; }},
    {"line_with_pointers", [](TComponent* O) { auto* S = static_cast<TLineSeries*>(Line(O)); S->Pointer()->SetVisible(true); return S; }},
    {"line_shadow", [](TComponent* O) { auto* S = static_cast<TLineSeries*>(Line(O)); S->Shadow()->SetSize(3); return S; }},
    {"line_nulls", Line},
    {"line_zoomed", Line, [](TChart* C) { C->BottomAxis()->SetMinMax(3000, 3400); }},
    {"line_inverted", Line, [](TChart* C) { C->BottomAxis()->SetInverted(true); }},
    {"line_few_points", Line, nullptr, 500},
    {"fast_line", [](TComponent* O) -> TChartSeries* { return Fast(O); }},
    {"fast_line_first_of_column", [](TComponent* O) -> TChartSeries* { auto* S = Fast(O); S->SetDrawAllPoints(false); return S; }},
    {"fast_line_zoomed", [](TComponent* O) -> TChartSeries* { return Fast(O); }, [](TChart* C) { C->BottomAxis()->SetMinMax(3000, 3400); }},
    {"fast_line_wide_pen", [](TComponent* O) -> TChartSeries* { auto* S = Fast(O); S->LinePen()->SetWidth(3); return S; }},
    {"fast_line_nulls_break", [](TComponent* O) -> TChartSeries* { auto* S = Fast(O); S->SetIgnoreNulls(false); return S; }},
    {"area", [](TComponent* O) -> TChartSeries* { return Area(O); }},
    {"area_about_zero", [](TComponent* O) -> TChartSeries* {
         auto* S = Area(O);
         S->SetUseYOrigin(true);
         S->SetYOrigin(0);
         return S;
     }},
    {"area_no_outline", [](TComponent* O) -> TChartSeries* { auto* S = Area(O); S->AreaLinesPen()->SetVisible(false); return S; }},
    {"area_no_top_line", [](TComponent* O) -> TChartSeries* { auto* S = Area(O); S->LinePen()->SetVisible(false); return S; }},
    {"area_hatched", [](TComponent* O) -> TChartSeries* { auto* S = Area(O); S->SetAreaBrushStyle(bsDiagCross); return S; }},
    {"area_zoomed", [](TComponent* O) -> TChartSeries* { return Area(O); }, [](TChart* C) { C->BottomAxis()->SetMinMax(3000, 3400); C->LeftAxis()->SetMinMax(-20, 40); }},
    {"area_each_point_coloured", [](TComponent* O) -> TChartSeries* { auto* S = Area(O); S->SetColorEachPoint(true); return S; }},
    {"points", [](TComponent* O) -> TChartSeries* { return new TPointSeries(O); }},
    {"points_circles", [](TComponent* O) -> TChartSeries* {
         auto* S = new TPointSeries(O);
         S->Pointer()->SetStyle(psCircle);
         return S;
     }},
    {"points_zoomed", [](TComponent* O) -> TChartSeries* { return new TPointSeries(O); }, [](TChart* C) { C->BottomAxis()->SetMinMax(3000, 3400); }},
};

void PrintTo(const TCase& Case, std::ostream* Out) { *Out << Case.Name; }

class DenseSeries : public ::testing::TestWithParam<TCase> {};

std::unique_ptr<TBitmap> Render(const TCase& Case, bool EveryPoint)
{
    TFormChartRig R;
    R.Chart->SetColor(clWhite);
    R.Chart->Title()->SetVisible(false);
    TChartSeries* S = Case.Make(R.Form.get());
    S->SetSeriesColor(clRed);
    R.Chart->AddSeries(S);
    for (int i = 0; i < Case.Points; ++i) {
        S->AddXY(i, Wave(i));
        if (std::string(Case.Name).find("nulls") != std::string::npos && i % 997 == 5)
            S->SetNull(i);
    }
    if (Case.Chart)
        Case.Chart(R.Chart);
    R.Chart->ChartCanvas()->DrawEveryPoint = EveryPoint;
    return R.Chart->ChCreateBitmap(clWhite, R.Chart->GetRectangle(), pfDevice);
}

TEST_P(DenseSeries, PaintsThePixelsOfDrawingEveryPoint)
{
    const TCase& Case = GetParam();
    const auto Runs = Render(Case, false);
    const auto Every = Render(Case, true);
    ASSERT_EQ(Runs->Width(), Every->Width());
    int Differ = 0, FirstX = -1, FirstY = -1;
    for (int Y = 0; Y < Every->Height(); ++Y)
        for (int X = 0; X < Every->Width(); ++X)
            if (PixelOf(*Runs, X, Y) != PixelOf(*Every, X, Y) && Differ++ == 0) {
                FirstX = X;
                FirstY = Y;
            }
    if (Differ > 0) {
        Runs->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/dense_" + Case.Name + "_runs.png");
        Every->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/dense_" + Case.Name + "_every.png");
    }
    EXPECT_EQ(Differ, 0) << "first at " << FirstX << "," << FirstY;
}

INSTANTIATE_TEST_SUITE_P(Kinds, DenseSeries, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<TCase>& I) { return std::string(I.param.Name); });

// Columns found from the edges' values must hold just the points whose own
// pixel is that column, even for values a few bits either side of an edge,
// and the rows must be those of the path through them (the last point's row
// only when the path covers it).
class ColumnScan : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(ColumnScan, FindsTheColumnsAndRowsOfEveryPoint)
{
    const auto [HorizInverted, VertInverted] = GetParam();
    TFormChartRig R;
    auto* S = new TLineSeries(R.Form.get());
    R.Chart->AddSeries(S);
    S->AddXY(0, 0);
    R.Chart->BottomAxis()->SetMinMax(0, 37);
    R.Chart->LeftAxis()->SetMinMax(-3, 5);
    R.Chart->BottomAxis()->SetInverted(HorizInverted);
    R.Chart->LeftAxis()->SetInverted(VertInverted);
    R.Chart->ChCreateBitmap(clWhite, R.Chart->GetRectangle(), pfDevice);
    TChartAxis* H = R.Chart->BottomAxis();
    TChartAxis* V = R.Chart->LeftAxis();
    std::vector<double> Xs, Ys;
    for (int P = std::min(H->PixelStart(), H->PixelEnd()) - 1; P <= std::max(H->PixelStart(), H->PixelEnd()); ++P) {
        double E;
        ASSERT_TRUE(H->PixelEdge(true, P, E));
        double Lo = E, Hi = E;
        for (int k = 0; k < 3; ++k) {
            Lo = std::nextafter(Lo, -1e300);
            Hi = std::nextafter(Hi, 1e300);
        }
        for (double X = Lo; X <= Hi; X = std::nextafter(X, 1e300))
            Xs.push_back(X);
    }
    std::sort(Xs.begin(), Xs.end());
    // Rows that often end a column on its highest or lowest point.
    for (size_t i = 0; i < Xs.size(); ++i)
        Ys.push_back(-3 + static_cast<double>((i * 7 + i / 5) % 9));
    const int N = static_cast<int>(Xs.size());
    std::vector<int> PX(N), PY(N);
    H->PosValues(true, Xs.data(), N, PX.data());
    V->PosValues(false, Ys.data(), N, PY.data());
    using TColumn = std::tuple<int, int, int, int, int, int, int>;
    std::vector<TColumn> Expected, Found;
    for (int First = 0; First < N;) {
        int Last = First, Lo = INT_MAX, Hi = INT_MIN;
        for (; Last + 1 < N && PX[Last + 1] == PX[First]; ++Last) {
            int A, B;
            ChColumnSegmentRows(PY[Last], PY[Last + 1], A, B);
            if (A <= B) {
                Lo = std::min(Lo, A);
                Hi = std::max(Hi, B);
            }
        }
        Expected.emplace_back(PX[First], First, Last, PY[First], PY[Last], Lo, Hi);
        First = Last + 1;
    }
    ASSERT_TRUE(ChCanScanColumns(H, V, Xs.data(), 0, N - 1));
    std::vector<int> Scratch;
    ChScanColumns(H, V, Xs.data(), Ys.data(), 0, N - 1, Scratch,
                  [&](int X, int First, int Last, int YFirst, int YLast, int Lo, int Hi) {
                      Found.emplace_back(X, First, Last, YFirst, YLast, Lo, Hi);
                  });
    ASSERT_EQ(Found.size(), Expected.size());
    for (size_t i = 0; i < Found.size(); ++i)
        EXPECT_EQ(Found[i], Expected[i]) << "column " << i;
    // Values out of order are not taken.
    std::swap(Xs[10], Xs[40]);
    EXPECT_FALSE(ChCanScanColumns(H, V, Xs.data(), 0, N - 1));
}

INSTANTIATE_TEST_SUITE_P(Axes, ColumnScan, ::testing::Combine(::testing::Bool(), ::testing::Bool()));

} // namespace
