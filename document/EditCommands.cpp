// A document's history and what feeds it: gestures, Undo and Redo, passages and the settings dialogs.
#include "document/EditCommands.h"

#include "document/PassageCommands.h"
#include "document/SongEditCommand.h"
#include "roll/NoteEditor.h"
#include "roll/ui/PianoRoll.h"
#include "widgets/ProgramSettings.h"

#include <QAction>
#include <QMenu>
#include <QUndoStack>

#include <utility>

namespace tromel {

EditCommands::EditCommands(QWidget* window, Song& song, EditState& state, roll::PianoRoll& roll, Host host)
    : m_window(window),
      m_song(song),
      m_state(state),
      m_roll(roll),
      m_host(std::move(host)),
      m_history(new QUndoStack(window)),
      m_noteEditor(std::make_unique<roll::NoteEditor>(song, state)) {}

EditCommands::~EditCommands() = default;

void EditCommands::addTo(QMenu* editMenu) {
    m_undoAction = editMenu->addAction("Undo", QKeySequence("Ctrl+Z"), this, &EditCommands::undo);
    m_undoAction->setObjectName("undoAction");
    m_redoAction = editMenu->addAction("Redo", this, &EditCommands::redo);
    m_redoAction->setObjectName("redoAction");
    m_redoAction->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
    connect(m_history, &QUndoStack::indexChanged, this, &EditCommands::refreshHistoryItems);
    refreshHistoryItems();
    m_passageCommands = new PassageCommands(
        editMenu, m_window, *m_noteEditor, m_song, m_state,
        {[this] { finishGesture(); }, [this](roll::EditOutcome outcome) { applyEdit(std::move(outcome)); },
         [this] { return m_host.pasteColumn(); }});
}

// An undo or redo may put other records in the selected slots: the selection goes.
void EditCommands::undo() {
    finishGesture();
    m_noteEditor->setSelection({});
    m_history->undo();
}

void EditCommands::redo() {
    finishGesture();
    m_noteEditor->setSelection({});
    m_history->redo();
}

// The items name the step they would take back or do again: "Undo Move Note".
void EditCommands::refreshHistoryItems() {
    m_undoAction->setText(m_history->canUndo() ? "Undo " + m_history->undoText() : "Undo");
    m_undoAction->setEnabled(m_history->canUndo());
    m_redoAction->setText(m_history->canRedo() ? "Redo " + m_history->redoText() : "Redo");
    m_redoAction->setEnabled(m_history->canRedo());
}

void EditCommands::connectRoll() {
    m_roll.setMouseHooks({
        [this](const roll::RollPointer& p) {
            m_altGesture = p.modifiers.alt && m_takeAltPress && m_takeAltPress(p);
            m_noteEditor->setAllChannels(settings::allChannels());
            if (!m_altGesture)
                applyEdit(m_noteEditor->press(p.heldButtons(), p.x, p.y, m_roll.height(), p.modifiers));
        },
        [this](const roll::RollPointer& p) {
            m_altGesture = m_altGesture && !p.heldButtons().none();
            if (!m_altGesture)
                applyEdit(m_noteEditor->move(p.heldButtons(), p.x, p.y, m_roll.height()));
        },
        [this](const roll::RollPointer&) {
            if (!std::exchange(m_altGesture, false))
                applyEdit(m_noteEditor->release());
        },
    });
}

void EditCommands::recordNotes(SongEdit edit, uint64_t passKey) {
    if (edit.isEmpty())
        return;
    m_history->push(new SongEditCommand(
        std::move(edit), m_song, m_state, [this](const SongEdit&) { m_host.drawNotes(); }, passKey));
    m_host.drawNotes();
}

void EditCommands::setArrowsTaken(bool taken) {
    m_passageCommands->setArrowsTaken(taken);
}

void EditCommands::applyEdit(roll::EditOutcome outcome) {
    m_roll.showPointer(outcome.pointer);
    if (outcome.status)
        m_host.setStatusText(*outcome.status);
    if (outcome.redraw) {
        m_host.drawNotes();
        m_passageCommands->refresh();
    }
    if (outcome.finished)
        recordEdit(std::move(*outcome.finished));
    if (outcome.placed)
        m_host.previewNote(*outcome.placed);
}

void EditCommands::finishGesture() {
    if (m_noteEditor->inGesture())
        applyEdit(m_noteEditor->release());
}

// Undo and redo change the song behind the roll's back: the notes are drawn again.
void EditCommands::recordEdit(SongEdit edit) {
    m_history->push(
        new SongEditCommand(std::move(edit), m_song, m_state, [this](const SongEdit&) { m_host.drawNotes(); }));
}

void EditCommands::editChannelSettings(const std::function<void()>& edit) {
    finishGesture();
    const SongChannels before = SongChannels::of(m_song);
    edit();
    const SongChannels after = SongChannels::of(m_song);
    if (after != before)
        recordEdit(SongEdit::ofChannels("Instrument/Drum Settings", before, after));
}

void EditCommands::editSongHeader(const std::function<void()>& edit) {
    const SongHeader before = SongHeader::of(m_song);
    edit();
    const SongHeader after = SongHeader::of(m_song);
    if (after != before)
        recordEdit(SongEdit::ofHeader("Song Settings", before, after));
}

void EditCommands::dropSelection() {
    finishGesture();
    m_noteEditor->setSelection({});
    m_passageCommands->refresh();
}

}  // namespace tromel
