// Variants as the totals and sorting code uses them: summing and comparing 100,000
// field values of one type, and copying values around (strings share their text).
#include "platform/rtl/Variants.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kCount = 100000;

enum TValueKind { vkInteger, vkDouble, vkCurrency };

std::vector<mv::Variant> MakeValues(TValueKind kind) {
    std::vector<mv::Variant> values;
    values.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        int n = (i * 7919) % 10007 - 5000;
        switch (kind) {
        case vkInteger:
            values.emplace_back(n);
            break;
        case vkDouble:
            values.emplace_back(n * 0.25);
            break;
        case vkCurrency:
            values.emplace_back(mv::Currency::FromScaled(n * 125));
            break;
        }
    }
    return values;
}

void BM_VariantSum(benchmark::State& state) {
    const auto values = MakeValues(static_cast<TValueKind>(state.range(0)));
    for (auto _ : state) {
        mv::Variant total;
        for (const mv::Variant& v : values)
            total += v;
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_VariantSum)->Arg(vkInteger)->Arg(vkDouble)->Arg(vkCurrency);

// Minimum and maximum the way the totals code finds them.
void BM_VariantMinMax(benchmark::State& state) {
    const auto values = MakeValues(static_cast<TValueKind>(state.range(0)));
    for (auto _ : state) {
        mv::Variant low = values[0];
        mv::Variant high = values[0];
        for (const mv::Variant& v : values) {
            if (mv::VarCompareValue(v, low) == mv::vrLessThan) low = v;
            if (mv::VarCompareValue(v, high) == mv::vrGreaterThan) high = v;
        }
        benchmark::DoNotOptimize(low);
        benchmark::DoNotOptimize(high);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_VariantMinMax)->Arg(vkInteger)->Arg(vkDouble)->Arg(vkCurrency);

// Mixed types: an integer field compared with a double key, as Locate does.
void BM_VariantCompareMixed(benchmark::State& state) {
    const auto values = MakeValues(vkInteger);
    const mv::Variant key = 1234.0;
    for (auto _ : state) {
        int equal = 0;
        for (const mv::Variant& v : values)
            equal += v == key;
        benchmark::DoNotOptimize(equal);
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_VariantCompareMixed);

void BM_VariantCopyStrings(benchmark::State& state) {
    std::vector<mv::Variant> values(kCount, mv::Variant(u"a field value long enough to need the heap"));
    for (auto _ : state) {
        std::vector<mv::Variant> copy = values;
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_VariantCopyStrings);

} // namespace
