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

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include "engine/entry.h"
#include "engine/tables.h"
#include "report/iso_time.h"

namespace orvale {

namespace {

constexpr qsizetype kMaxEntryTextLength = 64;
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

// "BLOCK DESIGN" from "BLOCK DESIGN subtest scaled score:".
QString SubtestName(int field) {
    const QString caption = QString::fromLatin1(kSubtestCaptions[static_cast<std::size_t>(field)]);
    return caption.left(caption.indexOf(QStringLiteral(" subtest")));
}

// A JSON value as a message shows it.
QString JsonShown(const QJsonValue& value) {
    if (value.isString()) return u'"' + value.toString() + u'"';
    if (value.isDouble()) return QString::number(value.toDouble());
    if (value.isBool()) return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isUndefined()) return QStringLiteral("missing");
    return QStringLiteral("a list or object");
}

struct Choice {
    const char* word;
    int value;
};

// The value of a key that must be one of choices (a number or a word); nullopt and the reason
// in error otherwise.
template <std::size_t N>
std::optional<int> ReadChoice(const QJsonObject& options, const char* key,
                              const std::array<Choice, N>& choices, QString& error) {
    const QJsonValue value = options.value(QLatin1String(key));
    QStringList allowed;
    for (const Choice& choice : choices) {
        allowed << QString::fromLatin1(choice.word);
        if ((value.isString() && value.toString() == QLatin1String(choice.word)) ||
            (value.isDouble() && QString::number(value.toDouble()) == QLatin1String(choice.word))) {
            return choice.value;
        }
    }
    error = QStringLiteral("the option \"%1\" must be %2, not %3")
                .arg(QLatin1String(key),
                     allowed.mid(0, allowed.size() - 1).join(QStringLiteral(", ")) +
                         QStringLiteral(" or ") + allowed.last(),
                     JsonShown(value));
    return std::nullopt;
}
std::optional<bool> ReadFlag(const QJsonObject& options, const char* key, QString& error) {
    const QJsonValue value = options.value(QLatin1String(key));
    if (value.isBool()) return value.toBool();
    error = QStringLiteral("the option \"%1\" must be true or false").arg(QLatin1String(key));
    return std::nullopt;
}

std::optional<ScoringOptions> ReadOptions(const QJsonObject& options, QString& error) {
    const std::optional<int> level =
        ReadChoice(options, "ci", std::array<Choice, 2>{{{"95", 0}, {"90", 1}}}, error);
    if (!level) return std::nullopt;
    const std::optional<int> method = ReadChoice(
        options, "method", std::array<Choice, 2>{{{"traditional", 0}, {"glutting", 2}}}, error);
    if (!method) return std::nullopt;
    const std::optional<int> basis = ReadChoice(
        options, "differences", std::array<Choice, 2>{{{"observed", 0}, {"true", 1}}}, error);
    if (!basis) return std::nullopt;
    const std::optional<bool> bonferroni = ReadFlag(options, "bonferroni", error);
    if (!bonferroni) return std::nullopt;
    const std::optional<bool> gai = ReadFlag(options, "gai", error);
    if (!gai) return std::nullopt;
    const std::optional<int> cutoff = ReadChoice(
        options, "abnormal", std::array<Choice, 3>{{{"5", 1}, {"10", 2}, {"15", 3}}}, error);
    if (!cutoff) return std::nullopt;
    ScoringOptions read;
    read.confidenceMethod = *method + *level;
    read.trueScoreDifferences = *basis == 1;
    read.applyBonferroni = *bonferroni;
    read.calculateGai = *gai;
    read.cutoffIndex = *cutoff;
    return read;
}

CaseReading Failed(const QString& reason) {
    return {std::nullopt, reason};
}

}  // namespace

std::optional<QString> CaseEntryProblem(int field, const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    if (text.size() > kMaxEntryTextLength) {
        return QStringLiteral("the %1 entry is longer than %2 characters")
            .arg(SubtestName(field))
            .arg(kMaxEntryTextLength);
    }
    if (!ParseScoreEntry(text.toStdString(), "").ok()) {
        return QStringLiteral("the %1 entry \"%2\" is not a number").arg(SubtestName(field), text);
    }
    return std::nullopt;
}

