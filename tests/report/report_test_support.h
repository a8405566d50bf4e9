// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the report tests: score a case with the real engine and compose its report into an
// empty memo, and pick out a block of lines.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "engine/scoring.h"
#include "report/compose.h"

namespace orvale::test {

inline SubtestEntries AllEntries(double value) {
    SubtestEntries entries;
    entries.fill(value);
    return entries;
}

inline ReportInput ScoredInput(const SubtestEntries& entries, const ScoringOptions& options = {},
                               std::vector<std::string> notes = {}) {
    ReportInput input;
    input.entries = entries;
    input.options = options;
    input.notes = std::move(notes);
    input.results = ComputeScores(entries, options);
    return input;
}

inline std::vector<std::string> FirstReport(const ReportInput& input) {
    std::vector<std::string> lines;
    ComposeReport(lines, input);
    return lines;
}

// The count lines starting at the first line equal to `first` (empty when it is missing).
inline std::vector<std::string> Block(const std::vector<std::string>& lines,
                                      const std::string& first, std::size_t count) {
    const auto at = std::find(lines.begin(), lines.end(), first);
    if (at == lines.end()) return {};
    const auto available = static_cast<std::size_t>(lines.end() - at);
    return {at, at + static_cast<std::ptrdiff_t>(std::min(count, available))};
}

inline bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

inline std::string Rule(int underscores) {
    std::string rule(static_cast<std::size_t>(underscores) + 1, '_');
    rule[0] = ' ';
    return rule;
}

}  // namespace orvale::test
