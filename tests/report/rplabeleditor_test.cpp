#include "report/dialogs/RpLabelEditor.h"
#include "report/dialogs/RpDialogs.h"
#include "report/dialogs/RpExprEditor.h"

#include "platform/DialogHook.h"
#include "report/RpCtrls.h"
#include "tests/support/Components.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Answers the editor form with Fill and the result, and any message box with OK.
void Answer(int Result, std::function<void(TRpLabelEditorForm&)> Fill)
{
    SetDialogAnswerer([Result, Fill](const TDialogRequest& R, TDialogAnswer& A) {
        if (R.Kind == TDialogKind::ModalForm) {
            auto* Form = dynamic_cast<TRpLabelEditorForm*>(R.Dialog);
            if (!Form)
                return false;
            Fill(*Form);
            A.ModalResult = Result;
            return true;
        }
        A.ModalResult = 1;
        return true;
    });
}

class LabelEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearAnsweredDialogs();
        Label.SetCaption("Old");
        Label.SetAutoSize(false);
        Label.Size()->SetWidth(100);
        Label.Size()->SetHeight(20);
        W = Label.Size()->Width();
        H = Label.Size()->Height();
    }
    void TearDown() override { SetDialogAnswerer(nullptr); }

    TRpLabel Label{nullptr};
    long double W = 0, H = 0;
};

}  // namespace

TEST_F(LabelEditor, FormShowsTheLabelAndOkAppliesTheValues)
{
    std::string Shown;
    Answer(1, [&](TRpLabelEditorForm& F) {
        EXPECT_EQ(F.Caption(), "Text Settings");
        Shown = Find<TEdit>(&F, "Value")->Text();
        EXPECT_FALSE(Find<TCheckBox>(&F, "AutoSize")->Checked());
        Find<TEdit>(&F, "Value")->SetText("New");
        Find<TMaskEdit>(&F, "Width")->SetText("300");
        Find<TMaskEdit>(&F, "Height")->SetText("40");
        Find<TCheckBox>(&F, "Stretch")->SetChecked(true);
    });
    TRpLabelEditor Ed(&Label);
    EXPECT_TRUE(Ed.ShowEditor());
    EXPECT_EQ(Shown, "Old");
    EXPECT_EQ(Label.Caption(), "New");
    EXPECT_DOUBLE_EQ(static_cast<double>(Label.Size()->Width()), 300);
    EXPECT_DOUBLE_EQ(static_cast<double>(Label.Size()->Height()), 40);
    EXPECT_TRUE(Label.AutoStretch());
}

TEST_F(LabelEditor, CancelLeavesTheLabelUnchanged)
{
    Answer(2, [](TRpLabelEditorForm& F) {
        Find<TEdit>(&F, "Value")->SetText("New");
        Find<TMaskEdit>(&F, "Width")->SetText("300");
    });
    TRpLabelEditor Ed(&Label);
    EXPECT_FALSE(Ed.ShowEditor());
    EXPECT_EQ(Label.Caption(), "Old");
    EXPECT_EQ(Label.Size()->Width(), W);
}

// A size that is no number used to set the caption first and then fail.
TEST_F(LabelEditor, SizeThatIsNoNumberAppliesNothingAndTellsTheUser)
{
    for (const char* Bad : {"", "x"}) {
        ClearAnsweredDialogs();
        Answer(1, [Bad](TRpLabelEditorForm& F) {
            Find<TEdit>(&F, "Value")->SetText("New");
            Find<TMaskEdit>(&F, "Width")->SetText("300");
            Find<TMaskEdit>(&F, "Height")->SetText(Bad);
            Find<TCheckBox>(&F, "Stretch")->SetChecked(true);
        });
        TRpLabelEditor Ed(&Label);
        EXPECT_FALSE(Ed.ShowEditor()) << Bad;
        EXPECT_EQ(Label.Caption(), "Old");
        EXPECT_EQ(Label.Size()->Width(), W);
        EXPECT_EQ(Label.Size()->Height(), H);
        EXPECT_FALSE(Label.AutoStretch());
        ASSERT_EQ(AnsweredDialogs().size(), 2u);
        EXPECT_EQ(AnsweredDialogs()[1].Kind, TDialogKind::MessageBox);
        EXPECT_NE(AnsweredDialogs()[1].Text.find("not a valid floating point value"), std::string::npos);
    }
}

// ---------------------------------------------------------- expression editor

namespace {

template <class F>
void AnswerExpr(int Result, F Fill)
{
    SetDialogAnswerer([Result, Fill](const TDialogRequest& R, TDialogAnswer& A) {
        if (auto* Form = dynamic_cast<TRpExprEditorForm*>(R.Dialog)) {
            Fill(*Form);
            A.ModalResult = Result;
            return true;
        }
        A.ModalResult = 1;
        return R.Kind == TDialogKind::MessageBox;
    });
}

}  // namespace

