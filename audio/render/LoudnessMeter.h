// Loudness by EBU R 128 (ITU-R BS.1770-4) through libebur128: integrated, range and true peak.
#pragma once

#include "audio/render/OfflineRender.h"

#include <memory>

namespace tromel::audio {

// Keeps the gated blocks' energies, a few numbers a second, never the sound itself.
class LoudnessMeter {
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // Interleaved stereo at 44100 Hz.
    void add(const float* stereo, int frames);
    // Of everything added; the integrated loudness is -infinity when all of it was gated away
    // (silence, or below -70 LUFS).
    LoudnessFigures figures() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace tromel::audio
