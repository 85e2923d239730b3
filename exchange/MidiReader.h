// Reading a Standard MIDI File (type 0 or 1) from untrusted bytes.
#pragma once

#include "exchange/MidiFile.h"
#include "files/FileSystem.h"

#include <filesystem>
#include <span>
#include <string>

namespace tromel::exchange {

struct MidiReadResult {
    MidiFile file;
    std::string error;  // why the file was refused; empty when it was read

    bool ok() const { return error.empty(); }
};

// The largest number of tracks a file may announce, and the largest file read from disk.
inline constexpr int largestMidiTrackCount = 256;
inline constexpr std::size_t largestMidiFileBytes = 16u << 20;

// Refuses, with a reason, anything it cannot read whole: a missing header, chunk lengths beyond
// the file, a truncated event, running status with no status before it or after a meta or system
// exclusive event (which ends it), a delta time of more than four bytes or a track longer than
// largestMidiTick, a division of 0 or in SMPTE frames, more than largestMidiTrackCount tracks,
// type 2 and unknown types. Chunks of unknown kinds are
// skipped, as the format asks; system exclusive messages are skipped; events after an end of
// track are ignored, and a track without one ends at its last event.
MidiReadResult readMidiBytes(std::span<const uint8_t> bytes);
// The same from a file; files larger than largestMidiFileBytes are refused unread, and so is
// anything but a regular file (a folder, a FIFO, a device), without being waited on.
MidiReadResult loadMidiFile(const std::filesystem::path& path, files::FileSystem& files = files::systemFileSystem());

}  // namespace tromel::exchange
