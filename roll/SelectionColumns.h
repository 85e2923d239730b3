// The columns a selection spans: what Loop Selection plays over.
#pragma once

#include "roll/NoteSelection.h"
#include "song/Song.h"

#include <cstdint>
#include <optional>

namespace tromel::roll {

// Columns counted from 1 (a column is a play position), both ends included.
struct ColumnSpan {
    int32_t first = 0;
    int32_t last = 0;

    friend bool operator==(const ColumnSpan&, const ColumnSpan&) = default;
};

// From the first selected record's column to the last column a selected note sounds in (a pan
// or volume change takes its own column, a note of length 0 one); nothing for a selection that
// holds no record of the song any more.
std::optional<ColumnSpan> selectedColumns(const Song& song, const NoteSelection& selection);

}  // namespace tromel::roll
