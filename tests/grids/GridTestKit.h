// Shared pieces of the grid tests: a headless host with a shown form, numbered client data
// sets, and a grid that counts the work it is asked to do.
#pragma once

#include "grids/MvDBGrids.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"
#include "platform/host/HeadlessHost.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace mv {

// Reaches the grid's private state for the checks that have no public reading.
class TMvDBGridTestAccess {
public:
    static bool PositionHeld(const TMvCustomDBGrid& grid) { return grid.FPositionLock.ControlsHeld; }
    static Integer SequenceNumber(const TMvCustomDBGrid& grid) { return grid.FSequenceNumber; }
    static Integer SequenceCount(const TMvCustomDBGrid& grid) { return grid.FSequenceCount; }
    static void SetSequence(TMvCustomDBGrid& grid, Integer number, Integer count) {
        grid.FSequenceNumber = number;
        grid.FSequenceCount = count;
    }
    static void SetRowOffset(TMvCustomDBGrid& grid, Integer offset) { grid.FRowOffset = offset; }
    static Integer TimerCount(const TMvCustomDBGrid& grid) {
        Integer count = 0;
        for (TTimer* timer : grid.FTimers)
            if (timer) ++count;
        return count;
    }
};

namespace test {

// Totals that always have something to compute (the totals subsystem decides otherwise).
class TComputingTotals : public TMvDBGridTotals {
public:
    using TMvDBGridTotals::TMvDBGridTotals;
    bool HasCalcValues() const override { return true; }
};

// A grid that logs its layout runs and deferred work.
class TCountingGrid : public TMvDBGrid {
public:
    explicit TCountingGrid(TComponent* owner) : TMvDBGrid(owner) { ReplaceCompanions(); }

    Integer Layouts = 0;
    std::vector<std::string> Work;

    using TMvCustomDBGrid::DataSetLayout;
    using TMvCustomDBGrid::LayoutChanged;
    using TMvCustomDBGrid::Notification;

protected:
    void InternalLayout() override {
        ++Layouts;
        TMvDBGrid::InternalLayout();
    }
    void LoadListItems() override { Work.push_back("list items"); }
    void UpdateCalcValues(bool force) override {
        (void)force;
        Work.push_back("totals");
    }
    void SequenceUpdated() override {
        Work.push_back("sequence");
        TMvDBGrid::SequenceUpdated();
    }
    void SelectedRowsChanged() override { Work.push_back("selection"); }
    std::unique_ptr<TMvDBGridTotals> CreateTotals() override {
        return std::make_unique<TComputingTotals>(this);
    }
};

// Fields ID (integer) and Name (string 20) holding (1, "Name1") .. (count, "Name<count>").
inline std::unique_ptr<TClientDataSet> MakeNumberedSet(Integer count, const String& name = u"Numbers") {
    auto dataSet = std::make_unique<TClientDataSet>(nullptr);
    dataSet->SetName(name);
    dataSet->FieldDefs()->Add(u"ID", ftInteger);
    dataSet->FieldDefs()->Add(u"Name", ftString, 20);
    dataSet->CreateDataSet();
    dataSet->DisableControls();
    for (Integer i = 1; i <= count; ++i)
        dataSet->AppendRecord({Variant(i), Variant(u"Name" + IntToStr(i))});
    dataSet->EnableControls();
    dataSet->First();
    return dataSet;
}

// A client data set forgets its records when closed; one with a file reads them back.
inline void KeepInFile(TClientDataSet& dataSet) {
    const std::string path = ::testing::TempDir() + "grid_records_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".cds";
    const String fileName(path.begin(), path.end());
    dataSet.SaveToFile(fileName);
    dataSet.SetFileName(fileName);
}

inline Integer CurrentId(TDataSet& dataSet) {
    return dataSet.FieldByName(u"ID")->AsInteger();
}

// Pixels per data row with the inherited defaults: row height 24 and a line of 1.
constexpr Integer kRowExtent = 25;

// A shown form on the headless host with one grid whose client area has room for
// dataRows data rows below one title row (and the blank row's line).
struct GridFixture : ::testing::Test {
    THeadlessHost Host;
    TForm* Form = nullptr;
    TCountingGrid* Grid = nullptr;
    std::unique_ptr<TDataSource> Source;

    void SetUp() override {
        InstallHost(&Host);
        Form = new TForm(nullptr);
        Form->SetBounds(50, 50, 600, 500);
        Form->Show();
        Grid = new TCountingGrid(Form);
        Grid->SetParent(Form);
        SetRoomForRows(10);
        Source = std::make_unique<TDataSource>(nullptr);
        Application->ProcessMessages();
    }
    void TearDown() override {
        delete Form;
        Source.reset();
        InstallHost(nullptr);
    }
    // One title row, dataRows data rows, totalRows total rows and the blank row's line,
    // with less than a row to spare.
    void SetRoomForRows(Integer dataRows, Integer totalRows = 0) {
        Grid->SetBounds(0, 0, 400, 400);
        Grid->SetClientSize(400, kRowExtent + (dataRows + totalRows) * kRowExtent + 1 + 10);
    }
    void Link(TDataSet* dataSet) {
        Source->SetDataSet(dataSet);
        Grid->SetDataSource(Source.get());
    }
};

} // namespace test
} // namespace mv
