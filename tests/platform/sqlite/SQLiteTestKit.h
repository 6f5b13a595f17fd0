// Shared pieces of the SQLite tests: a temporary directory removed afterwards, and raw
// sqlite3 access that checks what really is in a file independently of the code tested.
#pragma once

#include "platform/rtl/Utf8.h"
#include "platform/sqlite/SQLiteConnection.h"
#include "platform/sqlite/SQLiteFaults.h"
#include "platform/sqlite/SQLiteQuery.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace mv::test {

class SQLiteFixture : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/mv_sqlite_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        Dir = pattern;
        SQLiteDetail::DisarmFaults();
    }
    void TearDown() override {
        SQLiteDetail::DisarmFaults();
        std::filesystem::remove_all(Dir);
    }

    std::string PathOf(const std::string& name) const { return (Dir / name).string(); }
    String FileName(const std::string& name) const { return UTF8ToString(PathOf(name)); }

    // Runs a script on the file through a connection of its own.
    void Raw(const std::string& name, const std::string& sql) const {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(PathOf(name).c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << message;
    }

    // The rows of a query on the file as "a|b|c" lines, read by a connection of its own.
    std::string Dump(const std::string& name, const std::string& sql) const {
        sqlite3* db = nullptr;
        sqlite3_open_v2(PathOf(name).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* statement = nullptr;
        std::string out;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            out = std::string("error: ") + sqlite3_errmsg(db);
        } else {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                    if (i > 0) out += '|';
                    const unsigned char* text = sqlite3_column_text(statement, i);
                    out += text ? reinterpret_cast<const char*>(text) : "NULL";
                }
                out += '\n';
            }
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return out;
    }

    std::string FileBytes(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        return buffer.str();
    }

    std::unique_ptr<TSQLiteConnection> Connect(const std::string& name) const {
        auto connection = std::make_unique<TSQLiteConnection>();
        connection->SetDatabaseName(FileName(name));
        connection->SetBusyTimeout(0);
        connection->Open();
        return connection;
    }

    std::unique_ptr<TSQLiteQuery> Query(TSQLiteConnection* connection, const String& sql) const {
        auto query = std::make_unique<TSQLiteQuery>();
        query->SetConnection(connection);
        query->SQL()->SetText(sql);
        return query;
    }

    std::filesystem::path Dir;
};

// The message of the EDatabaseError that f raises, or a text saying none was raised.
template <typename F> std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const EDatabaseError& error) {
        return UTF8Encode(error.Message());
    }
    return "<no EDatabaseError>";
}

// The ID values of a data set from its current record to the end.
inline std::string IdsToEnd(TDataSet* dataSet, StringView field = u"ID") {
    std::string ids;
    while (!dataSet->Eof()) {
        if (!ids.empty()) ids += ',';
        ids += UTF8Encode(dataSet->FieldByName(field)->AsString());
        dataSet->Next();
    }
    return ids;
}

} // namespace mv::test
