// What one exported stream (the mix, or a stem) goes through after the engine: gain, true-peak
// limiter, fade, dither, and on into its file.
#pragma once

#include "audio/render/LoudnessMeter.h"
#include "audio/render/TpdfDither.h"
#include "audio/render/TruePeakLimiter.h"
#include "exchange/AudioFileWriter.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace tromel::audio {

struct StreamSettings {
    double gainDb = 0.0;
    bool limit = false;      // hold the true peak under truePeakCeiling
    int64_t frames = 0;      // the stream's length, which the fade ends with
    int64_t fadeFrames = 0;  // 0: no fade
    bool dither = false;
};

class ExportStream {
public:
    explicit ExportStream(const StreamSettings& settings);

    // Frames the limiter holds back: the stream's first output frames come this much later.
    int delayFrames() const { return m_limiter ? TruePeakLimiter::delayFrames : 0; }
    // Gain and limiter only, for the frames the limiter holds back at the start.
    void prime(float* stereo, int frames);
    // The stream's frames from `first` on, processed in place; then metered and written when
    // asked to. False when the writer failed.
    bool process(float* stereo, int frames, int64_t first);

    void meterWith(LoudnessMeter* meter) { m_meter = meter; }
    void writeTo(std::unique_ptr<exchange::AudioFileWriter> writer) { m_writer = std::move(writer); }
    exchange::AudioFileWriter* writer() { return m_writer.get(); }

private:
    void fade(float* stereo, int frames, int64_t first) const;

    float m_gain;
    StreamSettings m_settings;
    std::unique_ptr<TruePeakLimiter> m_limiter;
    std::optional<TpdfDither> m_dither;
    LoudnessMeter* m_meter = nullptr;
    std::unique_ptr<exchange::AudioFileWriter> m_writer;
};

}  // namespace tromel::audio
