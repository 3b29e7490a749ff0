// The main window: the program's live-data records, its menus, actions and
// pages, the callbacks through which the protocol object delivers samples,
// records, identity and status, the settings file and the connection.
//
// The window is split over several units:
//   Main.cpp           life cycle (constructor, show, close, exit)
//   Mainform.cpp       the window's components (menus, tool bar, pages, ...)
//   Mainsettings.cpp   the settings file
//   Maincallbacks.cpp  receive path, live-data callbacks, device status
//   Connection.cpp     opening the port, the connect handshake, serial mode
//   Mainplots.cpp      plot layout, maximizing, the monitor popup menu,
//                      units and scales
//   Mainfulltest.cpp   the Full Test page and the statistics actions
//   Mainsidebar.cpp    the side bar and its file-information and event panels
//   Mainrecording.cpp  recording data files: save, annotate, time marks,
//                      timed breaks, close file
//   Mainleaktest.cpp   the leak test: its plot, side-bar page and actions
//   Maintrendtest.cpp  the trend test: its side-bar page, actions and timer
//   Mainhandheld.cpp   the handheld's file download and record import
//   Mainplayback.cpp   playing data files back, the playback controls and
//                      the text export of data files
#pragma once

#include "analyzer/Mainformlink.h"
#include "analyzer/Parameterstruct.h"
#include "analyzer/Signalstats.h"
#include "analyzer/Types.h"
#include "platform/ActnList.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/SysUtils.h"
#include "reports/Reportsource.h"
#include "workbench/Filefunctions.h"
#include "workbench/Fulltestfunctions.h"
#include "workbench/Leaktestfunctions.h"
#include "workbench/Loopfunctions.h"
#include "workbench/Monitorfunctions.h"
#include "workbench/Trendtestfunctions.h"

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TApdComPort;
class TButton;
class TComboBox;
class TEdit;
class TGroupBox;
class TImageList;
class TIniFile;
class TLabel;
class TLookOutBar;
class TLookOutPage;
class TMainMenu;
class TMemo;
class TMenuItem;
class TNotebook;
class TOpenDialog;
class TPageControl;
class TPanel;
class TPopupMenu;
class TSaveDialog;
class TScrollBar;
class TSpeedButton;
class TStatusBar;
class TTabSheet;
class TTimer;
class TToolBar;
class TToolButton;
class TToolSpeedButton;
class TZEBBSerialProtocol;
class TChart;
class TFastLineSeries;

// Where the window keeps its files and which port it opens at start.
struct TMainFormOptions {
    // Full name of the program file: the settings file and the "Signals"
    // folder are found from it.
    std::string ExeName;
    // Non-zero: open this port at start instead of the settings file's
    // "Comm" port; it is not written back as the user's port.
    int32_t PortOverride = 0;
};

class TMainForm : public TForm, public TMainFormLink, public TReportSource {
    // The tests read and set the window's private state through it
    // (tests/workbench/MainProbe.h).
    friend struct TMainFormProbe;

public:
    explicit TMainForm(TComponent* Owner);
    TMainForm(TComponent* Owner, const TMainFormOptions& Options);
    ~TMainForm() override;

    // ------------------------------------------------- live data, state
    // What the reports (through TReportSource) and the About box read.
    const TSignalStats& SignalStats(int Id) const override { return FSignalStats[Id]; }
    TParameterStruct LastParameters() const override { return FLastParameters; }
    void SetPrinting(bool Value) override { FPrinting = Value; }
    const std::string& SoftwareVersion() const { return FSoftwareVersion; }
    const std::string& DeviceVersion() const { return FDeviceVersion; }
    TDeviceKind DeviceKind() const override { return FDeviceKind; }
    std::string SerialNumber() const override { return FSerialNumber; }
    std::string PrintHeader() const override { return FPrintHeader; }
    // The leak plot takes the third monitor row. Setting it restores a
    // maximized plot and lays the page out again.
    void SetLeakPlotShown(bool Value);

    // ---------------------------------------------------------- reports
    TPlotReportRecord MonitorPlotRecord(int Plot) const override;
    TPlotReportRecord LoopPlotRecord(int Loop) const override;
    const TTestReportSource* TrendTestSource() const override { return &FTrendTest; }
    const TLeakTestReportSource* LeakTestSource() const override { return &FLeakTest; }

    // The program's folder, ending with '/'.
    std::string ProgramDir() const { return FProgramDir; }

    // ------------------------------------------------------ life cycle
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The window's size changed (the user, the window manager maximizing
    // it): the plots are laid out again at once and once more when the
    // window has settled, so they always fill its final size.
    void FormResize(TObject* Sender);
    void Exit1Click(TObject* Sender);

    // ----------------------------------------------------------- settings
    void actnInitFromIniExecute(TObject* Sender);
    void actnSaveIniSettingsExecute(TObject* Sender);

