// SPDX-License-Identifier: GPL-3.0-or-later
// Strict UTF-8: see utf8.h.
#include "report/utf8.h"

namespace orvale {

Utf8Character Utf8CharacterAt(std::string_view text, std::size_t at) {
    const auto byte = [text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {1, lead};
    std::size_t size = 0;
    char32_t code = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong below
        if (lead == 0xED) high = 0x9F;  // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong below
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF above
    } else {
        return {};
    }
    if (at + size > text.size()) return {};
    for (std::size_t k = 1; k < size; ++k) {
        const unsigned char next = byte(at + k);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return {};
        code = (code << 6) | (next & 0x3F);
    }
    return {size, code};
}

std::string ValidUtf8(std::string_view text) {
    std::string valid;
    valid.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = Utf8CharacterAt(text, at);
        if (character.code == kNotUtf8) {
            valid += "\xEF\xBF\xBD";
        } else {
            valid.append(text.substr(at, character.size));
        }
        at += character.size;
    }
    return valid;
}

std::size_t Utf16Length(std::string_view text) {
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = Utf8CharacterAt(text, at);
        length += character.code != kNotUtf8 && character.code > 0xFFFF ? 2 : 1;
        at += character.size;
    }
    return length;
}

}  // namespace orvale
