// The main window's trend test: the side-bar page "Trend Test" with its
// "Testing" and "Results" pages, the actions that start, follow and end the
// test, and the running time.
#include "workbench/Main.h"

#include "platform/Controlbuilder.h"
#include "platform/ExtCtrls.h"
#include "platform/LookOut.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"
#include "workbench/TrendTestSettings.h"

void TMainForm::CreateTrendTestPage()
{
    nbkTrendTest = NewControl<TNotebook>(this, lopTrendTest, "nbkTrendTest");
    nbkTrendTest->SetAlign(alClient);
    nbkTrendTest->Pages()->Clear();
    nbkTrendTest->Pages()->Add("Testing");
    nbkTrendTest->Pages()->Add("Results");
    nbkTrendTest->SetPageIndex(0);

    // Caption and value label pairs down a page, each value on the line
    // below its caption, a line as high as the labels' font needs: the page
    // fits the side bar of the smallest window.
    auto Rows = [this](TWinControl* Page, std::initializer_list<std::pair<const char*, TLabel**>> Pairs,
                       std::initializer_list<const char*> Names) {
        int Top = 4;
        auto Name = Names.begin();
        for (const auto& [Caption, Field] : Pairs) {
            const int Line = NewControl<TLabel>(this, Page, "", Caption, 8, Top)->Height();
            *Field = NewControl<TLabel>(this, Page, *Name++, "-----", 16, Top + Line);
            Top += 2 * Line + 4;
        }
        return Top;
    };
    TPage* Testing = nbkTrendTest->Page(0);
    int Top = Rows(Testing,
                   {{"Parameter:", &lblTrendParameter},
                    {"Initial Value:", &lblTrendInitialValue},
                    {"Current Value:", &lblTrendCurrentValue},
                    {"Minimum Limit:", &lblTrendMinLimit},
                    {"Maximum Limit:", &lblTrendMaxLimit},
                    {"Difference:", &lblTrendPercentDifference},
                    {"Tests:", &lblTrendTestNumber},
                    {"Incidents:", &lblTrendIncidentNumber},
                    {"Running Time:", &lblTrendRunningTime}},
                   {"lblTrendParameter", "lblTrendInitialValue", "lblTrendCurrentValue", "lblTrendMinLimit",
                    "lblTrendMaxLimit", "lblTrendPercentDifference", "lblTrendTestNumber", "lblTrendIncidentNumber",
                    "lblTrendRunningTime"});
    btnEndTrendTest = NewControl<TButton>(this, Testing, "btnEndTrendTest", "", 8, Top, 140, 25);
    btnEndTrendTest->SetAction(actnEndTrendTest);

    TPage* Results = nbkTrendTest->Page(1);
    Top = Rows(Results,
               {{"Parameter:", &lblTrendReportParameter},
                {"Start Time:", &lblTrendStartTime},
                {"End Time:", &lblTrendEndTime},
                {"Elapsed Time:", &lblTrendElapsedTime},
                {"Initial Value:", &lblTrendReportInitialValue},
                {"Minimum Limit:", &lblTrendReportMinLimit},
                {"Maximum Limit:", &lblTrendReportMaxLimit},
                {"Tests:", &lblTrendReportTestNumber},
                {"Incidents:", &lblTrendReportIncidentNumber}},
               {"lblTrendReportParameter", "lblTrendStartTime", "lblTrendEndTime", "lblTrendElapsedTime",
                "lblTrendReportInitialValue", "lblTrendReportMinLimit", "lblTrendReportMaxLimit",
                "lblTrendReportTestNumber", "lblTrendReportIncidentNumber"});
    btnPrintTrend = NewControl<TButton>(this, Results, "btnPrintTrend", "Print", 8, Top, 140, 25);
    btnPrintTrend->OnClick = [this](TObject* Sender) { btnPrintTrendClick(Sender); };

    lopTrendTest->SetEnabled(false);
}

void TMainForm::actnTrendTestExecute(TObject* Sender)
{
    if (!dlgTrendTest)
        return;
    if (!dlgTrendTest->Execute(FSelectedParam, FLastParameters))
        return;
    FTrendTest.Start(dlgTrendTest->ParamId(), dlgTrendTest->MinLimit(), dlgTrendTest->MaxLimit(),
                     dlgTrendTest->Params());
    lopTrendTest->SetEnabled(true);
    ShowSideBarPage(lopTrendTest);
    nbkTrendTest->SetActivePage("Testing");
    actnUpdateTrendTest->Execute();
}

void TMainForm::actnUpdateTrendTestExecute(TObject* Sender)
{
    if (dlgTrendTest)
        dlgTrendTest->UpdateDisplay(FLastParameters);
    // The page shows its dashes until the first test.
    if (FTrendTest.ParamId() < 0)
        return;
    lblTrendParameter->SetCaption(FTrendTest.ParameterShortNameText());
    lblTrendInitialValue->SetCaption(FTrendTest.InitialValueText(-1, false));
    lblTrendCurrentValue->SetCaption(FTrendTest.CurrentValueText(-1, false));
    lblTrendMinLimit->SetCaption(FTrendTest.MinLimitText());
    lblTrendMaxLimit->SetCaption(FTrendTest.MaxLimitText());
    lblTrendPercentDifference->SetCaption(FTrendTest.PercentDifferenceText(-1, true));
    lblTrendTestNumber->SetCaption(FTrendTest.TestCountText());
    lblTrendIncidentNumber->SetCaption(FTrendTest.IncidentCountText());
    lblTrendRunningTime->SetCaption(FTrendTest.ElapsedTimeText());
}

void TMainForm::tmrTrendTestTimer(TObject* Sender)
{
    if (FTrendTest.IsRunning())
        lblTrendRunningTime->SetCaption(FTrendTest.ElapsedTimeText());
}

void TMainForm::actnEndTrendTestExecute(TObject* Sender)
{
    FTrendTest.Stop();
    lblTrendReportParameter->SetCaption(FTrendTest.ParameterShortNameText());
    lblTrendStartTime->SetCaption(FTrendTest.StartTimeText());
    lblTrendEndTime->SetCaption(FTrendTest.EndTimeText());
    lblTrendElapsedTime->SetCaption(FTrendTest.ElapsedTimeText());
    lblTrendReportInitialValue->SetCaption(FTrendTest.InitialValueText(-1, false));
    lblTrendReportMinLimit->SetCaption(FTrendTest.MinLimitText());
    lblTrendReportMaxLimit->SetCaption(FTrendTest.MaxLimitText());
    lblTrendReportTestNumber->SetCaption(FTrendTest.TestCountText());
    lblTrendReportIncidentNumber->SetCaption(FTrendTest.IncidentCountText());
    nbkTrendTest->SetActivePage("Results");
    ShowSideBarPage(lopTrendTest);
}

void TMainForm::btnPrintTrendClick(TObject* Sender)
{
    PrintReport(rkTrend, false);
}
