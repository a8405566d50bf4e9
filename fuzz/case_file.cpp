// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the case-file reader. Any bytes whatever read without a fault into a case or a
// reason. A case that reads holds eight entries that are empty or valid by an independent reading
// of the entry grammar, options inside their ranges and at most 250 characters of notes without
// control characters, whose report lines hold them whole; it reads back unchanged after being
// written; and Qt's JSON reader, an independent one, reads the same values from the file, where
// the two agree on what a file means (Qt's is lenient, and drops a U+FEFF that starts a string).
#include "batch/case_file.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "entry_reference.h"
#include "fuzz_support.h"
#include "report/notes.h"

using namespace orvale;
using namespace orvale::fuzz;

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Qt's reading of the file gives the same entries, notes and options.
void CheckAgainstQt(std::string_view content, const CaseValues& values) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(content.data(), static_cast<qsizetype>(content.size())), &error);
    if (error.error == QJsonParseError::DeepNesting) return;  // Qt's own limit, not JSON's
    Check(error.error == QJsonParseError::NoError && document.isObject(),
          "a case file that reads is JSON to Qt as well", error.errorString().toStdString());
    const QJsonObject root = document.object();
    for (int k = 0; k < kSubtestCount; ++k) {
        const std::string& entry = values.entries[static_cast<std::size_t>(k)];
        if (entry.starts_with(kBom)) continue;
        Check(root["entries"][QLatin1String(kSubtestNames[k])].toString().toStdString() == entry,
              "Qt reads the same entry", entry);
    }
    const QString notes = root["notes"].toString();
    if (!values.notes.starts_with(kBom) && !notes.contains(u'\r')) {
        Check(notes.toStdString() == values.notes, "Qt reads the same notes", values.notes);
    }
    const QJsonObject options = root["options"].toObject();
    const auto number = [&](const char* key) { return options[QLatin1String(key)].toVariant(); };
    const ScoringOptions& o = values.options;
    Check(number("ci").toString() == (o.confidenceMethod % 2 == 0 ? "95" : "90") &&
              number("abnormal").toInt() == 5 * o.cutoffIndex &&
              options["bonferroni"].toBool() == o.applyBonferroni &&
              options["gai"].toBool() == o.calculateGai,
          "Qt reads the same options");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const CaseReading reading = ParseCaseFile(content);
    if (!reading.values) {
        Check(!reading.error.empty(), "a refused case file says why");
        return 0;
    }
    const CaseValues& values = *reading.values;
    for (const std::string& entry : values.entries) {
        Check(entry.empty() || ReadEntry(entry, false).accepted, "an entry reads as a number",
              entry);
    }
    const ScoringOptions& o = values.options;
    Check(o.confidenceMethod >= 0 && o.confidenceMethod <= 3 && o.cutoffIndex >= 1 &&
              o.cutoffIndex <= 3,
          "the options are in range");
    // The notes by Qt's own reading of Unicode: at most 250 code points, no control character but
    // the tab and the line feed.
    const QList<uint> codes = QString::fromStdString(values.notes).toUcs4();
    const auto refused = [](uint c) {
        return QChar::category(c) == QChar::Other_Control && c != '\t' && c != '\n';
    };
    Check(QByteArrayView(values.notes).isValidUtf8() && codes.size() <= 250 &&
              std::none_of(codes.begin(), codes.end(), refused),
          "the notes fit the notes box");
    // Their report lines hold the notes but the line feeds, in order, cut between whole UTF-8
    // characters, none longer than 91 code points but for blanks at its end.
    std::string joined;
    for (const std::string& line : NotesLines(values.notes)) {
        Check(QByteArrayView(line).isValidUtf8(), "a notes line is whole UTF-8", line);
        std::string text = line;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        const auto characters = std::count_if(text.begin(), text.end(), [](char byte) {
            return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
        });
        Check(characters <= 91, "a notes line fits 91 columns", line);
        joined += line;
    }
    std::string withoutLineFeeds = values.notes;
    std::erase(withoutLineFeeds, '\n');
    Check(joined == withoutLineFeeds, "the notes lines hold the notes", values.notes);
    CheckAgainstQt(content, values);

    const CaseReading again =
        ParseCaseFile(CaseFileContent(values, std::chrono::system_clock::now()));
    Check(again.values.has_value(), "a written case reads back", again.error);
    const CaseValues& back = *again.values;
    Check(back.entries == values.entries && back.notes == values.notes &&
              back.options.confidenceMethod == o.confidenceMethod &&
              back.options.trueScoreDifferences == o.trueScoreDifferences &&
              back.options.applyBonferroni == o.applyBonferroni &&
              back.options.calculateGai == o.calculateGai &&
              back.options.cutoffIndex == o.cutoffIndex,
          "a written case reads back unchanged");
    return 0;
}
