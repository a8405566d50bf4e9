// SPDX-License-Identifier: GPL-3.0-or-later
// The hardware reference and the random operands for SoftExtended: see soft_extended_oracle.h.
#include "numeric/soft_extended_oracle.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace orvale::soft_extended_oracle {

namespace {

// Keeps the compiler from folding an operation on constants: the x87 computes it at run time.
template <typename T>
T Opaque(T value) {
    asm volatile("" : "+m"(value));
    return value;
}

std::string HexBits(std::uint64_t bits) {
    char text[24];
    std::snprintf(text, sizeof text, "%016" PRIx64, bits);
    return text;
}

std::string Describe(const char* what, const std::string& operands, const std::string& soft,
                     const std::string& hardware) {
    if (soft == hardware) return "";
    return std::string(what) + " " + operands + ": soft " + soft + ", hardware " + hardware;
}

std::string HardwareSnprintf(const char* format, int precision, long double value) {
    const int length = std::snprintf(nullptr, 0, format, precision, value);
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), format, precision, value);
    return text.data();
}

// The hardware's conversion to uint64_t by the definition ToUInt64 documents: truncation for
// -2^63 - 1 < x < 2^64 (negative values as two's complement), else 0x8000000000000000.
std::uint64_t HardwareToUInt64(long double x) {
    constexpr long double kTwoTo63 = 9223372036854775808.0L;
    if (!(x > -kTwoTo63 - 1 && x < 2 * kTwoTo63)) return 1ULL << 63;
    if (x < kTwoTo63) return static_cast<std::uint64_t>(static_cast<std::int64_t>(x));
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(x - kTwoTo63)) + (1ULL << 63);
}

// ==, !=, <, <=, >, >= as the bits of a hexadecimal number: 0x101011 is "equal".
std::uint64_t Relations(bool eq, bool ne, bool lt, bool le, bool gt, bool ge) {
    std::uint64_t bits = 0;
    for (bool relation : {eq, ne, lt, le, gt, ge}) bits = bits << 4 | (relation ? 1 : 0);
    return bits;
}

}  // namespace

long double ToHardware(SoftExtended x) {
    long double result = 0;
    const std::uint64_t significand = x.Significand();
    const std::uint16_t signExponent = x.SignExponent();
    std::memcpy(&result, &significand, sizeof significand);
    std::memcpy(reinterpret_cast<char*>(&result) + 8, &signExponent, sizeof signExponent);
    return result;
}

SoftExtended FromHardware(long double x) {
    std::uint64_t significand = 0;
    std::uint16_t signExponent = 0;
    std::memcpy(&significand, &x, sizeof significand);
    std::memcpy(&signExponent, reinterpret_cast<const char*>(&x) + 8, sizeof signExponent);
    return SoftExtended::FromBits(signExponent, significand);
}

std::string Hex(SoftExtended x) {
    char text[32];
    std::snprintf(text, sizeof text, "%04x:%016" PRIx64, x.SignExponent(), x.Significand());
    return text;
}

namespace {

// A conversion's result against the hardware's, described only when they differ.
std::string Differ(const char* what, const std::string& operand, SoftExtended soft,
                   long double hardware) {
    const SoftExtended reference = FromHardware(hardware);
    if (soft.SignExponent() == reference.SignExponent() &&
        soft.Significand() == reference.Significand()) {
        return "";
    }
    return Describe(what, operand, Hex(soft), Hex(reference));
}

}  // namespace

const char* Name(Operation operation) {
    static const char* const kNames[kOperationCount] = {
        "add",        "subtract",    "multiply",  "divide",      "sqrt",
        "floor",      "trunc",       "nearbyint", "compare",     "to double",
        "to float",   "to int64",    "to uint64", "from double", "from float",
        "from int64", "from uint64", "print %Lf", "print %Le",   "parse"};
    return kNames[static_cast<int>(operation)];
}

