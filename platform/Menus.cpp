#include "platform/Menus.h"

#include "platform/ActnList.h"
#include "platform/Application.h"
#include "platform/private/ControlsQt.h"
#include "platform/Forms.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <cctype>

// ------------------------------------------------------------------ shortcuts

TShortCut ShortCut(uint16_t Key, TShiftState Shift)
{
    TShortCut s = static_cast<TShortCut>(Key & 0xFF);
    if (Shift.Contains(ssShift))
        s |= scShift;
    if (Shift.Contains(ssCtrl))
        s |= scCtrl;
    if (Shift.Contains(ssAlt))
        s |= scAlt;
    return s;
}

void ShortCutToKey(TShortCut ShortCut, uint16_t& Key, TShiftState& Shift)
{
    Key = static_cast<uint16_t>(ShortCut & 0xFF);
    Shift = TShiftState();
    if (ShortCut & scShift)
        Shift << ssShift;
    if (ShortCut & scCtrl)
        Shift << ssCtrl;
    if (ShortCut & scAlt)
        Shift << ssAlt;
}

namespace {

struct TKeyName {
    uint16_t Key;
    const char* Name;
};

const TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"},      {VK_ESCAPE, "Esc"},   {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},     {VK_RIGHT, "Right"},  {VK_DOWN, "Down"},    {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
    {VK_ADD, "Num +"}, {VK_SUBTRACT, "Num -"},
};

std::string keyName(uint16_t Key)
{
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))
        return std::string(1, static_cast<char>(Key));
    if (Key >= VK_F1 && Key <= VK_F12)
        return "F" + std::to_string(Key - VK_F1 + 1);
    for (const TKeyName& k : KeyNames)
        if (k.Key == Key)
            return k.Name;
    return "";
}

bool startsWithNoCase(const std::string& S, const std::string& Prefix)
{
    if (S.size() < Prefix.size())
        return false;
    for (size_t i = 0; i < Prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(S[i])) != std::tolower(static_cast<unsigned char>(Prefix[i])))
            return false;
    return true;
}

}  // namespace

namespace {

void ApplyWindowFont(QMenu* Menu, const TMenu* Owner)
{
    // A drop-down menu is a window of its own; it takes the font of the
    // window whose menu it is, as the menu bar does.
    for (TComponent* c = Owner ? Owner->Owner() : nullptr; c; c = c->Owner())
        if (auto* control = dynamic_cast<TControl*>(c)) {
            if (control->Handle() && Menu->font() != control->Handle()->font())
                Menu->setFont(control->Handle()->font());
            return;
        }
}

}  // namespace

std::string ShortCutToText(TShortCut ShortCut)
{
    const std::string name = keyName(static_cast<uint16_t>(ShortCut & 0xFF));
    if (name.empty())
        return "";
    std::string s;
    if (ShortCut & scShift)
        s += "Shift+";
    if (ShortCut & scCtrl)
        s += "Ctrl+";
    if (ShortCut & scAlt)
        s += "Alt+";
    return s + name;
}

TShortCut TextToShortCut(const std::string& Text)
{
    std::string rest = Text;
    TShortCut mods = 0;
    for (;;) {
        if (startsWithNoCase(rest, "Shift+")) {
            mods |= scShift;
            rest = rest.substr(6);
        } else if (startsWithNoCase(rest, "Ctrl+")) {
            mods |= scCtrl;
            rest = rest.substr(5);
        } else if (startsWithNoCase(rest, "Alt+")) {
            mods |= scAlt;
            rest = rest.substr(4);
        } else {
            break;
        }
    }
    if (rest.empty())
        return scNone;
    for (uint16_t k = 1; k < 0x100; ++k) {
        const std::string n = keyName(k);
        if (!n.empty() && n.size() == rest.size() && startsWithNoCase(n, rest))
            return static_cast<TShortCut>(k | mods);
    }
    return scNone;
}

std::string StripHotkey(const std::string& Text)
{
    std::string s;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&') {
                s += '&';
                ++i;
            }
            continue;
        }
        s += Text[i];
    }
    return s;
}

// ------------------------------------------------------------------ TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner)
{
    EnsureApplication();
    FHandle = new QAction();
    QObject::connect(FHandle, &QAction::triggered, [this] {
        InvokeGuarded([this] { Click(); });
        // Qt flips a checkable entry by itself; the item's Checked decides.
        if (FHandle)
            FHandle->setChecked(FChecked);
    });
    UpdateHandle();
}

TMenuItem::~TMenuItem()
{
    SetAction(nullptr);
    Clear();
    if (FParent)
        FParent->Remove(this);
    FSubMenu.reset();
    delete FHandle;
    FHandle = nullptr;
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent*)
{
    for (TMenuItem* i : FItems)
        Proc(i);
}

