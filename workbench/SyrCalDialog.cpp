#include "workbench/SyrCalDialog.h"

#include "analyzer/Functions.h"
#include "analyzer/Serialfunctions.h"
#include "analyzer/Units.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/ComCtrls.h"
#include "platform/Controlbuilder.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "widgets/IcNumEdit.h"
#include "workbench/PlotScale.h"
#include "workbench/TimeScale.h"

#include <cmath>

TdlgSyrCal* dlgSyrCal = nullptr;

namespace {

constexpr float SampleSeconds = 0.02f;
constexpr float FlowDeadBand = 0.5f;  // L/min
constexpr int FirstSampleIndex = 5;

bool Present(float Value)
{
    return Value != NoValue && std::isfinite(Value);
}

// Peak flow per time with "0.0"; "-----" when either is absent or the time
// is 0.
std::string FlowPerTime(float Flow, float Seconds)
{
    if (!Present(Flow) || !Present(Seconds) || Seconds == 0)
        return NoValueText;
    return FormatFloat("0.0", Flow / Seconds);
}

std::string Peak(float Flow)
{
    return Present(Flow) ? FormatFloat("0.0", Flow) : std::string(NoValueText);
}

TLabel* StaticLabel(TWinControl* Parent, const std::string& Text, int Left, int Top)
{
    return NewControl<TLabel>(Parent, Parent, "", Text, Left, Top);
}

TLabel* ValueLabel(TComponent* Owner, TWinControl* Parent, const std::string& Name, int Left, int Top)
{
    return NewControl<TLabel>(Owner, Parent, Name, NoValueText, Left, Top, 120);
}

TEdit* ReadOnlyEdit(TComponent* Owner, TWinControl* Parent, const std::string& Name, int Left, int Top)
{
    auto* E = NewControl<TEdit>(Owner, Parent, Name, "", Left, Top, 70);
    E->SetReadOnly(true);
    return E;
}

}  // namespace

