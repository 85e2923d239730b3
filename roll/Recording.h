// One recording pass: notes played while the song plays, placed at the steps they were heard at.
#pragma once

#include "audio/playback/StepGrid.h"
#include "roll/NoteEntry.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace tromel::roll {

// Frames are the mixer's timeline as heard: the moment a key was pressed, less the output's
// latency. A note goes in at the step nearest to where it was heard, for as many steps as it was
// held (at least one, at most longestNote: a file holds a length in one byte), on the current
// channel; a chord nearest to a step of the count-in is not recorded; note-ons within chordWindow of the first one of a
// chord are a chord, placed as step entry places one (its top note, or spread). Notes go in once
// they and the rest of their chord have been let go, in the order they were played, so a later
// note replaces an earlier one it overlaps.
class Recording {
public:
    static constexpr int64_t chordWindow = 1323;  // 30 ms at 44100 Hz
    static constexpr int32_t longestNote = 255;

    Recording(Song& song, EditState& state) : m_song(song), m_state(state) {}

    void noteOn(int32_t fileKey, int16_t volume, int64_t frame);
    void noteOff(int32_t fileKey, int64_t frame);
    // Places every chord that is over by `frame`, each as a step of its own named "Record".
    std::vector<EntryOutcome> place(const audio::StepGrid& grid, bool spread, int64_t frame);
    // The pass ends: notes still held end at `frame`, and every chord goes in.
    std::vector<EntryOutcome> finish(const audio::StepGrid& grid, bool spread, int64_t frame);
    bool isEmpty() const { return m_chords.empty(); }
    // Whether place() would place something now.
    bool isDue(int64_t frame) const { return !m_chords.empty() && isOver(m_chords.front(), frame); }

private:
    struct Held {
        int32_t fileKey = 0;
        int16_t volume = 0;
        int64_t on = 0;
        int64_t off = -1;  // -1 while held
    };
    struct Chord {
        int64_t first = 0;
        std::vector<Held> notes;
    };

    bool isOver(const Chord& chord, int64_t frame) const;
    EntryOutcome placeFront(const audio::StepGrid& grid, bool spread);

    Song& m_song;
    EditState& m_state;
    std::deque<Chord> m_chords;  // in the order played
};

}  // namespace tromel::roll
