#pragma once

#include <deque>
#include <memory>
#include <string>

class TChartSeries;

// One optional text per point; missing slots read as empty.
class TLabelsList {
public:
    explicit TLabelsList(TChartSeries* ASeries) : Series(ASeries) {}
    std::string GetLabel(int Index) const;
    void SetLabel(int Index, const std::string& Text);
    void InsertLabel(int Index, const std::string& Text);
    // An index beyond the list raises EListError.
    void DeleteLabel(int Index);
    int IndexOfLabel(const std::string& Text, bool CaseSensitive = true) const;
    void Assign(const TLabelsList& Source);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Exchanges two slots, padding the list as needed.
    void Exchange(int Index1, int Index2);

    TChartSeries* Series;

private:
    std::deque<std::unique_ptr<std::string>> FItems;
};
