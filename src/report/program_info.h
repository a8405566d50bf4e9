// SPDX-License-Identifier: GPL-3.0-or-later
// The program's name and version as the documents, --version and the About boxes show them. The
// version comes from the CMake project version, through ORVALE_VERSION, and from nowhere else.
#pragma once

#include <string>

namespace orvale {

inline constexpr const char* kProgramName = "ORVALE";
inline constexpr const char* kProgramVersion = ORVALE_VERSION;

// The About text of both windows: name and version, what the program does, the citation of the
// accompanying technical note and the licence, as plain text.
std::string AboutText();

}  // namespace orvale
