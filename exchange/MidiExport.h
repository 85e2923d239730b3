// A song as a Standard MIDI File of type 1.
#pragma once

#include "exchange/MidiFile.h"
#include "song/Song.h"

#include <string>

namespace tromel::exchange {

// Every step is this many ticks (twice as many where a quarter note would not hold a whole number).
inline constexpr int64_t ticksPerStep = 96;
// The largest tempo a MIDI file holds, in microseconds per quarter note.
inline constexpr int64_t largestMidiTempo = 0xFFFFFF;
// The volume a channel's notes without a volume of their own take before any volume is given.
inline constexpr int startingVolume = 166;

struct MidiExportResult {
    MidiFile file;
    std::string error;  // why the song cannot be exported; empty when it was

    bool ok() const { return error.empty(); }
};

// The song's steps per beat: its beatsPerStep field, which holds steps per beat; 0 counts as 4.
int stepsPerBeatOf(const Song& song);

// A beat is one quarter note, or k of them (k = 2, 4, .. 64, the smallest that fits) when a beat
// would last longer than largestMidiTempo: the division is ticks per step × steps per beat / k.
// Track 1 holds the tempo, the time signature ((stepsPerBar × k) / 4), the marker of the song's
// own grid, bar and tempo, and the loop: markers "loopStart" and "loopEnd" and controller 111 on
// MIDI channel 1 at the loop start. Then one track per channel that holds notes, "Instrument 1"
// .. "Drum 8": instrument channel n on MIDI channel n + 1 with its wave's program, drums on MIDI
// channel 10 at their drum's percussion key. A note at step s starts at tick s × ticks per step
// with key + 12 (the file's key byte) and its volume as velocity, and lasts its length (a length
// of 0: until the next note or the song's end), cut at the next note of its channel. Volume
// changes become controller 7 and pans controller 10, each where the value in force on its MIDI
// channel changes. Refused: a tempo below 1, a beat longer than 64 quarter notes of
// largestMidiTempo, and songs reaching past largestMidiTick.
MidiExportResult songToMidi(const Song& song);

}  // namespace tromel::exchange
