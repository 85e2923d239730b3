// A document's file: Open, Save, Save As and Export Audio, the save prompt on closing, and the
// caption they give the window.
#pragma once

#include "document/EditorContext.h"
#include "document/FilePort.h"
#include "files/FileStamp.h"
#include "song/Song.h"

#include <QObject>
#include <QString>

#include <functional>

class QUndoStack;
class QWidget;

namespace tromel {

inline constexpr const char* newDocumentCaption = "NewData.org";

class FileCommands : public QObject, public FilePort {
    Q_OBJECT

public:
    struct Host {
        std::function<void()> finishGesture;                // before a save
        std::function<void()> drawNotes;                    // after a file could not be read
        std::function<void()> showOpenedSong;               // after a song was read in
        std::function<void(const QString&)> openElsewhere;  // a further song chosen at once, in a window of its own
    };

    // Dialogs and messages are shown over `window`; the song and the history outlive this object.
    FileCommands(QWidget* window, EditorContext& context, Song& song, QUndoStack& history, Host host);

    // The document's file, or "null" while the song has none.
    const QString& fileName() const override { return m_fileName; }
    // The file's name without its folder, or "NewData.org", with "*" after it while modified.
    QString caption() const;
    // The caption without the modified mark.
    const QString& plainCaption() const { return m_baseCaption; }
    // Whether the song differs from what was last opened or saved (or was restored unsaved).
    bool isModified() const;

    // Asks for files and reads the first into this (fresh) document, each other one elsewhere;
    // on Cancelled the caller closes this document.
    OpenOutcome clickOpen();
    // Reads the file at path into this (fresh) document, as Open does once a file is chosen.
    OpenOutcome openPath(const QString& path);
    // Reads a song kept for recovery into this (fresh) document, as the unsaved song of the
    // document it came from; false when it cannot be read.
    bool openRecovered(const QString& recoveryPath, const QString& fileName, const QString& caption);
    // Shows a song made in this (fresh) document, not read from a file, as unsaved work named
    // `caption`: bound to no file and modified, so Save asks where, proposing that name in `folder`.
    void showUnsavedSong(const QString& caption, const QString& folder = QString()) override;
    // Where Save As starts: the song's file, or its caption's name in the folder it came from.
    QString proposedPath() const override;
    // Saves into the document's file (asks where while it has none). A file another program
    // changed since it was opened or saved is written over only when the user says so; a read-only
    // file is refused, and Save As offered.
    bool save();
    bool saveAs();
    // For a modified song asks "Save changes to NAME?" and saves when told to; true when the
    // document may close (saved, discarded, or nothing to ask about).
    bool confirmClose();
    // File > Export Audio...: the song rendered into audio files as tromel-cli render does.
    void exportAudio();

    // The text of a failed save: "SONG could not be saved in FOLDER: REASON".
    static QString failureText(const QString& path, const QString& reason);

signals:
    // The caption's file name changed; the modified mark is the history's to announce.
    void captionChanged();

private:
    enum class Written { Saved, NotSaved, SaveAsInstead };
    // `checkChanges`: refused (and the user asked) when the file holds other bytes than m_stamp.
    Written writeSong(const QString& path, bool checkChanges);
    void setCaptionFromPath(const QString& path);

    QWidget* m_window;
    EditorContext& m_context;
    Song& m_song;
    QUndoStack& m_history;
    Host m_host;
    QString m_fileName = noFileName;
    QString m_baseCaption = newDocumentCaption;
    files::FileStamp m_stamp;  // what the document's file held when opened or last saved
    QString m_unsavedFolder;   // where an unsaved song came from, or empty
};

}  // namespace tromel
