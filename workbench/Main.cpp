// The main window's life cycle: building the live-data records and the
// protocol object, showing, closing and leaving the program.
#include "workbench/Main.h"

#include "analyzer/Serialfunctions.h"
#include "chart/Chart.h"
#include "platform/ApdComPort.h"
#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/IniFiles.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"
#include "workbench/FileDownload.h"


TMainForm* MainForm = nullptr;

namespace {

// The protocol log goes to a memo that keeps about 1,000 lines.
class TMemoLog : public TProtocolLogMemo {
public:
    explicit TMemoLog(TMemo* Memo) : FMemo(Memo) {}
    int LineCount() const override { return FMemo->Lines()->Count(); }
    void DeleteFirstLine() override
    {
        if (FMemo->Lines()->Count() > 0)
            FMemo->Lines()->Delete(0);
    }
    void AddLine(const std::string& Line) override { FMemo->Lines()->Add(Line); }

private:
    TMemo* FMemo;
};

}  // namespace

TMainForm::TMainForm(TComponent* Owner) : TMainForm(Owner, TMainFormOptions{Application->ExeName(), 0}) {}

TMainForm::TMainForm(TComponent* Owner, const TMainFormOptions& Options) : TForm(Owner)
{
    SetName("MainForm");
    SetCaption("RO Ziv Ozezudo");
    SetBounds(10, 10, 640, 480);
    FPortOverride = Options.PortOverride;
    FProgramDir = ExtractFilePath(Options.ExeName);
    if (FProgramDir.empty())
        FProgramDir = "./";
    const TProgramDataPaths Paths = ProgramDataPaths(Options.ExeName);
    FIniFileName = Paths.IniFileName;

    CreateComponents();
    CreateRecordingComponents();
    CreatePlaybackComponents();
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnResize = [this](TObject* Sender) { FormResize(Sender); };
    tmrRelayout->OnTimer = [this](TObject*) {
        tmrRelayout->SetEnabled(false);
        // The aligned controls from the window's settled size, then the plots.
        Realign();
        LayoutPlots();
    };
    tmrStartHandshake->OnTimer = [this](TObject*) {
        tmrStartHandshake->SetEnabled(false);
        if (actnInitCommunications->Enabled())
            actnInitCommunications->Execute();
    };

    FDeviceKind = dkAnalyzer;
    FPrinting = false;
    FLabelRefreshCount = 0;
    FSyringeCalActive = false;
    FSoftwareVersion = "2.01.07";
    FDeviceVersion = "";

    // Signal statistics (display units may be replaced by the settings file).
    for (int i = 0; i < SignalCount; ++i)
        SetupSignalStats(FSignalStats[i], i);

    // Parameter statistics.
    for (int Id = 0; Id < ParameterCount; ++Id) {
        const TUnitCode Unit = TParameterStruct::GetUnitCode(Id);
        FParamStats[Id].Setup(TParameterStruct::NameText(Id), TParameterStruct::ShortNameText(Id), Unit, Unit,
                              TParameterStruct::GetDecimals(Id), -1.0f);
    }
    FParamStats[parIERatio].SetIsRatio(true);
    FParamStats[parOxygen].Setup("Oxygen", "O2", ucPercent, ucPercent, -1, -1.0f);
    FParamStats[parTemperature].Setup("Temperature", "Temp", ucKelvin, ucCelsius, -1, -1.0f);
    FParamStats[parRelHumidity].Setup("Relative Humidity", "RH", ucPercent, ucPercent, -1, -1.0f);

    FConnected = false;
    FLeakPlotShown = false;

    // The monitor plots, each over 30 s.
    static const int Shown[3] = {sigFlow, sigAirwayPressure, sigVolume};
    static const TColor Colours[3] = {clBlue, clRed, clGreen};
    TChart* const MonitorCharts[3] = {chartMonitor1, chartMonitor2, chartMonitor3};
    for (int p = 0; p < 3; ++p) {
        TMonitorPlotInfo& Plot = FMonitorPlots[p];
        Plot.SetSignalId(Shown[p]);
        Plot.SetColours(Colours[p], clGray);
        Plot.Attach(MonitorCharts[p], seriesMonitor[p][0], seriesMonitor[p][1]);
        Plot.AttachLabels(lblTitleMonitor[p], lblUnits1Monitor[p], lblUnits2Monitor[p], lblMaxMonitor[p],
                          lblMinMonitor[p], lblAvgMonitor[p], lblCurrMonitor[p]);
        Plot.SetTimeSpan(30, false);
    }

    // The loop plots.
    FLoopPlots[0].SetColours(clRed, clGray);
    FLoopPlots[0].Attach(chartLoop1, seriesLoop[0][0], seriesLoop[0][1], seriesLoop[0][2], seriesLoop[0][3],
                         lblLoopTitle1);
    FLoopPlots[0].SetTitle("Flow / Volume");
    FLoopPlots[1].SetColours(clBlue, clGray);
    FLoopPlots[1].Attach(chartLoop2, seriesLoop[1][0], seriesLoop[1][1], seriesLoop[1][2], seriesLoop[1][3],
                         lblLoopTitle2);
    FLoopPlots[1].SetTitle("Volume / Pressure");

    for (int i = 0; i < SignalCount; ++i)
        FSignalScales[i].Manual = false;
    FLoopScales[0] = TPlotScale{false, 50, -50, 1, 0};
    FLoopScales[1] = TPlotScale{false, 1, 0, 10, -10};
    // The loops start on these ranges until their first automatic scaling.
    for (int l = 0; l < 2; ++l)
        FLoopPlots[l].SetRanges(FLoopScales[l].XLower, FLoopScales[l].YLower, FLoopScales[l].XUpper,
                                FLoopScales[l].YUpper, false);

    // The leak test draws in the leak chart; both tests get their side-bar
    // pages.
    CreateTestPages();
    // The device commands' Debug-page controls, table dialogs and unlock.
    CreateDeviceCommandComponents();

    // The Full Test page's value labels (parameters 1 and 21 have none); the
    // environment values, oxygen and the I:E ratio are neither stacked nor
    // trended.
    for (int Id = 0; Id < ParameterCount; ++Id)
        FFullTestInfo[Id].Bind(lblFullTestValues[Id]);
    FSelectedParam = 2;
    for (int Id : {parOxygen, parIERatio, parBaroPressure, parTemperature, parRelHumidity}) {
        FFullTestInfo[Id].SetStackable(false);
        FFullTestInfo[Id].SetTrendable(false);
    }

    // The help file is named after the program.
    Application->SetHelpFile(ChangeFileExt(Options.ExeName, ".HLP"));

    FSignalsDir = Paths.SignalsDir;
    ForceDirectories(FSignalsDir);

    FRecordSuspended = true;

    FProtocol = std::make_unique<TZEBBSerialProtocol>(CommPort);
    ZebbSer = FProtocol.get();
    FLogAdapter = std::make_unique<TMemoLog>(memoFileList);
    FProtocol->SetLogMemo(FLogAdapter.get());
    FProtocol->SetMainWindow(this);

    actnInitFromIni->Execute();
    for (TMonitorPlotInfo& Plot : FMonitorPlots)
        Plot.SetShowPrevious(FShowPrevious);
    for (int p = 0; p < 3; ++p)
        SetStartRange(p);

    PageControl->SetActivePage(tsMonitor);
    actnResizePlots->Execute();
    actnUpdateMonitorTitles->Execute();
    actnLockCalDiag->Execute();

    tsDebug->SetTabVisible(false);
    tsPrintTest->SetTabVisible(false);

    DoCreate();
}

