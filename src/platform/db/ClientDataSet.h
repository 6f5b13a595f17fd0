// TClientDataSet: the embedded data set whose records live in memory, with sorted orders
// (IndexFieldNames, IndexDefs), expression filters, bookmarks that survive re-sorting and
// re-filtering, clones sharing the records, and a versioned file format.
//
// Vocabulary:
//   store     the records, shared by a data set and its clones (CloneCursor). A record is
//             one contiguous image of native field buffers (Fields.h) plus a null bitmap;
//             blobs live in a side pool. Records get an id at creation that never changes
//             and is never reused while the store lives, so bookmarks stay valid.
//   order     the sequence the cursor walks: the default order (insertion order: appended
//             records at the end, inserted ones in front of the record they were inserted
//             at) or an index, a sorted list of record ids kept up to date on every post.
//             Every order is total: equal keys fall back to the default order, so sorting
//             is stable.
//   view      the order with the filter applied, and for a detail only the run of the
//             order that belongs to the master's record; RecordCount and RecNo count in
//             the view.
//
// Key comparison (indexes and Locate through an index): null is the smallest value, so
// nulls come first in ascending and last in descending fields. Strings compare by code
// point (UTF-8 bytes for ftString, UTF-16 units for wide strings); case-insensitive
// fields compare the case-folded characters, as AnsiCompareText does.
//
// Call flow of a change: Post -> InternalPost -> (internal calculated fields computed in
// state dsInternalCalc) -> store update -> every built index and every cursor's view is
// updated in place (binary search, no re-sort) -> Resync keeps the posted record current.
//
// Implementation: ClientDataSet.cpp (buffers, records, editing, bookmarks),
// ClientDataSetStore.cpp (store and index maintenance), ClientDataSetIndexes.cpp (index
// definitions, orders, locate), ClientDataSetFilters.cpp (filter views),
// ClientDataSetFile.cpp (file format), ClientDataSetLoading.cpp (loading from a
// connection), ClientDataSetNested.cpp (nested data sets), ClientDataSetMaster.cpp
// (master and detail), DBProperties.cpp (published properties). ClientDataSetPrivate.h
// holds the internals.
#pragma once

#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/FilterExpr.h"
#include "platform/rtl/Collection.h"

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <vector>

namespace mv {

namespace cds {
class TStore;
class TIndex;
struct TImageReader;
struct TPacket;
class TMasterLink;
} // namespace cds

class TClientDataSet;

// ======================================================================================
// [SECTION] Index definitions
// ======================================================================================

// ixPrimary and ixUnique reject a second record with the same key ("Key violation");
// ixDescending sorts every field descending, ixCaseInsensitive compares every text field
// without case. ixExpression and ixNonMaintained are accepted and have no effect.
enum TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained };
using TIndexOptions = Set<TIndexOption>;

class TIndexDef : public TCollectionItem {
    MV_CLASS(TIndexDef, TCollectionItem);

    explicit TIndexDef(TCollection* collection = nullptr);
    // Published: Name, Fields, DescFields, CaseInsFields, Options, GroupingLevel, Expression.
    static void RegisterProperties(TPropertyRegistrar<TIndexDef>& r);

    const String& Name() const { return FName; }
    void SetName(const String& value);
    // ";" separated field names, most significant first.
    const String& Fields() const { return FFields; }
    void SetFields(const String& value);
    // Fields (of Fields) sorted descending / compared without case, on top of Options.
    const String& DescFields() const { return FDescFields; }
    void SetDescFields(const String& value);
    const String& CaseInsFields() const { return FCaseInsFields; }
    void SetCaseInsFields(const String& value);
    TIndexOptions Options() const { return FOptions; }
    void SetOptions(TIndexOptions value);
    // Stored and saved; this data set keeps no aggregates, so it has no other effect.
    Integer GroupingLevel() const { return FGroupingLevel; }
    void SetGroupingLevel(Integer value) { FGroupingLevel = value; }
    const String& Expression() const { return FExpression; }
    void SetExpression(const String& value) { FExpression = value; }