std::string CheckOperation(Operation operation, SoftExtended a, SoftExtended b) {
    const long double x = Opaque(ToHardware(a));
    const long double y = Opaque(ToHardware(b));
    // Both results as extended bit patterns; integers and narrower formats in the significand.
    const auto bits = [](std::uint64_t value) { return SoftExtended::FromBits(0, value); };
    SoftExtended soft, hardware;
    switch (operation) {
        case Operation::Add:
            soft = a + b, hardware = FromHardware(x + y);
            break;
        case Operation::Subtract:
            soft = a - b, hardware = FromHardware(x - y);
            break;
        case Operation::Multiply:
            soft = a * b, hardware = FromHardware(x * y);
            break;
        case Operation::Divide:
            soft = a / b, hardware = FromHardware(x / y);
            break;
        case Operation::Sqrt:
            soft = Sqrt(a), hardware = FromHardware(std::sqrt(x));
            break;
        case Operation::Floor:
            soft = Floor(a), hardware = FromHardware(std::floor(x));
            break;
        case Operation::Trunc:
            soft = Trunc(a), hardware = FromHardware(std::trunc(x));
            break;
        case Operation::NearbyInt:
            soft = NearbyInt(a), hardware = FromHardware(std::nearbyint(x));
            break;
        case Operation::Compare:
            soft = bits(Relations(a == b, a != b, a<b, a <= b, a> b, a >= b));
            hardware = bits(Relations(x == y, x != y, x<y, x <= y, x> y, x >= y));
            break;
        case Operation::ToDouble:
            soft = bits(std::bit_cast<std::uint64_t>(ToDouble(a)));
            hardware = bits(std::bit_cast<std::uint64_t>(static_cast<double>(x)));
            break;
        case Operation::ToFloat:
            soft = bits(std::bit_cast<std::uint32_t>(ToFloat(a)));
            hardware = bits(std::bit_cast<std::uint32_t>(static_cast<float>(x)));
            break;
        case Operation::ToInt64:
            // The x87's fistp: out of range and NaN give the integer indefinite.
            soft = bits(static_cast<std::uint64_t>(ToInt64(a)));
            hardware = bits(static_cast<std::uint64_t>(static_cast<std::int64_t>(x)));
            break;
        case Operation::ToUInt64:
            soft = bits(ToUInt64(a)), hardware = bits(HardwareToUInt64(x));
            break;
        default:
            return std::string("CheckOperation cannot check ") + Name(operation);
    }
    if (soft.SignExponent() == hardware.SignExponent() &&
        soft.Significand() == hardware.Significand()) {
        return "";
    }
    const bool binary = operation <= Operation::Divide || operation == Operation::Compare;
    return Describe(Name(operation), binary ? Hex(a) + ", " + Hex(b) : Hex(a), Hex(soft),
                    Hex(hardware));
}

std::string CheckFromDouble(double value) {
    const SoftExtended soft(value);
    const long double hardware = Opaque(value);
    return Differ("from double", HexBits(std::bit_cast<std::uint64_t>(value)), soft, hardware);
}

std::string CheckFromFloat(float value) {
    const SoftExtended soft(value);
    const long double hardware = Opaque(value);
    return Differ("from float", HexBits(std::bit_cast<std::uint32_t>(value)), soft, hardware);
}

std::string CheckFromInt64(std::int64_t value) {
    const long double hardware = Opaque(value);
    return Differ("from int64", HexBits(static_cast<std::uint64_t>(value)), SoftExtended(value),
                  hardware);
}

std::string CheckFromUInt64(std::uint64_t value) {
    const long double hardware = Opaque(value);
    return Differ("from uint64", HexBits(value), SoftExtended(value), hardware);
}

std::string CheckPrint(Operation operation, SoftExtended x, int precision) {
    const bool fixed = operation == Operation::PrintFixed;
    const std::string soft = fixed ? PrintFixed(x, precision) : PrintScientific(x, precision);
    const std::string hardware =
        HardwareSnprintf(fixed ? "%.*Lf" : "%.*Le", precision, ToHardware(x));
    return Describe(Name(operation), Hex(x) + " precision " + std::to_string(precision), soft,
                    hardware);
}

std::string CheckParse(const std::string& text) {
    SoftExtended soft = SoftExtended::FromBits(0x1234, 0x5678);  // untouched when nothing is read
    const auto [end, error] = FromChars(text.data(), text.data() + text.size(), soft);
    const std::string softResult = error == std::errc() ? Hex(soft) : "error";
    char* hardwareEnd = nullptr;
    const long double hardware = std::strtold(text.c_str(), &hardwareEnd);
    const std::string hardwareResult =
        hardwareEnd == text.c_str() ? "error" : Hex(FromHardware(hardware));
    const std::string shown = text.size() > 200 ? text.substr(0, 200) + "..." : text;
    return Describe("parse", "\"" + shown + "\"",
                    softResult + " after " + std::to_string(end - text.data()),
                    hardwareResult + " after " + std::to_string(hardwareEnd - text.c_str()));
}

