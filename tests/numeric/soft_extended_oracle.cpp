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

std::string PrintHardware(const char* format, int precision, long double value) {
    const int length = std::snprintf(nullptr, 0, format, precision, value);
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), format, precision, value);
    return text.data();
}

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
    const std::string hardware = PrintHardware(fixed ? "%.*Lf" : "%.*Le", precision, ToHardware(x));
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
