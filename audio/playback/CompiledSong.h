// A song turned into timed channel events: what the step clock plays.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/mixer/Sequencer.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tromel::audio {

inline constexpr int songChannelCount = 16;  // 0..7 instrument channels, 8 + d drum channel d

enum class EventKind : int32_t { Empty = 0, NoteStart = 1, Change = 2 };

// One event of one step. Volume -1 and pan -101 leave the channel's value as it is.
struct PlayEvent {
    int32_t position = 0;  // the play position it belongs to, 1..loopEnd
    EventKind kind = EventKind::Empty;
    int32_t isDrum = 0;
    int32_t channel = 0;  // 0..7 within its group
    int32_t pan = 0;
    int32_t volume = 0;
    int32_t keyRow = 0;  // note starts: the stored key, 1..96
    int32_t length = 0;  // note starts: steps

    int songChannel() const { return isDrum ? 8 + channel : channel; }
    friend bool operator==(const PlayEvent&, const PlayEvent&) = default;
};

struct CompiledSong : Disposable {
    // Ordered by position; within a position instrument channel 0, drum channel 0, instrument
    // channel 1 and so on, each channel in slot order.
    std::vector<PlayEvent> events;
    int32_t slotCount = 0;  // the largest number of events at one position
    int32_t tempo = 0;
    int32_t loopBegin = 0;
    int32_t loopEnd = 0;
    int32_t firstPosition = 1;  // the play position of the first step: 1, or where Play from Here began
    // The song's own loop, where loopBegin and loopEnd loop a passage of it for a while.
    int32_t songLoopBegin = 0;
    int32_t songLoopEnd = 0;
    // The metronome's meter: a beat every beatSteps file steps, a bar every barSteps, counted
    // from file step 0 as the roll's grid counts them.
    int32_t beatSteps = 4;
    int32_t barSteps = 16;
    std::array<Handle, songChannelCount> channels{};  // 0 where making the channel failed

    // The events of one play position, in play order.
    std::span<const PlayEvent> eventsAt(int32_t position) const;
};

}  // namespace tromel::audio