    // ------------------------------------------------ receive and status
    void CommPortTriggerAvail(TObject* Sender, uint16_t Count);
    void RecordMessage(int RecordType, uint8_t Length, const uint8_t* Frame) override;
    void NewWaveformSample(TWaveformSample Sample) override;
    void NewParameters(TParameterStruct Params) override;
    void ConfigureForDevice(int Kind, const std::string& Version) override;
    void SetDeviceKind(uint8_t Kind) override;
    void SetCorrectionMode(int Mode) override;
    void SetInspGas(TGasProperties Gas) override;
    void SetExpGas(TGasProperties Gas) override;
    void SetAmbientTemp(float Kelvin) override;
    void SetGasType(int GasType) override;
    void SetBreathThreshold(float Threshold) override;
    void ShowBreathDetectMode(int Mode) override;
    void ShowZeroMode(int Mode) override;
    void ShowSerialMode(int Mode) override;
    void ShowFlowPort(int Port) override;
    void StatusReceived(uint8_t Extra) override;
    void ShowDeviceVersion(const std::string& Version) override;
    void SetSerialNumber(const std::string& Text);
    void SetDeviceVersion(const std::string& Text);

    // ---------------------------------------------- monitor and loop plots
    // Every waveform sample: a point on each monitor and loop plot.
    void actnUpdateSignalsExecute(TObject* Sender);
    // Maximum and minimum labels every sample, current and average every
    // 25th.
    void actnUpdateMonitorSignalsExecute(TObject* Sender);
    void actnUpdateMonitorTitlesExecute(TObject* Sender);
    void actnShowPreviousDataExecute(TObject* Sender);
    // The Y range of a monitor plot from its signal's minimum and maximum,
    // unless the signal is scaled by hand.
    void AutoScaleMonitorPlot(int Plot);
    // The Y range a plot starts with, until its first wrap: what its signal
    // usually spans, in the signal's display unit.
    void SetStartRange(int Plot);
    void AutoScaleFlowVolumeLoop();
    void AutoScaleVolumePressureLoop();
    // Both axes of a loop from its signals' ranges, the Y range scaled by
    // YFactor first, unless the loop is scaled by hand.
    void AutoScaleLoop(int Loop, int XSignal, int YSignal, float YFactor);
    // The loop popup menu; its Tag names the loop addressed (0 or 1).
    void btnLoop1MenuClick(TObject* Sender);
    void btnLoop2MenuClick(TObject* Sender);
    void chartLoop1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void chartLoop2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void menuLoopPopupPopup(TObject* Sender);
    void actnAutoScaleLoopExecute(TObject* Sender);
    void actnManualScaleLoopExecute(TObject* Sender);
    void actnClearLoopExecute(TObject* Sender);

    // ------------------------------- plot layout, monitor popup, units, scales
    // Lays out the plot pages from the page area (the tab sheet's client
    // size): monitor rows of (H - 3) / 3 unless a plot is maximized, loop
    // panels of (W - 2) / 2 with a 2-pixel gap. Every change of the page
    // size comes here (PageControlResize).
    void actnResizePlotsExecute(TObject* Sender);
    void PageControlResize(TObject* Sender);
    // Maximize or restore one plot panel (4 the leak plot).
    void btnMonitor1MaxClick(TObject* Sender);
    void btnMonitor2MaxClick(TObject* Sender);
    void btnMonitor3MaxClick(TObject* Sender);
    void btnMonitor4MaxClick(TObject* Sender);
    // The monitor popup menu; its Tag names the plot addressed (0-2, 3 the
    // leak plot, which offers only the leak test).
    void btnMonitor1MenuClick(TObject* Sender);
    void btnMonitor2MenuClick(TObject* Sender);
    void btnMonitor3MenuClick(TObject* Sender);
    void btnMonitor4MenuClick(TObject* Sender);
    void chartMonitor1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void chartMonitor2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void chartMonitor3MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void chartLeakTestMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void menuMonitorPopupPopup(TObject* Sender);
    void actnFlowExecute(TObject* Sender);
    void actnVolumeExecute(TObject* Sender);
    void actnAPressExecute(TObject* Sender);
    void actnLPressExecute(TObject* Sender);
    void actnHPressExecute(TObject* Sender);
    void actnOxygenExecute(TObject* Sender);
    void actnTempExecute(TObject* Sender);
    void actnRelHumExecute(TObject* Sender);
    // The nine unit actions; the sender's Tag is the unit code.
    void actnUnit1Execute(TObject* Sender);
    void actnAutoScaleExecute(TObject* Sender);
    void actnManualScaleExecute(TObject* Sender);
    void actnTimeExecute(TObject* Sender);
    void actnClearMonitorSeriesExecute(TObject* Sender);
    void actnRescalePlotsExecute(TObject* Sender);
    void actnUnitsExecute(TObject* Sender);

