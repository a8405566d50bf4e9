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

// The options orvale-score knows.
struct Options {
    QCommandLineOption ci{"ci", "", "95|90", "95"};
    QCommandLineOption method{"method", "", "traditional|glutting", "traditional"};
    QCommandLineOption differences{"differences", "", "observed|true", "observed"};
    QCommandLineOption bonferroni{"bonferroni"};
    QCommandLineOption noGai{"no-gai"};
    QCommandLineOption abnormal{"abnormal", "", "5|10|15", "5"};
    QCommandLineOption notes{"notes", "", "TEXT"};
    QCommandLineOption batch{"batch", "", "FILE"};
    QCommandLineOption format{"format", "", "FORMAT"};
    QCommandLineOption output{"output", "", "FILE"};
    QCommandLineOption caseFile{"case", "", "FILE"};
    QCommandLineOption jobs{"jobs", "", "N"};
    QCommandLineOption help{QStringList{"help", "h"}};
    QCommandLineOption version{"version"};
};

// The parser's message for a command line it cannot read, with a hint for a negative score.
std::string UnreadableMessage(const QCommandLineParser& parser,
                              const std::vector<std::string>& arguments) {
    std::string message = Bytes(parser.errorText());
    // A negative score without "--" before it reads as an option.
    for (const std::string& argument : arguments) {
        if (argument.size() > 1 && argument[0] == '-' &&
            (std::isdigit(static_cast<unsigned char>(argument[1])) || argument[1] == '.')) {
            return message + "\nPut -- before the scores to pass a negative score such as " +
                   argument + ".";
        }
    }
    return message;
}

// Reads the scoring options, the notes and the scores into line; the problem with a value, or
// an empty text.
std::string ReadValues(const QCommandLineParser& parser, const Options& o, CommandLine& line) {
    const QString level = parser.value(o.ci);
    const QString methodName = parser.value(o.method).toLower();
    const QString basis = parser.value(o.differences).toLower();
    const QString cutoff = parser.value(o.abnormal);
    const std::string notes = NotesWithLineFeeds(Bytes(parser.value(o.notes)));
    // The messages repeat a value as it was given: lowering the code of a byte is not lowering a
    // letter of a UTF-8 text.
    if (level != "95" && level != "90") {
        return "--ci must be 95 or 90, not '" + Bytes(level) + "'.";
    } else if (methodName != "traditional" && methodName != "glutting") {
        return "--method must be traditional or glutting, not '" + Bytes(parser.value(o.method)) +
               "'.";
    } else if (basis != "observed" && basis != "true") {
        return "--differences must be observed or true, not '" +
               Bytes(parser.value(o.differences)) + "'.";
    } else if (cutoff != "5" && cutoff != "10" && cutoff != "15") {
        return "--abnormal must be 5, 10 or 15, not '" + Bytes(cutoff) + "'.";
    } else if (const std::optional<NotesProblem> problem = CheckNotes(notes)) {
        return NotesProblemText(*problem, "--notes", false) + ".";
    }
    line.options.confidenceMethod = (methodName == "glutting" ? 2 : 0) + (level == "90" ? 1 : 0);
    line.options.trueScoreDifferences = basis == "true";
    line.options.applyBonferroni = parser.isSet(o.bonferroni);
    line.options.calculateGai = !parser.isSet(o.noGai);
    line.options.cutoffIndex = cutoff == "5" ? 1 : cutoff == "10" ? 2 : 3;
    line.notes = NotesLines(notes);
    for (const QString& score : parser.positionalArguments()) {
        line.scores.push_back(Bytes(score));
    }

    const unsigned cores = std::thread::hardware_concurrency();
    line.jobs = cores == 0 ? 1 : std::min(static_cast<int>(cores), kMaximumJobs);
    if (parser.isSet(o.jobs)) {
        bool number = false;
        const int count = parser.value(o.jobs).toInt(&number);
        if (!number || count < 1 || count > kMaximumJobs || parser.value(o.jobs).startsWith('+')) {
            return "--jobs must be a whole number from 1 to " + std::to_string(kMaximumJobs) +
                   ", not '" + Bytes(parser.value(o.jobs)) + "'.";
        }
        line.jobs = count;
    }
    return {};
}

