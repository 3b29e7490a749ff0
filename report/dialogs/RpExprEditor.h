// Design-time editor of an expression printable: the "Expression settings"
// form with the expression, its format mask, width, height and flags.
#pragma once

#include "platform/Buttons.h"
#include "report/RpCtrlsData.h"
#include "report/dialogs/RpLabelEditor.h"

class TRpExprEditorForm : public TForm {
public:
    explicit TRpExprEditorForm(TComponent* AOwner);
    // Shows Settings modally; true on OK, Settings then holds the form's.
    // ParentForm (the form holding the printable, or nullptr) offers its
    // data sets to the expression builder.
    bool Execute(TRpTextSettings& Settings, TForm* ParentForm);

private:
    // Opens the expression builder on the expression; an accepted one
    // replaces it.
    void ShowExprBuilderClick(TObject* Sender);

    TGroupBox* GroupBox1;
    TLabel* Label1;
    TEdit* Value;
    TSpeedButton* ShowExprBuilder;
    TLabel* Label4;
    TComboBox* Mask;
    TLabel* Label2;
    TLabel* Label3;
    TMaskEdit* Width;
    TMaskEdit* Height;
    TCheckBox* AutoSize;
    TCheckBox* Stretch;
    TCheckBox* Transparent;
    TButton* OKBtn;
    TButton* Button4;
    TForm* FParentForm = nullptr;
};

class TRpExprEditor : public TRpLabelEditor {
public:
    explicit TRpExprEditor(TRpExpr* Printable) : TRpLabelEditor(Printable), FExpr(Printable) {}

    TClass GetPrintableClass() const override { return TRpExpr::StaticClass(); }
    std::string GetValue() const override { return FExpr->Expression(); }
    void SetValue(const std::string& Value) override { FExpr->SetExpression(Value); }
    std::string GetGlyphResName() const override { return "RPEXPR"; }
    std::string GetControlName() const override { return "Expression Control"; }
    // The form modally; true when OK was pressed and the values applied. A
    // width or height that is no number applies nothing and tells the user.
    bool ShowEditor() override;

private:
    TRpExpr* FExpr;
};
