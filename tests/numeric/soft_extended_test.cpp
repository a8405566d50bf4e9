// SPDX-License-Identifier: GPL-3.0-or-later
// SoftExtended against the x87 it imitates, in the manner of Berkeley TestFloat: tables of edge
// cases per operation, each compared bit for bit with the hardware's long double (and with
// glibc's printf and strtold for the decimal conversions), then a random series of every kind.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "numeric/extended.h"
#include "numeric/soft_extended_oracle.h"

namespace orvale {
namespace {

using namespace soft_extended_oracle;
using Ext = SoftExtended;
using Op = Operation;

// 2^e, normal or denormal.
Ext Power2(int e) {
    const int field = e + Ext::kExponentBias;
    if (field >= 1) return Ext::FromBits(static_cast<std::uint16_t>(field), Ext::kIntegerBit);
    return Ext::FromBits(0, Ext::kIntegerBit >> (1 - field));
}
// 1 + k x 2^-63: k units in the last place above 1.
Ext OnePlus(std::uint64_t k) {
    return Ext::FromBits(0x3FFF, Ext::kIntegerBit + k);
}
// 1 - k x 2^-64.
Ext OneMinus(std::uint64_t k) {
    return Ext::FromBits(0x3FFE, 0 - k);
}

const Ext kMinDenormal = Ext::FromBits(0, 1);
const Ext kMaxDenormal = Ext::FromBits(0, ~0ULL >> 1);
const Ext kMinNormal = Power2(-16382);
const Ext kMax = Ext::FromBits(0x7FFE, ~0ULL);
const Ext kInf = Ext::Infinity();
const Ext kQuiet = Ext::FromBits(0x7FFF, 0xC000000000000001);
const Ext kQuietNegative = Ext::FromBits(0xFFFF, 0xC000000000000001);
const Ext kQuietLarger = Ext::FromBits(0xFFFF, 0xC000000000000002);
const Ext kSignalling = Ext::FromBits(0xFFFF, 0x8000000000000005);
const Ext kSignallingLarger = Ext::FromBits(0x7FFF, 0xBFFFFFFFFFFFFFFF);
const Ext kUnnormal = Ext::FromBits(0x3FFF, 0x4000000000000000);
const Ext kPseudoDenormal = Ext::FromBits(0, 0x8000000000000001);
const Ext kPseudoInfinity = Ext::FromBits(0x7FFF, 0);

struct Case {
    Op operation;
    Ext a;
    Ext b = {};  // for the operations of two operands
};

TEST(SoftExtendedTest, EdgeCasesGiveTheHardwareBits) {
    const Ext zero = 0.0, negativeZero = -0.0, one = 1.0;
    const Ext halfUlpOfMax = Power2(16383 - 64);
    const std::vector<Case> cases = {
        // Halfway sums: ties go to the even neighbour, anything above goes up.
        {Op::Add, one, Power2(-64)},
        {Op::Add, OnePlus(1), Power2(-64)},
        {Op::Add, one, Power2(-64) + Power2(-120)},
        {Op::Subtract, one, Power2(-65)},
        {Op::Subtract, one, Power2(-200)},
        {Op::Add, one, Power2(-200)},
        {Op::Add, kMax, halfUlpOfMax},  // the tie above the largest value overflows
        {Op::Add, kMax, Power2(16383 - 65)},
        {Op::Subtract, -kMax, halfUlpOfMax},
        // Denormals in and out, exact cancellation, signed zeros.
        {Op::Subtract, kMinNormal, kMinDenormal},
        {Op::Add, kMaxDenormal, kMinDenormal},
        {Op::Add, kMinDenormal, -kMinDenormal},
        {Op::Subtract, OnePlus(1), one},
        {Op::Add, negativeZero, negativeZero},
        {Op::Add, zero, negativeZero},
        {Op::Subtract, negativeZero, zero},
        {Op::Subtract, one, one},
        {Op::Add, negativeZero, kMinDenormal},
        // Normal operands at the edges of the normal range and of the 128-bit alignment.
        {Op::Subtract, Power2(-16381), kMinNormal},
        {Op::Subtract, kMinNormal * 1.5, kMinNormal},
        {Op::Subtract, one, Power2(-127)},
        {Op::Subtract, one, Power2(-128)},
        {Op::Add, kMax, kMax},
        // Infinities and NaNs: the x87 picks a quiet NaN over a signalling one, then the larger
        // significand, then the positive sign; an invalid encoding gives the default NaN.
        {Op::Subtract, kInf, kInf},
        {Op::Add, -kInf, kMax},
        {Op::Add, kQuiet, one},
        {Op::Subtract, one, kSignalling},
        {Op::Add, kSignalling, kQuietLarger},
        {Op::Add, kSignallingLarger, kQuiet},
        {Op::Add, kQuiet, kQuietNegative},
        {Op::Subtract, kQuietNegative, kQuiet},
        {Op::Add, kQuietNegative, kQuietLarger},
        {Op::Add, kSignalling, kSignallingLarger},
        {Op::Add, kUnnormal, one},
        {Op::Add, kQuiet, kUnnormal},
        {Op::Add, kPseudoInfinity, one},
        {Op::Add, kPseudoDenormal, zero},
        // Products: halfway cases, underflow to denormals and zero, overflow.
        {Op::Multiply, OnePlus(1ULL << 31), OnePlus(1ULL << 31)},
        {Op::Multiply, OnePlus(1ULL << 31), OnePlus((1ULL << 31) + 1)},
        {Op::Multiply, kMinNormal, 0.5},
        {Op::Multiply, kMinDenormal, 0.5},
        {Op::Multiply, kMinDenormal, 1.5},
        {Op::Multiply, kMinDenormal, 2.5},
        {Op::Multiply, kMinNormal, OneMinus(1)},
        {Op::Multiply, kMinNormal, -kMinNormal},
        {Op::Multiply, kMax, 2.0},
        {Op::Multiply, kMax, OneMinus(1)},
        {Op::Multiply, Power2(-8191), Power2(-8191)},
        {Op::Multiply, Power2(-8191), Power2(-8192) * OneMinus(1)},
        {Op::Multiply, zero, kInf},
        {Op::Multiply, negativeZero, 5.0},
        {Op::Multiply, kInf, -2.0},
        {Op::Multiply, kPseudoDenormal, one},
        {Op::Multiply, kSignalling, kInf},
        // Quotients.
        {Op::Divide, one, 3.0},
        {Op::Divide, -2.0, 3.0},
        {Op::Divide, one, kMax},
        {Op::Divide, kMinNormal, 3.0},
        {Op::Divide, kMinDenormal, 2.0},
        {Op::Divide, 3 * kMinDenormal, 2.0},
        {Op::Divide, kMax, 0.5},
        {Op::Divide, kMinNormal, kMax},
        {Op::Divide, kMinNormal, OnePlus(1)},
        {Op::Divide, kMax, OneMinus(1)},
        {Op::Divide, one, zero},
        {Op::Divide, -one, zero},
        {Op::Divide, zero, zero},
        {Op::Divide, kInf, -kInf},
        {Op::Divide, negativeZero, 5.0},
        {Op::Divide, 5.0, -kInf},
        {Op::Divide, kQuietLarger, kSignalling},
        // Square roots: both exponent parities, the ends of the range, just off halfway.
        {Op::Sqrt, 2.0},
        {Op::Sqrt, 0.5},
        {Op::Sqrt, 4.0},
        {Op::Sqrt, kMinDenormal},
        {Op::Sqrt, kMaxDenormal},
        {Op::Sqrt, kMax},
        {Op::Sqrt, OnePlus(1)},
        {Op::Sqrt, OneMinus(1)},
        {Op::Sqrt, zero},
        {Op::Sqrt, negativeZero},
        {Op::Sqrt, -one},
        {Op::Sqrt, -kMinDenormal},
        {Op::Sqrt, kInf},
        {Op::Sqrt, -kInf},
        {Op::Sqrt, kSignalling},
        {Op::Sqrt, kUnnormal},
        // Floor: toward minus infinity, -0 kept, a carry into the exponent.
        {Op::Floor, 0.5},
        {Op::Floor, -0.5},
        {Op::Floor, negativeZero},
        {Op::Floor, -kMinDenormal},
        {Op::Floor, Power2(62) + 0.5},
        {Op::Floor, -(Power2(62) + 0.5)},
        {Op::Floor, -Ext::FromBits(0x3FFF + 62, ~0ULL)},
        {Op::Floor, 1e30},
        {Op::Floor, -kMax},
        {Op::Floor, -kInf},
        {Op::Floor, kSignalling},
        // Trunc and NearbyInt: toward zero, and to the even integer on a tie.
        {Op::Trunc, -0.5},
        {Op::Trunc, -(Power2(62) + 0.5)},
        {Op::Trunc, kMinDenormal},
        {Op::Trunc, kQuietNegative},
        {Op::NearbyInt, 0.5},
        {Op::NearbyInt, 1.5},
        {Op::NearbyInt, -2.5},
        {Op::NearbyInt, -0.25},
        {Op::NearbyInt, OneMinus(1)},
        {Op::NearbyInt, Power2(62) + 0.5},
        {Op::NearbyInt, Power2(62) + 1.5},
        {Op::NearbyInt, -Ext::FromBits(0x3FFF + 62, ~0ULL)},
        {Op::NearbyInt, kSignalling},
        // Comparisons (all six relations): NaNs unordered, zeros equal.
        {Op::Compare, kQuiet, one},
        {Op::Compare, kQuiet, kQuiet},
        {Op::Compare, negativeZero, zero},
        {Op::Compare, kMinDenormal, -kMinDenormal},
        {Op::Compare, kMinDenormal, zero},
        {Op::Compare, kMax, kInf},
        {Op::Compare, -kInf, -kMax},
        {Op::Compare, kPseudoDenormal, kMinNormal},
        {Op::Compare, kUnnormal, one},
        {Op::Compare, OnePlus(1), one},
        // To double and float: ties at the narrow precision, their denormals and overflow.
        {Op::ToDouble, one + Power2(-53)},
        {Op::ToDouble, one + 3 * Power2(-53)},
        {Op::ToDouble, one + Power2(-53) + Power2(-63)},
        {Op::ToDouble, DBL_MAX},
        {Op::ToDouble, Ext(DBL_MAX) + Power2(1023 - 53)},
        {Op::ToDouble, Ext(DBL_MAX) + Power2(1023 - 53) - Power2(1023 - 63)},
        {Op::ToDouble, Ext(DBL_MIN) * OneMinus(1)},
        {Op::ToDouble, Ext(DBL_TRUE_MIN) * 0.5},
        {Op::ToDouble, Ext(DBL_TRUE_MIN) * 1.5},
        {Op::ToDouble, Ext(DBL_TRUE_MIN) * OnePlus(1) * 0.5},
        {Op::ToDouble, kMax},
        {Op::ToDouble, -kMinDenormal},
        {Op::ToDouble, kQuietLarger},
        {Op::ToDouble, kSignalling},
        {Op::ToDouble, Ext::DefaultNaN()},
        {Op::ToDouble, kUnnormal},
        {Op::ToFloat, one + Power2(-24)},
        {Op::ToFloat, Ext(FLT_MAX) + Power2(127 - 24)},
        {Op::ToFloat, Ext(FLT_TRUE_MIN) * 0.5},
        {Op::ToFloat, Ext(FLT_TRUE_MIN) * 1.5},
        {Op::ToFloat, Ext(FLT_MIN) * OneMinus(1)},
        {Op::ToFloat, kSignalling},
        // To integers: the limits, truncation toward zero, the integer indefinite.
        {Op::ToInt64, Power2(63) - 1},
        {Op::ToInt64, Power2(63)},
        {Op::ToInt64, -Power2(63)},
        {Op::ToInt64, -Power2(63) - 1},
        {Op::ToInt64, -Power2(63) - 0.5},
        {Op::ToInt64, OneMinus(1)},
        {Op::ToInt64, -OneMinus(1)},
        {Op::ToInt64, kQuiet},
        {Op::ToInt64, -kInf},
        {Op::ToInt64, kMax},
        {Op::ToUInt64, Power2(64) - 1},
        {Op::ToUInt64, Power2(64)},
        {Op::ToUInt64, Power2(63) + 0.5},
        {Op::ToUInt64, -one},
        {Op::ToUInt64, -Power2(63)},
        {Op::ToUInt64, -Power2(63) - 1},
        {Op::ToUInt64, -0.5},
        {Op::ToUInt64, kQuiet},
        {Op::ToUInt64, kInf},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckOperation(c.operation, c.a, c.b), "");
}

TEST(SoftExtendedTest, ConversionsFromNarrowerTypesAreExact) {
    for (double value : {DBL_TRUE_MIN, -DBL_TRUE_MIN, DBL_MIN, DBL_MAX,
                         std::bit_cast<double>(0x000FFFFFFFFFFFFFULL),
                         std::bit_cast<double>(0x7FF0000000000001ULL),
                         std::bit_cast<double>(0xFFF8000000000123ULL), -0.0,
                         -std::numeric_limits<double>::infinity(), 0.1}) {
        EXPECT_EQ(CheckFromDouble(value), "");
    }
    for (float value : {FLT_TRUE_MIN, -FLT_MIN, FLT_MAX, std::bit_cast<float>(0x7F800001U),
                        std::bit_cast<float>(0x007FFFFFU), -0.0F}) {
        EXPECT_EQ(CheckFromFloat(value), "");
    }
    for (std::int64_t value : {INT64_MIN, INT64_MAX, std::int64_t{-1}, std::int64_t{0}}) {
        EXPECT_EQ(CheckFromInt64(value), "");
    }
    for (std::uint64_t value :
         {std::uint64_t{UINT64_MAX}, std::uint64_t{1} << 63, (std::uint64_t{1} << 53) + 1}) {
        EXPECT_EQ(CheckFromUInt64(value), "");
    }
}

// The halfway text between x and its successor, and decimals a little below and above it: its
// last digit (always 5) made 4 and followed by `more` nines, or followed by `more` zeros and a 1.
std::vector<std::string> AroundHalfway(Ext x, std::size_t more) {
    const std::string text = HalfwayDecimal(x);
    const std::size_t e = text.find('e');
    const std::string digits = text.substr(0, e - 1);
    const long power = std::stol(text.substr(e + 1)) - static_cast<long>(more) - 1;
    return {text, digits + "4" + std::string(more, '9') + "e" + std::to_string(power),
            digits + "5" + std::string(more, '0') + "1e" + std::to_string(power)};
}

TEST(SoftExtendedTest, DecimalTextReadsAsStrtold) {
    std::vector<std::string> texts = {"0",
                                      "-0",
                                      "1",
                                      "0.1",
                                      "-123.456e-7",
                                      "1e-4951",
                                      "2e-4951",
                                      "3.6451995318824746025e-4951",
                                      "1.18973149535723176502e4932",
                                      "1.18973149535723176508575932662800702e4932",
                                      "1e4933",
                                      "-1e99999",
                                      "1e-99999",
                                      "18446744073709551615",
                                      "18446744073709551616e-27",
                                      "9223372036854775807.5",
                                      "1e27",
                                      "1e-27",
                                      "1e28",
                                      "1e-28",
                                      "123456789012345678901e5"};
    // Halfway between neighbours: 0 and the smallest denormal, the largest denormal and the
    // smallest normal, the largest value and the overflow threshold, 1 and its successor.
    for (Ext x : {Ext(0.0), kMinDenormal, kMaxDenormal, kMinNormal, kMax, Ext(1.0), OnePlus(1),
                  Ext(0.1), Power2(-16000)}) {
        for (const std::string& text : AroundHalfway(x, 0)) texts.push_back(text);
    }
    // Long digit strings: the digits far beyond the first 11,600 still decide a halfway case.
    for (Ext x : {kMinDenormal, OnePlus(1)}) {
        for (const std::string& text : AroundHalfway(x, 12000)) texts.push_back(text);
    }
    texts.push_back("0." + std::string(20000, '0') + "1e20000");
    texts.push_back("1" + std::string(15000, '0') + "e-15000");
    texts.push_back(std::string(12000, '9') + "e-12000");
    // The grammar's corners.
    for (const char* text : kSyntaxTexts) texts.emplace_back(text);
    for (const std::string& text : texts) EXPECT_EQ(CheckParse(text), "");
}

TEST(SoftExtendedTest, PrintingMatchesGlibcPrintf) {
    struct Printed {
        Ext value;
        int precision;
    };
    const std::vector<Printed> cases = {
        {0.5, 0},          {1.5, 0},         {2.5, 0},           {0.125, 2},
        {0.375, 2},        {-0.0, 3},        {-1e-5, 3},         {999.5, 0},
        {9.5, 0},          {0.05, 1},        {1e23, 0},          {DBL_MAX, 3},
        {kMax, 0},         {kMax, 40},       {kMinDenormal, 20}, {kMinDenormal, 16500},
        {kMaxDenormal, 0}, {kMinNormal, 30}, {OnePlus(1), 30},   {Ext::DefaultNaN(), 3},
        {kQuiet, 3},       {kInf, 2},        {-kInf, 0},         {1.0, -1},
        {0.0, 0},          {1e-300, 5},
    };
    for (const Printed& c : cases) {
        EXPECT_EQ(CheckPrint(Op::PrintFixed, c.value, c.precision), "");
        EXPECT_EQ(CheckPrint(Op::PrintScientific, c.value, c.precision), "");
    }
}

TEST(SoftExtendedTest, ExactDecimalHasEveryDigitOfTheBinaryValue) {
    for (Ext x : {kMinDenormal, kMax, Ext(0.1), Ext(-2.5), OnePlus(1), Ext(1e300)}) {
        // glibc prints the exact value when given enough digits; trailing zeros dropped.
        char buffer[16000];
        std::snprintf(buffer, sizeof buffer, "%.12000Le", ToHardware(Fabs(x)));
        const std::string printed = buffer;
        const std::size_t e = printed.find('e');
        std::string digits = printed.substr(0, 1) + printed.substr(2, e - 2);
        digits.erase(digits.find_last_not_of('0') + 1);
        const DecimalDigits exact = ExactDecimal(x);
        EXPECT_EQ(exact.digits, digits);
        EXPECT_EQ(exact.exponent, std::stoi(printed.substr(e + 1)));
        EXPECT_EQ(exact.negative, SignBit(x));
    }
    EXPECT_EQ(ExactDecimal(-0.0).digits, "0");
    EXPECT_THROW(ExactDecimal(kQuiet), std::invalid_argument);
    EXPECT_THROW(ExactDecimal(-kInf), std::invalid_argument);
}

// Either type's value as SoftExtended.
[[maybe_unused]] Ext AsSoft(long double x) {
    return ToSoft(x);
}
[[maybe_unused]] Ext AsSoft(Ext x) {
    return x;
}

// The same program text computes alike with long double and SoftExtended.
TEST(SoftExtendedTest, ExtendedFunctionsAgreeForBothTypes) {
    for (long double x : {2.0L, -0.75L, 1e-4940L, 1e4000L, -9.5e18L, 1.8446744073709551615e19L}) {
        const Ext soft = ToSoft(x);
        EXPECT_EQ(Hex(ToSoft(Sqrt(Fabs(x)))), Hex(Sqrt(Fabs(soft))));
        EXPECT_EQ(Hex(ToSoft(Floor(x))), Hex(Floor(soft)));
        EXPECT_EQ(Hex(ToSoft(NearbyInt(x))), Hex(NearbyInt(soft)));
        EXPECT_EQ(ToDouble(x), ToDouble(soft));
        EXPECT_EQ(ToInt64(x), ToInt64(soft));
        EXPECT_EQ(ToUInt64(x), ToUInt64(soft));
        EXPECT_EQ(PrintScientific(x, 25), PrintScientific(soft, 25));
        const std::string text = PrintScientific(x, 25);
        long double read = 0;
        FromChars(text.data(), text.data() + text.size(), read);
        EXPECT_EQ(Hex(ToSoft(read)), Hex(*SoftExtendedFromDecimal(text)));
    }
    EXPECT_EQ(Hex(AsSoft(*FromDecimal("0.1"))), Hex(ToSoft(0.1L)));
    EXPECT_FALSE(FromDecimal("0.1 "));
}

// About 200,000 random cases of each operation in [first, last] against the hardware.
void ExpectRandomCasesAgree(Op first, Op last) {
    constexpr int kCases = 200000;
    for (int i = static_cast<int>(first); i <= static_cast<int>(last); ++i) {
        const auto operation = static_cast<Op>(i);
        RandomOperands random(0x5EED + static_cast<std::uint64_t>(i));
        int mismatches = 0;
        for (int n = 0; n < kCases; ++n) {
            const std::string difference = CheckRandom(operation, random);
            if (!difference.empty() && ++mismatches <= 3) ADD_FAILURE() << difference;
        }
        EXPECT_EQ(mismatches, 0) << Name(operation);
    }
}

TEST(SoftExtendedTest, RandomArithmeticAndConversionsGiveTheHardwareBits) {
    ExpectRandomCasesAgree(Op::Add, Op::FromUInt64);
}

TEST(SoftExtendedTest, RandomDecimalConversionsMatchGlibc) {
    ExpectRandomCasesAgree(Op::PrintFixed, Op::Parse);
}

// The one-step error-free sum and the direct rounding that the exponential and logarithm use
// give what the hardware's steps give: TwoSum's and FastTwoSum's for the sum and its error, and
// (v + s) - s for a shifter s of 2^q or 1.5 x 2^q with what is left of v.
TEST(SoftExtendedTest, OneStepSumsAndShifterRoundingGiveTheHardwareSteps) {
    RandomOperands random(0x5EED5);
    int sums = 0, roundings = 0;
    for (int n = 0; n < 400000; ++n) {
        const auto [a, b] = random.Pair();
        Ext sum, error;
        if (soft_extended_detail::SumAndError(a, b, sum, error)) {
            ++sums;
            const long double x = ToHardware(a), y = ToHardware(b);
            const long double s = x + y, bPart = s - x, aPart = s - bPart;
            ASSERT_EQ(Hex(sum), Hex(ToSoft(s))) << Hex(a) << " + " << Hex(b);
            ASSERT_EQ(Hex(error), Hex(ToSoft((x - aPart) + (y - bPart)))) << Hex(a) << Hex(b);
            if ((a.SignExponent() & 0x7FFF) >= (b.SignExponent() & 0x7FFF)) {
                ASSERT_EQ(Hex(error), Hex(ToSoft(y - (s - x)))) << Hex(a) << " + " << Hex(b);
            }
        }
        Ext v = random.Value();
        const int e = (v.SignExponent() & 0x7FFF) - Ext::kExponentBias;
        const int q = e + 2 + static_cast<int>(random.Below(random.Below(2) != 0 ? 70 : 8));
        if (!soft_extended_detail::IsNormal(v) || q > 16382) continue;
        const bool onePointFive = random.Below(2) != 0;
        if (!onePointFive && SignBit(v)) v = -v;
        const long double shifter = std::ldexp(onePointFive ? 1.5L : 1.0L, q);
        const long double x = ToHardware(v), rounded = (x + shifter) - shifter;
        Ext softRounded, remainder;
        if (!soft_extended_detail::RoundToMultipleOfPowerOfTwo(v, q - 63, softRounded, remainder)) {
            continue;
        }
        ++roundings;
        ASSERT_EQ(Hex(softRounded), Hex(ToSoft(rounded))) << Hex(v) << " q " << q;
        ASSERT_EQ(Hex(remainder), Hex(ToSoft(x - rounded))) << Hex(v) << " q " << q;
    }
    EXPECT_GT(sums, 100000);
    EXPECT_GT(roundings, 100000);
}

}  // namespace
}  // namespace orvale
