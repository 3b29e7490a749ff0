// The main window's components: actions, main menu, popup menus, tool bar,
// status bar, pages, side bar, timers, file dialogs and the serial port.
#include "workbench/Main.h"

#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/ApdComPort.h"
#include "platform/ComCtrls.h"
#include "platform/Controlbuilder.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/ImgList.h"
#include "platform/LookOut.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"
#include "workbench/Toolimages.h"

#include <algorithm>
#include <utility>

namespace {

TMenuItem* AddItem(TComponent* Owner, TMenuItem* Parent, TBasicAction* Action)
{
    auto* Item = new TMenuItem(Owner);
    Item->SetAction(Action);
    Parent->Add(Item);
    return Item;
}

TMenuItem* AddSub(TComponent* Owner, TMenuItem* Parent, const std::string& Caption, const std::string& Name = "")
{
    auto* Item = new TMenuItem(Owner);
    if (!Name.empty())
        Item->SetName(Name);
    Item->SetCaption(Caption);
    Parent->Add(Item);
    return Item;
}

void AddLine(TComponent* Owner, TMenuItem* Parent)
{
    AddSub(Owner, Parent, "-");
}

TChart* NewChart(TComponent* Owner, TWinControl* Parent, const std::string& Name)
{
    auto* C = NewControl<TChart>(Owner, Parent, Name);
    C->SetView3D(false);
    return C;
}

// A live plot: fixed axes, no legend, no zoom; the ranges are the
// plots' own.
void PlotChartDefaults(TChart* Chart)
{
    Chart->Legend()->SetVisible(false);
    Chart->Zoom()->SetAllow(false);
    Chart->SetAllowPanning(pmNone);
    Chart->LeftAxis()->SetMinMax(-1, 1);
}

TFastLineSeries* NewSeries(TComponent* Owner, TChart* Chart, const std::string& Name)
{
    auto* S = new TFastLineSeries(Owner);
    S->SetName(Name);
    S->SetParentChart(Chart);
    return S;
}

}  // namespace

TAction* TMainForm::NewAction(TAction*& Field, const std::string& Name, const std::string& Caption,
                              void (TMainForm::*Handler)(TObject*))
{
    Field = new TAction(this);
    Field->SetName(Name);
    Field->SetCaption(Caption);
    Field->SetActionList(ActionList);
    if (Handler)
        Field->OnExecute = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    return Field;
}

