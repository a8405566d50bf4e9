// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 read strictly (no overlong forms, no encoded surrogates, nothing beyond U+10FFFF): the one
// decoder of the notes rule and the JSON writer. A byte that starts no valid sequence counts as a
// character of its own, so text in another encoding is never split inside a sequence.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvale {

inline constexpr char32_t kNotUtf8 = 0xFFFFFFFF;  // a byte that starts no valid UTF-8 sequence

struct Utf8Character {
    std::size_t size = 1;  // bytes
    char32_t code = kNotUtf8;
};

// The character that starts at text[at] (at < text.size()).
Utf8Character Utf8CharacterAt(std::string_view text, std::size_t at);

// The text with each byte that starts no valid sequence replaced by U+FFFD: what a reader that
// must have Unicode (a JSON document) is given.
std::string ValidUtf8(std::string_view text);

// The number of UTF-16 units of the text (a character beyond U+FFFF takes two).
std::size_t Utf16Length(std::string_view text);

// True for a combining mark of Unicode 14.0 (categories Mn, Mc, Me): a character that belongs
// to the one before it.
bool IsCombiningMark(char32_t code);

}  // namespace orvale
