// Editing: insert/append/cancel/post placement, delete, events, held notifications, data
// sources, and the error messages of the data set and its links.
#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "support/DbTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace mv::test {
namespace {

std::vector<Integer> StoredIds(const TVectorDataSet& dataSet) {
    std::vector<Integer> ids;
    for (const auto& row : dataSet.Rows())
        ids.push_back(VarIsNull(row[0]) ? -1 : row[0].AsInteger());
    return ids;
}

Integer CurrentId(TDataSet& dataSet) {
    return dataSet.FieldByName(u"ID")->AsInteger();
}

// Runs action and returns the message of the EDatabaseError it raises ("" when none).
using test::DatabaseErrorOf;

TEST(DataSetEditing, InsertAppendCancelAndPostPlaceRecords) {
    auto dataSet = MakeNumbered(5);
    TDataSource source(nullptr);
    source.SetDataSet(dataSet.get());
    TRecordingLink link;
    link.SetBufferCount(10);
    link.SetDataSource(&source);
    dataSet->Open();
    std::vector<std::string> events;
    dataSet->BeforeInsert = [&](TDataSet*) { events.push_back("BeforeInsert"); };
    dataSet->AfterInsert = [&](TDataSet*) { events.push_back("AfterInsert"); };
    dataSet->OnNewRecord = [&](TDataSet* ds) {
        events.push_back("OnNewRecord");
        ds->FieldByName(u"Name")->SetAsString(u"New");
    };
    dataSet->BeforePost = [&](TDataSet*) { events.push_back("BeforePost"); };
    dataSet->AfterPost = [&](TDataSet*) { events.push_back("AfterPost"); };
    dataSet->BeforeScroll = [&](TDataSet*) { events.push_back("BeforeScroll"); };
    dataSet->AfterScroll = [&](TDataSet*) { events.push_back("AfterScroll"); };
    dataSet->AfterCancel = [&](TDataSet*) { events.push_back("AfterCancel"); };

    // Insert in front of record 3, in its row.
    dataSet->MoveBy(2);
    events.clear();
    dataSet->Insert();
    EXPECT_EQ(events, (std::vector<std::string>{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert",
                                                "AfterScroll"}));
    EXPECT_EQ(dataSet->State(), dsInsert);
    EXPECT_TRUE(link.Editing());
    EXPECT_EQ(link.ActiveRecord(), 2);
    EXPECT_EQ(link.RecordCount(), 6);
    EXPECT_FALSE(dataSet->Modified()); // OnNewRecord values do not count as a change
    EXPECT_TRUE(dataSet->FieldByName(u"ID")->IsNull());
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"New");
    dataSet->FieldByName(u"ID")->SetAsInteger(99);
    EXPECT_TRUE(dataSet->Modified());
    events.clear();
    dataSet->Post();
    EXPECT_EQ(events, (std::vector<std::string>{"BeforePost", "AfterPost"}));
    EXPECT_EQ(StoredIds(*dataSet), (std::vector<Integer>{1, 2, 99, 3, 4, 5}));
    EXPECT_EQ(dataSet->State(), dsBrowse);
    EXPECT_EQ(CurrentId(*dataSet), 99);
    EXPECT_EQ(link.ActiveRecord(), 2);
    EXPECT_EQ(dataSet->RecNo(), 3);

    // Cancelling an insert returns to the record it stood in front of.
    dataSet->Next();
    dataSet->Insert();
    events.clear();
    dataSet->Cancel();
    EXPECT_EQ(events, (std::vector<std::string>{"BeforeScroll", "AfterCancel", "AfterScroll"}));
    EXPECT_EQ(CurrentId(*dataSet), 3);
    EXPECT_EQ(link.ActiveRecord(), 3);
    EXPECT_EQ(link.RecordCount(), 6);
    EXPECT_EQ(StoredIds(*dataSet).size(), 6u);

    // Append goes to the end, whatever the current record.
    dataSet->First();
    dataSet->Append();
    EXPECT_EQ(link.ActiveRecord(), link.RecordCount() - 1);
    dataSet->FieldByName(u"ID")->SetAsInteger(100);
    dataSet->Post();
    EXPECT_EQ(StoredIds(*dataSet).back(), 100);
    EXPECT_EQ(CurrentId(*dataSet), 100);
    dataSet->Next();
    EXPECT_TRUE(dataSet->Eof());

