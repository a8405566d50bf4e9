// SPDX-License-Identifier: GPL-3.0-or-later
// Free routines of the distribution library: log-gamma and the incomplete gamma function against
// Boost.Math, closed forms, powers, tolerance tests, limit formatting, the uniform generator and
// the argument errors with their identifiers.
#include <gtest/gtest.h>

#include <boost/math/special_functions/gamma.hpp>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "numeric/distrib.h"

namespace orvale {
namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

TEST(LnGammaTest, MatchesBoostAndKnownValues) {
    // ln Gamma(1) = ln Gamma(2) = 0; ln Gamma(1/2) = ln sqrt(pi) = 0.5723649429247001.
    EXPECT_NEAR(LnGamma(1.0L), 0.0L, 1e-10L);
    EXPECT_NEAR(LnGamma(2.0L), 0.0L, 1e-10L);
    EXPECT_NEAR(LnGamma(0.5L), 0.5723649429247001L, 1e-10L);
    for (const long double x : {0.1L, 0.5L, 1.5L, 2.5L, 3.0L, 7.25L, 10.0L, 42.0L, 250.0L, 1e4L}) {
        const long double reference = boost::math::lgamma(x);
        EXPECT_NEAR(LnGamma(x), reference, 1e-10L * std::fmax(1.0L, std::fabs(reference))) << x;
    }
}

TEST(IncompleteGammaTest, MatchesBoostOverAGrid) {
    // The absolute error of the six-term log-gamma, up to about 1e-10, becomes the relative
    // error of P through the factor e^(a ln x - x - ln Gamma(a)).
    for (const long double a : {0.5L, 1.0L, 2.0L, 3.5L, 10.0L, 40.0L}) {
        for (const long double x : {0.01L, 0.3L, 1.0L, 2.0L, 3.0L, 5.5L, 12.0L, 30.0L, 60.0L}) {
            const long double reference = boost::math::gamma_p(a, x);
            EXPECT_NEAR(IncompleteGammaP(x, a), reference, 2e-10L * reference)
                << "a=" << a << " x=" << x;
        }
    }
    EXPECT_EQ(IncompleteGammaP(0.0L, 2.0L), 0.0L);
}

TEST(IncompleteGammaTest, SeriesAndContinuedFractionAgreeWithTheClosedFormForShapeTwo) {
    // P(2, x) = 1 - e^-x (1 + x). x = 1 takes the series (1 < 3), x = 3 the continued fraction.
    for (const long double x : {0.5L, 1.0L, 2.999L, 3.0L, 4.0L, 9.0L}) {
        EXPECT_NEAR(IncompleteGammaP(x, 2.0L), 1.0L - std::exp(-x) * (1.0L + x), 1e-11L) << x;
    }
    EXPECT_NEAR(GammaContinuedFraction(3.0L, 2.0L), std::exp(-3.0L) * 4.0L, 1e-11L);
    EXPECT_NEAR(GammaSeries(1.0L, 2.0L), 1.0L - 2.0L * std::exp(-1.0L), 1e-11L);
}

TEST(PowerTest, SpecialCasesAndWholeExponents) {
    struct Row {
        long double base, exponent, expected;
    };
    const Row rows[] = {{0.0L, 2.0L, 0.0L},   {5.5L, 0.0L, 1.0L},       {0.0L, 0.0L, 1.0L},
                        {2.0L, -2.0L, 0.25L}, {2.0L, 10.0L, 1024.0L},   {-2.0L, 3.0L, -8.0L},
                        {9.0L, 0.5L, 3.0L},   {8.0L, 1.0L / 3.0L, 2.0L}};
    for (const Row& row : rows) {
        EXPECT_NEAR(ExtPower(row.base, row.exponent), row.expected, 1e-15L)
            << row.base << "^" << row.exponent;
    }
    EXPECT_EQ(ExtIntPower(3.0L, 5), 243.0L);
    EXPECT_EQ(ExtIntPower(2.0L, -3), 0.125L);
    EXPECT_EQ(ExtIntPower(7.0L, 0), 1.0L);
    EXPECT_EQ(ExtIntPower(1.0L, std::numeric_limits<std::int32_t>::min()), 1.0L);
}

TEST(ToleranceTest, ApproxEqualAndWholeNumbers) {
    EXPECT_TRUE(ApproxEqual(1.0L, 1.0L + 4e-12L));
    EXPECT_FALSE(ApproxEqual(1.0L, 1.0L + 6e-12L));
    struct Row {
        long double x;
        bool whole;
    };
    const Row rows[] = {{3.0L, true},           {-4.0L, true}, {3.0L + 1e-12L, true},
                        {3.0L + 1e-11L, false}, {2.5L, false}, {2147483646.0L, true},
                        {2147483647.0L, false}, {kNaN, false}};
    for (const Row& row : rows) EXPECT_EQ(IsWholeNumber(row.x), row.whole) << row.x;
}

TEST(FormatLimitTest, AtMostTwelveDecimalsWithoutTrailingZeros) {
    struct Row {
        long double x;
        const char* text;
    };
    const Row rows[] = {{0.0L, "0"},
                        {1.0L, "1"},
                        {0.5L, "0.5"},
                        {-1.5L, "-1.5"},
                        {0.00125L, "0.00125"},
                        {2147483647.0L, "2147483647"},
                        {1.0L / 3.0L, "0.333333333333"},
                        {1e-13L, "0"},
                        {-1e-13L, "0"}};
    for (const Row& row : rows) EXPECT_EQ(FormatLimit(row.x), row.text);
}

TEST(UniformRandomTest, FixedSequenceStrictlyInsideTheUnitInterval) {
    ResetUniformRandom();
    EXPECT_EQ(UniformRandom(), 1120735397 * 4.656613e-10L);
    EXPECT_EQ(UniformRandom(), 376398899 * 4.656613e-10L);
    EXPECT_EQ(UniformRandom(), 248445365 * 4.656613e-10L);
    long double sum = 0.0L;
    constexpr int kDraws = 200000;
    for (int i = 0; i < kDraws; ++i) {
        const long double u = UniformRandom();
        ASSERT_GT(u, 0.0L);
        ASSERT_LT(u, 1.0L);
        sum += u;
    }
    // Mean of uniforms: 0.5 with standard error sqrt(1/12 / 200000) = 6.5e-4.
    EXPECT_NEAR(sum / kDraws, 0.5L, 4 * 6.5e-4L);
    ResetUniformRandom();
    EXPECT_EQ(UniformRandom(), 1120735397 * 4.656613e-10L);
}

// Runs the call and returns the identifier of the EArgumentError it raises (0 if none).
int RaisedIdentifier(const std::function<void()>& call, std::string* message = nullptr) {
    try {
        call();
    } catch (const EArgumentError& error) {
        if (message != nullptr) *message = error.what();
        return error.Identifier();
    }
    return 0;
}

TEST(ArgumentErrorTest, IncompleteGammaAndContinuedFractionRejectBadArguments) {
    struct Row {
        long double x, a;
        int identifier;
    };
    const Row rows[] = {{-1.0L, 2.0L, 1302}, {1.0L, 0.0L, 1301}, {1.0L, -3.0L, 1301},
                        {3e9L, 2.0L, 1361},  {1.0L, 3e9L, 1361}, {kInf, 2.0L, 1361},
                        {-kInf, 2.0L, 1302}, {kNaN, 2.0L, 1362}, {1.0L, kNaN, 1362}};
    for (const Row& row : rows) {
        EXPECT_EQ(RaisedIdentifier([&] { IncompleteGammaP(row.x, row.a); }), row.identifier)
            << row.x << ", " << row.a;
    }
    // The fraction never converges at 0 or for infinite or NaN arguments.
    EXPECT_EQ(RaisedIdentifier([] { GammaContinuedFraction(0.0L, 2.0L); }), 1364);
    EXPECT_EQ(RaisedIdentifier([] { GammaContinuedFraction(kInf, 2.0L); }), 1364);
    EXPECT_EQ(RaisedIdentifier([] { GammaContinuedFraction(5.0L, kInf); }), 1364);
    EXPECT_EQ(RaisedIdentifier([] { GammaContinuedFraction(kNaN, 2.0L); }), 1362);
}

TEST(ArgumentErrorTest, MessagesEndWithTheFormattedLimit) {
    std::string message;
    EXPECT_EQ(RaisedIdentifier([] { IncompleteGammaP(-1.0L, 2.0L); }, &message), 1302);
    EXPECT_EQ(message, ArgumentErrorText(1302) + "0");
    EXPECT_EQ(RaisedIdentifier([] { CheckLimit(1307, 3e9L, 2147483647.0L); }, &message), 1307);
    EXPECT_EQ(message, ArgumentErrorText(1307) + "2147483647");
    EXPECT_EQ(RaisedIdentifier([] { RaiseIf(true, 1363); }, &message), 1363);
    EXPECT_EQ(message, ArgumentErrorText(1363));
}

TEST(ArgumentErrorTest, CheckLimitComparisons) {
    struct Row {
        int test;
        long double value, limit;
        bool fails;
    };
    const Row rows[] = {
        {1301, 0.0L, 0.0L, true},    {1305, 1e-20L, 0.0L, false},    {1302, 0.0L, 0.0L, false},
        {1306, -1e-20L, 0.0L, true}, {1303, 5.0L, 5.0L, true},       {1311, 4.9L, 5.0L, false},
        {1315, 1.0L, 1.0L, false},   {1315, 1.0000001L, 1.0L, true}, {1400, -9.0L, 9.0L, false}};
    for (const Row& row : rows) {
        const int raised = RaisedIdentifier([&] { CheckLimit(row.test, row.value, row.limit); });
        EXPECT_EQ(raised, row.fails ? row.test : 0) << row.test << " " << row.value;
    }
    EXPECT_TRUE(RaiseIf(false, 1361));
}

}  // namespace
}  // namespace orvale
