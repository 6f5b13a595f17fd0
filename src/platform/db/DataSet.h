// TDataSet: the abstract data set with a window of record buffers. Storage lives in a
// derived class, which implements the record-buffer protocol below; this class keeps the
// window, the state machine, the fields and the notifications of its data sources.
//
// The window: FBuffers[0 .. FBufferCount] (one more than BufferCount, the spare being the
// temporary buffer), of which FRecordCount hold consecutive records in order and
// FActiveRecord is the current one. BufferCount is the largest BufferCount of the linked
// data links (at least 1). FCurrentRecord is the window row the derived cursor sits on
// (-1: unknown, UpdateCursorPos puts the cursor back on the active record).
//
// Typical call flow:
//   Open  -> BeforeOpen -> InternalOpen (derived: field defs, CreateFields, BindFields)
//         -> UpdateBufferCount -> GetNextRecords (window filled from the first record)
//         -> state dsBrowse (deUpdateState) -> AfterOpen -> AfterScroll
//   MoveBy(n) -> CheckBrowseMode -> BeforeScroll -> move FActiveRecord inside the window,
//         fetching with GetRecord(gmNext/gmPrior) past its edges -> deDataSetScroll(shift)
//         -> AfterScroll
//   Edit/Insert/Append -> ... -> Post -> InternalPost (derived) -> Resync([]) -> AfterPost
//
// Events of the data set are members (BeforeOpen ...) fired by DoBeforeOpen ...; data
// events reach data sources and their links through DataEvent, held while controls are
// disabled (DisableControls).
#pragma once

#include "platform/db/DB.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Variants.h"

#include <functional>
#include <memory>
#include <vector>

namespace mv {

using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;
using TFilterRecordEvent = std::function<void(TDataSet* dataSet, bool& accept)>;
using TDataSetErrorEvent = std::function<void(TDataSet* dataSet, EDatabaseError& error, TDataAction& action)>;

class TDataSet : public TComponent {
    MV_CLASS(TDataSet, TComponent);

    explicit TDataSet(TComponent* owner);
    // Published: Active, AutoCalcFields, Filter, Filtered, FilterOptions, ObjectView.
    static void RegisterProperties(TPropertyRegistrar<TDataSet>& r);
    // Detaches its data sources and frees its fields (persistent ones too). A derived
    // class must Close() in its own destructor: the record-buffer protocol is its own and
    // is gone by the time this destructor runs.
    ~TDataSet() override;

    // ==================================================================================
    // [SECTION] Opening and state
    // ==================================================================================

    bool Active() const { return FState != dsInactive; }
    // Open/close with their events. Opening fires BeforeOpen, opens the cursor, enters
    // dsBrowse, fires AfterOpen and, unless empty, AfterScroll. Closing fires BeforeClose,
    // enters dsInactive, closes the cursor and fires AfterClose. While loading
    // (csLoading) the value is remembered and applied in Loaded.
    void SetActive(bool value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return FState; }
    // True between a successful post/edit change and the next post, cancel or scroll.
    bool Modified() const { return FModified; }
    // Raises EDatabaseError SDataSetClosed / SDataSetOpen (with this data set's name).
    void CheckActive() const;
    void CheckInactive() const;
    // Raises SDataSetUnidirectional on a forward-only data set.
    void CheckBiDirectional() const;
    bool IsUniDirectional() const { return FIsUniDirectional; }
    bool CanModify() const { return GetCanModify(); }
    // BOF: the last move reached the first record (or tried to go before it), or the set
    // was just opened/First was called. EOF: the last move reached or passed the end, or
    // Last was called. Both are true on an empty set.
    bool Bof() const { return FBOF; }
    bool Eof() const { return FEOF; }
    // No records (in insert mode the new record counts).
    bool IsEmpty() const { return FActiveRecord >= FRecordCount; }
    // The data source this data set takes its master values from (null by default);
    // used to refuse circular links.
    virtual TDataSource* GetDataSource() const { return nullptr; }

    // ==================================================================================
    // [SECTION] Navigation
    // ==================================================================================

