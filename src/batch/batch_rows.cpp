// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of batch scoring: see batch_rows.h.
//
// Output columns, in order (the names and order of the report's figures): id; for each score (VC PR
// WM PS FSIQ GAI) the score, its lower and upper limits and the percentiles of the three; for each
// pair (VC_PR ... FSIQ_GAI) the difference that was tested (observed or true scores, as chosen),
// the one- and two-tailed p, the Bonferroni verdict (empty when not applied) and the percentage
// beyond; the two counts with their base rates; the chi-square value and its p. With the GAI left
// out, the GAI and FSIQ_GAI cells are empty.
#include "batch/batch_rows.h"

#include <cctype>
#include <charconv>

#include "engine/entry.h"
#include "engine/tables.h"
#include "report/report_figures.h"
#include "report/report_json.h"

namespace orvale {

namespace {

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

// The id, then every figure of the report under its column name: a number as the shortest text
// that reads back the same, a count as an integer, a verdict as a CSV field, nothing for a
// figure that has no value.
void AppendRow(std::string& row, const std::string& id, const ScoringOptions& options,
               const ScoringResults& r) {
    row += CsvField(id);
    for (const FigureValue& value : ReportFigureValues(r, options)) {
        row += ',';
        if (const auto* number = std::get_if<double>(&value)) {
            AppendNumber(row, *number);
        } else if (const auto* count = std::get_if<int>(&value)) {
            row += std::to_string(*count);
        } else if (const auto* verdict = std::get_if<std::string>(&value)) {
            row += CsvField(*verdict);
        }
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
    columns.cells = header.fields.size();
    return columns;
}

std::string BatchOutputHeader() {
    std::string header = kIdColumn;
    for (const std::string& name : ReportFigureNames()) header += ',' + name;
    return header;
}

std::string CellCountError(const CsvRecord& record, const BatchColumns& columns) {
    const std::size_t cells = record.fields.size();
    if (cells == columns.cells) return "";
    return std::to_string(cells) + (cells == 1 ? " cell" : " cells") + " where the header has " +
           std::to_string(columns.cells);
}

std::optional<std::string> AppendBatchRow(const CsvRecord& record, const BatchColumns& columns,
                                          const ScoringOptions& options, std::string& output,
                                          BatchRowFormat format) {
    const std::string unread =
        record.error.empty() ? CellCountError(record, columns) : record.error;
    if (!unread.empty()) return unread + "; row skipped";
    SubtestEntries entries{};
    for (int k = 0; k < kSubtestCount; ++k) {
        const ParsedEntry parsed = CheckScoreEntry(k, Field(record, columns.subtests[k]));
        if (parsed.error) return MessageOnOneLine(*parsed.error) + " (row skipped)";
        entries[k] = parsed.value;
    }
    const std::string id =
        columns.id == -1 ? std::to_string(record.line) : Field(record, columns.id);
    const ScoringResults results = ComputeScores(entries, options);
    if (format == BatchRowFormat::kJsonl) {
        output += CaseJsonText({id, {}, entries, options, results}, true);
    } else {
        AppendRow(output, id, options, results);
    }
    return std::nullopt;
}

}  // namespace orvale
