// Actions: one command with its caption, check mark, enabled and visible
// state, image and shortcut, shared by the menu items, tool buttons and
// buttons linked to it. OnUpdate runs whenever the application goes idle
// (for the action lists of shown forms) and before every Execute.
#pragma once

#include "platform/Classes.h"
#include "platform/Menus.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TActionList;
class TCustomImageList;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;

    // Runs OnExecute; true when something handled the action.
    virtual bool Execute();
    // Runs OnUpdate; true when something handled the update.
    virtual bool Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

    // Linked controls and menu items hear of every change of the action's
    // values through Changed, until they unregister or go.
    void RegisterClient(TComponent* Client, std::function<void(TBasicAction*)> Changed);
    void UnregisterClient(TComponent* Client);

protected:
    // Tells every client.
    void Change();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<std::pair<TComponent*, std::function<void(TBasicAction*)>>> FClients;
};

// Points Field, the action reference of Client, at Value: the old action
// forgets the client, the new one tells it of its changes (Changed runs at
// once with it). Field becomes nullptr by itself when the action goes.
void LinkAction(TComponent* Client, TBasicAction*& Field, TBasicAction* Value,
                const std::function<void(TBasicAction*)>& Changed);

class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(TComponent* AOwner);
    ~TContainedAction() override;

    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* Value);
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& Value) { FCategory = Value; }
    int Index() const;

    // The action list's OnExecute first, then the action's own.
    bool Execute() override;
    bool Update() override;

private:
    TActionList* FActionList = nullptr;
    std::string FCategory;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* AOwner);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return FChecked; }
    // Checking an action of a GroupIndex above 0 unchecks the others of its
    // list with the same GroupIndex.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // Execute toggles Checked (a grouped action only checks itself).
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }

    // Runs Update first; a disabled action does nothing and returns false.
    bool Execute() override;

private:
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    std::string FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = 0;
    int FGroupIndex = 0;
    bool FAutoCheck = false;
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* AOwner);
    ~TActionList() override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TContainedAction* Actions(int Index) const { return FActions.at(static_cast<size_t>(Index)); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // Executes the enabled action with that shortcut; false when none took it.
    bool IsShortCut(TShortCut ShortCut);
    // Runs the update of every action (what idle time does).
    void UpdateActions();

    // Hooks that see every action of the list first; set Handled to stop it.
    TActionEvent OnExecute;
    TActionEvent OnUpdate;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TContainedAction;
    void AddAction(TContainedAction* Action);
    void RemoveAction(TContainedAction* Action);

    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
};

// Runs the updates of the action lists whose form is shown (or that have no
// form); the event loop calls it whenever it goes idle.
void UpdateActionsOfShownForms();
