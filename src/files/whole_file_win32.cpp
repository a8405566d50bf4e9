// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-file writer on Windows: see whole_file.h. The content goes to a temporary file beside
// the destination, FlushFileBuffers puts it on the disk, and MoveFileExW with
// MOVEFILE_WRITE_THROUGH puts it in the old file's place in one step.
//
// The destinations follow the POSIX writer's rule. The path is opened as the user gave it, links
// followed: a device (NUL, CON, COM1) is written through, a folder refused, and for a file the
// name the system resolves it to (GetFinalPathNameByHandleW) is the one replaced, so a link
// keeps pointing at the new file, as on POSIX. With LinkAtPath::Replace the link itself is
// replaced. A named pipe is told by its name and written through. Nothing at the path, or a link
// whose target is gone, gets the new file at the path itself.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <utility>

#include "files/system_win32.h"
#include "files/temporary_name.h"
#include "files/whole_file.h"

namespace orvale {

namespace {

constexpr auto kStaleAfter = std::chrono::seconds(60);  // no write in progress takes this long
// How often a writer waiting for a named pipe's server looks again, and so how soon it sees a stop.
constexpr DWORD kPollMilliseconds = 50;
constexpr int kTemporaryAttempts = 100;  // names tried before the folder's error is reported
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE AsHandle(void* handle) {
    return handle == nullptr ? INVALID_HANDLE_VALUE : static_cast<HANDLE>(handle);
}

// The wide path, or the error that says it cannot be one.
std::wstring Wide(const std::string& path, unsigned long& error) {
    std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide) error = ERROR_NO_UNICODE_TRANSLATION;
    return wide.value_or(std::wstring());
}

// The name a file opened by handle has once every link on its way is resolved.
std::optional<std::string> FinalPath(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = ::GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                               FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length >= path.size()) {  // too small: length is the size needed
        path.resize(length);
        length = ::GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    if (length == 0 || length >= path.size()) return std::nullopt;
    path.resize(length);
    return Utf8FromWide(path);
}

// Writes size bytes to a file; the error of the first failure, 0 when everything was written. A
// full disk shows as a short write first, then as the failure itself.
DWORD WriteAll(HANDLE file, const char* data, std::size_t size) {
    constexpr std::size_t kLargestWrite = 1u << 30;
    while (size > 0) {
        DWORD written = 0;
        const DWORD step = static_cast<DWORD>(size < kLargestWrite ? size : kLargestWrite);
        if (!::WriteFile(file, data, step, &written, nullptr)) return ::GetLastError();
        if (written == 0) return ERROR_WRITE_FAULT;
        data += written;
        size -= written;
    }
    return 0;
}

// The folder part of a path ("." for a bare name, "C:" for a name on a drive's current folder)
// and the name after it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash != std::string::npos) return {path.substr(0, slash + 1), path.substr(slash + 1)};
    if (path.size() >= 2 && path[1] == ':') return {path.substr(0, 2), path.substr(2)};
    return {".\\", path};
}

// Whether the process with this id still runs (or may: one of another user's, not ours to ask).
bool ProcessRuns(long long id) {
    const HANDLE process =
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD status = 0;
    const bool runs = ::GetExitCodeProcess(process, &status) && status == STILL_ACTIVE;
    ::CloseHandle(process);
    return runs;
}

// How long ago a file was last written.
std::chrono::nanoseconds AgeOf(const FILETIME& written) {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {  // 100 ns since 1601
        return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return std::chrono::nanoseconds((ticks(now) - ticks(written)) * 100);
}

}  // namespace

WholeFileWriter::WholeFileWriter(const std::string& path, LinkAtPath link) : target_(path) {
    const std::wstring wide = Wide(path, error_);
    if (error_ != 0) return;
    if (IsPipeName(wide)) {
        through_ = true;
        return;
    }
    // Opened for its attributes only, which does nothing to a device.
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS |
                        (link == LinkAtPath::Replace ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE file = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, flags, nullptr);
    checkBeforeRename_ = link == LinkAtPath::WriteThrough;
    if (file == INVALID_HANDLE_VALUE) return;  // nothing there (or a link to nothing)
    const DWORD type = ::GetFileType(file);
    BY_HANDLE_FILE_INFORMATION info{};
    if (type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) {
        through_ = true;
    } else if (type != FILE_TYPE_DISK) {
        refusal_ = "it is not a regular file";
    } else if (::GetFileInformationByHandle(file, &info) &&
               (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        refusal_ = "it is a folder, not a file";
    } else if (link == LinkAtPath::WriteThrough) {
        target_ = FinalPath(file).value_or(path);
    }
    ::CloseHandle(file);
}

WholeFileWriter::~WholeFileWriter() {
    Abandon();
}

std::optional<std::string> WholeFileWriter::Open(PipeReader reader, std::stop_token stop) {
    if (!refusal_.empty()) return refusal_;
    if (error_ != 0) return SystemMessage(error_);
    return through_ ? OpenThrough(reader, stop) : OpenTemporary();
}

std::optional<std::string> WholeFileWriter::OpenThrough(PipeReader reader,
                                                        const std::stop_token& stop) {
    const std::wstring wide = Wide(target_, error_);
    const bool pipe = IsPipeName(wide);
    HANDLE file = INVALID_HANDLE_VALUE;
    while ((file = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr)) == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        // A pipe with no server, or with every instance taken, has no reader for this writer.
        if (!pipe || (code != ERROR_FILE_NOT_FOUND && code != ERROR_PIPE_BUSY)) {
            return SystemMessage(error_ = code);
        }
        if (reader == PipeReader::Required) {
            return refusal_ = "it is a pipe that no program is reading from";
        }
        if (stop.stop_requested()) return refusal_ = "it is a pipe that no program read from";
        if (code != ERROR_PIPE_BUSY || !::WaitNamedPipeW(wide.c_str(), kPollMilliseconds)) {
            ::Sleep(kPollMilliseconds);
        }
    }
    const DWORD type = ::GetFileType(file);
    if (type != FILE_TYPE_CHAR && type != FILE_TYPE_PIPE) {
        // Swapped for another kind of file after it was examined: writing into a regular file
        // in place would mix the new content with the old.
        ::CloseHandle(file);
        return refusal_ = "the file changed while it was being opened";
    }
    handle_ = file;
    return std::nullopt;
}

