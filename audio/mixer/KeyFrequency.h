// Note keys to playback rates, and the step grid in output frames.
#pragma once

#include "audio/AudioLayer.h"

#include <cstdint>

namespace tromel::audio {

// The playback rate in Hz of a key: key 48 plays a sample at 22050 Hz, each 12 keys double it.
// Whole cents are computed first and the result rounded half to even, so key 24 gives 5512.
int32_t keyToFrequency(int32_t key);

// The playback rate of a note's stored key row (1 to 96): drums sound an octave above an
// instrument's note of the same key.
int32_t noteFrequency(int32_t keyRow, bool drum);

// The output frame, counted from the clock's start, of step n at tempo milliseconds per step:
// floor(n * tempo * rate / 1000), exact for every n, so a long play never drifts.
int64_t stepFrame(int64_t n, int32_t tempo, int32_t rate = outputRate);

}  // namespace tromel::audio
