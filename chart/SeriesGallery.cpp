#include "chart/SeriesGallery.h"

#include "chart/ChConst.h"
#include "chart/SeriesArea.h"
#include "chart/SeriesLine.h"

const std::vector<TChSeriesGalleryEntry>& LineAreaGalleryEntries()
{
    static const std::vector<TChSeriesGalleryEntry> Entries{
        {TLineSeries::StaticClass(), &ChMsg_GalleryLine, &ChMsg_GalleryStandard, 2},
        {TAreaSeries::StaticClass(), &ChMsg_GalleryArea, &ChMsg_GalleryStandard, 2},
        {TPointSeries::StaticClass(), &ChMsg_GalleryPoint, &ChMsg_GalleryStandard, 2},
        {THorizLineSeries::StaticClass(), &ChMsg_GalleryHorizLine, &ChMsg_GalleryStandard, 1},
        {THorizAreaSeries::StaticClass(), &ChMsg_GalleryHorizArea, &ChMsg_GalleryStandard, 1},
    };
    return Entries;
}
