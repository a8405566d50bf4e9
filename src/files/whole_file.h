// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a whole file so that a failure never destroys the previous one: the content goes to a
// temporary file beside it, which is flushed to disk and then renamed over the old file; the
// folder is synced after the rename, so that a power cut leaves the old file or the new, never
// none. Every place that writes a file the user chose goes through it. POSIX in whole_file.cpp;
// on Windows whole_file_win32.cpp does the same with FlushFileBuffers and MoveFileExW.
//
// What a destination may be: a regular file, or none, is replaced whole; a FIFO or a character
// device (a pipe, /dev/stdout, a terminal, /dev/null; on Windows a named pipe, NUL, CON, COM1)
// is written through, since replacing it would put a regular file in its place; a folder, a
// socket or a block device is refused.
//
// Paths are the system's bytes (UTF-8 on today's systems, but any name the system holds works;
// on Windows UTF-8, turned into the system's UTF-16); reasons are the system's own words, as
// strerror (on Windows FormatMessage) gives them.
#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace orvale {

// What happens when the path names a symbolic link (on Windows any reparse point the system
// follows when it opens the path).
enum class LinkAtPath {
    // The file the link points to is replaced (a path the user chose in a save dialog).
    WriteThrough,
    // The link itself is replaced by a regular file and its target is left untouched (the
    // program's own files in a folder others may be able to write).
    Replace,
};

// What Open does when the destination is a FIFO that no program has open for reading yet.
enum class PipeReader {
    // Refuse it at once ("no program is reading from it"): a window must not freeze.
    Required,
    // Wait for a reader, as a shell's redirection does, until the stop token asks to stop.
    AwaitIt,
};

// Writes content as the whole file at path. On failure returns the system's own words for the
// step that failed ("No space left on device", "File too large", "Input/output error", ...); the
// old file is then untouched and no temporary file is left behind. A file-size limit makes the
// write fail instead of ending the program.
std::optional<std::string> WriteWholeFile(const std::string& path, std::string_view content,
                                          LinkAtPath link = LinkAtPath::WriteThrough,
                                          PipeReader reader = PipeReader::Required);

// The same write for content that comes in pieces (a batch of rows): each piece goes to the
// temporary file as it comes, and only Commit puts the file in place. A writer destroyed, or
// Abandoned, before a successful Commit removes its temporary file and leaves the old one as it
// was. One thread at a time.
class WholeFileWriter {
  public:
    explicit WholeFileWriter(const std::string& path, LinkAtPath link = LinkAtPath::WriteThrough);
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    // Creates the temporary file, or opens a FIFO or device to write through; the reason when it
    // cannot be done or the destination is refused. The stop token also ends a wait of Write
    // for room in a FIFO whose reader has stopped reading (the write then fails).
    // On Windows it ends only the wait for a named pipe's server: a write into a full pipe blocks.
    std::optional<std::string> Open(PipeReader reader = PipeReader::Required,
                                    std::stop_token stop = {});
    // Appends text; false once this or an earlier write failed (Commit then says why).
    bool Write(std::string_view text);
    // Flushes the temporary file to disk and renames it over the file at path; closes a FIFO or
    // device written through.
    std::optional<std::string> Commit();
    // Removes the temporary file; what was written through to a FIFO or device cannot be taken
    // back.
    void Abandon();

  private:
    std::optional<std::string> OpenTemporary();
    std::optional<std::string> OpenThrough(PipeReader reader, const std::stop_token& stop);

    std::string target_;
    std::string temporary_;
#ifdef _WIN32
    void* handle_ = nullptr;   // HANDLE of the temporary file or the device; null when none
    unsigned long error_ = 0;  // GetLastError() of the first failed step
#else
    int fd_ = -1;
    int error_ = 0;  // errno of the first failed step
#endif
    bool temporaryExists_ = false;    // made by Open, not yet renamed or removed
    bool through_ = false;            // the destination is a FIFO or device, written in place
    bool checkBeforeRename_ = false;  // a path the user chose: only a regular file is replaced
    std::string refusal_;             // why the destination itself is refused, when it is
    std::stop_token stop_;            // a FIFO written through: ends a wait for room in it
};

// Removes the temporary files of path ("<path>.tmp-<process id>-XXXXXX") that WriteWholeFile left
// behind in processes that no longer run (a program killed between writing and renaming): only
// the user's own, and only those older than a minute, in case another machine sharing the folder
// is writing one. Returns how many were removed.
int RemoveStaleTemporaryFiles(const std::string& path);

}  // namespace orvale
