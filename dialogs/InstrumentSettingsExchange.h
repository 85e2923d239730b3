// The four channel tables the instrument and drum settings dialog receives and hands back.
#pragma once

#include "song/Song.h"

#include <array>
#include <cstdint>

namespace tromel::dialogs {

// Index = channel 0 to 7. 32-bit throughout, so that a file's frequency of 32768 or more passes
// through the dialog unchanged.
struct InstrumentSettingsExchange {
    std::array<int32_t, 8> instrumentWave{};
    std::array<int32_t, 8> drumWave{};
    std::array<int32_t, 8> instrumentPi{};  // -1 ticked, 0 clear; any non-zero value counts as ticked
    std::array<int32_t, 8> instrumentFrequency{};
};

void fillInstrumentSettingsExchange(const Song& song, InstrumentSettingsExchange& exchange);
void storeInstrumentSettingsExchange(const InstrumentSettingsExchange& exchange, Song& song);

}  // namespace tromel::dialogs
