// Actions and menus: execution, updates at idle, linked controls and menu
// items, popup menus, tool buttons and shortcuts.
#include "platform/Application.h"
#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/private/ControlsQt.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Lets the event loop run and go idle for a moment.
void RunIdle(int Ms = 30)
{
    QEventLoop loop;
    QTimer::singleShot(Ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(Action, OnUpdateRunsAtIdleForShownFormsOnly)
{
    TForm form(nullptr);
    auto* list = new TActionList(&form);
    auto* action = new TAction(&form);
    action->SetActionList(list);
    action->SetCaption("&Close File");
    bool fileOpen = false;
    int updates = 0;
    action->OnUpdate = [&](TObject*) {
        ++updates;
        action->SetEnabled(fileOpen);
    };
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetAction(action);

    RunIdle();
    EXPECT_EQ(updates, 0) << "the form is not shown";
    form.Show();
    RunIdle();
    EXPECT_GT(updates, 0);
    EXPECT_FALSE(button->Enabled());
    fileOpen = true;
    RunIdle();
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(button->Caption(), "&Close File");
}

struct TExecuteCase {
    const char* Name;
    bool HasOnExecute;
    bool Enabled;
    bool ListHandles;
    bool Result;
    const char* Log;
};

TEST(Action, ExecuteUpdatesFirstAndReportsWhetherItWasHandled)
{
    const TExecuteCase cases[] = {
        {"plain", true, true, false, true, "update execute "},
        {"no handler", false, true, false, false, "update "},
        {"disabled", true, false, false, false, "update "},
        {"list takes it", true, true, true, true, "update list "},
    };
    for (const TExecuteCase& c : cases) {
        std::string log;
        TActionList list(nullptr);
        TAction action(nullptr);
        action.SetActionList(&list);
        action.OnUpdate = [&](TObject*) {
            log += "update ";
            action.SetEnabled(c.Enabled);
        };
        if (c.HasOnExecute)
            action.OnExecute = [&](TObject*) { log += "execute "; };
        list.OnExecute = [&](TBasicAction*, bool& Handled) {
            if (c.ListHandles) {
                log += "list ";
                Handled = true;
            }
        };
        EXPECT_EQ(action.Execute(), c.Result) << c.Name;
        EXPECT_EQ(log, c.Log) << c.Name;
    }
}

TEST(Action, LinkedMenuItemsAndControlsFollowAndOutliveEachOther)
{
    TForm form(nullptr);
    auto* list = new TActionList(&form);
    TAction* modes[3];
    const char* captions[3] = {"&Both", "&Waveform", "&None"};
    auto* menu = new TMainMenu(&form);
    auto* comm = new TMenuItem(&form);
    comm->SetCaption("&Communications");
    menu->Items()->Add(comm);
    for (int i = 0; i < 3; ++i) {
        modes[i] = new TAction(&form);
        modes[i]->SetActionList(list);
        modes[i]->SetCaption(captions[i]);
        modes[i]->SetGroupIndex(1);
        auto* item = new TMenuItem(&form);
        item->SetAction(modes[i]);
        comm->Add(item);
    }
    // Checked actions of one group exclude each other; the items show it.
    modes[1]->SetChecked(true);
    modes[2]->SetChecked(true);
    EXPECT_FALSE(modes[1]->Checked());
    EXPECT_FALSE(comm->Items(1)->Checked());
    EXPECT_TRUE(comm->Items(2)->Checked());
    EXPECT_TRUE(comm->Items(2)->Handle()->isChecked());
    EXPECT_EQ(comm->Items(0)->Handle()->text().toStdString(), "&Both");

    modes[0]->SetShortCut(ShortCut(VK_F5, {}));
    EXPECT_EQ(comm->Items(0)->Handle()->text().toStdString(), "&Both\tF5");
    modes[0]->SetVisible(false);
    EXPECT_FALSE(comm->Items(0)->Visible());
    EXPECT_FALSE(comm->Items(0)->Handle()->isVisible());

    // A freed action leaves its item without one; a freed item leaves the
    // action alone.
    TMenuItem* first = comm->Items(0);
    delete modes[0];
    EXPECT_EQ(first->Action(), nullptr);
    delete comm->Items(1);
    EXPECT_EQ(comm->Count(), 2);
    modes[1]->SetCaption("&Wave");   // tells no freed client
    EXPECT_EQ(comm->Items(1)->Caption(), "&None");
}

TEST(PopupMenu, OnPopupRunsBeforeTheItemsUpdateAndTagTellsThePlot)
{
    TForm form(nullptr);
    auto* popup = new TPopupMenu(&form);
    auto* action = new TAction(&form);
    std::vector<std::string> log;
    popup->OnPopup = [&](TObject*) { log.push_back("popup tag " + std::to_string(popup->Tag())); };
    action->OnUpdate = [&](TObject*) { log.push_back("update tag " + std::to_string(popup->Tag())); };
    auto* item = new TMenuItem(&form);
    item->SetAction(action);
    popup->Items()->Add(item);

    // A plot's menu button sets the Tag, then opens the menu.
    popup->SetTag(2);
    popup->Popup(100, 100);
    const std::vector<std::string> expected = {"popup tag 2", "update tag 2"};
    EXPECT_EQ(log, expected);
    popup->Handle()->hide();

    // A right click on a control opens its popup menu and names the control.
    auto* panel = new TCustomControl(&form);
    panel->SetParent(&form);
    panel->SetPopupMenu(popup);
    form.Show();
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), panel->Handle()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(panel->Handle(), &e);
    EXPECT_EQ(popup->PopupComponent(), panel);
    EXPECT_EQ(log.size(), 4u);
    popup->Handle()->hide();
}

// A right-aligned popup ends at the point, a left-aligned one starts there.
TEST(PopupMenu, AlignmentPlacesTheMenuAgainstThePoint)
{
    TForm form(nullptr);
    auto* popup = new TPopupMenu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("A rather long menu item");
    popup->Items()->Add(item);
    EXPECT_EQ(popup->Alignment(), TPopupAlignment::paLeft);
    popup->Popup(400, 300);
    EXPECT_EQ(popup->Handle()->x(), 400);
    const int Width = popup->Handle()->width();
    popup->Handle()->hide();
    popup->SetAlignment(TPopupAlignment::paRight);
    popup->Popup(400, 300);
    EXPECT_EQ(popup->Handle()->x() + popup->Handle()->width(), 400);
    EXPECT_EQ(popup->Handle()->width(), Width);
    popup->Handle()->hide();
}

TEST(MenuItem, RadioItemsOfAGroupExcludeEachOtherAndDisabledItemsDoNotClick)
{
    TMenuItem parent(nullptr);
    int clicks = 0;
    for (int i = 0; i < 3; ++i) {
        auto* item = new TMenuItem(&parent);
        item->SetRadioItem(true);
        item->SetGroupIndex(i < 2 ? 1 : 2);
        item->OnClick = [&](TObject*) { ++clicks; };
        parent.Add(item);
    }
    parent.Items(0)->SetChecked(true);
    parent.Items(2)->SetChecked(true);   // another group
    parent.Items(1)->SetChecked(true);
    EXPECT_FALSE(parent.Items(0)->Checked());
    EXPECT_TRUE(parent.Items(1)->Checked());
    EXPECT_TRUE(parent.Items(2)->Checked());
    parent.Items(0)->Handle()->trigger();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(parent.Items(0)->Checked()) << "Qt does not flip the check by itself";
    parent.Items(0)->SetEnabled(false);
    parent.Items(0)->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(parent.Find("item"), nullptr);
}

TEST(ToolBar, ButtonsRunTheirActionsAndOpenTheirDropDownMenus)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 200);
    auto* images = new TImageList(&form);
    TBitmap glyph(16, 16);
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(Rect(4, 4, 12, 12));
    images->AddMasked(&glyph, clWhite);
    auto* bar = new TToolBar(&form);
    bar->SetParent(&form);
    bar->SetImages(images);
    auto* zero = new TAction(&form);
    zero->SetImageIndex(0);
    int zeros = 0;
    zero->OnExecute = [&](TObject*) { ++zeros; };
    auto* popup = new TPopupMenu(&form);
    bool popped = false;
    popup->OnPopup = [&](TObject*) { popped = true; };

    auto* b1 = new TToolButton(&form);
    b1->SetParent(bar);
    auto* sep = new TToolButton(&form);
    sep->SetStyle(tbsSeparator);
    sep->SetParent(bar);
    auto* b2 = new TToolButton(&form);
    b2->SetParent(bar);
    b2->SetAction(zero);
    b2->SetStyle(tbsDropDown);
    b2->SetDropdownMenu(popup);

    EXPECT_EQ(bar->Align(), alTop);
    EXPECT_EQ(bar->Width(), 400);
    EXPECT_EQ(b1->Left(), 0);
    EXPECT_EQ(sep->Left(), 23);
    EXPECT_EQ(b2->Left(), 31);
    EXPECT_EQ(b2->ImageIndex(), 0);
    auto* qb = static_cast<QToolButton*>(b2->Handle());
    EXPECT_FALSE(qb->icon().isNull());
    EXPECT_EQ(qb->menu(), popup->Handle());
    qb->click();
    EXPECT_EQ(zeros, 1);
    // The arrow runs the menu until it closes.
    QTimer::singleShot(0, [&] { popup->Handle()->hide(); });
    qb->showMenu();
    EXPECT_TRUE(popped);
}

