// Writing a whole file so that a failure never destroys the previous one: the content goes to a
// temporary file beside it, which replaces the old file only when everything was written.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace orvale {

// The system's reason when the file could not be written; the old file is then untouched.
std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& content);

}  // namespace orvale
