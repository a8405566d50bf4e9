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

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and returns close's errno (0 when it succeeded).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

// Writes all of content to fd; the errno of the first failure, 0 when everything was written.
int WriteAll(int fd, const QByteArray& content) {
    const char* data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += written;
        left -= written;
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

std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& content,
                                      LinkAtPath link) {
    IgnoreFileSizeSignal();
    const QString targetPath = link == LinkAtPath::WriteThrough ? FollowLinks(path) : path;
    const QByteArray target = QFile::encodeName(targetPath);
    const QByteArray temporary = QFile::encodeName(TemporaryFileFor(targetPath));

    // The new file keeps the permissions of the regular file it replaces.
    struct stat old {};
    const bool replacesRegularFile = ::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(temporary.constData(), kFlags, 0666);
    if (fd < 0 && errno == EEXIST) {  // left by an earlier process with this id
        ::unlink(temporary.constData());
        fd = ::open(temporary.constData(), kFlags, 0666);
    }
    if (fd < 0) return SystemText(errno);
    Descriptor file(fd);
    const auto fail = [&](int code) -> std::optional<QString> {
        ::unlink(temporary.constData());
        return SystemText(code);
    };
    if (replacesRegularFile && ::fchmod(file.get(), old.st_mode & 07777) != 0) return fail(errno);
    if (const int code = WriteAll(file.get(), content)) return fail(code);
    if (::fdatasync(file.get()) != 0) return fail(errno);
    if (const int code = file.Close()) return fail(code);
    if (::rename(temporary.constData(), target.constData()) != 0) return fail(errno);
    SyncFolderOf(target);
    return std::nullopt;
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