std::optional<std::string> WholeFileWriter::OpenTemporary() {
    // "<name>.tmp-<process id>-XXXXXX": see temporary_name.h. CREATE_NEW never opens what is
    // already there, a link planted under the name among it.
    const std::string start = TemporaryNameStart(target_, ::GetCurrentProcessId());
    constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    std::mt19937_64 random(static_cast<std::uint64_t>(counter.QuadPart) ^ ::GetCurrentThreadId());
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        temporary_ = start;
        for (int k = 0; k < 6; ++k) temporary_ += kLetters[random() % kLetters.size()];
        const std::wstring wide = Wide(temporary_, error_);
        if (error_ != 0) break;
        const HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            handle_ = file;
            temporaryExists_ = true;
            return std::nullopt;
        }
        error_ = ::GetLastError();
        if (error_ != ERROR_FILE_EXISTS && error_ != ERROR_ALREADY_EXISTS) break;
    }
    return SystemMessage(error_);
}

bool WholeFileWriter::Write(std::string_view text) {
    if (handle_ == nullptr || error_ != 0) return false;
    error_ = WriteAll(AsHandle(handle_), text.data(), text.size());
    return error_ == 0;
}

std::optional<std::string> WholeFileWriter::Commit() {
    if (!refusal_.empty()) return refusal_;
    if (through_) {
        if (handle_ == nullptr && error_ == 0) error_ = ERROR_INVALID_HANDLE;  // not open
        if (handle_ != nullptr && !::CloseHandle(AsHandle(std::exchange(handle_, nullptr))) &&
            error_ == 0) {
            error_ = ::GetLastError();
        }
        if (error_ != 0) return SystemMessage(error_);
        return std::nullopt;
    }
    if (!temporaryExists_ && error_ == 0) error_ = ERROR_INVALID_HANDLE;  // not open
    if (error_ == 0 && !::FlushFileBuffers(AsHandle(handle_))) error_ = ::GetLastError();
    if (error_ == 0 && !::CloseHandle(AsHandle(std::exchange(handle_, nullptr)))) {
        error_ = ::GetLastError();
    }
    const std::wstring target = Wide(target_, error_);
    // A folder made at the path while the content was written is not replaced. (No device or
    // pipe can be made in a folder here, and a link put there is replaced, not followed.)
    const DWORD now = error_ == 0 ? ::GetFileAttributesW(target.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (checkBeforeRename_ && now != INVALID_FILE_ATTRIBUTES &&
        (now & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        refusal_ = "the file changed while it was being written";
        Abandon();
        return refusal_;
    }
    const std::wstring temporary = Wide(temporary_, error_);
    if (error_ == 0 && !::MoveFileExW(temporary.c_str(), target.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error_ = ::GetLastError();
    }
    if (error_ != 0) {
        const DWORD code = error_;
        Abandon();
        return SystemMessage(code);
    }
    temporaryExists_ = false;
    return std::nullopt;
}

void WholeFileWriter::Abandon() {
    if (handle_ != nullptr) ::CloseHandle(AsHandle(std::exchange(handle_, nullptr)));
    if (std::exchange(temporaryExists_, false)) {
        if (const std::optional<std::wstring> wide = WideFromUtf8(temporary_)) {
            ::DeleteFileW(wide->c_str());
        }
    }
}

int RemoveStaleTemporaryFiles(const std::string& path) {
    const auto [folder, name] = SplitPath(path);
    const std::optional<std::wstring> pattern = WideFromUtf8(folder + name + ".tmp-*");
    if (!pattern) return 0;
    WIN32_FIND_DATAW item{};
    const HANDLE listing = ::FindFirstFileW(pattern->c_str(), &item);
    if (listing == INVALID_HANDLE_VALUE) return 0;
    int removed = 0;
    do {
        const std::string file = Utf8FromWide(item.cFileName);
        const std::optional<long long> writer = TemporaryFileWriter(file, name);
        if (!writer) continue;
        // A process that still runs may be writing it right now; ours cannot be, at start-up.
        if (*writer != ::GetCurrentProcessId() && ProcessRuns(*writer)) continue;
        const DWORD notAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if ((item.dwFileAttributes & notAFile) != 0) continue;
        // Not one another machine sharing the folder may be writing (its process ids mean
        // nothing here); whose files may go is the folder's permissions' business.
        if (AgeOf(item.ftLastWriteTime) < kStaleAfter) continue;
        const std::optional<std::wstring> wide = WideFromUtf8(folder + file);
        if (wide && ::DeleteFileW(wide->c_str())) ++removed;
    } while (::FindNextFileW(listing, &item));
    ::FindClose(listing);
    return removed;
}

}  // namespace orvale
