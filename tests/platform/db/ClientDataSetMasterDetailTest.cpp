// A client data set as the detail of a master: the range of the master's current record,
// following the master, new records taking its values, and orders that cannot carry the
// link refused.
#include "platform/db/ClientDataSet.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"
#include "support/DbTestKit.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace mv {
namespace {

using test::DatabaseErrorOf;
using Ints = std::vector<Integer>;

// Customers 1, 2, 3; orders 10..15: customer 1 has 11, 10, 14 (amounts 30, 50, 20),
// customer 2 has 12 and 13, customer 3 none; order 15 has no customer.
struct TShop {
    TClientDataSet Customers;
    TDataSource CustomerSource{nullptr};
    TClientDataSet Orders;

    TShop() {
        Customers.FieldDefs()->Add(u"ID", ftInteger);
        Customers.FieldDefs()->Add(u"Name", ftString, 20);
        Customers.CreateDataSet();
        for (Integer id : {1, 2, 3})
            Customers.AppendRecord({Variant(id), Variant(u"C" + IntToStr(id))});
        Customers.First();
        CustomerSource.SetDataSet(&Customers);

        Orders.FieldDefs()->Add(u"OrderID", ftInteger);
        Orders.FieldDefs()->Add(u"CustID", ftInteger);
        Orders.FieldDefs()->Add(u"Amount", ftInteger);
        Orders.CreateDataSet();
        Orders.AppendRecord({Variant(10), Variant(1), Variant(50)});
        Orders.AppendRecord({Variant(11), Variant(1), Variant(30)});
        Orders.AppendRecord({Variant(12), Variant(2), Variant(70)});
        Orders.AppendRecord({Variant(13), Variant(2), Variant(5)});
        Orders.AppendRecord({Variant(14), Variant(1), Variant(20)});
        Orders.AppendRecord({Variant(15), Null(), Variant(1)});
        Orders.SetIndexFieldNames(u"CustID;Amount");
        Orders.SetMasterFields(u"ID");
        Orders.SetMasterSource(&CustomerSource);
    }

