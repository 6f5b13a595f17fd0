// Published properties of the SQLite components by name (the change-order registry writes
// "Sort" and "SQL" this way) and a form-text round trip of connection, query, client data
// set and data source that opens them again from the stream.
#include "SQLiteTestKit.h"

#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/Filer.h"

#include <gmock/gmock.h>

namespace mv::test {
namespace {

using ::testing::HasSubstr;

// A data module: a root that streams the components it owns.
class TDataModuleSample : public TComponent {
    MV_CLASS(TDataModuleSample, TComponent);
    using TComponent::TComponent;
    void GetChildren(const TGetChildProc& proc, TComponent* root) override {
        if (root != this) return;
        for (Integer i = 0; i < ComponentCount(); ++i)
            proc(Components(i));
    }
};

class SQLitePropertiesTest : public SQLiteFixture {
protected:
    void SetUp() override {
        SQLiteFixture::SetUp();
        Raw("t.db", "CREATE TABLE t (ID INTEGER PRIMARY KEY, Name TEXT);"
                    "INSERT INTO t VALUES (1, 'b'), (2, 'c'), (3, 'a');");
    }
};

TEST_F(SQLitePropertiesTest, SortAndSqlByNameRequery) {
    auto connection = Connect("t.db");
    auto query = Query(connection.get(), u"SELECT * FROM t");
    query->Open();
    EXPECT_EQ(GetStrProp(query.get(), u"Sort"), u"");
    SetStrProp(query.get(), u"Sort", u"Name DESC");
    EXPECT_EQ(IdsToEnd(query.get()), "2,1,3");

    // The SQL way: the registry edits the query's own lines and opens it again.
    auto* sql = GetObjectProp<TStrings>(query.get(), u"SQL");
    ASSERT_EQ(sql, query->SQL());
    SetStrProp(query.get(), u"Sort", u"");
    sql->SetText(u"SELECT * FROM t\nORDER BY Name");
    EXPECT_FALSE(query->Active()) << "a new text closes the query";
    query->Open();
    EXPECT_EQ(IdsToEnd(query.get()), "3,1,2");

    // Filter and Filtered are TDataSet's, pushed down here.
    SetStrProp(query.get(), u"Filter", u"Name <> 'c'");
    SetEnumProp(query.get(), u"Filtered", u"True");
    query->First();
    EXPECT_EQ(IdsToEnd(query.get()), "3,1");
    // A rejected sort keeps the previous one, also by name.
    EXPECT_THAT(ErrorOf([&] { SetStrProp(query.get(), u"Sort", u"Nope"); }), HasSubstr("Invalid sort order"));
    EXPECT_EQ(GetStrProp(query.get(), u"Sort"), u"");

    SetEnumProp(query.get(), u"ReadOnly", u"True");
    EXPECT_FALSE(query->CanModify());
    EXPECT_EQ(GetObjectProp<TSQLiteConnection>(query.get(), u"Connection"), connection.get());
    EXPECT_EQ(GetStrProp(query.get(), u"Connection.DatabaseName"), FileName("t.db"));
}

TEST_F(SQLitePropertiesTest, ConnectionPropertiesByName) {
    TSQLiteConnection connection;
    SetStrProp(&connection, u"DatabaseName", FileName("t.db"));
    SetEnumProp(&connection, u"ReadOnly", u"True");
    SetOrdProp(&connection, u"BusyTimeout", 0);
    EXPECT_EQ(GetEnumProp(&connection, u"Connected"), u"False");
    SetEnumProp(&connection, u"Connected", u"True");
    EXPECT_TRUE(connection.Connected());
    EXPECT_THAT(ErrorOf([&] { connection.ExecSQL(u"DELETE FROM t"); }), HasSubstr("readonly"));
    SetEnumProp(&connection, u"Connected", u"False");
    EXPECT_FALSE(connection.Connected());
}

TEST_F(SQLitePropertiesTest, FormTextRoundTripReopensEverything) {
    RegisterSQLiteClasses();
    TDataModuleSample original(nullptr);
    original.SetName(u"Module");
    auto* connection = new TSQLiteConnection(&original);
    connection->SetName(u"Db");
    connection->SetDatabaseName(FileName("t.db"));
    auto* query = new TSQLiteQuery(&original);
    query->SetName(u"Query");
    query->SetConnection(connection);
    query->SQL()->SetText(u"SELECT *\nFROM t");
    query->SetSort(u"Name");
    auto* cds = new TClientDataSet(&original);
    cds->SetName(u"Copy");
    cds->SetConnection(connection);
    cds->SetCommandText(u"SELECT * FROM t");
    cds->AddIndex(u"ByName", u"Name", {ixDescending});
    cds->SetIndexName(u"ByName");
    auto* source = new TDataSource(&original);
    source->SetName(u"Source");
    source->SetDataSet(cds);
    query->Open();
    cds->Open();
    String text = ComponentToText(&original);
    String sqlText = query->SQL()->GetText();
    original.DestroyComponents();

    TDataModuleSample module(nullptr);
    TextToComponent(text, &module);
    auto* readQuery = dynamic_cast<TSQLiteQuery*>(module.FindComponent(u"Query"));
    auto* readCopy = dynamic_cast<TClientDataSet*>(module.FindComponent(u"Copy"));
    auto* readSource = dynamic_cast<TDataSource*>(module.FindComponent(u"Source"));
    auto* readDb = dynamic_cast<TSQLiteConnection*>(module.FindComponent(u"Db"));
    ASSERT_TRUE(readQuery && readCopy && readSource && readDb) << UTF8Encode(text);
    EXPECT_EQ(readQuery->Connection(), readDb);
    EXPECT_EQ(readQuery->SQL()->GetText(), sqlText);
    ASSERT_TRUE(readQuery->Active());
    EXPECT_EQ(IdsToEnd(readQuery), "3,1,2");
    EXPECT_EQ(readCopy->Connection(), readDb);
    EXPECT_EQ(readSource->DataSet(), readCopy);
    ASSERT_TRUE(readCopy->Active());
    EXPECT_EQ(readCopy->IndexName(), u"ByName");
    EXPECT_EQ(readCopy->IndexDefs()->Find(u"ByName")->Options(), TIndexOptions{ixDescending});
    readCopy->First();
    EXPECT_EQ(IdsToEnd(readCopy), "2,1,3");
}

} // namespace
} // namespace mv::test