    // CheckBrowseMode posts a modified record and cancels an unmodified one; a move does too.
    dataSet->First();
    dataSet->Edit();
    dataSet->FieldByName(u"Name")->SetAsString(u"First");
    dataSet->Next();
    EXPECT_EQ(dataSet->State(), dsBrowse);
    EXPECT_EQ(dataSet->Rows()[0][1].AsString(), u"First");
    // Values set by OnNewRecord alone are no change: the new record is dropped.
    dataSet->Append();
    dataSet->CheckBrowseMode();
    EXPECT_EQ(StoredIds(*dataSet).size(), 7u);
    EXPECT_EQ(CurrentId(*dataSet), 100);

    // Edit then Cancel restores the value.
    dataSet->First();
    dataSet->Next();
    dataSet->Edit();
    dataSet->FieldByName(u"Name")->SetAsString(u"Temp");
    dataSet->Cancel();
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"Name2");

    // Delete: the next record takes the row; deleting the last shows the new last.
    dataSet->Delete();
    EXPECT_EQ(CurrentId(*dataSet), 99);
    EXPECT_EQ(StoredIds(*dataSet), (std::vector<Integer>{1, 99, 3, 4, 5, 100}));
    dataSet->Last();
    dataSet->Delete();
    EXPECT_EQ(CurrentId(*dataSet), 5);

    // InsertRecord/AppendRecord post in one step; an Empty value leaves a field alone.
    dataSet->First();
    dataSet->AppendRecord({Variant(200), Variant(u"Appended")});
    EXPECT_EQ(StoredIds(*dataSet).back(), 200);
    EXPECT_EQ(CurrentId(*dataSet), 200);
    dataSet->First();
    dataSet->Next();
    dataSet->InsertRecord({Variant(150), Variant()});
    EXPECT_EQ(StoredIds(*dataSet), (std::vector<Integer>{1, 150, 99, 3, 4, 5, 200}));
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"New"); // from OnNewRecord
    EXPECT_EQ(dataSet->State(), dsBrowse);
}

TEST(DataSetEditing, EmptyDataSetInsertsAndEditsAsInsert) {
    auto dataSet = MakeNumbered(0);
    dataSet->Open();
    dataSet->Edit(); // nothing to edit: inserts
    EXPECT_EQ(dataSet->State(), dsInsert);
    EXPECT_FALSE(dataSet->IsEmpty());
    dataSet->Cancel();
    EXPECT_TRUE(dataSet->IsEmpty());
    dataSet->Insert();
    dataSet->FieldByName(u"ID")->SetAsInteger(1);
    dataSet->Post();
    dataSet->Append();
    dataSet->FieldByName(u"ID")->SetAsInteger(2);
    dataSet->Post();
    EXPECT_EQ(StoredIds(*dataSet), (std::vector<Integer>{1, 2}));
    EXPECT_EQ(dataSet->RecordCount(), 2);
}

TEST(DataSetControls, DisableControlsHoldsEventsForVisualLinks) {
    auto dataSet = MakeNumbered(20);
    TDataSource source(nullptr);
    source.SetDataSet(dataSet.get());
    TRecordingLink grid, watcher;
    grid.SetVisualControl(true);
    grid.SetBufferCount(5);
    grid.SetDataSource(&source);
    watcher.SetDataSource(&source);
    Integer dataChanges = 0;
    source.OnDataChange = [&](TObject*, TField*) { ++dataChanges; };
    dataSet->Open();
    grid.Log.clear();
    watcher.Log.clear();
    dataChanges = 0;

    dataSet->DisableControls();
    dataSet->DisableControls();
    EXPECT_TRUE(dataSet->ControlsDisabled());
    dataSet->MoveBy(7);
    dataSet->Next();
    dataSet->EnableControls();
    EXPECT_TRUE(grid.Log.empty());
    EXPECT_EQ(dataChanges, 0);
    // A link that is not a control keeps following the data set.
    EXPECT_EQ(watcher.Log.size(), 4u);
    dataSet->EnableControls();
    EXPECT_FALSE(dataSet->ControlsDisabled());
    EXPECT_EQ(grid.Log, std::vector<std::string>{"changed"});
    EXPECT_EQ(dataChanges, 1);
    EXPECT_EQ(grid.ActiveRecord(), 4);
    EXPECT_EQ(grid.WindowIds(), (std::vector<Integer>{5, 6, 7, 8, 9}));

    // A state change meanwhile is reported first, then one change.
    grid.Log.clear();
    dataSet->DisableControls();
    dataSet->Edit();
    dataSet->FieldByName(u"Name")->SetAsString(u"X");
    dataSet->EnableControls();
    EXPECT_EQ(grid.Log, (std::vector<std::string>{"editing", "changed"}));
    EXPECT_EQ(source.State(), dsEdit);
    dataSet->Cancel();

    // Closing while disabled: the link hears it at the end.
    grid.Log.clear();
    dataSet->DisableControls();
    dataSet->Close();
    EXPECT_TRUE(grid.Active());
    dataSet->EnableControls();
    EXPECT_FALSE(grid.Active());
    EXPECT_EQ(grid.Log, std::vector<std::string>{"inactive"});
}

