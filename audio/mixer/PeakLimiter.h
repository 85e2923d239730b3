// The output's look-ahead peak limiter: a gain that eases down in time for a peak, then recovers.
#pragma once

#include "audio/AudioLayer.h"

#include <array>
#include <cstdint>

namespace tromel::audio {

// Runs on the audio thread (or offline): fixed-size state, nothing allocated or locked. The
// output lags the input by lookAheadFrames, the time the gain takes to come down before a peak,
// so a peak leaves at the ceiling without its edge being bent.
class PeakLimiter {
public:
    static constexpr int lookAheadFrames = 128;  // 2.9 ms at 44100 Hz; the same time at any rate
    static constexpr int longestLookAhead = framesAt(highestRate, lookAheadFrames);
    // -0.3 dBFS; no output sample reaches it.
    static constexpr float ceiling = 0.96605087f;
    // Time constant of the gain's recovery after a peak.
    static constexpr double releaseSeconds = 0.1;

    // The mixer's limiter holds `ceiling`; an export's loudness stage holds a lower one. `rate`
    // (lowestRate to highestRate) sets the look-ahead and the release in frames.
    explicit PeakLimiter(float ceilingLevel = ceiling, int rate = outputRate);

    // [audio thread] Limits interleaved stereo in place: each frame leaves as the frame that
    // came in lookAheadFrames earlier, times the gain.
    void process(float* stereo, int frames);
    // [offline] The same with each frame's peak measured by the caller (between its samples, say).
    void process(float* stereo, const float* framePeaks, int frames);
    // [audio thread] The gain of the last frame that left: 1 while nothing is limited.
    float gain() const { return m_gain; }
    // The frames by which the output lags: lookAheadFrames at outputRate, in proportion at others.
    int lookAhead() const { return m_lookAhead; }

private:
    // A frame's entry into the sliding minimum of the gains the look-ahead window asks for.
    struct Demand {
        float gain;
        int64_t frame;
    };

    bool idle() const { return m_demandCount == 0 && m_released == 1.0f && m_smoothedBelowOne == 0; }
    void passThrough(float* stereo, int frames);
    void limitFrame(float* frame, float peak);
    void demand(float gain);
    float smooth(float released);

    int m_lookAhead;
    int m_window;  // frames from a peak's entry to its exit: the look-ahead and one
    std::array<float, 2 * longestLookAhead> m_delay{};  // the first 2 * m_lookAhead used
    int m_delayAt = 0;
    std::array<Demand, longestLookAhead + 1> m_demands{};  // rising gains, oldest first: a ring of m_window
    int m_demandFirst = 0;
    int m_demandCount = 0;
    int64_t m_frame = 0;
    float m_released = 1.0f;
    std::array<float, longestLookAhead + 1> m_smoothed{};  // the last m_window released gains: a ring
    int m_smoothedAt = 0;
    int m_smoothedBelowOne = 0;
    double m_smoothedSum;
    float m_gain = 1.0f;
    float m_aim;  // a hair under the ceiling, so that rounding in the gain never carries a peak onto it
    float m_releaseStep;
};

}  // namespace tromel::audio
