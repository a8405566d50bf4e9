// Cost of batch scoring: orvale-score run on a generated file of 10,000 cases (target: < 1 s).
#include <benchmark/benchmark.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int kCases = 10000;

std::filesystem::path WriteBatchFile() {
    const auto path = std::filesystem::temp_directory_path() / "orvale-bench-batch.csv";
    std::ofstream file(path, std::ios::binary);
    file << "id,BD,SI,DS,CD,VO,LN,MR,SS\n";
    std::mt19937 generator(20261208);
    std::uniform_int_distribution<int> score(1, 19);
    for (int i = 0; i < kCases; ++i) {
        file << "case" << i;
        for (int k = 0; k < 8; ++k) file << ',' << score(generator);
        file << '\n';
    }
    return path;
}

void BM_BatchOf10000Cases(benchmark::State& state) {
    const auto input = WriteBatchFile();
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
    std::filesystem::remove(input);
}
BENCHMARK(BM_BatchOf10000Cases)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
