// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score --batch run as a process: rows in input order with every value reading back as
// the engine's own double, invalid rows reported with their line and skipped, options applied,
// and unusable files refused with nothing written.
#include <gtest/gtest.h>

#include <map>

#include "batch/csv_reader.h"
#include "engine/scoring.h"
#include "scorer_process.h"

namespace orvale {
namespace {

using test::RunScorer;
using test::ScratchFolder;
using test::WriteFile;

// The output as a list of rows, each a map from column name to cell.
std::vector<std::map<std::string, std::string>> ReadOutput(const std::string& csv) {
    const std::vector<CsvRecord> records = ReadCsv(csv);
    std::vector<std::map<std::string, std::string>> rows;
    if (records.empty()) return rows;
    for (std::size_t i = 1; i < records.size(); ++i) {
        EXPECT_EQ(records[i].fields.size(), records[0].fields.size()) << "row " << i;
        std::map<std::string, std::string> row;
        for (std::size_t c = 0; c < records[0].fields.size() && c < records[i].fields.size(); ++c) {
            row[records[0].fields[c]] = records[i].fields[c];
        }
        rows.push_back(row);
    }
    return rows;
}

// Every cell of one output row against the engine's results for the same case.
void ExpectRowMatches(const std::map<std::string, std::string>& row, const SubtestEntries& entries,
                      const ScoringOptions& options) {
    const ScoringResults r = ComputeScores(entries, options);
    const char* scores[] = {"VC", "PR", "WM", "PS", "FSIQ", "GAI"};
    auto number = [&](const std::string& column) {
        const auto at = row.find(column);
        EXPECT_NE(at, row.end()) << column;
        return at == row.end() ? -1.0 : std::stod(at->second);
    };
    for (int i = 0; i < kScoreCount; ++i) {
        const std::string s = scores[i];
        if (i == 5 && !options.calculateGai) {
            EXPECT_EQ(row.at(s), "");
            continue;
        }
        EXPECT_EQ(number(s), r.scores[i]) << s;
        EXPECT_EQ(number(s + "_lower"), r.lowerLimits[i]) << s;
        EXPECT_EQ(number(s + "_upper"), r.upperLimits[i]) << s;
        EXPECT_EQ(number(s + "_percentile"), r.percentiles[i]) << s;
        EXPECT_EQ(number(s + "_lower_percentile"), r.lowerPercentiles[i]) << s;
        EXPECT_EQ(number(s + "_upper_percentile"), r.upperPercentiles[i]) << s;
    }
    const char* pairs[] = {"VC_PR", "VC_WM", "VC_PS", "PR_WM", "PR_PS", "WM_PS", "FSIQ_GAI"};
    const int members[7][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}, {4, 5}};
    const ScoreArray& tested = options.trueScoreDifferences ? r.trueScores : r.scores;
    for (int p = 0; p < kPairCount; ++p) {
        const std::string s = pairs[p];
        if (p == 6 && !options.calculateGai) {
            EXPECT_EQ(row.at(s + "_difference"), "");
            EXPECT_EQ(row.at(s + "_bonferroni"), "");
            continue;
        }
        const Extended difference = static_cast<Extended>(tested[members[p][0]]) -
                                    static_cast<Extended>(tested[members[p][1]]);
        EXPECT_EQ(number(s + "_difference"), ToDouble(difference)) << s;
        EXPECT_EQ(number(s + "_p_one_tailed"), r.oneTailedP[p]) << s;
        EXPECT_EQ(number(s + "_p_two_tailed"), r.twoTailedP[p]) << s;
        EXPECT_EQ(number(s + "_percent_beyond"), r.percentBeyond[p]) << s;
        const std::string verdict = !options.applyBonferroni               ? ""
                                    : r.verdicts[p] == kVerdictSignificant ? "p < .05"
                                                                           : "not sig";
        EXPECT_EQ(row.at(s + "_bonferroni"), verdict) << s;
    }
    EXPECT_EQ(number("low_count"), r.lowCount);
    EXPECT_EQ(number("difference_count"), r.differenceCount);
    EXPECT_EQ(number("chi_square"), ToDouble(r.chiSquare));
    EXPECT_EQ(number("chi_square_p"), ToDouble(r.chiSquareP));
}

TEST(Batch, BadRowInTheMiddleIsSkippedAndReported) {
    ScratchFolder folder;
    const auto file = folder.path() / "cases.csv";
    // Columns in another order and case, an id, a column the scorer ignores, CRLF line ends.
    WriteFile(file,
              "ss,MR,Ln,vo,CD,ds,SI,bd,Id,Comment\r\n"
              "10,10,10,10,10,10,10,10,first,all ten\r\n"
              "10,10,10,10,10,10,25,10,second,SI out of range\r\n"
              "1,15,10,19,1,10,19,15,\"third, quoted\",\"the 15/19/10/1 case\"\r\n"
              "10,10,,10,10,10,10,10,fourth,LN empty\r\n"
              "10,10,10,10,10,10,10,1x,fifth,BD not a number\r\n"
              "17,1,14,7,13,1,18,1,sixth,\r\n");
    const auto result = RunScorer({"--batch", file.string()});
    EXPECT_EQ(result.status, 1);
    const std::string where = "orvale-score: " + file.string() + ":";
    EXPECT_EQ(result.err,
              where +
                  "3: INPUT ERROR (  SIMILARITIES subtest scaled score:  25.000  ) The valid range "
                  "for Wechsler subtest scaled scores is 1 to 19 (row skipped)\n" +
                  where +
                  "5: INPUT ERROR (  LETTER-NUMBER SEQ subtest scaled score:  ) Data have not "
                  "been entered in this field. (row skipped)\n" +
                  where +
                  "6: INPUT ERROR (  BLOCK DESIGN subtest scaled score:  1x  ) Enter numeric data "
                  "only. (row skipped)\n");
    const auto rows = ReadOutput(result.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].at("id"), "first");
    EXPECT_EQ(rows[1].at("id"), "third, quoted");
    EXPECT_EQ(rows[2].at("id"), "sixth");
    const ScoringOptions defaults;
    ExpectRowMatches(rows[0], {10, 10, 10, 10, 10, 10, 10, 10}, defaults);
    ExpectRowMatches(rows[1], {15, 19, 10, 1, 19, 10, 15, 1}, defaults);
    ExpectRowMatches(rows[2], {1, 18, 1, 13, 7, 14, 1, 17}, defaults);
    // Hand-checked cells of the 15/19/10/1 case: one low Index (14.41%), four abnormal
    // differences (0.17%), the reference case's limits.
    EXPECT_EQ(rows[1].at("low_count"), "1");
    EXPECT_EQ(rows[1].at("low_count_base_rate"), "14.41");
    EXPECT_EQ(rows[1].at("difference_count"), "4");
    EXPECT_EQ(rows[1].at("difference_count_base_rate"), "0.17");
    EXPECT_EQ(rows[0].at("low_count_base_rate"), "100");
    EXPECT_EQ(rows[0].at("VC_PR_p_two_tailed"), "1");
    EXPECT_EQ(rows[0].at("VC_PR_bonferroni"), "");
    EXPECT_NEAR(std::stod(rows[0].at("VC_lower")), 92.1113, 5e-5);
}

