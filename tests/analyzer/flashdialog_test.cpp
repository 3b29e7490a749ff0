// The flash-load dialog driven through the dialog-answer hook, with the
// load itself running against the simulated boot loader.
#include "analyzer/dialogs/FlashLoadDialog.h"
#include "tests/analyzer/FlashRig.h"
#include "tests/support/Components.h"

#include <gtest/gtest.h>

namespace {

class FlashDialog : public FlashRig {
protected:
    void SetUp() override
    {
        FlashRig::SetUp();
        Dialog = std::make_unique<TdlgFlashLoad>(nullptr, Proto.get());
        Sending = [this] { return Dialog && Status().rfind("Flashing", 0) == 0; };
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

    // The dialog's controls by name.
    TButton* Button(const char* Name) { return Find<TButton>(Dialog.get(), Name); }
    TTimer* Timer(const char* Name) { return Find<TTimer>(Dialog.get(), Name); }
    std::string Caption(const char* Name) { return Find<TLabel>(Dialog.get(), Name)->Caption(); }
    std::string Page() { return Find<TNotebook>(Dialog.get(), "Notebook")->ActivePage(); }
    std::string EditText(const char* Name) { return Find<TEdit>(Dialog.get(), Name)->Text(); }
    // The status line above the progress bar.
    std::string Status() { return Caption("Label2"); }

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
        EXPECT_FALSE(Button("btnOk")->Enabled());
        EXPECT_EQ(Page(), "Select Files");
        Button("btnCodeFile")->Click();
        S.OkAfterCode = Button("btnOk")->Enabled();
        Button("btnTextFile")->Click();
        S.OkAfterText = Button("btnOk")->Enabled();
        S.CodeEdit = EditText("eCodeFile");
        S.TextEdit = EditText("eTextFile");
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
        EXPECT_EQ(EditText("eCodeFile"), "");
        EXPECT_FALSE(Button("btnOk")->Enabled());
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
        Button("btnCodeFile")->Click();
        Button("btnTextFile")->Click();
        Button("btnOk")->Click();
        // Back from the load: the dialog waits for its close timer.
        EXPECT_EQ(Page(), "Status");
        EXPECT_FALSE(Button("btnOk")->Visible());
        EXPECT_FALSE(Button("btnCancel")->Visible());
        TimersRight = !Timer("tmrElapseTime")->Enabled() && Timer("tmrDone")->Enabled() &&
                      Timer("tmrDone")->Interval() == 5000;
        EXPECT_EQ(Dialog->ModalResult(), mrNone);
        TTimer* Done = Timer("tmrDone");
        Done->OnTimer(Done);
        EXPECT_FALSE(Done->Enabled());
        return mrNone;  // the form's own result
    };

    EXPECT_TRUE(Dialog->Execute());

    EXPECT_TRUE(TimersRight);
    EXPECT_EQ(Caption("lblSendTime"), "00:03:07");
    EXPECT_EQ(Status(), "Flashing Code File");
    EXPECT_EQ(Caption("lblLines"), "10 10");
    EXPECT_EQ(Caption("lblNacks"), "0");
    EXPECT_EQ(Sim.BootLoader().Records(), Expected);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(FlashDialog, AFailedLoadShowsInTheStatusAndInAMessageBox)
{
    CodePath = Dir.Write("code.hex", MakeHexFile(3, 1).Text + ":0400100011223344" "43\r\n");
    Choices = {CodePath, TextPath};
    OnShown = [&] {
        Button("btnCodeFile")->Click();
        Button("btnTextFile")->Click();
        Button("btnOk")->Click();
        TTimer* Done = Timer("tmrDone");
        Done->OnTimer(Done);
        return mrNone;
    };

    EXPECT_TRUE(Dialog->Execute());

    EXPECT_EQ(Status(), "Flash Load Failed");
    EXPECT_EQ(Messages, std::vector<std::string>{"Flash File " + CodePath + ", line 5: checksum error."});
    EXPECT_TRUE(Sim.Received().empty());
}