// A "-" item is a line without text, in menus and popups alike, and the
// drop-down menus open in the font of their window, as its menu bar does.
TEST(MenuItem, LinesAreSeparatorsAndMenusTakeTheWindowsFont)
{
    TForm form(nullptr);
    form.Font()->SetName("Liberation Serif");
    form.Font()->SetSize(14);
    auto* menu = new TMainMenu(&form);
    auto* file = new TMenuItem(&form);
    file->SetCaption("&File");
    menu->Items()->Add(file);
    auto* popup = new TPopupMenu(&form);
    for (TMenuItem* parent : {file, popup->Items()}) {
        for (const char* caption : {"&Open", "-", "E&xit"}) {
            auto* item = new TMenuItem(&form);
            item->SetCaption(caption);
            parent->Add(item);
        }
    }
    for (TMenuItem* parent : {file, popup->Items()}) {
        QAction* line = parent->Items(1)->Handle();
        EXPECT_TRUE(line->isSeparator());
        EXPECT_TRUE(line->text().isEmpty());
        EXPECT_FALSE(parent->Items(0)->Handle()->isSeparator());
    }
    // An item that stops being a line gets its text back.
    file->Items(1)->SetCaption("&Close");
    EXPECT_FALSE(file->Items(1)->Handle()->isSeparator());
    EXPECT_EQ(file->Items(1)->Handle()->text().toStdString(), "&Close");

    form.Show();
    const QFont windowFont = form.Handle()->font();
    EXPECT_EQ(menu->MenuBar()->font().family(), windowFont.family());
    QMenu* drop = file->SubMenu();
    QTimer::singleShot(0, [drop] { drop->hide(); });
    drop->exec(QPoint(10, 10));
    EXPECT_EQ(drop->font().family(), windowFont.family());
    EXPECT_EQ(drop->font().pointSize(), windowFont.pointSize());
    popup->Popup(50, 50);
    EXPECT_EQ(popup->Handle()->font().family(), windowFont.family());
    popup->Handle()->hide();
}

