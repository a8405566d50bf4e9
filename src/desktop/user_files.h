// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' face of src/files: the same whole-file write and bounded read with the names the
// dialogs give (QString, converted as QFile converts them) and the reasons as QString, so that
// the forms stay in Qt's types while the files library stays plain POSIX.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "desktop/core_text.h"
#include "files/bounded_read.h"
#include "files/whole_file.h"

namespace orvale {

inline std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& content,
                                             LinkAtPath link = LinkAtPath::WriteThrough,
                                             PipeReader reader = PipeReader::Required) {
    const std::optional<std::string> reason = WriteWholeFile(
        FileNameBytes(path),
        std::string_view(content.constData(), static_cast<std::size_t>(content.size())), link,
        reader);
    if (!reason) return std::nullopt;
    return QString::fromStdString(*reason);
}

inline std::optional<QByteArray> ReadBoundedRegularFile(const QString& path, qint64 maxBytes,
                                                        QString& error) {
    std::string reason;
    std::optional<std::string> content =
        ReadBoundedRegularFile(FileNameBytes(path), maxBytes, reason);
    if (!content) {
        error = QString::fromStdString(reason);
        return std::nullopt;
    }
    return QByteArray::fromStdString(*content);
}

inline int RemoveStaleTemporaryFiles(const QString& path) {
    return RemoveStaleTemporaryFiles(FileNameBytes(path));
}

}  // namespace orvale
