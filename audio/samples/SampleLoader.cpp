// Reading a WAV file into a playable sample.
#include "audio/samples/SampleLoader.h"

#include "audio/AudioLayer.h"
#include "audio/samples/SampleLevels.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <new>
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

// The work and memory of preparing a sample grow with its frames, whatever its rate, so a file
// of a high rate is held to the frames of longestSampleSeconds at 48000 Hz as well.
constexpr sf_count_t highestCountedRate = 48000;

bool tooLong(const SF_INFO& info) {
    const sf_count_t rate = std::min<sf_count_t>(info.samplerate, highestCountedRate);
    return info.frames > longestSampleSeconds * rate;
}

// A file we may not read is not a format problem.
int openFailure(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return errorFileOpen;
    std::fclose(file);
    return errorFormat;
}

}  // namespace

SampleLoad loadSampleFile(const std::filesystem::path& path, bool loop, int levels) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored))
        return {nullptr, errorFileOpen};
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return {nullptr, openFailure(path)};
    if (!isPcmWav(info) || tooLong(info)) {
        sf_close(file);
        return {nullptr, isPcmWav(info) ? errorTooLong : errorFormat};
    }
    try {
        std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
        const sf_count_t read = sf_readf_float(file, frames.data(), info.frames);
        sf_close(file);
        file = nullptr;
        if (read != info.frames)
            return {nullptr, errorFormat};
        auto sample =
            std::make_shared<SampleData>(buildSampleData(frames, info.channels, info.samplerate, loop, levels));
        return {std::move(sample), errorNone};
    } catch (const std::bad_alloc&) {
        if (file)
            sf_close(file);
        return {nullptr, errorMemory};
    }
}

}  // namespace tromel::audio
