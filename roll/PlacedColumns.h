// The columns that a group of placed notes takes, to clear the notes they overlap in one pass.
#pragma once

#include "song/Song.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tromel::roll {

// Decides for many placed notes at once what removeOverlaps decides for one: a record is
// overlapped when removeOverlaps would clear it for any one of the placed notes. Keyless
// records among the placed ones take no columns, as a pan or volume event never clears a note.
class PlacedColumns {
public:
    explicit PlacedColumns(std::span<const NoteRec> placed);

    // Whether the note would be cleared; keyless and empty records never are.
    bool overlaps(const NoteRec& record) const;

private:
    struct Span {
        int64_t first;
        int64_t last;
    };

    std::vector<int64_t> m_starts;     // the placed notes' positions, ascending
    std::vector<Span> m_laterColumns;  // their columns after the first, merged, ascending
};

}  // namespace tromel::roll
