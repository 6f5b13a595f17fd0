// Internals of the SQLite units: errors, single-statement preparation, the read-only
// authorizer and the fault points (SQLitePrivate.h, SQLiteFaults.h).
#include "platform/sqlite/SQLitePrivate.h"

#include "platform/db/DB.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/sqlite/SQLiteConsts.h"
#include "platform/sqlite/SQLiteFaults.h"

#include <cstring>

namespace mv::SQLiteDetail {

namespace {

struct TFaultState {
    int ResultCode;
    int Skip;
    int Count;
    int Passes;
};

// Constant-initialised: no static constructor runs for it.
TFaultState GFaults[sfpCount] = {};

// The text SQLite left unparsed, trimmed and cut for a message.
String TailForMessage(std::string_view tail) {
    String text = Trim(UTF8ToString(tail));
    if (text.size() > 60) text = text.substr(0, 57) + u"...";
    return text;
}

int ReadOnlyAuthorizer(void*, int action, const char*, const char* arg2, const char*, const char*) {
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_FUNCTION:
        // arg2 is the function name; these two reach outside the database.
        if (arg2 != nullptr &&
            (sqlite3_stricmp(arg2, "load_extension") == 0 || sqlite3_stricmp(arg2, "fts3_tokenizer") == 0))
            return SQLITE_DENY;
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

} // namespace

// ======================================================================================
// [SECTION] Errors
// ======================================================================================

String ErrorText(sqlite3* db, int rc) {
    if (db != nullptr && (sqlite3_errcode(db) & 0xFF) == (rc & 0xFF)) return UTF8ToString(sqlite3_errmsg(db));
    return UTF8ToString(sqlite3_errstr(rc));
}

void RaiseError(sqlite3* db, int rc, const TComponent* component) {
    DatabaseError(ErrorText(db, rc), component);
}

// ======================================================================================
// [SECTION] Statements
// ======================================================================================

TStatementPtr PrepareSingle(sqlite3* db, std::string_view sql, const TComponent* component) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    int rc = FaultSim(sfpPrepare);
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), 0, &raw, &tail);
    TStatementPtr statement(raw);
    if (rc != SQLITE_OK) RaiseError(db, rc, component);
    if (!statement) DatabaseError(SQLiteConsts::SEmptySQL, component);
    // What follows must hold no statement: SQLite answers OK with no statement for
    // blanks, semicolons and comments.
    std::string_view rest = sql.substr(static_cast<std::size_t>(tail - sql.data()));
    while (!rest.empty()) {
        sqlite3_stmt* extra = nullptr;
        const char* next = nullptr;
        int extraRc = sqlite3_prepare_v3(db, rest.data(), static_cast<int>(rest.size()), 0, &extra, &next);
        sqlite3_finalize(extra);
        if (extraRc != SQLITE_OK || extra != nullptr)
            DatabaseErrorFmt(SQLiteConsts::STrailingSQL, {TailForMessage(rest)}, component);
        std::size_t consumed = static_cast<std::size_t>(next - rest.data());
        if (consumed == 0) break;
        rest.remove_prefix(consumed);
    }
    return statement;
}

TReadOnlyScope::TReadOnlyScope(sqlite3* db) : FDb(db) {
    sqlite3_set_authorizer(FDb, ReadOnlyAuthorizer, nullptr);
}

TReadOnlyScope::~TReadOnlyScope() {
    sqlite3_set_authorizer(FDb, nullptr, nullptr);
}

std::string QuoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    quoted += '"';
    return quoted;
}

// ======================================================================================
// [SECTION] Fault points
// ======================================================================================

int FaultSim(TSQLiteFaultPoint point) {
    TFaultState& state = GFaults[point];
    ++state.Passes;
    if (state.ResultCode == SQLITE_OK || state.Count <= 0) return SQLITE_OK;
    if (state.Skip > 0) {
        --state.Skip;
        return SQLITE_OK;
    }
    --state.Count;
    return state.ResultCode;
}

void ArmFault(TSQLiteFaultPoint point, int resultCode, int skip, int count) {
    GFaults[point].ResultCode = resultCode;
    GFaults[point].Skip = skip;
    GFaults[point].Count = count;
}

void DisarmFaults() {
    for (TFaultState& state : GFaults)
        state = TFaultState{};
}

int FaultPasses(TSQLiteFaultPoint point) {
    return GFaults[point].Passes;
}

} // namespace mv::SQLiteDetail
