// Operations on a selection of one channel or of every channel of a kind: delete, move, transpose, copy, paste and
// duplicate.
#include "roll/PassageEditor.h"

#include "roll/ChannelStatus.h"
#include "roll/NoteTableOps.h"
#include "roll/PlacedColumns.h"
#include "roll/RollGeometry.h"

#include <algorithm>
#include <limits>

namespace tromel::roll {
namespace {

// A file stores position - 1 in four bytes and the reader takes steps below 2^31 - 1.
constexpr int64_t lastPosition = std::numeric_limits<int32_t>::max();
constexpr int32_t gridBar = barWidth / columnWidth;

bool onKeyboard(int64_t key) {
    return key >= 1 && key <= rowCount;
}

PassageEdit unchanged(const NoteSelection& selection, PassageRefusal refusal = PassageRefusal::none) {
    return {false, selection, refusal};
}

std::vector<int> channelsHolding(const NoteSelection::Channels& slots) {
    std::vector<int> channels;
    for (int channel = 0; channel < NoteTable::channelCount; ++channel)
        if (!slots[static_cast<std::size_t>(channel)].empty())
            channels.push_back(channel);
    return channels;
}

std::optional<ColumnSpan> shifted(const std::optional<ColumnSpan>& span, int64_t columns) {
    if (!span)
        return std::nullopt;
    const auto clamp = [](int64_t column) {
        return static_cast<int32_t>(std::clamp<int64_t>(column, 1, lastPosition));
    };
    return ColumnSpan{clamp(span->first + columns), clamp(span->last + columns)};
}

}  // namespace

// What a paste puts into one channel, worked out before anything changes.
struct PassageEditor::Placement {
    int channel = 0;
    std::vector<ClipNote> notes;
    std::vector<NoteRec> placed;
    std::vector<int32_t> overlapped;
    int32_t finalCount = 0;
};

std::optional<std::string> PassageEdit::status() const {
    if (refusal == PassageRefusal::channelFull)
        return channelFullText();
    return std::nullopt;
}

PassageEditor::PassageEditor(Song& song, EditState& state) : m_song(song), m_state(state) {}

int32_t PassageEditor::barLength() const {
    const int32_t steps = static_cast<int32_t>(m_song.stepsPerBar) * m_song.beatsPerStep;
    return steps > 0 ? steps : gridBar;
}

PassageEdit PassageEditor::remove(const NoteSelection& selection) {
    const ChannelSlots slots = liveSlots(selection);
    const std::vector<int> channels = channelsHolding(slots);
    if (channels.empty())
        return unchanged(selection);
    for (int channel : channels)
        for (int32_t slot : slots[static_cast<std::size_t>(channel)])
            table()->at(channel, slot) = NoteRec{};
    return tidy(selection.withColumns(std::nullopt), channels, {});
}

PassageEdit PassageEditor::transpose(const NoteSelection& selection, int32_t semitones) {
    // Beyond the keyboard's height every transposition is refused anyway; this keeps -semitones
    // representable.
    return move(selection, 0, -std::clamp(semitones, -rowCount, rowCount));
}

PassageEdit PassageEditor::move(const NoteSelection& selection, int32_t columns, int32_t rows) {
    const ChannelSlots slots = liveSlots(selection);
    const std::vector<int> channels = channelsHolding(slots);
    bool rekeys = false;
    for (int channel : channels)
        for (int32_t slot : slots[static_cast<std::size_t>(channel)])
            rekeys = rekeys || (rows != 0 && onKeyboard(table()->at(channel, slot).key));
    if (channels.empty() || (columns == 0 && !rekeys))
        return unchanged(selection);
    if (const PassageRefusal refusal = checkMove(slots, columns, rows); refusal != PassageRefusal::none)
        return unchanged(selection, refusal);
    for (int channel : channels) {
        for (int32_t slot : slots[static_cast<std::size_t>(channel)]) {
            NoteRec& record = table()->at(channel, slot);
            record.position += columns;
            if (onKeyboard(record.key))
                record.key += rows;
        }
        if (columns != 0)
            clearOverlapped(channel, slots[static_cast<std::size_t>(channel)]);
    }
    return tidy(selection.withColumns(shifted(selection.columns(), columns)), channels, slots);
}

CellOffset PassageEditor::limitMove(const NoteSelection& selection, CellOffset wanted) const {
    int64_t firstPosition = lastPosition;
    int64_t lastStart = 1;
    int64_t topRow = rowCount;
    int64_t bottomRow = 1;
    const ChannelSlots slots = liveSlots(selection);
    for (int channel : channelsHolding(slots)) {
        for (int32_t slot : slots[static_cast<std::size_t>(channel)]) {
            const NoteRec& record = table()->at(channel, slot);
            firstPosition = std::min<int64_t>(firstPosition, record.position);
            lastStart = std::max<int64_t>(lastStart, record.position);
            if (onKeyboard(record.key)) {
                topRow = std::min<int64_t>(topRow, record.key);
                bottomRow = std::max<int64_t>(bottomRow, record.key);
            }
        }
    }
    return {static_cast<int32_t>(std::clamp<int64_t>(wanted.columns, 1 - firstPosition, lastPosition - lastStart)),
            static_cast<int32_t>(std::clamp<int64_t>(wanted.rows, 1 - topRow, rowCount - bottomRow))};
}

NoteClip PassageEditor::copy(const NoteSelection& selection) const {
    const ChannelSlots slots = liveSlots(selection);
    const NoteTable* notes = table();
    const int32_t origin = notes ? firstSelectedPosition(*notes, selection) : 0;
    std::vector<ClipPart> parts;
    for (int channel : channelsHolding(slots)) {
        std::vector<NoteRec> records;
        for (int32_t slot : slots[static_cast<std::size_t>(channel)])
            records.push_back(notes->at(channel, slot));
        std::stable_sort(records.begin(), records.end(),
                         [](const NoteRec& a, const NoteRec& b) { return a.position < b.position; });
        ClipPart part{static_cast<int16_t>(channel), {}};
        part.notes.reserve(records.size());
        for (const NoteRec& record : records)
            part.notes.push_back({static_cast<uint32_t>(record.position - origin), record.key, record.length,
                                  record.pan, record.volume});
        parts.push_back(std::move(part));
    }
    if (selection.spansKind())
        return NoteClip::ofChannels(std::move(parts));
    return parts.empty() ? NoteClip() : NoteClip(std::move(parts.front().notes));
}

PassageEdit PassageEditor::paste(const NoteClip& clip, int32_t column, bool ownChannels) {
    if (!table() || clip.empty())
        return unchanged({});
    if (column < 1)
        return unchanged({}, PassageRefusal::beforeFirstStep);
    const bool spread = ownChannels && clip.hasChannels();
    std::vector<Placement> placements;
    if (spread) {
        for (const ClipPart& part : clip.parts())
            if (part.channel >= 0 && part.channel < NoteTable::channelCount &&
                (placements.empty() || part.channel > placements.back().channel))
                placements.push_back({part.channel, part.notes, {}, {}, 0});
    } else {
        placements.push_back({m_state.currentChannel, clip.notes(), {}, {}, 0});
    }
    for (Placement& placement : placements)
        if (const PassageRefusal refusal = planPlacement(placement.channel, placement.notes, column, placement);
            refusal != PassageRefusal::none)
            return unchanged({}, refusal);
    ChannelSlots placedSlots;
    std::vector<int> channels;
    for (const Placement& placement : placements) {
        for (int32_t slot : placement.overlapped)
            table()->at(placement.channel, slot) = NoteRec{};
        placedSlots[static_cast<std::size_t>(placement.channel)] =
            placeInEmptySlots(placement.channel, placement.placed, placement.finalCount);
        channels.push_back(placement.channel);
    }
    const NoteSelection shape = spread ? NoteSelection::ofKind(m_state.channelKind, m_state.currentChannel, {})
                                       : NoteSelection(m_state.channelKind, m_state.currentChannel, {});
    return tidy(shape, channels, placedSlots);
}

PassageEdit PassageEditor::duplicate(const NoteSelection& selection) {
    const std::optional<ColumnSpan> span = columnsOf(selection);
    if (!span)
        return unchanged(selection);
    const int64_t column = static_cast<int64_t>(firstSelectedPosition(*table(), selection)) + span->length();
    if (column > lastPosition)
        return unchanged(selection, PassageRefusal::pastLastStep);
    PassageEdit edit = paste(copy(selection), static_cast<int32_t>(column), selection.spansKind());
    if (!edit.changed)
        return unchanged(selection, edit.refusal);
    edit.selection = edit.selection.withColumns(shifted(span, span->length()));
    return edit;
}

std::optional<ColumnSpan> PassageEditor::columnsOf(const NoteSelection& selection) const {
    const ChannelSlots slots = liveSlots(selection);
    const std::vector<int> channels = channelsHolding(slots);
    if (channels.empty())
        return std::nullopt;
    if (selection.columns())
        return selection.columns();
    int64_t first = lastPosition;
    int64_t last = 1;
    for (int channel : channels) {
        for (int32_t slot : slots[static_cast<std::size_t>(channel)]) {
            const NoteRec& record = table()->at(channel, slot);
            first = std::min<int64_t>(first, record.position);
            const int64_t covered = record.key == noKey ? 1 : std::max(record.length, 1);
            last = std::max<int64_t>(last, record.position + covered - 1);
        }
    }
    return ColumnSpan{static_cast<int32_t>(first), static_cast<int32_t>(std::min(last, lastPosition))};
}

NoteTable* PassageEditor::table() {
    if (m_state.currentChannel < 0 || m_state.currentChannel >= NoteTable::channelCount)
        return nullptr;
    return selectedNotes(m_song, m_state);
}

const NoteTable* PassageEditor::table() const {
    if (m_state.currentChannel < 0 || m_state.currentChannel >= NoteTable::channelCount)
        return nullptr;
    return selectedNotes(m_song, m_state);
}

PassageEditor::ChannelSlots PassageEditor::liveSlots(const NoteSelection& selection) const {
    const NoteTable* notes = table();
    ChannelSlots slots;
    if (!notes || !selection.isOf(m_state))
        return slots;
    for (int channel : selection.channels())
        for (int32_t slot : selection.slotIndices(channel))
            if (slot >= 1 && slot <= notes->slotBound() && !notes->at(channel, slot).isEmpty())
                slots[static_cast<std::size_t>(channel)].push_back(slot);
    return slots;
}

PassageRefusal PassageEditor::checkMove(const ChannelSlots& slots, int32_t columns, int32_t rows) const {
    for (int channel : channelsHolding(slots)) {
        for (int32_t slot : slots[static_cast<std::size_t>(channel)]) {
            const NoteRec& record = table()->at(channel, slot);
            const int64_t position = static_cast<int64_t>(record.position) + columns;
            if (position < 1)
                return PassageRefusal::beforeFirstStep;
            if (position > lastPosition)
                return PassageRefusal::pastLastStep;
            if (onKeyboard(record.key) && !onKeyboard(static_cast<int64_t>(record.key) + rows))
                return PassageRefusal::leavesKeyboard;
        }
    }
    return PassageRefusal::none;
}

PassageRefusal PassageEditor::planPlacement(int channel, const std::vector<ClipNote>& notes, int32_t column,
                                            Placement& placement) const {
    placement.placed.reserve(notes.size());
    for (const ClipNote& note : notes) {
        const int64_t position = static_cast<int64_t>(column) + note.step;
        if (position > lastPosition)
            return PassageRefusal::pastLastStep;
        placement.placed.push_back({static_cast<int32_t>(position), note.key, note.length, note.pan, note.volume});
    }
    const NoteTable& table = *this->table();
    const PlacedColumns cover(placement.placed);
    int64_t kept = 0;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        const NoteRec& record = table.at(channel, slot);
        if (cover.overlaps(record))
            placement.overlapped.push_back(slot);
        else if (!record.isEmpty())
            ++kept;
    }
    const int64_t finalCount = kept + static_cast<int64_t>(placement.placed.size());
    if (finalCount > maxChannelNotes)
        return PassageRefusal::channelFull;
    placement.finalCount = static_cast<int32_t>(finalCount);
    return PassageRefusal::none;
}

