// The shape of a sample file for a small picture.
#include "audio/samples/SampleShape.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace tromel::audio {

std::optional<std::vector<float>> readSampleFrames(const std::filesystem::path& path, int64_t maxFrames) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return std::nullopt;
    if (info.channels < 1 || info.channels > 2 || maxFrames < 0) {
        sf_close(file);
        return std::nullopt;
    }
    const sf_count_t wanted = std::min<sf_count_t>(info.frames, maxFrames);
    std::vector<float> interleaved(static_cast<std::size_t>(wanted * info.channels));
    const sf_count_t read = sf_readf_float(file, interleaved.data(), wanted);
    sf_close(file);
    std::vector<float> frames(static_cast<std::size_t>(std::max<sf_count_t>(read, 0)));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c)
            sum += interleaved[i * static_cast<std::size_t>(info.channels) + static_cast<std::size_t>(c)];
        frames[i] = sum / static_cast<float>(info.channels);
    }
    return frames;
}

std::vector<float> firstPeriod(const std::vector<float>& frames, double periodFrames, int points) {
    std::vector<float> values;
    if (frames.empty() || points < 1)
        return values;
    const double span = std::min(periodFrames, static_cast<double>(frames.size() - 1));
    for (int i = 0; i < points; ++i) {
        const double at = span * i / points;
        const auto index = static_cast<std::size_t>(at);
        const std::size_t next = std::min(index + 1, frames.size() - 1);
        const double within = at - static_cast<double>(index);
        values.push_back(static_cast<float>(frames[index] * (1.0 - within) + frames[next] * within));
    }
    return values;
}

std::vector<float> peakEnvelope(const std::vector<float>& frames, int points) {
    std::vector<float> peaks(static_cast<std::size_t>(std::max(points, 0)), 0.0f);
    if (frames.empty())
        return peaks;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const std::size_t bucket = i * peaks.size() / frames.size();
        peaks[bucket] = std::max(peaks[bucket], std::abs(frames[i]));
    }
    return peaks;
}

}  // namespace tromel::audio
