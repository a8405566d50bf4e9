// SPDX-License-Identifier: GPL-3.0-or-later
// The scoring pipeline over values: composite sums and index scores with confidence limits and
// percentile ranks, reliability of the seven differences, abnormality of scores, differences and
// profile, the optional sequential Bonferroni correction and the two abnormality counts.
//
// Arithmetic follows the program's long-standing convention: each quantity is evaluated in
// 80-bit extended precision (numeric/extended.h) and rounded to double where it is stored; later
// steps read the stored doubles. Every normal probability comes from NormalCdf.
#include "engine/scoring.h"

#include <stdexcept>
#include <string>

#include "engine/tables.h"
#include "numeric/mahalanobis.h"
#include "numeric/matrix_handling.h"
#include "numeric/normal.h"

namespace orvale {

namespace {

// 100 x Phi((x - 100) / 15): the percentile rank of an index-metric value.
double PercentileRank(double x) {
    const double deviate = ToDouble((static_cast<Extended>(x) - kIndexMean) / kIndexSd);
    return ToDouble(100 * static_cast<Extended>(NormalCdf(deviate)));
}

// 1 - Phi(|d / sd|): the upper-tail probability of a nonzero difference, before rounding.
Extended UpperTail(Extended difference, double sd) {
    const double deviate = ToDouble(Fabs(difference / sd));
    return 1 - static_cast<Extended>(NormalCdf(deviate));
}

void CheckArguments(const SubtestEntries& entries, const ScoringOptions& options) {
    for (int k = 0; k < kSubtestCount; ++k) {
        const double v = entries[k];
        if (!(v >= kMinScaledScore && v <= kMaxScaledScore)) {
            throw std::invalid_argument(std::string("ComputeScores: ") + kSubtestNames[k] +
                                        " entry " + std::to_string(v) +
                                        " is not a scaled score from 1 to 19");
        }
    }
    if (options.confidenceMethod < 0 ||
        options.confidenceMethod >= static_cast<int>(kConfidenceMethods.size())) {
        throw std::invalid_argument("ComputeScores: confidence method " +
                                    std::to_string(options.confidenceMethod) +
                                    " is not one of 0 to 3");
    }
    if (options.cutoffIndex < 1 ||
        options.cutoffIndex > static_cast<int>(kAbnormalityCutoffs.size())) {
        throw std::invalid_argument("ComputeScores: abnormality cut-off index " +
                                    std::to_string(options.cutoffIndex) + " is not one of 1 to 3");
    }
}

// Composite sums, scores, standard errors, estimated true scores, limits and percentiles.
void ComputeIndexScores(const SubtestEntries& entries, const ConfidenceMethod& method,
                        ScoringResults& r) {
    for (int i = 0; i < kScoreCount; ++i) {
        const ScoreDefinition& row = kScoreTable[i];
        Extended sum = 0;
        for (int k = 0; k < row.subtestCount; ++k) sum += entries[row.subtests[k]];
        r.sums[i] = ToDouble(sum);

        r.scores[i] = ToDouble(
            ((static_cast<Extended>(r.sums[i]) - row.sumMean) / row.sumSd) * kIndexSd + kIndexMean);
        const Extended reliability = row.reliability;
        r.trueScores[i] =
            ToDouble((static_cast<Extended>(r.scores[i]) - kIndexMean) * reliability + kIndexMean);

        // SE of measurement 15 sqrt(1 - r); the SE of estimation is r times it.
        Extended standardError = Sqrt(1 - reliability) * kIndexSd;
        if (method.centreOnTrueScore) standardError *= reliability;
        r.standardErrors[i] = ToDouble(standardError);

        const Extended centre = method.centreOnTrueScore ? r.trueScores[i] : r.scores[i];
        const Extended halfWidth = static_cast<Extended>(method.z) * r.standardErrors[i];
        r.lowerLimits[i] = ToDouble(centre - halfWidth);
        r.upperLimits[i] = ToDouble(halfWidth + centre);

        r.percentiles[i] = r.scores[i] == kIndexMean ? 50.0 : PercentileRank(r.scores[i]);
        r.lowerPercentiles[i] = PercentileRank(r.lowerLimits[i]);
        r.upperPercentiles[i] = PercentileRank(r.upperLimits[i]);
    }
}

// Standard errors of the differences and their one- and two-tailed probabilities.
void ComputeReliabilityOfDifferences(bool trueScoreDifferences, ScoringResults& r) {
    const ScoreArray& values = trueScoreDifferences ? r.trueScores : r.scores;
    for (int j = 0; j < kPairCount; ++j) {
        const PairDefinition& pair = kPairTable[j];
        const Extended se1 = r.standardErrors[pair.first];
        const Extended se2 = r.standardErrors[pair.second];
        r.differenceStandardErrors[j] = ToDouble(Sqrt(se1 * se1 + se2 * se2));

        const Extended d = static_cast<Extended>(values[pair.first]) - values[pair.second];
        r.oneTailedP[j] = d == 0 ? 0.5 : ToDouble(UpperTail(d, r.differenceStandardErrors[j]));
        r.twoTailedP[j] = 2 * r.oneTailedP[j];
    }
}

// Population SDs of the observed differences and the percentage beyond each difference.
void ComputeAbnormalityOfDifferences(ScoringResults& r) {
    for (int j = 0; j < kPairCount; ++j) {
        const PairDefinition& pair = kPairTable[j];
        r.differenceSds[j] =
            ToDouble(Sqrt(static_cast<Extended>(kDifferenceVarianceFactor) -
                          static_cast<Extended>(kDifferenceVarianceFactor) * pair.correlation));

        const Extended d = static_cast<Extended>(r.scores[pair.first]) - r.scores[pair.second];
        r.percentBeyond[j] = d == 0 ? 50.0 : ToDouble(100 * UpperTail(d, r.differenceSds[j]));
    }
}

// Squared Mahalanobis distance of the VC, PR, WM, PS profile and its chi-square(4) p value.
void ComputeProfileDistance(ScoringResults& r) {
    tVector scores;
    tVector means;
    tVector sds;
    tMatrix correlations;
    for (int i = 1; i <= kProfileVariableCount; ++i) {
        scores(i) = r.scores[i - 1];
        means(i) = kProfileMean;
        sds(i) = kProfileSd;
        for (int j = 1; j <= kProfileVariableCount; ++j) {
            correlations(i, j) = kProfileCorrelations[i - 1][j - 1];
        }
    }
    MahalanobisDistance(kProfileVariableCount, scores, means, sds, correlations, r.chiSquare,
                        r.chiSquareP);
}

}  // namespace

std::array<std::string, kPairCount> SequentialBonferroni(const PairArray& twoTailedP, int m) {
    if (m < 0 || m > kPairCount) {
        throw std::invalid_argument("SequentialBonferroni: comparison count " + std::to_string(m) +
                                    " is not one of 0 to 7");
    }
    std::array<std::string, kPairCount> verdicts;
    verdicts.fill(kVerdictNotSignificant);
    std::array<bool, kPairCount> marked{};
    int unmarked = m;
    bool passMarked = true;
    // Holm's step-down in passes: a pass can mark several comparisons, each lowering n at once.
    // Another pass runs while something is unmarked and the last pass made progress, so the last
    // remaining comparison is tested at 0.05 / 1 and no threshold is formed with n = 0.
    while (unmarked > 0 && passMarked) {
        passMarked = false;
        for (int i = 0; i < m; ++i) {
            if (marked[i]) continue;
            const Extended threshold = kFamilyAlpha / unmarked;
            if (threshold > twoTailedP[i]) {
                verdicts[i] = kVerdictSignificant;
                marked[i] = true;
                passMarked = true;
                if (--unmarked == 0) break;
            }
        }
    }
    return verdicts;
}

bool IsAbnormallyLow(double score, double lowScoreDeviate) {
    const double z = ToDouble((static_cast<Extended>(score) - kIndexMean) / kIndexSd);
    return z < lowScoreDeviate;
}

int CountLowIndexes(const ScoreArray& scores, double lowScoreDeviate) {
    int count = 0;
    for (int i = kVC; i <= kPS; ++i) {
        if (IsAbnormallyLow(scores[i], lowScoreDeviate)) ++count;
    }
    return count;
}

int CountAbnormalDifferences(const ScoreArray& scores, const PairArray& differenceSds,
                             double differenceDeviate) {
    int count = 0;
    for (int j = 0; j < kIndexPairCount; ++j) {
        const PairDefinition& pair = kPairTable[j];
        const Extended d = static_cast<Extended>(scores[pair.first]) - scores[pair.second];
        const double z = ToDouble(Fabs(d / differenceSds[j]));
        if (z > differenceDeviate) ++count;
    }
    return count;
}

ScoringResults ComputeScores(const SubtestEntries& entries, const ScoringOptions& options) {
    CheckArguments(entries, options);
    const ConfidenceMethod& method = kConfidenceMethods[options.confidenceMethod];
    const AbnormalityCutoff& cutoff = kAbnormalityCutoffs[options.cutoffIndex - 1];

    ScoringResults r;
    ComputeIndexScores(entries, method, r);
    ComputeReliabilityOfDifferences(options.trueScoreDifferences, r);
    ComputeAbnormalityOfDifferences(r);
    ComputeProfileDistance(r);
    if (options.applyBonferroni) {
        r.bonferroniApplied = true;
        r.verdicts =
            SequentialBonferroni(r.twoTailedP, options.calculateGai ? kPairCount : kIndexPairCount);
    }
    r.lowCount = CountLowIndexes(r.scores, cutoff.lowScoreDeviate);
    r.differenceCount =
        CountAbnormalDifferences(r.scores, r.differenceSds, cutoff.differenceDeviate);
    return r;
}

}  // namespace orvale
