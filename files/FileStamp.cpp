// What a file held when the program last read or wrote it, and whether it still holds it.
#include "files/FileStamp.h"

namespace tromel::files {

uint64_t contentHash(std::span<const uint8_t> bytes) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

FileStamp FileStamp::of(const FileStatus& status, std::span<const uint8_t> bytes) {
    return {true, status.size, status.modified, status.device, status.inode, contentHash(bytes)};
}

bool FileStamp::sameStatus(const FileStatus& status) const {
    return status.size == size && status.modified == modified && status.device == device && status.inode == inode;
}

int changedSince(FileSystem& files, const Path& path, const FileStatus& status, const FileStamp& stamp, bool& changed) {
    changed = false;
    if (!stamp.known || stamp.sameStatus(status))
        return 0;
    if (status.size != stamp.size) {
        changed = true;
        return 0;
    }
    // One byte past the size taken: a file that grew since its status was read is seen as changed.
    std::vector<uint8_t> bytes;
    FileStatus read;
    if (const int error = files.readFile(path, stamp.size + 1, bytes, read))
        return error;
    changed = bytes.size() != stamp.size || contentHash(bytes) != stamp.hash;
    return 0;
}

}  // namespace tromel::files
