// A chart tool that works on one axis.
//
// TChCustomToolAxis's body:
//   ChEnginePanel.cpp  the axis and its place in the chart's axes list
//   ChartStream.cpp    the stored "AxisID"
#pragma once

#include "chart/ChCustomTool.h"

#include <string>

class TChartAxis;

class TChCustomToolAxis : public TChCustomTool {
    OZ_CLASS(TChCustomToolAxis, TChCustomTool);

public:
    void DefineProperties(TFiler* Filer) override;
    explicit TChCustomToolAxis(TComponent* AOwner) : TChCustomTool(AOwner) {}
    std::string GetEditorClass() override { return "TAxisToolEditor"; }
    TChartAxis* Axis() const { return FAxis; }
    virtual void SetAxis(TChartAxis* Value);
    // The stored "AxisID": the axis's place in its chart's axes list.
    bool IsAxisIDStored() const { return FAxis != nullptr; }
    int AxisID() const;
    void ReadAxisID(int Value);

private:
    TChartAxis* FAxis = nullptr;
};
