// The report form laid out in code, as its saved form held it.
#include "reports/BasicTextReport.h"

#include "chart/RpChart.h"
#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/Printers.h"
#include "report/RpCtrls.h"
#include "report/RpReport.h"
#include "tests/support/Components.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(BasicTextReport, FormAsDesigned)
{
    EnsureApplication();
    TrptBasicText F(nullptr);
    TRpReport* R = F.Report();
    EXPECT_EQ(R->Page()->PaperSize(), TRpPaperSize::Letter);
    EXPECT_EQ(R->Units(), TRpUnit::Inches);
    EXPECT_NEAR(static_cast<double>(R->Page()->LeftMargin()), 0.5, 1e-9);
    EXPECT_NEAR(static_cast<double>(R->Page()->BottomMargin()), 0.5, 1e-9);
    EXPECT_EQ(R->ReportTitle(), "ZR Text Printout");
    EXPECT_EQ(R->Description()->Get(0), "RO ziv Ozezudo Text Report");
    EXPECT_TRUE(R->Options().Contains(TRpReportOption::FirstPageHeader));
    EXPECT_TRUE(R->Options().Contains(TRpReportOption::LastPageFooter));
    EXPECT_EQ(R->Font()->Name(), "Courier New");

    // Band heights (inches) from the 96-per-inch design.
    const struct {
        const char* Name;
        int Pixels;
    } Bands[] = {{"TitleBand1", 153}, {"bndPlots", 516}, {"bndText", 40}};
    for (const auto& B : Bands)
        EXPECT_NEAR(static_cast<double>(Find<TRpCustomBand>(&F, B.Name)->Size()->Height()), B.Pixels / 96.0, 1e-6)
            << B.Name;
    EXPECT_EQ(dynamic_cast<TRpChildBand*>(Find<TRpCustomBand>(&F, "bndPlots"))->ParentBand(),
              Find<TRpCustomBand>(&F, "TitleBand1"));

    // Five report charts, each with its chart: title "TRpChart", hidden,
    // no 3-D.
    for (const char* Name : {"Chart1", "Chart2", "Chart3", "chtLoop1", "chtLoop2"}) {
        SCOPED_TRACE(Name);
        TRpChart* C = Find<TRpChart>(&F, Name);
        ASSERT_NE(C, nullptr);
        ASSERT_NE(C->GetChart(), nullptr);
        EXPECT_EQ(C->GetChart()->Title()->Text()->Get(0), "TRpChart");
        EXPECT_FALSE(C->GetChart()->Title()->Visible());
        EXPECT_FALSE(C->GetChart()->View3D());
    }
    EXPECT_EQ(Find<TRpSysData>(&F, "RpSysData4")->Data(), rpsDateTime);
    EXPECT_EQ(Find<TRpSysData>(&F, "RpSysData2")->Data(), rpsPageNumber);
    EXPECT_EQ(Find<TRpSysData>(&F, "RpSysData2")->Text(), "Page ");
    EXPECT_TRUE(Find<TRpMemo>(&F, "Text")->AutoStretch());

    F.SetHeader("Ward 5", "654321");
    EXPECT_EQ(Find<TRpLabel>(&F, "rplblHeader")->Caption(), "Ward 5");
    EXPECT_EQ(Find<TRpLabel>(&F, "rplblZRSN")->Caption(), "654321");
}

// The print dialog names the printout after the report, and so does the
// PDF file it suggests when there is no printer (not "document.pdf").
TEST(BasicTextReport, PrintDialogSuggestsTheReportsName)
{
    EnsureApplication();
    TrptBasicText F(nullptr);
    std::string Caption;
    std::string Suggested;
    auto Old = SetDialogAnswerer([&](const TDialogRequest& Q, TDialogAnswer& A) {
        if (Q.Kind != TDialogKind::Print)
            return false;
        Caption = Q.Caption;
        Suggested = Printer()->PrintsToFile() ? Printer()->Port() : "ZR Text Printout.pdf";
        A.ModalResult = mrCancel;
        return true;
    });
    EXPECT_FALSE(F.Output(false));
    SetDialogAnswerer(Old);
    EXPECT_EQ(Caption, "ZR Text Printout");
    EXPECT_EQ(Suggested, "ZR Text Printout.pdf");
}
