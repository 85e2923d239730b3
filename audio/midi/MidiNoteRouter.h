// Where a MIDI keyboard's notes go: at once to the mixer, and to the editor for entering notes.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/midi/PlayedNote.h"
#include "audio/mixer/SpscQueue.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

namespace tromel::audio {

// What live notes sound like now, as the user-interface thread publishes it: the channel they
// play on (bound to the current channel's wave or drum; 0 plays nothing), that channel's kind and
// the stored pan (0 to 12) of a new note.
struct LiveSound {
    Handle channel = 0;
    bool drum = false;
    int16_t storedPan = 6;

    friend bool operator==(const LiveSound&, const LiveSound&) = default;
};

// THE THREADS. receive() runs on the threads that receive MIDI (one for each open port), which
// take turns through a lock of their own, so the queue of played notes has one producer at a time
// and the audio thread never meets the lock: note-ons and note-offs go straight to the layer's
// live queue, stamped with the next frame the mixer begins and with the sound the user-interface
// thread last published, and into the queue of played notes that the user-interface thread
// empties for step entry and recording.
class MidiNoteRouter {
public:
    // `arrived` runs on the receiving thread after a played note was queued while none was waiting
    // (a wake-up for the user-interface thread; it must not block).
    explicit MidiNoteRouter(AudioLayer& layer, std::function<void()> arrived = {});

    // [user-interface thread]
    void setSound(const LiveSound& sound);
    LiveSound sound() const;
    // [user-interface thread] The next note played; false when none waits.
    bool takePlayed(PlayedNote& note);

    // [a receiving thread] One MIDI message, received at `nanoseconds` of the steady clock. Note-on
    // (a velocity of 0 is a note-off) and note-off on any MIDI channel; the rest is ignored.
    void receive(const uint8_t* bytes, std::size_t size, int64_t nanoseconds);

private:
    AudioLayer& m_layer;
    std::function<void()> m_arrived;
    std::atomic<uint64_t> m_sound;
    std::mutex m_receiving;
    SpscQueue<PlayedNote> m_played;
    std::atomic<bool> m_waiting{false};  // a wake-up was sent and the queue not yet emptied
};

}  // namespace tromel::audio