void TMainForm::CreateActions()
{
    ActionList = new TActionList(this);
    ActionList->SetName("ActionList");
    // File.
    NewAction(actnSaveFile, "actnSaveFile", "Save Data File");
    NewAction(actnOpenFile, "actnOpenFile", "Open File");
    NewAction(actnCloseFile, "actnCloseFile", "Close File");
    NewAction(actnFileControls, "actnFileControls", "View File Controls", &TMainForm::actnFileControlsExecute);
    actnFileControls->OnUpdate = [this](TObject* Sender) { actnFileControlsUpdate(Sender); };
    NewAction(actnTimedBreaks, "actnTimedBreaks", "Timed Breaks");
    NewAction(actnExtractSignalFile, "actnExtractSignalFile", "Extract Signal File");
    NewAction(actnExtractParameterFile, "actnExtractParameterFile", "Extract Parameter File");
    NewAction(actnLoadFirmware, "actnLoadFirmware", "Load Flash", &TMainForm::actnLoadFirmwareExecute);
    NewAction(actnPrintReport, "actnPrintReport", "Print", &TMainForm::actnPrintReportExecute);
    // Communications.
    NewAction(actnSerialModeBoth, "actnSerialModeBoth", "&Both", &TMainForm::actnSerialModeBothExecute);
    NewAction(actnSerialModeWaveform, "actnSerialModeWaveform", "&Waveform",
              &TMainForm::actnSerialModeWaveformExecute);
    NewAction(actnSerialModeParameters, "actnSerialModeParameters", "&Parameters",
              &TMainForm::actnSerialModeParametersExecute);
    NewAction(actnSerialModeNone, "actnSerialModeNone", "&None", &TMainForm::actnSerialModeNoneExecute);
    NewAction(actnSelectPort, "actnSelectPort", "Comm Port", &TMainForm::actnSelectPortExecute);
    NewAction(actnSearchComm, "actnSearchComm", "Search", &TMainForm::actnSearchCommExecute);
    NewAction(actnInitCommunications, "actnInitCommunications", "Init Communications",
              &TMainForm::actnInitCommunicationsExecute);
    NewAction(actnDownloadFiles, "actnDownloadFiles", "Download Files", &TMainForm::actnDownloadFilesExecute);
    // Statistics.
    NewAction(actnClearAll, "actnClearAll", "Clear Statistics", &TMainForm::actnClearAllExecute);
    actnClearAll->SetHint("Clear All Statistics");
    NewAction(actnClearFlowStats, "actnClearFlowStats", "Clear Flow", &TMainForm::actnClearFlowStatsExecute);
    NewAction(actnClearVolumeStats, "actnClearVolumeStats", "Clear Volume", &TMainForm::actnClearVolumeStatsExecute);
    NewAction(actnClearAPressStats, "actnClearAPressStats", "Clear Airway Pressure",
              &TMainForm::actnClearAPressStatsExecute);
    NewAction(actnClearLPressStats, "actnClearLPressStats", "Clear Low Pressure",
              &TMainForm::actnClearLPressStatsExecute);
    NewAction(actnClearHPressStats, "actnClearHPressStats", "Clear High Pressure",
              &TMainForm::actnClearHPressStatsExecute);
    NewAction(actnClearOxygenStats, "actnClearOxygenStats", "Clear Oxygen", &TMainForm::actnClearOxygenStatsExecute);
    NewAction(actnClearTemperatureStats, "actnClearTemperatureStats", "Clear Temperature",
              &TMainForm::actnClearTemperatureStatsExecute);
    NewAction(actnClearRelHumStats, "actnClearRelHumStats", "Clear Relative Humidity",
              &TMainForm::actnClearRelHumStatsExecute);
    // Zeroing.
    NewAction(actnZeroAll, "actnZeroAll", "Zero All", &TMainForm::actnZeroAllExecute);
    NewAction(actnZeroFlow, "actnZeroFlow", "Zero &Flow", &TMainForm::actnZeroFlowExecute);
    NewAction(actnZeroHPress, "actnZeroHPress", "Zero &High Pressure", &TMainForm::actnZeroHPressExecute);
    NewAction(actnZeroLPress, "actnZeroLPress", "Zero &Low Pressure", &TMainForm::actnZeroLPressExecute);
    NewAction(actnZeroVolume, "actnZeroVolume", "Zero &Volume", &TMainForm::actnZeroVolumeExecute);
    NewAction(actnZeroOxygen21, "actnZeroOxygen21", "Zero &Oxygen 21%", &TMainForm::actnZeroOxygen21Execute);
    NewAction(actnZeroOxygen100, "actnZeroOxygen100", "&Calibrate Oxygen 100%", &TMainForm::actnZeroOxygen100Execute);
    // Setup.
    NewAction(actnFlowPortHigh, "actnFlowPortHigh", "High Flow Port", &TMainForm::actnFlowPortHighExecute);
    NewAction(actnFlowPortLow, "actnFlowPortLow", "Low Flow Port", &TMainForm::actnFlowPortLowExecute);
    NewAction(actnZeroAuto, "actnZeroAuto", "Automatic Zeroing", &TMainForm::actnZeroAutoExecute);
    NewAction(actnZeroManual, "actnZeroManual", "Manual Zeroing", &TMainForm::actnZeroManualExecute);
    NewAction(actnBDBiDi, "actnBDBiDi", "Bi-Directional", &TMainForm::actnBDBiDiExecute);
    NewAction(actnBDUniInsp, "actnBDUniInsp", "Inspiratory Only", &TMainForm::actnBDUniInspExecute);
    NewAction(actnBDUniExp, "actnBDUniExp", "Expiratory Only", &TMainForm::actnBDUniExpExecute);
    NewAction(actnBDNone, "actnBDNone", "Off", &TMainForm::actnBDNoneExecute);
    NewAction(actnBDThreshold, "actnBDThreshold", "Threshold", &TMainForm::actnBDThresholdExecute);
    NewAction(actnGasSettings, "actnGasSettings", "&Gas Settings", &TMainForm::actnGasSettingsExecute);
    NewAction(actnAdvancedGasSettings, "actnAdvancedGasSettings", "Advanced Gas Settings",
              &TMainForm::actnAdvancedGasSettingsExecute);
    NewAction(actnGasCalculator, "actnGasCalculator", "Gas Calculator", &TMainForm::actnGasCalculatorExecute);
    NewAction(actnBarometricPressure, "actnBarometricPressure", "Barometric Pressure",
              &TMainForm::actnBarometricPressureExecute);
    NewAction(actnUnits, "actnUnits", "&Units", &TMainForm::actnUnitsExecute);
    NewAction(actnPrintHeader, "actnPrintHeader", "Printout Header", &TMainForm::actnPrintHeaderExecute);
    // Test settings.
    NewAction(actnStackedTest, "actnStackedTest", "Stacked Test", &TMainForm::actnStackedTestExecute);
    NewAction(actnTrendTest, "actnTrendTest", "Trend Test");
    NewAction(actnLeakTest, "actnLeakTest", "Start Leak Test");
    actnLeakTest->SetTag(sigLowPressure);   // the channel proposed until a pressure plot's popup names one
    NewAction(actnShowPreviousData, "actnShowPreviousData", "Show Previous Monitor Data",
              &TMainForm::actnShowPreviousDataExecute);
    NewAction(actnTime, "actnTime", "Time Scale", &TMainForm::actnTimeExecute);
    // Calibration.
    NewAction(actnSyringeCalibration, "actnSyringeCalibration", "Syringe Calibration",
              &TMainForm::actnSyringeCalibrationExecute);
    NewAction(actnSyringeVerification, "actnSyringeVerification", "Syringe Verification",
              &TMainForm::actnSyringeVerificationExecute);
    NewAction(actnReadHighFlowTable, "actnReadHighFlowTable", "Download High Flow Table",
              &TMainForm::actnReadHighFlowTableExecute);
    NewAction(actnReadLowFlowTable, "actnReadLowFlowTable", "Download Low Flow Table",
              &TMainForm::actnReadLowFlowTableExecute);
    NewAction(actnLoadHighFlowTable, "actnLoadHighFlowTable", "Load High Flow Table",
              &TMainForm::actnLoadHighFlowTableExecute);
    NewAction(actnLoadLowFlowTable, "actnLoadLowFlowTable", "Load Low Flow Table",
              &TMainForm::actnLoadLowFlowTableExecute);
    // Help and tool bar.
    NewAction(actnAbout, "actnAbout", "About", &TMainForm::actnAboutExecute);
    NewAction(actnRescalePlots, "actnRescalePlots", "Rescale", &TMainForm::actnRescalePlotsExecute);
    // Without a menu item.
    NewAction(actnInitFromIni, "actnInitFromIni", "Init From Ini", &TMainForm::actnInitFromIniExecute);
    NewAction(actnSaveIniSettings, "actnSaveIniSettings", "Save Ini Settings",
              &TMainForm::actnSaveIniSettingsExecute);
    NewAction(actnUpdateLoopBack, "actnUpdateLoopBack", "Update Loop Back");
    NewAction(actnUpdateSignals, "actnUpdateSignals", "Update Signals", &TMainForm::actnUpdateSignalsExecute);
    NewAction(actnUpdateFullTest, "actnUpdateFullTest", "Update Full Test", &TMainForm::actnUpdateFullTestExecute);
    NewAction(actnUpdateLeakTest, "actnUpdateLeakTest", "Update Leak Test");
    NewAction(actnUpdateTrendTest, "actnUpdateTrendTest", "Update Trend Test");
    NewAction(actnUpdateMonitorTitles, "actnUpdateMonitorTitles", "Update Monitor Titles",
              &TMainForm::actnUpdateMonitorTitlesExecute);
    NewAction(actnUpdateMonitorSignals, "actnUpdateMonitorSignals", "Update Monitor Signals",
              &TMainForm::actnUpdateMonitorSignalsExecute);
    NewAction(actnAutoScaleLoop, "actnAutoScaleLoop", "Auto Re-scale", &TMainForm::actnAutoScaleLoopExecute);
    NewAction(actnManualScaleLoop, "actnManualScaleLoop", "Manual Scale", &TMainForm::actnManualScaleLoopExecute);
    NewAction(actnClearLoop, "actnClearLoop", "Clear", &TMainForm::actnClearLoopExecute);
    NewAction(actnResizePlots, "actnResizePlots", "Resize Plots", &TMainForm::actnResizePlotsExecute);
    NewAction(actnLockCalDiag, "actnLockCalDiag", "Lock Calibration", &TMainForm::actnLockCalDiagExecute);
    // Monitor popup menu.
    NewAction(actnFlow, "actnFlow", "Flow", &TMainForm::actnFlowExecute);
    NewAction(actnVolume, "actnVolume", "Volume", &TMainForm::actnVolumeExecute);
    NewAction(actnAPress, "actnAPress", "Airway Pressure", &TMainForm::actnAPressExecute);
    NewAction(actnLPress, "actnLPress", "Low Pressure", &TMainForm::actnLPressExecute);
    NewAction(actnHPress, "actnHPress", "High Pressure", &TMainForm::actnHPressExecute);
    NewAction(actnOxygen, "actnOxygen", "Oxygen", &TMainForm::actnOxygenExecute);
    NewAction(actnTemp, "actnTemp", "Temperature", &TMainForm::actnTempExecute);
    NewAction(actnRelHum, "actnRelHum", "Relative Humidity", &TMainForm::actnRelHumExecute);
    for (int u = 0; u < 9; ++u)
        NewAction(actnUnit[u], "actnUnit" + std::to_string(u + 1), "", &TMainForm::actnUnit1Execute);
    NewAction(actnAutoScale, "actnAutoScale", "Auto Re-scale", &TMainForm::actnAutoScaleExecute);
    NewAction(actnManualScale, "actnManualScale", "Manual Scale", &TMainForm::actnManualScaleExecute);
    NewAction(actnClearMonitorSeries, "actnClearMonitorSeries", "Clear", &TMainForm::actnClearMonitorSeriesExecute);
    // The leak test's plot switch, enabled by the first leak test.
    NewAction(actnSigLeakTest, "actnSigLeakTest", "Leak Test");
    // Full Test page.
    NewAction(actnUpadteFullDetails, "actnUpadteFullDetails", "Update Full Details",
              &TMainForm::actnUpadteFullDetailsExecute);
    NewAction(actnClearSelections, "actnClearSelections", "Clear Selections",
              &TMainForm::actnClearSelectionsExecute);
    NewAction(actnResetEveryting, "actnResetEveryting", "Reset Everything", &TMainForm::actnResetEverytingExecute);
    // Side bar.
    NewAction(actnClearFileInfo, "actnClearFileInfo", "Clear File Info", &TMainForm::actnClearFileInfoExecute);
    NewAction(actnUpdateFileInfo, "actnUpdateFileInfo", "Update File Info", &TMainForm::actnUpdateFileInfoExecute);
    NewAction(actnClearEvents, "actnClearEvents", "Clear Events", &TMainForm::actnClearEventsExecute);
    NewAction(actnUpdateEvents, "actnUpdateEvents", "Update Events", &TMainForm::actnUpdateEventsExecute);

    actnShowPreviousData->SetChecked(true);

    // Commands whose unit is not part of the program yet stand disabled.
    for (int i = 0; i < ActionList->ActionCount(); ++i) {
        auto* A = dynamic_cast<TAction*>(ActionList->Actions(i));
        if (A && !A->OnExecute)
            A->SetEnabled(false);
    }
    RegisterDeviceCommands();
}

