#include "analyzer/dialogs/FlashLoadDialog.h"

#include "analyzer/Serialfunctions.h"
#include "platform/Application.h"
#include "platform/Controlbuilder.h"

TdlgFlashLoad* dlgFlashLoad = nullptr;

namespace {

TEdit* NewFileEdit(TComponent* Owner, TWinControl* Parent, const std::string& Name, int Top)
{
    auto* Edit = NewControl<TEdit>(Owner, Parent, Name, "", 80, Top, 176, 21);
    Edit->SetReadOnly(true);
    return Edit;
}

TButton* NewButton(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Caption,
                   int Left, int Top)
{
    return NewControl<TButton>(Owner, Parent, Name, Caption, Left, Top, 75, 25);
}

}  // namespace

TdlgFlashLoad::TdlgFlashLoad(TComponent* Owner, TZEBBSerialProtocol* Link) : TForm(Owner), FLink(Link)
{
    SetName("dlgFlashLoad");
    SetCaption("Load Flash");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(360);
    SetClientHeight(210);

    Notebook = NewControl<TNotebook>(this, this, "Notebook", "", 8, 8, 344, 156);
    Notebook->Pages()->Clear();
    Notebook->Pages()->Add("Select Files");
    Notebook->Pages()->Add("Status");
    TPage* SelectPage = Notebook->Page(0);
    TPage* StatusPage = Notebook->Page(1);

    NewControl<TLabel>(this, SelectPage, "", "Code File:", 8, 20);
    eCodeFile = NewFileEdit(this, SelectPage, "eCodeFile", 16);
    btnCodeFile = NewButton(this, SelectPage, "btnCodeFile", "Browse", 262, 14);
    btnCodeFile->OnClick = [this](TObject* Sender) { btnCodeFileClick(Sender); };
    NewControl<TLabel>(this, SelectPage, "", "Text File:", 8, 56);
    eTextFile = NewFileEdit(this, SelectPage, "eTextFile", 52);
    btnTextFile = NewButton(this, SelectPage, "btnTextFile", "Browse", 262, 50);
    btnTextFile->OnClick = [this](TObject* Sender) { btnTextFileClick(Sender); };

    Label2 = NewControl<TLabel>(this, StatusPage, "Label2", "Loading", 8, 8);
    LoadingBar = NewControl<TProgressBar>(this, StatusPage, "LoadingBar", "", 8, 30, 328, 18);
    NewControl<TLabel>(this, StatusPage, "", "Number of Nack's:", 8, 64);
    lblNacks = NewControl<TLabel>(this, StatusPage, "lblNacks", "0", 150, 64);
    NewControl<TLabel>(this, StatusPage, "", "Number of Lines:", 8, 88);
    lblLines = NewControl<TLabel>(this, StatusPage, "lblLines", "0", 150, 88);
    NewControl<TLabel>(this, StatusPage, "", "Time to Send:", 8, 112);
    lblSendTime = NewControl<TLabel>(this, StatusPage, "lblSendTime", "", 150, 112);

    btnOk = NewButton(this, this, "btnOk", "OK", 98, 176);
    btnOk->SetDefault(true);
    btnOk->OnClick = [this](TObject* Sender) { btnOkClick(Sender); };
    btnCancel = NewButton(this, this, "btnCancel", "Cancel", 186, 176);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);

    tmrElapseTime = new TTimer(this);
    tmrElapseTime->SetName("tmrElapseTime");
    tmrElapseTime->SetEnabled(false);
    tmrElapseTime->SetInterval(500);
    tmrElapseTime->OnTimer = [this](TObject* Sender) { tmrElapseTimeTimer(Sender); };
    tmrDone = new TTimer(this);
    tmrDone->SetName("tmrDone");
    tmrDone->SetEnabled(false);
    tmrDone->SetInterval(5000);
    tmrDone->OnTimer = [this](TObject* Sender) { tmrDoneTimer(Sender); };

    dlgOpenFlash = new TOpenDialog(this);
    dlgOpenFlash->SetName("dlgOpenFlash");
    dlgOpenFlash->SetFilter("Hex File|*.hex");
    dlgOpenFlash->SetOptions(TOpenOptions{ofHideReadOnly, ofEnableSizing, ofPathMustExist, ofFileMustExist});
    dlgOpenFlash->SetInitialDir(ExtractFilePath(Application->ExeName()));

    DoCreate();
}

bool TdlgFlashLoad::Execute()
{
    Notebook->SetActivePage("Select Files");
    eCodeFile->SetText("");
    eTextFile->SetText("");
    FCodeFile.clear();
    FTextFile.clear();
    btnOk->SetEnabled(false);
    btnOk->Show();
    btnCancel->Show();
    tmrElapseTime->SetEnabled(false);
    tmrDone->SetEnabled(false);
    return ShowModal() == mrOk;
}

bool TdlgFlashLoad::ChooseFile(std::string& Path, TEdit* Edit)
{
    if (!dlgOpenFlash->Execute())
        return false;
    Path = dlgOpenFlash->FileName();
    Edit->SetText(ExtractFileName(Path));
    return true;
}

void TdlgFlashLoad::UpdateOkButton()
{
    btnOk->SetEnabled(!FCodeFile.empty() && !FTextFile.empty() && FileExists(FCodeFile) && FileExists(FTextFile));
}

void TdlgFlashLoad::btnCodeFileClick(TObject* Sender)
{
    ChooseFile(FCodeFile, eCodeFile);
    UpdateOkButton();
}

void TdlgFlashLoad::btnTextFileClick(TObject* Sender)
{
    ChooseFile(FTextFile, eTextFile);
    UpdateOkButton();
}

void TdlgFlashLoad::btnOkClick(TObject* Sender)
{
    if (!FileExists(FCodeFile) || !FileExists(FTextFile))
        return;
    btnOk->Hide();
    btnCancel->Hide();
    Notebook->SetActivePage("Status");
    FStartTime = Now();
    lblNacks->SetCaption("0");
    lblLines->SetCaption("0");
    lblSendTime->SetCaption("");
    tmrElapseTime->SetEnabled(true);
    if (FLink)
        FLink->FlashLoad(FTextFile, FCodeFile, this);
    tmrElapseTime->SetEnabled(false);
    // The timer's last tick may lie up to half a second back.
    tmrElapseTimeTimer(tmrElapseTime);
    tmrDone->SetEnabled(true);
}

void TdlgFlashLoad::tmrElapseTimeTimer(TObject* Sender)
{
    lblSendTime->SetCaption(FormatDateTime("hh:mm:ss", Now() - FStartTime));
}

void TdlgFlashLoad::tmrDoneTimer(TObject* Sender)
{
    SetModalResult(mrOk);
    tmrDone->SetEnabled(false);
}

void TdlgFlashLoad::ShowStatus(const std::string& Status)
{
    Label2->SetCaption(Status);
}

void TdlgFlashLoad::ShowProgress(int Position, int Max)
{
    LoadingBar->SetMin(0);
    LoadingBar->SetMax(Max);
    LoadingBar->SetPosition(Position);
}

void TdlgFlashLoad::ShowCounts(int32_t Naks, int32_t Acked, int32_t Sent)
{
    lblNacks->SetCaption(IntToStr(Naks));
    lblLines->SetCaption(IntToStr(Acked) + " " + IntToStr(Sent));
}

void TdlgFlashLoad::LoadFailed(const std::string& Message)
{
    Label2->SetCaption("Flash Load Failed");
    MessageDlg(Message, mtError, TMsgDlgButtons{mbOK});
}
