// The output's look-ahead peak limiter: a gain that eases down in time for a peak, then recovers.
#include "audio/mixer/PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace tromel::audio {

PeakLimiter::PeakLimiter(float ceilingLevel, int rate)
    : m_lookAhead(framesAt(std::clamp(rate, lowestRate, highestRate), lookAheadFrames)),
      m_window(m_lookAhead + 1),
      m_smoothedSum(m_window),
      m_aim(ceilingLevel * 0.9999f),
      m_releaseStep(static_cast<float>(1.0 - std::exp(-1.0 / (releaseSeconds * rate)))) {
    m_smoothed.fill(1.0f);
}

// [audio thread] While nothing needs limiting the gain is exactly 1 and only the delay runs.
void PeakLimiter::process(float* stereo, int frames) {
    float peaks[8] = {};  // running maxima side by side, so the scan packs into vector registers
    int i = 0;
    for (; i + 8 <= 2 * frames; i += 8)
        for (int k = 0; k < 8; ++k)
            peaks[k] = std::max(peaks[k], std::abs(stereo[i + k]));
    for (; i < 2 * frames; ++i)
        peaks[0] = std::max(peaks[0], std::abs(stereo[i]));
    const float peak = *std::max_element(peaks, peaks + 8);
    if (peak <= m_aim && idle()) {
        passThrough(stereo, frames);
        return;
    }
    for (int n = 0; n < frames; ++n)
        limitFrame(stereo + 2 * n, std::max(std::abs(stereo[2 * n]), std::abs(stereo[2 * n + 1])));
}

// [offline]
void PeakLimiter::process(float* stereo, const float* framePeaks, int frames) {
    if (frames <= 0)
        return;
    if (idle() && *std::max_element(framePeaks, framePeaks + frames) <= m_aim) {
        passThrough(stereo, frames);
        return;
    }
    for (int n = 0; n < frames; ++n)
        limitFrame(stereo + 2 * n, framePeaks[n]);
}

// The samples trade places with the delay line's, oldest first: a piece of the line, then
// (for a block longer than the line) the block's own beginning, while its end fills the line.
void PeakLimiter::passThrough(float* stereo, int frames) {
    const int count = 2 * frames;
    const int line = 2 * m_lookAhead;
    for (int done = 0; done < count;) {
        const int piece = std::min(count - done, line - m_delayAt);
        std::swap_ranges(stereo + done, stereo + done + piece, m_delay.begin() + m_delayAt);
        done += piece;
        m_delayAt = m_delayAt + piece == line ? 0 : m_delayAt + piece;
    }
    m_frame += frames;
    m_gain = 1.0f;
}

// The smallest gain any frame now in the window asks for is the gain its peak must leave with:
// the minimum is held for the whole window, released slowly, then averaged over the window, so
// the gain glides down across the look-ahead and is at or below every demand as its frame leaves.
void PeakLimiter::limitFrame(float* frame, float peak) {
    demand(peak > m_aim ? m_aim / peak : 1.0f);
    const float held = m_demandCount > 0 ? m_demands[m_demandFirst].gain : 1.0f;
    m_released = std::min(held, m_released + (1.0f - m_released) * m_releaseStep);
    if (m_released > 0.999999f)
        m_released = 1.0f;  // recovered: exactly unity again, so a quiet output passes untouched
    m_gain = smooth(m_released);
    for (int side = 0; side < 2; ++side) {
        const float entering = frame[side];
        frame[side] = m_delay[m_delayAt] * m_gain;
        m_delay[m_delayAt] = entering;
        m_delayAt = m_delayAt + 1 == 2 * m_lookAhead ? 0 : m_delayAt + 1;
    }
    ++m_frame;
}

// A sliding minimum over the window: demands that a later, smaller one outdoes never become the
// minimum, so they leave at once; unity demands are never stored.
void PeakLimiter::demand(float gain) {
    if (m_demandCount > 0 && m_demands[m_demandFirst].frame <= m_frame - m_window) {
        m_demandFirst = (m_demandFirst + 1) % m_window;
        --m_demandCount;
    }
    if (gain >= 1.0f)
        return;
    while (m_demandCount > 0 && m_demands[(m_demandFirst + m_demandCount - 1) % m_window].gain >= gain)
        --m_demandCount;
    m_demands[(m_demandFirst + m_demandCount) % m_window] = {gain, m_frame};
    ++m_demandCount;
}

float PeakLimiter::smooth(float released) {
    const float leaving = m_smoothed[m_smoothedAt];
    m_smoothed[m_smoothedAt] = released;
    m_smoothedAt = m_smoothedAt + 1 == m_window ? 0 : m_smoothedAt + 1;
    m_smoothedBelowOne += (released < 1.0f) - (leaving < 1.0f);
    if (m_smoothedBelowOne == 0) {
        m_smoothedSum = m_window;  // no rounding left over from the last peak
        return 1.0f;
    }
    m_smoothedSum += static_cast<double>(released) - leaving;
    return static_cast<float>(m_smoothedSum / m_window);
}

}  // namespace tromel::audio
