// What a grid is linked to: data-source refusals, references cleared by Notification,
// master-grid rings, form-file streaming and the settings hooks of activation and
// destruction.
#include "GridTestKit.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/Filer.h"
#include "platform/vcl/ImageList.h"

namespace mv::test {
namespace {

// A client data set that reads forward only.
class TForwardOnlySet : public TClientDataSet {
public:
    TForwardOnlySet() : TClientDataSet(nullptr) {}
    void MakeForwardOnly() { SetUniDirectional(true); }
};

String DatabaseErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EDatabaseError& e) {
        return e.Message();
    }
    return u"(no error)";
}

struct GridLinking : GridFixture {};

TEST_F(GridLinking, TheTotalsOwnSourceAndAForwardOnlySetAreRefusedAndChangeNothing) {
    auto dataSet = MakeNumberedSet(5);
    TDataSource totalsSource(nullptr);
    totalsSource.SetDataSet(dataSet.get());
    Grid->Totals()->SetDataSource(&totalsSource);
    const Integer rows = Grid->RowCount();
    EXPECT_EQ(DatabaseErrorOf([&] { Grid->SetDataSource(&totalsSource); }), DBConsts::SCircularDataLink);
    EXPECT_EQ(Grid->DataSource(), nullptr);
    EXPECT_EQ(Grid->RowCount(), rows);

    Grid->BeginLoading(); // silently while loading
    EXPECT_EQ(DatabaseErrorOf([&] { Grid->SetDataSource(&totalsSource); }), u"(no error)");
    EXPECT_EQ(Grid->DataSource(), nullptr);
    Grid->EndLoading();

    TForwardOnlySet forwardOnly;
    forwardOnly.FieldDefs()->Add(u"ID", ftInteger);
    forwardOnly.CreateDataSet();
    forwardOnly.MakeForwardOnly();
    TDataSource forwardSource(nullptr);
    forwardSource.SetDataSet(&forwardOnly);
    EXPECT_EQ(DatabaseErrorOf([&] { Grid->SetDataSource(&forwardSource); }),
              DBConsts::SDataSetUnidirectional);
    EXPECT_EQ(Grid->DataSource(), nullptr);
    EXPECT_FALSE(Grid->DataLink()->Active());
    Grid->Totals()->SetDataSource(nullptr);
}

TEST_F(GridLinking, NotificationClearsEveryKindOfReference) {
    auto* titleImages = new TCustomImageList(nullptr);
    auto* markers = new TCustomImageList(nullptr);
    auto* menu = new TComponent(nullptr);
    auto* lookup = new TClientDataSet(nullptr);
    auto* totalsSource = new TDataSource(nullptr);
    auto* gridSource = new TDataSource(nullptr);
    TMvColumn* column = Grid->Columns()->Add();
    column->SetFieldName(u"ID");
    Grid->SetTitleImages(titleImages);
    Grid->SetIndicatorImages(titleImages);
    Grid->SetTitleMarkers(markers);
    Grid->Totals()->SetImages(markers);
    column->SetImages(titleImages);
    Grid->SetFillerPopupMenu(menu);
    Grid->SetIndicatorPopupMenu(menu);
    column->SetPopupMenu(menu);
    column->SetDropDownMenu(menu);
    column->Title()->SetPopupMenu(menu);
    column->Title()->SetDropDownMenu(menu);
    column->SetLookupDataSet(lookup);
    Grid->Totals()->SetDataSource(totalsSource);
    Grid->SetDataSource(gridSource);

    delete titleImages;
    EXPECT_EQ(Grid->TitleImages(), nullptr);
    EXPECT_EQ(Grid->IndicatorImages(), nullptr);
    EXPECT_EQ(column->Images(), nullptr);
    EXPECT_EQ(Grid->TitleMarkers(), markers);
    delete markers;
    EXPECT_EQ(Grid->TitleMarkers(), nullptr);
    EXPECT_EQ(Grid->Totals()->Images(), nullptr);
    delete menu;
    EXPECT_EQ(Grid->FillerPopupMenu(), nullptr);
    EXPECT_EQ(Grid->IndicatorPopupMenu(), nullptr);
    EXPECT_EQ(column->PopupMenu(), nullptr);
    EXPECT_EQ(column->DropDownMenu(), nullptr);
    EXPECT_EQ(column->Title()->PopupMenu(), nullptr);
    EXPECT_EQ(column->Title()->DropDownMenu(), nullptr);
    delete lookup;
    EXPECT_EQ(column->LookupDataSet(), nullptr);
    delete totalsSource;
    EXPECT_EQ(Grid->Totals()->DataSource(), nullptr);
    delete gridSource;
    EXPECT_EQ(Grid->DataSource(), nullptr);
}