    String GetDisplayName() const override { return FName; }
    void Assign(const TPersistent* source) override;

private:
    String FName;
    String FFields;
    String FDescFields;
    String FCaseInsFields;
    String FExpression;
    TIndexOptions FOptions;
    Integer FGroupingLevel = 0;
};

class TIndexDefs : public TOwnedCollection {
    MV_CLASS(TIndexDefs, TOwnedCollection);

    explicit TIndexDefs(TDataSet* dataSet);

    TIndexDef* Items(Integer index) const { return static_cast<TIndexDef*>(TCollection::Items(index)); }
    TIndexDef* AddIndexDef();
    // Appends a definition (no check of the name: AddIndex checks).
    TIndexDef* Add(const String& name, const String& fields, TIndexOptions options);
    // Position of the definition with this name (case-insensitive), -1 when none.
    Integer IndexOf(StringView name) const;
    // Raises EDatabaseError "Index 'X' not found" when there is none.
    TIndexDef* Find(StringView name) const;
    // The first definition whose Fields equal fields (case-insensitive), or whose leading
    // fields are fields; null when none.
    TIndexDef* GetIndexForFields(StringView fields, bool caseInsensitive) const;
    // As GetIndexForFields, raising "No index for fields 'X'" when none.
    TIndexDef* FindIndexForFields(StringView fields) const;

    TDataSet* DataSet() const { return FDataSet; }
    // The definitions are the data set's indexes themselves, so Update only marks them
    // up to date (the framework re-reads them from the storage here).
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool value) { FUpdated = value; }
    void Update() { FUpdated = true; }

protected:
    void Update(TCollectionItem* item) override;

private:
    TDataSet* FDataSet;
    bool FUpdated = true;
};

// ======================================================================================
// [SECTION] TClientDataSet
// ======================================================================================

class TClientDataSet : public TDataSet {
    MV_CLASS(TClientDataSet, TDataSet);

    explicit TClientDataSet(TComponent* owner = nullptr);
    ~TClientDataSet() override;

    // Published (besides TDataSet's): Connection, CommandText, FileName, IndexDefs,
    // IndexFieldNames, IndexName, ReadOnly. IndexDefs is published before the two that
    // choose an order, so a streamed IndexName finds its definition.
    static void RegisterProperties(TPropertyRegistrar<TClientDataSet>& r);

    // -- Creating, emptying, cloning ------------------------------------------------------
    // Creates an empty store from FieldDefs (or, when there are none, from the persistent
    // fields) and opens the data set. Raises SDataSetOpen when open, "Field definitions
    // missing" without definitions or fields, "Field 'X': type Y cannot be stored" for a
    // type without storage, and SNoNestedDefs for a nested data set definition without
    // child definitions. Object fields: ADT and array children are stored as fields of
    // the record; a reference is stored as its bytes; a nested data set (ftDataSet, its
    // fields in the definition's ChildDefs) keeps its records in the master record, and
    // its TDataSetField's NestedDataSet is a TClientDataSet over them (see Nested data
    // sets below).
    void CreateDataSet();
    // Deletes every record of the store (clones see an empty set too); the indexes stay.
    // Bookmarks taken before are no longer valid. Raises SDataSetClosed when closed.
    void EmptyDataSet();
    // Shares source's records; this data set gets its own cursor, order and filter.
    // reset: start with no index, no filter and not read-only; otherwise, unless
    // keepSettings, IndexName/IndexFieldNames, Filter, Filtered, FilterOptions,
    // OnFilterRecord and ReadOnly are copied from source. The index definitions are
    // always copied. Closes this data set first and opens it on the first record.
    // Raises SDataSetClosed when source is closed.
    void CloneCursor(TClientDataSet* source, bool reset, bool keepSettings = false);

