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
#include <QMenu>
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
    EXPECT_EQ(popup->Alignment(), paLeft);
    popup->Popup(400, 300);
    EXPECT_EQ(popup->Handle()->x(), 400);
    const int Width = popup->Handle()->width();
    popup->Handle()->hide();
    popup->SetAlignment(paRight);
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
