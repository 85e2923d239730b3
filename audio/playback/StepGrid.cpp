// Where a playing song's steps fall in the mixer's frames: what a frame heard was playing.
#include "audio/playback/StepGrid.h"

#include "audio/mixer/KeyFrequency.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tromel::audio {

int32_t StepGrid::positionOf(int64_t n) const {
    const int64_t position = positionBefore + std::max<int64_t>(n - countIn, 1);
    const int64_t loopLength = static_cast<int64_t>(loopEnd) - loopBegin;
    if (position <= loopEnd || loopLength <= 0)
        return static_cast<int32_t>(std::min<int64_t>(position, std::numeric_limits<int32_t>::max()));
    return static_cast<int32_t>(loopBegin + (position - loopEnd - 1) % loopLength + 1);
}

int64_t StepGrid::frameOf(int64_t n) const {
    return startFrame + stepFrame(n - 1 + static_cast<int32_t>(first), tempo, rate);
}

int64_t StepGrid::nearestStep(int64_t frame) const {
    if (tempo <= 0)
        return 1;
    // stepFrame floors n × tempo × rate / 1000, so the step at or before the frame is found from
    // the estimate and a look at its neighbours.
    const int64_t estimate = (frame - startFrame) * 1000 / (static_cast<int64_t>(tempo) * rate);
    int64_t before = std::max<int64_t>(1, estimate + 1 - static_cast<int32_t>(first));
    while (before > 1 && frameOf(before) > frame)
        --before;
    while (frameOf(before + 1) <= frame)
        ++before;
    if (frameOf(before) >= frame)
        return before;
    return frame - frameOf(before) <= frameOf(before + 1) - frame ? before : before + 1;
}

int32_t StepGrid::stepsBetween(int64_t fromFrame, int64_t toFrame) const {
    if (tempo <= 0)
        return 1;
    const double steps = static_cast<double>(toFrame - fromFrame) * 1000.0 / (static_cast<double>(tempo) * rate);
    return static_cast<int32_t>(std::clamp<double>(std::nearbyint(steps), 1.0, std::numeric_limits<int32_t>::max()));
}

}  // namespace tromel::audio
