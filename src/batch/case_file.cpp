// SPDX-License-Identifier: GPL-3.0-or-later
// Case files: see case_file.h.
//
// The file is one JSON object:
//   { "schema": 1, "program": "ORVALE 1.0.0", "saved": "2025-03-04T10:15:00+01:00",
//     "entries": { "BD": "10", "SI": "12.5", ... "SS": "" },
//     "options": { "ci": 95, "method": "traditional", "differences": "observed",
//                  "bonferroni": false, "gai": true, "abnormal": 5 },
//     "notes": "Case 0417\nRetest" }
// The options use the words of orvale-score's command line. Keys the reader does not know are
// ignored, so a later version may add some without breaking this one.
#include "batch/case_file.h"

#include <nlohmann/json.hpp>

#include "engine/entry.h"
#include "report/iso_time.h"
#include "report/json_read.h"
#include "report/json_text.h"
#include "report/notes.h"
#include "report/utf8.h"

namespace orvale {

namespace {

using nlohmann::json;

constexpr std::size_t kMaxEntryTextLength = 64;  // UTF-16 units, as the entry fields count
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// "BLOCK DESIGN" from "BLOCK DESIGN subtest scaled score:".
std::string SubtestName(int field) {
    const std::string_view caption = kSubtestCaptions[static_cast<std::size_t>(field)];
    return std::string(caption.substr(0, caption.find(" subtest")));
}

// The member name of an object, or nullptr when it has none.
const json* Member(const json& object, std::string_view name) {
    const auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

// A JSON value as a message shows it: a number as the file writes it.
std::string JsonShown(const JsonReading& reading, const json* value, const std::string& path) {
    if (value == nullptr) return "missing";
    if (value->is_string()) return '"' + value->get<std::string>() + '"';
    if (value->is_number()) return reading.numbers.at(path);
    if (value->is_boolean()) return value->get<bool>() ? "true" : "false";
    if (value->is_null()) return "null";
    return "a list or object";
}

struct Choice {
    const char* word;
    int value;
};

// The value of a key of "options" that must be one of choices (a number or a word); nullopt and
// the reason in error otherwise.
template <std::size_t N>
std::optional<int> ReadChoice(const JsonReading& reading, const json& options, const char* key,
                              const std::array<Choice, N>& choices, std::string& error) {
    const json* value = Member(options, key);
    std::string allowed;
    for (std::size_t k = 0; k < N; ++k) {
        const Choice& choice = choices[k];
        allowed += std::string(k == 0 ? "" : k + 1 == N ? " or " : ", ") + choice.word;
        if (value == nullptr) continue;
        if ((value->is_string() && value->get<std::string>() == choice.word) ||
            (value->is_number_integer() &&
             std::to_string(value->get<long long>()) == choice.word)) {
            return choice.value;
        }
    }
    error = "the option \"" + std::string(key) + "\" must be " + allowed + ", not " +
            JsonShown(reading, value, std::string("options/") + key);
    return std::nullopt;
}
std::optional<bool> ReadFlag(const json& options, const char* key, std::string& error) {
    const json* value = Member(options, key);
    if (value != nullptr && value->is_boolean()) return value->get<bool>();
    error = "the option \"" + std::string(key) + "\" must be true or false";
    return std::nullopt;
}

std::optional<ScoringOptions> ReadOptions(const JsonReading& reading, const json& options,
                                          std::string& error) {
    const std::optional<int> level =
        ReadChoice(reading, options, "ci", std::array<Choice, 2>{{{"95", 0}, {"90", 1}}}, error);
    if (!level) return std::nullopt;
    const std::optional<int> method =
        ReadChoice(reading, options, "method",
                   std::array<Choice, 2>{{{"traditional", 0}, {"glutting", 2}}}, error);
    if (!method) return std::nullopt;
    const std::optional<int> basis =
        ReadChoice(reading, options, "differences",
                   std::array<Choice, 2>{{{"observed", 0}, {"true", 1}}}, error);
    if (!basis) return std::nullopt;
    const std::optional<bool> bonferroni = ReadFlag(options, "bonferroni", error);
    if (!bonferroni) return std::nullopt;
    const std::optional<bool> gai = ReadFlag(options, "gai", error);
    if (!gai) return std::nullopt;
    const std::optional<int> cutoff =
        ReadChoice(reading, options, "abnormal",
                   std::array<Choice, 3>{{{"5", 1}, {"10", 2}, {"15", 3}}}, error);
    if (!cutoff) return std::nullopt;
    ScoringOptions read;
    read.confidenceMethod = *method + *level;
    read.trueScoreDifferences = *basis == 1;
    read.applyBonferroni = *bonferroni;
    read.calculateGai = *gai;
    read.cutoffIndex = *cutoff;
    return read;
}

CaseReading Failed(std::string reason) {
    return {std::nullopt, std::move(reason)};
}

// Why the text is no valid JSON.
std::string JsonFault(const JsonError& error) {
    // Notes are the one place where a user's text could hold half a pair (pasted from a program
    // that cut a longer text): that is said in the notes' own words.
    if (error.member == "notes" && error.reason == "half of a UTF-16 surrogate pair") {
        return "its notes hold half of a UTF-16 surrogate pair";
    }
    return "it is not a case file (no valid JSON: " + error.reason + " at byte " +
           std::to_string(error.byte) + ")";
}

// The schema version, or why the file has none this program reads.
std::optional<std::string> SchemaProblem(const JsonReading& reading) {
    const json* schema = Member(reading.document, "schema");
    if (schema == nullptr) return "it is not a case file (it has no schema version)";
    if (schema->is_number_integer() && schema->get<long long>() == kCaseSchema) return std::nullopt;
    const std::string given = schema->is_number() ? reading.numbers.at("schema") : "not a number";
    return "its schema version is " + given + "; this program reads version " +
           std::to_string(kCaseSchema);
}

// The eight entry texts into values, or why they cannot be used.
std::optional<std::string> ReadEntries(const json& root, CaseValues& values) {
    const json* entries = Member(root, "entries");
    if (entries == nullptr || !entries->is_object()) {
        return "it holds no entries (\"entries\" with BD, SI, DS, CD, VO, LN, MR and SS)";
    }
    for (int k = 0; k < kSubtestCount; ++k) {
        const char* name = kSubtestNames[static_cast<std::size_t>(k)];
        const json* entry = Member(*entries, name);
        if (entry == nullptr || !entry->is_string()) {
            return "the " + SubtestName(k) + " entry (\"" + name + "\") is missing or not a text";
        }
        const std::string& text = entry->get_ref<const std::string&>();
        if (std::optional<std::string> problem = CaseEntryProblem(k, text)) return problem;
        values.entries[static_cast<std::size_t>(k)] = text;
    }
    return std::nullopt;
}

// The text of an optional member that is a string ("saved", "program"); empty otherwise.
std::string TextOf(const json& root, std::string_view name) {
    const json* value = Member(root, name);
    return value != nullptr && value->is_string() ? value->get<std::string>() : std::string();
}

}  // namespace

std::optional<std::string> CaseEntryProblem(int field, std::string_view text) {
    if (text.empty()) return std::nullopt;
    if (Utf16Length(text) > kMaxEntryTextLength) {
        return "the " + SubtestName(field) + " entry is longer than " +
               std::to_string(kMaxEntryTextLength) + " characters";
    }
    if (!ParseScoreEntry(text, "").ok()) {
        return "the " + SubtestName(field) + " entry \"" + std::string(text) + "\" is not a number";
    }
    return std::nullopt;
}

std::optional<CaseSaveProblem> CheckCaseForSaving(const CaseValues& values) {
    for (int k = 0; k < kSubtestCount; ++k) {
        if (std::optional<std::string> problem =
                CaseEntryProblem(k, values.entries[static_cast<std::size_t>(k)])) {
            return CaseSaveProblem{k, "The case could not be saved: " + *problem + "."};
        }
    }
    return std::nullopt;
}

std::string CaseOpenMessage(std::string_view name, std::string_view reason) {
    return "The case could not be opened from " + std::string(name) + ": " + std::string(reason);
}

std::string CaseFileContent(const CaseValues& values,
                            std::chrono::system_clock::time_point savedAt) {
    json entries = json::object();
    for (int k = 0; k < kSubtestCount; ++k) {
        const auto field = static_cast<std::size_t>(k);
        entries[kSubtestNames[field]] = values.entries[field];
    }
    const ScoringOptions& o = values.options;
    const json options{
        {"ci", o.confidenceMethod % 2 == 0 ? 95 : 90},
        {"method", o.confidenceMethod >= 2 ? "glutting" : "traditional"},
        {"differences", o.trueScoreDifferences ? "true" : "observed"},
        {"bonferroni", o.applyBonferroni},
        {"gai", o.calculateGai},
        {"abnormal", o.cutoffIndex == 1   ? 5
                     : o.cutoffIndex == 2 ? 10
                                          : 15},
    };
    const json root{
        {"schema", kCaseSchema},
        {"program", "ORVALE " ORVALE_VERSION},
        {"saved", IsoTimeWithOffset(savedAt)},
        {"entries", entries},
        {"options", options},
        {"notes", values.notes},
    };
    // Every U+FEFF is written escaped, as the program always has: a reader that drops a raw one
    // at the start of a string (Qt's does) still reads the notes as saved. Those bytes can only
    // stand inside a string of the written document.
    std::string content = JsonText(root, JsonLayout::kIndented);
    for (std::size_t at = content.find(kByteOrderMark); at != std::string::npos;
         at = content.find(kByteOrderMark, at)) {
        content.replace(at, kByteOrderMark.size(), "\\ufeff");
    }
    return content;
}

CaseReading ParseCaseFile(std::string_view content) {
    const JsonReading reading = ReadJson(content);
    if (reading.error) return Failed(JsonFault(*reading.error));
    const json& root = reading.document;
    if (!root.is_object()) return Failed("it is not a case file (no JSON object)");
    if (std::optional<std::string> problem = SchemaProblem(reading)) return Failed(*problem);

    CaseValues values;
    if (std::optional<std::string> problem = ReadEntries(root, values)) return Failed(*problem);

    const json* options = Member(root, "options");
    if (options == nullptr || !options->is_object()) {
        return Failed("it holds no options (\"options\")");
    }
    std::string error;
    const std::optional<ScoringOptions> read = ReadOptions(reading, *options, error);
    if (!read) return Failed(error);
    values.options = *read;

    const json* notes = Member(root, "notes");
    if (notes != nullptr && !notes->is_string()) {
        return Failed("its notes (\"notes\") are not a text");
    }
    values.notes = NotesWithLineFeeds(notes != nullptr ? notes->get<std::string>() : "");
    if (const std::optional<NotesProblem> problem = CheckNotes(values.notes)) {
        return Failed(NotesProblemText(*problem, "its notes", true));
    }
    values.savedAt = TextOf(root, "saved");
    values.program = TextOf(root, "program");
    return {std::move(values), {}};
}

}  // namespace orvale
