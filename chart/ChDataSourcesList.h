#pragma once

#include "platform/Classes.h"

#include <vector>

class TChartSeries;

// The components a series takes its points from (series or series
// sources), in order; the first is the series' DataSource. Owns none.
class TDataSourcesList {
public:
    explicit TDataSourcesList(TChartSeries* ASeries) : Series(ASeries) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    TComponent* Get(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TComponent* operator[](int Index) const { return Get(Index); }
    int IndexOf(const TComponent* Component) const;
    // One more data source, checked as the series' DataSource is; -1 when
    // it was there already.
    int Add(TComponent* Component);
    // Takes Component out; the series lets go of it.
    void Remove(TComponent* Component);
    // Takes every entry out, the series letting go of each; the series'
    // points go too unless they were read from a form.
    void Clear();
    // The plain list operations: the series is not told.
    void InheritedAdd(TComponent* Component) { FItems.push_back(Component); }
    void InheritedClear() { FItems.clear(); }
    bool InheritedRemove(TComponent* Component);
    void InheritedPut(int Index, TComponent* Component) { FItems[static_cast<size_t>(Index)] = Component; }

    TChartSeries* Series;

private:
    std::vector<TComponent*> FItems;
};
