// The hidden Debug page: a unit conversion table, the protocol log and the
// serial numbers as the analyzer and the handheld report them.
#include "workbench/Main.h"

#include "analyzer/Serialfunctions.h"
#include "analyzer/Units.h"
#include "platform/Controlbuilder.h"
#include "platform/ComCtrls.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"

namespace {

// The unit codes the conversion table covers: pressures, flows, volumes.
constexpr TUnitCode FirstTableUnit = 1;
constexpr TUnitCode LastTableUnit = 17;

}  // namespace

void TMainForm::CreateDeviceCommandComponents()
{
    SetupTableDialogs();

    auto* Panel = NewControl<TPanel>(this, tsDebug, "pnlDebugControls");
    Panel->SetCaption("");
    Panel->SetBevelOuter(bvNone);
    Panel->SetAlign(alTop);
    Panel->SetHeight(64);
    cbUnits = NewControl<TComboBox>(this, Panel, "cbUnits", "", 4, 4, 90);
    cbUnits->SetStyle(csDropDownList);
    for (TUnitCode U = FirstTableUnit; U <= LastTableUnit; ++U)
        cbUnits->Items()->Add(UnitName(U));
    cbUnits->SetItemIndex(0);
    eTestValue = NewControl<TEdit>(this, Panel, "eTestValue", "1", 100, 4, 80);
    Button3 = NewControl<TButton>(this, Panel, "Button3", "Units ", 186, 4, 75, 25);
    Button4 = NewControl<TButton>(this, Panel, "Button4", "Clear", 266, 4, 75, 25);
    Button6 = NewControl<TButton>(this, Panel, "Button6", "ZRMob SN", 4, 34, 75, 25);
    Button5 = NewControl<TButton>(this, Panel, "Button5", "ZRMob SN", 186, 34, 75, 25);
    Label29 = NewControl<TLabel>(this, Panel, "Label29", "", 266, 38);
    Button3->OnClick = [this](TObject* Sender) { Button3Click(Sender); };
    Button4->OnClick = [this](TObject* Sender) { Button4Click(Sender); };
    Button5->OnClick = [this](TObject* Sender) { Button5Click(Sender); };
    Button6->OnClick = [this](TObject* Sender) { Button6Click(Sender); };

    // Shown by its shortcut only.
    NewAction(actnUnlockCalDiag, "actnUnlockCalDiag", "Unlock Calibration", &TMainForm::actnUnlockCalDiagExecute);
    actnUnlockCalDiag->SetShortCut(ShortCut(VK_F12, TShiftState{ssCtrl, ssShift}));
}

void TMainForm::Button3Click(TObject* Sender)
{
    memoDebug->Lines()->Clear();
    const TUnitCode From = cbUnits->ItemIndex() + 1;
    double Value = 0;
    if (!TryStrToFloat(eTestValue->Text(), Value))
        return;
    for (TUnitCode U = FirstTableUnit; U <= LastTableUnit; ++U)
        memoDebug->Lines()->Add(FormatNumber(DecimalsFor(From, U), ConvertUnits(From, U, static_cast<float>(Value))) +
                                "  " + UnitName(U));
}

void TMainForm::Button4Click(TObject* Sender)
{
    memoFileList->Lines()->Clear();
    FProtocol->Reset();
}

void TMainForm::Button5Click(TObject* Sender)
{
    TDeviceCommandLock Lock(*this);
    Label29->SetCaption(FProtocol->ReadHandheldSerial());
}

void TMainForm::Button6Click(TObject* Sender)
{
    TDeviceCommandLock Lock(*this);
    lblZRPSN->SetCaption(FProtocol->ReadSerialNumber());
}
