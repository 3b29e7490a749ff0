// The main window's private state, which the window shows the user only
// through its plots, labels and pages: the tests (and the benchmarks) read
// it, and set it where a case needs a given starting point, through this
// probe. TMainForm names it its friend.
#pragma once

#include "workbench/Main.h"

#include <cstdint>
#include <string>

struct TMainFormProbe {
    TMainForm& F;

    // ------------------------------------------------------- live data
    int32_t SampleTime() const { return F.FSampleTime; }
    uint8_t SampleMarker() const { return F.FSampleMarker; }
    const TSignalStats& ParamStats(int Id) const { return F.FParamStats[Id]; }
    void SetSignalDisplayUnit(int Id, TUnitCode Unit) { F.FSignalStats[Id].SetDisplayUnit(Unit); }
    const TFullTestInfo& FullTestInfo(int Id) const { return F.FFullTestInfo[Id]; }
    int32_t SelectedParam() const { return F.FSelectedParam; }
    int32_t BreathsToStack() const { return F.FBreathsToStack; }
    // While the syringe dialog runs, samples and records go only to it.
    bool SyringeCalActive() const { return F.FSyringeCalActive; }
    void SetSyringeCalActive(bool Value) { F.FSyringeCalActive = Value; }

    // ----------------------------------------------------------- plots
    const TMonitorPlotInfo& MonitorPlot(int Plot) const { return F.FMonitorPlots[Plot]; }
    // A new time span clears the plot.
    void SetMonitorTimeSpan(int Plot, float Seconds) { F.FMonitorPlots[Plot].SetTimeSpan(Seconds, true); }
    const TLoopPlotInfo& LoopPlot(int Loop) const { return F.FLoopPlots[Loop]; }
    TPlotScale SignalScale(int Id) const { return F.FSignalScales[Id]; }
    void SetSignalScale(int Id, TPlotScale Scale) { F.FSignalScales[Id] = Scale; }
    TPlotScale LoopScale(int Loop) const { return F.FLoopScales[Loop]; }
    void SetLoopScale(int Loop, TPlotScale Scale) { F.FLoopScales[Loop] = Scale; }
    // Samples since the monitor's current and average labels last changed
    // (they change every 25th).
    void SetLabelRefreshCount(int32_t Value) { F.FLabelRefreshCount = Value; }
    bool PlotMaximized() const { return F.FPlotMaximized; }
    bool LeakPlotShown() const { return F.FLeakPlotShown; }
    // The settings file's shadow flag; the plots keep their own copy.
    bool ShowPrevious() const { return F.FShowPrevious; }
    bool Printing() const { return F.FPrinting; }

    // ----------------------------------------- connection, device status
    bool Connected() const { return F.FConnected; }
    TCorrectionMode CorrectionMode() const { return F.FCorrectionMode; }
    TGasType GasType() const { return F.FGasType; }
    TGasProperties InspGas() const { return F.FInspGas; }
    float AmbientTemp() const { return F.FAmbientTemp; }
    int32_t FlowPort() const { return F.FFlowPort; }
    float BreathThreshold() const { return F.FBreathThreshold; }
    int32_t BreathDetectMode() const { return F.FBreathDetectMode; }
    const std::string& SignalsDir() const { return F.FSignalsDir; }

    // ------------------------------------------- recording and playback
    bool Recording() const { return F.FRecordFile != nullptr; }
    // Records written into the recording's file so far (0 when none runs).
    int64_t RecordedCount() const { return F.FRecordFile ? F.FRecordFile->RecordCount() : 0; }
    TDateTime TimedInterval() const { return F.FTimedInterval; }
    const std::string& DataFileName() const { return F.FDataFileName; }
    bool PlayingFile() const { return F.FPlaybackFile != nullptr; }
    bool PlaybackPaused() const { return F.FPlaybackPaused; }
    // The record played next (0 when no file is open).
    int64_t PlaybackPosition() const { return F.FPlaybackFile ? F.FPlaybackFile->Position() : 0; }
    bool LoopPlayback() const { return F.FLoopPlayback; }

    // The data file's information lines (0-7 shown) and event lines (0-4);
    // the side bar shows them after actnUpdateFileInfo / actnUpdateEvents.
    const std::string& FileInfo(int Line) const { return F.FFileInfo[Line]; }
    void SetFileInfo(int Line, const std::string& Text) { F.FFileInfo[Line] = Text; }
    const std::string& Event(int Line) const { return F.FEvents[Line]; }
    void SetEvent(int Line, const std::string& Text) { F.FEvents[Line] = Text; }

    // ------------------------------------------------ leak and trend tests
    const TLeakTest& LeakTest() const { return F.FLeakTest; }
    const TTrendTest& TrendTest() const { return F.FTrendTest; }
};

inline TMainFormProbe Probe(TMainForm& Form)
{
    return {Form};
}
