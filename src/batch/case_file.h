// SPDX-License-Identifier: GPL-3.0-or-later
// Case files (".orvale"): one case as JSON, the eight entry texts as typed, the five options,
// the notes, and when and by which program version it was saved. The worksheet and
// `orvale-score --case` read them with the same checks, so a file either opens whole or not at all.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/scoring.h"
#include "report/notes.h"

namespace orvale {

inline constexpr int kCaseSchema = 1;                  // the version this program writes
inline constexpr qint64 kMaxCaseFileSize = 64 * 1024;  // a case needs well under 1 KiB
inline constexpr const char* kCaseFileSuffix = ".orvale";
inline constexpr const char* kCaseFileFilter = "ORVALE cases (*.orvale)";

struct CaseValues {
    QStringList
        entries;  // the eight entry texts in field order; an empty text is a field left empty
    ScoringOptions options{};
    QString notes;    // line breaks as '\n'; what CheckNotes accepts
    QString savedAt;  // ISO 8601, as written
    QString program;  // "ORVALE <version>" of the program that wrote it
};

struct CaseReading {
    std::optional<CaseValues> values;
    QString error;  // what is wrong with the file, when values is empty
};

// The file's content for a case saved at savedAt by this program version.
QByteArray CaseFileContent(const CaseValues& values, const QDateTime& savedAt);

// Reads a case from a file's content; every check passes or nothing is returned.
CaseReading ParseCaseFile(const QByteArray& content);

// Why an entry text cannot be kept in a case file, or nullopt when it can: an empty text, or one
// ParseScoreEntry accepts.
std::optional<QString> CaseEntryProblem(int field, const QString& text);

}  // namespace orvale
