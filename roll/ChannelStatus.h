// The status bar texts that name the current channel or report on an edit.
#pragma once

#include <cstdint>
#include <string>

namespace tromel::roll {

// "Current Channel: Instrument #3" for kind 0, "Current Channel: Drum #3" for kind 1.
std::string channelStatusText(int16_t channelKind, int16_t currentChannel);

// Shown when an add is refused because the channel holds as many records as it can.
std::string channelFullText();

inline constexpr const char* moveNoteText = "Move Note";
inline constexpr const char* stretchNoteText = "Stretch Note";

}  // namespace tromel::roll
