// TClientDataSet loading from a SQLite connection: every mapped type with NULLs and blobs,
// the in-memory copy independent of the file, re-running the command on reopen, rejected
// commands, the connection going away, and text fields sized from the loaded values.
#include "SQLiteTestKit.h"

#include "platform/db/ClientDataSet.h"
#include "platform/db/DBConsts.h"
#include "platform/rtl/DateUtils.h"
#include "platform/sqlite/SampleDatabase.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <vector>

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

// -- Text sizes and the forward-only source ---------------------------------------------

// Texts of every width class: ASCII, Latin with accents, CJK, and emoji outside the BMP
// (two UTF-16 units, four UTF-8 bytes each).
class TextSizeTest : public ClientDataSetLoadingTest {
protected:
    void SetUp() override {
        ClientDataSetLoadingTest::SetUp();
        Raw("t.db", "CREATE TABLE t (ID INTEGER PRIMARY KEY, Txt TEXT, Code VARCHAR(6), Ascii TEXT);"
                    "INSERT INTO t VALUES (1, 'a', 'x', 'abc'),"
                    " (2, 'Grüße aus Köln', 'yy', 'abcdefghij'),"
                    " (3, '\xF0\x9F\x98\x80\xF0\x9F\x98\x80 東京', 'longer than six', NULL),"
                    " (4, NULL, NULL, '');");
        Texts = {u"a", u"Grüße aus Köln", u"\U0001F600\U0001F600 東京", u""};
    }

    // The texts of a field from the first record on, NULL as "<null>".
    static std::vector<String> Column(TDataSet* dataSet, StringView name) {
        std::vector<String> values;
        for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
            TField* field = dataSet->FieldByName(name);
            values.push_back(field->IsNull() ? String(u"<null>") : field->AsString());
        }
        return values;
    }

    // Never shorter than the longest text in UTF-16, never longer than in UTF-8.
    static void ExpectFits(TField* field, const std::vector<String>& texts) {
        std::size_t units = 1;
        std::size_t bytes = 1;
        for (const String& text : texts) {
            units = std::max(units, text.size());
            bytes = std::max(bytes, UTF8Encode(text).size());
        }
        EXPECT_EQ(field->DataType(), ftWideString) << UTF8Encode(field->FieldName());
        EXPECT_GE(field->Size(), static_cast<Integer>(units)) << UTF8Encode(field->FieldName());
        EXPECT_LE(field->Size(), static_cast<Integer>(bytes)) << UTF8Encode(field->FieldName());
    }

    std::vector<String> Texts;
};

TEST_F(TextSizeTest, GuessedTextsFitTheirLongestValueAndDeclaredLengthsStay) {
    auto connection = Connect("t.db");
    auto cds =
        Loader(connection.get(), u"SELECT ID, Txt, Code, Ascii, Txt || '!' AS Shout, upper(Code) AS Up\n"
                                 u"FROM t ORDER BY ID");
    cds->Open();
    ExpectFits(cds->FieldByName(u"Txt"), Texts);
    // All ASCII: bytes and characters agree, so the size is exact.
    EXPECT_EQ(cds->FieldByName(u"Ascii")->Size(), 10);
    EXPECT_EQ(cds->FieldByName(u"Code")->Size(), 6);
    std::vector<String> shouted;
    for (const String& text : Texts)
        shouted.push_back(text + u"!");
    ExpectFits(cds->FieldByName(u"Shout"), shouted);
    ExpectFits(cds->FieldByName(u"Up"), {u"LONGER THAN SIX"});

    EXPECT_EQ(Column(cds.get(), u"Txt"), (std::vector<String>{Texts[0], Texts[1], Texts[2], u"<null>"}));
    EXPECT_EQ(Column(cds.get(), u"Shout"),
              (std::vector<String>{shouted[0], shouted[1], shouted[2], u"<null>"}));
    EXPECT_EQ(Column(cds.get(), u"Ascii"), (std::vector<String>{u"abc", u"abcdefghij", u"<null>", u""}));
    // A declared length is the database's word, even where a value is longer.
    EXPECT_EQ(Column(cds.get(), u"Code"), (std::vector<String>{u"x", u"yy", u"longer", u"<null>"}));

    // The copy keeps the size: a longer text typed later is cut to it.
    cds->First();
    cds->Edit();
    cds->FieldByName(u"Ascii")->SetAsString(u"abcdefghijklmnop");
    cds->Post();
    EXPECT_EQ(cds->FieldByName(u"Ascii")->AsString(), u"abcdefghij");
}

