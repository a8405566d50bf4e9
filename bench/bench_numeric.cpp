// SPDX-License-Identifier: GPL-3.0-or-later
// Costs of the numerical routines one Compute calls: Phi at typical deviates (a few stages) and
// at a tiny one, the four-variable Mahalanobis distance with its chi-square p, and a chi-square
// quantile (bracketing plus Newton steps over the incomplete gamma function); and the extended
// exponential and logarithm under them, which dominate these costs. Everything is computed in
// the program's Extended type, so the same file measures the x87 build and the software one.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>
#include <vector>

#include "numeric/distrib.h"
#include "numeric/extended_exp.h"
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
    const double correlations[4][4] = {{1.0, 0.597, 0.553, 0.417},
                                       {0.597, 1.0, 0.503, 0.503},
                                       {0.553, 0.503, 1.0, 0.407},
                                       {0.417, 0.503, 0.407, 1.0}};
    const double profile[4] = {70.0, 100.0, 100.0, 130.0};
    orvale::tMatrix r;
    orvale::tVector scores, means, sds;
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) r(i, j) = correlations[i - 1][j - 1];
        scores(i) = profile[i - 1];
        means(i) = 100.0;
        sds(i) = 15.0;
    }
    for (auto _ : state) {
        orvale::Extended distance = 0.0;
        orvale::Extended p = 0.0;
        orvale::MahalanobisDistance(4, scores, means, sds, r, distance, p);
        benchmark::DoNotOptimize(distance);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_MahalanobisDistanceFourIndexes);

void BM_ChiSquareQuantile(benchmark::State& state) {
    const orvale::tChi_square_distribution chiSquare(4.0);
    const orvale::Extended p = orvale::Extended{static_cast<double>(state.range(0))} / 1000.0;
    for (auto _ : state) benchmark::DoNotOptimize(chiSquare.Quantile(p));
}
BENCHMARK(BM_ChiSquareQuantile)->Arg(50)->Arg(500)->Arg(950)->Arg(999);

// Arguments as the density meets them (-x^2/2 for |x| up to 6) and as the gamma functions meet
// the logarithm (0.01 to 100), 1024 of each, so that the branches of the table lookups vary.
std::vector<orvale::Extended> Arguments(double from, double to) {
    constexpr std::size_t kCount = 1024;
    std::vector<orvale::Extended> arguments;
    for (std::size_t i = 0; i < kCount; ++i) {
        const double step = (to - from) / static_cast<double>(kCount);
        arguments.emplace_back(from + step * static_cast<double>((i * 389) % kCount));
    }
    return arguments;
}

void BM_ExtendedExp(benchmark::State& state) {
    const std::vector<orvale::Extended> arguments = Arguments(-18.0, 0.0);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(orvale::ExtendedExp(arguments[i]));
        i = (i + 1) % arguments.size();
    }
}
BENCHMARK(BM_ExtendedExp);

void BM_ExtendedLog(benchmark::State& state) {
    const std::vector<orvale::Extended> arguments = Arguments(0.01, 100.0);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(orvale::ExtendedLog(arguments[i]));
        i = (i + 1) % arguments.size();
    }
}
BENCHMARK(BM_ExtendedLog);

}  // namespace
