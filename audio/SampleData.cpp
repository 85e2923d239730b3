// A loaded sample, prepared for band-limited playback at any rate.
#include "audio/SampleData.h"

namespace tromel::audio {

int SampleData::levelFor(double ratio) const {
    int level = 0;
    while (level + 1 < static_cast<int>(levels.size()) && ratio > static_cast<double>(1 << level))
        ++level;
    return level;
}

}  // namespace tromel::audio
