// Writing a whole file so that it is either all there or not changed at all.
#pragma once

#include "files/FileSystem.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace tromel {

struct SaveResult {
    bool ok = true;
    std::string reason;  // the system's error text when !ok
};

// Writes `bytes` into a temporary file beside `path`, flushes it and renames it over `path`, then
// flushes the folder, so a failed write leaves any old file as it was and no temporary file behind,
// and the new name survives a crash of the machine. A replaced file keeps its permissions.
SaveResult writeFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                               files::FileSystem& files = files::systemFileSystem());

}  // namespace tromel
