// SPDX-License-Identifier: GPL-3.0-or-later
// The free routines of the distribution library: argument checks and their messages, log-gamma,
// the incomplete gamma function, extended powers and the uniform generator.
#include "numeric/distrib.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <vector>

namespace orvale {

namespace {

// Lanczos coefficients of ln Gamma (six terms, shift 5.5).
constexpr std::array<long double, 6> kLnGammaCoefficients = {
    76.18009172947146L,  -86.50532032941677L,   24.01409824083091L,
    -1.231739572450155L, 0.001208650973866179L, -0.000005395239384953L};
constexpr long double kLnGammaShift = 5.5L;
constexpr long double kSqrtTwoPi = 2.5066282746310005L;
constexpr int kSeriesTermLimit = 100;  // GammaSeries stops silently after this many terms

// L'Ecuyer (1988): two multiplicative congruential generators combined by subtraction.
constexpr std::int32_t kRandomSeed1 = 897183450;
constexpr std::int32_t kRandomSeed2 = 1841323562;
constexpr std::int32_t kModulus1 = 2147483563, kMultiplier1 = 40014, kQuotient1 = 53668,
                       kRemainder1 = 12211;
constexpr std::int32_t kModulus2 = 2147483399, kMultiplier2 = 40692, kQuotient2 = 52774,
                       kRemainder2 = 3791;
constexpr long double kUniformScale = 4.656613e-10L;  // about 1 / 2^31

// The generator state, shared by every caller for the life of the program.
std::int32_t RandomState1 = kRandomSeed1;
std::int32_t RandomState2 = kRandomSeed2;

const char* OrdinalParameter(int i) {
    switch (i) {
        case 1:
            return "The first parameter";
        case 2:
            return "The second parameter";
        default:
            return "The third parameter";
    }
}

}  // namespace

std::string ArgumentErrorText(int identifier) {
    using namespace argument_error;
    switch (identifier) {
        case kNegativeArgument:
            return "The argument must not be less than ";
        case kProbabilityAboveOne:
            return "The probability must not be greater than ";
        case kIncompleteGammaTooLarge:
            return "An argument of the incomplete gamma function is above 2147483647";
        case kNotANumber:
            return "The argument is not a number";
        case kNoVariance:
            return "The distribution has no variance";
        case kContinuedFractionDomain:
            return "The continued fraction needs a finite argument greater than 0 and a finite "
                   "shape";
        case kStandardDeviationNotPositive:
            return "A standard deviation is not a number greater than 0";
        default:
            break;
    }
    if (identifier >= ParameterNotAboveLower(1) && identifier <= ParameterNotWhole(3)) {
        const int i = (identifier - 1297) / 4;
        const std::string parameter = OrdinalParameter(i);
        switch ((identifier - 1297) % 4) {
            case 0:
                return parameter + " must be greater than ";
            case 1:
                return parameter + " must not be less than ";
            case 2:
                return parameter + " must be less than ";
            default:
                return parameter + " must be a whole number";
        }
    }
    return "Invalid argument (" + std::to_string(identifier) + ")";
}

bool ApproxEqual(long double a, long double b) {
    return std::fabs(b - a) < kEqualityTolerance;
}

bool IsWholeNumber(long double x) {
    // nearbyint rounds ties to even in the default rounding mode.
    return std::fabs(x) < kInfinityValue && ApproxEqual(x, std::nearbyint(x));
}

std::string FormatLimit(long double x) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Infinity" : "-Infinity";
    // %Lf writes the decimal separator of the current C locale.
    const int length = std::snprintf(nullptr, 0, "%.12Lf", x);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::snprintf(buffer.data(), buffer.size(), "%.12Lf", x);
    std::string text(buffer.data());
    const std::string separator = std::localeconv()->decimal_point;
    const std::size_t separatorAt = text.find(separator);
    if (separatorAt != std::string::npos) {
        std::size_t end = text.size();
        while (end > separatorAt + separator.size() && text[end - 1] == '0') --end;
        if (end == separatorAt + separator.size()) end = separatorAt;
        text.resize(end);
    }
    if (text == "-0") text = "0";
    return text;
}

bool RaiseIf(bool condition, int message) {
    if (condition) throw EArgumentError(message, ArgumentErrorText(message));
    return true;
}

bool CheckLimit(int test, long double value, long double limit) {
    bool fails = false;
    switch (test) {
        case 1301:
        case 1305:
        case 1309:
            fails = limit >= value;
            break;
        case 1302:
        case 1306:
        case 1310:
            fails = limit > value;
            break;
        case 1303:
        case 1307:
        case 1311:
            fails = limit <= value;
            break;
        case 1315:
            fails = limit < value;
            break;
        default:
            break;
    }
    if (fails) throw EArgumentError(test, ArgumentErrorText(test) + FormatLimit(limit));
    return true;
}

