// Whole-or-nothing file writes and folder paths made through the file seam.
#pragma once

#include "files/FileSystem.h"

#include <chrono>
#include <optional>
#include <string_view>

namespace tromel::files {

struct WriteOptions {
    // The file's permissions; without them, those a new file gets (0666 less the umask, as the
    // system applies it).
    std::optional<mode_t> permissions;
    // When given, receives what the written file is, as it stands once renamed.
    FileStatus* written = nullptr;
};

// Writes `bytes` into a temporary file beside `target`, flushes it, gives it its permissions,
// renames it over the target and flushes the folder, so that the new name survives a crash of the
// machine. On failure the target is as it was and the temporary file is gone (unless the process
// itself ended half-way: its leftover is named as isTemporaryName() recognises). Returns 0 or the
// first errno value.
int writeAtomically(FileSystem& files, const Path& target, std::span<const uint8_t> bytes, const WriteOptions& options);
inline int writeAtomically(FileSystem& files, const Path& target, std::span<const uint8_t> bytes, mode_t mode) {
    return writeAtomically(files, target, bytes, WriteOptions{mode, nullptr});
}

// Writes `bytes` into the existing regular file `target` itself, then cuts it to their length and
// flushes it: every name of the file sees them. Not whole-or-nothing: a failure or a kill half-way
// may leave the file part-written. `written` receives what the file is afterwards.
int writeInPlace(FileSystem& files, const Path& target, std::span<const uint8_t> bytes, FileStatus& written);

// The name of writeAtomically's temporary files: ".NAME.tromel-" and twelve unpredictable letters.
bool isTemporaryName(std::string_view name);
// The pattern FileSystem::createTemporary() makes such a name of, beside `target`.
std::string temporaryPattern(const Path& target);

// Removes from `folder` the temporary files that saves and exports killed half-way left there a
// day or more before `now`: only regular files of that name owned by this user, never a link,
// a folder or anyone else's file. Nothing depends on it: failures are passed over.
void removeStaleTemporaries(FileSystem& files, const Path& folder,
                            std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// Makes `folder` and every missing folder above it; 0 when it exists already.
int makeFolders(FileSystem& files, const Path& folder);

// Renames and flushes the folder the new name is in (both when they differ).
int renameDurably(FileSystem& files, const Path& from, const Path& to);

}  // namespace tromel::files
