// Batch scoring for orvale-score: see batch.h.
//
// Output columns, in order: id; for each score (VC PR WM PS FSIQ GAI) the score, its lower and
// upper limits and the percentiles of the three; for each pair (VC_PR ... FSIQ_GAI) the
// difference that was tested (observed or true scores, as chosen), the one- and two-tailed p,
// the Bonferroni verdict (empty when not applied) and the percentage beyond; the two counts with
// their base rates; the chi-square value and its p. With the GAI left out, the GAI and FSIQ_GAI
// cells are empty.
#include "cli/batch.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "batch/csv_reader.h"
#include "cli/command_line.h"
#include "engine/entry.h"
#include "engine/tables.h"
#include "numeric/normal.h"
#include "report/report_json.h"
#include "report/report_values.h"

namespace orvale::cli {

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
std::string Number(double value) {
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// A message of the entry routines on one line: its "\r" line breaks become blanks.
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

std::string Header() {
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

std::string Row(const std::string& id, const ScoringOptions& options, const ScoringResults& r) {
    std::string row = CsvField(id);
    for (int i = 0; i < kScoreCount; ++i) {
        const bool shown = i != kGAI || options.calculateGai;
        for (double value : {r.scores[i], r.lowerLimits[i], r.upperLimits[i], r.percentiles[i],
                             r.lowerPercentiles[i], r.upperPercentiles[i]}) {
            row += ',';
            if (shown) row += Number(value);
        }
    }
    const ScoreArray& tested = TestedValues(r, options);
    for (int pair = 0; pair < kPairCount; ++pair) {
        if (pair == kIndexPairCount && !options.calculateGai) {
            row += ",,,,,";
            continue;
        }
        std::string verdict = r.bonferroniApplied ? Trim(r.verdicts[pair]) : "";
        row += ',' + Number(static_cast<double>(PairDifference(tested, pair))) + ',' +
               Number(r.oneTailedP[pair]) + ',' + Number(r.twoTailedP[pair]) + ',' +
               CsvField(verdict) + ',' + Number(r.percentBeyond[pair]);
    }
    row += ',' + std::to_string(r.lowCount) + ',' +
           Number(LowScoreBaseRate(options.cutoffIndex, r.lowCount)) + ',' +
           std::to_string(r.differenceCount) + ',' +
           Number(DifferenceBaseRate(options.cutoffIndex, r.differenceCount)) + ',' +
           Number(static_cast<double>(r.chiSquare)) + ',' +
           Number(static_cast<double>(r.chiSquareP));
    return row;
}

std::optional<std::string> ReadAll(const std::string& path, std::string& error) {
    if (path == "-") {
        std::string text{std::istreambuf_iterator<char>(std::cin), {}};
        if (std::cin.bad()) {
            error = "cannot read standard input";
            return std::nullopt;
        }
        return text;
    }
    std::error_code code;
    if (std::filesystem::is_directory(path, code)) {
        error = "cannot read " + path + ": it is a directory";
        return std::nullopt;
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path + ": " + (errno ? std::strerror(errno) : "unreadable");
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    return text.str();
}

void Print(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

int RunBatch(const std::string& path, const ScoringOptions& options, std::FILE* out, std::FILE* err,
             OutputFormat format) {
    const std::string source = path == "-" ? "standard input" : path;
    std::string error;
    const std::optional<std::string> text = ReadAll(path, error);
    if (!text) {
        Print(err, "orvale-score: " + error + "\n");
        return kExitUsage;
    }
    const std::vector<CsvRecord> records = ReadCsv(*text);
    if (records.empty()) {
        Print(err, "orvale-score: " + source + ": no header line (expected the columns " +
                       "BD, SI, DS, CD, VO, LN, MR, SS and optionally id)\n");
        return kExitUsage;
    }
    const CsvRecord& header = records.front();
    if (!header.error.empty()) {
        Print(err, "orvale-score: " + source + ":" + std::to_string(header.line) +
                       ": header: " + header.error + "\n");
        return kExitUsage;
    }

    // Column of each subtest (field order) and of the id, found by name in any case.
    std::array<int, kSubtestCount> columns;
    columns.fill(-1);
    int idColumn = -1;
    for (int c = 0; c < static_cast<int>(header.fields.size()); ++c) {
        const std::string name = Lower(Trim(header.fields[c]));
        int* slot = name == kIdColumn ? &idColumn : nullptr;
        for (int k = 0; k < kSubtestCount; ++k) {
            if (name == Lower(kSubtestNames[k])) slot = &columns[k];
        }
        if (slot == nullptr) continue;  // a column the scorer does not use
        if (*slot != -1) {
            Print(err, "orvale-score: " + source + ": header: column " + Trim(header.fields[c]) +
                           " appears twice\n");
            return kExitUsage;
        }
        *slot = c;
    }
    std::string missing;
    for (int k = 0; k < kSubtestCount; ++k) {
        if (columns[k] == -1)
            missing += std::string(missing.empty() ? "" : ", ") + kSubtestNames[k];
    }
    if (!missing.empty()) {
        Print(err, "orvale-score: " + source + ": header: missing column(s) " + missing + "\n");
        return kExitUsage;
    }

    // Warnings of the normal integrator name the row that caused them.
    int currentLine = 0;
    const WarningHook previous = SetWarningHook([&](const std::string& message) {
        Print(err, "orvale-score: " + source + ":" + std::to_string(currentLine) +
                       ": warning: " + OneLine(message) + "\n");
    });

    int status = kExitOk;
    std::string output = format == OutputFormat::Csv ? Header() + "\n" : "";
    for (std::size_t i = 1; i < records.size(); ++i) {
        const CsvRecord& record = records[i];
        currentLine = record.line;
        const std::string where =
            "orvale-score: " + source + ":" + std::to_string(record.line) + ": ";
        if (!record.error.empty()) {
            Print(err, where + record.error + "; row skipped\n");
            status = kExitBadRows;
            continue;
        }
        SubtestEntries entries{};
        std::optional<std::string> message;
        for (int k = 0; k < kSubtestCount && !message; ++k) {
            const std::size_t column = static_cast<std::size_t>(columns[k]);
            const std::string field = column < record.fields.size() ? record.fields[column] : "";
            const ParsedEntry parsed = ParseScoreEntry(field, kSubtestCaptions[k]);
            if (!parsed.ok()) {
                message = parsed.error;
            } else {
                message = CheckScaledScoreRange(kSubtestCaptions[k], parsed.value);
                entries[k] = parsed.value;
            }
        }
        if (message) {
            Print(err, where + OneLine(*message) + " (row skipped)\n");
            status = kExitBadRows;
            continue;
        }
        const std::string id = idColumn == -1
                                   ? std::to_string(record.line)
                                   : (static_cast<std::size_t>(idColumn) < record.fields.size()
                                          ? record.fields[static_cast<std::size_t>(idColumn)]
                                          : "");
        const ScoringResults results = ComputeScores(entries, options);
        if (format == OutputFormat::Jsonl) {
            output += CaseJsonText({id, {}, entries, options, results}, true).toStdString();
        } else {
            output += Row(id, options, results);
            output += '\n';
        }
        // Hand the text on in pieces so that a large batch does not wait for its end.
        if (output.size() > (1u << 16)) {
            Print(out, output);
            output.clear();
        }
    }
    Print(out, output);
    SetWarningHook(previous);
    return status;
}

}  // namespace orvale::cli
