// SPDX-License-Identifier: GPL-3.0-or-later
// The whole report of the reference case (all entries 10, default options), line by line as
// written out by hand from the report's layout, and the lines the layout gives for other cases;
// the expected lines are files under tests/report/golden.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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

// The lines of a file under tests/report/golden, each ended by a line feed. Every other byte, a
// trailing blank or a carriage return included, belongs to its line, so that any change to the
// file shows as a line that differs.
std::vector<std::string> GoldenLines(const std::string& name) {
    std::ifstream file(std::string(ORVALE_GOLDEN_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    const std::string content = text.str();
    if (content.empty() || content.back() != '\n') {
        ADD_FAILURE() << name << ": missing, empty or without a final line feed";
        return {};
    }
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < content.size(); start = end + 1) {
        end = content.find('\n', start);
        lines.push_back(content.substr(start, end - start));
    }
    return lines;
}

// golden/reference_report.txt: the report of all entries 10 with the default options.
// VC PR WM PS FSIQ GAI limits: 100 -/+ 1.959964 x 15 sqrt(1 - r); percentiles of the limits
// 100 Phi((limit - 100) / 15), worked out with the complementary error function:
//   VC 92.1113/107.8887 -> 29.947/70.053   PR 91.6328/108.3672 -> 28.849/71.151
//   WM 91.8420/108.1580 -> 29.327/70.673   PS 89.9010/110.0990 -> 25.039/74.961
//   FSIQ 94.1201/105.8799 -> 34.753/65.247 GAI 93.5589/106.4411 -> 33.381/66.619
TEST(ComposeReport, ReferenceCaseLineByLine) {
    const std::vector<std::string> expected = GoldenLines("reference_report.txt");
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

// A case, its options, and the file under golden/lines holding lines its report must hold.
struct CaseRow {
    const char* name;
    SubtestEntries entries;
    ScoringOptions options;
    const char* linesFile;
};

TEST(ComposeReport, LinesOfTheDocumentedCases) {
    // Field order: BD SI DS CD VO LN MR SS.
    const SubtestEntries glutting = {10, 15, 10, 10, 16, 10, 10, 10};
    const SubtestEntries extreme = {15, 19, 10, 1, 19, 10, 15, 1};
    const SubtestEntries halves = {10.5, 10, 10, 10, 10, 10, 10, 10};
    const CaseRow rows[] = {
        // VO 16 - SI 15 is 1: no discrepancy note.
        {"Glutting 95%: limits about the true score, four values a row", glutting,
         ScoringOptions{2, false, false, true, 1}, "glutting_95.txt"},
        // VC 105.3610 PR 105.6797: 1 - Phi(0.3187 / 5.86728) = 0.47834, and against the
        // population SD of the difference 1 - Phi(0.3187 / 13.46663) = 0.490560.
        {"all entries 11: a difference of -0.32 shows without a minus sign", AllEntries(11),
         ScoringOptions{0, false, false, true, 1}, "all_entries_11.txt"},
        // VC 148.249 PR 128.398: 19.8504 / 13.46663 = 1.4741, 1 - Phi = 7.02347%. Chi-square:
        // z' R^-1 z solved in exact fractions; p = exp(-c/2)(1 + c/2) for four degrees of
        // freedom: 43.35624 and 8.7e-9.
        {"15/19/10/1 at 5%: one low Index, four abnormal differences", extreme,
         ScoringOptions{0, false, false, true, 1}, "extreme_profile_5_percent.txt"},
        // Chi-square 18.71463, p 0.00089416, worked out as above. FSIQ 164.2055 -/+ 5.879892;
        // percentiles 99.9991, 99.9950 and 99.99998 all show as 100.0.
        {"all entries 19: an elevated profile without low scores or abnormal differences",
         AllEntries(19), ScoringOptions{0, false, false, true, 1}, "all_entries_19.txt"},
        {"same case at 10% and 15%: base rates of the chosen row", extreme,
         ScoringOptions{0, false, false, true, 3}, "extreme_profile_15_percent.txt"},
        // FSIQ 100 -/+ 1.644854 x 3: 95.0654 to 104.9346, percentiles 37.109 and 62.891.
        {"90% traditional heading keeps its spelling", AllEntries(10),
         ScoringOptions{1, false, false, true, 2}, "traditional_90.txt"},
        {"90% Glutting heading", AllEntries(10), ScoringOptions{3, false, false, true, 1},
         "glutting_90.txt"},
        {"an entry of 10.5 shows as 11 and sums to 20.5", halves, ScoringOptions{},
         "entry_of_10_5.txt"},
        {"true scores and Bonferroni notes", AllEntries(10), ScoringOptions{0, true, true, true, 1},
         "true_scores_bonferroni.txt"},
    };
    for (const CaseRow& row : rows) {
        const std::vector<std::string> lines = FirstReport(ScoredInput(row.entries, row.options));
        for (const std::string& line : GoldenLines(std::string("lines/") + row.linesFile)) {
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
