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
#include "support/extended_testing.h"

namespace orvale {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(LnGammaTest, MatchesBoostAndKnownValues) {
    // ln Gamma(1) = ln Gamma(2) = 0; ln Gamma(1/2) = ln sqrt(pi) = 0.5723649429247001.
    EXPECT_NEAR(LnGamma(1.0), 0.0, 1e-10);
    EXPECT_NEAR(LnGamma(2.0), 0.0, 1e-10);
    EXPECT_NEAR(LnGamma(0.5), 0.5723649429247001, 1e-10);
    for (const double x : {0.1, 0.5, 1.5, 2.5, 3.0, 7.25, 10.0, 42.0, 250.0, 1e4}) {
        const double reference = boost::math::lgamma(x);
        EXPECT_NEAR(LnGamma(x), reference, 1e-10 * std::fmax(1.0, std::fabs(reference))) << x;
    }
}

TEST(IncompleteGammaTest, MatchesBoostOverAGrid) {
    // The absolute error of the six-term log-gamma, up to about 1e-10, becomes the relative
    // error of P through the factor e^(a ln x - x - ln Gamma(a)).
    for (const double a : {0.5, 1.0, 2.0, 3.5, 10.0, 40.0}) {
        for (const double x : {0.01, 0.3, 1.0, 2.0, 3.0, 5.5, 12.0, 30.0, 60.0}) {
            const double reference = boost::math::gamma_p(a, x);
            EXPECT_NEAR(IncompleteGammaP(x, a), reference, 2e-10 * reference)
                << "a=" << a << " x=" << x;
        }
    }
    EXPECT_EQ(IncompleteGammaP(0.0, 2.0), 0.0);
}

TEST(IncompleteGammaTest, SeriesAndContinuedFractionAgreeWithTheClosedFormForShapeTwo) {
    // P(2, x) = 1 - e^-x (1 + x). x = 1 takes the series (1 < 3), x = 3 the continued fraction.
    for (const double x : {0.5, 1.0, 2.999, 3.0, 4.0, 9.0}) {
        EXPECT_NEAR(IncompleteGammaP(x, 2.0), 1.0 - std::exp(-x) * (1.0 + x), 1e-11) << x;
    }
    EXPECT_NEAR(GammaContinuedFraction(3.0, 2.0), std::exp(-3.0) * 4.0, 1e-11);
    EXPECT_NEAR(GammaSeries(1.0, 2.0), 1.0 - 2.0 * std::exp(-1.0), 1e-11);
}

TEST(PowerTest, SpecialCasesAndWholeExponents) {
    struct Row {
        double base, exponent, expected;
    };
    const Row rows[] = {{0.0, 2.0, 0.0},   {5.5, 0.0, 1.0},      {0.0, 0.0, 1.0},
                        {2.0, -2.0, 0.25}, {2.0, 10.0, 1024.0},  {-2.0, 3.0, -8.0},
                        {9.0, 0.5, 3.0},   {8.0, 1.0 / 3.0, 2.0}};
    for (const Row& row : rows) {
        EXPECT_NEAR(ExtPower(row.base, row.exponent), row.expected, 1e-15)
            << row.base << "^" << row.exponent;
    }
    EXPECT_EQ(ExtIntPower(3.0, 5), 243.0);
    EXPECT_EQ(ExtIntPower(2.0, -3), 0.125);
    EXPECT_EQ(ExtIntPower(7.0, 0), 1.0);
    EXPECT_EQ(ExtIntPower(1.0, std::numeric_limits<std::int32_t>::min()), 1.0);
}

TEST(ToleranceTest, ApproxEqualAndWholeNumbers) {
    EXPECT_TRUE(ApproxEqual(1.0, 1.0 + 4e-12));
    EXPECT_FALSE(ApproxEqual(1.0, 1.0 + 6e-12));
    struct Row {
        double x;
        bool whole;
    };
    const Row rows[] = {{3.0, true},           {-4.0, true}, {3.0 + 1e-12, true},
                        {3.0 + 1e-11, false},  {2.5, false}, {2147483646.0, true},
                        {2147483647.0, false}, {kNaN, false}};
    for (const Row& row : rows) EXPECT_EQ(IsWholeNumber(row.x), row.whole) << row.x;
}

TEST(FormatLimitTest, AtMostTwelveDecimalsWithoutTrailingZeros) {
    struct Row {
        double x;
        const char* text;
    };
    const Row rows[] = {{0.0, "0"},
                        {1.0, "1"},
                        {0.5, "0.5"},
                        {-1.5, "-1.5"},
                        {0.00125, "0.00125"},
                        {2147483647.0, "2147483647"},
                        {1.0 / 3.0, "0.333333333333"},
                        {1e-13, "0"},
                        {-1e-13, "0"}};
    for (const Row& row : rows) EXPECT_EQ(FormatLimit(row.x), row.text);
}

TEST(UniformRandomTest, FixedSequenceStrictlyInsideTheUnitInterval) {
    ResetUniformRandom();
    EXPECT_EQ(UniformRandom(), 1120735397 * 4.656613e-10_x);
    EXPECT_EQ(UniformRandom(), 376398899 * 4.656613e-10_x);
    EXPECT_EQ(UniformRandom(), 248445365 * 4.656613e-10_x);
    Extended sum = 0.0;
    constexpr int kDraws = 200000;
    for (int i = 0; i < kDraws; ++i) {
        const Extended u = UniformRandom();
        ASSERT_GT(u, 0.0);
        ASSERT_LT(u, 1.0);
        sum += u;
    }
    // Mean of uniforms: 0.5 with standard error sqrt(1/12 / 200000) = 6.5e-4.
    EXPECT_NEAR(sum / kDraws, 0.5, 4 * 6.5e-4);
    ResetUniformRandom();
    EXPECT_EQ(UniformRandom(), 1120735397 * 4.656613e-10_x);
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
        double x, a;
        int identifier;
    };
    const Row rows[] = {{-1.0, 2.0, 1302},  {1.0, 0.0, 1301},  {1.0, -3.0, 1301},
                        {3e9, 2.0, 1361},   {1.0, 3e9, 1361},  {kInf, 2.0, 1361},
                        {-kInf, 2.0, 1302}, {kNaN, 2.0, 1362}, {1.0, kNaN, 1362}};
    for (const Row& row : rows) {
        EXPECT_EQ(RaisedIdentifier([&] { IncompleteGammaP(row.x, row.a); }), row.identifier)
            << row.x << ", " << row.a;
    }
    // The fraction never converges at 0 or for infinite or NaN arguments.
    EXPECT_EQ(RaisedIdentifier([] { GammaContinuedFraction(0.0, 2.0); }), 1364);
    EXPECT_EQ(RaisedIdentifier([] { GammaContinuedFraction(kInf, 2.0); }), 1364);
    EXPECT_EQ(RaisedIdentifier([] { GammaContinuedFraction(5.0, kInf); }), 1364);
    EXPECT_EQ(RaisedIdentifier([] { GammaContinuedFraction(kNaN, 2.0); }), 1362);
}

