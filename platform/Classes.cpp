#include "platform/Classes.h"

#include <algorithm>
#include <cctype>

void TPersistent::Assign(TPersistent* Source)
{
    throw EConvertError("Cannot assign a " + std::string(Source ? "object" : "nil") +
                        " to this object");
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    FDestroying = true;
    // Tell everyone who asked, then forget them; a component being told may
    // remove itself from the list, so work on a copy.
    const auto notifies = FFreeNotifies;
    FFreeNotifies.clear();
    for (TComponent* c : notifies) {
        c->Notification(this, opRemove);
        auto& back = c->FFreeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
    }
    // Free what this component owns, newest first.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        FComponents.pop_back();
        c->FOwner = nullptr;
        delete c;
    }
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& Value)
{
    FName = Value;
}

TComponent* TComponent::FindComponent(const std::string& AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents) {
        const std::string& n = c->Name();
        if (n.size() == AName.size() &&
            std::equal(n.begin(), n.end(), AName.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return c;
    }
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it == FComponents.end())
        return;
    FComponents.erase(it);
    AComponent->FOwner = nullptr;
    Notification(AComponent, opRemove);
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    // Both directions, so that whichever goes first unhooks the other.
    if (std::find(AComponent->FFreeNotifies.begin(), AComponent->FFreeNotifies.end(), this) ==
        AComponent->FFreeNotifies.end())
        AComponent->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
    auto& back = AComponent->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Notification(TComponent*, TOperation)
{
}
