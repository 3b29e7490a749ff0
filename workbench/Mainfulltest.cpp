// The Full Test page: every breath parameter and the environment values
// with their units, the selection buttons and the detail panel of the
// selected parameter; the stacked test's set-up, the statistics actions and
// the reset of every live display.
#include "workbench/Main.h"

#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/Controlbuilder.h"
#include "platform/ExtCtrls.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "workbench/StackSetup.h"

#include <vector>

namespace {

// One field of the page: parameter id, value label, caption beside it and
// its selection button (none for the parameters that cannot be selected).
struct TFullTestField {
    int Id;
    const char* Label;
    const char* Caption;
    const char* Button;
};

struct TFullTestGroup {
    const char* Caption;
    int Left, Top;
    std::vector<TFullTestField> Fields;
};

const TFullTestGroup& Group(int i)
{
    static const TFullTestGroup Groups[4] = {
        {"Flow && Volume",
         4,
         4,
         {{parMinuteVolume, "lblMV", "Minute Volume:", "btnMVSelect"},
          {parTidalVolume2, "lblTV", "Tidal Volume:", "btnTVSelect"},
          {parBaseFlow, "lblBase", "Base Flow:", "btnBaseSelect"},
          {parPeakInspFlow, "lblPIF", "Peak Inspiratory Flow:", "btnPIFSelect"},
          {parPeakExpFlow, "lblPEF", "Peak Expiratory Flow:", "btnPEFSelect"}}},
        {"Pressure",
         4,
         122,
         {{parPIP, "lblPIP", "Peak Inspratory Pressure:", "btnPIPSelect"},
          {parPEEP, "lblPEEP", "PEEP:", "btnPEEPSelect"},
          {parInspPausePressure, "lblIPP", "Inspiratory Pause Pressure:", "btnIPPSelect"},
          {parMeanAirwayPressure, "lblMAP", "Mean Airway Pressure:", "btnMAPSelect"},
          {parMinAirwayPressure, "lblMinP", "Min. Airway Pressure:", "btnMinPSelect"},
          {parAssistPressure, "lblTrigP", "Assist Pressure:", "btnTrigPSelect"}}},
        {"Timing",
         312,
         4,
         {{parInspTime, "lblTi", "Inspiratory Time:", "btnTiSelect"},
          {parExpTime, "lblTe", "Expiratory Time:", "btnTeSelect"},
          {parInspHoldTime, "lblTiHold", "Inspiratory Hold Time:", "btnTiHSelect"},
          {parExpHoldTime, "lblTeHold", "Expiratory Hold Time:", "btnTeHSelect"},
          {parRespiratoryRate, "lblRR", "Respiratory Rate:", "btnRRSelect"},
          {parIERatio, "lblIE", "I :E Ratio:", nullptr}}},
        {"Other",
         312,
         140,
         {{parCompliance, "lblComp", "Compliance:", "btnCompSelect"},
          {parOxygen, "lblOxy", "O2 Percent:", "btnOxySelect"},
          {parBaroPressure, "lblBaroP", "Barometric Pressure:", nullptr},
          {parTemperature, "lblTemp", "Temperature:", "btnTempSelect"},
          {parRelHumidity, "lblRelHum", "Relative Humidity:", "btnRelHumSelect"}}},
    };
    return Groups[i];
}

constexpr int RowHeight = 18;
constexpr int GroupWidth = 304;

}  // namespace

