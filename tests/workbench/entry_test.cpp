// The program's forms as the entry creates them, and closing the main
// window ending the application.
#include "tests/workbench/MainRig.h"

#include "analyzer/dialogs/AdvancedGasSettings.h"
#include "analyzer/dialogs/BasicGasSettings.h"
#include "analyzer/dialogs/CalculatorGasSettings.h"
#include "analyzer/dialogs/FlashLoadDialog.h"
#include "analyzer/dialogs/SearchComm.h"
#include "analyzer/dialogs/SelectComm.h"
#include "workbench/About.h"
#include "workbench/AnnotateDialog.h"
#include "workbench/Appforms.h"
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

TEST(Entry, FormsInOrderAndCloseEndsTheApplication) {
  char Template[] = "/tmp/ozwb-XXXXXX";
  const std::string Dir = ::mkdtemp(Template);
  TMainFormOptions Options;
  Options.ExeName = Dir + "/ozezudo";
  CreateApplicationForms(Options);
  ASSERT_NE(MainForm, nullptr);
  EXPECT_EQ(ApplicationMainForm(), MainForm);

  // The application owns them, the main window first.
  std::vector<TComponent *> Expected = {
      MainForm,          dlgSearchCommPorts, dlgFileDownload,   dlgGasSettings,
      dlgAdvGasSettings, dlgThreshold,       dlgAbout,          dlgStackSetup,
      dlgUnitSelect,     dlgTimeScale,       dlgGasCalculator,  SelectCommPortDlg,
      dlgTrendTest,      dlgRecord,          dlgAnnotate,       dlgTimedBreaks,
      dlgSyrCal,         dlgValueEntry,      dlgPassword,       dlgStringEntry,
      dlgFlashLoad,      dlgPlotScale,       dlgStartLeakTest};
  std::vector<TComponent *> Owned;
  for (int i = 0; i < Application->ComponentCount(); ++i)
    for (TComponent *C : Expected)
      if (Application->Components(i) == C)
        Owned.push_back(C);
  EXPECT_EQ(Owned, Expected);
  EXPECT_EQ(MainForm->Caption(), "RO Ziv Ozezudo");

  // The download folder: the program's folder, the data folder once the
  // window is shown.
  EXPECT_EQ(dlgFileDownload->Directory(), MainForm->ProgramDir());
  MainForm->Show();
  EXPECT_EQ(dlgFileDownload->Directory(), Probe(*MainForm).SignalsDir());
  MainForm->Close();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(std::filesystem::exists(Dir + "/ozezudo.INI"));
  std::error_code Ec;
  std::filesystem::remove_all(Dir, Ec);
}
