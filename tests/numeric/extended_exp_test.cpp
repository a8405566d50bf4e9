// SPDX-License-Identifier: GPL-3.0-or-later
// The exponential and logarithm against independent references: the special values a careful
// C library gives, the C library's expl over the density range, and GCC's quadruple-precision
// expq and logq (where the compiler has libquadmath) for exact cases, the arguments around the
// overflow and underflow thresholds, and random arguments over the ranges the program meets.
#include "numeric/extended_exp.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>

#include "support/extended_testing.h"

#ifdef ORVALE_HAVE_QUADMATH
#include "tools/quad_reference.h"
#endif

#ifdef ORVALE_X87_LONG_DOUBLE
namespace orvale {
namespace {

// The references are x87 long doubles and the C library's; the functions under test take the
// same bits as Extended.
long double Exp(long double x) {
    return AsLongDouble(ExtendedExp(AsExtended(x)));
}
long double Log(long double x) {
    return AsLongDouble(ExtendedLog(AsExtended(x)));
}

long double UnitsInLastPlace(long double got, long double expected) {
    const long double ulp = std::nextafter(expected, LDBL_MAX) - expected;
    return std::fabs(got - expected) / ulp;
}

bool SameValue(long double a, long double b) {
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

TEST(ExtendedExpLog, SpecialArguments) {
    const long double inf = INFINITY, nan = NAN;
    const struct {
        bool logarithm;
        long double x, expected;
    } rows[] = {
        {false, nan, nan},      {false, inf, inf},        {false, -inf, 0.0L},
        {false, 0.0L, 1.0L},    {false, -0.0L, 1.0L},     {false, 1e-30L, 1.0L},
        {false, -1e-30L, 1.0L}, {false, 20000.0L, inf},   {false, -20000.0L, 0.0L},
        {false, LDBL_MAX, inf}, {false, -LDBL_MAX, 0.0L}, {true, nan, nan},
        {true, -1.0L, nan},     {true, -inf, nan},        {true, -LDBL_TRUE_MIN, nan},
        {true, 0.0L, -inf},     {true, -0.0L, -inf},      {true, inf, inf},
        {true, 1.0L, 0.0L},  // +0, not -0
    };
    for (const auto& row : rows) {
        const long double got = row.logarithm ? Log(row.x) : Exp(row.x);
        EXPECT_TRUE(SameValue(got, row.expected))
            << (row.logarithm ? "log(" : "exp(") << row.x << ") = " << got;
    }
}

TEST(ExtendedExpLog, AgreesWithTheCLibraryOverTheDensityRange) {
    // The density integrator calls it with -x^2/2, which for any score lies in [-60, 0]; the
    // wider grid covers table boundaries, positive arguments and both signs of the reduction.
    long double worst = 0;
    for (long double x = -200.0L; x <= 50.0L; x += 0.0013L)
        worst = std::max(worst, UnitsInLastPlace(Exp(x), std::exp(x)));
    EXPECT_LE(worst, 2.0L);
}

TEST(ExtendedExp, DensitiesRoundedToDoubleRarelyDifferAndNeverByMoreThanOneUlp) {
    int differing = 0, total = 0;
    for (double x = -9.0; x <= 9.0; x += 0.000731) {
        const long double t = static_cast<double>(-0.5L * x * x);
        const double fast = static_cast<double>(Exp(t) * 0.39894228L);
        const double library = static_cast<double>(std::exp(t) * 0.39894228L);
        ++total;
        if (fast != library) {
            ++differing;
            EXPECT_EQ(std::nextafter(fast, library), library) << x;
        }
    }
    EXPECT_LT(differing, total / 200) << differing << " of " << total;
}

#ifdef ORVALE_HAVE_QUADMATH

// Correctly rounded where the reference decides, and below one unit in the last place anyway.
void ExpectRoundedAsReference(bool logarithm, long double x, const QuadReference& ref) {
    const long double got = logarithm ? Log(x) : Exp(x);
    if (!ref.undecided) {
        EXPECT_EQ(got, ref.rounded) << (logarithm ? "log(" : "exp(") << x << ")";
    }
    EXPECT_LT(UnitsOff(got, ref), 1.0) << (logarithm ? "log(" : "exp(") << x << ")";
}

TEST(ExtendedExpLog, ExactCasesAndThresholdsAreCorrectlyRounded) {
    // ln(2^k) = k ln 2 rounded once; e^x around the largest finite result, around the smallest
    // normal one and around half the smallest subnormal (below which it rounds to zero); ln x at
    // the ends of the range and next to 1.
    for (const int k : {-16445, -16382, -64, -1, 1, 2, 63, 64, 16383}) {
        const long double x = std::ldexp(1.0L, k);
        ExpectRoundedAsReference(true, x, QuadLog(x));
    }
    const __float128 largest = LDBL_MAX;
    const __float128 overflow = logq(largest + (largest - std::nextafter(LDBL_MAX, 0.0L)) / 2);
    for (const __float128 threshold : {overflow, -16382 * logq(2), -16446 * logq(2)}) {
        long double x = static_cast<long double>(threshold);
        for (int i = 0; i < 4; ++i) x = std::nextafter(x, -INFINITY);
        for (int i = 0; i < 9; ++i, x = std::nextafter(x, INFINITY))
            ExpectRoundedAsReference(false, x, QuadExp(x));
    }
    for (const long double x : {LDBL_MAX, LDBL_MIN, std::nextafter(LDBL_MIN, 0.0L), LDBL_TRUE_MIN,
                                std::nextafter(1.0L, 0.0L), std::nextafter(1.0L, 2.0L)})
        ExpectRoundedAsReference(true, x, QuadLog(x));
}

TEST(ExtendedExpLog, RandomArgumentsWithinOneUnitOfQuadruplePrecision) {
    // Half a unit is the rounding itself; the computation adds about 2^-19 units, so nearly every
    // result is the correctly rounded one and none is a full unit off. The last range draws the
    // logarithm's argument over every exponent, subnormal ones too.
    const struct {
        bool logarithm;
        long double low, high;
        bool everyExponent;
    } ranges[] = {
        {false, -40.0L, 0.0L, false},
        {false, -1000.0L, 10.0L, false},
        {false, -11400.0L, 11357.0L, false},
        {true, 0.0L, 1e4L, false},
        {true, 1.0L - 0x1p-10L, 1.0L + 0x1p-10L, false},
        {true, LDBL_TRUE_MIN, LDBL_MAX, true},
    };
    std::mt19937_64 random(7);
    for (const auto& range : ranges) {
        int correctlyRounded = 0, drawn = 0;
        while (drawn < 2000) {
            const long double u = static_cast<long double>(random()) * 0x1p-64L;
            const long double x =
                range.everyExponent
                    ? std::ldexp(1.0L + u, static_cast<int>(random() % 32828) - 16445)
                    : range.low + (range.high - range.low) * u;
            if (range.logarithm && x == 0) continue;
            ++drawn;
            const QuadReference ref = range.logarithm ? QuadLog(x) : QuadExp(x);
            const long double got = range.logarithm ? Log(x) : Exp(x);
            if (got == ref.rounded) ++correctlyRounded;
            EXPECT_LT(UnitsOff(got, ref), 1.0) << (range.logarithm ? "log(" : "exp(") << x << ")";
        }
        EXPECT_GE(correctlyRounded, drawn - 2) << range.low << " to " << range.high;
    }
}

#else

TEST(ExtendedExpLog, ExactCasesAndThresholdsAreCorrectlyRounded) {
    GTEST_SKIP() << "libquadmath is not available with this compiler: no quadruple-precision "
                    "reference";
}

#endif

}  // namespace
}  // namespace orvale
#endif
