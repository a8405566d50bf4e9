// SPDX-License-Identifier: GPL-3.0-or-later
// The remembered scores: the line written for validated entries, the numbers read back and the
// texts the fields show for them. The expected field texts are what the desktop program showed
// before this rule moved into the core (Qt's QString::number(value, 'g', 6)), which rounds an
// exact half at the sixth digit away from zero where printf takes the even neighbour.
#include "batch/remembered_scores.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvale {
namespace {

TEST(RememberedScores, FieldTextsAsTheDesktopShowedThem) {
    const struct {
        double value;
        const char* shown;
    } cases[] = {
        {9, "9"},
        {7, "7"},
        {12.5, "12.5"},
        {-0.0, "0"},
        {12.03125, "12.0313"},
        {-12.03125, "-12.0313"},
        {200000.5, "200001"},
        {999999.5, "1e+06"},
        {1e6, "1e+06"},
        {123456789, "1.23457e+08"},
        {0.0001, "0.0001"},
        {1.5e-5, "1.5e-05"},
        {9.999995, "10"},
        {10.21875, "10.2188"},
        {0.125, "0.125"},
        {1e-300, "1e-300"},
    };
    for (const auto& c : cases) EXPECT_EQ(FieldTextOfNumber(c.value), c.shown) << c.value;
}

TEST(RememberedScores, ContentsReadBack) {
    const struct {
        const char* content;
        std::vector<std::string> fields;
        bool malformed;
    } cases[] = {
        {"09 7. 12.50 10 10 10 10 10 ", {"9", "7", "12.5", "10", "10", "10", "10", "10"}, false},
        {"1\n2\n3\n4\n5\n6\n7\n8\n", {"1", "2", "3", "4", "5", "6", "7", "8"}, false},
        {"\xEF\xBB\xBF"
         "1\t2 3 +4 5e0 6 7 8",
         {"1", "2", "3", "4", "5", "6", "7", "8"},
         false},
        {"10 11 12 13 14", {"10", "11", "12", "13", "14", "0", "0", "0"}, false},
        {"10 11 ten 13", {"10", "11"}, true},
        {"10 1e999 12", {"10"}, true},
        {"", {"0", "0", "0", "0", "0", "0", "0", "0"}, false},
    };
    for (const auto& c : cases) {
        const RememberedScores read = ReadRememberedScores(c.content, 8);
        EXPECT_EQ(read.fields, c.fields) << c.content;
        EXPECT_EQ(read.malformed, c.malformed) << c.content;
    }
}

TEST(RememberedScores, LineHoldsEachEntryOnceReadableAsOneNumber) {
    const std::string longEntry = "10." + std::string(70, '0') + "1";
    const std::vector<std::string> entries = {"10", "12", "9", "8", "11", "10", "13", "7"};
    EXPECT_EQ(RememberedScoresLine(entries), "10 12 9 8 11 10 13 7 ");
    // A pasted blank is dropped, and an entry longer than a token is written as its value.
    EXPECT_EQ(RememberedScoresLine({"1 2", longEntry, "12.50"}), "12 10 12.50 ");
    std::size_t pos = 0;
    const std::string line = RememberedScoresLine({"1 2", longEntry, "12.50"});
    for (const double expected : {12.0, 10.0, 12.5, 0.0}) {
        EXPECT_EQ(ReadFileNumber(line, pos), expected);
    }
}

}  // namespace
}  // namespace orvale