// A right-aligned popup ends at the point it opens at.
TEST(PopupMenu, RightAlignedEndsAtThePoint)
{
    TForm form(nullptr);
    auto* popup = new TPopupMenu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("Auto Re-scale");
    popup->Items()->Add(item);
    popup->SetAlignment(TPopupAlignment::paRight);
    popup->Popup(400, 300);
    const QRect r = popup->Handle()->geometry();
    EXPECT_NEAR(r.x() + r.width(), 400, 1);
    EXPECT_EQ(r.y(), 300);
    popup->Handle()->hide();
}

// However it is aligned, a popup opened near a screen edge stays whole on
// the screen's available area.
TEST(PopupMenu, StaysOnTheScreen)
{
    TForm form(nullptr);
    auto* popup = new TPopupMenu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("A rather long menu item");
    popup->Items()->Add(item);
    const QRect Area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        TPopupAlignment Alignment;
        QPoint At;
    };
    const Case Cases[] = {
        {TPopupAlignment::paRight, Area.topLeft() + QPoint(10, 10)},
        {TPopupAlignment::paCenter, Area.topLeft() + QPoint(5, 40)},
        {TPopupAlignment::paLeft, Area.topRight() + QPoint(-5, 40)},
        {TPopupAlignment::paLeft, Area.bottomRight() + QPoint(-5, -2)},
    };
    for (const Case& C : Cases) {
        popup->SetAlignment(C.Alignment);
        popup->Popup(C.At.x(), C.At.y());
        const QRect R = popup->Handle()->geometry();
        EXPECT_TRUE(Area.contains(R)) << static_cast<int>(C.Alignment) << " at " << C.At.x() << "," << C.At.y()
                                      << ": " << R.x() << "," << R.y() << " " << R.width() << "x" << R.height();
        popup->Handle()->hide();
    }
}

