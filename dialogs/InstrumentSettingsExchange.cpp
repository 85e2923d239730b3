// The four channel tables the instrument and drum settings dialog receives and hands back.
#include "dialogs/InstrumentSettingsExchange.h"

namespace tromel::dialogs {

void fillInstrumentSettingsExchange(const Song& song, InstrumentSettingsExchange& exchange) {
    for (std::size_t i = 0; i < 8; ++i) {
        exchange.instrumentWave[i] = song.instruments[i].wave;
        exchange.drumWave[i] = song.drums[i].wave;
        exchange.instrumentPi[i] = song.instruments[i].pi ? -1 : 0;
        exchange.instrumentFrequency[i] = song.instruments[i].frequency;
    }
}

// The wave tables only ever hold a list index (0 to 99, 0 to 11) or the song's own value, so
// narrowing them back to the song's 16-bit field loses nothing.
void storeInstrumentSettingsExchange(const InstrumentSettingsExchange& exchange, Song& song) {
    for (std::size_t i = 0; i < 8; ++i) {
        song.instruments[i].wave = static_cast<int16_t>(exchange.instrumentWave[i]);
        song.drums[i].wave = static_cast<int16_t>(exchange.drumWave[i]);
        song.instruments[i].pi = exchange.instrumentPi[i] != 0;
        song.instruments[i].frequency = exchange.instrumentFrequency[i];
    }
}

}  // namespace tromel::dialogs
