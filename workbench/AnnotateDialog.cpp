#include "workbench/AnnotateDialog.h"

#include "platform/Controlbuilder.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "workbench/RecordDialog.h"

TdlgAnnotate* dlgAnnotate = nullptr;

TdlgAnnotate::TdlgAnnotate(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgAnnotate");
    SetCaption("Annotate");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(260);
    SetClientHeight(190);

    lblTime = NewControl<TLabel>(this, this, "lblTime", "", 12, 10, 236, 16);
    lblTime->SetAlignment(taCenter);
    eNotes = NewControl<TMemo>(this, this, "eNotes", "", 12, 32, 236, 110);
    eNotes->OnChange = [this](TObject*) { LimitNotes(eNotes); };
    btnOK = NewControl<TButton>(this, this, "btnOK", "OK", 48, 154, 75, 25);
    btnOK->SetDefault(true);
    btnOK->SetModalResult(mrOk);
    btnCancel = NewControl<TButton>(this, this, "btnCancel", "Cancel", 136, 154, 75, 25);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    DoCreate();
}

bool TdlgAnnotate::Execute()
{
    lblTime->SetCaption(TimeToStr(Now()));
    return ShowModal() == mrOk;
}

void TdlgAnnotate::FormShow(TObject* Sender)
{
    eNotes->SetFocus();
    eNotes->SelectAll();
}

std::string TdlgAnnotate::TimeText() const { return lblTime->Caption(); }
std::string TdlgAnnotate::Notes(int Line) const { return NotesLine(eNotes, Line); }
