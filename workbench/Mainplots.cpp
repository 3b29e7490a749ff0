// The plot pages' layout and the maximizing of one monitor plot, the
// monitor plots' popup menu (signal, unit, automatic and manual scale, time
// span, clearing), the global unit dialog, rescaling every plot and the
// loops' manual scale.
#include "workbench/Main.h"

#include "analyzer/Functions.h"
#include "analyzer/Gasfunctions.h"
#include "analyzer/Units.h"
#include "chart/Chart.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "workbench/PlotScale.h"
#include "workbench/TimeScale.h"
#include "workbench/UnitSelect.h"

#include <algorithm>
#include <utility>

namespace {

// The display units the popup offers for a signal: Count codes from First.
struct TUnitFamily {
    TUnitCode First;
    int Count;
};

TUnitFamily UnitFamilyOf(int Signal)
{
    switch (Signal) {
    case sigFlow:
        return {ucLPM, 5};
    case sigVolume:
        return {ucLiters, 3};
    case sigAirwayPressure:
    case sigLowPressure:
    case sigHighPressure:
        return {ucCmH2O, 9};
    case sigTemperature:
        return {ucKelvin, 3};
    default:
        return {ucNone, 0};
    }
}

bool IsPressure(int Signal)
{
    return Signal == sigAirwayPressure || Signal == sigLowPressure || Signal == sigHighPressure;
}

std::string AxisCaption(const TSignalStats& S)
{
    return S.LongName() + " (" + S.DisplayUnitName() + ")";
}

}  // namespace

// ------------------------------------------------------------------ layout

void TMainForm::PageControlResize(TObject* Sender)
{
    actnResizePlots->Execute();
}

void TMainForm::actnResizePlotsExecute(TObject* Sender)
{
    // Every page has the same area: the tab sheet's client size.
    const int W = tsMonitor->ClientWidth();
    const int H = tsMonitor->ClientHeight();
    if (!FPlotMaximized) {
        const int RowH = (H - 3) / 3;
        pnlSigPlots[0]->SetBounds(0, 0, W, RowH);
        pnlSigPlots[1]->SetBounds(0, RowH, W, RowH);
        pnlSigPlots[2]->SetBounds(0, 2 * RowH, W, RowH);
        pnlSigPlots[3]->SetBounds(0, 2 * RowH, W, RowH);
        pnlSigPlots[2]->SetVisible(!FLeakPlotShown);
        pnlSigPlots[3]->SetVisible(FLeakPlotShown);
    }
    const int LoopW = (W - 2) / 2;
    pnlLoop1->SetBounds(0, 0, LoopW, H);
    pnlLoop2->SetBounds(LoopW + 2, 0, LoopW, H);
    pnlFullTest->SetLeft(0);
    pnlFullTest->SetTop(0);
}

void TMainForm::LayoutPlotPanel(int Panel)
{
    // Chart on the left, statistics column on the right: title, units,
    // then the values.
    TPanel* P = pnlSigPlots[Panel];
    const int W = P->Width();
    const int X = std::max(0, W - 110);
    TChart* const Charts[4] = {chartMonitor1, chartMonitor2, chartMonitor3, chartLeakTest};
    Charts[Panel]->SetBounds(2, 2, std::max(0, X - 6), std::max(0, P->Height() - 4));
    lblTitleMonitor[Panel]->SetBounds(X, 4, 105, 16);
    lblUnits1Monitor[Panel]->SetBounds(X, 20, 50, 16);
    lblUnits2Monitor[Panel]->SetBounds(X + 52, 20, 50, 16);
    lblMaxMonitor[Panel]->SetBounds(X, 38, 105, 16);
    lblMinMonitor[Panel]->SetBounds(X, 54, 105, 16);
    lblAvgMonitor[Panel]->SetBounds(X, 70, 105, 16);
    lblCurrMonitor[Panel]->SetBounds(X, 86, 105, 16);
    btnMonitorMenu[Panel]->SetBounds(X, 104, 30, 20);
    btnMonitorMax[Panel]->SetBounds(X + 34, 104, 30, 20);
}