    // First/Last: fill the window from that end; deDataSetChange; BOF/EOF true.
    void First();
    // Raises SDataSetUnidirectional on a forward-only data set.
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves the active record by distance and returns the distance moved (fewer at an
    // end, where BOF or EOF becomes true). ±2147483647 reaches an end and counts the
    // records passed. Posts or cancels a pending edit first; fires BeforeScroll,
    // deDataSetScroll (with how far the buffered records shifted) and AfterScroll; when
    // already at that end only BeforeScroll fires and 0 is returned.
    Integer MoveBy(Integer distance);
    // 1-based position of the active record as the derived data set numbers it; -1 when
    // unknown. SetRecNo moves there.
    Integer RecNo() const { return GetRecNo(); }
    void SetRecNo(Integer value) { SetRecNoValue(value); }
    // Records of the data set as the derived class counts them (-1 when it cannot).
    Integer RecordCount() const { return GetRecordCount(); }
    // Refetches the records of the window keeping the active record (InternalRefresh).
    void Refresh();
    // Refills the window around the record the cursor is on. rmExact: raise
    // SRecordNotFound when the cursor is on no record (else the nearest one is taken);
    // rmCenter: show the record in the middle of the window, else in the row of the
    // active record. Fires deDataSetChange.
    virtual void Resync(TResyncModes mode);
    // Puts the cursor of the derived class back on the active record.
    void UpdateCursorPos();
    // Marks the cursor position unknown, so the next UpdateCursorPos resets it.
    void CursorPosChanged() { FCurrentRecord = -1; }
    // Finds the next/prior record (or the first/last with restart); the base class only
    // moves, derived classes apply a filter.
    virtual bool FindRecord(bool restart, bool goForward);
    bool FindFirst() { return FindRecord(true, true); }
    bool FindLast() { return FindRecord(true, false); }
    bool FindNext() { return FindRecord(false, true); }
    bool FindPrior() { return FindRecord(false, false); }

    // ==================================================================================
    // [SECTION] Bookmarks
    // ==================================================================================

    // The active record's bookmark; empty when there is none (empty set, inserted row).
    TBookmark GetBookmark() const;
    // Moves to the bookmark and centres it in the window (Resync rmExact + rmCenter), with
    // the scroll events. An empty bookmark does nothing; one that is no longer valid raises
    // SRecordNotFound (from the derived class or Resync).
    void GotoBookmark(const TBookmark& bookmark);
    // Moves to the bookmark keeping the record in the window row of ActiveRecord: goes to
    // it and resynchronises exactly without centring (Resync rmExact). Set ActiveRecord
    // (e.g. through a data link) first to choose the row. Fires the scroll events.
    void GotoBookmarkInRow(const TBookmark& bookmark);
    // Whether the bookmark still designates a record; false in the base class.
    virtual bool BookmarkValid(const TBookmark& bookmark);
    // <0, 0, >0 by record order; empty bookmarks sort after the others (0 in the base).
    virtual Integer CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2);
    Integer BookmarkSize() const { return FBookmarkSize; }
    bool BookmarkAvailable() const;

    // ==================================================================================
    // [SECTION] Editing
    // ==================================================================================

    // Edit: on an empty set, Insert; otherwise BeforeEdit, InternalEdit, dsEdit,
    // deRecordChange, AfterEdit. Raises SDataSetReadOnly when the set cannot be modified.
    void Edit();
    // A new record before the active one (in its row) / after the last one; dsInsert,
    // OnNewRecord, deDataSetChange, AfterInsert, AfterScroll.
    void Insert();
    void Append();
    // Writes the pending edit or insert (deUpdateRecord to the controls first, required
    // fields checked by InternalPost), back to dsBrowse, Resync. Raises SNotEditing
    // outside edit modes.
    void Post();
    // Drops the pending edit or insert; nothing outside edit modes.
    void Cancel();
    // Deletes the active record (cancels an insert). Raises SDataSetEmpty when empty.
    void Delete();
    // Posts (when modified) or cancels a pending edit; raises SDataSetClosed when closed.
    void CheckBrowseMode();
    // Asks the controls to write their pending values (deUpdateRecord). Raises SNotEditing
    // outside edit modes.
    void UpdateRecord();
    // Insert/Append, assign values to the fields in order (an Empty variant skips a field),
    // Post; Cancel on failure.
    void InsertRecord(const std::vector<Variant>& values);
    void AppendRecord(const std::vector<Variant>& values);
    void SetFields(const std::vector<Variant>& values);
    void ClearFields();

