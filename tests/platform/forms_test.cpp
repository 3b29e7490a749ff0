// Forms: a main window with a menu, actions and a modal dialog driven by
// name, the modal loop, closing, and a form rendered to a PNG.
#include "platform/Application.h"
#include "platform/ActnList.h"
#include "platform/private/ControlsQt.h"
#include "platform/DialogHook.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "tests/support/Components.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenuBar>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace {

// A dialog that edits one value, built as the program builds its forms.
class TdlgValue : public TForm {
public:
    explicit TdlgValue(TComponent* Owner) : TForm(Owner)
    {
        SetName("dlgValue");
        SetCaption("Value Entry");
        SetBorderStyle(bsDialog);
        SetPosition(poScreenCenter);
        SetClientWidth(220);
        SetClientHeight(90);
        eValue = new TEdit(this);
        eValue->SetName("eValue");
        eValue->SetParent(this);
        eValue->SetBounds(8, 8, 200, 21);
        btnOK = new TButton(this);
        btnOK->SetName("btnOK");
        btnOK->SetCaption("OK");
        btnOK->SetDefault(true);
        btnOK->SetModalResult(mrOk);
        btnOK->SetParent(this);
        btnCancel = new TButton(this);
        btnCancel->SetName("btnCancel");
        btnCancel->SetCaption("Cancel");
        btnCancel->SetCancel(true);
        btnCancel->SetModalResult(mrCancel);
        btnCancel->SetParent(this);
        btnAdvanced = new TButton(this);
        btnAdvanced->SetName("btnAdvanced");
        btnAdvanced->SetCaption("Advanced");
        btnAdvanced->SetModalResult(5);
        btnAdvanced->SetParent(this);
        OnShow = [this](TObject*) { eValue->SetText(FValue); };
        DoCreate();
    }
    // Runs the dialog; true and the new value on OK.
    bool Execute(std::string& Value)
    {
        FValue = Value;
        LastResult = ShowModal();
        if (LastResult == mrOk)
            Value = eValue->Text();
        return LastResult == mrOk;
    }
    TEdit* eValue;
    TButton* btnOK;
    TButton* btnCancel;
    TButton* btnAdvanced;
    int LastResult = 0;

private:
    std::string FValue;
};

class TfrmMain : public TForm {
public:
    explicit TfrmMain(TComponent* Owner) : TForm(Owner)
    {
        SetName("frmMain");
        SetCaption("Main");
        SetBounds(10, 10, 400, 300);
        MainMenu1 = new TMainMenu(this);
        ActionList1 = new TActionList(this);
        actnSettings = new TAction(this);
        actnSettings->SetName("actnSettings");
        actnSettings->SetCaption("&Settings...");
        actnSettings->SetShortCut(ShortCut('G', {ssCtrl}));
        actnSettings->SetActionList(ActionList1);
        actnSettings->OnExecute = [this](TObject*) { dlgValue->Execute(Value); };
        actnSaveFile = new TAction(this);
        actnSaveFile->SetName("actnSaveFile");
        actnSaveFile->SetCaption("&Save");
        actnSaveFile->SetShortCut(ShortCut('S', {ssCtrl}));
        actnSaveFile->SetActionList(ActionList1);
        actnSaveFile->OnExecute = [this](TObject*) { ++Saves; };
        mnuFile = new TMenuItem(this);
        mnuFile->SetName("mnuFile");
        mnuFile->SetCaption("&File");
        MainMenu1->Items()->Add(mnuFile);
        mnuSettings = new TMenuItem(this);
        mnuSettings->SetName("mnuSettings");
        mnuSettings->SetAction(actnSettings);
        mnuFile->Add(mnuSettings);
        Exit1 = new TMenuItem(this);
        Exit1->SetName("Exit1");
        Exit1->SetCaption("E&xit");
        Exit1->OnClick = [this](TObject*) { Close(); };
        mnuFile->Add(Exit1);
        dlgValue = new TdlgValue(this);
        DoCreate();
    }
    TMainMenu* MainMenu1;
    TActionList* ActionList1;
    TAction* actnSettings;
    TAction* actnSaveFile;
    TMenuItem* mnuFile;
    TMenuItem* mnuSettings;
    TMenuItem* Exit1;
    TdlgValue* dlgValue;
    std::string Value = "7";
    int Saves = 0;
};

