// TCollection and TCollectionItem: ownership, ordering, update brackets, notifications.
#include "platform/rtl/Collection.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"

#include <algorithm>
#include <cassert>

namespace mv {

// [SECTION] TCollectionItem

TCollectionItem::TCollectionItem(TCollection* collection) {
    SetCollection(collection);
}

TCollectionItem::~TCollectionItem() {
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* collection) {
    if (FCollection == collection) return;
    if (FCollection) FCollection->RemoveItem(this);
    if (collection) collection->InsertItem(this);
}

Integer TCollectionItem::Index() const {
    if (!FCollection) return -1;
    auto& items = FCollection->FItems;
    return static_cast<Integer>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(Integer value) {
    Integer current = Index();
    if (current < 0 || current == value) return;
    auto& items = FCollection->FItems;
    if (value < 0 || value >= static_cast<Integer>(items.size()))
        throw EListError(Format(SysConst::SListIndexError, {value}));
    auto from = items.begin() + current;
    auto to = items.begin() + value;
    if (current < value)
        std::rotate(from, from + 1, to + 1);
    else
        std::rotate(to, from, from + 1);
    Changed(true);
}

void TCollectionItem::SetDisplayName(const String&) {
    Changed(false);
}

void TCollectionItem::Changed(bool allItems) {
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const {
    return FCollection;
}

String TCollectionItem::GetNamePath() const {
    if (!FCollection) return ClassName();
    return Format(u"%s[%d]", {FCollection->GetNamePath(), Index()});
}

// [SECTION] TCollection

TCollection::TCollection(TItemClass itemClass) : FItemClass(std::move(itemClass)) {
    assert(FItemClass && "a collection needs an item class");
}

TCollection::~TCollection() {
    FUpdateCount = 1;
    Clear();
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* item = FItemClass();
    item->SetCollection(this);
    return item;
}

TCollectionItem* TCollection::Insert(Integer index) {
    if (index < 0 || index > Count()) throw EListError(Format(SysConst::SListIndexError, {index}));
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(Integer index) {
    TCollectionItem* item = Items(index);
    Notify(item, cnDeleting);
    delete item;
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    while (!FItems.empty())
        delete FItems.back();
    EndUpdate();
}

void TCollection::Move(Integer curIndex, Integer newIndex) {
    Items(curIndex)->SetIndex(newIndex);
}

TCollectionItem* TCollection::Items(Integer index) const {
    if (index < 0 || index >= Count()) throw EListError(Format(SysConst::SListIndexError, {index}));
    return FItems[static_cast<std::size_t>(index)];
}

TCollectionItem* TCollection::FindItemID(Integer id) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == id) return item;
    return nullptr;
}

void TCollection::EndUpdate() {
    assert(FUpdateCount > 0 && "EndUpdate without BeginUpdate");
    --FUpdateCount;
    Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Assign(const TPersistent* source) {
    auto* other = dynamic_cast<const TCollection*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this) return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : other->FItems)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

String TCollection::GetNamePath() const {
    TPersistent* owner = GetOwner();
    return owner ? owner->GetNamePath() : ClassName();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::SetItemName(TCollectionItem*) {}

void TCollection::InsertItem(TCollectionItem* item) {
    FItems.push_back(item);
    item->FCollection = this;
    item->FID = FNextID++;
    SetItemName(item);
    Notify(item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
    Notify(item, cnExtracting);
    auto it = std::find(FItems.begin(), FItems.end(), item);
    assert(it != FItems.end() && "item is not in this collection");
    FItems.erase(it);
    item->FCollection = nullptr;
    Changed();
}

} // namespace mv
