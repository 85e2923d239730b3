// Helpers for the C library's tests: songs as bytes, players that free themselves, rendering and comparing.
#include "CapiTestKit.h"

#include "../core/audio/AudioTestKit.h"
#include "song/OrgFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tromel::capi::test {

SongHandle loadSong(const Song& song) {
    const std::vector<uint8_t> bytes = writeOrgBytes(song);
    char error[256];
    SongHandle loaded(tromel_song_load(bytes.data(), bytes.size(), error, sizeof error));
    EXPECT_NE(loaded, nullptr) << error;
    return loaded;
}

PlayerHandle playerOf(const tromel_song* song, int rate, int loops) {
    char error[256];
    PlayerHandle player(tromel_player_new(song, rate, error, sizeof error));
    EXPECT_NE(player, nullptr) << error;
    if (player)
        tromel_player_set_loops(player.get(), loops);
    return player;
}

std::vector<float> renderFrames(tromel_player* player, std::size_t frames, std::size_t piece) {
    std::vector<float> out(2 * frames);
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t n = tromel_player_render(player, out.data() + 2 * done, std::min(piece, frames - done));
        if (n == 0)
            break;
        done += n;
        piece = piece % 1409 + 211;
    }
    out.resize(2 * done);
    return out;
}

float largestDifference(const float* a, const float* b, std::size_t samples) {
    float largest = 0.0f;
    for (std::size_t i = 0; i < samples; ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

Song longNoteSong() {
    using audio::test::addNote;
    Song song;
    song.tempo = 100;
    song.loopBegin = 8;
    song.loopEnd = 72;
    song.instruments[0].wave = 30;
    song.instruments[1].wave = 66;
    song.drums[0].wave = 0;
    song.drums[1].wave = 2;
    addNote(song, 0, {1, 48, 60, 6, 200});   // most of the first pass
    addNote(song, 0, {65, 55, 30, 4, 180});  // rings across the wrap into the next pass
    for (int32_t p = 1; p <= 72; p += 3)
        addNote(song, 1, {p, 30 + p % 12, 2, static_cast<int16_t>(p % 13), 150});
    for (int32_t p = 1; p <= 72; p += 4)
        addNote(song, 8 + (p / 4) % 2, {p, 40, 1, 6, 220});
    addNote(song, 0, {20, noKey, 0, 2, 120});  // a change of the long note's volume and pan
    return song;
}

}  // namespace tromel::capi::test
