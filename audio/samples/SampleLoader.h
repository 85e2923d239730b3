// Reading a WAV file into a playable sample.
#pragma once

#include "audio/samples/SampleData.h"

#include <filesystem>
#include <memory>

namespace tromel::audio {

struct SampleLoad {
    std::shared_ptr<const SampleData> sample;  // null on failure
    int error = 0;                             // an ErrorCode of AudioLayer.h
};

// Any PCM WAV file libsndfile reads: 8, 16, 24 or 32-bit integer or float, mono or stereo, up to
// longestSampleSeconds long. A missing or unreadable file gives errorFileOpen, a longer one
// errorTooLong, anything else errorFormat. `levels`: as buildSampleData makes them.
// [any thread but the audio thread]
SampleLoad loadSampleFile(const std::filesystem::path& path, bool loop, int levels = SampleData::levelCount);

}  // namespace tromel::audio