long double ExtIntPower(long double base, std::int32_t exponent) {
    std::uint64_t remaining = exponent < 0 ? static_cast<std::uint64_t>(-std::int64_t{exponent})
                                           : static_cast<std::uint64_t>(exponent);
    long double result = 1.0L;
    long double square = base;
    while (remaining != 0) {
        if ((remaining & 1U) != 0) result *= square;
        square *= square;
        remaining >>= 1U;
    }
    return exponent < 0 ? 1.0L / result : result;
}

long double ExtPower(long double base, long double exponent) {
    if (exponent == 0.0L) return 1.0L;
    if (base == 0.0L && exponent > 0.0L) return 0.0L;
    if (exponent == std::trunc(exponent) && std::fabs(exponent) <= kInfinityValue) {
        return ExtIntPower(base, static_cast<std::int32_t>(exponent));
    }
    return std::exp(exponent * std::log(base));
}

long double LnGamma(long double x) {
    long double y = x - 1.0L;
    long double t = y + kLnGammaShift;
    t = (y + 0.5L) * std::log(t) - t;
    long double s = 1.0L;
    for (const long double coefficient : kLnGammaCoefficients) {
        y = y + 1.0L;
        s = s + coefficient / y;
    }
    return t + std::log(kSqrtTwoPi * s);
}

long double GammaSeries(long double x, long double a) {
    if (ApproxEqual(0.0L, x)) return 0.0L;
    long double ap = a;
    long double sum = 1.0L / a;
    long double del = sum;
    int n = 1;
    do {
        ap = ap + 1.0L;
        del = del * x / ap;
        sum = sum + del;
        ++n;
    } while (!(std::fabs(sum) * kEqualityTolerance > std::fabs(del) || n > kSeriesTermLimit));
    return sum * std::exp(a * std::log(x) - x - LnGamma(a));
}

long double GammaContinuedFraction(long double x, long double a) {
    // At x = 0 every convergent numerator stays 0 and with a NaN or infinity the convergence
    // test never passes: either would loop for ever.
    RaiseIf(std::isnan(x) || std::isnan(a), argument_error::kNotANumber);
    RaiseIf(!(x > 0.0L) || std::isinf(x) || std::isinf(a),
            argument_error::kContinuedFractionDomain);
    long double g = 0.0L;
    long double gOld = 1.0L;
    long double a0 = 1.0L, a1 = x, b0 = 0.0L, b1 = 1.0L, fac = 1.0L;
    int n = 1;
    do {
        const long double ana = n - a;
        a0 = (a0 * ana + a1) * fac;
        b0 = (b0 * ana + b1) * fac;
        const long double anf = n * fac;
        a1 = x * a0 + anf * a1;
        b1 = x * b0 + anf * b1;
        if (a1 != 0.0L) {  // renormalise so that the convergents stay in range
            gOld = g;
            fac = 1.0L / a1;
            g = b1 * fac;
        }
        ++n;
    } while (!(std::fabs((g - gOld) / g) < kEqualityTolerance));
    return std::exp(a * std::log(x) - x - LnGamma(a)) * g;
}

long double IncompleteGammaP(long double x, long double a) {
    using namespace argument_error;
    CheckLimit(kNegativeArgument, x, 0.0L);
    RaiseIf(x > kInfinityValue, kIncompleteGammaTooLarge);
    RaiseIf(std::isnan(x), kNotANumber);
    CheckLimit(ParameterNotAboveLower(1), a, 0.0L);
    RaiseIf(a > kInfinityValue, kIncompleteGammaTooLarge);
    RaiseIf(std::isnan(a), kNotANumber);
    // The series converges fast below a + 1, the continued fraction above.
    if (x < a + 1.0L) return GammaSeries(x, a);
    return 1.0L - GammaContinuedFraction(x, a);
}

long double UniformRandom() {
    // Schrage's decomposition keeps every product within 32-bit signed range.
    std::int32_t k = RandomState1 / kQuotient1;
    RandomState1 = kMultiplier1 * (RandomState1 - k * kQuotient1) - kRemainder1 * k;
    if (RandomState1 < 0) RandomState1 += kModulus1;
    k = RandomState2 / kQuotient2;
    RandomState2 = kMultiplier2 * (RandomState2 - k * kQuotient2) - kRemainder2 * k;
    if (RandomState2 < 0) RandomState2 += kModulus2;
    std::int32_t z = RandomState1 - RandomState2;
    if (z < 1) z += kModulus1 - 1;
    return z * kUniformScale;
}

void ResetUniformRandom() {
    RandomState1 = kRandomSeed1;
    RandomState2 = kRandomSeed2;
}

}  // namespace orvale
