// SPDX-License-Identifier: GPL-3.0-or-later
// Score-field entry routines: key filter, length limit, the score and cell parsers and the
// scaled-score range check.
#include "engine/entry.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

#include "engine/tables.h"
#include "numeric/number_format.h"

namespace orvale {

namespace {

// How a parser treats the few points where the score field and a grid cell differ.
struct ParseRules {
    bool commaIsDecimalMark;
};

// Result of the shared digit walk: the value, or rejected.
struct DigitWalk {
    double value = 0.0;
    bool rejected = false;
};

// 10^27 = 2^27 x 5^27 with 5^27 below 2^64: the largest power of ten that the 80-bit extended
// type holds exactly.
constexpr std::size_t kLargestExactDecimalPlace = 27;

// The contribution d / 10^k of the digit d in the k-th decimal, rounded once to extended as a
// division by the exact power of ten rounds it. While 10^k is exact in extended (k <= 27) that
// division is made as it stands; it equals d / IntegerPower(10, k) while that fits 32 bits
// (k <= 9). Beyond, the quotient is read as the decimal "de-k", which FromChars rounds
// correctly. A quotient below the range of extended (past about the 4950th decimal) counts
// as 0: it is far too small to change the stored double.
Extended FractionDigitValue(int digit, std::size_t position) {
    static const std::array<Extended, kLargestExactDecimalPlace + 1> powersOfTen = [] {
        std::array<Extended, kLargestExactDecimalPlace + 1> powers{};
        powers[0] = 1.0;
        for (std::size_t k = 1; k < powers.size(); ++k) powers[k] = powers[k - 1] * 10;
        return powers;
    }();
    if (position <= kLargestExactDecimalPlace) return digit / powersOfTen[position];
    char text[32];
    char* end = text;
    *end++ = static_cast<char>('0' + digit);
    *end++ = 'e';
    *end++ = '-';
    end = std::to_chars(end, text + sizeof text, position).ptr;
    Extended quotient = 0.0;
    const auto converted = FromChars(text, end, quotient);
    return converted.ec == std::errc() ? quotient : Extended{0.0};
}

// Accumulates an optional leading minus, digits and at most one decimal mark, ignoring blanks.
// Each digit's contribution is formed in extended precision and the running value is stored as a
// double after each digit. The place value of every decimal is exact, however long a pasted text
// is (a 32-bit integer power of ten would wrap from the tenth decimal on).
DigitWalk WalkDigits(std::string_view text, const ParseRules& rules) {
    DigitWalk walk;
    bool negative = false;
    bool inFraction = false;
    std::size_t decimalPosition = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ') continue;
        if (c == '-') {
            if (i != 0) {
                walk.rejected = true;
                return walk;
            }
            negative = true;
        } else if (c == '.' || (c == ',' && rules.commaIsDecimalMark)) {
            if (inFraction) {
                walk.rejected = true;
                return walk;
            }
            inFraction = true;
            decimalPosition = 1;
        } else if (c >= '0' && c <= '9') {
            const int digit = c - '0';
            if (!inFraction) {
                walk.value = ToDouble(Extended{walk.value} * 10 + digit);
            } else {
                walk.value =
                    ToDouble(Extended{walk.value} + FractionDigitValue(digit, decimalPosition));
                ++decimalPosition;
            }
        } else {
            walk.rejected = true;
            return walk;
        }
    }
    // A lone minus sign converts to zero, not to a negative zero.
    if (negative && walk.value != 0.0) walk.value = -walk.value;
    return walk;
}

std::string Quoted(std::string_view caption, std::string_view text) {
    std::string s;
    s += caption;
    s += "  ";
    s += text;
    return s;
}

}  // namespace

char FilterNumericKey(char typed) {
    if (typed == ',') return '.';
    if (typed == '\b' || typed == '\t' || typed == '\r' || typed == '-' || typed == '.' ||
        (typed >= '0' && typed <= '9')) {
        return typed;
    }
    return '\0';
}

std::optional<std::string> FilterNumericText(std::string_view text) {
    std::string inserted;
    for (const char c : text) {
        const char filtered = static_cast<unsigned char>(c) < 128 ? FilterNumericKey(c) : '\0';
        if (filtered == '\0') return std::nullopt;
        if (filtered == '\b' || filtered == '\t' || filtered == '\r') continue;
        inserted.push_back(filtered);
    }
    return inserted;
}

std::string LimitEntryLength(std::string_view text) {
    // Texts are UTF-8: count characters, not bytes, so a pasted non-ASCII character is never
    // split. A byte of the form 10xxxxxx continues the character before it.
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && characters++ == kMaxEntryLength) return std::string(text.substr(0, i));
    }
    return std::string(text);
}

ParsedEntry ParseScoreEntry(std::string_view text, std::string_view caption) {
    ParsedEntry result;
    if (text.empty()) {
        result.error = "INPUT ERROR\r\r(  " + Quoted(caption, text) +
                       ")\r\rData have not been entered in this field.";
        return result;
    }
    const DigitWalk walk = WalkDigits(text, ParseRules{.commaIsDecimalMark = false});
    if (walk.rejected) {
        result.error =
            "INPUT ERROR\r(  " + Quoted(caption, text) + "  )\r\rEnter numeric data only.";
        return result;
    }
    result.value = walk.value;
    return result;
}

std::optional<std::string> CheckScaledScoreRange(std::string_view caption, double value) {
    if (value >= kMinScaledScore && value <= kMaxScaledScore) return std::nullopt;
    // "%3.3f" with the program's rounding and a full stop: only the report follows the user's
    // decimal separator.
    return "INPUT ERROR\r(  " + Quoted(caption, FormatFixed(value, 3, 3)) +
           "  )\rThe valid range for Wechsler subtest scaled scores is 1 to 19 ";
}

ParsedEntry CheckScoreEntry(int field, std::string_view text) {
    const std::string_view caption = kSubtestCaptions.at(static_cast<std::size_t>(field));
    ParsedEntry parsed = ParseScoreEntry(text, caption);
    if (parsed.ok()) parsed.error = CheckScaledScoreRange(caption, parsed.value);
    return parsed;
}

std::string MessageWithLineBreaks(std::string_view message) {
    std::string text(message);
    for (char& c : text) {
        if (c == '\r') c = '\n';
    }
    return text;
}

std::string MessageOnOneLine(std::string_view message) {
    std::string line;
    for (char c : message) {
        if (c == '\r') {
            if (!line.empty() && line.back() != ' ') line.push_back(' ');
        } else {
            line.push_back(c);
        }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

ParsedEntry ParseCellEntry(std::string_view text) {
    ParsedEntry result;
    if (text.empty()) return result;
    const DigitWalk walk = WalkDigits(text, ParseRules{.commaIsDecimalMark = true});
    if (walk.rejected) {
        result.error = std::string(kInvalidCellMessage);
        return result;
    }
    result.value = walk.value;
    return result;
}

int IntegerPower(int base, int exponent) {
    // 32-bit arithmetic that wraps on overflow like the original integer routine, without the
    // undefined behaviour of signed overflow.
    std::uint32_t result = 1;
    for (int i = 0; i < exponent; ++i) result *= static_cast<std::uint32_t>(base);
    return static_cast<int>(result);
}

}  // namespace orvale
