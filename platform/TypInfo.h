// Class references and published-property tables.
//
// A class reference (TClass) describes one class: its name, its parent's
// reference, a virtual constructor Create(Owner) for component classes and the
// table of the properties the class publishes to the form stream
// (platform/Filer.h). A class declares its reference with one line at the
// start of its body:
//
//   class TGauge : public TGraphicControl {
//       OZ_CLASS(TGauge, TGraphicControl);
//   public:
//       explicit TGauge(TComponent* AOwner);
//       ...
//       static void Publish(TPublisher<TGauge>& P);   // optional: its property table
//   };
//
// Objects answer ClassType() (and ClassName()) virtually; a class that
// declares nothing answers with its nearest declaring ancestor. TObject gains
// one virtual function and no data, so value-like objects pay nothing.
//
// The property table is filled once, on first use, by the class's static
// Publish, usually defined in the class's .cpp:
//
//   void TGauge::Publish(TPublisher<TGauge>& P)
//   {
//       P.Integer("Progress", &TGauge::Progress, &TGauge::SetProgress).Default(0);
//       P.Enumeration("Kind", &TGauge::Kind, &TGauge::SetKind, GaugeKindNames()).Default(gkBar);
//       P.Object("Font", &TGauge::Font);
//       P.Alias("Value", "Progress");                 // older name: read, never written
//   }
//
// A class's table holds its ancestors' properties first, in their order, then
// its own; an own property of an inherited name takes the inherited one's
// place (Redeclare changes only its default or stored rule).
//
// The reader creates only classes put in the registry with RegisterClass.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

class TObject;
class TPersistent;
class TComponent;
class TClassRef;
class TPropTable;
class TPropInfo;
template <class T>
class TPublisher;

using TClass = const TClassRef*;

// The reference of one class; one static object per declaring class.
class TClassRef {
public:
    ~TClassRef();
    TClassRef(const TClassRef&) = delete;
    TClassRef& operator=(const TClassRef&) = delete;

    const std::string& ClassName() const { return FName; }
    // nullptr for TObject.
    TClass ClassParent() const { return FParent; }
    // True for this class and every class derived from AClass.
    bool InheritsFrom(TClass AClass) const;
    // This class's name, without regard to case.
    bool ClassNameIs(std::string_view Name) const;

    // A component class that is not abstract and can be made from an owner.
    bool CanCreate() const { return FCreate != nullptr; }
    // The virtual constructor: a new component of this class owned by Owner
    // (the caller owns it when Owner is nil). Exception when !CanCreate().
    TComponent* Create(TComponent* Owner) const;

    // The published properties: the ancestors' first, then this class's own.
    const std::vector<const TPropInfo*>& Properties() const;
    // By name without regard to case (older names included); nullptr when none.
    const TPropInfo* FindProperty(std::string_view Name) const;

    // Used by OZ_CLASS.
    template <class Self, class Parent>
    static TClassRef Make(const char* Name);

private:
    using TCreateFn = TComponent* (*)(TComponent* Owner);
    using TPublishFn = void (*)(TPropTable& Table);
    TClassRef(const char* Name, TClass Parent, TCreateFn Create, TPublishFn Publish);

    std::string FName;
    TClass FParent = nullptr;
    TCreateFn FCreate = nullptr;
    TPublishFn FPublish = nullptr;
    mutable std::unique_ptr<TPropTable> FTable;   // made on first use
    mutable bool FBuilding = false;
};

