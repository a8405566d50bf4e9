// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the report: composing one report from computed results, and scoring plus composing one
// case as a press of Compute or a batch row does (target: 50 us median per case).
#include <benchmark/benchmark.h>

#include "engine/scoring.h"
#include "report/compose.h"

namespace {

using namespace orvale;

// The 15/19/10/1 case: every section has work to do (a low Index, abnormal differences, notes).
ReportInput BenchInput() {
    ReportInput input;
    input.entries = {15, 19, 10, 1, 19, 10, 15, 1};
    input.options.applyBonferroni = true;
    input.notes = {"bench case", "second line"};
    input.results = ComputeScores(input.entries, input.options);
    return input;
}

void BM_ComposeReport(benchmark::State& state) {
    const ReportInput input = BenchInput();
    for (auto _ : state) {
        std::vector<std::string> lines;
        ComposeReport(lines, input);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_ComposeReport)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_ScoreAndComposeCase(benchmark::State& state) {
    ReportInput input = BenchInput();
    int k = 0;
    for (auto _ : state) {
        // Vary the case so that no result is reused.
        input.entries[3] = 1 + (k++ % 19);
        input.results = ComputeScores(input.entries, input.options);
        std::vector<std::string> lines;
        ComposeReport(lines, input);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_ScoreAndComposeCase)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace
