// SPDX-License-Identifier: GPL-3.0-or-later
// The free routines of the distribution library: argument checks and their messages, log-gamma,
// the incomplete gamma function, extended powers and the uniform generator.
#include "numeric/distrib.h"

#include <clocale>

#include "numeric/extended_exp.h"

namespace orvale {

namespace {

// Lanczos coefficients of ln Gamma (six terms, shift 5.5).
constexpr std::array<Extended, 6> kLnGammaCoefficients = {
    ExtendedConstant(76.18009172947146L, 0x4005, 0x985C'34FB'B0B8'51EEULL),
    ExtendedConstant(-86.50532032941677L, 0xC005, 0xAD02'B958'A1B2'ACB5ULL),
    ExtendedConstant(24.01409824083091L, 0x4003, 0xC01C'DF89'DA66'2CE5ULL),
    ExtendedConstant(-1.231739572450155L, 0xBFFF, 0x9DA9'A46E'6E64'60F3ULL),
    ExtendedConstant(0.001208650973866179L, 0x3FF5, 0x9E6B'98CF'6096'BF3BULL),
    ExtendedConstant(-0.000005395239384953L, 0xBFED, 0xB508'C0E0'74C4'3CE8ULL)};
constexpr Extended kLnGammaShift = 5.5;
constexpr Extended kSqrtTwoPi =
    ExtendedConstant(2.5066282746310005L, 0x4000, 0xA06C'98FF'B138'2CA8ULL);
constexpr int kSeriesTermLimit = 100;  // GammaSeries stops silently after this many terms

// L'Ecuyer (1988): two multiplicative congruential generators combined by subtraction.
constexpr std::int32_t kRandomSeed1 = 897183450;
constexpr std::int32_t kRandomSeed2 = 1841323562;
constexpr std::int32_t kModulus1 = 2147483563, kMultiplier1 = 40014, kQuotient1 = 53668,
                       kRemainder1 = 12211;
constexpr std::int32_t kModulus2 = 2147483399, kMultiplier2 = 40692, kQuotient2 = 52774,
                       kRemainder2 = 3791;
// About 1 / 2^31.
constexpr Extended kUniformScale =
    ExtendedConstant(4.656613e-10L, 0x3FE0, 0x8000'003A'8860'6E1DULL);

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

bool ApproxEqual(Extended a, Extended b) {
    return Fabs(b - a) < kEqualityTolerance;
}

bool IsWholeNumber(Extended x) {
    // nearbyint rounds ties to even in the default rounding mode.
    return Fabs(x) < kInfinityValue && ApproxEqual(x, NearbyInt(x));
}

std::string FormatLimit(Extended x) {
    if (IsNan(x)) return "NaN";
    if (IsInf(x)) return x > 0 ? "Infinity" : "-Infinity";
    // The digits are the program's own; the separator is the current C locale's, as printf's.
    std::string text = PrintFixed(x, 12);
    const std::string separator = std::localeconv()->decimal_point;
    const std::size_t pointAt = text.find('.');
    if (pointAt != std::string::npos) {
        std::size_t end = text.size();
        while (end > pointAt + 1 && text[end - 1] == '0') --end;
        if (end == pointAt + 1) end = pointAt;
        text.resize(end);
        if (end > pointAt) text.replace(pointAt, 1, separator);
    }
    if (text == "-0") text = "0";
    return text;
}

bool RaiseIf(bool condition, int message) {
    if (condition) throw EArgumentError(message, ArgumentErrorText(message));
    return true;
}

bool CheckLimit(int test, Extended value, Extended limit) {
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

Extended ExtIntPower(Extended base, std::int32_t exponent) {
    std::uint64_t remaining = exponent < 0 ? static_cast<std::uint64_t>(-std::int64_t{exponent})
                                           : static_cast<std::uint64_t>(exponent);
    Extended result = 1.0;
    Extended square = base;
    while (remaining != 0) {
        if ((remaining & 1U) != 0) result *= square;
        square *= square;
        remaining >>= 1U;
    }
    return exponent < 0 ? 1.0 / result : result;
}

Extended ExtPower(Extended base, Extended exponent) {
    if (exponent == 0.0) return 1.0;
    if (base == 0.0 && exponent > 0.0) return 0.0;
    if (exponent == Trunc(exponent) && Fabs(exponent) <= kInfinityValue) {
        return ExtIntPower(base, static_cast<std::int32_t>(ToInt64(exponent)));
    }
    return ExtendedExp(exponent * ExtendedLog(base));
}

Extended LnGamma(Extended x) {
    Extended y = x - 1.0;
    Extended t = y + kLnGammaShift;
    t = (y + 0.5) * ExtendedLog(t) - t;
    Extended s = 1.0;
    for (const Extended coefficient : kLnGammaCoefficients) {
        y = y + 1.0;
        s = s + coefficient / y;
    }
    return t + ExtendedLog(kSqrtTwoPi * s);
}

Extended GammaSeries(Extended x, Extended a) {
    if (ApproxEqual(0.0, x)) return 0.0;
    Extended ap = a;
    Extended sum = 1.0 / a;
    Extended del = sum;
    int n = 1;
    do {
        ap = ap + 1.0;
        del = del * x / ap;
        sum = sum + del;
        ++n;
    } while (!(Fabs(sum) * kEqualityTolerance > Fabs(del) || n > kSeriesTermLimit));
    return sum * ExtendedExp(a * ExtendedLog(x) - x - LnGamma(a));
}

Extended GammaContinuedFraction(Extended x, Extended a) {
    // At x = 0 every convergent numerator stays 0 and with a NaN or infinity the convergence
    // test never passes: either would loop for ever.
    RaiseIf(IsNan(x) || IsNan(a), argument_error::kNotANumber);
    RaiseIf(!(x > 0.0) || IsInf(x) || IsInf(a), argument_error::kContinuedFractionDomain);
    Extended g = 0.0;
    Extended gOld = 1.0;
    Extended a0 = 1.0, a1 = x, b0 = 0.0, b1 = 1.0, fac = 1.0;
    int n = 1;
    do {
        const Extended ana = n - a;
        a0 = (a0 * ana + a1) * fac;
        b0 = (b0 * ana + b1) * fac;
        const Extended anf = n * fac;
        a1 = x * a0 + anf * a1;
        b1 = x * b0 + anf * b1;
        if (a1 != 0.0) {  // renormalise so that the convergents stay in range
            gOld = g;
            fac = 1.0 / a1;
            g = b1 * fac;
        }
        ++n;
    } while (!(Fabs((g - gOld) / g) < kEqualityTolerance));
    return ExtendedExp(a * ExtendedLog(x) - x - LnGamma(a)) * g;
}

Extended IncompleteGammaP(Extended x, Extended a) {
    using namespace argument_error;
    CheckLimit(kNegativeArgument, x, 0.0);
    RaiseIf(x > kInfinityValue, kIncompleteGammaTooLarge);
    RaiseIf(IsNan(x), kNotANumber);
    CheckLimit(ParameterNotAboveLower(1), a, 0.0);
    RaiseIf(a > kInfinityValue, kIncompleteGammaTooLarge);
    RaiseIf(IsNan(a), kNotANumber);
    // The series converges fast below a + 1, the continued fraction above.
    if (x < a + 1.0) return GammaSeries(x, a);
    return 1.0 - GammaContinuedFraction(x, a);
}

Extended UniformRandom() {
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
