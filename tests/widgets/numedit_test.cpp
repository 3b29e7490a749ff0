// The numeric edit and spin edit as dialogs use them: commits and when
// OnValueChanged fires, limits and their flags, bad input, masks, steps, the
// buttons' state, the parent's colour and a long text beside the buttons.
#include "widgets/IcNumEdit.h"

#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class NumEdit : public ::testing::Test {
protected:
    std::unique_ptr<TIcNumSpin> E;
    int Changed = 0;
    void SetUp() override
    {
        EnsureApplication();
        E = std::make_unique<TIcNumSpin>(nullptr);
        E->OnValueChanged = [this](TObject*) { ++Changed; };
    }
    // What a user's typing does: the text changes, the field checks it.
    void Type(const std::string& S) { E->SetText(S); }
    void Enter()
    {
        char key = '\r';
        E->WidgetKeyPress(key);
    }
    void Key(uint16_t K)
    {
        E->WidgetKeyDown(K, {});
    }
    bool UpEnabled() const { return E->Button()->UpButton()->Enabled(); }
    bool DownEnabled() const { return E->Button()->DownButton()->Enabled(); }
};

TEST_F(NumEdit, StartsAtZeroWithoutAnEvent)
{
    EXPECT_EQ(E->Value(), 0.0);
    EXPECT_EQ(E->Text(), "0");
    EXPECT_EQ(E->State(), esNormal);
    EXPECT_EQ(Changed, 0);
    EXPECT_EQ(E->Color(), clWindow);
}

TEST_F(NumEdit, TypingOnlyChecksAndEnterCommits)
{
    Type("12.5");
    EXPECT_EQ(E->State(), esEditing);
    EXPECT_EQ(E->Value(), 0.0);
    EXPECT_FALSE(UpEnabled());
    EXPECT_FALSE(DownEnabled());
    Enter();
    EXPECT_EQ(E->State(), esNormal);
    EXPECT_EQ(E->Value(), 12.5);
    EXPECT_EQ(E->Text(), "12.5");
    EXPECT_EQ(Changed, 1);
    EXPECT_TRUE(UpEnabled());
    // The same text again: no event.
    Type("12.5");
    EXPECT_EQ(E->State(), esNormal);
    Enter();
    EXPECT_EQ(Changed, 1);
}

TEST_F(NumEdit, CommittedTextsPerMask)
{
    struct Case { const char* Mask; const char* Typed; double Value; const char* Shown; };
    const Case cases[] = {
        {"#0.#", "2k", 2000, "2000"},
        {"#0.#", "5m", 0.0050000002374872565, "0"},
        {"#0.#", "1E3", 1000, "1000"},
        {"#0.#", "%12", 12, "12"},
        {"#0.0#", "3.14159", 3.14159, "3.14"},
        {"#0.00#", "2.5", 2.5, "2.50"},
        {"#0.000#", "0.12345", 0.12345, "0.1235"},
        {"#0.00", "7", 7, "7.00"},
        {"#0.0", "-1.25", -1.25, "-1.3"},
    };
    for (const Case& c : cases) {
        E->SetFormatStr(c.Mask);
        Type(c.Typed);
        Enter();
        EXPECT_EQ(E->Value(), c.Value) << c.Typed;
        EXPECT_EQ(E->Text(), c.Shown) << c.Typed;
    }
}

