// SPDX-License-Identifier: GPL-3.0-or-later
// The report's number formatter against hand-worked rows: rounding of the 18-digit decimal form
// with halves away from zero, widths, signs of zero, separators and the other placeholders.
#include "numeric/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <stdexcept>

#include "support/extended_testing.h"

namespace orvale {
namespace {

struct FixedRow {
    Extended value;
    int width;
    int decimals;
    const char* expected;
};

TEST(FormatFixed, RoundsTheDecimalFormHalvesAwayFromZero) {
    const FixedRow rows[] = {
        // Ties on exactly representable values go away from zero (printf would give 10 and -2).
        {10.5_x, 6, 0, "    11"},
        {-2.5_x, 5, 0, "   -3"},
        {0.5_x, 3, 0, "  1"},
        {-0.5_x, 3, 0, " -1"},
        {1.5_x, 1, 0, "2"},
        {2.5_x, 1, 0, "3"},
        {0.125_x, 6, 2, "  0.13"},
        {-0.125_x, 6, 2, " -0.13"},
        {0.375_x, 1, 2, "0.38"},
        {1.0625_x, 1, 3, "1.063"},
        // Values that round to zero carry no minus sign.
        {-0.3_x, 5, 0, "    0"},
        {-0.0_x, 5, 0, "    0"},
        {-0.0004_x, 1, 3, "0.000"},
        {-0.00049_x, 6, 3, " 0.000"},
        {-0.0005_x, 6, 3, "-0.001"},
        // The double nearest 2.675 is 2.67499999999999982236431605997495353...: its 18-digit form
        // 2.67499999999999982 rounds down at the second decimal.
        {static_cast<Extended>(2.675), 1, 2, "2.67"},
        // The double nearest 0.15 is 0.1499999999999999944488848768742172978818416595458984375,
        // whose 18 digits 0.149999999999999994 round down as well.
        {static_cast<Extended>(0.15), 1, 1, "0.1"},
        // The double nearest 1.005 is 1.00499999999999989341858963598497211933135986328125.
        {static_cast<Extended>(1.005), 1, 2, "1.00"},
        // An 18-digit reduction that carries into the rounding: 0.95 as a double is
        // 0.9499999999999999555910790149937383830547332763671875, 18 digits 0.949999999999999956.
        {static_cast<Extended>(0.95), 1, 1, "0.9"},
        // Carries through nines and into a new leading digit.
        // The Extended nearest 9.995 is 9.99499999999999999989...; its 18-digit form
        // 9.99500000000000000 is a tie, which goes up (rounding the binary value would not).
        {9.995_x, 1, 2, "10.00"},
        {99.96_x, 5, 1, "100.0"},
        {-999.5_x, 1, 0, "-1000"},
        {0.996_x, 1, 2, "1.00"},
        // Widths pad on the left and never truncate.
        {100.0_x, 6, 0, "   100"},
        {123456.0_x, 3, 0, "123456"},
        {50.0_x, 13, 1, "         50.0"},
        {29.94578_x, 6, 1, "  29.9"},
        {70.05422_x, 6, 1, "  70.1"},
        {20.0_x, 3, 3, "20.000"},
        {14.41_x, 3, 2, "14.41"},
        {0.17_x, 3, 2, "0.17"},
        {0.0_x, 3, 2, "0.00"},
        {1.0_x, 2, 5, "1.00000"},
        {4.0e-6_x, 2, 5, "0.00000"},
        {5.0e-6_x, 2, 5, "0.00001"},
        // Small and large magnitudes.
        {1.0e-30_x, 1, 3, "0.000"},
        {1.0e20_x, 1, 0, "100000000000000000000"},
        {123456789012345678901.0_x, 1, 0, "123456789012345679000"},
        {43.3632187_x, 3, 3, "43.363"},
        {0.0000432_x, 2, 5, "0.00004"},
    };
    for (const FixedRow& row : rows) {
        EXPECT_EQ(FormatFixed(row.value, row.width, row.decimals), row.expected)
            << "value " << ToDouble(row.value) << " width " << row.width << " decimals "
            << row.decimals;
    }
}

TEST(FormatFixed, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(FormatFixed(29.94578_x, 6, 1, ','), "  29,9");
    EXPECT_EQ(FormatFixed(-0.3_x, 6, 1, ','), "  -0,3");
    EXPECT_EQ(FormatFixed(10.5_x, 6, 0, ','), "    11");
}

TEST(FormatFixed, NonFiniteValuesAreNamed) {
    EXPECT_EQ(FormatFixed(Extended{std::numeric_limits<double>::quiet_NaN()}, 5, 1), "  NaN");
    EXPECT_EQ(FormatFixed(Extended{std::numeric_limits<double>::infinity()}, 5, 1), "  Inf");
    EXPECT_EQ(FormatFixed(-Extended{std::numeric_limits<double>::infinity()}, 2, 1), "-Inf");
}

TEST(FormatFixed, RoundTripsEveryTenthOfTheScoreRange) {
    // Every value k/10 printed with one decimal must read back as k/10: checks the reduction to
    // 18 digits against values whose binary form is inexact.
    for (int k = -2000; k <= 2000; ++k) {
        const double value = k / 10.0;
        const std::string text = FormatFixed(value, 1, 1);
        EXPECT_DOUBLE_EQ(std::stod(text), value) << text;
    }
}

// The reference is the C library's printf of the x87 long double.
#ifdef ORVALE_X87_LONG_DOUBLE
TEST(FormatFixed, AgreesWithPrintfAwayFromHalves) {
    // Away from a half, any correct rounding gives the same digits, so the C library's printf of
    // the binary value is an independent reference. Values near a half (where the two ways of
    // rounding may differ) are left out by checking that printf gives the same text for values
    // a little above and below.
    std::mt19937_64 generator(42);
    std::uniform_real_distribution<double> magnitude(-12.0, 12.0);
    std::uniform_int_distribution<int> decimals(0, 6);
    int compared = 0;
    for (int i = 0; i < 20000; ++i) {
        const long double value =
            std::copysign(std::pow(10.0L, magnitude(generator)), (i % 2) ? 1.0L : -1.0L);
        const int d = decimals(generator);
        char reference[128], above[128], below[128];
        std::snprintf(reference, sizeof reference, "%.*Lf", d, value);
        std::snprintf(above, sizeof above, "%.*Lf", d, value * (1 + 1e-12L));
        std::snprintf(below, sizeof below, "%.*Lf", d, value * (1 - 1e-12L));
        if (std::string(above) != reference || std::string(below) != reference) continue;
        std::string expected = reference;
        if (expected.find_first_not_of("-0.") == std::string::npos && expected[0] == '-') {
            expected.erase(0, 1);  // printf keeps the sign of a value that rounds to zero
        }
        EXPECT_EQ(FormatFixed(AsExtended(value), 1, d), expected)
            << static_cast<double>(value) << " " << d;
        ++compared;
    }
    EXPECT_GT(compared, 15000);  // most draws are far from a half
}
#endif

struct LineRow {
    const char* format;
    std::initializer_list<FormatArgument> args;
    const char* expected;
};

TEST(FormatLine, FillsPlaceholdersInOrder) {
    const LineRow rows[] = {
        {" BLOCK DESIGN subtest scaled score =      %6.0f",
         {10.0_x},
         " BLOCK DESIGN subtest scaled score =          10"},
        {" Sum of Index scores = %3.3f", {20.0_x}, " Sum of Index scores = 20.000"},
        {"  Verbal Comprehension    : %6.0f      ( %3.0f to %3.0f )    %13.1f      (%6.1f to %6.1f "
         ")",
         {100.0_x, 92.1113_x, 107.8887_x, 50.0_x, 29.95_x - 0.004_x, 70.05_x + 0.004_x},
         "  Verbal Comprehension    :    100      (  92 to 108 )             50.0      (  29.9 to  "
         " "
         "70.1 )"},
        {" NUMBER of case's Index scores classified as abnormally low = %2d",
         {0},
         " NUMBER of case's Index scores classified as abnormally low =  0"},
        {"%2d|%2d|%2d", {4, 12, -3}, " 4|12|-3"},
        {" Percentage = %3.2f%%", {14.41_x}, " Percentage = 14.41%"},
        {" VC versus PR:       %5.0f                     %s   ",
         {-0.32_x, std::string_view(" not sig")},
         " VC versus PR:           0                      not sig   "},
        {" Chi-square = %3.3f,  p value = %2.5f",
         {0.0_x, 1.0_x},
         " Chi-square = 0.000,  p value = 1.00000"},
        {"%%%s%%", {std::string_view("%s")}, "%%s%"},
        {"%5.1f", {3}, "  3.0"},
    };
    for (const LineRow& row : rows) {
        EXPECT_EQ(FormatLine(row.format, row.args), row.expected) << row.format;
    }
}

TEST(FormatLine, MismatchedArgumentsAreProgrammingErrors) {
    EXPECT_THROW(FormatLine("%6.0f %6.0f", {1.0_x}), std::invalid_argument);
    EXPECT_THROW(FormatLine("%6.0f", {1.0_x, 2.0_x}), std::invalid_argument);
    EXPECT_THROW(FormatLine("%2d", {1.0_x}), std::invalid_argument);
    EXPECT_THROW(FormatLine("%s", {1}), std::invalid_argument);
    EXPECT_THROW(FormatLine("%6.0", {1.0_x}), std::invalid_argument);
    EXPECT_THROW(FormatLine("%q", {1}), std::invalid_argument);
    // Widths and decimals of ten or more digits once overflowed an int; past 999 they are refused.
    for (const char* format :
         {"%12345678901f", "%2147483648d", "%1.4294967297f", "%1000d", "%.1000f"}) {
        EXPECT_THROW(FormatLine(format, {1}), std::invalid_argument) << format;
    }
    EXPECT_THROW(FormatLine("%99999999999s", {std::string_view("x")}), std::invalid_argument);
    EXPECT_EQ(FormatLine("%999d", {7}).size(), 999u);
}

// The batch CSV and the JSON write doubles with std::to_chars; the WebAssembly build brings its
// own (emscripten's libc++ has none for double). The rows are what libstdc++ writes: shortest
// digits, exact integer digits in fixed form past 2^53, and %g's choice for general.
TEST(ToChars, WritesDoublesAsTheStandardLibraryDoes) {
    struct Row {
        double value;
        const char* shortest;
        const char* scientific;
        const char* fixed;
        const char* general;
    };
    const Row rows[] = {
        {0.0, "0", "0e+00", "0", "0"},
        {-0.0, "-0", "-0e+00", "-0", "-0"},
        {0.1, "0.1", "1e-01", "0.1", "0.1"},
        {-1.5, "-1.5", "-1.5e+00", "-1.5", "-1.5"},
        {123456.0, "123456", "1.23456e+05", "123456", "123456"},
        {1234567.0, "1234567", "1.234567e+06", "1234567", "1.234567e+06"},
        {0.0001, "1e-04", "1e-04", "0.0001", "0.0001"},
        {1.5e-5, "1.5e-05", "1.5e-05", "0.000015", "1.5e-05"},
        {1e15, "1e+15", "1e+15", "1000000000000000", "1e+15"},
        {1e23, "1e+23", "1e+23", "99999999999999991611392", "1e+23"},
        {0x1p60, "1152921504606846976", "1.152921504606847e+18", "1152921504606846976",
         "1.152921504606847e+18"},
        {-0x1p54, "-18014398509481984", "-1.8014398509481984e+16", "-18014398509481984",
         "-1.8014398509481984e+16"},
        {0.30000000000000004, "0.30000000000000004", "3.0000000000000004e-01",
         "0.30000000000000004", "0.30000000000000004"},
        {123.456, "123.456", "1.23456e+02", "123.456", "123.456"},
        // Where the shortest form turns from fixed to scientific (fixed on a tie).
        {0.001, "0.001", "1e-03", "0.001", "0.001"},
        {0.00015, "0.00015", "1.5e-04", "0.00015", "0.00015"},
        {1e4, "10000", "1e+04", "10000", "10000"},
        {1e5, "1e+05", "1e+05", "100000", "100000"},
        {1.5e6, "1500000", "1.5e+06", "1500000", "1.5e+06"},
        {1.5e7, "1.5e+07", "1.5e+07", "15000000", "1.5e+07"},
        {1.7976931348623157e308, "1.7976931348623157e+308", "1.7976931348623157e+308", nullptr,
         "1.7976931348623157e+308"},
        {5e-324, "5e-324", "5e-324", nullptr, "5e-324"},
        {std::numeric_limits<double>::infinity(), "inf", "inf", "inf", "inf"},
    };
    const auto text = [](double value, std::optional<std::chars_format> format) {
        char buffer[400];
        const auto result = format ? std::to_chars(buffer, buffer + sizeof buffer, value, *format)
                                   : std::to_chars(buffer, buffer + sizeof buffer, value);
        return result.ec == std::errc{} ? std::string(buffer, result.ptr) : "(error)";
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shortest);
        EXPECT_EQ(text(row.value, std::nullopt), row.shortest);
        EXPECT_EQ(text(row.value, std::chars_format::scientific), row.scientific);
        if (row.fixed != nullptr) {
            EXPECT_EQ(text(row.value, std::chars_format::fixed), row.fixed);
        }
        EXPECT_EQ(text(row.value, std::chars_format::general), row.general);
    }
    // The largest double's 309 integer digits, and a buffer too short refused.
    const std::string largest = text(1.7976931348623157e308, std::chars_format::fixed);
    EXPECT_EQ(largest.size(), 309u);
    EXPECT_EQ(largest.substr(0, 20), "17976931348623157081");
    char small[5];
    const auto refused = std::to_chars(small, small + sizeof small, 123.456);
    EXPECT_EQ(refused.ec, std::errc::value_too_large);
    EXPECT_EQ(refused.ptr, small + sizeof small);
}

// Random doubles of every magnitude: the scientific form has the fewest digits that read back
// (the least printf precision that strtod reads back as the same double: an independent
// reference), and the shortest form reads back and is no longer than the scientific one.
TEST(ToChars, RandomDoublesHaveTheShortestDigitsThatReadBack) {
    std::mt19937_64 random(20261210);
    for (int i = 0; i < 10'000; ++i) {
        double value = 0;
        do {
            value = std::bit_cast<double>(random());
        } while (!std::isfinite(value));
        char reference[40];
        for (int precision = 0; precision <= 16; ++precision) {
            std::snprintf(reference, sizeof reference, "%.*e", precision, value);
            if (std::strtod(reference, nullptr) == value) break;
        }
        char scientific[40];
        char shortest[400];
        char* scientificEnd = std::to_chars(scientific, scientific + sizeof scientific, value,
                                            std::chars_format::scientific)
                                  .ptr;
        char* shortestEnd = std::to_chars(shortest, shortest + sizeof shortest, value).ptr;
        ASSERT_EQ(std::string(scientific, scientificEnd), reference);
        EXPECT_EQ(std::strtod(std::string(shortest, shortestEnd).c_str(), nullptr), value);
        EXPECT_LE(shortestEnd - shortest, scientificEnd - scientific);
    }
}

}  // namespace
}  // namespace orvale
