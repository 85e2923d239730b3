// One playback of a sample: position, rate, gains and the band-limited inner loops.
#include "audio/mixer/Voice.h"

#include "audio/AudioLayer.h"
#include "audio/mixer/KeyFrequency.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace tromel::audio {

namespace {

constexpr double fixedOne = 4294967296.0;  // 2^32
constexpr double slowestRatio = 1e-4;

// Four floats side by side: a B-spline's four taps, or two frames of stereo. The compiler's
// vector extension puts them in one register, so a frame costs a handful of instructions.
using Float4 = float __attribute__((vector_size(16)));

inline Float4 load4(const float* from) {
    Float4 v;
    std::memcpy(&v, from, sizeof v);
    return v;
}

inline void store4(float* to, Float4 v) {
    std::memcpy(to, &v, sizeof v);
}

// The cubic B-spline's weights for the coefficients at i-1, i, i+1, i+2, at the fraction t of
// a 32.32 fixed-point position: (1-t)^3/6, (3t^3 - 6t^2 + 4)/6, (-3t^3 + 3t^2 + 3t + 1)/6 and
// t^3/6, all four at once by Horner's rule.
inline Float4 weightsAt(uint64_t position) {
    constexpr float sixth = 1.0f / 6.0f;
    constexpr Float4 cubic = {-sixth, 3 * sixth, -3 * sixth, sixth};
    constexpr Float4 square = {3 * sixth, -6 * sixth, 3 * sixth, 0.0f};
    constexpr Float4 linear = {-3 * sixth, 0.0f, 3 * sixth, 0.0f};
    constexpr Float4 constant = {sixth, 4 * sixth, sixth, 0.0f};
    const float t = static_cast<float>(position & 0xffffffffu) * (1.0f / 4294967296.0f);
    return ((cubic * t + square) * t + linear) * t + constant;
}

// The weighted coefficients around a position: mono, the four products, whose sum is the
// value; stereo, left and right of the first two taps, then of the last two.
template <int Channels>
inline Float4 products(const float* data, uint64_t position, Float4 weights) {
    const float* at = data + (static_cast<int64_t>(position >> 32) - 1) * Channels;
    if constexpr (Channels == 1)
        return weights * load4(at);
    else
        return __builtin_shufflevector(weights, weights, 0, 0, 1, 1) * load4(at) +
               __builtin_shufflevector(weights, weights, 2, 2, 3, 3) * load4(at + 4);
}

// A frame's weighted coefficients, with the duller level's mixed in at its weight. The duller
// level holds the same frames, or every second one: then the same place is half as far in.
template <int Channels, bool Blended, bool HalfRate>
inline Float4 tapsAt(const float* data, const float* duller, float dullerWeight, uint64_t position) {
    const Float4 weights = weightsAt(position);
    Float4 taps = products<Channels>(data, position, weights);
    if constexpr (Blended) {
        const uint64_t at = HalfRate ? position >> 1 : position;
        const Float4 dull = products<Channels>(duller, at, HalfRate ? weightsAt(at) : weights);
        taps += dullerWeight * (dull - taps);
    }
    return taps;
}

}  // namespace

// The highest key of all is a drum's top row.
VoiceTiming Voice::timingAt(int rate) {
    const double highestRatio = static_cast<double>(noteFrequency(1, true)) / rate;
    return {framesAt(rate, rampFrames), framesAt(rate, attackFrames), SampleData::levelCountFor(highestRatio)};
}

void Voice::start(const SampleData& sample, bool loop, double ratio, float gainLeft, float gainRight,
                  const VoiceTiming& timing) {
    if (sample.levels.empty()) {
        silence();
        return;
    }
    m_sample = &sample;
    m_timing = timing;
    m_loop = loop && sample.loop;
    m_gain = {0.0f, 0.0f};
    beginRamp({gainLeft, gainRight}, false, m_timing.attackFrames);
    selectLevel(ratio, 0.0);
}

void Voice::setRatio(double ratio) {
    if (active())
        selectLevel(ratio, sourcePosition());
}

void Voice::setGains(float gainLeft, float gainRight) {
    if (active() && !m_endAfterRamp)
        beginRamp({gainLeft, gainRight}, false, m_timing.rampFrames);
}

void Voice::fadeOut() {
    if (active() && !m_endAfterRamp)
        beginRamp({0.0f, 0.0f}, true, m_timing.rampFrames);
}

