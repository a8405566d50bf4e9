// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score under hostile input and faults, each brought about for real: an endless line
// (/dev/zero), a line of 2 MiB, a file-size limit on its output, an output file that must stay
// whole, too little address space for its threads, and a large batch whose memory must stay flat.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "scorer_process.h"

namespace orvale {
namespace {

using test::RunScorer;
using test::ScratchFolder;
using test::WriteFile;

constexpr const char* kHeader = "BD,SI,DS,CD,VO,LN,MR,SS\n";

TEST(BatchFaults, OverlongLinesAreReportedNotHeld) {
    // No line end at all: the header itself is too long; nothing is written and nothing aborts.
    const auto zero = RunScorer({"--batch", "/dev/zero"});
    EXPECT_EQ(zero.status, 2);
    EXPECT_EQ(zero.out, "");
    EXPECT_EQ(zero.err, "orvale-score: /dev/zero:1: header: the line is longer than 1 MiB\n");

    // A 2 MiB line among good rows is skipped with its line number; the rows around it are scored.
    const std::string row = "10,10,10,10,10,10,10,10\n";
    const auto result = RunScorer(
        {"--batch", "-"}, std::string(kHeader) + row + std::string(2 << 20, '7') + "\n" + row);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "orvale-score: standard input:3: the line is longer than 1 MiB; row skipped\n");
    ASSERT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 3);
    EXPECT_EQ(result.out.substr(result.out.rfind('\n', result.out.size() - 2) + 1, 2), "4,");
}

TEST(BatchFaults, OutputPastTheFileSizeLimitIsReportedInTheSystemsWords) {
    std::string cases = kHeader;
    for (int i = 0; i < 50; ++i) cases += "10,12,9,8,14,11,10,13\n";
    // 1 KiB holds neither the report of one case (about 5 KB) nor 50 rows.
    const struct {
        std::vector<std::string> arguments;
        int jobs;
    } rows[] = {
        {{"10", "15", "10", "10", "16", "10", "10", "10"}, 0},
        {{"--jobs", "1", "--batch", "-"}, 1},
        {{"--jobs", "2", "--batch", "-"}, 2},
    };
    for (const auto& row : rows) {
        const auto result = RunScorer(row.arguments, cases, {"LC_ALL=C"}, "ulimit -f 1; ");
        EXPECT_EQ(result.status, 2) << row.jobs;  // not killed by SIGXFSZ
        EXPECT_EQ(result.err, "orvale-score: cannot write to standard output: File too large\n")
            << row.jobs;
        EXPECT_LE(result.out.size(), 1024u);
    }
}

TEST(BatchFaults, AnOutputFileIsReplacedOnlyOnceEveryRowIsThere) {
    ScratchFolder folder;
    const std::string out = (folder.path() / "out.csv").string();
    std::string cases = kHeader;
    for (int i = 0; i < 50; ++i) cases += "10,12,9,8,14,11,10,13\n";
    const std::string expected = RunScorer({"--batch", "-"}, cases).out;
    const struct {
        const char* what;
        std::string input;
        std::string target;  // the --output path
        std::string shellSetup;
        int status;
        std::string err;   // after "orvale-score: "
        std::string file;  // what the target holds afterwards
    } rows[] = {
        {"whole", cases, out, "", 0, "", expected},
        {"unusable header", "X,Y\n1,2\n", out, "", 2,
         "standard input: header: missing column(s) BD, SI, DS, CD, VO, LN, MR, SS\n", "old\n"},
        {"past a file-size limit", cases, out, "ulimit -f 1; ", 2,
         "cannot write " + out + ": File too large\n", "old\n"},
        {"into a missing folder", cases, (folder.path() / "none" / "out.csv").string(), "", 2,
         "cannot write " + (folder.path() / "none" / "out.csv").string() +
             ": No such file or directory\n",
         ""},
    };
    for (const auto& row : rows) {
        WriteFile(out, "old\n");
        const auto result = RunScorer({"--jobs", "2", "--batch", "-", "--output", row.target},
                                      row.input, {"LC_ALL=C"}, row.shellSetup);
        EXPECT_EQ(result.status, row.status) << row.what;
        EXPECT_EQ(result.err, row.err.empty() ? "" : "orvale-score: " + row.err) << row.what;
        EXPECT_EQ(result.out, "") << row.what;
        if (row.target == out) {
            EXPECT_EQ(test::ReadFile(out), row.file) << row.what;
        }
        // No temporary file is left beside it.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                                std::filesystem::directory_iterator()),
                  1)
            << row.what;
    }
}

TEST(BatchFaults, ThreadsThatCannotStartEndWithAMessage) {
#ifdef ORVALE_SANITIZED
    GTEST_SKIP() << "a sanitizer cannot start in a limited address space";
#endif
    // 256 thread stacks do not fit in 400 MB of address space.
    const auto result = RunScorer({"--jobs", "256", "--batch", "-"},
                                  std::string(kHeader) + "10,10,10,10,10,10,10,10\n", {"LC_ALL=C"},
                                  "ulimit -v 400000; ");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.rfind("orvale-score: cannot start 256 scoring threads: ", 0), 0u)
        << result.err;
}

TEST(BatchFaults, MemoryStaysFlatWhateverTheSize) {
    ScratchFolder folder;
    const auto write = [&](const char* name, int cases) {
        const auto path = folder.path() / name;
        std::ofstream file(path, std::ios::binary);
        file << "id," << kHeader;
        std::mt19937 generator(cases);
        std::uniform_int_distribution<int> score(1, 19);
        for (int i = 0; i < cases; ++i) {
            file << "case" << i;
            for (int k = 0; k < 8; ++k) file << ',' << score(generator);
            file << '\n';
        }
        return path;
    };
    const auto small = write("small.csv", 1000);
    const auto large = write("large.csv", 200000);  // 6 MB in, 260 MB out
    for (const char* jobs : {"1", "2"}) {
        const long smallPeak = test::PeakMemoryOfScorer({"--jobs", jobs, "--batch", "-"}, small);
        const long largePeak = test::PeakMemoryOfScorer({"--jobs", jobs, "--batch", "-"}, large);
        ASSERT_GT(smallPeak, 0) << jobs;
        ASSERT_GT(largePeak, 0) << jobs;
        // Holding the input alone would add 6 MB, the output 260 MB.
        EXPECT_LT(largePeak - smallPeak, 4096) << "KiB, --jobs " << jobs;
    }
    // Into a file the rows stream the same way.
    const std::string out = (folder.path() / "out.csv").string();
    const long smallPeak =
        test::PeakMemoryOfScorer({"--jobs", "2", "--batch", "-", "--output", out}, small);
    const long largePeak =
        test::PeakMemoryOfScorer({"--jobs", "2", "--batch", "-", "--output", out}, large);
    ASSERT_GT(smallPeak, 0);
    ASSERT_GT(largePeak, 0);
    EXPECT_LT(largePeak - smallPeak, 4096) << "KiB, --output";
}

}  // namespace
}  // namespace orvale
