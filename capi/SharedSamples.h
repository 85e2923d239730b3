// The bank's samples prepared for playback, once per process, shared by every player.
#pragma once

#include "audio/samples/SampleData.h"

namespace tromel::capi {

// The bank file of that name (as sampleFileName gives it) prepared for playback, looped or once; null for a
// name the bank does not hold. Made at the first call for it and then kept unchanged for the rest of the
// process. [any thread; never the audio thread, as the first call prepares]
const audio::SampleData* sharedSample(const char* name, bool loop);

}  // namespace tromel::capi