    // ==================================================================================
    // [SECTION] Controls and data sources
    // ==================================================================================

    // Nestable. While disabled, events for visual links and data sources are held; the
    // last EnableControls sends deUpdateState if the state changed meanwhile and then one
    // deDataSetChange (deLayoutChange when the layout changed). Links that are not visual
    // controls keep receiving events (except deUpdateState). The first DisableControls and
    // the last EnableControls also send deDisabledStateChange (info 1 / 0), which the base
    // TDataLink ignores.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount != 0; }
    // Sends the event to the data set's data sources (and their links), as described above.
    virtual void DataEvent(TDataEvent event, NativeInt info);
    Integer DataSourceCount() const { return static_cast<Integer>(FDataSources.size()); }
    TDataSource* DataSources(Integer index) const { return FDataSources.at(static_cast<std::size_t>(index)); }

    // ==================================================================================
    // [SECTION] Fields
    // ==================================================================================

    TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
    // Flattened definitions (children of object definitions included), up to date.
    const TFieldDefList& FieldDefList();
    // Top-level fields (with ObjectView children stay in their object fields).
    TFields* Fields() const { return FFields.get(); }
    Integer FieldCount() const { return FFields->Count(); }
    // Every field, children included, parents first.
    const TFieldList& FieldList();
    // Case-insensitive; full names ("Address.City") find children. Null when missing.
    TField* FindField(StringView fieldName);
    // Raises EDatabaseError "<DataSetName>: Field 'X' not found" when missing.
    TField* FieldByName(StringView fieldName);
    // The fields named in a ";" list, in order; raises SFieldNotFound for a missing name.
    void GetFieldList(std::vector<TField*>& list, StringView fieldNames);
    void GetFieldNames(std::vector<String>& list);
    // The value of one field, or a Variant array (0-based) for a ";" list.
    Variant FieldValues(StringView fieldNames);
    // Assigns one value, or the elements of an array to the listed fields in order.
    void SetFieldValues(StringView fieldNames, const Variant& value);
    // True when the fields were created from the definitions at open (no persistent
    // fields); they are then freed at close.
    bool DefaultFields() const { return FDefaultFields; }
    // Object fields keep their children as their own Fields (true) or the children are
    // flattened into the data set's Fields (false, the default).
    bool ObjectView() const { return FObjectView; }
    void SetObjectView(bool value);
    // A stream over a blob field of the current record: read, write (replacing the value)
    // or both. Null in the base class. The value is written when the stream is destroyed.
    virtual std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode);
    // The nested data set's link to its field in the master data set (null: a plain data set).
    // An open nested data set follows its master: the master's CheckBrowseMode posts the
    // nested set's pending edit first, every scroll or change of the master reaches it as
    // deParentScroll, and closing the master closes it.
    TDataSetField* DataSetField() const { return FDataSetField; }
    void SetDataSetField(TDataSetField* value);

    // ==================================================================================
    // [SECTION] Locate, lookup and filters
    // ==================================================================================

    // Moves to the first record whose keyFields (a ";" list) equal keyValues (one value or
    // a Variant array). loCaseInsensitive compares texts without case; loPartialKey lets
    // the last key field's text match a prefix. Centred in the window; scroll events.
    // Returns false, staying on the current record, when none matches.
    virtual bool Locate(StringView keyFields, const Variant& keyValues, TLocateOptions options);
    // The resultFields values of the first record matching exactly (Null when none), its
    // calculated fields computed; the current record does not change.
    virtual Variant Lookup(StringView keyFields, const Variant& keyValues, StringView resultFields);

    // Filter expression, whether filtering applies, its options and the record handler.
    // Derived classes that filter override the setters and use FilterRecord.
    const String& Filter() const { return FFilterText; }
    void SetFilter(const String& value) { SetFilterText(value); }
    bool Filtered() const { return FFiltered; }
    virtual void SetFiltered(bool value);
    TFilterOptions FilterOptions() const { return FFilterOptions; }
    virtual void SetFilterOptions(TFilterOptions value);
    // Records fetched together in dsBlockRead (no controls notified) when above 0.
    Integer BlockReadSize() const { return FBlockReadSize; }
    virtual void SetBlockReadSize(Integer value);
    // Recompute calculated fields when a field of the record being edited changes.
    bool AutoCalcFields() const { return FAutoCalcFields; }
    void SetAutoCalcFields(bool value) { FAutoCalcFields = value; }

