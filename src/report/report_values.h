// SPDX-License-Identifier: GPL-3.0-or-later
// Values the report derives from the engine's results rather than printing them as stored: the
// difference of a pair and the base rate of a count. Shared by the report and the batch scorer,
// so both print the same numbers.
#pragma once

#include "engine/scoring.h"
#include "engine/tables.h"

namespace orvale {

// First minus second member of the pair, formed in extended precision from the stored doubles.
inline Extended PairDifference(const ScoreArray& values, int pair) {
    return static_cast<Extended>(values[kPairTable[pair].first]) -
           static_cast<Extended>(values[kPairTable[pair].second]);
}

// The values the reliability of differences is about: the scores, or the estimated true scores.
inline const ScoreArray& TestedValues(const ScoringResults& results,
                                      const ScoringOptions& options) {
    return options.trueScoreDifferences ? results.trueScores : results.scores;
}

// Percentage of the normal population with at least `count` abnormally low Indexes (1-4) or
// abnormal differences (1-6) under the cut-off index (1-3); everyone shows at least none (100).
inline double LowScoreBaseRate(int cutoffIndex, int count) {
    return count == 0 ? 100.0 : kLowScoreBaseRates[cutoffIndex - 1][count - 1];
}
inline double DifferenceBaseRate(int cutoffIndex, int count) {
    return count == 0 ? 100.0 : kDifferenceBaseRates[cutoffIndex - 1][count - 1];
}

}  // namespace orvale
