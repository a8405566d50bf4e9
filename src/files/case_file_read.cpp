// SPDX-License-Identifier: GPL-3.0-or-later
// A case file read from its path: see case_file_read.h.
#include "files/case_file_read.h"

#include "files/bounded_read.h"

namespace orvale {

CaseReading ReadCaseFile(const std::string& path) {
    std::string reason;
    const std::optional<std::string> content =
        ReadBoundedRegularFile(path, kMaxCaseFileSize, reason);
    CaseReading reading;
    if (content) {
        reading = ParseCaseFile(*content);
    } else {
        reading.error = reason;
    }
    if (!reading.values) {
        reading.error = CaseOpenMessage(path, reading.error);
    }
    return reading;
}

}  // namespace orvale