    // -- Change log ---------------------------------------------------------------------------
    // The records remember their original state: the state when the store was made
    // (CreateDataSet: empty), loaded (a file, a connection) or last merged. Clones share
    // the log. It costs nothing for inserted records and one record image for each
    // original record modified or deleted. EmptyDataSet empties the log with the records;
    // files do not keep it.
    // Records whose state differs from the original one: inserted, modified or deleted
    // (a record inserted and deleted again is no change). 0 when closed.
    Integer ChangeCount() const;
    // The present records become the original ones. Raises SDataSetClosed when closed.
    void MergeChangeLog();
    // Returns to the original records: inserted ones go, modified ones get their values
    // back, deleted ones return in front of the record that followed them when they were
    // deleted (at the end when that one is gone). A returned record is the same record:
    // bookmarks taken before its deletion are valid again. Pending edits of every cursor on
    // the store are cancelled and each goes to its first record. Raises SDataSetClosed
    // when closed.
    void CancelUpdates();

    // -- Orders ---------------------------------------------------------------------------
    // ";" list of fields to sort by, ascending, case-sensitive. Setting it clears
    // IndexName; an empty text is the default order. On an open set the current record
    // stays current (deDataSetChange). A field that is missing, calculated or a lookup
    // raises EDatabaseError and leaves the order as it was.
    const String& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const String& value);
    // Name of an entry of IndexDefs to sort by; setting it clears IndexFieldNames. On an
    // open set an unknown name raises "Index 'X' not found" (a closed set checks at open).
    const String& IndexName() const { return FIndexName; }
    void SetIndexName(const String& value);
    TIndexDefs* IndexDefs() const { return FIndexDefs.get(); }
    void SetIndexDefs(const TIndexDefs* value) { FIndexDefs->Assign(value); }
    // Adds an index definition (built when first used). descFields and caseInsFields
    // name fields of fields sorted descending / without case. Raises "Duplicate index
    // name 'X'" for a name in use, and SFieldNotFound for an unknown field when open.
    void AddIndex(const String& name, const String& fields, TIndexOptions options,
                  const String& descFields = u"", const String& caseInsFields = u"",
                  Integer groupingLevel = 0);
    // Removes the index definition; when it is the current index the default order is
    // used. Raises "Index 'X' not found" when there is none.
    void DeleteIndex(const String& name);
    // Names of the index definitions.
    void GetIndexNames(std::vector<String>& list) const;

    // -- Files ----------------------------------------------------------------------------
    // The file format (all numbers little-endian):
    //   "MVCDS\r\n\x1a" magic, uint32 version (2), the field table, uint32 index count,
    //   per index: string name, fields, descending fields, case-insensitive fields,
    //   uint32 options (bit per TIndexOption), int32 grouping level; then the records:
    //   uint64 record count, per record in default order: the null bitmap (bit set =
    //   value present, one bit per stored field in the flat definition list, padded to
    //   bytes), then each present value: the native buffer (Fields.h), for UTF-8 strings
    //   uint32 length and the bytes, for blobs, references and nested data sets uint32
    //   length and the bytes (a nested data set's bytes are its records, encoded the same
    //   way); finally uint64 FNV-1a hash of every byte before it. A string is uint32 length
    //   and UTF-8 bytes.
    //   The field table: uint32 count, then per field: string name, uint8 type
    //   (TFieldType), int32 size, int32 precision, uint8 flags (1 required, 2 read-only,
    //   4 internal calculated, 8 hidden) and its children as a table: an ADT's or array's
    //   fields (the next fields of the flat list; the object field itself stores no
    //   value), a nested data set's fields, none (count 0) otherwise.
    //   Version 1 files (a flat field table without children counts) are read too.
    // Saving raises SDataSetClosed when closed. Loading replaces field definitions, index
    // definitions and records and opens the data set; a damaged, truncated or foreign file
    // raises EDatabaseError "Invalid data packet: <why>" and leaves the data set as it was.
    void SaveToStream(TStream& stream);
    void LoadFromStream(TStream& stream);
    // An empty fileName means FileName. File errors raise the streams' exceptions.
    void SaveToFile(const String& fileName = u"");
    void LoadFromFile(const String& fileName = u"");
    // Opening without data loads this file; Close saves to it (unless ReadOnly). Destroying
    // an open data set does not save (a destructor cannot report a failed write).
    const String& FileName() const { return FFileName; }
    void SetFileName(const String& value) { FFileName = value; }

    // -- Nested data sets ------------------------------------------------------------------------
    // A client data set whose DataSetField is a nested data set field of another client
    // data set (or the one NestedDataSet creates) shows the records kept in the master's
    // current record, with its own indexes, filter and cursor. Every post, delete,
    // EmptyDataSet or CancelUpdates writes the records back into the master's record: into
    // its edit buffer when the master is editing or inserting (the master's Post keeps
    // them, its Cancel drops them), otherwise by editing and posting the master record at
    // once (so the master's change log has them). When the master moves, posts elsewhere
    // or cancels, the nested records are read again and the nested set goes to its first
    // record; its own pending edit is posted before the master moves. Clones of a nested
    // set share its records: their changes are written to the master the same way, they
    // follow the master's moves with it, and they close when it closes.

    // -- Master and detail -----------------------------------------------------------------------
    // A detail data set shows only the records that belong to the current record of its
    // master, the data set of MasterSource: those whose leading fields in the current order
    // (IndexFieldNames or IndexName) hold the values of the master fields named in
    // MasterFields (a ";" list, one detail field per master field, matched by position).
    // When the master scrolls, or a master field's value changes, the detail posts its
    // pending edit and goes to its first record in the new range. A new detail record gets
    // the master's values in those fields (before OnNewRecord). While the master is closed
    // the detail shows every record; a master without records, or inserting, gives the
    // values of its empty record (usually no detail records). RecordCount, RecNo, Locate
    // and the filter work within the range. A master field that does not exist, or an
    // order with fewer fields than MasterFields, raises EDatabaseError (SFieldNotFound,
    // SDetailOrder) when the link or the order is set on an open data set, or at open; the
    // order and the link stay as they were. When the master changes under the detail so
    // that the range cannot be set (it was opened again without a master field), the
    // detail shows no records and the error goes to ApplicationHandleException.
    TDataSource* MasterSource() const;
    void SetMasterSource(TDataSource* value);
    const String& MasterFields() const { return FMasterFields; }
    void SetMasterFields(const String& value);
    TDataSource* GetDataSource() const override { return MasterSource(); }

    // -- Loading from a database -------------------------------------------------------------
    // With a Connection and a CommandText (a SELECT), opening without data runs the command
    // and copies every row of its result into memory: field definitions come from the
    // result (types and sizes as the connection maps them), NULLs stay NULL, blobs are
    // copied. The copy is not written back. A command the database rejects raises
    // EDatabaseError with the database's message and the data set stays closed. When
    // FileName is set as well, the file wins (the briefcase is loaded, not the database).
    // Closing and opening again runs the command again (that is how a changed ORDER BY in
    // CommandText takes effect). Freeing the connection clears this reference; loaded
    // records stay.
    // A text field without a declared length is sized to fit its longest loaded value
    // (at least 1), so a longer text entered in the copy later is cut.
    TCustomConnection* Connection() const { return FConnection; }
    void SetConnection(TCustomConnection* value);
    // The command run at open when Connection is assigned; otherwise only stored.
    const String& CommandText() const { return FCommandText; }
    void SetCommandText(const String& value) { FCommandText = value; }

    // -- Other published properties ---------------------------------------------------------
    // Refuses edits (CanModify false); the records can still be loaded and sorted.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);

    // -- Overrides ---------------------------------------------------------------------------
    // Re-filter and go to the first record when open. Filter (SetFilter) does the same
    // while Filtered; a text the engine rejects raises EDatabaseError and keeps the old
    // filter. Numbers in Filter may use the locale's decimal separator. OnFilterRecord is
    // a plain member: assigning it takes effect at the next Filtered change or Refresh.
    void SetFiltered(bool value) override;
    void SetFilterOptions(TFilterOptions value) override;
    void Notification(TComponent* component, TOperation operation) override;
    // Binary search when the current order, or an index definition, starts with exactly
    // keyFields (and its text fields compare with the case loCaseInsensitive asks for);
    // a linear walk otherwise (and for loPartialKey).
    bool Locate(StringView keyFields, const Variant& keyValues, TLocateOptions options) override;
    Variant Lookup(StringView keyFields, const Variant& keyValues, StringView resultFields) override;
    // A bookmark is valid while its record exists in the store (filtered out or not).
    bool BookmarkValid(const TBookmark& bookmark) override;
    // By position in the current order; an empty or invalid bookmark sorts last.
    Integer CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2) override;

    using TDataSet::GetFieldData;
    using TDataSet::SetFieldData;
    bool GetFieldData(TField* field, void* buffer) override;
    void SetFieldData(TField* field, const void* buffer) override;
    std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode) override;

