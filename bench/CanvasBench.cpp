// A grid-like frame on a 1280 x 800 surface: 20 columns x 50 rows of 64 x 16 cells, each
// filled, ruled and given a short clipped text. Warm frames repeat the same texts (a grid
// repainting or scrolling); cold frames draw texts never seen before. Targets: warm at
// most 2 ms, cold at most 6 ms per frame (TextLayoutCache.h is what makes warm cheap).
#include "platform/vcl/Graphics.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace mv;

constexpr int kCols = 20, kRows = 50, kCellW = 64, kCellH = 16;

String CellText(long n) {
    std::string s = std::to_string(n);
    return String(s.begin(), s.end());
}

struct Frame {
    std::vector<std::uint32_t> Pixels = std::vector<std::uint32_t>(1280 * 800, 0xFFFFFFFFu);
    TCanvas Canvas;
    Frame() {
        setenv("FONTCONFIG_FILE", MV_FONTS_CONF, 0);
        Canvas.SetTarget({Pixels.data(), 1280, 800, 1280 * 4});
    }
    void Paint(const std::vector<String>& texts) {
        TCanvas& c = Canvas;
        c.Pen()->SetColor(clSilver);
        for (int row = 0; row < kRows; ++row)
            for (int col = 0; col < kCols; ++col) {
                TRect cell = Bounds(col * kCellW, row * kCellH, kCellW, kCellH);
                c.Brush()->SetColor(row % 2 ? clWindow : clCream);
                c.FillRect({cell.Left, cell.Top, cell.Right - 1, cell.Bottom - 1});
                c.MoveTo(cell.Right - 1, cell.Top);
                c.LineTo(cell.Right - 1, cell.Bottom);
                c.MoveTo(cell.Left, cell.Bottom - 1);
                c.LineTo(cell.Right, cell.Bottom - 1);
                TRect text{cell.Left + 2, cell.Top, cell.Right - 3, cell.Bottom - 1};
                SetBkMode(c.Handle(), TRANSPARENT);
                DrawText(c.Handle(), texts[static_cast<size_t>(row * kCols + col)], text,
                         DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            }
    }
};

void BM_FrameWarm(benchmark::State& state) {
    Frame frame;
    std::vector<String> texts;
    for (long i = 0; i < kRows * kCols; ++i)
        texts.push_back(CellText(100000 + i * 37));
    frame.Paint(texts); // shapes them once
    for (auto _ : state) {
        frame.Paint(texts);
        benchmark::ClobberMemory();
    }
    state.counters["cells"] = kRows * kCols;
}
BENCHMARK(BM_FrameWarm)->Unit(benchmark::kMillisecond);

void BM_FrameCold(benchmark::State& state) {
    Frame frame;
    std::vector<String> texts(kRows * kCols);
    long next = 200000;
    for (auto _ : state) {
        state.PauseTiming();
        for (auto& t : texts)
            t = CellText(next++);
        state.ResumeTiming();
        frame.Paint(texts);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameCold)->Unit(benchmark::kMillisecond);

// Measuring only (column auto-sizing): 1000 cached widths.
void BM_MeasureWarm(benchmark::State& state) {
    Frame frame;
    std::vector<String> texts;
    for (long i = 0; i < kRows * kCols; ++i)
        texts.push_back(CellText(900000 + i));
    for (auto _ : state) {
        long sum = 0;
        for (const auto& t : texts)
            sum += frame.Canvas.TextWidth(t);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_MeasureWarm)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
