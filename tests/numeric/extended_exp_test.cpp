// SPDX-License-Identifier: GPL-3.0-or-later
// The integrator's exponential against the C library's expl: agreement to a couple of units in
// the last place of long double, and the densities built on it agree with those built on expl.
#include "numeric/extended_exp.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace orvale {
namespace {

long double UnitsInLastPlace(long double got, long double expected) {
    const long double ulp = std::nextafter(expected, LDBL_MAX) - expected;
    return std::fabs(got - expected) / ulp;
}

TEST(ExtendedExp, AgreesWithTheCLibraryOverTheDensityRange) {
    // The density integrator calls it with -x^2/2, which for any score lies in [-60, 0]; the
    // wider grid covers table boundaries, positive arguments and both signs of the reduction.
    long double worst = 0;
    for (long double x = -200.0L; x <= 50.0L; x += 0.0013L)
        worst = std::max(worst, UnitsInLastPlace(ExtendedExp(x), std::exp(x)));
    EXPECT_LE(worst, 2.0L);
}

TEST(ExtendedExp, ExactAndSpecialArguments) {
    EXPECT_EQ(ExtendedExp(0.0L), 1.0L);
    EXPECT_LE(UnitsInLastPlace(ExtendedExp(1.0L), 2.718281828459045235360287471352662498L), 2.0L);
    EXPECT_LE(UnitsInLastPlace(ExtendedExp(-0.5L), 0.606530659712633423603799534991180453L), 2.0L);
    EXPECT_TRUE(std::isnan(ExtendedExp(NAN)));
    EXPECT_EQ(ExtendedExp(-INFINITY), 0.0L);
    EXPECT_EQ(ExtendedExp(INFINITY), INFINITY);
    EXPECT_EQ(ExtendedExp(-20000.0L), 0.0L);  // underflow handled by the C library
}

TEST(ExtendedExp, DensitiesRoundedToDoubleRarelyDifferAndNeverByMoreThanOneUlp) {
    int differing = 0, total = 0;
    for (double x = -9.0; x <= 9.0; x += 0.000731) {
        const long double t = static_cast<double>(-0.5L * x * x);
        const double fast = static_cast<double>(ExtendedExp(t) * 0.39894228L);
        const double library = static_cast<double>(std::exp(t) * 0.39894228L);
        ++total;
        if (fast != library) {
            ++differing;
            EXPECT_EQ(std::nextafter(fast, library), library) << x;
        }
    }
    EXPECT_LT(differing, total / 200) << differing << " of " << total;
}

}  // namespace
}  // namespace orvale
