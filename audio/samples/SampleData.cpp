// A loaded sample, prepared for band-limited playback at any rate.
#include "audio/samples/SampleData.h"

#include <algorithm>
#include <cmath>

namespace tromel::audio {

double SampleData::reachOf(int level) {
    return std::exp2(0.5 * level);
}

int SampleData::levelCountFor(double highestRatio) {
    int count = levelCount;
    while (count < mostLevels && reachOf(count - 1) < highestRatio)
        ++count;
    return count;
}

LevelBlend SampleData::blendFor(double ratio, int count) const {
    const int last = std::min(static_cast<int>(levels.size()), count) - 1;
    int level = 0;
    while (level < last && ratio > reachOf(level))
        ++level;
    if (level == last)
        return {level, level, 0.0f};
    // How far into the quarter octave below the reach: 0 at its foot, 1 at the reach itself.
    const double into = 1.0 + std::log2(ratio / reachOf(level)) / blendOctaves;
    if (into <= 0.0)
        return {level, level, 0.0f};
    if (into >= 1.0)
        return {level + 1, level + 1, 0.0f};
    return {level, level + 1, static_cast<float>(into)};
}

}  // namespace tromel::audio
