// SPDX-License-Identifier: GPL-3.0-or-later
// The x87 80-bit extended format in software, for targets whose long double is something else
// (arm64, WebAssembly, MSVC): each operation gives the bits the x87 gives on x86-64 with
// 64-bit precision and round-to-nearest-even. extended.h picks it or the hardware type.
#pragma once

#include <bit>
#include <charconv>
#include <compare>
#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <utility>

#include "numeric/soft_extended_wide.h"

namespace orvale {

// Sign, 15-bit biased exponent and 64-bit significand with an explicit integer bit, exactly as
// the x87 stores them. Finite values are normals (integer bit set, exponent 1..0x7FFE), denormals
// (exponent 0, integer bit clear, value 0.f x 2^-16382) and zeros. The arithmetic never produces
// the x87's other encodings (unnormals, pseudo-denormals, pseudo-NaNs, pseudo-infinities); given
// as operands, a pseudo-denormal counts as the normal of equal value, the others as invalid
// operands (the result is the default NaN), as on the hardware.
class SoftExtended {
  public:
    static constexpr int kExponentBias = 16383;
    static constexpr std::uint16_t kMaxExponent = 0x7FFF;  // infinities and NaNs
    static constexpr std::uint64_t kIntegerBit = 1ULL << 63;
    static constexpr std::uint64_t kQuietBit = 1ULL << 62;

    constexpr SoftExtended() = default;  // +0
    // Conversions from the narrower types and from 64-bit integers are exact. A signalling NaN
    // comes out quieted, as the x87's load of a double or float does.
    constexpr SoftExtended(double value) : SoftExtended(FromDouble(value)) {}
    constexpr SoftExtended(float value) : SoftExtended(FromFloat(value)) {}
    template <std::integral T>
    constexpr SoftExtended(T value)
        : SoftExtended(FromInteger(IsNegative(value), Magnitude(value))) {}

    // The value with the given sign-and-exponent word and significand, any bits accepted.
    static constexpr SoftExtended FromBits(std::uint16_t signExponent, std::uint64_t significand) {
        SoftExtended result;
        result.signExponent_ = signExponent;
        result.significand_ = significand;
        return result;
    }
    constexpr std::uint16_t SignExponent() const { return signExponent_; }
    constexpr std::uint64_t Significand() const { return significand_; }

    // The x87's "real indefinite", the result of every invalid operation: -NaN, significand
    // 0xC000000000000000.
    static constexpr SoftExtended DefaultNaN() { return FromBits(0xFFFF, kIntegerBit | kQuietBit); }
    static constexpr SoftExtended Infinity(bool negative = false) {
        return FromBits(negative ? 0xFFFF : kMaxExponent, kIntegerBit);
    }

    // (high x 2^64 + low) x 2^exponent2, rounded once to nearest-even, with gradual underflow and
    // overflow to infinity. A caller that knows only that more nonzero bits follow may OR 1 into
    // low when the number has at least 66 significant bits.
    static SoftExtended FromScaled(bool negative, std::uint64_t high, std::uint64_t low,
                                   std::int64_t exponent2);

    friend inline SoftExtended operator+(SoftExtended a, SoftExtended b);
    friend inline SoftExtended operator-(SoftExtended a, SoftExtended b);
    friend inline SoftExtended operator*(SoftExtended a, SoftExtended b);
    friend inline SoftExtended operator/(SoftExtended a, SoftExtended b);
    SoftExtended& operator+=(SoftExtended b) { return *this = *this + b; }
    SoftExtended& operator-=(SoftExtended b) { return *this = *this - b; }
    SoftExtended& operator*=(SoftExtended b) { return *this = *this * b; }
    SoftExtended& operator/=(SoftExtended b) { return *this = *this / b; }
    // Flips the sign bit, of a NaN too (the x87's fchs).
    constexpr SoftExtended operator-() const {
        return FromBits(signExponent_ ^ 0x8000, significand_);
    }

    // IEEE comparisons: NaNs (and invalid encodings) are unordered, -0 equals +0.
    friend inline std::partial_ordering operator<=>(SoftExtended a, SoftExtended b);
    friend bool operator==(SoftExtended a, SoftExtended b) { return (a <=> b) == 0; }