void TMainForm::RegisterDeviceCommands()
{
    FDeviceCommands = {actnSerialModeBoth, actnSerialModeWaveform, actnSerialModeParameters, actnSerialModeNone,
                       actnSelectPort, actnSearchComm, actnInitCommunications, actnDownloadFiles,
                       actnLoadFirmware, actnZeroAll, actnZeroFlow, actnZeroHPress, actnZeroLPress,
                       actnZeroVolume, actnZeroOxygen21, actnZeroOxygen100, actnFlowPortHigh, actnFlowPortLow,
                       actnZeroAuto, actnZeroManual, actnBDBiDi, actnBDUniInsp, actnBDUniExp, actnBDNone,
                       actnBDThreshold, actnGasSettings, actnBarometricPressure, actnPrintHeader,
                       actnSyringeCalibration, actnSyringeVerification, actnReadHighFlowTable,
                       actnReadLowFlowTable, actnLoadHighFlowTable, actnLoadLowFlowTable};
    for (TAction* A : FDeviceCommands)
        FWanted[A] = true;
    for (TAction* A : FDeviceCommands)
        ApplyActionState(A);
}

void TMainForm::CreateMenus()
{
    MainMenu = new TMainMenu(this);
    MainMenu->SetName("MainMenu");
    TMenuItem* Root = MainMenu->Items();

    TMenuItem* File = AddSub(this, Root, "&File", "mnuFile");
    AddItem(this, File, actnSaveFile);
    AddItem(this, File, actnOpenFile);
    AddItem(this, File, actnCloseFile);
    AddLine(this, File);
    AddItem(this, File, actnFileControls);
    AddItem(this, File, actnTimedBreaks);
    AddLine(this, File);
    AddItem(this, File, actnExtractSignalFile);
    AddItem(this, File, actnExtractParameterFile);
    AddLine(this, File);
    AddItem(this, File, actnLoadFirmware);
    AddLine(this, File);
    AddItem(this, File, actnPrintReport);
    AddLine(this, File);
    mnuExit = AddSub(this, File, "E&xit", "Exit1");
    mnuExit->OnClick = [this](TObject* Sender) { Exit1Click(Sender); };

    TMenuItem* Comm = AddSub(this, Root, "&Communications", "mnuCommunications");
    AddItem(this, Comm, actnSerialModeBoth);
    AddItem(this, Comm, actnSerialModeWaveform);
    AddItem(this, Comm, actnSerialModeParameters);
    AddItem(this, Comm, actnSerialModeNone);
    AddLine(this, Comm);
    AddItem(this, Comm, actnSelectPort);
    AddItem(this, Comm, actnSearchComm);

    mnuZRMobile = AddSub(this, Root, "&DA Ziviro", "mnuZRMobile");
    AddItem(this, mnuZRMobile, actnDownloadFiles);

    TMenuItem* Stats = AddSub(this, Root, "Statistics", "mnuStatistics");
    AddItem(this, Stats, actnClearAll);
    AddLine(this, Stats);
    for (TAction* A : {actnClearFlowStats, actnClearVolumeStats, actnClearAPressStats, actnClearLPressStats,
                       actnClearHPressStats, actnClearOxygenStats, actnClearTemperatureStats, actnClearRelHumStats})
        AddItem(this, Stats, A);

    TMenuItem* Zero = AddSub(this, Root, "&Zeroing", "mnuZeroing");
    AddItem(this, Zero, actnZeroAll);
    AddLine(this, Zero);
    AddItem(this, Zero, actnZeroFlow);
    AddItem(this, Zero, actnZeroHPress);
    AddItem(this, Zero, actnZeroLPress);
    AddItem(this, Zero, actnZeroVolume);
    TMenuItem* Oxygen = AddSub(this, Zero, "Oxygen", "mnuOxygen");
    AddItem(this, Oxygen, actnZeroOxygen21);
    AddItem(this, Oxygen, actnZeroOxygen100);

    TMenuItem* Setup = AddSub(this, Root, "&Setup", "mnuSetup");
    mnuFlowPort = AddSub(this, Setup, "&Flow Port", "mnuFlowPort");
    AddItem(this, mnuFlowPort, actnFlowPortHigh);
    AddItem(this, mnuFlowPort, actnFlowPortLow);
    mnuZeroingMode = AddSub(this, Setup, "&Zeroing", "mnuZeroingMode");
    AddItem(this, mnuZeroingMode, actnZeroAuto);
    AddItem(this, mnuZeroingMode, actnZeroManual);
    TMenuItem* Breath = AddSub(this, Setup, "B&reath Detect", "mnuBreathDetect");
    AddItem(this, Breath, actnBDBiDi);
    AddItem(this, Breath, actnBDUniInsp);
    AddItem(this, Breath, actnBDUniExp);
    AddItem(this, Breath, actnBDNone);
    AddLine(this, Breath);
    AddItem(this, Breath, actnBDThreshold);
    AddItem(this, Setup, actnGasSettings);
    AddItem(this, Setup, actnGasCalculator);
    AddItem(this, Setup, actnBarometricPressure);
    AddItem(this, Setup, actnUnits);
    AddItem(this, Setup, actnPrintHeader);

    TMenuItem* Tests = AddSub(this, Root, "&Test Settings", "mnuTestSettings");
    AddItem(this, Tests, actnStackedTest);
    AddItem(this, Tests, actnTrendTest);
    AddItem(this, Tests, actnLeakTest);
    TMenuItem* Plots = AddSub(this, Tests, "Monitor Plots", "mnuMonitorPlots");
    AddItem(this, Plots, actnShowPreviousData);
    AddLine(this, Plots);
    AddItem(this, Plots, actnTime);

    menuCalibration = AddSub(this, Root, "Calibration", "menuCalibration");
    AddItem(this, menuCalibration, actnSyringeCalibration);
    AddItem(this, menuCalibration, actnSyringeVerification);
    AddLine(this, menuCalibration);
    mnuCalibVIDuri = AddSub(this, menuCalibration, "VI Duri", "mnuCalibVIDuri");
    AddItem(this, mnuCalibVIDuri, actnReadHighFlowTable);
    AddItem(this, mnuCalibVIDuri, actnReadLowFlowTable);
    AddLine(this, mnuCalibVIDuri);
    AddItem(this, mnuCalibVIDuri, actnLoadHighFlowTable);
    AddItem(this, mnuCalibVIDuri, actnLoadLowFlowTable);

    TMenuItem* Help = AddSub(this, Root, "&Help", "mnuHelp");
    AddLine(this, Help);
    AddItem(this, Help, actnAbout);

    SetMenu(MainMenu);

    // Popup menus.
    auto NewPopup = [this](TPopupMenu*& Field, const std::string& Name) {
        Field = new TPopupMenu(this);
        Field->SetName(Name);
    };
    NewPopup(menuMonitorPopup, "menuMonitorPopup");
    NewPopup(menuLoopPopup, "menuLoopPopup");
    NewPopup(popFullTest, "popFullTest");
    NewPopup(popZeroMenu, "popZeroMenu");
    NewPopup(popStatistics, "popStatistics");
    NewPopup(popBreathDetect, "popBreathDetect");

    AddItem(this, popZeroMenu->Items(), actnZeroAll);
    AddLine(this, popZeroMenu->Items());
    for (TAction* A : {actnZeroFlow, actnZeroVolume, actnZeroLPress, actnZeroHPress, actnZeroOxygen21})
        AddItem(this, popZeroMenu->Items(), A);

    AddItem(this, popStatistics->Items(), actnClearAll);
    AddLine(this, popStatistics->Items());
    for (TAction* A : {actnClearFlowStats, actnClearVolumeStats, actnClearAPressStats, actnClearLPressStats,
                       actnClearHPressStats, actnClearOxygenStats, actnClearTemperatureStats, actnClearRelHumStats})
        AddItem(this, popStatistics->Items(), A);

    for (TAction* A : {actnBDBiDi, actnBDUniInsp, actnBDUniExp, actnBDNone})
        AddItem(this, popBreathDetect->Items(), A);

    AddItem(this, popFullTest->Items(), actnStackedTest);
    AddLine(this, popFullTest->Items());
    AddItem(this, popFullTest->Items(), actnClearAll);

    // The monitor plots' popup: signal, units, scales, clearing and the
    // leak test of a pressure plot.
    mnuMonitorSignal = AddSub(this, menuMonitorPopup->Items(), "Signal", "mnuMonitorSignal");
    for (TAction* A : {actnFlow, actnVolume, actnAPress, actnLPress, actnHPress, actnOxygen, actnTemp, actnRelHum})
        AddItem(this, mnuMonitorSignal, A);
    menuUnits = AddSub(this, menuMonitorPopup->Items(), "&Units", "menuUnits");
    for (TAction* A : actnUnit)
        AddItem(this, menuUnits, A);
    mnuMonitorRescale = AddSub(this, menuMonitorPopup->Items(), "Rescale", "mnuMonitorRescale");
    AddItem(this, mnuMonitorRescale, actnAutoScale);
    AddItem(this, mnuMonitorRescale, actnManualScale);
    AddItem(this, mnuMonitorRescale, actnTime);
    mnuMonitorClear = AddItem(this, menuMonitorPopup->Items(), actnClearMonitorSeries);
    mnuMonitorClear->SetName("mnuMonitorClear");
    mnuLeakTestPop = AddItem(this, menuMonitorPopup->Items(), actnLeakTest);
    mnuLeakTestPop->SetName("mnuLeakTestPop");
    menuMonitorPopup->OnPopup = [this](TObject* Sender) { menuMonitorPopupPopup(Sender); };

    TMenuItem* Rescale = AddSub(this, menuLoopPopup->Items(), "Rescale");
    AddItem(this, Rescale, actnAutoScaleLoop);
    AddItem(this, Rescale, actnManualScaleLoop);
    AddItem(this, menuLoopPopup->Items(), actnClearLoop);
    menuLoopPopup->OnPopup = [this](TObject* Sender) { menuLoopPopupPopup(Sender); };
}