TEST_F(NumEdit, LimitsClampFlagAndGreyTheButtons)
{
    E->SetMaxValue(100);
    E->SetOptions({eoLimitMin, eoLimitMax});
    // Writing Options commits, and the first commit after construction
    // reports the text.
    EXPECT_EQ(Changed, 1);
    Changed = 0;
    EXPECT_TRUE(E->LimitLo());
    EXPECT_FALSE(DownEnabled());
    Type("250");
    Enter();
    EXPECT_EQ(E->Value(), 100.0);
    EXPECT_EQ(E->Text(), "100");
    EXPECT_TRUE(E->LimitUp());
    EXPECT_FALSE(E->LimitLo());
    EXPECT_EQ(Changed, 1);
    EXPECT_FALSE(UpEnabled());
    EXPECT_TRUE(DownEnabled());

    // Moving the limit re-evaluates the flag: the button comes back.
    E->SetMaxValue(200);
    EXPECT_FALSE(E->LimitUp());
    EXPECT_TRUE(UpEnabled());
    // Dropping the option clears its flag too.
    E->SetMaxValue(100);
    EXPECT_TRUE(E->LimitUp());
    E->SetOptions({eoLimitMin});
    EXPECT_FALSE(E->LimitUp());
    EXPECT_TRUE(UpEnabled());
}

TEST_F(NumEdit, SetValueFiresOnlyWhenTheShownTextChanges)
{
    E->SetValue(0);
    EXPECT_EQ(Changed, 0);
    E->SetValue(5);
    EXPECT_EQ(Changed, 1);
    E->SetValue(5.01);   // shows "5" again under "#0.#"
    EXPECT_EQ(Changed, 1);
    EXPECT_EQ(E->Value(), 5.01);
    E->SetMaxValue(5);
    E->SetOptions({eoLimitMax});
    E->SetValue(9);
    EXPECT_EQ(E->Value(), 5.0);
    EXPECT_EQ(Changed, 1);
}

TEST_F(NumEdit, AsIntAndAsSingleRespectTheLimits)
{
    E->SetMaxValue(10);
    E->SetOptions({eoLimitMax});
    E->SetValueAsInt(50);
    EXPECT_EQ(E->Value(), 10.0);
    EXPECT_TRUE(E->LimitUp());
    E->SetValueAsSingle(20.0f);
    EXPECT_EQ(E->Value(), 10.0);
}

TEST_F(NumEdit, BadInputIsMarkedAndKeepsTheValue)
{
    E->SetValue(3);
    const int beeps = IcBeepCount();
    struct Case { const char* Text; int SelStart; int SelLength; };
    const Case cases[] = {{"1x2y3", 1, 3}, {"1.2.3", 3, 1}, {"-e5", 0, 3}, {"1e400", 0, 5}};
    for (const Case& c : cases) {
        Type(c.Text);
        EXPECT_EQ(E->State(), esError) << c.Text;
        EXPECT_EQ(E->Color(), clRed) << c.Text;
        EXPECT_EQ(E->SelStart(), c.SelStart) << c.Text;
        EXPECT_EQ(E->SelLength(), c.SelLength) << c.Text;
        Enter();
        EXPECT_EQ(E->Value(), 3.0) << c.Text;
        EXPECT_FALSE(UpEnabled());
        Type("3");
    }
    EXPECT_GT(IcBeepCount(), beeps);
    EXPECT_EQ(E->State(), esNormal);
    EXPECT_TRUE(UpEnabled());
}

TEST_F(NumEdit, EscRestoresTheCommittedText)
{
    E->SetValue(4);
    Type("44");
    Key(VK_ESCAPE);
    EXPECT_EQ(E->Text(), "4");
    EXPECT_EQ(E->State(), esNormal);
    // The next keystroke is checked again.
    Type("45");
    EXPECT_EQ(E->State(), esEditing);
}

TEST_F(NumEdit, StepsFromTheCommittedValue)
{
    int changes = 0;
    E->OnChange = [&](TObject*) { ++changes; };
    E->SetValue(2);
    Key(VK_UP);
    EXPECT_EQ(E->Value(), 3.0);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(E->Value(), 1.0);
    EXPECT_EQ(changes, 3);

    E->SetOptions({eoMultiply});
    E->SetIncrement(10);
    E->SetValue(2);
    E->UpClick(E.get());
    EXPECT_EQ(E->Value(), 20.0);
    E->SetValue(2);
    E->DownClick(E.get());
    EXPECT_DOUBLE_EQ(E->Value(), 0.2);
    E->SetValue(0);
    E->UpClick(E.get());
    EXPECT_EQ(E->Value(), 10.0);

    // At its limit the up arrow neither steps nor beeps but fires OnChange.
    E->SetOptions({eoLimitMax});
    E->SetMaxValue(10);
    const int beeps = IcBeepCount();
    changes = 0;
    Key(VK_UP);
    EXPECT_EQ(E->Value(), 10.0);
    EXPECT_EQ(IcBeepCount(), beeps);
    EXPECT_EQ(changes, 1);
}

