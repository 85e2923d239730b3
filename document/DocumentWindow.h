// A song's document window (`winFile`): its roll, channel buttons, transport and file commands.
#pragma once

#include "audio/playback/Transport.h"
#include "document/EditorContext.h"
#include "roll/ViewScroll.h"
#include "song/EditState.h"
#include "song/Song.h"
#include "song/SongEdit.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QProgressBar;
class QUndoStack;
class QScrollBar;
class QStatusBar;
class QTimer;

namespace tromel::audio {
class NotePreview;
class TransportControls;
}  // namespace tromel::audio

namespace tromel::dialogs {
class SongSettingsDialog;
struct SongSettingsExchange;
}  // namespace tromel::dialogs

namespace tromel::roll {
class ChannelSelector;
class NoteEditor;
class PianoRoll;
struct EditOutcome;
struct RollView;
}  // namespace tromel::roll

namespace tromel {

class PassageCommands;

enum class OpenOutcome { Cancelled, Opened, NotOpened };

inline constexpr const char* noFileName = "null";
inline constexpr const char* newDocumentCaption = "NewData.org";

class DocumentWindow : public QWidget, public audio::TransportHost {
    Q_OBJECT

public:
    explicit DocumentWindow(EditorContext& context, QWidget* parent = nullptr);
    ~DocumentWindow() override;

    Song& song() { return m_song; }
    EditState& editState() { return m_edit; }
    // The document's file, or "null" while the song has none.
    const QString& fileName() const { return m_fileName; }
    // The file's name without its folder, or "NewData.org", with "*" after it while modified.
    QString caption() const { return windowTitle(); }
    // The caption without the modified mark.
    const QString& plainCaption() const { return m_baseCaption; }
    // Whether the song differs from what was last opened or saved (or was restored unsaved).
    bool isModified() const;
    QUndoStack* undoStack() const { return m_undoStack; }
    // The menus this window shows while active; the main window puts its Window menu before the last.
    QList<QMenu*> menus() const { return {m_fileMenu, m_settingsMenu, m_otherMenu}; }
    // Menus that stand after the ones above (Edit, View), each once it has entries.
    QList<QMenu*> addedMenus() const;

    roll::PianoRoll* pianoRoll() const { return m_pianoRoll; }
    roll::ChannelSelector& channels() const { return *m_channels; }
    audio::TransportControls& transportControls() const { return *m_transportControls; }
    audio::Transport& transport() const { return *m_transport; }
    QScrollBar* rollXScroll() const { return m_rollXScroll; }
    QScrollBar* rollYScroll() const { return m_rollYScroll; }
    QString statusText() const;

    void drawRoll();
    void drawNotes();

    // Asks for a file and reads it into this (fresh) window; on Cancelled the caller closes it.
    OpenOutcome clickOpen();
    // Reads the file at path into this (fresh) window, as Open does once a file is chosen.
    OpenOutcome openPath(const QString& path);
    bool save();
    bool saveAs();
    // Reads a song kept for recovery into this (fresh) window, as the unsaved song of the
    // document it came from; false when it cannot be read.
    bool openRecovered(const QString& recoveryPath, const QString& fileName, const QString& caption);

    // Ends a mouse gesture of the roll as its release would, so that the song is tidy and the
    // gesture is one step of the history. Commands and dialogs call it first.
    void finishGesture();
    // Adds a change already made to the song as a step of the history.
    void recordEdit(SongEdit edit);
    // Runs `edit` on the song's channel settings (the instrument and drum dialog) as one step.
    void editChannelSettings(const std::function<void()>& edit);
    // For a modified song asks "Save changes to NAME?" and saves when told to; true when the
    // window may close (saved, discarded, or nothing to ask about).
    bool confirmClose();
    // Closing the window from now on asks nothing (the program is ending and has already asked).
    void closeWithoutAsking() { m_askOnClose = false; }

    // The song settings dialog of this window, exchanging values through the main window's.
    void editSongSettings(dialogs::SongSettingsExchange& exchange);

    // TransportHost
    void setProgressMaximum(int32_t maximum) override;
    void setProgress(int32_t value) override;
    void setStatusText(const std::string& text) override;
    void showChannelStatus() override;
    void showAudioError(const std::string& text) override;
    void showPlayRefusal(const std::string& reason) override;

public slots:
    // File > Export WAV...: the song rendered into a WAV file as tromel-cli render does.
    void exportWav();
    // View > Go to Notes: the first notes of the song, centred on the current channel's.
    void goToNotes();
    // View > Play from Here: playback from the selection's first step or the first column in view.
    void playFromHere();
    void onSongSettings();
    void onInstrumentSettings();
    void onDebug();
    void onAbout();

signals:
    void newRequested();
    void openRequested();
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
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createScrollBars();
    void orderTabStops();
    void createMenus();
    void createEditMenu();
    void createViewMenu();
    void refreshViewMenu();
    void scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    bool keepCursorInView(int32_t playPosition);
    void watchPointer();
    void load();
    void layoutControls();
    bool isMinimizedAnywhere() const;
    roll::RollView rollView() const;
    void selectChannel(int kind, int channel);
    void followPlayCursor(int32_t playPosition);
    void connectNoteEditing();
    void applyEdit(roll::EditOutcome outcome);
    bool writeSong(const QString& path);
    void setCaptionFromPath(const QString& path);
    void showOpenedSong();
    int32_t pasteColumn() const;
    int32_t firstVisibleColumn() const;
    void previewNote(const NoteRec& note);
    void updateCaption();
    void showEditedSong();

    EditorContext& m_context;
    Song m_song;
    EditState m_edit;
    QString m_fileName = noFileName;
    QString m_baseCaption = newDocumentCaption;
    QUndoStack* m_undoStack = nullptr;
    bool m_askOnClose = true;
    std::unique_ptr<roll::NoteEditor> m_noteEditor;  // edits m_song and m_edit
    PassageCommands* m_passageCommands = nullptr;
    std::unique_ptr<audio::Transport> m_transport;
    std::unique_ptr<audio::TransportControls> m_transportControls;  // before m_transport on the way out
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
    QAction* m_followPlaybackAction = nullptr;
    QAction* m_showNotesAction = nullptr;
    QAction* m_previewNotesAction = nullptr;
    std::unique_ptr<audio::NotePreview> m_notePreview;  // made when a note is first previewed
    QTimer* m_previewTimer = nullptr;
    roll::WheelScroll m_wheelX;
    roll::WheelScroll m_wheelY;
    // Created on first use; a member so that it goes before Qt deletes this window's children.
    std::unique_ptr<dialogs::SongSettingsDialog> m_songSettingsDialog;
};

}  // namespace tromel