// First thing in the body of a class derived from TObject: declares the
// class's reference. Members after it are private until the next access label.
#define OZ_CLASS(Self, Parent)                                                 \
public:                                                                        \
    static TClass StaticClass()                                                \
    {                                                                          \
        static const TClassRef Ref = TClassRef::Make<Self, Parent>(#Self);     \
        return &Ref;                                                           \
    }                                                                          \
    TClass ClassType() const override                                          \
    {                                                                          \
        static_assert(std::is_same_v<std::remove_cvref_t<decltype(*this)>, Self>, \
                      "OZ_CLASS names another class");                         \
        return StaticClass();                                                  \
    }                                                                          \
                                                                               \
private:                                                                       \
    friend class ::TClassRef

// A class name that is not registered.
class EClassNotFound : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The registry the form reader creates classes from. Registering a class
// twice does nothing; another class of the same name (without regard to
// case) is refused with std::logic_error.
void RegisterClass(TClass AClass);
void RegisterClasses(std::initializer_list<TClass> Classes);
void UnRegisterClass(TClass AClass);
// nullptr when no class of that name is registered.
TClass GetClass(std::string_view ClassName);
// EClassNotFound when no class of that name is registered.
TClass FindClass(std::string_view ClassName);

// ---------------------------------------------------------------- identifiers

struct TIdentMapEntry {
    int64_t Value;
    const char* Name;
};

// Names of values: the identifiers of an enumeration (Names: 0, 1, 2...),
// the elements of a set (their bit numbers) or named integers (colours).
class TIdentMap {
public:
    TIdentMap(std::initializer_list<TIdentMapEntry> Entries) : FEntries(Entries) {}
    static TIdentMap Names(std::initializer_list<const char*> Names);

    // The first name given for Value; nullptr when it has none.
    const char* ToIdent(int64_t Value) const;
    // Without regard to case; false when Ident names nothing.
    bool ToValue(std::string_view Ident, int64_t& Value) const;
    const std::vector<TIdentMapEntry>& Entries() const { return FEntries; }

private:
    TIdentMap() = default;
    std::vector<TIdentMapEntry> FEntries;
};

// ------------------------------------------------------------------ properties

enum TTypeKind {
    tkInteger,       // integers of any width; Idents() may name some values
    tkEnumeration,   // named values (Boolean: False, True)
    tkSet,           // a set of named elements, as a bit mask
    tkFloat,
    tkString,        // UTF-8
    tkClass,         // an owned sub-object (TPersistent), read-only
    tkComponent,     // a reference to a component, stored by name
};

// One published property. The accessors take the instance as TObject*; it
// must be of the class that published the property (or derived from it).
class TPropInfo {
public:
    const std::string& Name() const { return FName; }
    TTypeKind Kind() const { return FKind; }
    // An older name: reading it sets the property at AliasOf (a dotted path
    // from the same object); it is never written.
    bool IsAlias() const { return !FAliasOf.empty(); }
    const std::string& AliasOf() const { return FAliasOf; }
    // Enumeration names, set elements, or named integers.
    const TIdentMap* Idents() const { return FIdents; }
    // tkInteger: the range the property's type holds.
    int64_t MinValue() const { return FMin; }
    int64_t MaxValue() const { return FMax; }
    bool HasDefault() const { return FHasDefault; }

    // The stored rule (true when the class gave none).
    bool IsStored(TObject* Instance) const { return !FStored || FStored(Instance); }
    // The value equals the default (false when there is none; a reference
    // defaults to nil).
    bool IsDefault(TObject* Instance) const;

    int64_t GetOrd(TObject* Instance) const { return FGetOrd(Instance); }   // integer, enumeration, set
    void SetOrd(TObject* Instance, int64_t Value) const { FSetOrd(Instance, Value); }
    double GetFloat(TObject* Instance) const { return FGetFloat(Instance); }
    void SetFloat(TObject* Instance, double Value) const { FSetFloat(Instance, Value); }
    std::string GetString(TObject* Instance) const { return FGetString(Instance); }
    void SetString(TObject* Instance, const std::string& Value) const { FSetString(Instance, Value); }
    TPersistent* GetObject(TObject* Instance) const { return FGetObject(Instance); }         // tkClass
    TComponent* GetComponent(TObject* Instance) const { return FGetComponent(Instance); }    // tkComponent
    // False (and nothing set) when Value is not of the property's class.
    bool SetComponent(TObject* Instance, TComponent* Value) const { return FSetComponent(Instance, Value); }

private:
    friend class TPropTable;
    template <class T>
    friend class TPublisher;
    template <class T>
    friend class TPropBuilder;

    std::string FName;
    TTypeKind FKind = tkInteger;
    std::string FAliasOf;
    const TIdentMap* FIdents = nullptr;
    int64_t FMin = std::numeric_limits<int64_t>::min();
    int64_t FMax = std::numeric_limits<int64_t>::max();
    unsigned FSetBits = 64;   // tkSet: bits the set type holds
    bool FHasDefault = false;
    int64_t FDefaultOrd = 0;
    double FDefaultFloat = 0;
    std::string FDefaultString;
    std::function<bool(TObject*)> FIsDefaultOf;   // a default the instance gives
    std::function<bool(TObject*)> FStored;
    std::function<int64_t(TObject*)> FGetOrd;
    std::function<void(TObject*, int64_t)> FSetOrd;
    std::function<double(TObject*)> FGetFloat;
    std::function<void(TObject*, double)> FSetFloat;
    std::function<std::string(TObject*)> FGetString;
    std::function<void(TObject*, const std::string&)> FSetString;
    std::function<TPersistent*(TObject*)> FGetObject;
    std::function<TComponent*(TObject*)> FGetComponent;
    std::function<bool(TObject*, TComponent*)> FSetComponent;
};

// The properties of one class with its ancestors'.
class TPropTable {
public:
    explicit TPropTable(TClass Owner) : FOwner(Owner) {}
    TClass Owner() const { return FOwner; }
    const std::vector<const TPropInfo*>& All() const { return FAll; }
    const TPropInfo* Find(std::string_view Name) const;

    // A new property of this class. Its name must be an identifier other
    // than "object", "end" and "item"; it replaces an inherited property of
    // that name in place; two of one class raise std::logic_error.
    TPropInfo& Add(const std::string& Name, TTypeKind Kind);
    // A copy of the inherited property Name, to change its default or
    // stored rule (std::logic_error when there is none).
    TPropInfo& Redeclare(const std::string& Name);
    void Inherit(const std::vector<const TPropInfo*>& Parent) { FAll = Parent; }

private:
    TPropInfo& Place(std::unique_ptr<TPropInfo> Info);

    TClass FOwner;
    std::vector<std::unique_ptr<TPropInfo>> FOwn;
    std::vector<const TPropInfo*> FAll;
};

// The published property Name of Instance's class (dotted paths are not
// followed); nullptr when there is none.
const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Name);
const TPropInfo* GetPropInfo(TClass AClass, std::string_view Name);

