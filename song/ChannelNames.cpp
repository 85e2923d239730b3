// What every text calls the sixteen channels.
#include "song/ChannelNames.h"

namespace tromel {

std::string channelKindWord(int kind, bool inText) {
    if (inText)
        return kind == 0 ? "instrument" : "drum";
    return kind == 0 ? "Instrument" : "Drum";
}

std::string channelName(int kind, int index, bool inText) {
    return channelKindWord(kind, inText) + ' ' + std::to_string(index + 1);
}

}  // namespace tromel