    // ==================================================================================
    // [SECTION] Buffers (for derived classes and data links)
    // ==================================================================================

    TRecordBuffer ActiveBuffer() const;
    // The record buffer being calculated (dsCalcFields).
    TRecordBuffer CalcBuffer() const { return FCalcBuffer; }
    Integer BufferCount() const { return FBufferCount; }
    Integer CalcFieldsSize() const { return FCalcFieldsSize; }

    // Field data. The native forms are what a derived class implements; the forms with
    // nativeFormat convert through DataConvert (a derived class overriding one overload
    // brings the others in with a using-declaration).
    virtual bool GetFieldData(TField* field, void* buffer);
    virtual bool GetFieldData(TField* field, void* buffer, bool nativeFormat);
    virtual void SetFieldData(TField* field, const void* buffer);
    virtual void SetFieldData(TField* field, const void* buffer, bool nativeFormat);

    // Events.
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent BeforeRefresh, AfterRefresh;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TFilterRecordEvent OnFilterRecord;
    TDataSetErrorEvent OnPostError, OnDeleteError, OnEditError;

protected:
    friend class TDataSource;
    friend class TDataLink;
    friend class TField;
    friend class TFields;
    friend class TFieldDefs;
    friend class TDataSetField;

    // ==================================================================================
    // [SECTION] The record-buffer protocol (what a derived data set implements)
    // ==================================================================================