TEST_F(GridLinking, ColumnsLoseTheirFieldsWhenTheFieldsGoAndTheLayoutFollows) {
    auto dataSet = MakeNumberedSet(5);
    KeepInFile(*dataSet);
    Grid->Columns()->Add()->SetFieldName(u"ID");
    Grid->Columns()->Add()->SetFieldName(u"Name");
    Link(dataSet.get());
    TMvColumn* column = Grid->Columns()->Items(1);
    ASSERT_EQ(column->Field(), dataSet->FieldByName(u"Name"));
    EXPECT_FALSE(Grid->NeedsNotification(column->Field()));
    Grid->Columns()->Add()->SetFieldName(u"Name");
    EXPECT_TRUE(Grid->NeedsNotification(column->Field()));
    dataSet->Close(); // frees the automatic fields
    EXPECT_EQ(column->Field(), nullptr);
    EXPECT_EQ(Grid->Columns()->Items(0)->Field(), nullptr);
    dataSet->Open();
    EXPECT_EQ(column->Field(), dataSet->FieldByName(u"Name"));
}

TEST_F(GridLinking, TheForceCustomizedOptionKeepsTheColumnsOfTheFirstActivation) {
    auto dataSet = MakeNumberedSet(3);
    Grid->SetOptionsExt(Grid->OptionsExt() + dgForceCustomized);
    Link(dataSet.get());
    EXPECT_EQ(Grid->Columns()->State(), csCustomized);
    ASSERT_EQ(Grid->Columns()->Count(), 2);
    EXPECT_EQ(Grid->Columns()->Items(1)->FieldName(), u"Name");
    EXPECT_TRUE(Grid->DataLink()->SparseMap());
}

struct GridRing : GridFixture {
    TCountingGrid* Second = nullptr;
    TCountingGrid* Third = nullptr;
    void SetUp() override {
        GridFixture::SetUp();
        Second = AddGrid();
        Third = AddGrid();
        for (TCountingGrid* grid : {Grid, Second, Third}) {
            grid->Columns()->Add()->SetFieldName(u"ID");
            grid->Columns()->Add()->SetFieldName(u"Name");
        }
    }
    TCountingGrid* AddGrid() {
        auto* grid = new TCountingGrid(Form);
        grid->SetParent(Form);
        grid->SetBounds(0, 0, 300, 200);
        return grid;
    }
};

TEST_F(GridRing, AMasterRingSynchronisesWidthsAndRefusesACycle) {
    Grid->Columns()->Items(0)->SetWidth(111);
    Grid->SetIndicatorWidth(30);
    Second->SetMasterGrid(Grid);
    EXPECT_EQ(Grid->NextGrid(), Second);
    EXPECT_EQ(Second->NextGrid(), Grid);
    EXPECT_EQ(Second->Columns()->Items(0)->Width(), 111);
    EXPECT_EQ(Second->IndicatorWidth(), 30);
    Third->SetMasterGrid(Second);
    EXPECT_EQ(Third->Columns()->Items(0)->Width(), 111);

    // A change on any grid goes round the ring.
    Grid->Columns()->Items(1)->SetWidth(77);
    EXPECT_EQ(Second->Columns()->Items(1)->Width(), 77);
    EXPECT_EQ(Third->Columns()->Items(1)->Width(), 77);
    Third->Columns()->Items(1)->SetVisible(false);
    EXPECT_FALSE(Grid->Columns()->Items(1)->Visible());
    EXPECT_FALSE(Second->Columns()->Items(1)->Visible());
    Second->SetFixedCols(1);
    EXPECT_EQ(Third->FixedCols(), 1);
    EXPECT_EQ(Grid->FixedCols(), 1);

    // Grid's master chain would lead back to itself.
    EXPECT_EQ(DatabaseErrorOf([&] { Grid->SetMasterGrid(Third); }), DBConsts::SCircularDataLink);
    EXPECT_EQ(Grid->MasterGrid(), nullptr);
    EXPECT_EQ(Grid->NextGrid(), Second);
    EXPECT_EQ(DatabaseErrorOf([&] { Second->SetMasterGrid(Second); }), DBConsts::SCircularDataLink);
    EXPECT_EQ(Second->MasterGrid(), Grid);

    // A grid with a master keeps its stretch mode.
    Second->SetStretchMode(true);
    EXPECT_FALSE(Second->StretchMode());

    // Leaving: the ring closes around the grid that goes.
    delete Second;
    EXPECT_EQ(Third->MasterGrid(), nullptr);
    EXPECT_EQ(Grid->NextGrid(), Third);
    EXPECT_EQ(Third->NextGrid(), Grid);
    Grid->Columns()->Items(0)->SetWidth(55);
    EXPECT_EQ(Third->Columns()->Items(0)->Width(), 55);
    // Without a master the grid still belongs to the ring until it leaves it.
    Third->SetMasterGrid(Grid);
    EXPECT_EQ(Grid->NextGrid(), Third);
    Third->SetMasterGrid(nullptr);
    EXPECT_EQ(Grid->NextGrid(), Grid);
    EXPECT_EQ(Third->NextGrid(), Third);
}

