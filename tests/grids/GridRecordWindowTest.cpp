// The record window: rows for the link's buffered records, the field map, the forced
// sequence, scroll-grid moves and the saved positions, over client data sets.
#include "GridTestKit.h"

#include "platform/db/DBConsts.h"

namespace mv::test {
namespace {

struct GridRecordWindow : GridFixture {
    // Shows the record with the given ID in the given row of the link's window.
    void ShowInRow(TDataSet& dataSet, Integer id, Integer row) {
        ASSERT_TRUE(dataSet.Locate(u"ID", Variant(id), {}));
        ASSERT_TRUE(Grid->GotoPosition(row, dataSet.GetBookmark()));
    }
};

TEST_F(GridRecordWindow, FewRecordsGiveTheirRowsTheBlankRowAndTheTotalsWhileTheLinkBuffersAScreen) {
    SetRoomForRows(10, 1);
    Grid->SetOptionsEx({dgTotalFooter});
    auto dataSet = MakeNumberedSet(3);
    Link(dataSet.get());

    EXPECT_EQ(Grid->DataLink()->BufferCount(), 10);
    EXPECT_EQ(Grid->DataLink()->RecordCount(), 3);
    EXPECT_EQ(Grid->GetTitleRowCount(), 1);
    EXPECT_EQ(Grid->GetBottomRowCount(), 2);
    EXPECT_EQ(Grid->GetTotalRowCount(), 1);
    EXPECT_EQ(Grid->GetTotalFooterRowCount(), 1);
    EXPECT_EQ(Grid->RowCount(), 1 + 3 + 2);
    EXPECT_EQ(Grid->TCustomGrid::FixedRows(), 1);
    EXPECT_EQ(Grid->Row(), 1); // first record, first data row
    // Columns: indicator and one per field.
    EXPECT_EQ(Grid->ColCount(), 3);
    EXPECT_EQ(Grid->Columns()->State(), csDefault);
    EXPECT_EQ(Grid->Columns()->Items(1)->Field(), dataSet->FieldByName(u"Name"));
    // The blank row takes what the data rows leave; the total row has a row's height.
    const Integer blank = Grid->ClientHeight() - kRowExtent - kRowExtent - 3 * kRowExtent;
    EXPECT_EQ(Grid->RowHeights(4), blank - 1);
    EXPECT_EQ(Grid->RowHeights(5), 24);

    dataSet->Last();
    EXPECT_EQ(Grid->Row(), 3);
    dataSet->AppendRecord({Variant(4), Variant(u"Name4")});
    EXPECT_EQ(Grid->RowCount(), 1 + 4 + 2);
    EXPECT_EQ(Grid->Row(), 4);
    EXPECT_EQ(Grid->RowHeights(4), 24); // the former blank row is a data row again
}

TEST_F(GridRecordWindow, AnInactiveLinkShowsTitlesOneEmptyRowAndTheBottomRows) {
    Grid->SetOptionsEx({dgTotalHeader, dgTotalFooter});
    EXPECT_EQ(Grid->RowCount(), 1 + 1 + 3);
    auto dataSet = MakeNumberedSet(30);
    Link(dataSet.get());
    EXPECT_EQ(Grid->RowCount(), 1 + Grid->DataLink()->RecordCount() + 3);
    dataSet->Close();
    EXPECT_FALSE(Grid->DataLink()->Active());
    EXPECT_EQ(Grid->RowCount(), 1 + 1 + 3);
    EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(GridRecordWindow, ScrollingKeepsTheCurrentRowOnTheActiveRecordAndCountsTheSequence) {
    auto dataSet = MakeNumberedSet(100);
    Grid->SetOptions(Grid->Options() + dgForceSequence);
    Link(dataSet.get());
    ASSERT_TRUE(Grid->UpdateSequenceValues());
    EXPECT_EQ(Grid->GetRecNumber(), 1);
    for (Integer i = 0; i < 25; ++i)
        dataSet->Next();
    EXPECT_EQ(CurrentId(*dataSet), 26);
    EXPECT_EQ(Grid->Row(), 10); // the last data row of ten
    EXPECT_EQ(Grid->GetRecNumber(), 26);
    dataSet->MoveBy(-13);
    EXPECT_EQ(Grid->GetRecNumber(), 13);
    EXPECT_EQ(Grid->Row(), Grid->DataLink()->ActiveRecord() + 1);
    dataSet->Last();
    EXPECT_EQ(Grid->Row(), 10);
}

TEST_F(GridRecordWindow, ForcedSequenceCountsWithTwoMovesAndKeepsTheRecordInItsRow) {
    auto dataSet = MakeNumberedSet(50);
    Grid->SetOptions(Grid->Options() + dgForceSequence);
    Link(dataSet.get());
    ShowInRow(*dataSet, 20, 6);
    ASSERT_EQ(CurrentId(*dataSet), 20);
    const Integer row = Grid->Row();

    ASSERT_TRUE(Grid->UpdateSequenceValues());
    EXPECT_EQ(Grid->GetRecCount(), 50);
    EXPECT_EQ(Grid->GetRecNumber(), 20);
    EXPECT_EQ(CurrentId(*dataSet), 20);
    EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 6);
    EXPECT_EQ(Grid->Row(), row);

    // Without forced sequence the data set answers.
    Grid->SetOptions(Grid->Options() - dgForceSequence);
    EXPECT_FALSE(Grid->ForcedSequence());
    EXPECT_FALSE(Grid->UpdateSequenceValues());
    EXPECT_EQ(Grid->GetRecCount(), 50);
    EXPECT_EQ(Grid->GetRecNumber(), dataSet->RecNo());
}

TEST_F(GridRecordWindow, AnInsertedRowHasNoNumberAndTheRowsBelowKeepTheirs) {
    auto dataSet = MakeNumberedSet(10);
    Grid->SetOptions(Grid->Options() + dgForceSequence);
    Link(dataSet.get());
    ShowInRow(*dataSet, 5, 4);
    ASSERT_TRUE(Grid->UpdateSequenceValues());
    dataSet->Insert(); // between records 4 and 5
    ASSERT_EQ(dataSet->State(), dsInsert);
    TMvDBGridTestAccess::SetRowOffset(*Grid, 0);
    EXPECT_EQ(Grid->GetRecNumber(), -1);
    TMvDBGridTestAccess::SetRowOffset(*Grid, 1);
    EXPECT_EQ(Grid->GetRecNumber(), 5);
    TMvDBGridTestAccess::SetRowOffset(*Grid, -1);
    EXPECT_EQ(Grid->GetRecNumber(), 4);
    TMvDBGridTestAccess::SetRowOffset(*Grid, 0);
    dataSet->Cancel();
    // A count is refused while the data set edits.
    dataSet->Edit();
    EXPECT_FALSE(Grid->UpdateSequenceValues());
    dataSet->Cancel();
}

struct GridScrollMode : GridRecordWindow {
    std::unique_ptr<TClientDataSet> DataSet = MakeNumberedSet(50);
    void SetUp() override {
        GridRecordWindow::SetUp();
        Grid->SetOptions(Grid->Options() + dgForceSequence);
        Grid->SetOptionsExt(Grid->OptionsExt() + dgScrollGridMode);
        Link(DataSet.get());
    }
    void TearDown() override {
        Grid->SetDataSource(nullptr);
        GridRecordWindow::TearDown();
    }
};

TEST_F(GridScrollMode, MovesStopWhereTheWindowReachesRecordOne) {
    ShowInRow(*DataSet, 3, 0);
    ASSERT_TRUE(Grid->UpdateSequenceValues());
    EXPECT_EQ(Grid->MoveBy(-5), -2);
    EXPECT_EQ(CurrentId(*DataSet), 1);
    EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 0); // the window scrolled, the row stayed
    EXPECT_EQ(TMvDBGridTestAccess::SequenceNumber(*Grid), 1);

