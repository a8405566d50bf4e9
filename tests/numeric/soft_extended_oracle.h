// SPDX-License-Identifier: GPL-3.0-or-later
// The x87 hardware as the reference for SoftExtended (soft_extended_oracle.cpp), and random
// operands that reach its corners (soft_extended_random.cpp: every exponent, denormals, runs of
// ones and zeros at the rounding point, near-halfway decimals), in the manner of Berkeley
// TestFloat. Shared by the unit test, which runs a short series, and
// tests/tools/soft_extended_check.cpp, which runs long ones.
#pragma once

#include <cfloat>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "numeric/soft_extended.h"

static_assert(LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384,
              "the reference for SoftExtended is the x87 long double");

namespace orvale::soft_extended_oracle {

long double ToHardware(SoftExtended x);
SoftExtended FromHardware(long double x);
// "sign-exponent:significand" in hexadecimal, for messages.
std::string Hex(SoftExtended x);

enum class Operation {
    Add,
    Subtract,
    Multiply,
    Divide,
    Sqrt,
    Floor,
    Trunc,
    NearbyInt,
    Compare,
    ToDouble,
    ToFloat,
    ToInt64,
    ToUInt64,
    FromDouble,
    FromFloat,
    FromInt64,
    FromUInt64,
    PrintFixed,
    PrintScientific,
    Parse,
};
constexpr int kOperationCount = static_cast<int>(Operation::Parse) + 1;
const char* Name(Operation operation);

// Each check returns "" when SoftExtended gives the hardware's (or glibc's) bits or text, else a
// description of the difference.
// Add, Subtract, Multiply, Divide and Compare (all six relations) take both operands; the
// others of the first block take a.
std::string CheckOperation(Operation operation, SoftExtended a, SoftExtended b = {});
std::string CheckFromDouble(double value);
std::string CheckFromFloat(float value);
std::string CheckFromInt64(std::int64_t value);
std::string CheckFromUInt64(std::uint64_t value);
// PrintFixed or PrintScientific against snprintf "%.*Lf" / "%.*Le".
std::string CheckPrint(Operation operation, SoftExtended x, int precision);
// FromChars against strtold: the value's bits and the characters used.
std::string CheckParse(const std::string& text);

// Texts strtold and FromChars must read alike, around the grammar's corners.
// clang-format off
inline constexpr const char* kSyntaxTexts[] = {
    "inf", "-INF", "Infinity", "+infinity", "infinit", "nan", "-NaN", "nan()", "nan(1)",
    "nan(0x1f)", "nan(017)", "nan(08)", "nan(abc", "nan(a_1)", "nan(0x)",
    "nan(18446744073709551616)", "1e", "1e+", "1E-5x", ".5", "5.", ".", "-.e3", "+.5e+3", "+",
    "", "-0", "e5", "00000.000e7", "0e999999999999999999999", "1e-99999999999999999999"};
// clang-format on

// glibc's printf of a long double with the format (one "%.*L" conversion) and precision.
std::string PrintHardware(const char* format, int precision, long double value);

// The exact decimal of the point halfway between a finite x >= 0 and the next value up, as
// "digitsEpower": the case that rounding to nearest-even decides by the last bit.
std::string HalfwayDecimal(SoftExtended x);

// Random operands. Decimal cases are mostly ordinary numbers, with a small share over the
// whole range and of thousands of digits (which cost glibc's printf and strtold most).
class RandomOperands {
  public:
    explicit RandomOperands(std::uint64_t seed) : engine_(seed) {}

    // Any encoding: mostly finite values over every exponent, some zeros, infinities, quiet and
    // signalling NaNs, and now and then the x87's unnormals and pseudo-denormals.
    SoftExtended Value();
    // Two operands, often with exponents 0 to 70 apart or one derived from the other, so that
    // sums cancel and roundings fall at and around halfway.
    std::pair<SoftExtended, SoftExtended> Pair();
    // A finite value or special for printing: mostly within about 10^±60.
    SoftExtended PrintValue();
    double Double();
    float Float();
    std::uint64_t Integer();
    int Precision();
    std::string DecimalText();

    // A uniform random integer below n (n > 0), and 64 random bits.
    std::uint64_t Below(std::uint64_t n) { return engine_() % n; }
    std::uint64_t Bits() { return engine_(); }

  private:
    std::uint64_t Significand();
    int Exponent();
    SoftExtended Finite(int exponent);
    std::string HalfwayText();

    std::mt19937_64 engine_;
};

// Draws operands for one case of the operation and checks it.
std::string CheckRandom(Operation operation, RandomOperands& random);

}  // namespace orvale::soft_extended_oracle
