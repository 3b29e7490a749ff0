#include "workbench/StackSetup.h"

#include "platform/Controlbuilder.h"
#include "platform/StdCtrls.h"
#include "widgets/IcNumEdit.h"

TdlgStackSetup* dlgStackSetup = nullptr;

TdlgStackSetup::TdlgStackSetup(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgStackSetup");
    SetCaption("Stack Setup");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(250);
    SetClientHeight(100);

    Label1 = NewControl<TLabel>(this, this, "Label1", "Breaths To Stack:", 16, 22);
    eStackTest = NewControl<TIcNumSpin>(this, this, "eStackTest", "", 130, 18, 65);
    eStackTest->SetEditBase(ebInt);
    eStackTest->SetIncrement(1);
    eStackTest->SetMinValue(1);
    eStackTest->SetMaxValue(25);
    eStackTest->SetOptions({eoLimitMin, eoLimitMax});
    eStackTest->SetValue(1);

    btnOK = NewControl<TButton>(this, this, "btnOK", "OK", 8, 64, 75, 25);
    btnOK->SetModalResult(mrOk);
    btnOK->SetDefault(true);
    btnCancel = NewControl<TButton>(this, this, "btnCancel", "Cancel", 88, 64, 75, 25);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetCancel(true);
    btnDefault = NewControl<TButton>(this, this, "btnDefault", "Default", 168, 64, 75, 25);
    btnDefault->OnClick = [this](TObject* Sender) { btnDefaultClick(Sender); };

    DoCreate();
}

bool TdlgStackSetup::Execute(int32_t Breaths)
{
    FBreathsToStack = Breaths;
    eStackTest->SetValue(Breaths);
    if (ShowModal() != mrOk)
        return false;
    IcCommitNumEdits(this);
    FBreathsToStack = eStackTest->ValueAsInt();
    return true;
}

void TdlgStackSetup::btnDefaultClick(TObject* Sender)
{
    eStackTest->SetValue(5);
}