    ShowInRow(*DataSet, 3, 2); // record 1 already at the top
    ASSERT_TRUE(Grid->UpdateSequenceValues());
    EXPECT_EQ(Grid->MoveBy(-5), 0);
    EXPECT_EQ(CurrentId(*DataSet), 3);
}

TEST_F(GridScrollMode, MovesStopAtTheLastScreenAndTheLastRecordAsksTheLink) {
    ShowInRow(*DataSet, 20, 0);
    ASSERT_TRUE(Grid->UpdateSequenceValues());
    // 50 records, 10 rows: the last screen starts at record 41.
    EXPECT_EQ(Grid->MoveBy(30), 21);
    EXPECT_EQ(CurrentId(*DataSet), 41);
    EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 0);
    EXPECT_EQ(Grid->MoveBy(3), 0);

    DataSet->Last();
    ASSERT_TRUE(Grid->UpdateSequenceValues());
    ASSERT_EQ(TMvDBGridTestAccess::SequenceNumber(*Grid), 50);
    EXPECT_EQ(Grid->MoveBy(1), 0); // the link's MoveBy(1) at the end
    EXPECT_EQ(CurrentId(*DataSet), 50);
    EXPECT_TRUE(DataSet->Eof());
}

TEST_F(GridScrollMode, WithoutTheModeMovesGoStraightToTheLink) {
    Grid->SetOptionsExt(Grid->OptionsExt() - dgScrollGridMode);
    ShowInRow(*DataSet, 3, 0);
    EXPECT_EQ(Grid->MoveBy(-5), -2); // the data set stops at the first record
    EXPECT_EQ(CurrentId(*DataSet), 1);
    EXPECT_EQ(Grid->MoveBy(7), 7);
    EXPECT_EQ(CurrentId(*DataSet), 8);
    // With the synchronise flag the record keeps its row and the sequence follows.
    ASSERT_TRUE(Grid->UpdateSequenceValues());
    const Integer row = Grid->DataLink()->ActiveRecord();
    EXPECT_EQ(Grid->MoveBy(10, true), 10);
    EXPECT_EQ(CurrentId(*DataSet), 18);
    EXPECT_EQ(Grid->DataLink()->ActiveRecord(), row);
    EXPECT_EQ(TMvDBGridTestAccess::SequenceNumber(*Grid), 18);
}

