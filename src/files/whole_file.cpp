// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/whole_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <thread>
#include <utility>

#include "files/temporary_name.h"

namespace orvale {

namespace {

constexpr int kMaxLinkHops = 40;           // as the kernel's own limit on nested symbolic links
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

std::string SystemText(int code) {
    return std::strerror(code);
}

// The folder part of a path, as the system resolves it: "." for a bare name, "/" for a name at
// the root.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    const std::size_t end = path.find_last_not_of('/', slash);
    return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

// The name part of a path (after the last '/').
std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
std::string DestinationRefusal(mode_t mode) {
    if (S_ISDIR(mode)) return "it is a folder, not a file";
    if (S_ISSOCK(mode)) return "it is a socket, not a file";
    if (S_ISBLK(mode)) return "it is a block device, not a file";
    return "it is not a regular file";
}

// The file a link at path finally names (path itself when it is no link). A dangling link names
// the file it would create.
std::optional<std::string> FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1,
                           '\0');
        ssize_t size = 0;
        // A link can change between the two calls: a target that fills the buffer is read again.
        while ((size = ::readlink(current.c_str(), target.data(), target.size())) >= 0 &&
               static_cast<std::size_t>(size) == target.size()) {
            target.resize(2 * target.size());
        }
        if (size < 0) return current;
        target.resize(static_cast<std::size_t>(size));
        // A relative target is relative to the folder that holds the link.
        current = target.starts_with('/') ? target : FolderOf(current) + '/' + target;
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
void SyncFolderOf(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

WholeFileWriter::WholeFileWriter(const std::string& path, LinkAtPath link) {
    if (link == LinkAtPath::WriteThrough) {
        // Asked of the path itself, links followed by the system: "/dev/stdout" names whatever
        // standard output is, a pipe among them.
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            target_ = path;
            through_ = S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode);
            if (!through_) refusal_ = DestinationRefusal(info.st_mode);
            return;
        }
    }
    const std::optional<std::string> followed =
        link == LinkAtPath::WriteThrough ? FollowLinks(path) : std::optional<std::string>(path);
    if (!followed) {
        error_ = ELOOP;  // a loop of links: Open reports it
        return;
    }
    target_ = *followed;
    checkBeforeRename_ = link == LinkAtPath::WriteThrough;
}

WholeFileWriter::~WholeFileWriter() {
    Abandon();
}

std::optional<std::string> WholeFileWriter::Open(PipeReader reader, std::stop_token stop) {
    // Past the file-size limit SIGXFSZ would end the program: the write fails with EFBIG ("File
    // too large") instead.
    IgnoreSignalWithDefaultAction(SIGXFSZ);
    if (!refusal_.empty()) return refusal_;
    if (error_ != 0) return SystemText(error_);
    return through_ ? OpenThrough(reader, stop) : OpenTemporary();
}

std::optional<std::string> WholeFileWriter::OpenThrough(PipeReader reader,
                                                        const std::stop_token& stop) {
    // A reader that goes away would raise SIGPIPE and end the program: the write fails with
    // EPIPE ("Broken pipe") instead.
    IgnoreSignalWithDefaultAction(SIGPIPE);
    struct stat before {};
    if (::stat(target_.c_str(), &before) != 0) return SystemText(error_ = errno);
    // Non-blocking, so that a FIFO without a reader answers at once (ENXIO) instead of holding
    // the thread; the writes after it block as usual.
    while ((fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK)) < 0) {
        if (errno == EINTR) continue;
        if (errno != ENXIO || !S_ISFIFO(before.st_mode)) return SystemText(error_ = errno);
        if (reader == PipeReader::Required) {
            return refusal_ = "it is a pipe that no program is reading from";
        }
        if (stop.stop_requested()) {
            return refusal_ = "it is a pipe that no program read from";
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
        refusal_ = "the file changed while it was being opened";
    }
    if (error_ == 0 && refusal_.empty()) {
        stop_ = stop;
        return std::nullopt;
    }
    const std::string reason = refusal_.empty() ? SystemText(error_) : refusal_;
    ::close(std::exchange(fd_, -1));
    return reason;
}

std::optional<std::string> WholeFileWriter::OpenTemporary() {
    // "<name>.tmp-<process id>-XXXXXX": see temporary_name.h.
    temporary_ = TemporaryNameStart(target_, ::getpid()) + "XXXXXX";
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return SystemText(error_);
    }
    temporaryExists_ = true;
    // The new file gets the permission bits of the regular file it replaces (never the set-id
    // bits), or those of a new file; when root replaces another user's file, that user keeps it.
    struct stat old {};
    const bool replacesRegularFile = ::lstat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
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

std::optional<std::string> WholeFileWriter::Commit() {
    if (!refusal_.empty()) return refusal_;
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
    // Something other than a regular file put at the path while the content was written (a FIFO or
    // device node made meanwhile) is not replaced by the new file.
    struct stat now {};
    if (error_ == 0 && checkBeforeRename_ && ::lstat(target_.c_str(), &now) == 0 &&
        !S_ISREG(now.st_mode)) {
        refusal_ = "the file changed while it was being written";
        Abandon();
        return refusal_;
    }
    if (error_ == 0 && ::rename(temporary_.c_str(), target_.c_str()) != 0) error_ = errno;
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
    if (std::exchange(temporaryExists_, false)) ::unlink(temporary_.c_str());
}

int RemoveStaleTemporaryFiles(const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::string name = NameOf(path);
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return 0;
    int removed = 0;
    const time_t now = ::time(nullptr);
    while (const dirent* item = ::readdir(listing)) {
        const std::optional<long long> writer = TemporaryFileWriter(item->d_name, name);
        if (!writer) continue;
        // A process that still runs may be writing it right now; ours cannot be, at start-up.
        const bool writerRuns = *writer != ::getpid() &&
                                (::kill(static_cast<pid_t>(*writer), 0) == 0 || errno == EPERM);
        if (writerRuns) continue;
        const std::string file = folder + '/' + item->d_name;
        struct stat entry {};
        if (::lstat(file.c_str(), &entry) != 0 || !S_ISREG(entry.st_mode)) continue;
        // Only this user's own, and not one another machine sharing the folder may be writing
        // (its process ids mean nothing here): a write takes well under a minute.
        if (entry.st_uid != ::geteuid() || now - entry.st_mtime < kStaleAfterSeconds) continue;
        if (::unlink(file.c_str()) == 0) ++removed;
    }
    ::closedir(listing);
    return removed;
}

}  // namespace orvale
