// What each of the hundred instrument waves sounds like.
#include "song/WaveCatalogue.h"

namespace tromel {
namespace {

constexpr std::array<std::string_view, 4> brightnessWords{"soft", "mellow", "bright", "sharp"};

}  // namespace

std::string describeWave(int wave) {
    if (wave < 0 || wave >= waveCount)
        return {};
    const WaveFamilyRange* family = &waveFamilies.front();
    for (const WaveFamilyRange& range : waveFamilies) {
        if (range.first <= wave)
            family = &range;
    }
    return std::string(family->name) + ", " +
           std::string(brightnessWords[static_cast<std::size_t>(waveBrightness[static_cast<std::size_t>(wave)])]);
}

}  // namespace tromel
