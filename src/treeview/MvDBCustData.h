// TMvDBCustomData: a data set whose records live with an owner. It keeps no rows: it knows
// how many records there are and which one is current, and asks the owner (a descendant
// overriding the DoOn... operations) for every value, insertion, deletion and change. A
// record is addressed by its zero-based record index.
//
// Record buffer (one per row of the data set's window, plus the spare and calculation
// buffers):
//   offset 0  record index   32-bit signed, the record's position
//   offset 4  bookmark flag  one byte (bfCurrent, bfBOF, bfEOF, bfInserted)
//   padding to the alignment of Variant
//   slots     one Variant per entry of the flat field list (FieldList(), children of ADT
//             and array fields included), in that order
// A slot is Unassigned (not fetched yet), Null (fetched, null) or a value. Fetching a record
// only resets its slots; a value is asked of the owner the first time a field is read, so
// moving through a million records costs nothing until the shown ones are read.
//
// Bookmarks are 4 bytes: the record index. They are positions, so an insert or delete in
// front of a bookmarked record makes the bookmark name its neighbour.
//
// Implementation: CustomDataSet.cpp (opening, navigation, editing), CustomDataRecords.cpp
// (buffers, bookmarks, fetching, field data), CustomDataLocate.cpp (locate and lookup).
#pragma once

#include "platform/db/DataSet.h"

#include <cstdint>
#include <vector>

namespace mv {

// The unit's own message texts, replaceable at start-up.
namespace MvDBCustDataConsts {
extern String SUnsupportedFieldType; // "Unsupported field type (%s) in field %s"
} // namespace MvDBCustDataConsts

class TMvDBCustomData : public TDataSet {
public:
    // Switches ObjectView on, so ADT and array fields keep their child fields.
    explicit TMvDBCustomData(TComponent* owner);
    ~TMvDBCustomData() override;

    // -- Overridden public operations of the data set -------------------------------------

    // deLayoutChange on an open data set whose field list changed: posts or cancels a
    // pending edit and refetches the window (the slots follow the flat field list). Then
    // the data set's own handling.
    void DataEvent(TDataEvent event, NativeInt info) override;
    // CheckBrowseMode; restart goes to First (forward) or Last and answers whether there is
    // a record; otherwise answers whether MoveBy(+1 or -1) moved.
    bool FindRecord(bool restart, bool goForward) override;
    // Nothing when unchanged. On an open data set: CheckBrowseMode, the new value, First.
    // Only OnFilterRecord filters; the Filter expression is not evaluated here.
    void SetFiltered(bool value) override;
    // True when the bookmark is not empty and names an index in 0 .. RecordCount-1.
    bool BookmarkValid(const TBookmark& bookmark) override;
    // Empty bookmarks sort after the others; otherwise by record index.
    Integer CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2) override;
    // Read the field's slot of the buffer of the current state; an Unassigned slot of a
    // physical field (FieldNo > 0) is asked of the owner first and kept, so each value is
    // asked at most once per fetched record. True when the value is not null; with a
    // buffer the value is stored in it (nativeFormat does not matter for the supported
    // types): ftString/ftFixedChar/ftGuid as UTF-8 bytes, at most Size of them and never
    // a cut character, then a 0 byte; ftWideString/ftFixedWideChar as at most Size UTF-16
    // units (never half a surrogate pair), then a 0 unit; ftInteger/ftAutoInc as int32.
    // ftUnknown raises DBConsts::SUnknownFieldType and any other type
    // MvDBCustDataConsts::SUnsupportedFieldType, both with the data set as component;
    // nothing is written to the buffer then.
    bool GetFieldData(TField* field, void* buffer) override;
    bool GetFieldData(TField* field, void* buffer, bool nativeFormat) override;
    // Outside dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue and
    // dsInternalCalc raises SNotEditing. For a physical field: SFieldReadOnly for a
    // read-only field (except in dsSetKey/dsFilter), the field's validation, and the field
    // joins the modified-fields list. Then the slot takes the value (Null for no buffer)
    // and, in dsEdit/dsInsert/dsSetKey, deFieldChange is sent. The conversion errors are
    // those of GetFieldData, the unsupported-type one without a component.
    void SetFieldData(TField* field, const void* buffer) override;
    void SetFieldData(TField* field, const void* buffer, bool nativeFormat) override;
    // BeforeScroll; LocateRecord; when found the found record is centred (Resync rmExact,
    // rmCenter) and AfterScroll fires. With no options values compare by VarSameValue; with
    // options loCaseInsensitive compares texts without case and loPartialKey lets the last
    // key field's text match a prefix, other pairs comparing with the Variant operator ==.
    bool Locate(StringView keyFields, const Variant& keyValues, TLocateOptions options) override;
    // The values of resultFields of the first record whose key fields equal keyValues
    // exactly, its calculated fields computed; Null when none. The current record stays.
    Variant Lookup(StringView keyFields, const Variant& keyValues, StringView resultFields) override;

protected:
    // -- Own operations -----------------------------------------------------------------

