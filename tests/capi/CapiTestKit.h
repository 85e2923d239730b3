// Helpers for the C library's tests: songs as bytes, players that free themselves, rendering and comparing.
#pragma once

#include "capi/tromel/tromel.h"
#include "song/Song.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tromel::capi::test {

struct SongFree {
    void operator()(tromel_song* song) const { tromel_song_free(song); }
};
struct PlayerFree {
    void operator()(tromel_player* player) const { tromel_player_free(player); }
};
using SongHandle = std::unique_ptr<tromel_song, SongFree>;
using PlayerHandle = std::unique_ptr<tromel_player, PlayerFree>;

SongHandle loadSong(const Song& song);
PlayerHandle playerOf(const tromel_song* song, int rate = 44100, int loops = -1);
// The next `frames` frames, rendered in uneven pieces (so steps fall inside buffers).
std::vector<float> renderFrames(tromel_player* player, std::size_t frames, std::size_t piece = 517);
// The largest difference between two runs of samples, from their starts, over the shorter.
float largestDifference(const float* a, const float* b, std::size_t samples);

// A song whose instrument 1 holds a note over most of its loop, with drums and short notes around it:
// a seek inside a long note, and a loop wrap with it still sounding.
Song longNoteSong();

}  // namespace tromel::capi::test
