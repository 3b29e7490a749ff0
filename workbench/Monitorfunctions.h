// One sweeping monitor plot: a chart with two fast line series that take
// turns, the active one receiving points from left to right and the other
// holding the previous sweep in a shadow colour, plus the plot's labels.
#pragma once

#include "platform/Graphics.h"

#include <cstdint>
#include <string>

class TChart;
class TFastLineSeries;
class TLabel;

class TMonitorPlotInfo {
public:
    // Binds the chart and its two series (A receives points first), sets
    // them for incremental drawing and clears the plot to position 0.
    void Attach(TChart* Chart, TFastLineSeries* SeriesA, TFastLineSeries* SeriesB);
    void AttachLabels(TLabel* Title, TLabel* Units, TLabel* Units2, TLabel* Max, TLabel* Min, TLabel* Avg,
                      TLabel* Current);
    // clNone as shadow keeps the shadow colour.
    void SetColours(TColor Active, TColor Shadow);
    // Y in the display unit, Counter the analyzer's sample counter. A
    // NoValue leaves a gap in the trace. True when the sweep wrapped.
    bool AddPoint(float Y, int32_t Counter);
    // The data jumps (playback skipped): the next point is joined to none
    // before it.
    void BreakTrace() { FInGap = true; }
    void Clear(bool ResetPosition);
    // The left axis from the pair (either order) plus 5 % on each side.
    void SetYRange(float A, float B, bool ClearPlot);
    void SetTimeSpan(float Seconds, bool ClearPlot);
    float GetTimeSpan() const { return FTimeSpan; }

    void SetCurrentText(const std::string& Text);
    void SetMinText(const std::string& Text);
    void SetMaxText(const std::string& Text);
    void SetAvgText(const std::string& Text);
    void SetTitle(const std::string& Text);
    void SetUnits(const std::string& Text);

    // The plot's state and bindings.
    int32_t SignalId() const { return FSignalId; }
    void SetSignalId(int32_t Value) { FSignalId = Value; }
    bool ShowPrevious() const { return FShowPrevious; }
    void SetShowPrevious(bool Value) { FShowPrevious = Value; }
    TFastLineSeries* ActiveSeries() const { return FActiveSeries; }
    TFastLineSeries* InactiveSeries() const { return FInactiveSeries; }
    int32_t SweepPos() const { return FSweepPos; }
    float LastY() const { return FLastY; }
    TChart* Chart() const { return FChart; }
    TLabel* TitleLabel() const { return FTitleLabel; }
    TLabel* UnitsLabel2() const { return FUnitsLabel2; }
    TLabel* MinLabel() const { return FMinLabel; }
    TLabel* MaxLabel() const { return FMaxLabel; }
    TLabel* AvgLabel() const { return FAvgLabel; }
    TLabel* CurrentLabel() const { return FCurrentLabel; }

private:
    TFastLineSeries* FActiveSeries = nullptr;
    TFastLineSeries* FInactiveSeries = nullptr;
    TFastLineSeries* FSeriesA = nullptr;
    TFastLineSeries* FSeriesB = nullptr;
    bool FSwapped = false;
    float FTimeSpan = 30.0f;
    TColor FActiveColour = clRed;
    TColor FShadowColour = clGray;
    float FLastY = 0;
    int32_t FSweepPos = 0;
    int32_t FLastCounter = 0xFFFF;
    int32_t FPointsSinceRepaint = 0;
    TChart* FChart = nullptr;
    TLabel* FTitleLabel = nullptr;
    TLabel* FUnitsLabel = nullptr;
    TLabel* FUnitsLabel2 = nullptr;
    TLabel* FMinLabel = nullptr;
    TLabel* FMaxLabel = nullptr;
    TLabel* FAvgLabel = nullptr;
    TLabel* FCurrentLabel = nullptr;
    int32_t FSignalId = 0;
    bool FShowPrevious = true;
    // The last point added was a gap, or the data jumped: the trace resumes
    // without a line from it.
    bool FInGap = false;
};
