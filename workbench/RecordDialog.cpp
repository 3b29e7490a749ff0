#include "workbench/RecordDialog.h"

#include "platform/Controlbuilder.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"

TdlgRecord* dlgRecord = nullptr;

void LimitNotes(TMemo* Memo)
{
    const std::string Text = Memo->Text();
    if (Utf8Length(Text) > static_cast<size_t>(MaxNotesLength))
        Memo->SetText(Text.substr(0, Utf8PrefixBytes(Text, MaxNotesLength)));
}

std::string NotesLine(const TMemo* Memo, int Index)
{
    TStrings* Lines = Memo->Lines();
    return Index < Lines->Count() ? Lines->Strings(Index) : std::string();
}

TdlgRecord::TdlgRecord(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgRecord");
    SetCaption("Record File");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(330);
    SetClientHeight(250);

    Label1 = NewControl<TLabel>(this, this, "Label1", "Time", 12, 12);
    lblTime = NewControl<TLabel>(this, this, "lblTime", "", 100, 12, 200, 16);
    Label2 = NewControl<TLabel>(this, this, "Label2", "Subject", 12, 40);
    eSubject = NewControl<TEdit>(this, this, "eSubject", "", 100, 36, 218, 22);
    Label3 = NewControl<TLabel>(this, this, "Label3", "Investigator", 12, 68);
    eInvest = NewControl<TEdit>(this, this, "eInvest", "", 100, 64, 218, 22);
    Label4 = NewControl<TLabel>(this, this, "Label4", "Notes", 12, 96);
    eNotes = NewControl<TMemo>(this, this, "eNotes", "", 100, 92, 218, 110);
    eNotes->OnChange = [this](TObject*) { LimitNotes(eNotes); };
    btnOK = NewControl<TButton>(this, this, "btnOK", "OK", 128, 214, 75, 25);
    btnOK->SetDefault(true);
    // The only button: Esc closes the dialog through it (the recording goes
    // on however the dialog is closed).
    btnOK->SetCancel(true);
    btnOK->SetModalResult(mrOk);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    DoCreate();
}

bool TdlgRecord::Execute()
{
    eSubject->SetText("");
    eInvest->SetText("");
    eNotes->Clear();
    lblTime->SetCaption(TimeToStr(Now()));
    return ShowModal() == mrOk;
}

void TdlgRecord::FormShow(TObject* Sender)
{
    eSubject->SetFocus();
}

std::string TdlgRecord::TimeText() const { return lblTime->Caption(); }
std::string TdlgRecord::Subject() const { return eSubject->Text(); }
std::string TdlgRecord::Investigator() const { return eInvest->Text(); }
