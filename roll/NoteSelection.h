// The records picked out in one channel for passage editing, and the rules that pick them.
#pragma once

#include "song/EditState.h"
#include "song/Song.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tromel::roll {

// The cells between two pointer points in roll coordinates (getColumnFromX, getRowFromY), both
// corners included, whichever way the rectangle was drawn.
struct CellRect {
    int32_t firstColumn = 0;
    int32_t lastColumn = 0;
    int32_t firstRow = 0;
    int32_t lastRow = 0;

    static CellRect between(int32_t column, int32_t row, int32_t otherColumn, int32_t otherRow);
    bool holdsColumn(int32_t column) const { return firstColumn <= column && column <= lastColumn; }
    bool holdsRow(int32_t row) const { return firstRow <= row && row <= lastRow; }
};

// Slots of one channel of one kind, ascending and without repeats. Slots name records only
// while the channel keeps its layout: the passage operations hand back the selection that
// follows their change; any other edit of the channel leaves the selection stale (its slots may
// name other records), so it should be cleared then. The operations skip stale slots that no
// longer hold a record.
class NoteSelection {
public:
    NoteSelection() = default;  // nothing selected, in no channel
    NoteSelection(int16_t kind, int16_t channel, std::vector<int32_t> slots);

    int16_t kind() const { return m_kind; }
    int16_t channel() const { return m_channel; }
    const std::vector<int32_t>& slotIndices() const { return m_slots; }
    bool empty() const { return m_slots.empty(); }
    std::size_t size() const { return m_slots.size(); }
    bool contains(int32_t slot) const;
    // Whether it is a selection of the document's current channel.
    bool isOf(const EditState& state) const;

    // The union with more of the same channel; more alone when it is of another channel.
    NoteSelection unitedWith(const NoteSelection& more) const;

    friend bool operator==(const NoteSelection&, const NoteSelection&) = default;

private:
    int16_t m_kind = -1;
    int16_t m_channel = -1;
    std::vector<int32_t> m_slots;
};

// The notes of the current channel whose start column and row lie inside the rectangle, and
// every pan and volume event (key -159) whose column lies within the rectangle's columns,
// whatever its row (an event has no key), so that a passage keeps the fades between its notes.
NoteSelection selectInRect(const Song& song, const EditState& state, const CellRect& rect);

// Every record of the current channel, notes and keyless events.
NoteSelection selectAll(const Song& song, const EditState& state);

}  // namespace tromel::roll
