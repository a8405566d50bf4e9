// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_json.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "engine/tables.h"
#include "report/program_info.h"
#include "report/report_figures.h"

namespace orvale {

namespace {

QString Text(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QJsonValue ToJson(const FigureValue& value) {
    return std::visit(
        [](const auto& v) -> QJsonValue {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return QJsonValue(QJsonValue::Null);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return Text(v);
            } else {
                return v;
            }
        },
        value);
}

// The options as orvale-score's command line names them.
QJsonObject OptionsToJson(const ScoringOptions& options) {
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

QJsonObject CaseToJson(const JsonCase& scored) {
    QJsonObject inputs;
    for (int k = 0; k < kSubtestCount; ++k) {
        inputs.insert(QLatin1String(kSubtestNames[k]), scored.entries[k]);
    }
    QJsonObject results;
    const std::vector<FigureValue> values = ReportFigureValues(scored.results, scored.options);
    const std::vector<std::string>& names = ReportFigureNames();
    for (std::size_t k = 0; k < values.size(); ++k) {
        results.insert(QString::fromStdString(names[k]), ToJson(values[k]));
    }
    QJsonObject object{
        {"schema", kJsonSchemaVersion},
        {"program", QLatin1String(kProgramName)},
        {"version", QLatin1String(kProgramVersion)},
        {"inputs", inputs},
        {"options", OptionsToJson(scored.options)},
        {"results", results},
    };
    if (scored.id) object.insert("id", Text(*scored.id));
    if (!scored.id) {
        QJsonArray notes;
        for (const std::string& line : scored.notes) notes.append(Text(line));
        object.insert("notes", notes);
    }
    return object;
}

QByteArray CaseJsonText(const JsonCase& scored, bool oneLine) {
    QByteArray text = QJsonDocument(CaseToJson(scored))
                          .toJson(oneLine ? QJsonDocument::Compact : QJsonDocument::Indented);
    if (!text.endsWith('\n')) text += '\n';
    return text;
}

}  // namespace orvale
