// Message boxes and the common dialogs, answered through the dialog hook.
#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearAnsweredDialogs();
        FDir = std::filesystem::temp_directory_path() /
               ("oz_dialogs_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(FDir);
    }
    void TearDown() override
    {
        SetDialogAnswerer(nullptr);
        ClearAnsweredDialogs();
        std::filesystem::remove_all(FDir);
    }
    std::string Dir() const { return FDir.string(); }
    std::string Touch(const std::string& Name) const
    {
        const std::string path = (FDir / Name).string();
        std::FILE* f = std::fopen(path.c_str(), "w");
        std::fclose(f);
        return path;
    }
    // Answers every request with Result and FileName, and keeps what was asked.
    void Answer(int Result, const std::string& FileName = "")
    {
        SetDialogAnswerer([Result, FileName](const TDialogRequest&, TDialogAnswer& A) {
            A.ModalResult = Result;
            A.FileName = FileName;
            return true;
        });
    }

private:
    std::filesystem::path FDir;
};

struct TMessageCase {
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    int Answer;
    const char* Caption;
    int Result;
};

TEST_F(Dialogs, MessageDlgAsksTheHookWithCaptionTextAndButtons)
{
    Application->SetTitle("RO Ziv Ozezudo");
    const TMessageCase cases[] = {
        {mtError, {mbOK}, mrOk, "Error", mrOk},
        {mtConfirmation, mbYesNoCancel, mrNo, "Confirmation", mrNo},
        {mtWarning, mbOKCancel, mrNone, "Warning", mrCancel},   // closed without a button
        {mtInformation, {mbOK}, mrOk, "Information", mrOk},
        {mtCustom, {mbOK}, mrOk, "RO Ziv Ozezudo", mrOk},
    };
    for (const TMessageCase& c : cases) {
        ClearAnsweredDialogs();
        Answer(c.Answer);
        EXPECT_EQ(MessageDlg("ERROR: Could Not Download File", c.Type, c.Buttons), c.Result) << c.Caption;
        ASSERT_EQ(AnsweredDialogs().size(), 1u);
        const TDialogRequest& r = AnsweredDialogs()[0];
        EXPECT_EQ(r.Kind, TDialogKind::MessageBox);
        EXPECT_EQ(r.Caption, c.Caption);
        EXPECT_EQ(r.Text, "ERROR: Could Not Download File");
        EXPECT_EQ(r.Buttons, c.Buttons.Bits());
    }
    EXPECT_EQ(TMsgDlgButtons({mbYes, mbNo, mbCancel}).Bits(), (1 << mbYes) | (1 << mbNo) | (1 << mbCancel));

    ClearAnsweredDialogs();
    Answer(mrOk);
    ShowMessage("Done");
    ASSERT_EQ(AnsweredDialogs().size(), 1u);
    EXPECT_EQ(AnsweredDialogs()[0].Buttons, TMsgDlgButtons{mbOK}.Bits());
}

TEST_F(Dialogs, OpenDialogPassesItsSettingsAndChecksTheAnswer)
{
    const std::string existing = Touch("run1.zrp");
    TOpenDialog dlg(nullptr);
    dlg.SetName("dlgFileOpen");
    dlg.SetFilter("Data Files|*.zrp|All Files|*.*");
    dlg.SetInitialDir(Dir());
    dlg.SetDefaultExt("zrp");
    dlg.SetOptions({ofHideReadOnly, ofFileMustExist, ofPathMustExist});

    // A name relative to the initial folder; the default extension is added.
    Answer(mrOk, "run1");
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), existing);
    const TDialogRequest& r = AnsweredDialogs().back();
    EXPECT_EQ(r.Kind, TDialogKind::OpenFile);
    EXPECT_EQ(r.Name, "dlgFileOpen");
    EXPECT_EQ(r.Filter, "Data Files|*.zrp|All Files|*.*");
    EXPECT_EQ(r.InitialDir, Dir());

    // A file that is not there is refused; Cancel changes nothing.
    Answer(mrOk, Dir() + "/missing.zrp");
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), existing);
    Answer(mrCancel, existing);
    EXPECT_FALSE(dlg.Execute());
    // Without ofFileMustExist a new name is fine, but its folder must exist.
    dlg.SetOptions({ofPathMustExist});
    Answer(mrOk, Dir() + "/new.zrp");
    EXPECT_TRUE(dlg.Execute());
    Answer(mrOk, Dir() + "/nowhere/new.zrp");
    EXPECT_FALSE(dlg.Execute());
}

