// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score --batch: opens the file (or standard input), runs the core's batch scoring over it
// with the command line's options, writes the rows to standard output and reports skipped rows,
// warnings and unusable input on standard error.
#pragma once

#include <cstdio>
#include <string>

#include "cli/command_line.h"
#include "cli/output.h"
#include "engine/scoring.h"

namespace orvale::cli {

// Scores the cases of `path` ("-" for standard input) on `jobs` threads. Returns kExitOk,
// kExitBadRows when some rows were skipped, or kExitUsage when the file cannot be read, its header
// is unusable (then nothing is written to `out`) or `out` cannot be written. format Csv writes a
// header and one CSV row per case, Jsonl one JSON object per case and line.
int RunBatch(const std::string& path, const ScoringOptions& options, int jobs, Output& out,
             std::FILE* err, OutputFormat format = OutputFormat::Csv);

}  // namespace orvale::cli
