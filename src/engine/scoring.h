// The scoring engine as one call over values: eight subtest scaled scores and the five analysis
// options in, every per-score, per-pair and profile result out. Knows nothing of widgets.
#pragma once

#include <array>
#include <string>

namespace orvale {

inline constexpr int kSubtestCount = 8;  // field order: BD SI DS CD VO LN MR SS
inline constexpr int kScoreCount = 6;    // score order: VC PR WM PS FSIQ GAI
inline constexpr int kPairCount = 7;     // pair order: VC-PR VC-WM VC-PS PR-WM PR-PS WM-PS FSIQ-GAI

using SubtestEntries = std::array<double, kSubtestCount>;
using ScoreArray = std::array<double, kScoreCount>;
using PairArray = std::array<double, kPairCount>;

// The worksheet's options, as item indexes of its controls.
struct ScoringOptions {
    int confidenceMethod = 0;       // 0 95% traditional, 1 90% traditional, 2 95% Glutting, 3 90% Glutting
    bool trueScoreDifferences = false;  // differences between estimated true scores instead of observed
    bool applyBonferroni = false;   // sequential (Holm) Bonferroni on the two-tailed p values
    bool calculateGai = true;       // report the GAI and take FSIQ-GAI into the correction
    int cutoffIndex = 1;            // 1, 2, 3 for an abnormality cut-off of 5%, 10%, 15%
};

inline constexpr const char* kVerdictSignificant = " p < .05";
inline constexpr const char* kVerdictNotSignificant = " not sig";

struct ScoringResults {
    // Per score, in score order.
    ScoreArray sums{};              // composite sums of subtest scaled scores
    ScoreArray scores{};            // index metric (mean 100, SD 15), never rounded
    ScoreArray standardErrors{};    // SE of measurement (traditional) or of estimation (Glutting)
    ScoreArray trueScores{};        // estimated true scores 100 + r (score - 100)
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
    std::array<std::string, kPairCount> verdicts{};  // kVerdict... when bonferroniApplied, else empty

    // Per pair: abnormality of differences (observed scores).
    PairArray differenceSds{};      // SD of the difference in the population
    PairArray percentBeyond{};      // % of population with a larger difference in the same direction

    int lowCount = 0;               // abnormally low Indexes among VC PR WM PS (0-4)
    int differenceCount = 0;        // abnormal differences among pairs 1-6 (0-6)
    long double chiSquare = 0;      // squared Mahalanobis distance of VC PR WM PS
    long double chiSquareP = 1;     // upper-tail chi-square(4) probability of chiSquare
};

// Runs the whole computation for entries that have passed validation (1 to 19 each).
ScoringResults ComputeScores(const SubtestEntries& entries, const ScoringOptions& options);

}  // namespace orvale
