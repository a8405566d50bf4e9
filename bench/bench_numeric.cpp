// SPDX-License-Identifier: GPL-3.0-or-later
// Costs of the numerical routines one Compute calls: Phi at typical deviates (a few stages) and
// at a tiny one, the four-variable Mahalanobis distance with its chi-square p, and a chi-square
// quantile (bracketing plus Newton steps over the incomplete gamma function).
#include <benchmark/benchmark.h>

#include <string>

#include "numeric/distrib.h"
#include "numeric/mahalanobis.h"
#include "numeric/normal.h"

namespace {

void BM_NormalCdf(benchmark::State& state) {
    const double x = static_cast<double>(state.range(0)) / 1000.0;
    for (auto _ : state) benchmark::DoNotOptimize(orvale::NormalCdf(x));
}
// Deviates 0.5, 1.96, -3 and 4 (3 to 7 stages).
BENCHMARK(BM_NormalCdf)->Arg(500)->Arg(1960)->Arg(-3000)->Arg(4000);

void BM_NormalCdfTinyDeviate(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(orvale::NormalCdf(1e-9));  // stage 3
}
BENCHMARK(BM_NormalCdfTinyDeviate);

// A zero deviate runs all 20 stages (524,289 densities); the warning goes to a silent hook.
void BM_NormalCdfAllStages(benchmark::State& state) {
    const orvale::WarningHook previous = orvale::SetWarningHook([](const std::string&) {});
    for (auto _ : state) benchmark::DoNotOptimize(orvale::NormalCdf(0.0));
    orvale::SetWarningHook(previous);
}
BENCHMARK(BM_NormalCdfAllStages)->Unit(benchmark::kMillisecond);

void BM_MahalanobisDistanceFourIndexes(benchmark::State& state) {
    const long double correlations[4][4] = {{1.0L, 0.597L, 0.553L, 0.417L},
                                            {0.597L, 1.0L, 0.503L, 0.503L},
                                            {0.553L, 0.503L, 1.0L, 0.407L},
                                            {0.417L, 0.503L, 0.407L, 1.0L}};
    const long double profile[4] = {70.0L, 100.0L, 100.0L, 130.0L};
    orvale::tMatrix r;
    orvale::tVector scores, means, sds;
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) r(i, j) = correlations[i - 1][j - 1];
        scores(i) = profile[i - 1];
        means(i) = 100.0L;
        sds(i) = 15.0L;
    }
    for (auto _ : state) {
        long double distance = 0.0L;
        long double p = 0.0L;
        orvale::MahalanobisDistance(4, scores, means, sds, r, distance, p);
        benchmark::DoNotOptimize(distance);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_MahalanobisDistanceFourIndexes);

void BM_ChiSquareQuantile(benchmark::State& state) {
    const orvale::tChi_square_distribution chiSquare(4.0L);
    const long double p = static_cast<long double>(state.range(0)) / 1000.0L;
    for (auto _ : state) benchmark::DoNotOptimize(chiSquare.Quantile(p));
}
BENCHMARK(BM_ChiSquareQuantile)->Arg(50)->Arg(500)->Arg(950)->Arg(999);

}  // namespace
