// One step of a document's history as Qt's undo stack holds it.
#pragma once

#include "song/EditState.h"
#include "song/SongEdit.h"

#include <QUndoCommand>

#include <functional>

namespace tromel {

// Made after its change has been applied: the stack's first redo() on push changes nothing.
class SongEditCommand : public QUndoCommand {
public:
    // `applied` runs after every undo and redo, so the window can show the song again.
    SongEditCommand(SongEdit edit, Song& song, EditState& state, std::function<void(const SongEdit&)> applied);

    void undo() override;
    void redo() override;

private:
    SongEdit m_edit;
    Song& m_song;
    EditState& m_state;
    std::function<void(const SongEdit&)> m_applied;
    bool m_pushed = false;
};

}  // namespace tromel
