// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score built without Qt has no PDF or ODT writer: it refuses those formats with a clear
// message and status 2, before it reads a score or touches the output file, and every other
// format works as before. (Built with Qt, the documents suite tests the formats themselves.)
#include <gtest/gtest.h>

#include "cli/scorer_process.h"

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

}  // namespace
}  // namespace orvale
