// SPDX-License-Identifier: GPL-3.0-or-later
// The user's notes: what they may hold (at most 250 characters, no control characters but the
// line break and the tab) and how the report lays them out (91 columns, wrapped at words). The
// worksheet's notes box, case files and orvale-score --notes all follow this one rule.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvale {

// A character is a Unicode code point; in text that is not UTF-8 (an argument typed in a
// Latin-1 terminal) each byte outside a valid UTF-8 sequence is one character and passes as it is.
inline constexpr std::size_t kMaxNotesLength = 250;  // what the notes box holds
// Characters per report line: the width of the worksheet's notes box in its fixed font.
inline constexpr std::size_t kNotesColumns = 91;

struct NotesProblem {
    enum class Kind { TooLong, ControlCharacter };
    Kind kind = Kind::TooLong;
    char32_t character = 0;  // ControlCharacter: the first one found
};

// True for the control characters notes may not hold: U+0000 to U+001F but the tab and the line
// feed, U+007F and U+0080 to U+009F.
bool IsRefusedInNotes(char32_t character);

// The text with each CR LF or lone CR as a line feed: the one line break notes keep.
std::string NotesWithLineFeeds(std::string_view text);

// The text without the control characters notes may not hold: what the notes box keeps of
// what is typed or pasted into it.
std::string NotesWithoutRefusedCharacters(std::string_view text);

// The number of characters of text.
std::size_t NotesLength(std::string_view text);

// The first `characters` characters of text.
std::string NotesPrefix(std::string_view text, std::size_t characters);

// What keeps notes (line breaks already as line feeds) out of a report, or nullopt when they may
// be used: a control character first, then the length.
std::optional<NotesProblem> CheckNotes(std::string_view notes);

// The problem in words, subject first: "its notes are longer than 250 characters" (plural),
// "--notes holds a control character (U+0007); notes may hold line breaks and tabs but no other
// control character" (singular).
std::string NotesProblemText(const NotesProblem& problem, std::string_view subject, bool plural);

// The report's lines of the notes (line breaks as line feeds): each line of the text wrapped at
// word boundaries to `columns` characters (a word longer than a line is broken between
// characters, a combining mark staying with its base), blanks at a break staying at the end of
// the line; an empty line inside the text is a line, a line break at the very end starts none,
// and an empty text has no lines.
std::vector<std::string> NotesLines(std::string_view notes, std::size_t columns = kNotesColumns);

}  // namespace orvale