TEST_F(GridLinking, ColumnsAndOrderFieldsGoThroughTheirOwnFormEntries) {
    auto* grid = new TMvDBGrid(Form); // a registered class, as form files hold
    grid->SetName(u"Grid1");
    EXPECT_EQ(ComponentToText(grid).find(u"Columns"), String::npos); // default columns
    TMvColumn* column = grid->Columns()->Add();
    column->SetFieldName(u"ID");
    column->SetWidth(90);
    grid->Columns()->Add()->SetFieldName(u"Name");
    grid->SetOrderFields(u"Name DESC");
    grid->SetIndicatorWidth(25);
    const String text = ComponentToText(grid);
    EXPECT_NE(text.find(u"Columns = <"), String::npos);
    EXPECT_NE(text.find(u"FieldName = 'ID'"), String::npos);
    EXPECT_NE(text.find(u"Width = 90"), String::npos);
    EXPECT_NE(text.find(u"OrderFields = 'Name DESC'"), String::npos);
    EXPECT_NE(text.find(u"IndicatorWidth = 25"), String::npos);
    EXPECT_EQ(text.find(u"DrawingOptions"), String::npos);

    // An ancestor with the same columns: nothing to write.
    TMvDBGrid ancestor(nullptr);
    ancestor.SetName(u"Grid1");
    ancestor.Columns()->Assign(grid->Columns());
    EXPECT_EQ(ComponentToText(grid, &ancestor).find(u"Columns"), String::npos);

    auto copy = std::make_unique<TMvDBGrid>(nullptr);
    copy->Columns()->Add()->SetFieldName(u"Stale");
    TextToComponent(text, copy.get());
    ASSERT_EQ(copy->Columns()->Count(), 2);
    EXPECT_EQ(copy->Columns()->Items(0)->FieldName(), u"ID");
    EXPECT_EQ(copy->Columns()->Items(0)->Width(), 90);
    EXPECT_EQ(copy->Columns()->State(), csCustomized);
    EXPECT_EQ(copy->IndicatorWidth(), 25);
    EXPECT_EQ(copy->OrderFields(), u""); // read and discarded
}

// Settings that count the layout storage calls.
class TCountingSettings : public TMvDBGridSettings {
public:
    using TMvDBGridSettings::TMvDBGridSettings;
    static inline Integer Loads = 0;
    static inline Integer Saves = 0;
    void AutoLoadLayout() override { ++Loads; }
    void AutoSaveLayout() override { ++Saves; }
};

class TSettingsGrid : public TMvDBGrid {
public:
    explicit TSettingsGrid(TComponent* owner) : TMvDBGrid(owner) { ReplaceCompanions(); }

protected:
    std::unique_ptr<TMvDBGridSettings> CreateSettings() override {
        return std::make_unique<TCountingSettings>(this);
    }
};

TEST_F(GridLinking, ActiveSettingsLoadOnceAtTheFirstActivationAfterLoadingAndSaveAtDestruction) {
    TCountingSettings::Loads = TCountingSettings::Saves = 0;
    auto dataSet = MakeNumberedSet(30);
    KeepInFile(*dataSet);
    dataSet->MoveBy(10);
    Source->SetDataSet(dataSet.get());
    auto* grid = new TSettingsGrid(Form);
    grid->SetParent(Form);
    grid->SetBounds(0, 0, 300, 200);
    grid->Settings()->SetActive(true);
    grid->BeginLoading();
    grid->EndLoading();
    grid->SetDataSource(Source.get());
    EXPECT_EQ(TCountingSettings::Loads, 1);
    EXPECT_EQ(CurrentId(*dataSet), 1); // the layout load ends on the first record
    dataSet->Close();
    dataSet->Open();
    EXPECT_EQ(TCountingSettings::Loads, 1);
    delete grid;
    EXPECT_EQ(TCountingSettings::Saves, 1);

    auto* designed = new TSettingsGrid(nullptr);
    designed->Settings()->SetActive(true);
    designed->SetDesigning(true);
    delete designed;
    EXPECT_EQ(TCountingSettings::Saves, 1);
}

TEST_F(GridLinking, AGridFreedWithJobsWaitingLeavesNoTimerBehind) {
    auto* grid = new TCountingGrid(Form);
    grid->SetParent(Form);
    grid->SetBounds(0, 0, 300, 200);
    grid->UpdateListItems(true);
    grid->EndSelect();
    EXPECT_EQ(TMvDBGridTestAccess::TimerCount(*grid), 2);
    delete grid;
    Host.AdvanceTime(1000); // a timer left behind would call into the freed grid
}

} // namespace
} // namespace mv::test
