// SPDX-License-Identifier: GPL-3.0-or-later
// The extended-precision exponential and logarithm; see extended_exp.h.
//
// Both reduce the argument with exact steps (the error-free sums of Knuth and Dekker, products of
// numbers cut to 32 bits), keep the reduced argument and the table values to about 128 bits as
// head + tail pairs, and round once at the end, so that the error before that rounding is near
// 2^-82 of the result: an argument is misrounded only when its exact result lies that close to a
// halfway point. The constants and tables are the output of tests/tools/extended_exp_tables.py:
// each extended value is the exact sum of two doubles.
#include "numeric/extended_exp.h"

#include <bit>
#include <cstdint>
#include <limits>

namespace orvale {

namespace {

// ---------------------------------------------------------------------------------------------
// The only operations below that are not + - * / or a comparison, and the only lines that differ
// between the hardware type and the software one: building a value from doubles, scaling by 2^m,
// and reading a small integer.

Extended FromDoubles(double head, double rest) {
    return Extended{head} + Extended{rest};  // exact: the rest holds the bits past the 53rd
}

Extended Infinity() {
    return Extended{std::numeric_limits<double>::infinity()};
}

Extended NotANumber() {
    return Extended{std::numeric_limits<double>::quiet_NaN()};
}

// v rounded to double and truncated toward zero (a conversion that needs no change of the x87
// rounding mode): exactly v for integer-valued |v| < 2^53; otherwise the integer part of v, or the
// next integer when v lies within 2^-53 of it, which the callers allow for.
std::int64_t ToInteger(Extended v) {
    return static_cast<std::int64_t>(ToDouble(v));
}

#if defined(ORVALE_X87_LONG_DOUBLE) && !defined(ORVALE_SOFT_EXTENDED)
// 2^b for b = 0..63 and 2^(64 j) for j = -256..255, built by exact doubling and halving when the
// program is compiled.
struct PowersOfTwo {
    Extended low[64];
    Extended high[512];
};

constexpr PowersOfTwo BuildPowersOfTwo() {
    PowersOfTwo p{};
    p.low[0] = 1.0L;
    for (int b = 1; b < 64; ++b) p.low[b] = p.low[b - 1] * 2.0L;
    p.high[256] = 1.0L;
    for (int j = 257; j < 512; ++j) p.high[j] = p.high[j - 1] * 0x1p64L;
    for (int j = 255; j >= 0; --j) p.high[j] = p.high[j + 1] * 0x1p-64L;  // 2^-16384: subnormal
    return p;
}

constexpr PowersOfTwo kPowersOfTwo = BuildPowersOfTwo();

// v 2^m for -16384 <= m <= 16383: exact when the result is a normal number, rounded once when it
// overflows or is subnormal. v 2^(m mod 64) is formed first: the callers' |v| 2^63 stays finite.
Extended Scale(Extended v, int m) {
    return v * kPowersOfTwo.low[m & 63] * kPowersOfTwo.high[(m >> 6) + 256];
}
#else
// The same for the software type, by moving the exponent: v's significand times 2^(its exponent
// + m), rounded once as the hardware's product rounds it.
Extended Scale(Extended v, int m) {
    const int biased = v.SignExponent() & 0x7FFF;
    if (soft_extended_detail::IsNormal(v) &&
        static_cast<unsigned>(biased + m - 1) < SoftExtended::kMaxExponent - 1) {
        return SoftExtended::FromBits(static_cast<std::uint16_t>(v.SignExponent() + m),
                                      v.Significand());  // a normal result: exact
    }
    if (!IsFinite(v) || v == Extended{0.0}) return v;
    const int exponent = (biased == 0 ? 1 : biased) - SoftExtended::kExponentBias - 63;  // of bit 0
    return SoftExtended::FromScaled(SignBit(v), 0, v.Significand(), std::int64_t{exponent} + m);
}
#endif
// ---------------------------------------------------------------------------------------------

// A value carried as the unevaluated sum head + tail, tail far below head.
struct Pair {
    Extended head;
    Extended tail;
};

// The software type can give the rounded sum and its exact error in one step, where the steps
// below would give exactly these: each of them is then exact, whatever rounding the hardware does
// (the error of a rounded sum is itself a number of the format, and the theorems behind TwoSum and
// FastTwoSum say that their steps compute it without rounding when nothing overflows).
// SumAndError declines, and the steps are taken, for a zero or non-normal operand, operands
// whose exponents are 64 or more apart, and a sum or nonzero error outside the normal range.
// FastTwoSum's steps are exact when a's exponent is at least b's (Dekker's proof needs no more
// than that), so it takes the one step only then.
bool SumAndErrorInOneStep([[maybe_unused]] Extended a, [[maybe_unused]] Extended b,
                          [[maybe_unused]] bool largerFirst, [[maybe_unused]] Pair& result) {
#if defined(ORVALE_X87_LONG_DOUBLE) && !defined(ORVALE_SOFT_EXTENDED)
    return false;
#else
    if (largerFirst && (a.SignExponent() & 0x7FFF) < (b.SignExponent() & 0x7FFF)) return false;
    return soft_extended_detail::SumAndError(a, b, result.head, result.tail);
#endif
}

// a + b exactly (Knuth), whatever their magnitudes.
Pair TwoSum(Extended a, Extended b) {
    if (Pair result; SumAndErrorInOneStep(a, b, false, result)) return result;
    const Extended sum = a + b;
    const Extended bPart = sum - a;
    const Extended aPart = sum - bPart;
    return {sum, (a - aPart) + (b - bPart)};
}

// a + b exactly when |a| >= |b| or a = 0 (Dekker).
Pair FastTwoSum(Extended a, Extended b) {
    if (Pair result; SumAndErrorInOneStep(a, b, true, result)) return result;
    const Extended sum = a + b;
    return {sum, b - (sum - a)};
}

// v as upper + lower, each with at most 32 significant bits (Veltkamp; 2^32 + 1 for a 64-bit
// significand), so that the product of upper with another 32-bit number is exact.
Pair Split(Extended v) {
    const Extended scaled = v * Extended{4294967297.0};
    const Extended upper = scaled - (scaled - v);
    return {upper, v - upper};
}

// Adding and subtracting this rounds |v| < 2^62 to the nearest integer (ties to even).
constexpr double kIntegerShifter = 0x1.8p63;
// Adding and subtracting these rounds v in [0.75, 2) to a multiple of 2^-30, a reduced argument
// of the exponential (|r| < 2^-8.4) to a multiple of 2^-40 and one of the logarithm (|r| < 2^-7.4)
// to a multiple of 2^-39: at most 32 significant bits in each case.
constexpr double kHalfShifter = 0x1p33;
constexpr double kExpSplitShifter = 0x1.8p23;
constexpr double kLogSplitShifter = 0x1.8p24;

// (v + shifter) - shifter, for a shifter of 2^q or 1.5 x 2^q: v rounded to a multiple of the
// shifter's last place 2^(q - 63), ties to even, and +0 for zero; with v minus that, exact (the
// rest of v below that place, or its complement). While v + shifter stays within [2^q, 2^(q+1)],
// the rounded sum is the shifter plus that multiple (the shifter is an even multiple of its last
// place, so a tie goes the same way) and the difference is exact; so for |v| < 2^(q - 1), and
// v >= 0 with the shifter 2^q, the software type rounds v there directly (the shifters here are
// far from the top of the range, where the sum could overflow).
template <const double& kShifter>
Pair RoundAtShifter(Extended v) {
#if !defined(ORVALE_X87_LONG_DOUBLE) || defined(ORVALE_SOFT_EXTENDED)
    constexpr int q = static_cast<int>(std::bit_cast<std::uint64_t>(kShifter) >> 52) - 1023;
    constexpr bool onePointFive = (std::bit_cast<std::uint64_t>(kShifter) & (1ULL << 51)) != 0;
    const int exponent = (v.SignExponent() & 0x7FFF) - SoftExtended::kExponentBias;
    if (Pair split;
        soft_extended_detail::IsNormal(v) && exponent < q - 1 && (onePointFive || !SignBit(v)) &&
        soft_extended_detail::RoundToMultipleOfPowerOfTwo(v, q - 63, split.head, split.tail)) {
        return split;
    }
#endif
    const Extended s{kShifter};
    const Extended rounded = (v + s) - s;
    return {rounded, v - rounded};
}

// ---------------------------------------------------------------------------------------------
// The exponential: x = (128 m + j) ln 2 / 128 + r, e^x = 2^m 2^(j/128) e^r, |r| <= ln 2 / 256.

constexpr int kExpTableSize = 128;
// e^x overflows above 16384 ln 2 = 11356.52... and rounds to zero below -16446 ln 2 = -11399.50...;
// between these bounds and the true thresholds the computation itself overflows or rounds to zero.
constexpr double kExpInfinityBound = 11357.0;
constexpr double kExpZeroBound = -11400.0;
constexpr int kMinimumNormalExponent = -16382;
constexpr int kMaximumExponent = 16383;

// 2^(j/128) for j = 0..127: the 64-bit head as two doubles, then the rest to 53 bits.
// clang-format off
constexpr double kPowersOfTwoRaw[kExpTableSize][3] = {
    {0x1p+0, 0.0, 0.0},
    {0x1.0163da9fb3335p+0, 0x1.b6p-54, 0x1.299ab8cdb737fp-66},
    {0x1.02c9a3e778061p+0, -0x1.1ap-56, 0x1.ef95949ef4538p-65},
    {0x1.04315e86e7f85p+0, -0x1.0ap-54, -0x1.8e0cbbe4b7032p-65},
    {0x1.059b0d3158574p+0, 0x1.d7p-55, 0x1.f1523ada32906p-66},
    {0x1.0706b29ddf6dep+0, -0x1.c9p-55, -0x1.dfe2b13c26c09p-67},
    {0x1.0874518759bc8p+0, 0x1.18p-57, 0x1.af92eca13fd16p-67},
    {0x1.09e3ecac6f383p+0, 0x1.148p-54, 0x1.e060c584d6b75p-68},
    {0x1.0b5586cf9890fp+0, 0x1.8a8p-54, -0x1.d1b5239ef559fp-66},
    {0x1.0cc922b7247f7p+0, 0x1.02p-54, -0x1.23e91db08e85dp-66},
    {0x1.0e3ec32d3d1a2p+0, 0x1p-59, 0x1.d0b93e2bda955p-66},
    {0x1.0fb66affed31bp+0, -0x1.b8p-57, -0x1.bedc44ebd7b36p-65},
    {0x1.11301d0125b51p+0, -0x1.6c8p-54, 0x1.77e35db26319dp-65},
    {0x1.12abdc06c31ccp+0, -0x1.18p-58, -0x1.a8a59b652e3a1p-65},
    {0x1.1429aaea92dep+0, -0x1.33p-54, 0x1.01943b2586d02p-68},
    {0x1.15a98c8a58e51p+0, 0x1.24p-55, 0x1.aae7baac277f2p-69},
    {0x1.172b83c7d517bp+0, -0x1.19p-55, -0x1.06e75e29d6b0ep-69},
    {0x1.18af9388c8deap+0, -0x1.11p-54, -0x1.1e8cb87b5f46dp-69},
    {0x1.1a35beb6fcb75p+0, 0x1.e6p-55, -0x1.2ce12da5c6f95p-65},
    {0x1.1bbe084045cd4p+0, -0x1.95p-54, -0x1.c31a977b03941p-65},
    {0x1.1d4873168b9aap+0, 0x1.ep-54, 0x1.6e00a2643c1eap-66},
    {0x1.1ed5022fcd91dp+0, -0x1.1ep-54, 0x1.9ff61121d1e5p-68},
    {0x1.2063b88628cd6p+0, 0x1.dcp-55, 0x1.dd6052a1253a2p-65},
    {0x1.21f49917ddc96p+0, 0x1.2bp-55, -0x1.a05adad684969p-65},
    {0x1.2387a6e756238p+0, 0x1.9bp-54, 0x1.fadb1c15cb594p-68},
    {0x1.251ce4fb2a63fp+0, 0x1.acp-55, 0x1.55bef4f4a408dp-67},
    {0x1.26b4565e27cddp+0, 0x1.2cp-55, -0x1.66335f8b136d9p-66},
    {0x1.284dfe1f56381p+0, -0x1.a5p-54, 0x1.e2b9e079412dp-65},
    {0x1.29e9df51fdee1p+0, 0x1.61p-55, 0x1.7457d6892a8efp-66},
    {0x1.2b87fd0dad99p+0, -0x1.1p-59, -0x1.5b9ac7035477cp-68},
    {0x1.2d285a6e4030bp+0, 0x1p-54, 0x1.23aa6da0ea709p-65},
    {0x1.2ecafa93e2f56p+0, 0x1.1cp-56, 0x1.41e8baa470676p-65},
    {0x1.306fe0a31b715p+0, 0x1.6fp-55, 0x1.1ab48c60b90bep-65},
    {0x1.32170fc4cd831p+0, 0x1.aap-55, -0x1.8c38f3fdc1e49p-66},
    {0x1.33c08b26416ffp+0, 0x1.328p-54, -0x1.bcf7934cb4a03p-67},
    {0x1.356c55f929ff1p+0, -0x1.b6p-55, 0x1.88d1d8dcebce3p-66},
    {0x1.371a7373aa9cbp+0, -0x1.638p-54, -0x1.755fa17570cfp-65},
    {0x1.38cae6d05d866p+0, -0x1.e98p-54, 0x1.3961b37da190ap-65},
    {0x1.3a7db34e59ff7p+0, -0x1.5ep-56, -0x1.0db5987d78b32p-66},
    {0x1.3c32dc313a8e5p+0, -0x1.fp-54, 0x1.f228b58f3775ep-72},
    {0x1.3dea64c123422p+0, 0x1.aep-55, -0x1.7dbb83d851181p-65},
    {0x1.3fa4504ac801cp+0, -0x1.7dp-54, -0x1.1fcab7cf9a08ep-69},
    {0x1.4160a21f72e2ap+0, -0x1.fp-58, 0x1.92dc79edb0fdap-67},
    {0x1.431f5d950a897p+0, -0x1.1cp-55, -0x1.f778d7de6627p-65},
    {0x1.44e086061892dp+0, 0x1.9p-59, -0x1.9217ec41fcc08p-65},
    {0x1.46a41ed1d0057p+0, 0x1.c98p-54, -0x1.da174dbac4d04p-65},
    {0x1.486a2b5c13cdp+0, 0x1.3cp-56, 0x1.a3b69062f03c4p-68},
    {0x1.4a32af0d7d3dep+0, 0x1.9c8p-54, 0x1.b179e8df2b0c9p-65},
    {0x1.4bfdad5362a27p+0, 0x1.d4p-56, 0x1.cbd7f6217107p-67},
    {0x1.4dcb299fddd0dp+0, 0x1.8fp-54, -0x1.9221cac3e676fp-65},
    {0x1.4f9b2769d2ca7p+0, -0x1.4bp-54, -0x1.84e92cabf1823p-65},
    {0x1.516daa2cf6642p+0, -0x1.f7p-55, -0x1.a15a6f64fbbcep-65},
    {0x1.5342b569d4f82p+0, -0x1.08p-55, 0x1.507893b0d4c7fp-65},
    {0x1.551a4ca5d920fp+0, -0x1.d7p-55, 0x1.d8c40486994cep-65},
    {0x1.56f4736b527dap+0, 0x1.9b8p-54, 0x1.96008ec9d678p-65},
    {0x1.58d12d497c7fdp+0, 0x1.29p-55, 0x1.7856e68779e5ep-65},
    {0x1.5ab07dd485429p+0, 0x1.63p-54, 0x1.2602a323d668cp-65},
    {0x1.5c9268a5946b7p+0, 0x1.cp-60, 0x1.2c6e05a61a881p-66},
    {0x1.5e76f15ad2148p+0, 0x1.ba8p-54, -0x1.06cf7f19a2658p-66},
    {0x1.605e1b976dc09p+0, -0x1.3ep-54, -0x1.214dab6f23899p-65},
    {0x1.6247eb03a5585p+0, -0x1.38p-54, -0x1.e0bf205a4b7a9p-65},
    {0x1.6434634ccc32p+0, -0x1.c5p-55, 0x1.f0e2989db349dp-65},
    {0x1.6623882552225p+0, -0x1.bb8p-54, 0x1.f678a6e3cc529p-66},
    {0x1.68155d44ca973p+0, 0x1.04p-57, -0x1.d46ec23066c7dp-67},
    {0x1.6a09e667f3bcdp+0, -0x1.bep-54, 0x1.65f626cdd52bp-65},
    {0x1.6c012750bdabfp+0, -0x1.28p-56, -0x1.2accffe16198p-65},
    {0x1.6dfb23c651a2fp+0, -0x1.bcp-57, 0x1.c597c37755069p-69},
    {0x1.6ff7df9519484p+0, -0x1.84p-55, 0x1.f86d3cf884fp-66},
    {0x1.71f75e8ec5f74p+0, -0x1.17p-55, 0x1.b879778566b66p-67},
    {0x1.73f9a48a58174p+0, -0x1.0a8p-54, -0x1.b2d8cbaa773ebp-67},
    {0x1.75feb564267c9p+0, -0x1.028p-54, 0x1.d3546749164e1p-65},
    {0x1.780694fde5d3fp+0, 0x1.868p-54, -0x1.47f5fde9d3513p-66},
    {0x1.7a11473eb0187p+0, -0x1.41p-55, -0x1.5dfb81264bc14p-65},
    {0x1.7c1ed0130c132p+0, 0x1.f1p-54, 0x1.26688b26eac56p-65},
    {0x1.7e2f336cf4e62p+0, 0x1.06p-56, -0x1.7ea2f54340f48p-67},
    {0x1.80427543e1a12p+0, -0x1.28p-54, 0x1.bccec9346a9d5p-65},
    {0x1.82589994cce13p+0, -0x1.d5p-54, 0x1.f115f56694022p-65},
    {0x1.8471a4623c7adp+0, -0x1.8dp-55, -0x1.a128d0737ed59p-65},
    {0x1.868d99b4492edp+0, -0x1.fc8p-54, 0x1.07642b0945c1dp-66},
    {0x1.88ac7d98a6699p+0, 0x1.998p-54, -0x1.9e8641a562c54p-65},
    {0x1.8ace5422aa0dbp+0, 0x1.6e8p-54, 0x1.f156864b26edp-66},
    {0x1.8cf3216b5448cp+0, -0x1.0ep-56, 0x1.5439a2c38abb1p-65},
    {0x1.8f1ae99157736p+0, 0x1.5dp-55, -0x1.f62e8e3449fecp-66},
    {0x1.9145b0b91ffc6p+0, -0x1.dd8p-54, 0x1.86d1a7dadc38p-66},
    {0x1.93737b0cdc5e5p+0, -0x1.74p-57, -0x1.fc781b57ebba6p-65},
    {0x1.95a44cbc8520fp+0, -0x1.64p-56, -0x1.6f92d4be0721p-65},
    {0x1.97d829fde4e5p+0, -0x1.d18p-54, -0x1.6df06e1742812p-68},
    {0x1.9a0f170ca07bap+0, -0x1.17p-54, -0x1.dec8e77319083p-65},
    {0x1.9c49182a3f09p+0, 0x1.c8p-56, -0x1.dca7c706a0d39p-67},
    {0x1.9e86319e32323p+0, 0x1.82p-56, 0x1.329e39931b804p-66},
    {0x1.a0c667b5de565p+0, -0x1.358p-54, -0x1.495d1cd532d95p-66},
    {0x1.a309bec4a2d33p+0, 0x1.63p-54, 0x1.71f770daad548p-68},
    {0x1.a5503b23e255dp+0, -0x1.d3p-54, 0x1.2248e57c3de4p-67},
    {0x1.a799e1330b358p+0, 0x1.bc8p-54, 0x1.bf6562b1e3531p-65},
    {0x1.a9e6b5579fdbfp+0, 0x1.0f8p-54, 0x1.64877bfe9898bp-65},
    {0x1.ac36bbfd3f37ap+0, -0x1.f9p-55, -0x1.1a6573b6680e3p-66},
    {0x1.ae89f995ad3adp+0, 0x1.7ap-54, 0x1.cd345dcc816ap-66},
    {0x1.b0e07298db666p+0, -0x1.bep-54, 0x1.0ab37f1bdb284p-66},
    {0x1.b33a2b84f15fbp+0, -0x1.28p-57, -0x1.78c2135c1ed45p-71},
    {0x1.b59728de5593ap+0, -0x1.c7p-54, -0x1.dfbbba6de30e4p-66},
    {0x1.b7f76f2fb5e47p+0, -0x1.56p-56, 0x1.ec206ad4f14d5p-66},
    {0x1.ba5b030a1064ap+0, -0x1.fp-54, 0x1.9678d5eb68fe5p-65},
    {0x1.bcc1e904bc1d2p+0, 0x1.24p-55, -0x1.17c2e930bdcccp-66},
    {0x1.bf2c25bd71e09p+0, -0x1.fp-54, 0x1.1ae04a31c6894p-65},
    {0x1.c199bdd85529cp+0, 0x1.11p-55, 0x1.9625412374ccfp-69},
    {0x1.c40ab5fffd07ap+0, 0x1.b48p-54, -0x1.640fbe1cfaeb6p-65},
    {0x1.c67f12e57d14bp+0, 0x1.288p-54, 0x1.37fd20f2b301ep-68},
    {0x1.c8f6d9406e7b5p+0, 0x1.1ap-56, 0x1.9789100b8885cp-65},
    {0x1.cb720dcef9069p+0, 0x1.5p-56, 0x1.e5e8f4a4edbb1p-67},
    {0x1.cdf0b555dc3fap+0, -0x1.dep-55, 0x1.f12b1f58a37cap-65},
    {0x1.d072d4a07897cp+0, -0x1.ccp-54, 0x1.e45e4342b1c32p-65},
    {0x1.d2f87080d89f2p+0, -0x1.d48p-54, -0x1.edc67615dfda5p-68},
    {0x1.d5818dcfba487p+0, 0x1.2fp-55, -0x1.7e9452647c8d6p-66},
    {0x1.d80e316c98398p+0, -0x1.12p-54, 0x1.3e74122017e13p-66},
    {0x1.da9e603db3285p+0, 0x1.c2p-54, 0x1.8034b6da992ffp-65},
    {0x1.dd321f301b46p+0, 0x1.2d8p-54, 0x1.2bbc780c61472p-65},
    {0x1.dfc97337b9b5fp+0, -0x1.1a8p-54, 0x1.195873da5236ep-65},
    {0x1.e264614f5a129p+0, -0x1.7b8p-54, 0x1.d87e85eb6991ap-66},
    {0x1.e502ee78b3ff6p+0, 0x1.3ap-55, -0x1.767f563370b86p-67},
    {0x1.e7a51fbc74c83p+0, 0x1.2d8p-54, -0x1.6e9af9b90f315p-65},
    {0x1.ea4afa2a490dap+0, -0x1.eap-54, 0x1.ee7431ebb6604p-65},
    {0x1.ecf482d8e67f1p+0, -0x1.c9p-54, -0x1.f9da08d6c6217p-65},
    {0x1.efa1bee615a27p+0, 0x1.dc8p-54, -0x1.6f2b6929f0491p-71},
    {0x1.f252b376bba97p+0, 0x1.3ap-54, 0x1.a5bf0d8e43532p-66},
    {0x1.f50765b6e454p+0, 0x1.9dp-54, 0x1.f096ec50c576p-65},
    {0x1.f7bfdad9cbe14p+0, -0x1.db8p-54, -0x1.8968031a84d47p-65},
    {0x1.fa7c1819e90d8p+0, 0x1.75p-55, -0x1.eb03169b387c4p-65},
    {0x1.fd3c22b8f71f1p+0, 0x1.3p-57, -0x1.48b699a8618b4p-65},
};
// clang-format on

struct ExpEntry {
    Extended head;
    Pair halves;  // head as a 32-bit upper part and the rest
    Extended tail;
};

struct ExpConstants {
    Extended inverseStep;  // 128 / ln 2 (only the nearest integer to x times it matters)
    // ln 2 / 128 as step[0] + step[1] + step[2]: the first two have 40 significant bits, so that
    // k times them is exact for the |k| < 2^22 met here.
    Extended step[3];
    Extended coefficients[7];  // 1/2!, 1/3!, ..., 1/8!
    ExpEntry table[kExpTableSize];
};

ExpConstants BuildExpConstants() {
    constexpr double kCoefficients[7][2] = {
        {0x1p-1, 0.0},
        {0x1.5555555555555p-3, 0x1.558p-57},
        {0x1.5555555555555p-5, 0x1.558p-59},
        {0x1.1111111111111p-7, 0x1.12p-63},
        {0x1.6c16c16c16c17p-10, -0x1.f5p-65},
        {0x1.a01a01a01a01ap-13, 0x1.ap-73},
        {0x1.a01a01a01a01ap-16, 0x1.ap-76},
    };
    ExpConstants c{};
    c.inverseStep = FromDoubles(0x1.71547652b82fep+7, 0x1.78p-49);
    c.step[0] = Extended{0x1.62e42fefa4p-8};
    c.step[1] = Extended{-0x1.8432a1b0e2p-50};
    c.step[2] = Extended{-0x1.8cff81a12a17ep-92};
    for (int n = 0; n < 7; ++n)
        c.coefficients[n] = FromDoubles(kCoefficients[n][0], kCoefficients[n][1]);
    for (int j = 0; j < kExpTableSize; ++j) {
        ExpEntry& entry = c.table[j];
        entry.head = FromDoubles(kPowersOfTwoRaw[j][0], kPowersOfTwoRaw[j][1]);
        entry.halves = Split(entry.head);
        entry.tail = Extended{kPowersOfTwoRaw[j][2]};
    }
    return c;
}

const ExpConstants& ExpTables() {
    static const ExpConstants constants = BuildExpConstants();
    return constants;
}

// k, the nearest integer to x 128 / ln 2, and r = x - k ln 2 / 128 as head + tail to about 2^-120
// of r's range. x - k step[0] is exact by Sterbenz's lemma (the two are within a factor of two
// when k != 0), and so is the sum with -k step[1] as a pair.
struct ExpReduction {
    std::int64_t k;
    Pair r;
};

ExpReduction ReduceForExp(Extended x, const ExpConstants& c) {
    const Extended k = RoundAtShifter<kIntegerShifter>(x * c.inverseStep).head;
    const Pair r = TwoSum(x - k * c.step[0], -(k * c.step[1]));
    return {ToInteger(k), {r.head, r.tail - k * c.step[2]}};
}

// 2^(j/128) e^r as head + correction, a value in [2^(-1/256), 2^(255/256)]. r is cut at 2^-40
// into upper, of at most 32 bits, and lower. The head is the table value T plus the exact product
// of T's upper 32 bits and upper, rounded; the correction holds that rounding's error and every
// smaller term, each computed with an error below 2^-82.
Pair ScaledExpOfReduced(const ExpEntry& t, Pair r, const ExpConstants& c) {
    const Extended rh = r.head;
    const Pair split = RoundAtShifter<kExpSplitShifter>(rh);
    const Extended upper = split.head;
    const Extended lower = split.tail + r.tail;  // split.tail = rh - upper
    const Pair sum = FastTwoSum(t.head, t.halves.head * upper);
    // e^r - 1 - r: the Taylor terms r^2/2! to r^8/8! (the next is below 2^-95), evaluated in
    // Estrin's order for a short dependency chain, and the first-order effect of r.tail on them.
    const Extended* k = c.coefficients;
    const Extended r2 = rh * rh;
    const Extended poly = ((k[0] + k[1] * rh) + r2 * (k[2] + k[3] * rh)) +
                          (r2 * r2) * ((k[4] + k[5] * rh) + r2 * k[6]);
    const Extended higher = r2 * poly + rh * r.tail;
    const Extended small = sum.tail + t.tail * (Extended{1.0} + rh);
    return {sum.head, small + (t.halves.tail * upper + t.head * (lower + higher))};
}

// y 2^m rounded once, y given as head + correction.
Extended ScaleRounded(Pair y, std::int64_t m) {
    const Extended one{1.0};
    const Extended rounded = y.head + y.tail;
    // y rounded to 64 bits times 2^m is exact down to the smallest normal numbers, whose last place
    // 2^-16445 is that of y >= 1 times 2^-16382.
    if (m > kMinimumNormalExponent || (m == kMinimumNormalExponent && rounded >= one)) {
        if (m > kMaximumExponent) return Scale(rounded * Extended{2.0}, kMaximumExponent);
        return Scale(rounded, static_cast<int>(m));
    }
    // A subnormal result: y 2^(m + 16382) < 1 is added to 1, which rounds it at 2^-63, the last
    // place of the subnormals once scaled back by 2^-16382; the subtraction and that scaling are
    // exact.
    const int shift = static_cast<int>(m) - kMinimumNormalExponent;  // -65..0
    const Pair biased = FastTwoSum(one, Scale(y.head, shift));
    const Extended sum = biased.head + (biased.tail + Scale(y.tail, shift));
    return Scale(sum - one, kMinimumNormalExponent);
}

// ---------------------------------------------------------------------------------------------
// The logarithm: x = 2^e f, f in [0.75, 1.5], c the nearest multiple of 1/128 to f and 1/c
// rounded to 24 bits stored with -ln(1/c): ln x = e ln 2 - ln(1/c) + ln(1 + r), r = f/c - 1.

constexpr int kLogCellsPerUnit = 128;
constexpr int kFirstLogCell = 96;  // 0.75 * 128
constexpr int kLogTableSize = 97;  // cells 96..192

// For cells i = 96..192: 1/c rounded to 24 bits, then -ln of that as a 64-bit head in two doubles
// and the rest to 53 bits. Cell 128 (c = 1) holds 1 and zeros, so ln x near 1 is ln(1 + r) alone.
// clang-format off
constexpr double kLogTableRaw[kLogTableSize][4] = {
    {0x1.555556p+0, -0x1.269623134db8ap-2, -0x1.e1p-56, 0x1.0477b7a56aae5p-68},
    {0x1.51d07ep+0, -0x1.1bf99425a6b8cp-2, -0x1.6e8p-56, -0x1.44c160db52fadp-67},
    {0x1.4e5e0ap+0, -0x1.1178e6c27e478p-2, -0x1.64p-58, 0x1.8eb37b1c56009p-67},
    {0x1.4afd6ap+0, -0x1.071385f4d5862p-2, -0x1.c58p-56, -0x1.8b76a69df193ep-67},
    {0x1.47ae14p+0, -0x1.f991c3cb3b37p-3, -0x1.f68p-57, 0x1.b029067f86f25p-69},
    {0x1.446f86p+0, -0x1.e530edde7100ep-3, 0x1.c78p-57, -0x1.d7dd4fb6b0dd4p-69},
    {0x1.414142p+0, -0x1.d10383e655e65p-3, 0x1.bfp-58, 0x1.d4a0463a07143p-69},
    {0x1.3e22ccp+0, -0x1.bd0874c3bd8abp-3, -0x1.fb8p-57, -0x1.35649fa6c22d4p-68},
    {0x1.3b13b2p+0, -0x1.a93ed8c8ad9cap-3, -0x1.bc8p-57, -0x1.7e9c4a0dbacefp-68},
    {0x1.381382p+0, -0x1.95a5b2ef70165p-3, 0x1.0cp-58, -0x1.6551eb111aea5p-69},
    {0x1.3521dp+0, -0x1.823c18551a3bep-3, 0x1.12p-57, 0x1.965e309e6f5e8p-68},
    {0x1.323e34p+0, -0x1.6f01247756aaap-3, 0x1.cep-57, -0x1.a4a4773e45dd5p-69},
    {0x1.2f684cp+0, -0x1.5bf407b543db1p-3, 0x1.2p-61, -0x1.498128ebacc18p-70},
    {0x1.2c9fb4p+0, -0x1.4913d2733b54p-3, 0x1.8dp-58, 0x1.5a0d4192b3cd5p-68},
    {0x1.29e412p+0, -0x1.365fc6c159004p-3, -0x1.fap-59, -0x1.039cb8fb84448p-68},
    {0x1.27350cp+0, -0x1.23d715e49c1f7p-3, -0x1.48p-59, 0x1.c054f7e425dfap-68},
    {0x1.24924ap+0, -0x1.1178ee227e458p-3, 0x1.0ep-58, 0x1.8c57c072e82fcp-68},
    {0x1.21fb78p+0, -0x1.fe89129dbd565p-4, -0x1.4ep-60, 0x1.f422b4e8e8d0cp-70},
    {0x1.1f7048p+0, -0x1.da727838446ap-4, -0x1.4p-58, -0x1.fa7c1ddac2695p-70},
    {0x1.1cf06ap+0, -0x1.b6ac7c9ad5ad1p-4, 0x1.4p-59, 0x1.6484c9d6d2272p-69},
    {0x1.1a7b96p+0, -0x1.9335e4d594988p-4, -0x1.71p-59, 0x1.50b0b44418466p-71},
    {0x1.181182p+0, -0x1.700d3deeac089p-4, -0x1.63p-59, -0x1.afacba83c1d46p-69},
    {0x1.15b1e6p+0, -0x1.4d31165207eacp-4, -0x1.edp-59, -0x1.f42ca2ed76838p-70},
    {0x1.135c82p+0, -0x1.2aa0580471746p-4, -0x1.dp-63, -0x1.1cfe7ad452171p-69},
    {0x1.111112p+0, -0x1.08599959e39a5p-4, 0x1.dd8p-58, -0x1.0db1a7e21775bp-70},
    {0x1.0ecf56p+0, -0x1.ccb7265ddb24dp-5, 0x1.24p-62, 0x1.09d9e0f7a5d72p-71},
    {0x1.0c9714p+0, -0x1.894a8349fb262p-5, -0x1.a9p-60, 0x1.173667e3ccdecp-70},
    {0x1.0a681p+0, -0x1.466ad942de386p-5, 0x1.cep-59, -0x1.430b059e7ae1dp-70},
    {0x1.08421p+0, -0x1.0415c89e74404p-5, -0x1.c08p-59, 0x1.1b1bf0109996fp-70},
    {0x1.0624dep+0, -0x1.8492858c8c979p-6, -0x1.ae8p-60, 0x1.01d7da14357b4p-72},
    {0x1.041042p+0, -0x1.0205a38935667p-6, 0x1.bp-61, 0x1.91f39f534a356p-71},
    {0x1.020408p+0, -0x1.01014f588de6dp-7, -0x1.46p-62, -0x1.98afb09e5e6c9p-72},
    {0x1p+0, 0.0, 0.0, 0.0},
    {0x1.fc07fp-1, 0x1.fe02b6b106791p-8, -0x1.ep-67, -0x1.12d4e319cfcfbp-73},
    {0x1.f81f82p-1, 0x1.fc0a890fc03e4p-7, 0x1.f4p-64, -0x1.258bd72fed51dp-75},
    {0x1.f4465ap-1, 0x1.7b91acfd5b11cp-6, 0x1.89p-61, 0x1.fd4f89b045825p-72},
    {0x1.f07c2p-1, 0x1.f82990e78338p-6, 0x1.34p-60, -0x1.cba5b8b7880bp-72},
    {0x1.ecc07cp-1, 0x1.39e86e1febd8dp-5, 0x1.c8p-60, 0x1.4e4faabd22dcfp-73},
    {0x1.e9131ap-1, 0x1.77459be32dd23p-5, 0x1.59p-59, -0x1.60663ce100471p-70},
    {0x1.e573acp-1, 0x1.b42de091971d5p-5, 0x1.4ap-59, 0x1.a327e0944ee0cp-70},
    {0x1.e1e1e2p-1, 0x1.f0a30a01162a7p-5, 0x1.86p-59, -0x1.9b4c9ddfbb9ccp-72},
    {0x1.de5d6ep-1, 0x1.1653710a37ae3p-4, 0x1.53p-59, 0x1.2e25359440296p-71},
    {0x1.dae608p-1, 0x1.341d7461bd1ddp-4, 0x1.2ap-60, -0x1.9fc926973ebd7p-70},
    {0x1.d77b66p-1, 0x1.51b06dd061852p-4, 0x1.59p-59, 0x1.e267b9e191a23p-70},
    {0x1.d41d42p-1, 0x1.6f0d272e56b4dp-4, -0x1.108p-58, 0x1.2669fb466de13p-70},
    {0x1.d0cb58p-1, 0x1.8c3465e319b45p-4, 0x1.5ap-60, 0x1.981eb76903339p-69},
    {0x1.cd8568p-1, 0x1.a926d8a4ad57p-4, -0x1.bp-60, 0x1.7a98a8dcbd765p-69},
    {0x1.ca4b3p-1, 0x1.c5e54bf5bc748p-4, -0x1.a88p-58, -0x1.3cf00fd3c7493p-69},
    {0x1.c71c72p-1, 0x1.e27074e2af2e8p-4, -0x1.62p-60, 0x1.50faa6ea7eed5p-69},
    {0x1.c3f8fp-1, 0x1.fec9141dbeabbp-4, 0x1.51p-59, 0x1.ca33e9d0f47a3p-69},
    {0x1.c0e07p-1, 0x1.0d77e8cd08e5ap-3, 0x1.9a8p-57, -0x1.11ce0d3cff439p-68},
    {0x1.bdd2b8p-1, 0x1.1b72b012f67a8p-3, -0x1.1cp-57, 0x1.818924118113p-69},
    {0x1.bacf92p-1, 0x1.29552c41ff52ep-3, -0x1.2p-58, 0x1.76652b28a10d5p-69},
    {0x1.b7d6c4p-1, 0x1.371fc161e8f75p-3, -0x1.81p-57, 0x1.b2d8051b7d52p-68},
    {0x1.b4e81cp-1, 0x1.44d2b38cb7d29p-3, -0x1.04p-60, -0x1.85316b9acb04ep-68},
    {0x1.b20364p-1, 0x1.526e5e5a1b438p-3, -0x1.648p-57, 0x1.0075bb9d71147p-69},
    {0x1.af286cp-1, 0x1.5ff3060a793d5p-3, -0x1.bcp-58, -0x1.83c169c685f35p-68},
    {0x1.ac5702p-1, 0x1.6d60fce19d21fp-3, -0x1.ap-63, -0x1.713ea29365b45p-68},
    {0x1.a98ef6p-1, 0x1.7ab890410d909p-3, 0x1.fep-59, 0x1.b596ba5859589p-70},
    {0x1.a6d01ap-1, 0x1.87fa08620c915p-3, -0x1.77p-58, 0x1.37953937757a9p-76},
    {0x1.a41a42p-1, 0x1.9525a80f456b8p-3, -0x1.e7p-57, 0x1.3002e36353e2dp-71},
    {0x1.a16d4p-1, 0x1.a23bbffe2b567p-3, 0x1.94p-59, -0x1.1ddf46021fd06p-68},
    {0x1.9ec8eap-1, 0x1.af3c91880bffep-3, 0x1.e6p-58, 0x1.cb9ca2f9bf294p-68},
    {0x1.9c2d14p-1, 0x1.bc286be2d8cecp-3, -0x1.c8p-57, -0x1.8a4e19ccc6155p-69},
    {0x1.99999ap-1, 0x1.c8ff7a79a9a26p-3, -0x1.4f8p-57, 0x1.75dd12154bbdfp-69},
    {0x1.970e5p-1, 0x1.d5c21434fbb98p-3, -0x1.918p-57, -0x1.de7ceb8400d89p-68},
    {0x1.948b1p-1, 0x1.e27075e2af2e7p-3, -0x1.62p-59, 0x1.50fd51952958p-68},
    {0x1.920fb4p-1, 0x1.ef0adfddc594p-3, 0x1.62p-59, -0x1.c7c82f9319211p-69},
    {0x1.8f9c18p-1, 0x1.fb918bd5e3e44p-3, -0x1.ca8p-57, -0x1.55e523b774117p-68},
    {0x1.8d3018p-1, 0x1.04025b6b4d04ap-2, -0x1.d2p-58, 0x1.3f81c5a92087bp-69},
    {0x1.8acb9p-1, 0x1.0a3250a7390fp-2, -0x1.04p-57, -0x1.8065524705ae4p-67},
    {0x1.886e6p-1, 0x1.1058bd1ae4ae2p-2, -0x1.9d8p-56, -0x1.9228227f1d741p-72},
    {0x1.861862p-1, 0x1.1675c97aba611p-2, 0x1.1dp-57, -0x1.9c689cd1d05d1p-69},
    {0x1.83c978p-1, 0x1.1c898b36999fdp-2, -0x1.f1p-56, 0x1.a38f05639369dp-68},
    {0x1.818182p-1, 0x1.22941e6cf7969p-2, 0x1.44p-58, 0x1.423e5baeb9553p-69},
    {0x1.7f406p-1, 0x1.2895a0bde86a4p-2, -0x1.0ap-57, -0x1.6da0b5d34e09p-67},
    {0x1.7d05f4p-1, 0x1.2e8e2bee11d31p-2, -0x1.0f8p-56, 0x1.99237b4bae144p-67},
    {0x1.7ad22p-1, 0x1.347ddb2987d59p-2, 0x1.59p-56, 0x1.5a1bfb73187ddp-68},
    {0x1.78a4c8p-1, 0x1.3a64c596945eap-2, -0x1.8ep-58, 0x1.e6b9d92c4bc89p-67},
    {0x1.767dcep-1, 0x1.404309206a7e5p-2, -0x1.d4p-57, 0x1.8253b483747f8p-67},
    {0x1.745d18p-1, 0x1.4618ba21c5ecap-2, 0x1.f4p-56, 0x1.6f11a11259133p-67},
    {0x1.724288p-1, 0x1.4be5f937778a1p-2, -0x1.ccp-58, 0x1.9329398a5b73cp-67},
    {0x1.702e06p-1, 0x1.51aad7c2df82ep-2, -0x1.1p-60, 0x1.27a8a2a0094e3p-67},
    {0x1.6e1f76p-1, 0x1.5767736c55a74p-2, 0x1.52p-58, -0x1.51aab219b8183p-68},
    {0x1.6c16c2p-1, 0x1.5d1bda55809dp-2, -0x1.9ep-56, 0x1.b19428eaa927ap-67},
    {0x1.6a13cep-1, 0x1.62c82c939c7a3p-2, -0x1.708p-56, 0x1.eb2a33d5e9202p-67},
    {0x1.681682p-1, 0x1.686c8039b14b4p-2, 0x1.d9p-56, 0x1.5e3b0272042abp-69},
    {0x1.661ec6p-1, 0x1.6e08ec7aba1eap-2, 0x1.628p-56, -0x1.8d5a0a3245daap-67},
    {0x1.642c86p-1, 0x1.739d7e2bbd00ap-2, -0x1.0c8p-56, 0x1.25d6a814b5ef6p-69},
    {0x1.623fa8p-1, 0x1.792a545dd47a8p-2, -0x1.dfp-57, -0x1.44e4c605dc229p-67},
    {0x1.605816p-1, 0x1.7eaf83c82afc3p-2, 0x1.9bp-56, -0x1.8b4308c0ad33ap-67},
    {0x1.5e75bcp-1, 0x1.842d1c51e8b1bp-2, -0x1.13p-56, -0x1.3b16c3b97db8bp-68},
    {0x1.5c9882p-1, 0x1.89a33a8c14264p-2, -0x1.098p-56, 0x1.c6ecf964ac40dp-68},
    {0x1.5ac056p-1, 0x1.8f11ea7b662dp-2, -0x1.058p-56, -0x1.126bed6461fc8p-67},
    {0x1.58ed24p-1, 0x1.94793ee21170bp-2, 0x1.09p-56, 0x1.9aa514f7ebcf5p-67},
    {0x1.571ed4p-1, 0x1.99d957617e08cp-2, -0x1.098p-56, 0x1.25da119b0e9bfp-67},
    {0x1.555556p-1, 0x1.9f323ccbf9854p-2, -0x1.a8p-59, -0x1.2ea6876d2b112p-67},
};
// clang-format on

struct LogEntry {
    Extended inverse;
    Extended head;
    Extended tail;
};

struct LogConstants {
    Extended ln2High;  // ln 2 to 48 bits: e ln2High is exact for every exponent e
    Extended ln2Low;
    Extended coefficients[8];  // 1/3, -1/4, 1/5, ..., -1/10
    LogEntry table[kLogTableSize];
};

LogConstants BuildLogConstants() {
    constexpr double kCoefficients[8][2] = {
        {0x1.5555555555555p-2, 0x1.558p-56},  {-0x1p-2, 0.0},
        {0x1.999999999999ap-3, -0x1.998p-57}, {-0x1.5555555555555p-3, -0x1.558p-57},
        {0x1.2492492492492p-3, 0x1.248p-57},  {-0x1p-3, 0.0},
        {0x1.c71c71c71c71cp-4, 0x1.c7p-58},   {-0x1.999999999999ap-4, 0x1.998p-58},
    };
    LogConstants c{};
    c.ln2High = Extended{0x1.62e42fefa39ep-1};
    c.ln2Low = FromDoubles(0x1.e6af278ece601p-50, -0x1.ap-109);
    for (int n = 0; n < 8; ++n)
        c.coefficients[n] = FromDoubles(kCoefficients[n][0], kCoefficients[n][1]);
    for (int i = 0; i < kLogTableSize; ++i) {
        const double* raw = kLogTableRaw[i];
        c.table[i] = {Extended{raw[0]}, FromDoubles(raw[1], raw[2]), Extended{raw[3]}};
    }
    return c;
}

const LogConstants& LogTables() {
    static const LogConstants constants = BuildLogConstants();
    return constants;
}

struct Normalized {
    Extended fraction;
    int exponent;
};

// x = f 2^e with f in [1, 2), for any positive finite x, by steps of 2^8192, 2^4096, ..., 2.
Normalized NormalizeAnyRange(Extended x) {
    const Extended one{1.0};
    int e = 0;
    if (x < Scale(one, kMinimumNormalExponent)) {  // subnormal: 2^64 x is normal
        x = Scale(x, 64);
        e = -64;
    }
    for (int bit = 8192; bit >= 1; bit /= 2) {
        if (x >= Scale(one, bit)) {
            x = Scale(x, -bit);
            e += bit;
        } else if (x < Scale(one, 1 - bit)) {
            x = Scale(x, bit);
            e -= bit;
        }
    }
    return {x, e};
}

// x = f 2^e with f in [0.75, 1.5]. Between 2^-62 and 2^62 the exponent is the bit length of an
// integer part; x rounded to double there may have reached the next power of two, which leaves
// f just below 1, as good a fraction as any.
Normalized Normalize(Extended x) {
    const Extended one{1.0};
    Normalized n{};
    if (x >= one && x < Extended{0x1p62}) {
        n.exponent = static_cast<int>(std::bit_width(static_cast<std::uint64_t>(ToInteger(x)))) - 1;
        n.fraction = Scale(x, -n.exponent);
    } else if (x < one && x >= Extended{0x1p-62}) {
        const auto scaled = static_cast<std::uint64_t>(ToInteger(x * Extended{0x1p62}));
        n.exponent = static_cast<int>(std::bit_width(scaled)) - 63;
        n.fraction = Scale(x, -n.exponent);
    } else {
        n = NormalizeAnyRange(x);
    }
    if (n.fraction >= Extended{1.5}) {
        n.fraction = n.fraction * Extended{0.5};
        n.exponent += 1;
    }
    return n;
}

// r = f / c - 1 exactly as head + tail: f is cut at 2^-30 into two parts whose products with the
// 24-bit inverse are exact, and the first product minus 1 is exact as well.
Pair ReduceForLog(Extended f, const LogEntry& cell) {
    const Pair split = RoundAtShifter<kHalfShifter>(f);  // upper and f - upper
    return TwoSum(split.head * cell.inverse - Extended{1.0}, split.tail * cell.inverse);
}

// e ln 2 - ln(1/c) + ln(1 + r) rounded once. r is cut at 2^-39 into upper, of at most 32 bits, and
// lower; ln(1 + r) = upper + lower - upper^2/2 - lower (upper + lower/2) + r^3 (1/3 - r/4 + ... -
// r^7/10) for |r| < 2^-7.4, the next term below 2^-84 of the result. The terms down to upper^2/2
// (exact) are summed exactly as pairs, in decreasing order of magnitude, and every rounding error
// left is below 2^-82 of the result.
Extended LogOfReduced(Extended e, const LogEntry& cell, Pair r, const LogConstants& c) {
    const Extended half{0.5};
    const Extended rh = r.head;
    const Pair split = RoundAtShifter<kLogSplitShifter>(rh);
    const Extended upper = split.head;
    const Extended lower = split.tail + r.tail;  // split.tail = rh - upper
    const Extended* k = c.coefficients;
    const Extended r2 = rh * rh;
    const Extended poly = ((k[0] + k[1] * rh) + r2 * (k[2] + k[3] * rh)) +
                          (r2 * r2) * ((k[4] + k[5] * rh) + r2 * (k[6] + k[7] * rh));
    const Pair u = FastTwoSum(e * c.ln2High, cell.head);
    const Pair v = FastTwoSum(u.head, upper);
    const Pair w = FastTwoSum(v.head, -(upper * upper * half));
    const Extended series = (lower - lower * (upper + lower * half)) + (r2 * (rh * poly + r.tail));
    const Extended small = (e * c.ln2Low + cell.tail) + series;
    return w.head + (((u.tail + v.tail) + w.tail) + small);
}

}  // namespace

Extended ExtendedExp(Extended x) {
    if (x != x) return x + x;  // NaN
    if (x > Extended{kExpInfinityBound}) return Infinity();
    if (x < Extended{kExpZeroBound}) return Extended{0.0};
    const ExpConstants& c = ExpTables();
    const ExpReduction reduction = ReduceForExp(x, c);
    const std::int64_t j = reduction.k & (kExpTableSize - 1);  // 0..127 for negative k too
    const Pair y = ScaledExpOfReduced(c.table[j], reduction.r, c);
    return ScaleRounded(y, (reduction.k - j) / kExpTableSize);
}

Extended ExtendedLog(Extended x) {
    if (x != x) return x + x;  // NaN
    if (x < Extended{0.0}) return NotANumber();
    if (x == Extended{0.0}) return -Infinity();
    if (x == Infinity()) return x;
    const LogConstants& c = LogTables();
    const Normalized n = Normalize(x);
    const std::int64_t cell =
        ToInteger(n.fraction * Extended{static_cast<double>(kLogCellsPerUnit)} + Extended{0.5});
    const LogEntry& entry = c.table[cell - kFirstLogCell];
    return LogOfReduced(Extended{static_cast<double>(n.exponent)}, entry,
                        ReduceForLog(n.fraction, entry), c);
}

}  // namespace orvale
