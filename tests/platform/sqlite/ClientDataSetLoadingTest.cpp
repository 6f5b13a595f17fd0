// TClientDataSet loading from a SQLite connection: every mapped type with NULLs and blobs,
// the in-memory copy independent of the file, re-running the command on reopen, rejected
// commands, and the connection going away.
#include "SQLiteTestKit.h"

#include "platform/db/ClientDataSet.h"
#include "platform/db/DBConsts.h"
#include "platform/rtl/DateUtils.h"
#include "platform/sqlite/SampleDatabase.h"

#include <gmock/gmock.h>

namespace mv::test {
namespace {

using ::testing::HasSubstr;

class ClientDataSetLoadingTest : public SQLiteFixture {
protected:
    std::unique_ptr<TClientDataSet> Loader(TCustomConnection* connection, const String& commandText) const {
        auto cds = std::make_unique<TClientDataSet>();
        cds->SetConnection(connection);
        cds->SetCommandText(commandText);
        return cds;
    }
};

TEST_F(ClientDataSetLoadingTest, CopiesEveryMappedTypeWithNullsAndBlobs) {
    Raw("types.db",
        "CREATE TABLE types (ID INTEGER PRIMARY KEY, I INTEGER, S SMALLINT, R REAL, M MONEY, B BOOLEAN,"
        " T VARCHAR(10), Txt TEXT, C CLOB, Bl BLOB, Pic IMAGE, D DATE, Tm TIME, Dt DATETIME);"
        "INSERT INTO types VALUES (1, 9007199254740993, -5, 2.5, 12.34, 1, 'short', 'Grüße', 'long text',"
        " x'00FF10', x'89504E47', '2024-02-29', '13:45:10.250', '2023-12-31T23:59:58');"
        "INSERT INTO types (ID) VALUES (2);"
        "INSERT INTO types (ID, B, T) VALUES (3, 0, '');");
    auto connection = Connect("types.db");
    auto cds = Loader(connection.get(), u"SELECT * FROM types ORDER BY ID");
    cds->Open();

    const std::vector<std::pair<StringView, TFieldType>> expected = {
        {u"ID", ftLargeint}, {u"I", ftLargeint}, {u"S", ftSmallint},   {u"R", ftFloat},
        {u"M", ftCurrency},  {u"B", ftBoolean},  {u"T", ftWideString}, {u"Txt", ftWideString},
        {u"C", ftWideMemo},  {u"Bl", ftBlob},    {u"Pic", ftGraphic},  {u"D", ftDate},
        {u"Tm", ftTime},     {u"Dt", ftDateTime}};
    ASSERT_EQ(cds->FieldCount(), static_cast<Integer>(expected.size()));
    for (const auto& [name, type] : expected)
        EXPECT_EQ(cds->FieldByName(name)->DataType(), type) << UTF8Encode(name);
    EXPECT_EQ(cds->FieldByName(u"T")->Size(), 10);
    EXPECT_EQ(cds->RecordCount(), 3);

    EXPECT_EQ(cds->FieldByName(u"I")->AsLargeInt(), 9007199254740993LL);
    EXPECT_EQ(cds->FieldByName(u"S")->AsInteger(), -5);
    EXPECT_DOUBLE_EQ(cds->FieldByName(u"R")->AsFloat(), 2.5);
    EXPECT_DOUBLE_EQ(cds->FieldByName(u"M")->AsFloat(), 12.34);
    EXPECT_TRUE(cds->FieldByName(u"B")->AsBoolean());
    EXPECT_EQ(cds->FieldByName(u"T")->AsString(), u"short");
    EXPECT_EQ(cds->FieldByName(u"Txt")->AsString(), u"Grüße");
    EXPECT_EQ(cds->FieldByName(u"C")->AsString(), u"long text");
    EXPECT_EQ(cds->FieldByName(u"Bl")->AsBytes(), (std::vector<Byte>{0x00, 0xFF, 0x10}));
    EXPECT_EQ(cds->FieldByName(u"Pic")->AsBytes(), (std::vector<Byte>{0x89, 0x50, 0x4E, 0x47}));
    EXPECT_EQ(cds->FieldByName(u"D")->AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_NEAR(cds->FieldByName(u"Tm")->AsDateTime(), EncodeTime(13, 45, 10, 250), 1e-9);
    EXPECT_NEAR(cds->FieldByName(u"Dt")->AsDateTime(), EncodeDateTime(2023, 12, 31, 23, 59, 58, 0), 1e-9);

    cds->Next();
    EXPECT_EQ(cds->FieldByName(u"ID")->AsInteger(), 2);
    for (const auto& [name, type] : expected) {
        if (name != u"ID") {
            EXPECT_TRUE(cds->FieldByName(name)->IsNull()) << UTF8Encode(name);
        }
    }

    // False and the empty text are values, not NULLs.
    cds->Next();
    EXPECT_FALSE(cds->FieldByName(u"B")->IsNull());
    EXPECT_FALSE(cds->FieldByName(u"B")->AsBoolean());
    EXPECT_TRUE(cds->FieldByName(u"I")->IsNull());
}

TEST_F(ClientDataSetLoadingTest, TheCopyIsEditableAndLeavesTheFileAlone) {
    Raw("t.db", "CREATE TABLE t (ID INTEGER PRIMARY KEY, Name TEXT, Total AS (ID * 10));"
                "INSERT INTO t (ID, Name) VALUES (1, 'one'), (2, 'two');");
    auto connection = Connect("t.db");
    auto cds = Loader(connection.get(), u"SELECT ID, Name, Total FROM t ORDER BY ID");
    cds->Open();
    // A generated column is read-only in the query, not in the copy.
    EXPECT_FALSE(cds->FieldByName(u"Total")->ReadOnly());
    cds->Edit();
    cds->FieldByName(u"Name")->SetAsString(u"changed");
    cds->FieldByName(u"Total")->SetAsInteger(99);
    cds->Post();
    cds->Append();
    cds->FieldByName(u"ID")->SetAsInteger(3);
    cds->Post();
    EXPECT_EQ(cds->RecordCount(), 3);
    EXPECT_EQ(Dump("t.db", "SELECT ID, Name, Total FROM t ORDER BY ID"), "1|one|10\n2|two|20\n");

    // Reopening runs the command again: the local changes are gone.
    cds->Close();
    cds->Open();
    EXPECT_EQ(cds->RecordCount(), 2);
    EXPECT_EQ(cds->FieldByName(u"Name")->AsString(), u"one");
}

TEST_F(ClientDataSetLoadingTest, ReopeningWithAnotherOrderByRunsTheNewCommand) {
    auto connection = Connect("sample.db");
    TSampleDatabaseOptions options;
    options.OrderCount = 200;
    options.OrderLines = false;
    TSampleDatabaseCounts counts = CreateSampleDatabase(connection.get(), options);

    auto cds = Loader(connection.get(), u"SELECT ID, Name, City FROM Customers");
    cds->Open();
    EXPECT_EQ(cds->RecordCount(), counts.Customers);

    // What the grid's order-field way does with a client data set: close, rewrite the
    // command's ORDER BY, open.
    std::string byName = Dump("sample.db", "SELECT ID FROM Customers ORDER BY Name DESC, ID");
    cds->Close();
    cds->SetCommandText(u"SELECT ID, Name, City FROM Customers\nORDER BY Name DESC, ID");
    cds->Open();
    std::string ids;
    for (; !cds->Eof(); cds->Next())
        ids += UTF8Encode(cds->FieldByName(u"ID")->AsString()) + "\n";
    EXPECT_EQ(ids, byName);

    // The loaded records sort and filter like any others.
    cds->SetIndexFieldNames(u"City;ID");
    cds->SetFilter(u"City = 'Berlin'");
    cds->SetFiltered(true);
    EXPECT_EQ(std::to_string(cds->RecordCount()) + "\n",
              Dump("sample.db", "SELECT count(*) FROM Customers WHERE City = 'Berlin'"));
}

TEST_F(ClientDataSetLoadingTest, ARejectedCommandRaisesAndLeavesTheDataSetClosed) {
    Raw("t.db", "CREATE TABLE t (ID INTEGER PRIMARY KEY, Name TEXT); INSERT INTO t VALUES (1, 'one');");
    auto connection = Connect("t.db");
    auto cds = Loader(connection.get(), u"SELECT Nope FROM t");
    cds->SetName(u"Orders");
    EXPECT_THAT(ErrorOf([&] { cds->Open(); }), HasSubstr("no such column: Nope"));
    EXPECT_FALSE(cds->Active());
    EXPECT_EQ(cds->FieldCount(), 0);

    // Commands that would change data never run.
    for (const String& text : {String(u"DELETE FROM t"), String(u"SELECT * FROM t; DELETE FROM t"),
                               String(u"INSERT INTO t VALUES (2, 'two') RETURNING *")}) {
        cds->SetCommandText(text);
        EXPECT_NE(ErrorOf([&] { cds->Open(); }), "<no EDatabaseError>") << UTF8Encode(text);
        EXPECT_FALSE(cds->Active());
    }
    EXPECT_EQ(Dump("t.db", "SELECT * FROM t"), "1|one\n");

    // Without a command or a connection there is nothing to load.
    cds->SetCommandText(u"");
    EXPECT_THAT(ErrorOf([&] { cds->Open(); }), HasSubstr(UTF8Encode(CDSConsts::SMissingDataPacket)));
    cds->SetCommandText(u"SELECT * FROM t");
    cds->Open();
    EXPECT_EQ(cds->FieldByName(u"Name")->AsString(), u"one");
}

TEST_F(ClientDataSetLoadingTest, FreeingTheConnectionKeepsTheLoadedRecords) {
    Raw("t.db", "CREATE TABLE t (ID INTEGER PRIMARY KEY); INSERT INTO t VALUES (1), (2);");
    auto connection = Connect("t.db");
    auto cds = Loader(connection.get(), u"SELECT * FROM t");
    // Loading connects a closed connection.
    connection->Close();
    cds->Open();
    EXPECT_TRUE(connection->Connected());
    connection.reset();
    EXPECT_EQ(cds->Connection(), nullptr);
    EXPECT_TRUE(cds->Active());
    EXPECT_EQ(cds->RecordCount(), 2);
    cds->Close();
    EXPECT_THAT(ErrorOf([&] { cds->Open(); }), HasSubstr(UTF8Encode(CDSConsts::SMissingDataPacket)));
}

TEST_F(ClientDataSetLoadingTest, AFileNameWinsOverTheConnection) {
    Raw("t.db", "CREATE TABLE t (ID INTEGER PRIMARY KEY); INSERT INTO t VALUES (1), (2);");
    auto connection = Connect("t.db");
    auto cds = Loader(connection.get(), u"SELECT * FROM t");
    cds->Open();
    cds->Append();
    cds->FieldByName(u"ID")->SetAsInteger(3);
    cds->Post();
    cds->SaveToFile(FileName("briefcase.cds"));
    cds->Close();
    cds->SetFileName(FileName("briefcase.cds"));
    cds->Open();
    EXPECT_EQ(cds->RecordCount(), 3);
}

} // namespace
} // namespace mv::test
