// The filter-expression engine against SQLite on one query over 1,000,000 in-memory rows,
//   Name LIKE '%ab%' AND Amount > 500
// in the same run on the same data. Prints both times and their ratio; the target is the
// filter within 1.5x of SQLite. Protects FilterEval.cpp (per-record evaluation).
#include "platform/db/FilterExpr.h"

#include "platform/rtl/Utf8.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace mv;

constexpr int kRowCount = 1'000'000;
constexpr const char16_t* kFilter = u"Name LIKE '%ab%' AND Amount > 500";
constexpr const char* kQuery = "SELECT count(*) FROM t WHERE Name LIKE '%ab%' AND Amount > 500";

struct TBenchRow {
    String Name;
    Int64 Amount;
};

// Names of 6 to 14 letters in mixed case, amounts 0..999: about 1.5% of the names
// contain "ab" in some case, and half of the amounts pass.
const std::vector<TBenchRow>& Rows() {
    static const std::vector<TBenchRow> rows = [] {
        std::mt19937 random(20240115);
        std::uniform_int_distribution<int> length(6, 14), letter(0, 51), amount(0, 999);
        std::vector<TBenchRow> result(kRowCount);
        for (TBenchRow& row : result) {
            const int n = length(random);
            for (int i = 0; i < n; ++i) {
                const int l = letter(random);
                row.Name += static_cast<Char>(l < 26 ? u'a' + l : u'A' + l - 26);
            }
            row.Amount = amount(random);
        }
        return result;
    }();
    return rows;
}

class TBenchFields : public TFilterFieldResolver {
public:
    Integer FieldIndex(StringView name) const override {
        if (name == u"Name") return 0;
        if (name == u"Amount") return 1;
        return -1;
    }
    TFilterValueKind FieldValueKind(Integer index) const override {
        return index == 0 ? fvString : fvInteger;
    }
};

// Reads the row in place, as a data set reads its record buffer.
class TBenchRecord : public TFilterRecord {
public:
    const TBenchRow* Row = nullptr;

    Variant FieldValue(Integer index) const override {
        return index == 0 ? Variant(Row->Name) : Variant(static_cast<long long>(Row->Amount));
    }
    bool IsNull(Integer) const override { return false; }
    bool GetString(Integer, StringView& value, String&) const override {
        value = Row->Name;
        return true;
    }
    bool GetInteger(Integer, Int64& value) const override {
        value = Row->Amount;
        return true;
    }
};

Int64 CountWithFilter(const TFilterExpression& filter) {
    TBenchRecord record;
    Int64 count = 0;
    for (const TBenchRow& row : Rows()) {
        record.Row = &row;
        count += filter.Evaluate(record);
    }
    return count;
}

// SQLite's LIKE ignores ASCII case, so the filter runs with foCaseInsensitive to answer
// the same question.
TFilterExpression MakeFilter() {
    return TFilterExpression(kFilter, {foCaseInsensitive}, TBenchFields());
}

void Check(int rc, sqlite3* db, const char* what) {
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return;
    std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
}

sqlite3* Database() {
    static sqlite3* db = [] {
        sqlite3* result = nullptr;
        Check(sqlite3_open(":memory:", &result), result, "open");
        Check(sqlite3_exec(result, "CREATE TABLE t(Name TEXT, Amount INTEGER); BEGIN", nullptr, nullptr,
                           nullptr),
              result, "create");
        sqlite3_stmt* insert = nullptr;
        Check(sqlite3_prepare_v2(result, "INSERT INTO t VALUES (?, ?)", -1, &insert, nullptr), result,
              "prepare");
        for (const TBenchRow& row : Rows()) {
            const std::string name = UTF8Encode(row.Name);
            sqlite3_bind_text(insert, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert, 2, row.Amount);
            Check(sqlite3_step(insert), result, "insert");
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        Check(sqlite3_exec(result, "COMMIT", nullptr, nullptr, nullptr), result, "commit");
        return result;
    }();
    return db;
}

Int64 CountWithSqlite(sqlite3_stmt* query) {
    sqlite3_reset(query);
    Check(sqlite3_step(query), Database(), "query");
    return sqlite3_column_int64(query, 0);
}

void BM_FilterExpression(benchmark::State& state) {
    const TFilterExpression filter = MakeFilter();
    for (auto _ : state)
        benchmark::DoNotOptimize(CountWithFilter(filter));
    state.SetItemsProcessed(state.iterations() * kRowCount);
}
BENCHMARK(BM_FilterExpression)->Unit(benchmark::kMillisecond);

void BM_SQLite(benchmark::State& state) {
    sqlite3_stmt* query = nullptr;
    Check(sqlite3_prepare_v2(Database(), kQuery, -1, &query, nullptr), Database(), "prepare");
    for (auto _ : state)
        benchmark::DoNotOptimize(CountWithSqlite(query));
    sqlite3_finalize(query);
    state.SetItemsProcessed(state.iterations() * kRowCount);
}
BENCHMARK(BM_SQLite)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    // Both must answer the same before their times mean anything.
    sqlite3_stmt* query = nullptr;
    Check(sqlite3_prepare_v2(Database(), kQuery, -1, &query, nullptr), Database(), "prepare");
    const Int64 sqliteCount = CountWithSqlite(query);
    sqlite3_finalize(query);
    const Int64 filterCount = CountWithFilter(MakeFilter());
    std::printf("%d rows; %lld match in SQLite, %lld in the filter\n", kRowCount,
                static_cast<long long>(sqliteCount), static_cast<long long>(filterCount));
    if (sqliteCount != filterCount) return 1;

    bench::TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("CPU time", "BM_FilterExpression", "BM_SQLite", "target <= 1.5");
    benchmark::Shutdown();
    return 0;
}