void TMenuItem::SetParentComponent(TComponent* Value)
{
    if (auto* menu = dynamic_cast<TMenu*>(Value))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(Value))
        item->Add(this);
}

void TMenuItem::UpdateHandle()
{
    if (!FHandle)
        return;
    // A separator is a line: a text on it would be drawn as a heading.
    FHandle->setSeparator(IsLine());
    std::string text = IsLine() ? std::string() : FCaption;
    if (FShortCut != scNone && !IsLine())
        text += "\t" + ShortCutToText(FShortCut);
    FHandle->setText(QString::fromStdString(text));
    FHandle->setCheckable(FChecked || FRadioItem);
    FHandle->setChecked(FChecked);
    FHandle->setEnabled(FEnabled);
    FHandle->setVisible(FVisible);
    FHandle->setObjectName(QString::fromStdString(Name()));
}

void TMenuItem::SetCaption(const std::string& Value)
{
    FCaption = Value;
    UpdateHandle();
    if (FParent)
        FParent->ChildrenChanged();
}

void TMenuItem::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    if (Value && FRadioItem && FParent) {
        for (TMenuItem* s : FParent->FItems)
            if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex)
                s->SetChecked(false);
    }
    UpdateHandle();
}

void TMenuItem::SetRadioItem(bool Value)
{
    FRadioItem = Value;
    UpdateHandle();
}

void TMenuItem::SetGroupIndex(uint8_t Value)
{
    FGroupIndex = Value;
}

void TMenuItem::SetEnabled(bool Value)
{
    FEnabled = Value;
    UpdateHandle();
}

void TMenuItem::SetVisible(bool Value)
{
    FVisible = Value;
    UpdateHandle();
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    FShortCut = Value;
    UpdateHandle();
}

void TMenuItem::SetAction(TBasicAction* Value)
{
    LinkAction(this, FAction, Value, [this](TBasicAction* A) { ActionChange(A); });
}

void TMenuItem::ActionChange(TBasicAction* Sender)
{
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a)
        return;
    FCaption = a->Caption();
    FChecked = a->Checked();
    FEnabled = a->Enabled();
    FVisible = a->Visible();
    FShortCut = a->ShortCut();
    FHint = a->Hint();
    FImageIndex = a->ImageIndex();
    if (a->GroupIndex() > 0)
        FRadioItem = true;
    UpdateHandle();
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAction)
        FAction = nullptr;
}

int TMenuItem::IndexOf(TMenuItem* Item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* i = this;
    while (i->FParent)
        i = i->FParent;
    return i->FMenu;
}

void TMenuItem::Add(TMenuItem* Item)
{
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item || Item == this)
        return;
    if (Item->FParent)
        Item->FParent->Remove(Item);
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    ChildrenChanged();
}

void TMenuItem::Remove(TMenuItem* Item)
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    Item->FParent = nullptr;
    ChildrenChanged();
}

