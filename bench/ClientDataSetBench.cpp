// The client data set against SQLite (C API, in-memory table) on 1,000,000 records of
// (integer id, 12-character name, double amount, date): appending, ordering by Name,
// ordering by Amount descending through an index definition, filtering with
// "Name LIKE '%ab%'", and 100,000 locates by id. std::stable_sort of the raw rows is the
// floor for the two orders. Before the benchmarks the program prints the memory the data
// set takes (peak RSS) against the raw payload.
//
// What is compared: an order change re-sorts and shows the first record, so SQLite's peer
// runs the ORDER BY query and fetches the first 30 rows (it must sort everything first);
// the filter builds the whole filtered list, so SQLite's peer steps through every match.
// Targets: order changes and the filter at most as slow as SQLite; memory at most twice
// the payload.
#include "RatioReporter.h"

#include "platform/db/ClientDataSet.h"
#include "platform/rtl/DateUtils.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace mv;

constexpr int RecordCount = 1'000'000;
constexpr int LocateCount = 100'000;
constexpr int ScreenRows = 30;

struct TRawRow {
    std::int32_t Id;
    std::array<char, 13> Name;
    double Amount;
    std::int32_t Date; // days since 1899-12-30
};

const std::vector<TRawRow>& Rows() {
    static const std::vector<TRawRow> rows = [] {
        std::vector<TRawRow> result(RecordCount);
        std::mt19937 random(12345);
        std::uniform_int_distribution<int> letter('a', 'z');
        std::uniform_real_distribution<double> amount(0, 100000);
        std::uniform_int_distribution<int> day(36526, 46000);
        for (int i = 0; i < RecordCount; ++i) {
            TRawRow& row = result[static_cast<std::size_t>(i)];
            row.Id = i + 1;
            for (int c = 0; c < 12; ++c)
                row.Name[static_cast<std::size_t>(c)] = static_cast<char>(letter(random));
            row.Name[12] = 0;
            row.Amount = std::round(amount(random) * 100) / 100;
            row.Date = day(random);
        }
        return result;
    }();
    return rows;
}

std::unique_ptr<TClientDataSet> NewDataSet() {
    auto ds = std::make_unique<TClientDataSet>();
    ds->FieldDefs()->Add(u"ID", ftInteger);
    ds->FieldDefs()->Add(u"Name", ftString, 12);
    ds->FieldDefs()->Add(u"Amount", ftFloat);
    ds->FieldDefs()->Add(u"Born", ftDate);
    ds->CreateDataSet();
    return ds;
}

void AppendAll(TClientDataSet& ds) {
    ds.DisableControls();
    for (const TRawRow& row : Rows())
        ds.AppendRecord({Variant(row.Id), Variant(String(row.Name.data(), row.Name.data() + 12)),
                         Variant(row.Amount), VarFromDateTime(row.Date)});
    ds.EnableControls();
}

TClientDataSet& Filled() {
    static std::unique_ptr<TClientDataSet> ds = [] {
        auto result = NewDataSet();
        AppendAll(*result);
        return result;
    }();
    return *ds;
}

sqlite3* NewDatabase() {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, amount REAL, born INTEGER)", nullptr,
                 nullptr, nullptr);
    return db;
}

void InsertAll(sqlite3* db) {
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?, ?, ?, ?)", -1, &insert, nullptr);
    for (const TRawRow& row : Rows()) {
        sqlite3_bind_int(insert, 1, row.Id);
        sqlite3_bind_text(insert, 2, row.Name.data(), 12, SQLITE_STATIC);
        sqlite3_bind_double(insert, 3, row.Amount);
        sqlite3_bind_int(insert, 4, row.Date);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

sqlite3* FilledDatabase() {
    static sqlite3* db = [] {
        sqlite3* result = NewDatabase();
        InsertAll(result);
        return result;
    }();
    return db;
}

// Runs a query and steps through up to limit rows (all when limit < 0); returns the rows.
int Query(sqlite3* db, const char* sql, int limit) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    int rows = 0;
    while ((limit < 0 || rows < limit) && sqlite3_step(statement) == SQLITE_ROW) {
        benchmark::DoNotOptimize(sqlite3_column_int(statement, 0));
        ++rows;
    }
    sqlite3_finalize(statement);
    return rows;
}

