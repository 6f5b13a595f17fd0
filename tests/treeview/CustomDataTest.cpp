// The custom data set: what it asks of its owner when opening, moving, reading and
// editing, its bookmarks and record numbers, and its native buffer conversions.
#include "treeview/MvDBCustData.h"

#include "platform/db/DBConsts.h"
#include "treeview/CustomDataTestKit.h"

#include <gtest/gtest.h>

#include <cstring>

namespace mv::test {
namespace {

Integer CurrentId(TDataSet& dataSet) {
    return dataSet.FieldByName(u"ID")->AsInteger();
}

TEST(CustomData, EmptyOwnerAndCountTakenOnceAtOpen) {
    auto dataSet = MakeOwnerData(0);
    dataSet->Open();
    EXPECT_EQ(dataSet->CountCalls, 1);
    dataSet->First();
    EXPECT_TRUE(dataSet->IsEmpty());
    EXPECT_TRUE(dataSet->Bof());
    EXPECT_TRUE(dataSet->Eof());
    EXPECT_EQ(dataSet->RecNo(), -1);
    EXPECT_EQ(dataSet->RecordCount(), 0);
    EXPECT_FALSE(dataSet->Locate(u"ID", 0, {}));
    EXPECT_TRUE(VarIsNull(dataSet->Lookup(u"ID", 0, u"Name")));
    EXPECT_TRUE(dataSet->GetBookmark().empty());
    EXPECT_TRUE(dataSet->FieldByName(u"ID")->IsNull());
    EXPECT_EQ(dataSet->TotalGetCalls(), 0);
    EXPECT_EQ(dataSet->CountCalls, 1);

    // The count changes only through the data set, or while closed.
    dataSet->Rows.push_back({Variant(7), Variant(u"Late"), Variant(u"L")});
    dataSet->First();
    EXPECT_TRUE(dataSet->IsEmpty());
    EXPECT_EQ(ErrorOf([&] { dataSet->SetRecordCount(3); }), DBConsts::SDataSetOpen);
    dataSet->Close();
    dataSet->SetRecordCount(-4);
    EXPECT_EQ(dataSet->RecordCount(), 0);
    dataSet->Open();
    EXPECT_EQ(dataSet->CountCalls, 2);
    EXPECT_EQ(dataSet->RecordCount(), 1);
    EXPECT_EQ(CurrentId(*dataSet), 7);
    dataSet->Close();
    EXPECT_EQ(dataSet->RecordCount(), 0);
    EXPECT_EQ(ErrorOf([&] { dataSet->RecNo(); }), DBConsts::SDataSetClosed);
}

TEST(CustomData, ValuesAskedOncePerFetchedRecord) {
    auto dataSet = MakeOwnerData(20);
    dataSet->Open();
    // Opening fills the window without asking for a value.
    EXPECT_EQ(dataSet->TotalGetCalls(), 0);
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"Name0");
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"Name0");
    EXPECT_FALSE(dataSet->FieldByName(u"Name")->IsNull());
    EXPECT_EQ(dataSet->GetCalls[0], 1);
    EXPECT_EQ(CurrentId(*dataSet), 0);
    EXPECT_EQ(dataSet->GetCalls[0], 2); // one per field
    dataSet->Next();
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"Name1");
    EXPECT_EQ(dataSet->GetCalls[1], 1);
    dataSet->Prior();
    // The window was one record deep: coming back refetches, and asks anew.
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"Name0");
    EXPECT_EQ(dataSet->GetCalls[0], 3);

    // A null answer is fetched once too, and reads as null.
    dataSet->Rows[2][1] = Null();
    dataSet->MoveBy(2);
    EXPECT_TRUE(dataSet->FieldByName(u"Name")->IsNull());
    EXPECT_TRUE(dataSet->FieldByName(u"Name")->IsNull());
    EXPECT_EQ(dataSet->GetCalls[2], 1);

    // Through a data source and a link with a window of 5 rows: rows kept in the window
    // keep their values while it scrolls; only the record that enters is asked for.
    TDataSource source(nullptr);
    source.SetDataSet(dataSet.get());
    TReadingLink link;
    link.SetBufferCount(5);
    link.SetDataSource(&source);
    dataSet->First();
    dataSet->GetCalls.clear();
    link.Reads = 0;
    dataSet->MoveBy(4);
    EXPECT_EQ(link.ShownIds, (std::vector<Integer>{0, 1, 2, 3, 4}));
    dataSet->GetCalls.clear();
    dataSet->Next();
    EXPECT_EQ(link.ShownIds, (std::vector<Integer>{1, 2, 3, 4, 5}));
    EXPECT_EQ(dataSet->GetCalls, (std::map<Integer, Integer>{{5, 3}}));
}

