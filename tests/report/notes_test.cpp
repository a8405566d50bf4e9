// SPDX-License-Identifier: GPL-3.0-or-later
// The notes rule: which notes are refused and why, and the report lines of notes wrapped at words
// and between whole characters, written out by hand.
#include "report/notes.h"

#include <gtest/gtest.h>

namespace orvale {
namespace {

std::string Repeated(const std::string& text, int times) {
    std::string result;
    for (int k = 0; k < times; ++k) result += text;
    return result;
}

const std::string kEmoji = "\xF0\x9F\x98\x80";  // U+1F600, a surrogate pair in UTF-16
const std::string kAcute = "\xCC\x81";          // U+0301 COMBINING ACUTE ACCENT

TEST(Notes, CheckRefusesControlCharactersAndMoreThan250Characters) {
    const auto control = [](const char* code) {
        return std::string("its notes hold a control character (") + code +
               "); notes may hold line breaks and tabs but no other control character";
    };
    const struct {
        const char* name;
        std::string notes;
        std::string problem;  // empty when the notes are accepted
    } rows[] = {
        {"empty", "", ""},
        {"250 letters", std::string(250, 'a'), ""},
        {"251 letters", std::string(251, 'a'), "its notes are longer than 250 characters"},
        {"an emoji is one character", std::string(249, 'a') + kEmoji, ""},
        {"and the 251st", std::string(250, 'a') + kEmoji,
         "its notes are longer than 250 characters"},
        {"250 two-byte letters", Repeated("\xC3\xA9", 250), ""},
        {"a byte that is not UTF-8 is one character", std::string(250, '\xE9'), ""},
        {"base and combining mark are two", Repeated(std::string("e") + kAcute, 126),
         "its notes are longer than 250 characters"},
        {"tab and line feed", "a\tb\n\nc\n", ""},
        {"NUL", std::string("a\0b", 3), control("U+0000")},
        {"escape", "\x1B[31m", control("U+001B")},
        {"carriage return left in", "a\rb", control("U+000D")},
        {"delete", "\x7F", control("U+007F")},
        {"C1 next line", "a\xC2\x85", control("U+0085")},
        {"the byte of C1 next line alone is not UTF-8", "a\x85", ""},
        {"no-break space", "a\xC2\xA0", ""},
        {"a control character is named before the length", std::string(300, 'a') + "\x07",
         control("U+0007")},
    };
    for (const auto& row : rows) {
        const std::optional<NotesProblem> problem = CheckNotes(row.notes);
        EXPECT_EQ(problem ? NotesProblemText(*problem, "its notes", true) : "", row.problem)
            << row.name;
    }
    const NotesProblem tooLong{NotesProblem::Kind::TooLong, 0};
    EXPECT_EQ(NotesProblemText(tooLong, "--notes", false), "--notes is longer than 250 characters");
    EXPECT_EQ(NotesWithLineFeeds("a\r\nb\rc\n\r\r\n"), "a\nb\nc\n\n\n");
}

TEST(Notes, LinesWrapAtWordsAndBetweenWholeCharacters) {
    const struct {
        const char* name;
        std::string notes;
        std::size_t columns;
        std::vector<std::string> lines;
    } rows[] = {
        {"empty", "", 10, {}},
        {"short", "short", 10, {"short"}},
        {"final line feed", "a\n", 10, {"a"}},
        {"only a line feed", "\n", 10, {""}},
        {"inner empty line", "a\n\nb", 10, {"a", "", "b"}},
        {"exactly full", "0123456789", 10, {"0123456789"}},
        {"at a word", "one two three four", 10, {"one two ", "three four"}},
        {"at the last word that fits", "one two three fours", 10, {"one two ", "three ", "fours"}},
        {"blanks hang", "one two   three", 10, {"one two   ", "three"}},
        {"long word broken", "abcdefghijklmno pq", 10, {"abcdefghij", "klmno pq"}},
        {"a blank after a full line", "0123456789 x", 10, {"0123456789 ", "x"}},
        {"90 letters and an emoji fit 91 columns",
         std::string(90, 'a') + kEmoji,
         91,
         {std::string(90, 'a') + kEmoji}},
        {"the emoji moves whole",
         std::string(91, 'a') + kEmoji,
         91,
         {std::string(91, 'a'), kEmoji}},
        {"emoji in words", kEmoji + kEmoji + " abc def", 5, {kEmoji + kEmoji + " ", "abc ", "def"}},
        {"a mark stays with its base",
         std::string("abcdefghie") + kAcute + "x",
         10,
         {"abcdefghi", std::string("e") + kAcute + "x"}},
        {"two marks too",
         std::string("abcdefghe") + kAcute + kAcute + "x",
         10,
         {"abcdefgh", std::string("e") + kAcute + kAcute + "x"}},
        // Marks of other kinds and scripts (Unicode's charts): a Devanagari vowel sign (Mc), a
        // Hebrew point (Mn), an enclosing circle (Me), the last mark below U+10000 and one
        // beyond; a spacing accent (U+00B4) and U+0370 right after the combining block are none.
        {"marks of every kind stay with their base",
         "abcdefgh\xE0\xA4\x95\xE0\xA4\xBE\xD6\xB0\xE2\x83\x9D\xEF\xB8\xAF\xF0\x9D\x85\xA5x",
         10,
         {"abcdefgh", "\xE0\xA4\x95\xE0\xA4\xBE\xD6\xB0\xE2\x83\x9D\xEF\xB8\xAF\xF0\x9D\x85\xA5x"}},
        {"a spacing accent and U+0370 are characters of their own",
         "abcdefghi\xC2\xB4\xCD\xB0",
         10,
         {"abcdefghi\xC2\xB4", "\xCD\xB0"}},
        {"a base with more marks than a line is broken anyway",
         std::string("e") + Repeated(kAcute, 12),
         10,
         {std::string("e") + Repeated(kAcute, 9), Repeated(kAcute, 3)}},
        {"bytes that are not UTF-8 break between bytes",
         std::string(12, '\xE9'),
         10,
         {std::string(10, '\xE9'), "\xE9\xE9"}},
        {"a cut UTF-8 sequence is three bytes",
         "abcdefghi\xF0\x9F\x98",
         10,
         {"abcdefghi\xF0", "\x9F\x98"}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(NotesLines(row.notes, row.columns), row.lines) << row.name;
    }
}

}  // namespace
}  // namespace orvale