void TMainForm::CreateToolImages()
{
    // The pictures of the tool bar, indexed by the actions (and the
    // breath-detect button, which switches among 8 to 11).
    ToolImages = new TImageList(this);
    ToolImages->SetName("ToolImages");
    ToolImages->SetWidth(16);
    ToolImages->SetHeight(16);
    for (int i = 0; i < ToolImageCount(); ++i)
        ToolImages->AddSvg(ToolImageSvg(i));
    const std::pair<TAction*, int> Indices[] = {
        {actnSaveFile, 0}, {actnOpenFile, 1},      {actnCloseFile, 2},    {actnPrintReport, 3},
        {actnFileControls, 4}, {actnZeroAll, 5},   {actnClearAll, 6},     {actnRescalePlots, 7},
        {actnBDBiDi, 8},   {actnBDUniInsp, 9},     {actnBDUniExp, 10},    {actnBDNone, 11},
        {actnBDThreshold, 12},
    };
    for (auto [Action, Index] : Indices)
        Action->SetImageIndex(Index);
}

void TMainForm::CreateToolBar()
{
    CreateToolImages();
    ToolBar = NewControl<TToolBar>(this, this, "ToolBar");
    ToolBar->SetAlign(alTop);
    ToolBar->SetHeight(40);
    ToolBar->SetButtonHeight(36);
    ToolBar->SetImages(ToolImages);
    ToolBar->SetShowCaptions(true);
    ToolBar->SetButtonWidth(40);

    int Count = 0;
    auto Button = [this, &Count](TAction* Action, TPopupMenu* DropDown = nullptr) {
        auto* B = NewControl<TToolButton>(this, ToolBar, "ToolButton" + std::to_string(++Count));
        if (Action)
            B->SetAction(Action);
        if (DropDown) {
            B->SetStyle(tbsDropDown);
            B->SetDropdownMenu(DropDown);
        }
        return B;
    };
    auto Separator = [this, &Count] {
        auto* B = NewControl<TToolButton>(this, ToolBar, "ToolButton" + std::to_string(++Count));
        B->SetStyle(tbsSeparator);
    };
    Button(actnSaveFile);
    Button(actnOpenFile);
    Button(actnCloseFile);
    Separator();
    Button(actnPrintReport);
    Separator();
    Button(actnFileControls);
    Separator();
    Button(actnZeroAll, popZeroMenu);
    Separator();
    Button(actnClearAll, popStatistics);
    Button(actnRescalePlots);
    Separator();
    btnBreathDetect = Button(nullptr, popBreathDetect);
    btnBreathDetect->SetName("btnBreathDetect");
    btnBreathDetect->SetCaption("Bi-Directional");
    btnBreathDetect->SetImageIndex(8);
    btnBreathDetect->OnClick = [this](TObject*) { actnBDBiDi->Execute(); };
    // The button runs the bi-directional mode: it is as enabled as that is.
    actnBDBiDi->RegisterClient(btnBreathDetect,
                               [this](TBasicAction*) { btnBreathDetect->SetEnabled(actnBDBiDi->Enabled()); });
    btnBreathDetect->SetEnabled(actnBDBiDi->Enabled());
    Button(actnBDThreshold);
    ToolBar->ArrangeButtons();
}

