// SPDX-License-Identifier: GPL-3.0-or-later
// Normative constants of the scoring engine, one typed table per concern: subtests, the six
// scores, the confidence-limit methods, the seven pairs, the abnormality cut-offs, the base rates
// and the profile correlations. The engine and the report read them from here and nowhere else.
#pragma once

#include <array>

#include "engine/scoring.h"

namespace orvale {

// ---- Subtests, in field order -------------------------------------------------------------

inline constexpr int kBD = 0;  // Block Design
inline constexpr int kSI = 1;  // Similarities
inline constexpr int kDS = 2;  // Digit Span
inline constexpr int kCD = 3;  // Coding
inline constexpr int kVO = 4;  // Vocabulary
inline constexpr int kLN = 5;  // Letter-Number Sequencing
inline constexpr int kMR = 6;  // Matrix Reasoning
inline constexpr int kSS = 7;  // Symbol Search

// Captions of the labels beside the score fields; the entry messages name the field by them.
inline constexpr std::array<const char*, kSubtestCount> kSubtestCaptions = {
    "BLOCK DESIGN subtest scaled score:",     "SIMILARITIES subtest scaled score:",
    "DIGIT SPAN subtest scaled score:",       "CODING subtest scaled score:",
    "VOCABULARY subtest scaled score:",       "LETTER-NUMBER SEQ subtest scaled score:",
    "MATRIX REASONING subtest scaled score:", "SYMBOL SEARCH subtest scaled score:"};

inline constexpr std::array<const char*, kSubtestCount> kSubtestNames = {"BD", "SI", "DS", "CD",
                                                                         "VO", "LN", "MR", "SS"};

// Valid range of a Wechsler subtest scaled score (fractions inside it are accepted).
inline constexpr double kMinScaledScore = 1.0;
inline constexpr double kMaxScaledScore = 19.0;

// ---- Scores, in score order ---------------------------------------------------------------

inline constexpr int kVC = 0;
inline constexpr int kPR = 1;
inline constexpr int kWM = 2;
inline constexpr int kPS = 3;
inline constexpr int kFSIQ = 4;
inline constexpr int kGAI = 5;

// Index metric of every score and limit.
inline constexpr double kIndexMean = 100.0;
inline constexpr double kIndexSd = 15.0;

struct ScoreDefinition {
    const char* abbreviation;  // "VC"
    const char* name;          // report name, "Verbal Comprehension"
    // Subtests summed into the composite, in the order of accumulation (the order matters for
    // sums of fractional entries in extended precision); the first subtestCount entries are used.
    std::array<int, kSubtestCount> subtests;
    int subtestCount;
    double sumMean;      // normative mean of the composite sum of scaled scores
    double sumSd;        // normative SD of the composite sum
    double reliability;  // reliability coefficient of the composite
};

inline constexpr std::array<ScoreDefinition, kScoreCount> kScoreTable = {{
    {"VC", "Verbal Comprehension", {kVO, kSI}, 2, 20, 5.596, 0.928},
    {"PR", "Perceptual Reasoning", {kBD, kMR}, 2, 20, 5.282, 0.919},
    {"WM", "Working Memory", {kDS, kLN}, 2, 20, 5.179, 0.923},
    {"PS", "Processing Speed", {kCD, kSS}, 2, 20, 5.248, 0.882},
    {"FSIQ", "Full Scale IQ", {kVO, kSI, kBD, kMR, kSS, kDS, kCD, kLN}, 8, 80, 16.821, 0.96},
    {"GAI", "General Ability Index", {kVO, kSI, kBD, kMR}, 4, 40, 9.7211, 0.952},
}};

// ---- Confidence-limit methods (ScoringOptions::confidenceMethod) --------------------------

struct ConfidenceMethod {
    const char* caption;
    double z;                // two-tailed normal deviate of the confidence level
    bool centreOnTrueScore;  // Glutting: centre on the estimated true score and use the SE of
                             // estimation; traditional: the score and the SE of measurement
};

inline constexpr std::array<ConfidenceMethod, 4> kConfidenceMethods = {{
    {"95% CLs using traditional method", 1.959964, false},
    {"90% CLs using traditional method", 1.644854, false},
    {"95% CLs using Glutting (estimated true score) method", 1.959964, true},
    {"90% CLs using Glutting (estimated true score) method", 1.644854, true},
}};

// ---- Pairs of scores, in pair order -------------------------------------------------------

struct PairDefinition {
    const char* label;  // report label
    int first;          // score index; the difference is first minus second
    int second;
    double correlation;  // population correlation of the two scores
};

inline constexpr std::array<PairDefinition, kPairCount> kPairTable = {{
    {"VC versus PR", kVC, kPR, 0.597},
    {"VC versus WM", kVC, kWM, 0.553},
    {"VC versus PS", kVC, kPS, 0.417},
    {"PR versus WM", kPR, kWM, 0.503},
    {"PR versus PS", kPR, kPS, 0.503},
    {"WM versus PS", kWM, kPS, 0.407},
    {"FSIQ versus GAI", kFSIQ, kGAI, 0.92},
}};

// Pairs 1 to 6 compare two Indexes; the last pair (FSIQ versus GAI) is never counted as abnormal
// and takes part in the Bonferroni family only when the GAI is requested.
inline constexpr int kIndexPairCount = 6;

// Variance of the difference of two index-metric scores with r = 0: 2 x 15^2.
inline constexpr double kDifferenceVarianceFactor = 450.0;

// Family-wise significance level of the sequential Bonferroni procedure.
inline constexpr Extended kFamilyAlpha = ExtendedConstant(0.05L, 0x3FFA, 0xCCCC'CCCC'CCCC'CCCDULL);

// ---- Abnormality cut-offs (ScoringOptions::cutoffIndex - 1) -------------------------------

struct AbnormalityCutoff {
    const char* caption;
    double lowScoreDeviate;    // one-tailed deviate: z strictly below it is abnormally low
    double differenceDeviate;  // two-tailed deviate: |z| strictly above it is abnormal
};

inline constexpr std::array<AbnormalityCutoff, 3> kAbnormalityCutoffs = {{
    {"5% of population", -1.644854, 1.959964},
    {"10% of population", -1.281552, 1.644854},
    {"15% of population", -1.0364334, 1.4395315},
}};

// Percentage of the normal population with at least k abnormally low Indexes among VC, PR, WM,
// PS. Row = cut-off index - 1, column = k - 1.
inline constexpr double kLowScoreBaseRates[3][4] = {
    {14.41, 4.16, 1.23, 0.25},
    {25.86, 9.76, 3.55, 0.89},
    {35.77, 15.87, 6.56, 1.91},
};

// Percentage of the normal population with at least k abnormal differences among the six Index
// pairs. Row = cut-off index - 1, column = k - 1.
inline constexpr double kDifferenceBaseRates[3][6] = {
    {20.19, 7.69, 1.99, 0.17, 0, 0},
    {35.12, 17.68, 6.36, 0.83, 0.03, 0},
    {47.23, 27.99, 12.46, 2.17, 0.14, 0},
};

// ---- Profile of the four Indexes (Mahalanobis distance) -----------------------------------

inline constexpr int kProfileVariableCount = 4;  // VC PR WM PS
inline constexpr Extended kProfileMean = 100.0;
inline constexpr Extended kProfileSd = 15.0;

// Population correlations of VC, PR, WM, PS, held in extended precision: the 80-bit values
// nearest the decimal ones.
inline constexpr Extended kCorrelation597 =
    ExtendedConstant(0.597L, 0x3FFE, 0x98D4'FDF3'B645'A1CBULL);
inline constexpr Extended kCorrelation553 =
    ExtendedConstant(0.553L, 0x3FFE, 0x8D91'6872'B020'C49CULL);
inline constexpr Extended kCorrelation417 =
    ExtendedConstant(0.417L, 0x3FFD, 0xD581'0624'DD2F'1AA0ULL);
inline constexpr Extended kCorrelation503 =
    ExtendedConstant(0.503L, 0x3FFE, 0x80C4'9BA5'E353'F7CFULL);
inline constexpr Extended kCorrelation407 =
    ExtendedConstant(0.407L, 0x3FFD, 0xD062'4DD2'F1A9'FBE7ULL);
inline constexpr Extended kProfileCorrelations[kProfileVariableCount][kProfileVariableCount] = {
    {1.0, kCorrelation597, kCorrelation553, kCorrelation417},
    {kCorrelation597, 1.0, kCorrelation503, kCorrelation503},
    {kCorrelation553, kCorrelation503, 1.0, kCorrelation407},
    {kCorrelation417, kCorrelation503, kCorrelation407, 1.0},
};

}  // namespace orvale
