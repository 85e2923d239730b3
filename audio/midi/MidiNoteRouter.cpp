// Where a MIDI keyboard's notes go: at once to the mixer, and to the editor for entering notes.
#include "audio/midi/MidiNoteRouter.h"

#include "audio/mixer/KeyFrequency.h"
#include "audio/mixer/LiveNote.h"
#include "audio/playback/SongCompiler.h"
#include "exchange/GeneralMidiMap.h"
#include "song/KeysAndPans.h"

namespace tromel::audio {
namespace {

constexpr std::size_t playedCapacity = 1024;

// The sound in one word, so that a receiving thread reads it whole without a lock.
uint64_t packed(const LiveSound& sound) {
    return static_cast<uint64_t>(sound.channel) | (static_cast<uint64_t>(sound.drum) << 32) |
           (static_cast<uint64_t>(static_cast<uint16_t>(sound.storedPan)) << 40);
}

LiveSound unpacked(uint64_t word) {
    return {static_cast<Handle>(word & 0xFFFFFFFFu), ((word >> 32) & 1u) != 0,
            static_cast<int16_t>(static_cast<uint16_t>(word >> 40))};
}

}  // namespace

MidiNoteRouter::MidiNoteRouter(AudioLayer& layer, std::function<void()> arrived)
    : m_layer(layer), m_arrived(std::move(arrived)), m_sound(packed({})), m_played(playedCapacity) {}

void MidiNoteRouter::setSound(const LiveSound& sound) {
    m_sound.store(packed(sound), std::memory_order_release);
}

LiveSound MidiNoteRouter::sound() const {
    return unpacked(m_sound.load(std::memory_order_acquire));
}

bool MidiNoteRouter::takePlayed(PlayedNote& note) {
    // An exchange, not a store: it reads whatever a receiving thread last wrote, so every note
    // queued before a wake-up was held back is seen here.
    m_waiting.exchange(false, std::memory_order_acq_rel);
    return m_played.pop(note);
}

void MidiNoteRouter::receive(const uint8_t* bytes, std::size_t size, int64_t nanoseconds) {
    if (size < 3)
        return;
    const uint8_t kind = bytes[0] & 0xF0;
    if (kind != 0x80 && kind != 0x90)
        return;
    const bool on = kind == 0x90 && bytes[2] != 0;
    const int32_t fileKey = withinFileKeys(fileKeyOfMidiKey(bytes[1] & 0x7F));
    const auto volume = static_cast<int16_t>(exchange::volumeOfVelocity(on ? bytes[2] & 0x7F : 0));
    const std::lock_guard<std::mutex> oneAtATime(m_receiving);
    const LiveSound sound = unpacked(m_sound.load(std::memory_order_acquire));
    LiveNote live{on ? LiveNote::Kind::On : LiveNote::Kind::Off, sound.channel, fileKey, 0, 0, 0, m_layer.nextFrame()};
    if (on) {
        const PlayEvent event =
            playEventOf(NoteRec{1, rowOfFileKey(fileKey), 1, sound.storedPan, volume}, sound.drum, 0);
        live.frequency = noteFrequency(event.keyRow, sound.drum);
        live.volume = event.volume;
        live.pan = event.pan;
    }
    if (sound.channel != 0)
        m_layer.postLiveNote(live);
    // A full queue means the user-interface thread has stopped listening: the note still sounds.
    if (m_played.push({on, fileKey, volume, nanoseconds}) && !m_waiting.exchange(true, std::memory_order_acq_rel) &&
        m_arrived)
        m_arrived();
}

}  // namespace tromel::audio
