// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: batch scoring of orvale-score through its entry point, on any CSV text and options.
// The exit status and the rows written must agree with single-case scoring: every record with as
// many cells as the header whose eight fields pass ParseScoreEntry and CheckScaledScoreRange gives
// one row, in input order, whose id and numbers are exactly those of ComputeScores for those
// entries; every other record is reported and skipped; an unusable header gives status 2 and no
// output at all.
#include "cli/batch.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "batch/csv_reader.h"
#include "cli/output.h"
#include "engine/entry.h"
#include "engine/tables.h"
#include "fuzz_support.h"
#include "report/report_values.h"

using namespace orvale;
using namespace orvale::fuzz;

namespace {

std::string Normalised(const std::string& name) {
    const std::size_t first = name.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    std::string trimmed = name.substr(first, name.find_last_not_of(" \t") - first + 1);
    for (char& c : trimmed) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return trimmed;
}

// The columns the header names: each subtest's and the id's, or nullopt when one is missing or
// named twice.
std::optional<std::map<std::string, std::size_t>> Columns(const CsvRecord& header) {
    if (!header.error.empty()) return std::nullopt;
    std::map<std::string, std::size_t> columns;
    for (std::size_t c = 0; c < header.fields.size(); ++c) {
        const std::string name = Normalised(header.fields[c]);
        bool used = name == "id";
        for (const char* subtest : kSubtestNames) used = used || name == Normalised(subtest);
        if (used && !columns.emplace(name, c).second) return std::nullopt;
    }
    for (const char* subtest : kSubtestNames) {
        if (!columns.count(Normalised(subtest))) return std::nullopt;
    }
    return columns;
}

std::string Captured(std::FILE* stream) {
    std::string text;
    std::rewind(stream);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stream)) > 0;)
        text.append(buffer, n);
    std::fclose(stream);
    return text;
}

void CheckCell(const std::map<std::string, std::string>& row, const std::string& column,
               std::optional<double> expected) {
    const auto cell = row.find(column);
    Check(cell != row.end(), "every column has a cell", column);
    if (!expected) {
        Check(cell->second.empty(), "a left-out score has empty cells", column);
        return;
    }
    double value = 0;
    const auto [end, ec] =
        std::from_chars(cell->second.data(), cell->second.data() + cell->second.size(), value);
    Check(
        ec == std::errc() && end == cell->second.data() + cell->second.size() && value == *expected,
        "a cell holds exactly the single-case value", column + " = " + cell->second);
}

