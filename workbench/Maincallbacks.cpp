// The main window's side of the analyzer link: received bytes into the
// protocol object, and the callbacks through which decoded samples,
// breath-parameter records, the device identity and its status arrive; the
// monitor and loop plots the samples are drawn on, and the loop popup menu.
#include "workbench/Main.h"

#include "analyzer/Functions.h"
#include "analyzer/Gasfunctions.h"
#include "analyzer/Serialfunctions.h"
#include "analyzer/Units.h"
#include "chart/Chart.h"
#include "platform/ComCtrls.h"
#include "platform/Menus.h"
#include "platform/ScopeGuard.h"
#include "platform/StdCtrls.h"
#include "workbench/SyrCalDialog.h"

namespace {

void RunIfBuilt(TAction* Action)
{
    // The display units of the plots, pages and tests hook in here.
    if (Action->OnExecute)
        Action->Execute();
}

}  // namespace

void TMainForm::CommPortTriggerAvail(TObject* Sender, uint16_t Count)
{
    const TValueRollback<int> Depth(FReceiveDepth, FReceiveDepth + 1);
    FProtocol->CommPortTriggerAvail(Count);
}

void TMainForm::NewWaveformSample(TWaveformSample Sample)
{
    if (FSyringeCalActive) {
        // The syringe dialog takes the samples while it runs.
        if (dlgSyrCal)
            dlgSyrCal->AddSample(Sample);
        return;
    }
    const float Values[SignalCount] = {Sample.Flow,        Sample.Volume,       Sample.AirwayPressure,
                                       Sample.LowPressure, Sample.HighPressure, Sample.BaroPressure,
                                       Sample.Oxygen,      Sample.Temperature,  Sample.RelHumidity};
    for (int i = 0; i < SignalCount; ++i)
        FSignalStats[i].AddSample(Values[i]);
    FParamStats[parOxygen].AddSample(Sample.Oxygen);
    FParamStats[parBaroPressure].AddSample(Sample.BaroPressure);
    FParamStats[parTemperature].AddSample(Sample.Temperature);
    FParamStats[parRelHumidity].AddSample(Sample.RelHumidity);
    FSampleTime = Sample.SampleCounter;
    FSampleMarker = Sample.Flags[0];
    RunIfBuilt(actnUpdateSignals);
    RunIfBuilt(actnUpdateFullTest);
    FLeakTest.AddSample();
    RunIfBuilt(actnUpdateLeakTest);
}

void TMainForm::NewParameters(TParameterStruct Params)
{
    if (FSyringeCalActive) {
        // The syringe dialog takes the records while it runs.
        if (dlgSyrCal)
            dlgSyrCal->AddParameters(Params);
        return;
    }
    for (int Id = 0; Id <= parAssistPressure; ++Id) {
        if (Id == parOxygen || Id == parBaroPressure)
            continue;  // these two come from the waveform samples
        FParamStats[Id].AddSample(Params.GetValue(Id));
    }
    FLastParameters = Params;
    RunIfBuilt(actnUpdateFullTest);
    FTrendTest.AddParameters(Params);
    RunIfBuilt(actnUpdateTrendTest);
}

void TMainForm::ConfigureForDevice(int Kind, const std::string& Version)
{
    FDeviceVersion = Version;
    if (Kind == 2)
        FDeviceKind = dkHandheld;
    else
        FDeviceKind = VersionNumber(Version) >= 10514 ? dkAnalyzer : dkAnalyzerOldFirmware;

    const bool Handheld = FDeviceKind == dkHandheld;
    const bool Analyzer = FDeviceKind == dkAnalyzer;
    mnuZRMobile->SetVisible(Handheld);
    SetActionEnabled(actnDownloadFiles, Handheld);
    SetActionEnabled(actnLoadFirmware, Analyzer);
    mnuFlowPort->SetVisible(Analyzer);
    SetActionEnabled(actnFlowPortHigh, Analyzer);
    SetActionEnabled(actnFlowPortLow, Analyzer);
    mnuCalibVIDuri->SetVisible(Analyzer);
    mnuZeroingMode->SetVisible(Analyzer);
    for (TAction* A : {actnZeroAuto, actnZeroManual, actnZeroFlow, actnZeroHPress, actnZeroLPress, actnZeroVolume,
                       actnBDBiDi, actnBDUniInsp, actnBDUniExp, actnBDNone})
        SetActionEnabled(A, Analyzer);
}

