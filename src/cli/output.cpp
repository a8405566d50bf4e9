// SPDX-License-Identifier: GPL-3.0-or-later
// The standard output of orvale-score: see output.h.
#include "cli/output.h"

#include <cerrno>
#include <cstring>

namespace orvale::cli {

void Print(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

bool Output::Write(std::string_view text) {
    if (failed_) return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) == text.size()) return true;
    failed_ = true;
    error_ = errno;
    return false;
}

bool Output::Finish() {
    if (failed_) return false;
    errno = 0;
    if (std::fflush(file_) == 0 && !std::ferror(file_)) return true;
    failed_ = true;
    error_ = errno;
    return false;
}

std::string Output::FailureMessage() const {
    return std::string("cannot write to standard output: ") +
           (error_ != 0 ? std::strerror(error_) : "unknown error");
}

}  // namespace orvale::cli
