// A song turned into timed channel events: what the step clock plays.
#include "audio/playback/CompiledSong.h"

#include <algorithm>

namespace tromel::audio {

std::span<const PlayEvent> CompiledSong::eventsAt(int32_t position) const {
    const auto byPosition = [](const PlayEvent& event, int32_t p) { return event.position < p; };
    const auto first = std::lower_bound(events.begin(), events.end(), position, byPosition);
    auto last = first;
    while (last != events.end() && last->position == position)
        ++last;
    return {first, last};
}

}  // namespace tromel::audio