TEST_F(NumEdit, AStepThatLeavesTheTextAsItWasDoesNotSwallowTheNextKeystroke)
{
    E->SetIncrement(0.01f);
    E->SetValue(5);
    E->UpClick(E.get());   // 5.01 still shows "5"
    EXPECT_EQ(E->Text(), "5");
    EXPECT_GT(E->Value(), 5.0);
    Type("7");
    EXPECT_EQ(E->State(), esEditing);
    EXPECT_FALSE(UpEnabled());
}

TEST_F(NumEdit, SpinGrowsToItsMinimumHeightAndKeepsTheButtonsAtTheRight)
{
    E->SetBounds(0, 0, 80, 5);
    EXPECT_EQ(E->Height(), E->GetMinHeight());
    E->SetBounds(0, 0, 80, 40);
    EXPECT_EQ(E->Button()->Width(), 15);
    EXPECT_EQ(E->Button()->Left(), 80 - 15 - 4);
    EXPECT_EQ(E->Button()->Height(), 36);
    EXPECT_EQ(E->Button()->UpButton()->Height(), 18);
}

TEST_F(NumEdit, BasesAndTheirRenderings)
{
    E->SetEditBase(ebInt);
    Type("2147483647");
    Enter();
    EXPECT_EQ(E->ValueAsInt(), 2147483647);
    EXPECT_EQ(E->ValueAsHex(), "7FFFFFFF");
    Type("3G");
    Enter();
    EXPECT_EQ(E->Text(), "2147483647");

    E->SetEditBase(ebFloat);
    E->SetValue(26.6);
    const int before = Changed;
    E->SetEditBase(ebHex);
    EXPECT_EQ(E->Text(), "1B");
    EXPECT_EQ(Changed, before);

    E->SetEditBase(ebBin);
    E->SetDigitsBool(3);
    E->SetValue(256);
    EXPECT_EQ(E->Text(), "100000000");   // the digit count never drops bits
    E->SetValue(5);
    EXPECT_EQ(E->Text(), "0101");
}

TEST_F(NumEdit, DisablingGreysBothButtonsAndALimitKeepsOneGrey)
{
    E->SetMaxValue(10);
    E->SetOptions({eoLimitMax});
    E->SetValue(10);
    E->SetEnabled(false);
    EXPECT_FALSE(UpEnabled());
    EXPECT_FALSE(DownEnabled());
    E->SetValue(3);
    EXPECT_FALSE(UpEnabled());
    EXPECT_FALSE(DownEnabled());
    E->SetValue(10);
    E->SetEnabled(true);
    EXPECT_FALSE(UpEnabled());
    EXPECT_TRUE(DownEnabled());
}

