// The tree view data set: a custom data set (MvDBCustData.h) over an in-memory list of tree
// items, one record per item, six fields mapped by field number: 1 ID, 2 ParentID,
// 3 ItemName, 4 RowLevel, 5 RowOrder, 6 RowState. An application fills the list with
// AddItem, hands it to the data set and opens it; a grid's tree view keyed on ID and
// ParentID then writes each row's level, order key and state back into the items.
#pragma once

#include "treeview/MvDBCustData.h"

#include <memory>
#include <vector>

namespace mv {

// One tree item. A new item holds 0, 0, "", 0, "", 0.
class TMvDBTreeViewItem : public TPersistent {
public:
    Integer GetID() const { return FID; }
    void SetID(Integer value) { FID = value; }
    // The application chooses the value of a root item; an item whose parent identifier
    // names no item is a root to the grid's tree view.
    Integer GetParentID() const { return FParentID; }
    void SetParentID(Integer value) { FParentID = value; }
    const String& GetItemName() const { return FItemName; }
    void SetItemName(const String& value) { FItemName = value; }
    // Written by the grid's tree view: depth, sort key in tree order, state bits.
    Integer GetRowLevel() const { return FRowLevel; }
    void SetRowLevel(Integer value) { FRowLevel = value; }
    const String& GetRowOrder() const { return FRowOrder; }
    void SetRowOrder(const String& value) { FRowOrder = value; }
    Integer GetRowState() const { return FRowState; }
    void SetRowState(Integer value) { FRowState = value; }

private:
    Integer FID = 0;
    Integer FParentID = 0;
    String FItemName;
    Integer FRowLevel = 0;
    String FRowOrder;
    Integer FRowState = 0;
};

// An owning list of items; its order is the record order of the data set (record index i
// is the item at position i). Bad indexes raise EListError "List index out of bounds (%d)".
class TMvDBTreeViewList : public TObject {
public:
    TMvDBTreeViewList() = default;
    ~TMvDBTreeViewList() override;

    Integer Count() const { return static_cast<Integer>(FItems.size()); }
    TMvDBTreeViewItem* GetItem(Integer index) const;
    // Takes ownership of item and frees the item it replaces (nothing when the same).
    void SetItem(Integer index, TMvDBTreeViewItem* item);
    TMvDBTreeViewItem* Items(Integer index) const { return GetItem(index); }
    // A new item with these values, appended; the list owns it.
    TMvDBTreeViewItem* AddItem(Integer id, Integer parentId, const String& name);
    // Takes ownership of item and puts it at index (0 .. Count).
    void Insert(Integer index, TMvDBTreeViewItem* item);
    // Frees the item at index.
    void Delete(Integer index);
    void Clear() { FItems.clear(); }

private:
    void CheckIndex(Integer index, Integer count) const;
    std::vector<std::unique_ptr<TMvDBTreeViewItem>> FItems;
};

class TMvDBTreeViewData : public TMvDBCustomData {
public:
    // Default names "ID", "ParentID", "ItemName", "RowLevel", "RowOrder", "RowState",
    // sizes 80, no list.
    explicit TMvDBTreeViewData(TComponent* owner);
    TMvDBTreeViewData(TComponent* owner, TMvDBTreeViewList* list);
    ~TMvDBTreeViewData() override;

    // Each setter raises SDataSetOpen on an open data set. An empty name stores the
    // default name, a size of 0 or less stores 80; each name or size setter then clears
    // FieldDefs, so that the next open builds them again.
    const String& GetIDFieldName() const { return FIDFieldName; }
    void SetIDFieldName(const String& value);
    const String& GetParentIDFieldName() const { return FParentIDFieldName; }
    void SetParentIDFieldName(const String& value);
    const String& GetItemNameFieldName() const { return FItemNameFieldName; }
    void SetItemNameFieldName(const String& value);
    Integer GetItemNameFieldSize() const { return FItemNameFieldSize; }
    void SetItemNameFieldSize(Integer value);
    const String& GetRowLevelFieldName() const { return FRowLevelFieldName; }
    void SetRowLevelFieldName(const String& value);
    const String& GetRowOrderFieldName() const { return FRowOrderFieldName; }
    void SetRowOrderFieldName(const String& value);
    Integer GetRowOrderFieldSize() const { return FRowOrderFieldSize; }
    void SetRowOrderFieldSize(Integer value);
    const String& GetRowStateFieldName() const { return FRowStateFieldName; }
    void SetRowStateFieldName(const String& value);
    // The list served, not owned: it must outlive the data set, be filled before the data
    // set opens (the count is taken at open) and is not seen changing while open.
    TMvDBTreeViewList* GetListInstance() const { return FListInstance; }
    void SetListInstance(TMvDBTreeViewList* value);

protected:
    // Definitions that exist (the application's, or kept from persistent fields) stay;
    // otherwise InitFieldDefsFromList.
    void InternalInitFieldDefs() override;
    // The six definitions in field-number order: ID, ParentID (ftInteger), ItemName
    // (ftWideString, ItemNameFieldSize), RowLevel (ftInteger), RowOrder (ftString,
    // RowOrderFieldSize), RowState (ftInteger).
    void InitFieldDefsFromList();

    // Bound to the list; each does nothing without one. Values map by field number (not
    // name); other numbers read Null and are not written. Writing converts by the Variant
    // conversions, so Null or a non-number into an integer raises EVariantError.
    void DoOnCountRecords(Integer& count) override;
    void DoOnGetFieldData(Integer index, TField* field, Variant& value) override;
    void DoOnSetFieldData(Integer index, TField* field, const Variant& value) override;
    void DoOnInsertRecord(Integer index) override;
    void DoOnDeleteRecord(Integer index) override;

private:
    void SetFieldName(String& target, const String& value, const Char* defaultName);
    void SetFieldSize(Integer& target, Integer value);

    String FIDFieldName;
    String FParentIDFieldName;
    String FItemNameFieldName;
    Integer FItemNameFieldSize = 0;
    String FRowLevelFieldName;
    String FRowOrderFieldName;
    Integer FRowOrderFieldSize = 0;
    String FRowStateFieldName;
    TMvDBTreeViewList* FListInstance = nullptr;
};

} // namespace mv
