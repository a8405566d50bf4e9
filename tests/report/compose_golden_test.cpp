// SPDX-License-Identifier: GPL-3.0-or-later
// The whole report of the reference case (all entries 10, default options), line by line as
// written out by hand from the report's layout, and the lines the layout gives for other cases.
#include <gtest/gtest.h>

#include "engine/entry.h"
#include "report/citation.h"
#include "report_test_support.h"

namespace orvale {
namespace {

using test::AllEntries;
using test::Block;
using test::Contains;
using test::FirstReport;
using test::Rule;
using test::ScoredInput;

// VC PR WM PS FSIQ GAI limits: 100 -/+ 1.959964 x 15 sqrt(1 - r); percentiles of the limits
// 100 Phi((limit - 100) / 15), worked out with the complementary error function:
//   VC 92.1113/107.8887 -> 29.947/70.053   PR 91.6328/108.3672 -> 28.849/71.151
//   WM 91.8420/108.1580 -> 29.327/70.673   PS 89.9010/110.0990 -> 25.039/74.961
//   FSIQ 94.1201/105.8799 -> 34.753/65.247 GAI 93.5589/106.4411 -> 33.381/66.619
std::vector<std::string> ReferenceReport() {
    const std::string r99 = Rule(99), r100 = Rule(100);
    std::vector<std::string> lines = {
        "",
        kProgramTitle,
        "",
        " THIS PROGRAM IMPLEMENTS METHODS DEVELOPED IN THE FOLLOWING PAPER:",
        std::string(kCitationLines[0]),
        std::string(kCitationLines[1]),
        std::string(kCitationLines[2]),
        "",
        " INPUTS:",
        " BLOCK DESIGN subtest scaled score =          10",
        " SIMILARITIES subtest scaled score =          10",
        " DIGIT SPAN subtest scaled score =            10",
        " CODING subtest scaled score =                10",
        " VOCABULARY subtest scaled score =            10",
        " LETTER-NUMBER SEQ subtest scaled score =     10",
        " MATRIX REASONING subtest scaled score =      10",
        " SYMBOL SEARCH subtest scaled score =         10",
        "",
        " Sum of Index scores = 20.000",
        " Sum of Index scores = 20.000",
        " Sum of Index scores = 20.000",
        " Sum of Index scores = 20.000",
        " Sum of Index scores = 80.000",
        " Sum of Index scores = 40.000",
        "",
        " Note: 95% Confidence limits using the traditional method were selected",
        " Note: Calculation and analysis of the General Ability Index was selected",
        " Note: Analysis of reliability of differences between Indices is based on OBSERVED scores",
        " Note: Sequential Bonferroni correction IS NOT applied when testing for reliable "
        "differences",
        " Note: An abnormally low Index score (& abnormally large difference) is defined as being "
        "exhibited by",
        "      less than 5% of population",
        "",
        "",
        "",
        "",
        " OUTPUTS:",
        "",
        " Short-Form Index scores plus confidence limits (scores are also expressed as a "
        "percentile "
        "plus CIs):",
        r99,
        "  Index                       Score  (95% CI Traditional)      Percentile  (95% CI on "
        "percentile)",
        r99,
        "",
        "  Verbal Comprehension    :    100      (  92 to 108 )             50.0      (  29.9 to   "
        "70.1 )",
        "  Perceptual Reasoning    :    100      (  92 to 108 )             50.0      (  28.8 to   "
        "71.2 )",
        "  Working Memory          :    100      (  92 to 108 )             50.0      (  29.3 to   "
        "70.7 )",
        "  Processing Speed        :    100      (  90 to 110 )             50.0      (  25.0 to   "
        "75.0 )",
        "",
        "  Full Scale IQ           :    100      (  94 to 106 )             50.0      (  34.8 to   "
        "65.2 )",
        "  General Ability Index   :    100      (  94 to 106 )             50.0      (  33.4 to   "
        "66.6 )",
        r99,
        " NUMBER of case's Index scores classified as abnormally low =  0",
        " PERCENTAGE of normal population expected to exhibit this number or more of abnormally "
        "low scores:",
        " Percentage = 100%",
        "",
        "",
        "",
        " RELIABLITY of differences between Short-Form Indices:",
        r100,
        " Index Pair           Difference          One-tailed p          Two-tailed p",
        r100,
        " VC versus PR:             0                 0.500                1.000",
        " VC versus WM:             0                 0.500                1.000",
        " VC versus PS:             0                 0.500                1.000",
        "",
        " PR versus WM:             0                 0.500                1.000",
        " PR versus PS:             0                 0.500                1.000",
        "",
        " WM versus PS:             0                 0.500                1.000",
        "",
        "",
        " FSIQ versus GAI:          0                 0.500                1.000",
        r100,
        "",
        "",
        "",
        " ABNORMALITY of differences between Short-Form Indices, i.e., percentage of population "
        "estimated to",
        " obtain a larger difference in same direction (figure in brackets is percentage "
        "regardless of sign ) :",
        r100,
        " Index Pair           Difference          %age of population        (%age regardless of "
        "sign)",
        r100,
        " VC versus PR:          0                    50.000%                     ( 100.000% )",
        " VC versus WM:          0                    50.000%                     ( 100.000% )",
        " VC versus PS:          0                    50.000%                     ( 100.000% )",
        "",
        " PR versus WM:          0                    50.000%                     ( 100.000% )",
        " PR versus PS:          0                    50.000%                     ( 100.000% )",
        "",
        " WM versus PS:          0                    50.000%                     ( 100.000% )",
        "",
        "",
        " FSIQ versus GAI:       0                    50.000%                     ( 100.000% )",
        r100,
        " NUMBER of case's pairwise differences (regardless of sign) that meet criterion for "
        "abnormality =  0 ",
        " PERCENTAGE of normal population expected to exhibit this number or more of abnormal "
        "differences= %100%",
        "",
        " MAHALANOBIS DISTANCE Index of the overall abnormality of the case's Index score "
        "profile: ",
        " Chi-square = 0.000,  p value = 1.00000",
    };
    return lines;
}

TEST(ComposeReport, ReferenceCaseLineByLine) {
    const std::vector<std::string> expected = ReferenceReport();
    const std::vector<std::string> actual = FirstReport(ScoredInput(AllEntries(10)));
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
    }
}

TEST(ComposeReport, CitationLinesHaveTheRequiredForm) {
    for (std::string_view line : kCitationLines) {
        EXPECT_EQ(line.substr(0, 1), " ");
        EXPECT_NE(line.substr(1, 1), " ");
        EXPECT_LE(line.size(), 100u);
    }
}

// A case, its options, and lines its report must hold.
struct CaseRow {
    const char* name;
    SubtestEntries entries;
    ScoringOptions options;
    std::vector<std::string> lines;
};

TEST(ComposeReport, LinesOfTheDocumentedCases) {
    // Field order: BD SI DS CD VO LN MR SS.
    const SubtestEntries glutting = {10, 15, 10, 10, 16, 10, 10, 10};
    const SubtestEntries extreme = {15, 19, 10, 1, 19, 10, 15, 1};
    const SubtestEntries halves = {10.5, 10, 10, 10, 10, 10, 10, 10};
    const CaseRow rows[] = {
        {"Glutting 95%: limits about the true score, four values a row",
         glutting,
         ScoringOptions{2, false, false, true, 1},
         {" Note: 95% Confidence limits using the Glutting method were selected",
          " Short-Form Index scores plus confidence limits (scores are also expressed as a "
          "percentile):",
          Rule(98),
          "  Index                       Score  (  95% CI Glutting  )       Percentile    ",
          "  Verbal Comprehension    :    129      ( 120 to 135 )             97.5     ",
          // VO 16 - SI 15 is 1: no discrepancy note.
          "  Perceptual Reasoning    :    100      (  92 to 108 )             50.0      "}},
        {"all entries 11: a difference of -0.32 shows without a minus sign",
         AllEntries(11),
         ScoringOptions{0, false, false, true, 1},
         // VC 105.3610 PR 105.6797: 1 - Phi(0.3187 / 5.86728) = 0.47834, and against the
         // population SD of the difference 1 - Phi(0.3187 / 13.46663) = 0.490560.
         {" VC versus PR:             0                 0.478                0.957",
          " VC versus PR:          0                    49.056%                     ( 98.112% )",
          " Sum of Index scores = 22.000", " Sum of Index scores = 88.000"}},
        {"15/19/10/1 at 5%: one low Index, four abnormal differences",
         extreme,
         ScoringOptions{0, false, false, true, 1},
         {" NUMBER of case's Index scores classified as abnormally low =  1",
          " Percentage = 14.41%",
          " NUMBER of case's pairwise differences (regardless of sign) that meet criterion for "
          "abnormality =  4 ",
          " PERCENTAGE of normal population expected to exhibit this number or more of abnormal "
          "differences=0.17%",
          // VC 148.249 PR 128.398: 19.8504 / 13.46663 = 1.4741, 1 - Phi = 7.02347%.
          " VC versus PR:         20                     7.023%                     ( 14.047% )",
          // z' R^-1 z solved in exact fractions; p = exp(-c/2)(1 + c/2) for four degrees of
          // freedom: 43.35624 and 8.7e-9.
          " Chi-square = 43.356,  p value = 0.00000"}},
        {"all entries 19: an elevated profile without low scores or abnormal differences",
         AllEntries(19),
         ScoringOptions{0, false, false, true, 1},
         // Chi-square 18.71463, p 0.00089416, worked out as above.
         {" Chi-square = 18.715,  p value = 0.00089",
          " NUMBER of case's Index scores classified as abnormally low =  0",
          // FSIQ 164.2055 -/+ 5.879892; percentiles 99.9991, 99.9950 and 99.99998 all show as
          // 100.0.
          "  Full Scale IQ           :    164      ( 158 to 170 )            100.0      ( 100.0 "
          "to  100.0 )"}},
        {"same case at 10% and 15%: base rates of the chosen row",
         extreme,
         ScoringOptions{0, false, false, true, 3},
         {"      less than 15% of population", " Percentage = 35.77%"}},
        {"90% traditional heading keeps its spelling",
         AllEntries(10),
         ScoringOptions{1, false, false, true, 2},
         {" Note: 90% Confidence limits using the traditional method were selected",
          "  Index                       Score  (90% CI Traditonal)       Percentile  (90% CI on "
          "percentile)",
          "      less than 10% of population",
          // FSIQ 100 -/+ 1.644854 x 3: 95.0654 to 104.9346, percentiles 37.109 and 62.891.
          "  Full Scale IQ           :    100      (  95 to 105 )             50.0      (  37.1 "
          "to   62.9 )"}},
        {"90% Glutting heading",
         AllEntries(10),
         ScoringOptions{3, false, false, true, 1},
         {" Note: 90% Confidence limits using the Glutting method were selected",
          "  Index                       Score  (  90% CI Glutting  )       Percentile       "}},
        {"an entry of 10.5 shows as 11 and sums to 20.5",
         halves,
         ScoringOptions{},
         {" BLOCK DESIGN subtest scaled score =          11", " Sum of Index scores = 20.500",
          " Sum of Index scores = 80.500"}},
        {"true scores and Bonferroni notes",
         AllEntries(10),
         ScoringOptions{0, true, true, true, 1},
         {" Note: Analysis of reliability of differences between Indices is based on estimated "
          "TRUE scores",
          " Note: Sequential Bonferroni correction IS applied when testing for reliable "
          "differences"}},
    };
    for (const CaseRow& row : rows) {
        const std::vector<std::string> lines = FirstReport(ScoredInput(row.entries, row.options));
        for (const std::string& line : row.lines) {
            EXPECT_TRUE(Contains(lines, line)) << row.name << ": missing \"" << line << "\"";
        }
    }
}

TEST(ComposeReport, GaiNotRequested) {
    const std::vector<std::string> lines =
        FirstReport(ScoredInput(AllEntries(10), ScoringOptions{0, false, false, false, 1}));
    EXPECT_FALSE(Contains(lines,
                          " Note: Calculation and analysis of the General Ability Index was "
                          "selected"));
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("General Ability Index   :"), std::string::npos);
        EXPECT_EQ(line.find("FSIQ versus GAI"), std::string::npos);
    }
    // The six sums, GAI's included, and the FSIQ row closing the table.
    EXPECT_EQ(Block(lines, " Sum of Index scores = 80.000", 2),
              (std::vector<std::string>{" Sum of Index scores = 80.000",
                                        " Sum of Index scores = 40.000"}));
    EXPECT_EQ(Block(lines,
                    "  Full Scale IQ           :    100      (  94 to 106 )             "
                    "50.0      (  34.8 to   65.2 )",
                    2)
                  .back(),
              Rule(99));
    // Both pair tables end at WM versus PS, with no blank lines before the rule.
    EXPECT_EQ(
        Block(lines, " WM versus PS:             0                 0.500                1.000", 2)
            .back(),
        Rule(100));
    EXPECT_EQ(Block(lines,
                    " WM versus PS:          0                    50.000%                     ( "
                    "100.000% )",
                    2)
                  .back(),
              Rule(100));
}

