// The drums a drum channel can play: their number of each, names and the sounds they stand for.
#pragma once

#include "song/Song.h"

#include <array>
#include <string>
#include <string_view>

namespace tromel {

// Drum numbers 0..11 are the twelve every "Org-02" song knows; 12 and up are further drums of our
// own making, which "Org-03" songs may name. Their file is D + (number + 1) + .wav.
inline constexpr int classicDrumCount = 12;
inline constexpr int drumCount = 28;

inline constexpr std::array<std::string_view, drumCount> drumNames{
    "Bass01", "Bass02", "Snare01", "Snare02", "Tom01", "HiClose",  "HiOpen", "Crash",    "Per01",  "Per02",
    "Bass03", "Tom02",  "Tom03",   "Tom04",   "Clap",  "Stick",    "Ride",   "RideBell", "Splash", "China",
    "Tamb",   "Shaker", "Conga01", "Conga02", "Bongo", "Triangle", "Claves", "HiPedal"};

// "Drum channel 3 names drum 40, ..." for the drum channels whose number lies beyond the set
// (they play silence), or an empty text when there are none.
std::string unknownDrumsText(const Song& song);

}  // namespace tromel