namespace {

constexpr int kBias = SoftExtended::kExponentBias;
constexpr int kLargestFiniteExponent = SoftExtended::kMaxExponent - 1;

// A decimal integer and the power of ten it is multiplied by.
struct ScaledDecimal {
    std::string digits;
    std::int64_t power = 0;
};

ScaledDecimal ToScaled(const DecimalDigits& decimal) {
    return {decimal.digits,
            decimal.exponent - static_cast<std::int64_t>(decimal.digits.size()) + 1};
}

// digits x factor, for a one-digit factor.
std::string MultiplyDigits(const std::string& digits, int factor) {
    std::string result(digits.size() + 1, '0');
    int carry = 0;
    for (std::size_t i = digits.size(); i-- > 0;) {
        const int product = (digits[i] - '0') * factor + carry;
        result[i + 1] = static_cast<char>('0' + product % 10);
        carry = product / 10;
    }
    result[0] = static_cast<char>('0' + carry);
    return result;
}

ScaledDecimal Add(ScaledDecimal a, ScaledDecimal b) {
    const std::int64_t power = std::min(a.power, b.power);
    a.digits.append(static_cast<std::size_t>(a.power - power), '0');
    b.digits.append(static_cast<std::size_t>(b.power - power), '0');
    if (a.digits.size() < b.digits.size()) std::swap(a, b);
    b.digits.insert(0, a.digits.size() - b.digits.size(), '0');
    std::string sum(a.digits.size() + 1, '0');
    int carry = 0;
    for (std::size_t i = a.digits.size(); i-- > 0;) {
        const int digit = (a.digits[i] - '0') + (b.digits[i] - '0') + carry;
        sum[i + 1] = static_cast<char>('0' + digit % 10);
        carry = digit / 10;
    }
    sum[0] = static_cast<char>('0' + carry);
    return {sum, power};
}

// Texts strtold and FromChars must read alike, around the grammar's corners.
constexpr const char* kSyntaxTexts[] = {"inf",
                                        "-INF",
                                        "Infinity",
                                        "+infinity",
                                        "infinit",
                                        "nan",
                                        "-NaN",
                                        "nan()",
                                        "nan(1)",
                                        "nan(0x1f)",
                                        "nan(017)",
                                        "nan(08)",
                                        "nan(abc",
                                        "nan(a_1)",
                                        "nan(0x)",
                                        "1e",
                                        "1e+",
                                        "1E-5x",
                                        ".5",
                                        "5.",
                                        ".",
                                        "-.e3",
                                        "+",
                                        "",
                                        "-0",
                                        "0e999999999999999999999",
                                        "1e-99999999999999999999",
                                        "e5",
                                        "00000.000e7",
                                        "nan(18446744073709551616)"};

// Unnormals, pseudo-denormals, pseudo-NaNs and pseudo-infinities.
bool IsOddEncoding(SoftExtended x) {
    const int exponent = x.SignExponent() & 0x7FFF;
    const bool integerBit = (x.Significand() & SoftExtended::kIntegerBit) != 0;
    return exponent == 0 ? integerBit : !integerBit;
}

}  // namespace

std::uint64_t RandomOperands::Significand() {
    switch (Below(8)) {
        case 0:
        case 1:
            return Bits();
        case 2: {  // runs of ones and zeros
            std::uint64_t bits = 0;
            bool one = Below(2) != 0;
            for (int position = 63; position >= 0; one = !one) {
                const int length = static_cast<int>(1 + Below(Below(2) != 0 ? 6 : 40));
                for (int k = 0; k < length && position >= 0; ++k, --position) {
                    if (one) bits |= 1ULL << position;
                }
            }
            return bits;
        }
        case 3:  // a short significand: products and sums land exactly on halfway points
            return Bits() & ~(~0ULL >> (1 + Below(40)));
        case 4: {  // around the rounding point of double, float or anywhere
            const int point = Below(3) == 0   ? 11
                              : Below(2) == 0 ? 40
                                              : static_cast<int>(1 + Below(63));
            const std::uint64_t mask = (1ULL << point) - 1, half = 1ULL << (point - 1);
            const std::uint64_t patterns[] = {half, half - 1, half + 1, 0, mask, 1, mask - 1};
            return (Bits() & ~mask) | patterns[Below(7)];
        }
        case 5: {
            const unsigned shift = static_cast<unsigned>(Below(64));
            const std::uint64_t patterns[] = {1ULL << shift, ~0ULL << shift, ~0ULL >> shift};
            return patterns[Below(3)];
        }
        case 6:  // a few bits set
            return 1ULL << Below(64) | 1ULL << Below(64) | (Below(2) != 0 ? 1ULL << Below(64) : 0);
        default:
            return Bits() & (~0ULL << Below(64));
    }
}

