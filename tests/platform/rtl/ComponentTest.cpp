// TComponent: ownership, names, free notification and the loading bracket.
#include "platform/rtl/Component.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

// Holds a reference to another component, as a grid holds its data source.
class TLinker : public TComponent {
public:
    using TComponent::TComponent;
    ~TLinker() override { SetTarget(nullptr); }
    void SetTarget(TComponent* target) {
        if (FTarget) FTarget->RemoveFreeNotification(this);
        FTarget = target;
        if (FTarget) FTarget->FreeNotification(this);
    }
    TComponent* Target() const { return FTarget; }
    std::vector<std::pair<TComponent*, TOperation>> Heard;
    void Notification(TComponent* component, TOperation operation) override {
        Heard.emplace_back(component, operation);
        if (operation == opRemove && component == FTarget) FTarget = nullptr;
        TComponent::Notification(component, operation);
    }

private:
    TComponent* FTarget = nullptr;
};

class TLoadCounter : public TComponent {
public:
    using TComponent::TComponent;
    int LoadedCalls = 0;
    bool LoadingInLoaded = false;

protected:
    void Loaded() override {
        ++LoadedCalls;
        LoadingInLoaded = ComponentState().Contains(csLoading);
        TComponent::Loaded();
    }
};

struct TDeathWatch : TComponent {
    explicit TDeathWatch(TComponent* owner, int* deaths) : TComponent(owner), FDeaths(deaths) {}
    ~TDeathWatch() override { ++*FDeaths; }
    int* FDeaths;
};

TEST(Component, OwnerFreesWhatItOwnsAndChildrenLeaveTheirOwner) {
    int deaths = 0;
    auto* owner = new TComponent(nullptr);
    auto* a = new TDeathWatch(owner, &deaths);
    auto* b = new TDeathWatch(owner, &deaths);
    new TDeathWatch(b, &deaths); // grandchild
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(a->Owner(), owner);
    EXPECT_EQ(b->ComponentIndex(), 1);

    delete a; // a child freed on its own leaves its owner's list
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->Components(0), b);
    EXPECT_THROW(owner->Components(1), EListError);

    auto* other = new TComponent(nullptr);
    other->InsertComponent(b); // moving to another owner removes it from the first
    EXPECT_EQ(owner->ComponentCount(), 0);
    EXPECT_EQ(b->Owner(), other);
    delete owner;
    EXPECT_EQ(deaths, 1);
    delete other;
    EXPECT_EQ(deaths, 3);
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwner) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName(u"Grid1");
    EXPECT_EQ(owner.FindComponent(u"GRID1"), a);
    EXPECT_EQ(owner.FindComponent(u""), nullptr);
    try {
        b->SetName(u"grid1");
        FAIL() << "a duplicate name must be refused";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), u"A component named grid1 already exists");
    }
    EXPECT_EQ(b->Name(), u"");
    EXPECT_THROW(b->SetName(u"1Grid"), EComponentError);
    EXPECT_THROW(b->SetName(u"My Grid"), EComponentError);
    a->SetName(u"GRID1"); // renaming to itself in another case is allowed
    EXPECT_EQ(a->Name(), u"GRID1");
    b->SetName(u"Grid2");
    EXPECT_EQ(owner.FindComponent(u"grid2"), b);
    // Inserting a component whose name is taken is refused and leaves it where it was.
    TComponent stranger(nullptr);
    stranger.SetName(u"Grid2");
    EXPECT_THROW(owner.InsertComponent(&stranger), EComponentError);
    EXPECT_EQ(stranger.Owner(), nullptr);
    EXPECT_EQ(owner.ComponentCount(), 2);
}

TEST(Component, FreeNotificationClearsReferencesHeldByOthers) {
    auto* source = new TComponent(nullptr);
    TLinker grid(nullptr);
    grid.SetTarget(source);
    delete source;
    EXPECT_EQ(grid.Target(), nullptr);
    ASSERT_EQ(grid.Heard.size(), 1u);
    EXPECT_EQ(grid.Heard[0].second, opRemove);

    // The registration is mutual: freeing the holder first unregisters it, so the
    // later death of the target does not call into freed memory (ASan would see it).
    auto* target = new TComponent(nullptr);
    auto* holder = new TLinker(nullptr);
    holder->SetTarget(target);
    delete holder;
    delete target;

    // After RemoveFreeNotification nothing is heard.
    auto* quiet = new TComponent(nullptr);
    TLinker listener(nullptr);
    listener.SetTarget(quiet);
    listener.SetTarget(nullptr);
    listener.Heard.clear();
    delete quiet;
    EXPECT_TRUE(listener.Heard.empty());
}

TEST(Component, SiblingsHearOfEachOthersDeathThroughTheOwner) {
    TComponent form(nullptr);
    auto* grid = new TLinker(&form);
    auto* source = new TComponent(&form);
    grid->SetTarget(source);
    grid->Heard.clear();
    delete source;
    EXPECT_EQ(grid->Target(), nullptr);
    ASSERT_FALSE(grid->Heard.empty());
    EXPECT_EQ(grid->Heard.back().first, source);

    // The owner's own destruction also reaches siblings that asked to be told.
    auto* form2 = new TComponent(nullptr);
    auto* g2 = new TLinker(form2);
    auto* s2 = new TComponent(form2); // freed first: components go last to first
    g2->SetTarget(s2);
    delete form2; // g2 must not be left pointing at s2 while s2 dies
}

TEST(Component, InsertAndRemoveAreAnnouncedToTheOwnerAndItsComponents) {
    TLinker form(nullptr);
    auto* watcher = new TLinker(&form);
    form.Heard.clear();
    TComponent* added = new TComponent(&form);
    ASSERT_EQ(form.Heard.size(), 1u);
    EXPECT_EQ(form.Heard[0], std::make_pair(added, opInsert));
    EXPECT_EQ(watcher->Heard.back(), std::make_pair(added, opInsert));
    form.RemoveComponent(added);
    EXPECT_EQ(form.Heard.back(), std::make_pair(added, opRemove));
    delete added;
}

TEST(Component, LoadingBracketAndStateFlags) {
    TComponent owner(nullptr);
    auto* child = new TLoadCounter(&owner);
    child->BeginLoading();
    EXPECT_TRUE(child->ComponentState().Contains(csLoading));
    child->EndLoading();
    EXPECT_EQ(child->LoadedCalls, 1);
    EXPECT_TRUE(child->LoadingInLoaded); // Loaded runs before the flag drops
    EXPECT_FALSE(child->ComponentState().Contains(csLoading));

    owner.SetDesigning(true);
    EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
    auto* late = new TComponent(&owner); // inherits design state on insertion
    EXPECT_TRUE(late->ComponentState().Contains(csDesigning));
    owner.Destroying();
    EXPECT_TRUE(child->ComponentState().Contains(csDestroying));
}

} // namespace
} // namespace mv
