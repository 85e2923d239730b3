// The records picked out for passage editing, and the rules that pick them.
#include "roll/NoteSelection.h"

#include "roll/NoteTableOps.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace tromel::roll {
namespace {

// The current channel's table, or nullptr when the kind or channel is not one.
const NoteTable* currentTable(const Song& song, const EditState& state) {
    if (state.currentChannel < 0 || state.currentChannel >= NoteTable::channelCount)
        return nullptr;
    return selectedNotes(song, state);
}

void tidySlots(std::vector<int32_t>& slots) {
    if (!std::is_sorted(slots.begin(), slots.end()))
        std::sort(slots.begin(), slots.end());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
}

bool isChannel(int channel) {
    return channel >= 0 && channel < NoteTable::channelCount;
}

// The slots of the channels a selection takes: the current one, or every one with `allChannels`.
template <typename Pick>
NoteSelection pickSlots(const Song& song, const EditState& state, bool allChannels, Pick pick) {
    const NoteTable* table = currentTable(song, state);
    if (!table)
        return {};
    NoteSelection::Channels slots;
    for (int channel = 0; channel < NoteTable::channelCount; ++channel) {
        if (!allChannels && channel != state.currentChannel)
            continue;
        for (int32_t slot = 1; slot <= table->slotBound(); ++slot) {
            const NoteRec& record = table->at(channel, slot);
            if (!record.isEmpty() && pick(record))
                slots[static_cast<std::size_t>(channel)].push_back(slot);
        }
    }
    if (allChannels)
        return NoteSelection::ofKind(state.channelKind, state.currentChannel, std::move(slots));
    return NoteSelection(state.channelKind, state.currentChannel,
                         std::move(slots[static_cast<std::size_t>(state.currentChannel)]));
}

}  // namespace

CellRect CellRect::between(int32_t column, int32_t row, int32_t otherColumn, int32_t otherRow) {
    return {std::min(column, otherColumn), std::max(column, otherColumn), std::min(row, otherRow),
            std::max(row, otherRow)};
}

NoteSelection::NoteSelection(int16_t kind, int16_t channel, std::vector<int32_t> slots)
    : m_kind(kind), m_channel(channel) {
    if (!isChannel(channel))
        return;
    tidySlots(slots);
    m_slots[static_cast<std::size_t>(channel)] = std::move(slots);
}

NoteSelection NoteSelection::ofKind(int16_t kind, int16_t channel, Channels slots) {
    NoteSelection selection;
    selection.m_kind = kind;
    selection.m_channel = channel;
    selection.m_spansKind = true;
    for (std::vector<int32_t>& channelSlots : slots)
        tidySlots(channelSlots);
    selection.m_slots = std::move(slots);
    return selection;
}

const std::vector<int32_t>& NoteSelection::slotIndices(int channel) const {
    static const std::vector<int32_t> none;
    return isChannel(channel) ? m_slots[static_cast<std::size_t>(channel)] : none;
}

std::vector<int> NoteSelection::channels() const {
    std::vector<int> held;
    for (int channel = 0; channel < NoteTable::channelCount; ++channel)
        if (!m_slots[static_cast<std::size_t>(channel)].empty())
            held.push_back(channel);
    return held;
}

std::size_t NoteSelection::size() const {
    std::size_t total = 0;
    for (const std::vector<int32_t>& slots : m_slots)
        total += slots.size();
    return total;
}

bool NoteSelection::contains(int channel, int32_t slot) const {
    const std::vector<int32_t>& slots = slotIndices(channel);
    return std::binary_search(slots.begin(), slots.end(), slot);
}

bool NoteSelection::isOf(const EditState& state) const {
    return m_kind == state.channelKind && m_channel == state.currentChannel;
}

NoteSelection NoteSelection::withColumns(std::optional<ColumnSpan> columns) const {
    NoteSelection moved = *this;
    moved.m_columns = columns;
    return moved;
}

NoteSelection NoteSelection::unitedWith(const NoteSelection& more) const {
    if (more.m_kind != m_kind || more.m_channel != m_channel)
        return more;
    NoteSelection united = *this;
    united.m_spansKind = m_spansKind || more.m_spansKind;
    for (std::size_t channel = 0; channel < m_slots.size(); ++channel) {
        united.m_slots[channel].clear();
        std::set_union(m_slots[channel].begin(), m_slots[channel].end(), more.m_slots[channel].begin(),
                       more.m_slots[channel].end(), std::back_inserter(united.m_slots[channel]));
    }
    united.m_columns.reset();
    if (m_columns && more.m_columns)
        united.m_columns = ColumnSpan{std::min(m_columns->first, more.m_columns->first),
                                      std::max(m_columns->last, more.m_columns->last)};
    return united;
}

NoteSelection selectInRect(const Song& song, const EditState& state, const CellRect& rect, bool allChannels) {
    return pickSlots(song, state, allChannels,
                     [&rect](const NoteRec& record) {
                         return rect.holdsColumn(record.position) && (record.key == noKey || rect.holdsRow(record.key));
                     })
        .withColumns(ColumnSpan{rect.firstColumn, rect.lastColumn});
}

NoteSelection selectAll(const Song& song, const EditState& state, bool allChannels) {
    return pickSlots(song, state, allChannels, [](const NoteRec&) { return true; });
}

int32_t firstSelectedPosition(const NoteTable& notes, const NoteSelection& selection) {
    int32_t first = std::numeric_limits<int32_t>::max();
    for (int channel : selection.channels())
        for (int32_t slot : selection.slotIndices(channel))
            if (slot >= 1 && slot <= notes.slotBound() && !notes.at(channel, slot).isEmpty())
                first = std::min(first, notes.at(channel, slot).position);
    return first == std::numeric_limits<int32_t>::max() ? 0 : first;
}

}  // namespace tromel::roll
