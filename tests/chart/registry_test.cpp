// Series and tool registries, named palettes, making, cloning and retyping
// series, and legend symbols drawn on any canvas.
#include "chart/ChartRegistry.h"
#include "chart/Series.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

class TGallerySeriesA : public TChartSeries {
    OZ_CLASS(TGallerySeriesA, TChartSeries);

public:
    explicit TGallerySeriesA(TComponent* AOwner) : TChartSeries(AOwner) {}
};

class TGalleryFunctionA : public TChFunction {
    OZ_CLASS(TGalleryFunctionA, TChFunction);

public:
    explicit TGalleryFunctionA(TComponent* AOwner) : TChFunction(AOwner) {}
};

class TGalleryFunctionB : public TChFunction {
    OZ_CLASS(TGalleryFunctionB, TChFunction);

public:
    explicit TGalleryFunctionB(TComponent* AOwner) : TChFunction(AOwner) {}
};

// Counts the points of its sources, over periods.
class TCountFunction : public TChMovingFunction {
    OZ_CLASS(TCountFunction, TChMovingFunction);

public:
    explicit TCountFunction(TComponent* AOwner) : TChMovingFunction(AOwner) {}
    double Calculate(TChartSeries* Source, int First, int Last) override { return Source->YValue(Last) * 10; }
};

// Tells when it is freed.
class TWatchedSeries : public TChartSeries {
    OZ_CLASS(TWatchedSeries, TChartSeries);

public:
    explicit TWatchedSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
    ~TWatchedSeries() override
    {
        if (Freed != nullptr)
            *Freed = true;
    }
    bool* Freed = nullptr;
};

const std::string GalleryText = "Gallery A";

int EntriesOf(TClass SeriesClass)
{
    int N = 0;
    for (int i = 0; i < ChSeriesTypes().Count(); ++i)
        N += ChSeriesTypes()[i]->SeriesClass == SeriesClass;
    return N;
}

// A chart on a form that owns the series.
struct TOwnedChartRig {
    TOwnedChartRig()
    {
        EnsureApplication();
        Form = std::make_unique<TForm>(nullptr);
        Chart = new TChart(Form.get());
        Chart->SetBounds(0, 0, 400, 300);
        Chart->SetView3D(false);
        Chart->Legend()->SetVisible(false);
    }
    TChartSeries* Add(TChartSeries* S, const std::string& Name)
    {
        S->SetName(Name);
        Chart->AddSeries(S);
        return S;
    }
    std::unique_ptr<TForm> Form;
    TChart* Chart;
};

}  // namespace

TEST(ChartRegistry, KindsAreRegisteredOncePerSeriesAndFunction)
{
    RegisterChSeries(TGallerySeriesA::StaticClass(), &GalleryText);
    RegisterChSeries(TGallerySeriesA::StaticClass(), &GalleryText);
    EXPECT_EQ(EntriesOf(TGallerySeriesA::StaticClass()), 1);
    EXPECT_EQ(*ChSeriesTypes().Find(TGallerySeriesA::StaticClass())->GalleryPage, "Standard");
    EXPECT_EQ(GetClass("TGallerySeriesA"), TGallerySeriesA::StaticClass());
    TGallerySeriesA S(nullptr);
    EXPECT_EQ(GetGallerySeriesName(&S), "Gallery A");

    UnRegisterChSeries({TGallerySeriesA::StaticClass()});
    RegisterChSeriesFunction(TGallerySeriesA::StaticClass(), TGalleryFunctionA::StaticClass(), &GalleryText,
                             &GalleryText, 1);
    RegisterChSeriesFunction(TGallerySeriesA::StaticClass(), TGalleryFunctionB::StaticClass(), &GalleryText,
                             &GalleryText, 1);
    EXPECT_EQ(EntriesOf(TGallerySeriesA::StaticClass()), 2);
    // Registered only with functions: the class name.
    EXPECT_EQ(ChSeriesTypes().Find(TGallerySeriesA::StaticClass()), nullptr);
    EXPECT_EQ(GetGallerySeriesName(&S), "TGallerySeriesA");
    UnRegisterChFunctions({TGalleryFunctionA::StaticClass()});
    EXPECT_EQ(EntriesOf(TGallerySeriesA::StaticClass()), 1);
    UnRegisterChSeries({TGallerySeriesA::StaticClass()});
    EXPECT_EQ(EntriesOf(TGallerySeriesA::StaticClass()), 0);

    RegisterChTools({TChCustomToolSeries::StaticClass(), TChCustomToolSeries::StaticClass()});
    EXPECT_EQ(std::count(ChToolTypes().begin(), ChToolTypes().end(), TChCustomToolSeries::StaticClass()), 1);
    UnRegisterChTools({TChCustomToolSeries::StaticClass()});
    EXPECT_EQ(std::count(ChToolTypes().begin(), ChToolTypes().end(), TChCustomToolSeries::StaticClass()), 0);
}

