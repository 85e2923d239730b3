// Notes played at once taken as one chord: note-ons that arrive within a short window of each other.
#include "roll/ChordGrouper.h"

#include <algorithm>

namespace tromel::roll {

std::optional<std::vector<ChordNote>> ChordGrouper::add(const ChordNote& note) {
    std::optional<std::vector<ChordNote>> completed;
    if (!m_open.empty() && note.time - m_open.front().time > m_window)
        completed = takeAll();
    const bool repeated =
        std::any_of(m_open.begin(), m_open.end(), [&](const ChordNote& held) { return held.fileKey == note.fileKey; });
    if (!repeated)
        m_open.push_back(note);
    return completed;
}

std::optional<std::vector<ChordNote>> ChordGrouper::takeDue(int64_t now) {
    if (m_open.empty() || now - m_open.front().time <= m_window)
        return std::nullopt;
    return takeAll();
}

std::optional<std::vector<ChordNote>> ChordGrouper::takeAll() {
    if (m_open.empty())
        return std::nullopt;
    std::vector<ChordNote> chord = std::move(m_open);
    m_open.clear();
    std::stable_sort(chord.begin(), chord.end(),
                     [](const ChordNote& a, const ChordNote& b) { return a.fileKey > b.fileKey; });
    return chord;
}

std::optional<int64_t> ChordGrouper::dueAt() const {
    if (m_open.empty())
        return std::nullopt;
    return m_open.front().time + m_window + 1;
}

}  // namespace tromel::roll
