// SPDX-License-Identifier: GPL-3.0-or-later
// The previous-data file: the remembered scores (batch/remembered_scores.h) in "orvale.txt".
// Written whole (WriteWholeFile) so that a failed write leaves the old file as it was.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "batch/remembered_scores.h"
#include "desktop/user_files.h"

namespace orvale {

// The file's line for these entries (RememberedScoresLine).
QString PreviousDataLine(const QStringList& entries);

// Replaces the file at path with PreviousDataLine(entries) followed by extensionItems (the grid
// and matrix items of configurations that enable them). A symbolic link at path is replaced by
// the new file, never written through. The error message when it failed.
std::optional<QString> SavePreviousData(const QString& path, const QStringList& entries,
                                        const QString& extensionItems = {});

// The most the reader takes from the file: the eight scores need a few hundred bytes, the grid
// and matrix items of configurations that enable them some tens of KiB.
inline constexpr qint64 kMaxDataFileSize = 512 * 1024;

// The file's numbers one after another (ReadFileNumber), from byte pos on.
class FileNumberReader {
  public:
    explicit FileNumberReader(QByteArray content, std::size_t pos = 0)
        : content_(std::move(content)), pos_(pos) {}
    // The next number; 0 past the end of the file; nullopt when the item is no number.
    std::optional<double> Next();

  private:
    QByteArray content_;
    std::size_t pos_ = 0;
};

struct LoadedData {
    bool fileFound = false;
    // The texts for the first fields, formatted "%1.6g"; when reading stopped at a malformed
    // number this holds the fields read before it.
    QStringList fields;
    std::optional<QString> error;  // "Invalid numeric input" or the file's own error
    bool complete() const { return fileFound && !error; }
};

// Reads the items that follow the scores, given the scores' values; the error message when an
// item cannot be used.
using FollowingItemsReader =
    std::function<std::optional<QString>(FileNumberReader& reader, const std::vector<double>&)>;

// Reads loadCount numbers from the file at path, then, when they all read, the following items
// with readFollowing. A missing file is no error; missing numbers read as 0. A UTF-8 byte-order
// mark at the start is skipped; a path that is not a regular file, or a file over
// kMaxDataFileSize, is reported and nothing is read.
LoadedData LoadPreviousData(const QString& path, int loadCount,
                            const FollowingItemsReader& readFollowing = {});

}  // namespace orvale
