// A song made from a MIDI file's parts by a plan, and an account of what did not fit.
#pragma once

#include "exchange/MidiParts.h"
#include "song/Song.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tromel::exchange {

// Nothing is dropped silently: every note of the file is imported or counted under a reason.
struct MidiImportSummary {
    int64_t imported = 0;
    // Notes dropped.
    int64_t skippedParts = 0;    // in parts set to Skip
    int64_t noFreeChannel = 0;   // chord notes with no channel left to spread to
    int64_t belowTopNote = 0;    // chord notes under the top note, with the "top" policy
    int64_t doubled = 0;         // a second note of the same key at the same step of a channel
    int64_t beyondTable = 0;     // past the 32,767 notes a channel holds
    int64_t beyondLastStep = 0;  // starting later than a song can hold
    // Notes changed.
    int64_t cutTo255 = 0;
    int64_t cutAtNextNote = 0;
    int64_t movedByOctaves = 0;
    // Events that have no place in a song.
    int64_t pitchBends = 0;
    int64_t sustainPedal = 0;
    int64_t tempoChanges = 0;
    int64_t shortTempos = 0;     // tempo events too short to hold a tempo
    int64_t meterChanges = 0;    // later time signatures, the first one kept
    int64_t changesDropped = 0;  // volume and pan changes past a full channel
    int64_t movedToGrid = 0;     // note starts a tick or more from the step they land on
    std::string largestShift;    // the largest of those moves as a note value ("a 32nd note")
    std::string firstMeter;      // the file's first time signature, "6/8"
    std::string timeSignature;   // how an inexact time signature was read, or empty
    std::string tempo;           // how a tempo a song cannot hold was read, or empty

    int64_t dropped() const;
    // One line for each count that is not 0, beginning with the notes imported.
    std::vector<std::string> lines() const;
};

struct MidiImportResult {
    Song song;
    MidiImportSummary summary;
};

// Steps from ticks by the plan's grid (steps per beat of the meter's beat), notes quantised to the
// nearest step; later tempo changes flattened (notes keep their beats). The song's tempo from the
// first tempo, stepsPerBar from the first time signature read as MidiMeter reads it, beatsPerStep =
// steps per beat; a file Export MIDI wrote brings its own tempo and bar in its marker. The loop from
// the markers "loopStart"/"loopEnd" or controller 111, otherwise from 0 to the end rounded up to
// a whole bar. Keys move by octaves into 0..95, lengths are cut to 255 steps and at the next note
// of their channel; velocity, programs, drums and pans go through the General MIDI tables;
// controllers 7 and 11 become volume changes and controller 10 pans, where a note sounds.
MidiImportResult midiToSong(const MidiFile& file, const std::vector<MidiPart>& parts, const MidiImportPlan& plan);

}  // namespace tromel::exchange
