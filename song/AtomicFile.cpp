// Writing a whole file through a temporary file renamed over the target, on the file seam.
#include "song/AtomicFile.h"

#include "files/AtomicWrite.h"

#include <sys/stat.h>

namespace tromel {
namespace {

// A temporary file is created for its owner only: a replaced file keeps its own permissions and
// a new one gets the usual ones.
mode_t permissionsFor(const std::filesystem::path& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

SaveResult writeFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                               files::FileSystem& files) {
    if (const int error = files::writeAtomically(files, path, bytes, permissionsFor(path)))
        return {false, files::errorText(error)};
    return {};
}

}  // namespace tromel
