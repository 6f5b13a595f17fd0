// TSQLiteQuery reading real files: field types and values, lazy fetching in both
// directions, bookmarks, Locate/Lookup, parameters and which results are writable.
#include "SQLiteTestKit.h"

#include "platform/db/Fields.h"
#include "platform/rtl/DateUtils.h"
#include "platform/sqlite/SQLiteValues.h"

#include <gmock/gmock.h>

namespace mv::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class SQLiteQueryTest : public SQLiteFixture {
protected:
    // t(ID 1..count, Name 'Name<i>', Grp i % 7)
    void MakeNumbered(const std::string& name, int count) {
        Raw(name, "CREATE TABLE t (ID INTEGER PRIMARY KEY, Name VARCHAR(20) NOT NULL, Grp INTEGER);"
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                      std::to_string(count) + ") INSERT INTO t SELECT i, 'Name' || i, i % 7 FROM n;");
    }
};

TEST_F(SQLiteQueryTest, MapsDeclaredTypesAndReadsEveryValueIncludingNulls) {
    Raw("types.db",
        "CREATE TABLE types (ID INTEGER PRIMARY KEY, I INTEGER, S SMALLINT, R REAL, M MONEY, B BOOLEAN,"
        " T VARCHAR(10), Txt TEXT, C CLOB, Bl BLOB, D DATE, Tm TIME, Dt DATETIME, Jd DATE, Raw);"
        "INSERT INTO types VALUES (1, 9007199254740993, -5, 2.5, 12.34, 1, 'short', 'Grüße', 'long text',"
        " x'00FF10', '2024-02-29', '13:45:10.250', '2023-12-31T23:59:58', 2460310.75, 42);"
        "INSERT INTO types (ID) VALUES (2);");
    auto connection = Connect("types.db");
    auto query = Query(connection.get(), u"SELECT * FROM types ORDER BY ID");
    query->Open();

    const std::vector<std::pair<StringView, TFieldType>> expected = {
        {u"ID", ftLargeint}, {u"I", ftLargeint}, {u"S", ftSmallint},   {u"R", ftFloat},
        {u"M", ftCurrency},  {u"B", ftBoolean},  {u"T", ftWideString}, {u"Txt", ftWideString},
        {u"C", ftWideMemo},  {u"Bl", ftBlob},    {u"D", ftDate},       {u"Tm", ftTime},
        {u"Dt", ftDateTime}, {u"Jd", ftDate},    {u"Raw", ftLargeint}};
    ASSERT_EQ(query->FieldCount(), static_cast<Integer>(expected.size()));
    for (const auto& [name, type] : expected)
        EXPECT_EQ(query->FieldByName(name)->DataType(), type) << UTF8Encode(name);
    EXPECT_EQ(query->FieldByName(u"T")->Size(), 10);
    EXPECT_EQ(query->FieldByName(u"Txt")->Size(), SQLiteDetail::DefaultTextSize);

    EXPECT_EQ(query->FieldByName(u"I")->AsLargeInt(), 9007199254740993LL);
    EXPECT_EQ(query->FieldByName(u"S")->AsInteger(), -5);
    EXPECT_DOUBLE_EQ(query->FieldByName(u"R")->AsFloat(), 2.5);
    EXPECT_DOUBLE_EQ(query->FieldByName(u"M")->AsFloat(), 12.34);
    EXPECT_TRUE(query->FieldByName(u"B")->AsBoolean());
    EXPECT_EQ(query->FieldByName(u"T")->AsString(), u"short");
    EXPECT_EQ(query->FieldByName(u"Txt")->AsString(), u"Grüße");
    EXPECT_EQ(query->FieldByName(u"C")->AsString(), u"long text");
    EXPECT_EQ(query->FieldByName(u"Bl")->AsBytes(), (std::vector<Byte>{0x00, 0xFF, 0x10}));
    EXPECT_EQ(query->FieldByName(u"D")->AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_NEAR(query->FieldByName(u"Tm")->AsDateTime(), EncodeTime(13, 45, 10, 250), 1e-9);
    EXPECT_NEAR(query->FieldByName(u"Dt")->AsDateTime(), EncodeDateTime(2023, 12, 31, 23, 59, 58, 0), 1e-9);
    // A Julian number: 2460310.75 is 2024-01-01 06:00; a date field keeps the day.
    EXPECT_EQ(query->FieldByName(u"Jd")->AsDateTime(), EncodeDate(2024, 1, 1));
    EXPECT_EQ(query->FieldByName(u"Raw")->AsInteger(), 42);

    query->Next();
    for (const auto& [name, type] : expected) {
        if (name == u"ID") continue;
        EXPECT_TRUE(query->FieldByName(name)->IsNull()) << UTF8Encode(name);
    }
    EXPECT_EQ(query->FieldByName(u"Bl")->AsBytes(), std::vector<Byte>{});
}

TEST_F(SQLiteQueryTest, DateConversionsRoundTrip) {
    using namespace SQLiteDetail;
    TDateTime value;
    ASSERT_TRUE(IsoTextToDateTime("1969-07-20 20:17:40.5", value));
    EXPECT_NEAR(value, EncodeDateTime(1969, 7, 20, 20, 17, 40, 500), 1e-9);
    EXPECT_EQ(DateTimeToIsoText(value, ftDateTime), u"1969-07-20 20:17:40.500");
    EXPECT_EQ(DateTimeToIsoText(value, ftDate), u"1969-07-20");
    EXPECT_EQ(DateTimeToIsoText(value, ftTime), u"20:17:40.500");
    EXPECT_FALSE(IsoTextToDateTime("2024-02-30", value));
    EXPECT_FALSE(IsoTextToDateTime("20-02-2024", value));
    EXPECT_FALSE(IsoTextToDateTime("2024-01-01 10", value));
    // Julian numbers on both sides of 1899-12-30, where TDateTime counts days backwards.
    EXPECT_DOUBLE_EQ(DateTimeToJulian(EncodeDate(2000, 1, 1)), 2451544.5);
    EXPECT_DOUBLE_EQ(JulianToDateTime(2451544.5), EncodeDate(2000, 1, 1));
    TDateTime before = EncodeDateTime(1850, 3, 1, 6, 0, 0, 0);
    EXPECT_DOUBLE_EQ(JulianToDateTime(DateTimeToJulian(before)), before);
    EXPECT_DOUBLE_EQ(DateTimeToJulian(before) - DateTimeToJulian(EncodeDate(1850, 3, 1)), 0.25);
}

TEST_F(SQLiteQueryTest, FetchesLazilyAndScrollsBothWays) {
    MakeNumbered("n.db", 1000);
    auto connection = Connect("n.db");
    auto query = Query(connection.get(), u"SELECT ID, Name FROM t ORDER BY ID");
    query->SetFetchBlockSize(10);
    query->Open();
    // The first screen needs a single block.
    EXPECT_EQ(query->FetchedCount(), 10);
    EXPECT_FALSE(query->FetchComplete());
    EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 1);

    EXPECT_EQ(query->MoveBy(24), 24);
    EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 25);
    EXPECT_EQ(query->FetchedCount(), 30);
    EXPECT_EQ(query->RecNo(), 25);
    EXPECT_EQ(query->MoveBy(-20), -20);
    EXPECT_EQ(query->FieldByName(u"Name")->AsString(), u"Name5");
    EXPECT_EQ(query->MoveBy(-10), -4);
    EXPECT_TRUE(query->Bof());
    EXPECT_EQ(query->FetchedCount(), 30);

    // Walking forwards meets every row once and in order.
    std::string ids = IdsToEnd(query.get());
    EXPECT_EQ(std::count(ids.begin(), ids.end(), ','), 999);
    EXPECT_THAT(ids, StartsWith("1,2,3,"));
    EXPECT_TRUE(query->FetchComplete());
    // ... and backwards the same rows from the cache.
    Integer seen = 0, expect = 1000;
    bool ordered = true;
    for (query->Last(); !query->Bof(); query->Prior()) {
        ordered = ordered && query->FieldByName(u"ID")->AsInteger() == expect--;
        ++seen;
    }
    EXPECT_EQ(seen, 1000);
    EXPECT_TRUE(ordered);

    // RecordCount and Last read the rest; RecNo jumps.
    query->Close();
    query->Open();
    EXPECT_EQ(query->FetchedCount(), 10);
    EXPECT_EQ(query->RecordCount(), 1000);
    EXPECT_TRUE(query->FetchComplete());
    query->SetRecNo(777);
    EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 777);
    query->Close();
    query->Open();
    query->Last();
    EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 1000);
    EXPECT_EQ(query->FetchedCount(), 1000);

    // An empty result.
    query->Close();
    query->SQL()->SetText(u"SELECT ID FROM t WHERE ID < 0");
    query->Open();
    EXPECT_TRUE(query->IsEmpty());
    EXPECT_TRUE(query->Eof() && query->Bof());
    EXPECT_EQ(query->RecordCount(), 0);
}

