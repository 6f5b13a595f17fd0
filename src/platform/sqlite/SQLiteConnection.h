// TSQLiteConnection: a component holding one SQLite database connection, shared by the
// query data sets that name it (TSQLiteQuery, SQLiteQuery.h). sqlite3 stays out of this
// header: the handle lives behind an opaque implementation pointer.
//
// Lifetime: data sets register with the connection when assigned; disconnecting (or
// freeing the connection) closes them first, so no statement outlives its database.
#pragma once

#include "platform/db/Connection.h"
#include "platform/rtl/Variants.h"

#include <memory>
#include <vector>

namespace mv {

class TDataSet;
class TSQLiteQuery;
struct TSQLiteConnectionImpl;
namespace SQLiteDetail {
struct TConnectionAccess;
}

class TSQLiteConnection : public TCustomConnection {
    MV_CLASS(TSQLiteConnection, TCustomConnection);

    explicit TSQLiteConnection(TComponent* owner = nullptr);
    // Closes the registered data sets, then the database.
    ~TSQLiteConnection() override;

    // Published (besides Connected): DatabaseName, ReadOnly, BusyTimeout. DatabaseName
    // comes first, so a streamed Connected (applied in Loaded) has its file.
    static void RegisterProperties(TPropertyRegistrar<TSQLiteConnection>& r);

    // A file name (UTF-16, passed to SQLite as UTF-8) or ":memory:". Changing it closes
    // an open connection first.
    const String& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const String& value);

    // Opening: a missing file is created unless ReadOnly; the first page is read at once,
    // so a file that is not a database, or one locked by another process for longer than
    // BusyTimeout, fails here with EDatabaseError "Cannot open database 'X': <SQLite's
    // message>" and the connection stays closed. Opening writes nothing to an existing
    // file. Foreign-key enforcement is switched on. Closing closes the registered data
    // sets first and rolls back a transaction left open.
    bool Connected() const override;
    void SetConnected(bool value) override;

    // Opens the file read-only (SQLite refuses every write). Takes effect at the next open.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    // Milliseconds SQLite waits on a lock held by another connection before failing with
    // "database is locked". Applied at once when connected.
    Integer BusyTimeout() const { return FBusyTimeout; }
    void SetBusyTimeout(Integer value);

    // Transactions: StartTransaction raises STransactionActive inside one; Commit and
    // Rollback raise SNoTransaction outside one. A failed Commit (another connection
    // still reading) leaves the transaction open, as SQLite does, so it can be retried
    // or rolled back. Data set edits inside a transaction become part of it.
    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const;

    // Runs every statement of sql in order (a script; parameters not allowed) and
    // returns the rows changed by the last one. Raises EDatabaseError with SQLite's
    // message; statements before the failing one stay done.
    Integer ExecSQL(const String& sql);
    // Runs one statement with positional parameters ("?" or "?N", bound in order).
    Integer ExecSQL(const String& sql, const std::vector<Variant>& params);
    // A TSQLiteQuery over commandText, open on its first row (TCustomConnection). The
    // text must be one statement that only reads; anything else raises EDatabaseError
    // (SQLite's message, or the query's for a text that changes data or returns no rows).
    // The query is read-only and forward-only (it keeps only the current row; Prior,
    // Last, RecNo changes, bookmarks and Refresh raise SDataSetUnidirectional, RecordCount
    // is -1). A text column without declared length, and an expression, gets the length
    // of its longest value (in UTF-8 bytes, so never shorter than the text; at least 1)
    // instead of 255, or becomes a wide memo when longer than 8192; the SQL runs once
    // more as a subquery to measure this (a statement that cannot be one, such as a
    // PRAGMA, keeps 255). Reading a text longer than measured (a command whose values
    // differ per run, random()) raises STextLongerThanMeasured. A TSQLiteQuery made
    // directly keeps 255.
    std::unique_ptr<TDataSet> OpenQuery(const String& commandText) override;

    // The rowid of the last row this connection inserted.
    Int64 LastInsertRowId() const;

    Integer DataSetCount() const { return static_cast<Integer>(FDataSets.size()); }
    TDataSet* DataSets(Integer index) const { return FDataSets.at(static_cast<std::size_t>(index)); }

    // Raises SNotConnected when closed.
    void CheckConnected() const;

    void Notification(TComponent* component, TOperation operation) override;

protected:
    void Loaded() override;

private:
    friend class TSQLiteQuery;
    friend struct SQLiteDetail::TConnectionAccess;

    void RegisterDataSet(TDataSet* dataSet);
    void UnregisterDataSet(TDataSet* dataSet);
    void DoConnect();
    void DoDisconnect();

    std::unique_ptr<TSQLiteConnectionImpl> FImpl;
    String FDatabaseName;
    bool FReadOnly = false;
    bool FStreamedConnected = false;
    Integer FBusyTimeout = 1000;
    std::vector<TDataSet*> FDataSets;
};

// Makes TSQLiteConnection and TSQLiteQuery known by name (RegisterClass), as
// RegisterDBClasses does for the data-access unit, whose classes it registers too.
void RegisterSQLiteClasses();

} // namespace mv
