// Score-field entry routines: key filter, length limit, the score and cell parsers and the
// scaled-score range check.
#include "engine/entry.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

#include "engine/tables.h"

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

// Accumulates an optional leading minus, digits and at most one decimal mark, ignoring blanks.
// Each digit's contribution is formed in extended precision and the running value is stored as a
// double after each digit. The place value of the k-th decimal is kept as a long double power of
// ten: it equals IntegerPower(10, k) exactly while that fits 32 bits (k <= 9), is still exact up
// to 10^27, and never wraps around for longer pasted texts.
DigitWalk WalkDigits(std::string_view text, const ParseRules& rules) {
    DigitWalk walk;
    bool negative = false;
    bool inFraction = false;
    long double placeValue = 1.0L;
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
            placeValue = 10.0L;
        } else if (c >= '0' && c <= '9') {
            const int digit = c - '0';
            if (!inFraction) {
                walk.value = static_cast<double>(static_cast<long double>(walk.value) * 10 + digit);
            } else {
                walk.value =
                    static_cast<double>(static_cast<long double>(walk.value) + digit / placeValue);
                placeValue *= 10;
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

std::string LimitEntryLength(std::string_view text) {
    return std::string(text.substr(0, static_cast<std::size_t>(kMaxEntryLength)));
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
    // The value as "%3.3f" would show it, but always with a point: the desktop program runs
    // under the user's C locale, which may make printf write a decimal comma.
    char buffer[512];  // the longest double in fixed notation with three decimals needs 314
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
    const std::string formatted = ec == std::errc() ? std::string(buffer, end) : std::string();
    return "INPUT ERROR\r(  " + Quoted(caption, formatted) +
           "  )\rThe valid range for Wechsler subtest scaled scores is 1 to 19 ";
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