TEST_F(SQLiteQueryTest, FetchErrorsAreReportedAndKeepTheRowsRead) {
    MakeNumbered("e.db", 100);
    auto connection = Connect("e.db");
    auto query = Query(connection.get(), u"SELECT ID FROM t ORDER BY ID");
    query->SetFetchBlockSize(10);
    query->Open();
    SQLiteDetail::ArmFault(SQLiteDetail::sfpStep, SQLITE_IOERR, 5);
    EXPECT_EQ(ErrorOf([&] { query->MoveBy(30); }), "disk I/O error");
    EXPECT_EQ(query->FetchedCount(), 15);
    // The rows read stay usable; reading further reports the same error instead of
    // silently starting the statement over.
    query->First();
    EXPECT_EQ(query->MoveBy(10), 10);
    EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 11);
    EXPECT_EQ(ErrorOf([&] { query->Last(); }), "The result could not be read further: disk I/O error");
    query->Refresh();
    EXPECT_EQ(query->RecordCount(), 100);
}

TEST_F(SQLiteQueryTest, BookmarksLocateAndLookup) {
    MakeNumbered("b.db", 500);
    auto connection = Connect("b.db");
    auto query = Query(connection.get(), u"SELECT * FROM t ORDER BY ID");
    query->SetFetchBlockSize(20);
    query->Open();
    query->MoveBy(9);
    TBookmark ten = query->GetBookmark();
    EXPECT_TRUE(query->Locate(u"Name", Variant(u"name300"), {loCaseInsensitive}));
    EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 300);
    EXPECT_EQ(query->FetchedCount(), 300);
    TBookmark threeHundred = query->GetBookmark();
    EXPECT_LT(query->CompareBookmarks(ten, threeHundred), 0);
    EXPECT_TRUE(query->BookmarkValid(ten));
    query->GotoBookmark(ten);
    EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 10);
    EXPECT_FALSE(query->Locate(u"Name", Variant(u"Name999"), {}));
    EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 10);
    EXPECT_EQ(query->Lookup(u"ID", Variant(400), u"Name").AsString(), u"Name400");
    EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 10);
    EXPECT_TRUE(VarIsNull(query->Lookup(u"ID", Variant(501), u"Name")));
    TBookmark unknown(8, 0xEE);
    EXPECT_FALSE(query->BookmarkValid(unknown));
    EXPECT_EQ(ErrorOf([&] { query->GotoBookmark(unknown); }), "Record not found");
}

