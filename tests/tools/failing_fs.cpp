// SPDX-License-Identifier: GPL-3.0-or-later
// A FUSE file system for fault tests: it mirrors a backing folder, but every flush to disk
// (fsync, fdatasync) fails with EIO, as a failing disk does; or, with "close", every close of a
// file does, as a network file system reports a write it could not complete. Usage:
//   failing_fs BACKING_FOLDER MOUNT_POINT [close]     (runs in the foreground until unmounted)
#define FUSE_USE_VERSION 31

#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

std::string backing;
bool failClose = false;  // close fails instead of fsync

std::string Real(const char* path) {
    return backing + path;
}

int Result(int value) {
    return value < 0 ? -errno : value;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info*) {
    return Result(::lstat(Real(path).c_str(), st));
}

int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
    DIR* dir = ::opendir(Real(path).c_str());
    if (dir == nullptr) return -errno;
    while (const dirent* entry = ::readdir(dir)) {
        fill(buffer, entry->d_name, nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    }
    ::closedir(dir);
    return 0;
}

int Create(const char* path, mode_t mode, fuse_file_info* info) {
    const int fd = ::open(Real(path).c_str(), info->flags, mode);
    if (fd < 0) return -errno;
    info->fh = static_cast<uint64_t>(fd);
    return 0;
}

int Open(const char* path, fuse_file_info* info) {
    return Create(path, 0, info);
}

int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* info) {
    return Result(static_cast<int>(::pread(static_cast<int>(info->fh), buffer, size, offset)));
}

int Write(const char*, const char* buffer, size_t size, off_t offset, fuse_file_info* info) {
    return Result(static_cast<int>(::pwrite(static_cast<int>(info->fh), buffer, size, offset)));
}

int Release(const char*, fuse_file_info* info) {
    ::close(static_cast<int>(info->fh));
    return 0;
}

int Fsync(const char*, int, fuse_file_info* info) {
    if (!failClose) return -EIO;
    return Result(::fsync(static_cast<int>(info->fh)));
}

// Called at every close of a file descriptor; its error is what close() returns.
int Flush(const char*, fuse_file_info*) {
    return failClose ? -EIO : 0;
}

int Unlink(const char* path) {
    return Result(::unlink(Real(path).c_str()));
}

int Rename(const char* from, const char* to, unsigned int) {
    return Result(::rename(Real(from).c_str(), Real(to).c_str()));
}

int Chmod(const char* path, mode_t mode, fuse_file_info*) {
    return Result(::chmod(Real(path).c_str(), mode));
}

int Truncate(const char* path, off_t size, fuse_file_info*) {
    return Result(::truncate(Real(path).c_str(), size));
}

int Utimens(const char* path, const timespec times[2], fuse_file_info*) {
    return Result(::utimensat(AT_FDCWD, Real(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || (argc == 4 && std::string(argv[3]) != "close")) {
        std::fprintf(stderr, "usage: failing_fs BACKING_FOLDER MOUNT_POINT [close]\n");
        return 2;
    }
    backing = argv[1];
    failClose = argc == 4;
    fuse_operations operations{};
    operations.getattr = GetAttr;
    operations.readdir = ReadDir;
    operations.create = Create;
    operations.open = Open;
    operations.read = Read;
    operations.write = Write;
    operations.release = Release;
    operations.fsync = Fsync;
    operations.flush = Flush;
    operations.unlink = Unlink;
    operations.rename = Rename;
    operations.chmod = Chmod;
    operations.truncate = Truncate;
    operations.utimens = Utimens;
    char foreground[] = "-f";
    char singleThread[] = "-s";
    char* fuseArgs[] = {argv[0], foreground, singleThread, argv[2], nullptr};
    return fuse_main(4, fuseArgs, &operations, nullptr);
}