void TMainForm::CreatePages()
{
    PageControl = NewControl<TPageControl>(this, this, "PageControl");
    PageControl->SetAlign(alClient);

    auto Sheet = [this](TTabSheet*& Field, const std::string& Name, const std::string& Caption) {
        Field = new TTabSheet(this);
        Field->SetName(Name);
        Field->SetCaption(Caption);
        Field->SetPageControl(PageControl);
    };
    Sheet(tsMonitor, "tsMonitor", "Monitor Plots");
    Sheet(tsLoop, "tsLoop", "Loop Plots");
    Sheet(tsFullTest, "tsFullTest", "Full Test");
    Sheet(tsDebug, "tsDebug", "Debug");
    Sheet(tsPrintTest, "tsPrintTest", "Print Test");

    // Monitor page: three plot rows and the leak plot, each a panel with its
    // chart area, seven labels and two buttons.
    static const char* const Suffix[4] = {"1", "2", "3", "LeakTest"};
    for (int p = 0; p < 4; ++p) {
        const std::string S = Suffix[p];
        const std::string N = std::to_string(p + 1);
        auto* Panel = NewControl<TPanel>(this, tsMonitor, "pnlSigPlots" + N);
        Panel->SetCaption("");
        Panel->SetBevelOuter(bvLowered);
        pnlSigPlots[p] = Panel;
        // The monitor charts have fixed axes with the time along the bottom;
        // the leak plot's series comes with the leak test.
        TChart* Chart = NewChart(this, Panel, p < 3 ? "chartMonitor" + N : std::string("chartLeakTest"));
        (p == 0 ? chartMonitor1 : p == 1 ? chartMonitor2 : p == 2 ? chartMonitor3 : chartLeakTest) = Chart;
        if (p < 3) {
            PlotChartDefaults(Chart);
            Chart->BottomAxis()->Title()->SetCaption("Seconds");
            for (int s = 0; s < 2; ++s)
                seriesMonitor[p][s] = NewSeries(this, Chart, "seriesMonitor" + N + "_" + std::to_string(s + 1));
        }
        lblTitleMonitor[p] = NewControl<TLabel>(this, Panel, "lblTitle" + std::string(p < 3 ? "Monitor" : "") + S, "");
        lblUnits1Monitor[p] = NewControl<TLabel>(this, Panel, "lblUnits1" + std::string(p < 3 ? "Monitor" : "") + S, "");
        lblUnits2Monitor[p] = NewControl<TLabel>(this, Panel, "lblUnits2" + std::string(p < 3 ? "Monitor" : "") + S, "");
        lblMaxMonitor[p] = NewControl<TLabel>(this, Panel, "lblMax" + std::string(p < 3 ? "Monitor" : "") + S, "-----");
        lblMinMonitor[p] = NewControl<TLabel>(this, Panel, "lblMin" + std::string(p < 3 ? "Monitor" : "") + S, "-----");
        lblAvgMonitor[p] = NewControl<TLabel>(this, Panel, "lblAvg" + std::string(p < 3 ? "Monitor" : "") + S, "-----");
        lblCurrMonitor[p] = NewControl<TLabel>(this, Panel, "lblCurr" + std::string(p < 3 ? "Monitor" : "") + S, "-----");
        btnMonitorMenu[p] = NewControl<TButton>(this, Panel, "btnMonitor" + N + "Menu", "...");
        btnMonitorMax[p] = NewControl<TButton>(this, Panel, "btnMonitor" + N + "Max", "+");
        Panel->OnResize = [this, p](TObject*) { LayoutPlotPanel(p); };
    }
    pnlSigPlots[3]->SetVisible(false);
    btnMonitorMenu[0]->OnClick = [this](TObject* Sender) { btnMonitor1MenuClick(Sender); };
    btnMonitorMenu[1]->OnClick = [this](TObject* Sender) { btnMonitor2MenuClick(Sender); };
    btnMonitorMenu[2]->OnClick = [this](TObject* Sender) { btnMonitor3MenuClick(Sender); };
    btnMonitorMenu[3]->OnClick = [this](TObject* Sender) { btnMonitor4MenuClick(Sender); };
    btnMonitorMax[0]->OnClick = [this](TObject* Sender) { btnMonitor1MaxClick(Sender); };
    btnMonitorMax[1]->OnClick = [this](TObject* Sender) { btnMonitor2MaxClick(Sender); };
    btnMonitorMax[2]->OnClick = [this](TObject* Sender) { btnMonitor3MaxClick(Sender); };
    btnMonitorMax[3]->OnClick = [this](TObject* Sender) { btnMonitor4MaxClick(Sender); };
    chartMonitor1->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        chartMonitor1MouseDown(Sender, Button, Shift, X, Y);
    };
    chartMonitor2->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        chartMonitor2MouseDown(Sender, Button, Shift, X, Y);
    };
    chartMonitor3->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        chartMonitor3MouseDown(Sender, Button, Shift, X, Y);
    };
    chartLeakTest->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        chartLeakTestMouseDown(Sender, Button, Shift, X, Y);
    };

    // Loop page.
    auto LoopPanel = [this](TPanel*& Field, const std::string& Name) {
        Field = NewControl<TPanel>(this, tsLoop, Name);
        Field->SetCaption("");
        Field->SetBevelOuter(bvLowered);
    };
    LoopPanel(pnlLoop1, "pnlLoop1");
    LoopPanel(pnlLoop2, "pnlLoop2");
    chartLoop1 = NewChart(this, pnlLoop1, "chartLoop1");
    chartLoop2 = NewChart(this, pnlLoop2, "chartLoop2");
    for (int l = 0; l < 2; ++l) {
        TChart* Chart = l == 0 ? chartLoop1 : chartLoop2;
        PlotChartDefaults(Chart);
        for (int s = 0; s < 4; ++s)
            seriesLoop[l][s] =
                NewSeries(this, Chart, "seriesLoop" + std::to_string(l + 1) + "_" + std::to_string(s + 1));
    }
    lblLoopTitle1 = NewControl<TLabel>(this, pnlLoop1, "lblLoopTitle1", "Flow / Volume");
    lblLoopTitle2 = NewControl<TLabel>(this, pnlLoop2, "lblLoopTitle2", "Volume / Pressure");
    btnLoop1Menu = NewControl<TButton>(this, pnlLoop1, "btnLoop1Menu", "...");
    btnLoop2Menu = NewControl<TButton>(this, pnlLoop2, "btnLoop2Menu", "...");
    btnLoop1Menu->OnClick = [this](TObject* Sender) { btnLoop1MenuClick(Sender); };
    btnLoop2Menu->OnClick = [this](TObject* Sender) { btnLoop2MenuClick(Sender); };
    chartLoop1->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        chartLoop1MouseDown(Sender, Button, Shift, X, Y);
    };
    chartLoop2->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        chartLoop2MouseDown(Sender, Button, Shift, X, Y);
    };
    pnlLoop1->OnResize = [this](TObject*) { LayoutLoopPanel(0); };
    pnlLoop2->OnResize = [this](TObject*) { LayoutLoopPanel(1); };

    CreateFullTestPage();

    // Debug page.
    memoDebug = NewControl<TMemo>(this, tsDebug, "memoDebug");
    memoDebug->SetAlign(alLeft);
    memoDebug->SetWidth(250);
    lblZRPSN = NewControl<TLabel>(this, tsDebug, "lblZRPSN", "");
    lblZRPSN->SetAlign(alTop);
    memoFileList = NewControl<TMemo>(this, tsDebug, "memoFileList");
    memoFileList->SetAlign(alClient);
    memoFileList->SetReadOnly(true);

    // Side bar, hidden until a file is played or a test runs.
    pnlSideBar = NewControl<TPanel>(this, this, "pnlSideBar");
    pnlSideBar->SetAlign(alLeft);
    pnlSideBar->SetWidth(160);
    pnlSideBar->SetCaption("");
    pnlSideBar->SetVisible(false);
    LookOutBar = NewControl<TLookOutBar>(this, pnlSideBar, "LookOutBar");
    LookOutBar->SetAlign(alClient);
    auto Page = [this](TLookOutPage*& Field, const std::string& Name, const std::string& Caption) {
        Field = NewControl<TLookOutPage>(this, LookOutBar, Name);
        Field->SetCaption(Caption);
    };
    Page(lopFileControls, "lopFileControls", "File Controls");
    Page(lopTrendTest, "lopTrendTest", "Trend Test");
    Page(lopLeakTest, "lopLeakTest", "Leak Test");
    CreateFileControlsPage();

    // From here on every change of the page area lays the plots out again.
    PageControl->OnResize = [this](TObject* Sender) { PageControlResize(Sender); };
}

