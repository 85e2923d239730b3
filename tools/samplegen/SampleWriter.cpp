// Writing a generated sample as a 16-bit mono WAV file.
#include "tools/samplegen/SampleWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>

namespace tromel::samplegen {

bool writeSample(const std::filesystem::path& path, const std::vector<double>& frames) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::cerr << "tromel-samplegen: " << path.string() << ": " << sf_strerror(nullptr) << '\n';
        return false;
    }
    std::vector<int16_t> pcm(frames.size());
    std::transform(frames.begin(), frames.end(), pcm.begin(),
                   [](double v) { return static_cast<int16_t>(std::lrint(std::clamp(v, -1.0, 1.0) * 32767.0)); });
    const sf_count_t written = sf_write_short(file, pcm.data(), static_cast<sf_count_t>(pcm.size()));
    sf_close(file);
    if (written != static_cast<sf_count_t>(pcm.size())) {
        std::cerr << "tromel-samplegen: " << path.string() << ": short write\n";
        return false;
    }
    return true;
}

}  // namespace tromel::samplegen
