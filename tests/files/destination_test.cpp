// SPDX-License-Identifier: GPL-3.0-or-later
// What becomes of each kind of destination a user may pick for a file: made for real in a scratch
// folder (device nodes by mknod, which needs root; those rows are left out otherwise), written
// through the one writer every program uses, and examined afterwards.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "files/whole_file.h"
#include "gtest/gtest.h"

namespace orvale {
namespace {

namespace fs = std::filesystem;

const std::string kContent = "new content\r\n";

class Scratch {
  public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "orvale-files-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~Scratch() { fs::remove_all(path_); }
    fs::path operator/(const char* name) const { return path_ / name; }

  private:
    fs::path path_;
};

std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The file type bits of what is at path (not following a link); 0 when nothing is there.
mode_t KindAt(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

bool MakeSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    const bool made = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return made;
}

TEST(Destination, EachKindIsReplacedWrittenThroughOrRefused) {
    struct Row {
        const char* name;
        std::function<bool(const fs::path&)> make;  // false: cannot be made here
        const char* message;                        // what the write says; empty for success
        mode_t kindAfter;
    };
    const auto node = [](mode_t kind, int major, int minor) {
        return [=](const fs::path& path) {
            return ::mknod(path.c_str(), kind | 0600, makedev(major, minor)) == 0;
        };
    };
    const Row rows[] = {
        {"nothing there", [](const fs::path&) { return true; }, "", S_IFREG},
        {"regular file",
         [](const fs::path& path) { return bool(std::ofstream(path) << "old content"); }, "",
         S_IFREG},
        // 1:3 and 1:7 are the null and full devices on every Linux.
        {"character device that takes everything", node(S_IFCHR, 1, 3), "", S_IFCHR},
        {"character device that is full", node(S_IFCHR, 1, 7), "No space left on device", S_IFCHR},
        {"link to a character device",
         [&](const fs::path& path) {
             return node(S_IFCHR, 1, 3)(path.string() + ".node") &&
                    ::symlink((path.filename().string() + ".node").c_str(), path.c_str()) == 0;
         },
         "", S_IFLNK},
        {"block device", node(S_IFBLK, 7, 0), "it is a block device, not a file", S_IFBLK},
        {"folder", [](const fs::path& path) { return fs::create_directory(path); },
         "it is a folder, not a file", S_IFDIR},
        {"socket", MakeSocket, "it is a socket, not a file", S_IFSOCK},
        {"FIFO that no program reads",
         [](const fs::path& path) { return ::mkfifo(path.c_str(), 0600) == 0; },
         "it is a pipe that no program is reading from", S_IFIFO},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scratch scratch;
        const fs::path path = scratch / "results.txt";
        if (!row.make(path)) {
            std::fprintf(stderr, "left out (needs root): %s\n", row.name);
            continue;
        }
        const std::optional<std::string> message = WriteWholeFile(path, kContent);
        EXPECT_EQ(message.value_or(std::string()), row.message);
        EXPECT_EQ(KindAt(path), row.kindAfter);
        if (row.kindAfter == S_IFREG && !message) {
            EXPECT_EQ(Read(path), kContent);
        }
        // Nothing is left beside it: no temporary file, no regular file in a device's place.
        int entries = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(path.parent_path())) {
            ++entries;
        }
        EXPECT_EQ(entries, row.kindAfter == S_IFLNK ? 2 : 1);
    }
}

// A FIFO made at the path while the content is being written stays: the new file does not replace
// it, no temporary file is left, and the write says why.
TEST(Destination, PathTurnedIntoAFifoWhileWritingIsNotReplaced) {
    Scratch scratch;
    const fs::path path = scratch / "results.txt";
    WholeFileWriter writer(path.string());
    ASSERT_EQ(writer.Open(), std::nullopt);
    EXPECT_TRUE(writer.Write("content"));
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(writer.Commit().value_or(""), "the file changed while it was being written");
    EXPECT_EQ(KindAt(path), S_IFIFO);
    EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()),
              1);
}

// A path that names a symbolic link chosen in a save dialog writes the file the link finally
// names, relative targets taken from the link's own folder, and leaves the links as they were.
TEST(Destination, LinksLeadToTheFileTheyName) {
    const struct {
        const char* name;
        std::vector<std::pair<const char*, const char*>> links;  // link, its target
        const char* written;  // the regular file that gets the content; none for a loop
    } rows[] = {
        {"relative link", {{"results.txt", "data.txt"}}, "data.txt"},
        {"link out of a folder", {{"sub/results.txt", "../data.txt"}}, "data.txt"},
        {"chain of links", {{"results.txt", "sub/next"}, {"sub/next", "../data.txt"}}, "data.txt"},
        {"dangling link", {{"results.txt", "sub/new.txt"}}, "sub/new.txt"},
        {"loop of links", {{"results.txt", "other"}, {"other", "results.txt"}}, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Scratch scratch;
        fs::create_directory(scratch / "sub");
        std::ofstream(scratch / "data.txt") << "old";
        for (const auto& [link, target] : row.links) fs::create_symlink(target, scratch / link);
        const fs::path chosen = scratch / row.links.front().first;
        const std::optional<std::string> message = WriteWholeFile(chosen.string(), kContent);
        if (row.written == nullptr) {
            EXPECT_EQ(message, std::strerror(ELOOP));
            continue;
        }
        EXPECT_EQ(message, std::nullopt);
        EXPECT_EQ(Read(scratch / row.written), kContent);
        for (const auto& [link, target] : row.links) {
            EXPECT_EQ(fs::read_symlink(scratch / link), target);
        }
    }
}

// A FIFO gets the content once a program reads it, whether the reader comes first or later; a
// writer waiting for one stops when asked; a reader that goes away early is reported, and the
// program goes on.
TEST(Destination, FifoIsWrittenThroughToItsReader) {
    Scratch scratch;
    const fs::path fifo = scratch / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    std::string received;
    std::thread reader([&] { received = Read(fifo); });
    EXPECT_EQ(WriteWholeFile(fifo, kContent, LinkAtPath::WriteThrough, PipeReader::AwaitIt),
              std::nullopt);
    reader.join();
    EXPECT_EQ(received, kContent);
    EXPECT_EQ(KindAt(fifo), S_IFIFO);

    std::stop_source stop;
    std::optional<std::string> waited;
    std::thread waiter([&] {
        WholeFileWriter writer(fifo);
        waited = writer.Open(PipeReader::AwaitIt, stop.get_token());
    });
    stop.request_stop();
    waiter.join();
    EXPECT_EQ(waited.value_or(std::string()), "it is a pipe that no program read from");

    WholeFileWriter writer(fifo);
    std::thread quitter([&] { ::close(::open(fifo.c_str(), O_RDONLY)); });
    ASSERT_EQ(writer.Open(PipeReader::AwaitIt), std::nullopt);
    quitter.join();
    const std::string large(1 << 20, 'x');  // more than a pipe holds
    EXPECT_FALSE(writer.Write(large));
    EXPECT_EQ(writer.Commit().value_or(std::string()), std::strerror(EPIPE));
}

}  // namespace
}  // namespace orvale