TEST(CustomData, InsertAppendAndDeletePassRecordIndexes) {
    auto dataSet = MakeOwnerData(0);
    TDataSource source(nullptr);
    source.SetDataSet(dataSet.get());
    TReadingLink link;
    link.SetBufferCount(4);
    link.SetDataSource(&source);
    dataSet->Open();

    // Into the empty set: index 0.
    dataSet->Insert();
    EXPECT_TRUE(dataSet->FieldByName(u"ID")->IsNull()); // a new record is null, not unfetched
    dataSet->FieldByName(u"ID")->SetAsInteger(100);
    dataSet->Post();
    EXPECT_EQ(dataSet->Log, (std::vector<std::string>{"insert 0", "set 0 ID=100"}));
    EXPECT_EQ(dataSet->RecordCount(), 1);
    EXPECT_EQ(CurrentId(*dataSet), 100);

    // Appending: the record count.
    dataSet->Log.clear();
    for (Integer id = 101; id <= 107; ++id) {
        dataSet->Append();
        dataSet->FieldByName(u"ID")->SetAsInteger(id);
        dataSet->Post();
    }
    EXPECT_EQ(dataSet->Log.front(), "insert 1");
    EXPECT_EQ(dataSet->Log.back(), "set 7 ID=107");
    EXPECT_EQ(dataSet->RecordCount(), 8);
    EXPECT_EQ(CurrentId(*dataSet), 107);
    EXPECT_EQ(dataSet->RecNo(), 8);

    // Inserting while on record index 5: 5, in front of it, in its row of the window.
    dataSet->First();
    dataSet->MoveBy(5);
    EXPECT_EQ(CurrentId(*dataSet), 105);
    Integer row = link.ActiveRecord();
    dataSet->Log.clear();
    dataSet->Insert();
    dataSet->FieldByName(u"Name")->SetAsString(u"New");
    dataSet->Post();
    EXPECT_EQ(dataSet->Log, (std::vector<std::string>{"insert 5", "set 5 Name=New"}));
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"New");
    EXPECT_EQ(dataSet->RecNo(), 6);
    EXPECT_EQ(link.ActiveRecord(), row);
    dataSet->Next();
    EXPECT_EQ(CurrentId(*dataSet), 105);
    EXPECT_EQ(dataSet->RecordCount(), 9);

    // InsertRecord and AppendRecord place the record the same way.
    dataSet->First();
    dataSet->Next();
    dataSet->Log.clear();
    dataSet->InsertRecord({Variant(200)});
    dataSet->AppendRecord({Variant(300)});
    EXPECT_EQ(dataSet->Log,
              (std::vector<std::string>{"insert 1", "set 1 ID=200", "insert 10", "set 10 ID=300"}));
    EXPECT_EQ(dataSet->RecordCount(), 11);

    // Deleting: the current index, count down by one, the next record current.
    dataSet->First();
    dataSet->MoveBy(2);
    Integer next = dataSet->Rows[3][0].AsInteger();
    dataSet->Log.clear();
    dataSet->Delete();
    EXPECT_EQ(dataSet->Log, (std::vector<std::string>{"delete 2"}));
    EXPECT_EQ(dataSet->RecordCount(), 10);
    EXPECT_EQ(CurrentId(*dataSet), next);

    // A cancelled insert tells the owner nothing.
    dataSet->Log.clear();
    dataSet->Insert();
    dataSet->FieldByName(u"ID")->SetAsInteger(1);
    dataSet->Cancel();
    EXPECT_TRUE(dataSet->Log.empty());
    EXPECT_EQ(dataSet->RecordCount(), 10);
    EXPECT_EQ(CurrentId(*dataSet), next);
}

