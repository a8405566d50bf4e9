// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score's PDF and OpenDocument reports, rendered under an offscreen GUI application (no
// display needed). Built only with Qt (ORVALE_HAVE_DOCUMENTS); without it orvale-score refuses
// those formats.
#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "engine/scoring.h"

namespace orvale::cli {

// The PDF or OpenDocument text (format Pdf or Odt) of a report's lines with the chart of results,
// the same as the desktop program exports for the same memo.
std::string RenderCaseDocument(OutputFormat format, const std::vector<std::string>& lines,
                               const ScoringResults& results, const ScoringOptions& options);

}  // namespace orvale::cli
