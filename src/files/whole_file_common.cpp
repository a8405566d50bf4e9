// SPDX-License-Identifier: GPL-3.0-or-later
// What the POSIX and the Windows writer share: the one-call write and the temporary files' names.
#include <charconv>

#include "files/temporary_name.h"
#include "files/whole_file.h"

namespace orvale {

namespace {

constexpr std::string_view kTemporarySuffix = ".tmp-";
constexpr std::size_t kUniqueLength = 6;  // the XXXXXX

}  // namespace

std::string TemporaryNameStart(const std::string& path, long long processId) {
    return path + std::string(kTemporarySuffix) + std::to_string(processId) + "-";
}

std::optional<long long> TemporaryFileWriter(std::string_view fileName, std::string_view name) {
    if (!fileName.starts_with(name) ||
        !fileName.substr(name.size()).starts_with(kTemporarySuffix)) {
        return std::nullopt;
    }
    // "<process id>-XXXXXX"
    const std::string_view rest = fileName.substr(name.size() + kTemporarySuffix.size());
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || rest.size() - dash - 1 != kUniqueLength) {
        return std::nullopt;
    }
    long long writer = 0;
    const auto [end, failure] = std::from_chars(rest.data(), rest.data() + dash, writer);
    if (failure != std::errc() || end != rest.data() + dash || writer <= 0) return std::nullopt;
    return writer;
}

std::optional<std::string> WriteWholeFile(const std::string& path, std::string_view content,
                                          LinkAtPath link, PipeReader reader) {
    WholeFileWriter writer(path, link);
    if (std::optional<std::string> reason = writer.Open(reader)) return reason;
    writer.Write(content);
    return writer.Commit();
}

}  // namespace orvale
