// Published properties of the data-access classes, written and read by name as the
// grid's change-order registry and form streaming do, each observed through its effect.
#include "platform/db/ClientDataSet.h"

#include "platform/db/DataSource.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

std::unique_ptr<TClientDataSet> MakeCities() {
    auto ds = std::make_unique<TClientDataSet>();
    ds->FieldDefs()->Add(u"ID", ftInteger);
    ds->FieldDefs()->Add(u"City", ftString, 20);
    ds->CreateDataSet();
    const std::vector<std::pair<Integer, String>> rows = {
        {1, u"Oslo"}, {2, u"bergen"}, {3, u"Athens"}, {4, u"oslo"}};
    for (const auto& [id, city] : rows)
        ds->AppendRecord({Variant(id), Variant(city)});
    ds->First();
    return ds;
}

std::vector<Integer> Ids(TDataSet& ds) {
    std::vector<Integer> ids;
    for (ds.First(); !ds.Eof(); ds.Next())
        ids.push_back(ds.FieldByName(u"ID")->AsInteger());
    return ids;
}

using Ints = std::vector<Integer>;

TEST(DataSetPropertiesTest, OrderPropertiesByNameReorderTheRecords) {
    auto ds = MakeCities();
    // The index-field way of the change-order registry: read, write, read back.
    EXPECT_TRUE(IsPublishedProp(ds.get(), u"IndexFieldNames"));
    EXPECT_EQ(GetStrProp(ds.get(), u"IndexFieldNames"), u"");
    ds->Locate(u"ID", 3, {});
    SetStrProp(ds.get(), u"IndexFieldNames", u"City");
    EXPECT_EQ(ds->IndexFieldNames(), u"City");
    EXPECT_EQ(ds->FieldByName(u"ID")->AsInteger(), 3) << "the current record stays current";
    EXPECT_EQ(Ids(*ds), (Ints{3, 1, 2, 4}));

    // The temporary-index way: AddIndex, IndexDefs by name, IndexName by name.
    ds->AddIndex(u"ByCityDesc", u"City", {ixCaseInsensitive}, u"City");
    auto* defs = GetObjectProp<TIndexDefs>(ds.get(), u"IndexDefs");
    ASSERT_EQ(defs, ds->IndexDefs());
    EXPECT_EQ(defs->Find(u"ByCityDesc")->DescFields(), u"City");
    SetStrProp(ds.get(), u"IndexName", u"ByCityDesc");
    EXPECT_EQ(GetStrProp(ds.get(), u"IndexFieldNames"), u"") << "IndexName clears IndexFieldNames";
    EXPECT_EQ(Ids(*ds), (Ints{1, 4, 2, 3}));
}

TEST(DataSetPropertiesTest, FilterPropertiesByNameRefilter) {
    auto ds = MakeCities();
    SetStrProp(ds.get(), u"Filter", u"City = 'oslo'");
    EXPECT_EQ(ds->RecordCount(), 4) << "not filtered yet";
    SetEnumProp(ds.get(), u"Filtered", u"True");
    EXPECT_EQ(Ids(*ds), (Ints{4}));
    SetSetProp(ds.get(), u"FilterOptions", u"[foCaseInsensitive]");
    EXPECT_EQ(Ids(*ds), (Ints{1, 4}));
    EXPECT_EQ(GetSetProp(ds.get(), u"FilterOptions"), u"foCaseInsensitive");
    SetOrdProp(ds.get(), u"Filtered", 0);
    EXPECT_EQ(ds->RecordCount(), 4);
    EXPECT_EQ(GetEnumProp(ds.get(), u"Active"), u"True");
    SetEnumProp(ds.get(), u"Active", u"False");
    EXPECT_FALSE(ds->Active());
}

TEST(DataSetPropertiesTest, OtherClientDataSetPropertiesByName) {
    auto ds = MakeCities();
    SetEnumProp(ds.get(), u"ReadOnly", u"True");
    EXPECT_FALSE(ds->CanModify());
    EXPECT_THROW(ds->Edit(), EDatabaseError);
    SetStrProp(ds.get(), u"CommandText", u"SELECT * FROM Cities");
    EXPECT_EQ(ds->CommandText(), u"SELECT * FROM Cities");
    SetStrProp(ds.get(), u"FileName", u"cities.cds");
    EXPECT_EQ(GetStrProp(ds.get(), u"FileName"), u"cities.cds");
    EXPECT_EQ(GetObjectProp(ds.get(), u"Connection"), nullptr);

    // What the registry's validations rely on: unknown names are not published, and a
    // read of one raises an error that names it.
    EXPECT_FALSE(IsPublishedProp(ds.get(), u"SQL"));
    try {
        GetStrProp(ds.get(), u"Sort");
        FAIL() << "no exception";
    } catch (const EPropertyError& e) {
        EXPECT_NE(e.Message().find(u"Sort"), String::npos);
    }
}

