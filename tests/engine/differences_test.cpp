// SPDX-License-Identifier: GPL-3.0-or-later
// Reliability of the seven differences and the sequential (Holm) Bonferroni procedure: the
// published standard errors and p values, the worked Bonferroni cases, and the procedure against
// an independent Holm step-down over many random p-value sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/scoring.h"
#include "engine/tables.h"
#include "reference.h"

namespace orvale {
namespace {

using testing::ReferencePhi;

// Cases of the worked examples, in field order BD SI DS CD VO LN MR SS.
const SubtestEntries kAllTens = {10, 10, 10, 10, 10, 10, 10, 10};
const SubtestEntries kCaseA = {1, 18, 1, 13, 7, 14, 1, 17};
const SubtestEntries kCaseB = {15, 19, 10, 1, 19, 10, 15, 1};

TEST(ReliabilityOfDifferences, StandardErrorsFollowTheConfidenceMethod) {
    // Published to five decimals.
    const double traditional[kPairCount] = {5.86728, 5.79008, 6.53835, 5.96238,
                                            6.69141, 6.62382, 4.44972};
    const double glutting[kPairCount] = {5.41695, 5.35825, 5.88261, 5.49106,
                                         6.00383, 5.95093, 4.25235};
    for (int method = 0; method < 4; ++method) {
        for (bool trueScores : {false, true}) {
            const ScoringResults r =
                ComputeScores(kCaseA, ScoringOptions{method, trueScores, false, true});
            for (int j = 0; j < kPairCount; ++j) {
                EXPECT_NEAR(r.differenceStandardErrors[j],
                            method < 2 ? traditional[j] : glutting[j], 5e-6)
                    << kPairTable[j].label << " method " << method;
            }
        }
    }
}

TEST(ReliabilityOfDifferences, ZeroDifferencesGiveOneHalfAndNoVerdictOfSignificance) {
    const ScoringResults r = ComputeScores(kAllTens, ScoringOptions{0, false, true, true});
    ASSERT_TRUE(r.bonferroniApplied);
    for (int j = 0; j < kPairCount; ++j) {
        EXPECT_EQ(r.oneTailedP[j], 0.5) << kPairTable[j].label;
        EXPECT_EQ(r.twoTailedP[j], 1.0) << kPairTable[j].label;
        EXPECT_EQ(r.verdicts[j], kVerdictNotSignificant) << kPairTable[j].label;
    }
}

TEST(ReliabilityOfDifferences, ProbabilitiesOfTheWorkedCases) {
    const ScoringResults r = ComputeScores(kCaseA, ScoringOptions{0, false, false, true});
    for (int j : {0, 1, 3, 4, 5}) EXPECT_LT(r.twoTailedP[j], 0.0001) << kPairTable[j].label;
    EXPECT_NEAR(r.twoTailedP[2], 0.0203, 5e-5);  // VC versus PS, "about 0.0203"
    EXPECT_NEAR(r.twoTailedP[6], 0.0037, 5e-5);  // FSIQ versus GAI, "about 0.0037"

    // Estimated true scores shrink the differences; the standard errors stay the same.
    const ScoringResults t = ComputeScores(kCaseA, ScoringOptions{0, true, false, true});
    EXPECT_NEAR(t.twoTailedP[2], 0.0508, 5e-5);
    EXPECT_EQ(t.differenceStandardErrors, r.differenceStandardErrors);
}

TEST(ReliabilityOfDifferences, ProbabilitiesAgreeWithTheNormalTail) {
    // One-tailed p = 1 - Phi(|d| / SE) with Phi from erfc, for both bases of the differences and
    // all methods; two-tailed p is exactly twice it. The integrator's error in Phi is below 3e-7.
    for (const SubtestEntries& entries :
         {kCaseA, kCaseB, SubtestEntries{3, 7, 11, 12, 9, 5, 16, 8}}) {
        for (int method = 0; method < 4; ++method) {
            for (bool trueScores : {false, true}) {
                const ScoringResults r =
                    ComputeScores(entries, ScoringOptions{method, trueScores, false, true});
                const ScoreArray& v = trueScores ? r.trueScores : r.scores;
                for (int j = 0; j < kPairCount; ++j) {
                    const double d = v[kPairTable[j].first] - v[kPairTable[j].second];
                    const double se = r.differenceStandardErrors[j];
                    EXPECT_NEAR(r.oneTailedP[j], 1 - ReferencePhi(std::abs(d) / se), 3e-7)
                        << kPairTable[j].label;
                    EXPECT_EQ(r.twoTailedP[j], 2 * r.oneTailedP[j]);
                }
            }
        }
    }
}

TEST(ReliabilityOfDifferences, TinyDifferenceIsJustBelowOneHalf) {
    SubtestEntries entries = kAllTens;
    entries[kBD] = 10.000001;  // PR a hair above VC, WM and PS
    const ScoringResults r = ComputeScores(entries, ScoringOptions{0, false, false, true});
    EXPECT_LT(r.oneTailedP[0], 0.5);
    EXPECT_GT(r.oneTailedP[0], 0.4999);
    EXPECT_EQ(r.oneTailedP[1], 0.5);  // VC versus WM untouched
}

TEST(SequentialBonferroni, WorkedCasesTestTheLastComparisonAtTheFullLevel) {
    const std::string sig = kVerdictSignificant;
    const std::string ns = kVerdictNotSignificant;
    const struct {
        const char* name;
        SubtestEntries entries;
        bool gai;
        std::array<std::string, kPairCount> verdicts;
    } rows[] = {
        // Pass 1 marks 1, 2, 4, 5, 6, 7 (pair 3 fails at 0.05 / 5); pass 2 tests VC versus PS
        // (p = 0.0203) at 0.05 / 1 and marks it.
        {"case A, GAI", kCaseA, true, {sig, sig, sig, sig, sig, sig, sig}},
        // Pass 1 marks 1, 2, 4, 5, 6; pass 2 marks VC versus PS; FSIQ versus GAI takes no part.
        {"case A, no GAI", kCaseA, false, {sig, sig, sig, sig, sig, sig, ns}},
        // Every comparison marked in the first pass, ending with n = 0.
        {"case B, GAI", kCaseB, true, {sig, sig, sig, sig, sig, sig, sig}},
        {"all tens", kAllTens, true, {ns, ns, ns, ns, ns, ns, ns}},
    };
    for (const auto& row : rows) {
        const ScoringResults r =
            ComputeScores(row.entries, ScoringOptions{0, false, true, row.gai});
        EXPECT_TRUE(r.bonferroniApplied) << row.name;
        EXPECT_EQ(r.verdicts, row.verdicts) << row.name;
    }
}

TEST(SequentialBonferroni, NoVerdictsWithoutTheCorrection) {
    const ScoringResults r = ComputeScores(kCaseA, ScoringOptions{0, false, false, true});
    EXPECT_FALSE(r.bonferroniApplied);
    for (const std::string& v : r.verdicts) EXPECT_TRUE(v.empty());
}

TEST(SequentialBonferroni, SmallFamiliesByHand) {
    const std::string sig = kVerdictSignificant;
    const std::string ns = kVerdictNotSignificant;
    const double justBelow05 = std::nextafter(0.05, 0.0);
    const struct {
        PairArray p;
        int m;
        std::array<std::string, kPairCount> verdicts;
    } rows[] = {
        // 0.04 fails 0.05 / 2 but passes 0.05 / 1 once 0.001 is marked.
        {{0.04, 0.001, 0, 0, 0, 0, 0}, 2, {sig, sig, ns, ns, ns, ns, ns}},
        // Nothing passes 0.05 / 2: the procedure stops after a pass without marks.
        {{0.03, 0.04, 0, 0, 0, 0, 0}, 2, {ns, ns, ns, ns, ns, ns, ns}},
        // The comparison is strict: p = 0.05 is not below 0.05 / 1.
        {{0.001, 0.05, 0, 0, 0, 0, 0}, 2, {sig, ns, ns, ns, ns, ns, ns}},
        {{0.001, justBelow05, 0, 0, 0, 0, 0}, 2, {sig, sig, ns, ns, ns, ns, ns}},
        // No comparisons: nothing is tested, whatever the p values.
        {{0, 0, 0, 0, 0, 0, 0}, 0, {ns, ns, ns, ns, ns, ns, ns}},
        // Pairs beyond m keep " not sig" however small their p.
        {{0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 1e-12}, 6, {ns, ns, ns, ns, ns, ns, ns}},
        // Pass 1 marks 0.001 (at 0.05 / 7) and 0.002 (at 0.05 / 6) but fails 0.0095 at 0.05 / 7;
        // pass 2 marks 0.0095 at 0.05 / 5; pass 3 marks nothing.
        {{0.0095, 0.001, 0.5, 0.002, 0.5, 0.5, 0.5}, 7, {sig, sig, ns, sig, ns, ns, ns}},
    };
    for (const auto& row : rows) EXPECT_EQ(SequentialBonferroni(row.p, row.m), row.verdicts);
}

TEST(SequentialBonferroni, RefusesAFamilyLargerThanThePairs) {
    const PairArray p{};
    EXPECT_THROW(SequentialBonferroni(p, 8), std::invalid_argument);
    EXPECT_THROW(SequentialBonferroni(p, -1), std::invalid_argument);
}

// Holm's step-down, written from its textbook definition: sort the m p values, compare the i-th
// smallest with alpha / (m - i + 1), reject while below, stop at the first failure.
std::vector<bool> HolmStepDown(const std::vector<double>& p) {
    const int m = static_cast<int>(p.size());
    std::vector<int> order(m);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return p[a] < p[b]; });
    std::vector<bool> rejected(m, false);
    for (int i = 1; i <= m; ++i) {
        const int k = order[i - 1];
        if (!(p[k] < 0.05L / (m - i + 1))) break;
        rejected[k] = true;
    }
    return rejected;
}

