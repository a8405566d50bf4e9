// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/whole_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <thread>
#include <utility>

namespace orvale {

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit on nested symbolic links
constexpr const char* kTemporarySuffix = ".tmp-";
constexpr time_t kStaleAfterSeconds = 60;  // a temporary file this old is no write in progress
// How often a writer waiting for a FIFO's reader, or for room in it, looks again, and so how soon
// it sees a stop.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

// The process's file-creation mask (umask can only be read by setting it).
mode_t CurrentUmask() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

QString SystemText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// A signal whose default action ends the program is ignored, so that the write it comes with fails
// and is reported instead; a handler the program set itself is left alone.
void IgnoreSignalWithDefaultAction(int signal) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        std::signal(signal, SIG_IGN);
    }
}

// Why a destination that is neither a regular file, a FIFO nor a character device is refused.
QString DestinationRefusal(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("it is a folder, not a file");
    if (S_ISSOCK(mode)) return QStringLiteral("it is a socket, not a file");
    if (S_ISBLK(mode)) return QStringLiteral("it is a block device, not a file");
    return QStringLiteral("it is not a regular file");
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

// Writes size bytes to fd; the errno of the first failure, 0 when everything was written. A
// FIFO kept non-blocking is waited on for room in short steps, so that a stop request ends a wait
// for a reader that has stopped reading (ECANCELED).
int WriteAll(int fd, const char* data, std::size_t size, const std::stop_token& stop) {
    std::size_t left = size;
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return errno;
            if (stop.stop_requested()) return ECANCELED;
            pollfd room{fd, POLLOUT, 0};
            const auto step = std::chrono::duration_cast<std::chrono::milliseconds>(kPollInterval);
            if (::poll(&room, 1, static_cast<int>(step.count())) < 0 && errno != EINTR) {
                return errno;
            }
            continue;
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

WholeFileWriter::WholeFileWriter(QString path, LinkAtPath link) {
    if (link == LinkAtPath::WriteThrough) {
        // Asked of the path itself, links followed by the system: "/dev/stdout" names whatever
        // standard output is, a pipe among them.
        struct stat info {};
        const QByteArray name = QFile::encodeName(path);
        if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
            target_ = name;
            through_ = S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode);
            if (!through_) refusal_ = DestinationRefusal(info.st_mode);
            return;
        }
    }
    const std::optional<QString> followed =
        link == LinkAtPath::WriteThrough ? FollowLinks(path) : std::optional<QString>(path);
    if (!followed) {
        error_ = ELOOP;  // a loop of links: Open reports it
        return;
    }
    target_ = QFile::encodeName(*followed);
}

WholeFileWriter::~WholeFileWriter() {
    Abandon();
}

std::optional<QString> WholeFileWriter::Open(PipeReader reader, std::stop_token stop) {
    // Past the file-size limit SIGXFSZ would end the program: the write fails with EFBIG ("File
    // too large") instead.
    IgnoreSignalWithDefaultAction(SIGXFSZ);
    if (!refusal_.isEmpty()) return refusal_;
    if (error_ != 0) return SystemText(error_);
    return through_ ? OpenThrough(reader, stop) : OpenTemporary();
}

std::optional<QString> WholeFileWriter::OpenThrough(PipeReader reader,
                                                    const std::stop_token& stop) {
    // A reader that goes away would raise SIGPIPE and end the program: the write fails with
    // EPIPE ("Broken pipe") instead.
    IgnoreSignalWithDefaultAction(SIGPIPE);
    struct stat before {};
    if (::stat(target_.constData(), &before) != 0) return SystemText(error_ = errno);
    // Non-blocking, so that a FIFO without a reader answers at once (ENXIO) instead of holding
    // the thread; the writes after it block as usual.
    while ((fd_ = ::open(target_.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK)) < 0) {
        if (errno == EINTR) continue;
        if (errno != ENXIO || !S_ISFIFO(before.st_mode)) return SystemText(error_ = errno);
        if (reader == PipeReader::Required) {
            return refusal_ = QStringLiteral("it is a pipe that no program is reading from");
        }
        if (stop.stop_requested()) {
            return refusal_ = QStringLiteral("it is a pipe that no program read from");
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    struct stat opened {};
    // A FIFO stays non-blocking while a stop can be asked for, so that Write can wait for room
    // in steps; otherwise the writes block as usual.
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fstat(fd_, &opened) != 0) {
        error_ = errno;
    } else if (!(S_ISFIFO(opened.st_mode) && stop.stop_possible()) &&
               ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error_ = errno;
    } else if (!S_ISFIFO(opened.st_mode) && !S_ISCHR(opened.st_mode)) {
        // Swapped for another kind of file after it was examined: writing into a regular file
        // in place would mix the new content with the old.
        refusal_ = QStringLiteral("the file changed while it was being opened");
    }
    if (error_ == 0 && refusal_.isEmpty()) {
        stop_ = stop;
        return std::nullopt;
    }
    const QString reason = refusal_.isEmpty() ? SystemText(error_) : refusal_;
    ::close(std::exchange(fd_, -1));
    return reason;
}

std::optional<QString> WholeFileWriter::OpenTemporary() {
    // "<name>.tmp-<process id>-XXXXXX": unguessable, and the process id tells at the next start
    // whether the writer still runs.
    temporary_ = target_ + kTemporarySuffix + QByteArray::number(::getpid()) + "-XXXXXX";
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return SystemText(error_);
    }
    temporaryExists_ = true;
    // The new file gets the permission bits of the regular file it replaces (never the set-id
    // bits), or those of a new file; when root replaces another user's file, that user keeps it.
    struct stat old {};
    const bool replacesRegularFile =
        ::lstat(target_.constData(), &old) == 0 && S_ISREG(old.st_mode);
    const mode_t mode = replacesRegularFile ? (old.st_mode & 0777) : (0666 & ~CurrentUmask());
    // File systems without Unix permissions (a portable copy on a memory stick) refuse: no harm.
    if (::fchmod(fd_, mode) != 0 && errno != EPERM && errno != ENOTSUP) error_ = errno;
    if (error_ == 0 && replacesRegularFile && ::geteuid() == 0 &&
        (old.st_uid != 0 || old.st_gid != 0) && ::fchown(fd_, old.st_uid, old.st_gid) != 0 &&
        errno != EPERM) {
        error_ = errno;
    }
    if (error_ != 0) {
        const int code = error_;
        Abandon();
        return SystemText(code);
    }
    return std::nullopt;
}

bool WholeFileWriter::Write(std::string_view text) {
    if (fd_ < 0 || error_ != 0) return false;
    error_ = WriteAll(fd_, text.data(), text.size(), stop_);
    return error_ == 0;
}

std::optional<QString> WholeFileWriter::Commit() {
    if (!refusal_.isEmpty()) return refusal_;
    if (through_) {
        if (fd_ < 0 && error_ == 0) error_ = EBADF;  // never opened, or already committed
        if (fd_ >= 0 && ::close(std::exchange(fd_, -1)) != 0 && error_ == 0) error_ = errno;
        if (error_ != 0) return SystemText(error_);
        return std::nullopt;
    }
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
                                      LinkAtPath link, PipeReader reader) {
    WholeFileWriter writer(path, link);
    if (std::optional<QString> reason = writer.Open(reader)) return reason;
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