namespace typinfo_detail {
template <class V>
concept BitSet = requires(V S) {
    { S.Bits() } -> std::integral;
    { V::FromBits(S.Bits()) } -> std::same_as<V>;
};
template <class T, class G>
using GetResult = std::remove_cvref_t<std::invoke_result_t<G&, T&>>;
template <class T>
T& Self(TObject* Instance)
{
    return *static_cast<T*>(Instance);
}
}  // namespace typinfo_detail

// Sets the default and the stored rule of the property just published.
template <class T>
class TPropBuilder {
public:
    explicit TPropBuilder(TPropInfo& Info) : FInfo(Info) {}

    // A number, an enumeration value, a set, a text or a Boolean, as the
    // property's kind takes it (std::logic_error otherwise).
    template <class D>
    TPropBuilder& Default(const D& Value)
    {
        if constexpr (std::is_convertible_v<const D&, std::string_view>) {
            Check(FInfo.FKind == tkString);
            FInfo.FDefaultString = std::string(std::string_view(Value));
        } else if constexpr (std::is_floating_point_v<D>) {
            Check(FInfo.FKind == tkFloat);
            FInfo.FDefaultFloat = Value;
        } else if constexpr (std::is_integral_v<D> || std::is_enum_v<D>) {
            Check(FInfo.FKind == tkInteger || FInfo.FKind == tkEnumeration || FInfo.FKind == tkFloat);
            FInfo.FDefaultOrd = static_cast<int64_t>(Value);
            FInfo.FDefaultFloat = static_cast<double>(static_cast<int64_t>(Value));
        } else if constexpr (typinfo_detail::BitSet<D>) {
            Check(FInfo.FKind == tkSet);
            FInfo.FDefaultOrd = static_cast<int64_t>(Value.Bits());
        } else {
            static_assert(sizeof(D) == 0, "no default of this type");
        }
        FInfo.FHasDefault = true;
        FInfo.FIsDefaultOf = nullptr;
        return *this;
    }
    // A default each instance gives (a font's is what its owner built it
    // with): a const member function of T or a callable taking T&, returning
    // a value of the property's type.
    template <class F>
    TPropBuilder& DefaultOf(F Default)
    {
        using D = std::remove_cvref_t<std::invoke_result_t<F&, T&>>;
        if constexpr (std::is_convertible_v<const D&, std::string_view>) {
            Check(FInfo.FKind == tkString);
            FInfo.FIsDefaultOf = [Get = FInfo.FGetString, Default](TObject* O) {
                return Get(O) == std::string_view(std::invoke(Default, typinfo_detail::Self<T>(O)));
            };
        } else if constexpr (std::is_floating_point_v<D>) {
            Check(FInfo.FKind == tkFloat);
            FInfo.FIsDefaultOf = [Get = FInfo.FGetFloat, Default](TObject* O) {
                return Get(O) == static_cast<double>(std::invoke(Default, typinfo_detail::Self<T>(O)));
            };
        } else if constexpr (std::is_integral_v<D> || std::is_enum_v<D>) {
            Check(FInfo.FKind == tkInteger || FInfo.FKind == tkEnumeration);
            FInfo.FIsDefaultOf = [Get = FInfo.FGetOrd, Default](TObject* O) {
                return Get(O) == static_cast<int64_t>(std::invoke(Default, typinfo_detail::Self<T>(O)));
            };
        } else if constexpr (typinfo_detail::BitSet<D>) {
            Check(FInfo.FKind == tkSet);
            FInfo.FIsDefaultOf = [Get = FInfo.FGetOrd, Default](TObject* O) {
                return Get(O) == static_cast<int64_t>(std::invoke(Default, typinfo_detail::Self<T>(O)).Bits());
            };
        } else {
            static_assert(sizeof(D) == 0, "no default of this type");
        }
        FInfo.FHasDefault = true;
        return *this;
    }
    // No default: the value is always written (unless the stored rule says no).
    TPropBuilder& NoDefault()
    {
        FInfo.FHasDefault = false;
        FInfo.FIsDefaultOf = nullptr;
        return *this;
    }
    // Whether the property is written at all: a constant, a const member
    // function of T or a callable taking T&.
    TPropBuilder& Stored(bool Value)
    {
        FInfo.FStored = [Value](TObject*) { return Value; };
        return *this;
    }
    template <class F>
        requires(!std::is_same_v<F, bool>)
    TPropBuilder& Stored(F Rule)
    {
        FInfo.FStored = [Rule](TObject* O) { return static_cast<bool>(std::invoke(Rule, typinfo_detail::Self<T>(O))); };
        return *this;
    }
    // Names for some values of an integer property (colours, cursors).
    TPropBuilder& Idents(const TIdentMap& Map)
    {
        Check(FInfo.FKind == tkInteger);
        FInfo.FIdents = &Map;
        return *this;
    }

private:
    void Check(bool Ok) const
    {
        if (!Ok)
            throw std::logic_error("Property " + FInfo.FName + ": setting of another kind");
    }
    TPropInfo& FInfo;
};

