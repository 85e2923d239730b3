// Operations on a channel of a note table that the roll's mouse editing is built from.
#include "roll/NoteTableOps.h"

#include <algorithm>
#include <vector>

namespace tromel::roll {

NoteTable* selectedNotes(Song& song, const EditState& state) {
    if (state.channelKind != 0 && state.channelKind != 1)
        return nullptr;
    return &song.notes(state.channelKind);
}

const NoteTable* selectedNotes(const Song& song, const EditState& state) {
    if (state.channelKind != 0 && state.channelKind != 1)
        return nullptr;
    return &song.notes(state.channelKind);
}

NoteTable workingCopy(const Song& song, const EditState& state) {
    const NoteTable* stored = selectedNotes(song, state);
    return stored ? *stored : NoteTable{};
}

void storeNotes(Song& song, const EditState& state, NoteTable working) {
    if (NoteTable* stored = selectedNotes(song, state))
        *stored = std::move(working);
}

bool coversColumn(const NoteRec& record, int32_t column) {
    // Positions from files reach 2^31 - 1, so the end column needs 64 bits.
    const int64_t last = static_cast<int64_t>(record.position) + record.length - 1;
    return record.position <= column && column <= last;
}

int32_t findNoteAtPos(const NoteTable& table, int channel, int32_t column) {
    int32_t found = 0;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        const NoteRec& record = table.at(channel, slot);
        if (!record.isEmpty() && record.position == column)
            found = slot;
    }
    return found;
}

int32_t getNoteFromPos(const NoteTable& table, int channel, int32_t column, int32_t row) {
    int32_t found = 0;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        const NoteRec& record = table.at(channel, slot);
        if (!record.isEmpty() && record.key != noKey && record.key == row && coversColumn(record, column))
            found = slot;
    }
    return found;
}

namespace {

// Whether a record at p of length l shares a column with the placed note (pos, len). A record
// of length 0 counts as reaching one column past its position, which clears such a record
// lying on the placed note's later columns.
bool overlapsPlaced(int64_t p, int64_t l, int64_t pos, int64_t len) {
    if (p <= pos && pos <= p + l - 1)
        return true;
    return len >= 2 && std::max(pos + 1, p) <= std::min(pos + len - 1, p + l);
}

}  // namespace

void removeOverlaps(NoteTable& table, int channel, int32_t position, int32_t index) {
    const bool validIndex = index >= 1 && index <= table.slotBound();
    const int64_t length = validIndex ? table.at(channel, index).length : 0;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        NoteRec& record = table.at(channel, slot);
        if (slot == index || record.isEmpty() || record.key == noKey)
            continue;
        if (overlapsPlaced(record.position, record.length, position, length))
            record = NoteRec{};
    }
}

void sortNotes(NoteTable& table, int channel, int16_t& noteCount) {
    sortNotesTracked(table, channel, noteCount);
}

std::vector<int32_t> sortNotesTracked(NoteTable& table, int channel, int16_t& noteCount) {
    struct Placed {
        int32_t position;
        int32_t slot;
    };
    std::vector<Placed> order;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot)
        if (!table.at(channel, slot).isEmpty())
            order.push_back({table.at(channel, slot).position, slot});
    // Slots are distinct, so ordering by (position, slot) is the stable order by position. A
    // channel is mostly in order already, which the check finds far faster than a sort.
    const auto before = [](const Placed& a, const Placed& b) {
        return a.position != b.position ? a.position < b.position : a.slot < b.slot;
    };
    if (!std::is_sorted(order.begin(), order.end(), before))
        std::sort(order.begin(), order.end(), before);
    std::vector<NoteRec> live;
    live.reserve(order.size());
    std::vector<int32_t> newSlotOf(static_cast<std::size_t>(table.slotBound()) + 1, 0);
    for (std::size_t i = 0; i < order.size(); ++i) {
        live.push_back(table.at(channel, order[i].slot));
        newSlotOf[static_cast<std::size_t>(order[i].slot)] = static_cast<int32_t>(i) + 1;
    }
    table.at(channel, 0) = NoteRec{};
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        const auto index = static_cast<std::size_t>(slot - 1);
        table.at(channel, slot) = index < live.size() ? live[index] : NoteRec{};
    }
    // Only the add path raises a count and it stops at the limit, so this never saturates.
    noteCount = static_cast<int16_t>(std::min<std::size_t>(live.size(), maxChannelNotes));
    return newSlotOf;
}

int32_t addRecord(Song& song, EditState& state, NoteTable& working, int channel, const NoteRec& record) {
    NoteTable* stored = selectedNotes(song, state);
    if (!stored)
        return 0;
    int16_t& count = state.noteCounts[state.channelKind][channel];
    if (count < 0 || count >= maxChannelNotes)
        return 0;
    ++count;
    stored->grow(count);
    working.grow(count);
    working.at(channel, count) = record;
    return count;
}

int32_t clearNotesAt(NoteTable& table, int channel, int32_t column, int32_t row) {
    int32_t cleared = 0;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        NoteRec& record = table.at(channel, slot);
        if (!record.isEmpty() && record.key == row && coversColumn(record, column)) {
            record = NoteRec{};
            ++cleared;
        }
    }
    return cleared;
}

int32_t clearRecordsAt(NoteTable& table, int channel, int32_t column) {
    int32_t cleared = 0;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        NoteRec& record = table.at(channel, slot);
        if (!record.isEmpty() && coversColumn(record, column)) {
            record = NoteRec{};
            ++cleared;
        }
    }
    return cleared;
}

int32_t paintColumn(NoteTable& table, int channel, int32_t column, int16_t NoteRec::*field, int16_t value) {
    int32_t painted = 0;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        NoteRec& record = table.at(channel, slot);
        if (!record.isEmpty() && record.position == column) {
            record.*field = value;
            ++painted;
        }
    }
    return painted;
}

}  // namespace tromel::roll