void TMainForm::LayoutLoopPanel(int Loop)
{
    TPanel* P = Loop == 0 ? pnlLoop1 : pnlLoop2;
    TChart* Chart = Loop == 0 ? chartLoop1 : chartLoop2;
    Chart->SetBounds(2, 48, std::max(0, P->Width() - 4), std::max(0, P->Height() - 52));
    (Loop == 0 ? lblLoopTitle1 : lblLoopTitle2)->SetBounds(8, 4, 200, 16);
    (Loop == 0 ? btnLoop1Menu : btnLoop2Menu)->SetBounds(8, 24, 30, 20);
}

void TMainForm::TogglePlotMaximized(int Panel)
{
    if (FPlotMaximized) {
        RestorePlots();
        return;
    }
    FPlotMaximized = true;
    for (int p = 0; p < 4; ++p) {
        if (p == Panel)
            continue;
        pnlSigPlots[p]->SetAlign(alNone);
        pnlSigPlots[p]->SetVisible(false);
    }
    pnlSigPlots[Panel]->SetAlign(alClient);
}

void TMainForm::RestorePlots()
{
    FPlotMaximized = false;
    for (TPanel* P : pnlSigPlots)
        P->SetAlign(alNone);
    pnlSigPlots[0]->SetVisible(true);
    pnlSigPlots[1]->SetVisible(true);
    actnResizePlots->Execute();
}

void TMainForm::SetLeakPlotShown(bool Value)
{
    FLeakPlotShown = Value;
    if (FPlotMaximized)
        RestorePlots();
    else
        actnResizePlots->Execute();
}

void TMainForm::btnMonitor1MaxClick(TObject* Sender)
{
    TogglePlotMaximized(0);
}

void TMainForm::btnMonitor2MaxClick(TObject* Sender)
{
    TogglePlotMaximized(1);
}

void TMainForm::btnMonitor3MaxClick(TObject* Sender)
{
    TogglePlotMaximized(2);
}

void TMainForm::btnMonitor4MaxClick(TObject* Sender)
{
    TogglePlotMaximized(3);
}

// ---------------------------------------------------------- monitor popup

void TMainForm::PopupMonitorMenu(int Plot, const TControl* Control, TPoint At)
{
    menuMonitorPopup->SetTag(Plot);
    const TPoint P = Control->ClientToScreen(At);
    menuMonitorPopup->Popup(P.X, P.Y);
}

void TMainForm::btnMonitor1MenuClick(TObject* Sender)
{
    PopupMonitorMenu(0, btnMonitorMenu[0], TPoint{btnMonitorMenu[0]->Width(), btnMonitorMenu[0]->Height()});
}

void TMainForm::btnMonitor2MenuClick(TObject* Sender)
{
    PopupMonitorMenu(1, btnMonitorMenu[1], TPoint{btnMonitorMenu[1]->Width(), btnMonitorMenu[1]->Height()});
}

void TMainForm::btnMonitor3MenuClick(TObject* Sender)
{
    PopupMonitorMenu(2, btnMonitorMenu[2], TPoint{btnMonitorMenu[2]->Width(), btnMonitorMenu[2]->Height()});
}

void TMainForm::btnMonitor4MenuClick(TObject* Sender)
{
    PopupMonitorMenu(3, btnMonitorMenu[3], TPoint{btnMonitorMenu[3]->Width(), btnMonitorMenu[3]->Height()});
}

void TMainForm::chartMonitor1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbRight)
        PopupMonitorMenu(0, chartMonitor1, TPoint{X, Y});
}

void TMainForm::chartMonitor2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbRight)
        PopupMonitorMenu(1, chartMonitor2, TPoint{X, Y});
}

void TMainForm::chartMonitor3MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbRight)
        PopupMonitorMenu(2, chartMonitor3, TPoint{X, Y});
}

void TMainForm::chartLeakTestMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbRight)
        PopupMonitorMenu(3, chartLeakTest, TPoint{X, Y});
}

int TMainForm::AddressedPlot() const
{
    const intptr_t Plot = menuMonitorPopup->Tag();
    return Plot >= 0 && Plot < 3 ? static_cast<int>(Plot) : -1;
}

