// Published properties: a small registration layer through which code reads and writes a
// property of any described object by name, or by a "."-path ("DataSet.CommandText": each
// part before the last names an object property to step into). The streaming system
// (Filer.h) uses the same descriptions. Classes are described in ClassRegistry.h.
//
//     void TPanelModel::RegisterProperties(TPropertyRegistrar<TPanelModel>& r) {
//         r.StringProp(u"Caption", &TPanelModel::Caption, &TPanelModel::SetCaption);
//         r.IntegerProp(u"Width", &TPanelModel::Width, &TPanelModel::SetWidth).Default(64);
//         r.EnumProp(u"Align", AlignInfo(), &TPanelModel::Align, &TPanelModel::SetAlign)
//             .Default(alNone);
//         r.ColorProp(u"Color", &TPanelModel::Color, &TPanelModel::SetColor)
//             .Stored(&TPanelModel::IsColorStored);
//         r.ObjectProp<TStrings>(u"Items", &TPanelModel::Items, &TPanelModel::SetItems);
//     }
//
// Getters are anything callable with `const T&`, setters anything callable with `T&` and
// the value (member function pointers included); a null setter makes the property
// read-only. Names compare without regard to case, as in the framework.
#pragma once

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Set.h"

#include <cassert>
#include <climits>
#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <vector>

namespace mv {

enum TTypeKind {
    tkUnknown,
    tkInteger,     // 32-bit integers and colours (TypeName "TColor")
    tkInt64,       // 64-bit integers
    tkEnumeration, // enumerations and Boolean, read and written as value names
    tkFloat,       // double
    tkUString,     // String
    tkSet,         // Set<E> of an enumeration
    tkClass        // object references, owned sub-objects, string lists, collections
};

// An enumeration's value names: Names[i] names the value i.
struct TEnumInfo {
    String TypeName;
    std::vector<String> Names;
};
// Made once per enumeration, typically in a function holding a local static.
std::shared_ptr<const TEnumInfo> MakeEnumInfo(StringView typeName, std::initializer_list<StringView> names);
// The Boolean type: False, True.
const std::shared_ptr<const TEnumInfo>& BooleanInfo();
// The name of value, or its number as text when it has no name.
String GetEnumName(const TEnumInfo& info, Int64 value);
// The value of name (any case), or -1.
Integer GetEnumValue(const TEnumInfo& info, StringView name);
// A set as "a,b" (with brackets: "[a,b]"); bits without a name are left out.
String SetToString(const TEnumInfo& info, UInt64 bits, bool brackets = false);
// Accepts "a, b" or "[a,b]" (blanks allowed); raises EPropertyError "Invalid property
// element: %s" for a name that is not a value of the enumeration.
UInt64 StringToSet(const TEnumInfo& info, StringView text);

// Identifiers for integer values of a named integer type, as colours have (clRed):
// the streaming system writes such values by name and reads either form.
struct TIdentMapEntry {
    Int64 Value;
    String Name;
};
// Adds to the map of typeName (entries registered earlier stay).
void RegisterIntegerConsts(StringView typeName, std::initializer_list<TIdentMapEntry> entries);
bool IdentToInt(StringView typeName, StringView ident, Int64& value);
bool IntToIdent(StringView typeName, Int64 value, String& ident);

// One published property. Instances passed to the accessors must be of OwnerClass (the
// by-name functions below guarantee it).
class TPropInfo {
public:
    // Ordinal properties without a default are always written by the streaming system.
    static constexpr Int64 kNoDefault = INT64_MIN;

    const String& Name() const { return FName; }
    TTypeKind Kind() const { return FKind; }
    // "Integer", "Int64", "Boolean", "Double", "String", "TColor", the enumeration's or
    // the declared class's name, or "set of <enumeration>".
    const String& TypeName() const { return FTypeName; }
    // The enumeration (tkEnumeration) or the set's element type (tkSet); null otherwise.
    const TEnumInfo* EnumInfo() const { return FEnumInfo.get(); }
    Int64 Default() const { return FDefault; }
    bool HasDefault() const { return FDefault != kNoDefault; }
    TClass OwnerClass() const { return FOwnerClass; }
    // tkClass: the declared class of the value (described on first call); null otherwise.
    TClass PropClass() const { return FPropClass ? FPropClass() : nullptr; }
    // CollectionProp: the declared item class (described on first call); null otherwise.
    TClass ItemClass() const { return FItemClass ? FItemClass() : nullptr; }
    bool IsWritable() const;
    // The stored predicate (Is...Stored); true when none was given.
    bool IsStored(const TObject* instance) const { return !FStored || FStored(instance); }

