// Whole-or-nothing file writes and folder paths made through the file seam.
#include "files/AtomicWrite.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tromel::files {
namespace {

constexpr std::string_view temporaryMark = ".tromel-";
constexpr std::size_t randomLetters = 12;
// A name may hold 255 bytes; the target's name is cut so that the temporary one fits.
constexpr std::size_t longestName = 255;
constexpr auto staleAfter = std::chrono::hours(24);

Path folderOf(const Path& path) {
    return path.has_parent_path() ? path.parent_path() : Path(".");
}

bool isNameLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

}  // namespace

std::string temporaryPattern(const Path& target) {
    const std::string name = target.filename().string();
    const std::size_t room = longestName - 1 - temporaryMark.size() - randomLetters;
    const std::string pattern =
        "." + name.substr(0, room) + std::string(temporaryMark) + std::string(randomLetters, 'X');
    return (folderOf(target) / pattern).string();
}

bool isTemporaryName(std::string_view name) {
    const std::size_t tail = temporaryMark.size() + randomLetters;
    if (name.size() < 2 + tail || name.front() != '.')
        return false;
    const std::string_view letters = name.substr(name.size() - randomLetters);
    return name.substr(name.size() - tail, temporaryMark.size()) == temporaryMark &&
           std::all_of(letters.begin(), letters.end(), isNameLetter);
}

void removeStaleTemporaries(FileSystem& files, const Path& folder, std::chrono::system_clock::time_point now) {
    std::vector<std::string> names;
    if (files.listFolder(folder, names) != 0)
        return;
    const int64_t before =
        std::chrono::duration_cast<std::chrono::nanoseconds>((now - staleAfter).time_since_epoch()).count();
    for (const std::string& name : names) {
        FileStatus status;
        if (!isTemporaryName(name) || files.status(folder / name, false, status) != 0)
            continue;
        if (status.type == FileType::Regular && status.owner == ::geteuid() && status.modified < before)
            files.remove(folder / name);
    }
}

int renameDurably(FileSystem& files, const Path& from, const Path& to) {
    if (const int error = files.rename(from, to))
        return error;
    const Path target = folderOf(to);
    if (const int error = files.flushFolder(target))
        return error;
    return folderOf(from) == target ? 0 : files.flushFolder(folderOf(from));
}

// A file with permissions of its own is made for its owner alone until it holds them: no other
// user reads it half-written, nor with looser permissions than the file it replaces.
int writeAtomically(FileSystem& files, const Path& target, std::span<const uint8_t> bytes,
                    const WriteOptions& options) {
    std::string temporary = temporaryPattern(target);
    int fd = -1;
    if (const int error = files.createTemporary(temporary, options.permissions ? 0600 : 0666, fd))
        return error;
    int error = files.write(fd, bytes);
    if (error == 0 && options.permissions)
        error = files.setPermissions(fd, *options.permissions);
    if (error == 0)
        error = files.flush(fd);
    const int closed = files.close(fd);
    if (error == 0)
        error = closed;
    // A rename keeps the file's own status: taken here, a failure still leaves the target as it was.
    if (error == 0 && options.written)
        error = files.status(temporary, false, *options.written);
    if (error == 0)
        error = files.rename(temporary, target);
    if (error != 0) {
        files.remove(temporary);
        return error;
    }
    // Renamed: the temporary name is gone, and a failed flush leaves a whole file, not a part.
    return files.flushFolder(folderOf(target));
}

// Written before it is cut: a file longer than the bytes keeps its old tail until they are all in.
int writeInPlace(FileSystem& files, const Path& target, std::span<const uint8_t> bytes, FileStatus& written) {
    int fd = -1;
    if (const int error = files.openForWriting(target, fd))
        return error;
    int error = files.write(fd, bytes);
    if (error == 0)
        error = files.truncate(fd, bytes.size());
    if (error == 0)
        error = files.flush(fd);
    const int closed = files.close(fd);
    if (error == 0)
        error = closed;
    return error != 0 ? error : files.status(target, false, written);
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
