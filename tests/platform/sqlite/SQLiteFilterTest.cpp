// TSQLiteQuery's pushed-down Sort and Filter: re-querying with the right rows, keeping
// the previous settings when SQLite rejects new ones, and texts users may type (the grid
// inserts typed values unescaped) never writing anything.
#include "SQLiteTestKit.h"

#include "platform/db/Fields.h"

#include <gmock/gmock.h>

namespace mv::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class SQLiteFilterTest : public SQLiteFixture {
protected:
    void SetUp() override {
        SQLiteFixture::SetUp();
        Raw("f.db", "CREATE TABLE t (ID INTEGER PRIMARY KEY, Name VARCHAR(20), [First Name] VARCHAR(20),"
                    " Amount REAL, City VARCHAR(20));"
                    "CREATE INDEX t_city ON t(City);"
                    "INSERT INTO t VALUES (1, 'x', 'Ann', 10.5, 'Oslo'), (2, 'abc', 'Ben', 2, 'Rome'),"
                    " (3, 'xabcx', 'Cat', 7.25, 'Oslo'), (4, 'y', NULL, NULL, 'Bern'), (5, 'Xb', 'Dan', "
                    "7.25, NULL);");
        Connection = Connect("f.db");
        Q = Query(Connection.get(), u"SELECT * FROM t");
        Q->Open();
    }
    std::string Ids() {
        Q->First();
        return IdsToEnd(Q.get());
    }
    std::string Table() const { return Dump("f.db", "SELECT * FROM t ORDER BY ID"); }

    std::unique_ptr<TSQLiteConnection> Connection;
    std::unique_ptr<TSQLiteQuery> Q;
};

TEST_F(SQLiteFilterTest, SortAndFilterRequeryWithTheRightRows) {
    Q->SetSort(u"Amount DESC, ID");
    EXPECT_EQ(Ids(), "1,3,5,2,4");
    Q->SetSort(u"city;[First Name] desc");
    EXPECT_EQ(Ids(), "5,4,3,1,2");
    Q->SetSort(u"City ASC,Name DESC");
    EXPECT_EQ(Ids(), "5,4,3,1,2");

    // Texts as the grid's filter clauses build them.
    Q->SetFilter(u"Name LIKE '%abc%'");
    EXPECT_EQ(Ids(), "5,4,3,1,2"); // not filtered yet
    Q->SetFiltered(true);
    EXPECT_EQ(Ids(), "3,2");
    Q->SetFilter(u"Name LIKE 'x%'");
    EXPECT_EQ(Ids(), "5,3,1"); // LIKE ignores ASCII case
    Q->SetFilter(u"(Amount = 7.25) AND (NOT Name LIKE 'xa%')");
    EXPECT_EQ(Ids(), "5");
    Q->SetFilter(u"[First Name] IN ('Ann','Dan')");
    EXPECT_EQ(Ids(), "5,1");
    Q->SetFilter(u"Amount IS NULL OR City IS NULL");
    EXPECT_EQ(Ids(), "5,4");
    Q->SetSort(u"");
    Q->SetFilter(u"(Amount >= 7) AND (City <> 'Rome')");
    EXPECT_EQ(Ids(), "1,3"); // NULL <> 'Rome' is not true

    // OnFilterRecord runs on the fetched rows, together with the pushed-down filter.
    Q->OnFilterRecord = [](TDataSet* dataSet, bool& accept) {
        accept = dataSet->FieldByName(u"ID")->AsInteger() != 3;
    };
    Q->SetFiltered(false);
    Q->SetFiltered(true);
    EXPECT_EQ(Ids(), "1");
    Q->SetFiltered(false);
    EXPECT_EQ(Ids(), "1,2,3,4,5");
    Q->OnFilterRecord = nullptr;

    // Set while closed, applied at open.
    Q->Close();
    Q->SetFilter(u"City = 'Oslo'");
    Q->SetFiltered(true);
    Q->SetSort(u"ID DESC");
    Q->Open();
    EXPECT_EQ(Ids(), "3,1");
    // The result stays editable through the wrapping query.
    EXPECT_TRUE(Q->CanModify());
    Q->First();
    Q->Edit();
    Q->FieldByName(u"Name")->SetAsString(u"changed");
    Q->Post();
    EXPECT_THAT(Table(), HasSubstr("3|changed|"));
}

