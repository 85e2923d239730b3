// What every text calls the sixteen channels: "Instrument 1" to "Instrument 8", "Drum 1" to "Drum 8".
#pragma once

#include <string>

namespace tromel {

// "Instrument" for kind 0, "Drum" for kind 1; within a sentence or a file's name, "instrument" and "drum".
std::string channelKindWord(int kind, bool inText = false);
// A channel by its kind and its index from 0 within the kind: "Instrument 3"; in text, "instrument 3".
std::string channelName(int kind, int index, bool inText = false);

}  // namespace tromel
