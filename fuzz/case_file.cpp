// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the case-file reader. Any bytes whatever read without a fault into a case or a
// reason. A case that reads holds eight entries that are empty or valid by an independent reading
// of the entry grammar, options inside their ranges and at most 250 characters of notes without
// control characters, whose report lines hold them whole; and it reads back unchanged after being
// written.
#include "batch/case_file.h"

#include <QDateTime>
#include <algorithm>

#include "entry_reference.h"
#include "fuzz_support.h"

using namespace orvale;
using namespace orvale::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const CaseReading reading = ParseCaseFile(content);
    if (!reading.values) {
        Check(!reading.error.isEmpty(), "a refused case file says why");
        return 0;
    }
    const CaseValues& values = *reading.values;
    Check(values.entries.size() == kSubtestCount, "a case has eight entries");
    for (const QString& entry : values.entries) {
        const std::string text = entry.toStdString();
        Check(entry.isEmpty() || ReadEntry(text, false).accepted, "an entry reads as a number",
              text);
    }
    const ScoringOptions& o = values.options;
    Check(o.confidenceMethod >= 0 && o.confidenceMethod <= 3 && o.cutoffIndex >= 1 &&
              o.cutoffIndex <= 3,
          "the options are in range");
    // The notes by Qt's own reading of Unicode: at most 250 code points, no control character but
    // the tab and the line feed.
    const QList<uint> codes = values.notes.toUcs4();
    const auto refused = [](uint c) {
        return QChar::category(c) == QChar::Other_Control && c != '\t' && c != '\n';
    };
    Check(codes.size() <= 250 && std::none_of(codes.begin(), codes.end(), refused),
          "the notes fit the notes box");
    // Their report lines hold the notes but the line feeds, in order, cut between whole UTF-8
    // characters, none longer than 91 code points but for blanks at its end.
    const std::string notes = values.notes.toStdString();
    std::string joined;
    for (const std::string& line : NotesLines(notes)) {
        Check(QByteArrayView(line).isValidUtf8(), "a notes line is whole UTF-8", line);
        std::string text = line;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        const auto characters = std::count_if(text.begin(), text.end(), [](char byte) {
            return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
        });
        Check(characters <= 91, "a notes line fits 91 columns", line);
        joined += line;
    }
    std::string withoutLineFeeds = notes;
    std::erase(withoutLineFeeds, '\n');
    Check(joined == withoutLineFeeds, "the notes lines hold the notes", notes);

    const CaseReading again = ParseCaseFile(CaseFileContent(values, QDateTime::currentDateTime()));
    Check(again.values.has_value(), "a written case reads back", again.error.toStdString());
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
