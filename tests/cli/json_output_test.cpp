// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score --format json and --batch --format jsonl, read back with nlohmann's parser: every
// figure bit for bit against ComputeScores, JSON Lines rows equal to the single-case objects, and
// ids and notes carried as the CSV and the text report carry them.
#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/scorer_process.h"
#include "engine/scoring.h"
#include "engine/tables.h"
#include "numeric/extended.h"

namespace orvale {
namespace {

using nlohmann::json;
using test::RunScorer;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

// Every figure of the JSON against the engine's own double, bit for bit.
void ExpectFiguresMatch(const json& results, const ScoringResults& r,
                        const ScoringOptions& options) {
    const auto same = [&](const std::string& name, double expected) {
        ASSERT_TRUE(results.contains(name) && results[name].is_number()) << name;
        const double got = results[name].get<double>();
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
            << name << ": " << got << " vs " << expected;
    };
    for (int i = 0; i < kScoreCount; ++i) {
        const std::string s = kScoreTable[i].abbreviation;
        if (i == kGAI && !options.calculateGai) {
            EXPECT_TRUE(results[s].is_null());
            continue;
        }
        same(s, r.scores[i]);
        same(s + "_lower", r.lowerLimits[i]);
        same(s + "_upper", r.upperLimits[i]);
        same(s + "_percentile", r.percentiles[i]);
        same(s + "_lower_percentile", r.lowerPercentiles[i]);
        same(s + "_upper_percentile", r.upperPercentiles[i]);
    }
    const char* pairs[] = {"VC_PR", "VC_WM", "VC_PS", "PR_WM", "PR_PS", "WM_PS", "FSIQ_GAI"};
    const ScoreArray& tested = options.trueScoreDifferences ? r.trueScores : r.scores;
    for (int p = 0; p < kPairCount; ++p) {
        const std::string pair = pairs[p];
        if (p == kIndexPairCount && !options.calculateGai) continue;
        const Extended difference =
            static_cast<Extended>(tested[kPairTable[p].first]) - tested[kPairTable[p].second];
        same(pair + "_difference", ToDouble(difference));
        same(pair + "_p_one_tailed", r.oneTailedP[p]);
        same(pair + "_p_two_tailed", r.twoTailedP[p]);
        same(pair + "_percent_beyond", r.percentBeyond[p]);
        const json& verdict = results[pair + "_bonferroni"];
        if (options.applyBonferroni) {
            EXPECT_EQ(verdict.get<std::string>(), r.verdicts[p].substr(1));  // without its blank
        } else {
            EXPECT_TRUE(verdict.is_null());
        }
    }
    EXPECT_EQ(results["low_count"].get<int>(), r.lowCount);
    EXPECT_EQ(results["difference_count"].get<int>(), r.differenceCount);
    same("chi_square", ToDouble(r.chiSquare));
    same("chi_square_p", ToDouble(r.chiSquareP));
}

TEST(JsonOutput, JsonCarriesEveryFigureBitForBitAndJsonlRowsAgree) {
    struct Case {
        std::vector<std::string> options;
        ScoringOptions scoring;
    };
    const Case cases[] = {
        {{}, {}},
        {{"--method", "glutting", "--ci", "90", "--differences", "true", "--bonferroni",
          "--abnormal", "15"},
         {3, true, true, true, 3}},
        {{"--no-gai", "--bonferroni"}, {0, false, true, false, 1}},
    };
    const std::vector<SubtestEntries> entries = {{15, 19, 10, 1, 19, 10, 15, 1},
                                                 {12, 11, 9, 8, 13, 10, 12, 7.5}};
    for (const Case& c : cases) {
        std::string csv = "id,BD,SI,DS,CD,VO,LN,MR,SS\n";
        std::vector<json> singles;
        for (std::size_t k = 0; k < entries.size(); ++k) {
            std::vector<std::string> arguments = c.options;
            arguments.insert(arguments.end(), {"--format", "json"});
            csv += "case" + std::to_string(k);
            for (double value : entries[k]) {
                std::ostringstream text;
                text << value;
                arguments.push_back(text.str());
                csv.append(1, ',').append(text.str());
            }
            csv += "\n";
            const test::ProcessResult run = RunScorer(arguments);
            ASSERT_EQ(run.status, 0) << run.err;
            const json object = json::parse(run.out, nullptr, false);
            ASSERT_TRUE(object.is_object()) << run.out;
            EXPECT_EQ(object["schema"], 1);
            EXPECT_EQ(object["version"], "1.0.0");
            EXPECT_EQ(object["inputs"]["SS"].get<double>(), entries[k][7]);
            ExpectFiguresMatch(object["results"], ComputeScores(entries[k], c.scoring), c.scoring);
            singles.push_back(object);
        }
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"--batch", "-", "--format", "jsonl"});
        const test::ProcessResult batch = RunScorer(arguments, csv);
        ASSERT_EQ(batch.status, 0) << batch.err;
        const std::vector<std::string> rows = Lines(batch.out);
        ASSERT_EQ(rows.size(), entries.size());
        for (std::size_t k = 0; k < entries.size(); ++k) {
            json row = json::parse(rows[k], nullptr, false);
            EXPECT_EQ(row["id"], "case" + std::to_string(k));
            row.erase("id");
            json single = singles[k];
            single.erase("notes");
            EXPECT_EQ(row, single) << rows[k];
        }
    }
}