TEST(DataSourceLinks, StatesEventsAndUpdateRequests) {
    auto dataSet = MakeNumbered(3);
    TDataSource source(nullptr);
    std::vector<TDataSetState> states;
    source.OnStateChange = [&](TObject*) { states.push_back(source.State()); };
    std::vector<String> changedFields;
    source.OnDataChange = [&](TObject*, TField* field) {
        changedFields.push_back(field ? field->FieldName() : u"-");
    };
    Integer updateData = 0;
    source.OnUpdateData = [&](TObject*) { ++updateData; };
    TRecordingLink link;
    link.SetDataSource(&source);
    source.SetDataSet(dataSet.get());
    EXPECT_FALSE(link.Active());
    dataSet->Open();
    EXPECT_TRUE(link.Active());
    EXPECT_EQ(link.DataSet(), dataSet.get());
    EXPECT_EQ(states, std::vector<TDataSetState>{dsBrowse});
    EXPECT_EQ(changedFields, std::vector<String>{u"-"}); // the first activation shows data

    // A link asks to edit through its source (AutoEdit); controls write on UpdateRecord.
    changedFields.clear();
    link.OnUpdateData = [&] { dataSet->FieldByName(u"Name")->SetAsString(u"From control"); };
    EXPECT_TRUE(link.Edit());
    EXPECT_EQ(dataSet->State(), dsEdit);
    link.Log.clear();
    dataSet->Post();
    EXPECT_EQ(updateData, 1);
    // The link's own write does not come back to it as a record change.
    EXPECT_EQ(link.Log[0], "update");
    EXPECT_EQ(std::count(link.Log.begin(), link.Log.end(), "record Name"), 0);
    EXPECT_NE(std::find(changedFields.begin(), changedFields.end(), u"Name"), changedFields.end());
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"From control");
    link.OnUpdateData = nullptr;

    source.SetAutoEdit(false);
    EXPECT_FALSE(link.Edit());
    link.SetReadOnly(true);
    source.SetAutoEdit(true);
    EXPECT_FALSE(link.Edit());
    link.SetReadOnly(false);

    // A field change reaches the link with the field.
    dataSet->Edit();
    link.Log.clear();
    dataSet->FieldByName(u"ID")->SetAsInteger(42);
    EXPECT_EQ(link.Log, std::vector<std::string>{"record ID"});
    dataSet->Cancel();

    // Focus requests travel as a field reference a link may consume.
    link.TakeFocus = true;
    dataSet->FieldByName(u"Name")->FocusControl();
    EXPECT_EQ(link.FocusRequest, dataSet->FieldByName(u"Name"));

    // Disabling the source deactivates its links.
    states.clear();
    source.SetEnabled(false);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(states, std::vector<TDataSetState>{dsInactive});
    source.SetEnabled(true);
    EXPECT_TRUE(link.Active());

    // Freeing the data set leaves the source empty.
    dataSet->Close();
    dataSet.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
}

// A data set that takes master values from a data source, to test circular links.
class TDetailDataSet : public TVectorDataSet {
public:
    using TVectorDataSet::TVectorDataSet;
    TDataSource* Master = nullptr;
    TDataSource* GetDataSource() const override { return Master; }
};

