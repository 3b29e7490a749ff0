// What the standard-series registration needs of the line, point and area
// kinds: class, gallery text, gallery page and the number of series shown in
// the kind's gallery thumbnail.
#pragma once

#include "platform/TypInfo.h"

#include <string>
#include <vector>

struct TChSeriesGalleryEntry {
    TClass SeriesClass = nullptr;
    // The message variables themselves, so that a translation loaded later shows.
    const std::string* Description = nullptr;
    const std::string* Page = nullptr;
    int NumGallerySeries = 2;
};

// TLineSeries, TAreaSeries, TPointSeries, THorizLineSeries and
// THorizAreaSeries, in the order the standard series register.
const std::vector<TChSeriesGalleryEntry>& LineAreaGalleryEntries();