    // ----------------------------------- Full Test page, statistics actions
    void actnUpdateFullTestExecute(TObject* Sender);
    void actnUpadteFullDetailsExecute(TObject* Sender);
    // The 20 selection buttons; the sender's Tag is the parameter id.
    void btnTVSelectClick(TObject* Sender);
    void actnClearSelectionsExecute(TObject* Sender);
    void btnFullTestMenuClick(TObject* Sender);
    void actnStackedTestExecute(TObject* Sender);
    void actnClearAllExecute(TObject* Sender);
    void actnClearFlowStatsExecute(TObject* Sender);
    void actnClearVolumeStatsExecute(TObject* Sender);
    void actnClearAPressStatsExecute(TObject* Sender);
    void actnClearLPressStatsExecute(TObject* Sender);
    void actnClearHPressStatsExecute(TObject* Sender);
    void actnClearOxygenStatsExecute(TObject* Sender);
    void actnClearTemperatureStatsExecute(TObject* Sender);
    void actnClearRelHumStatsExecute(TObject* Sender);
    // Clears every statistic, the monitor and loop plots and the Full Test
    // page (closing a data file runs it).
    void actnResetEverytingExecute(TObject* Sender);

    // ---------------------------------------------------------- side bar
    void actnFileControlsExecute(TObject* Sender);
    void actnFileControlsUpdate(TObject* Sender);
    void actnClearFileInfoExecute(TObject* Sender);
    void actnUpdateFileInfoExecute(TObject* Sender);
    void actnClearEventsExecute(TObject* Sender);
    void actnUpdateEventsExecute(TObject* Sender);

    // ------------------------------------------------------- connection
    TOpenPortResult OpenCommPort(TPortSettings Settings);
    void actnSelectPortExecute(TObject* Sender);
    void actnSearchCommExecute(TObject* Sender);
    void actnInitCommunicationsExecute(TObject* Sender);
    // The analyzer's version and serial number, read as the handshake ends.
    void ReadDeviceIdentity();
    void actnSerialModeBothExecute(TObject* Sender);
    void actnSerialModeWaveformExecute(TObject* Sender);
    void actnSerialModeParametersExecute(TObject* Sender);
    void actnSerialModeNoneExecute(TObject* Sender);
    void CommPortPortClose(TObject* Sender);
    void actnAboutExecute(TObject* Sender);
    void actnLockCalDiagExecute(TObject* Sender);

    // ------------------------------------------------- device commands
    // While one of the user's device commands waits for the analyzer, every
    // other device-command action is disabled, so no two commands wait for
    // one acknowledgement. Nested locks count.
    class TDeviceCommandLock {
    public:
        explicit TDeviceCommandLock(TMainForm& Form);
        ~TDeviceCommandLock();
        TDeviceCommandLock(const TDeviceCommandLock&) = delete;
        TDeviceCommandLock& operator=(const TDeviceCommandLock&) = delete;

    private:
        TMainForm& FForm;
    };
    bool DeviceCommandRunning() const { return FDeviceCommandDepth > 0; }
    // Enables or disables an action as the device kind asks; a device
    // command stays disabled while another one runs and comes back when it
    // ends. An action with no handler (its unit is not part of the program
    // yet) stays disabled.
    void SetActionEnabled(TAction* Action, bool Value);
    // What the device kind asks for, whatever runs now.
    bool ActionWanted(TAction* Action) const;

    // ------------------------------------------------------- recording
    // (Mainrecording.cpp) Every waveform, parameter and handheld status
    // frame goes to RecordMessage before it is acknowledged; while a
    // recording runs it is written to the data file at once.
    void actnSaveFileExecute(TObject* Sender);
    void actnAnnotateExecute(TObject* Sender);
    void actnMarkTimeExecute(TObject* Sender);
    void actnTimedBreaksExecute(TObject* Sender);
    void actnCloseFileExecute(TObject* Sender);
    // true: the next timed break is due one interval from now; false: writes
    // the break when one is due.
    void CheckTimedBreak(bool Reschedule);

private:
    void CreateRecordingComponents();
    // Writes one record, or keeps it while an annotation is typed.
    void RecordWrite(const TDataFileRecord& Record);
    // '!' and 'T' with the time of day.
    void WriteTimeMark(const std::string& TimeText);
    // Stops a recording whose file failed and tells the user (later,
    // outside the receive path).
    void CheckRecordFile();
    void RecordFailed(TRecordCloseResult Result);
    void CloseRecordFile();
    void tmrRecordReportTimer(TObject* Sender);

    std::unique_ptr<TRecordFile> FRecordFile;
    // What the user must be told about a recording that stopped.
    std::string FRecordReport;
    // Depth of CommPortTriggerAvail: no message box opens inside it.
    int FReceiveDepth = 0;
    TTimer* tmrRecordReport = nullptr;
    TAction* actnAnnotate = nullptr;
    TAction* actnMarkTime = nullptr;
    TButton* btnRecord = nullptr;
    TButton* btnAnnotate = nullptr;
    TButton* btnMarkTime = nullptr;

public:
    // ------------------------------------------------- handheld records
    // Mainhandheld.cpp. Shows the download dialog with a fresh directory,
    // or brings it to the front while a download runs.
    void actnDownloadFilesExecute(TObject* Sender);
    // Feeds a handheld file's samples and last breath through the live
    // callbacks and then puts the handheld's own statistics in place. A
    // file that cannot be read is refused with a message naming it, and
    // nothing changes; false then.
    bool ImportHandheldFile(const std::string& FileName);