int RandomOperands::Exponent() {
    const auto near = [this](int centre, int spread) {
        return std::clamp(centre + static_cast<int>(Below(2 * spread + 1)) - spread, 0,
                          kLargestFiniteExponent);
    };
    switch (Below(10)) {
        case 0:
        case 1:
            return static_cast<int>(Below(kLargestFiniteExponent + 1));
        case 2:
        case 3:
            return near(kBias, 70);
        case 4:  // denormals and the bottom of the normals
            return static_cast<int>(Below(80));
        case 5:  // the top of the range
            return kLargestFiniteExponent - static_cast<int>(Below(80));
        case 6:
            return static_cast<int>(Below(2));
        case 7:  // the limits of double
            return near(Below(2) != 0 ? kBias + 1023 : kBias - 1022 - 30, 40);
        case 8:  // the limits of float
            return near(Below(2) != 0 ? kBias + 127 : kBias - 126 - 12, 20);
        default:  // integers
            return kBias + static_cast<int>(Below(70));
    }
}

SoftExtended RandomOperands::Finite(int exponent) {
    std::uint64_t significand = Significand();
    if (exponent == 0) {
        significand &= ~SoftExtended::kIntegerBit;
    } else {
        significand |= SoftExtended::kIntegerBit;
    }
    const auto sign = static_cast<std::uint16_t>(Below(2) << 15);
    return SoftExtended::FromBits(sign | static_cast<std::uint16_t>(exponent), significand);
}

SoftExtended RandomOperands::Value() {
    const auto sign = static_cast<std::uint16_t>(Below(2) << 15);
    const std::uint64_t payload = Significand() & (SoftExtended::kQuietBit - 1);
    constexpr std::uint16_t kTop = SoftExtended::kMaxExponent;
    constexpr std::uint64_t kInteger = SoftExtended::kIntegerBit;
    switch (Below(64)) {
        case 0:
            return SoftExtended::FromBits(sign, 0);
        case 1:
            return SoftExtended::FromBits(sign | kTop, kInteger);
        case 2:
            return SoftExtended::FromBits(sign | kTop,
                                          kInteger | SoftExtended::kQuietBit | payload);
        case 3:  // signalling
            return SoftExtended::FromBits(sign | kTop, kInteger | (payload == 0 ? 1 : payload));
        case 4: {  // unnormal, pseudo-denormal, pseudo-NaN or pseudo-infinity
            const std::uint64_t significand = Significand();
            const std::uint16_t exponents[] = {static_cast<std::uint16_t>(1 + Below(kTop - 1)), 0,
                                               kTop};
            const std::size_t kind = Below(3);
            return SoftExtended::FromBits(sign | exponents[kind], kind == 1
                                                                      ? significand | kInteger
                                                                      : significand & ~kInteger);
        }
        default:
            return Finite(Exponent());
    }
}

std::pair<SoftExtended, SoftExtended> RandomOperands::Pair() {
    const SoftExtended a = Value();
    const int exponentA = a.SignExponent() & 0x7FFF;
    switch (Below(4)) {
        case 0:
            return {a, Value()};
        case 1:
        case 2: {
            const int centre = exponentA > kLargestFiniteExponent ? Exponent() : exponentA;
            const int distance = static_cast<int>(Below(71)) * (Below(2) != 0 ? 1 : -1);
            const SoftExtended b = Finite(std::clamp(centre + distance, 0, kLargestFiniteExponent));
            return Below(2) != 0 ? std::make_pair(a, b) : std::make_pair(b, a);
        }
        default: {  // b derived from a: equal, opposite, a few units apart, or twice as large
            const std::uint16_t sign = static_cast<std::uint16_t>(Below(2) << 15);
            const std::uint64_t nudge = Below(7) - 3;
            const std::uint16_t exponent = static_cast<std::uint16_t>(
                std::min<int>(exponentA + static_cast<int>(Below(3)) - 1 + (exponentA == 0),
                              kLargestFiniteExponent));
            const SoftExtended variants[] = {
                a, -a, SoftExtended::FromBits(a.SignExponent() ^ sign, a.Significand() + nudge),
                SoftExtended::FromBits(sign | exponent, a.Significand())};
            return {a, variants[Below(4)]};
        }
    }
}

