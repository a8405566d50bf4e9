// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_json.h"

#include <nlohmann/json.hpp>

#include "engine/tables.h"
#include "report/json_text.h"
#include "report/program_info.h"
#include "report/report_figures.h"

namespace orvale {

namespace {

nlohmann::json ToJson(const FigureValue& value) {
    return std::visit(
        [](const auto& v) -> nlohmann::json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return nullptr;
            } else {
                return v;
            }
        },
        value);
}

// The options as orvale-score's command line names them.
nlohmann::json OptionsToJson(const ScoringOptions& options) {
    // Methods 0 and 2 are the 95% ones, 1 and 3 the 90% ones.
    const ConfidenceMethod& method = kConfidenceMethods[options.confidenceMethod];
    return {
        {"ci", options.confidenceMethod % 2 == 0 ? 95 : 90},
        {"method", method.centreOnTrueScore ? "glutting" : "traditional"},
        {"differences", options.trueScoreDifferences ? "true" : "observed"},
        {"bonferroni", options.applyBonferroni},
        {"gai", options.calculateGai},
        {"abnormal", 5 * options.cutoffIndex},
    };
}

}  // namespace

nlohmann::json CaseToJson(const JsonCase& scored) {
    nlohmann::json inputs = nlohmann::json::object();
    for (int k = 0; k < kSubtestCount; ++k) inputs[kSubtestNames[k]] = scored.entries[k];
    nlohmann::json results = nlohmann::json::object();
    const std::vector<FigureValue> values = ReportFigureValues(scored.results, scored.options);
    const std::vector<std::string>& names = ReportFigureNames();
    for (std::size_t k = 0; k < values.size(); ++k) results[names[k]] = ToJson(values[k]);
    nlohmann::json object{
        {"schema", kJsonSchemaVersion},
        {"program", kProgramName},
        {"version", kProgramVersion},
        {"inputs", std::move(inputs)},
        {"options", OptionsToJson(scored.options)},
        {"results", std::move(results)},
    };
    if (scored.id) {
        object["id"] = *scored.id;
    } else {
        object["notes"] = scored.notes;
    }
    return object;
}

std::string CaseJsonText(const JsonCase& scored, bool oneLine) {
    std::string text =
        JsonText(CaseToJson(scored), oneLine ? JsonLayout::kCompact : JsonLayout::kIndented);
    if (!text.ends_with('\n')) text += '\n';
    return text;
}

}  // namespace orvale
