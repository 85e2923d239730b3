// The messages between the user-interface thread and the mixer on the audio thread.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/mixer/Sequencer.h"
#include "audio/samples/SampleData.h"

#include <cstdint>

namespace tromel::audio {

// User-interface thread to audio thread, taking effect at `frame` (or as soon as it is reached).
struct MixerCommand {
    enum class Kind : uint8_t {
        Bind,           // slot, handle, sample, flag = loop
        SetLooping,     // flag
        SetAttributes,  // frequency, volume, pan (-1, -1, -101 unchanged)
        Play,
        Pause,
        Stop,
        Retire,            // stop at once, then hand the slot back
        RetireWhenSilent,  // let it finish, then hand the slot back
        SetMaxVolume,      // volume
        Attach,            // sequencer
        Detach,            // sequencer
        Retreat,           // sequencer: detach and hand it back to be deleted
        ToSequencer,       // sequencer, sequencerCommand
        SetBus,            // bus
    };
    Kind kind = Kind::Play;
    int64_t frame = 0;
    uint32_t slot = 0;
    Handle handle = 0;
    const SampleData* sample = nullptr;
    bool flag = false;
    int frequency = 0;
    int volume = 0;
    int pan = 0;
    int bus = -1;
    Sequencer* sequencer = nullptr;
    SequencerCommand sequencerCommand;
};

// Audio thread to user-interface thread: what the audio thread has let go of.
struct MixerReturn {
    enum class Kind : uint8_t { SlotReleased, Dispose };
    Kind kind = Kind::SlotReleased;
    uint32_t slot = 0;
    Disposable* object = nullptr;
};

}  // namespace tromel::audio
