// The status bar texts that name the current channel or report on an edit.
#include "roll/ChannelStatus.h"

#include "roll/NoteTableOps.h"

namespace tromel::roll {

std::string channelStatusText(int16_t channelKind, int16_t currentChannel) {
    const char* kindName = channelKind == 0 ? "Instrument #" : "Drum #";
    return "Current Channel: " + std::string(kindName) + std::to_string(currentChannel + 1);
}

std::string channelFullText() {
    return "Channel is full: " + std::to_string(maxChannelNotes) + " notes";
}

}  // namespace tromel::roll
