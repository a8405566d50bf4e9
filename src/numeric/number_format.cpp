// SPDX-License-Identifier: GPL-3.0-or-later
// The report's number formatter: see number_format.h.
#include "numeric/number_format.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace orvale {

namespace {

// Significant digits the value is reduced to before the report rounds it: the precision of the
// 80-bit extended type's decimal conversion.
constexpr int kSignificantDigits = 18;

// Largest width or number of decimals a placeholder may give: far beyond any report line.
constexpr int kMaxPlaceholderNumber = 999;

// Decimals of a "%f" placeholder that gives none, as in printf.
constexpr int kDefaultDecimals = 6;

std::string PadLeft(std::string text, int width) {
    if (width > 0 && static_cast<int>(text.size()) < width) {
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    }
    return text;
}

// The magnitude of value rounded at the given decimal, as the digits of an integer scaled by
// 10^decimals, by the report's rule: reduce to 18 significant digits, then round that decimal
// string with halves away from zero.
std::string RoundedDigitsExact(Extended magnitude, int decimals) {
    // Scientific notation with 18 significant digits: "d.ddddddddddddddddde[+-]x".
    const std::string printed = PrintScientific(magnitude, kSignificantDigits - 1);
    const std::string_view text(printed);
    const std::size_t exponentAt = text.find('e');
    std::string digits;  // the 18 significant digits
    for (char c : text.substr(0, exponentAt)) {
        if (c != '.') digits.push_back(c);
    }
    if (digits.find_first_not_of('0') == std::string::npos) return "0";
    int exponent = 0;
    const std::string_view exponentText = text.substr(exponentAt + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);

    // The value is 0.digits x 10^(exponent + 1). Digits kept, counted from the first significant
    // one, up to the last shown decimal:
    const long kept = exponent + 1L + decimals;
    if (kept >= static_cast<long>(digits.size())) {
        return digits + std::string(static_cast<std::size_t>(kept) - digits.size(), '0');
    }
    if (kept < 0) return "0";
    std::string result = digits.substr(0, static_cast<std::size_t>(kept));
    if (digits[static_cast<std::size_t>(kept)] >= '5') {
        // Round the magnitude up: halves go away from zero.
        std::size_t i = result.size();
        while (i > 0 && result[i - 1] == '9') result[--i] = '0';
        if (i > 0) {
            ++result[i - 1];
        } else {
            result.insert(result.begin(), '1');
        }
    }
    if (result.empty()) result.push_back('0');
    return result;
}

// The same digits when they can be had from extended arithmetic alone: the scaled magnitude is
// small enough for its rounding error (below 1e-10) and for the 18-digit reduction (below 5e-9)
// to be far from a half, so both roundings agree. Empty when the value lies near a half.
std::string RoundedDigitsFast(Extended magnitude, int decimals) {
    constexpr Extended kLargest = 1e9;  // scaled magnitudes handled here
    // The required distance from a half.
    constexpr Extended kMargin = ExtendedConstant(1e-6L, 0x3FEB, 0x8637'BD05'AF6C'69B6ULL);
    if (decimals > 9) return {};
    Extended scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const Extended scaled = magnitude * scale;
    if (!(scaled < kLargest)) return {};
    const Extended whole = Floor(scaled);
    const Extended fraction = scaled - whole;
    if (Fabs(fraction - 0.5) <= kMargin) return {};
    const auto rounded = static_cast<std::uint64_t>(ToInt64(whole)) + (fraction > 0.5 ? 1 : 0);
    char buffer[24];
    const auto converted = std::to_chars(buffer, buffer + sizeof buffer, rounded);
    return std::string(buffer, converted.ptr);
}

// One placeholder of a format string, its leading "%" excluded: "w.df", "wd" or "ws".
struct Placeholder {
    int width = 0;
    int decimals = -1;  // -1 when the placeholder gives none
    char kind = 0;      // the letter that ends it, not yet checked
};

[[noreturn]] void Refuse(std::string_view what, std::string_view format) {
    throw std::invalid_argument("FormatLine: " + std::string(what) + " \"" + std::string(format) +
                                "\"");
}

// A width or a number of decimals starting at format[at], at left past it; one beyond
// kMaxPlaceholderNumber is refused before it can overflow the int (or ask for a line of
// billions of characters).
int ReadPlaceholderNumber(std::string_view format, std::size_t& at) {
    int n = 0;
    while (at < format.size() && format[at] >= '0' && format[at] <= '9') {
        n = n * 10 + (format[at] - '0');
        if (n > kMaxPlaceholderNumber) Refuse("placeholder number too large in", format);
        ++at;
    }
    return n;
}

// The placeholder starting at format[at], just after its "%"; at is left past its letter.
Placeholder ReadPlaceholder(std::string_view format, std::size_t& at) {
    Placeholder placeholder;
    placeholder.width = ReadPlaceholderNumber(format, at);
    if (at < format.size() && format[at] == '.') {
        ++at;
        placeholder.decimals = ReadPlaceholderNumber(format, at);
    }
    if (at >= format.size()) Refuse("unfinished placeholder in", format);
    placeholder.kind = format[at++];
    return placeholder;
}

// One argument written as the placeholder asks; a letter other than f, d and s, or an argument
// of the wrong type, is refused.
std::string FormatArgumentAs(const Placeholder& placeholder, const FormatArgument& argument,
                             char decimalSeparator, std::string_view format) {
    const int decimals = placeholder.decimals < 0 ? kDefaultDecimals : placeholder.decimals;
    switch (placeholder.kind) {
        case 'f':
            if (const auto* number = std::get_if<Extended>(&argument)) {
                return FormatFixed(*number, placeholder.width, decimals, decimalSeparator);
            }
            if (const auto* whole = std::get_if<int>(&argument)) {
                return FormatFixed(*whole, placeholder.width, decimals, decimalSeparator);
            }
            throw std::invalid_argument("FormatLine: %f needs a number");
        case 'd':
            if (const auto* whole = std::get_if<int>(&argument);
                whole && placeholder.decimals < 0) {
                return PadLeft(std::to_string(*whole), placeholder.width);
            }
            throw std::invalid_argument("FormatLine: %d needs an integer");
        case 's':
            if (const auto* text = std::get_if<std::string_view>(&argument)) {
                return PadLeft(std::string(*text), placeholder.width);
            }
            throw std::invalid_argument("FormatLine: %s needs a string");
        default:
            Refuse("unknown placeholder in", format);
    }
}

}  // namespace

std::string FormatFixed(Extended value, int width, int decimals, char decimalSeparator) {
    if (decimals < 0) throw std::invalid_argument("FormatFixed: negative number of decimals");
    if (IsNan(value)) return PadLeft("NaN", width);
    if (IsInf(value)) return PadLeft(value < 0 ? "-Inf" : "Inf", width);

    const Extended magnitude = Fabs(value);
    std::string result = RoundedDigitsFast(magnitude, decimals);
    if (result.empty()) result = RoundedDigitsExact(magnitude, decimals);
    // Leading zeros so that one digit stands before the point.
    if (static_cast<int>(result.size()) < decimals + 1) {
        result.insert(0, static_cast<std::size_t>(decimals + 1) - result.size(), '0');
    }
    const bool isZero = result.find_first_not_of('0') == std::string::npos;

    std::string out;
    out.reserve(static_cast<std::size_t>(std::max(width, 8)) + result.size());
    if (SignBit(value) && !isZero) out.push_back('-');
    const std::size_t pointAt = result.size() - static_cast<std::size_t>(decimals);
    std::size_t firstIntegerDigit = result.find_first_not_of('0');
    if (firstIntegerDigit == std::string::npos || firstIntegerDigit >= pointAt) {
        firstIntegerDigit = pointAt - 1;
    }
    out.append(result, firstIntegerDigit, pointAt - firstIntegerDigit);
    if (decimals > 0) {
        out.push_back(decimalSeparator);
        out.append(result, pointAt, std::string::npos);
    }
    return PadLeft(std::move(out), width);
}

std::string FormatLine(std::string_view format, std::initializer_list<FormatArgument> args,
                       char decimalSeparator) {
    std::string out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != '%') {
            out.push_back(format[i++]);
            continue;
        }
        if (format.substr(i, 2) == "%%") {
            out.push_back('%');
            i += 2;
            continue;
        }
        ++i;
        const Placeholder placeholder = ReadPlaceholder(format, i);
        if (next == args.end()) Refuse("too few arguments for", format);
        out += FormatArgumentAs(placeholder, *next++, decimalSeparator, format);
    }
    if (next != args.end()) Refuse("too many arguments for", format);
    return out;
}

}  // namespace orvale