void TMainForm::SetDeviceVersion(const std::string& Text)
{
    FDeviceVersion = Text;
    // No reply says nothing about the firmware: the kind the connect reply
    // gave stays (an empty text would read as the oldest firmware).
    if (Text.empty())
        return;
    ConfigureForDevice(FDeviceKind == dkHandheld ? 2 : 1, Text);
}

void TMainForm::SetSerialNumber(const std::string& Text)
{
    FSerialNumber = Text;
}

void TMainForm::SetInspGas(TGasProperties Gas)
{
    FInspGas = Gas;
}

void TMainForm::SetExpGas(TGasProperties Gas)
{
    FExpGas = Gas;
}

void TMainForm::SetAmbientTemp(float Kelvin)
{
    FAmbientTemp = Kelvin;
}

void TMainForm::SetDeviceKind(uint8_t Kind)
{
    FDeviceKind = static_cast<TDeviceKind>(Kind);
}

void TMainForm::SetGasType(int GasType)
{
    FGasType = GasType;
}

void TMainForm::SetBreathThreshold(float Threshold)
{
    FBreathThreshold = Threshold;
}

void TMainForm::SetCorrectionMode(int Mode)
{
    FCorrectionMode = Mode;
    const char* Text = Mode == 0 ? "ATP" : Mode == 1 ? "STPD0" : Mode == 2 ? "BTPS" : "STPD21";
    StatusBar->Panels()->Items(2)->SetText(Text);
}

void TMainForm::ShowSerialMode(int Mode)
{
    TAction* const Modes[4] = {actnSerialModeNone, actnSerialModeWaveform, actnSerialModeParameters,
                               actnSerialModeBoth};
    for (TAction* A : Modes)
        A->SetChecked(false);
    if (Mode >= 0 && Mode <= 3)
        Modes[Mode]->SetChecked(true);
}

void TMainForm::ShowZeroMode(int Mode)
{
    actnZeroAuto->SetChecked(false);
    actnZeroManual->SetChecked(false);
    if (Mode == 0) {
        actnZeroAuto->SetChecked(true);
        StatusBar->Panels()->Items(1)->SetText("Automatic Zero");
    } else {
        actnZeroManual->SetChecked(true);
        StatusBar->Panels()->Items(1)->SetText("Manual Zero");
    }
}

void TMainForm::ShowFlowPort(int Port)
{
    actnFlowPortHigh->SetChecked(false);
    actnFlowPortLow->SetChecked(false);
    FFlowPort = Port;
    TStatusPanel* Panel = StatusBar->Panels()->Items(3);
    if (FDeviceKind == dkHandheld) {
        Panel->SetText(Port == 1 ? "High Flow" : Port == 3 ? "Low Press" : Port == 4 ? "Low Flow" : "No Sensor");
    } else if (Port != 0) {
        actnFlowPortHigh->SetChecked(true);
        Panel->SetText("High Flow");
    } else {
        actnFlowPortLow->SetChecked(true);
        Panel->SetText("Low Flow");
    }
}

void TMainForm::ShowBreathDetectMode(int Mode)
{
    FBreathDetectMode = Mode;
    for (TAction* A : {actnBDBiDi, actnBDNone, actnBDUniInsp, actnBDUniExp})
        A->SetChecked(false);
    TAction* Checked = actnBDBiDi;
    int Image = 8;
    if (Mode == 0) {
        Checked = actnBDNone;
        Image = 11;
    } else if (Mode == 2) {
        Checked = actnBDUniInsp;
        Image = 9;
    } else if (Mode == 3) {
        Checked = actnBDUniExp;
        Image = 10;
    }
    Checked->SetChecked(true);
    btnBreathDetect->SetImageIndex(Image);
}

void TMainForm::StatusReceived(uint8_t Extra)
{
}

// ------------------------------------------------------ monitor and loop plots

