// TSQLiteConnection against real files: opening, refusing what is no database or is
// locked, transactions, statements and the open fault point.
#include "SQLiteTestKit.h"

#include "platform/db/DataSet.h"

#include <gmock/gmock.h>

namespace mv::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class SQLiteConnectionTest : public SQLiteFixture {};

TEST_F(SQLiteConnectionTest, OpensOnlyDatabasesAndLeavesOtherFilesAlone) {
    // A text file is refused at open, byte for byte unchanged, without a journal left.
    {
        std::ofstream out(PathOf("notes.txt"), std::ios::binary);
        out << "This is not a database, just a few words of text that are long enough to be read.";
    }
    std::string before = FileBytes("notes.txt");
    TSQLiteConnection connection;
    connection.SetDatabaseName(FileName("notes.txt"));
    EXPECT_EQ(ErrorOf([&] { connection.Open(); }),
              "Cannot open database '" + PathOf("notes.txt") + "': file is not a database");
    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(FileBytes("notes.txt"), before);
    EXPECT_FALSE(std::filesystem::exists(PathOf("notes.txt-journal")));

    // Read-only does not create a missing file; a writable connection does.
    connection.SetDatabaseName(FileName("new.db"));
    connection.SetReadOnly(true);
    EXPECT_THAT(ErrorOf([&] { connection.Open(); }), HasSubstr("unable to open database file"));
    EXPECT_FALSE(std::filesystem::exists(PathOf("new.db")));
    connection.SetReadOnly(false);
    connection.Open();
    EXPECT_TRUE(connection.Connected());
    EXPECT_TRUE(std::filesystem::exists(PathOf("new.db")));

    // A read-only connection refuses writes with SQLite's message.
    connection.ExecSQL(u"CREATE TABLE t (x)");
    connection.Close();
    connection.SetReadOnly(true);
    connection.Open();
    EXPECT_THAT(ErrorOf([&] { connection.ExecSQL(u"INSERT INTO t VALUES (1)"); }),
                HasSubstr("attempt to write a readonly database"));
    EXPECT_EQ(Dump("new.db", "SELECT count(*) FROM t"), "0\n");

    // No name at all.
    TSQLiteConnection unnamed;
    EXPECT_EQ(ErrorOf([&] { unnamed.Open(); }), "Database name missing");
}

TEST_F(SQLiteConnectionTest, LockedFileFailsCleanlyAfterTheBusyTimeout) {
    Raw("locked.db", "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(PathOf("locked.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; INSERT INTO t VALUES (2);", nullptr, nullptr, nullptr),
              SQLITE_OK);

    TSQLiteConnection connection;
    connection.SetDatabaseName(FileName("locked.db"));
    connection.SetBusyTimeout(0);
    EXPECT_EQ(ErrorOf([&] { connection.Open(); }),
              "Cannot open database '" + PathOf("locked.db") + "': database is locked");
    EXPECT_FALSE(connection.Connected());

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    connection.Open();
    EXPECT_TRUE(connection.Connected());
}

TEST_F(SQLiteConnectionTest, TransactionsAndStatements) {
    auto connection = Connect("tx.db");
    EXPECT_EQ(connection->ExecSQL(u"CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT UNIQUE);"
                                  u"INSERT INTO t (name) VALUES ('a'); INSERT INTO t (name) VALUES ('b')"),
              1);
    EXPECT_EQ(connection->LastInsertRowId(), 2);
    EXPECT_EQ(connection->ExecSQL(u"UPDATE t SET name = name || ?", {Variant(u"!")}), 2);
    EXPECT_EQ(Dump("tx.db", "SELECT name FROM t ORDER BY id"), "a!\nb!\n");

    // Errors carry SQLite's message; a parameterised statement must be one statement.
    EXPECT_THAT(ErrorOf([&] { connection->ExecSQL(u"INSERT INTO t (name) VALUES ('a!')"); }),
                HasSubstr("UNIQUE constraint failed: t.name"));
    EXPECT_THAT(ErrorOf([&] { connection->ExecSQL(u"SELEKT 1"); }), HasSubstr("syntax error"));
    EXPECT_THAT(ErrorOf([&] { connection->ExecSQL(u"DELETE FROM t; DROP TABLE t", {}); }),
                StartsWith("Only one SQL statement is allowed"));
    EXPECT_EQ(Dump("tx.db", "SELECT count(*) FROM t"), "2\n");

    EXPECT_EQ(ErrorOf([&] { connection->Commit(); }), "No transaction is active");
    connection->StartTransaction();
    EXPECT_TRUE(connection->InTransaction());
    EXPECT_EQ(ErrorOf([&] { connection->StartTransaction(); }), "A transaction is already active");
    connection->ExecSQL(u"DELETE FROM t");
    EXPECT_EQ(Dump("tx.db", "SELECT count(*) FROM t"), "2\n"); // not visible outside yet
    connection->Rollback();
    EXPECT_FALSE(connection->InTransaction());
    EXPECT_EQ(Dump("tx.db", "SELECT count(*) FROM t"), "2\n");
    connection->StartTransaction();
    connection->ExecSQL(u"DELETE FROM t WHERE id = 1");
    connection->Commit();
    EXPECT_EQ(Dump("tx.db", "SELECT count(*) FROM t"), "1\n");

    // Closing rolls back a transaction left open.
    connection->StartTransaction();
    connection->ExecSQL(u"DELETE FROM t");
    connection->Close();
    EXPECT_EQ(Dump("tx.db", "SELECT count(*) FROM t"), "1\n");
    EXPECT_EQ(ErrorOf([&] { connection->ExecSQL(u"SELECT 1"); }),
              "Database '" + PathOf("tx.db") + "' is not connected");
}

TEST_F(SQLiteConnectionTest, OpenFaultPointAndDataSetLifetime) {
    Raw("f.db", "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
    TSQLiteConnection connection;
    connection.SetDatabaseName(FileName("f.db"));
    SQLiteDetail::ArmFault(SQLiteDetail::sfpOpen, SQLITE_IOERR);
    EXPECT_EQ(ErrorOf([&] { connection.Open(); }),
              "Cannot open database '" + PathOf("f.db") + "': disk I/O error");
    EXPECT_FALSE(connection.Connected());
    connection.Open();

    // Disconnecting closes the queries; freeing the connection clears their reference.
    auto query = Query(&connection, u"SELECT x FROM t");
    query->Open();
    EXPECT_EQ(connection.DataSetCount(), 1);
    connection.Close();
    EXPECT_FALSE(query->Active());
    query->Open(); // reconnects
    EXPECT_TRUE(connection.Connected());
    {
        auto temporary = std::make_unique<TSQLiteConnection>();
        temporary->SetDatabaseName(FileName("f.db"));
        auto other = Query(temporary.get(), u"SELECT x FROM t");
        other->Open();
        temporary.reset();
        EXPECT_FALSE(other->Active());
        EXPECT_EQ(other->Connection(), nullptr);
        EXPECT_EQ(ErrorOf([&] { other->Open(); }), "No connection assigned");
    }
    query.reset();
    EXPECT_EQ(connection.DataSetCount(), 0);
}

} // namespace
} // namespace mv::test