TEST_F(GridRecordWindow, EnablePositionKeepsTheNewRecordInTheSavedRowOrReturns) {
    auto dataSet = MakeNumberedSet(50);
    Link(dataSet.get());
    ShowInRow(*dataSet, 5, 4);

    Grid->DisablePosition();
    EXPECT_TRUE(Grid->PositionDisabled());
    EXPECT_TRUE(dataSet->ControlsDisabled());
    dataSet->MoveBy(20);
    Grid->EnablePosition(true);
    EXPECT_FALSE(dataSet->ControlsDisabled());
    EXPECT_EQ(CurrentId(*dataSet), 25);
    EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 4);
    EXPECT_EQ(Grid->Row(), 5);

    Grid->DisablePosition();
    Grid->DisablePosition(); // nested: only the outer level saves and restores
    dataSet->First();
    Grid->EnablePosition(true);
    EXPECT_TRUE(dataSet->ControlsDisabled());
    Grid->EnablePosition(false);
    EXPECT_EQ(CurrentId(*dataSet), 25);
    EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 4);
    Grid->EnablePosition(false); // at zero: nothing
    EXPECT_FALSE(Grid->PositionDisabled());

    EXPECT_EQ(Grid->GetPosition(), 4);
    Grid->SetPosition(99); // limited to the window
    EXPECT_EQ(Grid->GetPosition(), 9);
    EXPECT_EQ(CurrentId(*dataSet), 30);
}

