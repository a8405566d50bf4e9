// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score --batch: see batch.h.
#include "cli/batch.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "batch/batch_scoring.h"
#include "cli/command_line.h"
#include "cli/output.h"

namespace orvale::cli {

int RunBatch(const std::string& path, const ScoringOptions& options, int jobs,
             const std::function<bool(std::string_view)>& write, std::FILE* err,
             OutputFormat format) {
    const bool standardInput = path == "-";
    const std::string source = standardInput ? "standard input" : path;
    std::unique_ptr<std::ifstream> file;
    if (!standardInput) {
#ifdef _WIN32
        // The path is UTF-8; the system's wide name is opened, whatever the ANSI code page holds.
        const std::filesystem::path name(std::u8string(path.begin(), path.end()));
#else
        const std::string& name = path;
#endif
        std::error_code code;
        if (std::filesystem::is_directory(name, code)) {
            Print(err, "orvale-score: cannot read " + path + ": it is a directory\n");
            return kExitUsage;
        }
        errno = 0;
        file = std::make_unique<std::ifstream>(name, std::ios::binary);
        if (!*file) {
            Print(err, "orvale-score: cannot open " + path + ": " +
                           (errno ? std::strerror(errno) : "unreadable") + "\n");
            return kExitUsage;
        }
    }
    std::istream& input = standardInput ? std::cin : *file;

    const auto where = [&source](int line) {
        std::string text = "orvale-score: " + source;
        if (line > 0) text.append(":").append(std::to_string(line));
        return text.append(": ");
    };
    BatchCallbacks callbacks;
    callbacks.write = write;
    callbacks.skipped = [&](int line, const std::string& message) {
        Print(err, where(line) + message + "\n");
    };
    callbacks.warning = [&](int line, const std::string& message) {
        Print(err, where(line) + "warning: " + message + "\n");
    };
    BatchSettings settings;
    settings.options = options;
    settings.jobs = jobs;
    settings.format = format == OutputFormat::Jsonl ? BatchRowFormat::kJsonl : BatchRowFormat::kCsv;
    const BatchResult result = ScoreBatch(input, settings, callbacks);

    switch (result.status) {
        case BatchStatus::kUnusableHeader:
            Print(err, where(result.headerLine) + result.headerError + "\n");
            return kExitUsage;
        case BatchStatus::kReadFailed:
            Print(err, "orvale-score: cannot read " + source + "\n");
            return kExitUsage;
        case BatchStatus::kWriteFailed:  // the caller knows why
            return kExitUsage;
        case BatchStatus::kDone:
        case BatchStatus::kCancelled:
            break;
    }
    return result.counts.rowsSkipped > 0 ? kExitBadRows : kExitOk;
}

}  // namespace orvale::cli
