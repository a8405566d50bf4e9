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
#include <ctime>

namespace orvale {

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit on nested symbolic links
constexpr const char* kTemporarySuffix = ".tmp-";
constexpr time_t kStaleAfterSeconds = 60;  // a temporary file this old is no write in progress

// The process's file-creation mask (umask can only be read by setting it).
mode_t CurrentUmask() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

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
std::optional<QString> FollowLinks(const QString& path) {
    QString current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymLink()) return current;
        current = info.symLinkTarget();
    }
    return std::nullopt;  // a loop of links
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

std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& content,
                                      LinkAtPath link) {
    IgnoreFileSizeSignal();
    const std::optional<QString> followed =
        link == LinkAtPath::WriteThrough ? FollowLinks(path) : path;
    if (!followed) return SystemText(ELOOP);
    const QString& targetPath = *followed;
    const QByteArray target = QFile::encodeName(targetPath);
    // "<name>.tmp-<process id>-XXXXXX": unguessable, and the process id tells at the next start
    // whether the writer still runs.
    QByteArray temporary = QFile::encodeName(targetPath) + kTemporarySuffix +
                           QByteArray::number(::getpid()) + "-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return SystemText(errno);
    Descriptor file(fd);
    const auto fail = [&](int code) -> std::optional<QString> {
        ::unlink(temporary.constData());
        return SystemText(code);
    };

    // The new file gets the permission bits of the regular file it replaces (never the set-id
    // bits), or those of a new file; when root replaces another user's file, that user keeps it.
    struct stat old {};
    const bool replacesRegularFile = ::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);
    mode_t mode = 0666 & ~CurrentUmask();
    if (replacesRegularFile) mode = old.st_mode & 0777;
    // File systems without Unix permissions (a portable copy on a memory stick) refuse: no harm.
    if (::fchmod(file.get(), mode) != 0 && errno != EPERM && errno != ENOTSUP) return fail(errno);
    if (replacesRegularFile && ::geteuid() == 0 && (old.st_uid != 0 || old.st_gid != 0)) {
        if (::fchown(file.get(), old.st_uid, old.st_gid) != 0 && errno != EPERM) return fail(errno);
    }
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
    const time_t now = ::time(nullptr);
    for (const QString& name : candidates) {
        const QString rest = name.mid(prefix.size());
        const qsizetype dash = rest.indexOf(u'-');
        bool isNumber = false;
        const qint64 writer = rest.left(dash).toLongLong(&isNumber);
        if (dash < 0 || rest.size() - dash - 1 != 6 || !isNumber || writer <= 0) continue;
        // A process that still runs may be writing it right now; ours cannot be, at start-up.
        const bool writerRuns =
            writer != ::getpid() && (::kill(static_cast<pid_t>(writer), 0) == 0 || errno == EPERM);
        if (writerRuns) continue;
        const QByteArray file = QFile::encodeName(folder.filePath(name));
        struct stat entry {};
        if (::lstat(file.constData(), &entry) != 0 || !S_ISREG(entry.st_mode)) continue;
        // Only this user's own, and not one another machine sharing the folder may be writing
        // (its process ids mean nothing here): a write takes well under a minute.
        if (entry.st_uid != ::geteuid() || now - entry.st_mtime < kStaleAfterSeconds) continue;
        if (::unlink(file.constData()) == 0) ++removed;
    }
    return removed;
}

}  // namespace orvale
