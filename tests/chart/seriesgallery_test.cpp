// The standard series kinds in the order the registry registers them, and
// how each kind prepares itself for a gallery thumbnail.
#include "chart/ChConst.h"
#include "chart/ChMarks.h"
#include "chart/Chart.h"
#include "chart/ChartRegistry.h"
#include "chart/Series.h"
#include "chart/SeriesArea.h"
#include "chart/SeriesBar.h"
#include "chart/SeriesGallery.h"
#include "chart/SeriesLine.h"
#include "chart/SeriesPie.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

TEST(StandardSeries, NineKindsInRegistrationOrder)
{
    const std::vector<TClass> Classes{TLineSeries::StaticClass(),      TBarSeries::StaticClass(),
                                      THorizBarSeries::StaticClass(),  TAreaSeries::StaticClass(),
                                      TPointSeries::StaticClass(),     TPieSeries::StaticClass(),
                                      TFastLineSeries::StaticClass(),  THorizLineSeries::StaticClass(),
                                      THorizAreaSeries::StaticClass()};
    const std::vector<std::string> Texts{"Line", "Bar", "Horizontal\rBar", "Area", "Point", "Pie",
                                         "Fast Line", "Horizontal\rLine", "Horizontal\rArea"};
    const std::vector<int> Thumbnail{2, 2, 2, 2, 2, 1, 2, 1, 1};
    const auto& Entries = StandardSeriesGalleryEntries();
    ASSERT_EQ(Entries.size(), 9u);
    for (size_t i = 0; i < Entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Entries[i].SeriesClass, Classes[i]);
        EXPECT_EQ(*Entries[i].Description, Texts[i]);
        EXPECT_EQ(*Entries[i].Page, "Standard");
        EXPECT_EQ(Entries[i].NumGallerySeries, Thumbnail[i]);
    }
    EXPECT_EQ(Entries[0].Description, &ChMsg_GalleryLine) << "the message variable itself";
}

TEST(StandardSeries, RegisteringPutsTheNineKindsInTheGalleryOnce)
{
    const int Before = ChSeriesTypes().Count();
    RegisterChStandardSeries();
    RegisterChStandardSeries();
    const auto& Entries = StandardSeriesGalleryEntries();
    ASSERT_EQ(ChSeriesTypes().Count(), Before + 9) << "a second call adds nothing";
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        const TChSeriesType* T = ChSeriesTypes()[Before + i];
        const TChSeriesGalleryEntry& E = Entries[static_cast<size_t>(i)];
        EXPECT_EQ(T->SeriesClass, E.SeriesClass);
        EXPECT_EQ(T->FunctionClass, nullptr);
        EXPECT_EQ(T->Description, E.Description) << "the message variable itself";
        EXPECT_EQ(*T->GalleryPage, "Standard");
        EXPECT_EQ(T->NumGallerySeries, E.NumGallerySeries);
    }
    EXPECT_EQ(GetClass("TPieSeries"), TPieSeries::StaticClass()) << "the stream can create the kinds";
    for (const TChSeriesGalleryEntry& E : Entries)
        UnRegisterChSeries({E.SeriesClass});
    EXPECT_EQ(ChSeriesTypes().Count(), Before);
}

namespace {

// A gallery thumbnail's chart of Width pixels holding two series of Kind.
template <class Kind>
struct TGalleryChart {
    explicit TGalleryChart(int Width = 120)
    {
        Chart = std::make_unique<TChart>(nullptr);
        Chart->SetBounds(0, 0, Width, 90);
        First = new Kind(Chart.get());
        Second = new Kind(Chart.get());
        Chart->AddSeries(First);
        Chart->AddSeries(Second);
    }
    std::unique_ptr<TChart> Chart;
    Kind* First;
    Kind* Second;
};

}  // namespace

// Each kind takes the base preparation (four sample points, small hidden
// marks, the gallery colours) and then its own steps.
TEST(GalleryThumbnail, EachKindAddsItsOwnSteps)
{
    {
        TGalleryChart<TPointSeries> G;
        G.First->PrepareForGallery(true);
        G.Second->PrepareForGallery(true);
        EXPECT_EQ(G.First->Count(), 4);
        EXPECT_FALSE(G.First->Marks()->Visible());
        EXPECT_EQ(G.First->Pointer()->HorizSize(), 6);
        EXPECT_EQ(G.First->Pointer()->VertSize(), 6);
        EXPECT_NE(G.First->Pointer()->Style(), psTriangle);
        EXPECT_EQ(G.Second->Pointer()->Style(), psTriangle);
        TGalleryChart<TPointSeries> Narrow(49);
        Narrow.First->Pointer()->SetHorizSize(9);
        Narrow.First->PrepareForGallery(true);
        EXPECT_EQ(Narrow.First->Pointer()->HorizSize(), 4);
    }
    {
        TGalleryChart<TAreaSeries> G;
        G.First->PrepareForGallery(false);
        EXPECT_EQ(G.First->SeriesColor(), clSilver);
        EXPECT_TRUE(G.First->Gradient()->Visible());
        EXPECT_EQ(G.First->Gradient()->EndColor(), clSilver);
    }
    {
        TGalleryChart<TBarSeries> G;
        G.First->SetMultiBar(mbStacked);
        G.First->PrepareForGallery(true);
        EXPECT_EQ(G.First->Count(), 4);
        EXPECT_EQ(G.First->BarWidthPercent(), 85);
        EXPECT_EQ(G.First->BarStyle(), bsRectGradient);
        EXPECT_TRUE(G.First->Gradient()->Visible());
        EXPECT_EQ(G.First->MultiBar(), mbNone);
        EXPECT_EQ(G.Second->MultiBar(), mbNone);
    }
    for (bool Enabled : {true, false}) {
        TGalleryChart<TPieSeries> G;
        G.First->Marks()->SetDrawEvery(3);
        G.First->PrepareForGallery(Enabled);
        EXPECT_EQ(G.First->Count(), 8);
        EXPECT_EQ(G.Chart->Chart3DPercent(), 75);
        EXPECT_EQ(G.First->Marks()->Callout()->Length(), 0);
        EXPECT_EQ(G.First->Marks()->DrawEvery(), 1);
        EXPECT_TRUE(G.First->Gradient()->Visible());
        EXPECT_EQ(G.Chart->View3DOptions()->Rotation(), 0);
        EXPECT_EQ(G.Chart->View3DOptions()->Elevation(), 305);
        EXPECT_FALSE(G.Chart->View3DOptions()->Orthogonal());
        EXPECT_EQ(G.First->ColorEachPoint(), Enabled);
    }
}
