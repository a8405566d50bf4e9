// SPDX-License-Identifier: GPL-3.0-or-later
// The shortest to_chars of double for the WebAssembly build. The digits come from Dragonbox
// (Debian's fmt headers): the fewest significant digits that read back as the same double, the
// closest of them to its exact value, as the standard asks of to_chars. They are laid out here
// as libstdc++ and libc++ lay them out.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if !defined(__cpp_lib_to_chars)  // a newer libc++ has its own

#define FMT_HEADER_ONLY
#include <fmt/format.h>

namespace {

struct Decimal {
    char digits[20];
    int count = 0;     // significant digits, the first nonzero and the last nonzero
    int exponent = 0;  // of the first digit: the value is d.ddd x 10^exponent
};

Decimal ShortestDigits(double magnitude) {
    const auto decimal = fmt::detail::dragonbox::to_decimal(magnitude);
    Decimal result;
    char reversed[20];
    for (auto significand = decimal.significand; significand != 0; significand /= 10) {
        reversed[result.count++] = static_cast<char>('0' + significand % 10);
    }
    for (int i = 0; i < result.count; ++i) result.digits[i] = reversed[result.count - 1 - i];
    result.exponent = decimal.exponent + result.count - 1;
    return result;
}

// d.ddde+XX, the exponent with at least two digits.
int Scientific(const Decimal& decimal, char* out) {
    int n = 0;
    out[n++] = decimal.digits[0];
    if (decimal.count > 1) {
        out[n++] = '.';
        for (int i = 1; i < decimal.count; ++i) out[n++] = decimal.digits[i];
    }
    out[n++] = 'e';
    out[n++] = decimal.exponent < 0 ? '-' : '+';
    const int exponent = std::abs(decimal.exponent);
    if (exponent >= 100) out[n++] = static_cast<char>('0' + exponent / 100);
    out[n++] = static_cast<char>('0' + exponent / 10 % 10);
    out[n++] = static_cast<char>('0' + exponent % 10);
    return n;
}

// The exact decimal digits of an integer-valued magnitude of 2^53 or more, as the standard
// libraries write such a value without an exponent (where the shortest digits padded with zeros
// would name another number). Base 10^9 limbs, least significant first, doubled in steps of up
// to 2^29.
int ExactInteger(double magnitude, char* out) {
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);
    auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    int doublings = exponent - 53;
    constexpr std::uint32_t kBase = 1'000'000'000;
    std::uint32_t limbs[40] = {static_cast<std::uint32_t>(significand % kBase),
                               static_cast<std::uint32_t>(significand / kBase % kBase),
                               static_cast<std::uint32_t>(significand / kBase / kBase)};
    int used = 3;
    while (doublings > 0) {
        const int step = doublings < 29 ? doublings : 29;
        std::uint64_t carry = 0;
        for (int i = 0; i < used; ++i) {
            const std::uint64_t value = (std::uint64_t{limbs[i]} << step) + carry;
            limbs[i] = static_cast<std::uint32_t>(value % kBase);
            carry = value / kBase;
        }
        if (carry != 0) limbs[used++] = static_cast<std::uint32_t>(carry);
        doublings -= step;
    }
    while (used > 1 && limbs[used - 1] == 0) --used;
    int n = std::snprintf(out, 12, "%u", limbs[used - 1]);
    for (int i = used - 2; i >= 0; --i) n += std::snprintf(out + n, 12, "%09u", limbs[i]);
    return n;
}

// The digits without an exponent: 0.000ddd, ddd.ddd or ddd000.
int Fixed(const Decimal& decimal, double magnitude, char* out) {
    if (magnitude >= 0x1p53) return ExactInteger(magnitude, out);
    int n = 0;
    if (decimal.exponent < 0) {
        out[n++] = '0';
        out[n++] = '.';
        for (int i = 0; i < -decimal.exponent - 1; ++i) out[n++] = '0';
        for (int i = 0; i < decimal.count; ++i) out[n++] = decimal.digits[i];
        return n;
    }
    for (int i = 0; i < decimal.count || i <= decimal.exponent; ++i) {
        if (i == decimal.exponent + 1) out[n++] = '.';
        out[n++] = i < decimal.count ? decimal.digits[i] : '0';
    }
    return n;
}

std::to_chars_result Copy(char* first, char* last, const char* text, int length) {
    if (length > last - first) return {last, std::errc::value_too_large};
    std::memcpy(first, text, static_cast<std::size_t>(length));
    return {first + length, std::errc{}};
}

// Zeros, infinities and NaN as the standard libraries write them.
int Special(double value, char* out) {
    int n = 0;
    if (std::signbit(value)) out[n++] = '-';
    const char* word = value == 0 ? nullptr : std::isinf(value) ? "inf" : "nan";
    if (word == nullptr) {
        out[n++] = '0';
        return n;
    }
    for (; *word != '\0'; ++word) out[n++] = *word;
    return n;
}

// The standard's layouts: scientific, fixed, general (fixed for exponents from -4 to 5, as %g
// chooses at its default precision, as libstdc++ does) and, without a format, whichever of fixed
// and scientific is shorter, fixed on a tie.
enum class Layout { kScientific, kFixed, kGeneral, kShortest };

bool FixedFirst(const Decimal& decimal, Layout layout) {
    switch (layout) {
        case Layout::kFixed:
            return true;
        case Layout::kGeneral:
            return decimal.exponent >= -4 && decimal.exponent < 6;
        default:
            return false;
    }
}

std::to_chars_result Convert(char* first, char* last, double value, Layout layout) {
    char text[400];
    int length = 0;
    if (value == 0 || !std::isfinite(value)) {
        length = Special(value, text);
        if (value == 0 && layout == Layout::kScientific) {
            std::memcpy(text + length, "e+00", 4);
            length += 4;
        }
        return Copy(first, last, text, length);
    }
    const int sign = std::signbit(value) ? 1 : 0;
    text[0] = '-';
    const Decimal decimal = ShortestDigits(std::fabs(value));
    if (FixedFirst(decimal, layout)) {
        return Copy(first, last, text, sign + Fixed(decimal, std::fabs(value), text + sign));
    }
    length = sign + Scientific(decimal, text + sign);
    if (layout == Layout::kShortest) {
        char fixed[400];
        fixed[0] = '-';
        const int fixedLength = sign + Fixed(decimal, std::fabs(value), fixed + sign);
        if (fixedLength <= length) return Copy(first, last, fixed, fixedLength);
    }
    return Copy(first, last, text, length);
}

}  // namespace

namespace std {

to_chars_result to_chars(char* first, char* last, double value, chars_format format) {
    switch (format) {
        case chars_format::scientific:
            return Convert(first, last, value, Layout::kScientific);
        case chars_format::fixed:
            return Convert(first, last, value, Layout::kFixed);
        case chars_format::general:
            return Convert(first, last, value, Layout::kGeneral);
        default:  // hexadecimal: a program error here, never a silently missing number
            std::fputs("to_chars: hexadecimal is not provided in this build\n", stderr);
            std::abort();
    }
}

to_chars_result to_chars(char* first, char* last, double value) {
    return Convert(first, last, value, Layout::kShortest);
}

}  // namespace std

#endif