// A tool button of a disabled action is disabled and looks it (greyed text,
// not the font's colour); a separator draws a line; buttons that do not fit
// wait in the chevron's menu.
TEST(ToolBar, DisabledLooksDeadSeparatorsDrawAndOverflowGoesToTheChevron)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    auto* bar = new TToolBar(&form);
    bar->SetParent(&form);
    bar->SetShowCaptions(true);
    bar->SetButtonWidth(70);
    std::vector<TAction*> actions;
    std::vector<TToolButton*> buttons;
    int runs = 0;
    for (int i = 0; i < 6; ++i) {
        auto* a = new TAction(&form);
        a->SetCaption("Button " + std::to_string(i));
        a->OnExecute = [&](TObject*) { ++runs; };
        actions.push_back(a);
        if (i == 1) {
            auto* sep = new TToolButton(&form);
            sep->SetStyle(tbsSeparator);
            sep->SetParent(bar);
        }
        auto* b = new TToolButton(&form);
        b->SetParent(bar);
        b->SetAction(a);
        buttons.push_back(b);
    }
    form.Show();
    RunIdle();

    actions[0]->SetEnabled(false);
    auto* qb = static_cast<QToolButton*>(buttons[0]->Handle());
    EXPECT_FALSE(qb->isEnabled());
    EXPECT_NE(qb->palette().color(QPalette::Disabled, QPalette::ButtonText),
              qb->palette().color(QPalette::Active, QPalette::ButtonText));

    TToolButton* sep = bar->Buttons(1);
    const QImage line = sep->Handle()->grab().toImage();
    bool drawn = false;
    for (int y = 0; y < line.height() && !drawn; ++y)
        for (int x = 1; x < line.width() && !drawn; ++x)
            drawn = line.pixel(x, y) != line.pixel(0, y);
    EXPECT_TRUE(drawn) << "the separator shows a line";

    // 300 pixels hold three 70-pixel buttons and the separator beside the
    // chevron; the rest wait in its menu, which runs them.
    EXPECT_TRUE(bar->OverflowShown());
    EXPECT_FALSE(buttons[2]->InOverflow());
    EXPECT_TRUE(buttons[4]->InOverflow());
    EXPECT_FALSE(buttons[4]->Handle()->isVisible());
    QToolButton* chevron = bar->Handle()->findChild<QToolButton*>("ToolBarOverflow");
    ASSERT_NE(chevron, nullptr);
    EXPECT_LE(chevron->geometry().right(), bar->Width());
    QMenu* more = chevron->menu();
    QTimer::singleShot(0, [more] { more->hide(); });
    more->exec(QPoint(10, 10));
    ASSERT_FALSE(more->actions().isEmpty());
    QAction* last = more->actions().back();
    EXPECT_EQ(last->text().toStdString(), "Button 5");
    last->trigger();
    EXPECT_EQ(runs, 1);

    // Wide enough: no chevron, every button on the bar.
    form.SetBounds(0, 0, 900, 100);
    RunIdle();
    EXPECT_FALSE(bar->OverflowShown());
    EXPECT_FALSE(buttons[5]->InOverflow());
    EXPECT_TRUE(buttons[5]->Handle()->isVisible());
}

struct TShortCutCase {
    TShortCut ShortCut;
    const char* Text;
};

TEST(ShortCut, TextRoundTrip)
{
    const TShortCutCase cases[] = {
        {ShortCut('S', {ssCtrl}), "Ctrl+S"},
        {ShortCut(VK_F5, {ssShift}), "Shift+F5"},
        {ShortCut(VK_DELETE, {}), "Del"},
        {ShortCut('1', {ssCtrl, ssAlt}), "Ctrl+Alt+1"},
        {scNone, ""},
    };
    for (const TShortCutCase& c : cases) {
        EXPECT_EQ(ShortCutToText(c.ShortCut), c.Text);
        EXPECT_EQ(TextToShortCut(c.Text), c.ShortCut) << c.Text;
    }
    EXPECT_EQ(TextToShortCut("ctrl+s"), ShortCut('S', {ssCtrl}));
    EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), scNone);
    EXPECT_EQ(StripHotkey("&Save && Exit"), "Save & Exit");
}

}  // namespace