TEST_F(SQLiteQueryTest, ParametersAndColumnNames) {
    MakeNumbered("p.db", 50);
    auto connection = Connect("p.db");
    auto query = Query(connection.get(), u"SELECT t.ID, u.ID, t.Name, t.Grp * 2 AS Twice, ':skip' AS Text\n"
                                         u"FROM t JOIN t AS u ON u.ID = t.ID + 1 -- :alsoSkipped\n"
                                         u"WHERE t.Grp = :grp AND t.ID > :Min ORDER BY t.ID");
    ASSERT_EQ(query->Params()->Count(), 2);
    EXPECT_EQ(query->Params()->Items(0)->Name(), u"grp");
    EXPECT_EQ(ErrorOf([&] { query->ParamByName(u"skip"); }), "Parameter 'skip' not found");
    query->ParamByName(u"GRP")->SetValue(3);
    query->ParamByName(u"min")->SetValue(10);
    query->Open();
    EXPECT_EQ(query->Fields()->Fields(0)->FieldName(), u"ID");
    EXPECT_EQ(query->Fields()->Fields(1)->FieldName(), u"ID_1");
    EXPECT_EQ(query->FieldByName(u"Twice")->DataType(), ftLargeint); // from the first row's value
    EXPECT_EQ(IdsToEnd(query.get()), "17,24,31,38,45");
    // A join is not written back; neither is a result without the key.
    EXPECT_FALSE(query->CanModify());
    EXPECT_EQ(query->UpdateTableName(), u"");

    // Changing the SQL closes the query and keeps values of names that stay.
    query->SQL()->SetText(u"SELECT ID FROM t WHERE Grp = :grp");
    EXPECT_FALSE(query->Active());
    ASSERT_EQ(query->Params()->Count(), 1);
    EXPECT_EQ(query->ParamByName(u"grp")->Value().AsInteger(), 3);
    query->Open();
    EXPECT_EQ(IdsToEnd(query.get()), "3,10,17,24,31,38,45");

    // Field definitions can be read without opening.
    query->Close();
    query->SQL()->SetText(u"SELECT Name, Grp FROM t");
    query->FieldDefs()->Update();
    ASSERT_EQ(query->FieldDefs()->Count(), 2);
    EXPECT_EQ(query->FieldDefs()->Items(0)->DataType(), ftWideString);
    EXPECT_EQ(query->FieldDefs()->Items(0)->Size(), 20);
    EXPECT_TRUE(query->FieldDefs()->Items(0)->Required());
    EXPECT_EQ(query->FieldDefs()->Items(1)->DataType(), ftLargeint);
    EXPECT_FALSE(query->Active());

    query->SQL()->SetText(u"SELECT Name FROM t");
    query->Open();
    EXPECT_FALSE(query->CanModify()); // the key is not in the result
    query->Close();
    query->SQL()->SetText(u"SELECT Name, ID FROM t");
    query->Open();
    EXPECT_TRUE(query->CanModify());
    EXPECT_EQ(query->UpdateTableName(), u"t");
    query->SetReadOnly(true);
    EXPECT_FALSE(query->CanModify());
}

