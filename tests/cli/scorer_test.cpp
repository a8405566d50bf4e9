// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score run as a process: its report against the composer's own, its options, its
// messages and exit statuses for bad scores and bad command lines, and the user's locale.
#include <gtest/gtest.h>

#include "engine/scoring.h"
#include "report/compose.h"
#include "scorer_process.h"

namespace orvale {
namespace {

using test::RunScorer;

// The report as the composer writes it for a first report, one line feed after each line.
std::string ExpectedReport(const SubtestEntries& entries, const ScoringOptions& options,
                           const std::vector<std::string>& notes = {},
                           char decimalSeparator = '.') {
    ReportInput input;
    input.entries = entries;
    input.options = options;
    input.notes = notes;
    input.results = ComputeScores(entries, options);
    input.decimalSeparator = decimalSeparator;
    std::vector<std::string> lines;
    ComposeReport(lines, input);
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::vector<std::string> Scores(const SubtestEntries& entries) {
    std::vector<std::string> texts;
    for (double value : entries) {
        std::ostringstream text;
        text << value;
        texts.push_back(text.str());
    }
    return texts;
}

std::vector<std::string> Join(std::vector<std::string> options,
                              const std::vector<std::string>& scores) {
    options.insert(options.end(), scores.begin(), scores.end());
    return options;
}

TEST(Scorer, ReportEqualsTheComposersForEachOption) {
    struct Row {
        std::vector<std::string> options;
        SubtestEntries entries;
        ScoringOptions expected;
    };
    const SubtestEntries extreme = {15, 19, 10, 1, 19, 10, 15, 1};
    const SubtestEntries mixed = {1, 18, 1, 13, 7, 14, 1, 17};
    const Row rows[] = {
        {{}, {10, 10, 10, 10, 10, 10, 10, 10}, ScoringOptions{0, false, false, true, 1}},
        {{"--ci", "90"}, extreme, ScoringOptions{1, false, false, true, 1}},
        {{"--method", "glutting"}, mixed, ScoringOptions{2, false, false, true, 1}},
        {{"--method=glutting", "--ci=90", "--abnormal", "15"},
         extreme,
         ScoringOptions{3, false, false, true, 3}},
        {{"--differences", "true", "--bonferroni"}, mixed, ScoringOptions{0, true, true, true, 1}},
        {{"--no-gai", "--abnormal", "10", "--bonferroni"},
         extreme,
         ScoringOptions{0, false, true, false, 2}},
        {{"--differences", "observed", "--method", "traditional", "--ci", "95"},
         {12.5, 3, 7.25, 19, 1, 11, 10, 10},
         ScoringOptions{0, false, false, true, 1}},
    };
    for (const Row& row : rows) {
        const auto result = RunScorer(Join(row.options, Scores(row.entries)));
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, ExpectedReport(row.entries, row.expected))
            << testing::PrintToString(row.options);
    }
}

TEST(Scorer, NotesAppearAsTyped) {
    const SubtestEntries entries = {10, 10, 10, 10, 10, 10, 10, 10};
    struct Row {
        const char* name;
        std::string text;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"percent signs", "scored 100% %s %6.0f\n\n%100%\n", {"scored 100% %s %6.0f", "", "%100%"}},
        // Bytes that are not UTF-8 (a Latin-1 e acute) and UTF-8 text both pass unchanged.
        {"Latin-1 byte",
         "Ren\xE9"
         "e, retest",
         {"Ren\xE9"
          "e, retest"}},
        {"UTF-8",
         "Ren\xC3\xA9"
         "e\r\nline two",
         {"Ren\xC3\xA9"
          "e",
          "line two"}},
        // Wrapped as the worksheet wraps them, 91 characters a line; the emoji is one of them.
        {"wrapped",
         std::string(84, 'a') + " \xF0\x9F\x98\x80 next word",
         {std::string(84, 'a') + " \xF0\x9F\x98\x80 next ", "word"}},
    };
    for (const Row& row : rows) {
        const auto result = RunScorer(Join({"--notes", row.text}, Scores(entries)));
        EXPECT_EQ(result.status, 0) << row.name;
        EXPECT_EQ(result.out, ExpectedReport(entries, {}, row.lines)) << row.name;
        EXPECT_NE(result.out.find("\n User's Notes: " + row.lines.front() + "\n"),
                  std::string::npos)
            << row.name;
    }
    const auto percent = RunScorer(Join({"--notes", rows[0].text}, Scores(entries)));
    EXPECT_NE(percent.out.find("\n               %100%\n \n INPUTS:\n"), std::string::npos);
}

TEST(Scorer, BadScoresAndCommandLines) {
    // Every error in the command line repeats the usage.
    const std::string& usageHint = test::kUsageHint;
    struct Row {
        const char* name;
        std::vector<std::string> arguments;
        int status;
        std::string err;  // whole standard error, or its first line when it ends in "..."
    };
    const Row rows[] = {
        {"empty score",
         {"10", "", "10", "10", "10", "10", "10", "10"},
         2,
         "INPUT ERROR\n\n(  SIMILARITIES subtest scaled score:  )\n\nData have not been entered in "
         "this field.\n"},
        {"non-numeric score",
         {"10", "10", "10", "1x2", "10", "10", "10", "10"},
         2,
         "INPUT ERROR\n(  CODING subtest scaled score:  1x2  )\n\nEnter numeric data only.\n"},
        {"a byte that is not UTF-8 is echoed as typed",
         {"10", "10", "10", "10", "1\xE9", "10", "10", "10"},
         2,
         "INPUT ERROR\n(  VOCABULARY subtest scaled score:  1\xE9  )\n\nEnter numeric data "
         "only.\n"},
        {"comma as decimal mark",
         {"10", "10", "10", "10", "10", "10", "10", "12,5"},
         2,
         "INPUT ERROR\n(  SYMBOL SEARCH subtest scaled score:  12,5  )\n\nEnter numeric data "
         "only.\n"},
        {"out of range",
         {"25", "10", "10", "10", "10", "10", "10", "10"},
         2,
         "INPUT ERROR\n(  BLOCK DESIGN subtest scaled score:  25.000  )\nThe valid range for "
         "Wechsler subtest scaled scores is 1 to 19 \n"},
        {"19.1 just above the range",
         {"10", "10", "10", "10", "10", "10", "19.1", "10"},
         2,
         "INPUT ERROR\n(  MATRIX REASONING subtest scaled score:  19.100  )\nThe valid range for "
         "Wechsler subtest scaled scores is 1 to 19 \n"},
        {"negative score after --",
         {"--", "10", "10", "10", "10", "-3", "10", "10", "10"},
         2,
         "INPUT ERROR\n(  VOCABULARY subtest scaled score:  -3.000  )\nThe valid range for "
         "Wechsler subtest scaled scores is 1 to 19 \n"},
        {"the first failing field in field order wins",
         {"10", "10", "0", "x", "10", "10", "10", "10"},
         2,
         "INPUT ERROR\n(  DIGIT SPAN subtest scaled score:  0.000  )\nThe valid range for "
         "Wechsler subtest scaled scores is 1 to 19 \n"},
        {"negative score without --",
         {"10", "10", "10", "10", "-3", "10", "10", "10"},
         2,
         "orvale-score: Unknown option '3'.\nPut -- before the scores to pass a negative score "
         "such as -3.\n" +
             usageHint},
        {"seven scores",
         {"10", "10", "10", "10", "10", "10", "10"},
         2,
         "orvale-score: Expected the eight scores BD SI DS CD VO LN MR SS, got 7.\n" + usageHint},
        {"nine scores",
         {"10", "10", "10", "10", "10", "10", "10", "10", "10"},
         2,
         "orvale-score: Expected the eight scores BD SI DS CD VO LN MR SS, got 9.\n" + usageHint},
        {"unknown option",
         {"--gai", "10", "10", "10", "10", "10", "10", "10", "10"},
         2,
         "orvale-score: Unknown option 'gai'.\n" + usageHint},
        {"bad confidence level",
         {"--ci", "99", "10", "10", "10", "10", "10", "10", "10", "10"},
         2,
         "orvale-score: --ci must be 95 or 90, not '99'.\n" + usageHint},
        {"bad method",
         {"--method", "exact", "10", "10", "10", "10", "10", "10", "10", "10"},
         2,
         "orvale-score: --method must be traditional or glutting, not 'exact'.\n" + usageHint},
        {"bad method repeated as typed, UTF-8 capital kept",
         {"--method", "\xC3\x84XACT", "10", "10", "10", "10", "10", "10", "10", "10"},
         2,
         "orvale-score: --method must be traditional or glutting, not '\xC3\x84XACT'.\n" +
             usageHint},
        {"bad basis",
         {"--differences", "both", "10", "10", "10", "10", "10", "10", "10", "10"},
         2,
         "orvale-score: --differences must be observed or true, not 'both'.\n" + usageHint},
        {"bad cut-off",
         {"--abnormal", "1", "10", "10", "10", "10", "10", "10", "10", "10"},
         2,
         "orvale-score: --abnormal must be 5, 10 or 15, not '1'.\n" + usageHint},
        {"option without its value",
         {"--ci"},
         2,
         "orvale-score: Missing value after '--ci'.\n" + usageHint},
        {"notes longer than the notes box holds",
         {"--notes", std::string(251, 'n'), "10", "10", "10", "10", "10", "10", "10", "10"},
         2,
         "orvale-score: --notes is longer than 250 characters.\n" + usageHint},
        {"notes with a control character",
         {"--notes", "a\x1B[1mb", "10", "10", "10", "10", "10", "10", "10", "10"},
         2,
         "orvale-score: --notes holds a control character (U+001B); notes may hold line breaks "
         "and tabs but no other control character.\n" +
             usageHint},
    };
    for (const Row& row : rows) {
        const auto result = RunScorer(row.arguments);
        EXPECT_EQ(result.status, row.status) << row.name;
        EXPECT_EQ(result.out, "") << row.name;
        EXPECT_EQ(result.err, row.err) << row.name;
    }
}

// Each spelling of a command line as orvale-score has always read it: the reading's own errors
// and which of two is told, one dash or two, empty and repeated values, options among the
// scores, notes and scores that look like options, --jobs, --format, --output and --case.
TEST(Scorer, CommandLineSpellings) {
    test::ScratchFolder folder;
    const std::string missing = (folder.path() / "missing").string();
    const std::string cannotOpen =
        "orvale-score: cannot open " + missing + ": No such file or directory\n";
    const auto refused = [](const std::string& message) {
        return "orvale-score: " + message + "\n" + test::kUsageHint;
    };
    const auto negative = [&refused](const std::string& score) {
        return refused("Unknown option '" + score.substr(1) +
                       "'.\nPut -- before the scores to pass a negative score such as " + score +
                       ".");
    };
    const auto firstScore = [](const std::string& shown, const std::string& problem) {
        return "INPUT ERROR\n(  BLOCK DESIGN subtest scaled score:  " + shown + "  )\n" + problem;
    };
    const std::string nonNumeric = "\nEnter numeric data only.\n";
    const std::string range = "The valid range for Wechsler subtest scaled scores is 1 to 19 \n";
    const auto tens = [](std::vector<std::string> options, std::size_t count = 8) {
        options.insert(options.end(), count, "10");
        return options;
    };
    enum class Writes { Report, Help, Version };
    struct Row {
        std::vector<std::string> arguments;
        std::string err;  // all of standard error; empty when the command line is accepted
        Writes writes = Writes::Report;
        ScoringOptions options = {};  // Report: that of eight 10s with these options and notes
        std::vector<std::string> notes = {};
    };
    const Row rows[] = {
        {{"-h"}, "", Writes::Help},
        {{"-help"}, "", Writes::Help},
        {{"--version", "--help"}, "", Writes::Help},
        {{"--help", "--ci", "80", "10"}, "", Writes::Help},
        {{"-version", "--batch", missing, "10"}, "", Writes::Version},
        {{"--help", "--bogus"}, refused("Unknown option 'bogus'.")},
        {{"--help", "--ci"}, refused("Missing value after '--ci'.")},
        {{"--help=yes"}, refused("Unexpected value after '--help'.")},
        // Every unknown option is named; no abbreviation, no other case.
        {tens({"--bogus", "--other"}), refused("Unknown options: bogus, other.")},
        {tens({"-xyz"}), refused("Unknown option 'xyz'.")},
        {tens({"--x=1", "-y=2"}), refused("Unknown options: x, y.")},
        {tens({"--=x"}), refused("Unknown option ''.")},
        {tens({"---ci", "90"}), refused("Unknown option '-ci'.")},
        {tens({"--meth", "glutting"}), refused("Unknown option 'meth'.")},
        {tens({"--CI", "90"}), refused("Unknown option 'CI'.")},
        {tens({"-\xE9", "-\xE8"}), refused("Unknown options: \xE9, \xE8.")},
        // A missing value or a value given to a switch is told before unknown options.
        {{"-ci"}, refused("Missing value after '-ci'.")},
        {{"--bogus", "--batch"}, refused("Missing value after '--batch'.")},
        {tens({"-bonferroni=1"}), refused("Unexpected value after '-bonferroni'.")},
        {tens({"--bonferroni=", "--bogus"}), refused("Unexpected value after '--bonferroni'.")},
        {tens({"--bonferroni=1", "--no-gai=0"}), refused("Unexpected value after '--no-gai'.")},
        {{"--bonferroni=1", "--ci"}, refused("Missing value after '--ci'.")},
        {tens({}, 7), refused("Expected the eight scores BD SI DS CD VO LN MR SS, got 7.")},
        {tens({"10", "-.5"}, 6), negative("-.5")},
        {tens({"--ci", "90", "-0"}, 7), negative("-0")},
        {tens({"-"}, 7), firstScore("0.000", range)},
        {tens({"--", "--"}, 7), firstScore("--", nonNumeric)},
        {tens({"--", "--ci", "90"}, 6), firstScore("--ci", nonNumeric)},
        {tens({"[1,2]"}, 7), firstScore("[1,2]", nonNumeric)},
        {tens({"{}"}, 7), firstScore("{}", nonNumeric)},
        // Options with one dash, with =, among and after the scores; the last of a repeated one.
        {tens({"-ci", "90"}), "", Writes::Report, {1, false, false, true, 1}},
        {tens({"-ci=90", "10", "10", "10", "--no-gai"}, 5),
         "",
         Writes::Report,
         {1, false, false, false, 1}},
        {{"10", "10", "10", "--", "10", "10", "10", "10", "10"}, ""},
        {tens({"--bonferroni", "--bonferroni"}), "", Writes::Report, {0, false, true, true, 1}},
        {tens({"--ci", "99", "--ci", "90"}), "", Writes::Report, {1, false, false, true, 1}},
        {tens({"--ci", "90", "--ci", "99"}), refused("--ci must be 95 or 90, not '99'.")},
        {tens({"--method", "GLUTTING", "--differences", "True", "--abnormal", "15"}),
         "",
         Writes::Report,
         {2, true, false, true, 3}},
        {tens({"--ci="}), refused("--ci must be 95 or 90, not ''.")},
        {tens({"--ci=90=1"}), refused("--ci must be 95 or 90, not '90=1'.")},
        {tens({"--abnormal", " 05"}), refused("--abnormal must be 5, 10 or 15, not ' 05'.")},
        {tens({"--notes", "-x"}), "", Writes::Report, {}, {"-x"}},
        {tens({"--notes", "--"}), "", Writes::Report, {}, {"--"}},
        {tens({"--notes", "--ci"}), "", Writes::Report, {}, {"--ci"}},
        {tens({"--notes=-1=2"}), "", Writes::Report, {}, {"-1=2"}},
        {tens({"--notes="}), ""},
        {tens({"--notes", "one", "--notes", "[a,b]"}), "", Writes::Report, {}, {"[a,b]"}},
        // --jobs: a whole number from 1 to 256, blanks around it allowed; checked first.
        {tens({"--jobs", "abc"}),
         refused("--jobs must be a whole number from 1 to 256, not 'abc'.")},
        {{"--jobs", "257", "--batch", missing},
         refused("--jobs must be a whole number from 1 to 256, not '257'.")},
        {{"--jobs", "+4", "--batch", missing},
         refused("--jobs must be a whole number from 1 to 256, not '+4'.")},
        {{"--jobs", "", "--batch", missing},
         refused("--jobs must be a whole number from 1 to 256, not ''.")},
        {{"--jobs", "2.0", "--batch", missing},
         refused("--jobs must be a whole number from 1 to 256, not '2.0'.")},
        {{"--jobs", "99999999999", "--batch", missing},
         refused("--jobs must be a whole number from 1 to 256, not '99999999999'.")},
        {{"--jobs", "256", "--batch", missing}, cannotOpen},
        {{"--jobs", " 4\t", "--batch", missing}, cannotOpen},
        {{"-jobs=04", "-batch=" + missing}, cannotOpen},
        // --format and --output.
        {tens({"--format", "unknown"}),
         refused("--format must be text, json, svg, pdf or odt, not 'unknown'.")},
        {tens({"--format", "csv"}),
         refused("--format must be text, json, svg, pdf or odt, not 'csv'.")},
        {tens({"--format", "Odt"}),
         refused(
             "--format odt needs --output FILE: a document is not written to standard output.")},
        {tens({"--format", "TEXT"}), ""},
        {{"--format", "json", "--batch", missing},
         refused("--format with --batch must be csv or jsonl, not 'json'.")},
        {{"--format", "svg", "--batch", missing},
         refused("--format with --batch must be csv or jsonl, not 'svg'.")},
        {{"--format", "JSONL", "--batch", missing}, cannotOpen},
        {tens({"--format", "pdf", "--output", ""}), refused("--output needs a file name.")},
        {{"--output=", "--batch", missing}, refused("--output needs a file name.")},
        // --case: the values are checked first, then the last of the options it refuses is named.
        {tens({"--case", missing}),
         refused("--case takes the scores from the file; give no scores with it.")},
        {{"--case", missing, "--ci", "80"}, refused("--ci must be 95 or 90, not '80'.")},
        {{"--case", missing, "--batch", missing, "--ci", "90"},
         refused(
             "--case takes the scores, options and notes from the file; give --batch without it.")},
        {{"--case", missing, "--no-gai", "--bonferroni"},
         refused("--case takes the scores, options and notes from the file; give --no-gai without "
                 "it.")},
        {{"--case", missing, "--format", "jsonl"},
         refused("--format must be text, json, svg, pdf or odt, not 'jsonl'.")},
        {{"--case=" + missing, "--output", missing},
         "orvale-score: The case could not be opened from " + missing +
             ": No such file or directory\n"},
        {tens({"--batch", missing, "--notes", "x"}),
         refused("--batch takes its cases from the file; give no scores with it.")},
        {{"--batch", "elsewhere", "--batch", missing}, cannotOpen},
    };
    const SubtestEntries eightTens = {10, 10, 10, 10, 10, 10, 10, 10};
    for (const Row& row : rows) {
        const auto result = RunScorer(row.arguments);
        const std::string name = testing::PrintToString(row.arguments);
        EXPECT_EQ(result.err, row.err) << name;
        EXPECT_EQ(result.status, row.err.empty() ? 0 : 2) << name;
        if (!row.err.empty()) {
            EXPECT_EQ(result.out, "") << name;
        } else if (row.writes == Writes::Help) {
            EXPECT_EQ(
                result.out.rfind("Usage: orvale-score [OPTIONS] BD SI DS CD VO LN MR SS\n", 0), 0u)
                << name;
        } else if (row.writes == Writes::Version) {
            EXPECT_EQ(result.out, std::string("orvale-score ") + ORVALE_VERSION + "\n") << name;
        } else {
            EXPECT_EQ(result.out, ExpectedReport(eightTens, row.options, row.notes)) << name;
        }
    }
}

TEST(Scorer, HelpAndVersion) {
    const auto help = RunScorer({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: orvale-score [OPTIONS] BD SI DS CD VO LN MR SS\n", 0), 0u);
    EXPECT_EQ(help.err, "");
    EXPECT_NE(help.out.find("\nExit status: 0 done, 1 some batch rows were invalid and skipped, 2 "
                            "bad command line,\nbad score, unreadable batch file, unreadable or "
                            "invalid case file, output that cannot be\nwritten (a full disk, a "
                            "file-size limit) or an unexpected failure such as running out of\n"
                            "memory.\n"),
              std::string::npos);
    const auto version = RunScorer({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("orvale-score ") + ORVALE_VERSION + "\n");
}

TEST(Scorer, CaseFileProblemsNameTheFile) {
    test::ScratchFolder folder;
    const auto write = [&folder](const char* name, const std::string& bd,
                                 const std::string& notes) {
        const std::string path = (folder.path() / name).string();
        test::WriteFile(path, R"({"schema": 1, "entries": {"BD": ")" + bd +
                                  R"(", "SI": "10", "DS": "10", "CD": "10", "VO": "10", "LN": "10",
            "MR": "10", "SS": "10"}, "options": {"ci": 95, "method": "traditional",
            "differences": "observed", "bonferroni": false, "gai": true, "abnormal": 5},
            "notes": ")" + notes + R"("})");
        return path;
    };
    const std::string outOfRange = write("range.orvale", "25", "");
    const std::string empty = write("empty.orvale", "", "");
    const std::string nul = write("nul.orvale", "10", "a\\u0000b");
    const struct {
        std::string path;
        std::string err;
    } rows[] = {
        {outOfRange, "orvale-score: " + outOfRange +
                         ":\nINPUT ERROR\n(  BLOCK DESIGN subtest scaled score:  25.000  )\nThe "
                         "valid range for Wechsler subtest scaled scores is 1 to 19 \n"},
        {empty, "orvale-score: " + empty +
                    ":\nINPUT ERROR\n\n(  BLOCK DESIGN subtest scaled score:  )\n\nData have not "
                    "been entered in this field.\n"},
        {nul, "orvale-score: The case could not be opened from " + nul +
                  ": its notes hold a control character (U+0000); notes may hold line breaks and "
                  "tabs but no other control character\n"},
    };
    for (const auto& row : rows) {
        const auto result = RunScorer({"--case", row.path});
        EXPECT_EQ(result.status, 2) << row.path;
        EXPECT_EQ(result.out, "") << row.path;
        EXPECT_EQ(result.err, row.err);
    }
}

TEST(Scorer, DecimalSeparatorFollowsTheLocale) {
    // Build a German locale in a scratch folder; skip when the system cannot.
    test::ScratchFolder locales;
    const std::string make = "localedef -i de_DE -f UTF-8 " +
                             test::ShellQuote((locales.path() / "de_DE.UTF-8").string()) +
                             " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "localedef cannot build de_DE.UTF-8";
    const SubtestEntries entries = {15, 19, 10, 1, 19, 10, 15, 1};
    const auto result = RunScorer(Scores(entries), "",
                                  {"LOCPATH=" + locales.path().string(), "LC_ALL=de_DE.UTF-8"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, ExpectedReport(entries, {}, {}, ','));
    EXPECT_NE(result.out.find(" Percentage = 14,41%\n"), std::string::npos);
    // The C locale keeps the full stop.
    EXPECT_EQ(RunScorer(Scores(entries)).out, ExpectedReport(entries, {}));
}

}  // namespace
}  // namespace orvale
