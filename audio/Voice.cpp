// One playback of a sample: position, rate, gains and the band-limited inner loops.
#include "audio/Voice.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tromel::audio {

namespace {

constexpr double fixedOne = 4294967296.0;  // 2^32
constexpr float fractionScale = 1.0f / 4294967296.0f;
constexpr double slowestRatio = 1e-4;

struct Weights {
    float w0, w1, w2, w3;
};

// Cubic B-spline weights for the coefficients at i-1, i, i+1, i+2 at fraction t.
inline Weights bspline(float t) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    const float u = 1.0f - t;
    constexpr float sixth = 1.0f / 6.0f;
    return {u * u * u * sixth, (3.0f * t3 - 6.0f * t2 + 4.0f) * sixth,
            (-3.0f * t3 + 3.0f * t2 + 3.0f * t + 1.0f) * sixth, t3 * sixth};
}

}  // namespace

void Voice::start(const SampleData& sample, bool loop, double ratio, float gainLeft, float gainRight) {
    if (sample.levels.empty()) {
        silence();
        return;
    }
    m_sample = &sample;
    m_loop = loop && sample.loop;
    m_gain = {0.0f, 0.0f};
    beginRamp({gainLeft, gainRight}, false, attackFrames);
    selectLevel(ratio, 0.0);
}

void Voice::setRatio(double ratio) {
    if (active())
        selectLevel(ratio, sourcePosition());
}

void Voice::setGains(float gainLeft, float gainRight) {
    if (active() && !m_endAfterRamp)
        beginRamp({gainLeft, gainRight}, false);
}

void Voice::fadeOut() {
    if (active() && !m_endAfterRamp)
        beginRamp({0.0f, 0.0f}, true);
}

void Voice::selectLevel(double ratio, double sourcePosition) {
    // Beyond the top level's reach a rate is clamped, not played aliased or refused.
    m_ratio = std::clamp(ratio, slowestRatio, m_sample->largestRatio());
    m_level = &m_sample->levels[m_sample->levelFor(m_ratio)];
    const double perSource = m_level->framesPerSourceFrame;
    m_step = std::max<uint64_t>(1, static_cast<uint64_t>(std::llround(m_ratio * perSource * fixedOne)));
    m_end = static_cast<uint64_t>(m_level->length) << 32;
    const double position = std::max(0.0, sourcePosition * perSource * fixedOne);
    m_position = std::min(static_cast<uint64_t>(position), m_end);
}

double Voice::sourcePosition() const {
    return static_cast<double>(m_position) / fixedOne / m_level->framesPerSourceFrame;
}

void Voice::beginRamp(Gain target, bool endAfter, int frames) {
    m_rampFrom = m_gain;
    m_target = target;
    m_rampLength = frames;
    m_rampLeft = frames;
    m_endAfterRamp = endAfter;
}

int Voice::framesBeforeEdge() const {
    const uint64_t frames = (m_end - m_position + m_step - 1) / m_step;
    return static_cast<int>(std::min<uint64_t>(frames, INT_MAX));
}

bool Voice::passEdge() {
    if (!m_loop) {
        silence();  // a one-shot's levels end in the silence after its filter's ringing
        return false;
    }
    m_position %= m_end;
    return true;
}

template <int Channels, bool Ramping>
void Voice::mixRun(float* out, int frames) {
    const float* data = m_level->data.data() + SampleData::guardFrames * Channels;
    uint64_t position = m_position;
    const uint64_t step = m_step;
    Gain gain = m_gain;
    for (int n = 0; n < frames; ++n) {
        if constexpr (Ramping) {
            // An S-shaped glide, level at both ends: a fade's corners splash no high frequencies.
            const float t = static_cast<float>(m_rampLength - m_rampLeft + n + 1) / static_cast<float>(m_rampLength);
            const float shape = t * t * (3.0f - 2.0f * t);
            gain.left = m_rampFrom.left + (m_target.left - m_rampFrom.left) * shape;
            gain.right = m_rampFrom.right + (m_target.right - m_rampFrom.right) * shape;
        }
        const float* at = data + (static_cast<int64_t>(position >> 32) - 1) * Channels;
        const Weights w = bspline(static_cast<float>(position & 0xffffffffu) * fractionScale);
        const float left = w.w0 * at[0] + w.w1 * at[Channels] + w.w2 * at[2 * Channels] + w.w3 * at[3 * Channels];
        if constexpr (Channels == 1) {
            out[2 * n] += left * gain.left;
            out[2 * n + 1] += left * gain.right;
        } else {
            const float right = w.w0 * at[1] + w.w1 * at[3] + w.w2 * at[5] + w.w3 * at[7];
            out[2 * n] += left * gain.left;
            out[2 * n + 1] += right * gain.right;
        }
        position += step;
    }
    m_position = position;
    m_gain = gain;
}

void Voice::mix(float* out, int frames) {
    while (frames > 0 && active()) {
        if (m_position >= m_end) {
            if (!passEdge())
                break;
            continue;
        }
        int n = std::min(frames, framesBeforeEdge());
        const bool ramping = m_rampLeft > 0;
        if (ramping)
            n = std::min(n, m_rampLeft);
        if (m_sample->channels == 1)
            ramping ? mixRun<1, true>(out, n) : mixRun<1, false>(out, n);
        else
            ramping ? mixRun<2, true>(out, n) : mixRun<2, false>(out, n);
        if (ramping) {
            m_rampLeft -= n;
            if (m_rampLeft == 0) {
                m_gain = m_target;
                if (m_endAfterRamp)
                    silence();
            }
        }
        out += 2 * n;
        frames -= n;
    }
}

}  // namespace tromel::audio
