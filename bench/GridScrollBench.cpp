// Scrolling a data-aware grid over a client data set on the headless host: one row at a
// time (10,000 steps) and a page at a time (1,000 steps). The cost of a step must not grow
// with the record count: each benchmark runs over 10,000 and 1,000,000 records and the
// program prints the ratio of the two (target: about 1). Protects the record window
// (GridRecordWindow.cpp: Scroll, UpdateActive, UpdateRowCount), which touches only the
// link's buffered records.
#include "RatioReporter.h"

#include "grids/MvDBGrids.h"
#include "platform/db/ClientDataSet.h"
#include "platform/host/HeadlessHost.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Forms.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>

namespace mv {
namespace {

// One grid per record count, built once: filling a million records is not what is measured.
struct TGridFixture {
    explicit TGridFixture(Integer count) {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 640, 480);
        Form->Show();
        DataSet = std::make_unique<TClientDataSet>(nullptr);
        DataSet->FieldDefs()->Add(u"ID", ftInteger);
        DataSet->FieldDefs()->Add(u"Name", ftString, 20);
        DataSet->FieldDefs()->Add(u"Amount", ftFloat);
        DataSet->CreateDataSet();
        DataSet->DisableControls();
        for (Integer i = 1; i <= count; ++i)
            DataSet->AppendRecord({Variant(i), Variant(u"Name" + IntToStr(i)), Variant(i * 0.5)});
        DataSet->EnableControls();
        DataSet->First();
        Source = std::make_unique<TDataSource>(nullptr);
        Source->SetDataSet(DataSet.get());
        Grid = new TMvDBGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 600, 400);
        Grid->SetDataSource(Source.get());
        Application->ProcessMessages();
    }
    ~TGridFixture() {
        Form.reset();
        Source.reset();
        DataSet.reset();
    }
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TClientDataSet> DataSet;
    std::unique_ptr<TDataSource> Source;
    TMvDBGrid* Grid = nullptr;
};

THeadlessHost& Host() {
    static THeadlessHost host;
    return host;
}

TGridFixture& Fixture(Integer count) {
    static std::map<Integer, std::unique_ptr<TGridFixture>> fixtures;
    auto& fixture = fixtures[count];
    if (!fixture) fixture = std::make_unique<TGridFixture>(count);
    return *fixture;
}

// One record down per step; the window scrolls by one row once the cursor is on the last
// data row. Wraps to the first record at the end (outside the timing).
void BM_GridScrollRow(benchmark::State& state) {
    TGridFixture& fixture = Fixture(static_cast<Integer>(state.range(0)));
    fixture.DataSet->First();
    for (auto _ : state) {
        fixture.DataSet->Next();
        if (fixture.DataSet->Eof()) {
            state.PauseTiming();
            fixture.DataSet->First();
            state.ResumeTiming();
        }
    }
    state.counters["row"] = fixture.Grid->Row();
}
BENCHMARK(BM_GridScrollRow)->Arg(10000)->Arg(1000000)->Iterations(10000)->Unit(benchmark::kMicrosecond);

// One page (the visible data rows) down per step through the grid.
void BM_GridScrollPage(benchmark::State& state) {
    TGridFixture& fixture = Fixture(static_cast<Integer>(state.range(0)));
    fixture.DataSet->First();
    const Integer page = fixture.Grid->GetVisibleRowCount();
    for (auto _ : state) {
        if (fixture.Grid->MoveBy(page) < page) {
            state.PauseTiming();
            fixture.DataSet->First();
            state.ResumeTiming();
        }
    }
    state.counters["page"] = page;
}
BENCHMARK(BM_GridScrollPage)->Arg(10000)->Arg(1000000)->Iterations(1000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace mv

int main(int argc, char** argv) {
    setenv("FONTCONFIG_FILE", MV_FONTS_CONF, 0);
    mv::InstallHost(&mv::Host());
    benchmark::Initialize(&argc, argv);
    mv::bench::TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("row step, 1,000,000 vs 10,000 records", "BM_GridScrollRow/1000000/iterations:10000",
                        "BM_GridScrollRow/10000/iterations:10000", "target about 1");
    reporter.PrintRatio("page step, 1,000,000 vs 10,000 records", "BM_GridScrollPage/1000000/iterations:1000",
                        "BM_GridScrollPage/10000/iterations:1000", "target about 1");
    benchmark::Shutdown();
    return 0;
}