TEST_F(TextSizeTest, CommandsOfEveryShapeAreMeasured) {
    Raw("t.db", "CREATE TABLE mv_measured (Txt TEXT); INSERT INTO mv_measured VALUES ('four'), ('seven');");
    auto connection = Connect("t.db");
    // A common table expression of its own, LIMIT, a trailing comment and ';', repeated
    // column names, a name that is an expression's text, a table named like our own
    // wrapping.
    for (const String& text :
         {String(
              u"WITH r AS (SELECT * FROM t WHERE ID > 1) SELECT Txt FROM r ORDER BY ID LIMIT 2 -- newest;"),
          String(u"SELECT Txt, Txt, 'é' || Ascii FROM t ORDER BY ID;"),
          String(u"VALUES ('a'), ('Grüße aus Köln')"), String(u"SELECT Txt FROM mv_measured")}) {
        auto cds = Loader(connection.get(), text);
        cds->Open();
        for (Integer i = 0; i < cds->FieldCount(); ++i) {
            TField* field = cds->Fields()->Fields(i);
            std::vector<String> values = Column(cds.get(), field->FieldName());
            ExpectFits(field, values);
            // Nothing was cut: the query by itself (255) reads the same texts.
            auto query = Query(connection.get(), text);
            query->Open();
            EXPECT_EQ(Column(query.get(), query->Fields()->Fields(i)->FieldName()), values)
                << UTF8Encode(text);
        }
    }
}

TEST_F(TextSizeTest, AStatementThatCannotBeASubqueryLoadsAsBefore) {
    auto connection = Connect("t.db");
    auto cds = Loader(connection.get(), u"PRAGMA table_info(t)");
    cds->Open();
    EXPECT_EQ(cds->RecordCount(), 4);
    EXPECT_EQ(cds->FieldByName(u"name")->Size(), 255);
    EXPECT_EQ(cds->FieldByName(u"name")->AsString(), u"ID");
}

TEST_F(TextSizeTest, EmptyAndAllNullResultsOpenWithASaneSize) {
    auto connection = Connect("t.db");
    for (const String& text : {String(u"SELECT Txt, NULL AS Absent FROM t WHERE ID = 4"),
                               String(u"SELECT Txt, NULL AS Absent FROM t WHERE 0")}) {
        auto cds = Loader(connection.get(), text);
        cds->Open();
        EXPECT_TRUE(cds->Active()) << UTF8Encode(text);
        for (StringView name : {u"Txt", u"Absent"}) {
            EXPECT_EQ(cds->FieldByName(name)->DataType(), ftWideString);
            EXPECT_GE(cds->FieldByName(name)->Size(), 1);
            EXPECT_LT(cds->FieldByName(name)->Size(), 255);
        }
        // Still a usable copy.
        cds->Append();
        cds->FieldByName(u"Txt")->SetAsString(u"n");
        cds->Post();
        EXPECT_EQ(cds->FieldByName(u"Txt")->AsString(), u"n");
    }
}

TEST_F(TextSizeTest, ATextLongerThanAStringFieldHoldsBecomesAWideMemo) {
    auto connection = Connect("t.db");
    String longText(9000, u'x');
    longText += u"\U0001F600";
    connection->ExecSQL(u"INSERT INTO t (ID, Txt) VALUES (5, ?)", {Variant(longText)});
    auto cds = Loader(connection.get(), u"SELECT ID, Txt FROM t ORDER BY ID");
    cds->Open();
    EXPECT_EQ(cds->FieldByName(u"Txt")->DataType(), ftWideMemo);
    cds->Last();
    EXPECT_EQ(cds->FieldByName(u"Txt")->AsString(), longText);
    cds->First();
    EXPECT_EQ(cds->FieldByName(u"Txt")->AsString(), Texts[0]);
}

