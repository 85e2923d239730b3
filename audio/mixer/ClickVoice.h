// The metronome's click: a short tone of our own, made as it plays, at a level of its own.
#pragma once

#include "audio/AudioLayer.h"

#include <cstdint>

namespace tromel::audio {

// A sine that rises over a few frames and dies away within about 50 ms: a plain beat, or a
// higher and louder accent on the first beat of a bar. The level is fixed: neither a song's
// volumes nor the mix gain reach it. Everything here runs on the audio thread, without
// allocating; a click started while one sounds takes its place.
class ClickVoice {
public:
    static constexpr double beatHz = 1320.0;
    static constexpr double accentHz = 1760.0;
    static constexpr float beatLevel = 0.12f;
    static constexpr float accentLevel = 0.25f;
    static constexpr int attackFrames = 16;    // at outputRate; the same time at any rate
    static constexpr int lengthFrames = 2205;  // 50 ms at outputRate

    explicit ClickVoice(int rate = outputRate)
        : m_rate(rate), m_attackFrames(framesAt(rate, attackFrames)), m_lengthFrames(framesAt(rate, lengthFrames)) {}

    // [audio thread] From its first frame at once: the first frame mixed is already sounding.
    void start(bool accent);
    bool active() const { return m_left > 0; }
    // [audio thread] Adds frames to an interleaved stereo buffer, the same on both sides.
    void mix(float* out, int frames);

private:
    int m_rate;
    int m_attackFrames;
    int m_lengthFrames;
    // The tone turns as a rotating phasor (cos, sin), so no sine is computed per frame.
    double m_cos = 0.0;
    double m_sin = 0.0;
    double m_turnCos = 1.0;
    double m_turnSin = 0.0;
    double m_envelope = 0.0;
    double m_decay = 1.0;
    float m_level = 0.0f;
    int m_played = 0;
    int m_left = 0;
};

}  // namespace tromel::audio
