// SPDX-License-Identifier: GPL-3.0-or-later
// The results memo's text: what each Compute appends (the reference report of
// golden/reference_report.txt, after the two dashed lines when the memo holds text) and the bytes
// of the saved file.
#include "report/results_memo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "report_test_support.h"

namespace orvale {
namespace {

std::string ReferenceReport() {
    std::ifstream file(std::string(ORVALE_GOLDEN_DIR) + "/reference_report.txt", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(ResultsMemo, EachComputeAppendsTheReportAfterTheSeparator) {
    const std::string report = ReferenceReport();
    ASSERT_FALSE(report.empty());
    const std::string separator =
        "\n" + std::string(103, '-') + "\n" + std::string(103, '-') + "\n\n";
    const ReportInput input = test::ScoredInput(test::AllEntries(10));
    const struct {
        std::string memo;
        std::string appended;
    } cases[] = {
        {"", report},
        {report, separator + report},
        // The user's last line without its line break gets one first.
        {"edited", "\n" + separator + report},
        {"\n", separator + report},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReportToAppend(c.memo, input), c.appended) << c.memo.substr(0, 10);
    }
}

TEST(ResultsMemo, SavedFileEndsEveryLineWithCarriageReturnAndLineFeed) {
    const struct {
        const char* memo;
        const char* file;
    } cases[] = {
        {"", ""}, {"a", "a\r\n"}, {"a\n", "a\r\n"}, {"a\n\nb", "a\r\n\r\nb\r\n"}, {"\n", "\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(ResultsFileText(c.memo), c.file) << c.memo;
}

}  // namespace
}  // namespace orvale
