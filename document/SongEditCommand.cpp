// One step of a document's history as Qt's undo stack holds it.
#include "document/SongEditCommand.h"

namespace tromel {

SongEditCommand::SongEditCommand(SongEdit edit, Song& song, EditState& state,
                                 std::function<void(const SongEdit&)> applied, uint64_t passKey)
    : QUndoCommand(QString::fromStdString(edit.name())),
      m_edit(std::move(edit)),
      m_song(song),
      m_state(state),
      m_applied(std::move(applied)),
      m_passKey(passKey) {}

// The stack merges only a step pushed right after this one, already applied to the song as this
// one left it.
bool SongEditCommand::mergeWith(const QUndoCommand* other) {
    const auto* later = dynamic_cast<const SongEditCommand*>(other);
    if (!later || later->m_passKey != m_passKey)
        return false;
    return m_edit.append(later->m_edit);
}

void SongEditCommand::undo() {
    m_edit.undo(m_song, m_state);
    m_applied(m_edit);
}

void SongEditCommand::redo() {
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    m_edit.redo(m_song, m_state);
    m_applied(m_edit);
}

}  // namespace tromel