TEST(Batch, OptionsApplyAndStandardInputWorks) {
    const std::string csv =
        "BD,SI,DS,CD,VO,LN,MR,SS\n"
        "15,19,10,1,19,10,15,1\n"
        "\n"
        "1,18,1,13,7,14,1,17\n";
    ScoringOptions options;
    options.confidenceMethod = 3;
    options.trueScoreDifferences = true;
    options.applyBonferroni = true;
    options.calculateGai = false;
    options.cutoffIndex = 2;
    const auto result = RunScorer({"--method", "glutting", "--ci", "90", "--differences", "true",
                                   "--bonferroni", "--no-gai", "--abnormal", "10", "--batch", "-"},
                                  csv);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    const auto rows = ReadOutput(result.out);
    ASSERT_EQ(rows.size(), 2u);
    // Without an id column the id is the row's line; the empty line 3 is skipped.
    EXPECT_EQ(rows[0].at("id"), "2");
    EXPECT_EQ(rows[1].at("id"), "4");
    ExpectRowMatches(rows[0], {15, 19, 10, 1, 19, 10, 15, 1}, options);
    ExpectRowMatches(rows[1], {1, 18, 1, 13, 7, 14, 1, 17}, options);
    EXPECT_EQ(rows[0].at("VC_PR_bonferroni"), "p < .05");
    EXPECT_EQ(rows[0].at("low_count_base_rate"), "25.86");
}

