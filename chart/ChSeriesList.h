// An ordered list of series references: the linked series of a series, the
// members of a series group and the base of a chart's series list.
#pragma once

#include <cstddef>
#include <vector>

class TChartSeries;
class TCustomAxisPanel;

// Series references in a fixed order; the list owns none of them.
class TCustomSeriesList {
public:
    explicit TCustomSeriesList(TCustomAxisPanel* AOwner = nullptr) : Owner(AOwner) {}
    virtual ~TCustomSeriesList() = default;
    int Count() const { return static_cast<int>(FItems.size()); }
    TChartSeries* Get(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TChartSeries* operator[](int Index) const { return Get(Index); }
    // Replaces the entry; an index outside the list raises EListError.
    void Put(int Index, TChartSeries* Series);
    int Add(TChartSeries* Series);
    void Insert(int Index, TChartSeries* Series);
    void Delete(int Index);
    int Remove(TChartSeries* Series);
    int IndexOf(const TChartSeries* Series) const;
    void Exchange(int Index1, int Index2);
    void Clear() { FItems.clear(); }
    void ClearValues();

    TCustomAxisPanel* Owner;

private:
    std::vector<TChartSeries*> FItems;
};
