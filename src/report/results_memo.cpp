// SPDX-License-Identifier: GPL-3.0-or-later
// The results memo's text: see results_memo.h.
#include "report/results_memo.h"

#include <vector>

namespace orvale {

std::string ReportToAppend(std::string_view memoText, const ReportInput& input) {
    const bool holdsText = !memoText.empty();
    // The composer writes the separator only after earlier lines; one stand-in line tells it.
    std::vector<std::string> lines;
    if (holdsText) lines.emplace_back();
    ComposeReport(lines, input);
    std::string text;
    if (holdsText && memoText.back() != '\n') text += '\n';
    for (std::size_t i = holdsText ? 1 : 0; i < lines.size(); ++i) {
        text += lines[i];
        text += '\n';
    }
    return text;
}

std::string ResultsFileText(std::string_view memoText) {
    std::string text;
    text.reserve(memoText.size() + memoText.size() / 40);
    for (const char c : memoText) {
        if (c == '\n') text += '\r';
        text += c;
    }
    if (!memoText.empty() && memoText.back() != '\n') text += "\r\n";
    return text;
}

}  // namespace orvale
