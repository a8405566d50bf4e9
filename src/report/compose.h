// SPDX-License-Identifier: GPL-3.0-or-later
// Composition of the fixed-layout text report: the lines one Compute appends to the results
// memo, built from the entries, the options, the user's notes and the engine's results.
#pragma once

#include <string>
#include <vector>

#include "engine/scoring.h"

namespace orvale {

// The program title that heads every report and captions both windows.
inline constexpr const char* kProgramTitle =
    "ORVALE.EXE: Scoring and analysis of an eight subtest Index-based WISC-IV short-form";

struct ReportInput {
    SubtestEntries entries{};  // as parsed, field order
    ScoringOptions options{};
    std::vector<std::string> notes;  // the notes lines as the notes box displays them
    ScoringResults results{};
    char decimalSeparator = '.';  // the user's regional decimal separator
    // Lines placed between the subtest-discrepancy notes and the outputs heading (the grid and
    // correlation-matrix blocks of configurations that enable them); empty in this program.
    std::vector<std::string> extensionBlock;
};

// Appends one report to lines. The separator comes first only when lines is not empty.
void ComposeReport(std::vector<std::string>& lines, const ReportInput& input);

}  // namespace orvale
