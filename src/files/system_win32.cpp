// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 and UTF-16, and the system's messages: see system_win32.h.
#include "files/system_win32.h"

#include <windows.h>

#include <cwctype>

namespace orvale {

std::optional<std::wstring> WideFromUtf8(std::string_view text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::string SystemMessage(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    ::LocalFree(buffer);
    while (!text.empty() && (std::iswspace(text.back()) || text.back() == L'.')) text.pop_back();
    if (text.empty()) return "system error " + std::to_string(code);
    return Utf8FromWide(text);
}

bool IsPipeName(std::wstring_view path) {
    if (path.size() < 9) return false;
    const auto slash = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (!slash(path[0]) || !slash(path[1]) || (path[2] != L'.' && path[2] != L'?') ||
        !slash(path[3]) || !slash(path[8])) {
        return false;
    }
    std::wstring word(path.substr(4, 4));
    for (wchar_t& c : word) c = static_cast<wchar_t>(std::towlower(c));
    return word == L"pipe";
}

}  // namespace orvale
