// SPDX-License-Identifier: GPL-3.0-or-later
// Score-field entry routines shared by the worksheet and the command-line scorer: the key filter,
// the length limit, the two parsers and the range check. Each returns its value or the exact
// message text (with "\r" line breaks) that the caller shows; none shows anything itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvale {

inline constexpr int kMaxEntryLength = 6;

// Texts of the messages the key handlers show.
inline constexpr std::string_view kNumericOnlyMessage = "INPUT ERROR\r\rEnter numeric data only.";
inline constexpr std::string_view kMaxLengthMessage = "Maximum length of input is 6 characters.";
inline constexpr std::string_view kInvalidCellMessage =
    "There is an invalid data entry, which will be highlighted once you click 'OK', please "
    "re-enter.";

// Outcome of a parse: the value, or the message to show (then the value is not to be used).
struct ParsedEntry {
    double value = 0.0;
    std::optional<std::string> error;
    bool ok() const { return !error.has_value(); }
};

// The character to insert for a typed character, or '\0' to swallow the key (the caller then
// beeps and shows kNumericOnlyMessage).
char FilterNumericKey(char typed);

// The text a score field inserts for text that arrives from the keyboard (a key, a paste, an
// input method's text): each character passed through FilterNumericKey, a comma becoming a
// point, the editing keys the filter lets through (backspace, tab, carriage return) dropped, as a
// field never holds them. nullopt when the filter refuses any character (anything outside ASCII
// included): then nothing of the text is inserted. Texts are UTF-8.
std::optional<std::string> FilterNumericText(std::string_view text);

// The text cut to its first six characters.
std::string LimitEntryLength(std::string_view text);

ParsedEntry ParseScoreEntry(std::string_view text, std::string_view caption);

// nullopt when 1 <= value <= 19; otherwise the range message naming the caption.
std::optional<std::string> CheckScaledScoreRange(std::string_view caption, double value);

// The text of score field `field` (0 to 7, field order) checked as Compute checks it: parsed,
// then held to 1 to 19; a message names the field by its caption (kSubtestCaptions). The
// worksheet, orvale-score and batch scoring all check entries through this one routine.
ParsedEntry CheckScoreEntry(int field, std::string_view text);

// A message of the entry routines with its "\r" line breaks as line feeds, for a message box or
// standard error.
std::string MessageWithLineBreaks(std::string_view message);

// The same message on one line: each run of "\r" line breaks becomes one blank, and blanks at the
// end are dropped (a batch row's reason for being skipped).
std::string MessageOnOneLine(std::string_view message);

ParsedEntry ParseCellEntry(std::string_view text);

// base to the power exponent in 32-bit integer arithmetic; 1 for an exponent of 0 or below.
int IntegerPower(int base, int exponent);

}  // namespace orvale
