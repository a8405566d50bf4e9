// SPDX-License-Identifier: GPL-3.0-or-later
// Continuous probability distributions (a common base, the gamma and the chi-square) and the free
// routines beneath them: argument checks, log-gamma, the regularised incomplete gamma function,
// extended powers and a reproducible uniform generator. All values are long double (80-bit
// extended). The chi-square CDF turns the squared Mahalanobis distance into a p value.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace orvale {

// Stands for infinity: parameter limits, support ends, the interval rule, the whole-number test.
inline constexpr long double kInfinityValue = 2147483647.0L;
// Absolute tolerance of ApproxEqual and of the series, continued-fraction and quantile loops.
inline constexpr long double kEqualityTolerance = 5e-12L;

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
bool ApproxEqual(long double a, long double b);
// |x| < 2147483647 and x within 5e-12 of the nearest integer (ties to even).
bool IsWholeNumber(long double x);
// x with at least one integer digit, at most twelve decimals, no trailing zeros and the decimal
// separator of the current C locale (the desktop program adopts the user's).
std::string FormatLimit(long double x);
// Raises EArgumentError(message) if condition holds; otherwise returns true.
bool RaiseIf(bool condition, int message);
// Raises EArgumentError(test) with the limit appended if the comparison selected by test fails:
// 1301/1305/1309 value must exceed limit, 1302/1306/1310 value must be at least limit,
// 1303/1307/1311 value must stay below limit, 1315 value must be at most limit; others never.
bool CheckLimit(int test, long double value, long double limit);

// base^exponent by repeated squaring; a negative exponent gives the reciprocal.
long double ExtIntPower(long double base, std::int32_t exponent);
// 1 for exponent 0, 0 for base 0 and exponent > 0, ExtIntPower for whole exponents, otherwise
// e^(exponent ln base).
long double ExtPower(long double base, long double exponent);

// ln Gamma(x) for x > 0 (six-term Lanczos series, relative error about 2e-10).
long double LnGamma(long double x);
// P(a, x) by its power series, at most 100 terms after the first (for x < a + 1).
long double GammaSeries(long double x, long double a);
// Q(a, x) = 1 - P(a, x) by its continued fraction (for x >= a + 1). Raises 1364 unless x > 0
// and both arguments are finite, where the fraction would never converge.
long double GammaContinuedFraction(long double x, long double a);
// P(a, x), the regularised lower incomplete gamma function, for 0 <= x and 0 < a.
long double IncompleteGammaP(long double x, long double a);

// L'Ecuyer's combined multiplicative congruential generator: a value in (0, 1). The sequence is
// the same in every run.
long double UniformRandom();
// Puts the generator back to its start-up state (for reproducible tests).
void ResetUniformRandom();

// One parameter of a distribution.
struct tParameter {
    long double Value = 0.0L;
    bool IntegerValued = false;
    long double LowerLimit = 0.0L;  // the value must lie above this limit
    long double UpperLimit = 0.0L;  // the value must lie below this limit
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
    virtual bool Init(long double p1, long double p2, long double p3);
    virtual bool InSupport(long double x) const;
    virtual long double Density(long double x) const;
    virtual long double PointProbability(long double x) const;  // probability of exactly x
    virtual long double Cdf(long double x) const;
    virtual long double IntervalProbability(long double a, long double b) const;  // P(a<=X<=b)
    virtual long double Quantile(long double p) const = 0;
    virtual bool HasMean() const;
    virtual bool HasVariance() const;
    virtual long double Mean() const = 0;
    virtual long double Variance() const = 0;
    virtual long double StdDev() const;
    virtual long double RandomValue() const;

    int GetParameterCount() const { return ParameterCount; }
    // Parameter i, 1 <= i <= 3.
    const tParameter& GetParameter(int i) const { return Parameters.at(i - 1); }
    long double GetSupportLower() const { return SupportLower; }
    long double GetSupportUpper() const { return SupportUpper; }

  protected:
    tDistribution() = default;

    std::uint8_t ParameterCount = 0;       // parameters in use, at most 3
    std::array<tParameter, 3> Parameters;  // parameter i at index i - 1
    long double SupportLower = -kInfinityValue;
    long double SupportUpper = kInfinityValue;

  private:
    void CheckParameter(int i) const;
};

// A distribution with a density: quantiles by bracketing and safeguarded Newton steps.
class tContinuous_distribution : public tDistribution {
  public:
    long double Quantile(long double p) const override;

  protected:
    // Two real parameters, each above 0 and below kInfinityValue, stored unchecked. C++
    // constructors do not dispatch virtually, so the most-derived class's constructor ends by
    // running its own Init, which checks them; a failed check leaves no object.
    tContinuous_distribution(long double p1, long double p2);
};

// The gamma distribution with shape alpha and rate lambda: density
// lambda^alpha x^(alpha-1) e^(-lambda x) / Gamma(alpha).
class tGamma_distribution : public tContinuous_distribution {
  public:
    tGamma_distribution(long double shape, long double rate);

    bool Init(long double p1, long double p2, long double p3) override;
    bool InSupport(long double x) const override;
    long double Density(long double x) const override;
    long double Cdf(long double x) const override;
    long double Mean() const override;
    long double Variance() const override;
    long double RandomValue() const override;

    long double GetShape() const { return Shape; }
    long double GetRate() const { return Rate; }

  protected:
    long double Shape = 0.0L;          // alpha, parameter 1
    long double Rate = 0.0L;           // lambda, parameter 2; the scale is 1/lambda
    long double LogNormaliser = 0.0L;  // alpha ln lambda - ln Gamma(alpha)
    long double GeneratorA = 0.0L;     // constants of the random-variate generator
    long double GeneratorB = 0.0L;
};

// The chi-square distribution with nu degrees of freedom: gamma with alpha = nu/2, lambda = 1/2.
class tChi_square_distribution : public tGamma_distribution {
  public:
    explicit tChi_square_distribution(long double degreesOfFreedom);

    // p1 is the degrees of freedom; p2 and p3 are ignored.
    bool Init(long double p1, long double p2, long double p3) override;

    long double GetDegreesOfFreedom() const { return DegreesOfFreedom; }

  protected:
    long double DegreesOfFreedom = 0.0L;
};

}  // namespace orvale
