// Reading a WAV file into a playable sample.
#include "audio/SampleLoader.h"

#include "audio/AudioLayer.h"
#include "audio/SampleLevels.h"

#include <sndfile.h>

#include <system_error>
#include <vector>

namespace tromel::audio {

namespace {

bool isPcmWav(const SF_INFO& info) {
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int sub = info.format & SF_FORMAT_SUBMASK;
    const bool wav = major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX;
    const bool pcm = sub == SF_FORMAT_PCM_U8 || sub == SF_FORMAT_PCM_S8 || sub == SF_FORMAT_PCM_16 ||
                     sub == SF_FORMAT_PCM_24 || sub == SF_FORMAT_PCM_32 || sub == SF_FORMAT_FLOAT ||
                     sub == SF_FORMAT_DOUBLE;
    return wav && pcm && (info.channels == 1 || info.channels == 2) && info.samplerate > 0;
}

// Lengths beyond this (about 6 minutes at 44100 Hz) are refused rather than prepared.
constexpr sf_count_t longestSampleFrames = 16 * 1024 * 1024;

}  // namespace

SampleLoad loadSampleFile(const std::filesystem::path& path, bool loop) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored))
        return {nullptr, errorFileOpen};
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return {nullptr, errorFormat};
    if (!isPcmWav(info) || info.frames > longestSampleFrames) {
        sf_close(file);
        return {nullptr, errorFormat};
    }
    std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    if (read != info.frames)
        return {nullptr, errorFormat};
    auto sample = std::make_shared<SampleData>(buildSampleData(frames, info.channels, info.samplerate, loop));
    return {std::move(sample), errorNone};
}

}  // namespace tromel::audio
