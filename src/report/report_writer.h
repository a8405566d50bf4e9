// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to the report composer: appends literal, formatted, blank and rule lines to the memo's
// line list, and the section routines shared between the composer's source files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/tables.h"
#include "numeric/number_format.h"
#include "report/compose.h"

namespace orvale::report_detail {

class ReportWriter {
  public:
    ReportWriter(std::vector<std::string>& lines, char decimalSeparator)
        : lines_(lines), decimalSeparator_(decimalSeparator) {}

    // A line without placeholders: appended exactly as given, never through the formatter.
    void Literal(std::string_view text) { lines_.emplace_back(text); }
    void Blank(int count = 1) {
        for (int i = 0; i < count; ++i) lines_.emplace_back();
    }
    // One space followed by `underscores` underscores.
    void Rule(int underscores) {
        std::string rule(static_cast<std::size_t>(underscores) + 1, '_');
        rule[0] = ' ';
        lines_.push_back(std::move(rule));
    }
    void Formatted(std::string_view format, std::initializer_list<FormatArgument> args) {
        lines_.push_back(FormatLine(format, args, decimalSeparator_));
    }

  private:
    std::vector<std::string>& lines_;
    char decimalSeparator_;
};

// Labels of the rule lines: the number of underscores after the leading space.
inline constexpr int kRule98 = 98;
inline constexpr int kRule99 = 99;
inline constexpr int kRule100 = 100;
inline constexpr int kRule101 = 101;
inline constexpr int kRule102 = 102;

// Pairs 1-6 in three groups (1-3, 4-5, 6) and, when the GAI is reported, two blank lines and
// pair 7: the row layout shared by the reliability and the abnormality tables.
template <typename WriteRow>
void WritePairRows(ReportWriter& writer, bool withGai, WriteRow writeRow) {
    for (int pair = 0; pair < kIndexPairCount; ++pair) {
        if (pair == 3 || pair == 5) writer.Blank();
        writeRow(pair);
    }
    if (withGai) {
        writer.Blank(2);
        writeRow(kIndexPairCount);
    }
}

// Sections 11 to 15: abnormally low scores, reliability of differences, abnormality of
// differences, abnormal differences and profile abnormality.
void WriteAnalysisSections(ReportWriter& writer, const ReportInput& input);

}  // namespace orvale::report_detail
