// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of orvale-score: see command_line.h.
#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <limits>
#include <thread>

#include "report/notes.h"

namespace orvale::cli {

namespace {

constexpr const char* kJobsWithoutBatch =
    "--jobs sets the threads of --batch; a single case has no use for it.";

// The options orvale-score knows; every argument that is not an option is a score. --help is an
// ordinary switch: its text is orvale-score's own (kUsageDetails), not CLI11's.
void AddOptions(CLI::App& app) {
    app.set_help_flag();
    // A repeated option counts once, with its last value.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    for (const char* name : {"--ci", "--method", "--differences", "--abnormal", "--notes",
                             "--batch", "--format", "--output", "--case", "--jobs"}) {
        app.add_option(name);
    }
    for (const char* name : {"--bonferroni", "--no-gai", "-h,--help", "--version"}) {
        app.add_flag(name);
    }
    // Each score is taken as typed: a list open at the top would split "[1,2]" into two.
    app.add_option("scores")
        ->expected(std::numeric_limits<int>::max())
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

// The option called name (without its dashes, long or short), or none.
const CLI::Option* FindOption(const CLI::App& app, const std::string& name) {
    for (const CLI::Option* option : app.get_options()) {
        if (option->check_lname(name) || option->check_sname(name)) return option;
    }
    return nullptr;
}

struct Respelled {
    std::vector<std::string> arguments;  // in CLI11's spelling
    std::string error;                   // what keeps the command line from being read
};

// orvale-score has always read its command line a little differently from CLI11, and keeps
// doing so: before "--", anything from a dash and one more character on is an option, so -3 is an
// unknown option rather than a score; one dash serves as well as two (-ci 90, -h); "--notes="
// gives empty notes; every unknown option is named at once; and an error in the value of an option
// (missing, or given to a switch) is told before the unknown options. This settles all of that and
// spells each option as CLI11 reads it: its own name, then its value as the next argument.
Respelled Respell(const CLI::App& app, const std::vector<std::string>& arguments) {
    Respelled respelled;
    std::vector<std::string> unknown;
    bool scoresOnly = false;
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        const std::string& argument = *it;
        if (scoresOnly || argument.size() < 2 || argument[0] != '-') {
            respelled.arguments.push_back(argument);
            continue;
        } else if (argument == "--") {
            scoresOnly = true;
            respelled.arguments.push_back(argument);
            continue;
        }
        const std::size_t nameStart = argument[1] == '-' ? 2 : 1;
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(nameStart, equals - nameStart);
        const CLI::Option* option = FindOption(app, name);
        if (option == nullptr) {
            unknown.push_back(name);
            continue;
        }
        respelled.arguments.push_back(option->get_name());
        if (option->get_items_expected_max() == 0) {  // a switch
            if (equals != std::string::npos) {
                respelled.error = "Unexpected value after '" + argument.substr(0, equals) + "'.";
            }
        } else if (equals != std::string::npos) {
            respelled.arguments.push_back(argument.substr(equals + 1));
        } else if (it + 1 != arguments.end()) {
            respelled.arguments.push_back(*++it);
        } else {
            respelled.error = "Missing value after '" + argument + "'.";
        }
    }
    if (respelled.error.empty() && unknown.size() == 1) {
        respelled.error = "Unknown option '" + unknown.front() + "'.";
    } else if (respelled.error.empty() && !unknown.empty()) {
        respelled.error = "Unknown options: " + unknown.front();
        for (auto name = unknown.begin() + 1; name != unknown.end(); ++name) {
            respelled.error += ", " + *name;
        }
        respelled.error += ".";
    }
    return respelled;
}

// The message for a command line that cannot be read, with a hint for a negative score.
std::string UnreadableMessage(const std::string& error, const std::vector<std::string>& arguments) {
    // A negative score without "--" before it reads as an option.
    for (const std::string& argument : arguments) {
        if (argument.size() > 1 && argument[0] == '-' &&
            (std::isdigit(static_cast<unsigned char>(argument[1])) || argument[1] == '.')) {
            return error + "\nPut -- before the scores to pass a negative score such as " +
                   argument + ".";
        }
    }
    return error;
}

