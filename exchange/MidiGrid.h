// How a MIDI file's time reads as a song's: its tempo, meter and grid, and what a grid moves.
#pragma once

#include "exchange/MidiFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tromel::exchange {

// Written by Export MIDI in its first track so that an import finds the song's own grid, bar and
// tempo again: a sequencer-specific meta event.
struct SongGridMarker {
    int stepsPerBeat = 4;  // 1..255
    int beatsPerBar = 4;   // the song's stepsPerBar field as it stands
    int32_t msPerStep = 0;

    friend bool operator==(const SongGridMarker&, const SongGridMarker&) = default;
};
std::string markerPayload(const SongGridMarker& marker);
std::optional<SongGridMarker> readMarkerPayload(std::string_view payload);

// Export MIDI writes a slow song's beat as k quarter notes, k a power of two no larger than this.
inline constexpr int64_t largestQuartersPerBeat = 64;
// A beat of `beat` microseconds over `quarters` quarter notes: the tempo of a quarter note, to the
// nearest microsecond.
inline int64_t quarterTempoOf(int64_t beat, int64_t quarters) {
    return (beat + quarters / 2) / quarters;
}

// A bar as a musician reads its time signature: x/4 is x beats of a quarter; 6/8, 9/8, 12/8 (a
// numerator a multiple of 3 above 3 over 8) are numerator / 3 beats of a dotted quarter; other
// x/8 are x beats of an eighth; x/2 are x beats of a half. Other meters count quarters, rounded.
struct MidiMeter {
    int numerator = 4;
    int denominator = 4;
    int beats = 4;       // per bar, 1..255
    int beatHalves = 2;  // a beat's length in eighth notes
    bool exact = true;   // false when the bar is not a whole number of its beats

    static MidiMeter of(int numerator, int denominatorPower);
};

// The first tempo, meter and loop points over all tracks, the marker if there is one, and how
// many later changes of tempo and meter the song cannot keep.
struct MidiTiming {
    uint32_t tempo = 500000;  // microseconds per quarter note
    MidiMeter meter;
    // The beat the grid counts steps in, in eighth notes: the meter's, or in a file Export MIDI wrote
    // 2k, its song's beat of k quarter notes.
    int beatHalves = 2;
    std::optional<SongGridMarker> marker;
    int64_t tempoChanges = 0;
    int64_t shortTempos = 0;  // tempo events of fewer than three bytes, which say no tempo
    int64_t meterChanges = 0;
    std::optional<int64_t> loopStartTick;
    std::optional<int64_t> loopEndTick;
    std::optional<int64_t> controllerLoopStart;

    int largestStepsPerBeat() const;
};
MidiTiming readMidiTiming(const MidiFile& file);

// Ticks onto steps of `stepsPerBeat` to the beat of a meter.
class MidiGrid {
public:
    MidiGrid(int division, int beatHalves, int stepsPerBeat);
    // The nearest step, halves up.
    int64_t stepOf(int64_t tick) const;
    // How far a tick moves to its step, in units of 1 / (2 × stepsPerBeat) tick.
    int64_t shiftOf(int64_t tick) const;
    // Whether that is a tick or more.
    bool moves(int64_t tick) const { return shiftOf(tick) >= 2 * m_stepsPerBeat; }
    // A shift as the shortest note value from a whole note to a 128th that holds it: "a 32nd note".
    std::string noteValueOf(int64_t shift) const;

private:
    int64_t m_division;
    int64_t m_beatHalves;
    int64_t m_stepsPerBeat;
};

// How the note starts of a file sit on a grid.
struct GridFit {
    int64_t starts = 0;
    int64_t moved = 0;
    int64_t largestShift = 0;  // as MidiGrid::shiftOf counts
};
GridFit fitOnGrid(const MidiFile& file, const MidiGrid& grid);

// The marker's steps per beat; otherwise the smallest of 1, 2, 3, 4, 6, 8, 12, 16 and 24 on which
// at least 99 % of the note starts stay where they are, or 4 when none does (a file played in).
int chooseStepsPerBeat(const MidiFile& file, const MidiTiming& timing);

}  // namespace tromel::exchange
