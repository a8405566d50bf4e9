// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of orvale-score: the options, the eight score texts, a batch or a case file,
// read with CLI11 into the engine's options. Knows nothing of scoring.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/scoring.h"

namespace orvale::cli {

// Exit statuses of orvale-score.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadRows = 1;  // batch: some rows failed validation and were skipped
// Bad command line, bad score, unreadable batch file, bad case file, output that cannot be
// written, unexpected failure.
inline constexpr int kExitUsage = 2;

// The two forms of the command line: the head of --help, and repeated after every error in the
// command line.
inline constexpr const char* kUsageSynopsis =
    "Usage: orvale-score [OPTIONS] BD SI DS CD VO LN MR SS\n"
    "       orvale-score [OPTIONS] --batch FILE\n";

// The rest of --help, after the synopsis.
inline constexpr const char* kUsageDetails =
    "\n"
    "Scores an eight-subtest short form: the eight subtest scaled scores (1 to 19) in the order\n"
    "Block Design, Similarities, Digit Span, Coding, Vocabulary, Letter-Number Sequencing,\n"
    "Matrix Reasoning, Symbol Search. Writes the report to standard output.\n"
    "\n"
    "Options:\n"
    "  --ci 95|90                        confidence level of the limits (default 95)\n"
    "  --method traditional|glutting     limits about the score (traditional, default) or\n"
    "                                    about the estimated true score (glutting)\n"
    "  --differences observed|true       test differences between observed scores (default)\n"
    "                                    or between estimated true scores\n"
    "  --bonferroni                      apply the sequential Bonferroni correction\n"
    "  --no-gai                          leave out the General Ability Index\n"
    "  --abnormal 5|10|15                percentage of the population below which a score or\n"
    "                                    difference is abnormal (default 5)\n"
    "  --notes TEXT                      notes for the report (at most 250 characters), one\n"
    "                                    line per line of TEXT, wrapped at 91 characters\n"
    "  --batch FILE                      score every case of a CSV file (- for standard input)\n"
    "                                    and write one CSV row per case\n"
    "  --format text|json|svg|pdf|odt    the report as text (default) or a JSON object, the\n"
    "                                    profile chart as an SVG picture, or the report as a PDF\n"
    "                                    or an OpenDocument text; with --batch: csv (default) or\n"
    "                                    jsonl (one JSON object per line)\n"
    "  --output FILE                     write to FILE (replaced whole) instead of standard\n"
    "                                    output; needed for pdf and odt\n"
    "  --case FILE                       score a case file saved by the desktop program, with\n"
    "                                    the options and notes it holds\n"
    "  --jobs N                          score batch rows on N threads (default: all cores);\n"
    "                                    the output is the same for any N\n"
    "  --help                            show this text\n"
    "  --version                         show the version\n"
    "  --                                end of the options (needed before a score such as -3)\n"
    "\n"
    "Exit status: 0 done, 1 some batch rows were invalid and skipped, 2 bad command line,\n"
    "bad score, unreadable batch file, unreadable or invalid case file, output that cannot be\n"
    "written (a full disk, a file-size limit) or an unexpected failure such as running out of\n"
    "memory.\n";

// What orvale-score writes: the report as text, JSON, PDF or OpenDocument, or the profile chart
// as SVG, for one case; CSV or JSON Lines for a batch.
enum class OutputFormat { Text, Json, Svg, Pdf, Odt, Csv, Jsonl };

struct CommandLine {
    bool help = false;
    bool version = false;
    ScoringOptions options{};
    std::vector<std::string> scores;  // the eight score texts, field order
    std::vector<std::string> notes;   // --notes as the report's lines (NotesLines)
    std::optional<std::string> batchFile;
    OutputFormat format = OutputFormat::Text;  // Csv by default with a batch file
    std::optional<std::string> outputFile;     // standard output when none
    std::optional<std::string> caseFile;  // --case: scores, options and notes come from the file
    int jobs = 1;  // threads of batch scoring: --jobs, or the number of cores
};

// The most threads --jobs takes.
inline constexpr int kMaximumJobs = 256;

struct ParsedCommandLine {
    CommandLine commandLine;
    std::string error;  // a message for standard error; empty when the command line is usable
};

// arguments without the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace orvale::cli
