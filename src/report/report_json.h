// SPDX-License-Identifier: GPL-3.0-or-later
// One case as a JSON object (docs/json-output.md): the schema version, the program version, the
// inputs, the options and every figure of the report under the batch output's names. Numbers are
// written as the shortest decimals that read back exactly (report/json_text.h).
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

#include "engine/scoring.h"

namespace orvale {

// Raised whenever a field is renamed, removed or changes its meaning; adding one keeps it.
inline constexpr int kJsonSchemaVersion = 1;

struct JsonCase {
    std::optional<std::string> id;   // the batch row's id; none for a single case
    std::vector<std::string> notes;  // report notes, UTF-8
    SubtestEntries entries{};
    ScoringOptions options{};
    ScoringResults results{};
};

nlohmann::json CaseToJson(const JsonCase& scored);

// The object as text: indented for a single case, or on one line (no line break inside) for
// a row of JSON Lines. Ends with a line break either way.
std::string CaseJsonText(const JsonCase& scored, bool oneLine);

}  // namespace orvale
