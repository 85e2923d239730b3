// A look-ahead limiter that holds the true peak (between samples, 4x oversampled) under a ceiling.
#include "audio/render/TruePeakLimiter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tromel::audio {

namespace {

// The zeroth-order modified Bessel function, for the Kaiser window.
double besselI0(double x) {
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1; k < 30; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

constexpr double kaiserBeta = 7.0;

}  // namespace

// Phase p of the interpolator gives the point p/4 of a frame after the frame `interpolationDelay`
// frames back: a sinc at the input's Nyquist frequency, windowed, each phase scaled to unity gain.
TruePeakLimiter::TruePeakLimiter(double ceilingDb) : m_limiter(static_cast<float>(std::pow(10.0, ceilingDb / 20.0))) {
    for (int p = 1; p < phases; ++p) {
        double sum = 0.0;
        for (int j = 0; j < tapsPerPhase; ++j) {
            // Tap j reads the frame j frames back; the point lies interpolationDelay - p/4 back.
            const double t = j - interpolationDelay + static_cast<double>(p) / phases;
            const double sinc = std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
            const double edge = t / (tapsPerPhase / 2.0);
            const double window = std::abs(edge) >= 1.0
                                      ? 0.0
                                      : besselI0(kaiserBeta * std::sqrt(1.0 - edge * edge)) / besselI0(kaiserBeta);
            m_taps[p - 1][j] = static_cast<float>(sinc * window);
            sum += sinc * window;
        }
        for (float& tap : m_taps[p - 1])
            tap = static_cast<float>(tap / sum);
    }
}

// The peak of the frame `interpolationDelay` frames back and of the points on either side of it.
float TruePeakLimiter::framePeak() {
    float peak = 0.0f;
    for (int side = 0; side < 2; ++side) {
        const float* newest = m_history[side].data() + m_at;  // newest last, oldest first
        peak = std::max(peak, std::abs(newest[history - 1 - interpolationDelay]));
        for (const auto& taps : m_taps) {
            float point = 0.0f;
            for (int j = 0; j < tapsPerPhase; ++j)
                point += taps[j] * newest[history - 1 - j];
            peak = std::max(peak, std::abs(point));
        }
    }
    const float both = std::max(peak, m_lastPeak);
    m_lastPeak = peak;
    return both;
}

void TruePeakLimiter::process(float* stereo, int frames) {
    m_delayed.resize(2 * static_cast<std::size_t>(frames));
    m_peaks.resize(static_cast<std::size_t>(frames));
    for (int n = 0; n < frames; ++n) {
        for (int side = 0; side < 2; ++side) {
            m_history[side][m_at] = stereo[2 * n + side];
            m_history[side][m_at + history] = stereo[2 * n + side];
        }
        m_at = m_at + 1 == history ? 0 : m_at + 1;
        m_peaks[n] = framePeak();
        // The frame whose peak that is leaves the interpolator's window now.
        for (int side = 0; side < 2; ++side)
            m_delayed[2 * n + side] = m_history[side][m_at + history - 1 - interpolationDelay];
    }
    std::copy(m_delayed.begin(), m_delayed.end(), stereo);
    m_limiter.process(stereo, m_peaks.data(), frames);
}

}  // namespace tromel::audio
