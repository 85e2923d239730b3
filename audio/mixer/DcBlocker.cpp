// The output's DC blocker: a gentle high-pass that takes away any steady offset of the mix.
#include "audio/mixer/DcBlocker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tromel::audio {

DcBlocker::DcBlocker(int rate)
    : m_follow(static_cast<float>(1.0 - std::exp(-2.0 * std::numbers::pi * cornerHz / rate))),
      m_drainFrames(static_cast<float>(framesAt(rate, drainFrames))) {}

// [audio thread] Both sides in one pass: their recursions are independent, so each runs while
// the other waits on its last result.
void DcBlocker::process(float* stereo, int frames) {
    Side left = m_sides[0];
    Side right = m_sides[1];
    for (int n = 0; n < frames; ++n) {
        stereo[2 * n] = filter(left, stereo[2 * n], stereo[2 * n] == 0.0f);
        stereo[2 * n + 1] = filter(right, stereo[2 * n + 1], stereo[2 * n + 1] == 0.0f);
    }
    keepFinite(left, right);
}

// [offline]
void DcBlocker::process(float* stereo, int frames, const uint8_t* mixSilent) {
    Side left = m_sides[0];
    Side right = m_sides[1];
    for (int n = 0; n < 2 * frames; n += 2) {
        stereo[n] = filter(left, stereo[n], mixSilent[n] != 0);
        stereo[n + 1] = filter(right, stereo[n + 1], mixSilent[n + 1] != 0);
    }
    keepFinite(left, right);
}

// Whatever came in, the next block starts from a number: one bad buffer stays one bad buffer.
void DcBlocker::keepFinite(Side& left, Side& right) {
    for (Side* side : {&left, &right})
        if (!std::isfinite(side->offset))
            *side = Side{};
    m_sides = {left, right};
}

// y[n] = x[n] - m[n-1] and m[n] = m[n-1] + a * y[n]: the usual one-pole DC blocker,
// (1 - 1/z) / (1 - (1 - a)/z), written so that its state is the offset it takes away. Where the
// input is silent the offset drains away instead, so silence leaves as exact zeros.
inline float DcBlocker::filter(Side& side, float x, bool silent) const {
    if (!silent) {
        const float y = x - side.offset;
        side.offset += m_follow * y;
        side.drainStep = 0.0f;
        return y;
    }
    if (side.offset == 0.0f)
        return 0.0f;
    if (side.drainStep == 0.0f)
        side.drainStep = side.offset / m_drainFrames;
    const float y = -side.offset;
    const bool last = std::abs(side.offset) <= std::max(1.5f * std::abs(side.drainStep), 1e-30f);
    side.offset = last ? 0.0f : side.offset - side.drainStep;
    return y;
}

}  // namespace tromel::audio