    // tkInteger, tkInt64, tkEnumeration (the value), tkSet (the bits).
    Int64 GetOrd(const TObject* instance) const;
    // Raises EPropertyError when read-only, for an integer out of the 32-bit range of
    // tkInteger and an enumeration value without a name.
    void SetOrd(TObject* instance, Int64 value) const;
    double GetFloat(const TObject* instance) const;
    void SetFloat(TObject* instance, double value) const;
    String GetStr(const TObject* instance) const;
    void SetStr(TObject* instance, StringView value) const;
    TObject* GetObject(const TObject* instance) const;
    // Raises EPropertyError for a value that is not of PropClass (null is allowed).
    void SetObject(TObject* instance, TObject* value) const;
    // Whether value is of the declared class (tkClass).
    bool AcceptsObject(const TObject* value) const {
        return !value || (FAcceptsObject && FAcceptsObject(value));
    }

private:
    template <typename T> friend class TPropertyRegistrar;
    template <typename T> friend class TPropBuilder;
    [[noreturn]] void KindError(StringView wanted) const;
    [[noreturn]] void ReadOnlyError() const;

    String FName;
    TTypeKind FKind = tkUnknown;
    String FTypeName;
    std::shared_ptr<const TEnumInfo> FEnumInfo;
    Int64 FDefault = kNoDefault;
    TClass FOwnerClass = nullptr;
    TClass (*FPropClass)() = nullptr;
    TClass (*FItemClass)() = nullptr;
    bool (*FAcceptsObject)(const TObject*) = nullptr;
    std::function<bool(const TObject*)> FStored;
    std::function<Int64(const TObject*)> FGetOrd;
    std::function<void(TObject*, Int64)> FSetOrd;
    std::function<double(const TObject*)> FGetFloat;
    std::function<void(TObject*, double)> FSetFloat;
    std::function<String(const TObject*)> FGetStr;
    std::function<void(TObject*, const String&)> FSetStr;
    std::function<TObject*(const TObject*)> FGetObject;
    std::function<void(TObject*, TObject*)> FSetObject;
};

// Returned by each registration to give the property a default and a stored predicate.
template <typename T> class TPropBuilder {
public:
    explicit TPropBuilder(TPropInfo& prop) : FProp(prop) {}

    // An integer, an enumerator, a Boolean or a Set<E>.
    template <typename V> TPropBuilder& Default(V value) {
        if constexpr (requires { value.ToInt(); })
            FProp.FDefault = static_cast<Int64>(value.ToInt());
        else
            FProp.FDefault = static_cast<Int64>(value);
        return *this;
    }
    // A member `bool IsXStored() const` or anything callable with `const T&`.
    template <typename F> TPropBuilder& Stored(F predicate) {
        FProp.FStored = [predicate](const TObject* instance) {
            return static_cast<bool>(std::invoke(predicate, *static_cast<const T*>(instance)));
        };
        return *this;
    }
    TPropBuilder& Stored(bool stored) {
        FProp.FStored = [stored](const TObject*) { return stored; };
        return *this;
    }
    TPropBuilder& TypeName(StringView typeName) {
        FProp.FTypeName = String(typeName);
        return *this;
    }

private:
    TPropInfo& FProp;
};

template <typename T> class TPropertyRegistrar {
public:
    explicit TPropertyRegistrar(TClassInfo& info) : FInfo(info) {}

    template <typename G, typename S> TPropBuilder<T> StringProp(StringView name, G get, S set) {
        TPropInfo& p = Add(name, tkUString, u"String");
        p.FGetStr = [get](const TObject* o) { return String(std::invoke(get, Self(o))); };
        if constexpr (!IsNull<S>)
            p.FSetStr = [set](TObject* o, const String& v) { std::invoke(set, Self(o), v); };
        return TPropBuilder<T>(p);
    }
    template <typename G, typename S> TPropBuilder<T> IntegerProp(StringView name, G get, S set) {
        return OrdinalProp<Integer>(name, tkInteger, u"Integer", get, set);
    }
    template <typename G, typename S> TPropBuilder<T> Int64Prop(StringView name, G get, S set) {
        return OrdinalProp<Int64>(name, tkInt64, u"Int64", get, set);
    }
    // An integer of a named integer type, written by its identifier when
    // RegisterIntegerConsts knows one for typeName (cursors: crHandPoint).
    template <typename G, typename S>
    TPropBuilder<T> NamedIntegerProp(StringView name, StringView typeName, G get, S set) {
        return OrdinalProp<Integer>(name, tkInteger, typeName, get, set);
    }
    // A colour, written as clRed when RegisterIntegerConsts knows one for "TColor".
    template <typename G, typename S> TPropBuilder<T> ColorProp(StringView name, G get, S set) {
        return NamedIntegerProp(name, u"TColor", get, set);
    }
    template <typename G, typename S> TPropBuilder<T> BooleanProp(StringView name, G get, S set) {
        TPropBuilder<T> b = OrdinalProp<bool>(name, tkEnumeration, u"Boolean", get, set);
        FLast->FEnumInfo = BooleanInfo();
        return b;
    }
    template <typename G, typename S> TPropBuilder<T> FloatProp(StringView name, G get, S set) {
        TPropInfo& p = Add(name, tkFloat, u"Double");
        p.FGetFloat = [get](const TObject* o) { return static_cast<double>(std::invoke(get, Self(o))); };
        if constexpr (!IsNull<S>) p.FSetFloat = [set](TObject* o, double v) { std::invoke(set, Self(o), v); };
        return TPropBuilder<T>(p);
    }
    // The getter returns the enumeration type; its values must be 0..n-1 as named by info.
    template <typename G, typename S>
    TPropBuilder<T> EnumProp(StringView name, std::shared_ptr<const TEnumInfo> info, G get, S set) {
        using E = std::remove_cvref_t<std::invoke_result_t<G, const T&>>;
        static_assert(std::is_enum_v<E>, "EnumProp needs a getter returning an enumeration");
        TPropBuilder<T> b = OrdinalProp<E>(name, tkEnumeration, info->TypeName, get, set);
        FLast->FEnumInfo = std::move(info);
        return b;
    }
    // The getter returns a Set<E>; info names the enumeration E.
    template <typename G, typename S>
    TPropBuilder<T> SetProp(StringView name, std::shared_ptr<const TEnumInfo> info, G get, S set) {
        using R = std::remove_cvref_t<std::invoke_result_t<G, const T&>>;
        TPropInfo& p = Add(name, tkSet, u"set of " + info->TypeName);
        p.FEnumInfo = std::move(info);
        p.FGetOrd = [get](const TObject* o) { return static_cast<Int64>(std::invoke(get, Self(o)).ToInt()); };
        if constexpr (!IsNull<S>)
            p.FSetOrd = [set](TObject* o, Int64 v) {
                std::invoke(set, Self(o), R::FromInt(static_cast<std::uint64_t>(v)));
            };
        return TPropBuilder<T>(p);
    }
    // An object of class C (or a descendant): a reference to a component, an owned
    // sub-object (TFont-like, written as its own properties), a TStrings or a TCollection.
    // The setter of an owned sub-object usually Assigns; a reference setter stores.
    // C is described (ClassOf<C>) when the property is first read.
    template <typename C, typename G, typename S> TPropBuilder<T> ObjectProp(StringView name, G get, S set) {
        static_assert(std::is_base_of_v<TObject, C>, "ObjectProp needs a TObject class");
        TPropInfo& p = Add(name, tkClass, String());
        p.FPropClass = &ClassOf<C>;
        p.FAcceptsObject = [](const TObject* v) { return dynamic_cast<const C*>(v) != nullptr; };
        p.FGetObject = [get](const TObject* o) -> TObject* { return std::invoke(get, Self(o)); };
        if constexpr (!IsNull<S>)
            p.FSetObject = [set](TObject* o, TObject* v) { std::invoke(set, Self(o), dynamic_cast<C*>(v)); };
        p.FTypeName = detail::TypeClassName(typeid(C));
        return TPropBuilder<T>(p);
    }
    // A collection of class C whose items are of class TItem. Only needed when TItem does
    // not declare MV_CLASS: TItem is then described when the property is first read.
    template <typename C, typename TItem, typename G, typename S>
    TPropBuilder<T> CollectionProp(StringView name, G get, S set) {
        static_assert(std::is_base_of_v<TCollection, C> && std::is_base_of_v<TCollectionItem, TItem>,
                      "CollectionProp needs a collection and an item class");
        TPropBuilder<T> b = ObjectProp<C>(name, get, set);
        FLast->FItemClass = &ClassOf<TItem>;
        return b;
    }

private:
    template <typename S> static constexpr bool IsNull = std::is_same_v<S, std::nullptr_t>;
    static const T& Self(const TObject* o) { return *static_cast<const T*>(o); }
    static T& Self(TObject* o) { return *static_cast<T*>(o); }

    template <typename V, typename G, typename S>
    TPropBuilder<T> OrdinalProp(StringView name, TTypeKind kind, StringView typeName, G get, S set) {
        TPropInfo& p = Add(name, kind, typeName);
        p.FGetOrd = [get](const TObject* o) { return static_cast<Int64>(std::invoke(get, Self(o))); };
        if constexpr (!IsNull<S>)
            p.FSetOrd = [set](TObject* o, Int64 v) { std::invoke(set, Self(o), static_cast<V>(v)); };
        return TPropBuilder<T>(p);
    }
    TPropInfo& Add(StringView name, TTypeKind kind, StringView typeName) {
        auto prop = std::make_unique<TPropInfo>();
        prop->FName = String(name);
        prop->FKind = kind;
        prop->FTypeName = String(typeName);
        prop->FOwnerClass = &FInfo;
        FLast = &FInfo.AddProp(std::move(prop));
        return *FLast;
    }

    TClassInfo& FInfo;
    TPropInfo* FLast = nullptr;
};

namespace detail {
template <typename T> TClass MakeClassInfo() {
    using TDecl = TClassDecl<T>;
    TClass parent = nullptr;
    if constexpr (!std::is_void_v<typename TDecl::Parent>) {
        static_assert(std::is_base_of_v<typename TDecl::Parent, T>,
                      "the declared parent is not a base class");
        parent = ClassOf<typename TDecl::Parent>();
    }
    auto info =
        std::make_unique<TClassInfo>(TypeClassName(typeid(T)), parent, std::type_index(typeid(T)),
                                     [](const TObject* o) { return dynamic_cast<const T*>(o) != nullptr; });
    if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                  std::is_constructible_v<T, TComponent*>)
        info->SetFactory([](TComponent* owner) -> TComponent* { return new T(owner); });
    TClassInfo* added = AddClassInfo(std::move(info));
    TPropertyRegistrar<T> registrar(*added);
    if constexpr (requires { TDecl::RegisterProperties(registrar); })
        TDecl::RegisterProperties(registrar);
    else if constexpr (requires { T::RegisterProperties(registrar); })
        T::RegisterProperties(registrar);
    return added;
}
} // namespace detail

