// The file operations on the operating system's own files.
#include "files/SystemFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
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

// Writes all of `bytes` through `writeSome(data, size, done)`, which writes part of them as
// write(2) does: interrupted calls are made again, a call that writes nothing is a failure.
template <typename WriteSome>
int writeWhole(std::span<const uint8_t> bytes, WriteSome writeSome) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = writeSome(bytes.data() + done, bytes.size() - done, done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

FileStatus statusOf(const struct stat& system) {
    FileStatus status;
    status.type = S_ISREG(system.st_mode)   ? FileType::Regular
                  : S_ISDIR(system.st_mode) ? FileType::Folder
                  : S_ISLNK(system.st_mode) ? FileType::Link
                                            : FileType::Other;
    status.permissions = system.st_mode & 07777;
    status.owner = system.st_uid;
    status.links = system.st_nlink;
    status.size = static_cast<uint64_t>(system.st_size);
    status.modified = static_cast<int64_t>(system.st_mtim.tv_sec) * 1'000'000'000 + system.st_mtim.tv_nsec;
    status.device = system.st_dev;
    status.inode = system.st_ino;
    status.ownedByUser = system.st_uid == ::geteuid();
    return status;
}

// Letters a name may hold anywhere; 64 of them, so that each random byte gives one without bias.
constexpr char nameLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr int temporaryAttempts = 100;

int fillRandomly(std::string& pattern, std::size_t from) {
    std::vector<unsigned char> random(pattern.size() - from);
    std::size_t got = 0;
    while (got < random.size()) {
        const ssize_t n = ::getrandom(random.data() + got, random.size() - got, 0);
        if (n < 0 && errno != EINTR)
            return errno;
        got += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    for (std::size_t i = 0; i < random.size(); ++i)
        pattern[from + i] = nameLetters[random[i] % 64];
    return 0;
}

}  // namespace

// O_EXCL with O_NOFOLLOW: a name someone else placed there first, a link above all, is never
// opened, and the letters they would have to guess are unpredictable.
int SystemFileSystem::createTemporary(std::string& pattern, mode_t mode, int& fd) {
    fd = -1;
    const std::size_t from = pattern.find_last_not_of('X') + 1;
    if (pattern.size() - from < 6)
        return EINVAL;
    for (int attempt = 0; attempt < temporaryAttempts; ++attempt) {
        if (const int error = fillRandomly(pattern, from))
            return error;
        fd = ::open(pattern.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0)
            return 0;
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int SystemFileSystem::openForWriting(const Path& path, int& fd) {
    // Without waiting, should the name be a FIFO nobody reads.
    fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat status {};
    int error = errorOf(::fstat(fd, &status));
    if (error == 0)
        error = regularFileError(status);
    if (error != 0) {
        ::close(fd);
        fd = -1;
    }
    return error;
}

int SystemFileSystem::truncate(int fd, uint64_t size) {
    return errorOf(::ftruncate(fd, static_cast<off_t>(size)));
}

int SystemFileSystem::write(int fd, std::span<const uint8_t> bytes) {
    return writeWhole(bytes,
                      [fd](const uint8_t* data, std::size_t size, std::size_t) { return ::write(fd, data, size); });
}

int SystemFileSystem::createFile(const Path& path, int& fd) {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    return fd < 0 ? errno : 0;
}

int SystemFileSystem::writeAt(int fd, uint64_t offset, std::span<const uint8_t> bytes) {
    return writeWhole(bytes, [fd, offset](const uint8_t* data, std::size_t size, std::size_t done) {
        return ::pwrite(fd, data, size, static_cast<off_t>(offset + done));
    });
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
// A folder that is a link is not followed either: a lock is only ever taken in a real folder.
int SystemFileSystem::lock(const Path& path, bool create, int& fd) {
    const Path folder = path.has_parent_path() ? path.parent_path() : Path(".");
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0) {
        fd = -1;
        return errno == ELOOP ? ENOTDIR : errno;
    }
    fd = ::openat(folderFd, path.filename().c_str(),
                  O_RDONLY | (create ? O_CREAT : 0) | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    const int openError = fd < 0 ? errno : 0;
    ::close(folderFd);
    if (fd < 0)
        return openError;
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

int SystemFileSystem::readFile(const Path& path, std::size_t largest, std::vector<uint8_t>& bytes,
                               FileStatus& readStatus) {
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
    if (error == 0) {
        bytes = std::move(read);
        readStatus = statusOf(status);
    }
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

int SystemFileSystem::status(const Path& path, bool follow, FileStatus& status) {
    struct stat system {};
    if ((follow ? ::stat(path.c_str(), &system) : ::lstat(path.c_str(), &system)) != 0)
        return errno;
    status = statusOf(system);
    return 0;
}

int SystemFileSystem::readLink(const Path& path, Path& target) {
    std::string text(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), text.data(), text.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) < text.size()) {
            text.resize(static_cast<std::size_t>(n));
            target = text;
            return 0;
        }
        text.resize(text.size() * 2);
    }
}

}  // namespace tromel::files
