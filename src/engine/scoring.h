// SPDX-License-Identifier: GPL-3.0-or-later
// The scoring engine as one call over values: eight subtest scaled scores and the five analysis
// options in, every per-score, per-pair and profile result out. Knows nothing of widgets.
#pragma once

#include <array>
#include <string>

#include "numeric/extended.h"

namespace orvale {

inline constexpr int kSubtestCount = 8;  // field order: BD SI DS CD VO LN MR SS
inline constexpr int kScoreCount = 6;    // score order: VC PR WM PS FSIQ GAI
inline constexpr int kPairCount = 7;     // pair order: VC-PR VC-WM VC-PS PR-WM PR-PS WM-PS FSIQ-GAI

using SubtestEntries = std::array<double, kSubtestCount>;
using ScoreArray = std::array<double, kScoreCount>;
using PairArray = std::array<double, kPairCount>;

// The worksheet's options, as item indexes of its controls.
struct ScoringOptions {
    // 0 95% traditional, 1 90% traditional, 2 95% Glutting, 3 90% Glutting
    int confidenceMethod = 0;
    // differences between estimated true scores instead of observed
    bool trueScoreDifferences = false;
    bool applyBonferroni = false;  // sequential (Holm) Bonferroni on the two-tailed p values
    bool calculateGai = true;      // report the GAI and take FSIQ-GAI into the correction
    int cutoffIndex = 1;           // 1, 2, 3 for an abnormality cut-off of 5%, 10%, 15%
};

inline constexpr const char* kVerdictSignificant = " p < .05";
inline constexpr const char* kVerdictNotSignificant = " not sig";

struct ScoringResults {
    // Per score, in score order.
    ScoreArray sums{};            // composite sums of subtest scaled scores
    ScoreArray scores{};          // index metric (mean 100, SD 15), never rounded
    ScoreArray standardErrors{};  // SE of measurement (traditional) or of estimation (Glutting)
    ScoreArray trueScores{};      // estimated true scores 100 + r (score - 100)
    ScoreArray lowerLimits{};
    ScoreArray upperLimits{};
    ScoreArray percentiles{};
    ScoreArray lowerPercentiles{};
    ScoreArray upperPercentiles{};

    // Per pair, in pair order: reliability of differences.
    PairArray differenceStandardErrors{};
    PairArray oneTailedP{};
    PairArray twoTailedP{};
    bool bonferroniApplied = false;
    // kVerdict... when bonferroniApplied, else empty
    std::array<std::string, kPairCount> verdicts{};

    // Per pair: abnormality of differences (observed scores).
    PairArray differenceSds{};  // SD of the difference in the population
    PairArray percentBeyond{};  // % of population with a larger difference in the same direction

    int lowCount = 0;         // abnormally low Indexes among VC PR WM PS (0-4)
    int differenceCount = 0;  // abnormal differences among pairs 1-6 (0-6)
    Extended chiSquare = 0;   // squared Mahalanobis distance of VC PR WM PS
    Extended chiSquareP = 1;  // upper-tail chi-square(4) probability of chiSquare
};

// Runs the whole computation for entries that have passed validation (1 to 19 each).
// Throws std::invalid_argument for an entry outside 1 to 19 (or not a number) and for an option
// index outside its range: those are callers' faults, never to become silent wrong numbers.
ScoringResults ComputeScores(const SubtestEntries& entries, const ScoringOptions& options);

// Building blocks of ComputeScores, usable on their own.

// Holm's sequential Bonferroni procedure over the first m two-tailed p values (m = 7 with the GAI,
// 6 without; 0 <= m <= kPairCount): passes over the comparisons in pair order mark every unmarked
// one whose p is strictly below 0.05 / n, n being the number still unmarked at that moment, and
// go on while something is unmarked and the previous pass marked something. Returns the verdicts
// (kVerdictSignificant or kVerdictNotSignificant); pairs beyond m keep kVerdictNotSignificant.
std::array<std::string, kPairCount> SequentialBonferroni(const PairArray& twoTailedP, int m);

// Whether an Index score counts as abnormally low: its z = (score - 100) / 15 lies strictly below
// lowScoreDeviate (the cut-off's one-tailed deviate).
bool IsAbnormallyLow(double score, double lowScoreDeviate);

// Number of Indexes among VC, PR, WM, PS that IsAbnormallyLow.
int CountLowIndexes(const ScoreArray& scores, double lowScoreDeviate);

// Number of pairs 1 to 6 whose |observed difference / differenceSds| lies strictly above
// differenceDeviate.
int CountAbnormalDifferences(const ScoreArray& scores, const PairArray& differenceSds,
                             double differenceDeviate);

}  // namespace orvale
