// SPDX-License-Identifier: GPL-3.0-or-later
// Abnormality of scores, differences and profile: SDs of differences, percentages beyond, the two
// counts at each cut-off with their strict boundaries, and the Mahalanobis chi-square against an
// elimination in the test and the closed-form chi-square(4) tail.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/scoring.h"
#include "engine/tables.h"
#include "reference.h"

namespace orvale {
namespace {

using testing::ReferenceChiSquare4Tail;
using testing::ReferenceMahalanobis;
using testing::ReferencePhi;

const SubtestEntries kAllTens = {10, 10, 10, 10, 10, 10, 10, 10};
const SubtestEntries kAllNineteens = {19, 19, 19, 19, 19, 19, 19, 19};
const SubtestEntries kCaseA = {1, 18, 1, 13, 7, 14, 1, 17};
const SubtestEntries kCaseB = {15, 19, 10, 1, 19, 10, 15, 1};

ScoringOptions Cutoff(int cutoffIndex) {
    ScoringOptions o;
    o.cutoffIndex = cutoffIndex;
    return o;
}

// Correlations of VC, PR, WM, PS as published, typed in again here.
const std::vector<std::vector<long double>> kCorrelations = {
    {1, 0.597L, 0.553L, 0.417L},
    {0.597L, 1, 0.503L, 0.503L},
    {0.553L, 0.503L, 1, 0.407L},
    {0.417L, 0.503L, 0.407L, 1},
};

TEST(Abnormality, StandardDeviationsOfTheDifferences) {
    // Published to five decimals; 15 sqrt(2 - 2 x 0.92) = 6 for FSIQ versus GAI.
    const double expected[kPairCount] = {13.46663, 14.18274, 16.19722, 14.95493,
                                         14.95493, 16.33554, 6};
    const ScoringResults r = ComputeScores(kCaseA, Cutoff(1));
    for (int j = 0; j < kPairCount; ++j) {
        EXPECT_NEAR(r.differenceSds[j], expected[j], 5e-6) << kPairTable[j].label;
    }
    EXPECT_NEAR(r.differenceSds[6], 6.0, 1e-14);
}

TEST(Abnormality, AllTensIsTheMeanProfile) {
    const ScoringResults r = ComputeScores(kAllTens, Cutoff(1));
    for (int j = 0; j < kPairCount; ++j) EXPECT_EQ(r.percentBeyond[j], 50.0) << j;
    EXPECT_EQ(r.lowCount, 0);
    EXPECT_EQ(r.differenceCount, 0);
    EXPECT_NEAR(ToDouble(r.chiSquare), 0.0, 1e-15);
    EXPECT_NEAR(ToDouble(r.chiSquareP), 1.0, 1e-12);
}

TEST(Abnormality, WorkedCaseAtEachCutoff) {
    // Case B: VC 148.249, PR 128.398, WM 100, PS 48.552. PS (z about -3.43) is low at every
    // cut-off. The pair |z| values are VC-PR 1.474, VC-WM 3.402, VC-PS 6.155, PR-WM 1.899,
    // PR-PS 5.339, WM-PS 3.149, so the deviates 1.959964, 1.644854 and 1.4395315 count 4, 5, 6.
    const int expectedDifferences[3] = {4, 5, 6};
    for (int cutoff = 1; cutoff <= 3; ++cutoff) {
        const ScoringResults r = ComputeScores(kCaseB, Cutoff(cutoff));
        EXPECT_EQ(r.lowCount, 1) << "cut-off " << cutoff;
        EXPECT_EQ(r.differenceCount, expectedDifferences[cutoff - 1]) << "cut-off " << cutoff;
    }
    const ScoringResults r = ComputeScores(kCaseB, Cutoff(1));
    EXPECT_NEAR(r.scores[kVC], 148.249, 5e-4);
    EXPECT_NEAR(r.scores[kPR], 128.398, 5e-4);
    EXPECT_EQ(r.scores[kWM], 100.0);
    EXPECT_NEAR(r.scores[kPS], 48.552, 5e-4);
    EXPECT_NEAR(r.percentBeyond[0], 7.02, 0.005);  // VC versus PR, "about 7.02"
    EXPECT_NEAR(ToDouble(r.chiSquare), 43.36, 0.005);
    EXPECT_LT(r.chiSquareP, 0.00001);
}

TEST(Abnormality, ElevatedFlatProfileIsUnusualWithoutAbnormalParts) {
    const ScoringResults r = ComputeScores(kAllNineteens, Cutoff(1));
    EXPECT_EQ(r.lowCount, 0);
    EXPECT_EQ(r.differenceCount, 0);
    // Exact rational elimination gives 18.714634179553; the worked example rounds it to "about
    // 18.72", i.e. within 0.01. Its p value is "about 0.0009" (0.00089416).
    EXPECT_NEAR(ToDouble(r.chiSquare), 18.714634179553, 1e-9);
    EXPECT_NEAR(ToDouble(r.chiSquare), 18.72, 0.01);
    EXPECT_NEAR(ToDouble(r.chiSquareP), 0.0009, 5e-5);
}

TEST(Abnormality, ProfileDistanceAgreesWithIndependentElimination) {
    const std::vector<SubtestEntries> cases = {kCaseA,
                                               kCaseB,
                                               kAllNineteens,
                                               {1, 1, 1, 1, 1, 1, 1, 1},
                                               {3, 7, 11, 12, 9, 5, 16, 8},
                                               {10.5, 9.25, 13, 4, 6.75, 12, 18, 2}};
    for (const SubtestEntries& entries : cases) {
        const ScoringResults r = ComputeScores(entries, Cutoff(1));
        const long double expected = ReferenceMahalanobis(
            {r.scores[kVC], r.scores[kPR], r.scores[kWM], r.scores[kPS]}, kCorrelations);
        EXPECT_NEAR(ToDouble(r.chiSquare), static_cast<double>(expected),
                    1e-12 * (1 + static_cast<double>(expected)));
        const long double tail = ReferenceChiSquare4Tail(expected);
        EXPECT_NEAR(ToDouble(r.chiSquareP), static_cast<double>(tail),
                    1e-10 * static_cast<double>(tail) + 1e-15);
    }
}

TEST(Abnormality, PercentBeyondAgreesWithTheNormalTail) {
    for (const SubtestEntries& entries :
         {kCaseA, kCaseB, SubtestEntries{3, 7, 11, 12, 9, 5, 16, 8}}) {
        const ScoringResults r = ComputeScores(entries, Cutoff(2));
        for (int j = 0; j < kPairCount; ++j) {
            const double d = r.scores[kPairTable[j].first] - r.scores[kPairTable[j].second];
            const double expected = 100 * (1 - ReferencePhi(std::abs(d) / r.differenceSds[j]));
            EXPECT_NEAR(r.percentBeyond[j], expected, 3e-5) << kPairTable[j].label;
        }
    }
}

TEST(Abnormality, OptionsOutsideTheCutoffChangeNothingHere) {
    // Neither the confidence method, the basis of the differences, the GAI option nor the
    // correction touches the scores or any abnormality value.
    const ScoringResults base = ComputeScores(kCaseA, Cutoff(1));
    for (int method = 0; method < 4; ++method) {
        for (bool trueScores : {false, true}) {
            for (bool gai : {false, true}) {
                ScoringOptions o = Cutoff(1);
                o.confidenceMethod = method;
                o.trueScoreDifferences = trueScores;
                o.calculateGai = gai;
                o.applyBonferroni = true;
                const ScoringResults r = ComputeScores(kCaseA, o);
                EXPECT_EQ(r.scores, base.scores);
                EXPECT_EQ(r.percentiles, base.percentiles);
                EXPECT_EQ(r.differenceSds, base.differenceSds);
                EXPECT_EQ(r.percentBeyond, base.percentBeyond);
                EXPECT_EQ(r.lowCount, base.lowCount);
                EXPECT_EQ(r.differenceCount, base.differenceCount);
                EXPECT_EQ(r.chiSquare, base.chiSquare);
                EXPECT_EQ(r.chiSquareP, base.chiSquareP);
            }
        }
    }
}

TEST(Abnormality, CountsAreStrictAtTheirDeviates) {
    // Scores chosen so that z and |d / SD| land exactly on round deviates.
    const PairArray tens = {10, 10, 10, 10, 10, 10, 10};
    const struct {
        ScoreArray scores;  // VC PR WM PS FSIQ GAI
        double lowDeviate;
        int low;
        double differenceDeviate;
        int differences;
    } rows[] = {
        // VC z = -1 exactly: not below -1; every VC pair has |z| = 1.5 exactly: not above 1.5.
        {{85, 100, 100, 100, 100, 100}, -1.0, 0, 1.5, 0},
        // Just past both boundaries: VC is low and its three pairs are abnormal.
        {{84.999, 100, 100, 100, 100, 100}, -1.0, 1, 1.5, 3},
        // FSIQ and GAI are neither counted as low nor as a difference, however extreme.
        {{100, 100, 100, 100, 40, 160}, -1.0, 0, 0.5, 0},
        // All four Indexes low; among them only differences to PS (|z| 1.5) exceed 1.4.
        {{70, 70, 70, 55, 70, 70}, -1.5, 4, 1.4, 3},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CountLowIndexes(row.scores, row.lowDeviate), row.low);
        EXPECT_EQ(CountAbnormalDifferences(row.scores, tens, row.differenceDeviate),
                  row.differences);
    }
}

TEST(Abnormality, BaseRateTablesFallWithCountAndRiseWithCutoff) {
    // At least k abnormal results is rarer for larger k and commoner for a looser cut-off.
    for (int c = 0; c < 3; ++c) {
        for (int k = 1; k < 4; ++k)
            EXPECT_LT(kLowScoreBaseRates[c][k], kLowScoreBaseRates[c][k - 1]);
        for (int k = 1; k < 6; ++k) {
            EXPECT_LE(kDifferenceBaseRates[c][k], kDifferenceBaseRates[c][k - 1]);
        }
        if (c > 0) {
            for (int k = 0; k < 4; ++k) {
                EXPECT_GT(kLowScoreBaseRates[c][k], kLowScoreBaseRates[c - 1][k]);
            }
            for (int k = 0; k < 6; ++k) {
                EXPECT_GE(kDifferenceBaseRates[c][k], kDifferenceBaseRates[c - 1][k]);
            }
        }
    }
}

TEST(Abnormality, TablesAreConsistent) {
    // Pair labels name their first and second scores; the deviates are those of the normal
    // distribution at the cut-offs (one- and two-tailed), to the digits given.
    for (const PairDefinition& pair : kPairTable) {
        EXPECT_EQ(std::string(pair.label), std::string(kScoreTable[pair.first].abbreviation) +
                                               " versus " + kScoreTable[pair.second].abbreviation);
    }
    const double levels[3] = {0.05, 0.10, 0.15};
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(ReferencePhi(kAbnormalityCutoffs[c].lowScoreDeviate), levels[c], 1e-6);
        EXPECT_NEAR(2 * (1 - ReferencePhi(kAbnormalityCutoffs[c].differenceDeviate)), levels[c],
                    1e-6);
    }
    for (int i = 0; i < kProfileVariableCount; ++i) {
        for (int j = 0; j < kProfileVariableCount; ++j) {
            EXPECT_EQ(ToDouble(kProfileCorrelations[i][j]),
                      static_cast<double>(kCorrelations[i][j]));
        }
    }
}

}  // namespace
}  // namespace orvale