    virtual TRecordBuffer AllocRecordBuffer() = 0;
    virtual void FreeRecordBuffer(TRecordBuffer& buffer) = 0;
    // Fills buffer with the record at the cursor (gmCurrent) or the one after/before it,
    // moving the cursor there. grBOF/grEOF at the ends; grError for a current record that
    // is gone or filtered out. doCheck: raise instead of answering grError.
    virtual TGetResult GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) = 0;
    virtual Integer GetRecordSize() const { return 0; }
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual bool IsCursorOpen() const = 0;
    // Fills FieldDefs from the storage.
    virtual void InternalInitFieldDefs() = 0;
    // Cursor before the first / after the last record (the cracks).
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    // Writes the active buffer (state dsEdit: changes, dsInsert: a new record, in front of
    // the record its bookmark names, or at the end for bfEOF). The base checks required fields.
    virtual void InternalPost();
    virtual void InternalDelete() = 0;
    virtual void InternalAddRecord(TRecordBuffer buffer, bool append) = 0;
    virtual void InternalEdit() {}
    virtual void InternalInsert() {}
    virtual void InternalCancel() {}
    virtual void InternalRefresh() {}
    virtual void InternalInitRecord(TRecordBuffer buffer) = 0;
    // Called inside a catch handler for an exception met while fetching (filter handler);
    // the base rethrows it, a data set with an application-wide handler may swallow it.
    virtual void InternalHandleException();
    virtual void InternalGotoBookmark(const TBookmark& bookmark) = 0;
    // Cursor onto the record of a buffer (its bookmark).
    virtual void InternalSetToRecord(TRecordBuffer buffer) = 0;
    virtual void GetBookmarkData(TRecordBuffer buffer, TBookmark& data) const = 0;
    virtual void SetBookmarkData(TRecordBuffer buffer, const TBookmark& data) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) const = 0;
    virtual void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) = 0;
    virtual Integer GetRecNo() const { return -1; }
    virtual void SetRecNoValue(Integer value);
    virtual Integer GetRecordCount() const { return -1; }
    virtual bool GetCanModify() const { return true; }
    // Empties the calculated area of a buffer before the fields are calculated.
    virtual void ClearCalcFields(TRecordBuffer buffer);
    virtual void DoOnNewRecord();
    virtual void SetFilterText(const String& value);
    // Converts between the native and the exchanged format (see Fields.h).
    virtual void DataConvert(TField* field, const void* source, void* dest, bool toNative);
    // Defaults: true for a unidirectional data set.
    void SetUniDirectional(bool value) { FIsUniDirectional = value; }
    void SetBookmarkSize(Integer value) { FBookmarkSize = value; }

    // The expression-filter hook: whether the record whose values are readable now (state
    // dsFilter) passes Filter. The base accepts every record; a data set that filters by
    // expression compiles Filter in SetFilterText/SetFilterOptions and evaluates it here.
    virtual bool FilterExpressionAccepts() { return true; }
    // Whether the record in buffer passes Filtered (expression and OnFilterRecord). Runs in
    // the temporary state dsFilter with FFilterBuffer = buffer; an exception from the
    // handler goes to InternalHandleException and rejects the record. Derived GetRecord
    // implementations call it for each candidate record when Filtered.
    bool FilterRecord(TRecordBuffer buffer);
    // Passes a master event on to the open nested data sets of this one's fields.
    void NotifyNestedDataSets(TDataEvent event);
    void CloseNestedDataSets();
    std::vector<TDataSet*> OpenNestedDataSets();

    // The buffer whose values the fields read and write in the current state: the active
    // buffer (browse/edit/insert; null when empty), CalcBuffer (dsCalcFields,
    // dsInternalCalc), FFilterBuffer (dsFilter), null otherwise.
    virtual TRecordBuffer GetActiveRecordBuffer() const;

    // ==================================================================================
    // [SECTION] Machinery for derived classes
    // ==================================================================================

    // Field management: fields from FieldDefs (DefaultFields); Bind assigns field numbers
    // and calculated offsets (or clears them); DestroyFields frees default fields.
    virtual void CreateFields();
    virtual void BindFields(bool binding);
    // The data set a nested data set field of this one shows (TDataSetField::NestedDataSet
    // asks once and then owns it); null when this kind of data set keeps no nested records.
    virtual TDataSet* CreateNestedDataSet(TDataSetField* field);
    // Called on a nested data set by its master: the master is about to leave or post its
    // record (checkBrowseMode: post the pending edit now), or has moved to another record
    // or changed (read the nested records again). The base posts, or passes
    // deParentScroll on to the data sources.
    virtual void MasterChanged(bool checkBrowseMode);
    virtual void DestroyFields();
    // FieldDefs built from persistent fields (only when there are no definitions yet).
    void InitFieldDefsFromFields();
    static void AddDefsFromFields(TFieldDefs& defs, const TFields& fields);
    void InitFieldDefs();
    // Runs InternalOpen inside the framework's bookkeeping; the base SetActive calls it.
    virtual void OpenCursor(bool infoQuery = false);
    virtual void CloseCursor();
    // The calculated-fields machinery: GetCalcFields enters dsCalcFields and runs
    // CalculateFields (lookup values, then OnCalcFields) when there are calculated fields.
    void GetCalcFields(TRecordBuffer buffer);
    virtual void CalculateFields(TRecordBuffer buffer);
    virtual void DoOnCalcFields();
    bool HasCalcFields() const { return FCalcFieldsSize > 0 || FInternalCalcFields; }
    // Temporary states for reading other buffers; events are held meanwhile.
    TDataSetState SetTempState(TDataSetState value);
    void RestoreState(TDataSetState value);
    // A temporary state for the life of the guard, also when an exception leaves early:
    // the fields read and write buffer (when given) through the buffer the state uses,
    // FFilterBuffer for dsFilter and FCalcBuffer for the calculating states; that buffer
    // and the state are put back when the guard goes.
    class TTempState {
    public:
        TTempState(TDataSet& dataSet, TDataSetState state, TRecordBuffer buffer = nullptr);
        ~TTempState();
        TTempState(const TTempState&) = delete;
        TTempState& operator=(const TTempState&) = delete;

    private:
        TDataSet& FDataSet;
        TDataSetState FSaved;
        TRecordBuffer* FSlot;
        TRecordBuffer FSavedBuffer;
    };
    void SetState(TDataSetState value);
    void SetModified(bool value) { FModified = value; }
    // Window management.
    void SetBufListSize(Integer value);
    void SetBufferCount(Integer value);
    void UpdateBufferCount();
    void ClearBuffers();
    void ActivateBuffers();
    bool GetNextRecord();
    bool GetPriorRecord();
    Integer GetNextRecords();
    Integer GetPriorRecords();
    void MoveBuffer(Integer curIndex, Integer newIndex);
    void SetCurrentRecord(Integer index);
    TRecordBuffer TempBuffer() const { return FBuffers[static_cast<std::size_t>(FRecordCount)]; }
    // Runs an operation with the OnXxxError handler (retry/abort/fail).
    void CheckOperation(const std::function<void()>& operation, const TDataSetErrorEvent& errorEvent);
    void CheckCanModify() const;
    // Walks from the first record with a temporary buffer in dsFilter until the key
    // matches; the cursor stays on the match. The current window is not touched.
    bool LocateRecord(StringView keyFields, const Variant& keyValues, TLocateOptions options);
    // Whether the fields' current values match keyValues under options.
    static bool KeyValuesMatch(const std::vector<TField*>& fields, const Variant& keyValues,
                               TLocateOptions options);
    void InitRecord(TRecordBuffer buffer);
    void SetFieldListUpdated(bool value) { FFieldListUpdated = value; }

    void DoBeforeOpen() { Fire(BeforeOpen); }
    void DoAfterOpen() { Fire(AfterOpen); }
    void DoBeforeClose() { Fire(BeforeClose); }
    void DoAfterClose() { Fire(AfterClose); }
    void DoBeforeInsert() { Fire(BeforeInsert); }
    void DoAfterInsert() { Fire(AfterInsert); }
    void DoBeforeEdit() { Fire(BeforeEdit); }
    void DoAfterEdit() { Fire(AfterEdit); }
    void DoBeforePost() { Fire(BeforePost); }
    // Virtual so that a data set can report, once a post or delete has completed, an
    // error met on the way that must not undo it.
    virtual void DoAfterPost() { Fire(AfterPost); }
    void DoBeforeCancel() { Fire(BeforeCancel); }
    void DoAfterCancel() { Fire(AfterCancel); }
    void DoBeforeDelete() { Fire(BeforeDelete); }
    virtual void DoAfterDelete() { Fire(AfterDelete); }
    void DoBeforeScroll() { Fire(BeforeScroll); }
    void DoAfterScroll() { Fire(AfterScroll); }
    void DoBeforeRefresh() { Fire(BeforeRefresh); }
    void DoAfterRefresh() { Fire(AfterRefresh); }

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

    // The window (see the file comment).
    std::vector<TRecordBuffer> FBuffers;
    Integer FBufferCount = 0;
    Integer FRecordCount = 0;
    Integer FActiveRecord = 0;
    Integer FCurrentRecord = -1;
    bool FBOF = true;
    bool FEOF = true;
    TRecordBuffer FCalcBuffer = nullptr;
    TRecordBuffer FFilterBuffer = nullptr;
    Integer FCalcFieldsSize = 0;
    bool FInternalCalcFields = false;