// Reads where the case or cases come from (--case, --batch or the scores) into line; the problem
// with the options given together, or an empty text.
std::string ReadSource(const QCommandLineParser& parser, const Options& o, CommandLine& line) {
    std::string error;
    if (parser.isSet(o.caseFile)) {
        line.caseFile = Bytes(parser.value(o.caseFile));
        for (const QCommandLineOption& other :
             {o.ci, o.method, o.differences, o.bonferroni, o.noGai, o.abnormal, o.notes, o.batch}) {
            if (parser.isSet(other)) {
                error =
                    "--case takes the scores, options and notes from the file; give "
                    "--" +
                    Bytes(other.names().front()) + " without it.";
            }
        }
        if (error.empty() && !line.scores.empty()) {
            error = "--case takes the scores from the file; give no scores with it.";
        }
        if (error.empty() && parser.isSet(o.jobs)) error = kJobsWithoutBatch;
    } else if (parser.isSet(o.batch)) {
        line.batchFile = Bytes(parser.value(o.batch));
        if (!line.scores.empty()) {
            error = "--batch takes its cases from the file; give no scores with it.";
        } else if (parser.isSet(o.notes)) {
            error = "--notes belongs to a single report; it has no place in batch output.";
        }
    } else if (parser.isSet(o.jobs)) {
        error = kJobsWithoutBatch;
    } else if (line.scores.size() != static_cast<std::size_t>(kSubtestCount)) {
        error = "Expected the eight scores BD SI DS CD VO LN MR SS, got " +
                std::to_string(line.scores.size()) + ".";
    }
    return error;
}

// Reads the output format and file into line; the problem with them, or an empty text.
std::string ReadOutput(const QCommandLineParser& parser, const Options& o, CommandLine& line) {
    std::string error;
    if (parser.isSet(o.output)) line.outputFile = Bytes(parser.value(o.output));
    const QString formatName = parser.value(o.format).toLower();
    if (line.batchFile) {
        line.format = OutputFormat::Csv;
        if (formatName == "jsonl") {
            line.format = OutputFormat::Jsonl;
        } else if (parser.isSet(o.format) && formatName != "csv") {
            error = "--format with --batch must be csv or jsonl, not '" +
                    Bytes(parser.value(o.format)) + "'.";
        }
    } else if (formatName == "json") {
        line.format = OutputFormat::Json;
    } else if (formatName == "pdf" || formatName == "odt") {
        line.format = formatName == "pdf" ? OutputFormat::Pdf : OutputFormat::Odt;
        if (!line.outputFile) {
            error = "--format " + Bytes(formatName) +
                    " needs --output FILE: a document is not written to standard output.";
        }
    } else if (parser.isSet(o.format) && formatName != "text") {
        error =
            "--format must be text, json, pdf or odt, not '" + Bytes(parser.value(o.format)) + "'.";
    }
    if (line.outputFile && line.outputFile->empty()) error = "--output needs a file name.";
    return error;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const Options o;
    parser.addOptions({o.ci, o.method, o.differences, o.bonferroni, o.noGai, o.abnormal, o.notes,
                       o.batch, o.format, o.output, o.caseFile, o.jobs, o.help, o.version});

    QStringList qtArguments{"orvale-score"};
    for (const std::string& argument : arguments) qtArguments << Q(argument);

    ParsedCommandLine parsed;
    CommandLine& line = parsed.commandLine;
    if (!parser.parse(qtArguments)) {
        parsed.error = UnreadableMessage(parser, arguments);
        return parsed;
    }
    line.help = parser.isSet(o.help);
    line.version = parser.isSet(o.version);
    if (line.help || line.version) return parsed;

    parsed.error = ReadValues(parser, o, line);
    if (parsed.error.empty()) parsed.error = ReadSource(parser, o, line);
    if (parsed.error.empty()) parsed.error = ReadOutput(parser, o, line);
    return parsed;
}

}  // namespace orvale::cli
