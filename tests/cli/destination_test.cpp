// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score --output onto what is no regular file: a pipe and the full and null devices are
// written through and stay what they were, a block device and a folder are refused; a single
// case and a batch alike. Device nodes are made by mknod, which needs root.
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>

#include "gtest/gtest.h"
#include "scorer_process.h"

namespace orvale::test {
namespace {

const std::vector<std::string> kScores = {"10", "12", "9", "8", "11", "10", "13", "7"};

mode_t KindAt(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

TEST(OutputDestination, DevicesAreWrittenThroughOrRefused) {
    ScratchFolder scratch;
    const auto batch = scratch.path() / "cases.csv";
    WriteFile(batch, "BD,SI,DS,CD,VO,LN,MR,SS\n10,12,9,8,11,10,13,7\n");
    struct Row {
        const char* name;
        mode_t kind;
        int major, minor;
        int status;
        const char* error;  // what standard error says after "orvale-score: cannot write NAME: "
    };
    const Row rows[] = {
        {"null", S_IFCHR, 1, 3, 0, ""},
        {"full", S_IFCHR, 1, 7, 2, "No space left on device"},
        {"block", S_IFBLK, 7, 0, 2, "it is a block device, not a file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto node = scratch.path() / row.name;
        if (::mknod(node.c_str(), row.kind | 0600, makedev(row.major, row.minor)) != 0) {
            GTEST_SKIP() << "mknod needs root";
        }
        for (const bool asBatch : {false, true}) {
            std::vector<std::string> arguments = {"--output", node.string()};
            if (asBatch) {
                arguments.insert(arguments.end(), {"--batch", batch.string()});
            } else {
                arguments.insert(arguments.end(), kScores.begin(), kScores.end());
            }
            const ProcessResult result = RunScorer(arguments);
            EXPECT_EQ(result.status, row.status);
            if (*row.error != '\0') {
                EXPECT_NE(result.err.find("cannot write " + node.string() + ": " + row.error),
                          std::string::npos)
                    << result.err;
            }
            EXPECT_EQ(KindAt(node), row.kind);
        }
    }
    const ProcessResult folder = RunScorer(
        {"--output", scratch.path().string(), "10", "12", "9", "8", "11", "10", "13", "7"});
    EXPECT_EQ(folder.status, 2);
    EXPECT_NE(folder.err.find("it is a folder, not a file"), std::string::npos) << folder.err;
}

// /dev/stdout onto a pipe gives the same report as no --output at all.
TEST(OutputDestination, StandardOutputPipe) {
    std::string command = ShellQuote(ORVALE_SCORE_PATH) + " --output /dev/stdout";
    for (const std::string& score : kScores) command += " " + score;
    std::FILE* pipe = ::popen((command + " | cat").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string piped;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        piped.append(buffer, got);
    }
    EXPECT_EQ(::pclose(pipe), 0);
    const ProcessResult plain = RunScorer(kScores);
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(piped, plain.out);
}

}  // namespace
}  // namespace orvale::test