TEST_F(SQLiteFilterTest, RejectedFilterOrSortKeepsThePreviousOneAndItsRows) {
    Q->SetFilter(u"City = 'Oslo'");
    Q->SetFiltered(true);
    Q->Next();
    EXPECT_EQ(ErrorOf([&] { Q->SetFilter(u"Town = 'Oslo'"); }),
              "Invalid filter expression: Town = 'Oslo' (no such column: Town)");
    EXPECT_EQ(Q->Filter(), u"City = 'Oslo'");
    EXPECT_TRUE(Q->Active());
    EXPECT_EQ(Q->FieldByName(u"ID")->AsInteger(), 3); // still on the same record
    EXPECT_EQ(Ids(), "1,3");

    EXPECT_EQ(ErrorOf([&] { Q->SetSort(u"Town DESC"); }),
              "Invalid sort order: Town DESC (Field 'Town' not found)");
    EXPECT_EQ(Q->Sort(), u"");
    EXPECT_EQ(Ids(), "1,3");

    // A filter that fails only when run (an overflow in the first row) is rejected too.
    EXPECT_EQ(ErrorOf([&] { Q->SetFilter(u"abs(-9223372036854775807 - 1) > 0"); }),
              "Invalid filter expression: abs(-9223372036854775807 - 1) > 0 (integer overflow)");
    EXPECT_EQ(Ids(), "1,3");

    Q->SetFiltered(false);
    Q->SetFilter(u"nonsense ==");
    EXPECT_THAT(ErrorOf([&] { Q->SetFiltered(true); }),
                StartsWith("Invalid filter expression: nonsense == ("));
    EXPECT_FALSE(Q->Filtered());
    EXPECT_EQ(Ids(), "1,2,3,4,5");
}

TEST_F(SQLiteFilterTest, UserTypedFiltersNeverChangeData) {
    const std::string table = Table();
    Q->SetFiltered(true);

    // What the grid writes for "is equal" with the value  x' OR 1=1 --  : harmless.
    Q->SetFilter(u"Name = 'x' OR 1=1 --'");
    EXPECT_EQ(Ids(), "1,2,3,4,5");

    const std::vector<String> attacks = {
        u"1; DROP TABLE t",
        u"ID = 1; DELETE FROM t; --",
        u"ID IN (SELECT ID FROM t); UPDATE t SET Name = 'pwned'",
        u"ID = (DELETE FROM t RETURNING ID)",
        u"ID IN (WITH d AS (DELETE FROM t RETURNING ID) SELECT ID FROM d)",
        u"1) ; DROP TABLE t ; SELECT * FROM (SELECT 1",
        u"Name = 'it''s",
        u"Name = 'unterminated",
        u"load_extension('/tmp/evil') IS NULL",
        u"ID IN (SELECT 1 FROM pragma_table_info('t'))",
    };
    for (const String& attack : attacks) {
        std::string error = ErrorOf([&] { Q->SetFilter(attack); });
        EXPECT_THAT(error, StartsWith("Invalid filter expression: " + UTF8Encode(attack) + " ("))
            << UTF8Encode(attack);
        EXPECT_EQ(Q->Filter(), u"Name = 'x' OR 1=1 --'");
    }
    EXPECT_THAT(ErrorOf([&] { Q->SetFilter(u"load_extension('/tmp/evil') IS NULL"); }),
                HasSubstr("not authorized"));
    EXPECT_THAT(ErrorOf([&] { Q->SetFilter(u"1; DROP TABLE t"); }), HasSubstr("syntax error"));

    // A comment cannot swallow the closing parenthesis: the text ends at its own line.
    Q->SetFilter(u"ID = 2 -- ) OR (1 = 1");
    EXPECT_EQ(Ids(), "2");
    // Sort texts never reach SQL as written: only column numbers do.
    EXPECT_THAT(ErrorOf([&] { Q->SetSort(u"ID; DROP TABLE t"); }), StartsWith("Invalid sort order:"));

    EXPECT_EQ(Table(), table);
    // The read-only guard ends with the filtered query's preparation.
    Connection->ExecSQL(u"UPDATE t SET Amount = 1 WHERE ID = 4");
    EXPECT_THAT(Table(), HasSubstr("4|y|NULL|1.0|Bern"));
}

} // namespace
} // namespace mv::test
