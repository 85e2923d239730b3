// Note keys to playback rates, and the step grid in output frames.
#include "audio/mixer/KeyFrequency.h"

#include "song/KeysAndPans.h"

#include <cmath>

namespace tromel::audio {

int32_t keyToFrequency(int32_t key) {
    const double octave = std::floor(key / 12.0);
    const double cents = 1200.0 * octave + 100.0 * (key - 12.0 * octave) - 4800.0;
    // nearbyint rounds half to even in the default rounding mode.
    return static_cast<int32_t>(std::nearbyint(22050.0 * std::pow(2.0, cents / 1200.0)));
}

int64_t stepFrame(int64_t n, int32_t tempo, int32_t rate) {
    // Every thousand steps the grid lands on a whole frame, so splitting n into thousands and a
    // rest keeps the product small without losing the floor.
    const int64_t framesPerThousandSteps = static_cast<int64_t>(tempo) * rate;
    return (n / 1000) * framesPerThousandSteps + ((n % 1000) * framesPerThousandSteps) / 1000;
}

int32_t noteFrequency(int32_t keyRow, bool drum) {
    return keyToFrequency(fileKeyOfRow(keyRow) + (drum ? semitonesPerOctave : 0));
}

}  // namespace tromel::audio