TMainForm::~TMainForm()
{
    // The controls outlive this part of the window: their resize events
    // must not reach its layout any more.
    PageControl->OnResize = nullptr;
    for (TPanel* Panel : pnlSigPlots)
        Panel->OnResize = nullptr;
    pnlLoop1->OnResize = nullptr;
    pnlLoop2->OnResize = nullptr;
    if (CommPort) {
        CommPort->OnTriggerAvail = nullptr;
        CommPort->OnPortClose = nullptr;
    }
    if (FProtocol) {
        FProtocol->SetClosing(true);
        FProtocol->SetMainWindow(nullptr);
        try {
            if (CommPort && CommPort->Open())
                CommPort->SetOpen(false);
        } catch (...) {
            FProtocol->LogCaught("Port not closed with the window");
        }
        FProtocol->SetLogMemo(nullptr);
    }
    if (ZebbSer == FProtocol.get())
        ZebbSer = nullptr;
    FProtocol.reset();
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::LayoutPlots()
{
    actnResizePlots->Execute();
}

void TMainForm::FormResize(TObject* Sender)
{
    LayoutPlots();
    tmrRelayout->SetEnabled(false);
    tmrRelayout->SetEnabled(true);
}

void TMainForm::FormShow(TObject* Sender)
{
    LayoutPlots();
    tmrRelayout->SetEnabled(true);
    dlgFileOpen->SetInitialDir(FSignalsDir);
    dlgFileSave->SetInitialDir(FSignalsDir);
    dlgSaveTable->SetInitialDir(FProgramDir);
    dlgOpenTable->SetInitialDir(FProgramDir);
    if (dlgFileDownload)
        dlgFileDownload->SetDirectory(FSignalsDir);
    // The handshake waits for the analyzer; it starts once the window has
    // painted, and the window keeps handling events while it waits.
    if (!FShown) {
        FShown = true;
        tmrStartHandshake->SetEnabled(true);
    }
}

void TMainForm::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    // The program ends: the analyzer's output is stopped at the close, not
    // switched on again for a file that closes now.
    FOutputBeforeFile = nullptr;
    actnCloseFileExecute(Sender);
    CanClose = true;
}