    // Asks DoOnCountRecords for the number of records (starting from 0).
    virtual Integer CountRecords();
    // The owner's side; all do nothing here. DoOnGetFieldData receives value as Null.
    // DoOnInsertRecord inserts an empty record at index, moving the records at and after
    // it one place on. Exceptions pass to the caller (see InternalPost for a post).
    virtual void DoOnCountRecords(Integer& count);
    virtual void DoOnDeleteRecord(Integer index);
    virtual void DoOnGetFieldData(Integer index, TField* field, Variant& value);
    virtual void DoOnInsertRecord(Integer index);
    virtual void DoOnSetFieldData(Integer index, TField* field, const Variant& value);
    // The record index a buffer stands for: 0 for bfBOF, the record count for bfEOF (where
    // a new record goes), else the stored index.
    virtual Integer GetIndex(TRecordBuffer buffer) const;
    // GetIndex of the calculation buffer in dsCalcFields, of the active buffer otherwise.
    virtual Integer GetRecordIndex() const;
    // The cursor: -1 before the first record, 0 .. count-1 on one, count after the last.
    virtual Integer GetRecordNumber() const;
    // Sets accept to whether the record in the filter buffer matches the locate in progress.
    virtual void LocateFilter(bool& accept);
    // Raises SDataSetOpen on an open data set; negative counts are stored as 0.
    virtual void SetRecordCount(Integer value);
    virtual void SetRecordNumber(Integer value);

    // Read-only data sets answer false to CanModify; descendants set it in their constructors.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }

    // -- Overridden operations of the data set --------------------------------------------

    void ClearCalcFields(TRecordBuffer buffer) override;
    void DoOnNewRecord() override;
    bool GetCanModify() const override { return !FReadOnly; }
    // Not reduced by filtering.
    Integer GetRecordCount() const override { return FRecordTotal; }
    // Raises SDataSetClosed when closed; -1 without records or on a buffer that is not on a
    // record (bfCurrent), else the record index + 1.
    Integer GetRecNo() const override;
    // Nothing when RecNo is value already; else BeforeScroll, cursor on record value - 1,
    // the window centred there (Resync rmCenter), AfterScroll. The value is not checked.
    void SetRecNoValue(Integer value) override;
    void InternalEdit() override;
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& buffer) override;
    void GetBookmarkData(TRecordBuffer buffer, TBookmark& data) const override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) const override;
    Integer GetRecordSize() const override { return FRecordSize; }
    void InternalAddRecord(TRecordBuffer buffer, bool append) override;
    void InternalDelete() override;
    void InternalFirst() override;
    void InternalGotoBookmark(const TBookmark& bookmark) override;
    void InternalInitRecord(TRecordBuffer buffer) override;
    void InternalLast() override;
    // Required fields; then, on the record GetRecordIndex names: DoOnInsertRecord (insert),
    // DoOnSetFieldData for each modified field whose slot was assigned, in the order of
    // first write (Null passed as Null); the record count grows by one for an insert. When
    // a value is refused during an insert, DoOnDeleteRecord takes the half-made record
    // back and the exception goes on; the count is unchanged.
    void InternalPost() override;
    void InternalSetToRecord(TRecordBuffer buffer) override;
    void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) override;
    void SetBookmarkData(TRecordBuffer buffer, const TBookmark& data) override;
    // Fetches as InternalGetRecord does; while filtering by OnFilterRecord or locating,
    // repeats in state dsFilter until a record is accepted (gmCurrent: grError when
    // refused). An exception in that loop goes to ApplicationHandleException and gives
    // grError.
    TGetResult GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) override;
    void InternalClose() override;
    // Hands the exception being handled to ApplicationHandleException when installed.
    void InternalHandleException() override;
    void InternalInitFieldDefs() override;
    void InternalOpen() override;
    bool IsCursorOpen() const override { return FCursorOpen; }

    // -- Helpers for descendants ------------------------------------------------------------

    // The buffer whose values the fields read and write in the current state (see the
    // table in CustomDataRecords.cpp); false when there is none.
    bool GetRecordBuffer(TRecordBuffer& buffer) const;
    // Computes the signature of the field list (the field objects and their positions,
    // children included), stores it and answers whether it differs from the stored one.
    bool FieldListChanged();
    // Definitions from persistent fields, only when there are none yet; array definitions
    // then get their child count as size.
    void InitFieldDefsFromFields();
    // One step of the cursor (no filter): grBOF/grEOF past the ends, else the buffer takes
    // the record, its slots become Unassigned and its calculated fields are computed.
    // An exception is re-raised with doCheck, else answered grError.
    TGetResult InternalGetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck);
    // Walks the records from the first through the filter loop until one matches; the
    // cursor stays on it. The window is not touched.
    bool LocateRecord(StringView keyFields, const Variant& keyValues, TLocateOptions options);

private:
    // Record index (4 bytes) and bookmark flag (1 byte), padded so the slots are aligned.
    static constexpr std::size_t SlotsOffset =
        (5 + alignof(Variant) - 1) / alignof(Variant) * alignof(Variant);

    // The slot of a field in a record buffer; null without buffer or for a field that is
    // not in the flat field list the buffers were laid out for.
    Variant* SlotOf(TRecordBuffer buffer, const TField* field);
    Variant* Slots(TRecordBuffer buffer) const;
    // Takes the present flat field list as the fields of the slots.
    void LayOutSlots();

    bool FReadOnly = false;
    bool FCursorOpen = false;
    Integer FRecordSize = 0;
    Integer FSlotCount = 0;
    // The flat field list the slots follow, kept apart from FieldList(): that one is
    // rebuilt as soon as a field moves, while pending values still sit in the old order.
    std::vector<TField*> FSlotFields;
    Integer FRecordTotal = 0;
    Integer FRecordNumber = -1;
    std::uint32_t FFieldListSignature = 0;
    std::vector<TField*> FModifiedFields;
    TLocateOptions FLocateOptions;
    bool FLocating = false;
    String FLocateFields;
    Variant FLocateValues;
};

} // namespace mv
