// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's 80-bit extended type. Where long double is the x87 format (GCC and Clang on x86
// and x86-64) it is long double; everywhere else, or when ORVALE_SOFT_EXTENDED is defined (the
// CMake option of that name), it is SoftExtended, the same format in software with the same
// results bit for bit. The functions below carry one name for both types, so that numeric code
// is written once against Extended.
#pragma once

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "numeric/soft_extended.h"

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__)) && \
    LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384
#define ORVALE_X87_LONG_DOUBLE 1
#endif

namespace orvale {

#if defined(ORVALE_X87_LONG_DOUBLE) && !defined(ORVALE_SOFT_EXTENDED)
using Extended = long double;
#else
using Extended = SoftExtended;
#endif

#ifdef ORVALE_X87_LONG_DOUBLE
// The long double with these bits, in a constant expression too.
constexpr long double LongDoubleFromBits(std::uint16_t signExponent, std::uint64_t significand) {
    struct Bits {
        std::uint64_t significand;
        std::uint16_t signExponent;
        std::uint16_t padding[(sizeof(long double) - 10) / 2];
    };
    return std::bit_cast<long double>(Bits{significand, signExponent, {}});
}
#endif

// The extended value with these bits (sign and exponent word, significand), in a constant
// expression too.
constexpr Extended ExtendedFromBits(std::uint16_t signExponent, std::uint64_t significand) {
#if defined(ORVALE_X87_LONG_DOUBLE) && !defined(ORVALE_SOFT_EXTENDED)
    return LongDoubleFromBits(signExponent, significand);
#else
    return SoftExtended::FromBits(signExponent, significand);
#endif
}

// A constant whose decimal value binary cannot hold exactly, such as 1e-6: written with its
// 80 bits, which mean the same value on every processor, beside the long double literal they
// round from. Where long double is the x87's the compiler checks that the two agree; elsewhere
// the literal (of another format there) is only a reminder.
consteval Extended ExtendedConstant([[maybe_unused]] long double literal,
                                    std::uint16_t signExponent, std::uint64_t significand) {
#ifdef ORVALE_X87_LONG_DOUBLE
    if (literal != LongDoubleFromBits(signExponent, significand)) {
        throw "ExtendedConstant: the bits are not those of the literal";
    }
#endif
    return ExtendedFromBits(signExponent, significand);
}

#ifdef ORVALE_X87_LONG_DOUBLE

// The same 80 bits as the other type: the x87 keeps the significand in the first eight bytes,
// the sign and exponent in the next two.
inline SoftExtended ToSoft(long double x) {
    std::uint64_t significand = 0;
    std::uint16_t signExponent = 0;
    std::memcpy(&significand, &x, sizeof significand);
    std::memcpy(&signExponent, reinterpret_cast<const char*>(&x) + 8, sizeof signExponent);
    return SoftExtended::FromBits(signExponent, significand);
}

inline long double FromSoft(SoftExtended x) {
    long double result = 0;
    const std::uint64_t significand = x.Significand();
    const std::uint16_t signExponent = x.SignExponent();
    std::memcpy(&result, &significand, sizeof significand);
    std::memcpy(reinterpret_cast<char*>(&result) + 8, &signExponent, sizeof signExponent);
    return result;
}

inline long double Sqrt(long double x) {
    return std::sqrt(x);
}
inline long double Floor(long double x) {
    return std::floor(x);
}
inline long double Trunc(long double x) {
    return std::trunc(x);
}
inline long double NearbyInt(long double x) {
    return std::nearbyint(x);
}
inline long double Fabs(long double x) {
    return std::fabs(x);
}
inline bool SignBit(long double x) {
    return std::signbit(x);
}
inline bool IsNan(long double x) {
    return std::isnan(x);
}
inline bool IsInf(long double x) {
    return std::isinf(x);
}
inline bool IsFinite(long double x) {
    return std::isfinite(x);
}
inline double ToDouble(long double x) {
    return static_cast<double>(x);
}
inline float ToFloat(long double x) {
    return static_cast<float>(x);
}

// As SoftExtended's: truncation, and 0x8000000000000000 out of range, where a C cast would be
// undefined.
inline std::int64_t ToInt64(long double x) {
    constexpr long double kTwoTo63 = 9223372036854775808.0L;
    if (!(x > -kTwoTo63 - 1 && x < kTwoTo63)) return INT64_MIN;
    return static_cast<std::int64_t>(x);
}
inline std::uint64_t ToUInt64(long double x) {
    return ToUInt64(ToSoft(x));
}

// The decimal conversions are SoftExtended's for both types: exact, the same text everywhere,
// and free of the C library's locale.
inline DecimalDigits ExactDecimal(long double x) {
    return ExactDecimal(ToSoft(x));
}
inline std::string PrintFixed(long double x, int precision) {
    return PrintFixed(ToSoft(x), precision);
}
inline std::string PrintScientific(long double x, int precision) {
    return PrintScientific(ToSoft(x), precision);
}
inline std::from_chars_result FromChars(const char* first, const char* last, long double& value) {
    SoftExtended soft;
    const std::from_chars_result result = FromChars(first, last, soft);
    if (result.ec == std::errc()) value = FromSoft(soft);
    return result;
}

#endif

// The whole of text as one decimal number (FromChars's syntax), or nothing.
inline std::optional<Extended> FromDecimal(std::string_view text) {
    const std::optional<SoftExtended> value = SoftExtendedFromDecimal(text);
    if (!value) return std::nullopt;
#if defined(ORVALE_X87_LONG_DOUBLE) && !defined(ORVALE_SOFT_EXTENDED)
    return FromSoft(*value);
#else
    return *value;
#endif
}

}  // namespace orvale
