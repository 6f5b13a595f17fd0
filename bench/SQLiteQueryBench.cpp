// TSQLiteQuery against the raw sqlite3 statement doing the same, in the same run, on the
// sample database's Orders table at 10,000 and 1,000,000 rows:
//   FirstRows: open "SELECT * FROM Orders" and show the first 50 rows. Time to first rows
//              must not grow with the table (the lazy fetch of SQLiteQuery.cpp).
//   SortIndexed: the same with Sort "OrderDate" (an indexed column), pushed down as
//              ORDER BY (SQLiteQueryText.cpp); SQLite walks the index, so this too must
//              not grow with the table.
//   LoadClientDataSet: a TClientDataSet loading all of Orders through the connection
//              (ClientDataSetLoading.cpp) against stepping every row and column; reported,
//              no target.
// Compare Query* and Load* with Raw* of the same size in the output.
#include "platform/db/ClientDataSet.h"
#include "platform/rtl/Utf8.h"
#include "platform/sqlite/SQLiteConnection.h"
#include "platform/sqlite/SQLiteQuery.h"
#include "platform/sqlite/SampleDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

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

void LoadClientDataSet(benchmark::State& state) {
    std::string file = DatabaseFile(static_cast<int>(state.range(0)));
    TSQLiteConnection connection;
    connection.SetDatabaseName(UTF8ToString(file));
    connection.Open();
    TClientDataSet cds;
    cds.SetConnection(&connection);
    cds.SetCommandText(u"SELECT * FROM Orders");
    for (auto _ : state) {
        cds.Open();
        benchmark::DoNotOptimize(cds.RecordCount());
        cds.Close();
    }
}
void RawAllRows(benchmark::State& state) {
    RawRows(state, "SELECT * FROM Orders", -1);
}

BENCHMARK(LoadClientDataSet)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(RawAllRows)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(QueryFirstRows)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawFirstRows)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(QuerySortIndexed)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawSortIndexed)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
