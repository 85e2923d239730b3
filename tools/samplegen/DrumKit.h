// The one-shot drums, synthesised at 22050 Hz: one for each drum number of song/DrumSet.h.
#pragma once

#include <vector>

namespace tromel::samplegen {

// In drum number order, Bass01 .. Tom02 and then our further drums Tom03 .. HiPedal (files
// D01.wav..D28.wav). Each starts at zero and dies away to silence before its end.
std::vector<std::vector<double>> drumKit();

}  // namespace tromel::samplegen
