// The hundred instrument waves: each a harmonic spectrum played as a tuned, seamless loop.
#pragma once

#include "tools/samplegen/Harmonics.h"

#include <vector>

namespace tromel::samplegen {

// 25 cycles in 2107 frames at 22050 Hz is 261.6258 Hz, 0.02 cent above middle C, so a note at
// key 48 (played at 22050 Hz) sounds middle C and key 57 sounds A 440.
inline constexpr int loopCycles = 25;
inline constexpr int loopFrames = 2107;
// Harmonics up to 45 % of the sample rate: 37 of middle C.
inline constexpr int waveHarmonics = 37;
// Every wave is as loud as the others by RMS, so a thin pulse sounds as strong as a sine. Only
// the spikiest shapes meet the peak cap first: the 3 % pulse, seven times its RMS at its peak,
// ends 2.5 dB below the rest.
inline constexpr double waveRms = 0.18;
inline constexpr double wavePeakCap = 0.95;

// Wave 0 first (file M01.wav), family by family in the order and sizes of song/WaveCatalogue.h:
// pure and soft tones, pulses, saws, organs, bells, vowels, orchestral colours, then bent and
// shaped waves. Empty when a family's size differs from the catalogue's.
std::vector<Harmonics> instrumentSpectra();

}  // namespace tromel::samplegen