TEST_F(Dialogs, SaveDialogAsksBeforeReplacingAFile)
{
    const std::string existing = Touch("table.zrb");
    TSaveDialog dlg(nullptr);
    dlg.SetInitialDir(Dir());
    dlg.SetOptions({ofOverwritePrompt});
    std::vector<TDialogKind> kinds;
    int replace = mrNo;
    SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
        kinds.push_back(R.Kind);
        if (R.Kind == TDialogKind::SaveFile)
            A.FileName = existing;
        else
            A.ModalResult = replace;
        return true;
    });
    EXPECT_FALSE(dlg.Execute());
    ASSERT_EQ(kinds.size(), 2u);
    EXPECT_EQ(kinds[0], TDialogKind::SaveFile);
    EXPECT_EQ(kinds[1], TDialogKind::MessageBox);
    EXPECT_NE(AnsweredDialogs().back().Text.find("table.zrb already exists."), std::string::npos);
    replace = mrYes;
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), existing);
    // No question for a new file.
    kinds.clear();
    std::filesystem::remove(existing);
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(kinds.size(), 1u);
}

TEST_F(Dialogs, FolderAndColourDialogs)
{
    TBrowseForFolderDialog folder(nullptr);
    folder.SetDirectory("/");
    Answer(mrOk, Dir());
    ASSERT_TRUE(folder.Execute());
    EXPECT_EQ(folder.Directory(), Dir());
    EXPECT_EQ(AnsweredDialogs().back().Kind, TDialogKind::BrowseFolder);
    EXPECT_EQ(AnsweredDialogs().back().InitialDir, "/");
    Answer(mrOk, Dir() + "/not-there");
    EXPECT_FALSE(folder.Execute());
    EXPECT_EQ(folder.Directory(), Dir());
    Answer(mrCancel, "/");
    EXPECT_FALSE(folder.Execute());

    TColorDialog colour(nullptr);
    colour.SetColor(clRed);
    SetDialogAnswerer([](const TDialogRequest& R, TDialogAnswer& A) {
        EXPECT_EQ(A.Color, static_cast<unsigned>(clRed)) << "the answer starts from the colour shown";
        A.Color = static_cast<unsigned>(clTeal);
        return R.Kind == TDialogKind::Color;
    });
    ASSERT_TRUE(colour.Execute());
    EXPECT_EQ(colour.Color(), clTeal);
}

TEST_F(Dialogs, PrintDialogTakesTheCopiesOnOkOnly)
{
    TPrintDialog dlg(nullptr);
    dlg.SetCopies(3);
    Printer()->SetCopies(1);
    Answer(mrCancel);
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(Printer()->Copies(), 1);
    Answer(mrOk);
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(Printer()->Copies(), 3);
    EXPECT_EQ(AnsweredDialogs().back().Kind, TDialogKind::Print);
    Printer()->SetCopies(1);
}

}  // namespace

TEST_F(Dialogs, PrintDialogAnswererChoosesTheDeviceSettings)
{
    TPrintDialog dlg(nullptr);
    dlg.SetOptions({poPageNums});
    SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
        auto* d = dynamic_cast<TPrintDialog*>(R.Dialog);
        if (!d)
            return false;
        EXPECT_EQ(d->DeviceMode().dmPaperSize, Printer()->PaperSize()) << "starts from the printer's settings";
        d->DeviceMode().dmOrientation = DMORIENT_LANDSCAPE;
        d->SetPrintRange(prPageNums);
        d->SetFromPage(2);
        d->SetCollate(true);
        A.ModalResult = mrOk;
        return true;
    });
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.PrintRange(), prPageNums);
    EXPECT_EQ(dlg.FromPage(), 2);
    EXPECT_EQ(dlg.DeviceMode().dmCollate, DMCOLLATE_TRUE);
    EXPECT_EQ(Printer()->Orientation(), poLandscape);
    Printer()->SetOrientation(poPortrait);
}
