// TSQLiteQuery: a data set over the result of one SELECT run on a TSQLiteConnection.
//
// Fetching: the result is read lazily into a record cache, FetchBlockSize rows at a time
// as the window moves forward, so the first screen appears without reading the whole
// result; moving back reads from the cache. RecordCount, Last, Append and SetRecNo past
// the cache read the rest. While rows remain unread the statement keeps SQLite's read
// transaction open (other connections cannot commit in rollback-journal mode until the
// fetch completes or the query closes).
// TSQLiteConnection::OpenQuery makes its queries forward-only instead (no cache: each
// row is read once, for copying) and sizes their texts from the data (SQLiteConnection.h).
//
// Fields come from the result columns: names as SQLite gives them (a repeated name gets
// "_1", "_2" ...), types from the declared column types (SQLiteValues.h: integers,
// reals, texts, blobs, booleans, dates stored as ISO-8601 text or Julian numbers;
// expression columns take the storage class of the first row).
//
// Filter and Sort are pushed down into SQL: with Filtered and a Filter the query runs as
//   SELECT * FROM (<SQL>) WHERE (<Filter>) [ORDER BY <Sort>]
// and OnFilterRecord is applied to the fetched rows. Filter texts come from users'
// typing (the grid inserts typed values unescaped), so a filtered or sorted query is
// prepared as exactly one statement, with no trailing text, under an authorizer that
// lets it only read: a filter can never change data or run a second statement.
//
// Editing: when every result column that comes from a table comes from one table, and
// the result holds that table's key (its INTEGER PRIMARY KEY or rowid column, or all
// primary-key columns), Post and Delete write back through generated INSERT, UPDATE or
// DELETE statements inside a transaction (a savepoint inside an application's
// transaction). An UPDATE writes only the columns whose values changed. A failed write
// raises EDatabaseError with SQLite's message, leaves the database unchanged and the
// record in its edit state. Computed columns are read-only fields. Other queries are
// read-only (CanModify false).
//
// Bookmarks are the rows' serial numbers in the cache: stable across edits of this data
// set, renumbered by a re-query (Refresh, a new Filter or Sort).
#pragma once

#include "platform/db/DataSet.h"
#include "platform/rtl/StringList.h"
#include "platform/sqlite/SQLiteParams.h"

#include <memory>

namespace mv {

class TSQLiteConnection;
struct TSQLiteQueryImpl;

class TSQLiteQuery : public TDataSet {
    MV_CLASS(TSQLiteQuery, TDataSet);

    explicit TSQLiteQuery(TComponent* owner = nullptr);
    ~TSQLiteQuery() override;

    // Published (besides TDataSet's): Connection, SQL, Sort, ReadOnly, FetchBlockSize.
    // Writing "Sort" by name re-queries an open query as SetSort does; changing the lines
    // of the object "SQL" closes it (SQLChanged).
    static void RegisterProperties(TPropertyRegistrar<TSQLiteQuery>& r);

    // ==================================================================================
    // [SECTION] Properties
    // ==================================================================================

    // The connection; opening the query connects it when needed. Raises SDataSetOpen
    // while open. Freeing or disconnecting the connection closes the query.
    TSQLiteConnection* Connection() const { return FConnection; }
    void SetConnection(TSQLiteConnection* value);

    // The SELECT, one line per entry. A change closes the query and rebuilds Params.
    // A trailing ';' is allowed; more text after it is not (STrailingSQL at open).
    TStrings* SQL() const { return FSQL.get(); }
    void SetSQL(const TStrings* value) { FSQL->Assign(value); }

    // ":Name" parameters of SQL, bound by name at open.
    TParams* Params() const { return FParams.get(); }
    TParam* ParamByName(StringView name) const { return FParams->ParamByName(name); }

    // An order-field list ("Name,City DESC"; ';' also separates; " ASC" accepted; names
    // may be [bracketed]). Applied at open, and at once on an open query by re-querying
    // (back on the first record). A name that is no field of the result raises
    // EDatabaseError "Invalid sort order: <text> (Field 'X' not found)" and the previous
    // Sort stays, as does the open result.
    const String& Sort() const { return FSort; }
    void SetSort(const String& value);

    // Refuses edits even when the result could be written back.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }

    // Rows read from SQLite per step of the fetch (at least 1; default 100).
    Integer FetchBlockSize() const { return FFetchBlockSize; }
    void SetFetchBlockSize(Integer value) { FFetchBlockSize = value < 1 ? 1 : value; }
    // Rows in the record cache, and whether the whole result has been read.
    Integer FetchedCount() const;
    bool FetchComplete() const;

    // The table edits are written to (empty when the result cannot be written back).
    String UpdateTableName() const;

    // Runs SQL as a statement (INSERT, UPDATE, DDL ...) with Params bound; the query must
    // be closed. Returns the rows changed.
    Integer ExecSQL();

    // Filters: SetFilter on an open, filtered query re-queries at once; a filter SQLite
    // rejects raises EDatabaseError "Invalid filter expression: <filter> (<reason>)" and
    // the previous filter and result stay. SetFiltered(true) likewise.
    void SetFiltered(bool value) override;

    // ==================================================================================
    // [SECTION] Data set overrides
    // ==================================================================================

    using TDataSet::GetFieldData;
    using TDataSet::SetFieldData;
    bool GetFieldData(TField* field, void* buffer) override;
    void SetFieldData(TField* field, const void* buffer) override;
    std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode) override;
    bool BookmarkValid(const TBookmark& bookmark) override;
    Integer CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2) override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& buffer) override;
    TGetResult GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) override;
    Integer GetRecordSize() const override;
    void InternalOpen() override;
    void InternalClose() override;
    bool IsCursorOpen() const override;
    void InternalInitFieldDefs() override;
    void InternalFirst() override;
    void InternalLast() override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalAddRecord(TRecordBuffer buffer, bool append) override;
    void InternalInitRecord(TRecordBuffer buffer) override;
    void InternalRefresh() override;
    void InternalGotoBookmark(const TBookmark& bookmark) override;
    void InternalSetToRecord(TRecordBuffer buffer) override;
    void GetBookmarkData(TRecordBuffer buffer, TBookmark& data) const override;
    void SetBookmarkData(TRecordBuffer buffer, const TBookmark& data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) const override;
    void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) override;
    Integer GetRecNo() const override;
    void SetRecNoValue(Integer value) override;
    Integer GetRecordCount() const override;
    bool GetCanModify() const override;
    void ClearCalcFields(TRecordBuffer buffer) override;
    void SetFilterText(const String& value) override;

private:
    friend struct TSQLiteQueryImpl;

    void SQLChanged();
    // Re-runs the query with other filter/sort settings on an open data set: the new
    // statement is prepared first, so a rejected one leaves everything as it was.
    void Requery(bool filtered, const String& filter, const String& sort);

    TSQLiteConnection* FConnection = nullptr;
    std::unique_ptr<TStringList> FSQL;
    std::unique_ptr<TParams> FParams;
    std::unique_ptr<TSQLiteQueryImpl> FImpl;
    String FSort;
    bool FReadOnly = false;
    Integer FFetchBlockSize = 100;
};

} // namespace mv
