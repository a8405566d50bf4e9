// SPDX-License-Identifier: GPL-3.0-or-later
// JSON text as the program has always written it: numbers in the shortest form that reads back
// (each expected text is what the earlier Qt-based writer produced for that value), the layout
// of containers, and strings escaped as little as JSON allows.
#include "report/json_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

namespace orvale {
namespace {

TEST(JsonText, NumbersAreShortestAndWholeNumbersHaveNoPoint) {
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0.0, "0"},
        {-0.0, "0"},  // minus zero is a whole number
        {-2.5, "-2.5"},
        {100000.0, "100000"},
        {1e15, "1000000000000000"},
        {9007199254740992.0, "9007199254740992"},  // 2^53, the last whole number as such
        {9.01e15, "9.01e+15"},                     // past it, the shorter form
        {1e16, "1e+16"},
        {12345678901234567e3, "12345678901234567000"},
        {1.5e300, "1.5e+300"},
        {0.1, "0.1"},
        {0.001, "0.001"},  // as long as 1e-03: positional
        {0.0001, "1e-04"},
        {0.0001234, "0.0001234"},
        {1.2e-5, "1.2e-05"},
        {5e-324, "5e-324"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
        {124.96878901373283, "124.96878901373283"},
        {std::numeric_limits<double>::infinity(), "null"},
        {std::nan(""), "null"},
    };
    for (const auto& row : rows) EXPECT_EQ(JsonNumber(row.value), row.text) << row.text;
}

TEST(JsonText, LayoutOfContainers) {
    const nlohmann::json document = {
        {"b", nlohmann::json::array()},
        {"a", {{"y", 1}, {"x", nullptr}}},
        {"c", nlohmann::json::object()},
        {"d", {true, "t"}},
    };
    EXPECT_EQ(JsonText(document, JsonLayout::kIndented),
              "{\n"
              "    \"a\": {\n"
              "        \"x\": null,\n"
              "        \"y\": 1\n"
              "    },\n"
              "    \"b\": [\n"
              "    ],\n"
              "    \"c\": {\n"
              "    },\n"
              "    \"d\": [\n"
              "        true,\n"
              "        \"t\"\n"
              "    ]\n"
              "}\n");
    EXPECT_EQ(JsonText(document, JsonLayout::kCompact),
              R"({"a":{"x":null,"y":1},"b":[],"c":{},"d":[true,"t"]})");
}

TEST(JsonText, StringsEscapeOnlyWhatJsonNeeds) {
    const struct {
        std::string text;
        std::string written;
    } rows[] = {
        {"a\"b\\c/d", R"("a\"b\\c/d")"},
        {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
        {std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\x7f\""},
        {std::string("\0", 1), R"("\u0000")"},
        {"\xC3\xA9\xF0\x9F\x98\x80", "\"\xC3\xA9\xF0\x9F\x98\x80\""},
        // Each byte that starts no valid UTF-8 sequence is one U+FFFD.
        {"\xE9t\xE2\x82", "\"\xEF\xBF\xBDt\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        // A leading U+FEFF is escaped, so that readers which drop a raw one keep it; others
        // stay raw.
        {"\xEF\xBB\xBF"
         "a\xEF\xBB\xBF",
         "\"\\ufeffa\xEF\xBB\xBF\""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(JsonText(row.text, JsonLayout::kCompact), row.written) << row.written;
    }
}

}  // namespace
}  // namespace orvale
