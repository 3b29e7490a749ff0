// The object model every other layer builds on: plain objects, persistent
// objects that copy their values with Assign, and components that own the
// components created on them and tell interested components when they go.
// Every class has a class reference (platform/TypInfo.h); components are
// stored in forms and read back by the form stream (platform/Filer.h).
#pragma once

#include "platform/TypInfo.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

class TFiler;
class TReader;

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The reference of TObject, and of this object's class: the nearest
    // class of it that declares one with OZ_CLASS.
    static TClass StaticClass();
    virtual TClass ClassType() const;
    const std::string& ClassName() const { return ClassType()->ClassName(); }
    bool InheritsFrom(TClass AClass) const { return ClassType()->InheritsFrom(AClass); }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// The general error the program raises and shows (Application->HandleException).
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised where the class library raises its conversion error (Assign between
// unrelated classes, bad numbers in StrToInt, ...).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Misuse of a string list: index out of range, duplicates refused, ...
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

class TPersistent : public TObject {
    OZ_CLASS(TPersistent, TObject);

public:
    // Copies the values of Source. Classes override it for the sources they
    // know and call the inherited version for the others, which raises.
    virtual void Assign(TPersistent* Source);
    // Values a form stores besides the published properties: overrides call
    // Filer->DefineProperty / DefineBinaryProperty for each (and the
    // inherited version).
    virtual void DefineProperties(TFiler* Filer) {}
};

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
    csLoading,        // being read from a form, until its Loaded
    csDestroying,     // its destructor runs
    csDesigning,      // open in a form designer
    csSubComponent,   // a part its owner makes and frees itself: not stored as a child
};

class TComponentState {
public:
    constexpr TComponentState() = default;
    constexpr TComponentState(std::initializer_list<TComponentStateItem> Items)
    {
        for (TComponentStateItem I : Items)
            FBits = static_cast<uint8_t>(FBits | Bit(I));
    }
    constexpr bool Contains(TComponentStateItem I) const { return (FBits & Bit(I)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    TComponentState& operator<<(TComponentStateItem I) { FBits = static_cast<uint8_t>(FBits | Bit(I)); return *this; }
    TComponentState& operator>>(TComponentStateItem I) { FBits = static_cast<uint8_t>(FBits & ~Bit(I)); return *this; }
    constexpr bool operator==(const TComponentState&) const = default;

private:
    static constexpr uint8_t Bit(TComponentStateItem I) { return static_cast<uint8_t>(1u << static_cast<unsigned>(I)); }
    uint8_t FBits = 0;
};

class TComponent;
using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
    OZ_CLASS(TComponent, TPersistent);

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
    // Points Field, a reference this component keeps to another one, at
    // Value and moves the free notification from the old target to the new
    // one; false when Field pointed at Value already.
    template <class T>
    bool ReplaceReference(T*& Field, T* Value)
    {
        if (Field == Value)
            return false;
        if (Field)
            Field->RemoveFreeNotification(this);
        Field = Value;
        if (Value)
            Value->FreeNotification(this);
        return true;
    }

    // True from the start of the destructor on.
    bool Destroying() const { return FState.Contains(csDestroying); }
    TComponentState ComponentState() const { return FState; }
    // csDesigning for this component and those it owns.
    void SetDesigning(bool Value);
    void SetSubComponent(bool Value);

    // Form stream (platform/Filer.h).
    // The components stored inside this one's block: by default those it
    // owns that are not sub-components and are not stored with a parent, in
    // order.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    // Stored inside the block of what it hangs in (a menu item in its menu
    // or parent item), not its owner's.
    virtual bool StoredInParent() const { return false; }
    // The owner the reader gives the components it creates inside this
    // one's block (this one; nil: the form's root).
    virtual TComponent* GetChildOwner();
    // Told the component whose block encloses this one, after the reader
    // created it and before its properties are read.
    virtual void SetParentComponent(TComponent* Value) {}
    // Reads the properties and children of this component from its block;
    // overrides call the inherited version (Reader->ReadData(this)).
    virtual void ReadState(TReader* Reader);
    // Runs once the whole form is read and its references resolved; ends
    // csLoading.
    virtual void Loaded();

    static void Publish(TPublisher<TComponent>& P);

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);

private:
    friend class TReader;

    TComponent* FOwner = nullptr;
    std::string FName;
    intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FState;
};

// ------------------------------------------------------------ string lists

// A list of strings, each with an object pointer riding along (not owned).
// Descendants store the strings (TStringList) or pass them to a control
// (combo box and list box items); they implement the abstract operations.
// Changes between BeginUpdate and EndUpdate are reported once, at the end.
class TStrings : public TPersistent {
    OZ_CLASS(TStrings, TPersistent);

public:
    virtual int Count() const = 0;
    virtual std::string Get(int Index) const = 0;
    virtual void Put(int Index, const std::string& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    // Appends (a sorted list puts it in its place); returns the index.
    virtual int Add(const std::string& S);
    int AddObject(const std::string& S, TObject* AObject);
    void AddStrings(const TStrings* Strings);
    void Assign(TPersistent* Source) override;
    void Move(int CurIndex, int NewIndex);
    void Exchange(int Index1, int Index2);

    std::string Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const std::string& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    // Without regard to case for plain lists; -1 when absent.
    virtual int IndexOf(const std::string& S) const;
    int IndexOfObject(const TObject* AObject) const;

    // Lines of the form Name=Value.
    std::string Names(int Index) const;
    std::string ValueFromIndex(int Index) const;
    int IndexOfName(const std::string& Name) const;
    std::string Values(const std::string& Name) const;
    // An empty Value removes the line.
    void SetValues(const std::string& Name, const std::string& Value);

    // Every line followed by a line break; SetText splits at CR LF, LF or CR
    // (a rich edit's lines read RTF instead).
    std::string Text() const;
    virtual void SetText(const std::string& Value);
    // Comma-separated, items with blanks, commas or quotes in double quotes.
    std::string CommaText() const;
    void SetCommaText(const std::string& Value);

    // Raise EFileError when the file cannot be read or written. SaveToFile
    // replaces an existing file atomically.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Forms store the lines as the list "Strings".
    void DefineProperties(TFiler* Filer) override;

protected:
    // Told when the first BeginUpdate starts and the last EndUpdate ends.
    virtual void SetUpdateState(bool Updating);
    // Compares two items as IndexOf does.
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
    void CheckIndex(int Index, int Limit) const;

private:
    int FUpdateCount = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
    OZ_CLASS(TStringList, TStrings);

public:
    TStringList() = default;

    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void InsertObject(int Index, const std::string& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    int Add(const std::string& S) override;
    int IndexOf(const std::string& S) const override;

    // Sorted lists keep their order on Add and find by binary search; Insert
    // and Put raise on them. Duplicates applies to sorted lists only.
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    // Sorted lists: true when S is present; Index is where it is or would go.
    bool Find(const std::string& S, int& Index) const;
    virtual void Sort();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const std::string& S1, const std::string& S2) const override;
    void Changing();
    void Changed();

private:
    struct TItem {
        std::string S;
        TObject* Object = nullptr;
    };
    void InsertItem(int Index, const std::string& S, TObject* AObject);

    std::vector<TItem> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};

// Reading or writing a file failed.
class EFileError : public Exception {
public:
    using Exception::Exception;
};
