// Writing a Standard MIDI File.
#pragma once

#include "exchange/MidiFile.h"
#include "song/AtomicFile.h"

#include <filesystem>
#include <vector>

namespace tromel::exchange {

// The file image: the header, then each track's events with their delta times, each event with
// its own status byte (no running status), and an end of track at the track's endTick (or at its
// last event, when later). Events must be in time order within their track.
std::vector<uint8_t> writeMidiBytes(const MidiFile& file);

// Writes atomically, as songs are saved: a failure leaves any old file as it was.
SaveResult saveMidiFile(const MidiFile& file, const std::filesystem::path& path);

}  // namespace tromel::exchange
