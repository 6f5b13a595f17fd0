// A console reporter that also keeps each benchmark's CPU time per iteration, so a
// program can print its own result next to a peer's (SQLite, std::stable_sort) and the
// ratio. CPU rather than wall time: the ratio should not depend on what else runs.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace mv::bench {

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    TRatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    std::map<std::string, double> Milliseconds;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                Milliseconds[run.benchmark_name()] = run.GetAdjustedCPUTime() * ToMilliseconds(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints "label: ours X ms, peer Y ms, ratio Z (target)" when both ran.
    void PrintRatio(const char* label, const std::string& ours, const std::string& peer,
                    const char* target) const {
        auto a = Milliseconds.find(ours);
        auto b = Milliseconds.find(peer);
        if (a == Milliseconds.end() || b == Milliseconds.end()) return;
        std::printf("%s: %s %.2f ms, %s %.2f ms, ratio %.2f (%s)\n", label, ours.c_str(), a->second,
                    peer.c_str(), b->second, a->second / b->second, target);
    }

private:
    static double ToMilliseconds(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e-6;
        case benchmark::kMicrosecond:
            return 1e-3;
        case benchmark::kMillisecond:
            return 1;
        case benchmark::kSecond:
            return 1e3;
        }
        return 1;
    }
};

} // namespace mv::bench
