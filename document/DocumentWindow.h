// A song's document window (`winFile`): its roll, channel buttons, transport and file commands.
#pragma once

#include "audio/playback/Transport.h"
#include "document/EditorContext.h"
#include "document/FileCommands.h"
#include "document/MidiCommands.h"
#include "song/EditState.h"
#include "song/Song.h"
#include "song/SongEdit.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QMenu;
class QProgressBar;
class QUndoStack;
class QScrollBar;
class QStatusBar;

namespace tromel::audio {
class TransportControls;
}

namespace tromel::dialogs {
class SongSettingsDialog;
struct SongSettingsExchange;
}  // namespace tromel::dialogs

namespace tromel::roll {
class ChannelSelector;
class PianoRoll;
}  // namespace tromel::roll

namespace tromel {

class EditCommands;
class NoteInput;
class PlaybackWiring;
class ViewCommands;

// An assembly: it builds the widgets and menus and hands each action to the room that owns it,
// file, edit, view or playback. It alone makes the rooms and wires them: each reaches the others
// only through the ports it is given (EditPort, FilePort, PlaybackPort, ViewPort).
class DocumentWindow : public QWidget {
    Q_OBJECT

public:
    explicit DocumentWindow(EditorContext& context, QWidget* parent = nullptr);
    ~DocumentWindow() override;

    Song& song() { return m_song; }
    EditState& editState() { return m_edit; }
    // The document's file, or "null" while the song has none.
    const QString& fileName() const { return m_file->fileName(); }
    // The file's name without its folder, or "NewData.org", with "*" after it while modified.
    QString caption() const { return windowTitle(); }
    // The caption without the modified mark.
    const QString& plainCaption() const { return m_file->plainCaption(); }
    // Whether the song differs from what was last opened or saved (or was restored unsaved).
    bool isModified() const { return m_file->isModified(); }
    QUndoStack* undoStack() const;
    // The menus this window shows while active; the main window puts its Window menu before the last.
    QList<QMenu*> menus() const { return {m_fileMenu, m_settingsMenu, m_otherMenu}; }
    // Menus that stand after the ones above (Edit, View), each once it has entries.
    QList<QMenu*> addedMenus() const;

    roll::PianoRoll* pianoRoll() const { return m_pianoRoll; }
    roll::ChannelSelector& channels() const { return *m_channels; }
    audio::TransportControls& transportControls() const;
    audio::Transport& transport() const;
    QScrollBar* rollXScroll() const { return m_rollXScroll; }
    QScrollBar* rollYScroll() const { return m_rollYScroll; }
    QString statusText() const;
    void setStatusText(const std::string& text);

    void drawRoll();
    void drawNotes();

    // The file commands (see FileCommands).
    OpenOutcome clickOpen() { return m_file->clickOpen(); }
    OpenOutcome openPath(const QString& path) { return m_file->openPath(path); }
    bool save() { return m_file->save(); }
    bool saveAs() { return m_file->saveAs(); }
    bool openRecovered(const QString& recoveryPath, const QString& fileName, const QString& caption) {
        return m_file->openRecovered(recoveryPath, fileName, caption);
    }
    bool confirmClose() { return m_file->confirmClose(); }
    // File > Import MIDI... into this fresh window (see MidiCommands).
    OpenOutcome importMidi() { return m_midi->importMidi(); }
    // Closing the window from now on asks nothing (the program is ending and has already asked).
    void closeWithoutAsking() { m_askOnClose = false; }

    // The edit commands (see EditCommands).
    void finishGesture();
    void recordEdit(SongEdit edit);
    void editChannelSettings(const std::function<void()>& edit);
    // The song settings dialog of this window, exchanging values through the main window's.
    void editSongSettings(dialogs::SongSettingsExchange& exchange);

    // The Listen button of the instrument and drum dialog (see ViewCommands::listen).
    void listen(int kind, int channel, int number);

    // Playing notes in: the keyboard piano, step entry, recording (see NoteInput).
    NoteInput& noteInput() const { return *m_input; }

public slots:
    void exportAudio() { m_file->exportAudio(); }
    void exportMidi() { m_midi->exportMidi(); }
    // File > Close: closes the window as its close box does.
    void closeWindow();
    void goToNotes();
    void playFromHere();
    void onSongSettings();
    void onInstrumentSettings();
    void onDebug();
    void onAbout();

signals:
    void newRequested();
    void openRequested();
    void importMidiRequested();
    // A song to open in a window of its own: a recent song, or one of several chosen at once.
    void openPathRequested(const QString& path);
    void mouseAndKeysRequested();
    void exitRequested();
    void aboutRequested();
    void songSettingsRequested();
    void instrumentSettingsRequested();
    void debugRequested();
    void captionChanged();
    // The song changed, by an edit, an undo or a redo.
    void songEdited();
    // The modified mark came or went.
    void modifiedChanged(bool modified);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void createScrollBars();
    void createRooms();
    void orderTabStops();
    void createMenus();
    void watchPointer();
    void load();
    void layoutControls();
    bool isMinimizedAnywhere() const;
    void selectChannel(int kind, int channel);
    void showOpenedSong();
    void updateCaption();
    void showChannelStatus();

    EditorContext& m_context;
    Song m_song;
    EditState m_edit;
    bool m_askOnClose = true;
    roll::ChannelSelector* m_channels = nullptr;
    roll::PianoRoll* m_pianoRoll = nullptr;
    QScrollBar* m_rollXScroll = nullptr;
    QScrollBar* m_rollYScroll = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QMenu* m_otherMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    // The rooms, released in the destructor in the reverse order of their making.
    std::unique_ptr<PlaybackWiring> m_playback;
    std::unique_ptr<EditCommands> m_edits;
    std::unique_ptr<ViewCommands> m_view;
    std::unique_ptr<FileCommands> m_file;
    std::unique_ptr<MidiCommands> m_midi;
    std::unique_ptr<NoteInput> m_input;
    // Created on first use; a member so that it goes before Qt deletes this window's children.
    std::unique_ptr<dialogs::SongSettingsDialog> m_songSettingsDialog;
};

}  // namespace tromel