bool IsSet(const CLI::App& app, const std::string& name) {
    return app.count(name) > 0;
}

// The value of an option as typed, the last one when it was given more than once.
std::string ValueOf(const CLI::App& app, const std::string& name, const char* fallback = "") {
    const std::vector<std::string>& given = app.get_option(name)->results();
    return given.empty() ? fallback : given.back();
}

// The text with its ASCII capitals lowered. Other bytes stay: lowering the code of a byte is not
// lowering a letter of a UTF-8 text, so the messages repeat a value as it was given.
std::string Lowered(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// --jobs as a count of threads, or none when it is not a whole number from 1 to kMaximumJobs.
// Blanks around the number are allowed; a plus sign only after a blank, as always.
std::optional<int> JobCount(const std::string& text) {
    const auto blank = [](char c) { return c != '\0' && std::strchr(" \t\n\v\f\r", c); };
    const char* begin = text.data();
    const char* end = begin + text.size();
    while (begin != end && blank(*begin)) ++begin;
    while (end != begin && blank(end[-1])) --end;
    if (text.starts_with('+')) return std::nullopt;
    if (begin != end && *begin == '+') ++begin;
    int count = 0;
    const auto [next, problem] = std::from_chars(begin, end, count);
    if (problem != std::errc() || next != end || count < 1 || count > kMaximumJobs) {
        return std::nullopt;
    }
    return count;
}

// Reads the scoring options, the notes and the scores into line; the problem with a value, or
// an empty text.
std::string ReadValues(const CLI::App& app, CommandLine& line) {
    const std::string level = ValueOf(app, "--ci", "95");
    const std::string method = ValueOf(app, "--method", "traditional");
    const std::string basis = ValueOf(app, "--differences", "observed");
    const std::string cutoff = ValueOf(app, "--abnormal", "5");
    const std::string methodName = Lowered(method);
    const std::string basisName = Lowered(basis);
    const std::string notes = NotesWithLineFeeds(ValueOf(app, "--notes"));
    if (level != "95" && level != "90") {
        return "--ci must be 95 or 90, not '" + level + "'.";
    } else if (methodName != "traditional" && methodName != "glutting") {
        return "--method must be traditional or glutting, not '" + method + "'.";
    } else if (basisName != "observed" && basisName != "true") {
        return "--differences must be observed or true, not '" + basis + "'.";
    } else if (cutoff != "5" && cutoff != "10" && cutoff != "15") {
        return "--abnormal must be 5, 10 or 15, not '" + cutoff + "'.";
    } else if (const std::optional<NotesProblem> problem = CheckNotes(notes)) {
        return NotesProblemText(*problem, "--notes", false) + ".";
    }
    line.options.confidenceMethod = (methodName == "glutting" ? 2 : 0) + (level == "90" ? 1 : 0);
    line.options.trueScoreDifferences = basisName == "true";
    line.options.applyBonferroni = IsSet(app, "--bonferroni");
    line.options.calculateGai = !IsSet(app, "--no-gai");
    line.options.cutoffIndex = cutoff == "5" ? 1 : cutoff == "10" ? 2 : 3;
    line.notes = NotesLines(notes);
    line.scores = app.get_option("scores")->results();

    const unsigned cores = std::thread::hardware_concurrency();
    line.jobs = cores == 0 ? 1 : std::min(static_cast<int>(cores), kMaximumJobs);
    if (IsSet(app, "--jobs")) {
        const std::optional<int> count = JobCount(ValueOf(app, "--jobs"));
        if (!count) {
            return "--jobs must be a whole number from 1 to " + std::to_string(kMaximumJobs) +
                   ", not '" + ValueOf(app, "--jobs") + "'.";
        }
        line.jobs = *count;
    }
    return {};
}

// Reads where the case or cases come from (--case, --batch or the scores) into line; the problem
// with the options given together, or an empty text.
std::string ReadSource(const CLI::App& app, CommandLine& line) {
    std::string error;
    if (IsSet(app, "--case")) {
        line.caseFile = ValueOf(app, "--case");
        // Of several such options, the last in this order is named.
        for (const char* other : {"--ci", "--method", "--differences", "--bonferroni", "--no-gai",
                                  "--abnormal", "--notes", "--batch"}) {
            if (IsSet(app, other)) {
                error = "--case takes the scores, options and notes from the file; give " +
                        std::string(other) + " without it.";
            }
        }
        if (error.empty() && !line.scores.empty()) {
            error = "--case takes the scores from the file; give no scores with it.";
        }
        if (error.empty() && IsSet(app, "--jobs")) error = kJobsWithoutBatch;
    } else if (IsSet(app, "--batch")) {
        line.batchFile = ValueOf(app, "--batch");
        if (!line.scores.empty()) {
            error = "--batch takes its cases from the file; give no scores with it.";
        } else if (IsSet(app, "--notes")) {
            error = "--notes belongs to a single report; it has no place in batch output.";
        }
    } else if (IsSet(app, "--jobs")) {
        error = kJobsWithoutBatch;
    } else if (line.scores.size() != static_cast<std::size_t>(kSubtestCount)) {
        error = "Expected the eight scores BD SI DS CD VO LN MR SS, got " +
                std::to_string(line.scores.size()) + ".";
    }
    return error;
}

// Reads the output format and file into line; the problem with them, or an empty text.
std::string ReadOutput(const CLI::App& app, CommandLine& line) {
    std::string error;
    if (IsSet(app, "--output")) line.outputFile = ValueOf(app, "--output");
    const std::string format = ValueOf(app, "--format");
    const std::string formatName = Lowered(format);
    if (line.batchFile) {
        line.format = OutputFormat::Csv;
        if (formatName == "jsonl") {
            line.format = OutputFormat::Jsonl;
        } else if (IsSet(app, "--format") && formatName != "csv") {
            error = "--format with --batch must be csv or jsonl, not '" + format + "'.";
        }
    } else if (formatName == "json") {
        line.format = OutputFormat::Json;
    } else if (formatName == "svg") {
        line.format = OutputFormat::Svg;
    } else if (formatName == "pdf" || formatName == "odt") {
        line.format = formatName == "pdf" ? OutputFormat::Pdf : OutputFormat::Odt;
        if (!line.outputFile) {
            error = "--format " + formatName +
                    " needs --output FILE: a document is not written to standard output.";
        }
    } else if (IsSet(app, "--format") && formatName != "text") {
        error = "--format must be text, json, svg, pdf or odt, not '" + format + "'.";
    }
    if (line.outputFile && line.outputFile->empty()) error = "--output needs a file name.";
    return error;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CLI::App app;
    AddOptions(app);
    ParsedCommandLine parsed;
    Respelled respelled = Respell(app, arguments);
    if (!respelled.error.empty()) {
        parsed.error = UnreadableMessage(respelled.error, arguments);
        return parsed;
    }
    std::reverse(respelled.arguments.begin(),
                 respelled.arguments.end());  // CLI11 reads from the back
    try {
        app.parse(respelled.arguments);
    } catch (const CLI::ParseError& error) {  // not expected once respelled
        parsed.error = error.what();
        return parsed;
    }
    CommandLine& line = parsed.commandLine;
    line.help = IsSet(app, "--help");
    line.version = IsSet(app, "--version");
    if (line.help || line.version) return parsed;

    parsed.error = ReadValues(app, line);
    if (parsed.error.empty()) parsed.error = ReadSource(app, line);
    if (parsed.error.empty()) parsed.error = ReadOutput(app, line);
    return parsed;
}

}  // namespace orvale::cli
