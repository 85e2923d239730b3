// The bank's samples prepared for playback, once per process, shared by every player.
#pragma once

#include "audio/samples/SampleData.h"

#include <cstdint>

namespace tromel::capi {

// A bit a level of SampleData: the levels a player's notes reach.
using LevelSet = uint32_t;

// The bank file of that name (as sampleFileName gives it), looped or once, with at least the levels in
// `levels` prepared; null for a name the bank does not hold. Every level is prepared at the first call that
// asks for it and then kept unchanged for the rest of the process, so a player may play the levels it asked
// for while others are being prepared for another. Levels not asked for hold no frames: a player must never
// reach them. [any thread; never the audio thread, as a call may prepare]
const audio::SampleData* sharedSample(const char* name, bool loop, LevelSet levels);

}  // namespace tromel::capi
