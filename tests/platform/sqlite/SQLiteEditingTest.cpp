// TSQLiteQuery writing back: edits that survive reopening the file, inserts, deletes,
// and failed writes that leave both the file and the record's edit state as they were.
#include "SQLiteTestKit.h"

#include "platform/db/Fields.h"
#include "platform/rtl/DateUtils.h"

#include <gmock/gmock.h>

namespace mv::test {
namespace {

using ::testing::HasSubstr;

class SQLiteEditingTest : public SQLiteFixture {
protected:
    void SetUp() override {
        SQLiteFixture::SetUp();
        Raw("e.db", "CREATE TABLE people (ID INTEGER PRIMARY KEY, Name VARCHAR(30) NOT NULL UNIQUE,"
                    " Born DATE, Score REAL DEFAULT 1.5, Photo BLOB, Jd DATE, Active BOOLEAN,"
                    " CHECK (Score >= 0));"
                    "INSERT INTO people VALUES (1, 'Ada', '1815-12-10', 9.5, NULL, 2451545, 1);"
                    "INSERT INTO people VALUES (2, 'Bob', NULL, 3, x'0102', NULL, 0);"
                    "INSERT INTO people VALUES (3, 'Cy', '2001-01-01', 4, NULL, NULL, 1);");
    }
    std::string People() const { return Dump("e.db", "SELECT * FROM people ORDER BY ID"); }
};

TEST_F(SQLiteEditingTest, EditsInsertsAndDeletesSurviveReopeningTheFile) {
    {
        auto connection = Connect("e.db");
        auto query = Query(connection.get(), u"SELECT ID, Name, Born, Score, Photo, Jd, Active,"
                                             u" upper(Name) AS Shout FROM people ORDER BY ID");
        query->Open();
        ASSERT_TRUE(query->CanModify());
        EXPECT_TRUE(query->FieldByName(u"Shout")->ReadOnly());
        EXPECT_TRUE(query->FieldByName(u"Name")->Required());

        query->Edit();
        query->FieldByName(u"Name")->SetAsString(u"Ada L.");
        query->FieldByName(u"Photo")->SetAsBytes({0xDE, 0xAD, 0x00, 0xBE});
        query->FieldByName(u"Jd")->SetAsDateTime(EncodeDate(2000, 1, 2));
        query->Post();
        EXPECT_EQ(query->State(), dsBrowse);
        // The cache holds what the table holds; the computed column keeps its old value
        // until the next query.
        EXPECT_EQ(query->FieldByName(u"Name")->AsString(), u"Ada L.");

        query->Next();
        query->Edit();
        query->FieldByName(u"Born")->SetAsDateTime(EncodeDateTime(1990, 5, 6, 0, 0, 0, 0));
        query->FieldByName(u"Score")->Clear();
        query->FieldByName(u"Active")->SetAsBoolean(true);
        query->Post();

        query->Append();
        query->FieldByName(u"Name")->SetAsString(u"Dee");
        query->Post();
        // The key and the default come back from the table.
        EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 4);
        EXPECT_DOUBLE_EQ(query->FieldByName(u"Score")->AsFloat(), 1.5);

        query->Locate(u"ID", Variant(3), {});
        query->Delete();
        EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 4);

        query->First();
        query->Insert();
        query->FieldByName(u"ID")->SetAsInteger(10);
        query->FieldByName(u"Name")->SetAsString(u"Eve");
        query->Post();
        EXPECT_EQ(query->RecNo(), 1);
        query->Next();
        EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 1);
    }
    // Read back through a connection of its own: dates as ISO text, or as Julian numbers
    // where the column held them; the blob's bytes intact.
    EXPECT_EQ(People(), "1|Ada L.|1815-12-10|9.5|\xDE\xAD|2451545.5|1\n"
                        "2|Bob|1990-05-06|NULL|\x01\x02|NULL|1\n"
                        "4|Dee|NULL|1.5|NULL|NULL|NULL\n"
                        "10|Eve|NULL|1.5|NULL|NULL|NULL\n");
    EXPECT_EQ(Dump("e.db", "SELECT hex(Photo) FROM people WHERE ID = 1"), "DEAD00BE\n");

    // Reopened, the data set reads what it wrote.
    auto connection = Connect("e.db");
    auto query = Query(connection.get(), u"SELECT * FROM people ORDER BY ID");
    query->Open();
    EXPECT_EQ(query->FieldByName(u"Name")->AsString(), u"Ada L.");
    EXPECT_EQ(query->FieldByName(u"Jd")->AsDateTime(), EncodeDate(2000, 1, 2));
    EXPECT_EQ(query->FieldByName(u"Photo")->AsBytes(), (std::vector<Byte>{0xDE, 0xAD, 0x00, 0xBE}));
    EXPECT_EQ(IdsToEnd(query.get()), "1,2,4,10");
}

