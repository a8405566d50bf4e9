// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an outside file boundedly: see bounded_read.h.
#include "files/bounded_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvale {

std::optional<std::string> ReadBoundedRegularFile(const std::string& path, std::int64_t maxBytes,
                                                  std::string& error) {
    const auto refuse = [&](const struct stat& info) -> std::optional<std::string> {
        if (S_ISDIR(info.st_mode)) return "it is a folder, not a file";
        if (!S_ISREG(info.st_mode)) return "it is not a regular file (a device, pipe or socket)";
        return std::nullopt;
    };
    // Opening a device can do something (rewind a tape, arm a watchdog): what is no regular file
    // is refused before it is opened.
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    if (std::optional<std::string> reason = refuse(before)) {
        error = *reason;
        return std::nullopt;
    }
    // Non-blocking, so that a FIFO swapped in meanwhile cannot stop the program before any window
    // shows; the file opened must be the one examined.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    const auto fail = [&](const std::string& reason) -> std::optional<std::string> {
        ::close(fd);
        error = reason;
        return std::nullopt;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0) return fail(std::strerror(errno));
    if (std::optional<std::string> reason = refuse(info)) return fail(*reason);
    if (info.st_dev != before.st_dev || info.st_ino != before.st_ino) {
        return fail("the file changed while it was being opened");
    }
    const std::string tooLarge =
        "the file is larger than " + std::to_string(maxBytes / 1024) + " KiB";
    if (info.st_size > maxBytes) return fail(tooLarge);
    std::string content;
    content.resize(static_cast<std::size_t>(maxBytes) + 1);  // one more byte tells a grown file
    std::size_t size = 0;
    while (size < content.size()) {
        const ssize_t got = ::read(fd, content.data() + size, content.size() - size);
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail(std::strerror(errno));
        }
        if (got == 0) break;
        size += static_cast<std::size_t>(got);
    }
    if (size > static_cast<std::size_t>(maxBytes)) return fail(tooLarge);
    ::close(fd);
    content.resize(size);
    return content;
}

}  // namespace orvale
