#include "analyzer/FlashLoadDialog.h"

#include "analyzer/Serialfunctions.h"
#include "platform/Application.h"

TdlgFlashLoad* dlgFlashLoad = nullptr;

namespace {

TLabel* NewLabel(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Caption,
                 int Left, int Top)
{
    auto* Label = new TLabel(Owner);
    if (!Name.empty())
        Label->SetName(Name);
    Label->SetParent(Parent);
    Label->SetCaption(Caption);
    Label->SetLeft(Left);
    Label->SetTop(Top);
    return Label;
}

TButton* NewButton(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Caption,
                   int Left, int Top)
{
    auto* Button = new TButton(Owner);
    Button->SetName(Name);
    Button->SetParent(Parent);
    Button->SetCaption(Caption);
    Button->SetBounds(Left, Top, 75, 25);
    return Button;
}

TEdit* NewFileEdit(TComponent* Owner, TWinControl* Parent, const std::string& Name, int Top)
{
    auto* Edit = new TEdit(Owner);
    Edit->SetName(Name);
    Edit->SetParent(Parent);
    Edit->SetBounds(80, Top, 176, 21);
    Edit->SetReadOnly(true);
    return Edit;
}

}  // namespace

TdlgFlashLoad::TdlgFlashLoad(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgFlashLoad");
    SetCaption("Load Flash");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(360);
    SetClientHeight(210);

    Notebook = new TNotebook(this);
    Notebook->SetName("Notebook");
    Notebook->SetParent(this);
    Notebook->SetBounds(8, 8, 344, 156);
    Notebook->Pages()->Clear();
    Notebook->Pages()->Add("Select Files");
    Notebook->Pages()->Add("Status");
    TPage* SelectPage = Notebook->Page(0);
    TPage* StatusPage = Notebook->Page(1);

    NewLabel(this, SelectPage, "", "Code File:", 8, 20);
    eCodeFile = NewFileEdit(this, SelectPage, "eCodeFile", 16);
    btnCodeFile = NewButton(this, SelectPage, "btnCodeFile", "Browse", 262, 14);
    btnCodeFile->OnClick = [this](TObject* Sender) { btnCodeFileClick(Sender); };
    NewLabel(this, SelectPage, "", "Text File:", 8, 56);
    eTextFile = NewFileEdit(this, SelectPage, "eTextFile", 52);
    btnTextFile = NewButton(this, SelectPage, "btnTextFile", "Browse", 262, 50);
    btnTextFile->OnClick = [this](TObject* Sender) { btnTextFileClick(Sender); };

    Label2 = NewLabel(this, StatusPage, "Label2", "Loading", 8, 8);
    LoadingBar = new TProgressBar(this);
    LoadingBar->SetName("LoadingBar");
    LoadingBar->SetParent(StatusPage);
    LoadingBar->SetBounds(8, 30, 328, 18);
    NewLabel(this, StatusPage, "", "Number of Nack's:", 8, 64);
    lblNacks = NewLabel(this, StatusPage, "lblNacks", "0", 150, 64);
    NewLabel(this, StatusPage, "", "Number of Lines:", 8, 88);
    lblLines = NewLabel(this, StatusPage, "lblLines", "0", 150, 88);
    NewLabel(this, StatusPage, "", "Time to Send:", 8, 112);
    lblSendTime = NewLabel(this, StatusPage, "lblSendTime", "", 150, 112);

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
    tmrElapseTime->SetEnabled(true);
    if (ZebbSer)
        ZebbSer->FlashLoad(FTextFile, FCodeFile, LoadingBar, Label2, lblNacks, lblLines, lblSendTime);
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
