// The class registry: parents and ancestry by name ("*ancestor" matching), the nearest
// described class of an undescribed object, classes by name, factories.
#include "platform/rtl/ClassRegistry.h"

#include "platform/rtl/Exceptions.h"
#include "StreamingSamples.h"

#include <gtest/gtest.h>

namespace mv {

namespace first {
class TTwin : public TComponent {
    MV_CLASS(TTwin, TComponent);
    using TComponent::TComponent;
};
} // namespace first
namespace second {
class TTwin : public TComponent {
    MV_CLASS(TTwin, TComponent);
    using TComponent::TComponent;
};
} // namespace second

namespace {

using namespace samples;

class TCustomStore : public TComponent {
    MV_CLASS(TCustomStore, TComponent);
    using TComponent::TComponent;
};
class TMemStore : public TCustomStore {
    MV_CLASS(TMemStore, TCustomStore);
    using TCustomStore::TCustomStore;
};
// Not described: answers through its nearest described ancestor.
class TLocalStore : public TMemStore {
public:
    using TMemStore::TMemStore;
};
// Abstract: described, but cannot be created by name.
class TAbstractStore : public TComponent {
    MV_CLASS(TAbstractStore, TComponent);
    using TComponent::TComponent;
    virtual void Open() = 0;
};

TEST(ClassRegistryTest, ParentsAndAncestryByName) {
    TClass mem = ClassOf<TMemStore>();
    EXPECT_EQ(mem->ClassName(), u"TMemStore");
    EXPECT_EQ(mem->ClassParent(), ClassOf<TCustomStore>());
    EXPECT_EQ(mem->ClassParent()->ClassParent(), ClassOf<TComponent>());
    EXPECT_EQ(ClassOf<TComponent>()->ClassParent(), ClassOf<TPersistent>());
    EXPECT_EQ(ClassOf<TObject>()->ClassParent(), nullptr);
    EXPECT_EQ(mem->Depth(), 4);
    EXPECT_TRUE(mem->InheritsFrom(ClassOf<TComponent>()));
    EXPECT_FALSE(ClassOf<TComponent>()->InheritsFrom(mem));
    EXPECT_TRUE(mem->InheritsFrom(u"TCustomStore"));
    EXPECT_FALSE(mem->InheritsFrom(u"tcustomstore")); // names compare exactly here
    EXPECT_TRUE(ClassOf<TStringList>()->InheritsFrom(u"TStrings"));
    EXPECT_TRUE(ClassOf<TOwnedCollection>()->InheritsFrom(u"TCollection"));

    TLocalStore local(nullptr);
    EXPECT_EQ(ClassOfObject(&local), mem);
    EXPECT_TRUE(InheritsFromClassName(&local, u"TLocalStore"));
    EXPECT_TRUE(InheritsFromClassName(&local, u"TMemStore"));
    EXPECT_TRUE(InheritsFromClassName(&local, u"TComponent"));
    EXPECT_FALSE(InheritsFromClassName(&local, u"TStrings"));

    // "*Name": this class or any ancestor; otherwise the class name itself, exact case.
    EXPECT_TRUE(ClassNameMatches(&local, u"*TCustomStore"));
    EXPECT_TRUE(ClassNameMatches(&local, u"*TLocalStore"));
    EXPECT_FALSE(ClassNameMatches(&local, u"TCustomStore"));
    EXPECT_TRUE(ClassNameMatches(&local, u"TLocalStore"));
    EXPECT_FALSE(ClassNameMatches(&local, u"*tcustomstore"));
    EXPECT_FALSE(ClassNameMatches(&local, u"*"));
    EXPECT_FALSE(ClassNameMatches(nullptr, u"*TComponent"));

    // A plain TComponent is described even when nothing asked for it before.
    TComponent plain(nullptr);
    EXPECT_EQ(ClassOfObject(&plain), ClassOf<TComponent>());
    TStringList list;
    EXPECT_EQ(ClassOfObject(&list), ClassOf<TStringList>());
}

TEST(ClassRegistryTest, ClassesByNameAndFactories) {
    EXPECT_EQ(GetClass(u"TMemStore"), nullptr);
    RegisterClass<TMemStore>();
    RegisterClass<TMemStore>(); // again: no effect
    EXPECT_EQ(GetClass(u"tmemstore"), ClassOf<TMemStore>());
    EXPECT_EQ(FindClass(u"TMemStore"), ClassOf<TMemStore>());

    TComponent owner(nullptr);
    TComponent* made = FindClass(u"TMemStore")->CreateComponent(&owner);
    EXPECT_NE(dynamic_cast<TMemStore*>(made), nullptr);
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_FALSE(ClassOf<TAbstractStore>()->CanCreate());
    EXPECT_FALSE(ClassOf<TStringList>()->CanCreate());
    EXPECT_THROW(ClassOf<TAbstractStore>()->CreateComponent(&owner), EFilerError);

    UnRegisterClass(ClassOf<TMemStore>());
    EXPECT_EQ(GetClass(u"TMemStore"), nullptr);
    try {
        FindClass(u"TMemStore");
        ADD_FAILURE() << "FindClass found an unregistered class";
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), u"Class TMemStore not found");
    }

    // Two classes of the same name cannot both be registered.
    RegisterClass<first::TTwin>();
    try {
        RegisterClass<second::TTwin>();
        ADD_FAILURE() << "a second class named TTwin was accepted";
    } catch (const EFilerError& e) {
        EXPECT_EQ(e.Message(), u"A class named TTwin already exists");
    }
    EXPECT_EQ(GetClass(u"TTwin"), ClassOf<first::TTwin>());
    UnRegisterClass(ClassOf<first::TTwin>());
    RegisterClass<second::TTwin>();
    EXPECT_EQ(GetClass(u"TTwin"), ClassOf<second::TTwin>());
    UnRegisterClass(ClassOf<second::TTwin>());
}

} // namespace
} // namespace mv
