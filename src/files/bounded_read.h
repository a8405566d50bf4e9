// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a whole file that comes from outside without trusting it: only a regular file, never
// blocking on a FIFO or a device, and never more than a given size. Shared by the previous-data
// file, the case files and their command-line reader. Plain POSIX; paths are the system's bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvale {

// The content of the regular file at path, at most maxBytes long. A folder, a device, a FIFO or a
// socket at the path, or a larger file, is refused with the reason in error (never blocking).
std::optional<std::string> ReadBoundedRegularFile(const std::string& path, std::int64_t maxBytes,
                                                  std::string& error);

}  // namespace orvale
