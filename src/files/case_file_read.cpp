// SPDX-License-Identifier: GPL-3.0-or-later
// A case file read from its path: see case_file_read.h.
#include "files/case_file_read.h"

#include <QFile>

#include "files/bounded_read.h"

namespace orvale {

CaseReading ReadCaseFile(const std::string& path) {
    QString reason;
    const std::optional<QByteArray> content = ReadBoundedRegularFile(
        QFile::decodeName(QByteArray::fromStdString(path)), kMaxCaseFileSize, reason);
    CaseReading reading;
    if (content) {
        reading = ParseCaseFile(
            std::string_view(content->constData(), static_cast<std::size_t>(content->size())));
    } else {
        reading.error = reason.toStdString();
    }
    if (!reading.values) {
        reading.error = "The case could not be opened from " + path + ": " + reading.error;
    }
    return reading;
}

}  // namespace orvale
