// The client data set's change log: what ChangeCount counts, MergeChangeLog, and
// CancelUpdates returning inserted, modified and deleted records (blobs, places in the
// default order, unique keys, clones) to their original state.
#include "platform/db/ClientDataSet.h"

#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Streams.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

using Ints = std::vector<Integer>;

// ID, Name, Photo (blob); rows 1..count named "n<i>" with a one-byte photo <i>. The rows
// are the original state (merged).
std::unique_ptr<TClientDataSet> MakeOriginals(Integer count) {
    auto ds = std::make_unique<TClientDataSet>();
    ds->FieldDefs()->Add(u"ID", ftInteger);
    ds->FieldDefs()->Add(u"Name", ftString, 10);
    ds->FieldDefs()->Add(u"Photo", ftBlob);
    ds->CreateDataSet();
    for (Integer i = 1; i <= count; ++i) {
        ds->Append();
        ds->FieldByName(u"ID")->SetAsInteger(i);
        ds->FieldByName(u"Name")->SetAsString(u"n" + IntToStr(i));
        ds->FieldByName(u"Photo")->SetAsBytes({static_cast<Byte>(i)});
        ds->Post();
    }
    ds->MergeChangeLog();
    ds->First();
    return ds;
}

Ints Ids(TDataSet& ds) {
    Ints ids;
    for (ds.First(); !ds.Eof(); ds.Next())
        ids.push_back(ds.FieldByName(u"ID")->AsInteger());
    return ids;
}

void Go(TClientDataSet& ds, Integer id) {
    ASSERT_TRUE(ds.Locate(u"ID", id, {})) << id;
}

TEST(ClientDataSetChangeLogTest, ChangeCountCountsChangedRecords) {
    TClientDataSet fresh;
    fresh.FieldDefs()->Add(u"ID", ftInteger);
    fresh.CreateDataSet();
    fresh.AppendRecord({1});
    fresh.AppendRecord({2});
    EXPECT_EQ(fresh.ChangeCount(), 2) << "a new data set's records are all inserted";

    auto ds = MakeOriginals(4);
    EXPECT_EQ(ds->ChangeCount(), 0);
    Go(*ds, 2);
    ds->Edit();
    ds->FieldByName(u"Name")->SetAsString(u"x");
    ds->Post();
    ds->Edit();
    ds->FieldByName(u"Name")->SetAsString(u"y");
    ds->Post();
    EXPECT_EQ(ds->ChangeCount(), 1) << "one record modified twice";
    Go(*ds, 3);
    ds->Delete();
    EXPECT_EQ(ds->ChangeCount(), 2);
    ds->AppendRecord({9, u"new"});
    EXPECT_EQ(ds->ChangeCount(), 3);
    ds->Delete(); // the inserted record again
    EXPECT_EQ(ds->ChangeCount(), 2);
    ds->MergeChangeLog();
    EXPECT_EQ(ds->ChangeCount(), 0);
    ds->CancelUpdates();
    EXPECT_EQ(Ids(*ds), (Ints{1, 2, 4})) << "nothing to cancel after a merge";
    ds->Close();
    EXPECT_EQ(ds->ChangeCount(), 0);
    EXPECT_THROW(ds->CancelUpdates(), EDatabaseError);
}

