// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of batch scoring: orvale-score run on generated files of 10,000 cases (target: < 1 s) and
// of 1,000,000 cases at --jobs 1 and 2 (targets on two cores: under 10 s with 2 jobs, at least
// 1.8 times faster than with 1, under 50 MB peak), with the child's peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "scorer_process.h"

namespace {

// Whole-number cases with ids, the same file for every run of one size.
std::filesystem::path WriteBatchFile(int cases) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvale-bench-batch-" + std::to_string(cases) + ".csv");
    if (std::filesystem::exists(path)) return path;
    const auto partial = path.string() + ".part";  // renamed once whole
    std::ofstream file(partial, std::ios::binary);
    file << "id,BD,SI,DS,CD,VO,LN,MR,SS\n";
    std::mt19937 generator(20261208);
    std::uniform_int_distribution<int> score(1, 19);
    for (int i = 0; i < cases; ++i) {
        file << "case" << i;
        for (int k = 0; k < 8; ++k) file << ',' << score(generator);
        file << '\n';
    }
    file.close();
    std::filesystem::rename(partial, path);
    return path;
}

void BM_BatchOf10000Cases(benchmark::State& state) {
    constexpr int kCases = 10000;
    const auto input = WriteBatchFile(kCases);
    const std::string command = std::string("'") + ORVALE_SCORE_PATH + "' --bonferroni --batch '" +
                                input.string() + "' >/dev/null 2>/dev/null";
    for (auto _ : state) {
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("orvale-score failed on the batch file");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kCases);
}
BENCHMARK(BM_BatchOf10000Cases)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A million cases (31 MB in, 1.3 GB out to /dev/null) on state.range(0) threads; the time is the
// child's wall time, peak_MB its ru_maxrss.
void BM_BatchOfAMillionCases(benchmark::State& state) {
    constexpr int kCases = 1000000;
    const auto input = WriteBatchFile(kCases);
    const std::string jobs = std::to_string(state.range(0));
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const long peak = orvale::test::PeakMemoryOfScorer({"--jobs", jobs, "--batch", "-"}, input);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (peak < 0) {
            state.SkipWithError("orvale-score failed on the batch file");
            break;
        }
        state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
    }
    state.SetItemsProcessed(state.iterations() * kCases);
}
BENCHMARK(BM_BatchOfAMillionCases)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("jobs")
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
