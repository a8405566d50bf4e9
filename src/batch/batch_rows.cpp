// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of batch scoring: see batch_rows.h.
//
// Output columns, in order: id; for each score (VC PR WM PS FSIQ GAI) the score, its lower and
// upper limits and the percentiles of the three; for each pair (VC_PR ... FSIQ_GAI) the
// difference that was tested (observed or true scores, as chosen), the one- and two-tailed p,
// the Bonferroni verdict (empty when not applied) and the percentage beyond; the two counts with
// their base rates; the chi-square value and its p. With the GAI left out, the GAI and FSIQ_GAI
// cells are empty.
#include "batch/batch_rows.h"

#include <cctype>
#include <charconv>

#include "engine/entry.h"
#include "engine/tables.h"
#include "report/report_json.h"
#include "report/report_values.h"

namespace orvale {

namespace {

constexpr std::array<const char*, kScoreCount> kScoreColumns = {"VC", "PR",   "WM",
                                                                "PS", "FSIQ", "GAI"};
constexpr std::array<const char*, kPairCount> kPairColumns = {"VC_PR", "VC_WM", "VC_PS",   "PR_WM",
                                                              "PR_PS", "WM_PS", "FSIQ_GAI"};
constexpr const char* kIdColumn = "id";

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The shortest text that reads back as the same double (never more digits than "%.17g"), with a
// full stop whatever the locale.
void AppendNumber(std::string& row, double value) {
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    row.append(buffer, result.ptr);
}

const std::string& Field(const CsvRecord& record, int column) {
    static const std::string empty;
    const auto index = static_cast<std::size_t>(column);
    return index < record.fields.size() ? record.fields[index] : empty;
}

void AppendRow(std::string& row, const std::string& id, const ScoringOptions& options,
               const ScoringResults& r) {
    row += CsvField(id);
    for (int i = 0; i < kScoreCount; ++i) {
        const bool shown = i != kGAI || options.calculateGai;
        for (double value : {r.scores[i], r.lowerLimits[i], r.upperLimits[i], r.percentiles[i],
                             r.lowerPercentiles[i], r.upperPercentiles[i]}) {
            row += ',';
            if (shown) AppendNumber(row, value);
        }
    }
    const ScoreArray& tested = TestedValues(r, options);
    for (int pair = 0; pair < kPairCount; ++pair) {
        if (pair == kIndexPairCount && !options.calculateGai) {
            row += ",,,,,";
            continue;
        }
        for (double value : {static_cast<double>(PairDifference(tested, pair)), r.oneTailedP[pair],
                             r.twoTailedP[pair]}) {
            row += ',';
            AppendNumber(row, value);
        }
        row += ',';
        row += CsvField(r.bonferroniApplied ? Trim(r.verdicts[pair]) : "");
        row += ',';
        AppendNumber(row, r.percentBeyond[pair]);
    }
    row += ',';
    row += std::to_string(r.lowCount);
    row += ',';
    AppendNumber(row, LowScoreBaseRate(options.cutoffIndex, r.lowCount));
    row += ',';
    row += std::to_string(r.differenceCount);
    row += ',';
    AppendNumber(row, DifferenceBaseRate(options.cutoffIndex, r.differenceCount));
    for (long double value : {r.chiSquare, r.chiSquareP}) {
        row += ',';
        AppendNumber(row, static_cast<double>(value));
    }
    row += '\n';
}

}  // namespace

std::variant<BatchColumns, std::string> FindBatchColumns(const CsvRecord& header) {
    BatchColumns columns;
    columns.subtests.fill(-1);
    for (int c = 0; c < static_cast<int>(header.fields.size()); ++c) {
        const std::string name = Lower(Trim(header.fields[c]));
        int* slot = name == kIdColumn ? &columns.id : nullptr;
        for (int k = 0; k < kSubtestCount; ++k) {
            if (name == Lower(kSubtestNames[k])) slot = &columns.subtests[k];
        }
        if (slot == nullptr) continue;  // a column the scorer does not use
        if (*slot != -1) return "header: column " + Trim(header.fields[c]) + " appears twice";
        *slot = c;
    }
    std::string missing;
    for (int k = 0; k < kSubtestCount; ++k) {
        if (columns.subtests[k] == -1)
            missing += std::string(missing.empty() ? "" : ", ") + kSubtestNames[k];
    }
    if (!missing.empty()) return "header: missing column(s) " + missing;
    return columns;
}

std::string BatchOutputHeader() {
    std::string header = kIdColumn;
    for (const char* score : kScoreColumns) {
        const std::string s = score;
        for (const char* suffix :
             {"", "_lower", "_upper", "_percentile", "_lower_percentile", "_upper_percentile"}) {
            header += "," + s + suffix;
        }
    }
    for (const char* pair : kPairColumns) {
        const std::string p = pair;
        for (const char* suffix :
             {"_difference", "_p_one_tailed", "_p_two_tailed", "_bonferroni", "_percent_beyond"}) {
            header += "," + p + suffix;
        }
    }
    header +=
        ",low_count,low_count_base_rate,difference_count,difference_count_base_rate,chi_square,"
        "chi_square_p";
    return header;
}

std::optional<std::string> AppendBatchRow(const CsvRecord& record, const BatchColumns& columns,
                                          const ScoringOptions& options, std::string& output,
                                          BatchRowFormat format) {
    if (!record.error.empty()) return record.error + "; row skipped";
    SubtestEntries entries{};
    for (int k = 0; k < kSubtestCount; ++k) {
        const ParsedEntry parsed =
            ParseScoreEntry(Field(record, columns.subtests[k]), kSubtestCaptions[k]);
        std::optional<std::string> message = parsed.error;
        if (parsed.ok()) message = CheckScaledScoreRange(kSubtestCaptions[k], parsed.value);
        if (message) return OneLine(*message) + " (row skipped)";
        entries[k] = parsed.value;
    }
    const std::string id =
        columns.id == -1 ? std::to_string(record.line) : Field(record, columns.id);
    const ScoringResults results = ComputeScores(entries, options);
    if (format == BatchRowFormat::kJsonl) {
        output += CaseJsonText({id, {}, entries, options, results}, true).toStdString();
    } else {
        AppendRow(output, id, options, results);
    }
    return std::nullopt;
}

std::string OneLine(const std::string& message) {
    std::string line;
    for (char c : message) {
        if (c == '\r') {
            if (!line.empty() && line.back() != ' ') line.push_back(' ');
        } else {
            line.push_back(c);
        }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

}  // namespace orvale