private:
    void Fire(const TDataSetNotifyEvent& event) {
        if (event) event(this);
    }
    void AddDataSource(TDataSource* dataSource);
    void RemoveDataSource(TDataSource* dataSource);
    void BeginInsertAppend();
    // The shared tail of InsertRecord/AppendRecord: a new record filled from values and posted.
    void PostNewRecord(const std::vector<Variant>& values, bool append, const TBookmark& current);
    void EndInsertAppend();
    void UpdateCalcFields();
    void OpenCursorComplete();
    void CheckRequiredFields();

    TDataSetState FState = dsInactive;
    bool FModified = false;
    bool FIsUniDirectional = false;
    bool FDefaultFields = false;
    bool FObjectView = false;
    // Some bound field is a nested data set field (events are passed on to nested sets).
    bool FHasDataSetFields = false;
    bool FAutoCalcFields = true;
    bool FFiltered = false;
    bool FStreamedActive = false;
    bool FInternalOpenComplete = false;
    bool FFieldListUpdated = false;
    bool FFieldDefListUpdated = false;
    Integer FBookmarkSize = 0;
    Integer FBlockReadSize = 0;
    Integer FDisableCount = 0;
    TDataSetState FDisableState = dsInactive;
    TDataEvent FEnableEvent = deDataSetChange;
    String FFilterText;
    TFilterOptions FFilterOptions;
    std::vector<TDataSource*> FDataSources;
    TDataLink* FFirstDataLink = nullptr;
    std::unique_ptr<TFieldDefs> FFieldDefs;
    std::unique_ptr<TFields> FFields;
    TFieldList FFieldList;
    TFieldDefList FFieldDefList;
    TDataSetField* FDataSetField = nullptr;
};

} // namespace mv
