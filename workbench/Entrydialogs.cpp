#include "workbench/Entrydialogs.h"

#include "platform/Controlbuilder.h"
#include "platform/ExtCtrls.h"
#include "platform/Mask.h"
#include "platform/StdCtrls.h"
#include "widgets/IcNumEdit.h"

#include <cmath>
#include <limits>

TdlgValueEntry* dlgValueEntry = nullptr;
TdlgPassword* dlgPassword = nullptr;
TdlgStringEntry* dlgStringEntry = nullptr;

namespace {

constexpr int DialogWidth = 280;
constexpr int EntryHeight = 64;
constexpr int ButtonsHeight = 40;

// The form's frame and its bottom panel with OK (default) and Cancel.
void BuildEntryForm(TForm* Form, const std::string& Name, const std::string& Caption, TPanel*& Buttons,
                    TButton*& OKBtn, TButton*& CancelBtn)
{
    Form->SetName(Name);
    Form->SetCaption(Caption);
    Form->SetBorderStyle(bsDialog);
    Form->SetPosition(poMainFormCenter);
    Form->SetClientWidth(DialogWidth);
    Form->SetClientHeight(EntryHeight + ButtonsHeight);
    Buttons = NewControl<TPanel>(Form, Form, "pnlButtons");
    Buttons->SetCaption("");
    Buttons->SetBevelOuter(bvNone);
    Buttons->SetHeight(ButtonsHeight);
    Buttons->SetAlign(alBottom);
    OKBtn = NewControl<TButton>(Form, Buttons, "OKBtn", "OK", DialogWidth / 2 - 84, 8, 75, 25);
    OKBtn->SetModalResult(mrOk);
    OKBtn->SetDefault(true);
    CancelBtn = NewControl<TButton>(Form, Buttons, "CancelBtn", "Cancel", DialogWidth / 2 + 9, 8, 75, 25);
    CancelBtn->SetModalResult(mrCancel);
    CancelBtn->SetCancel(true);
}

}  // namespace

// ------------------------------------------------------------- value entry

TdlgValueEntry::TdlgValueEntry(TComponent* Owner) : TForm(Owner)
{
    BuildEntryForm(this, "dlgValueEntry", "Dialog", pnlButtons, OKBtn, CancelBtn);
    lblValLabel = NewControl<TLabel>(this, this, "lblValLabel", "", 16, 12);
    eValue = NewControl<TIcNumSpin>(this, this, "eValue", "", 16, 30, 120);
    eValue->SetFormatStr("#0.#");
    eValue->SetIncrement(1);
    OnShow = [this](TObject*) { eValue->SetFocus(); };
    DoCreate();
}

void TdlgValueEntry::SetLabel(const std::string& Text)
{
    lblValLabel->SetCaption(Text);
}

bool TdlgValueEntry::Execute()
{
    eValue->SetValue(FValue);
    if (ShowModal() != mrOk)
        return false;
    IcCommitNumEdits(this);
    FValue = static_cast<float>(eValue->Value());
    return true;
}

int32_t TdlgValueEntry::GetRoundedValue() const
{
    const double V = std::trunc(static_cast<double>(FValue) + 0.5);
    if (std::isnan(V))
        return 0;
    if (V >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (V <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(V);
}

// ---------------------------------------------------------------- password

TdlgPassword::TdlgPassword(TComponent* Owner) : TForm(Owner)
{
    BuildEntryForm(this, "dlgPassword", "Unlock Calibration", pnlButtons, OKBtn, CancelBtn);
    Label1 = NewControl<TLabel>(this, this, "Label1", "Enter Password", 16, 12);
    ePassword = NewControl<TMaskEdit>(this, this, "ePassword", "", 16, 30, 180);
    ePassword->SetPasswordChar('*');
    OnShow = [this](TObject*) { ePassword->SetFocus(); };
    DoCreate();
}

bool TdlgPassword::Execute()
{
    FText.clear();
    ePassword->SetText("");
    const bool Ok = ShowModal() == mrOk;
    if (Ok)
        FText = ePassword->Text();
    // The typed text does not stay in the dialog between runs.
    ePassword->SetText("");
    return Ok;
}

// ------------------------------------------------------------ string entry

TdlgStringEntry::TdlgStringEntry(TComponent* Owner) : TForm(Owner)
{
    BuildEntryForm(this, "dlgStringEntry", "Dialog", pnlButtons, OKBtn, CancelBtn);
    Label = NewControl<TLabel>(this, this, "Label", "", 16, 12);
    eString = NewControl<TEdit>(this, this, "eString", "", 16, 30, DialogWidth - 32);
    OnShow = [this](TObject*) { eString->SetFocus(); };
    DoCreate();
}

void TdlgStringEntry::SetLabel(const std::string& Text)
{
    Label->SetCaption(Text);
}

bool TdlgStringEntry::Execute()
{
    eString->SetText(FText);
    if (ShowModal() != mrOk)
        return false;
    FText = eString->Text();
    return true;
}
