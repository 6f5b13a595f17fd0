// The class registry: a description (TClassInfo) of every class that takes part in
// published properties and streaming, its parent, its factory, and the table of classes
// known by name (RegisterClass/FindClass). Properties themselves are in TypInfo.h.
//
// A class takes part by naming its parent and, when it publishes properties, by a static
// registration function, both read on first use of ClassOf<T>() (no static constructors):
//
//     class TPanelModel : public TComponent {
//         MV_CLASS(TPanelModel, TComponent);   // opens a public section
//         explicit TPanelModel(TComponent* owner);
//         static void RegisterProperties(TPropertyRegistrar<TPanelModel>& r);
//     };
//     RegisterClass<TPanelModel>();            // so that streaming can create it by name
//
// A class that cannot be edited is described from outside by specialising TClassDecl.
#pragma once

#include "platform/rtl/Persistent.h"

#include <functional>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <vector>

namespace mv {

class TComponent;
class TCollection;
class TCollectionItem;
class TOwnedCollection;
class TStrings;
class TStringList;
class TPropInfo;
class TClassInfo;
template <typename T> class TPropertyRegistrar;

// The framework's metaclass reference: null means "no class".
using TClass = const TClassInfo*;

class TClassInfo {
public:
    using TInstanceTest = bool (*)(const TObject*);
    using TComponentFactory = TComponent* (*)(TComponent* owner);

    TClassInfo(String className, TClass parent, std::type_index type, TInstanceTest isInstance);
    ~TClassInfo();
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    const String& ClassName() const { return FClassName; }
    TClass ClassParent() const { return FParent; }
    std::type_index Type() const { return FType; }
    // Number of ancestors (TObject: 0).
    Integer Depth() const { return FDepth; }

    // This class or one of its ancestors.
    bool InheritsFrom(TClass ancestor) const;
    // This class or an ancestor has exactly (case-sensitive) this name.
    bool InheritsFrom(StringView className) const;
    bool IsInstance(const TObject* object) const { return object && FIsInstance(object); }

    // Components are created by the streaming system through the factory, which ClassOf
    // sets for every non-abstract TComponent descendant constructible from its owner.
    bool CanCreate() const { return FFactory != nullptr; }
    // Raises EFilerError when the class has no factory.
    TComponent* CreateComponent(TComponent* owner) const;

    // A published property of this class or an ancestor (names compare without regard
    // to case; a redeclaration in a descendant hides the ancestor's), or null.
    const TPropInfo* FindProp(StringView name) const;
    // All published properties, ancestors' first, in registration order; a redeclared
    // property keeps its ancestor's place. Valid for the life of the process.
    const std::vector<const TPropInfo*>& Props() const;

    // Used by TPropertyRegistrar and ClassOf.
    TPropInfo& AddProp(std::unique_ptr<TPropInfo> prop);
    void SetFactory(TComponentFactory factory) { FFactory = factory; }

private:
    String FClassName;
    TClass FParent;
    std::type_index FType;
    TInstanceTest FIsInstance;
    TComponentFactory FFactory = nullptr;
    Integer FDepth = 0;
    std::vector<std::unique_ptr<TPropInfo>> FOwnProps;
    mutable std::vector<const TPropInfo*> FAllProps;
    mutable bool FAllPropsBuilt = false;
};

// How a class is described: its parent and, optionally, its property registration.
// The default reads what MV_CLASS declares in the class; classes that cannot be edited
// get a specialisation with `using Parent = ...;` and optionally
// `static void RegisterProperties(TPropertyRegistrar<T>&);`.
template <typename T> struct TClassDecl {
    static_assert(
        requires { typename T::TThisClass; }, "the class needs MV_CLASS(Class, Parent)");
    static_assert(std::is_same_v<typename T::TThisClass, T>,
                  "the class inherits MV_CLASS from its parent but does not declare its own");
    using Parent = typename T::inherited;
};

// Declares a class's parent for the class registry, and ClassType() so that objects of
// the class are known by their own description even before anything else asked for it;
// `inherited` then reads as in the framework (inherited::Loaded()). Leaves the class in
// a public section.
#define MV_CLASS(ClassT, ParentT)                                                                            \
public:                                                                                                      \
    const ::mv::TClassInfo* ClassType() const override {                                                     \
        return ::mv::ClassOf<ClassT>();                                                                      \
    }                                                                                                        \
    using inherited = ParentT;                                                                               \
    using TThisClass = ClassT

// The root classes of the run-time library, described here because their headers come
// before this one.
template <> struct TClassDecl<TObject> { using Parent = void; };
template <> struct TClassDecl<TPersistent> { using Parent = TObject; };
template <> struct TClassDecl<TComponent> {
    using Parent = TPersistent;
    // Name (not stored: the object header holds it) and Tag (default 0).
    static void RegisterProperties(TPropertyRegistrar<TComponent>& r);
};
template <> struct TClassDecl<TCollectionItem> { using Parent = TPersistent; };
template <> struct TClassDecl<TCollection> { using Parent = TPersistent; };
template <> struct TClassDecl<TOwnedCollection> { using Parent = TCollection; };
template <> struct TClassDecl<TStrings> { using Parent = TPersistent; };
template <> struct TClassDecl<TStringList> { using Parent = TStrings; };

// The description of T, built on its first use (after its parent's). Defined in
// TypInfo.h, which this header includes at its end.
template <typename T> TClass ClassOf();

// The described class of an object: its ClassType() when it declares one (MV_CLASS),
// otherwise the nearest described ancestor (TObject at worst). Null for a null object.
// Classes are described by their first ClassOf<T>(), never by static initialisation.
TClass ClassOfObject(const TObject* object);

// "This class or any ancestor" by name (exact case): the object's own ClassName() or the
// name of a described ancestor.
bool InheritsFromClassName(const TObject* object, StringView className);
// A class-name pattern as registries use them: "*TName" holds when the object's class or
// an ancestor is TName (InheritsFromClassName); any other pattern must equal the object's
// ClassName() exactly.
bool ClassNameMatches(const TObject* object, StringView pattern);

// The table of classes known by name, for FindClass and the streaming system. Names
// compare without regard to case. Registering a class again is allowed; registering a
// different class under a name already taken raises EFilerError "A class named %s
// already exists".
void RegisterClass(TClass cls);
template <typename T> void RegisterClass() {
    RegisterClass(ClassOf<T>());
}
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
// The registered class of that name, or null.
TClass GetClass(StringView className);
// The registered class of that name; raises EClassNotFound "Class %s not found".
TClass FindClass(StringView className);

namespace detail {
// The registry keeps every description for the life of the process.
TClassInfo* AddClassInfo(std::unique_ptr<TClassInfo> info);
String TypeClassName(const std::type_info& type);
} // namespace detail

} // namespace mv

#include "platform/rtl/TypInfo.h"
