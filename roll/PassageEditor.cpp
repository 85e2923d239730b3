// Operations on a selection of the current channel: delete, move, transpose, copy and paste.
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

}  // namespace

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
    const std::vector<int32_t> slots = liveSlots(selection);
    if (slots.empty())
        return unchanged(selection);
    for (int32_t slot : slots)
        table()->at(channel(), slot) = NoteRec{};
    return tidy({});
}

PassageEdit PassageEditor::transpose(const NoteSelection& selection, int32_t semitones) {
    // Beyond the keyboard's height every transposition is refused anyway; this keeps -semitones
    // representable.
    return move(selection, 0, -std::clamp(semitones, -rowCount, rowCount));
}

PassageEdit PassageEditor::move(const NoteSelection& selection, int32_t columns, int32_t rows) {
    const std::vector<int32_t> slots = liveSlots(selection);
    const bool rekeys = rows != 0 && std::any_of(slots.begin(), slots.end(), [&](int32_t slot) {
                            return onKeyboard(table()->at(channel(), slot).key);
                        });
    if (slots.empty() || (columns == 0 && !rekeys))
        return unchanged(selection);
    if (const PassageRefusal refusal = checkMove(slots, columns, rows); refusal != PassageRefusal::none)
        return unchanged(selection, refusal);
    for (int32_t slot : slots) {
        NoteRec& record = table()->at(channel(), slot);
        record.position += columns;
        if (onKeyboard(record.key))
            record.key += rows;
    }
    if (columns != 0)
        clearOverlapped(slots);
    return tidy(slots);
}

CellOffset PassageEditor::limitMove(const NoteSelection& selection, CellOffset wanted) const {
    int64_t firstPosition = lastPosition;
    int64_t lastStart = 1;
    int64_t topRow = rowCount;
    int64_t bottomRow = 1;
    for (int32_t slot : liveSlots(selection)) {
        const NoteRec& record = table()->at(channel(), slot);
        firstPosition = std::min<int64_t>(firstPosition, record.position);
        lastStart = std::max<int64_t>(lastStart, record.position);
        if (onKeyboard(record.key)) {
            topRow = std::min<int64_t>(topRow, record.key);
            bottomRow = std::max<int64_t>(bottomRow, record.key);
        }
    }
    return {static_cast<int32_t>(std::clamp<int64_t>(wanted.columns, 1 - firstPosition, lastPosition - lastStart)),
            static_cast<int32_t>(std::clamp<int64_t>(wanted.rows, 1 - topRow, rowCount - bottomRow))};
}

NoteClip PassageEditor::copy(const NoteSelection& selection) const {
    std::vector<NoteRec> records;
    for (int32_t slot : liveSlots(selection))
        records.push_back(table()->at(channel(), slot));
    std::stable_sort(records.begin(), records.end(),
                     [](const NoteRec& a, const NoteRec& b) { return a.position < b.position; });
    std::vector<ClipNote> notes;
    notes.reserve(records.size());
    for (const NoteRec& record : records) {
        const auto step = static_cast<uint32_t>(record.position - records.front().position);
        notes.push_back({step, record.key, record.length, record.pan, record.volume});
    }
    return NoteClip(std::move(notes));
}

PassageEdit PassageEditor::paste(const NoteClip& clip, int32_t column) {
    NoteTable* notes = table();
    if (!notes || clip.empty())
        return unchanged({});
    if (column < 1)
        return unchanged({}, PassageRefusal::beforeFirstStep);
    std::vector<NoteRec> placed;
    placed.reserve(clip.size());
    for (const ClipNote& note : clip.notes()) {
        const int64_t position = static_cast<int64_t>(column) + note.step;
        if (position > lastPosition)
            return unchanged({}, PassageRefusal::pastLastStep);
        placed.push_back({static_cast<int32_t>(position), note.key, note.length, note.pan, note.volume});
    }
    const PlacedColumns cover(placed);
    std::vector<int32_t> overlapped;
    int64_t kept = 0;
    for (int32_t slot = 1; slot <= notes->slotBound(); ++slot) {
        const NoteRec& record = notes->at(channel(), slot);
        if (cover.overlaps(record))
            overlapped.push_back(slot);
        else if (!record.isEmpty())
            ++kept;
    }
    const int64_t finalCount = kept + static_cast<int64_t>(placed.size());
    if (finalCount > maxChannelNotes)
        return unchanged({}, PassageRefusal::channelFull);
    for (int32_t slot : overlapped)
        notes->at(channel(), slot) = NoteRec{};
    return tidy(placeInEmptySlots(placed, static_cast<int32_t>(finalCount)));
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

std::vector<int32_t> PassageEditor::liveSlots(const NoteSelection& selection) const {
    const NoteTable* notes = table();
    std::vector<int32_t> slots;
    if (!notes || !selection.isOf(m_state))
        return slots;
    for (int32_t slot : selection.slotIndices())
        if (slot >= 1 && slot <= notes->slotBound() && !notes->at(channel(), slot).isEmpty())
            slots.push_back(slot);
    return slots;
}

PassageRefusal PassageEditor::checkMove(const std::vector<int32_t>& slots, int32_t columns, int32_t rows) const {
    for (int32_t slot : slots) {
        const NoteRec& record = table()->at(channel(), slot);
        const int64_t position = static_cast<int64_t>(record.position) + columns;
        if (position < 1)
            return PassageRefusal::beforeFirstStep;
        if (position > lastPosition)
            return PassageRefusal::pastLastStep;
        if (onKeyboard(record.key) && !onKeyboard(static_cast<int64_t>(record.key) + rows))
            return PassageRefusal::leavesKeyboard;
    }
    return PassageRefusal::none;
}

void PassageEditor::clearOverlapped(const std::vector<int32_t>& placedSlots) {
    NoteTable& notes = *table();
    std::vector<NoteRec> placed;
    std::vector<bool> isPlaced(static_cast<std::size_t>(notes.slotBound()) + 1, false);
    for (int32_t slot : placedSlots) {
        placed.push_back(notes.at(channel(), slot));
        isPlaced[static_cast<std::size_t>(slot)] = true;
    }
    const PlacedColumns cover(placed);
    for (int32_t slot = 1; slot <= notes.slotBound(); ++slot)
        if (!isPlaced[static_cast<std::size_t>(slot)] && cover.overlaps(notes.at(channel(), slot)))
            notes.at(channel(), slot) = NoteRec{};
}

std::vector<int32_t> PassageEditor::placeInEmptySlots(const std::vector<NoteRec>& records, int32_t finalCount) {
    NoteTable& notes = *table();
    notes.grow(finalCount);
    std::vector<int32_t> slots;
    slots.reserve(records.size());
    for (int32_t slot = 1; slot <= notes.slotBound() && slots.size() < records.size(); ++slot) {
        if (notes.at(channel(), slot).isEmpty()) {
            notes.at(channel(), slot) = records[slots.size()];
            slots.push_back(slot);
        }
    }
    return slots;
}

PassageEdit PassageEditor::tidy(const std::vector<int32_t>& selectedSlots) {
    int16_t& count = m_state.noteCounts[m_state.channelKind][channel()];
    const std::vector<int32_t> newSlotOf = sortNotesTracked(*table(), channel(), count);
    std::vector<int32_t> slots;
    slots.reserve(selectedSlots.size());
    for (int32_t slot : selectedSlots)
        slots.push_back(newSlotOf[static_cast<std::size_t>(slot)]);
    return {true, NoteSelection(m_state.channelKind, m_state.currentChannel, std::move(slots)), PassageRefusal::none};
}

}  // namespace tromel::roll
