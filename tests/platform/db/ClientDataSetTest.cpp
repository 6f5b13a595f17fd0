// The in-memory client data set: records and editing, orders (IndexFieldNames, index
// definitions with descending and case-insensitive fields), filters together with orders,
// bookmarks, internal calculated fields, locate, clones and emptying.
#include "platform/db/ClientDataSet.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/DateUtils.h"
#include "support/DbTestKit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mv {
namespace {

// Fields ID, Name (string 20), Amount (float); rows given as (id, name or null, amount).
struct TRow {
    Integer Id;
    const Char* Name;
    double Amount;
};

std::unique_ptr<TClientDataSet> MakePeople(std::initializer_list<TRow> rows) {
    auto ds = std::make_unique<TClientDataSet>();
    ds->SetName(u"People");
    ds->FieldDefs()->Add(u"ID", ftInteger);
    ds->FieldDefs()->Add(u"Name", ftString, 20);
    ds->FieldDefs()->Add(u"Amount", ftFloat);
    ds->CreateDataSet();
    for (const TRow& row : rows)
        ds->AppendRecord({Variant(row.Id), row.Name ? Variant(row.Name) : Null(), Variant(row.Amount)});
    ds->First();
    return ds;
}

// The IDs in the current order and filter, walking from the first record; the cursor
// ends after the last.
std::vector<Integer> Ids(TDataSet& ds) {
    std::vector<Integer> ids;
    for (ds.First(); !ds.Eof(); ds.Next())
        ids.push_back(ds.FieldByName(u"ID")->AsInteger());
    return ids;
}

Integer CurrentId(TDataSet& ds) {
    return ds.FieldByName(u"ID")->AsInteger();
}

using test::DatabaseErrorOf;

using Ints = std::vector<Integer>;

TEST(ClientDataSet, RecordsAndEditing) {
    auto ds = MakePeople({{1, u"Ann", 10}, {2, u"Bob", 20}, {3, u"Cid", 30}});
    EXPECT_EQ(ds->RecordCount(), 3);
    EXPECT_EQ(Ids(*ds), (Ints{1, 2, 3}));

    // Edit and post; cancel reverts.
    ds->First();
    ds->Edit();
    ds->FieldByName(u"Name")->SetAsString(u"Anna");
    ds->Post();
    ds->Next();
    ds->Edit();
    ds->FieldByName(u"Amount")->SetAsFloat(99);
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName(u"Amount")->AsFloat(), 20);
    ds->First();
    EXPECT_EQ(ds->FieldByName(u"Name")->AsString(), u"Anna");

    // Insert goes in front of the current record in the default order; null values read null.
    ds->SetRecNo(2);
    ds->Insert();
    ds->FieldByName(u"ID")->SetAsInteger(9);
    ds->Post();
    EXPECT_EQ(CurrentId(*ds), 9);
    EXPECT_EQ(ds->RecNo(), 2);
    EXPECT_TRUE(ds->FieldByName(u"Name")->IsNull());
    EXPECT_EQ(Ids(*ds), (Ints{1, 9, 2, 3}));
    // Insert on the first record and in an empty window position at the end.
    ds->First();
    ds->InsertRecord({Variant(7), Variant(u"Ed"), Variant(1.5)});
    ds->Append();
    ds->FieldByName(u"ID")->SetAsInteger(8);
    ds->Post();
    EXPECT_EQ(Ids(*ds), (Ints{7, 1, 9, 2, 3, 8}));

    // Delete moves to the next record; RecordCount follows.
    ds->SetRecNo(3);
    ds->Delete();
    EXPECT_EQ(CurrentId(*ds), 2);
    EXPECT_EQ(ds->RecordCount(), 5);
    ds->Last();
    ds->Delete();
    EXPECT_EQ(CurrentId(*ds), 3);
    EXPECT_EQ(ds->RecNo(), 4);

    // Read-only refuses edits; open without data refuses to open.
    ds->SetReadOnly(true);
    EXPECT_EQ(DatabaseErrorOf([&] { ds->Edit(); }), u"People: " + DBConsts::SDataSetReadOnly);
    ds->SetReadOnly(false);
    TClientDataSet empty;
    EXPECT_EQ(DatabaseErrorOf([&] { empty.Open(); }), CDSConsts::SMissingDataPacket);
    EXPECT_EQ(DatabaseErrorOf([&] { empty.CreateDataSet(); }), CDSConsts::SNoFieldDefs);
}

