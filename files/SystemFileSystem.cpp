// The file operations on the operating system's own files.
#include "files/SystemFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tromel::files {
namespace {

int errorOf(int result) {
    return result == 0 ? 0 : errno;
}

// A folder, a FIFO or a device is never opened for reading: opening a FIFO waits for a writer.
int regularFileError(const struct stat& status) {
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    return S_ISREG(status.st_mode) ? 0 : notRegularFile;
}

}  // namespace

int SystemFileSystem::createTemporary(std::string& pattern, int& fd) {
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    return fd < 0 ? errno : 0;
}

int SystemFileSystem::write(int fd, std::span<const uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int SystemFileSystem::createFile(const Path& path, int& fd) {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    return fd < 0 ? errno : 0;
}

int SystemFileSystem::writeAt(int fd, uint64_t offset, std::span<const uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int SystemFileSystem::setPermissions(int fd, mode_t mode) {
    return errorOf(::fchmod(fd, mode));
}

int SystemFileSystem::flush(int fd) {
    return errorOf(::fsync(fd));
}

// Linux closes the descriptor even when close() is interrupted: trying again could close another's.
int SystemFileSystem::close(int fd) {
    const int error = errorOf(::close(fd));
    return error == EINTR ? 0 : error;
}

int SystemFileSystem::rename(const Path& from, const Path& to) {
    return errorOf(std::rename(from.c_str(), to.c_str()));
}

int SystemFileSystem::remove(const Path& path) {
    return errorOf(std::remove(path.c_str()));
}

// Folders for the program's own state: its user's alone.
int SystemFileSystem::makeFolder(const Path& path) {
    return errorOf(::mkdir(path.c_str(), 0700));
}

int SystemFileSystem::flushFolder(const Path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = errorOf(::fsync(fd));
    ::close(fd);
    // Some file systems keep no names to flush and say so.
    if (error == EINVAL)
        error = 0;
    return error;
}

// flock() rather than a lock written into the file: the system lets go of it when its holder ends,
// however it ends, and a second holder within one process is refused as well.
int SystemFileSystem::lock(const Path& path, bool create, int& fd) {
    fd = ::open(path.c_str(), O_RDONLY | (create ? O_CREAT : 0) | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0)
        return errno;
    struct stat status {};
    int error = errorOf(::fstat(fd, &status));
    if (error == 0)
        error = regularFileError(status);
    if (error == 0)
        error = errorOf(::flock(fd, LOCK_EX | LOCK_NB));
    if (error != 0) {
        ::close(fd);
        fd = -1;
    }
    return error;
}

int SystemFileSystem::readFile(const Path& path, std::size_t largest, std::vector<uint8_t>& bytes) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return errno;
    if (const int error = regularFileError(status))
        return error;
    // Without waiting, should the name have become a FIFO since.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = errorOf(::fstat(fd, &status));
    if (error == 0)
        error = regularFileError(status);
    std::vector<uint8_t> read;
    while (error == 0 && read.size() < largest) {
        const std::size_t chunk = std::min<std::size_t>(largest - read.size(), 1 << 16);
        const std::size_t before = read.size();
        read.resize(before + chunk);
        const ssize_t n = ::read(fd, read.data() + before, chunk);
        const int readError = n < 0 ? errno : 0;
        read.resize(before + static_cast<std::size_t>(n > 0 ? n : 0));
        if (readError != 0 && readError != EINTR)
            error = readError;
        if (n == 0)
            break;
    }
    ::close(fd);
    if (error == 0)
        bytes = std::move(read);
    return error;
}

int SystemFileSystem::listFolder(const Path& folder, std::vector<std::string>& names) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return errno;
    std::vector<std::string> found;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            found.push_back(name);
    }
    const int error = errno;
    ::closedir(dir);
    if (error == 0)
        names = std::move(found);
    return error;
}

}  // namespace tromel::files
