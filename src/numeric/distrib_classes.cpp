// SPDX-License-Identifier: GPL-3.0-or-later
// The distribution classes: the common base with its generic CDF, interval, moment and random
// operations, the continuous quantile, and the gamma and chi-square distributions.
#include <algorithm>
#include <numbers>

#include "numeric/distrib.h"
#include "numeric/extended_exp.h"

namespace orvale {

namespace {

// Above this shape the gamma CDF uses the Wilson-Hilferty approximation, where the series would
// need far more than its hundred terms.
constexpr Extended kLargeShapeThreshold = 500.0;
constexpr Extended kQuantileDefaultHalfWidth = 8.0;  // bracket half-width without a variance
constexpr Extended kQuantileExpansionFactor = 8.0;   // bracket growth per step
// e, for the generator of shapes below 1.
constexpr Extended kE =
    ExtendedConstant(std::numbers::e_v<long double>, 0x4000, 0xADF8'5458'A2BB'4A9BULL);

}  // namespace

// ---- tDistribution ----

bool tDistribution::Init(Extended p1, Extended p2, Extended p3) {
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
    const Extended v = parameter.Value;
    // A NaN passes every comparison below and would poison every later result.
    RaiseIf(IsNan(v), kNotANumber);
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

bool tDistribution::InSupport(Extended x) const {
    return SupportLower <= x && x <= SupportUpper;
}

Extended tDistribution::Density(Extended /*x*/) const {
    return 0.0;
}

Extended tDistribution::PointProbability(Extended /*x*/) const {
    return 0.0;
}

Extended tDistribution::Cdf(Extended x) const {
    RaiseIf(IsNan(x), argument_error::kNotANumber);
    if (x < SupportLower) return 0.0;
    if (x >= SupportUpper) return 1.0;
    return IntervalProbability(SupportLower, x);
}

Extended tDistribution::IntervalProbability(Extended a, Extended b) const {
    if (a < SupportLower) a = SupportLower;
    if (b > SupportUpper) b = SupportUpper;
    Extended r = 0.0;
    if (b >= kInfinityValue) {
        r = (1.0 - Cdf(a)) + PointProbability(a);
    } else if (a <= -kInfinityValue) {
        r = Cdf(b);
    } else {
        r = (Cdf(b) - Cdf(a)) + PointProbability(a);
    }
    return std::clamp(r, Extended{0.0}, Extended{1.0});
}

bool tDistribution::HasMean() const {
    return true;
}

bool tDistribution::HasVariance() const {
    return true;
}

Extended tDistribution::StdDev() const {
    RaiseIf(!HasVariance(), argument_error::kNoVariance);
    return Sqrt(Variance());
}

Extended tDistribution::RandomValue() const {
    return Quantile(UniformRandom());
}

// ---- tContinuous_distribution ----

tContinuous_distribution::tContinuous_distribution(Extended p1, Extended p2) {
    ParameterCount = 2;
    for (int i = 0; i < 2; ++i) {
        Parameters[i].IntegerValued = false;
        Parameters[i].LowerLimit = 0.0;
        Parameters[i].UpperLimit = kInfinityValue;
    }
    Parameters[0].Value = p1;
    Parameters[1].Value = p2;
}

Extended tContinuous_distribution::Quantile(Extended p) const {
    using namespace argument_error;
    CheckLimit(kNegativeArgument, p, 0.0);
    RaiseIf(IsNan(p), kNotANumber);
    if (ApproxEqual(0.0, p)) return SupportLower;
    CheckLimit(kProbabilityAboveOne, p, 1.0);
    if (ApproxEqual(1.0, p)) return SupportUpper;

    // Bracket: start at two standard deviations about the mean and grow outwards.
    Extended lo = SupportLower;
    Extended hi = SupportUpper;
    const Extended centre = HasMean() ? Mean() : (lo + hi) / 2.0;
    const Extended step = HasVariance() ? 2.0 * StdDev() : kQuantileDefaultHalfWidth;
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
    if (ApproxEqual(hi - lo, 2.0 * step)) {
        while (lo > SupportLower && Cdf(lo) > p) {
            hi = lo;
            lo = centre + kQuantileExpansionFactor * (lo - centre);
            if (lo < SupportLower || !(lo < hi)) lo = SupportLower;
        }
    }

    // Newton steps while they stay well inside the bracket, bisection otherwise.
    Extended x = (lo + hi) / 2.0;
    Extended xOld = 0.0;
    do {
        xOld = x;
        const Extended d = Cdf(x) - p;
        const Extended f = Density(x);
        if (d <= 0.0) lo = x;
        if (d >= 0.0) hi = x;
        if ((hi - lo) * f > Fabs(2.0 * d)) {
            x = x - d / f;
        } else {
            x = (lo + hi) / 2.0;
        }
    } while (!(Fabs(x - xOld) < kEqualityTolerance));
    return x;
}

// ---- tGamma_distribution ----

tGamma_distribution::tGamma_distribution(Extended shape, Extended rate)
    : tContinuous_distribution(shape, rate) {
    tGamma_distribution::Init(shape, rate, 0.0);
}

bool tGamma_distribution::Init(Extended p1, Extended p2, Extended p3) {
    const bool ok = tDistribution::Init(p1, p2, p3);
    Shape = p1;
    Rate = p2;
    LogNormaliser = ExtendedLog(Rate) * Shape - LnGamma(Shape);
    SupportLower = 0.0;
    SupportUpper = kInfinityValue;
    const Extended alpha = Shape;
    if (alpha > 1.0) {
        // Bounds of t sqrt(h(t)) at t = 1 - s and t = 1 + s for the ratio-of-uniforms generator,
        // h(t) = ((alpha - 1 + t) / (alpha - 1))^(alpha - 1) e^(-t).
        const Extended s = Sqrt(2.0 * alpha - 1.0);
        GeneratorA =
            (1.0 - s) *
            Sqrt(ExtendedExp((ExtendedLog(alpha - s) - ExtendedLog(alpha - 1.0)) * (alpha - 1.0) +
                             s - 1.0));
        GeneratorB =
            (1.0 + s) *
            Sqrt(ExtendedExp((ExtendedLog(alpha + s) - ExtendedLog(alpha - 1.0)) * (alpha - 1.0) -
                             s - 1.0));
    } else if (alpha < 1.0) {
        constexpr Extended e = kE;
        GeneratorA = (e + alpha) / e;
        GeneratorB = 1.0 / alpha;
    }
    return ok;
}

bool tGamma_distribution::InSupport(Extended x) const {
    if (Shape >= 1.0) return tDistribution::InSupport(x);
    return tDistribution::InSupport(x) && x > 0.0;  // the density is infinite at 0
}

Extended tGamma_distribution::Density(Extended x) const {
    if (InSupport(x) && x > 0.0) {
        return ExtendedExp(ExtendedLog(x) * (Shape - 1.0) + LogNormaliser - Rate * x);
    }
    if (ApproxEqual(Shape, 1.0) && x == 0.0) return Rate;
    return 0.0;
}

Extended tGamma_distribution::Cdf(Extended x) const {
    RaiseIf(IsNan(x), argument_error::kNotANumber);
    if (!InSupport(x)) return x <= 0.0 ? 0.0 : 1.0;
    if (Shape <= kLargeShapeThreshold) return IncompleteGammaP(Rate * x, Shape);
    // Wilson-Hilferty: (lambda x / alpha)^(1/3) is nearly normal with mean 1 - 1/(9 alpha);
    // P(1/2, z^2/2) is the two-sided normal probability of |Z| < |z|.
    const Extended c = ExtPower(Rate * x / Shape, Extended{1.0} / 3.0) - 1.0 + 1.0 / (9.0 * Shape);
    const Extended q = IncompleteGammaP(c * c * 4.5 * Shape, 0.5);
    return c >= 0.0 ? (1.0 + q) / 2.0 : (1.0 - q) / 2.0;
}

Extended tGamma_distribution::Mean() const {
    return Shape / Rate;
}

Extended tGamma_distribution::Variance() const {
    return Shape / (Rate * Rate);
}

Extended tGamma_distribution::RandomValue() const {
    const Extended alpha = Shape;
    Extended g = 0.0;
    if (alpha == 1.0) {
        g = -ExtendedLog(UniformRandom());
    } else if (alpha > 1.0) {
        // Ratio of uniforms around the mode alpha - 1, with quick accept and reject tests.
        for (;;) {
            const Extended u = UniformRandom();
            const Extended v = UniformRandom();
            Extended t = (v * (GeneratorB - GeneratorA) + GeneratorA) / u;
            const Extended w = t + alpha - 1.0;
            const Extended t2 = t * t;
            const Extended c = -2.0 * u * u + 8.0 * u - 6.0;
            const Extended rejectBound = 2.0 * u * u - 2.0;
            if (t >= 0.0) {
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
                if (-u * t2 <= rejectBound * (alpha - 1.0)) continue;
            }
            if (w <= 0.0) continue;
            if (2.0 * ExtendedLog(u) + t > (alpha - 1.0) * ExtendedLog(t / (alpha - 1.0) + 1.0)) {
                continue;
            }
            g = w;
            break;
        }
    } else {
        // Rejection from a mixture of x^(alpha-1) near 0 and e^(-x) above 1.
        for (;;) {
            const Extended q = GeneratorA * UniformRandom();
            const Extended u2 = UniformRandom();
            if (q <= 1.0) {
                g = ExtPower(q, GeneratorB);
                if (-g >= ExtendedLog(u2)) break;
            } else {
                g = -ExtendedLog((GeneratorA - q) * GeneratorB);
                if (u2 <= ExtPower(g, alpha - 1.0)) break;
            }
        }
    }
    return g / Rate;
}

// ---- tChi_square_distribution ----

tChi_square_distribution::tChi_square_distribution(Extended degreesOfFreedom)
    : tGamma_distribution(degreesOfFreedom / 2.0, 0.5) {
    tChi_square_distribution::Init(degreesOfFreedom, 0.0, 0.0);
}

bool tChi_square_distribution::Init(Extended p1, Extended /*p2*/, Extended /*p3*/) {
    const bool ok = tGamma_distribution::Init(p1 / 2.0, 0.5, 0.0);
    DegreesOfFreedom = p1;
    return ok;
}

}  // namespace orvale
