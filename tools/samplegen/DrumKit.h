// The twelve one-shot drums, synthesised at 22050 Hz.
#pragma once

#include <vector>

namespace tromel::samplegen {

// In order: Bass01, Bass02, Snare01, Snare02, Tom01, HiClose, HiOpen, Crash, Per01, Per02,
// Bass03, Tom02 (files D01.wav..D12.wav). Each starts at zero and dies away to silence before
// its end.
std::vector<std::vector<double>> drumKit();

}  // namespace tromel::samplegen
