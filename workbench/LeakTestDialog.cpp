#include "workbench/LeakTestDialog.h"

#include "analyzer/Functions.h"
#include "analyzer/Units.h"
#include "platform/Application.h"
#include "platform/Controlbuilder.h"
#include "platform/Mask.h"
#include "platform/StdCtrls.h"
#include "widgets/IcNumEdit.h"

TdlgStartLeakTest* dlgStartLeakTest = nullptr;

namespace {

// Rows of the channel list and their signal ids.
constexpr int32_t ChannelOfRow[3] = {sigLowPressure, sigHighPressure, sigAirwayPressure};

int RowOfChannel(int32_t Channel)
{
    for (int Row = 0; Row < 3; ++Row)
        if (ChannelOfRow[Row] == Channel)
            return Row;
    return 0;
}

}  // namespace

TdlgStartLeakTest::TdlgStartLeakTest(TComponent* Owner) : TForm(Owner), FTestTime(EncodeTime(0, 10, 0, 0))
{
    SetName("dlgStartLeakTest");
    SetCaption("Start Leak Test");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(290);
    SetClientHeight(190);

    Label1 = NewControl<TLabel>(this, this, "Label1", "Pressure Channel:", 12, 16);
    cbLeakPressureChannel = NewControl<TComboBox>(this, this, "cbLeakPressureChannel", "", 130, 12, 140);
    cbLeakPressureChannel->SetStyle(csDropDownList);
    for (const char* Item : {"Low Pressure", "High Pressure", "Airway Pressure"})
        cbLeakPressureChannel->Items()->Add(Item);

    Label2 = NewControl<TLabel>(this, this, "Label2", "Pressure Units:", 12, 48);
    cbLeakPressureUnits = NewControl<TComboBox>(this, this, "cbLeakPressureUnits", "", 130, 44, 140);
    cbLeakPressureUnits->SetStyle(csDropDownList);
    for (TUnitCode Code = ucCmH2O; Code <= ucInHg; ++Code)
        cbLeakPressureUnits->Items()->Add(UnitName(Code));

    Label3 = NewControl<TLabel>(this, this, "Label3", "Compliance:", 12, 80);
    eLeakCompliance = NewControl<TIcNumSpin>(this, this, "eLeakCompliance", "", 130, 76, 80);
    eLeakCompliance->SetFormatStr("#0.0#");
    eLeakCompliance->SetIncrement(1);
    eLeakCompliance->SetStartDelay(500);
    eLeakCompliance->SetInterval(100);
    Label4 = NewControl<TLabel>(this, this, "Label4", "ml/cmH2O", 216, 80);

    Label5 = NewControl<TLabel>(this, this, "Label5", "Test Time:", 12, 112);
    eLeakTestTime = NewControl<TMaskEdit>(this, this, "eLeakTestTime", "", 130, 108, 80);
    eLeakTestTime->SetEditMask("!90:00:00;1; ");
    eLeakTestTime->SetMaxLength(8);
    Label6 = NewControl<TLabel>(this, this, "Label6", "hr:min:sec", 216, 112);

    btnOK = NewControl<TButton>(this, this, "btnOK", "OK", 50, 150, 80, 25);
    btnOK->SetModalResult(mrOk);
    btnOK->SetDefault(true);
    btnCancel = NewControl<TButton>(this, this, "btnCancel", "Cancel", 160, 150, 80, 25);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetCancel(true);

    DoCreate();
}

bool TdlgStartLeakTest::Execute()
{
    cbLeakPressureChannel->SetItemIndex(RowOfChannel(FChannel));
    cbLeakPressureUnits->SetItemIndex(FUnit >= ucCmH2O && FUnit <= ucInHg ? FUnit - 1 : 0);
    eLeakCompliance->SetValue(FCompliance);
    // The mask's first digit is optional: the hours stand right-aligned.
    std::string Time = FormatTime(FTestTime);
    if (Time.size() < 8)
        Time.insert(0, 8 - Time.size(), ' ');
    eLeakTestTime->SetText(Time);
    if (cbLeakPressureChannel->CanFocus())
        cbLeakPressureChannel->SetFocus();

    if (ShowModal() != mrOk)
        return false;
    IcCommitNumEdits(this);
    FChannel = ChannelOfRow[cbLeakPressureChannel->ItemIndex() >= 0 ? cbLeakPressureChannel->ItemIndex() : 0];
    FUnit = cbLeakPressureUnits->ItemIndex() >= 0 ? cbLeakPressureUnits->ItemIndex() + 1 : ucCmH2O;
    FCompliance = static_cast<float>(eLeakCompliance->Value());
    TDateTime Parsed = 0;
    if (!ParseTime(eLeakTestTime->Text(), Parsed)) {
        // No test starts; the time shown stays as it was.
        Application->HandleException(EConvertError("Invalid argument to time encode"));
        return false;
    }
    FTestTime = Parsed;
    return true;
}