    // ------------------------------------------------- playback, export
    // Mainplayback.cpp. A data file plays through the live callbacks, at
    // most 10 records a timer tick; the text export writes its tables.
    void actnOpenFileExecute(TObject* Sender);
    void actnPlayExecute(TObject* Sender);
    void actnPauseExecute(TObject* Sender);
    void actnStopExecute(TObject* Sender);
    void actnSkipFwdExecute(TObject* Sender);
    void actnSkipBackExecute(TObject* Sender);
    void actnAllForwardExecute(TObject* Sender);
    void actnAllBackwardExecute(TObject* Sender);
    void btnLoopPlayBlackClick(TObject* Sender);
    void actnUpdateLoopBackExecute(TObject* Sender);
    void scrollSpeedChange(TObject* Sender);
    void tmrPlaybackTimer(TObject* Sender);
    void actnExtractSignalFileExecute(TObject* Sender);
    void actnExtractParameterFileExecute(TObject* Sender);
    // One record as playback dispatches it by its type byte.
    void PlaybackRecord(const TDataFileRecord& Record);

private:
    // Hands played records to the window (Mainplayback.cpp).
    class TPlaybackDispatch;
    void CreatePlaybackComponents();
    // Plays the file from the start with everything live data built
    // cleared (continuous play at the end of the file).
    void RestartPlayback();
    // The three monitor plots (restarting their sweeps) and both loops.
    void ClearPlaybackPlots();
    // Playback moved elsewhere in the file: the plots draw no line from the
    // last record played to the next.
    void BreakPlaybackPlots();
    // Closes a played file; the device kind is the connected analyzer's again.
    void ClosePlaybackFile();
    // The analyzer's output, switched off while a file is open, runs in the
    // mode it ran in before.
    void GiveOutputBack();
    void ExtractFile(int Kind, const std::string& Done);

    std::unique_ptr<TDataFileReader> FPlaybackFile;
    // The device kind when the file was opened: 'P' and 's' records change
    // it only while the file plays.
    TDeviceKind FLiveDeviceKind = dkAnalyzer;
    // The serial-mode action the analyzer ran in when an open switched its
    // output off; null while the output is not held off for a file.
    TAction* FOutputBeforeFile = nullptr;
    TAction* actnPlay = nullptr;
    TAction* actnPause = nullptr;
    TAction* actnStop = nullptr;
    TAction* actnSkipFwd = nullptr;
    TAction* actnSkipBack = nullptr;
    TAction* actnAllForward = nullptr;
    TAction* actnAllBackward = nullptr;
    TGroupBox* gbPlayback = nullptr;
    TToolBar* tbPlayback = nullptr;   // the transport buttons
    TSpeedButton* btnLoopPlayBlack = nullptr;
    TSpeedButton* btnLoopPlayRed = nullptr;
    TScrollBar* scrollSpeed = nullptr;
    TLabel* lblSpeed = nullptr;

    // ------------------------------------------------- device commands
    // (Maindevice.cpp, Maindebug.cpp, Mainsyringe.cpp) Zeroing, flow port,
    // breath detection, barometric pressure, linearization tables, firmware,
    // gas settings, the Debug page and the syringe calibration. Each holds
    // the device-command lock while it waits for the analyzer.
public:
    // The service text that shows the Calibration menu (never stored, never
    // shown).
    static constexpr const char* CalibrationPassword = "ZRservice";
    // The breath threshold travels as 16-bit hundredths of L/min.
    static constexpr float MaxBreathThreshold = 655.35f;
    void actnZeroAutoExecute(TObject* Sender);
    void actnZeroManualExecute(TObject* Sender);
    void actnZeroAllExecute(TObject* Sender);
    void actnZeroFlowExecute(TObject* Sender);
    void actnZeroHPressExecute(TObject* Sender);
    void actnZeroLPressExecute(TObject* Sender);
    void actnZeroVolumeExecute(TObject* Sender);
    void actnZeroOxygen21Execute(TObject* Sender);
    void actnZeroOxygen100Execute(TObject* Sender);
    void actnFlowPortHighExecute(TObject* Sender);
    void actnFlowPortLowExecute(TObject* Sender);
    void actnBDBiDiExecute(TObject* Sender);
    void actnBDUniInspExecute(TObject* Sender);
    void actnBDUniExpExecute(TObject* Sender);
    void actnBDNoneExecute(TObject* Sender);
    // A threshold outside 0 to 655.35 L/min is refused with a message.
    void actnBDThresholdExecute(TObject* Sender);
    // Sent only for 500 < mmHg < 800.
    void actnBarometricPressureExecute(TObject* Sender);
    void actnReadLowFlowTableExecute(TObject* Sender);
    void actnReadHighFlowTableExecute(TObject* Sender);
    void actnLoadLowFlowTableExecute(TObject* Sender);
    void actnLoadHighFlowTableExecute(TObject* Sender);
    void actnLoadFirmwareExecute(TObject* Sender);
    // Each sends only what the user changed.
    void actnGasSettingsExecute(TObject* Sender);
    void actnAdvancedGasSettingsExecute(TObject* Sender);
    void actnGasCalculatorExecute(TObject* Sender);
    // Debug page: unit table, clear the protocol log, the serial numbers.
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    // Syringe calibration (size entry, 'C' 'F', the dialog, accept or
    // reject) and verification (the dialog; its "Calibrate" button runs
    // the calibration). A size outside 1 to 65,535 mL is refused.
    void actnSyringeCalibrationExecute(TObject* Sender);
    void actnSyringeVerificationExecute(TObject* Sender);
    // Asks for the service password; the right one shows the Calibration
    // menu until the program ends.
    void actnUnlockCalDiagExecute(TObject* Sender);

private:
    // Table dialogs' filters, the Debug page's controls, the unlock action.
    void CreateDeviceCommandComponents();
    void ZeroExecute(const char* Confirmation, std::initializer_list<char> Codes);
    void BreathDetectExecute(char Mode);
    void SetupTableDialogs();
    void ReadFlowTableExecute(char Table, const std::string& Title, const std::string& Suffix);
    void LoadFlowTableExecute(char Table, const std::string& Title);
    // Sends each record that differs from the stored one, then 'Y' 'U' when
    // one was sent.
    void SendChangedGasRecords(const TGasProperties& Insp, const TGasProperties& Exp);
    TAction* actnUnlockCalDiag = nullptr;
    TComboBox* cbUnits = nullptr;
    TEdit* eTestValue = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;
    TButton* Button5 = nullptr;
    TButton* Button6 = nullptr;
    TLabel* Label29 = nullptr;
    // ---------------------------------------------- end of device commands

private:
    // ------------------------------------------------------- components
    // Reached from outside by name (FindComponent), as the user would.
    // Pages.
    TPageControl* PageControl = nullptr;
    TTabSheet* tsMonitor = nullptr;
    TTabSheet* tsLoop = nullptr;
    TTabSheet* tsFullTest = nullptr;
    TTabSheet* tsDebug = nullptr;
    TTabSheet* tsPrintTest = nullptr;

