// Whole-or-nothing file writes and folder paths made through the file seam.
#include "files/AtomicWrite.h"

#include <cerrno>

namespace tromel::files {
namespace {

Path folderOf(const Path& path) {
    return path.has_parent_path() ? path.parent_path() : Path(".");
}

}  // namespace

int renameDurably(FileSystem& files, const Path& from, const Path& to) {
    if (const int error = files.rename(from, to))
        return error;
    const Path target = folderOf(to);
    if (const int error = files.flushFolder(target))
        return error;
    return folderOf(from) == target ? 0 : files.flushFolder(folderOf(from));
}

int writeAtomically(FileSystem& files, const Path& target, std::span<const uint8_t> bytes, mode_t mode) {
    std::string temporary = (folderOf(target) / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = -1;
    if (const int error = files.createTemporary(temporary, fd))
        return error;
    int error = files.write(fd, bytes);
    if (error == 0)
        error = files.setPermissions(fd, mode);
    if (error == 0)
        error = files.flush(fd);
    const int closed = files.close(fd);
    if (error == 0)
        error = closed;
    if (error == 0)
        error = files.rename(temporary, target);
    if (error != 0) {
        files.remove(temporary);
        return error;
    }
    // Renamed: the temporary name is gone, and a failed flush leaves a whole file, not a part.
    return files.flushFolder(folderOf(target));
}

int makeFolders(FileSystem& files, const Path& folder) {
    if (folder.empty())
        return 0;
    int error = files.makeFolder(folder);
    if (error == ENOENT && folder.has_parent_path() && folder.parent_path() != folder) {
        error = makeFolders(files, folder.parent_path());
        if (error == 0)
            error = files.makeFolder(folder);
    }
    return error == EEXIST ? 0 : error;
}

}  // namespace tromel::files
