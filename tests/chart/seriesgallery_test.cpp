// The standard series kinds in the order the registry registers them.
#include "chart/ChConst.h"
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