void CheckRow(const std::map<std::string, std::string>& row, const ScoringOptions& options,
              const ScoringResults& r) {
    const char* scores[] = {"VC", "PR", "WM", "PS", "FSIQ", "GAI"};
    const char* pairs[] = {"VC_PR", "VC_WM", "VC_PS", "PR_WM", "PR_PS", "WM_PS", "FSIQ_GAI"};
    for (int s = 0; s < kScoreCount; ++s) {
        const bool shown = s != kGAI || options.calculateGai;
        const auto value = [shown](double v) { return shown ? std::optional(v) : std::nullopt; };
        const std::string name = scores[s];
        CheckCell(row, name, value(r.scores[s]));
        CheckCell(row, name + "_lower", value(r.lowerLimits[s]));
        CheckCell(row, name + "_upper", value(r.upperLimits[s]));
        CheckCell(row, name + "_percentile", value(r.percentiles[s]));
        CheckCell(row, name + "_lower_percentile", value(r.lowerPercentiles[s]));
        CheckCell(row, name + "_upper_percentile", value(r.upperPercentiles[s]));
    }
    const ScoreArray& tested = options.trueScoreDifferences ? r.trueScores : r.scores;
    const int pairScores[kPairCount][2] = {{kVC, kPR}, {kVC, kWM}, {kVC, kPS},   {kPR, kWM},
                                           {kPR, kPS}, {kWM, kPS}, {kFSIQ, kGAI}};
    for (int p = 0; p < kPairCount; ++p) {
        const bool shown = p != kPairCount - 1 || options.calculateGai;
        const auto value = [shown](double v) { return shown ? std::optional(v) : std::nullopt; };
        const std::string name = pairs[p];
        const long double difference =
            static_cast<long double>(tested[pairScores[p][0]]) - tested[pairScores[p][1]];
        CheckCell(row, name + "_difference", value(static_cast<double>(difference)));
        CheckCell(row, name + "_p_one_tailed", value(r.oneTailedP[p]));
        CheckCell(row, name + "_p_two_tailed", value(r.twoTailedP[p]));
        CheckCell(row, name + "_percent_beyond", value(r.percentBeyond[p]));
        std::string verdict = r.bonferroniApplied && shown ? r.verdicts[p].substr(1) : "";
        Check(row.at(name + "_bonferroni") == verdict, "the verdict is the single-case one", name);
    }
    CheckCell(row, "low_count", r.lowCount);
    CheckCell(row, "difference_count", r.differenceCount);
    CheckCell(row, "low_count_base_rate", LowScoreBaseRate(options.cutoffIndex, r.lowCount));
    CheckCell(row, "difference_count_base_rate",
              DifferenceBaseRate(options.cutoffIndex, r.differenceCount));
    CheckCell(row, "chi_square", static_cast<double>(r.chiSquare));
    CheckCell(row, "chi_square_p", static_cast<double>(r.chiSquareP));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file("batch.csv");
    FuzzedDataProvider input(data, size);
    ScoringOptions options;
    options.confidenceMethod = input.ConsumeIntegralInRange(0, 3);
    options.trueScoreDifferences = input.ConsumeBool();
    options.applyBonferroni = input.ConsumeBool();
    options.calculateGai = input.ConsumeBool();
    options.cutoffIndex = input.ConsumeIntegralInRange(1, 3);
    const std::string text = input.ConsumeRemainingBytesAsString();

    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Check(out && err, "temporary files for the output");
    cli::Output sink(out);
    const int status = cli::RunBatch(
        file.Write(text), options, 1, [&sink](std::string_view t) { return sink.Write(t); }, err);
    Check(sink.Finish(), "the output is written");
    const std::string output = Captured(out);
    const std::string errors = Captured(err);

    const std::vector<CsvRecord> records = ReadCsv(text);
    const auto columns = records.empty() ? std::nullopt : Columns(records.front());
    if (!columns) {
        Check(status == 2 && output.empty() && !errors.empty(),
              "an unusable header is reported with status 2 and no output", errors);
        return 0;
    }
    // The rows single-case scoring gives, in input order.
    std::vector<std::pair<std::string, ScoringResults>> expected;
    bool skipped = false;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const CsvRecord& record = records[i];
        SubtestEntries entries{};
        bool valid = record.error.empty() && record.fields.size() == records.front().fields.size();
        for (int k = 0; k < kSubtestCount && valid; ++k) {
            const std::size_t column = columns->at(Normalised(kSubtestNames[k]));
            const std::string field = column < record.fields.size() ? record.fields[column] : "";
            const ParsedEntry parsed = ParseScoreEntry(field, kSubtestCaptions[k]);
            valid = parsed.ok() && !CheckScaledScoreRange(kSubtestCaptions[k], parsed.value);
            entries[k] = parsed.value;
        }
        if (!valid) {
            skipped = true;
            continue;
        }
        std::string id = std::to_string(record.line);
        if (columns->count("id")) {
            const std::size_t column = columns->at("id");
            id = column < record.fields.size() ? record.fields[column] : "";
        }
        expected.emplace_back(id, ComputeScores(entries, options));
    }
    Check(status == (skipped ? 1 : 0), "status 1 exactly when a row was skipped", errors);

    const std::vector<CsvRecord> rows = ReadCsv(output);
    Check(rows.size() == expected.size() + 1, "one output row per valid record", output);
    const std::vector<std::string>& header = rows.front().fields;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        Check(rows[i + 1].error.empty() && rows[i + 1].fields.size() == header.size(),
              "an output row has a cell per column", output);
        std::map<std::string, std::string> row;
        for (std::size_t c = 0; c < header.size(); ++c) row[header[c]] = rows[i + 1].fields[c];
        Check(row["id"] == expected[i].first, "the row keeps the case's id", row["id"]);
        CheckRow(row, options, expected[i].second);
    }
    return 0;
}