TEST(ColorPalettes, NamedPalettesApplyToTheChartAndItsSeries)
{
    ASSERT_EQ(ColorPalettes().Count(), 10);
    EXPECT_EQ(ColorPalettes().Strings(0), "Default");
    EXPECT_EQ(ColorPalettes().Strings(6), "Web");
    EXPECT_EQ(ColorPalettes().Strings(9), "Win. XP");

    TOwnedChartRig R;
    TChartSeries* S = R.Add(new TChartSeries(R.Form.get()), "Series1");
    TColorPalettes::ApplyPalette(R.Chart, 6);
    ASSERT_EQ(R.Chart->CustomPalette.size(), 9u);
    EXPECT_EQ(R.Chart->CustomPalette[0], TColor(0x00A5FF));
    EXPECT_EQ(R.Chart->ColorPaletteIndex, 6);
    EXPECT_EQ(S->SeriesColor(), TColor(0x00A5FF));
    TColorPalettes::ApplyPalette(R.Chart, 4);
    EXPECT_EQ(R.Chart->CustomPalette, SolidPalette);
    for (int Index : {0, 12, -1}) {
        TColorPalettes::ApplyPalette(R.Chart, Index);
        EXPECT_TRUE(R.Chart->CustomPalette.empty()) << Index;
        EXPECT_EQ(R.Chart->ColorPaletteIndex, Index);
    }
    EXPECT_EQ(S->SeriesColor(), ColorPalette[0]);
    // A series with a colour of its own keeps it.
    S->SetSeriesColor(TColor(0x123456));
    TColorPalettes::ApplyPalette(R.Chart, 7);
    EXPECT_EQ(S->SeriesColor(), TColor(0x123456));
}

TEST(ColorPalettes, PictureOfEightSeriesInTheModernPalette)
{
    TOwnedChartRig R;
    R.Chart->SetBounds(0, 0, 480, 320);
    R.Chart->Legend()->SetVisible(true);
    TColorPalettes::ApplyPalette(R.Chart, 7);
    for (int k = 0; k < 8; ++k) {
        auto* S = static_cast<TFastLineSeries*>(
            CreateNewSeries(R.Form.get(), R.Chart, TFastLineSeries::StaticClass()));
        S->LinePen()->SetWidth(2);
        for (int i = 0; i <= 60; ++i)
            S->AddXY(i, 10 * k + 8 * std::sin(i * 0.15 + k));
        EXPECT_EQ(S->SeriesColor(), ModernPalette[static_cast<size_t>(k)]) << k;
        EXPECT_EQ(S->Name(), "Series" + std::to_string(k + 1));
    }
    auto Image = R.Chart->ChCreateBitmap(clWhite, R.Chart->GetRectangle(), pfDevice);
    Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/chart_modern_palette.png");
}

TEST(SeriesCloning, CloneCopiesPointsColoursFormatAndFunction)
{
    TOwnedChartRig R;
    TChartSeries* Source = R.Add(new TChartSeries(R.Form.get()), "Source");
    for (double V : {1.0, 2.0, 3.0})
        Source->Add(V);
    TChartSeries* Plain = R.Add(new TFastLineSeries(R.Form.get()), "Series1");
    Plain->AddXY(0, 5, "a", clRed);
    Plain->AddXY(1, 6);
    Plain->SetValueFormat("0.00");
    Plain->SetSeriesColor(clNavy);

    TChartSeries* Copy = CloneChartSeries(Plain);
    EXPECT_EQ(Copy->ClassType(), TFastLineSeries::StaticClass());
    EXPECT_EQ(Copy->Name(), "Series2");
    EXPECT_EQ(Copy->Owner(), R.Form.get());
    EXPECT_EQ(Copy->ParentChart(), R.Chart);
    EXPECT_EQ(Copy->Count(), 2);
    EXPECT_EQ(Copy->YValue(1), 6);
    EXPECT_EQ(Copy->XLabel(0), "a");
    EXPECT_EQ(Copy->InternalColor(0), clRed);
    EXPECT_EQ(Copy->SeriesColor(), clNavy);
    EXPECT_EQ(Copy->ValueFormat(), "0.00");

    // A computed series: the copy computes with a function of its own.
    TChartSeries* Computed = R.Add(new TChartSeries(R.Form.get()), "Series3");
    auto* F = static_cast<TChMovingFunction*>(CreateNewChFunction(Computed, TCountFunction::StaticClass()));
    F->SetPeriod(2);
    Computed->SetDataSource(Source);
    ASSERT_EQ(Computed->Count(), 2);
    TChartSeries* Twin = CloneChartSeries(Computed);
    ASSERT_NE(Twin->AttachedFunction(), nullptr);
    EXPECT_NE(Twin->AttachedFunction(), F);
    EXPECT_EQ(Twin->AttachedFunction()->ClassType(), TCountFunction::StaticClass());
    EXPECT_EQ(Twin->AttachedFunction()->Period(), 2);
    EXPECT_EQ(Twin->DataSource(), Source);
    EXPECT_EQ(Twin->Count(), 2);
    EXPECT_EQ(Twin->YValue(1), 30);
    EXPECT_EQ(Computed->AttachedFunction(), F);
    EXPECT_EQ(Computed->DataSource(), Source);
}

