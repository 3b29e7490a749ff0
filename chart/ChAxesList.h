#pragma once

#include <cstddef>
#include <vector>

class TChartAxis;
class TCustomAxisPanel;

// Every axis of a chart in creation order; frees its axes when cleared.
class TChartAxes {
public:
    explicit TChartAxes(TCustomAxisPanel* AChart) : Chart(AChart) {}
    ~TChartAxes() { Clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TChartAxis* Get(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TChartAxis* operator[](int Index) const { return Get(Index); }
    int IndexOf(const TChartAxis* Axis) const;
    void Add(TChartAxis* Axis) { FItems.push_back(Axis); }
    void Remove(TChartAxis* Axis);
    bool FastCalc() const { return FFastCalc; }
    void SetFastCalc(bool Value);
    void Reset();
    void Clear();
    bool Behind() const;
    void SetBehind(bool Value);
    bool Visible() const;
    void SetVisible(bool Value);

    TCustomAxisPanel* Chart;

private:
    std::vector<TChartAxis*> FItems;
    bool FFastCalc = false;
};
