// Saving a whole file on the file seam: links followed, hard links kept, read-only and changed files refused.
#include "song/AtomicFile.h"

#include "files/AtomicWrite.h"

#include <sys/stat.h>

#include <cerrno>

namespace tromel {
namespace {

// As the system does, before it gives up on a chain of links.
constexpr int mostLinks = 40;

// The file `path` names at the end of its links, and its status; ENOENT when nothing is there.
int followLinks(files::FileSystem& files, const files::Path& path, files::Path& target, files::FileStatus& status) {
    target = path;
    for (int link = 0; link <= mostLinks; ++link) {
        if (const int error = files.status(target, false, status))
            return error;
        if (status.type != files::FileType::Link)
            return 0;
        files::Path next;
        if (const int error = files.readLink(target, next))
            return error;
        target = next.is_absolute() || !target.has_parent_path() ? next : target.parent_path() / next;
    }
    return ELOOP;
}

SaveResult failed(int error) {
    return {false, files::errorText(error)};
}

}  // namespace

SaveResult writeFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                               files::FileSystem& files, const SaveOptions& options) {
    files::Path target;
    files::FileStatus status;
    const int followed = followLinks(files, path, target, status);
    if (followed != 0 && followed != ENOENT)
        return failed(followed);
    const bool exists = followed == 0;
    if (exists && status.type != files::FileType::Regular)
        return failed(status.type == files::FileType::Folder ? EISDIR : files::notRegularFile);
    // The mode, not access(): root may write anything, but a file its owner made read-only stays so.
    if (exists && (status.permissions & S_IWUSR) == 0)
        return {false, readOnlyReason, SaveRefusal::ReadOnly};
    if (exists) {
        bool changed = false;
        if (const int error = files::changedSince(files, target, status, options.unchangedSince, changed))
            return failed(error);
        if (changed)
            return {false, "The file was changed by another program", SaveRefusal::ChangedElsewhere};
    }
    files::removeStaleTemporaries(files, target.has_parent_path() ? target.parent_path() : files::Path("."));

    SaveResult result;
    files::FileStatus written;
    int error = 0;
    if (exists && status.links > 1) {
        if (options.keepFirst) {
            if (std::string reason = options.keepFirst(); !reason.empty())
                return {false, std::move(reason)};
        }
        error = files::writeInPlace(files, target, bytes, written);
        result.fileTouched = error != 0;
    } else {
        files::WriteOptions write;
        if (exists)
            write.permissions = status.permissions;
        write.written = &written;
        error = files::writeAtomically(files, target, bytes, write);
    }
    if (error != 0) {
        result.ok = false;
        result.reason = files::errorText(error);
        return result;
    }
    result.stamp = files::FileStamp::of(written, bytes);
    return result;
}

}  // namespace tromel
