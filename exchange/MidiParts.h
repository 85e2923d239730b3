// The parts of a MIDI file a song can be made from, and where each goes: the import's plan.
#pragma once

#include "exchange/MidiFile.h"

#include <string>
#include <vector>

namespace tromel::exchange {

// The notes of one MIDI channel in one track. Notes on MIDI channel 10 (percussion) form one part
// per drum their keys map to, so that kicks, snares and hats can go to drum channels of their own.
struct MidiPart {
    int track = 0;     // from 0
    int channel = 0;   // MIDI channel from 0 (9 is channel 10)
    int drum = -1;     // the drum of a percussion part, -1 for other parts
    std::string name;  // the track's name, or empty
    int program = 0;   // the channel's first program change in the file (0 when there is none)
    int noteCount = 0;
    std::vector<int> keys;  // percussion parts: the keys they hold, ascending

    bool isPercussion() const { return drum >= 0; }
};

enum class TargetKind { Skip, Instrument, Drum };

struct PartTarget {
    TargetKind kind = TargetKind::Skip;
    int channel = 0;  // 0..7 within its kind

    friend bool operator==(const PartTarget&, const PartTarget&) = default;
};

// A channel sounds one note at a time: notes of one part that start together are spread over
// channels no part uses, or reduced to the highest.
enum class ChordPolicy { Spread, Top };

struct MidiImportPlan {
    int stepsPerBeat = 4;  // 1..24, or up to 255 for a file that carries its own grid
    ChordPolicy chords = ChordPolicy::Spread;
    std::vector<PartTarget> targets;  // one for each part, in the order of the parts
};

inline constexpr int largestImportStepsPerBeat = 24;

// The parts in order of track, channel and drum.
std::vector<MidiPart> findMidiParts(const MidiFile& file);

// The grid a file's notes sit on, as chooseStepsPerBeat finds it.
int defaultStepsPerBeat(const MidiFile& file);

// The other parts by note count to instrument channels 1..8, each keeping the channel of its own
// MIDI channel (1..8) when a part with more notes has not taken it; the percussion parts to drum
// channels, one per drum while there are at most eight, else one per kind of drum (kick, snare,
// hats, toms, cymbals, others) and the rest of the eight to the most used drums. Everything else
// is skipped.
MidiImportPlan defaultImportPlan(const MidiFile& file, const std::vector<MidiPart>& parts);

}  // namespace tromel::exchange