// ---- Appending ------------------------------------------------------------------------

void BM_CDS_Append(benchmark::State& state) {
    Rows();
    for (auto _ : state) {
        auto ds = NewDataSet();
        AppendAll(*ds);
        benchmark::DoNotOptimize(ds->RecordCount());
    }
}
BENCHMARK(BM_CDS_Append)->Unit(benchmark::kMillisecond);

void BM_SQLite_Append(benchmark::State& state) {
    Rows();
    for (auto _ : state) {
        sqlite3* db = NewDatabase();
        InsertAll(db);
        sqlite3_close(db);
    }
}
BENCHMARK(BM_SQLite_Append)->Unit(benchmark::kMillisecond);

// ---- Ordering by Name -----------------------------------------------------------------

void BM_CDS_OrderByName(benchmark::State& state) {
    TClientDataSet& ds = Filled();
    for (auto _ : state) {
        state.PauseTiming();
        ds.SetIndexFieldNames(u""); // drops the index, so the next one is built anew
        state.ResumeTiming();
        ds.SetIndexFieldNames(u"Name");
        benchmark::DoNotOptimize(ds.FieldByName(u"ID")->AsInteger());
    }
}
BENCHMARK(BM_CDS_OrderByName)->Unit(benchmark::kMillisecond);

void BM_SQLite_OrderByName(benchmark::State& state) {
    sqlite3* db = FilledDatabase();
    for (auto _ : state)
        benchmark::DoNotOptimize(Query(db, "SELECT id, name, amount, born FROM t ORDER BY name", ScreenRows));
}
BENCHMARK(BM_SQLite_OrderByName)->Unit(benchmark::kMillisecond);

void BM_StableSort_ByName(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<TRawRow> rows = Rows();
        state.ResumeTiming();
        std::stable_sort(rows.begin(), rows.end(), [](const TRawRow& a, const TRawRow& b) {
            return std::strcmp(a.Name.data(), b.Name.data()) < 0;
        });
        benchmark::DoNotOptimize(rows.front().Id);
    }
}
BENCHMARK(BM_StableSort_ByName)->Unit(benchmark::kMillisecond);

// ---- Ordering by Amount descending through an index definition ---------------------------

void BM_CDS_OrderByAmountDesc(benchmark::State& state) {
    TClientDataSet& ds = Filled();
    for (auto _ : state) {
        state.PauseTiming();
        ds.SetIndexName(u"");
        if (ds.IndexDefs()->IndexOf(u"AmountDesc") >= 0) ds.DeleteIndex(u"AmountDesc");
        state.ResumeTiming();
        ds.AddIndex(u"AmountDesc", u"Amount", {ixDescending});
        ds.SetIndexName(u"AmountDesc");
        benchmark::DoNotOptimize(ds.FieldByName(u"ID")->AsInteger());
    }
}
BENCHMARK(BM_CDS_OrderByAmountDesc)->Unit(benchmark::kMillisecond);

void BM_SQLite_OrderByAmountDesc(benchmark::State& state) {
    sqlite3* db = FilledDatabase();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            Query(db, "SELECT id, name, amount, born FROM t ORDER BY amount DESC", ScreenRows));
}
BENCHMARK(BM_SQLite_OrderByAmountDesc)->Unit(benchmark::kMillisecond);

void BM_StableSort_ByAmountDesc(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<TRawRow> rows = Rows();
        state.ResumeTiming();
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TRawRow& a, const TRawRow& b) { return a.Amount > b.Amount; });
        benchmark::DoNotOptimize(rows.front().Id);
    }
}
BENCHMARK(BM_StableSort_ByAmountDesc)->Unit(benchmark::kMillisecond);

// ---- Filtering ----------------------------------------------------------------------------

void BM_CDS_FilterLike(benchmark::State& state) {
    TClientDataSet& ds = Filled();
    ds.SetIndexName(u"");
    ds.SetFilter(u"Name LIKE '%ab%'");
    int matches = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ds.SetFiltered(false);
        state.ResumeTiming();
        ds.SetFiltered(true);
        matches = ds.RecordCount();
    }
    ds.SetFiltered(false);
    state.counters["matches"] = matches;
}
BENCHMARK(BM_CDS_FilterLike)->Unit(benchmark::kMillisecond);

