#include "platform/Classes.h"

#include "platform/Filer.h"
#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <cctype>

TClass TObject::StaticClass()
{
    static const TClassRef Ref = TClassRef::Make<TObject, void>("TObject");
    return &Ref;
}

TClass TObject::ClassType() const
{
    return StaticClass();
}

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
    FState << csDestroying;
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

void TComponent::SetDesigning(bool Value)
{
    if (Value)
        FState << csDesigning;
    else
        FState >> csDesigning;
    for (TComponent* C : FComponents)
        C->SetDesigning(Value);
}

void TComponent::SetSubComponent(bool Value)
{
    if (Value)
        FState << csSubComponent;
    else
        FState >> csSubComponent;
}

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent*)
{
    for (TComponent* C : FComponents)
        if (!C->FState.Contains(csSubComponent) && !C->StoredInParent())
            Proc(C);
}

TComponent* TComponent::GetChildOwner()
{
    return this;
}

void TComponent::ReadState(TReader* Reader)
{
    Reader->ReadData(this);
}

void TComponent::Loaded()
{
    FState >> csLoading;
}

void TComponent::Publish(TPublisher<TComponent>& P)
{
    P.Integer("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

// ================================================================ TStrings

namespace {
int compareNoCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x - y;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
}  // namespace

void TStrings::CheckIndex(int Index, int Limit) const
{
    if (Index < 0 || Index >= Limit)
        throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TStrings::Put(int Index, const std::string& S)
{
    TObject* o = GetObject(Index);
    const TUpdateGuard<TStrings> Batch(*this);
    Delete(Index);
    InsertObject(Index, S, o);
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::PutObject(int, TObject*)
{
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

int TStrings::Add(const std::string& S)
{
    const int i = Count();
    Insert(i, S);
    return i;
}

int TStrings::AddObject(const std::string& S, TObject* AObject)
{
    const int i = Add(S);
    if (i >= 0)
        PutObject(i, AObject);
    return i;
}

void TStrings::AddStrings(const TStrings* Strings)
{
    if (!Strings)
        return;
    // Copy first: Strings may be this list.
    std::vector<std::pair<std::string, TObject*>> items;
    for (int i = 0; i < Strings->Count(); ++i)
        items.emplace_back(Strings->Get(i), Strings->GetObject(i));
    BeginUpdate();
    for (const auto& [s, o] : items)
        AddObject(s, o);
    EndUpdate();
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        if (src == this)
            return;
        BeginUpdate();
        Clear();
        AddStrings(src);
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex, Count());
    CheckIndex(NewIndex, Count());
    BeginUpdate();
    const std::string s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
    EndUpdate();
}

void TStrings::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1, Count());
    CheckIndex(Index2, Count());
    BeginUpdate();
    const std::string s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
    EndUpdate();
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const
{
    return compareNoCase(S1, S2);
}

int TStrings::IndexOf(const std::string& S) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

std::string TStrings::Names(int Index) const
{
    const std::string s = Get(Index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int Index) const
{
    const std::string s = Get(Index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

int TStrings::IndexOfName(const std::string& Name) const
{
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
        const size_t eq = s.find('=');
        if (eq != std::string::npos && CompareStrings(s.substr(0, eq), Name) == 0)
            return i;
    }
    return -1;
}

std::string TStrings::Values(const std::string& Name) const
{
    const int i = IndexOfName(Name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value)
{
    const int i = IndexOfName(Name);
    if (Value.empty()) {
        if (i >= 0)
            Delete(i);
    } else if (i < 0) {
        Add(Name + '=' + Value);
    } else {
        Put(i, Name + '=' + Value);
    }
}

std::string TStrings::Text() const
{
    std::string t;
    for (int i = 0; i < Count(); ++i)
        t += Get(i) + '\n';
    return t;
}

void TStrings::SetText(const std::string& Value)
{
    const TUpdateGuard<TStrings> Batch(*this);
    Clear();
    size_t p = 0;
    while (p < Value.size()) {
        size_t e = p;
        while (e < Value.size() && Value[e] != '\n' && Value[e] != '\r')
            ++e;
        Add(Value.substr(p, e - p));
        if (e < Value.size() && Value[e] == '\r' && e + 1 < Value.size() && Value[e + 1] == '\n')
            ++e;
        p = e + 1;
    }
}

std::string TStrings::CommaText() const
{
    std::string t;
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
        if (i > 0)
            t += ',';
        const bool quote = s.empty() || s.find_first_of(" ,\"\t") != std::string::npos;
        if (!quote) {
            t += s;
            continue;
        }
        t += '"';
        for (char c : s) {
            if (c == '"')
                t += '"';
            t += c;
        }
        t += '"';
    }
    return t;
}

void TStrings::SetCommaText(const std::string& Value)
{
    BeginUpdate();
    Clear();
    size_t p = 0;
    const size_t n = Value.size();
    auto skipBlanks = [&] {
        while (p < n && static_cast<unsigned char>(Value[p]) <= ' ')
            ++p;
    };
    skipBlanks();
    while (p < n) {
        std::string item;
        if (Value[p] == '"') {
            ++p;
            while (p < n) {
                if (Value[p] == '"') {
                    if (p + 1 < n && Value[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += Value[p++];
            }
            while (p < n && Value[p] != ',' && static_cast<unsigned char>(Value[p]) > ' ')
                item += Value[p++];
        } else {
            while (p < n && Value[p] != ',' && static_cast<unsigned char>(Value[p]) > ' ')
                item += Value[p++];
        }
        Add(item);
        skipBlanks();
        if (p < n && Value[p] == ',') {
            ++p;
            skipBlanks();
            if (p >= n)
                Add(std::string());   // a trailing comma ends with an empty item
        }
    }
    EndUpdate();
}

void TStrings::LoadFromFile(const std::string& FileName)
{
    std::string data;
    if (!ReadWholeFile(FileName, data))
        throw EFileError("Cannot open file \"" + FileName + "\"");
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0)
        data.erase(0, 3);
    SetText(data);
}

void TStrings::SaveToFile(const std::string& FileName) const
{
    std::string error;
    if (!WriteFileAtomic(FileName, Text(), error, {}))
        throw EFileError("Cannot create file \"" + FileName + "\": " + error);
}

void TStrings::DefineProperties(TFiler* Filer)
{
    TPersistent::DefineProperties(Filer);
    Filer->DefineProperty(
        "Strings",
        [this](TReader* Reader) {
            BeginUpdate();
            TScopeExit Done([this] { EndUpdate(); });
            Clear();
            Reader->ReadListBegin();
            while (!Reader->EndOfList())
                Add(Reader->ReadString());
            Reader->ReadListEnd();
        },
        [this](TWriter* Writer) {
            Writer->WriteListBegin();
            for (int I = 0; I < Count(); ++I)
                Writer->WriteString(Get(I));
            Writer->WriteListEnd();
        },
        Count() > 0);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool)
{
}

// ============================================================= TStringList

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const
{
    if (FCaseSensitive)
        return S1 < S2 ? -1 : S1 > S2 ? 1 : 0;
    return compareNoCase(S1, S2);
}

std::string TStringList::Get(int Index) const
{
    CheckIndex(Index, Count());
    return FItems[static_cast<size_t>(Index)].S;
}

void TStringList::Put(int Index, const std::string& S)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(Index, Count());
    Changing();
    FItems[static_cast<size_t>(Index)].S = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index, Count());
    return FItems[static_cast<size_t>(Index)].Object;
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index, Count());
    Changing();
    FItems[static_cast<size_t>(Index)].Object = AObject;
    Changed();
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject)
{
    Changing();
    FItems.insert(FItems.begin() + Index, TItem{S, AObject});
    Changed();
}

void TStringList::Insert(int Index, const std::string& S)
{
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(Index, Count() + 1);
    InsertItem(Index, S, AObject);
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index, Count());
    Changing();
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    FItems.clear();
    Changed();
}

int TStringList::Add(const std::string& S)
{
    if (!FSorted) {
        InsertItem(Count(), S, nullptr);
        return Count() - 1;
    }
    int index = 0;
    if (Find(S, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            throw EStringListError("String list does not allow duplicates");
        // dupAccept: after the equal ones
        while (index < Count() && CompareStrings(FItems[static_cast<size_t>(index)].S, S) == 0)
            ++index;
    }
    InsertItem(index, S, nullptr);
    return index;
}

int TStringList::IndexOf(const std::string& S) const
{
    if (!FSorted)
        return TStrings::IndexOf(S);
    int index = 0;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const
{
    // First of the equal items, or where S would go.
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareStrings(FItems[static_cast<size_t>(mid)].S, S) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    Index = lo;
    return lo < Count() && CompareStrings(FItems[static_cast<size_t>(lo)].S, S) == 0;
}

void TStringList::Sort()
{
    Changing();
    std::stable_sort(FItems.begin(), FItems.end(), [this](const TItem& a, const TItem& b) {
        return CompareStrings(a.S, b.S) < 0;
    });
    Changed();
}

void TStringList::SetSorted(bool Value)
{
    if (Value == FSorted)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (Value == FCaseSensitive)
        return;
    FCaseSensitive = Value;
    if (FSorted)
        Sort();
}
