// Published properties: enumeration and set names, integer identifiers, the typed
// accessors of TPropInfo, and access by name and "."-path.
#include "platform/rtl/TypInfo.h"

#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/TextFormPrivate.h"

#include <map>

namespace mv {

namespace {

String ClassNameOf(const TObject* instance) {
    return instance ? instance->ClassName() : String(u"nil");
}

std::map<String, std::vector<TIdentMapEntry>>& IdentMaps() {
    static std::map<String, std::vector<TIdentMapEntry>> maps;
    return maps;
}

// Walks all parts of path but the last; the object holding the final property is
// returned with the property, or {nullptr, nullptr} when raise is false and a step fails.
std::pair<TObject*, const TPropInfo*> ResolvePath(const TObject* instance, StringView path, bool raise) {
    TObject* current = const_cast<TObject*>(instance);
    StringView rest = path;
    while (true) {
        auto dot = rest.find(u'.');
        StringView part = rest.substr(0, dot);
        TClass cls = ClassOfObject(current);
        const TPropInfo* info = cls ? cls->FindProp(part) : nullptr;
        if (!info) {
            if (!raise) return {nullptr, nullptr};
            throw EPropertyError(Format(SysConst::SUnknownProperty, {part, ClassNameOf(current)}));
        }
        if (dot == StringView::npos) return {current, info};
        if (info->Kind() != tkClass) {
            if (!raise) return {nullptr, nullptr};
            throw EPropertyError(
                Format(SysConst::SInvalidPropertyType, {part, ClassNameOf(current), u"class"}));
        }
        TObject* next = info->GetObject(current);
        if (!next) {
            if (!raise) return {nullptr, nullptr};
            throw EPropertyError(Format(SysConst::SNilPropertyPath, {part, path}));
        }
        current = next;
        rest = rest.substr(dot + 1);
    }
}

std::pair<TObject*, const TPropInfo*> ResolveKind(const TObject* instance, StringView path,
                                                  std::initializer_list<TTypeKind> kinds, StringView wanted) {
    auto target = ResolvePath(instance, path, true);
    for (TTypeKind k : kinds)
        if (target.second->Kind() == k) return target;
    throw EPropertyError(
        Format(SysConst::SInvalidPropertyType, {target.second->Name(), ClassNameOf(target.first), wanted}));
}

} // namespace

// [SECTION] Enumerations, sets, identifiers

std::shared_ptr<const TEnumInfo> MakeEnumInfo(StringView typeName, std::initializer_list<StringView> names) {
    auto info = std::make_shared<TEnumInfo>();
    info->TypeName = String(typeName);
    for (StringView n : names)
        info->Names.emplace_back(n);
    return info;
}

const std::shared_ptr<const TEnumInfo>& BooleanInfo() {
    static const std::shared_ptr<const TEnumInfo> info = MakeEnumInfo(u"Boolean", {u"False", u"True"});
    return info;
}

String GetEnumName(const TEnumInfo& info, Int64 value) {
    if (value >= 0 && value < static_cast<Int64>(info.Names.size()))
        return info.Names[static_cast<size_t>(value)];
    return IntToStr(value);
}

Integer GetEnumValue(const TEnumInfo& info, StringView name) {
    for (size_t i = 0; i < info.Names.size(); ++i)
        if (SameText(info.Names[i], name)) return static_cast<Integer>(i);
    return -1;
}

String SetToString(const TEnumInfo& info, UInt64 bits, bool brackets) {
    String result;
    for (size_t i = 0; i < info.Names.size() && i < 64; ++i) {
        if (!((bits >> i) & 1u)) continue;
        if (!result.empty()) result += u',';
        result += info.Names[i];
    }
    return brackets ? u"[" + result + u"]" : result;
}

UInt64 StringToSet(const TEnumInfo& info, StringView text) {
    String s = Trim(text);
    if (!s.empty() && s.front() == u'[') {
        if (s.back() != u']') throw EPropertyError(Format(SysConst::SInvalidPropertyElement, {s}));
        s = Trim(StringView(s).substr(1, s.size() - 2));
    }
    UInt64 bits = 0;
    StringView rest = s;
    while (!rest.empty()) {
        auto comma = rest.find(u',');
        String name = Trim(rest.substr(0, comma));
        Integer value = GetEnumValue(info, name);
        if (value < 0 || value >= 64) throw EPropertyError(Format(SysConst::SInvalidPropertyElement, {name}));
        bits |= UInt64{1} << value;
        if (comma == StringView::npos) break;
        rest = rest.substr(comma + 1);
    }
    return bits;
}

void RegisterIntegerConsts(StringView typeName, std::initializer_list<TIdentMapEntry> entries) {
    auto& map = IdentMaps()[String(typeName)];
    map.insert(map.end(), entries.begin(), entries.end());
}

bool IdentToInt(StringView typeName, StringView ident, Int64& value) {
    auto& maps = IdentMaps();
    auto it = maps.find(String(typeName));
    if (it == maps.end()) return false;
    for (const auto& e : it->second)
        if (SameText(e.Name, ident)) {
            value = e.Value;
            return true;
        }
    return false;
}

bool IntToIdent(StringView typeName, Int64 value, String& ident) {
    auto& maps = IdentMaps();
    auto it = maps.find(String(typeName));
    if (it == maps.end()) return false;
    for (const auto& e : it->second)
        if (e.Value == value) {
            ident = e.Name;
            return true;
        }
    return false;
}

// [SECTION] TPropInfo

bool TPropInfo::IsWritable() const {
    switch (FKind) {
    case tkUString:
        return static_cast<bool>(FSetStr);
    case tkFloat:
        return static_cast<bool>(FSetFloat);
    case tkClass:
        return static_cast<bool>(FSetObject);
    default:
        return static_cast<bool>(FSetOrd);
    }
}

void TPropInfo::KindError(StringView wanted) const {
    throw EPropertyError(Format(SysConst::SInvalidPropertyType,
                                {FName, FOwnerClass ? FOwnerClass->ClassName() : String(), wanted}));
}

void TPropInfo::ReadOnlyError() const {
    throw EPropertyError(
        Format(SysConst::SReadOnlyProperty, {FName, FOwnerClass ? FOwnerClass->ClassName() : String()}));
}

Int64 TPropInfo::GetOrd(const TObject* instance) const {
    if (!FGetOrd) KindError(u"ordinal");
    return FGetOrd(instance);
}

void TPropInfo::SetOrd(TObject* instance, Int64 value) const {
    if (FKind != tkInteger && FKind != tkInt64 && FKind != tkEnumeration && FKind != tkSet)
        KindError(u"ordinal");
    if (!FSetOrd) ReadOnlyError();
    if (FKind == tkInteger && (value < INT32_MIN || value > INT32_MAX))
        throw EPropertyError(Format(SysConst::SInvalidPropertyElement, {IntToStr(value)}));
    if (FKind == tkEnumeration && (value < 0 || value >= static_cast<Int64>(FEnumInfo->Names.size())))
        throw EPropertyError(Format(SysConst::SInvalidPropertyElement, {IntToStr(value)}));
    FSetOrd(instance, value);
}

double TPropInfo::GetFloat(const TObject* instance) const {
    if (!FGetFloat) KindError(u"Double");
    return FGetFloat(instance);
}

void TPropInfo::SetFloat(TObject* instance, double value) const {
    if (FKind != tkFloat) KindError(u"Double");
    if (!FSetFloat) ReadOnlyError();
    FSetFloat(instance, value);
}

String TPropInfo::GetStr(const TObject* instance) const {
    if (!FGetStr) KindError(u"String");
    return FGetStr(instance);
}

void TPropInfo::SetStr(TObject* instance, StringView value) const {
    if (FKind != tkUString) KindError(u"String");
    if (!FSetStr) ReadOnlyError();
    FSetStr(instance, String(value));
}

TObject* TPropInfo::GetObject(const TObject* instance) const {
    if (!FGetObject) KindError(u"class");
    // Describe the value's declared classes before anyone asks the value for its
    // properties; ClassOfObject only knows classes already described.
    PropClass();
    ItemClass();
    return FGetObject(instance);
}

void TPropInfo::SetObject(TObject* instance, TObject* value) const {
    if (FKind != tkClass) KindError(u"class");
    if (!FSetObject) ReadOnlyError();
    if (!AcceptsObject(value)) KindError(FTypeName);
    FSetObject(instance, value);
}

// [SECTION] By name and path

const TPropInfo* GetPropInfo(const TObject* instance, StringView path) {
    return ResolvePath(instance, path, false).second;
}

const TPropInfo* GetPropInfo(TClass cls, StringView name) {
    return cls ? cls->FindProp(name) : nullptr;
}

bool IsPublishedProp(const TObject* instance, StringView path) {
    return GetPropInfo(instance, path) != nullptr;
}

bool IsPublishedProp(TClass cls, StringView name) {
    return GetPropInfo(cls, name) != nullptr;
}

TTypeKind PropType(const TObject* instance, StringView path) {
    return ResolvePath(instance, path, true).second->Kind();
}

bool PropIsType(const TObject* instance, StringView path, TTypeKind kind) {
    return PropType(instance, path) == kind;
}

bool IsStoredProp(const TObject* instance, StringView path) {
    auto target = ResolvePath(instance, path, true);
    return target.second->IsStored(target.first);
}

const std::vector<const TPropInfo*>& GetPropList(const TObject* instance) {
    static const std::vector<const TPropInfo*> none;
    TClass cls = ClassOfObject(instance);
    return cls ? cls->Props() : none;
}

Int64 GetOrdProp(const TObject* instance, StringView path) {
    auto t = ResolveKind(instance, path, {tkInteger, tkInt64, tkEnumeration, tkSet}, u"ordinal");
    return t.second->GetOrd(t.first);
}

void SetOrdProp(TObject* instance, StringView path, Int64 value) {
    auto t = ResolveKind(instance, path, {tkInteger, tkInt64, tkEnumeration, tkSet}, u"ordinal");
    t.second->SetOrd(t.first, value);
}

String GetEnumProp(const TObject* instance, StringView path) {
    auto t = ResolveKind(instance, path, {tkEnumeration}, u"enumeration");
    return GetEnumName(*t.second->EnumInfo(), t.second->GetOrd(t.first));
}

void SetEnumProp(TObject* instance, StringView path, StringView value) {
    auto t = ResolveKind(instance, path, {tkEnumeration}, u"enumeration");
    Integer v = GetEnumValue(*t.second->EnumInfo(), Trim(value));
    if (v < 0) throw EPropertyError(Format(SysConst::SInvalidPropertyElement, {value}));
    t.second->SetOrd(t.first, v);
}

String GetSetProp(const TObject* instance, StringView path, bool brackets) {
    auto t = ResolveKind(instance, path, {tkSet}, u"set");
    return SetToString(*t.second->EnumInfo(), static_cast<UInt64>(t.second->GetOrd(t.first)), brackets);
}

void SetSetProp(TObject* instance, StringView path, StringView value) {
    auto t = ResolveKind(instance, path, {tkSet}, u"set");
    t.second->SetOrd(t.first, static_cast<Int64>(StringToSet(*t.second->EnumInfo(), value)));
}

double GetFloatProp(const TObject* instance, StringView path) {
    auto t = ResolveKind(instance, path, {tkFloat}, u"Double");
    return t.second->GetFloat(t.first);
}

void SetFloatProp(TObject* instance, StringView path, double value) {
    auto t = ResolveKind(instance, path, {tkFloat}, u"Double");
    t.second->SetFloat(t.first, value);
}

String GetStrProp(const TObject* instance, StringView path) {
    auto t = ResolveKind(instance, path, {tkUString}, u"String");
    return t.second->GetStr(t.first);
}

void SetStrProp(TObject* instance, StringView path, StringView value) {
    auto t = ResolveKind(instance, path, {tkUString}, u"String");
    t.second->SetStr(t.first, value);
}

TObject* GetObjectProp(const TObject* instance, StringView path, TClass minClass) {
    auto t = ResolveKind(instance, path, {tkClass}, u"class");
    TObject* value = t.second->GetObject(t.first);
    if (value && minClass && !minClass->IsInstance(value)) return nullptr;
    return value;
}

void SetObjectProp(TObject* instance, StringView path, TObject* value) {
    auto t = ResolveKind(instance, path, {tkClass}, u"class");
    t.second->SetObject(t.first, value);
}

String GetPropText(const TObject* instance, StringView path) {
    auto [target, info] = ResolvePath(instance, path, true);
    switch (info->Kind()) {
    case tkUString:
        return info->GetStr(target);
    case tkFloat:
        return detail::FloatToText(info->GetFloat(target));
    case tkEnumeration:
        return GetEnumName(*info->EnumInfo(), info->GetOrd(target));
    case tkSet:
        return SetToString(*info->EnumInfo(), static_cast<UInt64>(info->GetOrd(target)));
    case tkInteger:
    case tkInt64: {
        Int64 value = info->GetOrd(target);
        String ident;
        if (IntToIdent(info->TypeName(), value, ident)) return ident;
        return IntToStr(value);
    }
    default:
        throw EPropertyError(
            Format(SysConst::SInvalidPropertyType, {info->Name(), ClassNameOf(target), u"scalar"}));
    }
}

void SetPropText(TObject* instance, StringView path, StringView text) {
    auto [target, info] = ResolvePath(instance, path, true);
    switch (info->Kind()) {
    case tkUString:
        info->SetStr(target, text);
        return;
    case tkFloat: {
        double value = 0;
        if (!detail::TextToFloat(Trim(text), value)) throw EPropertyError(SysConst::SInvalidPropertyValue);
        info->SetFloat(target, value);
        return;
    }
    case tkEnumeration:
        SetEnumProp(target, info->Name(), text);
        return;
    case tkSet:
        info->SetOrd(target, static_cast<Int64>(StringToSet(*info->EnumInfo(), text)));
        return;
    case tkInteger:
    case tkInt64: {
        Int64 value = 0;
        String trimmed = Trim(text);
        if (!TryStrToInt64(trimmed, value) && !IdentToInt(info->TypeName(), trimmed, value))
            throw EPropertyError(SysConst::SInvalidPropertyValue);
        info->SetOrd(target, value);
        return;
    }
    default:
        throw EPropertyError(
            Format(SysConst::SInvalidPropertyType, {info->Name(), ClassNameOf(target), u"scalar"}));
    }
}

// [SECTION] Root classes

void TClassDecl<TComponent>::RegisterProperties(TPropertyRegistrar<TComponent>& r) {
    r.StringProp(u"Name", &TComponent::Name, &TComponent::SetName).Stored(false);
    r.Int64Prop(u"Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

} // namespace mv