void TMainForm::menuMonitorPopupPopup(TObject* Sender)
{
    TAction* const SignalActions[SignalCount] = {actnFlow, actnVolume, actnAPress, actnLPress, actnHPress,
                                                 nullptr,  actnOxygen, actnTemp,   actnRelHum};
    const int Plot = AddressedPlot();
    // The leak plot has no monitor binding: it offers the leak test only.
    mnuMonitorSignal->SetVisible(Plot >= 0);
    mnuMonitorRescale->SetVisible(Plot >= 0);
    mnuMonitorClear->SetVisible(Plot >= 0);
    mnuLeakTestPop->SetVisible(Plot < 0);
    for (TAction* A : SignalActions)
        if (A)
            A->SetChecked(false);
    actnSigLeakTest->SetChecked(false);
    menuUnits->SetVisible(false);
    for (TAction* A : actnUnit) {
        A->SetVisible(false);
        A->SetChecked(false);
        A->SetTag(0);
    }
    if (Plot < 0)
        return;

    const int S = FMonitorPlots[Plot].SignalId();
    if (S >= 0 && S < SignalCount && SignalActions[S])
        SignalActions[S]->SetChecked(true);
    const TUnitFamily Family = UnitFamilyOf(S);
    if (Family.Count > 0) {
        const TUnitCode Shown = FSignalStats[S].DisplayUnit();
        for (int u = 0; u < Family.Count; ++u) {
            const TUnitCode Code = Family.First + u;
            actnUnit[u]->SetCaption(UnitName(Code));
            actnUnit[u]->SetVisible(true);
            actnUnit[u]->SetTag(Code);
            actnUnit[u]->SetChecked(Code == Shown);
        }
        menuUnits->SetVisible(true);
    }
    if (IsPressure(S)) {
        mnuLeakTestPop->SetVisible(true);
        actnLeakTest->SetTag(S);
    }
    actnAutoScale->SetChecked(!FSignalScales[S].Manual);
}

void TMainForm::SelectMonitorSignal(int Signal)
{
    const int Plot = AddressedPlot();
    if (Plot < 0)
        return;
    FMonitorPlots[Plot].SetSignalId(Signal);
    actnUpdateMonitorTitles->Execute();
    // The axis keeps its range until the next wrap.
    FMonitorPlots[Plot].Clear(false);
}

void TMainForm::actnFlowExecute(TObject* Sender)
{
    SelectMonitorSignal(sigFlow);
}

void TMainForm::actnVolumeExecute(TObject* Sender)
{
    SelectMonitorSignal(sigVolume);
}

void TMainForm::actnAPressExecute(TObject* Sender)
{
    SelectMonitorSignal(sigAirwayPressure);
}

void TMainForm::actnLPressExecute(TObject* Sender)
{
    SelectMonitorSignal(sigLowPressure);
}

void TMainForm::actnHPressExecute(TObject* Sender)
{
    SelectMonitorSignal(sigHighPressure);
}

void TMainForm::actnOxygenExecute(TObject* Sender)
{
    SelectMonitorSignal(sigOxygen);
}

void TMainForm::actnTempExecute(TObject* Sender)
{
    SelectMonitorSignal(sigTemperature);
}

void TMainForm::actnRelHumExecute(TObject* Sender)
{
    SelectMonitorSignal(sigRelHumidity);
}

void TMainForm::actnUnit1Execute(TObject* Sender)
{
    const auto* Action = dynamic_cast<const TComponent*>(Sender);
    const TUnitCode Code = Action ? static_cast<TUnitCode>(Action->Tag()) : 0;
    const int Plot = AddressedPlot();
    if (Code <= 0 || Plot < 0)
        return;
    // The unit is the signal's: every plot, loop and label showing it, and
    // the settings file, follow.
    FSignalStats[FMonitorPlots[Plot].SignalId()].SetDisplayUnit(Code);
    actnUpdateMonitorTitles->Execute();
    AutoScaleMonitorPlot(Plot);
}

void TMainForm::actnAutoScaleExecute(TObject* Sender)
{
    const int Plot = AddressedPlot();
    if (Plot < 0)
        return;
    // Back to automatic takes effect at the next wrap.
    TPlotScale& Scale = FSignalScales[FMonitorPlots[Plot].SignalId()];
    Scale.Manual = !Scale.Manual;
}

