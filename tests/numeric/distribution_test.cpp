// SPDX-License-Identifier: GPL-3.0-or-later
// The gamma and chi-square distribution classes: moments, closed forms, Boost.Math references
// for the CDF and quantiles, round trips, the large-shape approximation, random variates, and
// the generic base operations through a Cauchy test distribution.
#include <gtest/gtest.h>

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include "numeric/distrib.h"
#include "support/extended_testing.h"

namespace orvale {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

int RaisedIdentifier(const std::function<void()>& call) {
    try {
        call();
    } catch (const EArgumentError& error) {
        return error.Identifier();
    }
    return 0;
}

TEST(ChiSquareTest, FourDegreesOfFreedom) {
    const tChi_square_distribution chi(4.0);
    EXPECT_EQ(chi.GetShape(), 2.0);
    EXPECT_EQ(chi.GetRate(), 0.5);
    EXPECT_EQ(chi.GetDegreesOfFreedom(), 4.0);
    EXPECT_EQ(chi.Mean(), 4.0);
    EXPECT_EQ(chi.Variance(), 8.0);
    EXPECT_EQ(chi.StdDev(), Sqrt(8.0_x));
    EXPECT_EQ(chi.Cdf(0.0), 0.0);
    EXPECT_EQ(chi.Cdf(-1.0), 0.0);
    // F(x) = 1 - e^(-x/2) (1 + x/2); x = 2 takes the series, x = 6 the continued fraction.
    for (const double x : {1.0, 2.0, 6.0, 11.0}) {
        EXPECT_NEAR(chi.Cdf(x), 1.0 - std::exp(-x / 2) * (1.0 + x / 2), 1e-11) << x;
        // The density carries the relative error of LnGamma, about 1e-11.
        EXPECT_NEAR(chi.Density(x), x / 4 * std::exp(-x / 2), 1e-10 * chi.Density(x)) << x;
    }
    EXPECT_NEAR(chi.Cdf(1.0), 0.0902040104, 1e-10);
    EXPECT_NEAR(chi.Quantile(0.95), 9.487729037, 1e-9);
    EXPECT_EQ(chi.Quantile(0.0), 0.0);
    EXPECT_EQ(chi.Quantile(1.0), 2147483647.0);
}

TEST(ChiSquareTest, CdfAndQuantileMatchBoost) {
    for (const double df : {1.0, 2.0, 3.0, 4.0, 7.0, 12.0, 30.0}) {
        const tChi_square_distribution chi(df);
        const boost::math::chi_squared_distribution<double> reference(df);
        for (const double x : {0.05, 0.5, 1.0, 2.5, 4.0, 8.0, 15.0, 40.0, 80.0}) {
            EXPECT_NEAR(chi.Cdf(x), cdf(reference, x), 1e-9) << "df=" << df << " x=" << x;
            EXPECT_NEAR(chi.Density(x), pdf(reference, x), 1e-9) << "df=" << df << " x=" << x;
        }
        for (const double p : {0.001, 0.01, 0.05, 0.25, 0.5, 0.9, 0.99, 0.999}) {
            const double expected = quantile(reference, p);
            EXPECT_NEAR(chi.Quantile(p), expected, 1e-9 * expected) << "df=" << df << " p=" << p;
        }
    }
}

TEST(ChiSquareTest, QuantileAndCdfAreInverse) {
    for (const double df : {1.0, 4.0, 9.0}) {
        const tChi_square_distribution chi(df);
        for (const double x : {0.2, 1.0, 3.3, 9.0, 20.0}) {
            EXPECT_NEAR(chi.Quantile(chi.Cdf(x)), x, 1e-9 * x) << df << " " << x;
        }
        for (const double p : {0.02, 0.3, 0.77, 0.98}) {
            EXPECT_NEAR(chi.Cdf(chi.Quantile(p)), p, 1e-12) << df << " " << p;
        }
    }
}

TEST(ChiSquareTest, SupportEndsAndIntervals) {
    const tChi_square_distribution one(1.0);  // shape 1/2: density infinite at 0
    EXPECT_FALSE(one.InSupport(0.0));
    EXPECT_EQ(one.Density(0.0), 0.0);
    EXPECT_EQ(one.Cdf(0.0), 0.0);
    const tChi_square_distribution two(2.0);  // shape 1: exponential with rate 1/2
    EXPECT_TRUE(two.InSupport(0.0));
    EXPECT_EQ(two.Density(0.0), 0.5);
    const tChi_square_distribution four(4.0);
    EXPECT_NEAR(four.IntervalProbability(2.0, 6.0), four.Cdf(6.0) - four.Cdf(2.0), 1e-18);
    EXPECT_NEAR(four.IntervalProbability(-5.0, 2.0), four.Cdf(2.0), 1e-18);
    EXPECT_NEAR(four.IntervalProbability(2.0, 3e9), 1.0 - four.Cdf(2.0), 1e-18);
    EXPECT_EQ(four.Cdf(3e9), 1.0);
}

TEST(ChiSquareTest, ReInitChangesEveryDerivedValue) {
    tChi_square_distribution chi(4.0);
    chi.Init(10.0, 0.0, 0.0);
    EXPECT_EQ(chi.GetDegreesOfFreedom(), 10.0);
    EXPECT_EQ(chi.Mean(), 10.0);
    EXPECT_NEAR(chi.Density(10.0), pdf(boost::math::chi_squared_distribution<double>(10), 10.0),
                1e-11);
    EXPECT_THROW(chi.Init(-1.0, 0.0, 0.0), EArgumentError);
}

TEST(ChiSquareTest, BadParametersAndArguments) {
    struct Row {
        std::function<void()> call;
        int identifier;
    };
    const tChi_square_distribution chi(4.0);
    const Row rows[] = {
        {[] { tChi_square_distribution bad(0.0); }, 1301},
        {[] { tChi_square_distribution bad(-2.0); }, 1301},
        {[] { tChi_square_distribution bad(4294967294.0); }, 1303},  // shape 2147483647
        {[] { tChi_square_distribution bad(kNaN); }, 1362},
        {[] { tGamma_distribution bad(2.0, 0.0); }, 1305},
        {[] { tGamma_distribution bad(2.0, 3e9); }, 1307},
        {[&] { chi.Quantile(1.5); }, 1315},
        {[&] { chi.Quantile(-0.1); }, 1302},
        {[&] { chi.Quantile(kNaN); }, 1362},
        {[&] { chi.Cdf(kNaN); }, 1362}};
    for (const Row& row : rows) EXPECT_EQ(RaisedIdentifier(row.call), row.identifier);
}

TEST(GammaTest, LargeShapeUsesWilsonHilferty) {
    const tGamma_distribution gamma(1000.0, 2.0);  // mean 500, SD sqrt(250)
    EXPECT_NEAR(gamma.Cdf(500.0), 0.5, 0.01);
    EXPECT_LT(gamma.Cdf(480.0), 0.5);
    Extended previous = 0.0;
    for (int i = 0; i <= 40; ++i) {
        const double x = 420.0 + 4.0 * i;
        const Extended f = gamma.Cdf(x);
        EXPECT_GT(f, previous) << x;
        // The approximation is good to about 1e-5 at this shape.
        EXPECT_NEAR(f, boost::math::gamma_p(1000.0, 2.0 * x), 1e-4) << x;
        previous = f;
    }
}

TEST(GammaTest, QuantileStopsAtTheSupportEnd) {
    // Mean 3e9 exceeds the largest representable support end: the quantile stops there.
    const tGamma_distribution gamma(1.5e9, 0.5);
    EXPECT_EQ(gamma.Quantile(0.5), 2147483647.0);
    // Mean 2147400000, SD 65536: the 99th percentile lies past 2147483647, where the bracket
    // can grow no further.
    const tGamma_distribution nearEnd(1.0737e9, 0.5);
    EXPECT_EQ(nearEnd.Quantile(0.99), 2147483647.0);
}

TEST(GammaTest, RandomValuesHaveTheRightMoments) {
    ResetUniformRandom();
    // Shapes below, at and above 1 take the three generators.
    for (const double df : {1.0, 2.0, 4.0, 9.0}) {
        const tChi_square_distribution chi(df);
        constexpr int kDraws = 40000;
        Extended sum = 0.0;
        int belowMedian = 0;
        const Extended median = chi.Quantile(0.5);
        for (int i = 0; i < kDraws; ++i) {
            const Extended value = chi.RandomValue();
            ASSERT_GE(value, 0.0);
            sum += value;
            if (value < median) ++belowMedian;
        }
        // Standard errors: sqrt(2 df / n) for the mean, sqrt(0.25 / n) for the proportion.
        EXPECT_NEAR(sum / kDraws, df, 4 * std::sqrt(2 * df / kDraws)) << df;
        EXPECT_NEAR(belowMedian / static_cast<double>(kDraws), 0.5, 4 * 0.0025) << df;
    }
}

// A distribution without mean or variance, built only on the base operations: the Cauchy, with
// F(x) = 1/2 + atan(x) / pi and quantile tan(pi (p - 1/2)).
class tTestCauchy : public tContinuous_distribution {
  public:
    tTestCauchy() : tContinuous_distribution(1.0, 1.0) { Init(1.0, 1.0, 0.0); }
    Extended Density(Extended x) const override { return 1.0 / (std::numbers::pi * (1.0 + x * x)); }
    Extended Cdf(Extended x) const override {
        return 0.5 + std::atan(ToDouble(x)) / std::numbers::pi;
    }
    bool HasMean() const override { return false; }
    bool HasVariance() const override { return false; }
    Extended Mean() const override { return kNaN; }
    Extended Variance() const override { return kNaN; }
};

TEST(BaseDistributionTest, QuantileBracketsOutwardsWithoutMoments) {
    const tTestCauchy cauchy;
    for (const double p : {0.001, 0.1, 0.5, 0.9, 0.999}) {
        const double expected = std::tan(std::numbers::pi_v<double> * (p - 0.5));
        EXPECT_NEAR(cauchy.Quantile(p), expected, 1e-9 * std::fmax(1.0, std::fabs(expected))) << p;
    }
    EXPECT_NEAR(cauchy.IntervalProbability(-1.0, 1.0), 0.5, 1e-18);
    EXPECT_EQ(RaisedIdentifier([&] { cauchy.StdDev(); }), 1363);
}

}  // namespace
}  // namespace orvale
