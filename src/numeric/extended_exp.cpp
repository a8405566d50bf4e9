// SPDX-License-Identifier: GPL-3.0-or-later
// Table-driven extended-precision exponential; see extended_exp.h.
#include "numeric/extended_exp.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "numeric/long_double_format.h"

namespace orvale {

namespace {

constexpr int kTableSize = 64;  // 2^(j/64), j = 0..63
// 64 / ln 2, and ln 2 / 64 split in two so that k * high is exact for |k| < 2^31: the high part
// is ln 2 to 32 bits (exactly 0.69314718036912381649017333984375), the low part the remainder
// ln 2 - high to 20 digits, so that the reduction stays accurate for large k.
constexpr long double kInverseLn2Scaled = 92.332482616893658071035L;
constexpr long double kLn2High = 0x1.62e42feep-1L;
constexpr long double kLn2Low = 1.9082149292705878161442656807550013e-10L;
constexpr long double kLn2HighScaled = kLn2High / kTableSize;
constexpr long double kLn2LowScaled = kLn2Low / kTableSize;
// Outside this range e^x over- or underflows long double; the C library handles it there.
constexpr long double kLargestArgument = 11000.0L;

// Adding and subtracting 1.5 * 2^63 rounds an extended value below 2^62 in magnitude to the
// nearest integer, much faster than nearbyint, which saves and restores the FPU environment.
constexpr long double kRoundingShifter = 0x1.8p63L;

// 2^m for an exponent within the normal range of long double, built from its bit pattern
// (x86 extended: 64-bit significand with explicit leading bit, then sign and biased exponent).
long double PowerOfTwo(long m) {
    const std::uint64_t significand = 0x8000000000000000ULL;
    const std::uint16_t signAndExponent = static_cast<std::uint16_t>(16383 + m);
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &significand, sizeof significand);
    std::memcpy(bytes + sizeof significand, &signAndExponent, sizeof signAndExponent);
    long double result;
    std::memcpy(&result, bytes, sizeof result);
    return result;
}

// The integer k held by shifted = 1.5 * 2^63 + k (|k| < 2^62): the low bits of its significand,
// whose last place is 1. Reading them avoids converting kScaled with a change of the x87
// rounding mode, which stalls the pipeline and made the exponential several times slower at some
// stack positions.
long ShiftedInteger(long double shifted) {
    std::uint64_t significand;
    std::memcpy(&significand, &shifted, sizeof significand);
    return static_cast<long>(significand - 0xC000000000000000ULL);
}

const std::array<long double, kTableSize>& PowersOfTwo() {
    static const std::array<long double, kTableSize> table = [] {
        std::array<long double, kTableSize> t{};
        for (int j = 0; j < kTableSize; ++j)
            t[j] = std::exp2(static_cast<long double>(j) / kTableSize);
        return t;
    }();
    return table;
}

}  // namespace

long double ExtendedExp(long double x) {
    if (!(std::fabs(x) <= kLargestArgument)) return std::exp(x);
    const long double shifted = x * kInverseLn2Scaled + kRoundingShifter;
    const long double kScaled = shifted - kRoundingShifter;
    const long k = ShiftedInteger(shifted);
    const long double r = (x - kScaled * kLn2HighScaled) - kScaled * kLn2LowScaled;
    // Taylor polynomial of e^r; the first omitted term, r^8/8! with |r| <= ln 2 / 128, is below
    // 2e-23, far under half a unit in the last place of 1 (5.4e-20).
    const long double p =
        1.0L +
        r * (1.0L +
             r * (1.0L / 2 +
                  r * (1.0L / 6 +
                       r * (1.0L / 24 + r * (1.0L / 120 + r * (1.0L / 720 + r * (1.0L / 5040)))))));
    const long j = k & (kTableSize - 1);  // two's complement: j in 0..63 also for negative k
    const long m = (k - j) / kTableSize;
    // |x| <= 11000 keeps |m| below 15900, so 2^m and the product stay normal numbers.
    return PowersOfTwo()[j] * p * PowerOfTwo(m);
}

}  // namespace orvale
