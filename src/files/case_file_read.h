// SPDX-License-Identifier: GPL-3.0-or-later
// A case file read from its path: the bounded read of an outside file, then the core's checks of
// its content. The worksheet and orvale-score open case files through this one function.
#pragma once

#include <string>

#include "batch/case_file.h"

namespace orvale {

// Reads the case file at path (a regular file of at most kMaxCaseFileSize). The error names the
// file: "The case could not be opened from PATH: REASON".
CaseReading ReadCaseFile(const std::string& path);

}  // namespace orvale
