// Operations on a selection of one channel or of every channel of a kind: delete, move, transpose, copy, paste and
// duplicate.
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

// Works on the song's stored note table of the kind that EditState selects, on the channels the
// selection holds (the current one, or with a selection that spans the kind, any of them), and
// on their noteCounts entries. A selection of another channel changes nothing. An operation
// refused on one channel is refused on all. Each change tidies the channels as a mouse gesture
// does: the notes that moved or arrived clear the other notes they overlap in their channel
// (keyless events are spared), then sortNotes orders each channel and sets its count.
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

    // The selected records in step order; steps count from the first selected position of any
    // channel. A selection that spans the kind gives a clip that names its channels.
    NoteClip copy(const NoteSelection& selection) const;
    // Places the clip's records from column (a position, counted from 1) on, as they are: with
    // `ownChannels` and a clip that names its channels, each part into its own channel of the
    // current kind, otherwise the first part into the current channel. They clear the notes they
    // overlap and become the selection (spanning the kind when they went to their own channels).
    // Refused before any change when a channel would hold more than maxChannelNotes records
    // afterwards. May raise the table's slot bound, as adding a note does.
    PassageEdit paste(const NoteClip& clip, int32_t column, bool ownChannels = false);
    // A copy of the passage pasted right after its last column, keeping its distance from the
    // first: the selection moves onto the copy, so that the next duplicate repeats it again.
    PassageEdit duplicate(const NoteSelection& selection);
    // The columns of the passage: those it was drawn over, or else from its first record's
    // position to the last column a selected note covers.
    std::optional<ColumnSpan> columnsOf(const NoteSelection& selection) const;

private:
    using ChannelSlots = NoteSelection::Channels;
    struct Placement;

    NoteTable* table();
    const NoteTable* table() const;
    ChannelSlots liveSlots(const NoteSelection& selection) const;
    PassageRefusal checkMove(const ChannelSlots& slots, int32_t columns, int32_t rows) const;
    void clearOverlapped(int channel, const std::vector<int32_t>& placedSlots);
    PassageEdit tidy(const NoteSelection& shape, const std::vector<int>& channels, const ChannelSlots& selectedSlots);
    std::vector<int32_t> placeInEmptySlots(int channel, const std::vector<NoteRec>& records, int32_t finalCount);
    PassageRefusal planPlacement(int channel, const std::vector<ClipNote>& notes, int32_t column,
                                 Placement& placement) const;

    Song& m_song;
    EditState& m_state;
};

}  // namespace tromel::roll
