#pragma once

#include "chart/ChAxis.h"

#include <memory>
#include <vector>

class TCustomAxisPanel;

// The user's own axes, owned here.
class TChartCustomAxes {
public:
    explicit TChartCustomAxes(TCustomAxisPanel* AChart) : FChart(AChart) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    // A bad index raises EListError.
    TChartAxis* Get(int Index) const;
    TChartAxis* Add();
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    void ResetScales(TChartAxis* Axis);

private:
    TCustomAxisPanel* FChart;
    std::vector<std::unique_ptr<TChartAxis>> FItems;
};
