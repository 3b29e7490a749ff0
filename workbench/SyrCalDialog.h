// The syringe dialog: a calibration syringe of known volume is stroked
// through the flow sensor. Calibration shows the measured tidal volumes
// against the syringe volume until the user accepts; verification shows
// current, minimum, maximum and average tidal volumes with their percent
// differences. The main window hands it the live samples and breath records
// while it runs.
#pragma once

#include "analyzer/Parameterstruct.h"
#include "analyzer/Signalstats.h"
#include "analyzer/Types.h"
#include "platform/Forms.h"

#include <cstdint>

class TButton;
class TChart;
class TEdit;
class TFastLineSeries;
class TGroupBox;
class TIcNumSpin;
class TLabel;
class TMenuItem;
class TPageControl;
class TPanel;
class TPopupMenu;
class TTabSheet;
class TZEBBSerialProtocol;

// How the dialog was closed.
enum TSyrCalClose {
    scOK,         // "Accept" (calibration) or "OK" (verification)
    scCalibrate,  // verification's "Calibrate"
    scClosed,     // Cancel, Escape, the window's close button
};

class TdlgSyrCal : public TForm {
public:
    // The modal result of verification's "Calibrate" button.
    static constexpr TModalResult mrCalibrate = 100;
    // A plot without breath markers keeps its newest points only.
    static constexpr int MaxPlotPoints = 3000;
    static constexpr int PlotPointsDropped = 500;

    // Link: the protocol object the Zero button sends through (may be null).
    TdlgSyrCal(TComponent* Owner, TZEBBSerialProtocol* Link);

    // Volume > 0 replaces the syringe volume (mL); otherwise the last one is
    // kept. Calibrate chooses the calibration page and buttons.
    TSyrCalClose Execute(float Volume, bool Calibrate);

    void AddSample(TWaveformSample Sample);
    void AddParameters(TParameterStruct Params);
    void UpdateVolumes();
    void PlotPoint(int32_t Index, float Flow);

    float SyringeVolume() const { return FSyringeVolume; }
    int32_t Strokes() const { return FStrokes; }
    int32_t SampleIndex() const { return FSampleIndex; }
    bool ManualScale() const { return FManualScale; }
    TPlotScale Scale() const { return FScale; }
    float TimeSpan() const { return FTimeSpan; }
    const TSignalStats& FlowStats(int Entry) const { return FFlowStats[Entry]; }
    const TSignalStats& VolumeStats(int Entry) const { return FVolumeStats[Entry]; }

    void eSyringeVolumeValueChanged(TObject* Sender);
    void btnClearStatsClick(TObject* Sender);
    void btnZeroClick(TObject* Sender);
    void btnMenuClick(TObject* Sender);
    void chartMonitor1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void menuPopupPopup(TObject* Sender);
    void mnitManualScaleClick(TObject* Sender);
    void mnitAutoScaleClick(TObject* Sender);
    void mnitTimeScaleClick(TObject* Sender);

private:
    void ClearPlot();
    void SetLeftAxis(float Lower, float Upper);
    void SetBottomAxis(float Span);
    void EnableZero();

    int32_t FSampleIndex = 5;
    float FFlowHistory[10] = {};
    TSignalStats FFlowStats[2];
    TSignalStats FVolumeStats[2];
    bool FManualScale = false;
    TPlotScale FScale;
    float FTimeSpan = 20;
    int32_t FStrokes = 0;
    float FSyringeVolume = 0;
    TParameterStruct FParams;

    TZEBBSerialProtocol* FLink = nullptr;

    TButton* OKBtn;
    TButton* CancelBtn;
    TPanel* pnlPlot;
    TChart* chartMonitor1;
    TFastLineSeries* seriesMonitor1_1;
    TLabel* lblFlowTitle;
    TLabel* lblFlowUnits;
    TButton* btnMenu;
    TPopupMenu* menuPopup;
    TMenuItem* mnitAutoScale;
    TMenuItem* mnitManualScale;
    TMenuItem* mnitTimeScale;
    TLabel* lblPosMax;
    TLabel* lblPosAvg;
    TLabel* lblNegMax;
    TLabel* lblNegAvg;
    TLabel* lblNStrokes;
    TPageControl* PageControl;
    TTabSheet* tsCalibration;
    TEdit* eSyrVol;
    TEdit* eTVi;
    TLabel* lblInspPDiff;
    TEdit* eTVe;
    TLabel* lblExpPDiff;
    TTabSheet* tsVerification;
    TIcNumSpin* eSyringeVolume;
    TGroupBox* gbInsp;
    TLabel* lblInspCurr;
    TLabel* lblInspMin;
    TLabel* lblInspMax;
    TLabel* lblInspAvg;
    TGroupBox* gbExp;
    TLabel* lblExpCurr;
    TLabel* lblExpMin;
    TLabel* lblExpMax;
    TLabel* lblExpAvg;
    TButton* btnClearStats;
    TButton* btnZero;
};

extern TdlgSyrCal* dlgSyrCal;
