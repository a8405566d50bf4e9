// SPDX-License-Identifier: GPL-3.0-or-later
// Every figure of one case's report as a named value, under the names of the batch output's
// columns (VC, VC_lower, ... chi_square_p) and in their order: what the machine-readable outputs
// write, so that they all carry the same numbers under the same names.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "engine/scoring.h"

namespace orvale {

// No value (the GAI and FSIQ_GAI figures when the GAI is not calculated, the Bonferroni verdict
// when the correction is not applied), a number, a count or a verdict ("p < .05", "not sig").
using FigureValue = std::variant<std::monostate, double, int, std::string>;

// The names of the figures in their order ("VC", "VC_lower", ... "chi_square_p"): the same for
// every case and every set of options.
const std::vector<std::string>& ReportFigureNames();

// The figures of results computed with options, in the order of ReportFigureNames. Differences
// are those that were tested (observed or estimated true scores, as options choose); the
// chi-square value and its p are the engine's extended values rounded to double.
std::vector<FigureValue> ReportFigureValues(const ScoringResults& results,
                                            const ScoringOptions& options);

}  // namespace orvale
