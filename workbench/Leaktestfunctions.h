// The leak test: the pressure of one channel followed from its start value
// for a set time, with the final pressure, the pressure lost per second and,
// with the circuit's compliance, the volume lost. It draws its own series in
// the leak chart and fills the labels beside it.
//
// Elapsed times run on the monotonic clock, so a change of the wall clock
// neither ends a test early nor distorts its rate; the start time shown
// stays wall-clock.
#pragma once

#include "analyzer/Signalstats.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"
#include "reports/Reportsource.h"

#include <cstdint>
#include <memory>
#include <string>

class TChart;
class TFastLineSeries;
class TLabel;

class TLeakTest : public TLeakTestReportSource {
public:
    TLeakTest();
    ~TLeakTest() override;
    TLeakTest(const TLeakTest&) = delete;
    TLeakTest& operator=(const TLeakTest&) = delete;

    // Puts the test's series into Chart in Colour.
    void SetChart(TChart* Chart, TColor Colour);
    // Binds the labels beside the chart; each may be null.
    void SetLabels(TLabel* Title, TLabel* Units, TLabel* Units2, TLabel* Max, TLabel* Min, TLabel* Avg,
                   TLabel* Current);

    // Starts from Source's current pressure (a null source starts nothing).
    // Compliance in ml/cmH2O; results are shown in Unit (1 to 9).
    void Start(const TSignalStats* Source, float Compliance, TDateTime TestTime, TUnitCode Unit);
    // After every waveform sample, whatever the state.
    void AddSample();
    // When running, takes one more sample and ends the test.
    void Stop();
    void UpdatePlot();
    void UpdateTitle();

    bool IsRunning() const { return FRunning && FSource; }
    std::string UnitText() const;
    int GetDecimals() const;
    // In the result unit (cmH2O without a source); NoValue while absent.
    float GetInitialPressure() const;
    float GetFinalPressure() const;
    float GetLeakRate() const;
    std::string InitialPressureText(bool WithUnit) const;
    std::string FinalPressureText(bool WithUnit) const;
    std::string LeakRateText(bool WithUnit) const;
    float GetVolumeLost() const { return FVolumeLost; }
    std::string VolumeLostText(bool WithUnit) const;
    float GetCompliance() const { return FCompliance; }
    std::string ComplianceText(bool WithUnit) const;
    // From the start to the latest sample.
    TDateTime GetElapsedTime() const;
    std::string ElapsedTimeText() const;
    std::string SignalNameText() const;
    std::string TitleText() const;

    // What the reports read.
    void AddReportLines(TStrings* Lines, bool SummaryOnly) const override;
    TPlotReportRecord PlotRecord() const override;

    // State as it stands (pressures in cmH2O).
    const TSignalStats* Source() const { return FSource; }
    TDateTime StartTime() const { return FStartTime; }
    TDateTime LastTime() const { return FLastTime; }
    TDateTime TestTime() const { return FTestTime; }
    TUnitCode Unit() const { return FUnit; }
    TColor Colour() const { return FColour; }
    TChart* Chart() const { return FChart; }
    TFastLineSeries* Series() const;
    const TSignalStats& Stats() const { return FStats; }
    float InitialPressure() const { return FInitialPressure; }
    float FinalPressure() const { return FFinalPressure; }
    float LeakRate() const { return FLeakRate; }

private:
    class TSeriesHolder;

    bool FRunning = false;
    const TSignalStats* FSource = nullptr;
    TDateTime FStartTime;
    TDateTime FLastTime;
    // Monotonic milliseconds at the start and at the latest sample.
    int64_t FStartTick;
    int64_t FLastTick;
    TDateTime FTestTime = 0;
    float FCompliance = 0;
    float FInitialPressure;
    float FFinalPressure;
    float FVolumeLost;
    float FLeakRate;
    // The series; freed with the test, or forgotten when a chart frees it.
    std::unique_ptr<TSeriesHolder> FSeries;
    TUnitCode FUnit = ucCmH2O;
    TColor FColour = clFuchsia;
    TSignalStats FStats;
    TChart* FChart = nullptr;
    TLabel* FTitleLabel = nullptr;
    TLabel* FUnitsLabel = nullptr;
    TLabel* FUnitsLabel2 = nullptr;
    TLabel* FMinLabel = nullptr;
    TLabel* FMaxLabel = nullptr;
    TLabel* FAvgLabel = nullptr;
    TLabel* FCurrentLabel = nullptr;
    // The last point added was a gap.
    bool FInGap = false;
    float FLastY = 0;

    // Seconds from the start to the latest sample.
    double ElapsedSeconds() const;
};
