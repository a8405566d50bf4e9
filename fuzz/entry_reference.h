// SPDX-License-Identifier: GPL-3.0-or-later
// An independent reading of the score and cell entry grammar, for the entry fuzz targets: every
// minus sign must be the text's very first character, at most one decimal mark, nothing else but
// digits and blanks. Its value is the correctly rounded decimal (strtod), which the parsers'
// digit-by-digit accumulation must approach within one rounding per digit.
#pragma once

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

namespace orvale::fuzz {

struct EntryReading {
    bool accepted = false;
    double value = 0;            // correctly rounded value of the digits, without the sign
    bool negative = false;       // a leading minus
    std::size_t digitCount = 0;  // digits taken (each may round the accumulated value once)
};

inline EntryReading ReadEntry(std::string_view text, bool commaIsDecimalMark) {
    EntryReading reading;
    std::size_t minusCount = 0;
    std::size_t markCount = 0;
    std::string wholeDigits;
    std::string fractionDigits;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '-') {
            ++minusCount;
            if (i != 0) return reading;
        } else if (c == '.' || (commaIsDecimalMark && c == ',')) {
            ++markCount;
        } else if (c >= '0' && c <= '9') {
            (markCount == 0 ? wholeDigits : fractionDigits).push_back(c);
        } else if (c != ' ') {
            return reading;
        }
    }
    if (minusCount > 1 || markCount > 1) return reading;
    reading.accepted = true;
    reading.negative = minusCount == 1;
    reading.digitCount = wholeDigits.size() + fractionDigits.size();
    const std::string decimal = "0" + wholeDigits + "." + fractionDigits + "0";
    errno = 0;
    reading.value = std::strtod(decimal.c_str(), nullptr);
    return reading;
}

// Whether a parser's value agrees with the reading: the sign of the text (no negative zero), and
// the magnitude within one rounding to double per digit of the correct one.
inline bool AgreesWith(double parsed, const EntryReading& reading) {
    if (parsed == 0) {
        if (std::signbit(parsed)) return false;
    } else if (std::signbit(parsed) != reading.negative) {
        return false;
    }
    const double magnitude = std::fabs(parsed);
    const double n = static_cast<double>(reading.digitCount) + 1;
    constexpr double kMax = std::numeric_limits<double>::max();
    const double relative = n * 0x1p-52;
    if (std::isinf(magnitude) || std::isinf(reading.value)) {
        const double finite = std::isinf(magnitude) ? reading.value : magnitude;
        return std::isinf(finite) || finite >= kMax * (1 - relative);
    }
    return std::fabs(magnitude - reading.value) <=
           relative * reading.value + n * std::numeric_limits<double>::denorm_min();
}

}  // namespace orvale::fuzz