TdlgSyrCal::TdlgSyrCal(TComponent* Owner, TZEBBSerialProtocol* Link) : TForm(Owner), FLink(Link)
{
    SetName("dlgSyrCal");
    SetCaption("Syringe Calibration");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(620);
    SetClientHeight(470);

    FFlowStats[0].Setup("Flow", "Flow", ucLPM, ucLPM, -1, -1.0f);
    FFlowStats[1].Setup("Flow", "Flow", ucLPM, ucLPM, -1, -1.0f);
    const int VolumeIds[2] = {parTidalVolume2, parTidalVolume1};
    for (int i = 0; i < 2; ++i) {
        const int Id = VolumeIds[i];
        const TUnitCode Unit = TParameterStruct::GetUnitCode(Id);
        FVolumeStats[i].Setup(TParameterStruct::NameText(Id), TParameterStruct::ShortNameText(Id), Unit, Unit,
                              TParameterStruct::GetDecimals(Id), -1.0f);
    }
    FScale.YLower = -100;
    FScale.YUpper = 100;

    // The flow plot.
    pnlPlot = NewControl<TPanel>(this, this, "pnlPlot", "", 8, 8, 604, 230);
    pnlPlot->SetBevelOuter(bvLowered);
    lblFlowTitle = NewControl<TLabel>(this, pnlPlot, "lblFlowTitle", "Flow", 8, 6);
    lblFlowUnits = NewControl<TLabel>(this, pnlPlot, "lblFlowUnits", "(LPM)", 8, 24);
    btnMenu = NewControl<TButton>(this, pnlPlot, "btnMenu", "...", 8, 200, 40, 22);
    chartMonitor1 = NewControl<TChart>(this, pnlPlot, "chartMonitor1", "", 60, 2, 540, 224);
    chartMonitor1->SetView3D(false);
    chartMonitor1->Legend()->SetVisible(false);
    chartMonitor1->Zoom()->SetAllow(false);
    chartMonitor1->SetAllowPanning(pmNone);
    chartMonitor1->BottomAxis()->Title()->SetCaption("Seconds");
    chartMonitor1->BottomAxis()->SetAutomatic(false);
    chartMonitor1->LeftAxis()->SetAutomatic(false);
    SetBottomAxis(20);
    SetLeftAxis(-100, 100);
    seriesMonitor1_1 = new TFastLineSeries(this);
    seriesMonitor1_1->SetName("seriesMonitor1_1");
    seriesMonitor1_1->SetParentChart(chartMonitor1);

    menuPopup = new TPopupMenu(this);
    menuPopup->SetName("menuPopup");
    auto Item = [this](TMenuItem*& Field, const std::string& Name, const std::string& Text) {
        Field = new TMenuItem(this);
        Field->SetName(Name);
        Field->SetCaption(Text);
        menuPopup->Items()->Add(Field);
    };
    Item(mnitAutoScale, "mnitAutoScale", "Auto-Rescale");
    Item(mnitManualScale, "mnitManualScale", "Manual Scale");
    Item(mnitTimeScale, "mnitTimeScale", "Time Scale");
    menuPopup->OnPopup = [this](TObject* Sender) { menuPopupPopup(Sender); };
    mnitAutoScale->OnClick = [this](TObject* Sender) { mnitAutoScaleClick(Sender); };
    mnitManualScale->OnClick = [this](TObject* Sender) { mnitManualScaleClick(Sender); };
    mnitTimeScale->OnClick = [this](TObject* Sender) { mnitTimeScaleClick(Sender); };
    btnMenu->OnClick = [this](TObject* Sender) { btnMenuClick(Sender); };
    chartMonitor1->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        chartMonitor1MouseDown(Sender, Button, Shift, X, Y);
    };

    // Peak and average flows, strokes.
    auto* Flows = NewControl<TPanel>(this, this, "pnlFlows", "", 8, 244, 604, 44);
    Flows->SetBevelOuter(bvNone);
    StaticLabel(Flows, "Inspiratory", 4, 2);
    StaticLabel(Flows, "Peak:", 90, 2);
    lblPosMax = ValueLabel(this, Flows, "lblPosMax", 130, 2);
    StaticLabel(Flows, "Avg:", 210, 2);
    lblPosAvg = ValueLabel(this, Flows, "lblPosAvg", 250, 2);
    StaticLabel(Flows, "Expiratory", 4, 22);
    StaticLabel(Flows, "Peak:", 90, 22);
    lblNegMax = ValueLabel(this, Flows, "lblNegMax", 130, 22);
    StaticLabel(Flows, "Avg:", 210, 22);
    lblNegAvg = ValueLabel(this, Flows, "lblNegAvg", 250, 22);
    StaticLabel(Flows, "Strokes:", 400, 12);
    lblNStrokes = ValueLabel(this, Flows, "lblNStrokes", 460, 12);

    // The two pages, their tabs hidden.
    PageControl = NewControl<TPageControl>(this, this, "PageControl", "", 8, 292, 604, 136);
    auto Sheet = [this](TTabSheet*& Field, const std::string& Name) {
        Field = new TTabSheet(this);
        Field->SetName(Name);
        Field->SetPageControl(PageControl);
        Field->SetTabVisible(false);
    };
    Sheet(tsCalibration, "tsCalibration");
    Sheet(tsVerification, "tsVerification");

    StaticLabel(tsCalibration, "Click Accept when the tidal volumes agree with the syringe volume.", 8, 6);
    StaticLabel(tsCalibration, "Syringe Volume (ml):", 8, 32);
    eSyrVol = ReadOnlyEdit(this, tsCalibration, "eSyrVol", 200, 28);
    StaticLabel(tsCalibration, "Inspiratory Tidal Volume (ml):", 8, 60);
    eTVi = ReadOnlyEdit(this, tsCalibration, "eTVi", 200, 56);
    lblInspPDiff = ValueLabel(this, tsCalibration, "lblInspPDiff", 280, 60);
    StaticLabel(tsCalibration, "Expiratory Tidal Volume (ml):", 8, 88);
    eTVe = ReadOnlyEdit(this, tsCalibration, "eTVe", 200, 84);
    lblExpPDiff = ValueLabel(this, tsCalibration, "lblExpPDiff", 280, 88);

    StaticLabel(tsVerification, "Syringe Volume (ml):", 8, 8);
    eSyringeVolume = NewControl<TIcNumSpin>(this, tsVerification, "eSyringeVolume", "", 130, 4, 80);
    eSyringeVolume->SetFormatStr("#0.#");
    eSyringeVolume->SetIncrement(1);
    eSyringeVolume->SetMinValue(0);
    eSyringeVolume->SetOptions({eoLimitMin});
    eSyringeVolume->OnValueChanged = [this](TObject* Sender) { eSyringeVolumeValueChanged(Sender); };
    auto Group = [this](TGroupBox*& Field, const std::string& Name, const std::string& Text, int Left,
                        TLabel*& Curr, TLabel*& Min, TLabel*& Max, TLabel*& Avg, const std::string& Side) {
        Field = NewControl<TGroupBox>(this, tsVerification, Name, Text, Left, 30, 230, 96);
        StaticLabel(Field, "Current:", 8, 18);
        Curr = ValueLabel(this, Field, "lbl" + Side + "Curr", 70, 18);
        StaticLabel(Field, "Min:", 8, 36);
        Min = ValueLabel(this, Field, "lbl" + Side + "Min", 70, 36);
        StaticLabel(Field, "Max:", 8, 54);
        Max = ValueLabel(this, Field, "lbl" + Side + "Max", 70, 54);
        StaticLabel(Field, "Avg:", 8, 72);
        Avg = ValueLabel(this, Field, "lbl" + Side + "Avg", 70, 72);
    };
    Group(gbInsp, "gbInsp", "Inspiratory Tidal Volume (ml)", 4, lblInspCurr, lblInspMin, lblInspMax, lblInspAvg,
          "Insp");
    Group(gbExp, "gbExp", "Expiratory Tidal Volume (ml)", 240, lblExpCurr, lblExpMin, lblExpMax, lblExpAvg, "Exp");
    btnClearStats = NewControl<TButton>(this, tsVerification, "btnClearStats", "Clear Volumes", 480, 40, 100, 25);
    btnZero = NewControl<TButton>(this, tsVerification, "btnZero", "Zero", 480, 76, 100, 25);
    btnClearStats->OnClick = [this](TObject* Sender) { btnClearStatsClick(Sender); };
    btnZero->OnClick = [this](TObject* Sender) { btnZeroClick(Sender); };

    OKBtn = NewControl<TButton>(this, this, "OKBtn", "OK", 436, 436, 80, 25);
    OKBtn->SetModalResult(mrOk);
    OKBtn->SetDefault(true);
    CancelBtn = NewControl<TButton>(this, this, "CancelBtn", "Cancel", 528, 436, 80, 25);
    CancelBtn->SetModalResult(mrCancel);

    PageControl->SetActivePage(tsCalibration);
    DoCreate();
}

