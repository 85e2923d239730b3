// The five song header values the song settings dialog receives and hands back.
#pragma once

#include "song/Song.h"

#include <cstdint>

namespace tromel::dialogs {

// Owned by the main window and shared by every document window's song settings dialog. The
// values are 32-bit so that a file's tempo or loop points of 32768 and more pass through a
// dialog unchanged.
struct SongSettingsExchange {
    int32_t returnTempo = 0;
    int32_t returnStep = 0;
    int32_t returnBeat = 0;
    int32_t returnLoopBegin = 0;
    int32_t returnLoopEnd = 0;
};

void fillSongSettingsExchange(const Song& song, SongSettingsExchange& exchange);

// Steps per bar and beats per step are 16-bit in the song: a typed value beyond that range is
// stored as the nearest 16-bit value rather than wrapped around.
void storeSongSettingsExchange(const SongSettingsExchange& exchange, Song& song);

}  // namespace tromel::dialogs
