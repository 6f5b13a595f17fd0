// TMvDBCustomData: opening and closing, field definitions, the field-list signature,
// navigation by record number and editing through the owner. See MvDBCustData.h.
//
// [SECTION] Construction and opening   InternalOpen, InternalClose, InternalInitFieldDefs,
//                                      InitFieldDefsFromFields, FieldListChanged, DataEvent
// [SECTION] Owner operations           CountRecords, DoOn..., SetRecordCount
// [SECTION] Navigation                 InternalFirst/Last, GetRecNo, SetRecNoValue,
//                                      FindRecord, SetFiltered
// [SECTION] Editing                    DoOnNewRecord, InternalEdit, InternalPost,
//                                      InternalAddRecord, InternalDelete
#include "treeview/MvDBCustData.h"

#include "platform/db/DBConsts.h"

#include <algorithm>
#include <cstring>

namespace mv {

namespace MvDBCustDataConsts {
String SUnsupportedFieldType = u"Unsupported field type (%s) in field %s";
} // namespace MvDBCustDataConsts

namespace {

// Each field object's identity shifted right by its position (modulo 16), summed over the
// fields and the children of object fields: adding, removing or reordering fields changes it.
std::uint32_t FieldListSignature(const TFields& fields) {
    std::uint32_t signature = 0;
    Integer position = 0;
    for (TField* field : fields) {
        auto identity = reinterpret_cast<std::uintptr_t>(field);
        signature += static_cast<std::uint32_t>(identity >> (position % 16));
        if (auto* object = dynamic_cast<TObjectField*>(field))
            signature += FieldListSignature(*object->Fields());
        ++position;
    }
    return signature;
}

void SetArrayDefSizes(TFieldDefs& defs) {
    for (Integer i = 0; i < defs.Count(); ++i) {
        TFieldDef* def = defs.Items(i);
        if (!def->HasChildDefs()) {
            if (def->DataType() == ftArray) def->SetSize(0);
            continue;
        }
        SetArrayDefSizes(*def->ChildDefs());
        if (def->DataType() == ftArray) def->SetSize(def->ChildDefs()->Count());
    }
}

} // namespace

// ======================================================================================
// [SECTION] Construction and opening
// ======================================================================================

TMvDBCustomData::TMvDBCustomData(TComponent* owner) : TDataSet(owner) {
    SetObjectView(true);
}

TMvDBCustomData::~TMvDBCustomData() {
    Close();
}

void TMvDBCustomData::InternalOpen() {
    FCursorOpen = true;
    FRecordNumber = -1;
    SetBookmarkSize(static_cast<Integer>(sizeof(Integer)));
    FieldDefs()->SetUpdated(false);
    FieldDefs()->Update();
    if (DefaultFields()) CreateFields();
    FieldListChanged();
    BindFields(true);
    LayOutSlots();
    FSlotCount = static_cast<Integer>(FSlotFields.size());
    FRecordSize = static_cast<Integer>(SlotsOffset + static_cast<std::size_t>(FSlotCount) * sizeof(Variant));
    SetRecordCount(CountRecords());
}

void TMvDBCustomData::InternalClose() {
    SetRecordCount(0);
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    FSlotFields.clear();
    FCursorOpen = false;
}

void TMvDBCustomData::InternalInitFieldDefs() {
    InitFieldDefsFromFields();
}

void TMvDBCustomData::InitFieldDefsFromFields() {
    if (FieldDefs()->Count() != 0 || FieldCount() == 0) return;
    TDataSet::InitFieldDefsFromFields();
    SetArrayDefSizes(*FieldDefs());
}

bool TMvDBCustomData::FieldListChanged() {
    std::uint32_t signature = FieldListSignature(*Fields());
    bool changed = signature != FFieldListSignature;
    FFieldListSignature = signature;
    return changed;
}

void TMvDBCustomData::DataEvent(TDataEvent event, NativeInt info) {
    if (event == deLayoutChange && Active() && FieldListChanged()) {
        // The slots are laid out by the flat field list: values fetched under the old
        // order would be read through the wrong fields.
        CheckBrowseMode();
        UpdateCursorPos();
        SetFieldListUpdated(false);
        LayOutSlots();
        Resync({});
    }
    TDataSet::DataEvent(event, info);
}

void TMvDBCustomData::InternalHandleException() {
    if (ApplicationHandleException) ApplicationHandleException(this);
}

// ======================================================================================
// [SECTION] Owner operations
// ======================================================================================

Integer TMvDBCustomData::CountRecords() {
    Integer count = 0;
    DoOnCountRecords(count);
    return count;
}

void TMvDBCustomData::DoOnCountRecords(Integer&) {}

void TMvDBCustomData::DoOnDeleteRecord(Integer) {}

void TMvDBCustomData::DoOnGetFieldData(Integer, TField*, Variant&) {}

void TMvDBCustomData::DoOnInsertRecord(Integer) {}

void TMvDBCustomData::DoOnSetFieldData(Integer, TField*, const Variant&) {}

void TMvDBCustomData::SetRecordCount(Integer value) {
    CheckInactive();
    FRecordTotal = std::max(value, 0);
}

Integer TMvDBCustomData::GetRecordNumber() const {
    return FRecordNumber;
}

void TMvDBCustomData::SetRecordNumber(Integer value) {
    FRecordNumber = value;
}

Integer TMvDBCustomData::GetIndex(TRecordBuffer buffer) const {
    switch (GetBookmarkFlag(buffer)) {
    case bfBOF:
        return 0;
    case bfEOF:
        return FRecordTotal;
    default: {
        Integer index;
        std::memcpy(&index, buffer, sizeof index);
        return index;
    }
    }
}

Integer TMvDBCustomData::GetRecordIndex() const {
    return GetIndex(State() == dsCalcFields ? CalcBuffer() : ActiveBuffer());
}

// ======================================================================================
// [SECTION] Navigation
// ======================================================================================

void TMvDBCustomData::InternalFirst() {
    FRecordNumber = -1;
}

void TMvDBCustomData::InternalLast() {
    FRecordNumber = FRecordTotal;
}

Integer TMvDBCustomData::GetRecNo() const {
    CheckActive();
    if (FRecordTotal == 0) return -1;
    TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
    // A window left empty by a filter holds no current record, whatever its buffer says.
    if (State() != dsCalcFields && IsEmpty()) return -1;
    if (buffer == nullptr || GetBookmarkFlag(buffer) != bfCurrent) return -1;
    return GetIndex(buffer) + 1;
}

void TMvDBCustomData::SetRecNoValue(Integer value) {
    if (GetRecNo() == value) return;
    DoBeforeScroll();
    FRecordNumber = value - 1;
    Resync({rmCenter});
    DoAfterScroll();
}

bool TMvDBCustomData::FindRecord(bool restart, bool goForward) {
    CheckBrowseMode();
    bool found = false;
    UpdateCursorPos();
    CursorPosChanged();
    if (restart) {
        if (goForward)
            First();
        else
            Last();
        found = !IsEmpty();
    } else {
        found = MoveBy(goForward ? 1 : -1) != 0;
    }
    return found;
}

void TMvDBCustomData::SetFiltered(bool value) {
    if (value == Filtered()) return;
    if (!Active()) {
        TDataSet::SetFiltered(value);
        return;
    }
    CheckBrowseMode();
    TDataSet::SetFiltered(value);
    First();
}

// ======================================================================================
// [SECTION] Editing
// ======================================================================================

void TMvDBCustomData::DoOnNewRecord() {
    FModifiedFields.clear();
    TDataSet::DoOnNewRecord();
}

void TMvDBCustomData::InternalEdit() {
    FModifiedFields.clear();
}

void TMvDBCustomData::InternalPost() {
    TDataSet::InternalPost();
    UpdateCursorPos();
    try {
        Integer index = GetRecordIndex();
        bool inserting = State() == dsInsert;
        if (inserting) DoOnInsertRecord(index);
        try {
            TRecordBuffer buffer = ActiveBuffer();
            for (TField* field : FModifiedFields) {
                Variant* slot = SlotOf(buffer, field);
                if (slot == nullptr || VarIsEmpty(*slot)) continue;
                // A copy: the owner may read fields, which can refill slots meanwhile.
                Variant value = *slot;
                DoOnSetFieldData(index, field, value);
            }
        } catch (...) {
            if (inserting) DoOnDeleteRecord(index);
            throw;
        }
        if (inserting) ++FRecordTotal;
    } catch (...) {
        CursorPosChanged();
        throw;
    }
}

void TMvDBCustomData::InternalAddRecord(TRecordBuffer buffer, bool append) {
    if (append) SetBookmarkFlag(buffer, bfEOF);
    InternalPost();
}

void TMvDBCustomData::InternalDelete() {
    Integer index = GetRecordIndex();
    DoOnDeleteRecord(index);
    FRecordTotal = std::max(FRecordTotal - 1, 0);
}

} // namespace mv