void TMainForm::actnManualScaleExecute(TObject* Sender)
{
    const int Plot = AddressedPlot();
    if (Plot < 0 || !dlgPlotScale)
        return;
    const int S = FMonitorPlots[Plot].SignalId();
    dlgPlotScale->SetScale(FSignalScales[S]);
    if (!dlgPlotScale->Execute(true, AxisCaption(FSignalStats[S]), ""))
        return;
    TPlotScale& Scale = FSignalScales[S];
    Scale = dlgPlotScale->Scale();
    Scale.Manual = true;
    // High and low typed the wrong way round are put in order before the
    // minimum span widens the range.
    float Lo = Scale.YLower;
    float Hi = Scale.YUpper;
    if (Lo > Hi)
        std::swap(Lo, Hi);
    EnsureMinSpan(Lo, Hi, FSignalStats[S].MinSpanValue());
    // Only this plot takes the new axis at once; others showing the signal
    // keep theirs, and none rescales while the signal is scaled by hand.
    FMonitorPlots[Plot].SetYRange(Lo, Hi, false);
    SetPlotScale(Scale, Hi, Lo);
}

void TMainForm::actnTimeExecute(TObject* Sender)
{
    // From the main menu after the leak plot's popup, plot 0's span is the
    // one proposed.
    const int Plot = std::max(0, AddressedPlot());
    if (!dlgTimeScale || !dlgTimeScale->Execute(FMonitorPlots[Plot].GetTimeSpan()))
        return;
    for (TMonitorPlotInfo& P : FMonitorPlots)
        P.SetTimeSpan(dlgTimeScale->Seconds(), false);
    actnUpdateMonitorTitles->Execute();
    actnRescalePlots->Execute();
}

void TMainForm::actnClearMonitorSeriesExecute(TObject* Sender)
{
    const int Plot = AddressedPlot();
    if (Plot >= 0)
        FMonitorPlots[Plot].Clear(false);
}

void TMainForm::actnRescalePlotsExecute(TObject* Sender)
{
    for (int p = 0; p < 3; ++p)
        AutoScaleMonitorPlot(p);
    AutoScaleFlowVolumeLoop();
    AutoScaleVolumePressureLoop();
}

void TMainForm::actnUnitsExecute(TObject* Sender)
{
    if (!dlgUnitSelect)
        return;
    if (!dlgUnitSelect->Execute(FSignalStats[sigFlow].DisplayUnit(), FSignalStats[sigVolume].DisplayUnit(),
                                FSignalStats[sigAirwayPressure].DisplayUnit(),
                                FSignalStats[sigLowPressure].DisplayUnit(),
                                FSignalStats[sigHighPressure].DisplayUnit(),
                                FSignalStats[sigTemperature].DisplayUnit()))
        return;
    FSignalStats[sigFlow].SetDisplayUnit(dlgUnitSelect->FlowUnit());
    FSignalStats[sigVolume].SetDisplayUnit(dlgUnitSelect->VolumeUnit());
    FSignalStats[sigAirwayPressure].SetDisplayUnit(dlgUnitSelect->APressUnit());
    FSignalStats[sigLowPressure].SetDisplayUnit(dlgUnitSelect->LPressUnit());
    FSignalStats[sigHighPressure].SetDisplayUnit(dlgUnitSelect->HPressUnit());
    FSignalStats[sigTemperature].SetDisplayUnit(dlgUnitSelect->TemperatureUnit());
    actnUpdateMonitorTitles->Execute();
    actnRescalePlots->Execute();
}

// ------------------------------------------------------- loop manual scale

void TMainForm::actnManualScaleLoopExecute(TObject* Sender)
{
    const int Loop = menuLoopPopup->Tag() == 1 ? 1 : 0;
    if (!dlgPlotScale)
        return;
    const TSignalStats& Y = FSignalStats[Loop == 0 ? sigFlow : sigVolume];
    const TSignalStats& X = FSignalStats[Loop == 0 ? sigVolume : sigAirwayPressure];
    dlgPlotScale->SetScale(FLoopScales[Loop]);
    if (!dlgPlotScale->Execute(false, AxisCaption(Y), AxisCaption(X)))
        return;
    TPlotScale Scale = dlgPlotScale->Scale();
    Scale.Manual = true;
    // Kept in order, the larger value upper, as automatic scaling keeps it.
    ::SetLoopScale(Scale, Scale.YUpper, Scale.YLower, Scale.XUpper, Scale.XLower);
    FLoopScales[Loop] = Scale;
    FLoopPlots[Loop].SetRanges(Scale.XLower, Scale.YLower, Scale.XUpper, Scale.YUpper, false);
}
