// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score --batch: opens the file (or standard input), runs the core's batch scoring over it
// with the command line's options, hands the rows on as they are made and reports skipped rows,
// warnings and unusable input on standard error.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "engine/scoring.h"

namespace orvale::cli {

// Scores the cases of `path` ("-" for standard input) on `jobs` threads, handing the output text
// to `write` in order as it is made. Returns kExitOk, kExitBadRows when some rows were skipped, or
// kExitUsage when the file cannot be read, its header is unusable (then nothing is written) or
// `write` fails (the caller reports why). format Csv writes a header and one CSV row per case,
// Jsonl one JSON object per case and line.
int RunBatch(const std::string& path, const ScoringOptions& options, int jobs,
             const std::function<bool(std::string_view)>& write, std::FILE* err,
             OutputFormat format = OutputFormat::Csv);

}  // namespace orvale::cli