    // Monitor page: three monitor plots and the leak plot. The leak plot's
    // series belongs to the leak test.
    TPanel* pnlSigPlots[4] = {};
    TChart* chartMonitor1 = nullptr;
    TChart* chartMonitor2 = nullptr;
    TChart* chartMonitor3 = nullptr;
    TChart* chartLeakTest = nullptr;
    TFastLineSeries* seriesMonitor[3][2] = {};
    TFastLineSeries* seriesLeakTest = nullptr;
    // Per plot (1-3, 4 the leak plot): title, two unit labels, maximum,
    // minimum, average and current value.
    TLabel* lblTitleMonitor[4] = {};
    TLabel* lblUnits1Monitor[4] = {};
    TLabel* lblUnits2Monitor[4] = {};
    TLabel* lblMaxMonitor[4] = {};
    TLabel* lblMinMonitor[4] = {};
    TLabel* lblAvgMonitor[4] = {};
    TLabel* lblCurrMonitor[4] = {};
    TButton* btnMonitorMenu[4] = {};
    TButton* btnMonitorMax[4] = {};

    // Loop page.
    TPanel* pnlLoop1 = nullptr;
    TPanel* pnlLoop2 = nullptr;
    TChart* chartLoop1 = nullptr;
    TChart* chartLoop2 = nullptr;
    TFastLineSeries* seriesLoop[2][4] = {};
    TLabel* lblLoopTitle1 = nullptr;
    TLabel* lblLoopTitle2 = nullptr;
    TButton* btnLoop1Menu = nullptr;
    TButton* btnLoop2Menu = nullptr;

    // Full Test page: a value label per parameter id (none for 1 and 21),
    // the 20 selection buttons and the detail panel.
    TPanel* pnlFullTest = nullptr;
    TLabel* lblFullTestValues[ParameterCount] = {};
    TToolSpeedButton* btnSelect[20] = {};
    TGroupBox* gbFullDetail = nullptr;
    TLabel* lblFullDetailTitle = nullptr;
    TLabel* lblFullDetailCurrent = nullptr;
    TLabel* lblFullDetailAvg = nullptr;
    TLabel* lblFullDetailMin = nullptr;
    TLabel* lblFullDetailMax = nullptr;
    TLabel* lblStackLabel = nullptr;
    TLabel* lblStacked = nullptr;
    TLabel* lblNStacked = nullptr;
    TSpeedButton* btnStack = nullptr;
    TSpeedButton* btnTrend = nullptr;
    TButton* btnFullTestMenu = nullptr;

    // Debug page.
    TMemo* memoDebug = nullptr;
    TMemo* memoFileList = nullptr;   // the protocol log
    TLabel* lblZRPSN = nullptr;

    // Side bar.
    TPanel* pnlSideBar = nullptr;
    TLookOutBar* LookOutBar = nullptr;
    TLookOutPage* lopFileControls = nullptr;
    TLookOutPage* lopTrendTest = nullptr;
    TLookOutPage* lopLeakTest = nullptr;
    TGroupBox* gbFileInfo = nullptr;
    TMemo* pnlFileInfo = nullptr;
    TGroupBox* gbComments = nullptr;
    TMemo* CommentMemo = nullptr;

