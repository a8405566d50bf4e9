// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: ParseScoreEntry and CheckScaledScoreRange on any field text. Acceptance must agree
// with an independent reading of the entry grammar, the value with the correctly rounded decimal,
// and every message must be the designed one, the range message showing the value rounded as the
// exact decimal rounding gives it.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "engine/entry.h"
#include "engine/tables.h"
#include "entry_reference.h"
#include "exact_decimal.h"
#include "fuzz_support.h"

using namespace orvale;
using namespace orvale::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string caption =
        kSubtestCaptions[input.ConsumeIntegral<std::uint8_t>() % kSubtestCount];
    const std::string text = input.ConsumeRemainingBytesAsString();

    const ParsedEntry parsed = ParseScoreEntry(text, caption);
    if (text.empty()) {
        Check(parsed.error == "INPUT ERROR\r\r(  " + caption +
                                  "  )\r\rData have not been entered in this field.",
              "an empty field gets the not-entered message", parsed.error.value_or("(none)"));
        return 0;
    }
    const EntryReading reading = ReadEntry(text, false);
    Check(parsed.ok() == reading.accepted, "accepted exactly when the grammar accepts", text);
    if (!parsed.ok()) {
        Check(*parsed.error ==
                  "INPUT ERROR\r(  " + caption + "  " + text + "  )\r\rEnter numeric data only.",
              "a rejected text gets the numeric-only message naming it", *parsed.error);
        return 0;
    }
    Check(AgreesWith(parsed.value, reading), "the value is the decimal the text stands for", text);

    const std::optional<std::string> range = CheckScaledScoreRange(caption, parsed.value);
    const bool inRange = parsed.value >= 1 && parsed.value <= 19;
    Check(range.has_value() != inRange, "valid exactly from 1 to 19", text);
    if (range) {
        Check(*range == "INPUT ERROR\r(  " + caption + "  " +
                            ReferenceFixed(parsed.value, 3, 3, '.') +
                            "  )\rThe valid range for Wechsler subtest scaled scores is 1 to 19 ",
              "the range message shows the value with three decimals", *range);
    }
    return 0;
}