void TMainForm::actnUpdateSignalsExecute(TObject* Sender)
{
    // A report borrows the charts while it prints.
    if (FPrinting)
        return;
    for (int p = 0; p < 3; ++p) {
        TMonitorPlotInfo& Plot = FMonitorPlots[p];
        if (Plot.AddPoint(FSignalStats[Plot.SignalId()].CurrentIn(-1), FSampleTime))
            AutoScaleMonitorPlot(p);
    }
    const float Flow = FSignalStats[sigFlow].CurrentIn(-1);
    const float Volume = FSignalStats[sigVolume].CurrentIn(-1);
    const float Pressure = FSignalStats[sigAirwayPressure].CurrentIn(-1);
    const bool NewLoop = FSampleMarker != 0;
    if (FLoopPlots[0].AddPoint(Volume, Flow, NewLoop))
        AutoScaleFlowVolumeLoop();
    if (FLoopPlots[1].AddPoint(Pressure, Volume, NewLoop))
        AutoScaleVolumePressureLoop();
    actnUpdateMonitorSignals->Execute();
}

void TMainForm::actnUpdateMonitorSignalsExecute(TObject* Sender)
{
    if (++FLabelRefreshCount >= 25) {
        for (TMonitorPlotInfo& Plot : FMonitorPlots) {
            const TSignalStats& S = FSignalStats[Plot.SignalId()];
            Plot.SetCurrentText(S.FormatSmoothed(false));
            Plot.SetAvgText(S.FormatMean(false));
        }
        FLabelRefreshCount = 0;
    }
    for (TMonitorPlotInfo& Plot : FMonitorPlots) {
        const TSignalStats& S = FSignalStats[Plot.SignalId()];
        Plot.SetMaxText(S.FormatMax(false));
        Plot.SetMinText(S.FormatMin(false));
    }
}

void TMainForm::actnUpdateMonitorTitlesExecute(TObject* Sender)
{
    for (TMonitorPlotInfo& Plot : FMonitorPlots) {
        const TSignalStats& S = FSignalStats[Plot.SignalId()];
        Plot.SetTitle(S.LongName());
        Plot.SetUnits(S.DisplayUnitName());
    }
    // Titles and units change the statistics column's width.
    for (int p = 0; p < 4; ++p)
        LayoutPlotPanel(p);
    auto AxisTitle = [this](int Signal) {
        const TSignalStats& S = FSignalStats[Signal];
        return S.LongName() + " (" + S.DisplayUnitName() + ")";
    };
    FLoopPlots[0].SetLeftAxisTitle(AxisTitle(sigFlow));
    FLoopPlots[0].SetBottomAxisTitle(AxisTitle(sigVolume));
    FLoopPlots[1].SetLeftAxisTitle(AxisTitle(sigVolume));
    FLoopPlots[1].SetBottomAxisTitle(AxisTitle(sigAirwayPressure));
    actnUpdateMonitorSignals->Execute();
}

void TMainForm::actnShowPreviousDataExecute(TObject* Sender)
{
    actnShowPreviousData->SetChecked(!actnShowPreviousData->Checked());
    FShowPrevious = actnShowPreviousData->Checked();
    for (TMonitorPlotInfo& Plot : FMonitorPlots)
        Plot.SetShowPrevious(FShowPrevious);
    // The plot the popup menu addressed last starts afresh.
    actnClearMonitorSeries->Execute();
}

namespace {

// Minimum and maximum of a signal with 5 % added on each side, at least
// the signal's minimum span wide. False while either is still unknown: no
// value since the last reset, or only absent ones.
bool PaddedRange(const TSignalStats& S, float Factor, float& Lo, float& Hi)
{
    Lo = S.MinValue();
    Hi = S.MaxValue();
    if (S.ResetPending() || Lo == NoValue || Hi == NoValue)
        return false;
    Lo *= Factor;
    Hi *= Factor;
    const float M = (Hi - Lo) * 0.05f;
    Lo -= M;
    Hi += M;
    EnsureMinSpan(Lo, Hi, S.MinSpanValue());
    return true;
}

}  // namespace

void TMainForm::SetStartRange(int Plot)
{
    // Before a signal has a range of its own, its plot shows what such a
    // signal usually spans, in its display unit (base units here).
    struct TStartRange {
        float Lo;
        float Hi;
    };
    static const TStartRange Ranges[SignalCount] = {
        {-100, 100},             // flow, LPM
        {-100, 1000},            // volume, mL
        {-10, 60},               // airway pressure, cmH2O
        {-10, 60},               // low pressure, cmH2O
        {0, 80},                 // high pressure, PSI
        {600, 800},              // barometric pressure, mmHg
        {0, 100},                // oxygen, %
        {273.15f, 323.15f},      // temperature, K (0 to 50 deg C)
        {0, 100},                // relative humidity, %
    };
    const int S = FMonitorPlots[Plot].SignalId();
    if (S < 0 || S >= SignalCount || FSignalScales[S].Manual)
        return;
    const TSignalStats& Stats = FSignalStats[S];
    const float Lo = ConvertUnits(Stats.BaseUnit(), Stats.DisplayUnit(), Ranges[S].Lo);
    const float Hi = ConvertUnits(Stats.BaseUnit(), Stats.DisplayUnit(), Ranges[S].Hi);
    // Only the axis: the signal's scale is a measured (or the user's) range.
    FMonitorPlots[Plot].SetYRange(Lo, Hi, false);
}

