// SPDX-License-Identifier: GPL-3.0-or-later
// Random operands for SoftExtended's checks against the hardware: see soft_extended_oracle.h.
#include <algorithm>
#include <bit>
#include <string>

#include "numeric/soft_extended_oracle.h"

namespace orvale::soft_extended_oracle {

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
            return PrintHardware(formats[Below(3)], static_cast<int>(10 + Below(12)),
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

}  // namespace orvale::soft_extended_oracle
