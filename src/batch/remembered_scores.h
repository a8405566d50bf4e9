// SPDX-License-Identifier: GPL-3.0-or-later
// The remembered scores ("orvale.txt" beside the desktop program, the browser's storage for the
// web page): one line holding the eight score texts of the last successful Compute, each followed
// by a blank, read back as white-space separated numbers in the C locale. The text in and out;
// where it is kept is the front end's affair.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvale {

inline constexpr const char* kInvalidNumericInput = "Invalid numeric input";
inline constexpr std::size_t kMaxFileNumberLength = 64;  // longest number text read in one go

// The line for these entries. Blanks inside an entry (only a pasted text can hold one) are
// dropped: the parser ignores them, and written as they are they would read back as two numbers
// and shift every later field. For the same reason an entry longer than the reader's 64-character
// token is written as the shortest decimal that reads back as its value.
std::string RememberedScoresLine(const std::vector<std::string>& entries);

// One number as the file holds it: optional sign, digits with an optional point, optional
// exponent. Empty when the token is no such number or lies beyond the range of doubles.
std::optional<double> ParseFileNumber(std::string_view token);

// The next number of content from byte pos on, pos moved past it: white space (any code up to 32)
// separates numbers, and a longer run of other characters is taken 64 at a time. 0 past the end;
// nullopt when the item is no number.
std::optional<double> ReadFileNumber(std::string_view content, std::size_t& pos);

// A number as a score field shows it when read back: "%1.6g" (six significant digits, no
// trailing zeros, no point for a whole number), an exact half at the sixth digit rounded away
// from zero, and a negative zero as "0".
std::string FieldTextOfNumber(double value);

struct RememberedScores {
    // The texts for the first fields; when reading stopped at a malformed number, the fields read
    // before it.
    std::vector<std::string> fields;
    std::vector<double> values;  // the numbers the fields show
    bool malformed = false;      // then kInvalidNumericInput is the message
};

// The first loadCount numbers of the content (missing ones read as 0), a UTF-8 byte-order mark
// at the start skipped. pos, when given, is left after the last number read, for the items that
// configurations with the matrix or grid entry keep after the scores.
RememberedScores ReadRememberedScores(std::string_view content, int loadCount,
                                      std::size_t* pos = nullptr);

}  // namespace orvale
