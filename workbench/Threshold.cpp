#include "workbench/Threshold.h"

#include "platform/Controlbuilder.h"
#include "platform/StdCtrls.h"
#include "widgets/IcNumEdit.h"

TdlgThreshold* dlgThreshold = nullptr;

TdlgThreshold::TdlgThreshold(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgThreshold");
    SetCaption("Breath Detect");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(280);
    SetClientHeight(100);

    Label1 = NewControl<TLabel>(this, this, "Label1", "Breath Detect Threshold", 16, 22);
    eThreshold = NewControl<TIcNumSpin>(this, this, "eThreshold", "", 160, 18, 70);
    eThreshold->SetFormatStr("#0.00#");
    eThreshold->SetIncrement(1);
    eThreshold->SetMinValue(0);
    eThreshold->SetOptions({eoLimitMin});
    Label2 = NewControl<TLabel>(this, this, "Label2", "Lpm", 236, 22);

    btnOK = NewControl<TButton>(this, this, "btnOK", "OK", 16, 62, 75, 25);
    btnOK->SetModalResult(mrOk);
    btnOK->SetDefault(true);
    btnCancel = NewControl<TButton>(this, this, "btnCancel", "Cancel", 102, 62, 75, 25);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetCancel(true);
    btnDefault = NewControl<TButton>(this, this, "btnDefault", "Default", 188, 62, 75, 25);
    btnDefault->OnClick = [this](TObject* Sender) { btnDefaultClick(Sender); };

    DoCreate();
}

bool TdlgThreshold::Execute(int32_t FlowPort, int32_t DeviceKind, float Threshold)
{
    eThreshold->SetValue(Threshold);
    FFlowPort = FlowPort;
    FDeviceKind = DeviceKind;
    FThreshold = Threshold;
    if (ShowModal() != mrOk)
        return false;
    IcCommitNumEdits(this);
    FThreshold = static_cast<float>(eThreshold->Value());
    return true;
}

void TdlgThreshold::btnDefaultClick(TObject* Sender)
{
    if (FDeviceKind >= 0 && FDeviceKind <= 2)
        eThreshold->SetValue(FFlowPort == 1 ? 2.0 : 0.5);
}
