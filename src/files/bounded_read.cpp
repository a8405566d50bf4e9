// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an outside file boundedly: see bounded_read.h.
#include "files/bounded_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace orvale {

std::optional<QByteArray> ReadBoundedRegularFile(const QString& path, qint64 maxBytes,
                                                 QString& error) {
    const auto refuse = [&](const struct stat& info) -> std::optional<QString> {
        if (S_ISDIR(info.st_mode)) return QStringLiteral("it is a folder, not a file");
        if (!S_ISREG(info.st_mode)) {
            return QStringLiteral("it is not a regular file (a device, pipe or socket)");
        }
        return std::nullopt;
    };
    // Opening a device can do something (rewind a tape, arm a watchdog): what is no regular file
    // is refused before it is opened.
    const QByteArray name = QFile::encodeName(path);
    struct stat before {};
    if (::stat(name.constData(), &before) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    if (const std::optional<QString> reason = refuse(before)) {
        error = *reason;
        return std::nullopt;
    }
    // Non-blocking, so that a FIFO swapped in meanwhile cannot stop the program before any window
    // shows; the file opened must be the one examined.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    const auto fail = [&](const QString& reason) -> std::optional<QByteArray> {
        ::close(fd);
        error = reason;
        return std::nullopt;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (const std::optional<QString> reason = refuse(info)) return fail(*reason);
    if (info.st_dev != before.st_dev || info.st_ino != before.st_ino) {
        return fail(QStringLiteral("the file changed while it was being opened"));
    }
    const QString tooLarge = QStringLiteral("the file is larger than %1 KiB").arg(maxBytes / 1024);
    if (info.st_size > maxBytes) return fail(tooLarge);
    QByteArray content;
    content.resize(static_cast<qsizetype>(maxBytes) + 1);  // one more byte tells a grown file
    qsizetype size = 0;
    while (size < content.size()) {
        const ssize_t got =
            ::read(fd, content.data() + size, static_cast<size_t>(content.size() - size));
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
        }
        if (got == 0) break;
        size += got;
    }
    if (size > maxBytes) return fail(tooLarge);
    ::close(fd);
    content.truncate(size);
    return content;
}

}  // namespace orvale
