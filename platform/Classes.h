// The object model every other layer builds on: plain objects, persistent
// objects that copy their values with Assign, and components that own the
// components created on them and tell interested components when they go.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Raised where the class library raises its conversion error (Assign between
// unrelated classes, bad numbers in StrToInt, ...).
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TPersistent : public TObject {
public:
    // Copies the values of Source. Classes override it for the sources they
    // know and call the inherited version for the others, which raises.
    virtual void Assign(TPersistent* Source);
};

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    virtual void SetName(const std::string& Value);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(static_cast<size_t>(Index)); }
    TComponent* FindComponent(const std::string& AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    // AComponent is told (Notification with opRemove) when this component is
    // destroyed, whoever owns either of them.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // True from the start of the destructor on.
    bool Destroying() const { return FDestroying; }

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);

private:
    TComponent* FOwner = nullptr;
    std::string FName;
    intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    bool FDestroying = false;
};