// Do not call ClassOf<T>() from T's own RegisterProperties: the description is still
// being built (ObjectProp<T> is fine, it resolves its class later).
template <typename T> TClass ClassOf() {
    static const TClass info = detail::MakeClassInfo<T>();
    return info;
}

// [SECTION] Properties by name or "."-path
//
// An unknown name raises EPropertyError "Property %s does not exist in %s"; a kind that
// does not fit the accessor "Property %s of %s is not of type %s"; a nil object in the
// middle of a path "Property %s is nil in path %s".

// The published property named by path, or null (also when a step of the path is nil).
const TPropInfo* GetPropInfo(const TObject* instance, StringView path);
const TPropInfo* GetPropInfo(TClass cls, StringView name);
bool IsPublishedProp(const TObject* instance, StringView path);
bool IsPublishedProp(TClass cls, StringView name);
TTypeKind PropType(const TObject* instance, StringView path);
bool PropIsType(const TObject* instance, StringView path, TTypeKind kind);
bool IsStoredProp(const TObject* instance, StringView path);
const std::vector<const TPropInfo*>& GetPropList(const TObject* instance);

// tkInteger, tkInt64, tkEnumeration, tkSet.
Int64 GetOrdProp(const TObject* instance, StringView path);
void SetOrdProp(TObject* instance, StringView path, Int64 value);
// Enumerations (and Boolean) by value name; SetEnumProp raises EPropertyError "Invalid
// property element: %s" for a name the enumeration lacks.
String GetEnumProp(const TObject* instance, StringView path);
void SetEnumProp(TObject* instance, StringView path, StringView value);
String GetSetProp(const TObject* instance, StringView path, bool brackets = false);
void SetSetProp(TObject* instance, StringView path, StringView value);
double GetFloatProp(const TObject* instance, StringView path);
void SetFloatProp(TObject* instance, StringView path, double value);
String GetStrProp(const TObject* instance, StringView path);
void SetStrProp(TObject* instance, StringView path, StringView value);
// The object, or null when it is nil or not of minClass (when one is given).
TObject* GetObjectProp(const TObject* instance, StringView path, TClass minClass = nullptr);
template <typename C> C* GetObjectProp(const TObject* instance, StringView path) {
    return dynamic_cast<C*>(GetObjectProp(instance, path));
}
void SetObjectProp(TObject* instance, StringView path, TObject* value);

// Any scalar property as text: strings as they are, integers in decimal (a colour by its
// identifier when it has one), enumerations by name, sets as "a,b", floats in the
// shortest form that reads back exactly. SetPropText parses the same forms and raises
// EPropertyError "Invalid property value" for text that does not fit.
String GetPropText(const TObject* instance, StringView path);
void SetPropText(TObject* instance, StringView path, StringView text);

} // namespace mv
