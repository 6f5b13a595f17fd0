// The class registry: descriptions of classes, the nearest described class of an object,
// and the table of classes known by name.
#include "platform/rtl/ClassRegistry.h"

#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cxxabi.h>
#include <unordered_map>

namespace mv {

namespace {

struct TRegistry {
    std::vector<std::unique_ptr<TClassInfo>> Described;
    // Dynamic type -> nearest described class; cleared whenever a class is described.
    std::unordered_map<std::type_index, TClass> Nearest;
    std::vector<TClass> Registered;
};

TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}

// The rtl's own classes are described before the first question about an object, so
// that ancestry by name finds TComponent and friends even when nothing else asked.
void DescribeRootClasses() {
    static bool described = false;
    if (described) return;
    described = true;
    ClassOf<TComponent>();
    ClassOf<TOwnedCollection>();
    ClassOf<TCollectionItem>();
    ClassOf<TStringList>();
}

} // namespace

// [SECTION] TClassInfo

TClassInfo::TClassInfo(String className, TClass parent, std::type_index type, TInstanceTest isInstance)
    : FClassName(std::move(className)), FParent(parent), FType(type), FIsInstance(isInstance),
      FDepth(parent ? parent->FDepth + 1 : 0) {}

TClassInfo::~TClassInfo() = default;

bool TClassInfo::InheritsFrom(TClass ancestor) const {
    for (TClass c = this; c; c = c->FParent)
        if (c == ancestor) return true;
    return false;
}

bool TClassInfo::InheritsFrom(StringView className) const {
    for (TClass c = this; c; c = c->FParent)
        if (c->FClassName == className) return true;
    return false;
}

TComponent* TClassInfo::CreateComponent(TComponent* owner) const {
    if (!FFactory) throw EFilerError(Format(SysConst::SClassNotFound, {FClassName}));
    return FFactory(owner);
}

TPropInfo& TClassInfo::AddProp(std::unique_ptr<TPropInfo> prop) {
    assert(!FAllPropsBuilt && "properties are registered before the class is used");
    FOwnProps.push_back(std::move(prop));
    return *FOwnProps.back();
}

const TPropInfo* TClassInfo::FindProp(StringView name) const {
    for (TClass c = this; c; c = c->FParent)
        for (auto it = c->FOwnProps.rbegin(); it != c->FOwnProps.rend(); ++it)
            if (SameText((*it)->Name(), name)) return it->get();
    return nullptr;
}

const std::vector<const TPropInfo*>& TClassInfo::Props() const {
    if (FAllPropsBuilt) return FAllProps;
    if (FParent) FAllProps = FParent->Props();
    for (const auto& own : FOwnProps) {
        auto same = std::find_if(FAllProps.begin(), FAllProps.end(),
                                 [&](const TPropInfo* p) { return SameText(p->Name(), own->Name()); });
        if (same != FAllProps.end())
            *same = own.get();
        else
            FAllProps.push_back(own.get());
    }
    FAllPropsBuilt = true;
    return FAllProps;
}

// [SECTION] Objects and names

TClass ClassOfObject(const TObject* object) {
    if (!object) return nullptr;
    if (TClass declared = object->ClassType()) return declared;
    DescribeRootClasses();
    TRegistry& registry = Registry();
    std::type_index type(typeid(*object));
    auto cached = registry.Nearest.find(type);
    if (cached != registry.Nearest.end()) return cached->second;
    TClass best = nullptr;
    for (const auto& info : registry.Described) {
        if (info->Type() == type) {
            best = info.get();
            break;
        }
        if ((!best || info->Depth() > best->Depth()) && info->IsInstance(object)) best = info.get();
    }
    registry.Nearest.emplace(type, best);
    return best;
}

bool InheritsFromClassName(const TObject* object, StringView className) {
    if (!object) return false;
    if (object->ClassName() == className) return true;
    TClass cls = ClassOfObject(object);
    return cls && cls->InheritsFrom(className);
}

bool ClassNameMatches(const TObject* object, StringView pattern) {
    if (!object) return false;
    if (!pattern.empty() && pattern.front() == u'*') return InheritsFromClassName(object, pattern.substr(1));
    return object->ClassName() == pattern;
}

// [SECTION] Classes by name

void RegisterClass(TClass cls) {
    assert(cls && "RegisterClass needs a class");
    TRegistry& registry = Registry();
    for (TClass known : registry.Registered) {
        if (!SameText(known->ClassName(), cls->ClassName())) continue;
        if (known == cls) return;
        throw EFilerError(Format(SysConst::SDuplicateClass, {cls->ClassName()}));
    }
    registry.Registered.push_back(cls);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
    for (TClass cls : classes)
        RegisterClass(cls);
}

void UnRegisterClass(TClass cls) {
    auto& list = Registry().Registered;
    list.erase(std::remove(list.begin(), list.end(), cls), list.end());
}

TClass GetClass(StringView className) {
    for (TClass known : Registry().Registered)
        if (SameText(known->ClassName(), className)) return known;
    return nullptr;
}

TClass FindClass(StringView className) {
    TClass cls = GetClass(className);
    if (!cls) throw EClassNotFound(Format(SysConst::SClassNotFound, {className}));
    return cls;
}

namespace detail {

TClassInfo* AddClassInfo(std::unique_ptr<TClassInfo> info) {
    TRegistry& registry = Registry();
    registry.Described.push_back(std::move(info));
    registry.Nearest.clear();
    return registry.Described.back().get();
}

String TypeClassName(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : type.name();
    auto colon = name.rfind("::");
    if (colon != std::string::npos) name.erase(0, colon + 2);
    return String(name.begin(), name.end());
}

} // namespace detail

} // namespace mv