    TToolBar* ToolBar = nullptr;
    TImageList* ToolImages = nullptr;
    TToolButton* btnBreathDetect = nullptr;
    TStatusBar* StatusBar = nullptr;
    TMainMenu* MainMenu = nullptr;
    TMenuItem* mnuZRMobile = nullptr;
    TMenuItem* mnuFlowPort = nullptr;
    TMenuItem* mnuZeroingMode = nullptr;
    TMenuItem* menuCalibration = nullptr;
    TMenuItem* mnuCalibVIDuri = nullptr;
    TMenuItem* mnuExit = nullptr;
    TPopupMenu* menuMonitorPopup = nullptr;
    TMenuItem* mnuMonitorSignal = nullptr;
    TMenuItem* menuUnits = nullptr;
    TMenuItem* mnuMonitorRescale = nullptr;
    TMenuItem* mnuMonitorClear = nullptr;
    TMenuItem* mnuLeakTestPop = nullptr;
    TPopupMenu* menuLoopPopup = nullptr;
    TPopupMenu* popFullTest = nullptr;
    TPopupMenu* popZeroMenu = nullptr;
    TPopupMenu* popStatistics = nullptr;
    TPopupMenu* popBreathDetect = nullptr;
    TTimer* tmrPlayback = nullptr;
    TTimer* tmrTrendTest = nullptr;
    TTimer* tmrStartHandshake = nullptr;   // runs the handshake once the window painted
    TTimer* tmrRelayout = nullptr;         // lays the plots out once the window settled
    TOpenDialog* dlgFileOpen = nullptr;
    TSaveDialog* dlgFileSave = nullptr;
    TSaveDialog* dlgSaveTable = nullptr;
    TOpenDialog* dlgOpenTable = nullptr;
    TApdComPort* CommPort = nullptr;

    // ---------------------------------------------------------- actions
    TActionList* ActionList = nullptr;
    // File.
    TAction* actnSaveFile = nullptr;
    TAction* actnOpenFile = nullptr;
    TAction* actnCloseFile = nullptr;
    TAction* actnFileControls = nullptr;
    TAction* actnTimedBreaks = nullptr;
    TAction* actnExtractSignalFile = nullptr;
    TAction* actnExtractParameterFile = nullptr;
    TAction* actnLoadFirmware = nullptr;
    TAction* actnPrintReport = nullptr;
    // Communications.
    TAction* actnSerialModeBoth = nullptr;
    TAction* actnSerialModeWaveform = nullptr;
    TAction* actnSerialModeParameters = nullptr;
    TAction* actnSerialModeNone = nullptr;
    TAction* actnSelectPort = nullptr;
    TAction* actnSearchComm = nullptr;
    TAction* actnInitCommunications = nullptr;
    TAction* actnDownloadFiles = nullptr;
    // Statistics.
    TAction* actnClearAll = nullptr;
    TAction* actnClearFlowStats = nullptr;
    TAction* actnClearVolumeStats = nullptr;
    TAction* actnClearAPressStats = nullptr;
    TAction* actnClearLPressStats = nullptr;
    TAction* actnClearHPressStats = nullptr;
    TAction* actnClearOxygenStats = nullptr;
    TAction* actnClearTemperatureStats = nullptr;
    TAction* actnClearRelHumStats = nullptr;
    // Zeroing.
    TAction* actnZeroAll = nullptr;
    TAction* actnZeroFlow = nullptr;
    TAction* actnZeroHPress = nullptr;
    TAction* actnZeroLPress = nullptr;
    TAction* actnZeroVolume = nullptr;
    TAction* actnZeroOxygen21 = nullptr;
    TAction* actnZeroOxygen100 = nullptr;
    // Setup.
    TAction* actnFlowPortHigh = nullptr;
    TAction* actnFlowPortLow = nullptr;
    TAction* actnZeroAuto = nullptr;
    TAction* actnZeroManual = nullptr;
    TAction* actnBDBiDi = nullptr;
    TAction* actnBDUniInsp = nullptr;
    TAction* actnBDUniExp = nullptr;
    TAction* actnBDNone = nullptr;
    TAction* actnBDThreshold = nullptr;
    TAction* actnGasSettings = nullptr;
    TAction* actnAdvancedGasSettings = nullptr;
    TAction* actnGasCalculator = nullptr;
    TAction* actnBarometricPressure = nullptr;
    TAction* actnUnits = nullptr;
    TAction* actnPrintHeader = nullptr;
    // Test settings.
    TAction* actnStackedTest = nullptr;
    TAction* actnTrendTest = nullptr;
    TAction* actnLeakTest = nullptr;
    TAction* actnShowPreviousData = nullptr;
    TAction* actnTime = nullptr;
    // Calibration.
    TAction* actnSyringeCalibration = nullptr;
    TAction* actnSyringeVerification = nullptr;
    TAction* actnReadHighFlowTable = nullptr;
    TAction* actnReadLowFlowTable = nullptr;
    TAction* actnLoadHighFlowTable = nullptr;
    TAction* actnLoadLowFlowTable = nullptr;
    // Help and tool bar.
    TAction* actnAbout = nullptr;
    TAction* actnRescalePlots = nullptr;
    // Without a menu item.
    TAction* actnInitFromIni = nullptr;
    TAction* actnSaveIniSettings = nullptr;
    TAction* actnUpdateLoopBack = nullptr;
    TAction* actnUpdateSignals = nullptr;
    TAction* actnUpdateFullTest = nullptr;
    TAction* actnUpdateLeakTest = nullptr;
    TAction* actnUpdateTrendTest = nullptr;
    TAction* actnUpdateMonitorTitles = nullptr;
    TAction* actnUpdateMonitorSignals = nullptr;
    // Loop popup menu.
    TAction* actnAutoScaleLoop = nullptr;
    TAction* actnManualScaleLoop = nullptr;
    TAction* actnClearLoop = nullptr;
    TAction* actnResizePlots = nullptr;
    TAction* actnLockCalDiag = nullptr;
    // Monitor popup menu.
    TAction* actnFlow = nullptr;
    TAction* actnVolume = nullptr;
    TAction* actnAPress = nullptr;
    TAction* actnLPress = nullptr;
    TAction* actnHPress = nullptr;
    TAction* actnOxygen = nullptr;
    TAction* actnTemp = nullptr;
    TAction* actnRelHum = nullptr;
    TAction* actnUnit[9] = {};   // actnUnit1 .. actnUnit9
    TAction* actnAutoScale = nullptr;
    TAction* actnManualScale = nullptr;
    TAction* actnClearMonitorSeries = nullptr;
    TAction* actnSigLeakTest = nullptr;
    // Full Test page.
    TAction* actnUpadteFullDetails = nullptr;
    TAction* actnClearSelections = nullptr;
    TAction* actnResetEveryting = nullptr;
    // Side bar.
    TAction* actnClearFileInfo = nullptr;
    TAction* actnUpdateFileInfo = nullptr;
    TAction* actnClearEvents = nullptr;
    TAction* actnUpdateEvents = nullptr;