  private:
    template <std::integral T>
    static constexpr bool IsNegative(T value) {
        if constexpr (std::is_signed_v<T>) {
            return value < 0;
        } else {
            return false;
        }
    }
    template <std::integral T>
    static constexpr std::uint64_t Magnitude(T value) {
        const auto bits = static_cast<std::uint64_t>(value);
        return IsNegative(value) ? 0 - bits : bits;
    }
    static constexpr SoftExtended FromInteger(bool negative, std::uint64_t magnitude);
    static constexpr SoftExtended FromDouble(double value);
    static constexpr SoftExtended FromFloat(float value);
    // A value of a narrower binary format: sign, biased exponent, fraction of `fractionBits`
    // bits; the exponent field `maxExponent` marks infinities and NaNs.
    static constexpr SoftExtended FromNarrow(bool negative, int exponent, std::uint64_t fraction,
                                             int fractionBits, int bias, int maxExponent);

    std::uint16_t signExponent_ = 0;
    std::uint64_t significand_ = 0;
};

namespace soft_extended_detail {

// The general arithmetic, for every operand and every result: zeros, denormals, infinities,
// NaNs, invalid encodings, underflow and overflow. The operators below take the common case
// themselves and pass everything else here.
SoftExtended AddGeneral(SoftExtended a, SoftExtended b, bool negateB);
// FastAdd's cases apart: a difference of two normal numbers with equal exponents (aWord is the
// first's sign-and-exponent word), and a sum or difference of two normal numbers whose exponents
// are 64 or more apart, ordered by exponent (the larger's word and significand, the smaller's
// significand).
SoftExtended SubtractEqualExponents(std::uint32_t aWord, std::uint64_t aSignificand,
                                    std::uint64_t bSignificand);
SoftExtended AddFarApart(std::uint32_t largerWord, std::uint64_t larger, std::uint64_t smaller,
                         std::uint32_t distance, bool subtract);
SoftExtended MultiplyGeneral(SoftExtended a, SoftExtended b);
SoftExtended DivideGeneral(SoftExtended a, SoftExtended b);
std::partial_ordering CompareGeneral(SoftExtended a, SoftExtended b);
double ToDoubleGeneral(SoftExtended x);

// True when a sign-and-exponent word and a significand make a normal number: exponent 1..0x7FFE
// (adding 1 leaves 0x7FFE's bits clear for 0 and 0x7FFF only) and the integer bit set.
constexpr bool IsNormalBits(std::uint32_t signExponent, std::uint64_t significand) {
    return ((signExponent + 1) & 0x7FFE) != 0 && (significand >> 63) != 0;
}
constexpr bool IsNormal(SoftExtended x) {
    return IsNormalBits(x.SignExponent(), x.Significand());
}

// high:low (high's top bit set) x 2^(exponent - bias - 127), exponent 1..0x7FFE, rounded to
// nearest-even; a carry out of the significand moves the exponent on, up to the infinity's
// encoding. Rounding up means low > 2^63, or low = 2^63 with high odd: low > 2^63 - (high & 1).
inline SoftExtended RoundNormal(std::uint32_t sign, std::uint32_t exponent, std::uint64_t high,
                                std::uint64_t low) {
    constexpr std::uint64_t kHalf = 1ULL << 63;
    std::uint64_t significand = high + (low > kHalf - (high & 1) ? 1 : 0);
    if (significand == 0) [[unlikely]] {
        significand = SoftExtended::kIntegerBit;
        ++exponent;
    }
    return SoftExtended::FromBits(static_cast<std::uint16_t>(sign | exponent), significand);
}

#if defined(__SIZEOF_INT128__)
// The fast paths: both operands normal (integer bit set, exponent 1..0x7FFE) and a result in the
// normal range before rounding. They compute what the general code computes, with the 128-bit
// fixed-point significand in one native integer and few branches, and pass anything else to the
// general code.
__extension__ typedef unsigned __int128 U128;
__extension__ typedef __int128 I128;

// Where the processor has no 64 x 64 -> 128-bit multiply or 128 / 64-bit divide (WebAssembly),
// the 128-bit type calls library routines for whole 128-bit operands; the 64-bit-word routines
// of soft_extended_wide.h are inline and do only what these operands need. Both are exact.
#if defined(__x86_64__) || defined(__aarch64__)
inline Wide MultiplyWords(std::uint64_t a, std::uint64_t b) {
    const U128 product = U128{a} * b;
    return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
}
// dividend / divisor for dividend.high < divisor, and the remainder.
inline std::uint64_t DivideWords(Wide dividend, std::uint64_t divisor, std::uint64_t& remainder) {
    const U128 wide = U128{dividend.high} << 64 | dividend.low;
    const auto quotient = static_cast<std::uint64_t>(wide / divisor);
    remainder = dividend.low - quotient * divisor;
    return quotient;
}
#else
inline Wide MultiplyWords(std::uint64_t a, std::uint64_t b) {
    return Multiply(a, b);
}
inline std::uint64_t DivideWords(Wide dividend, std::uint64_t divisor, std::uint64_t& remainder) {
    return DivideWide(dividend, divisor, remainder);
}
#endif

inline SoftExtended FastAdd(SoftExtended a, SoftExtended b, bool negateB) {
    const std::uint32_t aWord = a.SignExponent();
    const std::uint32_t bWord = b.SignExponent() ^ (negateB ? 0x8000U : 0U);
    const std::uint64_t aSignificand = a.Significand();
    const std::uint64_t bSignificand = b.Significand();
    if (!IsNormalBits(aWord, aSignificand) || !IsNormalBits(bWord, bSignificand)) [[unlikely]] {
        return AddGeneral(a, b, negateB);
    }
    const std::int32_t difference =
        static_cast<std::int32_t>(aWord & 0x7FFF) - static_cast<std::int32_t>(bWord & 0x7FFF);
    const bool subtract = ((aWord ^ bWord) & 0x8000) != 0;
    // A difference of equal exponents is exact, and may change sign.
    if (difference == 0 && subtract) [[unlikely]] {
        return SubtractEqualExponents(aWord, aSignificand, bSignificand);
    }
    // The operand of the larger exponent first.
    const bool swap = difference < 0;
    const std::uint64_t larger = swap ? bSignificand : aSignificand;
    const std::uint64_t smaller = swap ? aSignificand : bSignificand;
    const std::uint32_t largerWord = swap ? bWord : aWord;
    const auto distance = static_cast<std::uint32_t>(swap ? -difference : difference);
    if (distance >= 64) [[unlikely]] {
        return AddFarApart(largerWord, larger, smaller, distance, subtract);
    }
    // Both significands one bit below the top of 128 bits, so that a carry stays inside, the
    // smaller further down by the difference of exponents: nothing is shifted out. The
    // difference is the sum with the two's complement, whose + 1 goes into the larger
    // significand's low bits, all zero.
    const std::uint64_t negate = 0 - std::uint64_t{subtract};
    const std::uint64_t alignedHigh = ((smaller >> 1) >> distance) ^ negate;
    const std::uint64_t alignedLow = (smaller << (63 - distance)) ^ negate;
    const U128 sum = (U128{larger} << 63 | (negate & 1)) + (U128{alignedHigh} << 64 | alignedLow);
    const auto high = static_cast<std::uint64_t>(sum >> 64);
    const auto low = static_cast<std::uint64_t>(sum);
    // A cancellation to below 2^64 happens only for adjacent exponents, and is exact.
    if (high == 0) [[unlikely]]
        return AddGeneral(a, b, negateB);
    const int shift = std::countl_zero(high);
    const std::uint32_t resultExponent =
        (largerWord & 0x7FFF) + 1 - static_cast<std::uint32_t>(shift);
    // Below the normal range (the unsigned difference wraps) or at the infinity's exponent.
    if (resultExponent - 1 >= 0x7FFE) [[unlikely]]
        return AddGeneral(a, b, negateB);
    return RoundNormal(largerWord & 0x8000, resultExponent,
                       high << shift | (low >> 1) >> (63 - shift), low << shift);
}

inline SoftExtended FastMultiply(SoftExtended a, SoftExtended b) {
    const std::uint32_t aWord = a.SignExponent();
    const std::uint32_t bWord = b.SignExponent();
    const Wide product = MultiplyWords(a.Significand(), b.Significand());
    // For a product in [2^127, 2^128) the exponent is a + b - bias + 1; one less, and the product
    // shifted up a place, in [2^126, 2^127).
    const std::uint64_t high = product.high;
    const std::uint64_t low = product.low;
    const auto top = static_cast<std::uint32_t>(high >> 63);
    const std::uint32_t exponent =
        (aWord & 0x7FFF) + (bWord & 0x7FFF) + top - SoftExtended::kExponentBias;
    if (!IsNormalBits(aWord, a.Significand()) || !IsNormalBits(bWord, b.Significand()) ||
        exponent - 1 >= 0x7FFE) [[unlikely]] {
        return MultiplyGeneral(a, b);
    }
    const std::uint32_t shift = top ^ 1;
    return RoundNormal((aWord ^ bWord) & 0x8000, exponent, high << shift | (low >> 63 & shift),
                       low << shift);
}

inline SoftExtended FastDivide(SoftExtended a, SoftExtended b) {
    if (!IsNormal(a) || !IsNormal(b)) [[unlikely]]
        return DivideGeneral(a, b);
    const std::uint64_t divisor = b.Significand();
    int exponent =
        (a.SignExponent() & 0x7FFF) - (b.SignExponent() & 0x7FFF) + SoftExtended::kExponentBias;
    // A 64-bit quotient in [2^63, 2^64): the dividend a x 2^64 when a < b, a x 2^63 otherwise.
    Wide dividend{a.Significand(), 0};
    if (a.Significand() >= divisor) {
        dividend = {a.Significand() >> 1, a.Significand() << 63};
    } else {
        --exponent;
    }
    if (exponent < 1 || exponent >= SoftExtended::kMaxExponent) [[unlikely]] {
        return DivideGeneral(a, b);
    }
    std::uint64_t remainder = 0;
    const std::uint64_t quotient = DivideWords(dividend, divisor, remainder);
    // The rest of the quotient, remainder / b, as a half bit and a sticky bit.
    const std::uint64_t rest = divisor - remainder;  // remainder >= b / 2 iff rest <= it
    std::uint64_t low = 0;
    if (remainder >= rest) low = (1ULL << 63) | (remainder != rest ? 1 : 0);
    if (remainder < rest && remainder != 0) low = 1;
    return RoundNormal((a.SignExponent() ^ b.SignExponent()) & 0x8000,
                       static_cast<std::uint32_t>(exponent), quotient, low);
}

// Normal numbers and zeros compare as their magnitudes (exponent, then significand) with the
// sign applied, -0 and +0 both as 0.
inline std::partial_ordering FastCompare(SoftExtended a, SoftExtended b) {
    const auto ordered = [](SoftExtended x) {
        return IsNormal(x) || ((x.SignExponent() & 0x7FFF) == 0 && x.Significand() == 0);
    };
    if (!ordered(a) || !ordered(b)) [[unlikely]]
        return CompareGeneral(a, b);
    const auto key = [](SoftExtended x) {
        const auto magnitude =
            static_cast<I128>(U128{x.SignExponent() & 0x7FFFU} << 64 | x.Significand());
        return (x.SignExponent() & 0x8000) != 0 ? -magnitude : magnitude;
    };
    return key(a) <=> key(b);
}

// A normal x whose double is normal or overflows: the 64-bit significand rounded to 53 bits, the
// integer bit dropped, with the exponent added so that a carry out of the fraction moves it on
// (to the infinity's encoding past the largest double).
inline double FastToDouble(SoftExtended x) {
    const std::uint32_t biased = x.SignExponent() & 0x7FFF;
    if (!IsNormal(x) || biased - (SoftExtended::kExponentBias - 1022) >= 2046) [[unlikely]] {
        return ToDoubleGeneral(x);
    }
    const std::uint64_t significand = x.Significand();
    const std::uint64_t kept = significand >> 11;
    const std::uint64_t dropped = significand & 0x7FF;
    std::uint64_t bits = (std::uint64_t{biased - SoftExtended::kExponentBias + 1022} << 52) + kept;
    bits += dropped > 0x400 - (kept & 1) ? 1 : 0;
    bits |= std::uint64_t{x.SignExponent() & 0x8000U} << 48;
    return std::bit_cast<double>(bits);
}

// a + b rounded, and its rounding error a + b - sum exactly, for the error-free sums of the
// double-length algorithms (numeric/extended_exp.cpp): when both operands are normal, their
// exponents differ by less than 64 (so that the 128-bit sum is exact) and below 0x7FFD, and the
// sum and a nonzero error are normal numbers. False, and nothing written, otherwise.
inline bool SumAndError(SoftExtended a, SoftExtended b, SoftExtended& sum, SoftExtended& error) {
    const std::uint32_t aWord = a.SignExponent(), bWord = b.SignExponent();
    const std::uint64_t aSignificand = a.Significand(), bSignificand = b.Significand();
    if (!IsNormalBits(aWord, aSignificand) || !IsNormalBits(bWord, bSignificand)) return false;
    // As in FastAdd: the larger exponent first; a difference of equal exponents, exact (and
    // possibly of the other sign), is left to the caller's steps.
    const std::int32_t difference =
        static_cast<std::int32_t>(aWord & 0x7FFF) - static_cast<std::int32_t>(bWord & 0x7FFF);
    const bool subtract = ((aWord ^ bWord) & 0x8000) != 0;
    const bool swap = difference < 0;
    const std::uint64_t larger = swap ? bSignificand : aSignificand;
    const std::uint64_t smaller = swap ? aSignificand : bSignificand;
    const std::uint32_t largerWord = swap ? bWord : aWord;
    const std::uint32_t exponent = largerWord & 0x7FFF;
    const auto distance = static_cast<std::uint32_t>(swap ? -difference : difference);
    if (distance >= 64 || exponent >= 0x7FFD || (distance == 0 && subtract)) return false;
    // As in FastAdd, one bit of room above; here nothing is shifted out.
    const std::uint64_t negate = 0 - std::uint64_t{subtract};
    const std::uint64_t alignedHigh = ((smaller >> 1) >> distance) ^ negate;
    const std::uint64_t alignedLow = (smaller << (63 - distance)) ^ negate;
    const U128 exact = (U128{larger} << 63 | (negate & 1)) + (U128{alignedHigh} << 64 | alignedLow);
    const auto exactHigh = static_cast<std::uint64_t>(exact >> 64);
    if (exactHigh == 0) return false;
    const int shift = std::countl_zero(exactHigh);
    const std::uint32_t sumExponent = exponent + 1 - static_cast<std::uint32_t>(shift);
    if (sumExponent - 1 >= 0x7FFE) return false;
    const auto low = static_cast<std::uint64_t>(exact) << shift;
    const std::uint64_t high =
        exactHigh << shift | (static_cast<std::uint64_t>(exact) >> 1) >> (63 - shift);
    // Rounded up, the error is low - 2^64, of the other sign; rounded down it is low.
    const bool up = low > (1ULL << 63) - (high & 1);
    const std::uint64_t rest = up ? 0 - low : low;
    std::uint32_t errorWord = 0;
    std::uint64_t errorSignificand = 0;
    if (rest != 0) {
        const int restShift = std::countl_zero(rest);
        const std::uint32_t errorExponent =
            sumExponent - 64 - static_cast<std::uint32_t>(restShift);
        if (errorExponent - 1 >= 0x7FFE) return false;
        errorWord = ((largerWord & 0x8000) ^ (up ? 0x8000 : 0)) | errorExponent;
        errorSignificand = rest << restShift;
    }
    sum = RoundNormal(largerWord & 0x8000, sumExponent, high, low);
    error = SoftExtended::FromBits(static_cast<std::uint16_t>(errorWord), errorSignificand);
    return true;
}
#else
inline SoftExtended FastAdd(SoftExtended a, SoftExtended b, bool negateB) {
    return AddGeneral(a, b, negateB);
}
inline SoftExtended FastMultiply(SoftExtended a, SoftExtended b) {
    return MultiplyGeneral(a, b);
}
inline SoftExtended FastDivide(SoftExtended a, SoftExtended b) {
    return DivideGeneral(a, b);
}
inline std::partial_ordering FastCompare(SoftExtended a, SoftExtended b) {
    return CompareGeneral(a, b);
}
inline double FastToDouble(SoftExtended x) {
    return ToDoubleGeneral(x);
}
inline bool SumAndError(SoftExtended, SoftExtended, SoftExtended&, SoftExtended&) {
    return false;
}
#endif

// A normal v rounded to a multiple of 2^power, ties to even (a result of zero is +0), and the
// remainder v - rounded, exact (+0 for none): the hardware's (v + s) - s for a shifter s whose
// last place is 2^power, while v + s stays within s's binade, and v minus that. False, and nothing
// written, for a remainder below the normal range.
inline bool RoundToMultipleOfPowerOfTwo(SoftExtended v, int power, SoftExtended& rounded,
                                        SoftExtended& remainder) {
    const std::uint32_t word = v.SignExponent();
    // The number of significand bits below 2^power.
    const int below = power + SoftExtended::kExponentBias + 63 - static_cast<int>(word & 0x7FFF);
    if (below <= 0) {
        rounded = v;
        remainder = SoftExtended();
        return true;
    }
    if (below > 64) {  // |v| < 2^(power - 1)
        rounded = SoftExtended();
        remainder = v;
        return true;
    }
    const std::uint64_t significand = v.Significand();
    const std::uint64_t kept = below == 64 ? 0 : significand >> below;
    const std::uint64_t fraction = significand << (64 - below);  // of 2^power, from the top bit
    const bool up = fraction > (1ULL << 63) - (kept & 1);
    // Rounded up, the remainder is fraction - 2^64 (in units of 2^(power - 64)), of the other sign.
    const std::uint64_t rest = up ? 0 - fraction : fraction;
    SoftExtended restValue;
    if (rest != 0) {
        const int shift = std::countl_zero(rest);
        const int exponent = power + SoftExtended::kExponentBias - 1 - shift;
        if (exponent < 1 || exponent >= SoftExtended::kMaxExponent) return false;
        restValue = SoftExtended::FromBits(
            static_cast<std::uint16_t>((word & 0x8000) ^ (up ? 0x8000U : 0U) ^
                                       static_cast<std::uint32_t>(exponent)),
            rest << shift);
    }
    const std::uint64_t multiple = kept + (up ? 1 : 0);
    // The multiple has its leading one where v's was, or one place above after a carry.
    const std::uint64_t aligned = multiple << (below & 63);
    if (multiple == 0) {
        rounded = SoftExtended();
    } else if (below < 64 && aligned != 0) {
        rounded = SoftExtended::FromBits(static_cast<std::uint16_t>(word), aligned);
    } else {
        rounded =
            SoftExtended::FromBits(static_cast<std::uint16_t>(word + 1), SoftExtended::kIntegerBit);
    }
    remainder = restValue;
    return true;
}

}  // namespace soft_extended_detail

inline SoftExtended operator+(SoftExtended a, SoftExtended b) {
    return soft_extended_detail::FastAdd(a, b, false);
}
inline SoftExtended operator-(SoftExtended a, SoftExtended b) {
    return soft_extended_detail::FastAdd(a, b, true);
}
inline SoftExtended operator*(SoftExtended a, SoftExtended b) {
    return soft_extended_detail::FastMultiply(a, b);
}
inline SoftExtended operator/(SoftExtended a, SoftExtended b) {
    return soft_extended_detail::FastDivide(a, b);
}
inline std::partial_ordering operator<=>(SoftExtended a, SoftExtended b) {
    return soft_extended_detail::FastCompare(a, b);
}

constexpr SoftExtended SoftExtended::FromInteger(bool negative, std::uint64_t magnitude) {
    if (magnitude == 0) return SoftExtended();
    const int shift = std::countl_zero(magnitude);
    const auto exponent = static_cast<std::uint16_t>(kExponentBias + 63 - shift);
    return FromBits(exponent | (negative ? 0x8000 : 0), magnitude << shift);
}

constexpr SoftExtended SoftExtended::FromNarrow(bool negative, int exponent, std::uint64_t fraction,
                                                int fractionBits, int bias, int maxExponent) {
    const std::uint16_t sign = negative ? 0x8000 : 0;
    if (exponent == maxExponent) {
        // NaNs keep their payload in the top bits and come out quiet.
        const std::uint64_t quiet = fraction == 0 ? 0 : kQuietBit;
        return FromBits(sign | kMaxExponent, kIntegerBit | quiet | fraction << (63 - fractionBits));
    }
    if (exponent == 0) {
        if (fraction == 0) return FromBits(sign, 0);
        // A denormal of the narrow format is a normal here.
        const int shift = std::countl_zero(fraction);
        const int unbiased = 1 - bias - fractionBits + 63 - shift;
        return FromBits(sign | static_cast<std::uint16_t>(unbiased + kExponentBias),
                        fraction << shift);
    }
    return FromBits(sign | static_cast<std::uint16_t>(exponent - bias + kExponentBias),
                    kIntegerBit | fraction << (63 - fractionBits));
}

constexpr SoftExtended SoftExtended::FromDouble(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return FromNarrow(bits >> 63 != 0, static_cast<int>(bits >> 52 & 0x7FF),
                      bits & ((1ULL << 52) - 1), 52, 1023, 0x7FF);
}

constexpr SoftExtended SoftExtended::FromFloat(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return FromNarrow(bits >> 31 != 0, static_cast<int>(bits >> 23 & 0xFF), bits & ((1U << 23) - 1),
                      23, 127, 0xFF);
}

// The square root, correctly rounded; sqrt(-0) is -0, any other negative gives the default NaN.
SoftExtended Sqrt(SoftExtended x);
// x rounded to an integer: down (floorl), toward zero (truncl), or to nearest with ties to even
// (nearbyintl in the default rounding mode). Zeros keep their sign, and so does a result of zero
// (trunc(-0.5) is -0); NaNs come out quieted.
SoftExtended Floor(SoftExtended x);
SoftExtended Trunc(SoftExtended x);
SoftExtended NearbyInt(SoftExtended x);
constexpr SoftExtended Fabs(SoftExtended x) {
    return SoftExtended::FromBits(x.SignExponent() & 0x7FFF, x.Significand());
}

constexpr bool SignBit(SoftExtended x) {
    return (x.SignExponent() & 0x8000) != 0;
}
// True for NaNs and for the encodings the x87 refuses as operands (unnormals, pseudo-NaNs and
// pseudo-infinities): like NaNs they compare unordered.
constexpr bool IsNan(SoftExtended x) {
    const int exponent = x.SignExponent() & 0x7FFF;
    if (exponent == SoftExtended::kMaxExponent) return x.Significand() != SoftExtended::kIntegerBit;
    return exponent != 0 && (x.Significand() & SoftExtended::kIntegerBit) == 0;
}
constexpr bool IsInf(SoftExtended x) {
    return (x.SignExponent() & 0x7FFF) == SoftExtended::kMaxExponent &&
           x.Significand() == SoftExtended::kIntegerBit;
}
constexpr bool IsFinite(SoftExtended x) {
    return !IsNan(x) && !IsInf(x);
}

// Rounded to nearest-even as the x87's store to memory does: denormal results rounded once at
// their own precision, overflow to infinity, NaNs quieted with their payload's top bits.
inline double ToDouble(SoftExtended x) {
    return soft_extended_detail::FastToDouble(x);
}
float ToFloat(SoftExtended x);
// Truncated toward zero as a C cast. NaNs and values outside the type give 0x8000000000000000,
// the x87's "integer indefinite". ToUInt64 also takes the negative values that int64_t holds and
// gives their two's complement (as the conversion that GCC emits on x86-64 does).
std::int64_t ToInt64(SoftExtended x);
std::uint64_t ToUInt64(SoftExtended x);

// The exact decimal value of a finite number: digits[0].digits[1]... x 10^exponent, without
// leading or trailing zeros; zero is {"0", 0}. Every binary value has a finite expansion (up to
// about 11,500 digits for the smallest denormals).
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};
// Throws std::invalid_argument for a NaN or an infinity.
DecimalDigits ExactDecimal(SoftExtended x);

// The text printf("%.*Lf") and printf("%.*Le") give for x with glibc on x86-64, byte for byte:
// rounded to nearest-even on the exact value, "-0.000", "inf", "-nan" and so on.
std::string PrintFixed(SoftExtended x, int precision);
std::string PrintScientific(SoftExtended x, int precision);

// Reads a decimal number as strtold does with glibc in the C locale (no leading white space, no
// hexadecimal): [+-] digits [. digits] [e [+-] digits], "inf", "infinity", "nan", "nan(chars)",
// case-insensitive. The value is the exact decimal rounded once to nearest-even, whatever the
// number of digits: ±infinity when it overflows, a denormal or ±0 when it underflows. ptr points
// past the characters used; ec is std::errc::invalid_argument (and value untouched) when no
// number starts at first.
std::from_chars_result FromChars(const char* first, const char* last, SoftExtended& value);
// The whole of text as one number, or nothing.
std::optional<SoftExtended> SoftExtendedFromDecimal(std::string_view text);

}  // namespace orvale
