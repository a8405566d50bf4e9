// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows writer's and reader's guarantees with the real faults (built for Windows only, run
// under wine by tests/win32/run_under_wine.sh, which makes the symbolic links on the Linux side
// and a small full file system, and afterwards checks the links):
//   whole_file_test FOLDER [FULL_FOLDER]
// Every row prints PASS, FAIL or SKIP with its name; the last line counts them.
#include "files/whole_file.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stop_token>
#include <string>
#include <thread>

#include "files/bounded_read.h"
#include "files/system_win32.h"
#include "report/iso_time.h"

namespace {

using namespace orvale;

const std::string kOld = "old content\n";
const std::string kNew = "new content\r\nsecond line\n";

std::wstring Wide(const std::string& path) {
    return WideFromUtf8(path).value();
}

bool Put(const std::string& path, const std::string& content) {
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool done =
        file != INVALID_HANDLE_VALUE &&
        ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
        written == content.size();
    ::CloseHandle(file);
    return done;
}

// The content of a file, "<missing>" when it cannot be opened.
std::string Get(const std::string& path) {
    std::string error;
    return ReadBoundedRegularFile(path, 1 << 24, error).value_or("<missing>");
}

// The names in a folder that are no "." or "..", one per line.
std::string Listing(const std::string& folder) {
    WIN32_FIND_DATAW item{};
    const HANDLE listing = ::FindFirstFileW(Wide(folder + "\\*").c_str(), &item);
    std::string names;
    if (listing == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = item.cFileName;
        if (name != L"." && name != L"..") names += Utf8FromWide(name) + "\n";
    } while (::FindNextFileW(listing, &item));
    ::FindClose(listing);
    return names;
}

// A row checks one guarantee in a folder of its own and returns what went wrong ("" when
// nothing; "SKIP: why" when the system here cannot make its case).
using Check = std::function<std::string(const std::string& folder)>;

std::string Expect(bool holds, const std::string& what) {
    return holds ? "" : what + "; ";
}

// The old file is kept and nothing is left beside it after a write that failed.
std::string ExpectKept(const std::string& folder, const std::string& file,
                       const std::optional<std::string>& message) {
    std::printf("    the write said: %s\n", message.value_or("(nothing)").c_str());
    return Expect(message.has_value(), "the write did not fail") +
           Expect(Get(folder + "\\" + file) == kOld, "the old file was not kept") +
           Expect(Listing(folder) == file + "\n", "left beside it: " + Listing(folder));
}

// A named pipe served by a thread of this program: what it read, once the writer is done.
std::string ThroughPipe(const std::string& name, const std::string& content, std::string& error) {
    const HANDLE server = ::CreateNamedPipeW(Wide(name).c_str(), PIPE_ACCESS_INBOUND,
                                             PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    std::string received;
    std::thread reader([&] {
        ::ConnectNamedPipe(server, nullptr);
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(server, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            received.append(buffer, got);
        }
    });
    error =
        WriteWholeFile(name, content, LinkAtPath::WriteThrough, PipeReader::AwaitIt).value_or("");
    reader.join();
    ::CloseHandle(server);
    return received;
}

std::string IsoTimeIn(const char* zone, std::time_t seconds) {
    _putenv_s("TZ", zone);
    _tzset();
    return IsoTimeWithOffset(std::chrono::system_clock::from_time_t(seconds));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: whole_file_test FOLDER [FULL_FOLDER]\n");
        return 2;
    }
    const std::string root = argv[1];
    const std::string full = argc > 2 ? argv[2] : "";
    const std::string pipe = "\\\\.\\pipe\\orvale-test-" + std::to_string(::GetCurrentProcessId());
    const std::string bigContent(200000, 'x');  // more than a pipe's buffer, more than FULL holds
    const struct {
        const char* name;
        Check check;
    } rows[] = {
        {"an existing file is replaced whole",
         [&](const std::string& folder) {
             Put(folder + "\\out.txt", kOld);
             const auto message = WriteWholeFile(folder + "\\out.txt", kNew);
             return Expect(!message, "failed: " + message.value_or("")) +
                    Expect(Get(folder + "\\out.txt") == kNew, "not replaced") +
                    Expect(Listing(folder) == "out.txt\n", "left beside it: " + Listing(folder));
         }},
        {"a UTF-8 name is the system's wide name",
         [&](const std::string& folder) {
             const auto message =
                 WriteWholeFile(folder + "\\r\xc3\xa9sum\xc3\xa9 \xe2\x82\xac.txt", kNew);
             const bool found =
                 ::GetFileAttributesW((Wide(folder) + L"\\r\u00e9sum\u00e9 \u20ac.txt").c_str()) !=
                 INVALID_FILE_ATTRIBUTES;
             return Expect(!message && found, "not written under its name");
         }},
        {"a destination held open by another program keeps the old file",
         [&](const std::string& folder) {
             Put(folder + "\\out.txt", kOld);
             const HANDLE held = ::CreateFileW(Wide(folder + "\\out.txt").c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, 0, nullptr);
             const auto message = WriteWholeFile(folder + "\\out.txt", kNew);
             ::CloseHandle(held);
             return ExpectKept(folder, "out.txt", message);
         }},
        {"a temporary name too long for the folder keeps the old file",
         [&](const std::string& folder) {
             const std::string name(245, 'n');  // the file fits in 255 characters, "*.tmp-*" not
             Put(folder + "\\" + name, kOld);
             return ExpectKept(folder, name, WriteWholeFile(folder + "\\" + name, kNew));
         }},
        {"a full disk keeps the old file",
         [&](const std::string&) -> std::string {
             if (full.empty()) return "SKIP: no small file system to fill was given";
             Put(full + "\\out.txt", kOld);
             return ExpectKept(full, "out.txt", WriteWholeFile(full + "\\out.txt", bigContent));
         }},
        {"a folder is refused and stays",
         [&](const std::string& folder) {
             ::CreateDirectoryW(Wide(folder + "\\out").c_str(), nullptr);
             const auto message = WriteWholeFile(folder + "\\out", kNew);
             return Expect(message == "it is a folder, not a file",
                           "said " + message.value_or("")) +
                    Expect(::GetFileAttributesW(Wide(folder + "\\out").c_str()) &
                               FILE_ATTRIBUTE_DIRECTORY,
                           "no folder");
         }},
        {"the device NUL is written through, nothing made beside it",
         [&](const std::string& folder) {
             const auto bare = WriteWholeFile("NUL", kNew);
             const auto inFolder = WriteWholeFile(folder + "\\nul", kNew);
             return Expect(!bare && !inFolder, "failed: " + bare.value_or(inFolder.value_or(""))) +
                    Expect(Listing(folder).empty(), "left in the folder: " + Listing(folder));
         }},
        {"a named pipe is written through to its reader",
         [&](const std::string& folder) {
             std::string error;
             const std::string received = ThroughPipe(pipe, bigContent, error);
             return Expect(error.empty(), "failed: " + error) +
                    Expect(received == bigContent,
                           "the reader got " + std::to_string(received.size()) + " bytes") +
                    Expect(Listing(folder).empty(), "left in the folder: " + Listing(folder));
         }},
        {"a named pipe without a reader is refused, or waited for until a stop",
         [&](const std::string&) {
             std::stop_source stop;
             stop.request_stop();
             WholeFileWriter waiting(pipe);
             const auto refused = WriteWholeFile(pipe, kNew);
             const auto stopped = waiting.Open(PipeReader::AwaitIt, stop.get_token());
             return Expect(refused == "it is a pipe that no program is reading from",
                           "said " + refused.value_or("")) +
                    Expect(stopped == "it is a pipe that no program read from",
                           "said " + stopped.value_or(""));
         }},
        {"a link's target is replaced, the link kept (checked by the script)",
         [&](const std::string&) -> std::string {
             if (Get(root + "\\links\\target-through.txt") != kOld) return "SKIP: no links made";
             const auto message = WriteWholeFile(root + "\\links\\link-through", kNew);
             return Expect(!message, "failed: " + message.value_or("")) +
                    Expect(Get(root + "\\links\\target-through.txt") == kNew,
                           "target not replaced");
         }},
        {"with LinkAtPath::Replace the link is replaced (checked by the script)",
         [&](const std::string&) -> std::string {
             if (Get(root + "\\links\\target-replace.txt") != kOld) return "SKIP: no links made";
             const auto message =
                 WriteWholeFile(root + "\\links\\link-replace", kNew, LinkAtPath::Replace);
             return Expect(!message, "failed: " + message.value_or("")) +
                    Expect(Get(root + "\\links\\target-replace.txt") == kOld, "target written") +
                    Expect(Get(root + "\\links\\link-replace") == kNew, "link not replaced");
         }},
        {"a symbolic link the system makes",
         [&](const std::string& folder) -> std::string {
             Put(folder + "\\target.txt", kOld);
             const std::wstring link = Wide(folder + "\\link.txt");
             ::CreateSymbolicLinkW(link.c_str(), L"target.txt", 0x2 /* unprivileged */);
             const DWORD attributes = ::GetFileAttributesW(link.c_str());
             if (attributes == INVALID_FILE_ATTRIBUTES ||
                 (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
                 return "SKIP: the system made no symbolic link";
             }
             const auto message = WriteWholeFile(folder + "\\link.txt", kNew);
             return Expect(!message && Get(folder + "\\target.txt") == kNew,
                           "target not replaced") +
                    Expect(::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT,
                           "the link is gone");
         }},
        {"a bounded read takes a file and refuses the rest",
         [&](const std::string& folder) {
             Put(folder + "\\case.txt", kNew);
             Put(folder + "\\large.txt", std::string(2048, 'x'));
             ::CreateDirectoryW(Wide(folder + "\\sub").c_str(), nullptr);
             const auto read = [](const std::string& path) {
                 std::string error;
                 return ReadBoundedRegularFile(path, 1024, error).value_or("refused: " + error);
             };
             const std::string notRegular =
                 "refused: it is not a regular file (a device, pipe or socket)";
             return Expect(read(folder + "\\case.txt") == kNew, "file") +
                    Expect(read(folder + "\\large.txt") == "refused: the file is larger than 1 KiB",
                           "large: " + read(folder + "\\large.txt")) +
                    Expect(read(folder + "\\sub") == "refused: it is a folder, not a file",
                           "folder") +
                    Expect(read("NUL") == notRegular, "NUL: " + read("NUL")) +
                    Expect(read(pipe) == notRegular, "pipe: " + read(pipe));
         }},
        {"removes the stale temporary files of a process that has ended",
         [&](const std::string& folder) {
             const std::string stale = folder + "\\data.txt.tmp-4000000000-abcdef";
             Put(stale, kOld);
             Put(folder + "\\data.txt.tmp-4000000000-ghijkl", kOld);  // just written
             Put(folder + "\\data.txt.tmp-4000000000-abc", kOld);     // not one of its names
             const HANDLE file = ::CreateFileW(Wide(stale).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                               nullptr, OPEN_EXISTING, 0, nullptr);
             FILETIME now{};
             ::GetSystemTimeAsFileTime(&now);
             ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
             ticks.QuadPart -= 120ull * 10'000'000;  // two minutes ago, in 100 ns
             const FILETIME old{ticks.LowPart, ticks.HighPart};
             ::SetFileTime(file, nullptr, nullptr, &old);
             ::CloseHandle(file);
             const int removed = RemoveStaleTemporaryFiles(folder + "\\data.txt");
             return Expect(removed == 1, std::to_string(removed) + " removed") +
                    Expect(Listing(folder) ==
                               "data.txt.tmp-4000000000-abc\ndata.txt.tmp-4000000000-ghijkl\n",
                           "left: " + Listing(folder));
         }},
        {"times carry the zone's offset, summer time included",
         [&](const std::string&) {
             // 2021-01-15 and 2021-07-01, 12:00 UTC; the zones in the C library's TZ form.
             const std::time_t winter = 1610712000, summer = 1625140800;
             return Expect(IsoTimeIn("UTC0", winter) == "2021-01-15T12:00:00Z", "UTC") +
                    Expect(IsoTimeIn("IST-5:30", winter) == "2021-01-15T17:30:00+05:30", "IST") +
                    Expect(IsoTimeIn("BRT+3", summer) == "2021-07-01T09:00:00-03:00", "BRT") +
                    Expect(IsoTimeIn("CET-1CEST", winter) == "2021-01-15T13:00:00+01:00", "CET") +
                    Expect(IsoTimeIn("CET-1CEST", summer) == "2021-07-01T14:00:00+02:00",
                           "CEST: " + IsoTimeIn("CET-1CEST", summer));
         }},
    };
    int passed = 0, failed = 0, skipped = 0, number = 0;
    for (const auto& row : rows) {
        const std::string folder = root + "\\row" + std::to_string(++number);
        ::CreateDirectoryW(Wide(folder).c_str(), nullptr);
        const std::string problem = row.check(folder);
        const bool skip = problem.starts_with("SKIP: ");
        std::printf("%s %s%s%s\n",
                    problem.empty() ? "PASS"
                    : skip          ? "SKIP"
                                    : "FAIL",
                    row.name, problem.empty() ? "" : ": ", problem.c_str() + (skip ? 6 : 0));
        (problem.empty() ? passed : skip ? skipped : failed) += 1;
    }
    std::printf("%d passed, %d failed, %d skipped\n", passed, failed, skipped);
    return failed == 0 ? 0 : 1;
}
