// orvale-score: the command-line front end. Scores one case given as eight score texts and writes
// the report, exactly as the desktop program composes it into an empty memo, to standard output;
// or scores a CSV file of cases (--batch). All computation and text come from the core.
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/batch.h"
#include "cli/command_line.h"
#include "cli/output.h"
#include "engine/entry.h"
#include "engine/tables.h"
#include "numeric/normal.h"
#include "report/compose.h"

namespace {

using namespace orvale;
using namespace orvale::cli;

// The report's decimal separator: the user's LC_NUMERIC one when it is a single character, a full
// stop otherwise (the C locale, or a separator the report's 8-bit lines cannot hold).
char UserDecimalSeparator() {
    char separator = '.';
    if (std::setlocale(LC_NUMERIC, "") != nullptr) {
        const std::lconv* conventions = std::localeconv();
        if (conventions != nullptr && conventions->decimal_point != nullptr &&
            std::strlen(conventions->decimal_point) == 1) {
            separator = conventions->decimal_point[0];
        }
    }
    std::setlocale(LC_NUMERIC, "C");  // nothing else in the program may depend on the locale
    return separator;
}

// An entry routine's message with its "\r" line breaks as line feeds.
std::string WithLineBreaks(std::string message) {
    for (char& c : message) {
        if (c == '\r') c = '\n';
    }
    return message;
}

int ScoreOneCase(const CommandLine& line, Output& out) {
    ReportInput input;
    input.options = line.options;
    input.notes = line.notes;
    for (int k = 0; k < kSubtestCount; ++k) {
        const ParsedEntry parsed = ParseScoreEntry(line.scores[k], kSubtestCaptions[k]);
        std::optional<std::string> message = parsed.error;
        if (parsed.ok()) message = CheckScaledScoreRange(kSubtestCaptions[k], parsed.value);
        if (message) {
            Print(stderr, WithLineBreaks(*message) + "\n");
            return kExitUsage;
        }
        input.entries[k] = parsed.value;
    }
    input.decimalSeparator = UserDecimalSeparator();
    SetWarningHook([](const std::string& message) {
        Print(stderr, "orvale-score: warning: " + WithLineBreaks(message) + "\n");
    });
    input.results = ComputeScores(input.entries, input.options);

    std::vector<std::string> lines;
    ComposeReport(lines, input);
    std::string text;
    for (const std::string& reportLine : lines) {
        text += reportLine;
        text += '\n';
    }
    out.Write(text);
    return kExitOk;
}

int Run(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    int status = kExitOk;
    if (!parsed.error.empty()) {
        Print(stderr, "orvale-score: " + parsed.error + "\n" + kUsageSynopsis +
                          "Try 'orvale-score --help' for more information.\n");
        return kExitUsage;
    }
    const CommandLine& line = parsed.commandLine;
    Output out(stdout);
    if (line.help) {
        out.Write(std::string(kUsageSynopsis) + kUsageDetails);
    } else if (line.version) {
        out.Write(std::string("orvale-score ") + ORVALE_VERSION + "\n");
    } else if (line.batchFile) {
        status = RunBatch(*line.batchFile, line.options, line.jobs, out, stderr);
    } else {
        status = ScoreOneCase(line, out);
    }
    if (!out.Finish()) {
        Print(stderr, "orvale-score: " + out.FailureMessage() + "\n");
        return kExitUsage;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write fails with "File too large" instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
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
