// SPDX-License-Identifier: GPL-3.0-or-later
// Index scores, standard errors, confidence limits and percentile ranks of ComputeScores, against
// the published example values, the normal distribution of the C library and symmetry identities.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/scoring.h"
#include "engine/tables.h"
#include "numeric/normal.h"
#include "reference.h"

namespace orvale {
namespace {

using testing::ReferencePercentile;

SubtestEntries AllEqual(double v) {
    return {v, v, v, v, v, v, v, v};
}

ScoringOptions Method(int confidenceMethod) {
    ScoringOptions options;
    options.confidenceMethod = confidenceMethod;
    return options;
}

// Records the numeric library's warnings for the lifetime of the object.
class WarningRecorder {
  public:
    WarningRecorder() {
        previous_ = SetWarningHook([this](const std::string& m) { messages.push_back(m); });
    }
    ~WarningRecorder() { SetWarningHook(previous_); }
    std::vector<std::string> messages;

  private:
    WarningHook previous_;
};

TEST(IndexScores, StandardErrorsOfBothMethods) {
    // Published to five decimals: tolerance half a unit in the fifth decimal.
    const double measurement[kScoreCount] = {4.02492, 4.26907, 4.16233, 5.15267, 3, 3.28634};
    const double estimation[kScoreCount] = {3.73513, 3.92328, 3.84183, 4.54465, 2.88, 3.12859};
    for (int method = 0; method < 4; ++method) {
        const ScoringResults r = ComputeScores(AllEqual(12), Method(method));
        const double* expected = method < 2 ? measurement : estimation;
        for (int i = 0; i < kScoreCount; ++i) {
            EXPECT_NEAR(r.standardErrors[i], expected[i], 5e-6)
                << "method " << method << " score " << kScoreTable[i].abbreviation;
        }
    }
}

TEST(IndexScores, AllTensGiveMeanScoresAndTheGivenLimits) {
    WarningRecorder warnings;
    const ScoringResults r = ComputeScores(AllEqual(10), Method(0));
    for (int i = 0; i < kScoreCount; ++i) {
        EXPECT_EQ(r.sums[i], kScoreTable[i].sumMean) << kScoreTable[i].abbreviation;
        EXPECT_EQ(r.scores[i], 100.0) << kScoreTable[i].abbreviation;
        EXPECT_EQ(r.trueScores[i], 100.0) << kScoreTable[i].abbreviation;
        EXPECT_EQ(r.percentiles[i], 50.0) << kScoreTable[i].abbreviation;
    }
    // Given to four decimals (VC) and six decimals (FSIQ).
    EXPECT_NEAR(r.lowerLimits[kVC], 92.1113, 5e-5);
    EXPECT_NEAR(r.upperLimits[kVC], 107.8887, 5e-5);
    EXPECT_NEAR(r.lowerLimits[kFSIQ], 94.120108, 5e-7);
    EXPECT_NEAR(r.upperLimits[kFSIQ], 105.879892, 5e-7);
    // "About 29.95 and 70.05".
    EXPECT_NEAR(r.lowerPercentiles[kVC], 29.95, 0.005);
    EXPECT_NEAR(r.upperPercentiles[kVC], 70.05, 0.005);
    // A score of exactly 100 takes 50 without integrating from 0 to 0.
    EXPECT_TRUE(warnings.messages.empty());
}

TEST(IndexScores, GluttingLimitsAreCentredOnTheEstimatedTrueScore) {
    SubtestEntries entries = AllEqual(10);
    entries[kVO] = 16;
    entries[kSI] = 15;
    const ScoringResults r = ComputeScores(entries, Method(2));
    EXPECT_NEAR(r.scores[kVC], 129.4853, 5e-5);
    EXPECT_NEAR(r.trueScores[kVC], 127.3624, 5e-5);
    EXPECT_NEAR(r.standardErrors[kVC], 3.73513, 5e-6);
    EXPECT_NEAR(r.lowerLimits[kVC], 120.0417, 5e-5);
    EXPECT_NEAR(r.upperLimits[kVC], 134.6831, 5e-5);
    EXPECT_NEAR(r.percentiles[kVC], 97.53, 0.005);  // that of the score, not of the true score

    // The traditional method centres the same case on the score itself.
    const ScoringResults traditional = ComputeScores(entries, Method(0));
    EXPECT_NEAR((traditional.lowerLimits[kVC] + traditional.upperLimits[kVC]) / 2, 129.4853, 5e-5);
}

TEST(IndexScores, AllOnesAndAllNineteensMirrorAboutTheMean) {
    const double allOnes[kScoreCount] = {51.7513, 48.8830, 47.8664, 48.5518, 35.7945, 44.4507};
    const ScoringResults low = ComputeScores(AllEqual(1), Method(0));
    const ScoringResults high = ComputeScores(AllEqual(19), Method(0));
    for (int i = 0; i < kScoreCount; ++i) {
        EXPECT_NEAR(low.scores[i], allOnes[i], 5e-5) << kScoreTable[i].abbreviation;
        EXPECT_NEAR(high.scores[i], 200 - allOnes[i], 5e-5) << kScoreTable[i].abbreviation;
        EXPECT_NEAR(low.scores[i] + high.scores[i], 200.0, 1e-12) << kScoreTable[i].abbreviation;
        EXPECT_NEAR(low.percentiles[i] + high.percentiles[i], 100.0, 1e-4);
    }
    EXPECT_NEAR(high.scores[kVC], 148.2487, 5e-5);
    EXPECT_NEAR(high.scores[kFSIQ], 164.2055, 5e-5);
}

TEST(IndexScores, LimitsAndPercentilesAgreeWithIndependentFormulas) {
    // Over a spread of cases and all four methods: the limits lie z SE either side of the centre,
    // and every percentile is 100 Phi((x - 100) / 15) with Phi from erfc. The integrator's
    // absolute error is below 3e-7 in Phi, i.e. 3e-5 in a percentile.
    const double zByMethod[4] = {1.959964, 1.644854, 1.959964, 1.644854};
    const std::vector<SubtestEntries> cases = {{1, 18, 1, 13, 7, 14, 1, 17},
                                               {15, 19, 10, 1, 19, 10, 15, 1},
                                               {3, 7, 11, 12, 9, 5, 16, 8},
                                               {10.5, 9.25, 13, 4, 6.75, 12, 18, 2},
                                               AllEqual(19),
                                               AllEqual(1)};
    for (const SubtestEntries& entries : cases) {
        for (int method = 0; method < 4; ++method) {
            const ScoringResults r = ComputeScores(entries, Method(method));
            for (int i = 0; i < kScoreCount; ++i) {
                const double r_i = kScoreTable[i].reliability;
                const double centre = method < 2 ? r.scores[i] : 100 + r_i * (r.scores[i] - 100);
                const double halfWidth = zByMethod[method] * r.standardErrors[i];
                EXPECT_NEAR(r.lowerLimits[i], centre - halfWidth, 1e-12);
                EXPECT_NEAR(r.upperLimits[i], centre + halfWidth, 1e-12);
                EXPECT_NEAR(r.percentiles[i], ReferencePercentile(r.scores[i]), 3e-5);
                EXPECT_NEAR(r.lowerPercentiles[i], ReferencePercentile(r.lowerLimits[i]), 3e-5);
                EXPECT_NEAR(r.upperPercentiles[i], ReferencePercentile(r.upperLimits[i]), 3e-5);
            }
        }
    }
}

TEST(IndexScores, CompositeSumsTakeFractionalEntriesAsTheyAre) {
    SubtestEntries entries = AllEqual(10);
    entries[kVO] = 10.5;
    const ScoringResults r = ComputeScores(entries, Method(0));
    const double expectedSums[kScoreCount] = {20.5, 20, 20, 20, 80.5, 40.5};
    for (int i = 0; i < kScoreCount; ++i) EXPECT_EQ(r.sums[i], expectedSums[i]);
    // (20.5 - 20) / 5.596 x 15 + 100, written out.
    EXPECT_NEAR(r.scores[kVC], 101.340243, 5e-7);
}

TEST(IndexScores, CompositesSumTheirOwnSubtests) {
    // Raising one subtest by one point moves exactly the composites that contain it.
    const bool member[kSubtestCount][kScoreCount] = {
        // VC PR WM PS FSIQ GAI
        {0, 1, 0, 0, 1, 1},  // BD
        {1, 0, 0, 0, 1, 1},  // SI
        {0, 0, 1, 0, 1, 0},  // DS
        {0, 0, 0, 1, 1, 0},  // CD
        {1, 0, 0, 0, 1, 1},  // VO
        {0, 0, 1, 0, 1, 0},  // LN
        {0, 1, 0, 0, 1, 1},  // MR
        {0, 0, 0, 1, 1, 0},  // SS
    };
    const ScoringResults base = ComputeScores(AllEqual(10), Method(0));
    for (int k = 0; k < kSubtestCount; ++k) {
        SubtestEntries entries = AllEqual(10);
        entries[k] = 11;
        const ScoringResults r = ComputeScores(entries, Method(0));
        for (int i = 0; i < kScoreCount; ++i) {
            EXPECT_EQ(r.sums[i], base.sums[i] + (member[k][i] ? 1 : 0))
                << kSubtestNames[k] << " in " << kScoreTable[i].abbreviation;
        }
    }
}

TEST(IndexScores, LimitOfExactlyOneHundredHasPercentileFifty) {
    // VO 12.943012105454034 (0x1.9e2d27b91507ap+3, found by stepping VO one unit in the last
    // place at a time) with every other entry 10: the 95% traditional lower VC limit is exactly
    // 100, so its percentile integrates from 0 to 0 and the integrator warns once.
    SubtestEntries entries = AllEqual(10);
    entries[kVO] = 0x1.9e2d27b91507ap+3;
    WarningRecorder warnings;
    const ScoringResults r = ComputeScores(entries, Method(0));
    ASSERT_EQ(r.lowerLimits[kVC], 100.0);
    EXPECT_EQ(r.lowerPercentiles[kVC], 50.0);
    ASSERT_EQ(warnings.messages.size(), 1u);
    EXPECT_EQ(warnings.messages[0], "Too many steps");
}

TEST(IndexScores, BadArgumentsAreRefusedWithAMessage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double bad : {0.0, 0.999, 19.001, 20.0, -3.0, nan}) {
        SubtestEntries entries = AllEqual(10);
        entries[kCD] = bad;
        EXPECT_THROW(ComputeScores(entries, Method(0)), std::invalid_argument) << bad;
    }
    for (int method : {-1, 4}) {
        EXPECT_THROW(ComputeScores(AllEqual(10), Method(method)), std::invalid_argument);
    }
    for (int cutoff : {0, 4}) {
        ScoringOptions options;
        options.cutoffIndex = cutoff;
        EXPECT_THROW(ComputeScores(AllEqual(10), options), std::invalid_argument);
    }
    try {
        SubtestEntries entries = AllEqual(10);
        entries[kCD] = 20;
        ComputeScores(entries, Method(0));
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("CD"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace orvale
