// SPDX-License-Identifier: GPL-3.0-or-later
// JSON documents as the program writes them (the report's JSON, JSON Lines rows, case files):
// members in the order of their names, four spaces of indentation or none at all, strings as
// UTF-8 with only what JSON requires escaped, and numbers as the shortest decimals that read back
// exactly. The layout is the one these files have always had, so that files written by earlier
// versions and by this one compare equal byte for byte.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>

namespace orvale {

enum class JsonLayout {
    kIndented,  // one member or element per line, four spaces per level, a line break at the end
    kCompact,   // no blank and no line break anywhere
};

// The document's text. Text that is not valid UTF-8 has each stray byte written as U+FFFD; a
// U+FEFF that starts a string is escaped ("\ufeff"), since readers drop one that stands there raw.
std::string JsonText(const nlohmann::json& document, JsonLayout layout);

// A number as JSON writes it: a whole number up to 2^53 as an integer ("0" for minus zero); any
// other as the shortest digits that read back exactly, in positional or exponent form, whichever
// is shorter (positional when both are as long: "0.001", "1e-04", "1e+16"), the exponent with a
// sign and at least two digits; "null" for an infinity or NaN, which JSON cannot hold.
std::string JsonNumber(double value);

}  // namespace orvale
