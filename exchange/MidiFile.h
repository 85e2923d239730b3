// A Standard MIDI File in memory: its type, time division and tracks of timed events.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tromel::exchange {

// The longest time any track may run, in ticks: the largest delta time a file can carry in one
// event. Files that run longer are refused, and songs that would are not exported.
inline constexpr uint32_t largestMidiTick = 0x0FFFFFFF;

namespace midi {
inline constexpr uint8_t noteOff = 0x80;
inline constexpr uint8_t noteOn = 0x90;
inline constexpr uint8_t controlChange = 0xB0;
inline constexpr uint8_t programChange = 0xC0;
inline constexpr uint8_t pitchBend = 0xE0;
inline constexpr uint8_t meta = 0xFF;

inline constexpr uint8_t metaTrackName = 0x03;
inline constexpr uint8_t metaMarker = 0x06;
inline constexpr uint8_t metaEndOfTrack = 0x2F;
inline constexpr uint8_t metaTempo = 0x51;
inline constexpr uint8_t metaTimeSignature = 0x58;
inline constexpr uint8_t metaSequencerSpecific = 0x7F;

inline constexpr uint8_t controllerVolume = 7;
inline constexpr uint8_t controllerPan = 10;
inline constexpr uint8_t controllerExpression = 11;
inline constexpr uint8_t controllerSustain = 64;
// The loop start that game engines read from a controller on MIDI channel 1.
inline constexpr uint8_t controllerLoopStart = 111;

inline constexpr int percussionChannel = 9;  // MIDI channel 10
}  // namespace midi

// A channel message (status 0x80..0xEF, its channel in the low four bits, one or two data
// bytes) or a meta event (status 0xFF, its type, and its bytes kept by its track). System
// exclusive messages are not kept; an end of track is the track's endTick instead of an event.
// Events own no memory of their own: a file holds millions of them.
struct MidiEvent {
    uint32_t tick = 0;  // from the start of the track
    uint8_t status = 0;
    uint8_t data1 = 0;  // channel messages: key, controller or program
    uint8_t data2 = 0;  // channel messages with two data bytes: velocity or value
    uint8_t metaType = 0;
    uint32_t payloadAt = 0;  // meta events: where their bytes begin in their track's metaBytes
    uint32_t payloadSize = 0;

    static MidiEvent channelMessage(uint32_t tick, uint8_t kind, int channel, int data1, int data2 = 0);

    uint8_t kind() const { return status & 0xF0; }
    int channel() const { return status & 0x0F; }
    bool isMeta() const { return status == midi::meta; }
    // Data bytes after the status byte of a channel message (1 for program change and channel
    // pressure, 2 for the others).
    static int dataBytesOf(uint8_t status);

    friend bool operator==(const MidiEvent&, const MidiEvent&) = default;
};

struct MidiTrack {
    std::vector<MidiEvent> events;  // in time order
    std::string metaBytes;          // the meta events' bytes, one after another
    uint32_t endTick = 0;           // the end of track, at or after the last event

    // Adds a meta event at the end of the events.
    void addMeta(uint32_t tick, uint8_t type, std::string_view payload);
    std::string_view payloadOf(const MidiEvent& event) const;

    // The same events with the same bytes, wherever metaBytes keeps them.
    friend bool operator==(const MidiTrack& a, const MidiTrack& b);
};

struct MidiFile {
    int format = 1;     // 0: one track; 1: tracks played together
    int division = 96;  // ticks per quarter note
    std::vector<MidiTrack> tracks;

    friend bool operator==(const MidiFile&, const MidiFile&) = default;
};

}  // namespace tromel::exchange