void TMainForm::CreateFullTestPage()
{
    pnlFullTest = NewControl<TPanel>(this, tsFullTest, "pnlFullTest", "", 0, 0, 620, 362);
    pnlFullTest->SetCaption("");
    pnlFullTest->SetBevelOuter(bvNone);

    int Buttons = 0;
    for (int g = 0; g < 4; ++g) {
        const TFullTestGroup& G = Group(g);
        const int Height = static_cast<int>(G.Fields.size()) * RowHeight + 24;
        auto* Box = NewControl<TGroupBox>(this, pnlFullTest, "", G.Caption, G.Left, G.Top, GroupWidth, Height);
        int Top = 18;
        for (const TFullTestField& F : G.Fields) {
            if (F.Button) {
                auto* B = NewControl<TToolSpeedButton>(this, Box, F.Button, "", 6, Top, 16, 16);
                B->SetFlat(true);
                B->SetTag(F.Id);
                // The Tidal Volume button starts as the selected one.
                B->SetToolType(F.Id == parTidalVolume2 ? ttClose : ttMaximize);
                B->OnClick = [this](TObject* Sender) { btnTVSelectClick(Sender); };
                btnSelect[Buttons++] = B;
            }
            NewControl<TLabel>(this, Box, "", F.Caption, 28, Top + 1);
            lblFullTestValues[F.Id] = NewControl<TLabel>(this, Box, F.Label, "-----", 184, Top + 1);
            Top += RowHeight;
        }
    }

    gbFullDetail = NewControl<TGroupBox>(this, pnlFullTest, "gbFullDetail", "Detailed View", 4, 258, 612, 100);
    lblFullDetailTitle = NewControl<TLabel>(this, gbFullDetail, "lblFullDetailTitle", "", 12, 20);
    lblFullDetailTitle->Font()->SetStyle(TFontStyles{fsBold});
    lblFullDetailCurrent = NewControl<TLabel>(this, gbFullDetail, "lblFullDetailCurrent", "-----", 200, 20);
    NewControl<TLabel>(this, gbFullDetail, "", "Average:", 12, 44);
    lblFullDetailAvg = NewControl<TLabel>(this, gbFullDetail, "lblFullDetailAvg", "-----", 76, 44);
    NewControl<TLabel>(this, gbFullDetail, "", "Minimum:", 160, 44);
    lblFullDetailMin = NewControl<TLabel>(this, gbFullDetail, "lblFullDetailMin", "-----", 224, 44);
    NewControl<TLabel>(this, gbFullDetail, "", "Maximum:", 308, 44);
    lblFullDetailMax = NewControl<TLabel>(this, gbFullDetail, "lblFullDetailMax", "-----", 374, 44);
    lblStackLabel = NewControl<TLabel>(this, gbFullDetail, "lblStackLabel", "Stacked Value:", 12, 68);
    lblStacked = NewControl<TLabel>(this, gbFullDetail, "lblStacked", "-----", 104, 68);
    lblNStacked = NewControl<TLabel>(this, gbFullDetail, "lblNStacked", "", 200, 68);

    btnStack = NewControl<TSpeedButton>(this, gbFullDetail, "btnStack", "", 484, 16, 118, 22);
    btnStack->SetAction(actnStackedTest);
    btnTrend = NewControl<TSpeedButton>(this, gbFullDetail, "btnTrend", "", 484, 42, 118, 22);
    btnTrend->SetAction(actnTrendTest);
    btnFullTestMenu = NewControl<TButton>(this, gbFullDetail, "btnFullTestMenu", "...", 484, 68, 30, 22);
    btnFullTestMenu->OnClick = [this](TObject* Sender) { btnFullTestMenuClick(Sender); };
}

// ------------------------------------------------------------------ refresh

void TMainForm::actnUpdateFullTestExecute(TObject* Sender)
{
    // The latest value of each parameter with its unit; a label's text
    // changes only when the value shown does.
    for (int Id = 0; Id < ParameterCount; ++Id) {
        TFullTestInfo& Info = FFullTestInfo[Id];
        if (!Info.ValueLabel())
            continue;
        const TSignalStats& S = FParamStats[Id];
        Info.SetText(S.FormatCurrent(false) + " " + S.DisplayUnitName());
    }
    actnUpadteFullDetails->Execute();
}

void TMainForm::actnUpadteFullDetailsExecute(TObject* Sender)
{
    const TSignalStats& S = FParamStats[FSelectedParam];
    lblFullDetailTitle->SetCaption(S.LongName() + ":");
    lblFullDetailCurrent->SetCaption(S.FormatCurrent(false) + " " + S.DisplayUnitName());
    lblFullDetailAvg->SetCaption(S.FormatMean(false));
    lblFullDetailMin->SetCaption(S.FormatMin(false));
    lblFullDetailMax->SetCaption(S.FormatMax(false));
    lblStacked->SetCaption(S.FormatStack(false));
    lblNStacked->SetCaption("(" + S.FormatStackSize() + ")");
}

