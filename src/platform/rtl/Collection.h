// TCollection / TCollectionItem: an ordered list of items of one class that the
// collection owns. Every change reaches the collection's Update(item) — null meaning
// "all items" — unless an update bracket is open; the outermost EndUpdate sends one
// Update(null). Notify tells of items being added, extracted or deleted.
#pragma once

#include "platform/rtl/Persistent.h"

#include <functional>
#include <vector>

namespace mv {

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
public:
    // With a collection the item adds itself at the end.
    explicit TCollectionItem(TCollection* collection = nullptr);
    // Leaves its collection (which hears cnExtracting and updates).
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    // Moves the item from its present collection (if any) to the end of another one.
    virtual void SetCollection(TCollection* collection);
    // Position in the collection, -1 when in none. SetIndex moves the item and updates
    // all items, since every later item's index changed.
    Integer Index() const;
    virtual void SetIndex(Integer value);
    // A number unique within the collection for its lifetime, never reused by Add.
    Integer ID() const { return FID; }

    String DisplayName() const { return GetDisplayName(); }
    virtual String GetDisplayName() const { return ClassName(); }
    virtual void SetDisplayName(const String& value);

    TPersistent* GetOwner() const override;
    String GetNamePath() const override;

protected:
    // Tells the collection this item (or, with allItems, every item) changed.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    Integer FID = 0;
};

class TCollection : public TPersistent {
public:
    // Creates a new item not yet in any collection; stands in for the framework's item class.
    using TItemClass = std::function<TCollectionItem*()>;
    template <typename T> static TItemClass ItemClassOf() {
        return [] { return new T(nullptr); };
    }

    explicit TCollection(TItemClass itemClass);
    // Frees the items without sending updates.
    ~TCollection() override;

    TCollectionItem* Add();
    // Adds an item and moves it to index (0..Count).
    TCollectionItem* Insert(Integer index);
    // Notifies cnDeleting, then frees the item (which extracts itself: cnExtracting).
    void Delete(Integer index);
    void Clear();
    // Moves an item; the same as Items(curIndex)->SetIndex(newIndex).
    void Move(Integer curIndex, Integer newIndex);
    Integer Count() const { return static_cast<Integer>(FItems.size()); }
    // Raises EListError "List index out of bounds (%d)" for a bad index.
    TCollectionItem* Items(Integer index) const;
    TCollectionItem* FindItemID(Integer id) const;

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    Integer UpdateCount() const { return FUpdateCount; }

    // From another collection: clears and adds one item per source item, each assigned
    // from its counterpart, inside one update bracket.
    void Assign(const TPersistent* source) override;
    String GetNamePath() const override;
    const TItemClass& ItemClass() const { return FItemClass; }

protected:
    // Called with the changed item, or null when all items may have changed.
    virtual void Update(TCollectionItem* item);
    virtual void Notify(TCollectionItem* item, TCollectionNotification action);
    virtual void SetItemName(TCollectionItem* item);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);

    TItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    Integer FUpdateCount = 0;
    Integer FNextID = 0;
};

// A collection whose owner (for name paths and streaming) is a given object.
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* owner, TItemClass itemClass)
        : TCollection(std::move(itemClass)), FOwner(owner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

} // namespace mv