void TMainForm::Exit1Click(TObject* Sender)
{
    FProtocol->SetClosing(true);
    Close();
}

void TMainForm::FormClose(TObject* Sender, TCloseAction& Action)
{
    tmrStartHandshake->SetEnabled(false);
    tmrRelayout->SetEnabled(false);
    // Stopping the analyzer's output may fail (a lost device, a port gone);
    // the settings are saved all the same.
    try {
        if (FConnected) {
            FProtocol->Reset();
            FProtocol->SendSerialMode('X');
        }
    } catch (...) {
        FProtocol->LogCaught("Analyzer output not stopped at close");
    }
    FProtocol->SetClosing(true);
    tmrTrendTest->SetEnabled(false);
    // Settings that cannot be stored are not lost without a word; the
    // program closes all the same.
    try {
        actnSaveIniSettings->Execute();
    } catch (const std::exception& E) {
        MessageDlg("The settings could not be saved.\n" + std::string(E.what()), mtError, TMsgDlgButtons{mbOK});
    }
    try {
        FProtocol->ClosePort();
    } catch (...) {
        FProtocol->LogCaught("Port not closed at close");
    }
    // Closing the application's main form ends the application; the
    // program entry then frees the forms.
}

// ---------------------------------------------------------- device commands

TMainForm::TDeviceCommandLock::TDeviceCommandLock(TMainForm& Form) : FForm(Form)
{
    if (FForm.FDeviceCommandDepth++ == 0)
        for (TAction* A : FForm.FDeviceCommands)
            FForm.ApplyActionState(A);
}

TMainForm::TDeviceCommandLock::~TDeviceCommandLock()
{
    if (--FForm.FDeviceCommandDepth == 0)
        for (TAction* A : FForm.FDeviceCommands)
            FForm.ApplyActionState(A);
}

void TMainForm::SetActionEnabled(TAction* Action, bool Value)
{
    FWanted[Action] = Value;
    ApplyActionState(Action);
}

bool TMainForm::ActionWanted(TAction* Action) const
{
    const auto It = FWanted.find(Action);
    return It == FWanted.end() ? Action->Enabled() : It->second;
}

void TMainForm::ApplyActionState(TAction* Action)
{
    bool Enabled = ActionWanted(Action) && static_cast<bool>(Action->OnExecute);
    for (TAction* A : FDeviceCommands)
        if (A == Action && FDeviceCommandDepth > 0)
            Enabled = false;
    Action->SetEnabled(Enabled);
}

// ------------------------------------------------------------------ reports

namespace {

std::string CaptionOf(const TLabel* Label)
{
    return Label ? Label->Caption() : std::string();
}

}  // namespace

TPlotReportRecord TMainForm::MonitorPlotRecord(int Plot) const
{
    const TMonitorPlotInfo& P = FMonitorPlots[Plot];
    TPlotReportRecord R;
    R.Chart = P.Chart();
    R.Title = CaptionOf(P.TitleLabel());
    R.Units = CaptionOf(P.UnitsLabel2());
    R.Current = CaptionOf(P.CurrentLabel());
    R.Min = CaptionOf(P.MinLabel());
    R.Max = CaptionOf(P.MaxLabel());
    R.Avg = CaptionOf(P.AvgLabel());
    return R;
}

TPlotReportRecord TMainForm::LoopPlotRecord(int Loop) const
{
    const TLoopPlotInfo& L = FLoopPlots[Loop];
    TPlotReportRecord R;
    R.Chart = L.Chart();
    R.Title = CaptionOf(L.TitleLabel());
    return R;
}

void TMainForm::ShowDeviceVersion(const std::string& Version)
{
    MessageDlg(Version, mtInformation, TMsgDlgButtons{mbOK});
}
