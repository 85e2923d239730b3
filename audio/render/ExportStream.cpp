// What one exported stream (the mix, or a stem) goes through after the engine: gain, true-peak
// limiter, fade, dither, and on into its file.
#include "audio/render/ExportStream.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tromel::audio {

ExportStream::ExportStream(const StreamSettings& settings)
    : m_gain(static_cast<float>(std::pow(10.0, settings.gainDb / 20.0))), m_settings(settings) {
    if (settings.limit)
        m_limiter = std::make_unique<TruePeakLimiter>(truePeakCeiling);
    if (settings.dither)
        m_dither.emplace();
}

void ExportStream::prime(float* stereo, int frames) {
    if (m_gain != 1.0f)
        for (int i = 0; i < 2 * frames; ++i)
            stereo[i] *= m_gain;
    if (m_limiter)
        m_limiter->process(stereo, frames);
}

// Over the last fadeFrames frames the gain is cos(pi/2 * i / (fadeFrames - 1)), i counted from the
// fade's first frame: 1 there, 0 on the stream's last frame.
void ExportStream::fade(float* stereo, int frames, int64_t first) const {
    const int64_t start = m_settings.frames - m_settings.fadeFrames;
    if (m_settings.fadeFrames == 0 || first + frames <= start)
        return;
    const double span = static_cast<double>(std::max<int64_t>(1, m_settings.fadeFrames - 1));
    for (int n = 0; n < frames; ++n) {
        const int64_t i = first + n - start;
        if (i < 0)
            continue;
        const double position = m_settings.fadeFrames == 1 ? 1.0 : std::min(1.0, i / span);
        // cos(pi/2) is not quite 0 in doubles; the last frame is silent.
        const float gain = position >= 1.0 ? 0.0f : static_cast<float>(std::cos(std::numbers::pi / 2.0 * position));
        stereo[2 * n] *= gain;
        stereo[2 * n + 1] *= gain;
    }
}

bool ExportStream::process(float* stereo, int frames, int64_t first) {
    prime(stereo, frames);
    fade(stereo, frames, first);
    if (m_dither)
        m_dither->apply(stereo, frames);
    if (m_meter)
        m_meter->add(stereo, frames);
    return !m_writer || m_writer->write(stereo, frames);
}

}  // namespace tromel::audio
