// SPDX-License-Identifier: GPL-3.0-or-later
// Continuous probability distributions (a common base, the gamma and the chi-square) and the free
// routines beneath them: argument checks, log-gamma, the regularised incomplete gamma function,
// extended powers and a reproducible uniform generator. All values are 80-bit extended
// (numeric/extended.h). The chi-square CDF turns the squared Mahalanobis distance into a p value.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "numeric/extended.h"

namespace orvale {

// Stands for infinity: parameter limits, support ends, the interval rule, the whole-number test.
inline constexpr Extended kInfinityValue = 2147483647.0;
// Absolute tolerance of ApproxEqual and of the series, continued-fraction and quantile loops.
inline constexpr Extended kEqualityTolerance =
    ExtendedConstant(5e-12L, 0x3FD9, 0xAFEB'FF0B'CB24'AAFFULL);

// Identifiers of the argument errors; each selects the message text.
namespace argument_error {
// Parameter i (1 to 3) not above its lower limit (also the shape a of IncompleteGammaP).
constexpr int ParameterNotAboveLower(int i) {
    return 4 * i + 1297;
}
// Integer-valued parameter i below its lower limit (1302 is also a negative argument).
constexpr int ParameterBelowLower(int i) {
    return 4 * i + 1298;
}
// Parameter i not below its upper limit.
constexpr int ParameterNotBelowUpper(int i) {
    return 4 * i + 1299;
}
// Integer-valued parameter i not a whole number.
constexpr int ParameterNotWhole(int i) {
    return 4 * i + 1300;
}
inline constexpr int kNegativeArgument = 1302;         // x or p below 0
inline constexpr int kProbabilityAboveOne = 1315;      // p above 1
inline constexpr int kIncompleteGammaTooLarge = 1361;  // x or a above kInfinityValue
inline constexpr int kNotANumber = 1362;               // NaN argument (would never converge)
inline constexpr int kNoVariance = 1363;               // StdDev of a distribution without one
inline constexpr int kContinuedFractionDomain = 1364;  // continued fraction: x <= 0 or infinite
inline constexpr int kStandardDeviationNotPositive = 1365;  // MahalanobisDistance: an SD <= 0
}  // namespace argument_error

// The message text of an identifier. Texts that carry a number end where FormatLimit's text is
// appended.
std::string ArgumentErrorText(int identifier);

// A rejected argument or parameter of the distribution library.
class EArgumentError : public std::runtime_error {
  public:
    EArgumentError(int identifier, const std::string& message)
        : std::runtime_error(message), identifier_(identifier) {}
    int Identifier() const { return identifier_; }

  private:
    int identifier_;
};

// |b - a| < 5e-12.
bool ApproxEqual(Extended a, Extended b);
// |x| < 2147483647 and x within 5e-12 of the nearest integer (ties to even).
bool IsWholeNumber(Extended x);
// x with at least one integer digit, at most twelve decimals, no trailing zeros and the decimal
// separator of the current C locale (the desktop program adopts the user's).
std::string FormatLimit(Extended x);
// Raises EArgumentError(message) if condition holds; otherwise returns true.
bool RaiseIf(bool condition, int message);
// Raises EArgumentError(test) with the limit appended if the comparison selected by test fails:
// 1301/1305/1309 value must exceed limit, 1302/1306/1310 value must be at least limit,
// 1303/1307/1311 value must stay below limit, 1315 value must be at most limit; others never.
bool CheckLimit(int test, Extended value, Extended limit);

// base^exponent by repeated squaring; a negative exponent gives the reciprocal.
Extended ExtIntPower(Extended base, std::int32_t exponent);
// 1 for exponent 0, 0 for base 0 and exponent > 0, ExtIntPower for whole exponents, otherwise
// e^(exponent ln base).
Extended ExtPower(Extended base, Extended exponent);

// ln Gamma(x) for x > 0 (six-term Lanczos series, relative error about 2e-10).
Extended LnGamma(Extended x);
// P(a, x) by its power series, at most 100 terms after the first (for x < a + 1).
Extended GammaSeries(Extended x, Extended a);
// Q(a, x) = 1 - P(a, x) by its continued fraction (for x >= a + 1). Raises 1364 unless x > 0
// and both arguments are finite, where the fraction would never converge.
Extended GammaContinuedFraction(Extended x, Extended a);
// P(a, x), the regularised lower incomplete gamma function, for 0 <= x and 0 < a.
Extended IncompleteGammaP(Extended x, Extended a);

// L'Ecuyer's combined multiplicative congruential generator: a value in (0, 1). The sequence is
// the same in every run.
Extended UniformRandom();
// Puts the generator back to its start-up state (for reproducible tests).
void ResetUniformRandom();

// One parameter of a distribution.
struct tParameter {
    Extended Value = 0.0;
    bool IntegerValued = false;
    Extended LowerLimit = 0.0;  // the value must lie above this limit
    Extended UpperLimit = 0.0;  // the value must lie below this limit
};

// Base of the distributions. A class must override Cdf or IntervalProbability: the base
// versions are defined through each other.
class tDistribution {
  public:
    virtual ~tDistribution() = default;
    tDistribution(const tDistribution&) = default;
    tDistribution& operator=(const tDistribution&) = default;

    // Stores and checks the parameters and sets the support; may be called again on a live
    // object to change the parameters. Raises EArgumentError for a rejected parameter.
    virtual bool Init(Extended p1, Extended p2, Extended p3);
    virtual bool InSupport(Extended x) const;
    virtual Extended Density(Extended x) const;
    virtual Extended PointProbability(Extended x) const;  // probability of exactly x
    virtual Extended Cdf(Extended x) const;
    virtual Extended IntervalProbability(Extended a, Extended b) const;  // P(a<=X<=b)
    virtual Extended Quantile(Extended p) const = 0;
    virtual bool HasMean() const;
    virtual bool HasVariance() const;
    virtual Extended Mean() const = 0;
    virtual Extended Variance() const = 0;
    virtual Extended StdDev() const;
    virtual Extended RandomValue() const;

    int GetParameterCount() const { return ParameterCount; }
    // Parameter i, 1 <= i <= 3.
    const tParameter& GetParameter(int i) const { return Parameters.at(i - 1); }
    Extended GetSupportLower() const { return SupportLower; }
    Extended GetSupportUpper() const { return SupportUpper; }

  protected:
    tDistribution() = default;

    std::uint8_t ParameterCount = 0;       // parameters in use, at most 3
    std::array<tParameter, 3> Parameters;  // parameter i at index i - 1
    Extended SupportLower = -kInfinityValue;
    Extended SupportUpper = kInfinityValue;

  private:
    void CheckParameter(int i) const;
};

// A distribution with a density: quantiles by bracketing and safeguarded Newton steps.
class tContinuous_distribution : public tDistribution {
  public:
    Extended Quantile(Extended p) const override;

  protected:
    // Two real parameters, each above 0 and below kInfinityValue, stored unchecked. C++
    // constructors do not dispatch virtually, so the most-derived class's constructor ends by
    // running its own Init, which checks them; a failed check leaves no object.
    tContinuous_distribution(Extended p1, Extended p2);
};

// The gamma distribution with shape alpha and rate lambda: density
// lambda^alpha x^(alpha-1) e^(-lambda x) / Gamma(alpha).
class tGamma_distribution : public tContinuous_distribution {
  public:
    tGamma_distribution(Extended shape, Extended rate);

    bool Init(Extended p1, Extended p2, Extended p3) override;
    bool InSupport(Extended x) const override;
    Extended Density(Extended x) const override;
    Extended Cdf(Extended x) const override;
    Extended Mean() const override;
    Extended Variance() const override;
    Extended RandomValue() const override;

    Extended GetShape() const { return Shape; }
    Extended GetRate() const { return Rate; }

  protected:
    Extended Shape = 0.0;          // alpha, parameter 1
    Extended Rate = 0.0;           // lambda, parameter 2; the scale is 1/lambda
    Extended LogNormaliser = 0.0;  // alpha ln lambda - ln Gamma(alpha)
    Extended GeneratorA = 0.0;     // constants of the random-variate generator
    Extended GeneratorB = 0.0;
};

// The chi-square distribution with nu degrees of freedom: gamma with alpha = nu/2, lambda = 1/2.
class tChi_square_distribution : public tGamma_distribution {
  public:
    explicit tChi_square_distribution(Extended degreesOfFreedom);

    // p1 is the degrees of freedom; p2 and p3 are ignored.
    bool Init(Extended p1, Extended p2, Extended p3) override;

    Extended GetDegreesOfFreedom() const { return DegreesOfFreedom; }

  protected:
    Extended DegreesOfFreedom = 0.0;
};

}  // namespace orvale
