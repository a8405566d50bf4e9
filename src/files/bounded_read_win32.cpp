// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an outside file boundedly on Windows: see bounded_read.h. The path is first opened for
// its attributes alone, which does nothing to a device; only a file on a disk is then opened to
// be read, and it must be the one examined.
#include <windows.h>

#include <algorithm>

#include "files/bounded_read.h"
#include "files/system_win32.h"

namespace orvale {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr const char* kNotRegular = "it is not a regular file (a device, pipe or socket)";

// Why what a handle names cannot be read as a file; none for a file on a disk.
std::optional<std::string> Refusal(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) {
    if (::GetFileType(file) != FILE_TYPE_DISK) return kNotRegular;
    if (!::GetFileInformationByHandle(file, &info)) return SystemMessage(::GetLastError());
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return "it is a folder, not a file";
    return std::nullopt;
}

// Reads up to content.size() bytes; the error's code, 0 when the end or the limit was reached.
DWORD ReadUpTo(HANDLE file, std::string& content, std::size_t& size) {
    while (size < content.size()) {
        DWORD got = 0;
        const DWORD want =
            static_cast<DWORD>(std::min<std::size_t>(content.size() - size, 1u << 30));
        if (!::ReadFile(file, content.data() + size, want, &got, nullptr)) return ::GetLastError();
        if (got == 0) break;
        size += got;
    }
    return 0;
}

}  // namespace

std::optional<std::string> ReadBoundedRegularFile(const std::string& path, std::int64_t maxBytes,
                                                  std::string& error) {
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide) {
        error = SystemMessage(ERROR_NO_UNICODE_TRANSLATION);
        return std::nullopt;
    }
    if (IsPipeName(*wide)) {  // opening it would connect to the program that serves it
        error = kNotRegular;
        return std::nullopt;
    }
    const auto open = [&](DWORD access) {
        return ::CreateFileW(wide->c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    };
    const auto fail = [&](HANDLE file, const std::string& reason) -> std::optional<std::string> {
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
        error = reason;
        return std::nullopt;
    };
    BY_HANDLE_FILE_INFORMATION before{};
    const HANDLE examined = open(FILE_READ_ATTRIBUTES);
    if (examined == INVALID_HANDLE_VALUE) return fail(examined, SystemMessage(::GetLastError()));
    if (std::optional<std::string> reason = Refusal(examined, before))
        return fail(examined, *reason);
    ::CloseHandle(examined);
    const HANDLE file = open(GENERIC_READ);
    if (file == INVALID_HANDLE_VALUE) return fail(file, SystemMessage(::GetLastError()));
    BY_HANDLE_FILE_INFORMATION info{};
    if (std::optional<std::string> reason = Refusal(file, info)) return fail(file, *reason);
    if (info.dwVolumeSerialNumber != before.dwVolumeSerialNumber ||
        info.nFileIndexHigh != before.nFileIndexHigh ||
        info.nFileIndexLow != before.nFileIndexLow) {
        return fail(file, "the file changed while it was being opened");
    }
    const std::string tooLarge =
        "the file is larger than " + std::to_string(maxBytes / 1024) + " KiB";
    const std::int64_t fileSize =
        (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (fileSize > maxBytes) return fail(file, tooLarge);
    std::string content(static_cast<std::size_t>(maxBytes) + 1,
                        '\0');  // one more tells a grown file
    std::size_t size = 0;
    if (const DWORD code = ReadUpTo(file, content, size)) return fail(file, SystemMessage(code));
    if (size > static_cast<std::size_t>(maxBytes)) return fail(file, tooLarge);
    ::CloseHandle(file);
    content.resize(size);
    return content;
}

}  // namespace orvale
