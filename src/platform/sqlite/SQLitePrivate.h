// Internals shared by the SQLite units: the handle behind a connection, statement
// ownership, error reporting, the read-only authorizer and the fault points. Not public
// API: only platform/sqlite and its tests include this header.
#pragma once

#include "platform/rtl/RtlTypes.h"
#include "platform/sqlite/SQLiteConnection.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>

namespace mv {

struct TSQLiteConnectionImpl {
    sqlite3* Db = nullptr;
};

namespace SQLiteDetail {

struct TConnectionAccess {
    // Null while the connection is closed.
    static sqlite3* Handle(const TSQLiteConnection& connection) {
        return connection.FImpl ? connection.FImpl->Db : nullptr;
    }
    static void Register(TSQLiteConnection& connection, TDataSet* dataSet) {
        connection.RegisterDataSet(dataSet);
    }
    static void Unregister(TSQLiteConnection& connection, TDataSet* dataSet) {
        connection.UnregisterDataSet(dataSet);
    }
};

struct TStatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using TStatementPtr = std::unique_ptr<sqlite3_stmt, TStatementFinalizer>;

// ======================================================================================
// [SECTION] Errors
// ======================================================================================

// SQLite's message for rc: the connection's own message when it describes rc (it names
// the constraint, the table, the syntax error), else the generic text of the code.
String ErrorText(sqlite3* db, int rc);
[[noreturn]] void RaiseError(sqlite3* db, int rc, const TComponent* component = nullptr);

// ======================================================================================
// [SECTION] Statements
// ======================================================================================

// Prepares exactly one statement from sql. Trailing text after it that is more than
// blanks, ';' and comments raises STrailingSQL; an empty text raises SEmptySQL; SQLite's
// errors raise EDatabaseError with its message. Runs the sfpPrepare fault point.
TStatementPtr PrepareSingle(sqlite3* db, std::string_view sql, const TComponent* component = nullptr);

// While alive, the connection may only read: the authorizer refuses every action other
// than SELECT, reading columns, recursive common table expressions and functions other
// than load_extension and fts3_tokenizer. SQLite consults the authorizer when it
// prepares, so the scope must cover the prepare of the statements it guards.
class TReadOnlyScope {
public:
    explicit TReadOnlyScope(sqlite3* db);
    ~TReadOnlyScope();
    TReadOnlyScope(const TReadOnlyScope&) = delete;
    TReadOnlyScope& operator=(const TReadOnlyScope&) = delete;

private:
    sqlite3* FDb;
};

// "name" with inner quotes doubled: an identifier SQLite cannot read as anything else.
std::string QuoteIdentifier(std::string_view name);

// ======================================================================================
// [SECTION] Fault points
// ======================================================================================

// Named places where a test can make SQLite fail (STYLE.md 8). Inert unless armed
// through SQLiteFaults.h; each site calls FaultSim and treats a result other than
// SQLITE_OK exactly as if SQLite had returned it.
enum TSQLiteFaultPoint {
    sfpOpen,    // opening the database (after sqlite3_open_v2)
    sfpPrepare, // preparing a statement
    sfpStep,    // fetching the next row of a query
    sfpWrite,   // running an INSERT, UPDATE or DELETE of a data set
    sfpCommit,  // committing a data set's write
    sfpCount
};
int FaultSim(TSQLiteFaultPoint point);

} // namespace SQLiteDetail
} // namespace mv