TEST_F(GridRecordWindow, DisableGridHoldsThePositionAndTheEnabledState) {
    auto dataSet = MakeNumberedSet(30);
    Link(dataSet.get());
    ShowInRow(*dataSet, 12, 3);
    Grid->DisableGrid();
    EXPECT_TRUE(Grid->GridDisabled());
    EXPECT_FALSE(Grid->Enabled());
    dataSet->Last();
    Grid->EnableGrid();
    EXPECT_FALSE(Grid->GridDisabled());
    EXPECT_TRUE(Grid->Enabled());
    EXPECT_EQ(CurrentId(*dataSet), 12);
    EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 3);

    // Linked to another data set meanwhile: the lock gives back the first one's controls,
    // and a data set freed under a lock is simply forgotten.
    auto other = MakeNumberedSet(5);
    Grid->DisableGrid();
    Link(other.get());
    Grid->EnableGrid();
    EXPECT_FALSE(dataSet->ControlsDisabled());
    EXPECT_FALSE(other->ControlsDisabled());
    Grid->DisablePosition();
    Link(nullptr);
    other.reset();
    Grid->EnablePosition();
    EXPECT_FALSE(Grid->PositionDisabled());
}

TEST_F(GridRecordWindow, RefreshDataSetReopensOnTheRecordWithTheSameKey) {
    auto dataSet = MakeNumberedSet(30);
    KeepInFile(*dataSet);
    Grid->SetKeyFields(u"ID");
    EXPECT_TRUE(Grid->KeepPosition());
    Link(dataSet.get());
    ShowInRow(*dataSet, 17, 2);
    Grid->RefreshDataSet();
    EXPECT_TRUE(dataSet->Active());
    EXPECT_EQ(CurrentId(*dataSet), 17);
    EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 2);
}

TEST_F(GridRecordWindow, FieldMapFromFieldsRaisesForMissingNamesFromColumnsMapsThemToNothing) {
    auto dataSet = MakeNumberedSet(5);
    Grid->Columns()->Add()->SetFieldName(u"ID");
    Grid->Columns()->Add()->SetFieldName(u"Nmae");
    ASSERT_EQ(Grid->Columns()->State(), csCustomized);
    Link(dataSet.get());

    TMvGridDataLink* link = Grid->DataLink();
    EXPECT_TRUE(link->SparseMap());
    EXPECT_EQ(link->FieldCount(), 2);
    EXPECT_EQ(link->GetMappedIndex(0), 0);
    EXPECT_EQ(link->GetMappedIndex(1), -1);
    EXPECT_EQ(link->GetMappedIndex(2), -1);
    EXPECT_EQ(link->GetFields(0), dataSet->FieldByName(u"ID"));
    EXPECT_EQ(link->GetFields(1), nullptr);
    EXPECT_FALSE(link->DefaultFields());
    EXPECT_EQ(Grid->Columns()->Items(1)->Field(), nullptr);
    EXPECT_EQ(Grid->ColCount(), 3);

    Grid->Columns()->Items(1)->SetFieldName(u"Name");
    EXPECT_TRUE(link->DefaultFields());
    EXPECT_EQ(Grid->Columns()->Items(1)->Field(), dataSet->FieldByName(u"Name"));

    link->SetSparseMap(false);
    try {
        link->AddMapping(u"Nmae");
        FAIL() << "a missing field of a non-sparse map must raise";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().find(u"Nmae"), String::npos);
    }
}

// Reaches the used-entry count so that the map's limit can be met without a gigabyte map.
class TProbeLink : public TMvGridDataLink {
public:
    using TMvGridDataLink::TMvGridDataLink;
    void SetUsed(Integer count) { FFieldCount = count; }
};

