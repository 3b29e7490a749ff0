// The custom labels of an axis: one label and the axis's list of them.
#pragma once

#include "chart/ChProcs.h"

#include <memory>
#include <string>
#include <vector>

class TAxisItems;
class TChartAxis;

// A label of the user's own: Text (or the axis's text for Value) at Value.
class TAxisItem : public TChCustomShape {
public:
    TAxisItem(TCustomChPanel* Panel, TAxisItems* AOwner) : TChCustomShape(Panel), Owner(AOwner) {}
    double Value() const { return FValue; }
    void SetValue(double Value);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    TAxisItems* Owner;

private:
    friend class TAxisItems;
    double FValue = 0;
    std::string FText;
};

// The custom labels of an axis, drawn instead of the automatic ones; owns them.
class TAxisItems {
public:
    explicit TAxisItems(TChartAxis* AAxis) : Axis(AAxis) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    // A bad index raises EListError.
    TAxisItem* Item(int Index) const;
    TAxisItem* Add(double Value);
    TAxisItem* Add(double Value, const std::string& Text);
    void Clear();
    // Copies values and texts only.
    void CopyFrom(const TAxisItems& Source);
    TChartAxis* Axis;

private:
    std::vector<std::unique_ptr<TAxisItem>> FItems;
};
