#include "report/dialogs/RpExprEditor.h"

#include "platform/Controlbuilder.h"
#include "platform/SysUtils.h"
#include "report/dialogs/RpExpBld.h"

#include <memory>

TRpExprEditorForm::TRpExprEditorForm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("RpExprEditorForm");
    SetCaption("Expression settings");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(367);
    SetClientHeight(210);
    GroupBox1 = NewControl<TGroupBox>(this, this, "GroupBox1", "", 8, 8, 351, 157);
    GroupBox1->SetCaption("Properties");
    Label1 = NewControl<TLabel>(this, GroupBox1, "Label1", "", 8, 20, 80, 13);
    Label1->SetCaption("Expression");
    Value = NewControl<TEdit>(this, GroupBox1, "Value", "", 96, 16, 221, 21);
    ShowExprBuilder = NewControl<TSpeedButton>(this, GroupBox1, "ShowExprBuilder", "", 320, 16, 23, 22);
    ShowExprBuilder->SetCaption("...");
    ShowExprBuilder->OnClick = [this](TObject* Sender) { ShowExprBuilderClick(Sender); };
    Label4 = NewControl<TLabel>(this, GroupBox1, "Label4", "", 8, 48, 80, 13);
    Label4->SetCaption("Format mask");
    Mask = NewControl<TComboBox>(this, GroupBox1, "Mask", "", 96, 44, 169, 21);
    Label2 = NewControl<TLabel>(this, GroupBox1, "Label2", "", 8, 76, 80, 13);
    Label2->SetCaption("Width");
    Width = RpSizeEdit(this, GroupBox1, "Width", 96, 72);
    Label3 = NewControl<TLabel>(this, GroupBox1, "Label3", "", 8, 104, 80, 13);
    Label3->SetCaption("Height");
    Height = RpSizeEdit(this, GroupBox1, "Height", 96, 100);
    AutoSize = NewControl<TCheckBox>(this, GroupBox1, "AutoSize", "", 176, 74, 97, 17);
    AutoSize->SetCaption("Autosize");
    Stretch = NewControl<TCheckBox>(this, GroupBox1, "Stretch", "", 176, 102, 97, 17);
    Stretch->SetCaption("Stretch");
    Transparent = NewControl<TCheckBox>(this, GroupBox1, "Transparent", "", 176, 128, 97, 17);
    Transparent->SetCaption("Transparent");
    OKBtn = NewControl<TButton>(this, this, "OKBtn", "", 104, 176, 75, 25);
    OKBtn->SetCaption("OK");
    OKBtn->SetDefault(true);
    OKBtn->SetModalResult(1);
    Button4 = NewControl<TButton>(this, this, "Button4", "", 188, 176, 75, 25);
    Button4->SetCaption("Cancel");
    Button4->SetCancel(true);
    Button4->SetModalResult(2);
}

void TRpExprEditorForm::ShowExprBuilderClick(TObject*)
{
    std::string Expression = Value->Text();
    if (GetExpression("", Expression, ParentForm, nullptr, nullptr))
        Value->SetText(Expression);
}

bool TRpExprEditor::ShowEditor()
{
    const auto Form = std::make_unique<TRpExprEditorForm>(nullptr);
    Form->Value->SetText(GetValue());
    Form->Width->SetText(FloatToStr(static_cast<double>(FExpr->Size()->Width())));
    Form->Height->SetText(FloatToStr(static_cast<double>(FExpr->Size()->Height())));
    Form->AutoSize->SetChecked(FExpr->AutoSize());
    Form->Stretch->SetChecked(FExpr->AutoStretch());
    Form->Transparent->SetChecked(FExpr->Transparent());
    Form->Mask->SetText(FExpr->Mask());
    for (TWinControl* P = FExpr->Parent(); P && !Form->ParentForm; P = P->Parent())
        Form->ParentForm = dynamic_cast<TForm*>(P);
    if (Form->ShowModal() != 1)
        return false;
    double W = 0, H = 0;
    if (!ReadSize(Form->Width, Form->Height, W, H))
        return false;
    SetValue(Form->Value->Text());
    FExpr->Size()->SetWidth(W);
    FExpr->Size()->SetHeight(H);
    FExpr->SetAutoSize(Form->AutoSize->Checked());
    FExpr->SetAutoStretch(Form->Stretch->Checked());
    FExpr->SetTransparent(Form->Transparent->Checked());
    FExpr->SetMask(Form->Mask->Text());
    return true;
}
