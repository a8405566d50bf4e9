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

namespace orvale {
namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

int RaisedIdentifier(const std::function<void()>& call) {
    try {
        call();
    } catch (const EArgumentError& error) {
        return error.Identifier();
    }
    return 0;
}

TEST(ChiSquareTest, FourDegreesOfFreedom) {
    const tChi_square_distribution chi(4.0L);
    EXPECT_EQ(chi.GetShape(), 2.0L);
    EXPECT_EQ(chi.GetRate(), 0.5L);
    EXPECT_EQ(chi.GetDegreesOfFreedom(), 4.0L);
    EXPECT_EQ(chi.Mean(), 4.0L);
    EXPECT_EQ(chi.Variance(), 8.0L);
    EXPECT_EQ(chi.StdDev(), std::sqrt(8.0L));
    EXPECT_EQ(chi.Cdf(0.0L), 0.0L);
    EXPECT_EQ(chi.Cdf(-1.0L), 0.0L);
    // F(x) = 1 - e^(-x/2) (1 + x/2); x = 2 takes the series, x = 6 the continued fraction.
    for (const long double x : {1.0L, 2.0L, 6.0L, 11.0L}) {
        EXPECT_NEAR(chi.Cdf(x), 1.0L - std::exp(-x / 2) * (1.0L + x / 2), 1e-11L) << x;
        // The density carries the relative error of LnGamma, about 1e-11.
        EXPECT_NEAR(chi.Density(x), x / 4 * std::exp(-x / 2), 1e-10L * chi.Density(x)) << x;
    }
    EXPECT_NEAR(chi.Cdf(1.0L), 0.0902040104L, 1e-10L);
    EXPECT_NEAR(chi.Quantile(0.95L), 9.487729037L, 1e-9L);
    EXPECT_EQ(chi.Quantile(0.0L), 0.0L);
    EXPECT_EQ(chi.Quantile(1.0L), 2147483647.0L);
}

TEST(ChiSquareTest, CdfAndQuantileMatchBoost) {
    for (const long double df : {1.0L, 2.0L, 3.0L, 4.0L, 7.0L, 12.0L, 30.0L}) {
        const tChi_square_distribution chi(df);
        const boost::math::chi_squared_distribution<long double> reference(df);
        for (const long double x : {0.05L, 0.5L, 1.0L, 2.5L, 4.0L, 8.0L, 15.0L, 40.0L, 80.0L}) {
            EXPECT_NEAR(chi.Cdf(x), cdf(reference, x), 1e-9L) << "df=" << df << " x=" << x;
            EXPECT_NEAR(chi.Density(x), pdf(reference, x), 1e-9L) << "df=" << df << " x=" << x;
        }
        for (const long double p : {0.001L, 0.01L, 0.05L, 0.25L, 0.5L, 0.9L, 0.99L, 0.999L}) {
            const long double expected = quantile(reference, p);
            EXPECT_NEAR(chi.Quantile(p), expected, 1e-9L * expected) << "df=" << df << " p=" << p;
        }
    }
}

TEST(ChiSquareTest, QuantileAndCdfAreInverse) {
    for (const long double df : {1.0L, 4.0L, 9.0L}) {
        const tChi_square_distribution chi(df);
        for (const long double x : {0.2L, 1.0L, 3.3L, 9.0L, 20.0L}) {
            EXPECT_NEAR(chi.Quantile(chi.Cdf(x)), x, 1e-9L * x) << df << " " << x;
        }
        for (const long double p : {0.02L, 0.3L, 0.77L, 0.98L}) {
            EXPECT_NEAR(chi.Cdf(chi.Quantile(p)), p, 1e-12L) << df << " " << p;
        }
    }
}

TEST(ChiSquareTest, SupportEndsAndIntervals) {
    const tChi_square_distribution one(1.0L);  // shape 1/2: density infinite at 0
    EXPECT_FALSE(one.InSupport(0.0L));
    EXPECT_EQ(one.Density(0.0L), 0.0L);
    EXPECT_EQ(one.Cdf(0.0L), 0.0L);
    const tChi_square_distribution two(2.0L);  // shape 1: exponential with rate 1/2
    EXPECT_TRUE(two.InSupport(0.0L));
    EXPECT_EQ(two.Density(0.0L), 0.5L);
    const tChi_square_distribution four(4.0L);
    EXPECT_NEAR(four.IntervalProbability(2.0L, 6.0L), four.Cdf(6.0L) - four.Cdf(2.0L), 1e-18L);
    EXPECT_NEAR(four.IntervalProbability(-5.0L, 2.0L), four.Cdf(2.0L), 1e-18L);
    EXPECT_NEAR(four.IntervalProbability(2.0L, 3e9L), 1.0L - four.Cdf(2.0L), 1e-18L);
    EXPECT_EQ(four.Cdf(3e9L), 1.0L);
}

TEST(ChiSquareTest, ReInitChangesEveryDerivedValue) {
    tChi_square_distribution chi(4.0L);
    chi.Init(10.0L, 0.0L, 0.0L);
    EXPECT_EQ(chi.GetDegreesOfFreedom(), 10.0L);
    EXPECT_EQ(chi.Mean(), 10.0L);
    EXPECT_NEAR(chi.Density(10.0L),
                pdf(boost::math::chi_squared_distribution<long double>(10), 10.0L), 1e-11L);
    EXPECT_THROW(chi.Init(-1.0L, 0.0L, 0.0L), EArgumentError);
}

TEST(ChiSquareTest, BadParametersAndArguments) {
    struct Row {
        std::function<void()> call;
        int identifier;
    };
    const tChi_square_distribution chi(4.0L);
    const Row rows[] = {
        {[] { tChi_square_distribution bad(0.0L); }, 1301},
        {[] { tChi_square_distribution bad(-2.0L); }, 1301},
        {[] { tChi_square_distribution bad(4294967294.0L); }, 1303},  // shape 2147483647
        {[] { tChi_square_distribution bad(kNaN); }, 1362},
        {[] { tGamma_distribution bad(2.0L, 0.0L); }, 1305},
        {[] { tGamma_distribution bad(2.0L, 3e9L); }, 1307},
        {[&] { chi.Quantile(1.5L); }, 1315},
        {[&] { chi.Quantile(-0.1L); }, 1302},
        {[&] { chi.Quantile(kNaN); }, 1362},
        {[&] { chi.Cdf(kNaN); }, 1362}};
    for (const Row& row : rows) EXPECT_EQ(RaisedIdentifier(row.call), row.identifier);
}

TEST(GammaTest, LargeShapeUsesWilsonHilferty) {
    const tGamma_distribution gamma(1000.0L, 2.0L);  // mean 500, SD sqrt(250)
    EXPECT_NEAR(gamma.Cdf(500.0L), 0.5L, 0.01L);
    EXPECT_LT(gamma.Cdf(480.0L), 0.5L);
    long double previous = 0.0L;
    for (int i = 0; i <= 40; ++i) {
        const long double x = 420.0L + 4.0L * i;
        const long double f = gamma.Cdf(x);
        EXPECT_GT(f, previous) << x;
        // The approximation is good to about 1e-5 at this shape.
        EXPECT_NEAR(f, boost::math::gamma_p(1000.0L, 2.0L * x), 1e-4L) << x;
        previous = f;
    }
}

TEST(GammaTest, QuantileStopsAtTheSupportEnd) {
    // Mean 3e9 exceeds the largest representable support end: the quantile stops there.
    const tGamma_distribution gamma(1.5e9L, 0.5L);
    EXPECT_EQ(gamma.Quantile(0.5L), 2147483647.0L);
    // Mean 2147400000, SD 65536: the 99th percentile lies past 2147483647, where the bracket
    // can grow no further.
    const tGamma_distribution nearEnd(1.0737e9L, 0.5L);
    EXPECT_EQ(nearEnd.Quantile(0.99L), 2147483647.0L);
}

TEST(GammaTest, RandomValuesHaveTheRightMoments) {
    ResetUniformRandom();
    // Shapes below, at and above 1 take the three generators.
    for (const long double df : {1.0L, 2.0L, 4.0L, 9.0L}) {
        const tChi_square_distribution chi(df);
        constexpr int kDraws = 40000;
        long double sum = 0.0L;
        int belowMedian = 0;
        const long double median = chi.Quantile(0.5L);
        for (int i = 0; i < kDraws; ++i) {
            const long double value = chi.RandomValue();
            ASSERT_GE(value, 0.0L);
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
    tTestCauchy() : tContinuous_distribution(1.0L, 1.0L) { Init(1.0L, 1.0L, 0.0L); }
    long double Density(long double x) const override {
        return 1.0L / (std::numbers::pi_v<long double> * (1.0L + x * x));
    }
    long double Cdf(long double x) const override {
        return 0.5L + std::atan(x) / std::numbers::pi_v<long double>;
    }
    bool HasMean() const override { return false; }
    bool HasVariance() const override { return false; }
    long double Mean() const override { return kNaN; }
    long double Variance() const override { return kNaN; }
};

TEST(BaseDistributionTest, QuantileBracketsOutwardsWithoutMoments) {
    const tTestCauchy cauchy;
    for (const long double p : {0.001L, 0.1L, 0.5L, 0.9L, 0.999L}) {
        const long double expected = std::tan(std::numbers::pi_v<long double> * (p - 0.5L));
        EXPECT_NEAR(cauchy.Quantile(p), expected, 1e-9L * std::fmax(1.0L, std::fabs(expected)))
            << p;
    }
    EXPECT_NEAR(cauchy.IntervalProbability(-1.0L, 1.0L), 0.5L, 1e-18L);
    EXPECT_EQ(RaisedIdentifier([&] { cauchy.StdDev(); }), 1363);
}

}  // namespace
}  // namespace orvale
