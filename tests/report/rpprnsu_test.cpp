// The print and printer-setup dialogs, answered through the dialog hook.
#include "report/dialogs/RpPrnSu.h"

#include "platform/DialogHook.h"
#include "tests/report/PrinterRig.h"

#include <gtest/gtest.h>

#include <string>

using namespace prnrig;

namespace {

class PrintDialogs : public PdfPrinting {
protected:
    void TearDown() override
    {
        SetDialogAnswerer(nullptr);
        Printer()->SetCopies(1);
        PdfPrinting::TearDown();
    }
    // The user's choices in the platform's print dialog.
    void Answer(const std::function<void(TPrintDialog&)>& Choose, int Result = mrOk)
    {
        SetDialogAnswerer([=, this](const TDialogRequest& R, TDialogAnswer& A) {
            auto* D = dynamic_cast<TPrintDialog*>(R.Dialog);
            if (R.Kind != TDialogKind::Print || !D)
                return false;
            Shown = *D;
            Choose(*D);
            A.ModalResult = Result;
            return true;
        });
    }
    struct TShown {
        TShown& operator=(const TPrintDialog& D)
        {
            Name = D.Name();
            Options = D.Options();
            SetupOnly = D.SetupOnly();
            MaxPage = D.MaxPage();
            return *this;
        }
        std::string Name;
        TPrintDialogOptions Options;
        bool SetupOnly = false;
        int MaxPage = 0;
    } Shown;
};

}  // namespace

TEST_F(PrintDialogs, PrintDialogReturnsThePageRangeAndTheDeviceChoices)
{
    TRpPrintDialog Dlg(nullptr);
    Dlg.SetOptions({poPageNums, poWarning});
    Dlg.SetMinPage(1);
    Dlg.SetMaxPage(5);
    int Shows = 0, Closes = 0;
    Dlg.OnShow = [&](TObject*) { ++Shows; };
    Dlg.OnClose = [&](TObject*) { ++Closes; };
    struct TCase {
        int Duplex;
        bool Expected;
    };
    for (const TCase K : {TCase{DMDUP_VERTICAL, true}, TCase{DMDUP_SIMPLEX, false}}) {
        SCOPED_TRACE(K.Duplex);
        Answer([&](TPrintDialog& D) {
            D.SetPrintRange(prPageNums);
            D.SetFromPage(2);
            D.SetToPage(3);
            D.DeviceMode().dmDuplex = static_cast<int16_t>(K.Duplex);
            D.DeviceMode().dmOrientation = DMORIENT_LANDSCAPE;
        });
        ASSERT_TRUE(Dlg.Execute());
        EXPECT_EQ(Shown.Name, "RpPrintDialog");
        EXPECT_TRUE(Shown.Options.Contains(poPageNums));
        EXPECT_FALSE(Shown.Options.Contains(poPrintToFile));
        EXPECT_FALSE(Shown.Options.Contains(poSelection));
        EXPECT_EQ(Shown.MaxPage, 5);
        EXPECT_EQ(Dlg.PrintRange(), prPageNums);
        EXPECT_EQ(Dlg.FromPage(), 2);
        EXPECT_EQ(Dlg.ToPage(), 3);
        EXPECT_EQ(Dlg.DuplexCode(), K.Duplex);
        EXPECT_EQ(Dlg.Duplex(), K.Expected);
        EXPECT_EQ(Dlg.Orientation(), DMORIENT_LANDSCAPE);
        EXPECT_EQ(Dlg.PaperSize(), DMPAPER_A4);
        EXPECT_EQ(Dlg.Paperwidth(), 2100);
        EXPECT_EQ(Dlg.Device(), "PDF");
        EXPECT_EQ(Dlg.Port(), Pdf);
    }
    EXPECT_EQ(Shows, 2);
    EXPECT_EQ(Closes, 2);
    EXPECT_EQ(Printer()->Orientation(), poLandscape) << "the printer takes the choice";
}

TEST_F(PrintDialogs, CancelChangesNeitherThePrinterNorTheFields)
{
    TRpPrintDialog Dlg(nullptr);
    Dlg.SetFromPage(1);
    Dlg.SetToPage(1);
    Answer(
        [](TPrintDialog& D) {
            D.SetFromPage(4);
            D.SetCopies(5);
            D.DeviceMode().dmOrientation = DMORIENT_LANDSCAPE;
        },
        mrCancel);
    EXPECT_FALSE(Dlg.Execute());
    EXPECT_EQ(Dlg.FromPage(), 1);
    EXPECT_EQ(Dlg.Copies(), 0);
    EXPECT_EQ(Printer()->Orientation(), poPortrait);
    EXPECT_EQ(Printer()->Copies(), 1);
}

TEST_F(PrintDialogs, CopiesAndPrintToFileComeBack)
{
    const std::string Other = Dir / "other.pdf";
    TRpPrintDialog Dlg(nullptr);
    Dlg.SetName("ReportPrintDialog");
    Dlg.SetOptions({poPrintToFile});
    Answer([&](TPrintDialog& D) {
        D.SetCopies(3);
        D.SetCollate(true);
        D.SetPrintToFile(true);
        D.SetFileName(Other);
    });
    ASSERT_TRUE(Dlg.Execute());
    EXPECT_EQ(Shown.Name, "ReportPrintDialog");
    EXPECT_EQ(Dlg.Copies(), 3);
    EXPECT_EQ(Printer()->Copies(), 3);
    EXPECT_NE(Dlg.Collate(), 0);
    EXPECT_TRUE(Dlg.PrintToFile());
    EXPECT_EQ(Printer()->FileName(), Other);
    EXPECT_EQ(Dlg.Port(), Other);

    // One copy in the dialog leaves the printer's count.
    Answer([](TPrintDialog& D) { D.SetCopies(1); });
    ASSERT_TRUE(Dlg.Execute());
    EXPECT_EQ(Dlg.Copies(), 1);
}

TEST_F(PrintDialogs, PrinterSetupAsksForThePrinterOnly)
{
    TRpPrinterSetupDialog Dlg(nullptr);
    Answer([](TPrintDialog& D) {
        D.DeviceMode().dmPaperSize = DMPAPER_LEGAL;
        D.DeviceMode().dmFields |= DM_PAPERSIZE;
    });
    ASSERT_TRUE(Dlg.Execute());
    EXPECT_TRUE(Shown.SetupOnly);
    EXPECT_EQ(Shown.Name, "RpPrinterSetupDialog");
    EXPECT_EQ(Printer()->PaperSize(), DMPAPER_LEGAL);
    Answer([](TPrintDialog& D) { D.DeviceMode().dmPaperSize = DMPAPER_A3; }, mrCancel);
    EXPECT_FALSE(Dlg.Execute());
    EXPECT_EQ(Printer()->PaperSize(), DMPAPER_LEGAL);
}
