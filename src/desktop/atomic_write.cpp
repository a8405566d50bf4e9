#include "desktop/atomic_write.h"

#include <QSaveFile>

namespace orvale {

std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    const qint64 written = file.write(content);
    // A short write (disk full, file-size limit) can pass unreported through the buffered
    // device; the size of the temporary file tells the truth before it replaces the old one.
    if (written != content.size() || !file.flush() || file.size() != content.size()) {
        const qint64 stored = file.size();
        file.cancelWriting();
        return QStringLiteral("only %1 of %2 bytes could be written (is the disk full?)")
            .arg(stored)
            .arg(content.size());
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

}  // namespace orvale
