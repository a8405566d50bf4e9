// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a whole file so that a failure never destroys the previous one: the content goes to a
// temporary file beside it, which is flushed to disk and then renamed over the old file; the
// folder is synced after the rename, so that a power cut leaves the old file or the new, never
// none. Plain POSIX and QtCore: the desktop program and orvale-score both write through it.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace orvale {

// What happens when the path names a symbolic link.
enum class LinkAtPath {
    // The file the link points to is replaced (a path the user chose in a save dialog).
    WriteThrough,
    // The link itself is replaced by a regular file and its target is left untouched (the
    // program's own files in a folder others may be able to write).
    Replace,
};

// Writes content as the whole file at path. On failure returns the system's own words for the
// step that failed ("No space left on device", "File too large", "Input/output error", ...); the
// old file is then untouched and no temporary file is left behind. A file-size limit makes the
// write fail instead of ending the program.
std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& content,
                                      LinkAtPath link = LinkAtPath::WriteThrough);

// Removes the temporary files of path ("<path>.tmp-<process id>-XXXXXX") that WriteWholeFile left
// behind in processes that no longer run (a program killed between writing and renaming): only
// the user's own, and only those older than a minute, in case another machine sharing the folder
// is writing one. Returns how many were removed.
int RemoveStaleTemporaryFiles(const QString& path);

}  // namespace orvale
