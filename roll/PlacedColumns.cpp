// The columns that a group of placed notes takes, to clear the notes they overlap in one pass.
#include "roll/PlacedColumns.h"

#include <algorithm>

namespace tromel::roll {

PlacedColumns::PlacedColumns(std::span<const NoteRec> placed) {
    std::vector<Span> later;
    for (const NoteRec& note : placed) {
        if (note.isEmpty() || note.key == noKey)
            continue;
        m_starts.push_back(note.position);
        if (note.length >= 2)
            later.push_back(
                {static_cast<int64_t>(note.position) + 1, static_cast<int64_t>(note.position) + note.length - 1});
    }
    if (!std::is_sorted(m_starts.begin(), m_starts.end()))
        std::sort(m_starts.begin(), m_starts.end());
    std::sort(later.begin(), later.end(), [](const Span& a, const Span& b) { return a.first < b.first; });
    for (const Span& span : later) {
        if (!m_laterColumns.empty() && span.first <= m_laterColumns.back().last + 1)
            m_laterColumns.back().last = std::max(m_laterColumns.back().last, span.last);
        else
            m_laterColumns.push_back(span);
    }
}

bool PlacedColumns::overlaps(const NoteRec& record) const {
    if (record.isEmpty() || record.key == noKey)
        return false;
    const int64_t first = record.position;
    // A placed note starting on one of the record's columns.
    const auto start = std::lower_bound(m_starts.begin(), m_starts.end(), first);
    if (start != m_starts.end() && *start <= first + record.length - 1)
        return true;
    // A placed note's later columns meeting the record's columns or the one after them: a record
    // of length 0 is cleared from there, as removeOverlaps does.
    const int64_t reach = first + record.length;
    if (reach < first)
        return false;
    const auto after = std::upper_bound(m_laterColumns.begin(), m_laterColumns.end(), reach,
                                        [](int64_t column, const Span& span) { return column < span.first; });
    return after != m_laterColumns.begin() && std::prev(after)->last >= first;
}

}  // namespace tromel::roll
