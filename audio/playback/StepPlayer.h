// One step of playback: note ends, then the step's events, then the wrap at the loop end.
#pragma once

#include "audio/mixer/Sequencer.h"
#include "audio/playback/CompiledSong.h"

#include <array>
#include <cstdint>

namespace tromel::audio {

struct PlaybackState {
    int32_t playPosition = 0;  // 0 before the first step; position p is file step p - 1
    std::array<int32_t, songChannelCount> ticksLeft{};
    std::array<bool, songChannelCount> channelSilent{};

    // The state a compile leaves: position 0, every channel silent with nothing to count.
    void reset();
};

// Bit k set: mute box k is ticked (0..7 instrument channels, 8..15 drum channels).
using MuteMask = uint16_t;

// Plays the next step of a compiled song on its channels. [audio thread]
void playStep(PlaybackState& state, const CompiledSong& song, MuteMask muted, ChannelControl& channels);

}  // namespace tromel::audio
