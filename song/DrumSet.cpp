// Reporting the drum numbers a song names beyond the drums we have.
#include "song/DrumSet.h"

namespace tromel {

std::string unknownDrumsText(const Song& song) {
    std::string channels;
    for (int ch = 0; ch < 8; ++ch) {
        const int number = song.drums[ch].wave;
        if (number >= 0 && number < drumCount)
            continue;
        channels += channels.empty() ? "" : ", ";
        channels += "drum channel " + std::to_string(ch + 1) + " names drum " + std::to_string(number);
    }
    if (channels.empty())
        return {};
    return "This song names drums Tromel does not have (" + channels + "; it knows 0 to " +
           std::to_string(drumCount - 1) + "). They play silence.";
}

}  // namespace tromel
