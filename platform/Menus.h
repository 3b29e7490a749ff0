// Main and popup menus, their items and keyboard shortcuts.
//
// An item's Caption marks its access key with '&' ("&File"); "-" makes a
// separator. Shortcuts are shown beside the caption and handled by the form
// (TForm::IsShortCut), so an action's shortcut works with or without a menu
// item.
//
// A form stores its menus with their items, each item inside the block of
// the menu or item it hangs in, and reads them back (the menu classes are
// registered); a control's PopupMenu refers to a popup menu of the form.
#pragma once

#include "platform/Classes.h"
#include "platform/Controls.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class TBasicAction;
class TMenu;

// Virtual key in the low byte, modifiers in the top bits.
using TShortCut = uint16_t;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(uint16_t Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, uint16_t& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+F5", "Del"; "" for scNone.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText; scNone for text it does not know.
TShortCut TextToShortCut(const std::string& Text);
// The caption without its '&' markers ("&&" stays one '&').
std::string StripHotkey(const std::string& Text);

class TMenuItem : public TComponent {
    OZ_CLASS(TMenuItem, TComponent);

public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // Published: Caption, Checked, Enabled, GroupIndex, Hint, ImageIndex,
    // RadioItem, ShortCut, Visible.
    static void Publish(TPublisher<TMenuItem>& P);
    // Its items (and nothing else) are stored inside its block; it is
    // stored in its parent's.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    bool HasParent() const override { return FParent != nullptr; }
    TComponent* GetChildOwner() override { return Owner(); }
    // An item read inside a menu's or an item's block hangs in it.
    void SetParentComponent(TComponent* Value) override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks its siblings of the same GroupIndex.
    void SetChecked(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    uint8_t GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(uint8_t Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    // Caption, checked, enabled, visible, shortcut and hint follow the
    // action; a click executes it.
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    int IndexOf(TMenuItem* Item) const;
    TMenuItem* Parent() const { return FParent; }
    // The menu this item belongs to, nullptr when it hangs nowhere.
    TMenu* GetParentMenu() const;
    // Adds Item as the last child; an item has one parent.
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes Item out without freeing it.
    void Remove(TMenuItem* Item);
    // Frees the child at Index / every child.
    void Delete(int Index);
    void Clear();
    // A child by caption, '&' ignored, case-insensitive.
    TMenuItem* Find(const std::string& ACaption) const;
    bool IsLine() const { return FCaption == "-"; }

    // Runs the action or OnClick when the item is enabled.
    virtual void Click();
    TNotifyEvent OnClick;

    // The Qt side (platform code only).
    QAction* Handle() const { return FHandle; }
    QMenu* SubMenu();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TMenu;
    friend class TPopupMenu;
    void ActionChange(TBasicAction* Sender);
    void UpdateHandle();
    void RebuildSubMenu();
    void ChildrenChanged();
    // The children's actions run their updates.
    void UpdateItems();

    std::string FCaption;
    bool FChecked = false;
    bool FRadioItem = false;
    uint8_t FGroupIndex = 0;
    bool FEnabled = true;
    bool FVisible = true;
    TShortCut FShortCut = 0;
    std::string FHint;
    int FImageIndex = -1;
    TBasicAction* FAction = nullptr;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;   // set on the root item only
    QAction* FHandle = nullptr;
    std::unique_ptr<QMenu> FSubMenu;
};

class TMenu : public TComponent {
    OZ_CLASS(TMenu, TComponent);

public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The invisible root; its children are the menu's entries.
    TMenuItem* Items() const { return FItems; }
    // Clicks the enabled, visible item with that shortcut; false when none.
    bool IsShortCut(TShortCut ShortCut);

    // Its entries (and nothing else) are stored inside its block; read, they
    // are owned by the menu's owner.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner() override { return Owner(); }

protected:
    friend class TMenuItem;
    // The top-level entries changed.
    virtual void ItemsChanged() {}

private:
    TMenuItem* FItems;
};

// The menu bar of a form (TForm::SetMenu; a main menu created on a form
// without one becomes its menu).
class TMainMenu : public TMenu {
    OZ_CLASS(TMainMenu, TMenu);

public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;
    QMenuBar* MenuBar() const;

protected:
    void ItemsChanged() override;

private:
    struct TData;
    std::unique_ptr<TData> FData;
};

// Where a popup menu stands against the point it opens at: its left edge
// (paLeft), its right edge (paRight) or its middle (paCenter) there.
// Scoped: the chart library has its own paCenter.
enum class TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
    OZ_CLASS(TPopupMenu, TMenu);

public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    // Published: Alignment, AutoPopup.
    static void Publish(TPublisher<TPopupMenu>& P);
    // Fires OnPopup, then opens the menu at screen point (X, Y), its top
    // there and its side as Alignment says, moved as far as it takes to
    // keep it whole on the screen; returns at once.
    virtual void Popup(int X, int Y);
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    // The control that opened the menu last (right click), or nullptr.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TNotifyEvent OnPopup;

    QMenu* Handle();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* FPopupComponent = nullptr;
    bool FAutoPopup = true;
    TPopupAlignment FAlignment = TPopupAlignment::paLeft;
};
