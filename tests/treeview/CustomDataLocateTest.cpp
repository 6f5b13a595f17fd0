// Locate and Lookup of the custom data set: exact and optioned comparisons, the partial key
// on the last field only, arrays of key values, and where the cursor ends up.
#include "treeview/MvDBCustData.h"

#include "platform/db/DBConsts.h"
#include "treeview/CustomDataTestKit.h"

#include <gtest/gtest.h>

namespace mv::test {
namespace {

// City and Street (strings) by field number 1 and 2, and ID as field 3.
std::unique_ptr<TOwnerData> MakeAddresses() {
    auto dataSet = std::make_unique<TOwnerData>();
    dataSet->FieldDefs()->Add(u"City", ftString, 20);
    dataSet->FieldDefs()->Add(u"Street", ftWideString, 20);
    dataSet->FieldDefs()->Add(u"ID", ftInteger);
    auto add = [&](const Char* city, const Char* street, Integer id) {
        dataSet->Rows.push_back({Variant(city), Variant(street), Variant(id)});
    };
    add(u"Bonn", u"Marktplatz", 0);
    add(u"Berlin", u"Unter den Linden", 1);
    add(u"Berlinchen", u"Hauptstraße", 2);
    add(u"Berlin", u"Hauptstraße", 3);
    add(u"Köln", u"Hohe Straße", 4);
    add(u"berlin", u"Hauptweg", 5);
    return dataSet;
}

Integer CurrentId(TDataSet& dataSet) {
    return dataSet.FieldByName(u"ID")->AsInteger();
}

TEST(CustomDataLocate, TwoFieldsWithPartialKeyOnTheLastOnly) {
    auto dataSet = MakeAddresses();
    TDataSource source(nullptr);
    source.SetDataSet(dataSet.get());
    TReadingLink link;
    link.SetBufferCount(3);
    link.SetDataSource(&source);
    dataSet->Open();
    std::vector<std::string> events;
    dataSet->BeforeScroll = [&](TDataSet*) { events.push_back("before"); };
    dataSet->AfterScroll = [&](TDataSet*) { events.push_back("after"); };

    // The street is a prefix; the city must be equal: "Berlinchen" does not match "Berlin".
    EXPECT_TRUE(dataSet->Locate(u"City;Street", VarArrayOf({u"Berlin", u"Haupt"}), {loPartialKey}));
    EXPECT_EQ(CurrentId(*dataSet), 3);
    EXPECT_EQ(events, (std::vector<std::string>{"before", "after"}));
    EXPECT_EQ(link.ActiveRecord(), 1); // centred
    // A prefix of the first field does not count.
    EXPECT_FALSE(dataSet->Locate(u"City;Street", VarArrayOf({u"Berl", u"Hauptstraße"}), {loPartialKey}));
    EXPECT_EQ(CurrentId(*dataSet), 3); // a failed locate stays
    // Case matters without loCaseInsensitive; with it, both fields ignore case.
    EXPECT_FALSE(dataSet->Locate(u"City;Street", VarArrayOf({u"berlin", u"haupt"}), {loPartialKey}));
    EXPECT_TRUE(dataSet->Locate(u"City;Street", VarArrayOf({u"BERLIN", u"hauptw"}),
                                {loPartialKey, loCaseInsensitive}));
    EXPECT_EQ(CurrentId(*dataSet), 5);
    EXPECT_TRUE(dataSet->Locate(u"City", u"KÖLN", {loCaseInsensitive}));
    EXPECT_EQ(CurrentId(*dataSet), 4);

    // The first match from the first record on, whatever the current record.
    EXPECT_TRUE(dataSet->Locate(u"Street", u"Hauptstraße", {}));
    EXPECT_EQ(CurrentId(*dataSet), 2);
    // A single field key given as a one-element array is no match for a single value.
    EXPECT_FALSE(dataSet->Locate(u"ID", VarArrayOf({Variant(2)}), {}));
    // Exact comparison is by value: the text "4" is the number 4.
    EXPECT_TRUE(dataSet->Locate(u"ID", u"4", {}));
    EXPECT_EQ(CurrentId(*dataSet), 4);
    // Two keys for two fields, exactly.
    EXPECT_TRUE(dataSet->Locate(u"Street;ID", VarArrayOf({u"Hauptstraße", Variant(3)}), {}));
    EXPECT_EQ(CurrentId(*dataSet), 3);
    // Key arrays of the wrong length never match.
    EXPECT_FALSE(dataSet->Locate(u"City;ID", VarArrayOf({u"Bonn"}), {}));
    EXPECT_FALSE(dataSet->Locate(u"City;ID", u"Bonn", {}));
    // An unknown key field is reported.
    EXPECT_EQ(ErrorOf([&] { dataSet->Locate(u"Town", u"Bonn", {}); }),
              Format(DBConsts::SFieldNotFound, {u"Town"}));

    // A pending edit is posted first.
    dataSet->Edit();
    dataSet->FieldByName(u"City")->SetAsString(u"Potsdam");
    EXPECT_TRUE(dataSet->Locate(u"City", u"Potsdam", {}));
    EXPECT_EQ(dataSet->State(), dsBrowse);
    EXPECT_EQ(dataSet->Log, (std::vector<std::string>{"set 3 City=Potsdam"}));
}

TEST(CustomDataLocate, LookupLeavesTheCurrentRecord) {
    auto dataSet = MakeAddresses();
    dataSet->Open();
    dataSet->MoveBy(4);
    Integer afterScrolls = 0;
    dataSet->AfterScroll = [&](TDataSet*) { ++afterScrolls; };
    EXPECT_EQ(dataSet->Lookup(u"ID", 2, u"City").AsString(), u"Berlinchen");
    Variant both = dataSet->Lookup(u"City;ID", VarArrayOf({u"Berlin", Variant(3)}), u"Street;ID");
    ASSERT_TRUE(VarIsArray(both));
    EXPECT_EQ(both[0].AsString(), u"Hauptstraße");
    EXPECT_EQ(both[1].AsInteger(), 3);
    // Exact only: options are not applied, so no prefix or case match.
    EXPECT_TRUE(VarIsNull(dataSet->Lookup(u"City", u"berl", u"ID")));
    EXPECT_TRUE(VarIsNull(dataSet->Lookup(u"City", u"BONN", u"ID")));
    EXPECT_EQ(CurrentId(*dataSet), 4);
    EXPECT_EQ(dataSet->State(), dsBrowse);
    EXPECT_EQ(afterScrolls, 0);
    dataSet->Next();
    EXPECT_EQ(CurrentId(*dataSet), 5);
    // A failing result field leaves the data set browsing.
    EXPECT_EQ(ErrorOf([&] { dataSet->Lookup(u"ID", 1, u"Nope"); }),
              Format(DBConsts::SFieldNotFound, {u"Nope"}));
    EXPECT_EQ(dataSet->State(), dsBrowse);
    EXPECT_EQ(CurrentId(*dataSet), 5);
}

} // namespace
} // namespace mv::test
