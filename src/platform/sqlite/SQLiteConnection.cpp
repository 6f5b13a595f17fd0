// TSQLiteConnection: opening, closing, transactions and statements run directly.
#include "platform/sqlite/SQLiteConnection.h"

#include "platform/db/DB.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/Utf8.h"
#include "platform/sqlite/SQLiteConsts.h"
#include "platform/sqlite/SQLitePrivate.h"
#include "platform/sqlite/SQLiteQuery.h"
#include "platform/sqlite/SQLiteQueryPrivate.h"
#include "platform/sqlite/SQLiteValues.h"

#include <algorithm>

namespace mv {

using namespace SQLiteDetail;

namespace {

// Runs a statement without result rows that needs no parameters.
void ExecSimple(sqlite3* db, const char* sql, const TComponent* component) {
    int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) RaiseError(db, rc, component);
}

} // namespace

TSQLiteConnection::TSQLiteConnection(TComponent* owner) : TCustomConnection(owner) {}

TSQLiteConnection::~TSQLiteConnection() {
    DoDisconnect();
}

void TSQLiteConnection::SetDatabaseName(const String& value) {
    if (value == FDatabaseName) return;
    SetConnected(false);
    FDatabaseName = value;
}

bool TSQLiteConnection::Connected() const {
    return FImpl != nullptr && FImpl->Db != nullptr;
}

void TSQLiteConnection::SetConnected(bool value) {
    if (ComponentState().Contains(csLoading)) {
        FStreamedConnected = value;
        return;
    }
    if (value == Connected()) return;
    if (value)
        DoConnect();
    else
        DoDisconnect();
}

void TSQLiteConnection::Loaded() {
    TCustomConnection::Loaded();
    if (FStreamedConnected) SetConnected(true);
}

void TSQLiteConnection::DoConnect() {
    if (FDatabaseName.empty()) DatabaseError(SQLiteConsts::SDatabaseNameMissing, this);
    std::string fileName = UTF8Encode(FDatabaseName);
    int flags = FReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(fileName.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) rc = FaultSim(sfpOpen);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, FBusyTimeout);
        // Defensive mode refuses writes that can corrupt the file (writable_schema and
        // the like); an untrusted schema cannot run functions with side effects.
        sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        // Reading the schema reads page 1: a file that is no database, or that another
        // connection holds locked, fails here rather than at the first query.
        rc = sqlite3_exec(db, "PRAGMA foreign_keys = ON; SELECT count(*) FROM sqlite_master", nullptr,
                          nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        String reason = ErrorText(db, rc);
        sqlite3_close_v2(db);
        DatabaseErrorFmt(SQLiteConsts::SCannotOpenDatabase, {FDatabaseName, reason}, this);
    }
    if (!FImpl) FImpl = std::make_unique<TSQLiteConnectionImpl>();
    FImpl->Db = db;
}

void TSQLiteConnection::DoDisconnect() {
    // Copy: closing a data set may unregister it.
    std::vector<TDataSet*> dataSets = FDataSets;
    for (TDataSet* dataSet : dataSets)
        dataSet->Close();
    if (!Connected()) return;
    sqlite3* db = FImpl->Db;
    FImpl->Db = nullptr;
    if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

void TSQLiteConnection::SetBusyTimeout(Integer value) {
    FBusyTimeout = std::max<Integer>(value, 0);
    if (Connected()) sqlite3_busy_timeout(FImpl->Db, FBusyTimeout);
}

void TSQLiteConnection::CheckConnected() const {
    if (!Connected()) DatabaseErrorFmt(SQLiteConsts::SNotConnected, {FDatabaseName}, this);
}

// ======================================================================================
// [SECTION] Transactions
// ======================================================================================

bool TSQLiteConnection::InTransaction() const {
    return Connected() && !sqlite3_get_autocommit(FImpl->Db);
}

void TSQLiteConnection::StartTransaction() {
    CheckConnected();
    if (InTransaction()) DatabaseError(SQLiteConsts::STransactionActive, this);
    ExecSimple(FImpl->Db, "BEGIN", this);
}

void TSQLiteConnection::Commit() {
    CheckConnected();
    if (!InTransaction()) DatabaseError(SQLiteConsts::SNoTransaction, this);
    ExecSimple(FImpl->Db, "COMMIT", this);
}

void TSQLiteConnection::Rollback() {
    CheckConnected();
    if (!InTransaction()) DatabaseError(SQLiteConsts::SNoTransaction, this);
    ExecSimple(FImpl->Db, "ROLLBACK", this);
}

// ======================================================================================
// [SECTION] Statements
// ======================================================================================

Integer TSQLiteConnection::ExecSQL(const String& sql) {
    CheckConnected();
    sqlite3* db = FImpl->Db;
    std::string text = UTF8Encode(sql);
    const char* rest = text.c_str();
    while (*rest != 0) {
        sqlite3_stmt* raw = nullptr;
        int rc = sqlite3_prepare_v3(db, rest, -1, 0, &raw, &rest);
        TStatementPtr statement(raw);
        if (rc != SQLITE_OK) RaiseError(db, rc, this);
        if (!statement) continue;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) RaiseError(db, rc, this);
    }
    return sqlite3_changes(db);
}

Integer TSQLiteConnection::ExecSQL(const String& sql, const std::vector<Variant>& params) {
    CheckConnected();
    sqlite3* db = FImpl->Db;
    TStatementPtr statement = PrepareSingle(db, UTF8Encode(sql), this);
    for (std::size_t i = 0; i < params.size(); ++i)
        BindVariant(statement.get(), static_cast<int>(i) + 1, params[i]);
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) RaiseError(db, rc, this);
    return sqlite3_changes(db);
}

std::unique_ptr<TDataSet> TSQLiteConnection::OpenQuery(const String& commandText) {
    auto query = std::make_unique<TSQLiteQuery>();
    query->SetConnection(this);
    query->SQL()->SetText(commandText);
    query->SetReadOnly(true);
    // The caller copies each row once: no cache behind it, and texts no longer than the
    // longest value (a fixed 255 would cost a copy 512 bytes per value).
    TSQLiteQueryImpl::Of(*query).PrepareForLoading();
    query->Open();
    return query;
}

Int64 TSQLiteConnection::LastInsertRowId() const {
    CheckConnected();
    return sqlite3_last_insert_rowid(FImpl->Db);
}

// ======================================================================================
// [SECTION] Registered data sets
// ======================================================================================

void TSQLiteConnection::RegisterDataSet(TDataSet* dataSet) {
    if (std::find(FDataSets.begin(), FDataSets.end(), dataSet) != FDataSets.end()) return;
    FDataSets.push_back(dataSet);
    FreeNotification(dataSet);
}

void TSQLiteConnection::UnregisterDataSet(TDataSet* dataSet) {
    auto it = std::find(FDataSets.begin(), FDataSets.end(), dataSet);
    if (it == FDataSets.end()) return;
    FDataSets.erase(it);
    RemoveFreeNotification(dataSet);
}

void TSQLiteConnection::Notification(TComponent* component, TOperation operation) {
    TCustomConnection::Notification(component, operation);
    if (operation != opRemove) return;
    auto it = std::find(FDataSets.begin(), FDataSets.end(), component);
    if (it != FDataSets.end()) FDataSets.erase(it);
}

} // namespace mv