TEST(ClientDataSet, RepeatedInsertsAtOnePlaceKeepTheDefaultOrder) {
    // Each insert halves the room between two neighbours, so this renumbers several times.
    auto ds = MakePeople({{1, u"A", 1}, {2, u"B", 2}});
    ds->SetIndexFieldNames(u"Amount");
    Ints expected{1};
    for (Integer id = 100; id < 140; ++id) {
        ds->SetIndexFieldNames(u"");
        ds->Locate(u"ID", 2, {});
        ds->InsertRecord({Variant(id), Variant(u"X"), Variant(2)});
        expected.push_back(id);
    }
    expected.push_back(2);
    EXPECT_EQ(Ids(*ds), expected);
    // Equal amounts (2) keep that order in an index built before and after.
    ds->SetIndexFieldNames(u"Amount");
    EXPECT_EQ(Ids(*ds), expected);
}

TEST(ClientDataSet, BlobsEditAndCancel) {
    TClientDataSet ds;
    ds.FieldDefs()->Add(u"ID", ftInteger);
    ds.FieldDefs()->Add(u"Notes", ftMemo);
    ds.FieldDefs()->Add(u"Picture", ftGraphic);
    ds.CreateDataSet();
    ds.AppendRecord({Variant(1), Variant(u"first note"), Null()});
    ds.AppendRecord({Variant(2), Null(), Null()});
    ds.First();
    EXPECT_EQ(ds.FieldByName(u"Notes")->AsString(), u"first note");
    ds.Edit();
    ds.FieldByName(u"Notes")->SetAsString(u"changed");
    static_cast<TBlobField*>(ds.FieldByName(u"Picture"))->SetAsBytes({0, 1, 2, 255});
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName(u"Notes")->AsString(), u"first note");
    EXPECT_TRUE(ds.FieldByName(u"Picture")->IsNull());
    ds.Edit();
    static_cast<TBlobField*>(ds.FieldByName(u"Picture"))->SetAsBytes({0, 1, 2, 255});
    ds.FieldByName(u"Notes")->Clear();
    ds.Post();
    ds.Last();
    ds.First();
    EXPECT_TRUE(ds.FieldByName(u"Notes")->IsNull());
    EXPECT_EQ(ds.FieldByName(u"Picture")->AsBytes(), (std::vector<Byte>{0, 1, 2, 255}));
    EXPECT_EQ(ds.FieldByName(u"Picture")->DisplayText(), u"(GRAPHIC)");
}