TEST(DataSetPropertiesTest, IndexDefinitionsArePublishedItemByItem) {
    auto ds = MakeCities();
    ds->AddIndex(u"Both", u"City;ID", {ixUnique, ixDescending}, u"", u"City", 1);
    TIndexDef* def = ds->IndexDefs()->Find(u"Both");
    EXPECT_EQ(GetStrProp(def, u"Fields"), u"City;ID");
    EXPECT_EQ(GetStrProp(def, u"CaseInsFields"), u"City");
    EXPECT_EQ(GetSetProp(def, u"Options"), u"ixUnique,ixDescending");
    EXPECT_EQ(GetOrdProp(def, u"GroupingLevel"), 1);
    SetSetProp(def, u"Options", u"[ixDescending]");
    EXPECT_EQ(def->Options(), TIndexOptions{ixDescending});
}

TEST(DataSetPropertiesTest, DataSourcePropertiesByName) {
    auto ds = MakeCities();
    TDataSource source(nullptr);
    SetObjectProp(&source, u"DataSet", ds.get());
    EXPECT_EQ(source.DataSet(), ds.get());
    EXPECT_EQ(GetObjectProp<TDataSet>(&source, u"DataSet"), ds.get());
    // A path steps into the data set.
    SetStrProp(&source, u"DataSet.IndexFieldNames", u"City");
    EXPECT_EQ(ds->IndexFieldNames(), u"City");
    EXPECT_EQ(source.State(), dsBrowse);
    SetEnumProp(&source, u"Enabled", u"False");
    EXPECT_EQ(source.State(), dsInactive);
    SetEnumProp(&source, u"AutoEdit", u"False");
    EXPECT_FALSE(source.AutoEdit());
    // Only data sets fit.
    TDataSource other(nullptr);
    EXPECT_THROW(SetObjectProp(&source, u"DataSet", &other), EPropertyError);
    EXPECT_EQ(source.DataSet(), ds.get());
}

TEST(DataSetPropertiesTest, ClassesAreKnownByName) {
    RegisterDBClasses();
    TClass cls = FindClass(u"TClientDataSet");
    EXPECT_TRUE(cls->InheritsFrom(ClassOf<TDataSet>()));
    std::unique_ptr<TComponent> made(cls->CreateComponent(nullptr));
    EXPECT_NE(dynamic_cast<TClientDataSet*>(made.get()), nullptr);
    EXPECT_NE(GetClass(u"TDataSource"), nullptr);
    // The registry's "*" patterns match ancestors by name.
    EXPECT_TRUE(ClassNameMatches(made.get(), u"*TDataSet"));
    EXPECT_TRUE(ClassNameMatches(made.get(), u"TClientDataSet"));
    EXPECT_FALSE(ClassNameMatches(made.get(), u"TDataSet"));
}

// A root that streams the components it owns.
class TModuleSample : public TComponent {
    MV_CLASS(TModuleSample, TComponent);
    using TComponent::TComponent;
    void GetChildren(const TGetChildProc& proc, TComponent* root) override {
        if (root != this) return;
        for (Integer i = 0; i < ComponentCount(); ++i)
            proc(Components(i));
    }
};

TEST(DataSetPropertiesTest, FormTextKeepsTheRecordsOfADataSetFilledInCode) {
    RegisterDBClasses();
    TModuleSample original(nullptr);
    auto* ds = MakeCities().release();
    original.InsertComponent(ds);
    ds->SetName(u"Cities");
    ds->SetIndexFieldNames(u"City");
    SetStrProp(ds, u"Filter", u"ID > 1");
    auto* source = new TDataSource(&original);
    source->SetName(u"Source");
    source->SetDataSet(ds);
    String text = ComponentToText(&original);
    EXPECT_NE(text.find(u"Data = {"), String::npos);

    TModuleSample module(nullptr);
    TextToComponent(text, &module);
    auto* read = dynamic_cast<TClientDataSet*>(module.FindComponent(u"Cities"));
    ASSERT_NE(read, nullptr);
    ASSERT_TRUE(read->Active());
    EXPECT_EQ(read->IndexFieldNames(), u"City");
    EXPECT_EQ(read->Filter(), u"ID > 1");
    EXPECT_EQ(Ids(*read), (Ints{3, 1, 2, 4}));
    EXPECT_EQ(dynamic_cast<TDataSource*>(module.FindComponent(u"Source"))->DataSet(), read);

    // Closed, there is nothing to keep.
    read->Close();
    EXPECT_EQ(ComponentToText(&module).find(u"Data = {"), String::npos);
}

} // namespace
} // namespace mv
