// What a file held when the program last read or wrote it, to tell whether another program changed it since.
#pragma once

#include "files/FileSystem.h"

#include <cstdint>
#include <span>

namespace tromel::files {

struct FileStamp {
    bool known = false;
    uint64_t size = 0;
    int64_t modified = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t hash = 0;  // of the bytes read or written

    static FileStamp of(const FileStatus& status, std::span<const uint8_t> bytes);
    // The same file, size and modification time: taken as unchanged without reading it.
    bool sameStatus(const FileStatus& status) const;
};

// A 64-bit FNV-1a hash: it tells contents apart, it does not stand up to someone forging them.
uint64_t contentHash(std::span<const uint8_t> bytes);

// Whether the regular file at `path`, whose status is `status`, now holds other bytes than
// `stamp` took: the status alone when it matches, the contents otherwise, so that a file only
// touched, or copied back by a backup tool, is not taken as changed. 0 or the errno value of a
// failed read.
int changedSince(FileSystem& files, const Path& path, const FileStatus& status, const FileStamp& stamp, bool& changed);

}  // namespace tromel::files
