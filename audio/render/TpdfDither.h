// Triangular dither for 16-bit outputs, from a fixed seed so that a render is always the same file.
#pragma once

#include <cstdint>

namespace tromel::audio {

// Adds noise of a triangular distribution, one step of 16-bit samples either side, before the
// writer quantises: the error then carries no trace of the signal (a fade's last whispers stay
// noise, not distortion). The writers round down, as libsndfile does; half a step more makes that
// a rounding to the nearest.
class TpdfDither {
public:
    static constexpr float step = 1.0f / 32768.0f;

    void apply(float* stereo, int frames) {
        for (int i = 0; i < 2 * frames; ++i)
            stereo[i] += (uniform() - uniform() + 0.5f) * step;
    }

private:
    // xorshift32: plenty for noise, and the same sequence everywhere.
    float uniform() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<float>(m_state >> 8) * (1.0f / 16777216.0f);
    }

    uint32_t m_state = 0x2545F491u;
};

}  // namespace tromel::audio