TSyrCalClose TdlgSyrCal::Execute(float Volume, bool Calibrate)
{
    if (Volume > 0)
        FSyringeVolume = Volume;
    eSyringeVolume->SetValue(FSyringeVolume);

    FParams.Clear();
    for (TSignalStats& S : FFlowStats)
        S.Reset();
    for (TSignalStats& S : FVolumeStats)
        S.Reset();
    FStrokes = 0;
    ClearPlot();
    UpdateVolumes();

    if (Calibrate) {
        PageControl->SetActivePage(tsCalibration);
        OKBtn->SetCaption("Accept");
        CancelBtn->SetCaption("Cancel");
        CancelBtn->SetModalResult(mrCancel);
        CancelBtn->SetCancel(true);
        SetCaption("Syringe Calibration");
    } else {
        PageControl->SetActivePage(tsVerification);
        OKBtn->SetCaption("OK");
        // Its own result: closing the window in any other way is not a
        // request to calibrate.
        CancelBtn->SetCaption("Calibrate");
        CancelBtn->SetModalResult(mrCalibrate);
        CancelBtn->SetCancel(false);
        SetCaption("Syringe Verification");
    }
    const TModalResult Result = ShowModal();
    if (Result == mrOk)
        return scOK;
    return !Calibrate && Result == mrCalibrate ? scCalibrate : scClosed;
}

void TdlgSyrCal::ClearPlot()
{
    seriesMonitor1_1->Clear();
    FSampleIndex = FirstSampleIndex;
}

void TdlgSyrCal::SetLeftAxis(float Lower, float Upper)
{
    chartMonitor1->LeftAxis()->SetMinMax(Lower, Upper);
    chartMonitor1->LeftAxis()->SetDesiredIncrement((Upper - Lower) * 0.2);
}