void Voice::selectLevel(double ratio, double sourcePosition) {
    // Beyond the top level's reach a rate is clamped, not played aliased or refused.
    const int levels = std::min(m_timing.levels, static_cast<int>(m_sample->levels.size()));
    m_ratio = std::clamp(ratio, slowestRatio, SampleData::largestRatio(levels));
    const LevelBlend blend = m_sample->blendFor(m_ratio, levels);
    m_level = &m_sample->levels[blend.level];
    m_duller = &m_sample->levels[blend.duller];
    m_dullerWeight = blend.weight;
    if (blend.weight == 0.0f)
        m_blend = Blend::None;
    else
        m_blend = m_duller->framesPerSourceFrame == m_level->framesPerSourceFrame ? Blend::SameRate : Blend::HalfRate;
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

// The gain `done` frames into the glide: S-shaped, level at both ends, so a fade's corners splash no high
// frequencies.
Voice::Gain Voice::rampGainAfter(int done) const {
    const float t = std::min(1.0f, static_cast<float>(done) * (1.0f / static_cast<float>(m_rampLength)));
    const float shape = t * t * (3.0f - 2.0f * t);
    return Gain{m_rampFrom.left + (m_target.left - m_rampFrom.left) * shape,
                m_rampFrom.right + (m_target.right - m_rampFrom.right) * shape};
}

// Two frames at a time. A run of odd length reads one frame more, from the guard frames, and
// writes only the first.
template <int Channels, bool Ramping, Voice::Blend Mode>
void Voice::mixRun(float* out, int frames) {
    const float* data = m_level->values() + SampleData::guardFrames * Channels;
    const float* duller = m_duller->values() + SampleData::guardFrames * Channels;
    constexpr bool blended = Mode != Blend::None;
    constexpr bool halfRate = Mode == Blend::HalfRate;
    uint64_t position = m_position;
    const uint64_t step = m_step;
    const int rampDone = m_rampLength - m_rampLeft;
    const auto rampGain = [&](int n) { return rampGainAfter(rampDone + n + 1); };
    for (int n = 0; n < frames; n += 2) {
        const Float4 first = tapsAt<Channels, blended, halfRate>(data, duller, m_dullerWeight, position);
        const Float4 second = tapsAt<Channels, blended, halfRate>(data, duller, m_dullerWeight, position + step);
        // Sums of halves: stereo, left and right of both frames; mono, two half sums of each.
        Float4 values =
            __builtin_shufflevector(first, second, 0, 1, 4, 5) + __builtin_shufflevector(first, second, 2, 3, 6, 7);
        if constexpr (Channels == 1)
            values += __builtin_shufflevector(values, values, 1, 0, 3, 2);
        Float4 gains;
        if constexpr (Ramping) {
            const Gain a = rampGain(n);
            const Gain b = rampGain(n + 1);
            gains = Float4{a.left, a.right, b.left, b.right};
        } else {
            gains = Float4{m_gain.left, m_gain.right, m_gain.left, m_gain.right};
        }
        float* to = out + 2 * n;
        if (n + 1 < frames) {
            store4(to, load4(to) + values * gains);
            position += 2 * step;
        } else {
            to[0] += values[0] * gains[0];
            to[1] += values[1] * gains[1];
            position += step;
        }
    }
    m_position = position;
    if constexpr (Ramping)
        m_gain = rampGain(frames - 1);
}

template <int Channels, bool Ramping>
void Voice::mixBlended(float* out, int frames) {
    switch (m_blend) {
        case Blend::None:
            mixRun<Channels, Ramping, Blend::None>(out, frames);
            break;
        case Blend::SameRate:
            mixRun<Channels, Ramping, Blend::SameRate>(out, frames);
            break;
        case Blend::HalfRate:
            mixRun<Channels, Ramping, Blend::HalfRate>(out, frames);
            break;
    }
}

// The inner loop is chosen once a run: by channels, by whether the gain glides, by the blend.
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
            ramping ? mixBlended<1, true>(out, n) : mixBlended<1, false>(out, n);
        else
            ramping ? mixBlended<2, true>(out, n) : mixBlended<2, false>(out, n);
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

// The runs of mix(), each moving the position by its frames' steps; a glide ends where mixing it would.
void Voice::skip(int frames) {
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
        m_position += static_cast<uint64_t>(n) * m_step;
        if (ramping) {
            m_gain = rampGainAfter(m_rampLength - m_rampLeft + n);
            m_rampLeft -= n;
            if (m_rampLeft == 0) {
                m_gain = m_target;
                if (m_endAfterRamp)
                    silence();
            }
        }
        frames -= n;
    }
}

}  // namespace tromel::audio
