// Calculated and lookup fields, Locate and Lookup, and filtering through the record
// handler and the expression hook.
#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "support/DbTestKit.h"

#include <gtest/gtest.h>

#include <tuple>

namespace mv::test {
namespace {

struct TOrdersFixture {
    TVectorDataSet Customers;
    TVectorDataSet Orders;
    TFloatField* Total;
    TStringField* Customer;
    Integer CalcRuns = 0;

    TOrdersFixture() {
        Customers.FieldDefs()->Add(u"ID", ftInteger);
        Customers.FieldDefs()->Add(u"Name", ftString, 20);
        Customers.AddRow({Variant(1), Variant(u"Ann")});
        Customers.AddRow({Variant(2), Variant(u"Bob")});
        Customers.Open();

        Orders.SetName(u"Orders");
        Orders.FieldDefs()->Add(u"ID", ftInteger);
        Orders.FieldDefs()->Add(u"CustID", ftInteger);
        Orders.FieldDefs()->Add(u"Qty", ftInteger);
        Orders.FieldDefs()->Add(u"Price", ftFloat);
        for (auto [id, cust, qty, price] :
             {std::tuple{1, 1, 2, 10.0}, std::tuple{2, 2, 1, 5.5}, std::tuple{3, 9, 4, 1.25}})
            Orders.AddRow({Variant(id), Variant(cust), Variant(qty), Variant(price)});
        // Persistent fields: the data fields and a calculated and a lookup field.
        for (const Char* name : {u"ID", u"CustID", u"Qty"}) {
            auto* field = new TIntegerField(&Orders);
            field->SetFieldName(name);
            field->SetDataSet(&Orders);
        }
        auto* price = new TFloatField(&Orders);
        price->SetFieldName(u"Price");
        price->SetDataSet(&Orders);
        Total = new TFloatField(&Orders);
        Total->SetFieldName(u"Total");
        Total->SetFieldKind(fkCalculated);
        Total->SetDataSet(&Orders);
        Customer = new TStringField(&Orders);
        Customer->SetFieldName(u"Customer");
        Customer->SetFieldKind(fkLookup);
        Customer->SetLookupDataSet(&Customers);
        Customer->SetKeyFields(u"CustID");
        Customer->SetLookupKeyFields(u"ID");
        Customer->SetLookupResultField(u"Name");
        Customer->SetDataSet(&Orders);
        Orders.OnCalcFields = [this](TDataSet* ds) {
            ++CalcRuns;
            ds->FieldByName(u"Total")->SetAsFloat(ds->FieldByName(u"Qty")->AsInteger() *
                                                  ds->FieldByName(u"Price")->AsFloat());
        };
    }
};

TEST(CalculatedFields, ComputedPerRecordAndWhileEditing) {
    TOrdersFixture f;
    f.Orders.Open();
    EXPECT_GT(f.Orders.CalcFieldsSize(), 0);
    EXPECT_DOUBLE_EQ(f.Total->AsFloat(), 20.0);
    EXPECT_EQ(f.Customer->AsString(), u"Ann");
    EXPECT_FALSE(f.Total->CanModify());
    f.Orders.Next();
    EXPECT_DOUBLE_EQ(f.Total->AsFloat(), 5.5);
    EXPECT_EQ(f.Customer->AsString(), u"Bob");
    f.Orders.Next();
    EXPECT_TRUE(f.Customer->IsNull()); // no customer 9
    EXPECT_DOUBLE_EQ(f.Total->AsFloat(), 5.0);

    // While editing, a change of a data field recalculates at once.
    f.Orders.Edit();
    f.Orders.FieldByName(u"Qty")->SetAsInteger(10);
    EXPECT_DOUBLE_EQ(f.Total->AsFloat(), 12.5);
    f.Orders.FieldByName(u"CustID")->SetAsInteger(2);
    EXPECT_EQ(f.Customer->AsString(), u"Bob");
    f.Orders.Post();
    EXPECT_DOUBLE_EQ(f.Total->AsFloat(), 12.5);
    EXPECT_EQ(f.Orders.Rows()[2][2].AsInteger(), 10);
    EXPECT_EQ(f.Customers.RecNo(), 1); // lookups leave the lookup data set's cursor alone

    // Incomplete lookup information is refused at open.
    f.Orders.Close();
    f.Customer->SetLookupResultField(u"");
    try {
        f.Orders.Open();
        ADD_FAILURE() << "open with incomplete lookup did not raise";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), u"Lookup information for field 'Customer' is incomplete");
    }
    EXPECT_EQ(f.Orders.Active(), false);
}

