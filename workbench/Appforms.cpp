#include "workbench/Appforms.h"

#include "analyzer/dialogs/AdvancedGasSettings.h"
#include "analyzer/dialogs/BasicGasSettings.h"
#include "analyzer/dialogs/CalculatorGasSettings.h"
#include "analyzer/dialogs/FlashLoadDialog.h"
#include "analyzer/dialogs/SearchComm.h"
#include "analyzer/dialogs/SelectComm.h"
#include "analyzer/Serialfunctions.h"
#include "platform/Application.h"
#include "workbench/About.h"
#include "workbench/FileDownload.h"

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
    dlgAbout = new TdlgAbout(Application);
    dlgGasCalculator = new TdlgGasCalculator(Application);
    SelectCommPortDlg = new TSelectCommPortDlg(Application);
    dlgFlashLoad = new TdlgFlashLoad(Application, ZebbSer);
}
