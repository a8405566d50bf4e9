// Batch scoring for orvale-score: every case of a CSV file scored with the same options, one CSV
// row of results per valid case on standard output, invalid rows reported on standard error.
#pragma once

#include <cstdio>
#include <string>

#include "cli/command_line.h"
#include "engine/scoring.h"

namespace orvale::cli {

// Scores the cases of `path` ("-" for standard input). Returns kExitOk, kExitBadRows when some
// rows were skipped, or kExitUsage when the file cannot be read or its header is unusable (then
// nothing is written to `out`). format Csv writes a header and one CSV row per case, Jsonl one
// JSON object per case and line.
int RunBatch(const std::string& path, const ScoringOptions& options, std::FILE* out, std::FILE* err,
             OutputFormat format = OutputFormat::Csv);

}  // namespace orvale::cli