TEST_F(SQLiteQueryTest, RefusesTextsThatAreNoSingleReadingSelect) {
    MakeNumbered("r.db", 3);
    auto connection = Connect("r.db");
    auto query = Query(connection.get(), u"SELECT * FROM t; DELETE FROM t");
    EXPECT_EQ(ErrorOf([&] { query->Open(); }),
              "Only one SQL statement is allowed; found more after: 'DELETE FROM t'");
    query->SQL()->SetText(u"DELETE FROM t");
    EXPECT_EQ(ErrorOf([&] { query->Open(); }), "The SQL text does not return a result set");
    query->SQL()->SetText(u"DELETE FROM t RETURNING ID");
    EXPECT_EQ(ErrorOf([&] { query->Open(); }),
              "The SQL text of a query may only read data; use ExecSQL to change data");
    query->SQL()->SetText(u"   ");
    EXPECT_EQ(ErrorOf([&] { query->Open(); }), "No SQL statement");
    query->SQL()->SetText(u"SELECT * FROM nowhere");
    EXPECT_EQ(ErrorOf([&] { query->Open(); }), "no such table: nowhere");
    EXPECT_FALSE(query->Active());
    EXPECT_EQ(Dump("r.db", "SELECT count(*) FROM t"), "3\n");
    // A trailing ';' and comment are fine.
    query->SQL()->SetText(u"SELECT * FROM t; -- all of them");
    query->Open();
    EXPECT_EQ(query->RecordCount(), 3);
    // ExecSQL runs statements with parameters on a closed query.
    query->Close();
    query->SQL()->SetText(u"DELETE FROM t WHERE ID = :id");
    query->ParamByName(u"id")->SetValue(2);
    EXPECT_EQ(query->ExecSQL(), 1);
    EXPECT_EQ(Dump("r.db", "SELECT ID FROM t"), "1\n3\n");
}

} // namespace
} // namespace mv::test
