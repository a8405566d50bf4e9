// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

namespace orvale {

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit on nested symbolic links
constexpr const char* kTemporarySuffix = ".tmp-";

QString SystemText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// A write past the file-size limit raises SIGXFSZ, whose default action ends the program; with
// the signal ignored the write fails with EFBIG ("File too large") and is reported instead.
void IgnoreFileSizeSignal() {
    struct sigaction current {};
    if (sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        std::signal(SIGXFSZ, SIG_IGN);
    }
}

// The file a link at path finally names (path itself when it is no link). A dangling link names
// the file it would create.
QString FollowLinks(const QString& path) {
    QString current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymLink()) return current;
        current = info.symLinkTarget();
    }
    return current;  // a loop: the rename below reports it
}

// Writes all of the bytes to fd; the errno of the first failure, 0 when everything was written.
int WriteAll(int fd, const char* data, std::size_t left) {
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

// Syncs the folder that holds path, so that the rename itself survives a power cut. Folders that
// cannot be synced (some file systems refuse) are no reason to report the write as failed: the
// new file is in place by then.
void SyncFolderOf(const QByteArray& path) {
    const QByteArray folder = QFileInfo(QString::fromLocal8Bit(path)).absolutePath().toLocal8Bit();
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

QString TemporaryFileFor(const QString& path) {
    return path + QString::fromLatin1(kTemporarySuffix) + QString::number(::getpid());
}

WholeFileWriter::WholeFileWriter(QString path, LinkAtPath link) {
    const QString targetPath = link == LinkAtPath::WriteThrough ? FollowLinks(path) : path;
    target_ = QFile::encodeName(targetPath);
    temporary_ = QFile::encodeName(TemporaryFileFor(targetPath));
}

WholeFileWriter::~WholeFileWriter() {
    Abandon();
}

std::optional<QString> WholeFileWriter::Open() {
    IgnoreFileSizeSignal();
    // The new file keeps the permissions of the regular file it replaces.
    struct stat old {};
    const bool replacesRegularFile =
        ::lstat(target_.constData(), &old) == 0 && S_ISREG(old.st_mode);
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    fd_ = ::open(temporary_.constData(), kFlags, 0666);
    if (fd_ < 0 && errno == EEXIST) {  // left by an earlier process with this id
        ::unlink(temporary_.constData());
        fd_ = ::open(temporary_.constData(), kFlags, 0666);
    }
    if (fd_ < 0) {
        error_ = errno;
        return SystemText(error_);
    }
    temporaryExists_ = true;
    if (replacesRegularFile && ::fchmod(fd_, old.st_mode & 07777) != 0) {
        error_ = errno;
        Abandon();
        return SystemText(error_);
    }
    return std::nullopt;
}

bool WholeFileWriter::Write(std::string_view text) {
    if (fd_ < 0 || error_ != 0) return false;
    error_ = WriteAll(fd_, text.data(), text.size());
    return error_ == 0;
}

std::optional<QString> WholeFileWriter::Commit() {
    if (!temporaryExists_ && error_ == 0) error_ = EBADF;  // never opened, or already committed
    if (error_ == 0 && ::fdatasync(fd_) != 0) error_ = errno;
    if (error_ == 0) {
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0) error_ = errno;
    }
    if (error_ == 0 && ::rename(temporary_.constData(), target_.constData()) != 0) error_ = errno;
    if (error_ != 0) {
        const int code = error_;
        Abandon();
        return SystemText(code);
    }
    temporaryExists_ = false;
    SyncFolderOf(target_);
    return std::nullopt;
}

void WholeFileWriter::Abandon() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (std::exchange(temporaryExists_, false)) ::unlink(temporary_.constData());
}

std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& content,
                                      LinkAtPath link) {
    WholeFileWriter writer(path, link);
    if (std::optional<QString> reason = writer.Open()) return reason;
    writer.Write(std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
    return writer.Commit();
}

int RemoveStaleTemporaryFiles(const QString& path) {
    const QFileInfo info(path);
    const QString prefix = info.fileName() + QString::fromLatin1(kTemporarySuffix);
    QDir folder = info.absoluteDir();
    int removed = 0;
    const QStringList candidates =
        folder.entryList({prefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : candidates) {
        bool isNumber = false;
        const qint64 owner = name.mid(prefix.size()).toLongLong(&isNumber);
        if (!isNumber || owner <= 0) continue;
        // A process that still runs may be writing it right now; ours cannot be, at start-up.
        const bool ownerRuns =
            owner != ::getpid() && (::kill(static_cast<pid_t>(owner), 0) == 0 || errno == EPERM);
        if (ownerRuns) continue;
        const QByteArray file = QFile::encodeName(folder.filePath(name));
        struct stat entry {};
        if (::lstat(file.constData(), &entry) != 0 || !S_ISREG(entry.st_mode)) continue;
        if (::unlink(file.constData()) == 0) ++removed;
    }
    return removed;
}

}  // namespace orvale
