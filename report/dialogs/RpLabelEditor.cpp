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

void TRpTextSettingsControls::Show(const TRpTextSettings& Settings) const
{
    Value->SetText(Settings.Value);
    Width->SetText(Settings.Width);
    Height->SetText(Settings.Height);
    AutoSize->SetChecked(Settings.AutoSize);
    Stretch->SetChecked(Settings.Stretch);
    Transparent->SetChecked(Settings.Transparent);
}

void TRpTextSettingsControls::Take(TRpTextSettings& Settings) const
{
    Settings.Value = Value->Text();
    Settings.Width = Width->Text();
    Settings.Height = Height->Text();
    Settings.AutoSize = AutoSize->Checked();
    Settings.Stretch = Stretch->Checked();
    Settings.Transparent = Transparent->Checked();
}

bool TRpLabelEditorForm::Execute(TRpTextSettings& Settings)
{
    const TRpTextSettingsControls Controls{Value, Width, Height, AutoSize, Stretch, Transparent};
    Controls.Show(Settings);
    if (ShowModal() != 1)
        return false;
    Controls.Take(Settings);
    return true;
}

TRpTextSettings TRpLabelEditor::Settings() const
{
    TRpTextSettings S;
    S.Value = GetValue();
    S.Width = FloatToStr(static_cast<double>(FLabel->Size()->Width()));
    S.Height = FloatToStr(static_cast<double>(FLabel->Size()->Height()));
    S.AutoSize = FLabel->AutoSize();
    S.Stretch = FLabel->AutoStretch();
    S.Transparent = FLabel->Transparent();
    return S;
}

bool TRpLabelEditor::ReadSize(const TRpTextSettings& Settings, double& W, double& H)
{
    for (auto [Text, Target] : {std::pair{&Settings.Width, &W}, std::pair{&Settings.Height, &H}})
        if (!TryStrToFloat(Trim(*Text), *Target)) {
            ShowMessage("'" + *Text + "' is not a valid floating point value");
            return false;
        }
    return true;
}

void TRpLabelEditor::Apply(const TRpTextSettings& Settings, double W, double H)
{
    SetValue(Settings.Value);
    FLabel->Size()->SetWidth(W);
    FLabel->Size()->SetHeight(H);
    FLabel->SetAutoSize(Settings.AutoSize);
    FLabel->SetAutoStretch(Settings.Stretch);
    FLabel->SetTransparent(Settings.Transparent);
}

bool TRpLabelEditor::ShowEditor()
{
    TRpTextSettings S = Settings();
    const auto Form = std::make_unique<TRpLabelEditorForm>(nullptr);
    double W = 0, H = 0;
    if (!Form->Execute(S) || !ReadSize(S, W, H))
        return false;
    Apply(S, W, H);
    return true;
}