// A JSON Lines id is the CSV id (a U+FEFF at its start too), bytes that are not UTF-8 as U+FFFD;
// the notes lines are the text report's.
TEST(JsonOutput, IdsAndNotesAsTheOtherOutputsCarryThem) {
    const std::string scores = ",10,10,10,10,10,10,10,10\n";
    const std::string ids[] = {
        "\xEF\xBB\xBF"
        "017",
        "a\xEF\xBB\xBF"
        "b",
        "\"q\"\"\"", "\xE9t\xE9"};
    const std::string read[] = {
        "\xEF\xBB\xBF"
        "017",
        "a\xEF\xBB\xBF"
        "b",
        "q\"", "\xEF\xBF\xBDt\xEF\xBF\xBD"};
    std::string csv = "id,BD,SI,DS,CD,VO,LN,MR,SS\n";
    for (const std::string& id : ids) csv += id + scores;
    const test::ProcessResult jsonl = RunScorer({"--batch", "-", "--format", "jsonl"}, csv);
    const test::ProcessResult plain = RunScorer({"--batch", "-"}, csv);
    ASSERT_EQ(jsonl.status, 0) << jsonl.err;
    const std::vector<std::string> rows = Lines(jsonl.out);
    const std::vector<std::string> csvRows = Lines(plain.out);
    ASSERT_EQ(rows.size(), 4u);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(json::parse(rows[k])["id"], read[k]) << rows[k];
        if (k < 2) {
            EXPECT_TRUE(csvRows[k + 1].starts_with(ids[k] + ",")) << csvRows[k + 1];
        }
    }

    const std::string notes =
        "\xEF\xBB\xBF"
        "first\n\xEF\xBB\xBF"
        "second\t\"x\"";
    const test::ProcessResult single = RunScorer(
        {"--format", "json", "--notes", notes, "10", "10", "10", "10", "10", "10", "10", "10"});
    ASSERT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(json::parse(single.out)["notes"], json::array({"\xEF\xBB\xBF"
                                                             "first",
                                                             "\xEF\xBB\xBF"
                                                             "second\t\"x\""}));
    const std::string text =
        RunScorer({"--notes", notes, "10", "10", "10", "10", "10", "10", "10", "10"}).out;
    EXPECT_NE(text.find("Notes: \xEF\xBB\xBF"
                        "first\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(" \xEF\xBB\xBF"
                        "second\t\"x\"\n"),
              std::string::npos)
        << text;
}

}  // namespace
}  // namespace orvale