TEST(DataSetErrors, MessagesNameTheComponentAndTheCondition) {
    auto dataSet = MakeNumbered(2);
    dataSet->SetName(u"Orders");
    EXPECT_EQ(DatabaseErrorOf([&] { dataSet->First(); }),
              u"Orders: Cannot perform this operation on a closed dataset");
    dataSet->Open();
    EXPECT_EQ(DatabaseErrorOf([&] { dataSet->SetObjectView(true); }),
              u"Orders: Cannot perform this operation on an open dataset");
    EXPECT_EQ(DatabaseErrorOf([&] { dataSet->FieldByName(u"Nope"); }), u"Orders: Field 'Nope' not found");
    EXPECT_EQ(dataSet->FindField(u"nope"), nullptr);
    EXPECT_EQ(dataSet->FindField(u"name"), dataSet->FieldByName(u"NAME"));
    EXPECT_EQ(DatabaseErrorOf([&] { dataSet->Post(); }), u"Orders: Dataset not in edit or insert mode");
    EXPECT_EQ(DatabaseErrorOf([&] { dataSet->FieldByName(u"ID")->SetAsInteger(5); }),
              u"Orders: Dataset not in edit or insert mode");
    dataSet->FieldByName(u"ID")->SetReadOnly(true);
    dataSet->Edit();
    EXPECT_EQ(DatabaseErrorOf([&] { dataSet->FieldByName(u"ID")->SetAsInteger(5); }),
              u"Field 'ID' cannot be modified");
    dataSet->FieldByName(u"ID")->SetReadOnly(false);
    dataSet->FieldByName(u"Name")->SetRequired(true);
    dataSet->FieldByName(u"Name")->Clear();
    EXPECT_EQ(DatabaseErrorOf([&] { dataSet->Post(); }), u"Field 'Name' must have a value");
    EXPECT_EQ(dataSet->State(), dsEdit); // the failed post leaves the edit open
    dataSet->Cancel();
    EXPECT_EQ(DatabaseErrorOf([&] { dataSet->FieldByName(u"ID")->AsDateTime(); }),
              u"Cannot access field 'ID' as type DateTime");

    dataSet->Delete();
    dataSet->Delete();
    EXPECT_EQ(DatabaseErrorOf([&] { dataSet->Delete(); }),
              u"Orders: Cannot perform this operation on an empty dataset");
    dataSet->Close();

    dataSet->SetReadOnlyStore(true);
    dataSet->Open();
    EXPECT_EQ(DatabaseErrorOf([&] { dataSet->Edit(); }), u"Orders: Cannot modify a read-only dataset");
    dataSet->Close();

    auto forward = MakeNumbered(3);
    forward->SetUniDirectionalStore(true);
    forward->Open();
    EXPECT_TRUE(forward->IsUniDirectional());
    EXPECT_EQ(forward->MoveBy(2), 2);
    EXPECT_EQ(DatabaseErrorOf([&] { forward->Last(); }),
              u"Operation not allowed on a unidirectional dataset");
    EXPECT_EQ(DatabaseErrorOf([&] { forward->Prior(); }),
              u"Operation not allowed on a unidirectional dataset");

    // A source may not feed the data set it depends on.
    TDetailDataSet detail(nullptr);
    TDataSource masterSource(nullptr);
    masterSource.SetName(u"MasterSource");
    detail.Master = &masterSource;
    EXPECT_EQ(DatabaseErrorOf([&] { masterSource.SetDataSet(&detail); }),
              u"MasterSource: Circular datalinks are not allowed");
    EXPECT_EQ(masterSource.DataSet(), nullptr);

    TRecordingLink fixed;
    TDataSource other(nullptr);
    fixed.SetDataSource(&masterSource);
    fixed.SetDataSourceFixed(true);
    EXPECT_EQ(DatabaseErrorOf([&] { fixed.SetDataSource(&other); }),
              u"MasterSource: DataSource cannot be changed");

    // The text of the grid's column limit is the framework's.
    EXPECT_EQ(DBConsts::STooManyColumns, u"Grid requested to display more than 256 columns");
    // Message texts are replaceable globals, formatted at the raise.
    String saved = DBConsts::SFieldNotFound;
    DBConsts::SFieldNotFound = u"Feld '%s' fehlt";
    auto again = MakeNumbered(1);
    again->Open();
    EXPECT_EQ(DatabaseErrorOf([&] { again->FieldByName(u"X"); }), u"Feld 'X' fehlt");
    DBConsts::SFieldNotFound = saved;
}

TEST(DataSetErrors, ErrorHandlersRetryAbortOrFail) {
    auto dataSet = MakeNumbered(2);
    dataSet->Open();
    dataSet->FieldByName(u"Name")->SetRequired(true);
    dataSet->Edit();
    dataSet->FieldByName(u"Name")->Clear();
    Integer calls = 0;
    dataSet->OnPostError = [&](TDataSet* ds, EDatabaseError&, TDataAction& action) {
        ++calls;
        ds->FieldByName(u"Name")->SetAsString(u"Fixed");
        action = daRetry;
    };
    dataSet->Post();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(dataSet->Rows()[0][1].AsString(), u"Fixed");

    dataSet->Edit();
    dataSet->FieldByName(u"Name")->Clear();
    dataSet->OnPostError = [](TDataSet*, EDatabaseError&, TDataAction& action) { action = daAbort; };
    EXPECT_THROW(dataSet->Post(), EAbort);
    dataSet->Cancel();
}

} // namespace
} // namespace mv::test