TEST_F(SQLiteEditingTest, FailedWritesLeaveTheFileAndTheEditStateAsTheyWere) {
    std::string before = People();
    auto connection = Connect("e.db");
    auto query = Query(connection.get(), u"SELECT * FROM people ORDER BY ID");
    query->SetFetchBlockSize(1); // the fetch is still pending while writing
    query->Open();

    // Constraint violations carry SQLite's message.
    query->Edit();
    query->FieldByName(u"Name")->SetAsString(u"Bob");
    EXPECT_EQ(ErrorOf([&] { query->Post(); }), "UNIQUE constraint failed: people.Name");
    EXPECT_EQ(query->State(), dsEdit);
    EXPECT_EQ(query->FieldByName(u"Name")->AsString(), u"Bob");
    query->FieldByName(u"Name")->SetAsString(u"Ann");
    query->FieldByName(u"Score")->SetAsFloat(-1);
    EXPECT_EQ(ErrorOf([&] { query->Post(); }), "CHECK constraint failed: Score >= 0");
    EXPECT_EQ(People(), before);
    query->Cancel();
    EXPECT_EQ(query->FieldByName(u"Name")->AsString(), u"Ada");

    query->Append();
    EXPECT_EQ(ErrorOf([&] { query->Post(); }), "Field 'Name' must have a value");
    query->FieldByName(u"Name")->SetAsString(u"Cy");
    EXPECT_EQ(ErrorOf([&] { query->Post(); }), "UNIQUE constraint failed: people.Name");
    EXPECT_EQ(query->State(), dsInsert);
    query->Cancel();

    // Busy and I/O errors at the write or the commit roll back.
    query->First();
    query->Edit();
    query->FieldByName(u"Name")->SetAsString(u"Changed");
    SQLiteDetail::ArmFault(SQLiteDetail::sfpWrite, SQLITE_BUSY);
    EXPECT_EQ(ErrorOf([&] { query->Post(); }), "database is locked");
    SQLiteDetail::ArmFault(SQLiteDetail::sfpCommit, SQLITE_IOERR);
    EXPECT_EQ(ErrorOf([&] { query->Post(); }), "disk I/O error");
    EXPECT_EQ(query->State(), dsEdit);
    EXPECT_FALSE(connection->InTransaction());
    EXPECT_EQ(People(), before);
    query->Last();
    EXPECT_EQ(query->State(), dsBrowse);
    EXPECT_THAT(People(), HasSubstr("1|Changed|"));

    // Inside an application's transaction the write is part of it: rolled back with it.
    query->First();
    connection->StartTransaction();
    query->Delete();
    EXPECT_TRUE(connection->InTransaction());
    connection->Rollback();
    EXPECT_THAT(People(), HasSubstr("1|Changed|"));

    // Another connection holding the write lock: the post fails, nothing is lost.
    sqlite3* other = nullptr;
    sqlite3_open(PathOf("e.db").c_str(), &other);
    sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    query->Edit();
    query->FieldByName(u"Name")->SetAsString(u"Locked out");
    EXPECT_EQ(ErrorOf([&] { query->Post(); }), "database is locked");
    EXPECT_EQ(query->State(), dsEdit);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    query->Post();
    EXPECT_THAT(People(), HasSubstr("|Locked out|"));
}

TEST_F(SQLiteEditingTest, RowsWrittenDuringAPendingFetchAreNotReadTwice) {
    Raw("e.db", "CREATE INDEX people_name ON people(Name);"
                "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 150)"
                " INSERT INTO people (ID, Name) SELECT i, 'M' || i FROM n;");
    auto connection = Connect("e.db");
    // Ordered by the index on Name: renaming a row to a later name puts it ahead of the
    // statement's scan again.
    auto query = Query(connection.get(), u"SELECT ID, Name FROM people WHERE Name > '' ORDER BY Name");
    query->SetFetchBlockSize(2);
    query->Open();
    EXPECT_EQ(query->FieldByName(u"Name")->AsString(), u"Ada");
    query->Edit();
    query->FieldByName(u"Name")->SetAsString(u"Zed");
    query->Post();
    query->Insert();
    query->FieldByName(u"Name")->SetAsString(u"Zoe");
    query->Post();
    EXPECT_FALSE(query->FetchComplete());
    EXPECT_EQ(query->RecordCount(), 55);
    query->First();
    std::string ids = IdsToEnd(query.get());
    EXPECT_EQ(std::count(ids.begin(), ids.end(), ','), 54);
    EXPECT_THAT(ids, ::testing::StartsWith("151,1,2,3,100,101,"));
}

} // namespace
} // namespace mv::test
