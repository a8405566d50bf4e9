// SPDX-License-Identifier: GPL-3.0-or-later
// Times as the program's files and documents write them: ISO 8601 in the local time with its
// offset from UTC, so that a time reads the same wherever the file is opened.
#pragma once

#include <chrono>
#include <string>

namespace orvale {

// "2025-03-04T10:15:00+01:00", whole seconds; "Z" for an offset of zero, as in
// "2025-03-04T09:15:00Z".
std::string IsoTimeWithOffset(std::chrono::system_clock::time_point time);

}  // namespace orvale
