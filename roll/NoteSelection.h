// The records picked out in one channel, or in every channel of a kind, for passage editing, and the rules that pick
// them.
#pragma once

#include "song/EditState.h"
#include "song/Song.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
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

// The columns a passage takes, both ends included: what Duplicate repeats.
struct ColumnSpan {
    int32_t first = 0;
    int32_t last = 0;

    int64_t length() const { return static_cast<int64_t>(last) - first + 1; }
    friend bool operator==(const ColumnSpan&, const ColumnSpan&) = default;
};

// Slots of the channels of one kind, each ascending and without repeats. Slots name records only
// while the channels keep their layout: the passage operations hand back the selection that
// follows their change; any other edit of a channel leaves the selection stale (its slots may
// name other records), so it should be cleared then. The operations skip stale slots that no
// longer hold a record.
//
// A selection belongs to the channel that was current when it was made; one made with every
// channel of the kind (spansKind) may hold slots of the others too.
class NoteSelection {
public:
    using Channels = std::array<std::vector<int32_t>, NoteTable::channelCount>;

    NoteSelection() = default;  // nothing selected, in no channel
    NoteSelection(int16_t kind, int16_t channel, std::vector<int32_t> slots);
    // Slots of every channel of `kind`, made while `channel` was current.
    static NoteSelection ofKind(int16_t kind, int16_t channel, Channels slots);

    int16_t kind() const { return m_kind; }
    int16_t channel() const { return m_channel; }
    bool spansKind() const { return m_spansKind; }
    // The slots of the channel it belongs to, or of `channel`.
    const std::vector<int32_t>& slotIndices() const { return slotIndices(m_channel); }
    const std::vector<int32_t>& slotIndices(int channel) const;
    // The channels holding selected slots, ascending.
    std::vector<int> channels() const;
    bool empty() const { return size() == 0; }
    std::size_t size() const;
    bool contains(int32_t slot) const { return contains(m_channel, slot); }
    bool contains(int channel, int32_t slot) const;
    // Whether it is a selection of the document's current channel.
    bool isOf(const EditState& state) const;

    // The columns it was drawn over, when a rectangle drew it; otherwise the passage's columns
    // come from its records (PassageEditor::columnsOf).
    const std::optional<ColumnSpan>& columns() const { return m_columns; }
    NoteSelection withColumns(std::optional<ColumnSpan> columns) const;

    // The union with more of the same channel; more alone when it is of another channel.
    NoteSelection unitedWith(const NoteSelection& more) const;

    friend bool operator==(const NoteSelection&, const NoteSelection&) = default;

private:
    int16_t m_kind = -1;
    int16_t m_channel = -1;
    bool m_spansKind = false;
    Channels m_slots;
    std::optional<ColumnSpan> m_columns;
};

// The notes of the current channel (or, with `allChannels`, of every channel of its kind) whose
// start column and row lie inside the rectangle, and every pan and volume event (key -159) whose
// column lies within the rectangle's columns, whatever its row (an event has no key), so that a
// passage keeps the fades between its notes. The selection's columns are the rectangle's.
NoteSelection selectInRect(const Song& song, const EditState& state, const CellRect& rect, bool allChannels = false);

// Every record of the current channel (or of every channel of its kind), notes and keyless events.
NoteSelection selectAll(const Song& song, const EditState& state, bool allChannels = false);

// The first position a selected record of `notes` holds; 0 when none is selected.
int32_t firstSelectedPosition(const NoteTable& notes, const NoteSelection& selection);

}  // namespace tromel::roll
