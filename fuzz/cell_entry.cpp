// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: ParseCellEntry on any cell text. An empty cell is 0 without a message; otherwise
// acceptance agrees with an independent reading of the grammar (a comma is a decimal mark like
// the point), the value with the correctly rounded decimal, and a refusal gets the designed
// message.
#include <bit>
#include <cstdint>
#include <string>

#include "engine/entry.h"
#include "entry_reference.h"
#include "fuzz_support.h"

using namespace orvale;
using namespace orvale::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ParsedEntry parsed = ParseCellEntry(text);
    if (text.empty()) {
        Check(parsed.ok() && parsed.value == 0 && !std::signbit(parsed.value),
              "an empty cell is 0");
        return 0;
    }
    const EntryReading reading = ReadEntry(text, true);
    Check(parsed.ok() == reading.accepted, "accepted exactly when the grammar accepts", text);
    if (!parsed.ok()) {
        Check(*parsed.error ==
                  "There is an invalid data entry, which will be highlighted once you "
                  "click 'OK', please re-enter.",
              "a refused cell gets the invalid-entry message", *parsed.error);
        return 0;
    }
    Check(AgreesWith(parsed.value, reading), "the value is the decimal the text stands for", text);
    // The score parser reads the same grammar without the comma, to the same value.
    if (text.find(',') == std::string::npos) {
        const ParsedEntry score = ParseScoreEntry(text, "caption");
        Check(score.ok() && std::bit_cast<std::uint64_t>(score.value) ==
                                std::bit_cast<std::uint64_t>(parsed.value),
              "a cell without a comma reads as the score field reads it", text);
    }
    return 0;
}
