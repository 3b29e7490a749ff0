#pragma once

#include <cstddef>
#include <vector>

class TChCustomTool;
class TCustomAxisPanel;

// The chart's tools in the order they joined; the chart owns them.
class TChartTools {
public:
    explicit TChartTools(TCustomAxisPanel* AOwner) : Owner(AOwner) {}
    ~TChartTools() { Clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TChCustomTool* Get(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TChCustomTool* operator[](int Index) const { return Get(Index); }
    TChCustomTool* Add(TChCustomTool* Tool);
    void Clear();
    void SetActive(bool Value);
    // Used by the tools as they join and leave.
    void Append(TChCustomTool* Tool) { FItems.push_back(Tool); }
    void Remove(TChCustomTool* Tool);
    int IndexOf(const TChCustomTool* Tool) const;

    TCustomAxisPanel* Owner;

private:
    std::vector<TChCustomTool*> FItems;
};
