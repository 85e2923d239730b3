// One step of a document's history as Qt's undo stack holds it.
#pragma once

#include "song/EditState.h"
#include "song/SongEdit.h"

#include <QUndoCommand>

#include <cstdint>
#include <functional>

namespace tromel {

// Made after its change has been applied: the stack's first redo() on push changes nothing.
class SongEditCommand : public QUndoCommand {
public:
    // `applied` runs after every undo and redo, so the window can show the song again. Steps
    // pushed one after the other with the same `passKey` (not 0) become one step: the notes of
    // one recording pass.
    SongEditCommand(SongEdit edit, Song& song, EditState& state, std::function<void(const SongEdit&)> applied,
                    uint64_t passKey = 0);

    void undo() override;
    void redo() override;
    int id() const override { return m_passKey == 0 ? -1 : passCommandId; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    SongEdit m_edit;
    Song& m_song;
    EditState& m_state;
    std::function<void(const SongEdit&)> m_applied;
    bool m_pushed = false;
    uint64_t m_passKey = 0;

    static constexpr int passCommandId = 0x70617373;
};

}  // namespace tromel
