// The progress window and the text-search dialog.
#include "report/RpPrgres.h"
#include "report/RpSearchDlg.h"

#include "platform/DialogHook.h"
#include "report/RpPrntr.h"
#include "tests/report/PrinterRig.h"
#include "tests/support/Components.h"

#include <gtest/gtest.h>

#include <string>

using namespace prnrig;

TEST(ProgressForm, ShowsThePrintersProgressAtEveryFifthPercent)
{
    EnsureApplication();
    TRpPrinter P(nullptr);
    TRpProgressForm Form(nullptr);
    Form.SetRpPrinter(&P);
    P.SetClient(&Form);
    EXPECT_EQ(Form.Caption(), "Printing progress");
    EXPECT_EQ(Form.ClientWidth(), 149);
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
        Application->ProcessMessages();
        EXPECT_EQ(Find<TProgressBar>(&Form, "Gauge")->Position(), S.Gauge) << S.Percent;
        EXPECT_EQ(Find<TLabel>(&Form, "Info")->Caption(), S.Info) << S.Percent;
    }
    // The window shows the printer's progress when the message arrives.
    P.SetProgress(41);
    P.SetProgress(20);
    Application->ProcessMessages();
    EXPECT_EQ(Form.Gauge->Position(), 20);

    EXPECT_FALSE(P.Cancelled());
    Find<TButton>(&Form, "CancelButton")->Click();
    EXPECT_TRUE(P.Cancelled());
    P.SetClient(nullptr);
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
