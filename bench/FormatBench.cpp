// Number formatting as the grid does it for every painted cell: Format("%d.") for the
// row indicator, FloatToStr for plain float fields, FormatFloat for DisplayFormat.
#include "platform/rtl/Format.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

constexpr std::array<double, 8> kValues = {0.0, 1.5, -42.25, 1234.5678, 0.1 + 0.2, 98765432.1, -0.004, 1e-7};

void BM_FormatRowNumber(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mv::Format(u"%d.", {n}));
        n = (n + 7919) % 1000000;
    }
}
BENCHMARK(BM_FormatRowNumber);

void BM_FormatMixed(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mv::Format(u"%s: %.2f (%d)", {u"Total", kValues[i % kValues.size()], 12}));
        ++i;
    }
}
BENCHMARK(BM_FormatMixed);

void BM_FloatToStr(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mv::FloatToStr(kValues[i % kValues.size()]));
        ++i;
    }
}
BENCHMARK(BM_FloatToStr);

void BM_FormatFloatThousands(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mv::FormatFloat(u"#,##0.00", kValues[i % kValues.size()]));
        ++i;
    }
}
BENCHMARK(BM_FormatFloatThousands);

void BM_FormatFloatSections(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mv::FormatFloat(u"#,##0.00;(#,##0.00);'-'", kValues[i % kValues.size()]));
        ++i;
    }
}
BENCHMARK(BM_FormatFloatSections);

void BM_StrToFloat(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(mv::StrToFloat(u"  -1234.5678E-2 "));
}
BENCHMARK(BM_StrToFloat);

} // namespace

BENCHMARK_MAIN();
