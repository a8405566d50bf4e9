// SPDX-License-Identifier: GPL-3.0-or-later
// GoogleTest over Extended values, whichever type it is: EXPECT_NEAR takes them beside long
// double and double references (compared as doubles, as GoogleTest compares long doubles), a
// failure prints them in decimal, and _x literals give the exact 80-bit value of a decimal
// (1.005_x is the value of 1.005L on x86-64) on every processor.
#pragma once

#include <gtest/gtest.h>

#include <concepts>
#include <ostream>
#include <stdexcept>
#include <type_traits>

#include "numeric/extended.h"

namespace orvale {

inline Extended operator""_x(const char* decimal) {
    const std::optional<Extended> value = FromDecimal(decimal);
    if (!value) throw std::invalid_argument(std::string("not a decimal literal: ") + decimal);
    return *value;
}

inline std::ostream& operator<<(std::ostream& out, const SoftExtended& x) {
    return out << (IsFinite(x) ? PrintScientific(x, 20) : PrintFixed(x, 0));
}

#ifdef ORVALE_X87_LONG_DOUBLE
// The x87's long double and Extended hold the same 80 bits: a test may take its references from
// long double arithmetic and the C library.
inline Extended AsExtended(long double x) {
#ifdef ORVALE_SOFT_EXTENDED
    return ToSoft(x);
#else
    return x;
#endif
}
inline long double AsLongDouble(Extended x) {
#ifdef ORVALE_SOFT_EXTENDED
    return FromSoft(x);
#else
    return x;
#endif
}
#endif

template <class T>
concept NearOperand = std::is_arithmetic_v<T> || std::same_as<T, Extended>;

template <NearOperand T>
double AsDouble(T x) {
    if constexpr (std::same_as<T, Extended>) {
        return ToDouble(x);
    } else {
        return static_cast<double>(x);
    }
}

}  // namespace orvale

namespace testing::internal {

// Chosen by EXPECT_NEAR only when an operand is the software type, which does not convert to
// double by itself.
template <orvale::NearOperand A, orvale::NearOperand B, orvale::NearOperand C>
requires(!std::is_arithmetic_v<A> || !std::is_arithmetic_v<B> ||
         !std::is_arithmetic_v<C>) AssertionResult
    DoubleNearPredFormat(const char* expr1, const char* expr2, const char* absErrorExpr, A val1,
                         B val2, C absError) {
    return DoubleNearPredFormat(expr1, expr2, absErrorExpr, orvale::AsDouble(val1),
                                orvale::AsDouble(val2), orvale::AsDouble(absError));
}

}  // namespace testing::internal
