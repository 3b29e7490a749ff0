#include "chart/SeriesGallery.h"

#include "chart/ChConst.h"
#include "chart/ChartRegistry.h"
#include "chart/SeriesArea.h"
#include "chart/SeriesBar.h"
#include "chart/SeriesLine.h"
#include "chart/SeriesPie.h"

const std::vector<TChSeriesGalleryEntry>& StandardSeriesGalleryEntries()
{
    static const std::vector<TChSeriesGalleryEntry> Entries{
        {TLineSeries::StaticClass(), &ChMsg_GalleryLine, &ChMsg_GalleryStandard, 2},
        {TBarSeries::StaticClass(), &ChMsg_GalleryBar, &ChMsg_GalleryStandard, 2},
        {THorizBarSeries::StaticClass(), &ChMsg_GalleryHorizBar, &ChMsg_GalleryStandard, 2},
        {TAreaSeries::StaticClass(), &ChMsg_GalleryArea, &ChMsg_GalleryStandard, 2},
        {TPointSeries::StaticClass(), &ChMsg_GalleryPoint, &ChMsg_GalleryStandard, 2},
        {TPieSeries::StaticClass(), &ChMsg_GalleryPie, &ChMsg_GalleryStandard, 1},
        // Right once the fast line series declares its own class reference.
        {TFastLineSeries::StaticClass(), &ChMsg_GalleryFastLine, &ChMsg_GalleryStandard, 2},
        {THorizLineSeries::StaticClass(), &ChMsg_GalleryHorizLine, &ChMsg_GalleryStandard, 1},
        {THorizAreaSeries::StaticClass(), &ChMsg_GalleryHorizArea, &ChMsg_GalleryStandard, 1},
    };
    return Entries;
}

void RegisterChStandardSeries()
{
    for (const TChSeriesGalleryEntry& E : StandardSeriesGalleryEntries())
        RegisterChSeries(E.SeriesClass, E.Description, E.Page, E.NumGallerySeries);
}
