// The bank's prepared levels, made at build time so that a program carrying the bank starts playing without
// making them.
#include "tools/samplegen/BankLevels.h"

#include "audio/samples/SampleLevels.h"

#include <fstream>
#include <iostream>

namespace tromel::samplegen {

std::vector<LevelPlace> appendLevels(const std::vector<int16_t>& pcm, bool loop, int count,
                                     std::vector<float>& values) {
    std::vector<float> frames(pcm.size());
    for (std::size_t n = 0; n < pcm.size(); ++n)
        frames[n] = static_cast<float>(pcm[n]) / 32768.0f;
    std::vector<LevelPlace> places;
    for (int level = 0; level < count; ++level) {
        const audio::SampleLevel made = audio::buildSampleLevel(frames, 1, loop, level);
        places.push_back({static_cast<int64_t>(values.size()), made.length, made.framesPerSourceFrame});
        values.insert(values.end(), made.data.begin(), made.data.end());
    }
    return places;
}

bool writeLevelValues(const std::filesystem::path& path, const std::vector<float>& values) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(values.data()),
              static_cast<std::streamsize>(values.size() * sizeof(float)));
    return closeWritten(out, path);
}

bool closeWritten(std::ofstream& out, const std::filesystem::path& path) {
    out.close();
    if (!out) {
        std::cerr << "tromel-samplegen: " << path.string() << ": cannot be written\n";
        return false;
    }
    return true;
}

}  // namespace tromel::samplegen