TEST(Batch, UnusableInputIsRefusedWithNothingWritten) {
    ScratchFolder folder;
    const auto write = [&](const char* name, const std::string& text) {
        WriteFile(folder.path() / name, text);
        return (folder.path() / name).string();
    };
    const std::string missing = (folder.path() / "missing.csv").string();
    const std::string latin1Missing = (folder.path() / "r\xE9sultats.csv").string();
    const std::string& usage = test::kUsageHint;
    const std::string noSs = write("no_ss.csv", "id,BD,SI,DS,CD,VO,LN,MR\n1,2,3,4,5,6,7,8\n");
    const std::string twice = write("twice.csv", "BD,SI,DS,CD,VO,LN,MR,SS,bd\n");
    const std::string empty = write("empty.csv", "");
    const std::string badHeader = write("bad_header.csv", "BD,\"SI\"x,DS\n");
    struct Row {
        std::vector<std::string> arguments;
        std::string err;
    };
    const Row rows[] = {
        {{"--batch", missing},
         "orvale-score: cannot open " + missing + ": No such file or directory\n"},
        {{"--batch", folder.path().string()},
         "orvale-score: cannot read " + folder.path().string() + ": it is a directory\n"},
        {{"--batch", noSs}, "orvale-score: " + noSs + ": header: missing column(s) SS\n"},
        {{"--batch", twice}, "orvale-score: " + twice + ": header: column bd appears twice\n"},
        {{"--batch", empty},
         "orvale-score: " + empty +
             ": no header line (expected the columns BD, SI, DS, CD, VO, LN, MR, SS and "
             "optionally id)\n"},
        {{"--batch", badHeader},
         "orvale-score: " + badHeader + ":1: header: unexpected text after a closing quote\n"},
        {{"--notes", "x", "--batch", missing},
         "orvale-score: --notes belongs to a single report; it has no place in batch output.\n" +
             usage},
        {{"--batch", missing, "10", "10", "10", "10", "10", "10", "10", "10"},
         "orvale-score: --batch takes its cases from the file; give no scores with it.\n" + usage},
        {{"--jobs", "0", "--batch", missing},
         "orvale-score: --jobs must be a whole number from 1 to 256, not '0'.\n" + usage},
        {{"--jobs", "2x", "--batch", missing},
         "orvale-score: --jobs must be a whole number from 1 to 256, not '2x'.\n" + usage},
        {{"--jobs", "2", "10", "10", "10", "10", "10", "10", "10", "10"},
         "orvale-score: --jobs sets the threads of --batch; a single case has no use for it.\n" +
             usage},
        {{"--jobs", "2", "--case", missing},
         "orvale-score: --jobs sets the threads of --batch; a single case has no use for it.\n" +
             usage},
        // A file name that is not UTF-8 reaches the file system unchanged.
        {{"--batch", latin1Missing},
         "orvale-score: cannot open " + latin1Missing + ": No such file or directory\n"},
    };
    for (const Row& row : rows) {
        const auto result = RunScorer(row.arguments);
        EXPECT_EQ(result.status, 2) << row.err;
        EXPECT_EQ(result.out, "") << row.err;
        EXPECT_EQ(result.err, row.err);
    }
}

TEST(Batch, MalformedRecordsAndRowsOfTheWrongWidthAreSkipped) {
    const auto result = RunScorer({"--batch", "-"},
                                  "BD,SI,DS,CD,VO,LN,MR,SS\n"
                                  "10,10,1\"0,10,10,10,10,10\n"
                                  "10,10,10,10,10,10,10,10\n"
                                  "10,10,10,10,10,10,10,10,10\n"
                                  "10,10,10,10,10,10,10\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "orvale-score: standard input:2: a quote inside an unquoted field; row skipped\n"
              "orvale-score: standard input:4: 9 cells where the header has 8; row skipped\n"
              "orvale-score: standard input:5: 7 cells where the header has 8; row skipped\n");
    EXPECT_EQ(ReadOutput(result.out).size(), 1u);
}

TEST(Batch, IntegratorWarningGoesToStandardErrorOncePerRowThatRaisesIt) {
    // This VO (with every other score 10) puts the lower VC limit at exactly 100, whose
    // percentile the integrator reaches only with a warning. The third row asks for the same
    // probabilities again, which a cache could answer without the warning.
    const std::string raising = "10,10,10,10,12.9430121054540339,10,10,10\n";
    const std::string input =
        "BD,SI,DS,CD,VO,LN,MR,SS\n" + raising + "10,10,10,10,10,10,10,10\n" + raising;
    for (const char* jobs : {"1", "2"}) {
        const auto result = RunScorer({"--jobs", jobs, "--batch", "-"}, input);
        EXPECT_EQ(result.status, 0) << jobs;
        EXPECT_EQ(result.err,
                  "orvale-score: standard input:2: warning: Too many steps\n"
                  "orvale-score: standard input:4: warning: Too many steps\n")
            << jobs;
        const auto rows = ReadOutput(result.out);
        ASSERT_EQ(rows.size(), 3u) << jobs;
        EXPECT_EQ(rows[0].at("VC_lower"), "100") << jobs;
    }
}

}  // namespace
}  // namespace orvale
