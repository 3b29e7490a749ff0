// The main window's leak test: the plot in the third monitor row, the
// side-bar page "Leak Test" and the actions that start, follow, end and
// print the test.
#include "workbench/Main.h"

#include "chart/Chart.h"
#include "platform/Controlbuilder.h"
#include "platform/ExtCtrls.h"
#include "platform/LookOut.h"
#include "platform/StdCtrls.h"
#include "workbench/LeakTestDialog.h"

void TMainForm::CreateTestPages()
{
    FLeakTest.SetChart(chartLeakTest, clFuchsia);
    FLeakTest.SetLabels(lblTitleMonitor[3], lblUnits1Monitor[3], lblUnits2Monitor[3], lblMaxMonitor[3],
                        lblMinMonitor[3], lblAvgMonitor[3], lblCurrMonitor[3]);
    // The leak chart: fixed axes, a minute along the bottom until a test
    // sets its own time.
    chartLeakTest->Legend()->SetVisible(false);
    chartLeakTest->Title()->SetVisible(false);
    chartLeakTest->Zoom()->SetAllow(false);
    chartLeakTest->BottomAxis()->SetMinMax(0, 60);
    chartLeakTest->BottomAxis()->SetDesiredIncrement(5);
    chartLeakTest->BottomAxis()->Title()->SetCaption("Seconds");
    chartLeakTest->LeftAxis()->SetMinMax(-100, 100);

    NewAction(actnEndLeakTest, "actnEndLeakTest", "End Leak Test", &TMainForm::actnEndLeakTestExecute);
    NewAction(actnPrintLeakTest, "actnPrintLeakTest", "Print", &TMainForm::actnPrintLeakTestExecute);
    NewAction(actnEndTrendTest, "actnEndTrendTest", "End Trend Test", &TMainForm::actnEndTrendTestExecute);
    auto Handle = [this](TAction* Action, void (TMainForm::*Handler)(TObject*)) {
        Action->OnExecute = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    };
    Handle(actnLeakTest, &TMainForm::actnLeakTestExecute);
    Handle(actnSigLeakTest, &TMainForm::actnSigLeakTestExecute);
    Handle(actnUpdateLeakTest, &TMainForm::actnUpdateLeakTestExecute);
    Handle(actnTrendTest, &TMainForm::actnTrendTestExecute);
    Handle(actnUpdateTrendTest, &TMainForm::actnUpdateTrendTestExecute);
    actnLeakTest->SetEnabled(true);
    actnTrendTest->SetEnabled(true);
    actnUpdateLeakTest->SetEnabled(true);
    actnUpdateTrendTest->SetEnabled(true);
    // Disabled until the first test.
    actnSigLeakTest->SetEnabled(false);
    actnEndLeakTest->SetEnabled(false);
    actnPrintLeakTest->SetEnabled(false);
    actnEndTrendTest->SetEnabled(true);
    tmrTrendTest->OnTimer = [this](TObject* Sender) { tmrTrendTestTimer(Sender); };

    CreateLeakTestPage();
    CreateTrendTestPage();
}

void TMainForm::CreateLeakTestPage()
{
    // Three buttons, then the results as caption and value lines, packed
    // so that the page fits the side bar of the smallest window.
    TLookOutPage* Page = lopLeakTest;
    btnEndLeakTest = NewControl<TButton>(this, Page, "btnEndLeakTest", "", 8, 4, 142, 25);
    btnEndLeakTest->SetAction(actnLeakTest);
    btnShowHideLeakPlot = NewControl<TButton>(this, Page, "btnShowHideLeakPlot", "", 8, 32, 142, 25);
    btnShowHideLeakPlot->SetAction(actnSigLeakTest);
    btnShowHideLeakPlot->SetCaption("Show Leak Plot");
    btnPrintLeakTest = NewControl<TButton>(this, Page, "btnPrintLeakTest", "", 8, 60, 142, 25);
    btnPrintLeakTest->SetAction(actnPrintLeakTest);

    gbLeakPressure = NewControl<TGroupBox>(this, Page, "gbLeakPressure", "Pressure", 4, 90, 150, 0);
    lblFinalLeakLabel = NewControl<TLabel>(this, gbLeakPressure, "lblFinalLeakLabel", "Final Pressure:", 8, 0);
    // Each caption with its value on the line below, a line as high as the
    // labels' font needs; a group ends below its last value.
    const int Line = lblFinalLeakLabel->Height();
    int Top = 0;
    auto Pair = [this, &Top, Line](TLabel* Caption, TLabel*& Field, const std::string& Name) {
        Caption->SetTop(Top);
        Field = NewControl<TLabel>(this, Caption->Parent(), Name, "-----", 16, Top + Line);
        Top += 2 * Line + 4;
    };
    auto Caption = [this](TGroupBox* Box, const std::string& Text) {
        return NewControl<TLabel>(this, Box, "", Text, 8, 0);
    };
    Top = 16;
    Pair(lblFinalLeakLabel, lblLeakCurrentPressure, "lblLeakCurrentPressure");
    Pair(Caption(gbLeakPressure, "Initial Pressure:"), lblLeakStartPressure, "lblLeakStartPressure");
    Pair(Caption(gbLeakPressure, "Leak Rate:"), lblLeakRate, "lblLeakRate");
    Pair(Caption(gbLeakPressure, "Elapsed Time:"), lblLeakElapsedTime, "lblLeakElapsedTime");
    gbLeakPressure->SetHeight(Top);

    gbLeakVolume = NewControl<TGroupBox>(this, Page, "gbLeakVolume", "Volume", 4,
                                         gbLeakPressure->Top() + gbLeakPressure->Height() + 4, 150, 0);
    Top = 16;
    Pair(Caption(gbLeakVolume, "Compliance:"), lblLeakCompliance, "lblLeakCompliance");
    Pair(Caption(gbLeakVolume, "Volume Lost:"), lblLeakVolumeLost, "lblLeakVolumeLost");
    gbLeakVolume->SetHeight(Top);

    Page->SetEnabled(false);
}

