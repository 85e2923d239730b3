// The five song header values the song settings dialog receives and hands back.
#include "dialogs/SongSettingsExchange.h"

#include <algorithm>
#include <limits>

namespace tromel::dialogs {
namespace {

int16_t nearestInt16(int32_t value) {
    return static_cast<int16_t>(
        std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

}  // namespace

void fillSongSettingsExchange(const Song& song, SongSettingsExchange& exchange) {
    exchange.returnBeat = song.beatsPerStep;
    exchange.returnStep = song.stepsPerBar;
    exchange.returnTempo = song.tempo;
    exchange.returnLoopBegin = song.loopBegin;
    exchange.returnLoopEnd = song.loopEnd;
}

void storeSongSettingsExchange(const SongSettingsExchange& exchange, Song& song) {
    song.beatsPerStep = nearestInt16(exchange.returnBeat);
    song.stepsPerBar = nearestInt16(exchange.returnStep);
    song.tempo = exchange.returnTempo;
    song.loopBegin = exchange.returnLoopBegin;
    song.loopEnd = exchange.returnLoopEnd;
}

}  // namespace tromel::dialogs
