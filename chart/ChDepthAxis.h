// The depth axes of a chart (its depth axis and depth-top axis): hidden
// until asked for, labelled by series title unless the series spread in
// depth, and inverted together.
//
// TChartDepthAxis's body:
//   ChEngineAxis.cpp  label style and the shared inversion
//   ChartStream.cpp   its stored properties ("Visible" defaults to False)
#pragma once

#include "chart/ChAxis.h"

class TChartDepthAxis : public TChartAxis {
    OZ_CLASS(TChartDepthAxis, TChartAxis);

public:
    static void Publish(TPublisher<TChartDepthAxis>& P);
    explicit TChartDepthAxis(TCustomAxisPanel* Chart) : TChartAxis(Chart) {}
    // Values when an active series of the chart spans depth values, else
    // the series' titles.
    TAxisLabelStyle InternalCalcLabelStyle() override;
    // The chart's other depth axis takes the same value.
    void SetInverted(bool Value) override;
};