void TMainForm::ShowSideBarPage(TLookOutPage* Page)
{
    pnlSideBar->SetVisible(true);
    actnFileControls->SetChecked(true);
    LookOutBar->SetActivePage(Page);
    actnResizePlots->Execute();
}

void TMainForm::actnLeakTestExecute(TObject* Sender)
{
    if (!dlgStartLeakTest)
        return;
    intptr_t Channel = actnLeakTest->Tag();
    if (Channel != sigAirwayPressure && Channel != sigLowPressure && Channel != sigHighPressure)
        Channel = sigLowPressure;
    dlgStartLeakTest->SetChannel(static_cast<int32_t>(Channel));
    dlgStartLeakTest->SetUnit(FSignalStats[Channel].DisplayUnit());
    if (!dlgStartLeakTest->Execute())
        return;
    FLeakTest.Start(&FSignalStats[dlgStartLeakTest->Channel()], dlgStartLeakTest->Compliance(),
                    dlgStartLeakTest->TestTime(), dlgStartLeakTest->Unit());
    lopLeakTest->SetEnabled(true);
    ShowSideBarPage(lopLeakTest);
    actnEndLeakTest->SetEnabled(true);
    // Enabled first: a disabled action does not run.
    actnSigLeakTest->SetEnabled(true);
    FLeakPlotShown = false;
    actnSigLeakTest->Execute();
    btnEndLeakTest->SetAction(actnEndLeakTest);
    actnPrintLeakTest->SetEnabled(true);
}

void TMainForm::actnSigLeakTestExecute(TObject* Sender)
{
    // Showing or hiding the leak plot ends a maximized view.
    SetLeakPlotShown(!FLeakPlotShown);
    actnSigLeakTest->SetCaption(FLeakPlotShown ? "Hide Leak Plot" : "Show Leak Plot");
}

void TMainForm::actnUpdateLeakTestExecute(TObject* Sender)
{
    // The page shows its dashes until the first test.
    if (!FLeakTest.Source())
        return;
    lblLeakCurrentPressure->SetCaption(FLeakTest.FinalPressureText(true));
    lblLeakStartPressure->SetCaption(FLeakTest.InitialPressureText(true));
    lblLeakRate->SetCaption(FLeakTest.LeakRateText(true));
    lblLeakElapsedTime->SetCaption(FLeakTest.ElapsedTimeText());
    lblLeakCompliance->SetCaption(FLeakTest.ComplianceText(true));
    lblLeakVolumeLost->SetCaption(FLeakTest.VolumeLostText(true));
    if (FLeakTest.IsRunning()) {
        lblFinalLeakLabel->SetCaption("Current Pressure:");
    } else {
        lblFinalLeakLabel->SetCaption("Final Pressure:");
        actnEndLeakTest->SetEnabled(false);
    }
}

void TMainForm::actnEndLeakTestExecute(TObject* Sender)
{
    FLeakTest.Stop();
    actnUpdateLeakTest->Execute();
    actnEndLeakTest->SetEnabled(false);
    ShowSideBarPage(lopLeakTest);
    btnEndLeakTest->SetAction(actnLeakTest);
    actnPrintLeakTest->SetEnabled(true);
    actnSigLeakTest->SetEnabled(true);
}

void TMainForm::actnPrintLeakTestExecute(TObject* Sender)
{
    PrintReport(rkLeak, false);
}
