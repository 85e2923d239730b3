// Saving a whole file: through links, in place for a file of several names, never over a
// read-only file or one another program changed.
#pragma once

#include "files/FileStamp.h"
#include "files/FileSystem.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

namespace tromel {

enum class SaveRefusal {
    None,
    ReadOnly,          // the file's mode has no write bit for its owner
    ChangedElsewhere,  // the file no longer holds what SaveOptions::unchangedSince took
};

inline constexpr const char* readOnlyReason = "The file is read-only";

struct SaveResult {
    bool ok = true;
    std::string reason;  // the system's error text, or readOnlyReason, when !ok
    SaveRefusal refusal = SaveRefusal::None;
    bool fileTouched = false;     // a failed write in place may have left the file part-written
    files::FileStamp stamp = {};  // what the file holds after a save
};

struct SaveOptions {
    // When known, a file that holds anything else is not written over (a deleted one is written anew).
    files::FileStamp unchangedSince;
    // Before a file of several names is written in place: keeps the new contents where a kill
    // half-way cannot take them. Its words for a failure (which refuses the save), or nothing.
    std::function<std::string()> keepFirst;
};

// Saves `bytes` at `path`. A link is followed to the file it names, which is written, the link
// kept. A regular file of one name (or none yet) is written into a temporary file beside it,
// flushed and renamed over it, then the folder flushed: a failed save leaves any old file as it
// was and no temporary file behind, and the new name survives a crash of the machine. A file of
// several names is written in place after keepFirst, so that every name sees the new contents. A
// replaced file keeps its permissions; a new one gets the usual ones. Temporary files older than
// a day that saves killed half-way left in the folder are removed.
SaveResult writeFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                               files::FileSystem& files = files::systemFileSystem(), const SaveOptions& options = {});

}  // namespace tromel
