// One field of the Full Test page: the label that shows a breath parameter's
// value, and whether the parameter is selected for the detail panel and may
// be stacked or trended.
#pragma once

#include <string>

class TLabel;

class TFullTestInfo {
public:
    TFullTestInfo() = default;
    ~TFullTestInfo();
    TFullTestInfo(const TFullTestInfo&) = delete;
    TFullTestInfo& operator=(const TFullTestInfo&) = delete;

    void Bind(TLabel* ValueLabel) { FValueLabel = ValueLabel; }
    // The value label's caption, when one is bound.
    void SetText(const std::string& Text);

    TLabel* ValueLabel() const { return FValueLabel; }
    bool Selected() const { return FSelected; }
    void SetSelected(bool Value) { FSelected = Value; }
    bool Stackable() const { return FStackable; }
    void SetStackable(bool Value) { FStackable = Value; }
    bool Trendable() const { return FTrendable; }
    void SetTrendable(bool Value) { FTrendable = Value; }

private:
    TLabel* FValueLabel = nullptr;   // not owned
    bool FSelected = false;
    bool FStackable = true;
    bool FTrendable = true;
};