// Fills the property table of T; handed to T::Publish. Getters are const or
// non-const member functions of T or callables taking T&; setters are
// member functions or callables taking T& and the value.
template <class T>
class TPublisher {
public:
    explicit TPublisher(TPropTable& Table) : FTable(Table) {}

    template <class G, class S>
    TPropBuilder<T> Integer(const char* Name, G Getter, S Setter)
    {
        using V = typinfo_detail::GetResult<T, G>;
        static_assert(std::is_integral_v<V> && !std::is_same_v<V, bool>, "Integer takes an integer property");
        TPropInfo& I = FTable.Add(Name, tkInteger);
        I.FMin = static_cast<int64_t>(std::numeric_limits<V>::min());
        if constexpr (std::is_unsigned_v<V> && sizeof(V) >= sizeof(int64_t))
            I.FMax = std::numeric_limits<int64_t>::max();
        else
            I.FMax = static_cast<int64_t>(std::numeric_limits<V>::max());
        Ordinal<V>(I, Getter, Setter);
        return TPropBuilder<T>(I);
    }

    template <class G, class S>
    TPropBuilder<T> Boolean(const char* Name, G Getter, S Setter)
    {
        using V = typinfo_detail::GetResult<T, G>;
        static_assert(std::is_same_v<V, bool>, "Boolean takes a bool property");
        TPropInfo& I = FTable.Add(Name, tkEnumeration);
        I.FIdents = &BooleanIdents();
        Ordinal<V>(I, Getter, Setter);
        return TPropBuilder<T>(I);
    }

