// The program's name and version as the documents, --version and the About box show them. The
// version comes from the CMake project version, through ORVALE_VERSION, and from nowhere else.
#pragma once

namespace orvale {

inline constexpr const char* kProgramName = "ORVALE";
inline constexpr const char* kProgramVersion = ORVALE_VERSION;

}  // namespace orvale
