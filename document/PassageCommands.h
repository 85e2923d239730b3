// The Edit menu's passage commands: the clipboard, Delete, Duplicate, Select All, All Channels, transposing and moving.
#pragma once

#include "roll/EditOutcome.h"
#include "roll/NoteEditor.h"

#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace tromel {

// Each command works on the selection of the roll's note editor and is one step of the history.
// The clipboard carries notes between channels, documents and running programs as
// roll::noteClipMimeType, with a plain-text listing beside. With All Channels on, selections
// take every channel of the current kind, and a paste of several channels puts each back on its
// own channel.
class PassageCommands : public QObject {
    Q_OBJECT

public:
    struct Host {
        std::function<void()> finishGesture;           // before every command
        std::function<void(roll::EditOutcome)> apply;  // shows an outcome and records its step
        std::function<int32_t()> pasteColumn;          // where a paste begins
    };

    // Adds the commands to `menu`; Escape, which drops the selection, goes to `window`.
    PassageCommands(QMenu* menu, QWidget* window, roll::NoteEditor& editor, Song& song, EditState& state, Host host);

    // The commands that need a selection are enabled while there is one (so that the arrow keys
    // reach the focused control otherwise).
    void refresh();
    // Left and Right belong to step entry while it is on: Move Left and Move Right give them up.
    void setArrowsTaken(bool taken);

public slots:
    void cut();
    void copy();
    void paste();
    void remove();
    void selectAll();
    void selectNone();
    void duplicate();

private:
    QAction* add(QMenu* menu, const QString& text, const QList<QKeySequence>& keys, std::function<void()> run,
                 bool needsSelection);
    void run(const char* name, const roll::NoteEditor::PassageOperation& operation);

    roll::NoteEditor& m_editor;
    Song& m_song;
    EditState& m_state;
    Host m_host;
    QList<QAction*> m_needSelection;
    QAction* m_moveLeft = nullptr;
    QAction* m_moveRight = nullptr;
    QAction* m_allChannels = nullptr;
};

}  // namespace tromel