QByteArray CaseFileContent(const CaseValues& values, const QDateTime& savedAt) {
    QJsonObject entries;
    for (int k = 0; k < kSubtestCount; ++k) {
        entries.insert(QLatin1String(kSubtestNames[static_cast<std::size_t>(k)]),
                       values.entries.value(k));
    }
    const ScoringOptions& o = values.options;
    const QJsonObject options{
        {QStringLiteral("ci"), o.confidenceMethod % 2 == 0 ? 95 : 90},
        {QStringLiteral("method"), o.confidenceMethod >= 2 ? "glutting" : "traditional"},
        {QStringLiteral("differences"), o.trueScoreDifferences ? "true" : "observed"},
        {QStringLiteral("bonferroni"), o.applyBonferroni},
        {QStringLiteral("gai"), o.calculateGai},
        {QStringLiteral("abnormal"), o.cutoffIndex == 1   ? 5
                                     : o.cutoffIndex == 2 ? 10
                                                          : 15},
    };
    const QJsonObject root{
        {QStringLiteral("schema"), kCaseSchema},
        {QStringLiteral("program"), QStringLiteral("ORVALE " ORVALE_VERSION)},
        {QStringLiteral("saved"), IsoTimeWithOffset(savedAt)},
        {QStringLiteral("entries"), entries},
        {QStringLiteral("options"), options},
        {QStringLiteral("notes"), values.notes},
    };
    // Qt's JSON reader drops a U+FEFF (the UTF-8 byte-order mark) at the start of a raw string,
    // so notes beginning with one would not read back as saved. Those bytes can only stand inside
    // a string of the written document; the escaped form reads back unchanged.
    QByteArray content = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return content.replace(kByteOrderMark, "\\ufeff");
}

CaseReading ParseCaseFile(const QByteArray& bytes) {
    QByteArray content = bytes;
    if (content.startsWith(kByteOrderMark)) content.remove(0, 3);
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(content, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return Failed(QStringLiteral("it is not a case file (no valid JSON: %1 at byte %2)")
                          .arg(parseError.errorString())
                          .arg(parseError.offset));
    }
    if (!document.isObject())
        return Failed(QStringLiteral("it is not a case file (no JSON object)"));
    const QJsonObject root = document.object();

    const QJsonValue schema = root.value(QStringLiteral("schema"));
    if (schema.isUndefined()) {
        return Failed(QStringLiteral("it is not a case file (it has no schema version)"));
    }
    if (!schema.isDouble() || schema.toDouble() != kCaseSchema) {
        const QString given =
            schema.isDouble() ? QString::number(schema.toDouble()) : QStringLiteral("not a number");
        return Failed(QStringLiteral("its schema version is %1; this program reads version %2")
                          .arg(given)
                          .arg(kCaseSchema));
    }

    CaseValues values;
    const QJsonValue entriesValue = root.value(QStringLiteral("entries"));
    if (!entriesValue.isObject()) {
        return Failed(
            QStringLiteral("it holds no entries (\"entries\" with BD, SI, DS, CD, VO, LN, "
                           "MR and SS)"));
    }
    const QJsonObject entries = entriesValue.toObject();
    for (int k = 0; k < kSubtestCount; ++k) {
        const QLatin1String name(kSubtestNames[static_cast<std::size_t>(k)]);
        const QJsonValue entry = entries.value(name);
        if (!entry.isString()) {
            return Failed(QStringLiteral("the %1 entry (\"%2\") is missing or not a text")
                              .arg(SubtestName(k), name));
        }
        if (const std::optional<QString> problem = CaseEntryProblem(k, entry.toString())) {
            return Failed(*problem);
        }
        values.entries.append(entry.toString());
    }

    const QJsonValue options = root.value(QStringLiteral("options"));
    if (!options.isObject()) return Failed(QStringLiteral("it holds no options (\"options\")"));
    QString error;
    const std::optional<ScoringOptions> read = ReadOptions(options.toObject(), error);
    if (!read) return Failed(error);
    values.options = *read;

    const QJsonValue notes = root.value(QStringLiteral("notes"));
    if (!notes.isUndefined() && !notes.isString()) {
        return Failed(QStringLiteral("its notes (\"notes\") are not a text"));
    }
    // JSON can escape half of a UTF-16 surrogate pair, which is no character at all.
    if (!notes.toString().isValidUtf16()) {
        return Failed(QStringLiteral("its notes hold half of a UTF-16 surrogate pair"));
    }
    values.notes = notes.toString();
    values.notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (const std::optional<NotesProblem> problem = CheckNotes(values.notes.toStdString())) {
        return Failed(QString::fromStdString(NotesProblemText(*problem, "its notes", true)));
    }
    values.savedAt = root.value(QStringLiteral("saved")).toString();
    values.program = root.value(QStringLiteral("program")).toString();
    return {std::move(values), {}};
}

}  // namespace orvale