double RandomOperands::Double() {
    std::uint64_t bits = Below(2) != 0 ? Bits() : std::bit_cast<std::uint64_t>(ToDouble(Value()));
    if (Below(8) == 0) bits &= ~(0x7FFULL << 52);  // denormal
    if (Below(16) == 0) bits |= 0x7FFULL << 52;    // infinity or NaN
    return std::bit_cast<double>(bits);
}

float RandomOperands::Float() {
    std::uint32_t bits = Below(2) != 0 ? static_cast<std::uint32_t>(Bits())
                                       : std::bit_cast<std::uint32_t>(ToFloat(Value()));
    if (Below(8) == 0) bits &= ~(0xFFU << 23);
    if (Below(16) == 0) bits |= 0xFFU << 23;
    return std::bit_cast<float>(bits);
}

std::uint64_t RandomOperands::Integer() {
    switch (Below(4)) {
        case 0:
            return Bits();
        case 1:
            return Significand() >> Below(64);
        case 2:
            return 0 - (Significand() >> Below(64));
        default: {
            const std::uint64_t power = 1ULL << Below(64);
            return power + Below(3) - 1;
        }
    }
}

SoftExtended RandomOperands::PrintValue() {
    SoftExtended x = Value();
    while (IsOddEncoding(x)) x = Value();  // printed by glibc its own way; never made
    if (Below(128) == 0 || !IsFinite(x) || x.Significand() == 0) return x;
    return Finite(kBias - 200 + static_cast<int>(Below(401)));
}

int RandomOperands::Precision() {
    if (Below(512) == 0) return static_cast<int>(Below(12000));
    return static_cast<int>(Below(8) == 0 ? Below(120) : Below(25));
}

std::string HalfwayDecimal(SoftExtended x) {
    const int exponent = std::max(x.SignExponent() & 0x7FFF, 1);
    // The unit in the last place of x, 2^(exponent - 63) in the field's scale.
    const SoftExtended unit =
        exponent > 63 ? SoftExtended::FromBits(static_cast<std::uint16_t>(exponent - 63),
                                               SoftExtended::kIntegerBit)
                      : SoftExtended::FromBits(0, 1ULL << (exponent - 1));
    ScaledDecimal half = ToScaled(ExactDecimal(unit));
    half.digits = MultiplyDigits(half.digits, 5);
    --half.power;
    const ScaledDecimal halfway = Add(ToScaled(ExactDecimal(x)), half);
    return halfway.digits + "e" + std::to_string(halfway.power);
}

// Near the halfway point between a random value and the next one above: exactly on it, just
// below (the last digit dropped) or just above (a digit 1 added).
std::string RandomOperands::HalfwayText() {
    const bool wide = Below(256) == 0;
    const int exponent = wide ? Exponent() : kBias - 300 + static_cast<int>(Below(600));
    std::string text = HalfwayDecimal(Fabs(Finite(exponent)));
    const std::size_t e = text.find('e');
    std::int64_t power = std::stoll(text.substr(e + 1));
    std::string digits = text.substr(0, e);
    switch (Below(4)) {
        case 0:
            digits.pop_back();
            ++power;
            break;
        case 1: {
            const std::string more = std::string(Below(3), '0') + "1";
            digits += more;
            power -= static_cast<std::int64_t>(more.size());
            break;
        }
        default:
            break;
    }
    return (Below(2) != 0 ? "-" : "") + digits + "e" + std::to_string(power);
}