// --------------------------------------------------------------- selection

void TMainForm::btnTVSelectClick(TObject* Sender)
{
    auto* Button = dynamic_cast<TToolSpeedButton*>(Sender);
    if (!Button || Button->Tag() < 0 || Button->Tag() >= ParameterCount)
        return;
    FSelectedParam = static_cast<int32_t>(Button->Tag());
    TFullTestInfo& Info = FFullTestInfo[FSelectedParam];
    if (Info.Selected())
        return;
    actnClearSelections->Execute();
    Info.SetSelected(true);
    Button->SetToolType(ttClose);
    btnStack->SetEnabled(Info.Stackable());
    lblStackLabel->SetVisible(Info.Stackable());
    lblStacked->SetVisible(Info.Stackable());
    lblNStacked->SetVisible(Info.Stackable());
    btnTrend->SetEnabled(Info.Trendable());
    actnUpadteFullDetails->Execute();
}

void TMainForm::actnClearSelectionsExecute(TObject* Sender)
{
    for (TFullTestInfo& Info : FFullTestInfo)
        Info.SetSelected(false);
    for (TToolSpeedButton* B : btnSelect)
        B->SetToolType(ttMaximize);
}

void TMainForm::btnFullTestMenuClick(TObject* Sender)
{
    const TPoint P = btnFullTestMenu->ClientToScreen(TPoint{btnFullTestMenu->Width(), btnFullTestMenu->Height()});
    popFullTest->Popup(P.X, P.Y);
}

// ------------------------------------------------------------ stacked test

void TMainForm::actnStackedTestExecute(TObject* Sender)
{
    if (!dlgStackSetup || !dlgStackSetup->Execute(FBreathsToStack))
        return;
    FBreathsToStack = dlgStackSetup->BreathsToStack();
    for (TSignalStats& S : FParamStats)
        S.SetStackSize(FBreathsToStack);
    actnUpadteFullDetails->Execute();
}

// --------------------------------------------------------------- statistics

// Each clear asks the statistics for a restart at their next value; until
// then their texts show "-----". A signal's clear leaves the parameter
// statistics fed from the same signal alone.

void TMainForm::actnClearAllExecute(TObject* Sender)
{
    for (TSignalStats& S : FSignalStats)
        S.Reset();
    for (TSignalStats& S : FParamStats)
        S.Reset();
}

void TMainForm::actnClearFlowStatsExecute(TObject* Sender)
{
    FSignalStats[sigFlow].Reset();
}

void TMainForm::actnClearVolumeStatsExecute(TObject* Sender)
{
    FSignalStats[sigVolume].Reset();
}

void TMainForm::actnClearAPressStatsExecute(TObject* Sender)
{
    FSignalStats[sigAirwayPressure].Reset();
}

void TMainForm::actnClearLPressStatsExecute(TObject* Sender)
{
    FSignalStats[sigLowPressure].Reset();
}

void TMainForm::actnClearHPressStatsExecute(TObject* Sender)
{
    FSignalStats[sigHighPressure].Reset();
}

void TMainForm::actnClearOxygenStatsExecute(TObject* Sender)
{
    FSignalStats[sigOxygen].Reset();
}

void TMainForm::actnClearTemperatureStatsExecute(TObject* Sender)
{
    FSignalStats[sigTemperature].Reset();
}

void TMainForm::actnClearRelHumStatsExecute(TObject* Sender)
{
    FSignalStats[sigRelHumidity].Reset();
}

void TMainForm::actnResetEverytingExecute(TObject* Sender)
{
    actnClearAll->Execute();
    for (TMonitorPlotInfo& Plot : FMonitorPlots) {
        Plot.Clear(true);
        const TSignalStats& S = FSignalStats[Plot.SignalId()];
        Plot.SetCurrentText(S.FormatSmoothed(false));
        Plot.SetAvgText(S.FormatMean(false));
        Plot.SetMaxText(S.FormatMax(false));
        Plot.SetMinText(S.FormatMin(false));
    }
    actnUpdateFullTest->Execute();
    for (TLoopPlotInfo& Loop : FLoopPlots)
        Loop.Clear();
}