TEST(ComposeReport, DifferencesFollowTheChosenBasis) {
    // BD 1, SI 18, DS 1, CD 13, VO 7, LN 14, MR 1, SS 17. Observed: VC 100 + 15 (25 - 20) / 5.596
    // = 113.402, PS 100 + 15 (30 - 20) / 5.248 = 128.582, VC - PS = -15.180. True scores:
    // 100 + 0.928 x 13.402 = 112.437 and 100 + 0.882 x 28.582 = 125.209, difference -12.772.
    const SubtestEntries entries = {1, 18, 1, 13, 7, 14, 1, 17};
    const std::vector<std::string> observed =
        FirstReport(ScoredInput(entries, ScoringOptions{0, false, false, true, 1}));
    const std::vector<std::string> trueScores =
        FirstReport(ScoredInput(entries, ScoringOptions{0, true, false, true, 1}));
    // 15.180 / 6.53835 = 2.3217: one-tailed 0.01013, two-tailed 0.02025; with true scores
    // 12.772 / 6.53835 = 1.9534: 0.0254 and 0.0508.
    EXPECT_TRUE(Contains(
        observed, " VC versus PS:           -15                 0.010                0.020"));
    EXPECT_TRUE(Contains(
        trueScores, " VC versus PS:           -13                 0.025                0.051"));
    // The abnormality table shows the observed difference under both bases.
    for (const auto& lines : {observed, trueScores}) {
        bool found = false;
        for (const std::string& line : lines) {
            if (line.rfind(" VC versus PS:        -15                    ", 0) == 0) found = true;
        }
        EXPECT_TRUE(found);
    }
}

