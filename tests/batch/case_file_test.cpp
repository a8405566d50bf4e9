// SPDX-License-Identifier: GPL-3.0-or-later
// Case files in the core: every combination of options survives a write and a read, the written
// file is byte for byte what the program has always written, and each kind of bad file is refused
// with its reason while what JSON allows is read as the values it stands for.
#include "batch/case_file.h"

#include <gtest/gtest.h>

#include "report/time_zone.h"

namespace {

using orvale::CaseValues;
using orvale::ParseCaseFile;

std::string HandWritten(const std::string& entries, const std::string& options,
                        const std::string& more = {}) {
    return "{\"schema\": 1, \"entries\": {" + entries + "}, \"options\": {" + options + "}" + more +
           "}";
}
std::string Replaced(std::string text, const std::string& what, const std::string& by) {
    const std::size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return at == std::string::npos ? text : text.replace(at, what.size(), by);
}
const std::string kEntries =
    R"("BD": "10", "SI": "12.5", "DS": "", "CD": "7.", "VO": "09", "LN": "10", "MR": "1 2", "SS": "19")";
const std::string kOptions =
    R"("ci": 90, "method": "glutting", "differences": "true", "bonferroni": true, "gai": false, "abnormal": 15)";
const std::string kBom = "\xEF\xBB\xBF";

using orvale::testing::ZoneSet;

TEST(CaseFile, EveryOptionCombinationRoundTrips) {
    for (int method = 0; method < 4; ++method) {
        for (int flags = 0; flags < 8; ++flags) {
            for (int cutoff = 1; cutoff <= 3; ++cutoff) {
                CaseValues values;
                values.entries = {"10", "11", "", "8.5", ".5", "12", "13", "7"};
                values.options = {method, (flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0,
                                  cutoff};
                const std::string notes[] = {"Case 0417\n\nR\xC3\xA9test \"B\"",
                                             kBom + "zero-width start", kBom + kBom, ""};
                values.notes = notes[(method + flags + cutoff) % 4];
                const auto read =
                    ParseCaseFile(CaseFileContent(values, std::chrono::system_clock::now()));
                ASSERT_TRUE(read.values) << read.error;
                EXPECT_EQ(read.values->entries, values.entries);
                EXPECT_EQ(read.values->notes, values.notes);
                const orvale::ScoringOptions& o = read.values->options;
                EXPECT_EQ(o.confidenceMethod, method);
                EXPECT_EQ(o.trueScoreDifferences, (flags & 1) != 0);
                EXPECT_EQ(o.applyBonferroni, (flags & 2) != 0);
                EXPECT_EQ(o.calculateGai, (flags & 4) != 0);
                EXPECT_EQ(o.cutoffIndex, cutoff);
            }
        }
    }
}

TEST(CaseFile, WrittenFileIsTheLayoutEveryVersionWrites) {
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "WebAssembly takes its time zone from the host, never from TZ";
#endif
    const ZoneSet zone("CET-1");  // one hour east of UTC all year
    CaseValues values;
    values.entries = {"10", "12.5", "", "7", "9", "10", "11", "19"};
    values.options = {3, true, false, true, 2};
    values.notes = kBom + "Case \"0417\"\n\xC3\xA9t\xC3\xA9 " + kBom + "\t";
    // 2025-03-04 09:15:00 UTC, with a fraction of a second that is not written.
    const auto saved =
        std::chrono::system_clock::from_time_t(1741079700) + std::chrono::milliseconds(999);
    EXPECT_EQ(CaseFileContent(values, saved),
              "{\n"
              "    \"entries\": {\n"
              "        \"BD\": \"10\",\n"
              "        \"CD\": \"7\",\n"
              "        \"DS\": \"\",\n"
              "        \"LN\": \"10\",\n"
              "        \"MR\": \"11\",\n"
              "        \"SI\": \"12.5\",\n"
              "        \"SS\": \"19\",\n"
              "        \"VO\": \"9\"\n"
              "    },\n"
              "    \"notes\": \"\\ufeffCase \\\"0417\\\"\\n\xC3\xA9t\xC3\xA9 \\ufeff\\t\",\n"
              "    \"options\": {\n"
              "        \"abnormal\": 10,\n"
              "        \"bonferroni\": false,\n"
              "        \"ci\": 90,\n"
              "        \"differences\": \"true\",\n"
              "        \"gai\": true,\n"
              "        \"method\": \"glutting\"\n"
              "    },\n"
              "    \"program\": \"ORVALE " ORVALE_VERSION
              "\",\n"
              "    \"saved\": \"2025-03-04T10:15:00+01:00\",\n"
              "    \"schema\": 1\n"
              "}\n");
}

TEST(CaseFile, HandWrittenFileReads) {
    const auto read =
        ParseCaseFile(kBom + HandWritten(kEntries, kOptions, R"(, "notes": "a\r\nb", "x": 1)"));
    ASSERT_TRUE(read.values) << read.error;
    EXPECT_EQ(read.values->entries,
              (std::array<std::string, 8>{"10", "12.5", "", "7.", "09", "10", "1 2", "19"}));
    EXPECT_EQ(read.values->options.confidenceMethod, 3);
    EXPECT_EQ(read.values->options.cutoffIndex, 3);
    EXPECT_EQ(read.values->notes, "a\nb");
    // Notes count characters, as the notes box does: 250 emoji are 1000 bytes.
    std::string emoji;
    for (int k = 0; k < 250; ++k) emoji += "\xF0\x9F\x98\x80";
    const auto full =
        ParseCaseFile(HandWritten(kEntries, kOptions, ", \"notes\": \"" + emoji + '"'));
    ASSERT_TRUE(full.values) << full.error;
    EXPECT_EQ(full.values->notes, emoji);
}

// JSON numbers stand for their exact values: an option or the schema may be written in any form
// of the value it takes, never as a nearby value.
TEST(CaseFile, OptionNumbersInAnyFormOfTheirExactValue) {
    const struct {
        std::string from, to;
        int confidenceMethod, cutoffIndex;
    } rows[] = {
        {"\"ci\": 90", "\"ci\": 95.0", 2, 3},
        {"\"ci\": 90", "\"ci\": 9.5e1", 2, 3},
        {"\"ci\": 90", "\"ci\": 950E-1", 2, 3},
        {"\"abnormal\": 15", "\"abnormal\": 1e1", 3, 2},
        {"\"abnormal\": 15", "\"abnormal\": 5.000", 3, 1},
        {"\"abnormal\": 15", "\"abnormal\": \"10\"", 3, 2},
    };
    for (const auto& row : rows) {
        const auto read =
            ParseCaseFile(HandWritten(kEntries, Replaced(kOptions, row.from, row.to)));
        ASSERT_TRUE(read.values) << row.to << ": " << read.error;
        EXPECT_EQ(read.values->options.confidenceMethod, row.confidenceMethod) << row.to;
        EXPECT_EQ(read.values->options.cutoffIndex, row.cutoffIndex) << row.to;
    }
    EXPECT_TRUE(ParseCaseFile(Replaced(HandWritten(kEntries, kOptions), "1,", "1.0,")).values);
}

TEST(CaseFile, BadFilesAreRefusedWithTheirReason) {
    const auto options = [](const std::string& replaced, const std::string& by) {
        return HandWritten(kEntries, Replaced(kOptions, replaced, by));
    };
    const auto entries = [](const std::string& replaced, const std::string& by) {
        return HandWritten(Replaced(kEntries, replaced, by), kOptions);
    };
    const auto notes = [](const std::string& text) {
        return HandWritten(kEntries, kOptions, ", \"notes\": \"" + text + '"');
    };
    const std::string noJson = "it is not a case file (no valid JSON: ";
    const struct {
        std::string content;
        std::string reason;
    } cases[] = {
        {"", noJson},
        {"BD,SI\n1,2\n", noJson},
        {"[1, 2]", "it is not a case file (no JSON object)"},
        {"{\"entries\": {}}", "it is not a case file (it has no schema version)"},
        {Replaced(HandWritten(kEntries, kOptions), "1,", "2,"),
         "its schema version is 2; this program reads version 1"},
        {Replaced(HandWritten(kEntries, kOptions), "1,", "\"1\","),
         "its schema version is not a number; this program reads version 1"},
        {Replaced(HandWritten(kEntries, kOptions), "1,", "1.0000000000000001,"),
         "its schema version is 1.0000000000000001; this program reads version 1"},
        {entries("\"10\", \"SI\"", "\"1x2\", \"SI\""),
         "the BLOCK DESIGN entry \"1x2\" is not a number"},
        {entries("\"19\"", "\"1-9\""), "the SYMBOL SEARCH entry \"1-9\" is not a number"},
        {entries("\"LN\": \"10\"", "\"LN\": 10"),
         "the LETTER-NUMBER SEQ entry (\"LN\") is missing or not a text"},
        {entries("\"19\"", '"' + std::string(65, '1') + '"'),
         "the SYMBOL SEARCH entry is longer than 64 characters"},
        // A U+FEFF is a character of the text like any other, escaped or raw.
        {entries("\"10\", \"SI\"", "\"\\uFEFF12\", \"SI\""),
         "the BLOCK DESIGN entry \"" + kBom + "12\" is not a number"},
        {entries("\"10\", \"SI\"", "\"" + kBom + "12\", \"SI\""),
         "the BLOCK DESIGN entry \"" + kBom + "12\" is not a number"},
        {options("\"abnormal\": 15", "\"abnormal\": 20"),
         "the option \"abnormal\" must be 5, 10 or 15, not 20"},
        {options("\"abnormal\": 15", "\"abnormal\": 15.5"),
         "the option \"abnormal\" must be 5, 10 or 15, not 15.5"},
        {options("\"ci\": 90", "\"ci\": 95.0000001"),
         "the option \"ci\" must be 95 or 90, not 95.0000001"},
        {options("\"ci\": 90", "\"ci\": 95.00000000000000001"),  // the same double as 95
         "the option \"ci\" must be 95 or 90, not 95.00000000000000001"},
        {options("\"ci\": 90", "\"ci\": \"99\""), "the option \"ci\" must be 95 or 90, not \"99\""},
        {options("\"ci\": 90", "\"ci\": null"), "the option \"ci\" must be 95 or 90, not null"},
        {options("\"method\": \"glutting\", ", ""),
         "the option \"method\" must be traditional or glutting, not missing"},
        {options("\"gai\": false", "\"gai\": 0"), "the option \"gai\" must be true or false"},
        {notes(std::string(251, 'n')), "its notes are longer than 250 characters"},
        {HandWritten(kEntries, kOptions, ", \"notes\": [\"a\"]"),
         "its notes (\"notes\") are not a text"},
        // A NUL would go raw into the report and into saved text.
        {notes(R"(Case\u0000 0417)"),
         "its notes hold a control character (U+0000); notes may hold line breaks and tabs but "
         "no other control character"},
        {notes(R"(a\u0007)"), "its notes hold a control character (U+0007)"},
        {notes(R"(half \ud83d pair)"), "its notes hold half of a UTF-16 surrogate pair"},
        {notes(R"(\udc00 low half)"), "its notes hold half of a UTF-16 surrogate pair"},
        // What JSON does not allow makes the file invalid, wherever it stands.
        {entries("\"10\", \"SI\"", R"("\ud83d1", "SI")"),
         noJson + "half of a UTF-16 surrogate pair at byte "},
        {notes(R"(\x41)"), noJson + "invalid escape sequence at byte "},
        {notes(R"(\u12)"), noJson + "invalid escape sequence at byte "},
        {notes("\xE9t\xE9"), noJson + "invalid UTF8 string at byte "},
        {notes("tab\there"), noJson + "control character in a string at byte "},
        {"{\"a\": 95.}", noJson + "illegal number at byte 10)"},
        {options("\"ci\": 90", "\"ci\": 095"), noJson},
        {options("\"ci\": 90", "\"ci\": +95"), noJson},
        {options("\"ci\": 90", "\"ci\": .95e2"), noJson},
        {options("\"ci\": 90", "\"ci\": NaN"), noJson + "illegal value at byte "},
        {options("\"ci\": 90", "\"ci\": 'x'"), noJson},
        {HandWritten(kEntries, kOptions, ","), noJson},
        {HandWritten(kEntries, kOptions) + " {}", noJson + "garbage at the end of the document"},
        {HandWritten(kEntries, kOptions) + " // saved", noJson},
        {HandWritten(kEntries, kOptions) + std::string(1, '\0') + "{}",
         noJson + "garbage at the end of the document at byte "},
        {"{\"schema\" 1}", noJson + "missing name separator at byte "},
        {"{\"schema\": 1", noJson + "unterminated object at byte "},
    };
    for (const auto& bad : cases) {
        const auto read = ParseCaseFile(bad.content);
        EXPECT_FALSE(read.values) << bad.content;
        EXPECT_TRUE(read.error.starts_with(bad.reason))
            << read.error << "\n  for " << bad.content.substr(0, 120);
    }
}

}  // namespace
