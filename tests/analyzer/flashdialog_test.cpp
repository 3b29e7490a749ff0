// The flash-load dialog driven through the dialog-answer hook, with the
// load itself running against the simulated boot loader.
#include "analyzer/dialogs/FlashLoadDialog.h"
#include "tests/analyzer/FlashRig.h"

#include <gtest/gtest.h>

namespace {

class FlashDialog : public FlashRig {
protected:
    void SetUp() override
    {
        FlashRig::SetUp();
        Dialog = std::make_unique<TdlgFlashLoad>(nullptr, Proto.get());
        Sending = [this] { return Dialog && Dialog->Label2->Caption().rfind("Flashing", 0) == 0; };
        WriteFiles(MakeHexFile(3, 1), MakeHexFile(5, 2));
        // The open dialog gets the next file of Choices.
        OnDialog = [this](const TDialogRequest& R, TDialogAnswer& A) {
            if (R.Kind == TDialogKind::OpenFile) {
                Filters.push_back(R.Filter);
                A.FileName = Choices.empty() ? "" : Choices.front();
                if (!Choices.empty())
                    Choices.erase(Choices.begin());
                A.ModalResult = A.FileName.empty() ? mrCancel : mrOk;
                return true;
            }
            if (R.Kind == TDialogKind::ModalForm && R.Dialog == Dialog.get()) {
                A.ModalResult = OnShown ? OnShown() : mrCancel;
                return true;
            }
            return false;
        };
    }
    void TearDown() override
    {
        Dialog.reset();
        SetNowOverride({});
        FlashRig::TearDown();
    }

    std::unique_ptr<TdlgFlashLoad> Dialog;
    std::vector<std::string> Choices;
    std::vector<std::string> Filters;
    std::function<int()> OnShown;
};

}  // namespace

TEST_F(FlashDialog, OkIsEnabledOnlyOnceBothFilesAreChosen)
{
    struct Seen {
        bool OkAfterCode, OkAfterText;
        std::string CodeEdit, TextEdit;
    } S{};
    Choices = {CodePath, TextPath};
    OnShown = [&] {
        EXPECT_FALSE(Dialog->btnOk->Enabled());
        EXPECT_EQ(Dialog->Notebook->ActivePage(), "Select Files");
        Dialog->btnCodeFile->Click();
        S.OkAfterCode = Dialog->btnOk->Enabled();
        Dialog->btnTextFile->Click();
        S.OkAfterText = Dialog->btnOk->Enabled();
        S.CodeEdit = Dialog->eCodeFile->Text();
        S.TextEdit = Dialog->eTextFile->Text();
        return mrCancel;
    };
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_FALSE(S.OkAfterCode);
    EXPECT_TRUE(S.OkAfterText);
    EXPECT_EQ(S.CodeEdit, "code.hex");
    EXPECT_EQ(S.TextEdit, "text.hex");
    EXPECT_EQ(Dialog->CodeFile(), CodePath);
    EXPECT_EQ(Filters, (std::vector<std::string>{"Hex File|*.hex", "Hex File|*.hex"}));

    // Opened again, it starts over.
    OnShown = [&] {
        EXPECT_EQ(Dialog->eCodeFile->Text(), "");
        EXPECT_FALSE(Dialog->btnOk->Enabled());
        return mrCancel;
    };
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Dialog->TextFile(), "");
    EXPECT_TRUE(Sim.Received().empty());
}

TEST_F(FlashDialog, RunsTheLoadShowsTheTimeAndClosesWhenDone)
{
    // The wall clock shows 3 minutes 7 seconds more once the boot loader has
    // had the end of the load.
    const TDateTime Start = EncodeDate(2026, 3, 4) + EncodeTime(10, 0, 0, 0);
    SetNowOverride([this, Start] {
        const bool Done = Sim.BootLoader().CurrentPhase() == sim::SimBootLoader::Phase::Done;
        return Done ? Start + EncodeTime(0, 3, 7, 0) : Start;
    });
    Choices = {CodePath, TextPath};
    bool TimersRight = false;
    OnShown = [&] {
        Dialog->btnCodeFile->Click();
        Dialog->btnTextFile->Click();
        Dialog->btnOk->Click();
        // Back from the load: the dialog waits for its close timer.
        EXPECT_EQ(Dialog->Notebook->ActivePage(), "Status");
        EXPECT_FALSE(Dialog->btnOk->Visible());
        EXPECT_FALSE(Dialog->btnCancel->Visible());
        TimersRight = !Dialog->tmrElapseTime->Enabled() && Dialog->tmrDone->Enabled() &&
                      Dialog->tmrDone->Interval() == 5000;
        EXPECT_EQ(Dialog->ModalResult(), mrNone);
        Dialog->tmrDone->OnTimer(Dialog->tmrDone);
        EXPECT_FALSE(Dialog->tmrDone->Enabled());
        return mrNone;  // the form's own result
    };

    EXPECT_TRUE(Dialog->Execute());

    EXPECT_TRUE(TimersRight);
    EXPECT_EQ(Dialog->lblSendTime->Caption(), "00:03:07");
    EXPECT_EQ(Dialog->Label2->Caption(), "Flashing Code File");
    EXPECT_EQ(Dialog->lblLines->Caption(), "10 10");
    EXPECT_EQ(Dialog->lblNacks->Caption(), "0");
    EXPECT_EQ(Sim.BootLoader().Records(), Expected);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(FlashDialog, AFailedLoadShowsInTheStatusAndInAMessageBox)
{
    CodePath = Dir.Write("code.hex", MakeHexFile(3, 1).Text + ":0400100011223344" "43\r\n");
    Choices = {CodePath, TextPath};
    OnShown = [&] {
        Dialog->btnCodeFile->Click();
        Dialog->btnTextFile->Click();
        Dialog->btnOk->Click();
        Dialog->tmrDone->OnTimer(Dialog->tmrDone);
        return mrNone;
    };

    EXPECT_TRUE(Dialog->Execute());

    EXPECT_EQ(Dialog->Label2->Caption(), "Flash Load Failed");
    EXPECT_EQ(Messages, std::vector<std::string>{"Flash File " + CodePath + ", line 5: checksum error."});
    EXPECT_TRUE(Sim.Received().empty());
}
