// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score built without Qt has no PDF or ODT writer: it refuses those formats with a clear
// message and status 2, before it reads a score or touches the output file, and every other
// format works as before. (Built with Qt, the documents suite tests the formats themselves.)
// The SVG chart comes from the core and every build writes it.
#include <gtest/gtest.h>

#include "cli/scorer_process.h"
#include "report/chart_svg.h"

namespace orvale {
namespace {

using test::RunScorer;

TEST(DocumentFormats, RefusedWhereTheBuildHasNoDocuments) {
#ifdef ORVALE_HAVE_DOCUMENTS
    GTEST_SKIP() << "this orvale-score writes PDF and ODT";
#else
    test::ScratchFolder scratch;
    const std::string output = (scratch.path() / "report.pdf").string();
    test::WriteFile(output, "old");
    for (const std::string format : {"pdf", "odt"}) {
        const test::ProcessResult run = RunScorer({"--format", format, "--output", output, "10",
                                                   "10", "10", "10", "10", "10", "10", "x"});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "orvale-score: --format " + format +
                               " needs the build with Qt; this orvale-score was built without "
                               "it.\n");
        EXPECT_EQ(test::ReadFile(output), "old");
    }
    EXPECT_EQ(
        RunScorer({"--format", "json", "10", "10", "10", "10", "10", "10", "10", "10"}).status, 0);
#endif
}

TEST(DocumentFormats, SvgIsTheCasesChartInEveryBuild) {
    std::vector<std::string> arguments = {"--format", "svg", "--method", "glutting", "--no-gai"};
    for (const char* score : {"15", "19", "10", "1", "19", "10", "15", "1"}) {
        arguments.push_back(score);
    }
    const ScoringOptions options{.confidenceMethod = 2, .calculateGai = false};
    const std::string chart =
        ProfileChartSvg(ComputeScores({15, 19, 10, 1, 19, 10, 15, 1}, options), options);
    const test::ProcessResult run = RunScorer(arguments);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.out.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\""));
    EXPECT_NE(run.out.find("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" "
                           "width=\"700\" height=\"500\" viewBox=\"0 0 700 500\">"),
              std::string::npos);
    EXPECT_NE(run.out.find(">95% CLs using Glutting (estimated true score) method</text>"),
              std::string::npos);
    EXPECT_TRUE(run.out.ends_with("</svg>\n"));
    EXPECT_EQ(run.out, chart);  // the options reach the chart

    // Whole into --output, like the text report.
    test::ScratchFolder scratch;
    const std::string output = (scratch.path() / "chart.svg").string();
    test::WriteFile(output, "old");
    std::vector<std::string> toFile = arguments;
    toFile.insert(toFile.begin(), {"--output", output});
    const test::ProcessResult written = RunScorer(toFile);
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(test::ReadFile(output), chart);
}

}  // namespace
}  // namespace orvale
