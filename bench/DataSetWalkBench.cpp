// Walking 1,000,000 records with controls disabled, reading two fields per record, next
// to SQLite stepping through the same two columns of an in-memory table in the same run.
// Target: at least 10 million records per second. Protects TDataSet::Next and the field
// read path (GetFieldData into the native buffer).
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "support/VectorDataSet.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace mv;

constexpr int kRowCount = 1'000'000;

void Check(int rc, sqlite3* db, const char* what) {
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return;
    std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
}

double AmountOf(int i) {
    return (static_cast<long long>(i) * 7919 % 100000) / 100.0;
}

test::TVectorDataSet& DataSet() {
    static std::unique_ptr<test::TVectorDataSet> dataSet = [] {
        auto result = std::make_unique<test::TVectorDataSet>();
        result->FieldDefs()->Add(u"ID", ftInteger);
        result->FieldDefs()->Add(u"Amount", ftFloat);
        result->Rows().reserve(kRowCount);
        for (int i = 1; i <= kRowCount; ++i)
            result->AddRow({Variant(i), Variant(AmountOf(i))});
        result->Open();
        return result;
    }();
    return *dataSet;
}

sqlite3* Database() {
    static sqlite3* db = [] {
        sqlite3* result = nullptr;
        Check(sqlite3_open(":memory:", &result), result, "open");
        Check(
            sqlite3_exec(result, "CREATE TABLE t(ID INTEGER, Amount REAL); BEGIN", nullptr, nullptr, nullptr),
            result, "create");
        sqlite3_stmt* insert = nullptr;
        Check(sqlite3_prepare_v2(result, "INSERT INTO t VALUES (?, ?)", -1, &insert, nullptr), result,
              "prepare");
        for (int i = 1; i <= kRowCount; ++i) {
            sqlite3_bind_int(insert, 1, i);
            sqlite3_bind_double(insert, 2, AmountOf(i));
            Check(sqlite3_step(insert), result, "insert");
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        Check(sqlite3_exec(result, "COMMIT", nullptr, nullptr, nullptr), result, "commit");
        return result;
    }();
    return db;
}

double WalkDataSet() {
    TDataSet& dataSet = DataSet();
    TField* id = dataSet.FieldByName(u"ID");
    TField* amount = dataSet.FieldByName(u"Amount");
    double sum = 0;
    dataSet.DisableControls();
    dataSet.First();
    while (!dataSet.Eof()) {
        sum += id->AsInteger() + amount->AsFloat();
        dataSet.Next();
    }
    dataSet.EnableControls();
    return sum;
}

double WalkSqlite(sqlite3_stmt* query) {
    double sum = 0;
    sqlite3_reset(query);
    while (sqlite3_step(query) == SQLITE_ROW)
        sum += sqlite3_column_int(query, 0) + sqlite3_column_double(query, 1);
    return sum;
}

void BM_DataSetWalk(benchmark::State& state) {
    DataSet();
    for (auto _ : state)
        benchmark::DoNotOptimize(WalkDataSet());
    state.SetItemsProcessed(state.iterations() * kRowCount);
}
BENCHMARK(BM_DataSetWalk)->Unit(benchmark::kMillisecond);

void BM_SQLiteWalk(benchmark::State& state) {
    sqlite3_stmt* query = nullptr;
    Check(sqlite3_prepare_v2(Database(), "SELECT ID, Amount FROM t", -1, &query, nullptr), Database(),
          "prepare");
    for (auto _ : state)
        benchmark::DoNotOptimize(WalkSqlite(query));
    sqlite3_finalize(query);
    state.SetItemsProcessed(state.iterations() * kRowCount);
}
BENCHMARK(BM_SQLiteWalk)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    // Both walks must see the same records before their times mean anything.
    sqlite3_stmt* query = nullptr;
    Check(sqlite3_prepare_v2(Database(), "SELECT ID, Amount FROM t", -1, &query, nullptr), Database(),
          "prepare");
    const double sqliteSum = WalkSqlite(query);
    sqlite3_finalize(query);
    const double dataSetSum = WalkDataSet();
    std::printf("%d rows; checksum %.2f (SQLite) and %.2f (data set)\n", kRowCount, sqliteSum, dataSetSum);
    if (sqliteSum != dataSetSum) return 1;

    bench::TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("Walk, CPU time", "BM_DataSetWalk", "BM_SQLiteWalk",
                        "target: data set >= 10M rows/s");
    auto walk = reporter.Milliseconds.find("BM_DataSetWalk");
    if (walk != reporter.Milliseconds.end())
        std::printf("Data set walk: %.1f million records per second\n", kRowCount / walk->second / 1000.0);
    benchmark::Shutdown();
    return 0;
}
