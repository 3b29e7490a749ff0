// The series list of a chart and its named groups of series, shown or
// hidden together.
#pragma once

#include "chart/ChSeriesList.h"

#include <memory>
#include <string>
#include <vector>

class TChartSeries;
class TCustomAxisPanel;

enum TSeriesGroupActive { gaYes, gaNo, gaSome };

class TSeriesGroup {
public:
    explicit TSeriesGroup(TCustomAxisPanel* Chart) : FSeries(Chart) {}
    int Add(TChartSeries* Series) { return FSeries.Add(Series); }
    TSeriesGroupActive Active() const;
    void SetActive(TSeriesGroupActive Value);
    void Show() { SetActive(gaYes); }
    void Hide() { SetActive(gaNo); }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    TCustomSeriesList& Series() { return FSeries; }
    void SetSeries(const TCustomSeriesList& Value);

private:
    std::string FName;
    TCustomSeriesList FSeries;
};

class TSeriesGroups {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TSeriesGroup* Get(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    TSeriesGroup* Add(TCustomAxisPanel* Chart);
    int Contains(const TChartSeries* Series) const;
    // Forgets Series in every group.
    void RemoveSeries(const TChartSeries* Series);

private:
    std::vector<std::unique_ptr<TSeriesGroup>> FItems;
};

class TChartSeriesList : public TCustomSeriesList {
public:
    explicit TChartSeriesList(TCustomAxisPanel* AOwner) : TCustomSeriesList(AOwner) {}
    TSeriesGroup* AddGroup(const std::string& Name);
    bool AllActive() const;
    void SetAllActive(bool Value);
    TSeriesGroups& SeriesGroups() { return FGroups; }

private:
    TSeriesGroups FGroups;
};