void TMenuItem::Delete(int Index)
{
    TMenuItem* item = FItems.at(static_cast<size_t>(Index));
    Remove(item);
    delete item;
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        Delete(Count() - 1);
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const
{
    const std::string want = StripHotkey(ACaption);
    for (TMenuItem* i : FItems) {
        const std::string c = StripHotkey(i->FCaption);
        if (c.size() == want.size() && startsWithNoCase(c, want))
            return i;
    }
    return nullptr;
}

QMenu* TMenuItem::SubMenu()
{
    if (!FSubMenu) {
        FSubMenu = std::make_unique<QMenu>();
        FSubMenu->setObjectName(QString::fromStdString(Name()));
        // Items of a submenu update from their actions as it opens (a popup
        // menu does it after its OnPopup); it opens in its window's font.
        if (!FMenu)
            QObject::connect(FSubMenu.get(), &QMenu::aboutToShow, [this] {
                InvokeGuarded([this] {
                    ApplyWindowFont(FSubMenu.get(), GetParentMenu());
                    UpdateItems();
                });
            });
    }
    return FSubMenu.get();
}

void TMenuItem::RebuildSubMenu()
{
    if (FItems.empty()) {
        if (FHandle)
            FHandle->setMenu(nullptr);
        if (FSubMenu)
            FSubMenu->clear();
        return;
    }
    QMenu* m = SubMenu();
    m->clear();
    for (TMenuItem* i : FItems)
        m->addAction(i->FHandle);
    if (FHandle && !FMenu)
        FHandle->setMenu(m);
}

void TMenuItem::ChildrenChanged()
{
    RebuildSubMenu();
    if (FMenu)
        FMenu->ItemsChanged();
}

void TMenuItem::UpdateItems()
{
    const std::vector<TMenuItem*> items = FItems;
    for (TMenuItem* i : items)
        if (i->FAction)
            i->FAction->Update();
}

void TMenuItem::Click()
{
    if (!FEnabled)
        return;
    if (FAction)
        FAction->Execute();
    else if (OnClick)
        OnClick(this);
}

// ------------------------------------------------------------------ TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner)
{
    FItems = new TMenuItem(nullptr);
    FItems->FMenu = this;
}

TMenu::~TMenu()
{
    // The items go with their menu, whoever owns them.
    FItems->FMenu = nullptr;
    delete FItems;
}

namespace {

bool clickShortCut(TMenuItem* Item, TShortCut ShortCut)
{
    for (int i = 0; i < Item->Count(); ++i) {
        TMenuItem* c = Item->Items(i);
        if (!c->Visible())
            continue;
        if (c->Action())
            c->Action()->Update();
        if (c->ShortCut() == ShortCut && c->Enabled() && !c->IsLine()) {
            c->Click();
            return true;
        }
        if (c->Enabled() && clickShortCut(c, ShortCut))
            return true;
    }
    return false;
}

}  // namespace

bool TMenu::IsShortCut(TShortCut ShortCut)
{
    return ShortCut != scNone && clickShortCut(FItems, ShortCut);
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent*)
{
    for (int i = 0; i < FItems->Count(); ++i)
        Proc(FItems->Items(i));
}

// ------------------------------------------------------------------ TMainMenu

struct TMainMenu::TData {
    QPointer<QMenuBar> Bar;
};

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner), FData(std::make_unique<TData>())
{
    FData->Bar = new QMenuBar();
    if (auto* form = dynamic_cast<TForm*>(AOwner); form && !form->Menu())
        form->SetMenu(this);
}

TMainMenu::~TMainMenu()
{
    if (auto* form = dynamic_cast<TForm*>(Owner()); form && form->Menu() == this)
        form->SetMenu(nullptr);
    delete FData->Bar.data();
}

QMenuBar* TMainMenu::MenuBar() const
{
    return FData->Bar.data();
}

void TMainMenu::ItemsChanged()
{
    QMenuBar* bar = MenuBar();
    if (!bar)
        return;
    bar->clear();
    for (int i = 0; i < Items()->Count(); ++i) {
        TMenuItem* top = Items()->Items(i);
        QAction* a = top->Handle();
        if (top->Count() > 0)
            a->setMenu(top->SubMenu());
        bar->addAction(a);
    }
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->Menu() == this)
        form->MenuChanged();
}

// ------------------------------------------------------------------ TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner)
{
    // However the menu opens (Popup, a tool button's arrow), OnPopup comes first.
    QObject::connect(Handle(), &QMenu::aboutToShow, [this] {
        InvokeGuarded([this] {
            ApplyWindowFont(Handle(), this);
            if (OnPopup)
                OnPopup(this);
            Items()->UpdateItems();
        });
    });
}

TPopupMenu::~TPopupMenu()
{
    SetPopupComponent(nullptr);
}

QMenu* TPopupMenu::Handle()
{
    return Items()->SubMenu();
}

void TPopupMenu::SetPopupComponent(TComponent* Value)
{
    if (FPopupComponent == Value)
        return;
    FPopupComponent = Value;
    if (FPopupComponent)
        FreeNotification(FPopupComponent);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
}

void TPopupMenu::Popup(int X, int Y)
{
    QMenu* Menu = Handle();
    ApplyWindowFont(Menu, this);
    Menu->popup(QPoint(X, Y));
    // The size is known once OnPopup has set the items up and the menu is
    // shown.
    if (!Menu->isVisible())
        return;
    QPoint At = Menu->pos();
    if (FAlignment != TPopupAlignment::paLeft)
        At.setX(X - (FAlignment == TPopupAlignment::paRight ? Menu->width() : Menu->width() / 2));
    // Wherever it is asked to stand, the whole menu stays on the screen's
    // available area.
    const QScreen* Screen = QGuiApplication::screenAt(QPoint(X, Y));
    if (!Screen)
        Screen = Menu->screen();
    if (Screen) {
        const QRect Area = Screen->availableGeometry();
        At.setX(std::clamp(At.x(), Area.left(), std::max(Area.left(), Area.right() + 1 - Menu->width())));
        At.setY(std::clamp(At.y(), Area.top(), std::max(Area.top(), Area.bottom() + 1 - Menu->height())));
    }
    if (At != Menu->pos())
        Menu->move(At);
}
