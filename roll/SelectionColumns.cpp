// The columns a selection spans: what Loop Selection plays over.
#include "roll/SelectionColumns.h"

#include <algorithm>
#include <limits>

namespace tromel::roll {

std::optional<ColumnSpan> selectedColumns(const Song& song, const NoteSelection& selection) {
    if (selection.empty() || selection.kind() < 0 || selection.channel() < 0)
        return std::nullopt;
    const NoteTable& table = song.notes(selection.kind());
    std::optional<ColumnSpan> span;
    for (const int32_t slot : selection.slotIndices()) {
        if (slot < 1 || slot > table.slotBound())
            continue;
        const NoteRec& record = table.at(selection.channel(), slot);
        if (record.isEmpty())
            continue;
        const int64_t lastColumn = record.key == noKey
                                       ? record.position
                                       : static_cast<int64_t>(record.position) + std::max(record.length, 1) - 1;
        const auto last = static_cast<int32_t>(std::min<int64_t>(lastColumn, std::numeric_limits<int32_t>::max()));
        if (!span)
            span = ColumnSpan{record.position, last};
        span->first = std::min(span->first, record.position);
        span->last = std::max(span->last, last);
    }
    return span;
}

}  // namespace tromel::roll
