// SPDX-License-Identifier: GPL-3.0-or-later
// The standard output of orvale-score. A failed write is remembered with the system's reason for
// it, so that a full disk or a file-size limit is reported in those words and ends the program
// with status 2 instead of passing unnoticed.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace orvale::cli {

// Writes text to a stream as it is (standard error: its messages have nowhere else to go).
void Print(std::FILE* stream, std::string_view text);

class Output {
  public:
    explicit Output(std::FILE* file) : file_(file) {}

    // False once any write has failed; nothing more is written after a failure.
    bool Write(std::string_view text);
    // Flushes what the C library still holds; false when that or an earlier write failed.
    bool Finish();
    // "cannot write to standard output: <the system's reason>", for standard error.
    std::string FailureMessage() const;

  private:
    std::FILE* file_;
    int error_ = 0;  // errno of the first failure
    bool failed_ = false;
};

}  // namespace orvale::cli
