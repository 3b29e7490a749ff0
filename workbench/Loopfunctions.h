// One loop plot: a chart with four fast line series used in rotation. Each
// breath marker starts the next series; the three before it stay visible in
// the shadow colour under the current loop.
#pragma once

#include "platform/Graphics.h"

#include <cstdint>
#include <string>

class TChart;
class TFastLineSeries;
class TLabel;

class TLoopPlotInfo {
public:
    // Points one loop keeps (60 s of samples): without breath markers the
    // oldest points go, a block at a time.
    static constexpr int MaxLoopPoints = 3000;
    static constexpr int LoopPointsDropped = 500;

    // Series 1 takes the first loop.
    void Attach(TChart* Chart, TFastLineSeries* Series1, TFastLineSeries* Series2, TFastLineSeries* Series3,
                TFastLineSeries* Series4, TLabel* Title);
    // clNone as shadow keeps the shadow colour.
    void SetColours(TColor Active, TColor Shadow);
    // X and Y in display units; NewLoop at a breath marker. True when this
    // point started a loop and the rotation came back to the first series.
    bool AddPoint(float X, float Y, bool NewLoop);
    // The data jumps (playback skipped): the next point is joined to none
    // before it.
    void BreakTrace() { FInGap = true; }
    void Clear();
    // Both axes from the pairs (either order) plus 5 % on each side; equal
    // bounds on either axis change neither.
    void SetRanges(float X1, float Y1, float X2, float Y2, bool ClearPlot);
    void SetTitle(const std::string& Text);
    void SetBottomAxisTitle(const std::string& Text);
    void SetLeftAxisTitle(const std::string& Text);

    // The plot's state and bindings.
    TFastLineSeries* ActiveSeries() const { return FActiveSeries; }
    int32_t Rotation() const { return FRotation; }
    // The last five good points, 0 the newest.
    float HistoryX(int I) const { return FHistoryX[I]; }
    float HistoryY(int I) const { return FHistoryY[I]; }
    TChart* Chart() const { return FChart; }
    TLabel* TitleLabel() const { return FTitleLabel; }

private:
    TFastLineSeries* FActiveSeries = nullptr;
    TFastLineSeries* FSeries[4] = {};
    int32_t FRotation = 0;
    int32_t FPointsSinceRepaint = 0;
    TColor FActiveColour = clRed;
    TColor FShadowColour = clGray;
    float FHistoryX[5] = {};
    float FHistoryY[5] = {};
    TChart* FChart = nullptr;
    TLabel* FTitleLabel = nullptr;
    // The last point added was a gap: the loop resumes without a line
    // from it.
    bool FInGap = false;
};
