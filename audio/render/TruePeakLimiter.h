// A look-ahead limiter that holds the true peak (between samples, 4x oversampled) under a ceiling.
#pragma once

#include "audio/mixer/PeakLimiter.h"

#include <array>
#include <vector>

namespace tromel::audio {

// Each frame's peak is the largest of its samples and of the three points a polyphase
// windowed-sinc interpolator puts between it and the next frame, on either side; the mixer's
// limiter then holds those peaks under the ceiling. Offline only.
class TruePeakLimiter {
public:
    static constexpr int tapsPerPhase = 12;
    static constexpr int interpolationDelay = tapsPerPhase / 2;
    // The output lags the input by this many frames.
    static constexpr int delayFrames = interpolationDelay + PeakLimiter::lookAheadFrames;

    explicit TruePeakLimiter(double ceilingDb);

    // Limits interleaved stereo in place.
    void process(float* stereo, int frames);

private:
    static constexpr int phases = 4;
    static constexpr int history = tapsPerPhase + 1;

    float framePeak();

    std::array<std::array<float, tapsPerPhase>, phases - 1> m_taps{};  // the points between frames
    std::array<std::array<float, 2 * history>, 2> m_history{};         // each side twice over, for plain reads
    int m_at = 0;
    float m_lastPeak = 0.0f;
    std::vector<float> m_delayed;
    std::vector<float> m_peaks;
    PeakLimiter m_limiter;
};

}  // namespace tromel::audio