TEST(CustomData, PostingWritesOnlyTheFieldsWrittenInOrder) {
    auto dataSet = MakeOwnerData(3);
    dataSet->Open();
    dataSet->Next();
    dataSet->Edit();
    dataSet->Post();
    EXPECT_TRUE(dataSet->Log.empty()); // nothing written, no setter called

    dataSet->Edit();
    dataSet->FieldByName(u"Title")->SetAsString(u"Tx");
    dataSet->FieldByName(u"Name")->Clear();
    dataSet->FieldByName(u"Title")->SetAsString(u"Ty");
    dataSet->Post();
    EXPECT_EQ(dataSet->Log, (std::vector<std::string>{"set 1 Title=Ty", "set 1 Name=null"}));
    EXPECT_TRUE(VarIsNull(dataSet->Rows[1][1]));
    EXPECT_TRUE(dataSet->FieldByName(u"Name")->IsNull());

    // A later edit starts with an empty list of written fields.
    dataSet->Log.clear();
    dataSet->Edit();
    dataSet->FieldByName(u"ID")->SetAsInteger(41);
    dataSet->Post();
    EXPECT_EQ(dataSet->Log, (std::vector<std::string>{"set 1 ID=41"}));

    // Writing outside edit modes, a read-only field, a read-only data set.
    EXPECT_EQ(ErrorOf([&] { dataSet->FieldByName(u"ID")->SetAsInteger(1); }), DBConsts::SNotEditing);
    dataSet->FieldByName(u"Name")->SetReadOnly(true);
    dataSet->Edit();
    EXPECT_EQ(ErrorOf([&] { dataSet->FieldByName(u"Name")->SetAsString(u"x"); }),
              Format(DBConsts::SFieldReadOnly, {u"Name"}));
    dataSet->Cancel();
    dataSet->SetReadOnly(true);
    EXPECT_FALSE(dataSet->CanModify());
    EXPECT_EQ(ErrorOf([&] { dataSet->Edit(); }), DBConsts::SDataSetReadOnly);

    // The field's validation sees the value before it is stored.
    dataSet->SetReadOnly(false);
    dataSet->FieldByName(u"ID")->OnValidate = [](TField* field) {
        if (field->AsInteger() < 0) DatabaseError(u"negative");
    };
    dataSet->Edit();
    EXPECT_EQ(ErrorOf([&] { dataSet->FieldByName(u"ID")->SetAsInteger(-1); }), u"negative");
    EXPECT_EQ(CurrentId(*dataSet), 41);
    dataSet->Cancel();
}

TEST(CustomData, OwnerExceptionDuringPostLeavesRecordUnposted) {
    auto dataSet = MakeOwnerData(6);
    dataSet->Open();
    dataSet->MoveBy(3);
    dataSet->SetHook = [](TField* field, const Variant&) {
        if (field->FieldName() == u"Name") throw EDatabaseError(u"owner refuses");
    };
    dataSet->Insert();
    dataSet->FieldByName(u"ID")->SetAsInteger(77);
    dataSet->FieldByName(u"Name")->SetAsString(u"Bad");
    EXPECT_EQ(ErrorOf([&] { dataSet->Post(); }), u"owner refuses");
    EXPECT_EQ(dataSet->Log,
              (std::vector<std::string>{"insert 3", "set 3 ID=77", "set 3 Name=Bad", "delete 3"}));
    EXPECT_EQ(dataSet->State(), dsInsert);
    EXPECT_EQ(dataSet->RecordCount(), 6);
    EXPECT_EQ(dataSet->Rows.size(), 6u);
    dataSet->Cancel();
    EXPECT_EQ(CurrentId(*dataSet), 3);

    // An edit is not rolled back by the data set (the owner owns its storage), but it
    // stays unposted: still editing, count unchanged.
    dataSet->Log.clear();
    dataSet->Edit();
    dataSet->FieldByName(u"Name")->SetAsString(u"Bad");
    EXPECT_EQ(ErrorOf([&] { dataSet->Post(); }), u"owner refuses");
    EXPECT_EQ(dataSet->Log, (std::vector<std::string>{"set 3 Name=Bad"}));
    EXPECT_EQ(dataSet->State(), dsEdit);
    dataSet->Cancel();
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"Name3");
    EXPECT_EQ(dataSet->RecordCount(), 6);

    // With the owner accepting again the same insert goes through.
    dataSet->SetHook = nullptr;
    dataSet->Insert();
    dataSet->FieldByName(u"Name")->SetAsString(u"Good");
    dataSet->Post();
    EXPECT_EQ(dataSet->RecordCount(), 7);
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"Good");
}

