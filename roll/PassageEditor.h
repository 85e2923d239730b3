// Operations on a selection of the current channel: delete, move, transpose, copy and paste.
#pragma once

#include "roll/NoteClip.h"
#include "roll/NoteSelection.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tromel::roll {

inline constexpr int32_t octave = 12;

enum class PassageRefusal {
    none,
    leavesKeyboard,   // a selected note would go above row 1 or below row 96
    beforeFirstStep,  // a record would start before position 1
    pastLastStep,     // a position would pass what a file can hold
    channelFull,      // the channel would hold more than maxChannelNotes records
};

// An offset in roll cells: columns to the right, rows down.
struct CellOffset {
    int32_t columns = 0;
    int32_t rows = 0;

    friend bool operator==(const CellOffset&, const CellOffset&) = default;
};

// What an operation did. A refused or empty operation changes nothing and keeps the selection.
struct PassageEdit {
    bool changed = false;     // the channel's records or count changed: one undoable step
    NoteSelection selection;  // the same records after the change, in their new slots
    PassageRefusal refusal = PassageRefusal::none;

    // The status bar text for a refusal the user must know about ("Channel is full: 32767 notes").
    std::optional<std::string> status() const;
};

// Works on the song's stored note table of the kind and channel that EditState selects, and on
// its noteCounts entry. A selection of another channel changes nothing. Each change tidies the
// channel as a mouse gesture does: the notes that moved or arrived clear the other notes they
// overlap (keyless events are spared), then sortNotes orders the channel and sets its count.
class PassageEditor {
public:
    PassageEditor(Song& song, EditState& state);

    // Steps in a bar by the song's two bar settings (stepsPerBar x beatsPerStep, 16 for a new
    // song); the grid's 16 when the settings give none.
    int32_t barLength() const;

    PassageEdit remove(const NoteSelection& selection);
    // Up by semitones (down when negative): move(selection, 0, -semitones).
    PassageEdit transpose(const NoteSelection& selection, int32_t semitones);
    // By columns to the right and rows down, as a drag of the whole selection does. Notes keep
    // the passage's shape: the whole step is refused when any note would leave rows 1..96 or any
    // record would start before position 1. Keyless events, and notes a file put off the keyboard
    // (rows of 0 and less), move in time only. A drag should move once, at its release, by its
    // whole offset (or each time from the song as it was at the press): moved step by step, the
    // passage would clear every note it passes over.
    PassageEdit move(const NoteSelection& selection, int32_t columns, int32_t rows);
    // The offset nearest to the one asked for that move takes: a drag past an edge stops the
    // passage at the edge instead of leaving it where it was.
    CellOffset limitMove(const NoteSelection& selection, CellOffset wanted) const;

    // The selected records in step order; steps count from the first selected position.
    NoteClip copy(const NoteSelection& selection) const;
    // Places the clip's records from column (a position, counted from 1) on, into the current
    // channel of either kind as they are; they clear the notes they overlap and become the
    // selection. Refused before any change when the channel would hold more than
    // maxChannelNotes records afterwards. May raise the table's slot bound, as adding a note does.
    PassageEdit paste(const NoteClip& clip, int32_t column);

private:
    NoteTable* table();
    const NoteTable* table() const;
    int channel() const { return m_state.currentChannel; }
    std::vector<int32_t> liveSlots(const NoteSelection& selection) const;
    PassageRefusal checkMove(const std::vector<int32_t>& slots, int32_t columns, int32_t rows) const;
    void clearOverlapped(const std::vector<int32_t>& placedSlots);
    PassageEdit tidy(const std::vector<int32_t>& selectedSlots);
    std::vector<int32_t> placeInEmptySlots(const std::vector<NoteRec>& records, int32_t finalCount);

    Song& m_song;
    EditState& m_state;
};

}  // namespace tromel::roll