void SendKey(QWidget* Target, int Key, Qt::KeyboardModifiers Modifiers, const QString& Text = QString())
{
    QKeyEvent e(QEvent::KeyPress, Key, Modifiers, Text);
    QApplication::sendEvent(Target, &e);
}

class Forms : public ::testing::Test {
protected:
    void SetUp() override { ClearAnsweredDialogs(); }
    void TearDown() override
    {
        SetDialogAnswerer(nullptr);
        ClearAnsweredDialogs();
    }
};

TEST_F(Forms, MenuActionAndModalDialogAreDrivenByName)
{
    TfrmMain main(nullptr);
    main.Show();
    // The answerer types into the dialog and presses its OK button.
    SetDialogAnswerer([](const TDialogRequest& R, TDialogAnswer&) {
        if (R.Kind != TDialogKind::ModalForm || R.Name != "dlgValue")
            return false;
        auto* form = dynamic_cast<TForm*>(R.Dialog);
        EXPECT_TRUE(form->Visible());
        EXPECT_EQ(Find<TEdit>(form, "eValue")->Text(), "7") << "OnShow ran before the answerer";
        Find<TEdit>(form, "eValue")->SetText("42");
        Find<TButton>(form, "btnOK")->Click();
        return true;
    });
    // The menu bar sits on the form and holds the File menu.
    ASSERT_EQ(main.Menu(), main.MainMenu1);
    EXPECT_EQ(main.MainMenu1->MenuBar()->parentWidget(), main.Handle());
    EXPECT_TRUE(main.MainMenu1->MenuBar()->actions().contains(main.mnuFile->Handle()));
    TMenuItem* item = Find<TMenuItem>(&main, "mnuSettings");
    EXPECT_EQ(item->Caption(), "&Settings...") << "the item shows its action";
    EXPECT_EQ(item->ShortCut(), ShortCut('G', {ssCtrl}));
    item->Click();
    EXPECT_EQ(main.Value, "42");
    EXPECT_EQ(main.dlgValue->LastResult, mrOk);
    EXPECT_FALSE(main.dlgValue->Visible());
    ASSERT_EQ(AnsweredDialogs().size(), 1u);
    EXPECT_EQ(AnsweredDialogs()[0].Kind, TDialogKind::ModalForm);
    EXPECT_EQ(AnsweredDialogs()[0].Caption, "Value Entry");
    EXPECT_EQ(AnsweredDialogs()[0].Dialog, main.dlgValue);

    // The menu's shortcut reaches the item; Cancel leaves the value.
    SetDialogAnswerer([](const TDialogRequest& R, TDialogAnswer& A) {
        Find<TEdit>(dynamic_cast<TComponent*>(R.Dialog), "eValue")->SetText("99");
        A.ModalResult = mrCancel;
        return true;
    });
    SendKey(main.Handle(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(AnsweredDialogs().size(), 2u);
    EXPECT_EQ(main.Value, "42");
    EXPECT_EQ(main.dlgValue->LastResult, mrCancel);

    // An action's shortcut works without a menu item; a disabled action
    // leaves the key alone.
    SendKey(main.Handle(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(main.Saves, 1);
    main.actnSaveFile->SetEnabled(false);
    SendKey(main.Handle(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(main.Saves, 1);
    SendKey(main.Handle(), Qt::Key_S, Qt::NoModifier, "s");
    EXPECT_EQ(main.Saves, 1);
}

TEST_F(Forms, ModalLoopEndsWithTheButtonsModalResult)
{
    TdlgValue dlg(nullptr);
    std::string value = "1";

    // No answerer: the real modal loop runs until a button sets ModalResult,
    // here the custom result 5 of the gas dialogs.
    QTimer::singleShot(0, [&] { static_cast<QAbstractButton*>(dlg.btnAdvanced->Handle())->click(); });
    EXPECT_FALSE(dlg.Execute(value));
    EXPECT_EQ(dlg.LastResult, 5);

    // Enter clicks the default button, Esc the cancel button.
    QTimer::singleShot(0, [&] {
        dlg.eValue->SetText("3");
        SendKey(dlg.eValue->Handle(), Qt::Key_Return, Qt::NoModifier, "\r");
    });
    EXPECT_TRUE(dlg.Execute(value));
    EXPECT_EQ(value, "3");
    QTimer::singleShot(0, [&] { SendKey(dlg.eValue->Handle(), Qt::Key_Escape, Qt::NoModifier, "\x1b"); });
    EXPECT_FALSE(dlg.Execute(value));
    EXPECT_EQ(dlg.LastResult, mrCancel);
    // Enter on a focused button clicks that one, not the default button.
    QTimer::singleShot(0, [&] { SendKey(dlg.btnAdvanced->Handle(), Qt::Key_Return, Qt::NoModifier, "\r"); });
    EXPECT_FALSE(dlg.Execute(value));
    EXPECT_EQ(dlg.LastResult, 5);

    // OnCloseQuery may keep the dialog up; the next result ends it.
    int queries = 0;
    dlg.OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++queries > 1; };
    QTimer::singleShot(0, [&] {
        dlg.btnOK->Click();
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(dlg.Visible());
            EXPECT_EQ(dlg.ModalResult(), mrNone);
            dlg.btnCancel->Click();
        });
    });
    EXPECT_FALSE(dlg.Execute(value));
    EXPECT_EQ(queries, 2);
    EXPECT_THROW({ dlg.Show(); dlg.ShowModal(); }, EInvalidOperation);
    dlg.Hide();
}

TEST_F(Forms, CloseHidesOrFreesAsOnCloseSays)
{
    TForm* form = new TForm(nullptr);
    std::string log;
    form->OnShow = [&](TObject*) { log += "show "; };
    form->OnHide = [&](TObject*) { log += "hide "; };
    form->OnCloseQuery = [&](TObject*, bool&) { log += "query "; };
    TCloseAction action = caHide;
    form->OnClose = [&](TObject*, TCloseAction& A) {
        log += "close ";
        A = action;
    };
    form->Show();
    form->Close();
    EXPECT_EQ(log, "show query close hide ");
    EXPECT_FALSE(form->Visible());

    action = caNone;
    form->Show();
    form->Close();
    EXPECT_TRUE(form->Visible());

    // caFree frees the form once the pending events are handled.
    action = caFree;
    QPointer<QWidget> handle(form->Handle());
    form->Close();
    EXPECT_FALSE(handle.isNull());
    QCoreApplication::processEvents();
    EXPECT_TRUE(handle.isNull());

    // The window's close button asks the form too.
    TForm other(nullptr);
    bool asked = false;
    other.OnCloseQuery = [&](TObject*, bool& CanClose) {
        asked = true;
        CanClose = false;
    };
    other.Show();
    other.Handle()->close();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(other.Visible());
}

TEST_F(Forms, ClientAreaIsBelowTheMenuBarAndCentringUsesTheScreen)
{
    TfrmMain main(nullptr);
    EXPECT_GT(main.Height() - main.ClientHeight(), 10) << "the menu bar takes room";
    EXPECT_EQ(main.ClientWidth(), main.Width());
    auto* panel = new TPanel(&main);
    panel->SetParent(&main);
    panel->SetAlign(alClient);
    EXPECT_EQ(panel->BoundsRect(), main.ClientRect());
    int resizes = 0;
    main.OnResize = [&](TObject*) { ++resizes; };
    main.SetClientHeight(200);
    EXPECT_EQ(main.ClientHeight(), 200);
    EXPECT_EQ(panel->Height(), 200);
    EXPECT_EQ(resizes, 1);
    main.SetBounds(main.Left() + 5, main.Top(), main.Width(), main.Height());
    EXPECT_EQ(resizes, 1) << "a move is no resize";

    TdlgValue dlg(nullptr);
    dlg.Show();
    // Within the window frame the window system may add.
    EXPECT_NEAR(dlg.Left(), (Screen->Width() - dlg.Width()) / 2, 4);
    EXPECT_NEAR(dlg.Top(), (Screen->Height() - dlg.Height()) / 2, 4);
    dlg.Hide();
}

TEST_F(Forms, SmallFormRendersToPng)
{
    TForm form(nullptr);
    form.SetName("frmSmall");
    form.SetBounds(0, 0, 160, 90);
    form.SetColor(clWhite);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clRed);
    panel->SetWidth(40);
    panel->SetAlign(alLeft);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetBounds(60, 10, 0, 0);
    label->SetCaption("Flow");
    form.Show();

    const std::string path = std::string(OZ_TEST_ARTIFACTS) + "/small_form.png";
    ASSERT_TRUE(form.Handle()->grab().save(QString::fromStdString(path)));
    QImage png(QString::fromStdString(path));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(160, 90));
    EXPECT_EQ(png.pixel(10, 45) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(png.pixel(150, 80) & 0xFFFFFFu, 0xFFFFFFu);
    // The label's text is drawn in dark pixels somewhere in its box.
    bool dark = false;
    for (int y = label->Top(); y < label->Top() + label->Height(); ++y)
        for (int x = label->Left(); x < label->Left() + label->Width(); ++x)
            dark = dark || qGray(png.pixel(x, y)) < 100;
    EXPECT_TRUE(dark);

    // The same through the class library's GetFormImage.
    std::unique_ptr<TBitmap> image(form.GetFormImage());
    EXPECT_EQ(image->Width(), 160);
    EXPECT_EQ(image->ScanLine(45)[10] & 0xFFFFFFu, 0xFF0000u);
}

}  // namespace

namespace {

// Swallows the resize events of one widget, as a window manager's mapping
// sometimes leaves a window at its new size without one.
class TSwallowResize : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* Event) override { return Event->type() == QEvent::Resize; }
};

}  // namespace