void TdlgSyrCal::SetBottomAxis(float Span)
{
    chartMonitor1->BottomAxis()->SetMinMax(0, Span);
    chartMonitor1->BottomAxis()->SetDesiredIncrement(Span * 0.2);
}

void TdlgSyrCal::EnableZero()
{
    if (!btnZero->Enabled()) {
        btnZero->SetEnabled(true);
        btnZero->SetCaption("Zero");
    }
}

void TdlgSyrCal::AddSample(TWaveformSample Sample)
{
    const float Flow = Sample.Flow;
    if (Present(Flow)) {
        if (Flow > FlowDeadBand)
            FFlowStats[0].AddSample(Flow);
        else if (Flow < -FlowDeadBand)
            FFlowStats[1].AddSample(Flow);
    }
    EnableZero();

    if (Sample.Flags[0]) {
        if (!FManualScale) {
            const float Lowest = FFlowStats[1].MinValue();
            const float Highest = FFlowStats[0].MaxValue();
            if (Present(Lowest) && Present(Highest)) {
                FScale.YLower = Lowest * 1.5f;
                FScale.YUpper = Highest * 1.5f;
                SetLeftAxis(FScale.YLower, FScale.YUpper);
            }
            const float Ti = FParams.GetValue(parInspTime);
            const float Te = FParams.GetValue(parExpTime);
            if (Present(Ti) && Present(Te) && Ti > 0 && Te > 0) {
                FTimeSpan = (Ti + Te) * 5;
                SetBottomAxis(FTimeSpan);
            }
        }
        FFlowStats[0].Reset();
        FFlowStats[1].Reset();
        ClearPlot();
        for (int i = 9; i >= 0; --i)
            PlotPoint(FSampleIndex++, FFlowHistory[i]);
    }
    PlotPoint(FSampleIndex++, Flow);
    for (int i = 9; i > 0; --i)
        FFlowHistory[i] = FFlowHistory[i - 1];
    FFlowHistory[0] = Flow;

    if (FSampleIndex % 5 == 0) {
        lblPosMax->SetCaption(FFlowStats[0].FormatMax(false));
        lblPosAvg->SetCaption(FFlowStats[0].FormatMean(false));
        lblNegMax->SetCaption(FFlowStats[1].FormatMin(false));
        lblNegAvg->SetCaption(FFlowStats[1].FormatMean(false));
    }
}

void TdlgSyrCal::PlotPoint(int32_t Index, float Flow)
{
    // Without breath markers the x position only grows: the newest points
    // are kept.
    if (seriesMonitor1_1->Count() >= MaxPlotPoints)
        seriesMonitor1_1->Delete(0, PlotPointsDropped);
    seriesMonitor1_1->AddXY(Index * SampleSeconds, Flow, "", seriesMonitor1_1->SeriesColor());
}

void TdlgSyrCal::AddParameters(TParameterStruct Params)
{
    FParams = Params;
    EnableZero();
    const float TVi = Params.GetValue(parTidalVolume2);
    const float TVe = Params.GetValue(parTidalVolume1);
    if (Present(TVi) && TVi > 0)
        FVolumeStats[0].AddSample(TVi);
    if (Present(TVe) && TVe > 0)
        FVolumeStats[1].AddSample(TVe);
    ++FStrokes;
    UpdateVolumes();

    const float PeakInsp = Params.GetValue(parPeakInspFlow);
    const float PeakExp = Params.GetValue(parPeakExpFlow);
    lblPosMax->SetCaption(Peak(PeakInsp));
    lblPosAvg->SetCaption(FlowPerTime(PeakInsp, Params.GetValue(parInspTime)));
    lblNegMax->SetCaption(Peak(PeakExp));
    lblNegAvg->SetCaption(FlowPerTime(PeakExp, Params.GetValue(parExpTime)));
}