TEST(ArgumentErrorTest, MessagesEndWithTheFormattedLimit) {
    std::string message;
    EXPECT_EQ(RaisedIdentifier([] { IncompleteGammaP(-1.0, 2.0); }, &message), 1302);
    EXPECT_EQ(message, ArgumentErrorText(1302) + "0");
    EXPECT_EQ(RaisedIdentifier([] { CheckLimit(1307, 3e9, 2147483647.0); }, &message), 1307);
    EXPECT_EQ(message, ArgumentErrorText(1307) + "2147483647");
    EXPECT_EQ(RaisedIdentifier([] { RaiseIf(true, 1363); }, &message), 1363);
    EXPECT_EQ(message, ArgumentErrorText(1363));
}

TEST(ArgumentErrorTest, CheckLimitComparisons) {
    struct Row {
        int test;
        double value, limit;
        bool fails;
    };
    const Row rows[] = {
        {1301, 0.0, 0.0, true},    {1305, 1e-20, 0.0, false},    {1302, 0.0, 0.0, false},
        {1306, -1e-20, 0.0, true}, {1303, 5.0, 5.0, true},       {1311, 4.9, 5.0, false},
        {1315, 1.0, 1.0, false},   {1315, 1.0000001, 1.0, true}, {1400, -9.0, 9.0, false}};
    for (const Row& row : rows) {
        const int raised = RaisedIdentifier([&] { CheckLimit(row.test, row.value, row.limit); });
        EXPECT_EQ(raised, row.fails ? row.test : 0) << row.test << " " << row.value;
    }
    EXPECT_TRUE(RaiseIf(false, 1361));
}

}  // namespace
}  // namespace orvale
