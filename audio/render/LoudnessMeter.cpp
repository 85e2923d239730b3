// Loudness by EBU R 128 (ITU-R BS.1770-4) through libebur128: integrated, range and true peak.
#include "audio/render/LoudnessMeter.h"

#include "audio/AudioLayer.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tromel::audio {

struct LoudnessMeter::State {
    ebur128_state* meter = ebur128_init(2, outputRate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
    ~State() { ebur128_destroy(&meter); }
};

LoudnessMeter::LoudnessMeter() : m_state(std::make_unique<State>()) {}

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::add(const float* stereo, int frames) {
    if (m_state->meter && frames > 0)
        ebur128_add_frames_float(m_state->meter, stereo, static_cast<std::size_t>(frames));
}

LoudnessFigures LoudnessMeter::figures() const {
    LoudnessFigures figures{-std::numeric_limits<double>::infinity(), 0.0, -std::numeric_limits<double>::infinity()};
    ebur128_state* meter = m_state->meter;
    if (!meter)
        return figures;
    ebur128_loudness_global(meter, &figures.integrated);
    ebur128_loudness_range(meter, &figures.range);
    double peak = 0.0;
    for (unsigned channel = 0; channel < 2; ++channel) {
        double channelPeak = 0.0;
        ebur128_true_peak(meter, channel, &channelPeak);
        peak = std::max(peak, channelPeak);
    }
    figures.truePeak = peak > 0.0 ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
    return figures;
}

}  // namespace tromel::audio
