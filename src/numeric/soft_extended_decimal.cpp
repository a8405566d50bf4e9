// SPDX-License-Identifier: GPL-3.0-or-later
// Exact decimal conversions of the software extended type (see soft_extended.h). Every binary
// value is an integer times a power of two, so its decimal expansion is an integer times a power
// of five, shifted: the digits come from exact integer arithmetic. Reading goes the other way:
// the decimal is an integer times 5^k x 2^k, and the 64 bits kept plus a sticky bit come from
// one exact multiplication or division, which decides the rounding once.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <compare>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "numeric/soft_extended.h"
#include "numeric/soft_extended_big.h"
#include "numeric/soft_extended_wide.h"

namespace orvale {

namespace {

using Ext = SoftExtended;
using soft_extended_detail::BigUnsigned;
using soft_extended_detail::Wide;

// Significant digits kept when reading: more than the 11,517 of the longest halfway point
// between two extended values (odd multiples of 2^-16446), so that the digits beyond, replaced
// by one nonzero digit, never change which side of a halfway point the number lies on.
constexpr std::size_t kMaxDigits = 11600;

// The decimal exponents beyond which every number overflows (at least 1e4933) or rounds to zero
// (below 1e-4951, under half the smallest denormal, 2^-16446 = 1.82e-4951).
constexpr std::int64_t kOverflowExponent = 4932;
constexpr std::int64_t kUnderflowExponent = -4951;

// The decimals that read exactly in 128 bits: up to 19 digits (below 2^64) times 10^±27
// (5^27 < 2^63).
constexpr std::size_t kShortDigits = 19;
constexpr int kShortExponent = 27;

constexpr std::uint64_t PowerOfFive(int count) {
    std::uint64_t power = 1;
    for (int i = 0; i < count; ++i) power *= 5;
    return power;
}

Ext SignedZero(bool negative) {
    return Ext::FromBits(negative ? 0x8000 : 0, 0);
}

BigUnsigned FromDigits(std::string_view digits) {
    BigUnsigned number;
    std::size_t at = 0;
    while (at < digits.size()) {
        const std::size_t chunk = std::min<std::size_t>(9, digits.size() - at);
        std::uint32_t value = 0, scale = 1;
        for (std::size_t i = 0; i < chunk; ++i, scale *= 10) {
            value = value * 10 + static_cast<std::uint32_t>(digits[at + i] - '0');
        }
        number.MultiplyAdd(scale, value);
        at += chunk;
    }
    return number;
}

// digits x 10^exponent for at most 19 digits and |exponent| <= 27: one 64 x 64-bit product, or
// a 128-bit quotient by 5^-exponent with the remainder as the sticky bit.
Ext RoundShortDecimal(bool negative, std::uint64_t digits, std::int64_t exponent) {
    using soft_extended_detail::DivideWide;
    if (exponent >= 0) {
        const Wide product =
            soft_extended_detail::Multiply(digits, PowerOfFive(static_cast<int>(exponent)));
        return Ext::FromScaled(negative, product.high, product.low, exponent);
    }
    // digits / 5^k = (u / v) x 2^(c - a) with u and v normalized; the quotient u x 2^127 / v
    // comes as two 64-bit digits.
    const std::uint64_t five = PowerOfFive(static_cast<int>(-exponent));
    const int c = std::countl_zero(five);
    const int a = std::countl_zero(digits);
    const std::uint64_t u = digits << a, v = five << c;
    std::uint64_t remainder = 0;
    const std::uint64_t high = DivideWide({u >> 1, u << 63}, v, remainder);
    const std::uint64_t low = DivideWide({remainder, 0}, v, remainder);
    return Ext::FromScaled(negative, high, low | (remainder != 0 ? 1 : 0), c - a - 127 + exponent);
}

// The decimal digits x 10^exponent (no leading or trailing zeros), rounded once.
Ext RoundDecimal(bool negative, std::string_view digits, std::int64_t exponent) {
    const auto count = static_cast<std::int64_t>(digits.size());
    if (exponent + count - 1 > kOverflowExponent) return Ext::Infinity(negative);
    if (exponent + count <= kUnderflowExponent) return SignedZero(negative);
    if (digits.size() <= kShortDigits && exponent >= -kShortExponent &&
        exponent <= kShortExponent) {
        std::uint64_t value = 0;
        for (char c : digits) value = value * 10 + static_cast<std::uint64_t>(c - '0');
        return RoundShortDecimal(negative, value, exponent);
    }
    BigUnsigned number = FromDigits(digits);
    bool sticky = false;
    if (exponent >= 0) {
        number.MultiplyByPowerOfFive(exponent);  // x 10^e = x 5^e x 2^e
        const std::int64_t below = std::max<std::int64_t>(number.BitLength() - 128, 0);
        const Wide top = number.TopBits(sticky);
        return Ext::FromScaled(negative, top.high, top.low | (sticky ? 1 : 0), exponent + below);
    }
    // number / 5^k x 2^-k: scale one of the two so that the quotient has 66 or 67 bits.
    BigUnsigned divisor(1);
    divisor.MultiplyByPowerOfFive(-exponent);
    const std::int64_t scale = divisor.BitLength() + 66 - number.BitLength();
    if (scale > 0) {
        number.ShiftLeft(scale);
    } else {
        divisor.ShiftLeft(-scale);
    }
    const Wide quotient = number.DivideBy(divisor).TopBits(sticky);
    return Ext::FromScaled(negative, quotient.high, quotient.low | (number.IsZero() ? 0 : 1),
                           exponent - scale);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithWord(const char* p, const char* last, std::string_view word) {
    if (last - p < static_cast<std::ptrdiff_t>(word.size())) return false;
    return std::equal(word.begin(), word.end(), p, [](char w, char c) { return w == Lower(c); });
}

// The payload of "nan(chars)" as glibc reads it: the characters as one unsigned integer in C
// syntax (decimal, 0 octal, 0x hexadecimal; too large gives all ones), or nothing when they are
// not one.
std::optional<std::uint64_t> NanPayload(std::string_view chars) {
    unsigned base = 10;
    if (chars.size() >= 3 && chars[0] == '0' && Lower(chars[1]) == 'x') {
        base = 16;
        chars.remove_prefix(2);
    } else if (chars.size() >= 2 && chars[0] == '0') {
        base = 8;
        chars.remove_prefix(1);
    }
    std::uint64_t value = 0;
    bool overflow = false;
    for (char c : chars) {
        const char l = Lower(c);
        const unsigned digit = IsDigit(c)             ? static_cast<unsigned>(c - '0')
                               : l >= 'a' && l <= 'z' ? static_cast<unsigned>(l - 'a' + 10)
                                                      : 99;
        if (digit >= base) return std::nullopt;
        overflow = overflow || value > (~std::uint64_t{0} - digit) / base;
        value = value * base + digit;
    }
    return overflow ? ~std::uint64_t{0} : value;
}

// "inf", "infinity", "nan" or "nan(chars)" at p: stores the value and returns the end, or
// returns nullptr.
const char* ReadNonFinite(const char* p, const char* last, bool negative, Ext& value) {
    if (StartsWithWord(p, last, "inf")) {
        value = Ext::Infinity(negative);
        return p + (StartsWithWord(p, last, "infinity") ? 8 : 3);
    }
    if (!StartsWithWord(p, last, "nan")) return nullptr;
    p += 3;
    std::uint64_t payload = 0;
    if (p != last && *p == '(') {
        const char* close = p + 1;
        while (close != last && (IsDigit(*close) ||
                                 (Lower(*close) >= 'a' && Lower(*close) <= 'z') || *close == '_')) {
            ++close;
        }
        if (close != last && *close == ')') {
            payload = NanPayload({p + 1, static_cast<std::size_t>(close - p - 1)}).value_or(0);
            p = close + 1;
        }
    }
    value = Ext::FromBits(static_cast<std::uint16_t>((negative ? 0x8000 : 0) | Ext::kMaxExponent),
                          Ext::kIntegerBit | Ext::kQuietBit | (payload & (Ext::kQuietBit - 1)));
    return p;
}

// An exponent part "e[+-]digits" at p, added to exponent (saturating far beyond any range);
// returns its end, or p when there is none.
const char* ReadExponent(const char* p, const char* last, std::int64_t& exponent) {
    if (p == last || Lower(*p) != 'e') return p;
    const char* q = p + 1;
    const bool negative = q != last && *q == '-';
    if (q != last && (*q == '+' || *q == '-')) ++q;
    if (q == last || !IsDigit(*q)) return p;
    constexpr std::int64_t kFar = 1'000'000'000'000'000;
    std::int64_t value = 0;
    for (; q != last && IsDigit(*q); ++q) value = std::min(value * 10 + (*q - '0'), kFar);
    exponent += negative ? -value : value;
    return q;
}

// |x| = significand x 2^power, the significand's trailing zero bits taken out.
struct Binary {
    std::uint64_t significand;
    std::int64_t power;
};

Binary ToBinary(Ext x) {
    const int exponentField = std::max(x.SignExponent() & 0x7FFF, 1);
    const int zeros = std::countr_zero(x.Significand());
    return {x.Significand() >> zeros, exponentField - Ext::kExponentBias - 63 + zeros};
}

// round(|x| x 10^scale) to nearest-even, for a finite nonzero x, as decimal digits ("0" when it
// rounds to zero). |x| x 10^scale = significand x 5^scale x 2^(power + scale): the powers of five
// and two each go above or below the line, and the quotient's remainder decides the rounding.
std::string ScaledDigits(Binary x, std::int64_t scale) {
    BigUnsigned number(x.significand);
    BigUnsigned divisor(1);
    if (scale >= 0) {
        number.MultiplyByPowerOfFive(scale);
    } else {
        divisor.MultiplyByPowerOfFive(-scale);
    }
    const std::int64_t twos = x.power + scale;
    if (twos >= 0) number.ShiftLeft(twos);
    std::strong_ordering remainder = std::strong_ordering::less;  // against half the divisor
    if (scale >= 0 && twos < 0) {                                 // a division by 2^-twos: a shift
        if (number.Bit(-twos - 1)) {
            remainder = number.AnyBitBelow(-twos - 1) ? std::strong_ordering::greater
                                                      : std::strong_ordering::equal;
        }
        number.ShiftRight(-twos);
    } else if (scale < 0) {
        if (twos < 0) divisor.ShiftLeft(-twos);
        BigUnsigned quotient = number.DivideBy(divisor);
        number.ShiftLeft(1);
        remainder = number <=> divisor;
        number = std::move(quotient);
    }
    if (remainder > 0 || (remainder == 0 && number.IsOdd())) number.AddOne();
    return number.TakeDecimalDigits();
}

// printf's text for NaNs and infinities, or nothing for a finite x.
std::optional<std::string> NonFiniteText(Ext x) {
    if (IsNan(x)) return SignBit(x) ? "-nan" : "nan";
    if (IsInf(x)) return SignBit(x) ? "-inf" : "inf";
    return std::nullopt;
}

}  // namespace

DecimalDigits ExactDecimal(Ext x) {
    if (!IsFinite(x)) throw std::invalid_argument("ExactDecimal: not a finite number");
    DecimalDigits result;
    result.negative = SignBit(x);
    if (x.Significand() == 0) {
        result.digits.push_back('0');
        return result;
    }
    // With 10^-power as the scale (when power < 0) the product is an integer: no rounding.
    const Binary binary = ToBinary(x);
    const std::int64_t scale = std::max<std::int64_t>(-binary.power, 0);
    result.digits = ScaledDigits(binary, scale);
    result.exponent = static_cast<int>(static_cast<std::int64_t>(result.digits.size()) - 1 - scale);
    while (result.digits.size() > 1 && result.digits.back() == '0') result.digits.pop_back();
    return result;
}

std::string PrintFixed(Ext x, int precision) {
    if (precision < 0) precision = 6;  // as printf takes a negative precision
    if (auto text = NonFiniteText(x)) return *text;
    std::string digits = x.Significand() == 0 ? "0" : ScaledDigits(ToBinary(x), precision);
    const auto decimals = static_cast<std::size_t>(precision);
    if (digits.size() < decimals + 1) digits.insert(0, decimals + 1 - digits.size(), '0');
    std::string text = SignBit(x) ? "-" : "";
    text.append(digits, 0, digits.size() - decimals);
    if (precision > 0) text.append(".").append(digits, digits.size() - decimals);
    return text;
}

std::string PrintScientific(Ext x, int precision) {
    if (precision < 0) precision = 6;
    if (auto text = NonFiniteText(x)) return *text;
    const auto kept = static_cast<std::size_t>(precision) + 1;
    std::string digits(kept, '0');
    std::int64_t exponent = 0;
    if (x.Significand() != 0) {
        // The decimal exponent, from a logarithm that errs by far less than the margin taken
        // off: at most one too small, which the length of the digits shows.
        const Binary binary = ToBinary(x);
        const double logarithm = std::log10(static_cast<double>(binary.significand)) +
                                 static_cast<double>(binary.power) * 0.30102999566398119521;
        exponent = static_cast<std::int64_t>(std::floor(logarithm - 1e-9));
        digits = ScaledDigits(binary, precision - exponent);
        if (digits.size() < kept) {  // not expected: the estimate was too large
            --exponent;
            digits = ScaledDigits(binary, precision - exponent);
        }
        if (digits.size() > kept) {
            ++exponent;
            // 10^kept is the same text either way; anything else is read again one place up.
            if (digits.find_first_not_of('0', 1) == std::string::npos) {
                digits.pop_back();
            } else {
                digits = ScaledDigits(binary, precision - exponent);
            }
        }
    }
    std::string text = SignBit(x) ? "-" : "";
    text.push_back(digits[0]);
    if (precision > 0) text.append(".").append(digits, 1);
    text.push_back('e');
    text.push_back(exponent < 0 ? '-' : '+');
    const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
    if (magnitude.size() < 2) text.push_back('0');
    return text.append(magnitude);
}

std::from_chars_result FromChars(const char* first, const char* last, Ext& value) {
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (p != last && (*p == '+' || *p == '-')) ++p;
    if (const char* end = ReadNonFinite(p, last, negative, value)) return {end, std::errc()};

    std::string digits;         // the significant digits, at most kMaxDigits
    std::int64_t exponent = 0;  // the power of ten of the last digit kept
    bool anyDigit = false;
    bool sticky = false;  // a nonzero digit beyond kMaxDigits
    const auto take = [&](char c, bool fraction) {
        anyDigit = true;
        if (digits.size() < kMaxDigits && !(digits.empty() && c == '0')) {
            digits.push_back(c);
            exponent -= fraction ? 1 : 0;
        } else if (digits.empty()) {
            exponent -= fraction ? 1 : 0;  // a leading zero
        } else {
            sticky = sticky || c != '0';
            exponent += fraction ? 0 : 1;
        }
    };
    for (; p != last && IsDigit(*p); ++p) take(*p, false);
    if (p != last && *p == '.') {
        for (++p; p != last && IsDigit(*p); ++p) take(*p, true);
    }
    if (!anyDigit) return {first, std::errc::invalid_argument};
    p = ReadExponent(p, last, exponent);

    if (sticky) {
        digits.push_back('1');
        --exponent;
    }
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    value = digits.empty() ? SignedZero(negative) : RoundDecimal(negative, digits, exponent);
    return {p, std::errc()};
}

std::optional<Ext> SoftExtendedFromDecimal(std::string_view text) {
    Ext value;
    const char* last = text.data() + text.size();
    const auto [end, error] = FromChars(text.data(), last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

}  // namespace orvale