protected:
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& buffer) override;
    TGetResult GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) override;
    Integer GetRecordSize() const override;
    void InternalOpen() override;
    void InternalClose() override;
    bool IsCursorOpen() const override { return FCursorOpen; }
    void InternalInitFieldDefs() override;
    void InternalFirst() override;
    void InternalLast() override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalAddRecord(TRecordBuffer buffer, bool append) override;
    void InternalInitRecord(TRecordBuffer buffer) override;
    void InternalGotoBookmark(const TBookmark& bookmark) override;
    void InternalSetToRecord(TRecordBuffer buffer) override;
    void InternalRefresh() override;
    void GetBookmarkData(TRecordBuffer buffer, TBookmark& data) const override;
    void SetBookmarkData(TRecordBuffer buffer, const TBookmark& data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) const override;
    void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) override;
    Integer GetRecNo() const override;
    void SetRecNoValue(Integer value) override;
    Integer GetRecordCount() const override;
    // False when ReadOnly, and for a nested set whose master or field cannot be modified.
    bool GetCanModify() const override;
    // Form streaming keeps the records of an open data set that has neither FileName nor
    // Connection as the binary entry "Data" (the file format above), so a data set filled
    // in code comes back from its form with its records.
    void DefineProperties(TFiler* filer) override;
    void ClearCalcFields(TRecordBuffer buffer) override;
    void SetFilterText(const String& value) override;
    bool FilterExpressionAccepts() override;
    void CloseCursor() override;
    TDataSet* CreateNestedDataSet(TDataSetField* field) override;
    void MasterChanged(bool checkBrowseMode) override;
    // A detail's new record gets the master's values first.
    void DoOnNewRecord() override;
    // Re-reads the record, which another cursor on the store may have changed since this
    // one read it; a record deleted meanwhile raises SRecordNotFound.
    void InternalEdit() override;
    // Raise a master's failure kept by the change that just completed (ChangeRecords).
    void DoAfterPost() override;
    void DoAfterDelete() override;

