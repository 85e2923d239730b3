// The contract between the mixer and the step clocks it drives on the audio thread.
#pragma once

#include "audio/AudioLayer.h"

#include <cstdint>
#include <limits>

namespace tromel::audio {

// Something the audio thread hands back to the user-interface thread to be deleted there,
// because the audio thread never frees memory.
class Disposable {
public:
    virtual ~Disposable() = default;
};

// A command for a sequencer; kind and payload mean what the sequencer says they mean. A payload
// belongs to the sequencer once the command has been sent.
struct SequencerCommand {
    int kind = 0;
    Disposable* payload = nullptr;
    uint32_t tag = 0;
    uint32_t run = 0;   // which start or resume of the clock this is, where the sequencer counts them
    int32_t count = 0;  // a number the command carries, where its kind has one
};

// Channel operations as the audio thread performs them: at once, on the mixer's own state.
class ChannelControl {
public:
    virtual ~ChannelControl() = default;
    // [audio thread] The same meanings as AudioLayer's calls of the same names.
    virtual void setChannelAttributes(Handle channel, int frequency, int volume, int pan) = 0;
    virtual void playChannel(Handle channel) = 0;
    // [audio thread] A note start: the attributes, then play from the start. A note still
    // sounding on the channel fades out at its own frequency, volume and pan.
    virtual void startNote(Handle channel, int frequency, int volume, int pan) = 0;
    virtual void pauseChannel(Handle channel) = 0;
    virtual void stopChannel(Handle channel) = 0;
    // [audio thread] The metronome's click, an accented one on the first beat of a bar: the
    // mixer's own tone, which no channel, mute or volume reaches.
    virtual void click(bool accent) = 0;
    // [audio thread] Hands an object to the user-interface thread, which deletes it.
    virtual void dispose(Disposable* object) = 0;
};

inline constexpr int64_t noStepFrame = std::numeric_limits<int64_t>::max();

class Sequencer : public Disposable {
public:
    // [audio thread] A command, taking effect at the given output frame.
    virtual void receive(const SequencerCommand& command, int64_t frame, ChannelControl& channels) = 0;
    // [audio thread] The output frame of the next step, or noStepFrame while the clock stands.
    virtual int64_t nextStepFrame() const = 0;
    // [audio thread] Plays the step due at nextStepFrame().
    virtual void step(ChannelControl& channels) = 0;
    // [audio thread] Called after every mixed buffer: the steps played so far have been mixed.
    virtual void publish() = 0;
};

}  // namespace tromel::audio
