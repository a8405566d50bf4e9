// SPDX-License-Identifier: GPL-3.0-or-later
// Score-field entry routines: key filter, length limit, both parsers, the range check and the
// integer power, against the accepted/rejected forms and the exact message texts.
#include "engine/entry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace orvale {
namespace {

constexpr const char* kBlockDesign = "BLOCK DESIGN subtest scaled score:";

TEST(FilterNumericKey, PassesExactlyDigitsSignPointAndEditingKeys) {
    // Every 8-bit character: the comma becomes a point, these pass unchanged, the rest is
    // swallowed (returned as the null character).
    const std::string passing = std::string("0123456789-.") + '\b' + '\t' + '\r';
    for (int code = 1; code < 256; ++code) {
        const char typed = static_cast<char>(code);
        const char expected =
            typed == ',' ? '.' : (passing.find(typed) != std::string::npos ? typed : '\0');
        EXPECT_EQ(FilterNumericKey(typed), expected) << "character code " << code;
    }
}

TEST(LimitEntryLength, KeepsTheFirstSixCharacters) {
    const struct {
        const char* text;
        const char* expected;
    } rows[] = {{"", ""},
                {"12", "12"},
                {"12.345", "12.345"},
                {"12.3456", "12.345"},
                {"1234567890", "123456"},
                // UTF-8: a pasted two-byte character counts once and is never split.
                {"12345\xC2\xBD"
                 "6",
                 "12345\xC2\xBD"},
                {"\xC2\xBD\xC2\xBD\xC2\xBD\xC2\xBD\xC2\xBD\xC2\xBD\xC2\xBD",
                 "\xC2\xBD\xC2\xBD\xC2\xBD\xC2\xBD\xC2\xBD\xC2\xBD"}};
    for (const auto& row : rows) EXPECT_EQ(LimitEntryLength(row.text), row.expected) << row.text;
}

TEST(ParseScoreEntry, AcceptedAndRejectedForms) {
    const struct {
        const char* text;
        std::optional<double> value;  // nullopt: rejected
    } rows[] = {
        {"12", 12},
        {"12.5", 12.5},
        {".5", 0.5},
        {"7.", 7},
        {"-3", -3},
        {"1 2", 12},
        {"12,5", std::nullopt},
        {"1-2", std::nullopt},
        {"1.2.3", std::nullopt},
        {"+5", std::nullopt},
        {"--5", std::nullopt},
        {"1x2", std::nullopt},
        {" 19 ", 19},
        {"10.25", 10.25},
        {"0", 0},
        {"18.125", 18.125},
    };
    for (const auto& row : rows) {
        const ParsedEntry parsed = ParseScoreEntry(row.text, kBlockDesign);
        if (row.value) {
            ASSERT_TRUE(parsed.ok()) << row.text << ": " << *parsed.error;
            EXPECT_EQ(parsed.value, *row.value) << row.text;
        } else {
            ASSERT_FALSE(parsed.ok()) << row.text;
            EXPECT_EQ(*parsed.error, "INPUT ERROR\r(  BLOCK DESIGN subtest scaled score:  " +
                                         std::string(row.text) + "  )\r\rEnter numeric data only.");
        }
    }
}

TEST(ParseScoreEntry, EmptyFieldMessageNamesTheField) {
    const ParsedEntry parsed = ParseScoreEntry("", kBlockDesign);
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(*parsed.error,
              "INPUT ERROR\r\r(  BLOCK DESIGN subtest scaled score:  )\r\r"
              "Data have not been entered in this field.");
}

TEST(ParseScoreEntry, LoneMinusOrPointIsZeroAndFailsTheRangeCheck) {
    for (const char* text : {"-", ".", " ", "-."}) {
        const ParsedEntry parsed = ParseScoreEntry(text, kBlockDesign);
        ASSERT_TRUE(parsed.ok()) << text;
        EXPECT_EQ(parsed.value, 0.0) << text;
        EXPECT_FALSE(std::signbit(parsed.value)) << text << " must not become a negative zero";
        EXPECT_EQ(CheckScaledScoreRange(kBlockDesign, parsed.value),
                  "INPUT ERROR\r(  BLOCK DESIGN subtest scaled score:  0.000  )\r"
                  "The valid range for Wechsler subtest scaled scores is 1 to 19 ");
    }
}

TEST(ParseScoreEntry, DecimalsBeyondTheNinthKeepTheirPlaceValue) {
    // Pasted texts can be longer than six characters. A 32-bit power of ten wraps from the tenth
    // decimal on (10^10 becomes 1410065408), which would inflate those digits about sevenfold.
    const char* texts[] = {"0.00000000015",
                           "1.0000000001",
                           "12.34567890123",
                           "18.99999999999",
                           "0.000000000000000000000000000001",
                           "9.87654321098765"};
    for (const char* text : texts) {
        const ParsedEntry parsed = ParseScoreEntry(text, kBlockDesign);
        ASSERT_TRUE(parsed.ok()) << text;
        const double expected = std::strtod(text, nullptr);
        // Digit-by-digit accumulation in double may differ from a correctly rounded conversion
        // by a few units in the last place, never more.
        EXPECT_NEAR(parsed.value, expected, 8 * std::abs(expected) * 1.1102230246251565e-16)
            << text;
    }

    // A single digit d in the k-th decimal must give d / 10^k rounded once to extended and then
    // to double, also where 10^k no longer fits long double exactly (k > 27). Expected doubles
    // from exact rational arithmetic; a place value built by repeated multiplication by 10 in
    // long double misses the first three by one unit in the last place.
    const struct {
        std::size_t zeros;  // after the point, before the digit: k = zeros + 1
        char digit;
        double expected;
    } farDecimals[] = {
        {140, '7', 0x1.5570f59bd178cp-466},
        {160, '7', 0x1.f7e0db3799aa3p-533},
        {264, '9', 0x1.d05244fe5066ap-878},
        {27, '5', 0x1.3ce9a36f23c1p-91},
        {28, '3', 0x1.303c73efd0676p-95},
        {323, '3', 0x0.0000000000001p-1022},
        {5000, '9', 0.0},
    };
    for (const auto& row : farDecimals) {
        const std::string text = "0." + std::string(row.zeros, '0') + row.digit;
        const ParsedEntry parsed = ParseCellEntry(text);
        ASSERT_TRUE(parsed.ok()) << row.zeros;
        EXPECT_EQ(parsed.value, row.expected) << row.zeros << " zeros then " << row.digit;
        EXPECT_EQ(ParseScoreEntry(text, kBlockDesign).value, row.expected) << row.zeros;
    }
}

TEST(ParseScoreEntry, VeryLongPastedTextsDoNotFail) {
    const std::string manyDecimals = "1." + std::string(5000, '0') + "1";
    const ParsedEntry small = ParseScoreEntry(manyDecimals, kBlockDesign);
    ASSERT_TRUE(small.ok());
    EXPECT_EQ(small.value, 1.0);

    const std::string manyDigits(400, '9');
    const ParsedEntry huge = ParseScoreEntry(manyDigits, kBlockDesign);
    ASSERT_TRUE(huge.ok());
    EXPECT_EQ(CheckScaledScoreRange(kBlockDesign, huge.value),
              "INPUT ERROR\r(  BLOCK DESIGN subtest scaled score:  Inf  )\r"
              "The valid range for Wechsler subtest scaled scores is 1 to 19 ");
}

TEST(CheckScaledScoreRange, ValidRangeAndMessageWithThreeDecimals) {
    const struct {
        double value;
        const char* shown;  // nullptr: valid
    } rows[] = {
        {1, nullptr},
        {19, nullptr},
        {12.5, nullptr},
        {10.5, nullptr},
        {19.1, "19.100"},
        {0, "0.000"},
        {20, "20.000"},
        {25, "25.000"},
        {-3, "-3.000"},
        {0.9999, "1.000"},
        {19.0001, "19.000"},
        {123456, "123456.000"},
        // Like every "%w.df" of the program: halves away from zero (printf would round these exact
        // binary ties to even), and no minus sign on a value that rounds to zero.
        {0.0625, "0.063"},
        {19.0625, "19.063"},
        {-0.0625, "-0.063"},
        {0.0005, "0.001"},
        {-0.0001, "0.000"},
        {-0.0004999, "0.000"},
        {-0.0005, "-0.001"},
        {0.00049, "0.000"},
        {19.9995, "20.000"},
        {1e20, "100000000000000000000.000"},
    };
    for (const auto& row : rows) {
        const std::optional<std::string> message = CheckScaledScoreRange(kBlockDesign, row.value);
        if (!row.shown) {
            EXPECT_FALSE(message.has_value()) << row.value;
            continue;
        }
        ASSERT_TRUE(message.has_value()) << row.value;
        EXPECT_EQ(*message, std::string("INPUT ERROR\r(  BLOCK DESIGN subtest scaled score:  ") +
                                row.shown +
                                "  )\rThe valid range for Wechsler subtest scaled scores is 1 "
                                "to 19 ");
    }
}

TEST(ParseCellEntry, DiffersFromTheScoreParserOnlyWhereIntended) {
    const struct {
        const char* text;
        std::optional<double> value;  // nullopt: rejected
    } rows[] = {
        {"", 0},
        {"12,5", 12.5},
        {"12.5", 12.5},
        {",25", 0.25},
        {"-3", -3},
        {"1 2", 12},
        {"1,2.3", std::nullopt},
        {"1,2,3", std::nullopt},
        {"1-2", std::nullopt},
        {"abc", std::nullopt},
        {"+5", std::nullopt},
        {"-", 0},
    };
    for (const auto& row : rows) {
        const ParsedEntry parsed = ParseCellEntry(row.text);
        if (row.value) {
            ASSERT_TRUE(parsed.ok()) << row.text;
            EXPECT_EQ(parsed.value, *row.value) << row.text;
        } else {
            ASSERT_FALSE(parsed.ok()) << row.text;
            EXPECT_EQ(*parsed.error,
                      "There is an invalid data entry, which will be highlighted once you click "
                      "'OK', please re-enter.");
        }
    }
}

TEST(IntegerPower, ThirtyTwoBitIntegerArithmetic) {
    const struct {
        int base, exponent, expected;
    } rows[] = {
        {10, 0, 1},          {10, -1, 1}, {10, 1, 10}, {10, 3, 1000},        {2, 10, 1024},
        {10, 9, 1000000000}, {-2, 3, -8}, {7, 2, 49},  {10, 10, 1410065408},  // 10^10 mod 2^32: the
                                                                              // wrap the parsers
                                                                              // must not rely on
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IntegerPower(row.base, row.exponent), row.expected)
            << row.base << "^" << row.exponent;
    }
}

}  // namespace
}  // namespace orvale
