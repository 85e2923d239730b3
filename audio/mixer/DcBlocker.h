// The output's DC blocker: a gentle high-pass that takes away any steady offset of the mix.
#pragma once

#include "audio/AudioLayer.h"

#include <array>
#include <cstdint>

namespace tromel::audio {

// Runs on the audio thread (or offline). Notes restart their waves at a rising zero crossing,
// so short low notes leave a positive offset behind; this removes it, and lets what it holds
// drain away whenever a side falls silent, so silence leaves the mixer as exact zeros.
class DcBlocker {
public:
    static constexpr double cornerHz = 5.0;
    // Over these frames (2.9 ms at 44100 Hz, the same time at any rate) the held offset goes to
    // zero when the input falls silent: a glide from a level far below that of any note's own fade.
    static constexpr int drainFrames = 128;

    explicit DcBlocker(int rate = outputRate);

    // [audio thread] Filters interleaved stereo in place.
    void process(float* stereo, int frames);
    // [offline] For a part of a mix rendered apart (a stem): the offset drains only where the
    // whole mix is silent (`mixSilent`, a flag a sample) and follows the part everywhere else, so
    // the parts' offsets add up to the mix's at every frame.
    void process(float* stereo, int frames, const uint8_t* mixSilent);

private:
    struct Side {
        float offset = 0.0f;  // the slowly followed mean that is taken away
        float drainStep = 0.0f;
    };

    float filter(Side& side, float x, bool silent) const;
    void keepFinite(Side& left, Side& right);

    std::array<Side, 2> m_sides;
    float m_follow;
    float m_drainFrames;
};

}  // namespace tromel::audio