TEST(ClientDataSetChangeLogTest, CancelUpdatesRestoresValuesBlobsAndPlaces) {
    auto ds = MakeOriginals(5);
    ds->SetIndexFieldNames(u"Name");
    Go(*ds, 2);
    ds->Edit();
    ds->FieldByName(u"Name")->SetAsString(u"a");
    ds->FieldByName(u"Photo")->Clear();
    ds->Post();
    Go(*ds, 4);
    ds->Edit();
    ds->FieldByName(u"Photo")->SetAsBytes({0xAA, 0xBB});
    ds->Post();
    TBookmark four = ds->GetBookmark();
    ds->Delete();
    Go(*ds, 1);
    ds->Delete();
    ds->InsertRecord({7, u"z"});
    TBookmark seven = ds->GetBookmark();
    EXPECT_EQ(Ids(*ds), (Ints{2, 3, 5, 7}));
    EXPECT_FALSE(ds->BookmarkValid(four));

    ds->CancelUpdates();
    // A returned record is the same record; the inserted one is gone.
    EXPECT_TRUE(ds->BookmarkValid(four));
    EXPECT_FALSE(ds->BookmarkValid(seven));
    ds->GotoBookmark(four);
    EXPECT_EQ(ds->FieldByName(u"ID")->AsInteger(), 4);
    EXPECT_EQ(ds->ChangeCount(), 0);
    EXPECT_EQ(Ids(*ds), (Ints{1, 2, 3, 4, 5})) << "sorted by Name again";
    ds->SetIndexFieldNames(u"");
    EXPECT_EQ(Ids(*ds), (Ints{1, 2, 3, 4, 5})) << "and in their old places";
    for (Integer id = 1; id <= 5; ++id) {
        Go(*ds, id);
        EXPECT_EQ(ds->FieldByName(u"Name")->AsString(), u"n" + IntToStr(id));
        EXPECT_EQ(ds->FieldByName(u"Photo")->AsBytes(), std::vector<Byte>{static_cast<Byte>(id)});
    }
}

TEST(ClientDataSetChangeLogTest, DeletedNeighboursReturnInOrder) {
    for (bool laterFirst : {false, true}) {
        auto ds = MakeOriginals(4);
        // Either 2 then its successor 3, or 3 then 2 (whose successor is then 4).
        for (Integer id : laterFirst ? Ints{3, 2} : Ints{2, 3}) {
            Go(*ds, id);
            ds->Delete();
        }
        Go(*ds, 4);
        ds->Delete();
        EXPECT_EQ(Ids(*ds), (Ints{1}));
        ds->CancelUpdates();
        EXPECT_EQ(Ids(*ds), (Ints{1, 2, 3, 4})) << laterFirst;
    }
}

TEST(ClientDataSetChangeLogTest, SwappedUniqueKeysAndClones) {
    auto ds = MakeOriginals(3);
    ds->AddIndex(u"ById", u"ID", {ixUnique});
    ds->SetIndexName(u"ById");
    TClientDataSet clone;
    clone.CloneCursor(ds.get(), true);
    Go(*ds, 1);
    ds->Edit();
    ds->FieldByName(u"ID")->SetAsInteger(9);
    ds->Post();
    Go(*ds, 2);
    ds->Edit();
    ds->FieldByName(u"ID")->SetAsInteger(1);
    ds->Post();
    EXPECT_EQ(clone.ChangeCount(), 2) << "clones share the log";
    clone.Edit();
    clone.FieldByName(u"Name")->SetAsString(u"pending");

    ds->CancelUpdates();
    EXPECT_EQ(clone.State(), dsBrowse) << "the clone's edit was cancelled";
    EXPECT_EQ(Ids(*ds), (Ints{1, 2, 3}));
    EXPECT_EQ(Ids(clone), (Ints{1, 2, 3}));
    Go(*ds, 1);
    EXPECT_EQ(ds->FieldByName(u"Name")->AsString(), u"n1");
    // The unique index still guards after the cancel.
    Go(*ds, 2);
    ds->Edit();
    ds->FieldByName(u"ID")->SetAsInteger(3);
    EXPECT_THROW(ds->Post(), EDatabaseError);
    ds->Cancel();
}

TEST(ClientDataSetChangeLogTest, LoadedRecordsAreOriginals) {
    auto ds = MakeOriginals(2);
    ds->AppendRecord({3, u"n3"});
    TMemoryStream stream;
    ds->SaveToStream(stream);
    stream.SetPosition(0);
    TClientDataSet loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.ChangeCount(), 0);
    Go(loaded, 3);
    loaded.Delete();
    loaded.CancelUpdates();
    EXPECT_EQ(Ids(loaded), (Ints{1, 2, 3}));
}

} // namespace
} // namespace mv
