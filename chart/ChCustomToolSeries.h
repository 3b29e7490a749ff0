// A chart tool that works on one series.
//
// TChCustomToolSeries's body:
//   ChEnginePanel.cpp  the series and its axes
//   ChartStream.cpp    its stored properties
#pragma once

#include "chart/ChCustomTool.h"

#include <string>

class TChartAxis;
class TChartSeries;

class TChCustomToolSeries : public TChCustomTool {
    OZ_CLASS(TChCustomToolSeries, TChCustomTool);

public:
    static void Publish(TPublisher<TChCustomToolSeries>& P);
    explicit TChCustomToolSeries(TComponent* AOwner) : TChCustomTool(AOwner) {}
    ~TChCustomToolSeries() override;
    std::string GetEditorClass() override { return "TSeriesToolEditor"; }
    TChartSeries* Series() const { return FSeries; }
    virtual void SetSeries(TChartSeries* Value);
    TChartAxis* GetHorizAxis() const;
    TChartAxis* GetVertAxis() const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TChartSeries* FSeries = nullptr;
};
