// Whole-or-nothing file writes and folder paths made through the file seam.
#pragma once

#include "files/FileSystem.h"

namespace tromel::files {

// Writes `bytes` into a temporary file beside `target`, flushes it, gives it `mode`, renames it
// over the target and flushes the folder, so that the new name survives a crash of the machine.
// On failure the target is as it was and the temporary file is gone (unless the process itself
// ended half-way: its leftover is a hidden ".NAME.XXXXXX"). Returns 0 or the first errno value.
int writeAtomically(FileSystem& files, const Path& target, std::span<const uint8_t> bytes, mode_t mode);

// Makes `folder` and every missing folder above it; 0 when it exists already.
int makeFolders(FileSystem& files, const Path& folder);

// Renames and flushes the folder the new name is in (both when they differ).
int renameDurably(FileSystem& files, const Path& from, const Path& to);

}  // namespace tromel::files