std::string RandomOperands::DecimalText() {
    const auto digitsText = [this](std::size_t count) {
        std::string text;
        const bool runs = Below(4) == 0;
        for (std::size_t i = 0; i < count; ++i) {
            text.push_back(runs ? (Below(2) != 0 ? '0' : '9') : static_cast<char>('0' + Below(10)));
        }
        return text;
    };
    // Mostly short numbers of ordinary size; the whole exponent range (where 5^5000 costs both
    // readers) and thousands of digits now and then.
    std::size_t count = 1 + Below(22);
    std::int64_t exponent = static_cast<std::int64_t>(Below(61)) - 30;
    switch (Below(16)) {
        case 0:
            exponent = static_cast<std::int64_t>(Below(801)) - 400;
            break;
        case 1:
            exponent = static_cast<std::int64_t>(Below(10001)) - 5000;
            break;
        case 2:
            count = 20 + Below(50);
            break;
        case 3:
            count = Below(64) == 0 ? 11000 + Below(2000) : 70 + Below(500);
            break;
        case 4:
        case 5:
            return HalfwayText();
        case 6: {
            const char* formats[] = {"%.*Le", "%.*Lf", "%.*Lg"};
            const SoftExtended x =
                Below(4) == 0 ? Value() : Finite(kBias - 200 + static_cast<int>(Below(401)));
            return HardwareSnprintf(formats[Below(3)], static_cast<int>(10 + Below(12)),
                                    ToHardware(x));
        }
        case 7: {  // the ends of the range
            const char* limits[] = {"1.18973149535723176502", "3.64519953188247460253",
                                    "1.82259976594123730126", "3.36210314311209350626"};
            const char* exponents[] = {"e4932", "e-4951", "e-4951", "e-4932"};
            const std::size_t which = Below(4);
            return limits[which] + digitsText(Below(30)) + exponents[which];
        }
        case 8:
            return kSyntaxTexts[Below(std::size(kSyntaxTexts))];
        case 9:  // around the limits of the short path: 19 digits, 10^±27
            count = 17 + Below(4);
            exponent = (Below(2) != 0 ? 1 : -1) * static_cast<std::int64_t>(24 + Below(8));
            break;
        default:
            break;
    }
    std::string text = digitsText(count);
    const std::size_t point = Below(count + 2);
    if (point <= count) text.insert(text.begin() + static_cast<std::ptrdiff_t>(point), '.');
    if (Below(4) != 0) {
        text += Below(2) != 0 ? "e" : "E";
        if (Below(3) == 0) text += exponent < 0 ? "-" : "+";
        text += std::to_string(exponent < 0 && text.back() == '-' ? -exponent : exponent);
    }
    const char* signs[] = {"", "", "-", "+"};
    return signs[Below(4)] + text;
}

std::string CheckRandom(Operation operation, RandomOperands& random) {
    switch (operation) {
        case Operation::Add:
        case Operation::Subtract:
        case Operation::Multiply:
        case Operation::Divide:
        case Operation::Compare: {
            const auto [a, b] = random.Pair();
            return CheckOperation(operation, a, b);
        }
        case Operation::Sqrt: {
            const SoftExtended x = random.Value();
            return CheckOperation(operation, random.Below(4) != 0 ? Fabs(x) : x);
        }
        case Operation::ToInt64:
        case Operation::ToUInt64:
            if (random.Below(2) != 0) {
                return CheckOperation(operation,
                                      SoftExtended(static_cast<std::int64_t>(random.Integer())) *
                                          SoftExtended(0.5 + static_cast<double>(random.Below(3))));
            }
            return CheckOperation(operation, random.Value());
        case Operation::Floor:
        case Operation::Trunc:
        case Operation::NearbyInt:
        case Operation::ToDouble:
        case Operation::ToFloat:
            return CheckOperation(operation, random.Value());
        case Operation::FromDouble:
            return CheckFromDouble(random.Double());
        case Operation::FromFloat:
            return CheckFromFloat(random.Float());
        case Operation::FromInt64:
            return CheckFromInt64(static_cast<std::int64_t>(random.Integer()));
        case Operation::FromUInt64:
            return CheckFromUInt64(random.Integer());
        case Operation::PrintFixed:
        case Operation::PrintScientific:
            return CheckPrint(operation, random.PrintValue(), random.Precision());
        case Operation::Parse:
            return CheckParse(random.DecimalText());
    }
    return "unknown operation";
}

}  // namespace orvale::soft_extended_oracle