TEST(CustomData, BookmarksAndRecordNumbers) {
    auto dataSet = MakeOwnerData(50);
    TDataSource source(nullptr);
    source.SetDataSet(dataSet.get());
    TReadingLink link;
    link.SetBufferCount(7);
    link.SetDataSource(&source);
    dataSet->Open();
    EXPECT_EQ(dataSet->BookmarkSize(), 4);
    dataSet->MoveBy(12);
    TBookmark twelve = dataSet->GetBookmark();
    ASSERT_EQ(twelve.size(), 4u);
    Integer stored;
    std::memcpy(&stored, twelve.data(), sizeof stored);
    EXPECT_EQ(stored, 12);
    dataSet->Next();
    TBookmark thirteen = dataSet->GetBookmark();
    EXPECT_TRUE(dataSet->BookmarkValid(twelve));
    EXPECT_FALSE(dataSet->BookmarkValid({}));
    TBookmark past{50, 0, 0, 0};
    TBookmark negative{0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_FALSE(dataSet->BookmarkValid(past));
    EXPECT_FALSE(dataSet->BookmarkValid(negative));
    EXPECT_EQ(dataSet->CompareBookmarks(twelve, thirteen), -1);
    EXPECT_EQ(dataSet->CompareBookmarks(thirteen, twelve), 1);
    EXPECT_EQ(dataSet->CompareBookmarks(twelve, twelve), 0);
    EXPECT_EQ(dataSet->CompareBookmarks({}, twelve), 1);
    EXPECT_EQ(dataSet->CompareBookmarks(twelve, {}), -1);
    EXPECT_EQ(dataSet->CompareBookmarks({}, {}), 0);

    dataSet->Last();
    dataSet->GotoBookmark(twelve);
    EXPECT_EQ(CurrentId(*dataSet), 12);
    EXPECT_EQ(dataSet->RecNo(), 13);
    EXPECT_EQ(link.ActiveRecord(), 3); // centred

    // In the row chosen through the link.
    link.SetActiveRecord(1);
    dataSet->GotoBookmarkInRow(thirteen);
    EXPECT_EQ(CurrentId(*dataSet), 13);
    EXPECT_EQ(link.ActiveRecord(), 1);
    EXPECT_EQ(link.ShownIds, (std::vector<Integer>{12, 13, 14, 15, 16, 17, 18}));

    // RecNo jumps and centres; the same number does nothing.
    Integer scrolls = 0;
    dataSet->AfterScroll = [&](TDataSet*) { ++scrolls; };
    dataSet->SetRecNo(40);
    EXPECT_EQ(CurrentId(*dataSet), 39);
    EXPECT_EQ(link.ActiveRecord(), 3);
    EXPECT_EQ(scrolls, 1);
    dataSet->SetRecNo(40);
    EXPECT_EQ(scrolls, 1);
    dataSet->SetRecNo(50);
    EXPECT_EQ(CurrentId(*dataSet), 49);
    EXPECT_EQ(link.ShownIds.back(), 49);

    // Inserted and appended records have no record number.
    dataSet->Append();
    EXPECT_EQ(dataSet->RecNo(), -1);
    dataSet->Cancel();
    EXPECT_EQ(dataSet->RecNo(), 50);
}

TEST(CustomData, NativeBufferConversions) {
    auto dataSet = MakeOwnerData(2);
    dataSet->SetName(u"Owner");
    dataSet->FieldDefs()->Add(u"Price", ftFloat);
    dataSet->Rows[0] = {Variant(1), Variant(u"A very long name"), Variant(u"Wide title"), Variant(2.5)};
    dataSet->Rows[1] = {Variant(2), Variant(u"Grüße aus Köln"), Variant(u"abcd\U0001F600"), Null()};
    dataSet->Open();

    // Text is cut to the field's size (UTF-8 bytes for 8-bit text, never inside a
    // character; UTF-16 units for wide text, never inside a pair).
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"A very lon");
    EXPECT_EQ(dataSet->FieldByName(u"Title")->AsString(), u"Wide ");
    std::vector<char> raw(11, 'x');
    EXPECT_TRUE(dataSet->GetFieldData(dataSet->FieldByName(u"Name"), raw.data()));
    EXPECT_EQ(std::string(raw.data()), "A very lon");
    Integer number = 0;
    EXPECT_TRUE(dataSet->GetFieldData(dataSet->FieldByName(u"ID"), &number));
    EXPECT_EQ(number, 1);
    EXPECT_TRUE(dataSet->GetFieldData(dataSet->FieldByName(u"ID"), nullptr));

    // Other types are refused, naming the type and the field, with the data set.
    double price = 0;
    EXPECT_EQ(ErrorOf([&] { dataSet->GetFieldData(dataSet->FieldByName(u"Price"), &price); }),
              u"Owner: Unsupported field type (Float) in field Price");
    EXPECT_EQ(price, 0.0);
    EXPECT_TRUE(dataSet->GetFieldData(dataSet->FieldByName(u"Price"), nullptr)); // only asks for null
    dataSet->FieldByName(u"Price")->SetDisplayLabel(u"Unit price");
    dataSet->Edit();
    EXPECT_EQ(ErrorOf([&] { dataSet->FieldByName(u"Price")->SetAsFloat(1.5); }),
              u"Unsupported field type (Float) in field Unit price");
    dataSet->FieldByName(u"Price")->Clear(); // no buffer, no conversion
    dataSet->Cancel();

    dataSet->Next();
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"Grüße au"); // the next "s" is byte 11
    EXPECT_EQ(dataSet->FieldByName(u"Title")->AsString(), u"abcd");    // the pair does not fit
    EXPECT_TRUE(dataSet->FieldByName(u"Price")->IsNull());

    // Writing reads the text up to its terminator and the integer as is.
    dataSet->Edit();
    dataSet->FieldByName(u"Name")->SetAsString(u"Zoë");
    dataSet->FieldByName(u"Title")->SetAsString(u"ab");
    dataSet->FieldByName(u"ID")->SetAsInteger(-5);
    dataSet->Post();
    EXPECT_EQ(dataSet->Rows[1][0].AsInteger(), -5);
    EXPECT_EQ(dataSet->Rows[1][1].AsString(), u"Zoë");
    EXPECT_EQ(dataSet->Rows[1][2].AsString(), u"ab");
}

