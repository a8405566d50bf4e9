// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score: the command-line front end. Scores one case given as eight score texts and writes
// the report, exactly as the desktop program composes it into an empty memo, to standard output;
// or as JSON, PDF or OpenDocument, or the case's profile chart as SVG (--format, --output); or
// scores a CSV file of cases (--batch) or a case file of the desktop program (--case). All
// computation and text come from the core.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "batch/case_file.h"
#include "cli/batch.h"
#include "cli/case_output.h"
#include "cli/command_line.h"
#ifdef ORVALE_HAVE_DOCUMENTS
#include "cli/document_output.h"
#endif
#include "cli/output.h"
#include "cli/process.h"
#include "engine/entry.h"
#include "engine/tables.h"
#include "files/case_file_read.h"
#include "files/whole_file.h"
#include "numeric/normal.h"
#include "report/chart_svg.h"
#include "report/compose.h"
#include "report/decimal_separator.h"
#include "report/notes.h"
#include "report/program_info.h"
#include "report/report_json.h"

namespace {

using namespace orvale;
using namespace orvale::cli;

// One case in the format and to the destination that line asks for. A bad score gets the
// worksheet's INPUT ERROR message, after a line naming the case file when the scores came from one.
int ScoreOneCase(const CommandLine& line, const std::vector<std::string>& scores,
                 const ScoringOptions& options, const std::vector<std::string>& notes,
                 Output& out) {
    ReportInput input;
    input.options = options;
    input.notes = notes;
    for (int k = 0; k < kSubtestCount; ++k) {
        const ParsedEntry parsed = CheckScoreEntry(k, scores[k]);
        if (parsed.error) {
            const std::string source =
                line.caseFile ? "orvale-score: " + *line.caseFile + ":\n" : std::string();
            Print(stderr, source + MessageWithLineBreaks(*parsed.error) + "\n");
            return kExitUsage;
        }
        input.entries[k] = parsed.value;
    }
    input.decimalSeparator = UserDecimalSeparator();
    SetWarningHook([](const std::string& message) {
        Print(stderr, "orvale-score: warning: " + MessageWithLineBreaks(message) + "\n");
    });
    input.results = ComputeScores(input.entries, input.options);

    std::vector<std::string> lines;
    ComposeReport(lines, input);
    std::string bytes;
    if (line.format == OutputFormat::Json) {
        bytes =
            CaseJsonText({std::nullopt, notes, input.entries, input.options, input.results}, false);
    } else if (line.format == OutputFormat::Text) {
        for (const std::string& reportLine : lines) bytes.append(reportLine).append(1, '\n');
    } else if (line.format == OutputFormat::Svg) {
        bytes = ProfileChartSvg(input.results, input.options);
    } else {
#ifdef ORVALE_HAVE_DOCUMENTS
        bytes = RenderCaseDocument(line.format, lines, input.results, input.options);
#endif
    }
    return Deliver(line.outputFile, bytes, out, stderr);
}

// A batch streams to standard output, or for --output to a temporary file beside the named one
// that replaces it only once every row is there: memory stays flat whatever the size, and the old
// file stays when the input turns out unusable or the disk fills.
int ScoreBatch(const CommandLine& line, Output& out) {
    if (!line.outputFile) {
        return RunBatch(
            *line.batchFile, line.options, line.jobs,
            [&out](std::string_view text) { return out.Write(text); }, stderr, line.format);
    }
    const auto unwritable = [&line](const std::string& reason) {
        Print(stderr, "orvale-score: cannot write " + *line.outputFile + ": " + reason + "\n");
        return kExitUsage;
    };
    // Opened with the first text, so that input that cannot be read leaves no trace.
    WholeFileWriter writer(*line.outputFile);
    std::optional<std::string> openFailure;
    bool opened = false;
    const auto open = [&] {
        if (!opened) openFailure = writer.Open(PipeReader::AwaitIt);
        opened = true;
        return !openFailure;
    };
    bool writeFailed = false;
    const int status = RunBatch(
        *line.batchFile, line.options, line.jobs,
        [&](std::string_view text) {
            if (!open()) return false;
            writeFailed = !writer.Write(text);
            return !writeFailed;
        },
        stderr, line.format);
    if (openFailure) return unwritable(*openFailure);
    if (status == kExitUsage && !writeFailed) {  // input unusable or unreadable: the old file stays
        writer.Abandon();
        return status;
    }
    if (!open()) return unwritable(*openFailure);  // no row at all: an empty file
    // After a failed write, Commit gives the reason and removes the temporary file.
    if (const std::optional<std::string> reason = writer.Commit()) return unwritable(*reason);
    return status;
}

// A case file as the worksheet would score it: its entries checked in field order with the same
// messages, its options, and its notes in the report's lines.
int ScoreCaseFile(const CommandLine& line, Output& out) {
    const CaseReading reading = ReadCaseFile(*line.caseFile);
    if (!reading.values) {
        Print(stderr, "orvale-score: " + reading.error + "\n");
        return kExitUsage;
    }
    const std::vector<std::string> scores(reading.values->entries.begin(),
                                          reading.values->entries.end());
    return ScoreOneCase(line, scores, reading.values->options, NotesLines(reading.values->notes),
                        out);
}

int Run(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    int status = kExitOk;
    if (!parsed.error.empty()) {
        Print(stderr, "orvale-score: " + parsed.error + "\n" + kUsageSynopsis +
                          "Try 'orvale-score --help' for more information.\n");
        return kExitUsage;
    }
    const CommandLine& line = parsed.commandLine;
#ifndef ORVALE_HAVE_DOCUMENTS
    const bool document = line.format == OutputFormat::Pdf || line.format == OutputFormat::Odt;
    if (document && !line.help && !line.version) {
        Print(stderr, std::string("orvale-score: --format ") +
                          (line.format == OutputFormat::Pdf ? "pdf" : "odt") +
                          " needs the build with Qt; this orvale-score was built without it.\n");
        return kExitUsage;
    }
#endif
    Output out(stdout);
    if (line.help) {
        out.Write(std::string(kUsageSynopsis) + kUsageDetails);
    } else if (line.version) {
        out.Write(std::string("orvale-score ") + kProgramVersion + "\n");
    } else if (line.batchFile) {
        status = ScoreBatch(line, out);
    } else if (line.caseFile) {
        status = ScoreCaseFile(line, out);
    } else {
        status = ScoreOneCase(line, line.scores, line.options, line.notes, out);
    }
    if (!out.Finish()) {
        Print(stderr, "orvale-score: " + out.FailureMessage() + "\n");
        return kExitUsage;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    PrepareProcess();
    // Nothing may end the program in an abort: what escapes is reported and ends it with status 2.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        Print(stderr, "orvale-score: out of memory\n");
    } catch (const std::system_error& error) {  // says what failed, then the system's words
        Print(stderr, std::string("orvale-score: ") + error.what() + "\n");
    } catch (const std::exception& error) {
        Print(stderr, std::string("orvale-score: unexpected error: ") + error.what() + "\n");
    } catch (...) {
        Print(stderr, "orvale-score: unexpected error\n");
    }
    return kExitUsage;
}
