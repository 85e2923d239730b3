// The status bar texts that name the current channel or report on an edit.
#include "roll/ChannelStatus.h"

#include "roll/NoteTableOps.h"
#include "song/ChannelNames.h"

namespace tromel::roll {

std::string channelStatusText(int16_t channelKind, int16_t currentChannel) {
    return "Current Channel: " + channelKindWord(channelKind) + " #" + std::to_string(currentChannel + 1);
}

std::string channelFullText() {
    return "Channel is full: " + std::to_string(maxChannelNotes) + " notes";
}

}  // namespace tromel::roll
