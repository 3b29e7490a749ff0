// Design-time editor of a text label: the "Text Settings" form with the
// text, width, height and the autosize, stretch and transparent flags.
#pragma once

#include "platform/Forms.h"
#include "platform/Mask.h"
#include "platform/StdCtrls.h"
#include "report/RpCtrls.h"
#include "report/RpPrintableEditor.h"

#include <string>

// A size edit of the printable editors: four digits at the most.
TMaskEdit* RpSizeEdit(TForm* Form, TWinControl* Parent, const std::string& Name, int Left, int Top);

// What the text and expression settings forms show and give back: the
// value, the size as the user typed it, the flags and (expression form only)
// the format mask.
struct TRpTextSettings {
    std::string Value;
    std::string Width;
    std::string Height;
    bool AutoSize = false;
    bool Stretch = false;
    bool Transparent = false;
    std::string Mask;
};

// The controls of a settings form that show the settings both forms share.
struct TRpTextSettingsControls {
    TCustomEdit* Value;
    TCustomEdit* Width;
    TCustomEdit* Height;
    TCheckBox* AutoSize;
    TCheckBox* Stretch;
    TCheckBox* Transparent;
    void Show(const TRpTextSettings& Settings) const;
    void Take(TRpTextSettings& Settings) const;
};

class TRpLabelEditorForm : public TForm {
public:
    explicit TRpLabelEditorForm(TComponent* AOwner);
    // Shows Settings modally; true on OK, Settings then holds the form's.
    bool Execute(TRpTextSettings& Settings);

private:
    TGroupBox* GroupBox1;
    TLabel* Label1;
    TEdit* Value;
    TLabel* Label2;
    TLabel* Label3;
    TMaskEdit* Width;
    TMaskEdit* Height;
    TCheckBox* AutoSize;
    TCheckBox* Stretch;
    TCheckBox* Transparent;
    TButton* OKBtn;
    TButton* Button4;
};

// The editor of a TRpLabel (its caption is the value edited).
class TRpLabelEditor : public TRpPrintableEditor {
public:
    explicit TRpLabelEditor(TRpCustomLabel* Printable) : TRpPrintableEditor(Printable), FLabel(Printable) {}

    TColor GetColor() const override { return FLabel->Color(); }
    TFont* GetFont() const override { return FLabel->Font(); }
    TClass GetPrintableClass() const override { return TRpLabel::StaticClass(); }
    std::string GetValue() const override { return FLabel->Caption(); }
    std::string GetGlyphResName() const override { return "RPLABEL"; }
    std::string GetControlName() const override { return "Text Control"; }
    TAlignment GetAlignment() const override { return FLabel->Alignment(); }
    void SetAlignment(TAlignment Value) override { FLabel->SetAlignment(Value); }
    void SetColor(TColor Value) override { FLabel->SetColor(Value); }
    void SetFont(TFont* Value) override { FLabel->SetFont(Value); }
    void SetValue(const std::string& Value) override { FLabel->SetCaption(Value); }
    // The form modally; true when OK was pressed and the values applied. A
    // width or height that is no number applies nothing and tells the user.
    bool ShowEditor() override;

protected:
    // The printable's settings, Value from GetValue.
    TRpTextSettings Settings() const;
    // Reads the typed width and height; false (after telling the user) when
    // either is not a number.
    static bool ReadSize(const TRpTextSettings& Settings, double& W, double& H);
    // Value through SetValue, the size and the flags to the printable.
    void Apply(const TRpTextSettings& Settings, double W, double H);

private:
    TRpCustomLabel* FLabel;
};