TEST(CustomData, UnknownFieldTypeRaisesThePlatformMessage) {
    TOwnerData dataSet(nullptr);
    dataSet.SetName(u"Raw");
    auto* field = new TField(&dataSet);
    field->SetFieldName(u"Mystery");
    field->SetDataSet(&dataSet);
    dataSet.Rows.push_back({Variant(1)});
    dataSet.Open();
    ASSERT_EQ(field->FieldNo(), 1);
    Byte buffer[8] = {};
    EXPECT_EQ(ErrorOf([&] { dataSet.GetFieldData(field, buffer); }),
              u"Raw: " + Format(DBConsts::SUnknownFieldType, {u"Mystery"}));
    dataSet.Edit();
    EXPECT_EQ(ErrorOf([&] { dataSet.SetFieldData(field, buffer); }),
              u"Raw: " + Format(DBConsts::SUnknownFieldType, {u"Mystery"}));
    dataSet.Cancel();
}

TEST(CustomData, FilterHandlerHidesRecordsButNotFromTheCount) {
    auto dataSet = MakeOwnerData(10);
    dataSet->Open();
    dataSet->OnFilterRecord = [](TDataSet* ds, bool& accept) {
        EXPECT_EQ(ds->State(), dsFilter);
        accept = ds->FieldByName(u"ID")->AsInteger() % 3 == 0;
    };
    dataSet->MoveBy(2);
    Integer firsts = 0;
    dataSet->AfterScroll = [&](TDataSet*) { ++firsts; };
    dataSet->SetFiltered(true); // goes to the first record
    EXPECT_EQ(firsts, 1);
    EXPECT_EQ(dataSet->RecordCount(), 10);
    std::vector<Integer> ids;
    for (; !dataSet->Eof(); dataSet->Next())
        ids.push_back(CurrentId(*dataSet));
    EXPECT_EQ(ids, (std::vector<Integer>{0, 3, 6, 9}));
    EXPECT_EQ(dataSet->RecordCount(), 10);
    EXPECT_TRUE(dataSet->FindFirst());
    EXPECT_TRUE(dataSet->FindNext());
    EXPECT_EQ(CurrentId(*dataSet), 3);
    EXPECT_TRUE(dataSet->FindLast());
    EXPECT_EQ(CurrentId(*dataSet), 9);
    EXPECT_FALSE(dataSet->FindNext());
    EXPECT_TRUE(dataSet->FindPrior());
    EXPECT_EQ(CurrentId(*dataSet), 6);
    // A locate honours the filter as well.
    EXPECT_FALSE(dataSet->Locate(u"ID", 4, {}));
    EXPECT_TRUE(dataSet->Locate(u"ID", 3, {}));
    Integer scrollsBefore = firsts;
    dataSet->SetFiltered(true); // unchanged: nothing happens
    EXPECT_EQ(firsts, scrollsBefore);

    // A record that stops passing makes a refetch of the current record fail.
    dataSet->OnFilterRecord = [](TDataSet*, bool& accept) { accept = false; };
    EXPECT_EQ(ErrorOf([&] { dataSet->GotoBookmark(dataSet->GetBookmark()); }), DBConsts::SRecordNotFound);
    dataSet->First();
    EXPECT_TRUE(dataSet->IsEmpty());
    EXPECT_EQ(dataSet->RecNo(), -1);
    EXPECT_EQ(dataSet->RecordCount(), 10);
    EXPECT_FALSE(dataSet->FindFirst());

    // Filtered without a handler filters nothing; set while closed it just stores.
    dataSet->OnFilterRecord = nullptr;
    dataSet->First();
    EXPECT_EQ(CurrentId(*dataSet), 0);
    dataSet->Close();
    dataSet->SetFiltered(false);
    EXPECT_FALSE(dataSet->Filtered());
}

