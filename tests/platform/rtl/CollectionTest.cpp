// TCollection: item ownership, moves, update brackets and notifications.
#include "platform/rtl/Collection.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mv {
namespace {

class TNamedItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    String Caption;
    void SetCaption(const String& caption) {
        Caption = caption;
        Changed(false);
    }
    String GetDisplayName() const override {
        return Caption.empty() ? TCollectionItem::GetDisplayName() : Caption;
    }
    void Assign(const TPersistent* source) override {
        if (auto* item = dynamic_cast<const TNamedItem*>(source)) {
            Caption = item->Caption;
            return;
        }
        TCollectionItem::Assign(source);
    }
};

// Records what the collection is told, in order.
class TLogCollection : public TCollection {
public:
    TLogCollection() : TCollection(ItemClassOf<TNamedItem>()) {}
    std::vector<std::string> Log;
    TNamedItem* Item(int i) const { return static_cast<TNamedItem*>(Items(i)); }
    std::vector<String> Captions() const {
        std::vector<String> out;
        for (int i = 0; i < Count(); ++i)
            out.push_back(Item(i)->Caption);
        return out;
    }

protected:
    void Update(TCollectionItem* item) override {
        Log.push_back(item ? "update:" + std::to_string(item->Index()) : "update:all");
    }
    void Notify(TCollectionItem* item, TCollectionNotification action) override {
        static const char* names[] = {"added", "extracting", "deleting"};
        Log.push_back(std::string(names[action]) + ":" + std::to_string(item->ID()));
    }
};

TNamedItem* AddNamed(TLogCollection& c, const char16_t* caption) {
    auto* item = static_cast<TNamedItem*>(c.Add());
    item->Caption = caption;
    return item;
}

TEST(Collection, AddDeleteAndIdsNotifyInOrder) {
    TLogCollection c;
    AddNamed(c, u"a");
    AddNamed(c, u"b");
    EXPECT_EQ(c.Log, (std::vector<std::string>{"added:0", "update:all", "added:1", "update:all"}));
    c.Log.clear();
    c.Delete(0);
    EXPECT_EQ(c.Log, (std::vector<std::string>{"deleting:0", "extracting:0", "update:all"}));
    EXPECT_EQ(c.Captions(), std::vector<String>{u"b"});
    // IDs are never reused, so a remembered ID cannot name a different item later.
    auto* c3 = AddNamed(c, u"c");
    EXPECT_EQ(c3->ID(), 2);
    EXPECT_EQ(c.FindItemID(0), nullptr);
    EXPECT_EQ(c.FindItemID(2), c3);
    EXPECT_THROW(c.Delete(5), EListError);
    EXPECT_THROW(c.Items(-1), EListError);
}

TEST(Collection, MovingItemsReordersAndUpdatesAll) {
    TLogCollection c;
    for (auto s : {u"a", u"b", u"c", u"d"})
        AddNamed(c, s);
    c.Log.clear();
    c.Item(0)->SetIndex(2);
    EXPECT_EQ(c.Captions(), (std::vector<String>{u"b", u"c", u"a", u"d"}));
    EXPECT_EQ(c.Log, std::vector<std::string>{"update:all"});
    c.Move(3, 0);
    EXPECT_EQ(c.Captions(), (std::vector<String>{u"d", u"b", u"c", u"a"}));
    EXPECT_EQ(c.Item(3)->Index(), 3);
    c.Log.clear();
    c.Item(1)->SetIndex(1); // no move, no update
    EXPECT_TRUE(c.Log.empty());
    EXPECT_THROW(c.Item(0)->SetIndex(4), EListError);
    auto* inserted = static_cast<TNamedItem*>(c.Insert(1));
    inserted->Caption = u"x";
    EXPECT_EQ(c.Captions(), (std::vector<String>{u"d", u"x", u"b", u"c", u"a"}));
}

TEST(Collection, UpdateBracketsSendOneUpdateAtTheOutermostEnd) {
    TLogCollection c;
    c.BeginUpdate();
    c.BeginUpdate();
    AddNamed(c, u"a")->SetCaption(u"A");
    AddNamed(c, u"b");
    c.EndUpdate();
    EXPECT_EQ(c.Log, (std::vector<std::string>{"added:0", "added:1"}));
    c.EndUpdate();
    EXPECT_EQ(c.Log.back(), "update:all");
    c.Log.clear();
    c.Item(1)->SetCaption(u"B"); // outside a bracket a single item is reported
    EXPECT_EQ(c.Log, std::vector<std::string>{"update:1"});
    c.Log.clear();
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.Log.back(), "update:all");
    EXPECT_EQ(std::count(c.Log.begin(), c.Log.end(), "update:all"), 1);
}

TEST(Collection, ItemsMoveBetweenCollectionsAndAssignCopies) {
    TLogCollection a, b;
    auto* item = AddNamed(a, u"one");
    AddNamed(a, u"two");
    item->SetCollection(&b);
    EXPECT_EQ(a.Captions(), std::vector<String>{u"two"});
    EXPECT_EQ(b.Captions(), std::vector<String>{u"one"});
    EXPECT_EQ(item->Collection(), &b);

    b.Log.clear();
    b.Assign(&a);
    EXPECT_EQ(b.Captions(), std::vector<String>{u"two"});
    EXPECT_NE(b.Item(0), a.Item(0));
    EXPECT_EQ(std::count(b.Log.begin(), b.Log.end(), "update:all"), 1);

    // An item freed directly leaves its collection.
    delete b.Item(0);
    EXPECT_EQ(b.Count(), 0);
}

TEST(Collection, AssignFromAnUnrelatedObjectRaises) {
    TLogCollection c;
    TPersistent plain;
    try {
        c.Assign(&plain);
        FAIL() << "assigning a TPersistent to a collection must raise";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Cannot assign a TPersistent to a TLogCollection");
    }
    EXPECT_THROW(c.Assign(nullptr), EConvertError);
    EXPECT_EQ(AddNamed(c, u"")->DisplayName(), u"TNamedItem");
}

} // namespace
} // namespace mv