    Ints OrderIds() {
        Ints ids;
        for (Orders.First(); !Orders.Eof(); Orders.Next())
            ids.push_back(Orders.FieldByName(u"OrderID")->AsInteger());
        return ids;
    }
};

TEST(ClientDataSetMasterDetail, TheDetailShowsTheMastersRecordsAndFollowsIt) {
    TShop shop;
    EXPECT_EQ(shop.OrderIds(), (Ints{14, 11, 10}));
    EXPECT_EQ(shop.Orders.RecordCount(), 3);
    shop.Orders.Last();
    EXPECT_EQ(shop.Orders.RecNo(), 3);

    shop.Customers.Next();
    EXPECT_EQ(shop.Orders.FieldByName(u"OrderID")->AsInteger(), 13) << "the detail goes to its first record";
    EXPECT_EQ(shop.OrderIds(), (Ints{13, 12}));
    shop.Customers.Next();
    EXPECT_TRUE(shop.Orders.IsEmpty());

    // Locate and the filter work inside the range, whichever index Locate uses.
    shop.Customers.First();
    EXPECT_FALSE(shop.Orders.Locate(u"OrderID", Variant(12), {}));
    shop.Orders.AddIndex(u"ByOrder", u"OrderID", {});
    EXPECT_FALSE(shop.Orders.Locate(u"OrderID", Variant(13), {}));
    EXPECT_TRUE(shop.Orders.Locate(u"OrderID", Variant(11), {}));
    shop.Orders.SetFilter(u"Amount > 25");
    shop.Orders.SetFiltered(true);
    EXPECT_EQ(shop.OrderIds(), (Ints{11, 10}));
    shop.Customers.Next();
    EXPECT_EQ(shop.OrderIds(), (Ints{12}));
    shop.Orders.SetFiltered(false);

    // A changed master value moves the range at once; a closed master shows everything.
    shop.Customers.Edit();
    shop.Customers.FieldByName(u"ID")->SetAsInteger(1);
    EXPECT_EQ(shop.OrderIds(), (Ints{14, 11, 10}));
    shop.Customers.Cancel();
    EXPECT_EQ(shop.OrderIds(), (Ints{13, 12}));
    shop.CustomerSource.SetDataSet(nullptr);
    EXPECT_EQ(shop.OrderIds(), (Ints{15, 14, 11, 10, 13, 12}));
    shop.CustomerSource.SetDataSet(&shop.Customers);
    EXPECT_EQ(shop.OrderIds(), (Ints{13, 12}));

    // Inserting in the master: the new record has no ID, so the orders without a customer.
    shop.Customers.Append();
    EXPECT_EQ(shop.OrderIds(), (Ints{15}));
    shop.Customers.Cancel();
    shop.Customers.First();
    EXPECT_EQ(shop.OrderIds(), (Ints{14, 11, 10}));
}

TEST(ClientDataSetMasterDetail, NewRecordsTakeTheMastersValuesAndPendingEditsAreKept) {
    TShop shop;
    Integer seenInHandler = -1;
    shop.Orders.OnNewRecord = [&](TDataSet* ds) { seenInHandler = ds->FieldByName(u"CustID")->AsInteger(); };
    shop.Orders.Append();
    EXPECT_EQ(seenInHandler, 1);
    shop.Orders.FieldByName(u"OrderID")->SetAsInteger(16);
    shop.Orders.FieldByName(u"Amount")->SetAsInteger(40);
    shop.Orders.Post();
    EXPECT_EQ(shop.OrderIds(), (Ints{14, 11, 16, 10}));

    // Explicit values win over the master's.
    shop.Orders.AppendRecord({Variant(17), Variant(3), Variant(9)});
    EXPECT_EQ(shop.Orders.RecordCount(), 4);

    // A pending edit is posted before the master moves.
    shop.Orders.First();
    shop.Orders.Edit();
    shop.Orders.FieldByName(u"Amount")->SetAsInteger(99);
    shop.Customers.Next();
    EXPECT_EQ(shop.Orders.State(), dsBrowse);
    shop.Customers.Prior();
    EXPECT_EQ(shop.OrderIds(), (Ints{11, 16, 10, 14}));

    // A record moved to another customer leaves this range and joins that one.
    shop.Orders.First();
    shop.Orders.Edit();
    shop.Orders.FieldByName(u"CustID")->SetAsInteger(3);
    shop.Orders.Post();
    EXPECT_EQ(shop.OrderIds(), (Ints{16, 10, 14}));
    shop.Customers.Last();
    EXPECT_EQ(shop.OrderIds(), (Ints{17, 11}));
}

TEST(ClientDataSetMasterDetail, LinksAndOrdersThatCannotWorkAreRefused) {
    TShop shop;
    const String expected = Format(CDSConsts::SDetailOrder, {u"ID"});
    EXPECT_EQ(DatabaseErrorOf([&] { shop.Orders.SetIndexFieldNames(u""); }), expected);
    EXPECT_EQ(shop.Orders.IndexFieldNames(), u"CustID;Amount");
    EXPECT_EQ(shop.OrderIds(), (Ints{14, 11, 10}));

    EXPECT_EQ(DatabaseErrorOf([&] { shop.Orders.SetMasterFields(u"ID;Nope"); }),
              Format(DBConsts::SFieldNotFound, {u"Nope"}));
    EXPECT_EQ(DatabaseErrorOf([&] { shop.Orders.SetMasterFields(u"ID;Name;ID"); }),
              Format(CDSConsts::SDetailOrder, {u"ID;Name;ID"}));
    EXPECT_EQ(shop.Orders.MasterFields(), u"ID");
    EXPECT_EQ(shop.OrderIds(), (Ints{14, 11, 10}));

    TDataSource orderSource(nullptr);
    orderSource.SetDataSet(&shop.Orders);
    EXPECT_EQ(DatabaseErrorOf([&] { shop.Customers.SetMasterSource(&orderSource); }),
              DBConsts::SCircularDataLink);
    EXPECT_EQ(shop.Customers.MasterSource(), nullptr);

    // A closed detail checks at open and stays closed.
    TMemoryStream saved;
    shop.Orders.SaveToStream(saved);
    shop.Orders.Close();
    shop.Orders.SetIndexFieldNames(u"");
    saved.SetPosition(0);
    EXPECT_EQ(DatabaseErrorOf([&] { shop.Orders.LoadFromStream(saved); }), expected);
    EXPECT_FALSE(shop.Orders.Active());

    // Without a master the link is only stored.
    shop.Orders.SetMasterSource(nullptr);
    saved.SetPosition(0);
    shop.Orders.LoadFromStream(saved);
    EXPECT_EQ(shop.Orders.RecordCount(), 6);
}

TEST(ClientDataSetMasterDetail, AMasterThatChangesUnderTheDetailIsReportedNotRaised) {
    TShop shop;
    // A read-only link field still takes the master's value in a new record.
    shop.Orders.FieldByName(u"CustID")->SetReadOnly(true);
    shop.Orders.Append();
    shop.Orders.FieldByName(u"OrderID")->SetAsInteger(20);
    shop.Orders.Post();
    EXPECT_EQ(shop.Orders.FieldByName(u"CustID")->AsInteger(), 1);
    EXPECT_EQ(shop.Orders.RecordCount(), 4);

    // A master opened again without the master field: its Open succeeds, the detail
    // shows nothing and the error goes to the handler.
    std::vector<String> reported;
    ApplicationHandleException = [&](TObject* sender) {
        EXPECT_EQ(sender, &shop.Orders);
        try {
            throw;
        } catch (const Exception& e) {
            reported.push_back(e.Message());
        }
    };
    TMemoryStream other;
    {
        TClientDataSet renamed;
        renamed.FieldDefs()->Add(u"Code", ftInteger);
        renamed.CreateDataSet();
        renamed.AppendRecord({Variant(1)});
        renamed.SaveToStream(other);
    }
    shop.Customers.Close();
    other.SetPosition(0);
    shop.Customers.LoadFromStream(other);
    ApplicationHandleException = nullptr;
    EXPECT_TRUE(shop.Customers.Active());
    EXPECT_EQ(reported, (std::vector<String>{Format(DBConsts::SFieldNotFound, {u"ID"})}));
    EXPECT_TRUE(shop.Orders.IsEmpty());

    // Linking to it while open is refused before the link is made.
    TDataSource renamedSource(nullptr);
    renamedSource.SetDataSet(&shop.Customers);
    shop.Orders.SetMasterSource(nullptr);
    EXPECT_EQ(shop.Orders.RecordCount(), 7);
    EXPECT_EQ(DatabaseErrorOf([&] { shop.Orders.SetMasterSource(&renamedSource); }),
              Format(DBConsts::SFieldNotFound, {u"ID"}));
    EXPECT_EQ(shop.Orders.MasterSource(), nullptr);
    EXPECT_EQ(shop.Orders.RecordCount(), 7);
}

TEST(ClientDataSetMasterDetail, TheLinkIsPublishedAndFollowsTheSourceAway) {
    auto shop = std::make_unique<TShop>();
    EXPECT_EQ(GetStrProp(&shop->Orders, u"MasterFields"), u"ID");
    EXPECT_EQ(GetObjectProp(&shop->Orders, u"MasterSource"), &shop->CustomerSource);
    EXPECT_EQ(shop->Orders.GetDataSource(), &shop->CustomerSource);

    auto source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(&shop->Customers);
    SetObjectProp(&shop->Orders, u"MasterSource", source.get());
    shop->Customers.Last();
    EXPECT_TRUE(shop->Orders.IsEmpty());
    source.reset();
    EXPECT_EQ(shop->Orders.MasterSource(), nullptr);
    EXPECT_EQ(shop->Orders.RecordCount(), 6) << "a freed source ends the range";
}

} // namespace
} // namespace mv
