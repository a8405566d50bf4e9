// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of orvale-score: see command_line.h.
#include "cli/command_line.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <thread>

#include "report/notes.h"

namespace orvale::cli {

namespace {

constexpr const char* kJobsWithoutBatch =
    "--jobs sets the threads of --batch; a single case has no use for it.";

// Arguments are bytes, not necessarily UTF-8 (notes typed in a Latin-1 terminal, a file name
// from an older system). Each byte travels through the parser as the character of the same code
// and comes back as that byte, so nothing is replaced; the option names are plain ASCII.
QString Q(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Bytes(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption ci("ci", "", "95|90", "95");
    const QCommandLineOption method("method", "", "traditional|glutting", "traditional");
    const QCommandLineOption differences("differences", "", "observed|true", "observed");
    const QCommandLineOption bonferroni("bonferroni");
    const QCommandLineOption noGai("no-gai");
    const QCommandLineOption abnormal("abnormal", "", "5|10|15", "5");
    const QCommandLineOption notes("notes", "", "TEXT");
    const QCommandLineOption batch("batch", "", "FILE");
    const QCommandLineOption format("format", "", "FORMAT");
    const QCommandLineOption output("output", "", "FILE");
    const QCommandLineOption caseFile("case", "", "FILE");
    const QCommandLineOption jobs("jobs", "", "N");
    const QCommandLineOption help(QStringList{"help", "h"});
    const QCommandLineOption version("version");
    parser.addOptions({ci, method, differences, bonferroni, noGai, abnormal, notes, batch, format,
                       output, caseFile, jobs, help, version});

    QStringList qtArguments{"orvale-score"};
    for (const std::string& argument : arguments) qtArguments << Q(argument);

    ParsedCommandLine parsed;
    CommandLine& line = parsed.commandLine;
    if (!parser.parse(qtArguments)) {
        parsed.error = Bytes(parser.errorText());
        // A negative score without "--" before it reads as an option.
        for (const std::string& argument : arguments) {
            if (argument.size() > 1 && argument[0] == '-' &&
                (std::isdigit(static_cast<unsigned char>(argument[1])) || argument[1] == '.')) {
                parsed.error +=
                    "\nPut -- before the scores to pass a negative score such as " + argument + ".";
                break;
            }
        }
        return parsed;
    }
    line.help = parser.isSet(help);
    line.version = parser.isSet(version);
    if (line.help || line.version) return parsed;

    const QString level = parser.value(ci);
    const QString methodName = parser.value(method).toLower();
    const QString basis = parser.value(differences).toLower();
    const QString cutoff = parser.value(abnormal);
    const std::string notesText = NotesWithLineFeeds(Bytes(parser.value(notes)));
    // The messages repeat a value as it was given: lowering the code of a byte is not lowering a
    // letter of a UTF-8 text.
    if (level != "95" && level != "90") {
        parsed.error = "--ci must be 95 or 90, not '" + Bytes(level) + "'.";
    } else if (methodName != "traditional" && methodName != "glutting") {
        parsed.error =
            "--method must be traditional or glutting, not '" + Bytes(parser.value(method)) + "'.";
    } else if (basis != "observed" && basis != "true") {
        parsed.error = "--differences must be observed or true, not '" +
                       Bytes(parser.value(differences)) + "'.";
    } else if (cutoff != "5" && cutoff != "10" && cutoff != "15") {
        parsed.error = "--abnormal must be 5, 10 or 15, not '" + Bytes(cutoff) + "'.";
    } else if (const std::optional<NotesProblem> problem = CheckNotes(notesText)) {
        parsed.error = NotesProblemText(*problem, "--notes", false) + ".";
    }
    if (!parsed.error.empty()) return parsed;

    line.options.confidenceMethod = (methodName == "glutting" ? 2 : 0) + (level == "90" ? 1 : 0);
    line.options.trueScoreDifferences = basis == "true";
    line.options.applyBonferroni = parser.isSet(bonferroni);
    line.options.calculateGai = !parser.isSet(noGai);
    line.options.cutoffIndex = cutoff == "5" ? 1 : cutoff == "10" ? 2 : 3;
    line.notes = NotesLines(notesText);
    for (const QString& score : parser.positionalArguments()) {
        line.scores.push_back(Bytes(score));
    }

    const unsigned cores = std::thread::hardware_concurrency();
    line.jobs = cores == 0 ? 1 : std::min(static_cast<int>(cores), kMaximumJobs);
    if (parser.isSet(jobs)) {
        bool number = false;
        const int count = parser.value(jobs).toInt(&number);
        if (!number || count < 1 || count > kMaximumJobs || parser.value(jobs).startsWith('+')) {
            parsed.error = "--jobs must be a whole number from 1 to " +
                           std::to_string(kMaximumJobs) + ", not '" + Bytes(parser.value(jobs)) +
                           "'.";
            return parsed;
        }
        line.jobs = count;
    }

    if (parser.isSet(caseFile)) {
        line.caseFile = Bytes(parser.value(caseFile));
        for (const QCommandLineOption& other :
             {ci, method, differences, bonferroni, noGai, abnormal, notes, batch}) {
            if (parser.isSet(other)) {
                parsed.error =
                    "--case takes the scores, options and notes from the file; give "
                    "--" +
                    Bytes(other.names().front()) + " without it.";
            }
        }
        if (parsed.error.empty() && !line.scores.empty()) {
            parsed.error = "--case takes the scores from the file; give no scores with it.";
        }
        if (parsed.error.empty() && parser.isSet(jobs)) parsed.error = kJobsWithoutBatch;
    } else if (parser.isSet(batch)) {
        line.batchFile = Bytes(parser.value(batch));
        if (!line.scores.empty()) {
            parsed.error = "--batch takes its cases from the file; give no scores with it.";
        } else if (parser.isSet(notes)) {
            parsed.error = "--notes belongs to a single report; it has no place in batch output.";
        }
    } else if (parser.isSet(jobs)) {
        parsed.error = kJobsWithoutBatch;
    } else if (line.scores.size() != static_cast<std::size_t>(kSubtestCount)) {
        parsed.error = "Expected the eight scores BD SI DS CD VO LN MR SS, got " +
                       std::to_string(line.scores.size()) + ".";
    }
    if (!parsed.error.empty()) return parsed;

    if (parser.isSet(output)) line.outputFile = Bytes(parser.value(output));
    const QString formatName = parser.value(format).toLower();
    if (line.batchFile) {
        line.format = OutputFormat::Csv;
        if (formatName == "jsonl") {
            line.format = OutputFormat::Jsonl;
        } else if (parser.isSet(format) && formatName != "csv") {
            parsed.error = "--format with --batch must be csv or jsonl, not '" +
                           Bytes(parser.value(format)) + "'.";
        }
    } else if (formatName == "json") {
        line.format = OutputFormat::Json;
    } else if (formatName == "pdf" || formatName == "odt") {
        line.format = formatName == "pdf" ? OutputFormat::Pdf : OutputFormat::Odt;
        if (!line.outputFile) {
            parsed.error = "--format " + Bytes(formatName) +
                           " needs --output FILE: a document is not written to standard output.";
        }
    } else if (parser.isSet(format) && formatName != "text") {
        parsed.error =
            "--format must be text, json, pdf or odt, not '" + Bytes(parser.value(format)) + "'.";
    }
    if (line.outputFile && line.outputFile->empty()) {
        parsed.error = "--output needs a file name.";
    }
    return parsed;
}

}  // namespace orvale::cli