    // ----------------------------------------------------------- fields
    std::unique_ptr<TIniFile> FIniFile;
    TSignalStats FSignalStats[MaxSignals];
    TMonitorPlotInfo FMonitorPlots[3];
    TLoopPlotInfo FLoopPlots[2];
    TFullTestInfo FFullTestInfo[ParameterCount];
    int32_t FSampleTime = 0;
    uint8_t FSampleMarker = 0;
    bool FConnected = false;
    bool FPlotMaximized = false;
    bool FRecordSuspended = true;
    TPlotScale FSignalScales[MaxSignals];
    TPlotScale FLoopScales[2];
    TParameterStruct FLastParameters;
    TSignalStats FParamStats[ParameterCount];
    int32_t FSelectedParam = 0;
    bool FLoopPlayback = false;
    bool FPlaybackPaused = false;
    bool FPlaybackStarted = false;
    int32_t FBreathsToStack = 0;
    std::string FSignalsDir;
    bool FSyringeCalActive = false;
    bool FLeakPlotShown = false;
    int32_t FLabelRefreshCount = 0;
    std::string FFileInfo[10];
    std::string FEvents[5];
    bool FPrinting = false;
    TDateTime FTimedInterval = 0;
    TDateTime FNextTimedBreak = 0;
    std::string FSoftwareVersion;
    std::string FDeviceVersion;
    TDeviceKind FDeviceKind = dkAnalyzerOldFirmware;
    std::string FSerialNumber;
    TCorrectionMode FCorrectionMode = 0;
    TGasType FGasType = 0;
    TGasProperties FInspGas;
    TGasProperties FExpGas;
    float FAmbientTemp = 0;
    int32_t FFlowPort = 0;
    float FBreathThreshold = 0;
    int32_t FBreathDetectMode = 0;
    std::string FDataFileName;
    std::string FPrintHeader;
    bool FShowPrevious = true;


    void CreateComponents();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateToolImages();
    void CreatePages();
    void CreateFullTestPage();
    void CreateFileControlsPage();
    // The chart, labels and buttons inside one plot panel, from its size.
    void LayoutPlotPanel(int Panel);
    void LayoutLoopPanel(int Loop);
    void TogglePlotMaximized(int Panel);
    // Every panel back to its row (alignment none) and laid out again.
    void RestorePlots();
    // Opens the monitor popup for plot Plot at a point of Control's client:
    // right-aligned below a menu button, left-aligned at the mouse.
    void PopupMonitorMenu(int Plot, const TControl* Control, TPoint At, TPopupAlignment Alignment);
    // The monitor plot the popup addressed last; -1 for the leak plot.
    int AddressedPlot() const;
    void SelectMonitorSignal(int Signal);
    // Every plot page laid out from the pages' present sizes.
    void LayoutPlots();
    void RegisterDeviceCommands();
    void ApplyActionState(TAction* Action);
    void SerialModeExecute(TAction* Own, char Mode);

