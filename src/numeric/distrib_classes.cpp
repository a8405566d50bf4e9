// SPDX-License-Identifier: GPL-3.0-or-later
// The distribution classes: the common base with its generic CDF, interval, moment and random
// operations, the continuous quantile, and the gamma and chi-square distributions.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "numeric/distrib.h"

namespace orvale {

namespace {

// Above this shape the gamma CDF uses the Wilson-Hilferty approximation, where the series would
// need far more than its hundred terms.
constexpr long double kLargeShapeThreshold = 500.0L;
constexpr long double kQuantileDefaultHalfWidth = 8.0L;  // bracket half-width without a variance
constexpr long double kQuantileExpansionFactor = 8.0L;   // bracket growth per step

}  // namespace

// ---- tDistribution ----

bool tDistribution::Init(long double p1, long double p2, long double p3) {
    Parameters[0].Value = p1;
    Parameters[1].Value = p2;
    Parameters[2].Value = p3;
    for (int i = 1; i <= ParameterCount; ++i) CheckParameter(i);
    SupportLower = -kInfinityValue;
    SupportUpper = kInfinityValue;
    return true;
}

void tDistribution::CheckParameter(int i) const {
    using namespace argument_error;
    const tParameter& parameter = Parameters[i - 1];
    const long double v = parameter.Value;
    // A NaN passes every comparison below and would poison every later result.
    RaiseIf(std::isnan(v), kNotANumber);
    if (!parameter.IntegerValued) {
        CheckLimit(ParameterNotAboveLower(i), v, parameter.LowerLimit);
        CheckLimit(ParameterNotBelowUpper(i), v, parameter.UpperLimit);
    } else {
        // A whole-number parameter may equal its lower limit (a count of 0, say).
        CheckLimit(ParameterBelowLower(i), v, parameter.LowerLimit);
        CheckLimit(ParameterNotBelowUpper(i), v, parameter.UpperLimit);
        RaiseIf(!IsWholeNumber(v), ParameterNotWhole(i));
    }
}

bool tDistribution::InSupport(long double x) const {
    return SupportLower <= x && x <= SupportUpper;
}

long double tDistribution::Density(long double /*x*/) const {
    return 0.0L;
}

long double tDistribution::PointProbability(long double /*x*/) const {
    return 0.0L;
}

long double tDistribution::Cdf(long double x) const {
    RaiseIf(std::isnan(x), argument_error::kNotANumber);
    if (x < SupportLower) return 0.0L;
    if (x >= SupportUpper) return 1.0L;
    return IntervalProbability(SupportLower, x);
}

long double tDistribution::IntervalProbability(long double a, long double b) const {
    if (a < SupportLower) a = SupportLower;
    if (b > SupportUpper) b = SupportUpper;
    long double r = 0.0L;
    if (b >= kInfinityValue) {
        r = (1.0L - Cdf(a)) + PointProbability(a);
    } else if (a <= -kInfinityValue) {
        r = Cdf(b);
    } else {
        r = (Cdf(b) - Cdf(a)) + PointProbability(a);
    }
    return std::clamp(r, 0.0L, 1.0L);
}

bool tDistribution::HasMean() const {
    return true;
}

bool tDistribution::HasVariance() const {
    return true;
}

long double tDistribution::StdDev() const {
    RaiseIf(!HasVariance(), argument_error::kNoVariance);
    return std::sqrt(Variance());
}

long double tDistribution::RandomValue() const {
    return Quantile(UniformRandom());
}

// ---- tContinuous_distribution ----

tContinuous_distribution::tContinuous_distribution(long double p1, long double p2) {
    ParameterCount = 2;
    for (int i = 0; i < 2; ++i) {
        Parameters[i].IntegerValued = false;
        Parameters[i].LowerLimit = 0.0L;
        Parameters[i].UpperLimit = kInfinityValue;
    }
    Parameters[0].Value = p1;
    Parameters[1].Value = p2;
}

long double tContinuous_distribution::Quantile(long double p) const {
    using namespace argument_error;
    CheckLimit(kNegativeArgument, p, 0.0L);
    RaiseIf(std::isnan(p), kNotANumber);
    if (ApproxEqual(0.0L, p)) return SupportLower;
    CheckLimit(kProbabilityAboveOne, p, 1.0L);
    if (ApproxEqual(1.0L, p)) return SupportUpper;

    // Bracket: start at two standard deviations about the mean and grow outwards.
    long double lo = SupportLower;
    long double hi = SupportUpper;
    const long double centre = HasMean() ? Mean() : (lo + hi) / 2.0L;
    const long double step = HasVariance() ? 2.0L * StdDev() : kQuantileDefaultHalfWidth;
    if (hi > centre + step) hi = centre + step;
    if (lo < centre - step) lo = centre - step;
    // A mean beyond a support end (a gamma mean above 2147483647) leaves an empty bracket, from
    // which the growth below would run the wrong way: search the whole support instead.
    if (lo > hi) {
        lo = SupportLower;
        hi = SupportUpper;
    }
    // Each growth stops at the support's end, where the CDF may still fall short of p (a mean
    // near 2147483647): going on there would never end, so the bracket ends at the support.
    while (hi < SupportUpper && Cdf(hi) < p) {
        lo = hi;
        hi = centre + kQuantileExpansionFactor * (hi - centre);
        if (hi > SupportUpper || !(hi > lo)) hi = SupportUpper;
    }
    if (ApproxEqual(hi - lo, 2.0L * step)) {
        while (lo > SupportLower && Cdf(lo) > p) {
            hi = lo;
            lo = centre + kQuantileExpansionFactor * (lo - centre);
            if (lo < SupportLower || !(lo < hi)) lo = SupportLower;
        }
    }

    // Newton steps while they stay well inside the bracket, bisection otherwise.
    long double x = (lo + hi) / 2.0L;
    long double xOld = 0.0L;
    do {
        xOld = x;
        const long double d = Cdf(x) - p;
        const long double f = Density(x);
        if (d <= 0.0L) lo = x;
        if (d >= 0.0L) hi = x;
        if ((hi - lo) * f > std::fabs(2.0L * d)) {
            x = x - d / f;
        } else {
            x = (lo + hi) / 2.0L;
        }
    } while (!(std::fabs(x - xOld) < kEqualityTolerance));
    return x;
}

// ---- tGamma_distribution ----

tGamma_distribution::tGamma_distribution(long double shape, long double rate)
    : tContinuous_distribution(shape, rate) {
    tGamma_distribution::Init(shape, rate, 0.0L);
}

bool tGamma_distribution::Init(long double p1, long double p2, long double p3) {
    const bool ok = tDistribution::Init(p1, p2, p3);
    Shape = p1;
    Rate = p2;
    LogNormaliser = std::log(Rate) * Shape - LnGamma(Shape);
    SupportLower = 0.0L;
    SupportUpper = kInfinityValue;
    const long double alpha = Shape;
    if (alpha > 1.0L) {
        // Bounds of t sqrt(h(t)) at t = 1 - s and t = 1 + s for the ratio-of-uniforms generator,
        // h(t) = ((alpha - 1 + t) / (alpha - 1))^(alpha - 1) e^(-t).
        const long double s = std::sqrt(2.0L * alpha - 1.0L);
        GeneratorA =
            (1.0L - s) *
            std::sqrt(std::exp((std::log(alpha - s) - std::log(alpha - 1.0L)) * (alpha - 1.0L) + s -
                               1.0L));
        GeneratorB =
            (1.0L + s) *
            std::sqrt(std::exp((std::log(alpha + s) - std::log(alpha - 1.0L)) * (alpha - 1.0L) - s -
                               1.0L));
    } else if (alpha < 1.0L) {
        constexpr long double e = std::numbers::e_v<long double>;
        GeneratorA = (e + alpha) / e;
        GeneratorB = 1.0L / alpha;
    }
    return ok;
}

bool tGamma_distribution::InSupport(long double x) const {
    if (Shape >= 1.0L) return tDistribution::InSupport(x);
    return tDistribution::InSupport(x) && x > 0.0L;  // the density is infinite at 0
}

long double tGamma_distribution::Density(long double x) const {
    if (InSupport(x) && x > 0.0L) {
        return std::exp(std::log(x) * (Shape - 1.0L) + LogNormaliser - Rate * x);
    }
    if (ApproxEqual(Shape, 1.0L) && x == 0.0L) return Rate;
    return 0.0L;
}

long double tGamma_distribution::Cdf(long double x) const {
    RaiseIf(std::isnan(x), argument_error::kNotANumber);
    if (!InSupport(x)) return x <= 0.0L ? 0.0L : 1.0L;
    if (Shape <= kLargeShapeThreshold) return IncompleteGammaP(Rate * x, Shape);
    // Wilson-Hilferty: (lambda x / alpha)^(1/3) is nearly normal with mean 1 - 1/(9 alpha);
    // P(1/2, z^2/2) is the two-sided normal probability of |Z| < |z|.
    const long double c = ExtPower(Rate * x / Shape, 1.0L / 3.0L) - 1.0L + 1.0L / (9.0L * Shape);
    const long double q = IncompleteGammaP(c * c * 4.5L * Shape, 0.5L);
    return c >= 0.0L ? (1.0L + q) / 2.0L : (1.0L - q) / 2.0L;
}

long double tGamma_distribution::Mean() const {
    return Shape / Rate;
}

long double tGamma_distribution::Variance() const {
    return Shape / (Rate * Rate);
}

long double tGamma_distribution::RandomValue() const {
    const long double alpha = Shape;
    long double g = 0.0L;
    if (alpha == 1.0L) {
        g = -std::log(UniformRandom());
    } else if (alpha > 1.0L) {
        // Ratio of uniforms around the mode alpha - 1, with quick accept and reject tests.
        for (;;) {
            const long double u = UniformRandom();
            const long double v = UniformRandom();
            long double t = (v * (GeneratorB - GeneratorA) + GeneratorA) / u;
            const long double w = t + alpha - 1.0L;
            const long double t2 = t * t;
            const long double c = -2.0L * u * u + 8.0L * u - 6.0L;
            const long double rejectBound = 2.0L * u * u - 2.0L;
            if (t >= 0.0L) {
                if (-t2 * (t + w) >= w * w * c) {
                    g = w;
                    break;
                }
                if (-u * t2 <= rejectBound * w) continue;
            } else {
                if (-t2 >= c * w) {
                    g = w;
                    break;
                }
                if (-u * t2 <= rejectBound * (alpha - 1.0L)) continue;
            }
            if (w <= 0.0L) continue;
            if (2.0L * std::log(u) + t > (alpha - 1.0L) * std::log(t / (alpha - 1.0L) + 1.0L)) {
                continue;
            }
            g = w;
            break;
        }
    } else {
        // Rejection from a mixture of x^(alpha-1) near 0 and e^(-x) above 1.
        for (;;) {
            const long double q = GeneratorA * UniformRandom();
            const long double u2 = UniformRandom();
            if (q <= 1.0L) {
                g = ExtPower(q, GeneratorB);
                if (-g >= std::log(u2)) break;
            } else {
                g = -std::log((GeneratorA - q) * GeneratorB);
                if (u2 <= ExtPower(g, alpha - 1.0L)) break;
            }
        }
    }
    return g / Rate;
}

// ---- tChi_square_distribution ----

tChi_square_distribution::tChi_square_distribution(long double degreesOfFreedom)
    : tGamma_distribution(degreesOfFreedom / 2.0L, 0.5L) {
    tChi_square_distribution::Init(degreesOfFreedom, 0.0L, 0.0L);
}

bool tChi_square_distribution::Init(long double p1, long double /*p2*/, long double /*p3*/) {
    const bool ok = tGamma_distribution::Init(p1 / 2.0L, 0.5L, 0.0L);
    DegreesOfFreedom = p1;
    return ok;
}

}  // namespace orvale
