// The roll's Shift gestures: drawing a selection rectangle, and dragging the selection.
#pragma once

#include "roll/NoteSelection.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <array>
#include <optional>

namespace tromel::roll {

// Cells are the roll's columns and rows as the pointer gives them. A drag replays the whole
// offset on the channel as it was at the press at every step, so the passage clears only the
// notes it lands on, never those it passes over.
class PassageGesture {
public:
    PassageGesture(Song& song, EditState& state) : m_song(song), m_state(state) {}

    const NoteSelection& selection() const { return m_selection; }
    void setSelection(NoteSelection selection) { m_selection = std::move(selection); }
    // The rectangle being drawn, while one is.
    std::optional<CellRect> band() const;
    bool active() const { return m_band.has_value() || m_drag.has_value(); }
    // Whether a rectangle selects in every channel of the current kind.
    void setAllChannels(bool on) { m_allChannels = on; }

    // A Shift press on a cell: over a selected note it grabs the selection (true: the song will
    // change), elsewhere it starts a rectangle, which adds to the selection when `extend` is set.
    bool press(int32_t column, int32_t row, bool extend);
    void move(int32_t column, int32_t row);
    void release();

private:
    struct Band {
        int32_t column;
        int32_t row;
        int32_t toColumn;
        int32_t toRow;
        NoteSelection base;
    };
    struct Drag {
        int32_t column;
        int32_t row;
        NoteTable table;                // the channel's kind as it was at the press
        std::array<int16_t, 8> counts;  // its live counts
        NoteSelection selection;
    };

    Song& m_song;
    EditState& m_state;
    NoteSelection m_selection;
    std::optional<Band> m_band;
    std::optional<Drag> m_drag;
    bool m_allChannels = false;
};

}  // namespace tromel::roll