TEST_F(LabelEditor, ExpressionEditorAppliesExpressionAndMaskOnlyWhenTheSizeIsANumber)
{
    TRpExpr Expr(nullptr);
    Expr.SetExpression("1+1");
    Expr.SetMask("0.00");
    Expr.Size()->SetWidth(100);
    const long double EW = Expr.Size()->Width();
    std::string Shown;
    AnswerExpr(1, [&](TRpExprEditorForm& F) {
        EXPECT_EQ(F.Caption(), "Expression settings");
        Shown = Find<TEdit>(&F, "Value")->Text() + "|" + Find<TComboBox>(&F, "Mask")->Text();
        Find<TEdit>(&F, "Value")->SetText("2*21");
        Find<TComboBox>(&F, "Mask")->SetText("#,##0");
        Find<TMaskEdit>(&F, "Width")->SetText("abc");
    });
    TRpExprEditor Ed(&Expr);
    EXPECT_EQ(Ed.GetControlName(), "Expression Control");
    EXPECT_FALSE(Ed.ShowEditor());
    EXPECT_EQ(Shown, "1+1|0.00");
    EXPECT_EQ(Expr.Expression(), "1+1");
    EXPECT_EQ(Expr.Mask(), "0.00");
    EXPECT_EQ(Expr.Size()->Width(), EW);
    ASSERT_FALSE(AnsweredDialogs().empty());
    EXPECT_EQ(AnsweredDialogs().back().Kind, TDialogKind::MessageBox);

    AnswerExpr(1, [](TRpExprEditorForm& F) {
        Find<TEdit>(&F, "Value")->SetText("2*21");
        Find<TComboBox>(&F, "Mask")->SetText("#,##0");
        Find<TMaskEdit>(&F, "Width")->SetText("250");
        Find<TMaskEdit>(&F, "Height")->SetText("30");
    });
    EXPECT_TRUE(Ed.ShowEditor());
    EXPECT_EQ(Expr.Expression(), "2*21");
    EXPECT_EQ(Expr.Mask(), "#,##0");
    EXPECT_DOUBLE_EQ(static_cast<double>(Expr.Size()->Width()), 250);
}

// ------------------------------------------------------------ editor classes

TEST_F(LabelEditor, PrintablesNameTheirEditorClassAndTheDialogsMakeIt)
{
    TRpExpr Expr(nullptr);
    TRpShape Shape(nullptr);
    const struct {
        TRpPrintable* Printable;
        const char* EditorClass;
        TClass Serves;
        const char* ControlName;
    } Cases[] = {
        {&Label, "TRpLabelEditor", TRpLabel::StaticClass(), "Text Control"},
        {&Expr, "TRpExprEditor", TRpExpr::StaticClass(), "Expression Control"},
        {&Shape, "TRpPrintableEditor", nullptr, nullptr},
    };
    RegisterReportDialogs();
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.EditorClass);
        const TRpPrintableEditorClass Class = C.Printable->GetEditorClass();
        EXPECT_EQ(Class.ClassName, C.EditorClass);
        if (!C.Serves) {
            EXPECT_FALSE(Class.Create) << "nobody makes the base";
            continue;
        }
        ASSERT_TRUE(Class.Create);
        EXPECT_EQ(Class.Create(&Shape), nullptr) << "a shape is no text";
        const std::unique_ptr<TRpPrintableEditor> Ed = Class.Create(C.Printable);
        ASSERT_NE(Ed, nullptr);
        EXPECT_EQ(Ed->Printable(), C.Printable);
        EXPECT_EQ(Ed->GetPrintableClass(), C.Serves);
        EXPECT_EQ(Ed->GetControlName(), C.ControlName);
        Ed->SetValue("7*6");
        EXPECT_EQ(Ed->GetValue(), "7*6");
        Ed->SetColor(clYellow);
        EXPECT_EQ(C.Printable->Color(), clYellow);
        EXPECT_EQ(Ed->GetColor(), clYellow);
        Ed->SetAlignment(taCenter);
        EXPECT_EQ(C.Printable->Alignment(), taCenter);
        TFont Bold;
        Bold.SetStyle(TFontStyles{fsBold});
        Ed->SetFont(&Bold);
        EXPECT_TRUE(Ed->GetFont()->Style().Contains(fsBold));
    }
    EXPECT_EQ(Label.Caption(), "7*6");
    EXPECT_EQ(Expr.Expression(), "7*6");
}