    template <class G, class S>
    TPropBuilder<T> Enumeration(const char* Name, G Getter, S Setter, const TIdentMap& Names)
    {
        using V = typinfo_detail::GetResult<T, G>;
        static_assert(std::is_enum_v<V> || std::is_integral_v<V>, "Enumeration takes an enumerated property");
        TPropInfo& I = FTable.Add(Name, tkEnumeration);
        I.FIdents = &Names;
        Ordinal<V>(I, Getter, Setter);
        return TPropBuilder<T>(I);
    }

    // V has Bits() and V::FromBits(bits); Elements name the bit numbers.
    template <class G, class S>
    TPropBuilder<T> Set(const char* Name, G Getter, S Setter, const TIdentMap& Elements)
    {
        using V = typinfo_detail::GetResult<T, G>;
        static_assert(typinfo_detail::BitSet<V>, "Set takes a type with Bits() and FromBits()");
        using B = decltype(std::declval<V>().Bits());
        TPropInfo& I = FTable.Add(Name, tkSet);
        I.FIdents = &Elements;
        I.FSetBits = static_cast<unsigned>(sizeof(B) * 8);
        for (const TIdentMapEntry& E : Elements.Entries())
            if (E.Value < 0 || E.Value >= static_cast<int64_t>(I.FSetBits))
                throw std::logic_error("Property " + I.FName + ": set element out of range");
        I.FGetOrd = [Getter](TObject* O) {
            return static_cast<int64_t>(std::invoke(Getter, typinfo_detail::Self<T>(O)).Bits());
        };
        I.FSetOrd = [Setter](TObject* O, int64_t Value) {
            std::invoke(Setter, typinfo_detail::Self<T>(O), V::FromBits(static_cast<B>(Value)));
        };
        return TPropBuilder<T>(I);
    }

    template <class G, class S>
    TPropBuilder<T> Float(const char* Name, G Getter, S Setter)
    {
        using V = typinfo_detail::GetResult<T, G>;
        static_assert(std::is_floating_point_v<V>, "Float takes a floating-point property");
        TPropInfo& I = FTable.Add(Name, tkFloat);
        I.FGetFloat = [Getter](TObject* O) {
            return static_cast<double>(std::invoke(Getter, typinfo_detail::Self<T>(O)));
        };
        I.FSetFloat = [Setter](TObject* O, double Value) {
            std::invoke(Setter, typinfo_detail::Self<T>(O), static_cast<V>(Value));
        };
        return TPropBuilder<T>(I);
    }

    template <class G, class S>
    TPropBuilder<T> String(const char* Name, G Getter, S Setter)
    {
        using V = typinfo_detail::GetResult<T, G>;
        static_assert(std::is_same_v<V, std::string>, "String takes a std::string property");
        TPropInfo& I = FTable.Add(Name, tkString);
        I.FGetString = [Getter](TObject* O) { return std::string(std::invoke(Getter, typinfo_detail::Self<T>(O))); };
        I.FSetString = [Setter](TObject* O, const std::string& Value) {
            std::invoke(Setter, typinfo_detail::Self<T>(O), Value);
        };
        return TPropBuilder<T>(I);
    }

