// SPDX-License-Identifier: GPL-3.0-or-later
// Reference values of e^x and ln x for long double arguments from GCC's quadruple precision
// (libquadmath's expq and logq, 113-bit significand), rounded to the 64-bit significand of long
// double, for the exponential and logarithm tests and the accuracy tool.
//
// Two traps are avoided. A quadruple result below 2^-16382 is itself subnormal, with fewer bits
// than a long double needs to be rounded once, so e^x of a very negative x is computed as
// e^(x + 256 ln 2) and scaled by 2^-256 only in the final rounding. And the 113-bit result is
// itself rounded: where it lies within four of its own units of a halfway point between two long
// doubles, its rounding may not be the correct one, and the reference is marked undecided.
#pragma once

#include <quadmath.h>

#include <cmath>

namespace orvale {

struct QuadReference {
    __float128 scaled;    // the exact result times 2^shift, to 113 bits
    int shift;            // 0, or 256 for results near the subnormal range
    long double rounded;  // the exact result rounded to long double
    bool undecided;       // rounded may be the wrong one of two neighbours
};

inline QuadReference MakeQuadReference(__float128 scaled, int shift) {
    QuadReference ref{scaled, shift, 0.0L, false};
    const __float128 subnormalUnits = ldexpq(scaled, 16445 - shift);  // multiples of 2^-16445
    if (shift != 0 && subnormalUnits < 0x1p63L)
        ref.rounded = std::ldexp(static_cast<long double>(rintq(subnormalUnits)), -16445);
    else
        ref.rounded = std::ldexp(static_cast<long double>(scaled), -shift);
    if (!std::isfinite(ref.rounded)) return ref;
    const __float128 quadUnit = fabsq(scaled) * static_cast<__float128>(0x1p-112L);
    for (const long double direction : {-INFINITY, INFINITY}) {
        const long double neighbour = std::nextafter(ref.rounded, direction);
        if (!std::isfinite(neighbour)) continue;
        const __float128 halfway = ldexpq(
            (static_cast<__float128>(ref.rounded) + static_cast<__float128>(neighbour)) / 2, shift);
        if (fabsq(scaled - halfway) <= 4 * quadUnit) ref.undecided = true;
    }
    return ref;
}

inline QuadReference QuadExp(long double x) {
    if (x < -11000.0L) return MakeQuadReference(expq(x + 256 * logq(2)), 256);
    return MakeQuadReference(expq(x), 0);
}

inline QuadReference QuadLog(long double x) {
    return MakeQuadReference(logq(x), 0);
}

// |got - exact| in units in the last place of the rounded reference (half a unit at most for a
// correctly rounded result; infinite where only one of them is finite).
inline double UnitsOff(long double got, const QuadReference& ref) {
    if (!std::isfinite(got) || !std::isfinite(ref.rounded))
        return got == ref.rounded || (std::isnan(got) && std::isnan(ref.rounded)) ? 0.0 : INFINITY;
    const long double magnitude = std::fabs(ref.rounded);
    const long double unit = std::nextafter(magnitude, INFINITY) - magnitude;
    return static_cast<double>(fabsq(ldexpq(got, ref.shift) - ref.scaled) /
                               ldexpq(unit, ref.shift));
}

}  // namespace orvale