TEST(CustomData, ExceptionsInTheFilterLoopGoToTheApplicationHandler) {
    auto dataSet = MakeOwnerData(5);
    dataSet->Open();
    std::vector<String> handled;
    ApplicationHandleException = [&](TObject* sender) {
        EXPECT_EQ(sender, dataSet.get());
        try {
            throw;
        } catch (const Exception& e) {
            handled.push_back(e.Message());
        }
    };
    dataSet->OnFilterRecord = [](TDataSet* ds, bool& accept) {
        if (ds->FieldByName(u"ID")->AsInteger() == 2) throw EDatabaseError(u"bad record");
        accept = true;
    };
    dataSet->SetFiltered(true);
    std::vector<Integer> ids;
    for (; !dataSet->Eof(); dataSet->Next())
        ids.push_back(CurrentId(*dataSet));
    // The failing fetch ends the walk like the end of the data.
    EXPECT_EQ(ids, (std::vector<Integer>{0, 1}));
    EXPECT_EQ(handled, (std::vector<String>{u"bad record"}));

    // Without a handler the exception is dropped; only its effect remains.
    ApplicationHandleException = nullptr;
    dataSet->Last();
    EXPECT_EQ(CurrentId(*dataSet), 4);
    dataSet->Prior();
    dataSet->Prior();
    EXPECT_EQ(CurrentId(*dataSet), 3);
    EXPECT_TRUE(dataSet->Bof());
    EXPECT_EQ(handled.size(), 1u);
}

TEST(CustomData, CalculatedFieldsAndFieldLayoutChanges) {
    auto dataSet = MakeOwnerData(4);
    auto* id = new TIntegerField(dataSet.get());
    id->SetFieldName(u"ID");
    id->SetDataSet(dataSet.get());
    auto* name = new TStringField(dataSet.get());
    name->SetFieldName(u"Name");
    name->SetSize(10);
    name->SetDataSet(dataSet.get());
    auto* twice = new TIntegerField(dataSet.get());
    twice->SetFieldName(u"Twice");
    twice->SetFieldKind(fkCalculated);
    twice->SetDataSet(dataSet.get());
    Integer calcRuns = 0;
    dataSet->OnCalcFields = [&](TDataSet* ds) {
        ++calcRuns;
        ds->FieldByName(u"Twice")->SetAsInteger(ds->FieldByName(u"ID")->AsInteger() * 2);
    };
    dataSet->Open();
    EXPECT_EQ(twice->AsInteger(), 0);
    dataSet->MoveBy(2);
    EXPECT_EQ(twice->AsInteger(), 4);
    EXPECT_EQ(dataSet->Lookup(u"ID", 3, u"Twice").AsInteger(), 6);
    EXPECT_EQ(CurrentId(*dataSet), 2); // a lookup does not move
    EXPECT_EQ(dataSet->Lookup(u"Name", u"Name1", u"ID;Twice")[1].AsInteger(), 2);

    // Moving a field reorders the flat field list: the window is refetched so each slot
    // answers for its own field again, and a pending edit is posted first.
    dataSet->Edit();
    name->SetAsString(u"Edited");
    dataSet->Log.clear();
    name->SetIndex(0);
    EXPECT_EQ(dataSet->State(), dsBrowse);
    EXPECT_EQ(dataSet->Log, (std::vector<std::string>{"set 2 Name=Edited"}));
    EXPECT_EQ(name->AsString(), u"Edited");
    EXPECT_EQ(id->AsInteger(), 2);
    EXPECT_EQ(twice->AsInteger(), 4);
    dataSet->Next();
    EXPECT_EQ(name->AsString(), u"Name3");
    EXPECT_EQ(id->AsInteger(), 3);
    EXPECT_GT(calcRuns, 0);
}

} // namespace
} // namespace mv::test
