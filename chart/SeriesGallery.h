// The standard series kinds as the series registry registers them: class,
// gallery text, gallery page and the number of series shown in the kind's
// gallery thumbnail, in the order they register.
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

// TLineSeries, TBarSeries, THorizBarSeries, TAreaSeries, TPointSeries,
// TPieSeries, TFastLineSeries, THorizLineSeries, THorizAreaSeries: what
// RegisterChStandardSeries hands to RegisterChSeries, entry by entry.
const std::vector<TChSeriesGalleryEntry>& StandardSeriesGalleryEntries();

// Puts the nine standard kinds in the series gallery, in the order above.
// Nothing registers them by itself: a program that wants them calls this once.
void RegisterChStandardSeries();