// A window that reached a new size without a resize event of that size (a
// maximized start under a window manager) takes the size once its state
// changes: the form, its aligned controls and OnResize follow.
TEST(Form, TakesTheWindowsSizeWhenItsStateChanges)
{
    TForm form(nullptr);
    form.SetBounds(10, 10, 300, 200);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetAlign(alClient);
    int resizes = 0;
    form.OnResize = [&](TObject*) { ++resizes; };
    form.Show();
    QApplication::processEvents();

    TSwallowResize swallow;
    form.Handle()->installEventFilter(&swallow);
    form.Handle()->resize(500, 400);
    form.Handle()->removeEventFilter(&swallow);
    EXPECT_EQ(form.Width(), 300);

    QWindowStateChangeEvent change(Qt::WindowNoState);
    QApplication::sendEvent(form.Handle(), &change);
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(form.Width(), 500);
    EXPECT_EQ(form.Height(), 400);
    EXPECT_EQ(panel->Width(), 500);
    EXPECT_GT(resizes, 0);
}

// The title-bar buttons change the window's state behind the form's back:
// the form reports the state the window is in, and a restored window stays
// normal when it is shown again.
TEST(Form, StateFollowsTheWindowsTitleBarButtons)
{
    TForm form(nullptr);
    form.SetBounds(10, 10, 300, 200);
    form.SetWindowState(wsMaximized);
    form.Show();
    QApplication::processEvents();
    ASSERT_EQ(form.WindowState(), wsMaximized);

    form.Handle()->setWindowState(Qt::WindowNoState);   // the restore button
    QApplication::processEvents();
    EXPECT_EQ(form.WindowState(), wsNormal);
    form.Hide();
    form.Show();
    QApplication::processEvents();
    EXPECT_EQ(form.WindowState(), wsNormal);
    EXPECT_FALSE(form.Handle()->windowState() & Qt::WindowMaximized);

    form.Handle()->setWindowState(Qt::WindowMaximized);   // the maximize button
    QApplication::processEvents();
    EXPECT_EQ(form.WindowState(), wsMaximized);
}