TEST_F(GridRecordWindow, TheFieldMapGrowsByDoublingFromEightAndStopsAtItsLimit) {
    TProbeLink link(Grid);
    link.SetSparseMap(true);
    EXPECT_EQ(link.FieldMapSize(), 0);
    link.AddMapping(u"A");
    EXPECT_EQ(link.FieldMapSize(), 8);
    for (Integer i = 0; i < 8; ++i)
        EXPECT_TRUE(link.AddMapping(u"B"));
    EXPECT_EQ(link.FieldCount(), 9);
    EXPECT_EQ(link.FieldMapSize(), 16);
    link.ClearMapping();
    EXPECT_EQ(link.FieldCount(), 0);
    EXPECT_EQ(link.GetMappedIndex(0), -1);

    link.SetUsed(TMvGridDataLink::MaxMapSize);
    try {
        link.AddMapping(u"C");
        FAIL() << "the map's limit must raise";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), DBConsts::STooManyColumns);
    }
    link.SetUsed(0);
}

TEST_F(GridRecordWindow, EnumerablesWalkTheRecordsTheCurrentRowAndTheCurrentColumn) {
    auto dataSet = MakeNumberedSet(5);
    Link(dataSet.get());
    std::vector<Integer> ids;
    Grid->DisablePosition();
    for (const TBookmark& bookmark : Grid->DataRows()) {
        (void)bookmark;
        ids.push_back(CurrentId(*dataSet));
    }
    Grid->EnablePosition();
    EXPECT_EQ(ids, (std::vector<Integer>{1, 2, 3, 4, 5}));
    EXPECT_EQ(CurrentId(*dataSet), 1);

    dataSet->MoveBy(2);
    Integer rows = 0;
    for (const TBookmark& bookmark : Grid->CurrentRow()) {
        EXPECT_EQ(bookmark, dataSet->GetBookmark());
        ++rows;
    }
    EXPECT_EQ(rows, 1);
    rows = 0;
    for (const TBookmark& bookmark : Grid->GetDataRowEnum(reSelectedRowsOrAllRows)) {
        (void)bookmark;
        ++rows;
    }
    EXPECT_EQ(rows, 5);
    Grid->SetCol(2);
    EXPECT_EQ(Grid->CurrentCol(), (std::vector<Integer>{1}));
    EXPECT_EQ(Grid->RawToDataColumn(0), -1);
    EXPECT_EQ(Grid->DataToRawColumn(0), 1);
    EXPECT_EQ(Grid->SelectedField(), dataSet->FieldByName(u"Name"));

    auto empty = MakeNumberedSet(0, u"Empty");
    Source->SetDataSet(empty.get());
    rows = 0;
    for (const TBookmark& bookmark : Grid->DataRows()) {
        (void)bookmark;
        ++rows;
    }
    for (const TBookmark& bookmark : Grid->CurrentRow()) {
        (void)bookmark;
        ++rows;
    }
    EXPECT_EQ(rows, 0);
    Source->SetDataSet(nullptr);
}

} // namespace
} // namespace mv::test

namespace mv::test {
namespace {

TEST_F(GridRecordWindow, AFieldAskingForFocusSelectsItsColumnAndConsumesTheRequest) {
    auto dataSet = MakeNumberedSet(5);
    Link(dataSet.get());
    ASSERT_EQ(Grid->Col(), 1);
    dataSet->FieldByName(u"Name")->FocusControl();
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->SelectedField(), dataSet->FieldByName(u"Name"));
    // The request was taken: the editor shows on the field's cell.
    ASSERT_NE(Grid->InplaceEditor(), nullptr);
    EXPECT_TRUE(Grid->InplaceEditor()->Visible());
}

TEST_F(GridRecordWindow, PendingEditorTextIsWrittenToTheSelectedFieldWhenTheRecordIsPosted) {
    auto dataSet = MakeNumberedSet(5);
    Link(dataSet.get());
    Grid->SetCol(2);
    Grid->SetFocus();
    Grid->ShowEditor();
    ASSERT_NE(Grid->InplaceEditor(), nullptr);
    dataSet->Edit();
    Grid->InplaceEditor()->SetText(u"typed");
    Grid->DataLink()->Modified(true);
    dataSet->Post();
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"typed");
    EXPECT_FALSE(Grid->DataLink()->Modified());
}

} // namespace
} // namespace mv::test