    // An owned sub-object (pen, font, collection...): its properties are
    // stored as dotted names, a collection's items in < >.
    template <class G>
    TPropBuilder<T> Object(const char* Name, G Getter)
    {
        using V = typinfo_detail::GetResult<T, G>;
        static_assert(std::is_pointer_v<V> && std::is_base_of_v<TPersistent, std::remove_pointer_t<V>>,
                      "Object takes a getter of a TPersistent pointer");
        TPropInfo& I = FTable.Add(Name, tkClass);
        I.FGetObject = [Getter](TObject* O) -> TPersistent* { return std::invoke(Getter, typinfo_detail::Self<T>(O)); };
        return TPropBuilder<T>(I);
    }

    // A reference to a component of the form (not owned), stored by name and
    // resolved when the whole form has been read. Defaults to nil.
    template <class G, class S>
    TPropBuilder<T> Component(const char* Name, G Getter, S Setter)
    {
        using V = typinfo_detail::GetResult<T, G>;
        static_assert(std::is_pointer_v<V> && std::is_base_of_v<TComponent, std::remove_pointer_t<V>>,
                      "Component takes a getter of a TComponent pointer");
        using C = std::remove_pointer_t<V>;
        TPropInfo& I = FTable.Add(Name, tkComponent);
        I.FGetComponent = [Getter](TObject* O) -> TComponent* { return std::invoke(Getter, typinfo_detail::Self<T>(O)); };
        I.FSetComponent = [Setter](TObject* O, TComponent* Value) {
            C* Typed = nullptr;
            if (Value) {
                Typed = dynamic_cast<C*>(Value);
                if (!Typed)
                    return false;
            }
            std::invoke(Setter, typinfo_detail::Self<T>(O), Typed);
            return true;
        };
        return TPropBuilder<T>(I);
    }

    // An older name of the property at Target (a dotted path from T): read,
    // never written.
    void Alias(const char* OldName, const char* Target)
    {
        TPropInfo& I = FTable.Add(OldName, tkInteger);
        I.FAliasOf = Target;
    }

    // An inherited property with another default or stored rule.
    TPropBuilder<T> Redeclare(const char* Name) { return TPropBuilder<T>(FTable.Redeclare(Name)); }

private:
    static const TIdentMap& BooleanIdents();

    template <class V, class G, class S>
    void Ordinal(TPropInfo& I, G Getter, S Setter)
    {
        I.FGetOrd = [Getter](TObject* O) {
            return static_cast<int64_t>(std::invoke(Getter, typinfo_detail::Self<T>(O)));
        };
        I.FSetOrd = [Setter](TObject* O, int64_t Value) {
            std::invoke(Setter, typinfo_detail::Self<T>(O), static_cast<V>(Value));
        };
    }

    TPropTable& FTable;
};

const TIdentMap& BooleanIdentMap();

template <class T>
const TIdentMap& TPublisher<T>::BooleanIdents()
{
    return BooleanIdentMap();
}

template <class Self, class Parent>
TClassRef TClassRef::Make(const char* Name)
{
    TClass ParentRef = nullptr;
    if constexpr (!std::is_void_v<Parent>) {
        static_assert(std::is_base_of_v<Parent, Self>, "OZ_CLASS: Parent is not a base of the class");
        ParentRef = Parent::StaticClass();
    }
    TCreateFn Create = nullptr;
    if constexpr (std::is_base_of_v<TComponent, Self> && !std::is_abstract_v<Self> &&
                  std::is_constructible_v<Self, TComponent*>)
        Create = [](TComponent* Owner) -> TComponent* { return new Self(Owner); };
    TPublishFn Publish = nullptr;
    if constexpr (requires(TPublisher<Self>& P) { Self::Publish(P); })
        Publish = [](TPropTable& Table) {
            TPublisher<Self> P(Table);
            Self::Publish(P);
        };
    return TClassRef(Name, ParentRef, Create, Publish);
}