TEST_F(TextSizeTest, TheSourceIsForwardOnlyWhileAQueryByItselfIsUnchanged) {
    auto connection = Connect("t.db");
    const String text = u"SELECT ID, Txt FROM t ORDER BY ID";
    std::unique_ptr<TDataSet> source = connection->OpenQuery(text);
    auto* loading = dynamic_cast<TSQLiteQuery*>(source.get());
    ASSERT_NE(loading, nullptr);
    EXPECT_TRUE(loading->IsUniDirectional());
    EXPECT_FALSE(loading->CanModify());
    EXPECT_EQ(loading->RecordCount(), -1);
    std::string ids;
    for (; !loading->Eof(); loading->Next()) {
        EXPECT_LE(loading->FetchedCount(), 1);
        ids += std::to_string(loading->RecNo()) + ":" + UTF8Encode(loading->FieldByName(u"ID")->AsString()) +
               " ";
    }
    EXPECT_EQ(ids, "1:1 2:2 3:3 4:4 ");
    EXPECT_TRUE(loading->FetchComplete());
    EXPECT_EQ(ErrorOf([&] { loading->Prior(); }), UTF8Encode(DBConsts::SDataSetUnidirectional));
    EXPECT_EQ(ErrorOf([&] { loading->Last(); }), UTF8Encode(DBConsts::SDataSetUnidirectional));
    // First runs the command again.
    loading->First();
    EXPECT_EQ(IdsToEnd(loading), "1,2,3,4");

    auto query = Query(connection.get(), text);
    query->Open();
    EXPECT_FALSE(query->IsUniDirectional());
    EXPECT_EQ(query->FieldByName(u"Txt")->Size(), 255);
    EXPECT_EQ(query->FieldByName(u"Txt")->DisplayWidth(), 40);
    query->Last();
    query->Prior();
    EXPECT_EQ(query->FieldByName(u"ID")->AsInteger(), 3);
    EXPECT_EQ(query->FetchedCount(), 4);
}

TEST_F(TextSizeTest, AValueLongerThanMeasuredRaisesInsteadOfBeingCut) {
    auto connection = Connect("t.db");
    // growing() returns a longer text at every call, so the run that loads sees longer
    // texts than the run that measured.
    static int calls;
    calls = 0;
    auto growing = [](sqlite3_context* context, int, sqlite3_value**) {
        ++calls;
        sqlite3_result_text(context, std::string(static_cast<std::size_t>(calls), 'g').c_str(), -1,
                            SQLITE_TRANSIENT);
    };
    sqlite3* db = SQLiteDetail::TConnectionAccess::Handle(*connection);
    ASSERT_EQ(sqlite3_create_function(db, "growing", 0, SQLITE_UTF8, nullptr, growing, nullptr, nullptr),
              SQLITE_OK);
    auto cds = Loader(connection.get(), u"SELECT ID, growing() AS G FROM t ORDER BY ID");
    EXPECT_THAT(ErrorOf([&] { cds->Open(); }), HasSubstr("Column 'G' returned a text longer than"));
    EXPECT_FALSE(cds->Active());
}

TEST_F(TextSizeTest, AFailedFetchLeavesTheDataSetClosed) {
    auto connection = Connect("t.db");
    auto cds = Loader(connection.get(), u"SELECT ID, Txt FROM t ORDER BY ID");
    SQLiteDetail::ArmFault(SQLiteDetail::sfpStep, SQLITE_IOERR, /*skip=*/2);
    EXPECT_THAT(ErrorOf([&] { cds->Open(); }), HasSubstr("disk I/O error"));
    EXPECT_FALSE(cds->Active());
    SQLiteDetail::DisarmFaults();
    cds->Open();
    EXPECT_EQ(cds->RecordCount(), 4);
}

} // namespace
} // namespace mv::test
