// Score-field entry routines: key filter, length limit, the score and cell parsers and the
// scaled-score range check.
#include "engine/entry.h"

#include <array>
#include <charconv>
#include <cmath>
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

// 10^27 = 2^27 x 5^27 with 5^27 below 2^64: the largest power of ten that long double holds
// exactly.
constexpr std::size_t kLargestExactDecimalPlace = 27;

// The contribution d / 10^k of the digit d in the k-th decimal, rounded once to extended as a
// division by the exact power of ten rounds it. While 10^k is exact in long double (k <= 27) that
// division is made as it stands; it equals d / IntegerPower(10, k) while that fits 32 bits
// (k <= 9). Beyond, the quotient is read as the decimal "de-k", which from_chars rounds
// correctly. A quotient below the range of long double (past about the 4950th decimal) counts
// as 0: it is far too small to change the stored double.
long double FractionDigitValue(int digit, std::size_t position) {
    static const std::array<long double, kLargestExactDecimalPlace + 1> powersOfTen = [] {
        std::array<long double, kLargestExactDecimalPlace + 1> powers{};
        powers[0] = 1.0L;
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
    long double quotient = 0.0L;
    const auto converted = std::from_chars(text, end, quotient);
    return converted.ec == std::errc() ? quotient : 0.0L;
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
                walk.value = static_cast<double>(static_cast<long double>(walk.value) * 10 + digit);
            } else {
                walk.value = static_cast<double>(static_cast<long double>(walk.value) +
                                                 FractionDigitValue(digit, decimalPosition));
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

// Significant decimal digits a value is reduced to before it is rounded for display, as the
// report's numbers are.
constexpr int kSignificantDigits = 18;

// The value as the program's "%3.3f" writes it: reduced to 18 significant digits, that decimal
// string rounded at the third decimal with halves away from zero (0.0625 shows as 0.063), no
// minus sign on a value that rounds to zero (-0.0001 shows as 0.000), and always a point: only
// the report follows the regional decimal separator.
std::string FormatWithThreeDecimals(double value) {
    constexpr std::size_t kDecimals = 3;
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
    char buffer[32];  // "d.<17 digits>e-308" at most
    const auto converted = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                         std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(converted.ptr - buffer));
    const std::size_t exponentAt = text.find('e');
    std::string digits;  // the 18 significant digits d1 d2 ..., standing for d1.d2... x 10^exponent
    for (const char c : text.substr(0, exponentAt)) {
        if (c != '.') digits.push_back(c);
    }
    const std::string_view exponentText = text.substr(exponentAt + 1);
    int exponent = 0;
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);

    // The digits of the magnitude times 1000, rounded: those down to the third decimal.
    const long kept = exponent + 1L + static_cast<long>(kDecimals);
    std::string rounded;
    if (kept >= static_cast<long>(digits.size())) {
        rounded = digits + std::string(static_cast<std::size_t>(kept) - digits.size(), '0');
    } else if (kept >= 0) {
        rounded = digits.substr(0, static_cast<std::size_t>(kept));
        if (digits[static_cast<std::size_t>(kept)] >= '5') {
            std::size_t i = rounded.size();
            while (i > 0 && rounded[i - 1] == '9') rounded[--i] = '0';
            if (i > 0) {
                ++rounded[i - 1];
            } else {
                rounded.insert(rounded.begin(), '1');
            }
        }
    }
    if (rounded.size() < kDecimals + 1) rounded.insert(0, kDecimals + 1 - rounded.size(), '0');
    const bool roundsToZero = rounded.find_first_not_of('0') == std::string::npos;
    std::string formatted = value < 0 && !roundsToZero ? "-" : "";
    formatted.append(rounded, 0, rounded.size() - kDecimals);
    formatted += '.';
    formatted.append(rounded, rounded.size() - kDecimals, kDecimals);
    return formatted;
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
    return "INPUT ERROR\r(  " + Quoted(caption, FormatWithThreeDecimals(value)) +
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
