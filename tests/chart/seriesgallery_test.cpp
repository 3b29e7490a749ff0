// The standard series kinds in the order the registry registers them.
#include "chart/ChConst.h"
#include "chart/ChartRegistry.h"
#include "chart/Series.h"
#include "chart/SeriesArea.h"
#include "chart/SeriesBar.h"
#include "chart/SeriesGallery.h"
#include "chart/SeriesLine.h"
#include "chart/SeriesPie.h"

#include <gtest/gtest.h>

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