TEST(SequentialBonferroni, AgreesWithHolmStepDownOnRandomFamilies) {
    std::mt19937_64 generator(20261208);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::uniform_int_distribution<int> kind(0, 3);
    // Values on or next to the thresholds 0.05 / k, where an off-by-one in n would show.
    std::vector<double> nearThresholds;
    for (int k = 1; k <= 7; ++k) {
        const double t = static_cast<double>(0.05L / k);
        nearThresholds.insert(nearThresholds.end(),
                              {t, std::nextafter(t, 0.0), std::nextafter(t, 1.0), t * 0.999});
    }
    std::uniform_int_distribution<std::size_t> pickThreshold(0, nearThresholds.size() - 1);
    int withRejections = 0;
    int fullyRejected = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        const int m = trial % 2 == 0 ? 7 : 6;
        PairArray p{};
        for (double& value : p) {
            switch (kind(generator)) {
                case 0:
                    value = uniform(generator) * 0.06;
                    break;  // near the levels
                case 1:
                    value = std::pow(10.0, -6 * uniform(generator));
                    break;  // log-uniform
                case 2:
                    value = nearThresholds[pickThreshold(generator)];
                    break;
                default:
                    value = p[0];
                    break;  // ties
            }
        }
        const std::vector<bool> expected =
            HolmStepDown(std::vector<double>(p.begin(), p.begin() + m));
        const std::array<std::string, kPairCount> verdicts = SequentialBonferroni(p, m);
        int rejected = 0;
        for (int j = 0; j < kPairCount; ++j) {
            const bool significant = verdicts[j] == kVerdictSignificant;
            const bool holm = j < m && expected[j];
            ASSERT_EQ(significant, holm) << "trial " << trial << " pair " << j << " p " << p[j];
            rejected += holm;
        }
        withRejections += rejected > 0;
        fullyRejected += rejected == m;
    }
    // The random families must have exercised partial and complete rejection.
    EXPECT_GT(withRejections, 1000);
    EXPECT_GT(fullyRejected, 100);
}

}  // namespace
}  // namespace orvale
