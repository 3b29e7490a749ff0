#include "platform/ActnList.h"

#include "platform/Application.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>

#include <algorithm>

namespace {

std::vector<TActionList*>& actionLists()
{
    static std::vector<TActionList*> lists;
    return lists;
}

bool gUpdating = false;

// Idle time: the event loop is about to wait for the next event.
void hookIdle()
{
    // Hooked again when the Qt application was made again.
    static QPointer<QAbstractEventDispatcher> hooked;
    EnsureApplication();
    QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread());
    if (!d || d == hooked.data())
        return;
    hooked = d;
    QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, [] { UpdateActionsOfShownForms(); });
}

}  // namespace

void UpdateActionsOfShownForms()
{
    if (gUpdating)
        return;
    gUpdating = true;
    // A handler may free lists; work on a copy and check each one again.
    const std::vector<TActionList*> lists = actionLists();
    for (TActionList* l : lists) {
        auto& live = actionLists();
        if (std::find(live.begin(), live.end(), l) == live.end())
            continue;
        auto* form = dynamic_cast<TForm*>(l->Owner());
        if (form && !form->Showing())
            continue;
        InvokeGuarded([l] { l->UpdateActions(); });
    }
    gUpdating = false;
}

// ------------------------------------------------------------------ TBasicAction

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner)
{
}

TBasicAction::~TBasicAction()
{
    // Clients hear of it through their free notification.
}

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::RegisterClient(TComponent* Client, std::function<void(TBasicAction*)> Changed)
{
    UnregisterClient(Client);
    FClients.emplace_back(Client, std::move(Changed));
    FreeNotification(Client);
}

void TBasicAction::UnregisterClient(TComponent* Client)
{
    FClients.erase(std::remove_if(FClients.begin(), FClients.end(), [Client](const auto& c) { return c.first == Client; }),
                   FClients.end());
}

void TBasicAction::Change()
{
    // A client may unregister while it is told; work on a copy.
    const auto clients = FClients;
    for (const auto& c : clients) {
        const bool still = std::any_of(FClients.begin(), FClients.end(), [&](const auto& x) { return x.first == c.first; });
        if (still)
            c.second(this);
    }
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove)
        UnregisterClient(AComponent);
}

void LinkAction(TComponent* Client, TBasicAction*& Field, TBasicAction* Value,
                const std::function<void(TBasicAction*)>& Changed)
{
    if (Field == Value)
        return;
    if (Field)
        Field->UnregisterClient(Client);
    Field = Value;
    if (Value) {
        Value->RegisterClient(Client, Changed);
        Changed(Value);
    }
}

// ------------------------------------------------------------------ TContainedAction

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner)
{
    // Created on an action list (owner), it belongs to it.
    if (auto* list = dynamic_cast<TActionList*>(AOwner))
        SetActionList(list);
}

TContainedAction::~TContainedAction()
{
    SetActionList(nullptr);
}

void TContainedAction::SetActionList(TActionList* Value)
{
    if (FActionList == Value)
        return;
    if (FActionList)
        FActionList->RemoveAction(this);
    FActionList = Value;
    if (FActionList) {
        FActionList->AddAction(this);
        FreeNotification(FActionList);
    }
}

int TContainedAction::Index() const
{
    if (!FActionList)
        return -1;
    const auto& v = FActionList->FActions;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

bool TContainedAction::Execute()
{
    if (FActionList && FActionList->OnExecute) {
        bool handled = false;
        FActionList->OnExecute(this, handled);
        if (handled)
            return true;
    }
    return TBasicAction::Execute();
}

bool TContainedAction::Update()
{
    if (FActionList && FActionList->OnUpdate) {
        bool handled = false;
        FActionList->OnUpdate(this, handled);
        if (handled)
            return true;
    }
    return TBasicAction::Update();
}

// ------------------------------------------------------------------ TCustomAction

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner)
{
}

void TCustomAction::SetCaption(const std::string& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    if (Value && FGroupIndex > 0 && ActionList()) {
        for (int i = 0; i < ActionList()->ActionCount(); ++i) {
            auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
            if (other && other != this && other->FGroupIndex == FGroupIndex)
                other->SetChecked(false);
        }
    }
    Change();
}

void TCustomAction::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    Change();
}

void TCustomAction::SetHint(const std::string& Value)
{
    if (FHint == Value)
        return;
    FHint = Value;
    Change();
}

void TCustomAction::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Change();
}

void TCustomAction::SetShortCut(TShortCut Value)
{
    if (FShortCut == Value)
        return;
    FShortCut = Value;
    Change();
}

void TCustomAction::SetGroupIndex(int Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    Change();
}

bool TCustomAction::Execute()
{
    Update();
    if (!FEnabled)
        return false;
    if (FAutoCheck && (!FChecked || FGroupIndex == 0))
        SetChecked(!FChecked);
    return TContainedAction::Execute();
}

// ------------------------------------------------------------------ TActionList

TActionList::TActionList(TComponent* AOwner) : TComponent(AOwner)
{
    actionLists().push_back(this);
    hookIdle();
}

TActionList::~TActionList()
{
    auto& v = actionLists();
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    // Actions owned elsewhere stay, without a list.
    while (!FActions.empty())
        FActions.back()->SetActionList(nullptr);
}

void TActionList::AddAction(TContainedAction* Action)
{
    FActions.push_back(Action);
}

void TActionList::RemoveAction(TContainedAction* Action)
{
    FActions.erase(std::remove(FActions.begin(), FActions.end(), Action), FActions.end());
}

void TActionList::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    FImages = Value;
    if (FImages)
        FreeNotification(FImages);
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

bool TActionList::IsShortCut(TShortCut ShortCut)
{
    if (ShortCut == scNone)
        return false;
    const std::vector<TContainedAction*> actions = FActions;
    for (TContainedAction* a : actions) {
        auto* ca = dynamic_cast<TCustomAction*>(a);
        if (ca && ca->ShortCut() == ShortCut) {
            // Handled when it ran; a disabled action leaves the key to others.
            if (ca->Execute())
                return true;
            if (!ca->Enabled())
                continue;
            return true;
        }
    }
    return false;
}

void TActionList::UpdateActions()
{
    const std::vector<TContainedAction*> actions = FActions;
    for (TContainedAction* a : actions)
        if (std::find(FActions.begin(), FActions.end(), a) != FActions.end())
            a->Update();
}