    TAction* NewAction(TAction*& Field, const std::string& Name, const std::string& Caption,
                       void (TMainForm::*Handler)(TObject*) = nullptr);

    std::string FIniFileName;
    std::string FProgramDir;
    int32_t FPortOverride = 0;
    std::unique_ptr<TZEBBSerialProtocol> FProtocol;
    std::unique_ptr<TProtocolLogMemo> FLogAdapter;
    std::vector<TAction*> FDeviceCommands;
    std::map<TAction*, bool> FWanted;
    int FDeviceCommandDepth = 0;
    bool FShown = false;

    // ------------------------------------------------ trend and leak tests
    // (Mainleaktest.cpp, Maintrendtest.cpp)
public:
    // Leak test: start (the action's Tag names the channel), show or hide
    // its plot in the third monitor row, labels after every sample, end,
    // print.
    void actnLeakTestExecute(TObject* Sender);
    void actnSigLeakTestExecute(TObject* Sender);
    void actnUpdateLeakTestExecute(TObject* Sender);
    void actnEndLeakTestExecute(TObject* Sender);
    void actnPrintLeakTestExecute(TObject* Sender);
    // Trend test: start from the dialog, the Testing page after every
    // record, the running time every 250 ms, end with the Results page,
    // print.
    void actnTrendTestExecute(TObject* Sender);
    void actnUpdateTrendTestExecute(TObject* Sender);
    void actnEndTrendTestExecute(TObject* Sender);
    void tmrTrendTestTimer(TObject* Sender);
    void btnPrintTrendClick(TObject* Sender);

private:
    TLeakTest FLeakTest;
    TTrendTest FTrendTest;
    TAction* actnEndLeakTest = nullptr;
    TAction* actnPrintLeakTest = nullptr;
    TAction* actnEndTrendTest = nullptr;
    // Side-bar page "Leak Test".
    TButton* btnEndLeakTest = nullptr;
    TButton* btnShowHideLeakPlot = nullptr;
    TButton* btnPrintLeakTest = nullptr;
    TGroupBox* gbLeakPressure = nullptr;
    TLabel* lblFinalLeakLabel = nullptr;
    TLabel* lblLeakCurrentPressure = nullptr;
    TLabel* lblLeakStartPressure = nullptr;
    TLabel* lblLeakRate = nullptr;
    TLabel* lblLeakElapsedTime = nullptr;
    TGroupBox* gbLeakVolume = nullptr;
    TLabel* lblLeakCompliance = nullptr;
    TLabel* lblLeakVolumeLost = nullptr;
    // Side-bar page "Trend Test": pages "Testing" and "Results".
    TNotebook* nbkTrendTest = nullptr;
    TLabel* lblTrendParameter = nullptr;
    TLabel* lblTrendInitialValue = nullptr;
    TLabel* lblTrendCurrentValue = nullptr;
    TLabel* lblTrendMinLimit = nullptr;
    TLabel* lblTrendMaxLimit = nullptr;
    TLabel* lblTrendPercentDifference = nullptr;
    TLabel* lblTrendTestNumber = nullptr;
    TLabel* lblTrendIncidentNumber = nullptr;
    TLabel* lblTrendRunningTime = nullptr;
    TButton* btnEndTrendTest = nullptr;
    TLabel* lblTrendReportParameter = nullptr;
    TLabel* lblTrendStartTime = nullptr;
    TLabel* lblTrendEndTime = nullptr;
    TLabel* lblTrendElapsedTime = nullptr;
    TLabel* lblTrendReportInitialValue = nullptr;
    TLabel* lblTrendReportMinLimit = nullptr;
    TLabel* lblTrendReportMaxLimit = nullptr;
    TLabel* lblTrendReportTestNumber = nullptr;
    TLabel* lblTrendReportIncidentNumber = nullptr;
    TButton* btnPrintTrend = nullptr;

    // Binds the leak test to its plot and labels, builds both side-bar
    // pages and hands the test actions their handlers.
    void CreateTestPages();
    void CreateLeakTestPage();
    void CreateTrendTestPage();
    // Shows the side bar (View File Controls checked) with Page open.
    void ShowSideBarPage(TLookOutPage* Page);

    // ------------------------------------------------------------ printing
    // (Mainprint.cpp) Every printout goes through PrintReport: the report
    // form (made on the first print) is filled from the window's records and
    // printed after the printer set-up dialog, or previewed. The live plots
    // stand still meanwhile (Printing) and move again however the run ends.
public:
    void PrintReport(TReportKind Kind, bool Preview);
    // "Print" in the File menu: the report of the active page (Full Test,
    // Monitor Plots, Loop Plots); any other page prints nothing.
    void actnPrintReportExecute(TObject* Sender);
    // "Printout Header": edited in the string-entry dialog, stored in the
    // settings file at once and, for a connected analyzer that is not a
    // handheld, sent to the analyzer (its first 40 characters).
    void actnPrintHeaderExecute(TObject* Sender);
    // ------------------------------------------------------- printing end
};

extern TMainForm* MainForm;