TEST(ComposeReport, SubtestDiscrepancyNotes) {
    const std::string vcNote =
        " Note: The difference between subtests belonging to the VC Index exceeds 5 scaled score "
        "points";
    const std::string follow1 =
        " Quisby & Tramell (2004) suggest that an Index with subtest discrepancies of this "
        "magnitude should";
    const std::string follow2 = " not be interpreted: see paper for discussion of this issue.";

    // VO and SI as typed, parsed as the worksheet and the scorer parse them. Typed decimals that
    // differ by exactly 5 write nothing, although their doubles may differ by a hair more than 5
    // (8.3 - 3.3 and 6.7 - 1.7 do, one in double and one in extended arithmetic).
    const struct {
        const char* vocabulary;
        const char* similarities;
        bool note;
    } differences[] = {
        {"15", "10", false},   {"16", "10", true},    {"10", "16", true},     {"8.3", "3.3", false},
        {"3.3", "8.3", false}, {"6.7", "1.7", false}, {"6.2", "1.2", false},  {"9.8", "4.8", false},
        {"19", "14", false},   {"8.31", "3.3", true}, {"15.001", "10", true},
    };
    for (const auto& row : differences) {
        SubtestEntries entries = AllEntries(10);
        entries[4] = ParseScoreEntry(row.vocabulary, "VO").value;
        entries[1] = ParseScoreEntry(row.similarities, "SI").value;
        const auto lines = FirstReport(ScoredInput(entries));
        if (row.note) {
            // The note and the two lines after it, then the outputs heading's blank lines.
            EXPECT_EQ(Block(lines, vcNote, 4),
                      (std::vector<std::string>{vcNote, follow1, follow2, ""}))
                << "VO " << row.vocabulary << ", SI " << row.similarities;
        } else {
            EXPECT_FALSE(Contains(lines, vcNote))
                << "VO " << row.vocabulary << ", SI " << row.similarities;
            EXPECT_FALSE(Contains(lines, follow1))
                << "VO " << row.vocabulary << ", SI " << row.similarities;
        }
    }

    // All four checks, in order, with the two closing lines written once. Differences are taken
    // in both directions: SI - VO, MR - BD, DS - LN, CD - SS.
    const SubtestEntries all = {2, 18, 19, 17, 10, 1, 9, 4};
    const auto four = FirstReport(ScoredInput(all));
    const auto block = Block(four, vcNote, 6);
    ASSERT_EQ(block.size(), 6u);
    EXPECT_EQ(block[1].substr(0, 61),
              " Note: The difference between subtests belonging to the PR In");
    EXPECT_NE(block[1].find("PR Index"), std::string::npos);
    EXPECT_NE(block[2].find("WM Index"), std::string::npos);
    EXPECT_NE(block[3].find("PS Index"), std::string::npos);
    EXPECT_EQ(block[4], follow1);
    EXPECT_EQ(block[5], follow2);
}

}  // namespace
}  // namespace orvale
