// A test-only data set over a vector of rows of Variants. It implements the record-buffer
// protocol the way a real derived data set does, so tests exercise TDataSet's window,
// states, bookmarks, fields and links against an honest storage.
//
// Storage: Rows()[r][s] is the value of slot s of row r, slots numbered by the flat field
// definition list (FieldDefList: object definitions take a slot of their own, unused).
// Blob slots hold strings: memo texts as text, binary blobs one character per byte.
// Every row has a stable id; bookmarks are ids, so they survive inserts and deletes.
//
// Record buffer: a header (row, id, bookmark flag) followed by one Variant per data slot
// and one per calculated or lookup field.
#pragma once

#include "platform/db/DataSet.h"
#include "platform/db/FilterExpr.h"

#include <unordered_map>
#include <vector>

namespace mv::test {

class TVectorDataSet : public TDataSet {
public:
    using TRow = std::vector<Variant>;

    explicit TVectorDataSet(TComponent* owner = nullptr);
    ~TVectorDataSet() override;

    // The rows; change them only while the data set is closed.
    std::vector<TRow>& Rows() { return FRows; }
    const std::vector<TRow>& Rows() const { return FRows; }
    // Adds a row with a new id (closed data set only).
    void AddRow(TRow row);
    bool ReadOnlyStore() const { return FReadOnly; }
    void SetReadOnlyStore(bool value) { FReadOnly = value; }
    void SetUniDirectionalStore(bool value) { SetUniDirectional(value); }
    // How often GetRecord ran: tests check that the window fetches what it must and no more.
    Integer GetRecordCalls() const { return FGetRecordCalls; }
    void ResetGetRecordCalls() { FGetRecordCalls = 0; }
    // Re-reads the filter when Filtered, Filter or FilterOptions change on an open set.
    void SetFiltered(bool value) override;
    void SetFilterOptions(TFilterOptions value) override;

    using TDataSet::ActiveBuffer;
    using TDataSet::GetFieldData;
    using TDataSet::SetFieldData;
    bool GetFieldData(TField* field, void* buffer) override;
    void SetFieldData(TField* field, const void* buffer) override;
    std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode) override;
    bool BookmarkValid(const TBookmark& bookmark) override;
    Integer CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2) override;

    // For the blob stream: the slot of a field in the buffer fields read now.
    Variant* ActiveSlot(TField* field);

protected:
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& buffer) override;
    TGetResult GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) override;
    Integer GetRecordSize() const override;
    void InternalOpen() override;
    void InternalClose() override;
    bool IsCursorOpen() const override { return FOpen; }
    void InternalInitFieldDefs() override;
    void InternalFirst() override { FCursor = -1; }
    void InternalLast() override { FCursor = static_cast<Integer>(FRows.size()); }
    void InternalPost() override;
    void InternalDelete() override;
    void InternalAddRecord(TRecordBuffer buffer, bool append) override;
    void InternalInitRecord(TRecordBuffer buffer) override;
    void InternalGotoBookmark(const TBookmark& bookmark) override;
    void InternalSetToRecord(TRecordBuffer buffer) override;
    void GetBookmarkData(TRecordBuffer buffer, TBookmark& data) const override;
    void SetBookmarkData(TRecordBuffer buffer, const TBookmark& data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) const override;
    void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) override;
    Integer GetRecNo() const override;
    void SetRecNoValue(Integer value) override;
    Integer GetRecordCount() const override { return static_cast<Integer>(FRows.size()); }
    bool GetCanModify() const override { return !FReadOnly; }
    void ClearCalcFields(TRecordBuffer buffer) override;
    void SetFilterText(const String& value) override;
    bool FilterExpressionAccepts() override;

private:
    struct THeader {
        Integer Row;
        Integer Id;
        TBookmarkFlag Flag;
    };
    static THeader& Header(TRecordBuffer buffer) { return *reinterpret_cast<THeader*>(buffer); }
    Variant* Slots(TRecordBuffer buffer) const;
    Integer SlotOf(const TField* field) const;
    Integer RowOfId(Integer id) const;
    void InsertRow(Integer at, TRecordBuffer buffer);
    void CompileFilter();

    std::vector<TRow> FRows;
    std::vector<Integer> FIds;
    Integer FNextId = 0;
    Integer FCursor = -1;
    bool FOpen = false;
    bool FReadOnly = false;
    Integer FDataSlots = 0;
    Integer FSlotCount = 0;
    std::unordered_map<const TField*, Integer> FCalcSlots;
    Integer FGetRecordCalls = 0;
    TFilterExpression FFilterExpression;
};

} // namespace mv::test
