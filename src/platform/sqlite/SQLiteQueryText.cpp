// TSQLiteQuery: the SQL text run for the query, with filter and sort pushed down.
//
// Call flow: Open / Requery -> Execute -> BaseText (the SQL, checked to be one
// statement) -> wrapped text "SELECT * FROM (<SQL>) WHERE (<Filter>) ORDER BY <n>..."
// -> PrepareSingle under TReadOnlyScope -> BindParams -> first step.
// A query made for loading then measures its guessed text columns: SizeGuessedTexts
// runs "WITH MV_MEASURED (c1, ...) AS (<SQL>) SELECT max(length(...)) ..." the same way.
#include "platform/sqlite/SQLiteQueryPrivate.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/sqlite/SQLiteConnection.h"
#include "platform/sqlite/SQLiteConsts.h"
#include "platform/sqlite/SQLiteValues.h"

#include <algorithm>
#include <cctype>

namespace mv {

using namespace SQLiteDetail;

namespace {

bool EndsWithWord(const String& upper, StringView word) {
    return upper.size() > word.size() && upper.ends_with(word);
}

// "[Name]" or "\"Name\"" without its quotes.
String Unquoted(String name) {
    if (name.size() >= 2 &&
        ((name.front() == u'[' && name.back() == u']') || (name.front() == u'"' && name.back() == u'"')))
        return name.substr(1, name.size() - 2);
    return name;
}

// The ORDER BY list for an order-field text, by result column number, so that no name
// from the text reaches SQL. Raises SInvalidSort for a name that is no column.
std::string OrderByList(const String& sort, const std::vector<String>& names, const TComponent* component) {
    std::string list;
    std::size_t start = 0;
    while (start <= sort.size()) {
        std::size_t end = sort.find_first_of(u",;", start);
        if (end == String::npos) end = sort.size();
        String item = Trim(StringView(sort).substr(start, end - start));
        start = end + 1;
        if (item.empty()) continue;
        String upper = UpperCase(item);
        bool descending = false;
        if (EndsWithWord(upper, u" DESC")) {
            descending = true;
            item = Trim(StringView(item).substr(0, item.size() - 5));
        } else if (EndsWithWord(upper, u" ASC")) {
            item = Trim(StringView(item).substr(0, item.size() - 4));
        }
        String name = Unquoted(item);
        std::size_t column = 0;
        while (column < names.size() && !SameText(names[column], name))
            ++column;
        if (column == names.size()) {
            String reason = Format(DBConsts::SFieldNotFound, {name});
            DatabaseErrorFmt(SQLiteConsts::SInvalidSort, {sort, reason}, component);
        }
        if (!list.empty()) list += ", ";
        list += std::to_string(column + 1);
        if (descending) list += " DESC";
    }
    return list;
}

} // namespace

std::vector<String> UniqueColumnNames(sqlite3_stmt* statement) {
    std::vector<String> names;
    int count = sqlite3_column_count(statement);
    for (int i = 0; i < count; ++i) {
        const char* raw = sqlite3_column_name(statement, i);
        String base = raw != nullptr ? UTF8ToString(raw) : String();
        if (base.empty()) base = u"Column" + IntToStr(i + 1);
        String name = base;
        for (Integer n = 1;; ++n) {
            bool taken = false;
            for (const String& other : names)
                taken = taken || SameText(other, name);
            if (!taken) break;
            name = base + u"_" + IntToStr(n);
        }
        names.push_back(std::move(name));
    }
    return names;
}

sqlite3* TSQLiteQueryImpl::Db() const {
    return Owner->FConnection != nullptr ? TConnectionAccess::Handle(*Owner->FConnection) : nullptr;
}

sqlite3* TSQLiteQueryImpl::RequireDb() {
    if (Owner->FConnection == nullptr) DatabaseError(SQLiteConsts::SConnectionMissing, Owner);
    if (!Owner->FConnection->Connected()) Owner->FConnection->Open();
    return Db();
}

std::string TSQLiteQueryImpl::BaseText(sqlite3* db, std::vector<String>* columnNames) {
    std::string text = UTF8Encode(Owner->FSQL->GetText());
    TStatementPtr statement = PrepareSingle(db, text, Owner);
    if (sqlite3_column_count(statement.get()) == 0) DatabaseError(SQLiteConsts::SNoResultSet, Owner);
    if (!sqlite3_stmt_readonly(statement.get())) DatabaseError(SQLiteConsts::SQueryNotReadOnly, Owner);
    if (columnNames != nullptr) *columnNames = UniqueColumnNames(statement.get());
    // The statement's own text, without the ';' that may end it, so it can be wrapped.
    std::string own = sqlite3_sql(statement.get());
    while (!own.empty() && (own.back() == ';' || static_cast<unsigned char>(own.back()) <= ' '))
        own.pop_back();
    return own;
}

TSQLiteExecution TSQLiteQueryImpl::Execute(bool filtered, const String& filter, const String& sort,
                                           TSQLiteBlame blame) {
    sqlite3* db = RequireDb();
    std::vector<String> names;
    std::string text = BaseText(db, &names);
    PlannedText = text;
    bool filtering = filtered && !Trim(filter).empty();
    bool sorting = !Trim(sort).empty();
    TSQLiteExecution execution;
    if (!filtering && !sorting) {
        execution.Statement = PrepareSingle(db, text, Owner);
    } else {
        // Newlines around the inserted texts end a "--" comment inside them, so the
        // closing parenthesis always counts.
        std::string wrapped = "SELECT * FROM (\n" + text + "\n)";
        if (filtering) wrapped += " WHERE (\n" + UTF8Encode(filter) + "\n)";
        if (sorting) wrapped += "\nORDER BY " + OrderByList(sort, names, Owner);
        try {
            TReadOnlyScope readOnly(db);
            execution.Statement = PrepareSingle(db, wrapped, Owner);
            if (!sqlite3_stmt_readonly(execution.Statement.get()))
                DatabaseError(SQLiteConsts::SQueryNotReadOnly, Owner);
        } catch (const EDatabaseError& error) {
            if (blame == sbQuery) throw;
            String reason = error.Message();
            String prefix = Owner->Name().empty() ? String() : Owner->Name() + u": ";
            if (!prefix.empty() && reason.starts_with(prefix)) reason.erase(0, prefix.size());
            if (blame == sbSort) DatabaseErrorFmt(SQLiteConsts::SInvalidSort, {sort, reason}, Owner);
            DatabaseErrorFmt(SQLiteConsts::SInvalidFilter, {filter, reason}, Owner);
        }
        if (static_cast<std::size_t>(sqlite3_column_count(execution.Statement.get())) != names.size())
            DatabaseErrorFmt(
                SQLiteConsts::SColumnsChanged,
                {sqlite3_column_count(execution.Statement.get()), static_cast<int>(names.size())}, Owner);
    }
    BindParams(execution.Statement.get());
    int rc = FaultSim(sfpStep);
    if (rc == SQLITE_OK) rc = sqlite3_step(execution.Statement.get());
    if (rc == SQLITE_ROW) {
        execution.HasRow = true;
    } else if (rc == SQLITE_DONE) {
        execution.HasRow = false;
    } else {
        String reason = ErrorText(db, rc);
        if (filtering && blame == sbFilter)
            DatabaseErrorFmt(SQLiteConsts::SInvalidFilter, {filter, reason}, Owner);
        DatabaseError(reason, Owner);
    }
    return execution;
}

void TSQLiteQueryImpl::SizeGuessedTexts(sqlite3* db, bool hasRow) {
    std::vector<std::size_t> guessed;
    for (std::size_t i = 0; i < Columns.size(); ++i)
        if (Columns[i].SizeGuessed) guessed.push_back(i);
    if (guessed.empty()) return;
    if (!hasRow) {
        // An empty result has nothing to measure; no need to run it again.
        for (std::size_t i : guessed) {
            Columns[i].SizeGuessed = false;
            Columns[i].Size = 1;
        }
        return;
    }
    // The result's columns are renamed c1, c2 ... by the common table expression: their
    // own names may repeat or be the text of an expression. The byte length of a value
    // cast to a blob is that of its UTF-8 text, which bounds the UTF-16 length from above.
    std::string names;
    for (std::size_t i = 0; i < Columns.size(); ++i)
        names += (i == 0 ? "c" : ", c") + std::to_string(i + 1);
    std::string lengths;
    for (std::size_t i : guessed)
        lengths +=
            (lengths.empty() ? "" : ", ") + ("max(length(CAST(c" + std::to_string(i + 1) + " AS BLOB)))");
    // A name the SQL does not use: inside the expression its own tables must keep theirs.
    std::string upper = PlannedText;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string cte = "MV_MEASURED";
    while (upper.find(cte) != std::string::npos)
        cte += "_";
    std::string sql =
        "WITH " + cte + " (" + names + ") AS (\n" + PlannedText + "\n)\nSELECT " + lengths + " FROM " + cte;
    TStatementPtr statement;
    try {
        TReadOnlyScope readOnly(db);
        statement = PrepareSingle(db, sql, Owner);
    } catch (const EDatabaseError&) {
        // Not every statement that returns rows can be a subquery (PRAGMA, EXPLAIN): its
        // texts keep the guessed size, as in a query opened by itself.
        return;
    }
    BindParams(statement.get());
    int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_ROW) RaiseError(db, rc, Owner);
    for (std::size_t k = 0; k < guessed.size(); ++k) {
        // NULL when the result is empty or the column holds only NULLs.
        sqlite3_int64 longest = sqlite3_column_int64(statement.get(), static_cast<int>(k));
        TSQLiteColumn& column = Columns[guessed[k]];
        column.SizeGuessed = false;
        column.Measured = longest <= LongestStringSize;
        if (longest > LongestStringSize) {
            column.Type = ftWideMemo;
            column.Size = 0;
        } else {
            column.Size = std::max<Integer>(static_cast<Integer>(longest), 1);
        }
    }
}

void TSQLiteQueryImpl::BindParams(sqlite3_stmt* statement) const {
    int count = sqlite3_bind_parameter_count(statement);
    for (int i = 1; i <= count; ++i) {
        const char* name = sqlite3_bind_parameter_name(statement, i);
        if (name == nullptr || name[0] == '?') continue;
        TParam* param = Owner->FParams->FindParam(UTF8ToString(name + 1));
        if (param == nullptr) continue;
        BindVariant(statement, i, param->Value());
    }
}

} // namespace mv
