// SPDX-License-Identifier: GPL-3.0-or-later
// The standard normal CDF by Simpson integration: exact behaviour at 0, published and
// independently computed values, the levelling-off caused by the eight-digit density factor,
// symmetry, and independence of successive integrations.
#include "numeric/normal.h"

#include <gtest/gtest.h>

#include <bit>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace orvale {
namespace {

// Installs a hook that records every warning; restores the previous hook afterwards.
class NormalCdfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = SetWarningHook([this](const std::string& m) { warnings_.push_back(m); });
    }
    void TearDown() override { SetWarningHook(previous_); }

    std::vector<std::string> warnings_;
    WarningHook previous_;
};

TEST_F(NormalCdfTest, ZeroRunsAllStagesWarnsOnceAndIsExactlyOneHalf) {
    // Both limits 0: every estimate is exactly 0, so the convergence test never passes.
    EXPECT_EQ(NormalCdf(0.0), 0.5);
    ASSERT_EQ(warnings_.size(), 1U);
    EXPECT_EQ(warnings_[0], "Too many steps");
}

TEST_F(NormalCdfTest, KnownValuesOfTheIntegrator) {
    // Nine-decimal values of this integrator (the exact Phi(1) is 0.841344746); the tolerance
    // is half a unit in the ninth decimal.
    struct Row {
        double x;
        double expected;
    };
    const Row rows[] = {{1.0, 0.841344748},
                        {1.959964, 0.974999993},
                        {-3.0, 0.001349901},
                        // 0.5 + 1e-9 * 0.39894228: the tiny interval converges at stage 3.
                        {1e-9, 0.5000000003989}};
    for (const Row& row : rows) EXPECT_NEAR(NormalCdf(row.x), row.expected, 5e-10) << row.x;
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(NormalCdfTest, AgreesWithBoostWithinThreeTenMillionthsUpToFour) {
    const boost::math::normal_distribution<long double> normal;
    for (int i = -80; i <= 80; ++i) {
        if (i == 0) continue;
        const double x = i * 0.05;
        EXPECT_NEAR(NormalCdf(x), static_cast<double>(cdf(normal, x)), 3e-7) << x;
    }
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(NormalCdfTest, LevelsOffJustBelowOneForLargeArguments) {
    // The density factor 0.39894228 falls short of 1/sqrt(2 pi) = 0.398942280401433 by
    // 4.01433e-10, so the integral from 0 to infinity is 0.5 * (1 - 1.00625e-9) and Phi levels
    // off at 1 - 5.031e-10.
    for (const double x : {8.0, 10.0, 20.0, 38.0}) {
        const double phi = NormalCdf(x);
        EXPECT_LT(phi, 1.0) << x;
        EXPECT_NEAR(1.0 - phi, 5.031e-10, 0.005e-10) << x;
    }
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(NormalCdfTest, NegativeArgumentsMirrorPositiveOnes) {
    for (const double x : {1e-9, 0.3, 1.0, 1.959964, 2.5, 4.0, 7.5}) {
        // Same stages with negated steps: the integrals are exact negatives.
        EXPECT_EQ(SimpsonIntegral(0.0, -x), -SimpsonIntegral(0.0, x)) << x;
        EXPECT_NEAR(NormalCdf(-x) + NormalCdf(x), 1.0, 2.3e-16) << x;
    }
}

TEST_F(NormalCdfTest, SuccessiveIntegrationsDoNotInfluenceEachOther) {
    const double alone1 = NormalCdf(1.3);
    const double alone2 = NormalCdf(-0.4);
    const double alone3 = NormalCdf(2.7);
    EXPECT_EQ(NormalCdf(2.7), alone3);
    EXPECT_EQ(NormalCdf(1.3), alone1);
    EXPECT_EQ(NormalCdf(-0.4), alone2);
    EXPECT_EQ(NormalCdf(1.3), alone1);
}

TEST_F(NormalCdfTest, TrapezoidStagesRefineByMidpointsAndRestartAtStageOne) {
    // Stage 1 on [0, 1]: (phi(0) + phi(1)) / 2. Stage 2 adds the midpoint 0.5, stage 3 the
    // points 0.25 and 0.75, each halving the previous estimate plus the new midpoint sum.
    const double t1 = (NormalDensity(0.0) + NormalDensity(1.0)) * 0.5;
    const double t2 = (t1 + NormalDensity(0.5)) * 0.5;
    const double t3 = (t2 + (NormalDensity(0.25) + NormalDensity(0.75)) * 0.5) * 0.5;
    EXPECT_DOUBLE_EQ(TrapezoidStage(1, 0.0, 1.0), t1);
    EXPECT_DOUBLE_EQ(TrapezoidStage(2, 0.0, 1.0), t2);
    EXPECT_DOUBLE_EQ(TrapezoidStage(3, 0.0, 1.0), t3);
    // A fresh stage 1 on other limits forgets the previous integration entirely.
    const double other1 = TrapezoidStage(1, -2.0, 0.5);
    const double other2 = TrapezoidStage(2, -2.0, 0.5);
    EXPECT_EQ(TrapezoidStage(1, 0.0, 1.0), t1);
    EXPECT_EQ(TrapezoidStage(1, -2.0, 0.5), other1);
    EXPECT_EQ(TrapezoidStage(2, -2.0, 0.5), other2);
}

TEST_F(NormalCdfTest, DensityUsesTheEightDigitFactor) {
    EXPECT_EQ(NormalDensity(0.0), static_cast<double>(0.39894228L));
    EXPECT_NEAR(NormalDensity(1.0), 0.39894228 * std::exp(-0.5), 1e-16);
    EXPECT_EQ(NormalDensity(-1.7), NormalDensity(1.7));
}

TEST(WarningHookTest, EmptyHookRestoresTheStandardErrorDefault) {
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "GoogleTest cannot capture the standard error of WebAssembly";
#endif
    const WarningHook previous = SetWarningHook(nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(NormalCdf(0.0), 0.5);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Warning: Too many steps\n");
    SetWarningHook(previous);
}

// Two threads integrate at once, each with its own hook and cache: each hears its own warnings,
// every time (a remembered result must not swallow one), the program-wide hook none, and the
// cached results are the integrator's bit for bit, also for arguments met again and -0.
TEST_F(NormalCdfTest, ThreadsKeepTheirWarningsAndCacheExactResults) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    GTEST_SKIP() << "WebAssembly is built without threads";
#endif
    std::mt19937_64 generator(4);
    std::uniform_real_distribution<double> deviate(-6.0, 6.0);
    std::vector<double> arguments;
    for (int i = 0; i < 3000; ++i) arguments.push_back(deviate(generator));
    for (int i = 0; i < 3000; ++i) arguments.push_back(arguments[i * 7 % 3000]);
    arguments.push_back(-0.0);
    std::vector<std::uint64_t> expected;
    for (double x : arguments) expected.push_back(std::bit_cast<std::uint64_t>(NormalCdf(x)));
    warnings_.clear();

    struct Outcome {
        std::vector<std::string> warnings;
        int mismatches = 0;
    } outcomes[2];
    {
        std::vector<std::jthread> threads;
        for (Outcome& outcome : outcomes) {
            threads.emplace_back([&] {
                const ThreadWarningHook hook(
                    [&outcome](const std::string& m) { outcome.warnings.push_back(m); });
                const NormalCdfCache cache;
                for (int round = 0; round < 2; ++round) {
                    EXPECT_EQ(NormalCdf(0.0), 0.5);
                    for (std::size_t i = 0; i < arguments.size(); ++i) {
                        if (std::bit_cast<std::uint64_t>(NormalCdf(arguments[i])) != expected[i])
                            ++outcome.mismatches;
                    }
                }
            });
        }
    }
    for (const Outcome& outcome : outcomes) {
        EXPECT_EQ(outcome.mismatches, 0);
        // 0 and -0 in each of two rounds.
        EXPECT_EQ(outcome.warnings, std::vector<std::string>(4, "Too many steps"));
    }
    EXPECT_TRUE(warnings_.empty());
}

}  // namespace
}  // namespace orvale