private:
    friend class cds::TStore;
    friend class TIndexDefs;
    friend class TClientBlobStream;

    enum TCursorAt { caBOF, caEOF, caRecord };

    // -- Buffers and records (ClientDataSet.cpp) ----------------------------------------
    Byte* ImageOf(TRecordBuffer buffer) const;
    Byte* CalcAreaOf(TRecordBuffer buffer) const;
    std::shared_ptr<const std::string>* BlobsOf(TRecordBuffer buffer) const;
    void FillBuffer(TRecordBuffer buffer, std::uint32_t id);
    void ComputeInternalCalcFields(TRecordBuffer buffer);
    void OpenStore(std::shared_ptr<cds::TStore> store);
    // InternalOpen's part once FStore holds the records.
    void OpenCursorOnStore();
    void SetCursorTo(std::uint32_t id);
    void RememberCursor(std::size_t pos);
    std::uint32_t RecordIdOf(TRecordBuffer buffer) const;
    bool DecodeBookmark(const TBookmark& bookmark, std::uint32_t& id) const;
    Integer SlotOfField(const TField* field) const;
    void StoreReset();

    // -- Orders and views (ClientDataSetIndexes.cpp, ClientDataSetFilters.cpp) --------------
    // The list the cursor walks: the view when filtering, else the order itself.
    const std::vector<std::uint32_t>& List();
    // Position of the cursor's record in List(); exact is false when the record is not in
    // it (the position is then where it would be).
    std::size_t CursorPosition(bool& exact);
    std::size_t PositionOf(std::uint32_t id, bool& exact);
    std::shared_ptr<cds::TIndex> ResolveOrder(const String& indexFieldNames, const String& indexName);
    std::shared_ptr<cds::TIndex> IndexForDef(const TIndexDef& def);
    void ApplyOrder(std::shared_ptr<cds::TIndex> index);
    void IndexDefChanged(TIndexDef* def);
    bool FindByIndex(StringView keyFields, const Variant& keyValues, TLocateOptions options,
                     std::uint32_t& id);
    void CompileFilter();
    bool IsFiltering() const;
    void InvalidateView();
    void BuildView();
    bool RecordAccepted(std::uint32_t id);
    void RecordRemoving(std::uint32_t id);
    void RecordAdded(std::uint32_t id);
    void Refilter();

    // -- Master and detail (ClientDataSetMaster.cpp) -------------------------------------------------
    friend class cds::TMasterLink;
    // The master's values of MasterFields now, and whether a range applies (the link is
    // active and MasterFields is not empty).
    bool ReadMasterValues(std::vector<Variant>& values) const;
    // From the link: the master moved or changed; the range follows when its values did.
    void MasterRecordChanged();
    // Raises SFieldNotFound for a master field master lacks, SDetailOrder when index
    // cannot carry masterFields.
    void CheckLink(TDataSet* master, const String& masterFields, const cds::TIndex& index) const;
    // CheckLink for the present link, when it is active.
    void CheckDetailOrder(const cds::TIndex& index) const;
    // The link could not set the range: no records show until it can.
    void MasterRangeFailed();
    // Writes the range values into FRangeProbe through the fields leading the current
    // order; an empty probe is an empty range.
    void BuildRangeProbe();
    // The part of list (sorted by the current order) in the range; all of it without one.
    std::pair<std::size_t, std::size_t> RangeOf(const std::vector<std::uint32_t>& list) const;
    bool InRange(std::uint32_t id) const;
    TField* FieldOfSlot(Integer slot);

    // -- Loading from a connection (ClientDataSetLoading.cpp) -------------------------------------
    // Runs CommandText on Connection and copies the result into a new store.
    std::shared_ptr<cds::TStore> FetchFromConnection();

    // -- Nested data sets (ClientDataSetNested.cpp) ----------------------------------------------
    // What the nested records were last read from or written to: the master's record and
    // value. The master changed when it differs.
    struct TMasterKey {
        const void* Value = nullptr;
        std::uint32_t Id = UINT32_MAX;
        std::uint32_t Epoch = 0;
        bool Inserting = false;
        bool operator==(const TMasterKey&) const = default;
    };
    // The nested set whose master keeps this one's records: this one, the nested set it
    // is a clone of, or null.
    TClientDataSet* NestedWriter() const {
        return DataSetField() != nullptr ? const_cast<TClientDataSet*>(this) : FNestedSource;
    }
    // The other cursors on this nested set's records (its clones, and theirs).
    std::vector<TClientDataSet*> NestedClones() const;
    // Moves the browsing cursor to store, the records of a new master record, at the first
    // record in its own order. An order that cannot be built over them raises after the
    // move, with the default order in its place.
    void SwitchStore(std::shared_ptr<cds::TStore> store);
    // The client data set this one is nested in; raises when the field's data set is
    // another kind.
    TClientDataSet* Master() const;
    TMasterKey MasterKey() const;
    // A new store holding the nested records of the master's current record.
    std::shared_ptr<cds::TStore> FetchFromMaster();
    // Runs change, a change of the records, and then puts the records into the master's
    // record. A browsing master is put into edit mode before the change, so a master that
    // has no record (SNoMasterRecord) or refuses to edit leaves the records as they were;
    // a change that fails takes the master back to browsing. A failure after the change
    // (the master's Post, or a handler of its field change) does not undo it: the master
    // stays in edit mode with what it got, and the failure is kept in FMasterError and
    // raised once the Post, Delete, EmptyDataSet or CancelUpdates has completed, so that
    // this data set is never left editing records that already hold the change.
    template <typename F> void ChangeRecords(F change);
    void BeginMasterChange();
    // The failure met after the change, if any.
    std::exception_ptr EndMasterChange(bool changed);
    void RaiseMasterError();
    // This data set as master: the value of a nested data set field in the active buffer.
    const std::shared_ptr<const std::string>* NestedValue(TField* field) const;
    void SetNestedValue(TField* field, std::shared_ptr<const std::string> value);

    // -- Files (ClientDataSetFile.cpp) --------------------------------------------------------
    std::string SavePacket();
    // Replaces the file with SavePacket's bytes (no state checks: also used while closing).
    void WritePacketFile(const String& fileName);
    // Parses a whole file image; raises SInvalidPacket and changes nothing on damage.
    cds::TPacket ParsePacket(const std::string& bytes);
    // Takes over a parsed packet's records and index definitions (closed data set).
    void CommitPacket(cds::TPacket& packet);

    std::shared_ptr<cds::TStore> FStore;
    std::shared_ptr<cds::TIndex> FIndex;
    std::vector<std::uint32_t> FView;
    bool FViewValid = false;
    bool FViewFiltered = false;
    std::uint64_t FViewStamp = 0;
    // The cursor: before the first record, after the last, or on a record (which may have
    // left the list since; its position is then where it would be).
    TCursorAt FCursorAt = caBOF;
    std::uint32_t FCursorId = 0;
    std::size_t FCursorPos = 0;
    // Store version and view stamp at which FCursorPos was last known right.
    std::uint64_t FCursorStamp = ~std::uint64_t{0};
    std::uint64_t FCursorViewStamp = ~std::uint64_t{0};
    bool FCursorOpen = false;
    // Record buffer layout (see AllocRecordBuffer).
    Integer FImageOffset = 0;
    Integer FCalcOffset = 0;
    Integer FBlobOffset = 0;
    Integer FBufferSize = 0;
    // Scratch buffer for filter handlers and key probes.
    TRecordBuffer FScratch = nullptr;
    TFilterExpression FFilterExpression;
    std::unique_ptr<TIndexDefs> FIndexDefs;
    // Built indexes of the index definitions, by definition name (upper case).
    std::map<String, std::shared_ptr<cds::TIndex>> FDefIndexes;
    String FIndexFieldNames;
    String FIndexName;
    TCustomConnection* FConnection = nullptr;
    String FCommandText;
    String FFileName;
    bool FReadOnly = false;
    TMasterKey FMasterKey;
    bool FWritingToMaster = false;
    bool FMasterEditStarted = false;         // BeginMasterChange put the master into edit mode
    TClientDataSet* FNestedSource = nullptr; // while open, as a clone of a nested set
    std::exception_ptr FMasterError;         // see ChangeRecords
    std::unique_ptr<cds::TMasterLink> FMasterLink;
    String FMasterFields;
    bool FRanged = false;              // the view holds only the records of FRangeValues
    bool FWritingMasterValues = false; // DoOnNewRecord writes read-only link fields
    std::vector<Variant> FRangeValues; // the master's values of MasterFields
    std::vector<Byte> FRangeProbe;     // a record image holding them (built with the view)
};

// Message texts of the client data set, replaceable like DBConsts'.
namespace CDSConsts {
extern String SMissingDataPacket;  // "Missing data provider or data packet"
extern String SNoFieldDefs;        // "Field definitions missing"
extern String SUnsupportedType;    // "Field '%s': type %s cannot be stored in a client data set"
extern String SNoNestedDefs;       // "Field '%s': a nested data set field needs field definitions of its own"
extern String SNestedMaster;       // "A nested client data set needs a client data set as its master"
extern String SNoMasterRecord;     // "The master data set has no current record to keep these nested records"
extern String SIndexNotFound;      // "Index '%s' not found"
extern String SDuplicateIndexName; // "Duplicate index name '%s'"
extern String SNoIndexForFields;   // "No index for fields '%s'"
extern String SFieldNotIndexable;  // "Field '%s' cannot be used in an index"
extern String SKeyViolation;       // "Key violation"
extern String SInvalidPacket;      // "Invalid data packet: %s"
extern String SDetailOrder;        // "MasterFields '%s' needs an order that begins with ..."
} // namespace CDSConsts

} // namespace mv
