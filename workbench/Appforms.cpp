#include "workbench/Appforms.h"

#include "analyzer/dialogs/AdvancedGasSettings.h"
#include "analyzer/dialogs/BasicGasSettings.h"
#include "analyzer/dialogs/CalculatorGasSettings.h"
#include "analyzer/dialogs/FlashLoadDialog.h"
#include "analyzer/dialogs/SearchComm.h"
#include "analyzer/dialogs/SelectComm.h"
#include "analyzer/Serialfunctions.h"
#include "platform/Application.h"
#include "platform/Signals.h"
#include "workbench/About.h"
#include "workbench/AnnotateDialog.h"
#include "workbench/Entrydialogs.h"
#include "workbench/FileDownload.h"
#include "workbench/LeakTestDialog.h"
#include "workbench/PlotScale.h"
#include "workbench/RecordDialog.h"
#include "workbench/StackSetup.h"
#include "workbench/SyrCalDialog.h"
#include "workbench/Threshold.h"
#include "workbench/TimeScale.h"
#include "workbench/TimedBreakDialog.h"
#include "workbench/TrendTestSettings.h"
#include "workbench/UnitSelect.h"

void CreateApplicationForms(const TMainFormOptions& Options)
{
    // The main window comes first; nothing in its constructor uses a
    // dialog. The dialogs follow in the program's order; those not listed
    // here are created by their own units' additions.
    MainForm = new TMainForm(Application, Options);
    SetApplicationMainForm(MainForm);
    dlgSearchCommPorts = new TdlgSearchCommPorts(Application, ZebbSer);
    dlgFileDownload = new TdlgFileDownload(Application, ZebbSer);
    dlgGasSettings = new TdlgGasSettings(Application);
    dlgAdvGasSettings = new TdlgAdvGasSettings(Application);
    dlgThreshold = new TdlgThreshold(Application);
    dlgAbout = new TdlgAbout(Application);
    dlgStackSetup = new TdlgStackSetup(Application);
    dlgUnitSelect = new TdlgUnitSelect(Application);
    dlgTimeScale = new TdlgTimeScale(Application);
    dlgGasCalculator = new TdlgGasCalculator(Application);
    SelectCommPortDlg = new TSelectCommPortDlg(Application);
    dlgTrendTest = new TdlgTrendTest(Application);
    dlgRecord = new TdlgRecord(Application);
    dlgAnnotate = new TdlgAnnotate(Application);
    dlgTimedBreaks = new TdlgTimedBreaks(Application);
    dlgSyrCal = new TdlgSyrCal(Application, ZebbSer);
    dlgValueEntry = new TdlgValueEntry(Application);
    dlgPassword = new TdlgPassword(Application);
    dlgStringEntry = new TdlgStringEntry(Application);
    dlgFlashLoad = new TdlgFlashLoad(Application, ZebbSer);
    dlgPlotScale = new TdlgPlotScale(Application);
    dlgStartLeakTest = new TdlgStartLeakTest(Application);
}

void CloseMainFormOnTerminationSignal()
{
    SetTerminationSignalHandler([](int) {
        static bool Closing = false;
        if (MainForm && !Closing) {
            Closing = true;
            MainForm->Close();
        }
    });
}
