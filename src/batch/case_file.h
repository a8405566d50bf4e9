// SPDX-License-Identifier: GPL-3.0-or-later
// Case files (".orvale"): one case as JSON, the eight entry texts as typed, the five options,
// the notes, and when and by which program version it was saved. The worksheet and
// `orvale-score --case` read them with the same checks, so a file either opens whole or not at all.
// Texts are UTF-8.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/scoring.h"
#include "engine/tables.h"

namespace orvale {

inline constexpr int kCaseSchema = 1;                        // the version this program writes
inline constexpr std::int64_t kMaxCaseFileSize = 64 * 1024;  // a case needs well under 1 KiB
inline constexpr const char* kCaseFileSuffix = ".orvale";
inline constexpr const char* kCaseFileFilter = "ORVALE cases (*.orvale)";

struct CaseValues {
    // The eight entry texts in field order; an empty text is a field left empty.
    std::array<std::string, kSubtestCount> entries{};
    ScoringOptions options{};
    std::string notes;    // line breaks as '\n'; what CheckNotes accepts
    std::string savedAt;  // ISO 8601, as written
    std::string program;  // "ORVALE <version>" of the program that wrote it
};

struct CaseReading {
    std::optional<CaseValues> values;
    std::string error;  // what is wrong with the file, when values is empty
};

// The file's content for a case saved at savedAt (written in the local time and its offset) by
// this program version.
std::string CaseFileContent(const CaseValues& values,
                            std::chrono::system_clock::time_point savedAt);

// Reads a case from a file's content; every check passes or nothing is returned. The JSON must
// be valid to the letter; the option numbers must have exactly the values the options take
// ("ci": 95.0 is 95, 95.0000001 is not).
CaseReading ParseCaseFile(std::string_view content);

// Why an entry text cannot be kept in a case file, or nullopt when it can: an empty text, or one
// ParseScoreEntry accepts.
std::optional<std::string> CaseEntryProblem(int field, std::string_view text);

// The first entry, in field order, that keeps a case from being saved, with the message that
// says why: "The case could not be saved: REASON."
struct CaseSaveProblem {
    int field = 0;
    std::string message;
};
std::optional<CaseSaveProblem> CheckCaseForSaving(const CaseValues& values);

// The message for a case file that could not be opened, naming it: "The case could not be
// opened from NAME: REASON".
std::string CaseOpenMessage(std::string_view name, std::string_view reason);

}  // namespace orvale
