// Building the levels of a sample: windowed-sinc resampling and the B-spline prefilter.
#pragma once

#include "audio/samples/SampleData.h"

#include <vector>

namespace tromel::audio {

// Prepares raw frames (interleaved, channels 1 or 2) for playback. The work grows with the
// sample's length: a second of sound takes a few tens of milliseconds. [user-interface thread]
SampleData buildSampleData(const std::vector<float>& interleaved, int channels, int rate, bool loop);

// Level `level` alone, as buildSampleData makes it: for a player that prepares only the levels its notes
// reach. [any thread but the audio thread]
SampleLevel buildSampleLevel(const std::vector<float>& interleaved, int channels, bool loop, int level);

}  // namespace tromel::audio