void TMainForm::AutoScaleMonitorPlot(int Plot)
{
    const int S = FMonitorPlots[Plot].SignalId();
    if (FSignalScales[S].Manual)
        return;
    float Lo, Hi;
    if (!PaddedRange(FSignalStats[S], 1.0f, Lo, Hi)) {
        // Nothing measured yet (a unit changed before the first values).
        SetStartRange(Plot);
        return;
    }
    FMonitorPlots[Plot].SetYRange(Lo, Hi, false);
    SetPlotScale(FSignalScales[S], Hi, Lo);
}

void TMainForm::AutoScaleLoop(int Loop, int XSignal, int YSignal, float YFactor)
{
    if (FLoopScales[Loop].Manual)
        return;
    float XLo, XHi, YLo, YHi;
    if (!PaddedRange(FSignalStats[XSignal], 1.0f, XLo, XHi) || !PaddedRange(FSignalStats[YSignal], YFactor, YLo, YHi))
        return;
    FLoopPlots[Loop].SetRanges(XLo, YLo, XHi, YHi, false);
    ::SetLoopScale(FLoopScales[Loop], YHi, YLo, XHi, XLo);
}

void TMainForm::AutoScaleFlowVolumeLoop()
{
    AutoScaleLoop(0, sigVolume, sigFlow, 1.0f);
}

void TMainForm::AutoScaleVolumePressureLoop()
{
    AutoScaleLoop(1, sigAirwayPressure, sigVolume, 1.05f);
}

// ------------------------------------------------------------ loop popup menu

namespace {

// Pops the menu up for a loop at a point in Control's client coordinates,
// the menu's left or right edge there.
void PopupForLoop(TPopupMenu* Menu, int Loop, const TControl* Control, TPoint At,
                  TPopupAlignment Alignment = TPopupAlignment::paLeft)
{
    Menu->SetTag(Loop);
    const TPoint P = Control->ClientToScreen(At);
    Menu->SetAlignment(Alignment);
    Menu->Popup(P.X, P.Y);
}

}  // namespace

void TMainForm::btnLoop1MenuClick(TObject* Sender)
{
    PopupForLoop(menuLoopPopup, 0, btnLoop1Menu, TPoint{btnLoop1Menu->Width(), btnLoop1Menu->Height()}, TPopupAlignment::paRight);
}

void TMainForm::btnLoop2MenuClick(TObject* Sender)
{
    PopupForLoop(menuLoopPopup, 1, btnLoop2Menu, TPoint{btnLoop2Menu->Width(), btnLoop2Menu->Height()}, TPopupAlignment::paRight);
}

void TMainForm::chartLoop1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbRight)
        PopupForLoop(menuLoopPopup, 0, chartLoop1, TPoint{X, Y});
}

void TMainForm::chartLoop2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbRight)
        PopupForLoop(menuLoopPopup, 1, chartLoop2, TPoint{X, Y});
}

namespace {

int LoopOf(const TPopupMenu* Menu)
{
    return Menu->Tag() == 1 ? 1 : 0;
}

}  // namespace

void TMainForm::menuLoopPopupPopup(TObject* Sender)
{
    actnAutoScaleLoop->SetChecked(!FLoopScales[LoopOf(menuLoopPopup)].Manual);
}

void TMainForm::actnAutoScaleLoopExecute(TObject* Sender)
{
    // Back to automatic takes effect at the next automatic scaling.
    TPlotScale& Scale = FLoopScales[LoopOf(menuLoopPopup)];
    Scale.Manual = !Scale.Manual;
}

void TMainForm::actnClearLoopExecute(TObject* Sender)
{
    FLoopPlots[LoopOf(menuLoopPopup)].Clear();
}
