// A document's history and what feeds it: the roll's gestures, Undo and Redo, the passage commands,
// and the changes made in the settings dialogs.
#pragma once

#include "document/EditPort.h"
#include "song/EditState.h"
#include "song/Song.h"
#include "song/SongEdit.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QUndoStack;
class QWidget;

namespace tromel::roll {
class NoteEditor;
class PianoRoll;
struct EditOutcome;
struct RollPointer;
}  // namespace tromel::roll

namespace tromel {

class PassageCommands;

class EditCommands : public QObject, public EditPort {
    Q_OBJECT

public:
    // What the rest of the window does for the edits.
    struct Host {
        std::function<void()> drawNotes;
        std::function<void(const std::string&)> setStatusText;
        std::function<void(const NoteRec&)> previewNote;  // a note just placed or given a new key
        std::function<int32_t()> pasteColumn;
    };

    // The history's parent is `window`; the song, state and roll outlive this object.
    EditCommands(QWidget* window, Song& song, EditState& state, roll::PianoRoll& roll, Host host);
    ~EditCommands() override;

    QUndoStack* history() const override { return m_history; }
    roll::NoteEditor& noteEditor() const override { return *m_noteEditor; }

    // Undo, Redo and the passage commands, into the Edit menu.
    void addTo(QMenu* editMenu);
    // The roll's mouse events go to the note editor; the roll shows what it answers.
    void connectRoll();

    // Ends a mouse gesture of the roll as its release would, so that the song is tidy and the
    // gesture is one step of the history. Commands and dialogs call it first.
    void finishGesture() override;
    // Adds a change already made to the song as a step of the history.
    void recordEdit(SongEdit edit);
    // Adds notes played in, already put into the song, as a step of the history and draws them;
    // steps of one recording pass (one `passKey`, not 0) pushed one after another are one step.
    // Whoever puts them in calls dropSelection() first.
    void recordNotes(SongEdit edit, uint64_t passKey = 0) override;
    // A press on the roll with Alt held goes to `take` instead of the note editor when it answers
    // true, and the gesture it began with it.
    void takeAltPresses(std::function<bool(const roll::RollPointer&)> take) override {
        m_takeAltPress = std::move(take);
    }
    // While step entry owns Left and Right, Move Left and Move Right keep only their menu items.
    void setArrowsTaken(bool taken) override;
    // Runs `edit` on the song's channel settings (the instrument and drum dialog) as one step.
    void editChannelSettings(const std::function<void()>& edit);
    // Runs `edit` on the song's header (the song settings dialog) as one step.
    void editSongHeader(const std::function<void()>& edit);
    // A change of channel ends the gesture and drops the selection.
    void dropSelection() override;

private:
    void undo();
    void redo();
    void refreshHistoryItems();
    void applyEdit(roll::EditOutcome outcome);

    QWidget* m_window;
    Song& m_song;
    EditState& m_state;
    roll::PianoRoll& m_roll;
    Host m_host;
    QUndoStack* m_history = nullptr;
    std::unique_ptr<roll::NoteEditor> m_noteEditor;  // edits m_song and m_state
    PassageCommands* m_passageCommands = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    std::function<bool(const roll::RollPointer&)> m_takeAltPress;
    bool m_altGesture = false;  // a press taken by m_takeAltPress, until its release
};

}  // namespace tromel