TEST(SeriesCloning, ChangeSeriesTypeKeepsNamePlaceEventsAndFollowers)
{
    TOwnedChartRig R;
    R.Add(new TChartSeries(R.Form.get()), "First");
    bool Freed = false;
    auto* Watched = new TWatchedSeries(R.Form.get());
    Watched->Freed = &Freed;
    TChartSeries* Old = R.Add(Watched, "Middle");
    R.Add(new TChartSeries(R.Form.get()), "Last");
    TChartSeries* Follower = R.Add(new TChartSeries(R.Form.get()), "Follower");
    Old->Add(4);
    Follower->SetDataSource(Old);
    int Clicks = 0;
    Old->OnClick = [&](TChartSeries*, int, TMouseButton, TShiftState, int, int) { ++Clicks; };

    TChartSeries* Same = Old;
    ChangeSeriesType(Same, TWatchedSeries::StaticClass());
    EXPECT_EQ(Same, Old);
    TFastLineSeries Line(nullptr);
    EXPECT_TRUE(Old->SameClass(R.Chart->Series(0)));
    EXPECT_TRUE(Line.SameClass(R.Chart->Series(0)));
    EXPECT_FALSE(Line.SameClass(Old));

    TChartSeries* S = Old;
    ChangeSeriesType(S, TFastLineSeries::StaticClass());
    EXPECT_TRUE(Freed);
    EXPECT_EQ(S->ClassType(), TFastLineSeries::StaticClass());
    EXPECT_EQ(S->Name(), "Middle");
    EXPECT_EQ(R.Chart->SeriesList().IndexOf(S), 1);
    EXPECT_EQ(R.Chart->SeriesCount(), 4);
    EXPECT_EQ(S->Count(), 1);
    ASSERT_TRUE(S->OnClick);
    S->OnClick(S, 0, mbLeft, {}, 0, 0);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Follower->DataSource(), S);
    ASSERT_EQ(S->LinkedSeries().Count(), 1);
    S->Add(5);
    EXPECT_EQ(Follower->Count(), 2);
}

TEST(SeriesCloning, NewSeriesTakeTheChartAsOwnerWhenNoneIsGiven)
{
    TOwnedChartRig R;
    R.Add(new TChartSeries(R.Form.get()), "Series1");
    TChartSeries* S = CreateNewSeries(nullptr, R.Chart, TChartSeries::StaticClass());
    EXPECT_EQ(S->Owner(), R.Chart);
    EXPECT_EQ(S->Name(), "Series1");   // unique among the chart's own components
    // Once the chart owns one of its series, it owns every new one.
    TChartSeries* T = CreateNewSeries(R.Form.get(), R.Chart, TChartSeries::StaticClass());
    EXPECT_EQ(T->Owner(), R.Chart);
    EXPECT_EQ(T->Name(), "Series2");
    EXPECT_THROW(CreateNewSeries(nullptr, R.Chart, TGalleryFunctionA::StaticClass()), ChartException);
}

TEST(SeriesLegend, PaintSeriesLegendLendsALooseSeriesAChartForTheCall)
{
    EnsureApplication();
    TFastLineSeries S(nullptr);
    S.SetSeriesColor(clRed);
    S.LinePen()->SetWidth(3);
    TBitmap B;
    B.SetSize(40, 20);
    B.Canvas()->Brush()->SetColor(clWhite);
    B.Canvas()->FillRect(TRect{0, 0, 40, 20});
    PaintSeriesLegend(&S, B.Canvas(), TRect{2, 2, 38, 18});
    EXPECT_EQ(S.ParentChart(), nullptr);
    EXPECT_EQ(PixelOf(B, 20, 10), clRed);

    TOwnedChartRig R;
    PaintSeriesLegend(&S, B.Canvas(), TRect{2, 2, 38, 18}, R.Chart);
    EXPECT_EQ(S.ParentChart(), nullptr);
    EXPECT_EQ(R.Chart->SeriesCount(), 0);
}