void PassageEditor::clearOverlapped(int channel, const std::vector<int32_t>& placedSlots) {
    NoteTable& notes = *table();
    std::vector<NoteRec> placed;
    std::vector<bool> isPlaced(static_cast<std::size_t>(notes.slotBound()) + 1, false);
    for (int32_t slot : placedSlots) {
        placed.push_back(notes.at(channel, slot));
        isPlaced[static_cast<std::size_t>(slot)] = true;
    }
    const PlacedColumns cover(placed);
    for (int32_t slot = 1; slot <= notes.slotBound(); ++slot)
        if (!isPlaced[static_cast<std::size_t>(slot)] && cover.overlaps(notes.at(channel, slot)))
            notes.at(channel, slot) = NoteRec{};
}

std::vector<int32_t> PassageEditor::placeInEmptySlots(int channel, const std::vector<NoteRec>& records,
                                                      int32_t finalCount) {
    NoteTable& notes = *table();
    notes.grow(finalCount);
    std::vector<int32_t> slots;
    slots.reserve(records.size());
    for (int32_t slot = 1; slot <= notes.slotBound() && slots.size() < records.size(); ++slot) {
        if (notes.at(channel, slot).isEmpty()) {
            notes.at(channel, slot) = records[slots.size()];
            slots.push_back(slot);
        }
    }
    return slots;
}

// `shape` gives the kind, channel, reach and columns of the selection handed back.
PassageEdit PassageEditor::tidy(const NoteSelection& shape, const std::vector<int>& channels,
                                const ChannelSlots& selectedSlots) {
    ChannelSlots slots;
    for (int channel : channels) {
        int16_t& count = m_state.noteCounts[m_state.channelKind][channel];
        const std::vector<int32_t> newSlotOf = sortNotesTracked(*table(), channel, count);
        for (int32_t slot : selectedSlots[static_cast<std::size_t>(channel)])
            slots[static_cast<std::size_t>(channel)].push_back(newSlotOf[static_cast<std::size_t>(slot)]);
    }
    const int16_t kind = m_state.channelKind;
    const int16_t current = m_state.currentChannel;
    NoteSelection selection = shape.spansKind()
                                  ? NoteSelection::ofKind(kind, current, std::move(slots))
                                  : NoteSelection(kind, current, std::move(slots[static_cast<std::size_t>(current)]));
    return {true, selection.withColumns(shape.columns()), PassageRefusal::none};
}

}  // namespace tromel::roll