TEST_F(NumEdit, EditorDisabledSwallowsTyping)
{
    E->SetEditorEnabled(false);
    char key = '5';
    const int beeps = IcBeepCount();
    E->WidgetKeyPress(key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(IcBeepCount(), beeps + 1);
}

class TdlgNumber : public TForm {
public:
    explicit TdlgNumber(TComponent* Owner) : TForm(Owner)
    {
        eNumber = new TIcNumSpin(this);
        eNumber->SetName("eNumber");
        eNumber->SetParent(this);
        eNumber->SetFormatStr("#0.0");
        eNumber->SetBounds(10, 10, 80, 24);
        SetClientWidth(200);
        SetClientHeight(60);
        btnOK = new TButton(this);
        btnOK->SetName("btnOK");
        btnOK->SetParent(this);
        btnOK->SetModalResult(mrOk);
        btnOK->SetBounds(110, 10, 75, 25);
        btnOK->SetCaption("OK");
        DoCreate();
    }
    bool Execute(double& Number)
    {
        eNumber->SetValue(Number);
        const bool ok = ShowModal() == mrOk;
        if (ok) {
            IcCommitNumEdits(this);
            Number = eNumber->Value();
        }
        return ok;
    }
    TIcNumSpin* eNumber;
    TButton* btnOK;
};

TEST(NumSpinInDialog, ValueTypedBeforeOkIsKept)
{
    EnsureApplication();
    TdlgNumber dlg(nullptr);
    auto old = SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
        if (R.Kind != TDialogKind::ModalForm)
            return false;
        dlg.eNumber->SetText(std::string("42.5"));   // typed, no Enter
        std::unique_ptr<TBitmap> shot(dlg.GetFormImage());
        shot->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/widgets_numspin_typing.png");
        A.ModalResult = mrOk;
        return true;
    });
    double n = 1;
    EXPECT_TRUE(dlg.Execute(n));
    SetDialogAnswerer(old);
    EXPECT_EQ(n, 42.5);
}

}  // namespace

namespace {

TEST(NumEditColour, WithParentColorTheParentsNewColourIsTheNormalBackground)
{
    EnsureApplication();
    TPanel panel(nullptr);
    panel.SetColor(clCream);
    auto* e = new TIcNumSpin(&panel);
    e->SetParent(&panel);
    e->SetParentColor(true);
    EXPECT_EQ(e->ColorDefault(), clCream);
    panel.SetColor(clYellow);
    EXPECT_EQ(e->ColorDefault(), clYellow);
    EXPECT_EQ(e->Color(), clYellow);
    // Editing shows its own colour; the commit brings the parent's back.
    e->SetText(std::string("5"));
    EXPECT_EQ(e->Color(), clLime);
    char enter = '\r';
    e->WidgetKeyPress(enter);
    EXPECT_EQ(e->Color(), clYellow);
    // The state's colour is the edit's own now: the parent no longer leads.
    EXPECT_FALSE(e->ParentColor());
    panel.SetColor(clAqua);
    EXPECT_EQ(e->ColorDefault(), clYellow);
    EXPECT_EQ(e->Color(), clYellow);
}

// The 65-pixel spin edit of the dialogs holding eleven digits: the text
// scrolls so that its end (where the caret is) stands just left of the
// buttons, and nothing of it lies under them.
TEST(NumSpinLook, TheTextEndsLeftOfTheButtons)
{
    EnsureApplication();
    TForm form(nullptr);
    form.SetClientWidth(100);
    form.SetClientHeight(40);
    auto* e = new TIcNumSpin(&form);
    e->SetParent(&form);
    const int left = 10;
    const int top = 8;
    e->SetBounds(left, top, 65, e->Height());
    e->SetValue(88888888888.0);
    ASSERT_EQ(e->Text(), "88888888888");
    std::unique_ptr<TBitmap> shown(form.GetFormImage());
    shown->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/widgets_numspin_long_text.png");

    // What lies under the buttons shows with them out of the way.
    e->Button()->SetVisible(false);
    std::unique_ptr<TBitmap> under(form.GetFormImage());
    TCanvas* c = under->Canvas();
    auto isText = [&](int X, int Y) {
        const TColor p = c->Pixels(left + X, top + Y);
        return GetRValue(p) + GetGValue(p) + GetBValue(p) < 3 * 100;
    };
    const int buttonLeft = e->Button()->Left();
    int lastTextColumn = -1;
    for (int x = 2; x < e->Width() - 2; ++x)
        for (int y = 2; y < e->Height() - 2; ++y)
            if (isText(x, y))
                lastTextColumn = x;
    EXPECT_LT(lastTextColumn, buttonLeft) << "text under the buttons";
    EXPECT_GE(lastTextColumn, buttonLeft - 4) << "the end of the text is scrolled out of sight";
}

}  // namespace
