// SPDX-License-Identifier: GPL-3.0-or-later
// The remembered scores: see remembered_scores.h.
#include "batch/remembered_scores.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "engine/entry.h"
#include "numeric/extended.h"

namespace orvale {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";  // UTF-8, as some editors save it
constexpr int kFieldDigits = 6;                              // "%1.6g"

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsWhiteSpace(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// The decimal digits of |value| rounded to kFieldDigits significant digits, halves away from
// zero, and the decimal exponent of the first. printf's own rounding takes the even neighbour of
// an exact half, so the rounding is done here on the exact decimal expansion.
std::pair<std::string, int> SixDigits(double value) {
    const DecimalDigits exact = ExactDecimal(Extended{value});
    std::string kept = exact.digits.substr(0, kFieldDigits);
    kept.resize(kFieldDigits, '0');
    int exponent = exact.exponent;
    if (exact.digits.size() > kFieldDigits && exact.digits[kFieldDigits] >= '5') {
        int k = kFieldDigits - 1;
        while (k >= 0 && kept[static_cast<std::size_t>(k)] == '9') {
            kept[static_cast<std::size_t>(k--)] = '0';
        }
        if (k >= 0) {
            ++kept[static_cast<std::size_t>(k)];
        } else {  // every digit was a 9 and is now a 0: 999999.5 becomes 100000 x 10
            kept[0] = '1';
            ++exponent;
        }
    }
    return {kept, exponent};
}

std::string WithoutTrailingZeros(std::string text) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    return text;
}

}  // namespace

std::string RememberedScoresLine(const std::vector<std::string>& entries) {
    std::string line;
    for (const std::string& entry : entries) {
        std::string text;
        for (const char c : entry) {
            if (c != ' ') text.push_back(c);
        }
        // Validated entries are ASCII. A longer text is no number the reader takes whole: the
        // value Compute used is written instead.
        if (text.size() > kMaxFileNumberLength) {
            const ParsedEntry parsed = ParseScoreEntry(text, "");
            char buffer[32];
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, parsed.value).ptr;
            text.assign(buffer, end);
        }
        line += text;
        line += ' ';
    }
    return line;
}

std::optional<double> ParseFileNumber(std::string_view token) {
    std::size_t i = 0;
    const std::size_t n = token.size();
    if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
    const std::size_t mantissaStart = i;
    int digits = 0;
    while (i < n && IsDigit(token[i])) ++i, ++digits;
    if (i < n && token[i] == '.') {
        ++i;
        while (i < n && IsDigit(token[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
        int exponentDigits = 0;
        while (i < n && IsDigit(token[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    // from_chars knows no leading '+'; the sign is applied here.
    double value = 0;
    const char* end = token.data() + n;
    const auto [stop, ec] = std::from_chars(token.data() + mantissaStart, end, value);
    if (ec != std::errc() || stop != end) return std::nullopt;
    return token[0] == '-' ? -value : value;
}

std::optional<double> ReadFileNumber(std::string_view content, std::size_t& pos) {
    while (pos < content.size() && IsWhiteSpace(content[pos])) ++pos;
    if (pos >= content.size()) return 0.0;  // past the end of the file a number reads as 0
    const std::size_t start = pos;
    while (pos < content.size() && !IsWhiteSpace(content[pos]) &&
           pos - start < kMaxFileNumberLength) {
        ++pos;
    }
    return ParseFileNumber(content.substr(start, pos - start));
}

std::string FieldTextOfNumber(double value) {
    if (value == 0) return "0";
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    const auto [digits, exponent] = SixDigits(value);
    std::string text = value < 0 ? "-" : "";
    if (exponent < -4 || exponent >= kFieldDigits) {
        const std::string fraction = WithoutTrailingZeros(digits.substr(1));
        text += digits[0];
        if (!fraction.empty()) text += "." + fraction;
        char power[16];
        std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return text + power;
    }
    if (exponent < 0) {
        return text + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') +
               WithoutTrailingZeros(digits);
    }
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    const std::string fraction = WithoutTrailingZeros(digits.substr(integerDigits));
    text += digits.substr(0, integerDigits);
    if (!fraction.empty()) text += "." + fraction;
    return text;
}

RememberedScores ReadRememberedScores(std::string_view content, int loadCount, std::size_t* pos) {
    RememberedScores read;
    std::size_t at =
        content.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
    for (int k = 0; k < loadCount; ++k) {
        const std::optional<double> number = ReadFileNumber(content, at);
        if (!number) {
            read.malformed = true;
            break;
        }
        read.values.push_back(*number);
        read.fields.push_back(FieldTextOfNumber(*number));
    }
    if (pos != nullptr) *pos = at;
    return read;
}

}  // namespace orvale
