// The progress window and the text-search dialog.
#include "report/dialogs/RpDialogs.h"
#include "report/dialogs/RpPrgres.h"
#include "report/dialogs/RpSearchDlg.h"

#include "platform/DialogHook.h"
#include "report/RpPrntr.h"
#include "tests/report/PrinterRig.h"
#include "tests/support/Components.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace prnrig;

TEST(ProgressForm, ShowsThePrintersProgressAtEveryFifthPercent)
{
    EnsureApplication();
    TRpPrinter P(nullptr);
    TRpProgressForm Form(nullptr);
    EXPECT_EQ(Form.Caption(), "Printing progress");
    EXPECT_EQ(Form.ClientWidth(), 149);
    P.SetProgressListener(&Form);
    EXPECT_TRUE(Form.Visible());
    EXPECT_EQ(Form.RpPrinter(), &P);
    struct TStep {
        int Percent;
        int Gauge;
        std::string Info;
    };
    const TStep Steps[] = {
        {3, 0, ""}, {4, 0, ""}, {6, 0, ""}, {10, 10, "10%  Completed"}, {12, 10, "10%  Completed"},
        {15, 15, "15%  Completed"}, {100, 100, "100%  Completed"},
    };
    for (const TStep& S : Steps) {
        P.SetProgress(S.Percent);
        EXPECT_EQ(Find<TProgressBar>(&Form, "Gauge")->Position(), S.Gauge) << S.Percent;
        EXPECT_EQ(Find<TLabel>(&Form, "Info")->Caption(), S.Info) << S.Percent;
    }

    EXPECT_FALSE(P.Cancelled());
    Find<TButton>(&Form, "CancelButton")->Click();
    EXPECT_TRUE(P.Cancelled());
    // The print over, the window goes and leaves the printer alone.
    P.SetProgressListener(nullptr);
    EXPECT_FALSE(Form.Visible());
    EXPECT_EQ(Form.RpPrinter(), nullptr);
    P.SetProgress(50);
    EXPECT_EQ(Find<TProgressBar>(&Form, "Gauge")->Position(), 100);
}

using ReportProgress = PdfPrinting;

TEST_F(ReportProgress, AReportPrintsWithTheRegisteredProgressWindowWhenItShowsProgress)
{
    RegisterReportDialogs();
    for (const bool Show : {true, false}) {
        SCOPED_TRACE(Show);
        const std::unique_ptr<TRpReport> R = NewA4ReportInMillimetres(10);
        R->Bands()->SetHasDetail(true);
        R->SetShowProgress(Show);
        std::vector<TRpProgressForm*> Shown;
        R->OnStartPage = [&](TCustomRpReport* Sender) {
            for (int I = 0; I < Application->ComponentCount(); ++I)
                if (auto* W = dynamic_cast<TRpProgressForm*>(Application->Components(I));
                    W && W->Visible() && W->RpPrinter() == Sender->RunPrinter())
                    Shown.push_back(W);
        };
        R->Print();
        EXPECT_EQ(Shown.size(), Show ? 1u : 0u);
        for (int I = 0; I < Application->ComponentCount(); ++I)
            EXPECT_EQ(dynamic_cast<TRpProgressForm*>(Application->Components(I)), nullptr) << "the window went";
    }
    RegisterProgressWindow(nullptr);
}

namespace {

class SearchDialog : public ::testing::Test {
protected:
    void TearDown() override { SetDialogAnswerer(nullptr); }

    // Shows the dialog; the user types Text, sets Match Case and presses
    // Button (or closes the window when Button is empty).
    void Run(TSearchDlg& Dlg, const std::string& Text, bool MatchCase, const std::string& Button)
    {
        SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
            if (R.Dialog != &Dlg)
                return false;
            Find<TEdit>(&Dlg, "Edit1")->SetText(Text);
            Find<TCheckBox>(&Dlg, "CheckBox1")->SetChecked(MatchCase);
            if (Button.empty())
                A.ModalResult = mrCancel;
            else
                Find<TSpeedButton>(&Dlg, Button)->Click();
            return true;
        });
        Dlg.ShowModal();
    }
};

}  // namespace

TEST_F(SearchDialog, ReturnsTheTextAsTypedAndWhetherCaseMatters)
{
    EnsureApplication();
    struct TCase {
        std::string Text;
        bool MatchCase;
        std::string Button;
        bool Cancelled;
    };
    const TCase Cases[] = {
        {" PEEP cmH2O ", false, "SpeedButton2", false},
        {"", true, "SpeedButton2", false},
        {"Leak", false, "SpeedButton1", true},
        {"Trend", true, "", false},   // closed by the window: a search
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(K.Text + "/" + K.Button);
        // The preview makes a dialog for each search.
        TSearchDlg Dlg(nullptr);
        EXPECT_EQ(Dlg.Caption(), "Report Preview : Text Search");
        Run(Dlg, K.Text, K.MatchCase, K.Button);
        EXPECT_EQ(Dlg.Cancelled(), K.Cancelled);
        EXPECT_EQ(Dlg.GetText(), K.Text);
        EXPECT_EQ(Dlg.GetCase(), K.MatchCase);
    }
}
