// SPDX-License-Identifier: GPL-3.0-or-later
// The user's notes: see notes.h. Texts are UTF-8 read strictly (no overlong forms, no encoded
// surrogates); a byte that starts no valid sequence is a character of its own, so text in
// another encoding is counted, wrapped and printed byte for byte, never split inside a sequence.
#include "report/notes.h"

#include <algorithm>
#include <cstdio>

#include "report/utf8.h"

namespace orvale {

namespace {

// Appends the report lines of one line of the notes (no line feed in it) to lines.
void WrapLine(std::string_view line, std::size_t columns, std::vector<std::string>& lines) {
    std::vector<std::size_t> starts;  // byte offset of each character, then the line's size
    std::vector<char32_t> codes;
    for (std::size_t at = 0; at < line.size();) {
        const Utf8Character character = Utf8CharacterAt(line, at);
        starts.push_back(at);
        codes.push_back(character.code);
        at += character.size;
    }
    starts.push_back(line.size());
    const std::size_t size = codes.size();
    const auto piece = [&](std::size_t from, std::size_t to) {
        return std::string(line.substr(starts[from], starts[to] - starts[from]));
    };
    if (size == 0) lines.emplace_back();
    for (std::size_t start = 0; start < size;) {
        if (size - start <= columns) {
            lines.push_back(piece(start, size));
            break;
        }
        // The last break after a run of blanks whose text before it fits; the blanks hang.
        std::size_t end = 0;
        for (std::size_t k = start + 1; k <= start + columns; ++k) {
            if (codes[k - 1] == U' ' || codes[k] != U' ') continue;
            end = k;
            while (end < size && codes[end] == U' ') ++end;
        }
        if (end == 0) {
            // One long word: broken before the last character that fits, or before the base of
            // the combining marks that would start the next line.
            end = start + columns;
            std::size_t base = end;
            while (base > start && IsCombiningMark(codes[base])) --base;
            if (base > start) end = base;
        }
        lines.push_back(piece(start, end));
        start = end;
    }
}

}  // namespace

bool IsRefusedInNotes(char32_t character) {
    if (character == U'\t' || character == U'\n') return false;
    return character < 0x20 || (character >= 0x7F && character <= 0x9F);
}

std::string NotesWithLineFeeds(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '\r') {
            result.push_back(text[k]);
        } else if (k + 1 == text.size() || text[k + 1] != '\n') {
            result.push_back('\n');
        }
    }
    return result;
}

std::string NotesWithoutRefusedCharacters(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = Utf8CharacterAt(text, at);
        if (character.code == kNotUtf8 || !IsRefusedInNotes(character.code)) {
            result.append(text.substr(at, character.size));
        }
        at += character.size;
    }
    return result;
}

std::size_t NotesLength(std::string_view text) {
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size(); ++length) at += Utf8CharacterAt(text, at).size;
    return length;
}

std::string NotesPrefix(std::string_view text, std::size_t characters) {
    std::size_t at = 0;
    for (std::size_t k = 0; k < characters && at < text.size(); ++k) {
        at += Utf8CharacterAt(text, at).size;
    }
    return std::string(text.substr(0, at));
}

std::optional<NotesProblem> CheckNotes(std::string_view notes) {
    std::size_t length = 0;
    for (std::size_t at = 0; at < notes.size(); ++length) {
        const Utf8Character character = Utf8CharacterAt(notes, at);
        if (character.code != kNotUtf8 && IsRefusedInNotes(character.code)) {
            return NotesProblem{NotesProblem::Kind::ControlCharacter, character.code};
        }
        at += character.size;
    }
    if (length > kMaxNotesLength) return NotesProblem{NotesProblem::Kind::TooLong, 0};
    return std::nullopt;
}

std::string NotesProblemText(const NotesProblem& problem, std::string_view subject, bool plural) {
    std::string text(subject);
    if (problem.kind == NotesProblem::Kind::TooLong) {
        return text + (plural ? " are" : " is") + " longer than " +
               std::to_string(kMaxNotesLength) + " characters";
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(problem.character));
    return text + (plural ? " hold" : " holds") + " a control character (" + code +
           "); notes may hold line breaks and tabs but no other control character";
}

std::vector<std::string> NotesLines(std::string_view notes, std::size_t columns) {
    std::vector<std::string> lines;
    if (notes.empty()) return lines;
    columns = std::max<std::size_t>(columns, 1);
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = notes.find('\n', from);
        WrapLine(notes.substr(from, end == std::string_view::npos ? end : end - from), columns,
                 lines);
        if (end == std::string_view::npos) break;
        from = end + 1;
    }
    // A line feed at the very end starts no further line (but "\n" alone is one empty line).
    if (lines.size() > 1 && notes.back() == '\n') lines.pop_back();
    return lines;
}

}  // namespace orvale
