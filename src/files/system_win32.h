// SPDX-License-Identifier: GPL-3.0-or-later
// What the Windows side of src/files (and orvale-score's start-up) needs from the system besides
// the calls themselves: the program's paths are UTF-8, the system's wide names UTF-16, and a
// failure is reported in the system's own words. Built for Windows only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvale {

// The UTF-16 form of a UTF-8 text; none when the text is no valid UTF-8.
std::optional<std::wstring> WideFromUtf8(std::string_view text);
// The UTF-8 form of a UTF-16 text (an unpaired surrogate becomes U+FFFD).
std::string Utf8FromWide(std::wstring_view text);
// The system's message for an error code (GetLastError), in UTF-8, without the final period
// and line end, as strerror gives them on other systems: "Access is denied".
std::string SystemMessage(unsigned long code);
// Whether a path names a named pipe ("\\.\pipe\NAME", either slash): opening one connects to the
// program that serves it, so it is told by its name before anything is opened.
bool IsPipeName(std::wstring_view path);

}  // namespace orvale
