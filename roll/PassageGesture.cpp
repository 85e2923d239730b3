// The roll's Shift gestures: drawing a selection rectangle, and dragging the selection.
#include "roll/PassageGesture.h"

#include "roll/NoteTableOps.h"
#include "roll/PassageEditor.h"

namespace tromel::roll {

std::optional<CellRect> PassageGesture::band() const {
    if (!m_band)
        return std::nullopt;
    return CellRect::between(m_band->column, m_band->row, m_band->toColumn, m_band->toRow);
}

bool PassageGesture::press(int32_t column, int32_t row, bool extend) {
    const NoteTable* notes = selectedNotes(m_song, m_state);
    if (!notes)
        return false;
    const int channel = m_state.currentChannel;
    const int32_t slot = getNoteFromPos(*notes, channel, column, row);
    if (slot != 0 && m_selection.isOf(m_state) && m_selection.contains(slot)) {
        m_drag = Drag{column, row, *notes, m_state.noteCounts[m_state.channelKind], m_selection};
        return true;
    }
    m_band = Band{column, row, column, row, extend && m_selection.isOf(m_state) ? m_selection : NoteSelection{}};
    move(column, row);
    return false;
}

void PassageGesture::move(int32_t column, int32_t row) {
    if (m_band) {
        m_band->toColumn = column;
        m_band->toRow = row;
        m_selection = m_band->base.unitedWith(selectInRect(m_song, m_state, *band(), m_allChannels));
    } else if (m_drag) {
        m_song.notes(m_state.channelKind) = m_drag->table;
        m_state.noteCounts[m_state.channelKind] = m_drag->counts;
        PassageEditor passage(m_song, m_state);
        const CellOffset offset = passage.limitMove(m_drag->selection, {column - m_drag->column, row - m_drag->row});
        const PassageEdit moved = passage.move(m_drag->selection, offset.columns, offset.rows);
        m_selection = moved.changed ? moved.selection : m_drag->selection;
    }
}

void PassageGesture::release() {
    m_band.reset();
    m_drag.reset();
}

}  // namespace tromel::roll