void TdlgSyrCal::UpdateVolumes()
{
    eSyrVol->SetText(FormatFloat("0", FSyringeVolume));
    eTVe->SetText(FParams.ValueText(parTidalVolume1, false));
    eTVi->SetText(FParams.ValueText(parTidalVolume2, false));
    lblExpPDiff->SetCaption(
        FormatPercentDifference(FSyringeVolume, FParams.GetValue(parTidalVolume1), "0.0", false) + " % diff");
    lblInspPDiff->SetCaption(
        FormatPercentDifference(FSyringeVolume, FParams.GetValue(parTidalVolume2), "0.0", false) + " % diff");

    auto Line = [this](float Value, const std::string& Text) {
        return Text + " (" + FormatPercentDifference(FSyringeVolume, Value, "0.0", true) + ")";
    };
    const TSignalStats& I = FVolumeStats[0];
    lblInspCurr->SetCaption(Line(I.CurrentIn(I.DisplayUnit()), I.FormatCurrent(false)));
    lblInspMax->SetCaption(Line(I.MaxValue(), I.FormatMax(false)));
    lblInspMin->SetCaption(Line(I.MinValue(), I.FormatMin(false)));
    lblInspAvg->SetCaption(Line(I.MeanValue(), I.FormatMean(false)));
    const TSignalStats& E = FVolumeStats[1];
    lblExpCurr->SetCaption(Line(E.CurrentIn(E.DisplayUnit()), E.FormatCurrent(false)));
    lblExpMax->SetCaption(Line(E.MaxValue(), E.FormatMax(false)));
    lblExpMin->SetCaption(Line(E.MinValue(), E.FormatMin(false)));
    lblExpAvg->SetCaption(Line(E.MeanValue(), E.FormatMean(false)));
    lblNStrokes->SetCaption(IntToStr(FStrokes));
}

void TdlgSyrCal::eSyringeVolumeValueChanged(TObject* Sender)
{
    const float V = static_cast<float>(eSyringeVolume->Value());
    if (V > 0) {
        FSyringeVolume = V;
        UpdateVolumes();
    }
}

void TdlgSyrCal::btnClearStatsClick(TObject* Sender)
{
    FStrokes = 0;
    FVolumeStats[0].Reset();
    FVolumeStats[1].Reset();
    UpdateVolumes();
    ClearPlot();
}

void TdlgSyrCal::btnZeroClick(TObject* Sender)
{
    if (MessageDlg("Disconnect flow.  Click Ok to zero.", mtInformation, TMsgDlgButtons{mbOK, mbCancel}) != mrOk)
        return;
    btnZero->SetEnabled(false);
    btnZero->SetCaption("Please Wait");
    btnClearStatsClick(Sender);
    if (FLink) {
        FLink->SendZero('2');
        FLink->SendZero('b');
    }
    // A sample received while the commands waited may have enabled it.
    btnZero->SetEnabled(false);
    btnZero->SetCaption("Please Wait");
}

void TdlgSyrCal::btnMenuClick(TObject* Sender)
{
    menuPopup->SetAlignment(TPopupAlignment::paRight);
    const TPoint P = btnMenu->ClientToScreen(TPoint{btnMenu->Width(), btnMenu->Height()});
    menuPopup->Popup(P.X, P.Y);
}

void TdlgSyrCal::chartMonitor1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button != mbRight)
        return;
    menuPopup->SetAlignment(TPopupAlignment::paLeft);
    const TPoint P = chartMonitor1->ClientToScreen(TPoint{X, Y});
    menuPopup->Popup(P.X, P.Y);
}

void TdlgSyrCal::menuPopupPopup(TObject* Sender)
{
    mnitManualScale->SetChecked(FManualScale);
    mnitTimeScale->SetChecked(FManualScale);
    mnitAutoScale->SetChecked(!FManualScale);
}

void TdlgSyrCal::mnitManualScaleClick(TObject* Sender)
{
    if (!dlgPlotScale)
        return;
    dlgPlotScale->SetScale(FScale);
    if (!dlgPlotScale->Execute(true, "Flow (LPM)", ""))
        return;
    FScale = dlgPlotScale->Scale();
    FManualScale = true;
    SetLeftAxis(FScale.YLower, FScale.YUpper);
}

void TdlgSyrCal::mnitAutoScaleClick(TObject* Sender)
{
    FManualScale = false;
}

void TdlgSyrCal::mnitTimeScaleClick(TObject* Sender)
{
    if (!dlgTimeScale || !dlgTimeScale->Execute(FTimeSpan))
        return;
    FTimeSpan = dlgTimeScale->Seconds();
    SetBottomAxis(FTimeSpan);
    FManualScale = true;
}
