// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of scoring one case: ComputeScores over a few option combinations, the part of a Compute
// press (or of one row of a batch) that the engine owns.
#include <benchmark/benchmark.h>

#include "engine/scoring.h"

namespace {

using orvale::ComputeScores;
using orvale::ScoringOptions;
using orvale::SubtestEntries;

const SubtestEntries kCase = {1, 18, 1, 13, 7, 14, 1, 17};

void ScoreOneCase(benchmark::State& state, ScoringOptions options) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeScores(kCase, options));
    }
}

BENCHMARK_CAPTURE(ScoreOneCase, defaults, ScoringOptions{0, false, false, true, 1});
BENCHMARK_CAPTURE(ScoreOneCase, glutting_true_scores, ScoringOptions{2, true, false, true, 2});
BENCHMARK_CAPTURE(ScoreOneCase, bonferroni_with_gai, ScoringOptions{1, false, true, true, 3});
BENCHMARK_CAPTURE(ScoreOneCase, bonferroni_without_gai, ScoringOptions{3, true, true, false, 1});

}  // namespace
