#include "platform/TypInfo.h"

#include "platform/Classes.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

bool SameName(std::string_view A, std::string_view B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
           });
}

std::string Key(std::string_view Name)
{
    std::string K(Name);
    for (char& C : K)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return K;
}

bool IsIdent(std::string_view S)
{
    if (S.empty() || !(std::isalpha(static_cast<unsigned char>(S[0])) || S[0] == '_'))
        return false;
    return std::all_of(S.begin(), S.end(),
                       [](char C) { return std::isalnum(static_cast<unsigned char>(C)) || C == '_'; });
}

// Words of the form text that cannot name a property.
bool IsReserved(std::string_view S)
{
    return SameName(S, "object") || SameName(S, "end") || SameName(S, "item");
}

std::map<std::string, TClass>& Registry()
{
    static std::map<std::string, TClass> R;
    return R;
}

}  // namespace

// ------------------------------------------------------------------ TClassRef

TClassRef::TClassRef(const char* Name, TClass Parent, TCreateFn Create, TPublishFn Publish)
    : FName(Name), FParent(Parent), FCreate(Create), FPublish(Publish)
{
}

TClassRef::~TClassRef() = default;

bool TClassRef::InheritsFrom(TClass AClass) const
{
    for (TClass C = this; C; C = C->FParent)
        if (C == AClass)
            return true;
    return false;
}

bool TClassRef::ClassNameIs(std::string_view Name) const
{
    return SameName(FName, Name);
}

TComponent* TClassRef::Create(TComponent* Owner) const
{
    if (!FCreate)
        throw Exception("Cannot create an instance of class " + FName);
    return FCreate(Owner);
}

const std::vector<const TPropInfo*>& TClassRef::Properties() const
{
    if (!FTable) {
        if (FBuilding)
            throw std::logic_error("The property table of " + FName + " uses itself");
        FBuilding = true;
        try {
            auto Table = std::make_unique<TPropTable>(this);
            if (FParent)
                Table->Inherit(FParent->Properties());
            if (FPublish)
                FPublish(*Table);
            FTable = std::move(Table);
        } catch (...) {
            FBuilding = false;
            throw;
        }
        FBuilding = false;
    }
    return FTable->All();
}

const TPropInfo* TClassRef::FindProperty(std::string_view Name) const
{
    Properties();
    return FTable->Find(Name);
}

// ------------------------------------------------------------------ registry

void RegisterClass(TClass AClass)
{
    if (!AClass)
        return;
    auto [It, Added] = Registry().emplace(Key(AClass->ClassName()), AClass);
    if (!Added && It->second != AClass)
        throw std::logic_error("A class named " + AClass->ClassName() + " is already registered");
}

void RegisterClasses(std::initializer_list<TClass> Classes)
{
    for (TClass C : Classes)
        RegisterClass(C);
}

void UnRegisterClass(TClass AClass)
{
    if (!AClass)
        return;
    auto It = Registry().find(Key(AClass->ClassName()));
    if (It != Registry().end() && It->second == AClass)
        Registry().erase(It);
}

TClass GetClass(std::string_view ClassName)
{
    auto It = Registry().find(Key(ClassName));
    return It == Registry().end() ? nullptr : It->second;
}

TClass FindClass(std::string_view ClassName)
{
    TClass C = GetClass(ClassName);
    if (!C)
        throw EClassNotFound("Class " + std::string(ClassName) + " not found");
    return C;
}

// ------------------------------------------------------------------ TIdentMap

TIdentMap TIdentMap::Names(std::initializer_list<const char*> Names)
{
    TIdentMap M;
    int64_t V = 0;
    for (const char* N : Names)
        M.FEntries.push_back({V++, N});
    return M;
}

const char* TIdentMap::ToIdent(int64_t Value) const
{
    for (const TIdentMapEntry& E : FEntries)
        if (E.Value == Value)
            return E.Name;
    return nullptr;
}

bool TIdentMap::ToValue(std::string_view Ident, int64_t& Value) const
{
    for (const TIdentMapEntry& E : FEntries)
        if (SameName(E.Name, Ident)) {
            Value = E.Value;
            return true;
        }
    return false;
}

const TIdentMap& BooleanIdentMap()
{
    static const TIdentMap M = TIdentMap::Names({"False", "True"});
    return M;
}

// ------------------------------------------------------------------ tables

bool TPropInfo::IsDefault(TObject* Instance) const
{
    if (FKind == tkComponent)
        return GetComponent(Instance) == nullptr;
    if (!FHasDefault || IsAlias())
        return false;
    if (FIsDefaultOf)
        return FIsDefaultOf(Instance);
    switch (FKind) {
    case tkInteger:
    case tkEnumeration:
    case tkSet:
        return GetOrd(Instance) == FDefaultOrd;
    case tkFloat:
        return GetFloat(Instance) == FDefaultFloat;
    case tkString:
        return GetString(Instance) == FDefaultString;
    case tkClass:
    case tkComponent:
        break;
    }
    return false;
}

const TPropInfo* TPropTable::Find(std::string_view Name) const
{
    for (const TPropInfo* P : FAll)
        if (SameName(P->Name(), Name))
            return P;
    return nullptr;
}

TPropInfo& TPropTable::Place(std::unique_ptr<TPropInfo> Info)
{
    TPropInfo* P = Info.get();
    for (const auto& Own : FOwn)
        if (SameName(Own->Name(), P->Name()))
            throw std::logic_error(FOwner->ClassName() + " publishes " + P->Name() + " twice");
    FOwn.push_back(std::move(Info));
    for (const TPropInfo*& Slot : FAll)
        if (SameName(Slot->Name(), P->Name())) {
            Slot = P;
            return *P;
        }
    FAll.push_back(P);
    return *P;
}

TPropInfo& TPropTable::Add(const std::string& Name, TTypeKind Kind)
{
    if (!IsIdent(Name) || IsReserved(Name))
        throw std::logic_error(FOwner->ClassName() + ": \"" + Name + "\" cannot name a property");
    auto Info = std::make_unique<TPropInfo>();
    Info->FName = Name;
    Info->FKind = Kind;
    return Place(std::move(Info));
}

TPropInfo& TPropTable::Redeclare(const std::string& Name)
{
    const TPropInfo* Old = Find(Name);
    bool Own = false;
    for (const auto& O : FOwn)
        Own = Own || O.get() == Old;
    if (!Old || Own || Old->IsAlias())
        throw std::logic_error(FOwner->ClassName() + " redeclares " + Name + ", which it does not inherit");
    return Place(std::make_unique<TPropInfo>(*Old));
}

const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Name)
{
    return Instance ? Instance->ClassType()->FindProperty(Name) : nullptr;
}

const TPropInfo* GetPropInfo(TClass AClass, std::string_view Name)
{
    return AClass ? AClass->FindProperty(Name) : nullptr;
}
