// TSQLiteQuery against the raw sqlite3 statement doing the same, in the same run, on the
// sample database's Orders table at 10,000 and 1,000,000 rows:
//   FirstRows: open "SELECT * FROM Orders" and show the first 50 rows. Time to first rows
//              must not grow with the table (the lazy fetch of SQLiteQuery.cpp).
//   SortIndexed: the same with Sort "OrderDate" (an indexed column), pushed down as
//              ORDER BY (SQLiteQueryText.cpp); SQLite walks the index, so this too must
//              not grow with the table.
//   LoadClientDataSet: a TClientDataSet loading all of Orders through the connection
//              (ClientDataSetLoading.cpp) against stepping every row and column; reported,
//              no target. LoadClientDataSetLabel adds a computed text column. Counters:
//              HeldMB, the heap the loaded data set keeps; PeakMB, the most heap in use
//              while loading (both above what was in use before Open; C++ allocations
//              only, SQLite's own cache not counted).
// Compare Query* and Load* with Raw* of the same size in the output; the ratios of
// loading to raw stepping are printed at the end.
#include "RatioReporter.h"

#include "platform/db/ClientDataSet.h"
#include "platform/rtl/Utf8.h"
#include "platform/sqlite/SQLiteConnection.h"
#include "platform/sqlite/SQLiteQuery.h"
#include "platform/sqlite/SampleDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <new>
#include <string>
#include <unistd.h>

// Heap accounting for the memory counters: every C++ allocation of the program passes
// through here, counted by its usable size.
namespace {
std::atomic<std::size_t> gLiveBytes{0};
std::atomic<std::size_t> gPeakBytes{0};

void* CountedAllocation(std::size_t size) {
    void* memory = std::malloc(size != 0 ? size : 1);
    if (memory == nullptr) throw std::bad_alloc();
    std::size_t live = gLiveBytes.fetch_add(malloc_usable_size(memory), std::memory_order_relaxed) +
                       malloc_usable_size(memory);
    if (live > gPeakBytes.load(std::memory_order_relaxed)) gPeakBytes.store(live, std::memory_order_relaxed);
    return memory;
}

void CountedRelease(void* memory) noexcept {
    if (memory == nullptr) return;
    gLiveBytes.fetch_sub(malloc_usable_size(memory), std::memory_order_relaxed);
    std::free(memory);
}
} // namespace

void* operator new(std::size_t size) {
    return CountedAllocation(size);
}
void* operator new[](std::size_t size) {
    return CountedAllocation(size);
}
void operator delete(void* memory) noexcept {
    CountedRelease(memory);
}
void operator delete[](void* memory) noexcept {
    CountedRelease(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    CountedRelease(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    CountedRelease(memory);
}

namespace {

using namespace mv;

constexpr int kShownRows = 50;

// One sample database per size, built on first use (orders only: lines are not read)
// and removed at exit.
std::string DatabaseFile(int orders) {
    static std::map<int, std::string> files;
    static const std::filesystem::path dir = [] {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("mv_sqlite_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                            ("mv_sqlite_bench_" + std::to_string(getpid())),
                                        ignored);
        });
        return path;
    }();
    auto it = files.find(orders);
    if (it != files.end()) return it->second;
    std::string file = (dir / ("orders_" + std::to_string(orders) + ".db")).string();
    TSQLiteConnection connection;
    connection.SetDatabaseName(UTF8ToString(file));
    TSampleDatabaseOptions options;
    options.OrderCount = orders;
    options.OrderLines = false;
    CreateSampleDatabase(&connection, options);
    return files[orders] = file;
}

void QueryRows(benchmark::State& state, const String& sort) {
    std::string file = DatabaseFile(static_cast<int>(state.range(0)));
    TSQLiteConnection connection;
    connection.SetDatabaseName(UTF8ToString(file));
    connection.Open();
    TSQLiteQuery query;
    query.SetConnection(&connection);
    query.SQL()->SetText(u"SELECT * FROM Orders");
    query.SetFetchBlockSize(kShownRows);
    query.SetSort(sort);
    for (auto _ : state) {
        query.Open();
        double sum = 0;
        for (int i = 0; i < kShownRows && !query.Eof(); ++i, query.Next())
            sum += query.Fields()->Fields(5)->AsFloat();
        benchmark::DoNotOptimize(sum);
        query.Close();
    }
}

// All rows (limit < 0) or the first limit rows, every column read.
void RawRows(benchmark::State& state, const char* sql, int limit = kShownRows) {
    std::string file = DatabaseFile(static_cast<int>(state.range(0)));
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        double sum = 0;
        int columns = sqlite3_column_count(statement);
        for (int i = 0; (limit < 0 || i < limit) && sqlite3_step(statement) == SQLITE_ROW; ++i) {
            // Read every column, as the data set's cache does.
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(sqlite3_column_type(statement, c) == SQLITE_TEXT
                                             ? sqlite3_column_text16(statement, c)
                                             : nullptr);
            sum += sqlite3_column_double(statement, 5);
        }
        benchmark::DoNotOptimize(sum);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
}

void QueryFirstRows(benchmark::State& state) {
    QueryRows(state, u"");
}
void RawFirstRows(benchmark::State& state) {
    RawRows(state, "SELECT * FROM Orders");
}
void QuerySortIndexed(benchmark::State& state) {
    QueryRows(state, u"OrderDate");
}
void RawSortIndexed(benchmark::State& state) {
    RawRows(state, "SELECT * FROM Orders ORDER BY OrderDate");
}

void LoadRows(benchmark::State& state, const String& commandText) {
    std::string file = DatabaseFile(static_cast<int>(state.range(0)));
    TSQLiteConnection connection;
    connection.SetDatabaseName(UTF8ToString(file));
    connection.Open();
    TClientDataSet cds;
    cds.SetConnection(&connection);
    cds.SetCommandText(commandText);
    constexpr double MB = 1024.0 * 1024.0;
    double held = 0;
    double peak = 0;
    for (auto _ : state) {
        std::size_t before = gLiveBytes.load();
        gPeakBytes.store(before);
        cds.Open();
        benchmark::DoNotOptimize(cds.RecordCount());
        held = std::max(held, static_cast<double>(gLiveBytes.load() - before) / MB);
        peak = std::max(peak, static_cast<double>(gPeakBytes.load() - before) / MB);
        cds.Close();
    }
    state.counters["HeldMB"] = held;
    state.counters["PeakMB"] = peak;
}

void LoadClientDataSet(benchmark::State& state) {
    LoadRows(state, u"SELECT * FROM Orders");
}
void LoadClientDataSetLabel(benchmark::State& state) {
    LoadRows(state, u"SELECT *, Status || ' since ' || OrderDate AS Label FROM Orders");
}
void RawAllRows(benchmark::State& state) {
    RawRows(state, "SELECT * FROM Orders", -1);
}

BENCHMARK(LoadClientDataSet)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadClientDataSetLabel)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(RawAllRows)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(QueryFirstRows)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawFirstRows)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(QuerySortIndexed)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawSortIndexed)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    mv::bench::TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("load 10,000 orders", "LoadClientDataSet/10000", "RawAllRows/10000", "reported");
    reporter.PrintRatio("load 100,000 orders", "LoadClientDataSet/100000", "RawAllRows/100000", "reported");
    reporter.PrintRatio("load 100,000 orders with a computed text", "LoadClientDataSetLabel/100000",
                        "RawAllRows/100000", "reported");
    benchmark::Shutdown();
    return 0;
}
