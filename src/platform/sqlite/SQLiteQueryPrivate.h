// The state behind a TSQLiteQuery: statement, column descriptions, record cache and the
// table edits go to. Not public API: only platform/sqlite and its tests include it.
//
// Vocabulary: the *cache* is Rows, the rows fetched so far, in result order (plus rows
// this data set inserted); *fetching* steps the statement to append rows; the fetch is
// *complete* when the statement has no more rows (it is then finalized, which ends
// SQLite's read transaction). Cursor is the cache position the record-buffer protocol
// stands on: -1 before the first row, Rows.size() after the last fetched one.
//
// A *forward-only* query (unidirectional, made by TSQLiteConnection::OpenQuery for
// loading) caches only the row it stands on: Rows holds at most that one row, Cursor is
// 0 on it, and a row's serial is its number in the result.
#pragma once

#include "platform/sqlite/SQLitePrivate.h"
#include "platform/sqlite/SQLiteQuery.h"

#include <cassert>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace mv {

struct TSQLiteColumn {
    String FieldName; // unique among the columns ("ID", "ID_1")
    TFieldType Type = ftUnknown;
    Integer Size = 0;
    bool SizeGuessed = false; // a text without declared length
    bool Measured = false;    // sized from the data (SizeGuessedTexts): longer values are errors
    bool Julian = false;      // a date column was seen holding Julian numbers
    std::string Database;     // schema of the table the column comes from
    std::string Table;        // empty: an expression
    std::string Origin;       // the table's column
    bool Writable = false;    // a column of the update table that edits may write
    bool Required = false;    // NOT NULL without default in the update table
};

struct TSQLiteCachedRow {
    Int64 Serial = 0;
    std::vector<Variant> Values;
};

// A statement prepared, bound and stepped once: a query ready to swap in.
struct TSQLiteExecution {
    SQLiteDetail::TStatementPtr Statement;
    bool HasRow = false;
};

// The result's column names made unique ignoring case: a repeated name gets "_1", "_2".
std::vector<String> UniqueColumnNames(sqlite3_stmt* statement);

// Which setting a failure of the pushed-down SQL is reported against.
enum TSQLiteBlame { sbQuery, sbFilter, sbSort };

struct TSQLiteQueryImpl {
    explicit TSQLiteQueryImpl(TSQLiteQuery* owner) : Owner(owner) {}
    static TSQLiteQueryImpl& Of(TSQLiteQuery& query) { return *query.FImpl; }

    // Makes the closed query what loading wants: forward-only, texts sized from the data.
    void PrepareForLoading() {
        assert(!Open && "PrepareForLoading: the query must be closed");
        Owner->SetUniDirectional(true);
        SizeTextsFromData = true;
    }
    bool ForwardOnly() const { return Owner->IsUniDirectional(); }

    TSQLiteQuery* Owner;
    bool Open = false;
    std::vector<TSQLiteColumn> Columns;

    // -- Fetching --------------------------------------------------------------------
    SQLiteDetail::TStatementPtr Statement; // null once the fetch is complete
    std::vector<TSQLiteCachedRow> Rows;
    Integer Cursor = -1;
    Int64 NextSerial = 0;
    String FetchError; // why the fetch stopped early (raised again on reading further)
    // Serials grow along Rows until a row is inserted in the middle; then PositionOf
    // uses a map built on demand.
    bool SerialsOrdered = true;
    mutable std::unordered_map<Int64, Integer> Positions;
    mutable bool PositionsValid = false;
    // Keys of rows this data set wrote while the fetch was still going: the statement
    // may meet them again (an index scan sees an updated key later), and must skip them.
    std::unordered_set<std::string> WrittenKeys;

    // -- Loading -------------------------------------------------------------------------
    // The statement stands on a row not read yet (a forward-only query just executed).
    bool RowPending = false;
    // Guessed text columns are sized from the result at open (SizeGuessedTexts).
    bool SizeTextsFromData = false;

    // -- Record buffers ----------------------------------------------------------------
    Integer DataSlots = 0;
    Integer SlotCount = 0;
    std::unordered_map<const TField*, Integer> CalcSlots;

    // -- Update target -------------------------------------------------------------------
    bool Editable = false;
    std::string PlannedText; // the SQL text of the last Execute, for FindUpdateTable
    std::string UpdateDatabase;
    std::string UpdateTable;
    std::vector<std::size_t> KeyColumns;
    bool KeyIsRowid = false; // KeyColumns is the one rowid (or INTEGER PRIMARY KEY) column

    // ==================================================================================
    // [SECTION] Statements (SQLiteQueryText.cpp)
    // ==================================================================================

    sqlite3* Db() const;
    // Connects when needed; raises SConnectionMissing without a connection.
    sqlite3* RequireDb();
    // The SQL text as one statement without its trailing ';' (validated: exactly one).
    std::string BaseText(sqlite3* db, std::vector<String>* columnNames);
    // Prepares the query with the filter (when filtered and not empty) and sort pushed
    // down, binds Params and steps the first row. Errors of the pushed-down SQL raise
    // the message of `blame`.
    TSQLiteExecution Execute(bool filtered, const String& filter, const String& sort, TSQLiteBlame blame);
    void BindParams(sqlite3_stmt* statement) const;
    // Gives every column with SizeGuessed the length of its longest value in the result
    // (UTF-8 bytes, never fewer than the UTF-16 units the field holds; at least 1), or
    // makes it a wide memo when that is more than a string field holds. Runs the SQL
    // once more as a subquery; call it while Statement holds the read transaction, so
    // both see the same rows.
    // An empty result (hasRow false) gives them 1 without running anything; a statement
    // that cannot be a subquery (PRAGMA) leaves them as they are.
    void SizeGuessedTexts(sqlite3* db, bool hasRow);

    // ==================================================================================
    // [SECTION] Columns and cache (SQLiteQuery.cpp)
    // ==================================================================================

    void DescribeColumns(sqlite3_stmt* statement, bool hasRow);
    void FindUpdateTable(sqlite3* db);
    // Owner's FieldDefs from Columns (computed columns read-only when editable).
    void FillFieldDefs();
    // Replaces statement and cache by an execution and fetches the first block.
    void Swap(TSQLiteExecution execution);
    void Reset();
    void AppendCurrentRow();
    // Steps up to count rows into the cache; raises (and remembers) a step error.
    void FetchBlock(Integer count);
    // Fetches until the cache holds row `position` or the fetch is complete; false when
    // there is no such row. Raises the fetch's error.
    bool EnsureRow(Integer position);
    void FetchAll();
    // Forward-only moves: replaces the one cached row by the next (false at the end;
    // raises STextLongerThanMeasured rather than let a field cut a text), and the
    // record-buffer move of GetRecord for either kind of query.
    bool StepForward();
    TGetResult MoveForward(TGetMode getMode);
    TGetResult MoveCursor(TGetMode getMode);
    Integer PositionOf(Int64 serial) const;
    void InvalidatePositions();
    std::string KeyOf(const std::vector<Variant>& values) const;
    std::vector<Variant> ReadRow(sqlite3_stmt* statement, int firstColumn = 0);

    // ==================================================================================
    // [SECTION] Writing (SQLiteQueryEditing.cpp)
    // ==================================================================================

    // Writes the buffer's values: an UPDATE of the row at `position`, or an INSERT of a
    // new row placed at `position` in the cache. Returns the cache position written.
    Integer WriteUpdate(Integer position, const Variant* slots);
    Integer WriteInsert(Integer position, const Variant* slots);
    void WriteDelete(Integer position);
};

} // namespace mv