void BM_SQLite_FilterLike(benchmark::State& state) {
    sqlite3* db = FilledDatabase();
    int matches = 0;
    for (auto _ : state)
        matches = Query(db, "SELECT id, name, amount, born FROM t WHERE name LIKE '%ab%'", -1);
    state.counters["matches"] = matches;
}
BENCHMARK(BM_SQLite_FilterLike)->Unit(benchmark::kMillisecond);

// ---- Locate by id -----------------------------------------------------------------------------

std::vector<int> LocateKeys() {
    std::vector<int> keys(LocateCount);
    std::mt19937 random(777);
    std::uniform_int_distribution<int> id(1, RecordCount);
    for (int& key : keys)
        key = id(random);
    return keys;
}

void BM_CDS_Locate(benchmark::State& state) {
    TClientDataSet& ds = Filled();
    if (ds.IndexDefs()->IndexOf(u"ById") < 0) ds.AddIndex(u"ById", u"ID", {ixPrimary});
    ds.Locate(u"ID", 1, {}); // builds the index once
    std::vector<int> keys = LocateKeys();
    for (auto _ : state)
        for (int key : keys)
            benchmark::DoNotOptimize(ds.Locate(u"ID", key, {}));
}
BENCHMARK(BM_CDS_Locate)->Unit(benchmark::kMillisecond);

void BM_SQLite_Locate(benchmark::State& state) {
    sqlite3* db = FilledDatabase();
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(db, "SELECT id, name, amount, born FROM t WHERE id = ?", -1, &find, nullptr);
    std::vector<int> keys = LocateKeys();
    for (auto _ : state) {
        for (int key : keys) {
            sqlite3_bind_int(find, 1, key);
            benchmark::DoNotOptimize(sqlite3_step(find));
            sqlite3_reset(find);
        }
    }
    sqlite3_finalize(find);
}
BENCHMARK(BM_SQLite_Locate)->Unit(benchmark::kMillisecond);

// ---- Memory ---------------------------------------------------------------------------------

long StatusKilobytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    return -1;
}

// Memory of the data set with its records, a Name order and an Amount descending index,
// measured before anything else runs (so the peak belongs to the data set).
void PrintMemory() {
    Rows();
    long before = StatusKilobytes("VmRSS:");
    {
        TClientDataSet& ds = Filled();
        ds.SetIndexFieldNames(u"Name");
        ds.AddIndex(u"AmountDesc", u"Amount", {ixDescending});
        ds.SetIndexName(u"AmountDesc");
        long after = StatusKilobytes("VmRSS:");
        long peak = StatusKilobytes("VmHWM:");
        double payload = RecordCount * (4.0 + 12 + 8 + 4) / 1024; // id, name, amount, date
        std::printf("memory: payload %.0f KiB; data set with order and index %ld KiB (%.2f x payload); "
                    "peak RSS %ld KiB (%.2f x payload above the %ld KiB before); target at most 2 x\n",
                    payload, after - before, (after - before) / payload, peak, (peak - before) / payload,
                    before);
        ds.SetIndexName(u"");
        ds.DeleteIndex(u"AmountDesc");
    }
}

} // namespace

int main(int argc, char** argv) {
    PrintMemory();
    benchmark::Initialize(&argc, argv);
    mv::bench::TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("append 1,000,000", "BM_CDS_Append", "BM_SQLite_Append", "reported");
    reporter.PrintRatio("order by Name", "BM_CDS_OrderByName", "BM_SQLite_OrderByName", "target <= 1");
    reporter.PrintRatio("order by Name, floor", "BM_CDS_OrderByName", "BM_StableSort_ByName", "floor");
    reporter.PrintRatio("order by Amount desc", "BM_CDS_OrderByAmountDesc", "BM_SQLite_OrderByAmountDesc",
                        "target <= 1");
    reporter.PrintRatio("order by Amount desc, floor", "BM_CDS_OrderByAmountDesc",
                        "BM_StableSort_ByAmountDesc", "floor");
    reporter.PrintRatio("filter Name LIKE '%ab%'", "BM_CDS_FilterLike", "BM_SQLite_FilterLike",
                        "target <= 1");
    reporter.PrintRatio("locate 100,000 ids", "BM_CDS_Locate", "BM_SQLite_Locate", "reported");
    benchmark::Shutdown();
    return 0;
}
