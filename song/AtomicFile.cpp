// Writing a whole file through a temporary file renamed over the target.
#include "song/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tromel {
namespace {

std::string errorText(int code) {
    return std::strerror(code);
}

bool writeAll(int fd, std::span<const uint8_t> bytes, int& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// mkstemp creates the file for its owner only: a replaced file keeps its own permissions and a
// new one gets the usual ones.
mode_t permissionsFor(const std::filesystem::path& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

SaveResult writeFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();

    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return {false, errorText(errno)};
    int error = 0;
    bool written = writeAll(fd, bytes, error);
    if (written && ::fsync(fd) != 0) {
        error = errno;
        written = false;
    }
    ::fchmod(fd, permissionsFor(path));
    if (::close(fd) != 0 && written) {
        error = errno;
        written = false;
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        written = false;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        return {false, errorText(error)};
    }
    return {};
}

}  // namespace tromel
