#include "workbench/TimeScale.h"

#include "platform/Controlbuilder.h"
#include "platform/StdCtrls.h"
#include "widgets/IcNumEdit.h"

TdlgTimeScale* dlgTimeScale = nullptr;

TdlgTimeScale::TdlgTimeScale(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgTimeScale");
    SetCaption("Time");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(220);
    SetClientHeight(96);

    Label1 = NewControl<TLabel>(this, this, "Label1", "Time (Seconds):", 16, 22);
    eTime = NewControl<TIcNumSpin>(this, this, "eTime", "", 120, 18, 80);
    eTime->SetFormatStr("#0.#");
    eTime->SetIncrement(1);
    eTime->SetMinValue(10);
    eTime->SetMaxValue(1200);
    eTime->SetOptions({eoLimitMin, eoLimitMax});

    btnOK = NewControl<TButton>(this, this, "btnOK", "OK", 26, 60, 75, 25);
    btnOK->SetModalResult(mrOk);
    btnOK->SetDefault(true);
    btnCancel = NewControl<TButton>(this, this, "btnCancel", "Cancel", 118, 60, 75, 25);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetCancel(true);

    DoCreate();
}

bool TdlgTimeScale::Execute(float Seconds)
{
    FSeconds = Seconds;
    eTime->SetValue(Seconds);
    if (ShowModal() != mrOk)
        return false;
    IcCommitNumEdits(this);
    FSeconds = static_cast<float>(eTime->Value());
    return true;
}
