// The records picked out in one channel for passage editing, and the rules that pick them.
#include "roll/NoteSelection.h"

#include "roll/NoteTableOps.h"

#include <algorithm>
#include <iterator>

namespace tromel::roll {
namespace {

// The current channel's table, or nullptr when the kind or channel is not one.
const NoteTable* currentTable(const Song& song, const EditState& state) {
    if (state.currentChannel < 0 || state.currentChannel >= NoteTable::channelCount)
        return nullptr;
    return selectedNotes(song, state);
}

}  // namespace

CellRect CellRect::between(int32_t column, int32_t row, int32_t otherColumn, int32_t otherRow) {
    return {std::min(column, otherColumn), std::max(column, otherColumn), std::min(row, otherRow),
            std::max(row, otherRow)};
}

NoteSelection::NoteSelection(int16_t kind, int16_t channel, std::vector<int32_t> slots)
    : m_kind(kind), m_channel(channel), m_slots(std::move(slots)) {
    if (!std::is_sorted(m_slots.begin(), m_slots.end()))
        std::sort(m_slots.begin(), m_slots.end());
    m_slots.erase(std::unique(m_slots.begin(), m_slots.end()), m_slots.end());
}

bool NoteSelection::contains(int32_t slot) const {
    return std::binary_search(m_slots.begin(), m_slots.end(), slot);
}

bool NoteSelection::isOf(const EditState& state) const {
    return m_kind == state.channelKind && m_channel == state.currentChannel;
}

NoteSelection NoteSelection::unitedWith(const NoteSelection& more) const {
    if (more.m_kind != m_kind || more.m_channel != m_channel)
        return more;
    std::vector<int32_t> slots;
    std::set_union(m_slots.begin(), m_slots.end(), more.m_slots.begin(), more.m_slots.end(), std::back_inserter(slots));
    return NoteSelection(m_kind, m_channel, std::move(slots));
}

NoteSelection selectInRect(const Song& song, const EditState& state, const CellRect& rect) {
    const NoteTable* table = currentTable(song, state);
    if (!table)
        return {};
    const int channel = state.currentChannel;
    std::vector<int32_t> slots;
    for (int32_t slot = 1; slot <= table->slotBound(); ++slot) {
        const NoteRec& record = table->at(channel, slot);
        if (!record.isEmpty() && rect.holdsColumn(record.position) &&
            (record.key == noKey || rect.holdsRow(record.key)))
            slots.push_back(slot);
    }
    return NoteSelection(state.channelKind, state.currentChannel, std::move(slots));
}

NoteSelection selectAll(const Song& song, const EditState& state) {
    const NoteTable* table = currentTable(song, state);
    if (!table)
        return {};
    std::vector<int32_t> slots;
    for (int32_t slot = 1; slot <= table->slotBound(); ++slot)
        if (!table->at(state.currentChannel, slot).isEmpty())
            slots.push_back(slot);
    return NoteSelection(state.channelKind, state.currentChannel, std::move(slots));
}

}  // namespace tromel::roll
