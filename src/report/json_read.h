// SPDX-License-Identifier: GPL-3.0-or-later
// Reading JSON strictly (RFC 8259, through nlohmann's parser): nothing but what JSON allows is
// accepted (no "95.", no "\x", no half of a UTF-16 surrogate pair, no byte that is not UTF-8), and
// strings are kept as written, a U+FEFF at their start too. Numbers keep the text they were
// written in, so that a reader can tell 95 from 95.0000001 and show a number as the file has it.
#pragma once

#include <cstddef>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace orvale {

struct JsonError {
    std::size_t byte = 0;  // how far into the text (from 1, a leading byte-order mark counted)
    std::string reason;    // "illegal number", "half of a UTF-16 surrogate pair", ...
    // The member whose value was being read when the text went wrong, as a path of member names
    // ("notes", "options/ci"); empty when the fault is elsewhere.
    std::string member;
};

struct JsonReading {
    // The document; a number whose exact value is a whole number in 64 bits is an integer (95,
    // 95.0 and 9.5e1 alike), any other a double. Null when the text is no valid JSON.
    nlohmann::json document;
    // Every number of an object member as written, under the member's path ("options/ci").
    std::map<std::string, std::string> numbers;
    std::optional<JsonError> error;
};

// Reads text, which may start with a UTF-8 byte-order mark. Of members with the same name in
// one object the last counts.
JsonReading ReadJson(std::string_view text);

}  // namespace orvale
