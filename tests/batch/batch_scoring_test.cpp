// SPDX-License-Identifier: GPL-3.0-or-later
// Batch scoring in the core: the same bytes on one thread or several, with the NormalCdf cache or
// without, over a large random file with fractional entries and bad rows; rows whose cells do not
// match the header's; cancelling, a failed write, and progress.
#include "batch/batch_scoring.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <variant>
#include <vector>

namespace orvale {
namespace {

struct BatchRun {
    BatchResult result;
    std::string out;
    std::string diagnostics;  // skipped rows and warnings, one line each, in the order reported
    std::vector<BatchProgress> progress;
};

BatchRun Score(const std::string& text, const BatchSettings& settings,
               std::stop_source* stop = nullptr, int failingWrite = -1) {
    BatchRun run;
    std::istringstream input(text);
    int writes = 0;
    BatchCallbacks callbacks;
    callbacks.write = [&](std::string_view piece) {
        if (writes++ == failingWrite) return false;
        run.out += piece;
        return true;
    };
    callbacks.skipped = [&](int line, const std::string& message) {
        run.diagnostics += std::to_string(line) + ": " + message + "\n";
    };
    callbacks.warning = [&](int line, const std::string& message) {
        run.diagnostics += std::to_string(line) + ": warning: " + message + "\n";
    };
    callbacks.progress = [&](const BatchProgress& progress) {
        run.progress.push_back(progress);
        if (stop != nullptr) stop->request_stop();
    };
    run.result =
        ScoreBatch(input, settings, callbacks, stop ? stop->get_token() : std::stop_token{});
    return run;
}

// WebAssembly built without threads scores on the calling thread only.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
constexpr int kMostJobs = 1;
#else
constexpr int kMostJobs = 3;
#endif

// Builds that run under an emulator (qemu, node, wine) score a tenth as many cases.
#ifdef ORVALE_EMULATED_TESTS
constexpr int kCases = 2000;
#else
constexpr int kCases = 20000;
#endif

// kCases cases: whole and fractional scores (one or two decimals), ids, and every 97th row bad
// (out of range, empty or not a number). Returns the text and the lines of the bad rows.
std::pair<std::string, std::vector<int>> RandomCases() {
    std::mt19937 generator(91);
    std::uniform_int_distribution<int> whole(1, 19), half(1, 18), hundredths(100, 1900), kind(0, 2);
    std::string text = "id,BD,SI,DS,CD,VO,LN,MR,SS,note\n";
    std::vector<int> bad;
    for (int i = 0; i < kCases; ++i) {
        const int line = i + 2;
        text.append("c").append(std::to_string(i));
        for (int k = 0; k < 8; ++k) {
            text += ',';
            if (i % 97 == 5 && k == i % 8) {
                text += i % 3 == 0 ? "20" : i % 3 == 1 ? "" : "x1";
                continue;
            }
            switch (kind(generator)) {
                case 0:
                    text += std::to_string(whole(generator));
                    break;
                case 1:
                    text += std::to_string(half(generator)) + ".5";
                    break;
                default: {
                    const int h = hundredths(generator);
                    text += std::to_string(h / 100) + "." + std::to_string(h % 100 / 10) +
                            std::to_string(h % 10);
                }
            }
        }
        text += ",\"a, note\"\n";
        if (i % 97 == 5) bad.push_back(line);
    }
    return {text, bad};
}

TEST(ScoreBatch, SameBytesForAnyThreadsWithOrWithoutTheCache) {
    const auto [text, bad] = RandomCases();
    ScoringOptions options;
    options.applyBonferroni = true;
    options.confidenceMethod = 2;
    const BatchRun reference = Score(text, {options, 1, false});
    EXPECT_EQ(reference.result.status, BatchStatus::kDone);
    EXPECT_EQ(reference.result.counts.rowsWritten, kCases - bad.size());
    EXPECT_EQ(reference.result.counts.rowsSkipped, bad.size());
    // The skipped rows are exactly the bad ones, in order.
    std::string badLines;
    for (int line : bad) badLines += std::to_string(line) + ":";
    std::string reportedLines;
    std::istringstream reported(reference.diagnostics);
    for (std::string line; std::getline(reported, line);) {
        reportedLines += line.substr(0, line.find(' '));
        EXPECT_NE(line.find("row skipped"), std::string::npos) << line;
    }
    EXPECT_EQ(reportedLines, badLines);

    const struct {
        int jobs;
        bool cache;
    } rows[] = {{1, true}, {2, false}, {2, true}, {3, true}};
    for (const auto& row : rows) {
        if (row.jobs > kMostJobs) continue;
        const BatchRun run = Score(text, {options, row.jobs, row.cache});
        EXPECT_EQ(run.result.status, BatchStatus::kDone);
        EXPECT_TRUE(run.out == reference.out) << "jobs " << row.jobs << " cache " << row.cache;
        EXPECT_EQ(run.diagnostics, reference.diagnostics);
        EXPECT_EQ(run.result.counts.bytesRead, text.size());
    }
}

TEST(ScoreBatch, CancelAndWriteFailureStopAtAWholeBlock) {
    const auto [text, bad] = RandomCases();
    const BatchRun full = Score(text, {{}, kMostJobs > 1 ? 2 : 1});
    for (int jobs : {1, 2}) {
        if (jobs > kMostJobs) continue;
        // Stop is asked for when the first block has been written.
        std::stop_source stop;
        const BatchRun cancelled = Score(text, {{}, jobs}, &stop);
        EXPECT_EQ(cancelled.result.status, BatchStatus::kCancelled);
        ASSERT_EQ(cancelled.progress.size(), 1u);
        const std::uint64_t rows = cancelled.progress[0].rowsWritten;
        EXPECT_GT(rows, 0u);
        EXPECT_LT(rows, 1000u);
        EXPECT_EQ(full.out.rfind(cancelled.out, 0), 0u);
        EXPECT_EQ(std::count(cancelled.out.begin(), cancelled.out.end(), '\n'), rows + 1);

        // The second write (the first block of rows) fails: nothing after it is written.
        const BatchRun failed = Score(text, {{}, jobs}, nullptr, 1);
        EXPECT_EQ(failed.result.status, BatchStatus::kWriteFailed);
        EXPECT_EQ(failed.out, full.out.substr(0, full.out.find('\n') + 1));
        EXPECT_TRUE(failed.progress.empty());
    }
}

TEST(ScoreBatch, RowsWithMoreOrFewerCellsThanTheHeaderAreSkipped) {
    const std::string nine = "id,BD,SI,DS,CD,VO,LN,MR,SS\n";
    const struct {
        std::string header;
        std::string row;
        std::string skipped;  // empty: the row is scored
    } rows[] = {
        {nine, "a,10,10,10,10,10,10,10,10", ""},
        {nine, "a,10,10,10,10,10,10,10,10,10", "10 cells where the header has 9; row skipped"},
        {nine, "a,10,10,10,10,10,10,10", "8 cells where the header has 9; row skipped"},
        {nine, "\"a, b\",10,10,10,10,10,10,10,10", ""},  // a comma inside quotes
        {nine, "just one", "1 cell where the header has 9; row skipped"},
        {nine, "a,10,10,1\"0,10,10,10,10,10,10", "a quote inside an unquoted field; row skipped"},
        // An empty trailing cell is a cell: the header's and the row's must agree.
        {"BD,SI,DS,CD,VO,LN,MR,SS,\n", "10,10,10,10,10,10,10,10",
         "8 cells where the header has 9; row skipped"},
        {"BD,SI,DS,CD,VO,LN,MR,SS,\n", "10,10,10,10,10,10,10,10,", ""},
        {"BD,SI,DS,CD,VO,LN,MR,SS\n", "10,10,10,10,10,10,10,10,",
         "9 cells where the header has 8; row skipped"},
    };
    for (const auto& row : rows) {
        const std::string text = row.header + row.row + "\n";
        for (int jobs : {1, 2}) {
            if (jobs > kMostJobs) continue;
            const BatchRun run = Score(text, {{}, jobs});
            EXPECT_EQ(run.result.counts.rowsSkipped, row.skipped.empty() ? 0u : 1u) << text;
            EXPECT_EQ(run.diagnostics, row.skipped.empty() ? "" : "2: " + row.skipped + "\n")
                << text;
        }
        // AppendBatchRow on the whole record, as read, says the same.
        const std::vector<CsvRecord> records = ReadCsv(text);
        const auto columns = std::get<BatchColumns>(FindBatchColumns(records[0]));
        std::string output;
        EXPECT_EQ(AppendBatchRow(records[1], columns, {}, output).value_or(""), row.skipped);
        EXPECT_EQ(output.empty(), !row.skipped.empty());
    }
}

}  // namespace
}  // namespace orvale
