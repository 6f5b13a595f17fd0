// The tree item list and the tree view data set bound to it. See MvDBTreeView.h.
#include "treeview/MvDBTreeView.h"

#include "platform/rtl/Format.h"

namespace mv {

namespace {

constexpr Integer DefaultFieldSize = 80;
constexpr const Char* DefaultIDFieldName = u"ID";
constexpr const Char* DefaultParentIDFieldName = u"ParentID";
constexpr const Char* DefaultItemNameFieldName = u"ItemName";
constexpr const Char* DefaultRowLevelFieldName = u"RowLevel";
constexpr const Char* DefaultRowOrderFieldName = u"RowOrder";
constexpr const Char* DefaultRowStateFieldName = u"RowState";

} // namespace

// ======================================================================================
// [SECTION] TMvDBTreeViewList
// ======================================================================================

TMvDBTreeViewList::~TMvDBTreeViewList() = default;

void TMvDBTreeViewList::CheckIndex(Integer index, Integer count) const {
    if (index < 0 || index >= count) throw EListError(Format(SysConst::SListIndexError, {index}));
}

TMvDBTreeViewItem* TMvDBTreeViewList::GetItem(Integer index) const {
    CheckIndex(index, Count());
    return FItems[static_cast<std::size_t>(index)].get();
}

void TMvDBTreeViewList::SetItem(Integer index, TMvDBTreeViewItem* item) {
    CheckIndex(index, Count());
    auto& entry = FItems[static_cast<std::size_t>(index)];
    if (entry.get() != item) entry.reset(item);
}

TMvDBTreeViewItem* TMvDBTreeViewList::AddItem(Integer id, Integer parentId, const String& name) {
    auto item = std::make_unique<TMvDBTreeViewItem>();
    item->SetID(id);
    item->SetParentID(parentId);
    item->SetItemName(name);
    FItems.push_back(std::move(item));
    return FItems.back().get();
}

void TMvDBTreeViewList::Insert(Integer index, TMvDBTreeViewItem* item) {
    std::unique_ptr<TMvDBTreeViewItem> owned(item);
    CheckIndex(index, Count() + 1);
    FItems.insert(FItems.begin() + index, std::move(owned));
}

void TMvDBTreeViewList::Delete(Integer index) {
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
}

// ======================================================================================
// [SECTION] TMvDBTreeViewData
// ======================================================================================

TMvDBTreeViewData::TMvDBTreeViewData(TComponent* owner)
    : TMvDBCustomData(owner), FIDFieldName(DefaultIDFieldName), FParentIDFieldName(DefaultParentIDFieldName),
      FItemNameFieldName(DefaultItemNameFieldName), FItemNameFieldSize(DefaultFieldSize),
      FRowLevelFieldName(DefaultRowLevelFieldName), FRowOrderFieldName(DefaultRowOrderFieldName),
      FRowOrderFieldSize(DefaultFieldSize), FRowStateFieldName(DefaultRowStateFieldName) {}

TMvDBTreeViewData::TMvDBTreeViewData(TComponent* owner, TMvDBTreeViewList* list) : TMvDBTreeViewData(owner) {
    SetListInstance(list);
}

TMvDBTreeViewData::~TMvDBTreeViewData() {
    Close();
}

void TMvDBTreeViewData::SetFieldName(String& target, const String& value, const Char* defaultName) {
    CheckInactive();
    target = value.empty() ? String(defaultName) : value;
    FieldDefs()->Clear();
}

void TMvDBTreeViewData::SetFieldSize(Integer& target, Integer value) {
    CheckInactive();
    target = value <= 0 ? DefaultFieldSize : value;
    FieldDefs()->Clear();
}

void TMvDBTreeViewData::SetIDFieldName(const String& value) {
    SetFieldName(FIDFieldName, value, DefaultIDFieldName);
}

void TMvDBTreeViewData::SetParentIDFieldName(const String& value) {
    SetFieldName(FParentIDFieldName, value, DefaultParentIDFieldName);
}

void TMvDBTreeViewData::SetItemNameFieldName(const String& value) {
    SetFieldName(FItemNameFieldName, value, DefaultItemNameFieldName);
}

void TMvDBTreeViewData::SetItemNameFieldSize(Integer value) {
    SetFieldSize(FItemNameFieldSize, value);
}

void TMvDBTreeViewData::SetRowLevelFieldName(const String& value) {
    SetFieldName(FRowLevelFieldName, value, DefaultRowLevelFieldName);
}

void TMvDBTreeViewData::SetRowOrderFieldName(const String& value) {
    SetFieldName(FRowOrderFieldName, value, DefaultRowOrderFieldName);
}

void TMvDBTreeViewData::SetRowOrderFieldSize(Integer value) {
    SetFieldSize(FRowOrderFieldSize, value);
}

void TMvDBTreeViewData::SetRowStateFieldName(const String& value) {
    SetFieldName(FRowStateFieldName, value, DefaultRowStateFieldName);
}

void TMvDBTreeViewData::SetListInstance(TMvDBTreeViewList* value) {
    CheckInactive();
    FListInstance = value;
}

void TMvDBTreeViewData::InternalInitFieldDefs() {
    if (FieldDefs()->Count() > 0)
        TMvDBCustomData::InternalInitFieldDefs();
    else
        InitFieldDefsFromList();
}

void TMvDBTreeViewData::InitFieldDefsFromList() {
    TFieldDefs* defs = FieldDefs();
    defs->Add(FIDFieldName, ftInteger);
    defs->Add(FParentIDFieldName, ftInteger);
    defs->Add(FItemNameFieldName, ftWideString, FItemNameFieldSize);
    defs->Add(FRowLevelFieldName, ftInteger);
    defs->Add(FRowOrderFieldName, ftString, FRowOrderFieldSize);
    defs->Add(FRowStateFieldName, ftInteger);
}

void TMvDBTreeViewData::DoOnCountRecords(Integer& count) {
    if (FListInstance != nullptr) count = FListInstance->Count();
}

void TMvDBTreeViewData::DoOnGetFieldData(Integer index, TField* field, Variant& value) {
    if (FListInstance == nullptr) return;
    const TMvDBTreeViewItem* item = FListInstance->GetItem(index);
    switch (field->FieldNo()) {
    case 1:
        value = item->GetID();
        break;
    case 2:
        value = item->GetParentID();
        break;
    case 3:
        value = item->GetItemName();
        break;
    case 4:
        value = item->GetRowLevel();
        break;
    case 5:
        value = item->GetRowOrder();
        break;
    case 6:
        value = item->GetRowState();
        break;
    default:
        break;
    }
}

void TMvDBTreeViewData::DoOnSetFieldData(Integer index, TField* field, const Variant& value) {
    if (FListInstance == nullptr) return;
    TMvDBTreeViewItem* item = FListInstance->GetItem(index);
    switch (field->FieldNo()) {
    case 1:
        item->SetID(value.AsInteger());
        break;
    case 2:
        item->SetParentID(value.AsInteger());
        break;
    case 3:
        item->SetItemName(value.AsString());
        break;
    case 4:
        item->SetRowLevel(value.AsInteger());
        break;
    case 5:
        item->SetRowOrder(value.AsString());
        break;
    case 6:
        item->SetRowState(value.AsInteger());
        break;
    default:
        break;
    }
}

void TMvDBTreeViewData::DoOnInsertRecord(Integer index) {
    if (FListInstance != nullptr) FListInstance->Insert(index, new TMvDBTreeViewItem());
}

void TMvDBTreeViewData::DoOnDeleteRecord(Integer index) {
    if (FListInstance != nullptr) FListInstance->Delete(index);
}

} // namespace mv
