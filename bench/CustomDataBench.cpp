// Scrolling a custom data set whose owner computes its values, through a data link with a
// window of 10 rows that reads every shown value (as a grid painting its rows does).
// The cost of a step must not grow with the record count: compare the 10,000 and the
// 1,000,000 runs of each benchmark. Protects TMvDBCustomData's fetch-on-read slots and its
// cursor, which is a record number (no walk from the first record).
#include "platform/db/DataSource.h"
#include "platform/rtl/StrUtils.h"
#include "treeview/MvDBCustData.h"

#include <benchmark/benchmark.h>

namespace mv {
namespace {

class TComputedData : public TMvDBCustomData {
public:
    explicit TComputedData(Integer count) : TMvDBCustomData(nullptr), FCount(count) {
        FieldDefs()->Add(u"ID", ftInteger);
        FieldDefs()->Add(u"Code", ftString, 12);
        FieldDefs()->Add(u"Title", ftWideString, 20);
    }
    ~TComputedData() override { Close(); }

    Int64 Asked = 0;

protected:
    void DoOnCountRecords(Integer& count) override { count = FCount; }
    void DoOnGetFieldData(Integer index, TField* field, Variant& value) override {
        ++Asked;
        switch (field->FieldNo()) {
        case 1:
            value = index;
            break;
        case 2:
            value = u"C" + IntToStr(index);
            break;
        default:
            value = u"Title " + IntToStr(index % 1000);
            break;
        }
    }

private:
    Integer FCount;
};

class TPaintingLink : public TDataLink {
public:
    Int64 Checksum = 0;

protected:
    void DataSetChanged() override { ReadWindow(); }
    void DataSetScrolled(Integer) override { ReadWindow(); }

private:
    void ReadWindow() {
        Integer saved = ActiveRecord();
        for (Integer row = 0; row < RecordCount(); ++row) {
            SetActiveRecord(row);
            for (TField* field : *DataSet()->Fields())
                Checksum += static_cast<Int64>(field->AsString().size());
        }
        SetActiveRecord(saved);
    }
};

struct TScrollFixture {
    explicit TScrollFixture(Integer count) : DataSet(count), Source(nullptr) {
        Source.SetDataSet(&DataSet);
        Link.SetBufferCount(10);
        Link.SetDataSource(&Source);
        DataSet.Open();
    }
    TComputedData DataSet;
    TDataSource Source;
    TPaintingLink Link;
};

// First, Last and back: two window refills per iteration.
void BM_FirstLast(benchmark::State& state) {
    TScrollFixture fixture(static_cast<Integer>(state.range(0)));
    for (auto _ : state) {
        fixture.DataSet.Last();
        fixture.DataSet.First();
    }
    benchmark::DoNotOptimize(fixture.Link.Checksum);
    state.counters["asked/iter"] =
        benchmark::Counter(static_cast<double>(fixture.DataSet.Asked), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FirstLast)->Arg(10000)->Arg(1000000);

// Paging down by a window's height from the top row (ten new records per page), wrapping
// to the first record at the end.
void BM_PageDown(benchmark::State& state) {
    TScrollFixture fixture(static_cast<Integer>(state.range(0)));
    for (auto _ : state) {
        if (fixture.Link.MoveBy(10) < 10) {
            state.PauseTiming();
            fixture.DataSet.First();
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(fixture.Link.Checksum);
}
BENCHMARK(BM_PageDown)->Arg(10000)->Arg(1000000);

// Jumping to a record number in the middle and back near the start.
void BM_SetRecNo(benchmark::State& state) {
    auto count = static_cast<Integer>(state.range(0));
    TScrollFixture fixture(count);
    for (auto _ : state) {
        fixture.DataSet.SetRecNo(count / 2);
        fixture.DataSet.SetRecNo(20);
    }
    benchmark::DoNotOptimize(fixture.Link.Checksum);
}
BENCHMARK(BM_SetRecNo)->Arg(10000)->Arg(1000000);

} // namespace
} // namespace mv

BENCHMARK_MAIN();
