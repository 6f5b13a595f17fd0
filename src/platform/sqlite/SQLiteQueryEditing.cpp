// TSQLiteQuery: writing edits back through generated INSERT, UPDATE and DELETE statements
// on the query's update table, each inside a transaction of its own (a savepoint inside
// an application's transaction). After a write the row is read back from the table, so
// the cache holds what SQLite stored (defaults, affinity conversions, triggers' changes).
#include "platform/sqlite/SQLiteQueryPrivate.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/Utf8.h"
#include "platform/sqlite/SQLiteConsts.h"
#include "platform/sqlite/SQLiteValues.h"

#include <algorithm>

namespace mv {

using namespace SQLiteDetail;

namespace {

// One write: BEGIN/COMMIT when the connection is in autocommit mode, else a savepoint in
// the application's transaction. Rolls back unless committed, so a failed write leaves
// the database as it was.
class TWriteTransaction {
public:
    TWriteTransaction(sqlite3* db, const TComponent* component) : FDb(db), FComponent(component) {
        FOwn = sqlite3_get_autocommit(db) != 0;
        int rc = sqlite3_exec(FDb, FOwn ? "BEGIN" : "SAVEPOINT mv_write", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) RaiseError(FDb, rc, FComponent);
    }
    ~TWriteTransaction() {
        if (FDone) return;
        if (FOwn) {
            sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
        } else {
            sqlite3_exec(FDb, "ROLLBACK TO mv_write", nullptr, nullptr, nullptr);
            sqlite3_exec(FDb, "RELEASE mv_write", nullptr, nullptr, nullptr);
        }
    }
    TWriteTransaction(const TWriteTransaction&) = delete;
    TWriteTransaction& operator=(const TWriteTransaction&) = delete;

    void Commit() {
        int rc = FaultSim(sfpCommit);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(FDb, FOwn ? "COMMIT" : "RELEASE mv_write", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) RaiseError(FDb, rc, FComponent);
        FDone = true;
    }

private:
    sqlite3* FDb;
    const TComponent* FComponent;
    bool FOwn = true;
    bool FDone = false;
};

// Steps a data-changing statement to its end.
void RunWrite(sqlite3* db, sqlite3_stmt* statement, const TComponent* component) {
    int rc = FaultSim(sfpWrite);
    if (rc == SQLITE_OK) rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) RaiseError(db, rc, component);
}

bool IsNullSlot(const Variant& value) {
    return VarIsNull(value) || VarIsEmpty(value);
}

// Whether an edited slot still holds the cached value (texts compared exactly).
bool SameSlot(const Variant& a, const Variant& b) {
    if (IsNullSlot(a) || IsNullSlot(b)) return IsNullSlot(a) == IsNullSlot(b);
    if (VarIsStr(a) || VarIsStr(b)) return VarIsStr(a) && VarIsStr(b) && a.AsString() == b.AsString();
    try {
        return VarType(a) == VarType(b) && VarSameValue(a, b);
    } catch (const EVariantError&) {
        return false;
    }
}

} // namespace

namespace {

std::string QualifiedTable(const TSQLiteQueryImpl& impl) {
    return QuoteIdentifier(impl.UpdateDatabase) + "." + QuoteIdentifier(impl.UpdateTable);
}

// " WHERE k1 = ?n AND k2 = ?n+1", parameters numbered from firstParam.
std::string KeyCondition(const TSQLiteQueryImpl& impl, int firstParam) {
    std::string where = " WHERE ";
    for (std::size_t i = 0; i < impl.KeyColumns.size(); ++i) {
        if (i > 0) where += " AND ";
        where += QuoteIdentifier(impl.Columns[impl.KeyColumns[i]].Origin) + " = ?" +
                 std::to_string(firstParam + static_cast<int>(i));
    }
    return where;
}

void BindKey(const TSQLiteQueryImpl& impl, sqlite3_stmt* statement, int firstParam,
             const std::vector<Variant>& values) {
    for (std::size_t i = 0; i < impl.KeyColumns.size(); ++i) {
        const TSQLiteColumn& column = impl.Columns[impl.KeyColumns[i]];
        BindFieldValue(statement, firstParam + static_cast<int>(i), values[impl.KeyColumns[i]], column.Type,
                       column.Julian);
    }
}

// Reads the writable columns of the row with the key in values back into values.
void ReadBack(TSQLiteQueryImpl& impl, sqlite3* db, std::vector<Variant>& values) {
    std::string sql = "SELECT ";
    std::vector<std::size_t> columns;
    for (std::size_t i = 0; i < impl.Columns.size(); ++i) {
        if (!impl.Columns[i].Writable) continue;
        if (!columns.empty()) sql += ", ";
        sql += QuoteIdentifier(impl.Columns[i].Origin);
        columns.push_back(i);
    }
    if (columns.empty()) return;
    sql += " FROM " + QualifiedTable(impl) + KeyCondition(impl, 1);
    TStatementPtr statement = PrepareSingle(db, sql, impl.Owner);
    BindKey(impl, statement.get(), 1, values);
    int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_DONE) DatabaseError(SQLiteConsts::SRecordChanged, impl.Owner);
    if (rc != SQLITE_ROW) RaiseError(db, rc, impl.Owner);
    for (std::size_t n = 0; n < columns.size(); ++n) {
        TSQLiteColumn& column = impl.Columns[columns[n]];
        values[columns[n]] = ReadColumn(statement.get(), static_cast<int>(n), column.Type, column.Julian);
    }
}

} // namespace

