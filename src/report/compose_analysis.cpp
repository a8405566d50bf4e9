// SPDX-License-Identifier: GPL-3.0-or-later
// Report composition, sections 11 to 15: abnormally low scores, the reliability of the
// differences (one of four tables), the abnormality of the differences, the count of abnormal
// differences and the profile's Mahalanobis distance.
#include <array>
#include <string_view>

#include "engine/tables.h"
#include "report/report_values.h"
#include "report/report_writer.h"

namespace orvale::report_detail {

namespace {

// Rows of the observed-or-true reliability tables (A and C), pair order.
constexpr std::array<std::string_view, kPairCount> kProbabilityRows = {
    " VC versus PR:         %5.0f                %6.3f               %6.3f",
    " VC versus WM:         %5.0f                %6.3f               %6.3f",
    " VC versus PS:         %5.0f                %6.3f               %6.3f",
    " PR versus WM:         %5.0f                %6.3f               %6.3f",
    " PR versus PS:         %5.0f                %6.3f               %6.3f",
    " WM versus PS:         %5.0f                %6.3f               %6.3f",
    " FSIQ versus GAI:      %5.0f                %6.3f               %6.3f",
};
// Rows of the Bonferroni tables (B and D); the trailing spaces differ from row to row.
constexpr std::array<std::string_view, kPairCount> kVerdictRows = {
    " VC versus PR:       %5.0f                     %s   ",
    " VC versus WM:       %5.0f                     %s ",
    " VC versus PS:       %5.0f                     %s  ",
    " PR versus WM:       %5.0f                     %s ",
    " PR versus PS:       %5.0f                     %s  ",
    " WM versus PS:       %5.0f                     %s ",
    " FSIQ versus GAI:    %5.0f                     %s ",
};
constexpr std::array<std::string_view, kPairCount> kAbnormalityRows = {
    " VC versus PR:      %5.0f                    %6.3f%%                     ( %6.3f%% )",
    " VC versus WM:      %5.0f                    %6.3f%%                     ( %6.3f%% )",
    " VC versus PS:      %5.0f                    %6.3f%%                     ( %6.3f%% )",
    " PR versus WM:      %5.0f                    %6.3f%%                     ( %6.3f%% )",
    " PR versus PS:      %5.0f                    %6.3f%%                     ( %6.3f%% )",
    " WM versus PS:      %5.0f                    %6.3f%%                     ( %6.3f%% )",
    " FSIQ versus GAI:   %5.0f                    %6.3f%%                     ( %6.3f%% )",
};

constexpr std::string_view kProbabilityHeading =
    " Index Pair           Difference          One-tailed p          Two-tailed p";
constexpr std::string_view kVerdictHeading =
    " Index Pair          Difference              Bonferroni p";

void WriteLowScores(ReportWriter& writer, const ReportInput& input) {
    const int count = input.results.lowCount;
    writer.Rule(kRule99);
    writer.Formatted(" NUMBER of case's Index scores classified as abnormally low = %2d", {count});
    writer.Literal(
        " PERCENTAGE of normal population expected to exhibit this number or more of abnormally "
        "low scores:");
    if (count >= 1) {
        writer.Formatted(
            " Percentage = %3.2f%%",
            {static_cast<Extended>(LowScoreBaseRate(input.options.cutoffIndex, count))});
    } else {
        writer.Literal(" Percentage = 100%");
    }
    writer.Blank(3);
}

void WriteReliability(ReportWriter& writer, const ReportInput& input) {
    const ScoringOptions& options = input.options;
    const ScoringResults& r = input.results;
    // The difference tested: between observed scores or between estimated true scores.
    const ScoreArray& values = TestedValues(r, options);
    const bool verdicts = options.applyBonferroni;

    if (!options.trueScoreDifferences && !verdicts) {  // table A
        writer.Literal(" RELIABLITY of differences between Short-Form Indices:");
        writer.Rule(kRule100);
        writer.Literal(kProbabilityHeading);
        writer.Rule(kRule100);
    } else if (!options.trueScoreDifferences) {  // table B
        writer.Literal(
            " RELIABLITY of differences between Short-Form Indices after (two-tailed) Bonferroni "
            "correction:");
        writer.Rule(kRule100);
        writer.Literal(kVerdictHeading);
        writer.Rule(kRule100);
    } else if (!verdicts) {  // table C
        writer.Literal(" RELIABLITY of differences between true scores for Short-Form Indices:");
        writer.Rule(kRule101);
        writer.Literal(kProbabilityHeading);
        writer.Rule(kRule101);
    } else {  // table D
        writer.Literal(
            " RELIABLITY of differences between true scores for Short-Form Indices after "
            "(two-tailed) Bonferroni");
        writer.Literal(" correction:");
        writer.Rule(kRule100);
        writer.Literal(kVerdictHeading);
        writer.Rule(kRule100);
        writer.Blank();
    }

    WritePairRows(writer, options.calculateGai, [&](int pair) {
        const Extended difference = PairDifference(values, pair);
        if (verdicts) {
            writer.Formatted(kVerdictRows[pair], {difference, std::string_view(r.verdicts[pair])});
        } else {
            writer.Formatted(kProbabilityRows[pair],
                             {difference, static_cast<Extended>(r.oneTailedP[pair]),
                              static_cast<Extended>(r.twoTailedP[pair])});
        }
    });

    if (!options.trueScoreDifferences) {
        writer.Rule(kRule100);
    } else {
        writer.Rule(verdicts ? kRule101 : kRule102);
    }
    writer.Blank();
}

void WriteAbnormality(ReportWriter& writer, const ReportInput& input) {
    const ScoringResults& r = input.results;
    writer.Blank(2);
    writer.Literal(
        " ABNORMALITY of differences between Short-Form Indices, i.e., percentage of population "
        "estimated to");
    writer.Literal(
        " obtain a larger difference in same direction (figure in brackets is percentage "
        "regardless of sign ) :");
    writer.Rule(kRule100);
    writer.Literal(
        " Index Pair           Difference          %age of population        (%age regardless of "
        "sign)");
    writer.Rule(kRule100);
    WritePairRows(writer, input.options.calculateGai, [&](int pair) {
        const Extended beyond = r.percentBeyond[pair];
        // Always the observed scores, whatever basis the reliability table used.
        writer.Formatted(kAbnormalityRows[pair],
                         {PairDifference(r.scores, pair), beyond, 2 * beyond});
    });
    writer.Rule(kRule100);
}

void WriteAbnormalCount(ReportWriter& writer, const ReportInput& input) {
    const int count = input.results.differenceCount;
    writer.Formatted(
        " NUMBER of case's pairwise differences (regardless of sign) that meet criterion for "
        "abnormality = %2d ",
        {count});
    if (count >= 1) {
        writer.Formatted(
            " PERCENTAGE of normal population expected to exhibit this number or more of abnormal "
            "differences=%3.2f%%",
            {static_cast<Extended>(DifferenceBaseRate(input.options.cutoffIndex, count))});
    } else {
        writer.Literal(
            " PERCENTAGE of normal population expected to exhibit this number or more of abnormal "
            "differences= %100%");
    }
    writer.Blank();
}

void WriteProfile(ReportWriter& writer, const ReportInput& input) {
    writer.Literal(
        " MAHALANOBIS DISTANCE Index of the overall abnormality of the case's Index score "
        "profile: ");
    writer.Formatted(" Chi-square = %3.3f,  p value = %2.5f",
                     {input.results.chiSquare, input.results.chiSquareP});
}

}  // namespace

void WriteAnalysisSections(ReportWriter& writer, const ReportInput& input) {
    WriteLowScores(writer, input);
    WriteReliability(writer, input);
    WriteAbnormality(writer, input);
    WriteAbnormalCount(writer, input);
    WriteProfile(writer, input);
}

}  // namespace orvale::report_detail
