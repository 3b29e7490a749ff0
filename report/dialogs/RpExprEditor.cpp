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

bool TRpExprEditorForm::Execute(TRpTextSettings& Settings, TForm* ParentForm)
{
    FParentForm = ParentForm;
    const TRpTextSettingsControls Controls{Value, Width, Height, AutoSize, Stretch, Transparent};
    Controls.Show(Settings);
    Mask->SetText(Settings.Mask);
    if (ShowModal() != 1)
        return false;
    Controls.Take(Settings);
    Settings.Mask = Mask->Text();
    return true;
}

void TRpExprEditorForm::ShowExprBuilderClick(TObject*)
{
    std::string Expression = Value->Text();
    if (GetExpression("", Expression, FParentForm, nullptr, nullptr))
        Value->SetText(Expression);
}

bool TRpExprEditor::ShowEditor()
{
    TRpTextSettings S = Settings();
    S.Mask = FExpr->Mask();
    TForm* ParentForm = nullptr;
    for (TWinControl* P = FExpr->Parent(); P && !ParentForm; P = P->Parent())
        ParentForm = dynamic_cast<TForm*>(P);
    const auto Form = std::make_unique<TRpExprEditorForm>(nullptr);
    double W = 0, H = 0;
    if (!Form->Execute(S, ParentForm) || !ReadSize(S, W, H))
        return false;
    Apply(S, W, H);
    FExpr->SetMask(S.Mask);
    return true;
}
