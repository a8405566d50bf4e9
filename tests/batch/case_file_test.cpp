// SPDX-License-Identifier: GPL-3.0-or-later
// Case files in the core: every combination of options survives a write and a read, the written
// JSON is what a hand-written file would say, and each kind of bad file is refused with its reason.
#include "batch/case_file.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimeZone>

namespace {

using orvale::CaseValues;
using orvale::ParseCaseFile;

QByteArray HandWritten(const QString& entries, const QString& options, const QString& more = {}) {
    return QStringLiteral("{\"schema\": 1, \"entries\": {%1}, \"options\": {%2}%3}")
        .arg(entries, options, more)
        .toUtf8();
}
const QString kEntries = QStringLiteral(
    R"("BD": "10", "SI": "12.5", "DS": "", "CD": "7.", "VO": "09", "LN": "10", "MR": "1 2", "SS": "19")");
const QString kOptions = QStringLiteral(
    R"("ci": 90, "method": "glutting", "differences": "true", "bonferroni": true, "gai": false, "abnormal": 15)");

TEST(CaseFile, EveryOptionCombinationRoundTrips) {
    for (int method = 0; method < 4; ++method) {
        for (int flags = 0; flags < 8; ++flags) {
            for (int cutoff = 1; cutoff <= 3; ++cutoff) {
                CaseValues values;
                values.entries = QStringList{"10", "11", "", "8.5", ".5", "12", "13", "7"};
                values.options = {method, (flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0,
                                  cutoff};
                // Qt's JSON reader drops a U+FEFF that starts a raw string, so the writer must
                // escape it.
                const QString notes[] = {QStringLiteral("Case 0417\n\nR\u00E9test \"B\""),
                                         QStringLiteral("\uFEFFzero-width start"),
                                         QStringLiteral("\uFEFF\uFEFF"), QString()};
                values.notes = notes[(method + flags + cutoff) % 4];
                const auto read =
                    ParseCaseFile(CaseFileContent(values, QDateTime::currentDateTime()));
                ASSERT_TRUE(read.values) << read.error.toStdString();
                EXPECT_EQ(read.values->entries, values.entries);
                EXPECT_EQ(read.values->notes, values.notes);
                const orvale::ScoringOptions& o = read.values->options;
                EXPECT_EQ(o.confidenceMethod, method);
                EXPECT_EQ(o.trueScoreDifferences, (flags & 1) != 0);
                EXPECT_EQ(o.applyBonferroni, (flags & 2) != 0);
                EXPECT_EQ(o.calculateGai, (flags & 4) != 0);
                EXPECT_EQ(o.cutoffIndex, cutoff);
            }
        }
    }
}

TEST(CaseFile, WritesSchemaVersionAndWhenByWhichProgram) {
    const QDateTime at(QDate(2025, 3, 4), QTime(10, 15, 0), QTimeZone(3600));
    CaseValues values;
    values.entries = QStringList(8, QStringLiteral("10"));
    const QJsonObject root = QJsonDocument::fromJson(CaseFileContent(values, at)).object();
    EXPECT_EQ(root.value("schema").toInt(), 1);
    EXPECT_EQ(root.value("saved").toString(), QStringLiteral("2025-03-04T10:15:00+01:00"));
    // A local time, as the worksheet saves it, with its offset too.
    const QString local =
        QJsonDocument::fromJson(CaseFileContent(values, QDateTime::currentDateTime()))
            .object()
            .value("saved")
            .toString();
    EXPECT_TRUE(local.contains(QRegularExpression("T\\d\\d:\\d\\d:\\d\\d(Z|[+-]\\d\\d:\\d\\d)$")))
        << local.toStdString();
    EXPECT_EQ(root.value("program").toString(), QStringLiteral("ORVALE " ORVALE_VERSION));
    // The defaults in the words of orvale-score's options.
    EXPECT_EQ(root.value("options").toObject(),
              QJsonDocument::fromJson(R"({"ci": 95, "method": "traditional", "differences":
                  "observed", "bonferroni": false, "gai": true, "abnormal": 5})")
                  .object());
}

TEST(CaseFile, HandWrittenFileReads) {
    const auto read = ParseCaseFile(
        "\xEF\xBB\xBF" + HandWritten(kEntries, kOptions, R"(, "notes": "a\r\nb", "x": 1)"));
    ASSERT_TRUE(read.values) << read.error.toStdString();
    EXPECT_EQ(read.values->entries, (QStringList{"10", "12.5", "", "7.", "09", "10", "1 2", "19"}));
    EXPECT_EQ(read.values->options.confidenceMethod, 3);
    EXPECT_EQ(read.values->options.cutoffIndex, 3);
    EXPECT_EQ(read.values->notes, QStringLiteral("a\nb"));
    // Notes count characters, as the notes box does: 250 emoji are 500 UTF-16 units.
    const QString emoji = QStringLiteral("\U0001F600").repeated(250);
    const auto full =
        ParseCaseFile(HandWritten(kEntries, kOptions, ", \"notes\": \"" + emoji + '"'));
    ASSERT_TRUE(full.values) << full.error.toStdString();
    EXPECT_EQ(full.values->notes, emoji);
}

TEST(CaseFile, BadFilesAreRefusedWithTheirReason) {
    const auto options = [](const QString& replaced, const QString& by) {
        return QString(kOptions).replace(replaced, by);
    };
    const struct {
        QByteArray content;
        const char* reason;
    } cases[] = {
        {"", "it is not a case file (no valid JSON: "},
        {"BD,SI\n1,2\n", "it is not a case file (no valid JSON: "},
        {"[1, 2]", "it is not a case file (no JSON object)"},
        {"{\"entries\": {}}", "it is not a case file (it has no schema version)"},
        {HandWritten(kEntries, kOptions).replace("\"schema\": 1", "\"schema\": 2"),
         "its schema version is 2; this program reads version 1"},
        {HandWritten(kEntries, kOptions).replace("\"schema\": 1", "\"schema\": \"1\""),
         "its schema version is not a number; this program reads version 1"},
        {HandWritten(QString(kEntries).replace("\"10\", \"SI\"", "\"1x2\", \"SI\""), kOptions),
         "the BLOCK DESIGN entry \"1x2\" is not a number"},
        {HandWritten(QString(kEntries).replace("\"19\"", "\"1-9\""), kOptions),
         "the SYMBOL SEARCH entry \"1-9\" is not a number"},
        {HandWritten(QString(kEntries).replace("\"LN\": \"10\"", "\"LN\": 10"), kOptions),
         "the LETTER-NUMBER SEQ entry (\"LN\") is missing or not a text"},
        {HandWritten(QString(kEntries).replace("\"19\"", '"' + QString(65, u'1') + '"'), kOptions),
         "the SYMBOL SEARCH entry is longer than 64 characters"},
        {HandWritten(kEntries, options("\"abnormal\": 15", "\"abnormal\": 20")),
         "the option \"abnormal\" must be 5, 10 or 15, not 20"},
        {HandWritten(kEntries, options("\"ci\": 90", "\"ci\": \"99\"")),
         "the option \"ci\" must be 95 or 90, not \"99\""},
        {HandWritten(kEntries, options("\"method\": \"glutting\", ", "")),
         "the option \"method\" must be traditional or glutting, not missing"},
        {HandWritten(kEntries, options("\"gai\": false", "\"gai\": 0")),
         "the option \"gai\" must be true or false"},
        {HandWritten(kEntries, kOptions, ", \"notes\": \"" + QString(251, u'n') + '"'),
         "its notes are longer than 250 characters"},
        {HandWritten(kEntries, kOptions, ", \"notes\": [\"a\"]"),
         "its notes (\"notes\") are not a text"},
        // A NUL would go raw into the report and into saved text.
        {HandWritten(kEntries, kOptions, R"(, "notes": "Case\u0000 0417")"),
         "its notes hold a control character (U+0000); notes may hold line breaks and tabs but "
         "no other control character"},
        {HandWritten(kEntries, kOptions, R"(, "notes": "a\u0007")"),
         "its notes hold a control character (U+0007)"},
        {HandWritten(kEntries, kOptions, R"(, "notes": "half \ud83d pair")"),
         "its notes hold half of a UTF-16 surrogate pair"},
    };
    for (const auto& bad : cases) {
        const auto read = ParseCaseFile(bad.content);
        EXPECT_FALSE(read.values) << bad.content.toStdString();
        EXPECT_TRUE(read.error.startsWith(QString::fromUtf8(bad.reason)))
            << read.error.toStdString() << "\n  for " << bad.content.left(80).toStdString();
    }
}

}  // namespace
