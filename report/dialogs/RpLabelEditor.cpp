#include "report/dialogs/RpLabelEditor.h"

#include "platform/Controlbuilder.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <memory>

TMaskEdit* RpSizeEdit(TForm* Form, TWinControl* Parent, const std::string& Name, int Left, int Top)
{
    auto* E = NewControl<TMaskEdit>(Form, Parent, Name, "", Left, Top, 57, 21);
    E->SetEditMask("9999");
    E->SetMaxLength(4);
    return E;
}

TRpLabelEditorForm::TRpLabelEditorForm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("RpLabelEditorForm");
    SetCaption("Text Settings");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(329);
    SetClientHeight(181);
    GroupBox1 = NewControl<TGroupBox>(this, this, "GroupBox1", "", 8, 8, 313, 129);
    GroupBox1->SetCaption("Properties");
    Label1 = NewControl<TLabel>(this, GroupBox1, "Label1", "", 8, 20, 60, 13);
    Label1->SetCaption("Text");
    Value = NewControl<TEdit>(this, GroupBox1, "Value", "", 80, 16, 225, 21);
    Label2 = NewControl<TLabel>(this, GroupBox1, "Label2", "", 8, 48, 60, 13);
    Label2->SetCaption("Width");
    Width = RpSizeEdit(this, GroupBox1, "Width", 80, 44);
    Label3 = NewControl<TLabel>(this, GroupBox1, "Label3", "", 8, 76, 60, 13);
    Label3->SetCaption("Height");
    Height = RpSizeEdit(this, GroupBox1, "Height", 80, 72);
    AutoSize = NewControl<TCheckBox>(this, GroupBox1, "AutoSize", "", 160, 46, 97, 17);
    AutoSize->SetCaption("Autosize");
    Stretch = NewControl<TCheckBox>(this, GroupBox1, "Stretch", "", 160, 74, 97, 17);
    Stretch->SetCaption("Stretch");
    Transparent = NewControl<TCheckBox>(this, GroupBox1, "Transparent", "", 160, 100, 97, 17);
    Transparent->SetCaption("Transparent");
    OKBtn = NewControl<TButton>(this, this, "OKBtn", "", 84, 148, 75, 25);
    OKBtn->SetCaption("OK");
    OKBtn->SetDefault(true);
    OKBtn->SetModalResult(1);
    Button4 = NewControl<TButton>(this, this, "Button4", "", 168, 148, 75, 25);
    Button4->SetCaption("Cancel");
    Button4->SetCancel(true);
    Button4->SetModalResult(2);
}

std::string TRpLabelEditor::GetValue() const { return FPrintable->Caption(); }

void TRpLabelEditor::SetValue(const std::string& Value) { FPrintable->SetCaption(Value); }

bool TRpLabelEditor::ReadSize(TMaskEdit* WidthEdit, TMaskEdit* HeightEdit, double& W, double& H)
{
    for (auto [Edit, Target] : {std::pair{WidthEdit, &W}, std::pair{HeightEdit, &H}})
        if (!TryStrToFloat(Trim(Edit->Text()), *Target)) {
            ShowMessage("'" + Edit->Text() + "' is not a valid floating point value");
            return false;
        }
    return true;
}

bool TRpLabelEditor::ShowEditor()
{
    const auto Form = std::make_unique<TRpLabelEditorForm>(nullptr);
    Form->Value->SetText(GetValue());
    Form->Width->SetText(FloatToStr(static_cast<double>(FPrintable->Size()->Width())));
    Form->Height->SetText(FloatToStr(static_cast<double>(FPrintable->Size()->Height())));
    Form->AutoSize->SetChecked(FPrintable->AutoSize());
    Form->Stretch->SetChecked(FPrintable->AutoStretch());
    Form->Transparent->SetChecked(FPrintable->Transparent());
    if (Form->ShowModal() != 1)
        return false;
    double W = 0, H = 0;
    if (!ReadSize(Form->Width, Form->Height, W, H))
        return false;
    SetValue(Form->Value->Text());
    FPrintable->Size()->SetWidth(W);
    FPrintable->Size()->SetHeight(H);
    FPrintable->SetAutoSize(Form->AutoSize->Checked());
    FPrintable->SetAutoStretch(Form->Stretch->Checked());
    FPrintable->SetTransparent(Form->Transparent->Checked());
    return true;
}
