// The sample database: sizes, determinism by seed, and rows that hold together.
#include "SQLiteTestKit.h"

#include "platform/sqlite/SampleDatabase.h"

#include <gmock/gmock.h>

namespace mv::test {
namespace {

class SampleDatabaseTest : public SQLiteFixture {
protected:
    std::string Content(const std::string& name) const {
        std::string all;
        for (const char* table : {"Categories", "Customers", "Products", "Orders", "OrderLines"})
            all += Dump(name, std::string("SELECT * FROM ") + table + " ORDER BY ID");
        return all;
    }
};

TEST_F(SampleDatabaseTest, SameSeedSameRowsAndTheRowsHoldTogether) {
    TSampleDatabaseOptions options;
    options.OrderCount = 500;
    auto first = Connect("a.db");
    TSampleDatabaseCounts counts = CreateSampleDatabase(first.get(), options);
    EXPECT_EQ(counts.Categories, 8 + 8 * 4 + 8 * 4 * 3);
    EXPECT_EQ(counts.Customers, 50);
    EXPECT_EQ(counts.Products, 20);
    EXPECT_EQ(counts.Orders, 500);
    EXPECT_EQ(Dump("a.db", "SELECT count(*) FROM OrderLines"), std::to_string(counts.OrderLines) + "\n");
    EXPECT_GE(counts.OrderLines, 500);
    EXPECT_LE(counts.OrderLines, 2500);

    auto second = Connect("b.db");
    CreateSampleDatabase(second.get(), options);
    EXPECT_EQ(Content("a.db"), Content("b.db"));
    options.Seed = 7;
    auto third = Connect("c.db");
    CreateSampleDatabase(third.get(), options);
    EXPECT_NE(Content("a.db"), Content("c.db"));

    // Integrity: the category tree has three levels under eight roots, every reference
    // resolves, every total is the sum of its lines, dates are ISO text.
    EXPECT_EQ(Dump("a.db", "PRAGMA foreign_key_check"), "");
    EXPECT_EQ(Dump("a.db",
                   "WITH RECURSIVE tree(ID, Depth) AS (SELECT ID, 0 FROM Categories WHERE ParentID IS NULL"
                   " UNION ALL SELECT c.ID, Depth + 1 FROM Categories c JOIN tree ON c.ParentID = tree.ID)"
                   " SELECT Depth, count(*) FROM tree GROUP BY Depth"),
              "0|8\n1|32\n2|96\n");
    EXPECT_EQ(
        Dump("a.db",
             "SELECT count(*) FROM Orders o WHERE abs(o.Total - (SELECT sum(CAST(round(l.UnitPrice * 100)"
             " AS INTEGER) * l.Quantity * (100 - CAST(round(l.Discount * 100) AS INTEGER)) / 100)"
             " / 100.0 FROM OrderLines l WHERE l.OrderID = o.ID)) > 0.001"),
        "0\n");
    EXPECT_EQ(Dump("a.db", "SELECT count(*) FROM Orders WHERE date(OrderDate) IS NOT OrderDate"), "0\n");
    EXPECT_EQ(
        Dump("a.db", "SELECT count(*) FROM Orders WHERE ShippedAt IS NOT NULL AND ShippedAt <= OrderDate"),
        "0\n");

    // The query data set reads it with the declared types.
    auto query = Query(first.get(), u"SELECT * FROM Orders");
    query->Open();
    EXPECT_EQ(query->FieldByName(u"OrderDate")->DataType(), ftDate);
    EXPECT_EQ(query->FieldByName(u"ShippedAt")->DataType(), ftDateTime);
    EXPECT_EQ(query->RecordCount(), 500);
    EXPECT_TRUE(query->CanModify());

    // Refused: a second run over the same tables writes nothing; a bad size.
    EXPECT_THAT(ErrorOf([&] { CreateSampleDatabase(first.get(), options); }),
                ::testing::HasSubstr("table Categories already exists"));
    EXPECT_FALSE(first->InTransaction());
    options.OrderCount = 0;
    EXPECT_EQ(ErrorOf([&] { CreateSampleDatabase(first.get(), options); }),
              "Sample database: order count 0 is outside 1 to 1000000");
    EXPECT_EQ(Content("a.db"), Content("b.db"));
}

} // namespace
} // namespace mv::test