void TMainForm::CreateComponents()
{
    CreateActions();
    CreateMenus();
    CreateToolBar();

    StatusBar = NewControl<TStatusBar>(this, this, "StatusBar");
    StatusBar->SetAlign(alBottom);
    StatusBar->SetHeight(20);
    for (int W : {350, 100, 75, 100})
        StatusBar->Panels()->Add()->SetWidth(W);

    CreatePages();

    tmrPlayback = new TTimer(this);
    tmrPlayback->SetName("tmrPlayback");
    tmrPlayback->SetEnabled(false);
    tmrPlayback->SetInterval(190);
    tmrTrendTest = new TTimer(this);
    tmrTrendTest->SetName("tmrTrendTest");
    tmrTrendTest->SetInterval(250);
    tmrTrendTest->SetEnabled(true);
    tmrStartHandshake = new TTimer(this);
    tmrStartHandshake->SetName("tmrStartHandshake");
    tmrStartHandshake->SetEnabled(false);
    tmrStartHandshake->SetInterval(50);
    tmrRelayout = new TTimer(this);
    tmrRelayout->SetName("tmrRelayout");
    tmrRelayout->SetEnabled(false);
    tmrRelayout->SetInterval(100);

    auto Open = [this](TOpenDialog*& Field, const std::string& Name) {
        Field = new TOpenDialog(this);
        Field->SetName(Name);
    };
    auto Save = [this](TSaveDialog*& Field, const std::string& Name) {
        Field = new TSaveDialog(this);
        Field->SetName(Name);
    };
    Open(dlgFileOpen, "dlgFileOpen");
    Save(dlgFileSave, "dlgFileSave");
    Save(dlgSaveTable, "dlgSaveTable");
    Open(dlgOpenTable, "dlgOpenTable");

    CommPort = new TApdComPort(this);
    CommPort->SetName("CommPort");
    CommPort->SetAutoOpen(false);
    CommPort->SetPromptForPort(false);
    CommPort->OnTriggerAvail = [this](TObject* Sender, uint16_t Count) { CommPortTriggerAvail(Sender, Count); };
    CommPort->OnPortClose = [this](TObject* Sender) { CommPortPortClose(Sender); };
}