TEST(Locate, KeysOptionsAndPartialKeyOnTheLastFieldOnly) {
    TVectorDataSet ds;
    ds.FieldDefs()->Add(u"City", ftString, 20);
    ds.FieldDefs()->Add(u"Name", ftString, 20);
    ds.FieldDefs()->Add(u"Age", ftInteger);
    ds.AddRow({Variant(u"Berlin"), Variant(u"Anna"), Variant(30)});
    ds.AddRow({Variant(u"Bern"), Variant(u"Bob"), Variant(40)});
    ds.AddRow({Variant(u"Boston"), Variant(u"Bea"), Null()});
    ds.AddRow({Variant(u"Bern"), Variant(u"Carl"), Variant(50)});
    ds.Open();
    Integer scrolls = 0;
    ds.AfterScroll = [&](TDataSet*) { ++scrolls; };

    EXPECT_TRUE(ds.Locate(u"Name", Variant(u"Bob"), {}));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(scrolls, 1);
    EXPECT_FALSE(ds.Locate(u"Name", Variant(u"bob"), {}));
    EXPECT_EQ(ds.RecNo(), 2); // a failed locate stays
    EXPECT_EQ(scrolls, 1);
    EXPECT_TRUE(ds.Locate(u"Name", Variant(u"bob"), {loCaseInsensitive}));
    EXPECT_TRUE(ds.Locate(u"Name", Variant(u"Ca"), {loPartialKey}));
    EXPECT_EQ(ds.RecNo(), 4);
    EXPECT_FALSE(ds.Locate(u"Name", Variant(u"ca"), {loPartialKey}));
    EXPECT_TRUE(ds.Locate(u"Name", Variant(u"ca"), {loPartialKey, loCaseInsensitive}));

    // Several keys: the partial key applies to the last one only.
    EXPECT_FALSE(ds.Locate(u"City;Name", VarArrayOf({Variant(u"Ber"), Variant(u"B")}), {loPartialKey}));
    EXPECT_TRUE(ds.Locate(u"City;Name", VarArrayOf({Variant(u"Bern"), Variant(u"C")}), {loPartialKey}));
    EXPECT_EQ(ds.RecNo(), 4);
    EXPECT_TRUE(ds.Locate(u"City;Age", VarArrayOf({Variant(u"Bern"), Variant(40)}), {}));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_FALSE(ds.Locate(u"City;Age", VarArrayOf({Variant(u"Bern")}), {})); // too few values
    EXPECT_TRUE(ds.Locate(u"Age", Null(), {}));                               // null matches null
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_FALSE(ds.Locate(u"Age", Variant(u"many"), {})); // incomparable values do not match
    EXPECT_THROW(ds.Locate(u"Nope", Variant(1), {}), EDatabaseError);

    Variant found = ds.Lookup(u"City;Name", VarArrayOf({Variant(u"Bern"), Variant(u"Carl")}), u"Age;Name");
    ASSERT_TRUE(VarIsArray(found));
    EXPECT_EQ(found[0].AsInteger(), 50);
    EXPECT_EQ(ds.RecNo(), 3); // Lookup does not move
    EXPECT_TRUE(VarIsNull(ds.Lookup(u"Name", Variant(u"Zed"), u"Age")));

    // An empty data set finds nothing.
    TVectorDataSet empty;
    empty.FieldDefs()->Add(u"Name", ftString, 5);
    empty.Open();
    EXPECT_FALSE(empty.Locate(u"Name", Variant(u"x"), {}));
}

TEST(Filtering, RecordHandlerAndExpressionHook) {
    auto ds = MakeNumbered(10);
    ds->Open();
    ds->OnFilterRecord = [](TDataSet* dataSet, bool& accept) {
        accept = dataSet->FieldByName(u"ID")->AsInteger() % 2 == 0;
    };
    ds->SetFiltered(true);
    EXPECT_EQ(ds->FieldByName(u"ID")->AsInteger(), 2);
    EXPECT_EQ(ds->MoveBy(2147483647), 4);
    EXPECT_EQ(ds->FieldByName(u"ID")->AsInteger(), 10);
    EXPECT_EQ(ds->RecordCount(), 10); // the storage count, as the vector data set reports it
    EXPECT_TRUE(ds->Locate(u"ID", Variant(6), {}));
    EXPECT_FALSE(ds->Locate(u"ID", Variant(5), {}));

    // The expression goes through FilterExpressionAccepts, then the handler.
    ds->SetFilter(u"ID > 4");
    EXPECT_EQ(ds->FieldByName(u"ID")->AsInteger(), 6);
    ds->OnFilterRecord = nullptr;
    ds->SetFilter(u"Name LIKE '%1%'");
    EXPECT_EQ(ds->FieldByName(u"ID")->AsInteger(), 1);
    EXPECT_EQ(ds->MoveBy(5), 1);
    EXPECT_EQ(ds->FieldByName(u"ID")->AsInteger(), 10);
    EXPECT_THROW(ds->SetFilter(u"ID >"), EDatabaseError);
    ds->SetFilter(u"");
    ds->SetFiltered(false);
    EXPECT_EQ(ds->MoveBy(2147483647), 9);

    // An exception in the handler reaches the caller (no application handler here).
    ds->OnFilterRecord = [](TDataSet*, bool&) { throw EDatabaseError(u"handler failed"); };
    EXPECT_THROW(ds->SetFiltered(true), EDatabaseError);
}

} // namespace
} // namespace mv::test
