// SPDX-License-Identifier: GPL-3.0-or-later
// The program's number formatter, for the report's lines and the entry messages: fixed-point,
// integer, string and percent placeholders of format strings, with one rounding rule (18
// significant digits, then halves away from zero at the last shown decimal) and the user's
// decimal separator.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

#include "numeric/extended.h"

namespace orvale {

// One value for a placeholder: %w.df takes a number (an int is accepted too), %wd an int,
// %s a string.
using FormatArgument = std::variant<Extended, int, std::string_view>;

// value in fixed-point notation with exactly `decimals` decimals, right-aligned with leading
// spaces to at least `width` characters (never truncated). The value is first reduced to 18
// significant decimal digits; that decimal string is rounded at the last kept decimal with
// halves away from zero. A result that rounds to zero carries no minus sign. NaN and infinities
// are written as "NaN", "Inf" and "-Inf".
std::string FormatFixed(Extended value, int width, int decimals, char decimalSeparator = '.');

// Fills a format string's placeholders from args, in order. Placeholders: "%w.df" (width and
// decimals optional, default decimals 6), "%wd", "%ws" and "%%"; a width or number of decimals is
// at most 999. Throws std::invalid_argument when the format string is malformed or does not match
// the arguments (a programming error).
std::string FormatLine(std::string_view format, std::initializer_list<FormatArgument> args,
                       char decimalSeparator = '.');

}  // namespace orvale
