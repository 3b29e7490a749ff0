#include "workbench/Appforms.h"

#include "analyzer/AdvancedGasSettings.h"
#include "analyzer/BasicGasSettings.h"
#include "analyzer/CalculatorGasSettings.h"
#include "analyzer/FlashLoadDialog.h"
#include "analyzer/SearchComm.h"
#include "analyzer/SelectComm.h"
#include "platform/Application.h"
#include "workbench/About.h"

void CreateApplicationForms(const TMainFormOptions& Options)
{
    // The main window comes first; nothing in its constructor uses a
    // dialog. The dialogs follow in the program's order; those not listed
    // here are created by their own units' additions.
    MainForm = new TMainForm(Application, Options);
    SetApplicationMainForm(MainForm);
    dlgSearchCommPorts = new TdlgSearchCommPorts(Application);
    dlgGasSettings = new TdlgGasSettings(Application);
    dlgAdvGasSettings = new TdlgAdvGasSettings(Application);
    dlgAbout = new TdlgAbout(Application);
    dlgGasCalculator = new TdlgGasCalculator(Application);
    SelectCommPortDlg = new TSelectCommPortDlg(Application);
    dlgFlashLoad = new TdlgFlashLoad(Application);
}
