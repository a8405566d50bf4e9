// SPDX-License-Identifier: GPL-3.0-or-later
// Layout of the report's frame: the four reliability tables with their rules and blank lines,
// the separator between reports, the notes section, literal lines that hold percent signs, the
// decimal separator, the base-rate lookups and the Bonferroni verdicts.
#include <gtest/gtest.h>

#include <stdexcept>

#include "report_test_support.h"

namespace orvale {
namespace {

using test::AllEntries;
using test::Block;
using test::Contains;
using test::FirstReport;
using test::Rule;
using test::ScoredInput;

std::string Spaces(int n) {
    return std::string(n, ' ');
}

// A row of tables A and C for a zero difference: p 0.500 and 1.000.
std::string ProbabilityRow(const std::string& label) {
    // " VC versus PR:" is followed by 9 spaces and "%5.0f"; FSIQ's label is three longer.
    const int pad = 12 - static_cast<int>(label.size()) + 9 + 4;
    return " " + label + ":" + Spaces(pad) + "0" + Spaces(17) + "0.500" + Spaces(16) + "1.000";
}

// A row of tables B and D for a zero difference and the verdict " not sig".
std::string VerdictRow(const std::string& label, int trailing) {
    const int pad = 12 - static_cast<int>(label.size()) + 7 + 4;
    return " " + label + ":" + Spaces(pad) + "0" + Spaces(22) + "not sig" + Spaces(trailing);
}

std::vector<std::string> ProbabilityRows() {
    return {ProbabilityRow("VC versus PR"),
            ProbabilityRow("VC versus WM"),
            ProbabilityRow("VC versus PS"),
            "",
            ProbabilityRow("PR versus WM"),
            ProbabilityRow("PR versus PS"),
            "",
            ProbabilityRow("WM versus PS"),
            "",
            "",
            ProbabilityRow("FSIQ versus GAI")};
}

std::vector<std::string> VerdictRows() {
    return {VerdictRow("VC versus PR", 3),
            VerdictRow("VC versus WM", 1),
            VerdictRow("VC versus PS", 2),
            "",
            VerdictRow("PR versus WM", 1),
            VerdictRow("PR versus PS", 2),
            "",
            VerdictRow("WM versus PS", 1),
            "",
            "",
            VerdictRow("FSIQ versus GAI", 1)};
}

std::vector<std::string> Join(std::vector<std::string> head, const std::vector<std::string>& rows,
                              const std::vector<std::string>& foot) {
    head.insert(head.end(), rows.begin(), rows.end());
    head.insert(head.end(), foot.begin(), foot.end());
    return head;
}

TEST(ComposeReport, FourReliabilityTables) {
    const std::string headingP =
        " Index Pair           Difference          One-tailed p          Two-tailed p";
    const std::string headingQ = " Index Pair          Difference              Bonferroni p";
    const std::string abnormality =
        " ABNORMALITY of differences between Short-Form Indices, i.e., percentage of population "
        "estimated to";
    struct TableRow {
        const char* name;
        bool trueScores;
        bool bonferroni;
        std::vector<std::string> expected;  // title to the first line of section 13
    };
    const TableRow tables[] = {
        {"A", false, false,
         Join({" RELIABLITY of differences between Short-Form Indices:", Rule(100), headingP,
               Rule(100)},
              ProbabilityRows(), {Rule(100), "", "", "", abnormality})},
        {"B", false, true,
         Join({" RELIABLITY of differences between Short-Form Indices after (two-tailed) "
               "Bonferroni correction:",
               Rule(100), headingQ, Rule(100)},
              VerdictRows(), {Rule(100), "", "", "", abnormality})},
        {"C", true, false,
         Join({" RELIABLITY of differences between true scores for Short-Form Indices:", Rule(101),
               headingP, Rule(101)},
              ProbabilityRows(), {Rule(102), "", "", "", abnormality})},
        {"D", true, true,
         Join({" RELIABLITY of differences between true scores for Short-Form Indices after "
               "(two-tailed) Bonferroni",
               " correction:", Rule(100), headingQ, Rule(100), ""},
              VerdictRows(), {Rule(101), "", "", "", abnormality})},
    };
    for (const TableRow& table : tables) {
        ScoringOptions options;
        options.trueScoreDifferences = table.trueScores;
        options.applyBonferroni = table.bonferroni;
        const auto lines = FirstReport(ScoredInput(AllEntries(10), options));
        EXPECT_EQ(Block(lines, table.expected.front(), table.expected.size()), table.expected)
            << "table " << table.name;
        // Section 11 ends in three blank lines right before the table's title.
        EXPECT_EQ(
            Block(lines, " Percentage = 100%", 5),
            (std::vector<std::string>{" Percentage = 100%", "", "", "", table.expected.front()}))
            << "table " << table.name;
    }
}

TEST(ComposeReport, SeparatorOnlyAfterEarlierLines) {
    std::vector<std::string> memo;
    const ReportInput input = ScoredInput(AllEntries(10));
    ComposeReport(memo, input);
    const std::size_t first = memo.size();
    EXPECT_EQ(memo[0], "");
    EXPECT_EQ(memo[1], kProgramTitle);

    ComposeReport(memo, input);
    const std::string dashes(103, '-');
    ASSERT_EQ(memo.size(), 2 * first + 4);
    EXPECT_EQ(std::vector<std::string>(memo.begin() + first, memo.begin() + first + 6),
              (std::vector<std::string>{"", dashes, dashes, "", "", kProgramTitle}));
    // The earlier report is untouched and the new one repeats it.
    EXPECT_TRUE(std::equal(memo.begin(), memo.begin() + first, memo.begin() + first + 4));

    // Anything the user typed into the memo counts as an earlier line.
    std::vector<std::string> typed = {"my own text"};
    ComposeReport(typed, input);
    EXPECT_EQ(typed[0], "my own text");
    EXPECT_EQ(typed[2], dashes);
}

TEST(ComposeReport, NotesSection) {
    const std::string citationEnd = std::string(test::FirstReport(ScoredInput(AllEntries(10)))[6]);
    struct NotesRow {
        std::vector<std::string> notes;
        std::vector<std::string> expected;  // from the last citation line to " INPUTS:"
    };
    const NotesRow rows[] = {
        {{}, {citationEnd, "", " INPUTS:"}},
        {{"a", "b", "c"},
         {citationEnd, "", " User's Notes: a", Spaces(15) + "b", Spaces(15) + "c", " ",
          " INPUTS:"}},
        // Percent signs and format-like texts are never formatted; an empty line inside counts.
        {{"score 100% %s %d %6.0f", "", "%100%"},
         {citationEnd, "", " User's Notes: score 100% %s %d %6.0f", Spaces(15),
          Spaces(15) + "%100%", " ", " INPUTS:"}},
    };
    for (const NotesRow& row : rows) {
        const auto lines = FirstReport(ScoredInput(AllEntries(10), {}, row.notes));
        EXPECT_EQ(std::vector<std::string>(
                      lines.begin() + 6,
                      lines.begin() + 6 + static_cast<std::ptrdiff_t>(row.expected.size())),
                  row.expected);
    }
}

TEST(ComposeReport, DecimalSeparatorOnlyInNumbers) {
    ReportInput input = ScoredInput(AllEntries(10));
    input.decimalSeparator = ',';
    const auto lines = FirstReport(input);
    EXPECT_TRUE(Contains(lines, " Sum of Index scores = 20,000"));
    EXPECT_TRUE(Contains(lines,
                         "  Verbal Comprehension    :    100      (  92 to 108 )             50,0  "
                         "    (  29,9 to   70,1 )"));
    EXPECT_TRUE(Contains(lines, " Chi-square = 0,000,  p value = 1,00000"));
    EXPECT_TRUE(Contains(lines, " Percentage = 100%"));
    EXPECT_TRUE(Contains(lines,
                         " ABNORMALITY of differences between Short-Form Indices, i.e., "
                         "percentage of population estimated to"));
}

TEST(ComposeReport, ExtensionBlockBetweenDiscrepanciesAndOutputs) {
    ReportInput input = ScoredInput(AllEntries(10));
    input.extensionBlock = {" GRID BLOCK %s", ""};
    const auto lines = FirstReport(input);
    EXPECT_EQ(Block(lines, "      less than 5% of population", 5),
              (std::vector<std::string>{"      less than 5% of population", "", " GRID BLOCK %s",
                                        "", ""}));
    EXPECT_EQ(Block(lines, " GRID BLOCK %s", 6).back(), " OUTPUTS:");
}

// Results made up to reach every entry of both base-rate tables.
TEST(ComposeReport, BaseRateLookups) {
    // Low-score table, rows 5%, 10%, 15%, columns 1 to 4 abnormally low Indexes.
    const char* lowRates[3][4] = {{"14.41", "4.16", "1.23", "0.25"},
                                  {"25.86", "9.76", "3.55", "0.89"},
                                  {"35.77", "15.87", "6.56", "1.91"}};
    // Difference table, columns 1 to 6 abnormal differences.
    const char* differenceRates[3][6] = {{"20.19", "7.69", "1.99", "0.17", "0.00", "0.00"},
                                         {"35.12", "17.68", "6.36", "0.83", "0.03", "0.00"},
                                         {"47.23", "27.99", "12.46", "2.17", "0.14", "0.00"}};
    const std::string differenceCountPrefix =
        " NUMBER of case's pairwise differences (regardless of sign) that meet criterion for "
        "abnormality = ";
    const std::string differencePrefix =
        " PERCENTAGE of normal population expected to exhibit this number or more of abnormal "
        "differences=";
    for (int cutoff = 1; cutoff <= 3; ++cutoff) {
        for (int count = 0; count <= 6; ++count) {
            ReportInput input = ScoredInput(AllEntries(10));
            input.options.cutoffIndex = cutoff;
            input.results.lowCount = std::min(count, 4);
            input.results.differenceCount = count;
            const auto lines = FirstReport(input);
            const std::string low =
                count == 0
                    ? " Percentage = 100%"
                    : " Percentage = " + std::string(lowRates[cutoff - 1][std::min(count, 4) - 1]) +
                          "%";
            EXPECT_EQ(Block(lines,
                            " NUMBER of case's Index scores classified as abnormally low = " +
                                std::string(" ") + std::to_string(std::min(count, 4)),
                            3)
                          .back(),
                      low)
                << cutoff << " " << count;
            const std::string difference =
                differencePrefix +
                (count == 0 ? std::string(" %100%")
                            : std::string(differenceRates[cutoff - 1][count - 1]) + "%");
            EXPECT_EQ(
                Block(lines, differenceCountPrefix + " " + std::to_string(count) + " ", 2).back(),
                difference)
                << cutoff << " " << count;
        }
    }
}

TEST(ComposeReport, BonferroniVerdicts) {
    // BD 1, SI 18, DS 1, CD 13, VO 7, LN 14, MR 1, SS 17: every Index pair but VC-PS has a
    // two-tailed p below 0.0001, VC-PS about 0.0203 and FSIQ-GAI about 0.0037. Holm's procedure
    // marks the six small ones (FSIQ-GAI at 0.05/2), then tests VC-PS, the last comparison, at
    // 0.05/1 and marks it too.
    const SubtestEntries entries = {1, 18, 1, 13, 7, 14, 1, 17};
    ScoringOptions options;
    options.applyBonferroni = true;
    const auto lines = FirstReport(ScoredInput(entries, options));
    const std::vector<std::string> expected = {
        " VC versus PR:          65                      p < .05   ",
        " VC versus WM:          28                      p < .05 ",
        " VC versus PS:         -15                      p < .05  ",
        "",
        " PR versus WM:         -37                      p < .05 ",
        " PR versus PS:         -80                      p < .05  ",
        "",
        " WM versus PS:         -43                      p < .05 ",
        "",
        "",
        " FSIQ versus GAI:       13                      p < .05 ",
    };
    EXPECT_EQ(Block(lines, expected.front(), expected.size()), expected);
}

TEST(ComposeReport, BadOptionsAppendNothing) {
    const ReportInput good = ScoredInput(AllEntries(10));
    struct BadRow {
        const char* name;
        ReportInput input;
    };
    std::vector<BadRow> rows;
    rows.push_back({"method 4", good});
    rows.back().input.options.confidenceMethod = 4;
    rows.push_back({"cut-off 0", good});
    rows.back().input.options.cutoffIndex = 0;
    rows.push_back({"low count 5", good});
    rows.back().input.results.lowCount = 5;
    rows.push_back({"difference count 7", good});
    rows.back().input.results.differenceCount = 7;
    for (const BadRow& row : rows) {
        std::vector<std::string> memo = {"earlier"};
        EXPECT_THROW(ComposeReport(memo, row.input), std::invalid_argument) << row.name;
        EXPECT_EQ(memo, std::vector<std::string>{"earlier"}) << row.name;
    }
}

}  // namespace
}  // namespace orvale