Integer TSQLiteQueryImpl::WriteUpdate(Integer position, const Variant* slots) {
    sqlite3* db = RequireDb();
    TSQLiteCachedRow& row = Rows[static_cast<std::size_t>(position)];
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < Columns.size(); ++i)
        if (Columns[i].Writable && !SameSlot(slots[i], row.Values[i])) changed.push_back(i);
    if (changed.empty()) return position;

    std::string sql = "UPDATE " + QualifiedTable(*this) + " SET ";
    for (std::size_t n = 0; n < changed.size(); ++n) {
        if (n > 0) sql += ", ";
        sql += QuoteIdentifier(Columns[changed[n]].Origin) + " = ?" + std::to_string(n + 1);
    }
    sql += KeyCondition(*this, static_cast<int>(changed.size()) + 1);

    std::vector<Variant> values(slots, slots + Columns.size());
    TWriteTransaction transaction(db, Owner);
    {
        TStatementPtr statement = PrepareSingle(db, sql, Owner);
        for (std::size_t n = 0; n < changed.size(); ++n) {
            const TSQLiteColumn& column = Columns[changed[n]];
            BindFieldValue(statement.get(), static_cast<int>(n) + 1, slots[changed[n]], column.Type,
                           column.Julian);
        }
        BindKey(*this, statement.get(), static_cast<int>(changed.size()) + 1, row.Values);
        RunWrite(db, statement.get(), Owner);
        if (sqlite3_changes(db) != 1) DatabaseError(SQLiteConsts::SRecordChanged, Owner);
    }
    ReadBack(*this, db, values);
    transaction.Commit();
    if (Statement) WrittenKeys.insert(KeyOf(values));
    row.Values = std::move(values);
    return position;
}

Integer TSQLiteQueryImpl::WriteInsert(Integer position, const Variant* slots) {
    sqlite3* db = RequireDb();
    std::vector<std::size_t> given;
    for (std::size_t i = 0; i < Columns.size(); ++i)
        if (Columns[i].Writable && !IsNullSlot(slots[i])) given.push_back(i);

    std::string sql = "INSERT INTO " + QualifiedTable(*this);
    if (given.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string names, markers;
        for (std::size_t n = 0; n < given.size(); ++n) {
            if (n > 0) {
                names += ", ";
                markers += ", ";
            }
            names += QuoteIdentifier(Columns[given[n]].Origin);
            markers += "?" + std::to_string(n + 1);
        }
        sql += " (" + names + ") VALUES (" + markers + ")";
    }

    std::vector<Variant> values(slots, slots + Columns.size());
    TWriteTransaction transaction(db, Owner);
    {
        TStatementPtr statement = PrepareSingle(db, sql, Owner);
        for (std::size_t n = 0; n < given.size(); ++n) {
            const TSQLiteColumn& column = Columns[given[n]];
            BindFieldValue(statement.get(), static_cast<int>(n) + 1, slots[given[n]], column.Type,
                           column.Julian);
        }
        RunWrite(db, statement.get(), Owner);
    }
    if (KeyIsRowid) values[KeyColumns[0]] = static_cast<long long>(sqlite3_last_insert_rowid(db));
    ReadBack(*this, db, values);
    transaction.Commit();

    if (Statement) WrittenKeys.insert(KeyOf(values));
    auto at = static_cast<std::size_t>(std::clamp<Integer>(position, 0, static_cast<Integer>(Rows.size())));
    if (at != Rows.size()) SerialsOrdered = false;
    Rows.insert(Rows.begin() + static_cast<std::ptrdiff_t>(at),
                TSQLiteCachedRow{++NextSerial, std::move(values)});
    InvalidatePositions();
    return static_cast<Integer>(at);
}

void TSQLiteQueryImpl::WriteDelete(Integer position) {
    sqlite3* db = RequireDb();
    const TSQLiteCachedRow& row = Rows[static_cast<std::size_t>(position)];
    std::string sql = "DELETE FROM " + QualifiedTable(*this) + KeyCondition(*this, 1);
    TWriteTransaction transaction(db, Owner);
    {
        TStatementPtr statement = PrepareSingle(db, sql, Owner);
        BindKey(*this, statement.get(), 1, row.Values);
        RunWrite(db, statement.get(), Owner);
        if (sqlite3_changes(db) != 1) DatabaseError(SQLiteConsts::SRecordChanged, Owner);
    }
    transaction.Commit();
    Rows.erase(Rows.begin() + position);
    InvalidatePositions();
}

} // namespace mv
