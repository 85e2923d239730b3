// The metronome's click: a short tone of our own, made as it plays, at a level of its own.
#include "audio/mixer/ClickVoice.h"

#include <cmath>
#include <numbers>

namespace tromel::audio {

namespace {

// Falls by 60 dB over the click's length, so its end is far below hearing and needs no fade.
constexpr double decayOverLength = 1e-3;

}  // namespace

// [audio thread] The phasor starts a quarter turn in, so the first frame is at its crest
// (times the attack's first step) rather than at zero: the onset is the step's own frame.
void ClickVoice::start(bool accent) {
    const double turn = 2.0 * std::numbers::pi * (accent ? accentHz : beatHz) / m_rate;
    m_turnCos = std::cos(turn);
    m_turnSin = std::sin(turn);
    m_cos = 0.0;
    m_sin = 1.0;
    m_envelope = 1.0;
    m_decay = std::pow(decayOverLength, 1.0 / m_lengthFrames);
    m_level = accent ? accentLevel : beatLevel;
    m_played = 0;
    m_left = m_lengthFrames;
}

// [audio thread]
void ClickVoice::mix(float* out, int frames) {
    for (int i = 0; i < frames && m_left > 0; ++i, --m_left, ++m_played) {
        const double attack = m_played < m_attackFrames ? (m_played + 1.0) / m_attackFrames : 1.0;
        const auto value = static_cast<float>(m_level * attack * m_envelope * m_sin);
        out[2 * i] += value;
        out[2 * i + 1] += value;
        const double turnedCos = m_cos * m_turnCos - m_sin * m_turnSin;
        m_sin = m_sin * m_turnCos + m_cos * m_turnSin;
        m_cos = turnedCos;
        m_envelope *= m_decay;
    }
}

}  // namespace tromel::audio
