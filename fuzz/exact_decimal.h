// SPDX-License-Identifier: GPL-3.0-or-later
// The exact decimal value of a long double, and the program's fixed-point rounding worked on those
// digits as text: reduce to 18 significant digits (the correctly rounded decimal conversion, ties
// to even), then round at the last shown decimal with halves away from zero. An independent
// reference for the number formatter, with no floating-point arithmetic in the rounding.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace orvale::fuzz {

// magnitude = 0.digits x 10^exponent, digits without leading or trailing zeros ("" for zero).
struct Decimal {
    std::string digits;
    long exponent = 0;
};

// limbs x factor, in limbs of nine decimal digits, lowest first. The reference's own arithmetic
// gets no coverage feedback: the fuzzer is to explore the formatter, not this loop.
__attribute__((no_sanitize("coverage"))) inline void MultiplyLimbs(
    std::vector<std::uint32_t>& limbs, std::uint32_t factor) {
    constexpr std::uint32_t kBase = 1000000000;
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs) {
        const std::uint64_t v = std::uint64_t{limb} * factor + carry;
        limb = static_cast<std::uint32_t>(v % kBase);
        carry = v / kBase;
    }
    for (; carry != 0; carry /= kBase) limbs.push_back(carry % kBase);
}

inline Decimal ExactDecimal(long double magnitude) {
    // The targets format one value many times over: keep the last expansion (up to 11,500 digits).
    static long double lastMagnitude = 0;
    static Decimal last;
    if (magnitude == lastMagnitude) return last;
    Decimal result;
    if (magnitude == 0) return result;
    int binaryExponent = 0;
    const long double fraction = std::frexp(magnitude, &binaryExponent);
    // magnitude = mantissa x 2^shift with a 64-bit integer mantissa, exactly.
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    long shift = binaryExponent - 64L;

    constexpr std::uint32_t kBase = 1000000000;
    std::vector<std::uint32_t> limbs;
    for (std::uint64_t m = mantissa; m != 0; m /= kBase) limbs.push_back(m % kBase);
    const auto multiply = [&limbs](std::uint32_t factor) { MultiplyLimbs(limbs, factor); };
    long decimalsBelowPoint = 0;
    if (shift >= 0) {
        for (; shift >= 29; shift -= 29) multiply(1u << 29);
        multiply(1u << shift);
    } else {
        // m x 2^-s = m x 5^s / 10^s
        decimalsBelowPoint = -shift;
        long s = -shift;
        for (; s >= 13; s -= 13) multiply(1220703125u);  // 5^13
        std::uint32_t power = 1;
        for (; s > 0; --s) power *= 5;
        multiply(power);
    }
    std::string text = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        const std::string limb = std::to_string(limbs[i]);
        text += std::string(9 - limb.size(), '0') + limb;
    }
    result.exponent = static_cast<long>(text.size()) - decimalsBelowPoint;
    text.erase(text.find_last_not_of('0') + 1);
    result.digits = text;
    lastMagnitude = magnitude;
    last = result;
    return result;
}

// Adds one to the last digit of a digit string; false when it carried out of the first digit
// (the digits are then all zeros).
inline bool Increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return true;
        }
        digits[i] = '0';
    }
    return false;
}

// d rounded to `significant` digits, ties to even.
inline Decimal RoundSignificant(Decimal d, std::size_t significant) {
    if (d.digits.size() <= significant) return d;
    const char next = d.digits[significant];
    const bool beyondHalf = d.digits.find_first_not_of('0', significant + 1) != std::string::npos;
    const bool lastOdd = (d.digits[significant - 1] - '0') % 2 == 1;
    d.digits.resize(significant);
    if (next > '5' || (next == '5' && (beyondHalf || lastOdd))) {
        if (!Increment(d.digits)) {
            d.digits = "1";
            ++d.exponent;
        }
    }
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    return d;
}

// What FormatFixed must give for these arguments, from the rule alone.
inline std::string ReferenceFixed(long double value, int width, int decimals, char separator) {
    std::string out;
    if (std::isnan(value)) {
        out = "NaN";
    } else if (std::isinf(value)) {
        out = value < 0 ? "-Inf" : "Inf";
    } else {
        const Decimal d = RoundSignificant(ExactDecimal(std::fabs(value)), 18);
        // The value x 10^decimals as an integer's digits, rounded at the units.
        std::string scaled;
        const long kept = d.exponent + decimals;
        if (!d.digits.empty() && kept >= 0) {
            scaled = d.digits.substr(0, static_cast<std::size_t>(kept));
            scaled.resize(static_cast<std::size_t>(kept), '0');
            if (static_cast<std::size_t>(kept) < d.digits.size() &&
                d.digits[static_cast<std::size_t>(kept)] >= '5' && !Increment(scaled)) {
                scaled.insert(scaled.begin(), '1');
            }
        }
        if (scaled.size() < static_cast<std::size_t>(decimals) + 1) {
            scaled.insert(0, static_cast<std::size_t>(decimals) + 1 - scaled.size(), '0');
        }
        const bool zero = scaled.find_first_not_of('0') == std::string::npos;
        std::string whole = scaled.substr(0, scaled.size() - static_cast<std::size_t>(decimals));
        whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
        if (std::signbit(value) && !zero) out.push_back('-');
        out += whole;
        if (decimals > 0) {
            out += separator;
            out += scaled.substr(scaled.size() - static_cast<std::size_t>(decimals));
        }
    }
    if (static_cast<int>(out.size()) < width)
        out.insert(0, static_cast<std::size_t>(width) - out.size(), ' ');
    return out;
}

// A long double from ten bytes, always a canonical encoding (the integer bit set exactly when the
// exponent is not zero), so that no pseudo-denormal or unnormal reaches the code under test.
inline long double LongDoubleFromBytes(const unsigned char bytes[10]) {
    std::uint64_t fraction = 0;
    std::memcpy(&fraction, bytes, 8);
    std::uint16_t signAndExponent = 0;
    std::memcpy(&signAndExponent, bytes + 8, 2);
    fraction &= ~(std::uint64_t{1} << 63);
    if ((signAndExponent & 0x7FFF) != 0) fraction |= std::uint64_t{1} << 63;
    unsigned char encoded[sizeof(long double)] = {};
    std::memcpy(encoded, &fraction, 8);
    std::memcpy(encoded + 8, &signAndExponent, 2);
    long double value = 0;
    std::memcpy(&value, encoded, sizeof value);
    return value;
}

}  // namespace orvale::fuzz