TEST(ClientDataSet, OrdersAreStableWithNullsFirstAndKeepTheCurrentRecord) {
    auto ds = MakePeople({{1, u"bob", 5},
                          {2, u"Ann", 7},
                          {3, nullptr, 5},
                          {4, u"ann", 5},
                          {5, u"Bob", 7},
                          {6, u"Ann", 1},
                          {7, nullptr, 2}});
    ds->SetIndexFieldNames(u"Name");
    // Code point order ('A' < 'a'), nulls first, equal keys in insertion order.
    EXPECT_EQ(Ids(*ds), (Ints{3, 7, 2, 6, 5, 4, 1}));
    ds->SetIndexFieldNames(u"Amount;Name");
    EXPECT_EQ(Ids(*ds), (Ints{6, 7, 3, 4, 1, 2, 5}));

    // Mixed directions and case-insensitivity through an index definition.
    ds->AddIndex(u"ByAmountDescName", u"Amount;Name", {}, u"Amount", u"Name");
    ds->SetIndexName(u"ByAmountDescName");
    EXPECT_EQ(ds->IndexFieldNames(), u"");
    // Amount 7: Ann(2) Bob(5); 5: null(3) ann(4) bob(1); 2; 1.
    EXPECT_EQ(Ids(*ds), (Ints{2, 5, 3, 4, 1, 7, 6}));
    // The whole index descending: nulls come last.
    ds->AddIndex(u"NameDesc", u"Name", {ixDescending, ixCaseInsensitive});
    ds->SetIndexName(u"NameDesc");
    EXPECT_EQ(Ids(*ds), (Ints{1, 5, 2, 4, 6, 3, 7}));
    EXPECT_EQ(DatabaseErrorOf([&] { ds->SetIndexName(u"Nope"); }), u"People: Index 'Nope' not found");
    EXPECT_EQ(ds->IndexName(), u"NameDesc");
    EXPECT_EQ(DatabaseErrorOf([&] { ds->SetIndexFieldNames(u"Name;Missing"); }),
              u"People: " + Format(DBConsts::SFieldNotFound, {u"Missing"}));
    EXPECT_EQ(DatabaseErrorOf([&] { ds->AddIndex(u"namedesc", u"ID", {}); }),
              u"People: Duplicate index name 'namedesc'");

    // Changing the order keeps the current record current, in its row of the window.
    TDataSource source(nullptr);
    source.SetDataSet(ds.get());
    ds->Locate(u"ID", 4, {});
    TBookmark mark = ds->GetBookmark();
    ds->SetIndexFieldNames(u"ID");
    EXPECT_EQ(CurrentId(*ds), 4);
    EXPECT_EQ(ds->RecNo(), 4);
    ds->SetIndexFieldNames(u"Amount");
    EXPECT_EQ(CurrentId(*ds), 4);
    EXPECT_EQ(ds->RecNo(), 5); // amounts 1, 2, then 5 for IDs 1, 3, 4 in insertion order
    EXPECT_EQ(ds->CompareBookmarks(mark, ds->GetBookmark()), 0);

    // Posting a changed key moves the record to its place in the order.
    ds->Edit();
    ds->FieldByName(u"Amount")->SetAsFloat(0);
    ds->Post();
    EXPECT_EQ(CurrentId(*ds), 4);
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_EQ(Ids(*ds), (Ints{4, 6, 7, 1, 3, 2, 5}));

    // Deleting the current index returns to the default order.
    ds->SetIndexName(u"NameDesc");
    ds->DeleteIndex(u"NameDesc");
    EXPECT_EQ(ds->IndexName(), u"");
    EXPECT_EQ(Ids(*ds), (Ints{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(DatabaseErrorOf([&] { ds->DeleteIndex(u"NameDesc"); }), u"People: Index 'NameDesc' not found");
    std::vector<String> names;
    ds->GetIndexNames(names);
    EXPECT_EQ(names, (std::vector<String>{u"ByAmountDescName"}));
}

TEST(ClientDataSet, BuiltAndMaintainedOrdersAgree) {
    // Building sorts by a 64-bit key prefix first; posts insert by full comparison. Both
    // must give one order, or later searches miss records.
    auto ds = MakePeople({{1, u"abcdefgh2", 0.0},
                          {2, u"abcdefgh1", -0.0},
                          {3, u"abcdefgh", -1.5},
                          {4, u"abcdefgh1", 1e300},
                          {5, u"", -1e-300},
                          {6, nullptr, 0.0}});
    ds->SetIndexFieldNames(u"Name");
    EXPECT_EQ(Ids(*ds), (Ints{6, 5, 3, 2, 4, 1}));
    ds->AddIndex(u"AmountDesc", u"Amount", {ixDescending});
    ds->SetIndexName(u"AmountDesc");
    EXPECT_EQ(Ids(*ds), (Ints{4, 1, 2, 6, 5, 3}));
    // Re-post every record unchanged and one changed: each is found and put back in place.
    for (Integer id = 1; id <= 6; ++id) {
        ASSERT_TRUE(ds->Locate(u"ID", id, {}));
        ds->Edit();
        ds->FieldByName(u"Amount")->SetAsFloat(id == 3 ? 0.0 : ds->FieldByName(u"Amount")->AsFloat());
        ds->Post();
    }
    EXPECT_EQ(Ids(*ds), (Ints{4, 1, 2, 3, 6, 5}));
    ds->SetIndexFieldNames(u"Name");
    ds->AppendRecord({Variant(7), Variant(u"abcdefgh1"), Variant(2.0)});
    EXPECT_EQ(Ids(*ds), (Ints{6, 5, 3, 2, 4, 7, 1}));
}

TEST(ClientDataSet, UniqueIndexRejectsDuplicates) {
    auto ds = MakePeople({{1, u"A", 1}, {2, u"B", 2}});
    ds->AddIndex(u"PK", u"ID", {ixPrimary});
    ds->SetIndexName(u"PK");
    EXPECT_EQ(DatabaseErrorOf([&] {
                  ds->AppendRecord({Variant(2), Variant(u"C"), Variant(3)});
              }),
              CDSConsts::SKeyViolation);
    EXPECT_EQ(ds->RecordCount(), 2);
    ds->First();
    ds->Edit();
    ds->FieldByName(u"ID")->SetAsInteger(2);
    EXPECT_EQ(DatabaseErrorOf([&] { ds->Post(); }), CDSConsts::SKeyViolation);
    ds->Cancel();
    EXPECT_EQ(Ids(*ds), (Ints{1, 2}));
    // Building a unique index over duplicates fails and keeps the order.
    ds->AppendRecord({Variant(3), Variant(u"A"), Variant(3)});
    ds->AddIndex(u"UName", u"Name", {ixUnique});
    EXPECT_EQ(DatabaseErrorOf([&] { ds->SetIndexName(u"UName"); }), CDSConsts::SKeyViolation);
    EXPECT_EQ(ds->IndexName(), u"PK");
}

TEST(ClientDataSet, FiltersWithAnOrderCountAndNumberRecords) {
    auto ds =
        MakePeople({{1, u"Ann", 10}, {2, u"Bob", 20}, {3, u"Cid", 5}, {4, u"Dan", 30}, {5, u"Eve", 15}});
    ds->SetIndexFieldNames(u"Amount");
    ds->SetFilter(u"Amount >= 10 AND Name <> 'Dan'");
    EXPECT_EQ(ds->RecordCount(), 5); // not filtered yet
    ds->SetFiltered(true);
    EXPECT_EQ(ds->RecordCount(), 3);
    EXPECT_EQ(Ids(*ds), (Ints{1, 5, 2}));
    ds->Locate(u"ID", 5, {});
    EXPECT_EQ(ds->RecNo(), 2);
    ds->SetRecNo(3);
    EXPECT_EQ(CurrentId(*ds), 2);

    // An edit that leaves the filter hides the record; one that enters it shows it.
    ds->Edit();
    ds->FieldByName(u"Amount")->SetAsFloat(1);
    ds->Post();
    EXPECT_EQ(ds->RecordCount(), 2);
    EXPECT_EQ(Ids(*ds), (Ints{1, 5}));
    ds->AppendRecord({Variant(6), Variant(u"Fay"), Variant(12)});
    ds->AppendRecord({Variant(7), Variant(u"Gus"), Variant(2)});
    EXPECT_EQ(Ids(*ds), (Ints{1, 6, 5}));

    // Options, the record handler and bad expressions.
    ds->SetFilter(u"Name = 'eve'");
    EXPECT_EQ(Ids(*ds), Ints{});
    ds->SetFilterOptions({foCaseInsensitive});
    EXPECT_EQ(Ids(*ds), Ints{5});
    String before = ds->Filter();
    EXPECT_NE(DatabaseErrorOf([&] { ds->SetFilter(u"Name = "); }), u"");
    EXPECT_EQ(ds->Filter(), before);
    EXPECT_EQ(Ids(*ds), Ints{5});
    ds->SetFilter(u"");
    ds->OnFilterRecord = [](TDataSet* d, bool& accept) {
        accept = d->FieldByName(u"ID")->AsInteger() % 2 == 1;
    };
    ds->Refresh();
    EXPECT_EQ(Ids(*ds), (Ints{7, 3, 1, 5})); // by Amount: 2, 5, 10, 15
    ds->SetFiltered(false);
    EXPECT_EQ(ds->RecordCount(), 7);

    // The grid writes numbers for this family with the locale's decimal separator.
    ds->OnFilterRecord = nullptr;
    TFormatSettings settings = FormatSettings();
    settings.DecimalSeparator = u',';
    TFormatSettingsScope scope(settings);
    ds->SetFilter(u"Amount > 14,5 AND [Name] <> '1,5'");
    ds->SetFiltered(true);
    EXPECT_EQ(Ids(*ds), (Ints{5, 4}));
}

TEST(ClientDataSet, BookmarksSurviveSortingFilteringAndDeletes) {
    auto ds = MakePeople({{1, u"Ann", 10}, {2, u"Bob", 20}, {3, u"Cid", 5}, {4, u"Dan", 30}});
    ds->Locate(u"ID", 3, {});
    TBookmark cid = ds->GetBookmark();
    ds->Locate(u"ID", 2, {});
    TBookmark bob = ds->GetBookmark();
    ds->SetIndexFieldNames(u"Amount");
    ds->GotoBookmark(cid);
    EXPECT_EQ(CurrentId(*ds), 3);
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_LT(ds->CompareBookmarks(cid, bob), 0);
    ds->SetIndexFieldNames(u"Name");
    EXPECT_GT(ds->CompareBookmarks(cid, bob), 0);

    // Filtered out: still valid, but not reachable.
    ds->SetFilter(u"Amount > 6");
    ds->SetFiltered(true);
    EXPECT_TRUE(ds->BookmarkValid(cid));
    EXPECT_EQ(DatabaseErrorOf([&] { ds->GotoBookmark(cid); }), u"People: " + DBConsts::SRecordNotFound);
    ds->GotoBookmark(bob);
    EXPECT_EQ(CurrentId(*ds), 2);
    ds->SetFiltered(false);
    ds->GotoBookmark(cid);
    EXPECT_EQ(CurrentId(*ds), 3);

    // Deleting other records keeps the bookmark; deleting its record invalidates it.
    ds->Locate(u"ID", 1, {});
    ds->Delete();
    ds->Locate(u"ID", 4, {});
    ds->Delete();
    EXPECT_TRUE(ds->BookmarkValid(bob));
    ds->GotoBookmark(bob);
    EXPECT_EQ(CurrentId(*ds), 2);
    ds->Delete();
    EXPECT_FALSE(ds->BookmarkValid(bob));
    EXPECT_EQ(DatabaseErrorOf([&] { ds->GotoBookmark(bob); }), u"People: " + DBConsts::SRecordNotFound);
    EXPECT_FALSE(ds->BookmarkValid(TBookmark{1, 2, 3}));
    // New records never take a deleted record's bookmark.
    ds->AppendRecord({Variant(5), Variant(u"Eve"), Variant(1)});
    EXPECT_FALSE(ds->BookmarkValid(bob));
    EXPECT_EQ(Ids(*ds), (Ints{3, 5}));
}

TEST(ClientDataSet, InternalCalculatedFieldsAreStoredEditedAndIndexed) {
    TClientDataSet ds;
    ds.FieldDefs()->Add(u"ID", ftInteger);
    ds.FieldDefs()->Add(u"Qty", ftInteger);
    TFieldDef* level = ds.FieldDefs()->Add(u"Level", ftInteger);
    level->SetInternalCalcField(true);
    Integer internalRuns = 0;
    ds.OnCalcFields = [&](TDataSet* d) {
        if (d->State() != dsInternalCalc) return;
        ++internalRuns;
        if (d->FieldByName(u"Level")->IsNull())
            d->FieldByName(u"Level")->SetAsInteger(d->FieldByName(u"Qty")->AsInteger() * 10);
    };
    ds.CreateDataSet();
    EXPECT_EQ(ds.FieldByName(u"Level")->FieldKind(), fkInternalCalc);
    ds.AppendRecord({Variant(1), Variant(3)});
    ds.AppendRecord({Variant(2), Variant(1)});
    ds.AppendRecord({Variant(3), Variant(2)});
    EXPECT_EQ(internalRuns, 3);
    ds.SetIndexFieldNames(u"Level");
    EXPECT_EQ(Ids(ds), (Ints{2, 3, 1}));
    // Written directly with Edit/Post; the index follows.
    ds.Locate(u"ID", 2, {});
    ds.Edit();
    ds.FieldByName(u"Level")->SetAsInteger(100);
    ds.Post();
    EXPECT_EQ(ds.FieldByName(u"Level")->AsInteger(), 100);
    EXPECT_EQ(Ids(ds), (Ints{3, 1, 2}));
    // Descending through an index definition, as the tree view sorts.
    ds.AddIndex(u"LevelDesc", u"Level", {}, u"Level");
    ds.SetIndexName(u"LevelDesc");
    EXPECT_EQ(Ids(ds), (Ints{2, 1, 3}));
    // Filters see them too.
    ds.SetFilter(u"Level < 50");
    ds.SetFiltered(true);
    EXPECT_EQ(Ids(ds), (Ints{1, 3}));
}

TEST(ClientDataSet, LocateAndLookupWithAndWithoutIndexes) {
    auto ds = MakePeople({{1, u"Ann", 10}, {2, u"Bob", 20}, {3, u"ann", 5}, {4, u"Dan", 30}});
    // No index: a walk.
    EXPECT_TRUE(ds->Locate(u"Name", u"ann", {}));
    EXPECT_EQ(CurrentId(*ds), 3);
    EXPECT_TRUE(ds->Locate(u"Name", u"ANN", {loCaseInsensitive}));
    EXPECT_EQ(CurrentId(*ds), 1);
    // Through the current order and through an index definition.
    ds->SetIndexFieldNames(u"Name;Amount");
    EXPECT_TRUE(ds->Locate(u"Name", u"ann", {}));
    EXPECT_EQ(CurrentId(*ds), 3);
    EXPECT_TRUE(ds->Locate(u"Name;Amount", VarArrayOf({u"Ann", 10}), {}));
    EXPECT_EQ(CurrentId(*ds), 1);
    EXPECT_FALSE(ds->Locate(u"Name;Amount", VarArrayOf({u"Ann", 11}), {}));
    EXPECT_EQ(CurrentId(*ds), 1);
    ds->AddIndex(u"ById", u"ID", {});
    EXPECT_TRUE(ds->Locate(u"ID", 4, {}));
    EXPECT_EQ(ds->FieldByName(u"Name")->AsString(), u"Dan");
    EXPECT_FALSE(ds->Locate(u"ID", u"not a number", {}));
    EXPECT_EQ(ds->Lookup(u"ID", 2, u"Name").AsString(), u"Bob");
    EXPECT_TRUE(VarIsNull(ds->Lookup(u"ID", 42, u"Name")));
    EXPECT_EQ(CurrentId(*ds), 4); // Lookup does not move
    // A filtered-out record is not found through an index over all records.
    ds->SetFilter(u"Amount > 15");
    ds->SetFiltered(true);
    EXPECT_FALSE(ds->Locate(u"ID", 1, {}));
    EXPECT_TRUE(ds->Locate(u"ID", 2, {}));
    EXPECT_TRUE(ds->Locate(u"Name", u"Da", {loPartialKey}));
    EXPECT_EQ(CurrentId(*ds), 4);
}

TEST(ClientDataSet, ClonesShareRecordsWithOwnPositionOrderAndFilter) {
    auto ds = MakePeople({{1, u"Cid", 10}, {2, u"Ann", 20}, {3, u"Bob", 5}});
    ds->SetIndexFieldNames(u"Name");
    ds->Locate(u"ID", 3, {});
    TClientDataSet clone;
    clone.CloneCursor(ds.get(), false);
    EXPECT_EQ(clone.IndexFieldNames(), u"Name");
    EXPECT_EQ(CurrentId(clone), 2);
    clone.Last();
    EXPECT_EQ(CurrentId(clone), 1);
    EXPECT_EQ(CurrentId(*ds), 3); // positions are independent
    clone.SetIndexFieldNames(u"Amount");
    EXPECT_EQ(Ids(clone), (Ints{3, 1, 2}));
    EXPECT_EQ(ds->IndexFieldNames(), u"Name");

    // Changes through one cursor reach the other.
    ds->AppendRecord({Variant(4), Variant(u"Abe"), Variant(1)});
    EXPECT_EQ(Ids(clone), (Ints{4, 3, 1, 2}));
    clone.Locate(u"ID", 2, {});
    clone.Edit();
    clone.FieldByName(u"Name")->SetAsString(u"Zed");
    clone.Post();
    EXPECT_EQ(Ids(*ds), (Ints{4, 3, 1, 2}));
    clone.SetFilter(u"Amount > 5");
    clone.SetFiltered(true);
    EXPECT_EQ(clone.RecordCount(), 2);
    EXPECT_EQ(ds->RecordCount(), 4);
    ds->Locate(u"ID", 1, {});
    ds->Delete();
    EXPECT_EQ(Ids(clone), (Ints{2}));

    // An edit starts from the record as stored, not as this cursor last read it: posting
    // it does not undo what another cursor changed meanwhile.
    {
        TClientDataSet other;
        other.CloneCursor(ds.get(), true);
        ds->Locate(u"ID", 3, {});
        other.Locate(u"ID", 3, {});
        other.Edit();
        other.FieldByName(u"Name")->SetAsString(u"Bo");
        other.Post();
        ds->Edit();
        EXPECT_EQ(ds->FieldByName(u"Name")->AsString(), u"Bo");
        ds->FieldByName(u"Amount")->SetAsInteger(4);
        ds->Post();
        other.Locate(u"ID", 3, {});
        EXPECT_EQ(other.FieldByName(u"Name")->AsString(), u"Bo");
        EXPECT_EQ(other.FieldByName(u"Amount")->AsInteger(), 4);
    }

    // A reset clone starts plain; the records outlive the source.
    TClientDataSet plain;
    plain.CloneCursor(&clone, true);
    EXPECT_FALSE(plain.Filtered());
    EXPECT_EQ(Ids(plain), (Ints{2, 3, 4}));
    ds.reset();
    EXPECT_EQ(plain.RecordCount(), 3);

    // EmptyDataSet empties every cursor; old bookmarks die.
    plain.First();
    TBookmark mark = plain.GetBookmark();
    clone.EmptyDataSet();
    EXPECT_EQ(clone.RecordCount(), 0);
    EXPECT_EQ(plain.RecordCount(), 0);
    EXPECT_TRUE(plain.IsEmpty());
    EXPECT_FALSE(plain.BookmarkValid(mark));
    plain.AppendRecord({Variant(8), Variant(u"New"), Variant(50)});
    EXPECT_FALSE(plain.BookmarkValid(mark));
    EXPECT_EQ(Ids(clone), (Ints{8}));
    TClientDataSet closed;
    EXPECT_EQ(DatabaseErrorOf([&] { plain.CloneCursor(&closed, true); }), DBConsts::SDataSetClosed);
}

} // namespace
} // namespace mv

namespace mv {
namespace {

class TForwardOnlyClientDataSet : public TClientDataSet {
public:
    TForwardOnlyClientDataSet() : TClientDataSet(nullptr) {}
    void MakeForwardOnly() { SetUniDirectional(true); }
};

// A forward-only client data set walks its records once and closes cleanly, also when it
// was made forward-only before its records existed.
TEST(ClientDataSet, ForwardOnlyWalksAndCloses) {
    TForwardOnlyClientDataSet ds;
    ds.MakeForwardOnly();
    ds.FieldDefs()->Add(u"ID", ftInteger);
    ds.FieldDefs()->Add(u"Notes", ftMemo);
    ds.CreateDataSet();
    for (Integer id = 1; id <= 3; ++id)
        ds.AppendRecord({Variant(id), Variant(u"note")});
    ds.First();
    Integer sum = 0;
    while (!ds.Eof()) {
        sum += ds.FieldByName(u"ID")->AsInteger();
        ds.Next();
    }
    EXPECT_EQ(sum, 6);
    ds.Close();
    EXPECT_FALSE(ds.Active());
}

// An open that fails after the cursor opened (here in AfterOpen) leaves the data set
// closed with its error, and it can be created again.
TEST(ClientDataSet, FailedOpenLeavesItClosedAndReusable) {
    TClientDataSet ds;
    ds.FieldDefs()->Add(u"ID", ftInteger);
    ds.FieldDefs()->Add(u"Notes", ftMemo);
    bool refuse = true;
    ds.AfterOpen = [&](TDataSet*) {
        if (refuse) DatabaseError(u"refused by AfterOpen");
    };
    EXPECT_THROW(ds.CreateDataSet(), EDatabaseError);
    EXPECT_FALSE(ds.Active());
    refuse = false;
    ds.CreateDataSet();
    ds.AppendRecord({Variant(1), Variant(u"kept")});
    EXPECT_EQ(ds.RecordCount(), 1);
}

} // namespace
} // namespace mv
