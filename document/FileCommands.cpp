// A document's file: opening, saving, exporting, and the prompt before closing.
#include "document/FileCommands.h"

#include "dialogs/ExportAudioDialog.h"
#include "song/DrumSet.h"
#include "song/OrgFile.h"
#include "widgets/FilePaths.h"
#include "widgets/ProgramSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QUndoStack>

namespace tromel {

FileCommands::FileCommands(QWidget* window, EditorContext& context, Song& song, QUndoStack& history, Host host)
    : m_window(window), m_context(context), m_song(song), m_history(history), m_host(std::move(host)) {}

QString FileCommands::caption() const {
    return isModified() ? m_baseCaption + "*" : m_baseCaption;
}

bool FileCommands::isModified() const {
    return !m_history.isClean();
}

OpenOutcome FileCommands::clickOpen() {
    const QStringList paths = m_context.prompts.chooseOpenFiles(m_window, "Open...", newDocumentCaption);
    if (paths.isEmpty())
        return OpenOutcome::Cancelled;
    const OpenOutcome outcome = openPath(paths.first());
    for (const QString& path : paths.mid(1))
        m_host.openElsewhere(path);
    return outcome;
}

OpenOutcome FileCommands::openPath(const QString& path) {
    const LoadResult result = loadOrgFile(m_song, toFilesystemPath(path), m_context.fileSystem);
    if (!result.ok()) {
        // The song stays new and unbound, so a later Save never overwrites the file it could not read.
        const QString text =
            result.status == LoadStatus::NotOrganya ? invalidOrgMessage : QString::fromStdString(result.reason);
        m_context.prompts.message(m_window, MessageIcon::Warning, fileOpenErrorTitle, text);
        m_fileName = noFileName;
        m_host.drawNotes();
        return OpenOutcome::NotOpened;
    }
    m_fileName = path;
    m_stamp = result.stamp;
    setCaptionFromPath(path);
    settings::addRecentSong(path);
    m_host.showOpenedSong();
    // Said once, on opening: the song plays, with silence for the drums it names beyond ours.
    if (const std::string unknown = unknownDrumsText(m_song); !unknown.empty())
        m_context.prompts.message(m_window, MessageIcon::Information, "Unknown Drums", QString::fromStdString(unknown));
    return OpenOutcome::Opened;
}

bool FileCommands::openRecovered(const QString& recoveryPath, const QString& fileName, const QString& caption) {
    if (!loadOrgFile(m_song, toFilesystemPath(recoveryPath), m_context.fileSystem).ok())
        return false;
    m_fileName = fileName;
    m_baseCaption = caption;
    // What the file held when the song was opened is not known: a save writes without asking.
    m_stamp = {};
    // Unsaved work: modified from the start, and no undo step leads back to a saved state.
    m_history.resetClean();
    emit captionChanged();
    m_host.showOpenedSong();
    return true;
}

void FileCommands::showUnsavedSong(const QString& caption, const QString& folder) {
    m_fileName = noFileName;
    m_baseCaption = caption;
    m_unsavedFolder = folder;
    m_history.resetClean();
    emit captionChanged();
    m_host.showOpenedSong();
}

bool FileCommands::save() {
    m_host.finishGesture();
    if (m_fileName == noFileName)
        return saveAs();
    const Written written = writeSong(m_fileName, true);
    return written == Written::SaveAsInstead ? saveAs() : written == Written::Saved;
}

bool FileCommands::saveAs() {
    m_host.finishGesture();
    const QString proposed = proposedPath();
    // A read-only file chosen is refused, and the chooser offered again.
    for (;;) {
        const std::optional<QString> path = m_context.prompts.chooseSaveFile(m_window, "Save As...", proposed);
        if (!path)
            return false;
        // A failed save keeps the document bound to its file, so Save and recovery still know it. The
        // file chooser asked before replacing a file: no second question about another program.
        const Written written = writeSong(*path, false);
        if (written == Written::NotSaved)
            return false;
        if (written == Written::Saved) {
            m_fileName = *path;
            setCaptionFromPath(*path);
            return true;
        }
    }
}

QString FileCommands::proposedPath() const {
    // A song with a file proposes that file; one without its caption's name ("NewData.org" when new).
    if (m_fileName != noFileName)
        return m_fileName;
    return m_unsavedFolder.isEmpty() ? m_baseCaption : QDir(m_unsavedFolder).filePath(m_baseCaption);
}

QString FileCommands::failureText(const QString& path, const QString& reason) {
    const QFileInfo file(path);
    return QString("%1 could not be saved in %2: %3").arg(file.fileName(), file.absolutePath(), reason);
}

FileCommands::Written FileCommands::writeSong(const QString& path, bool checkChanges) {
    SaveOptions options;
    if (checkChanges)
        options.unchangedSince = m_stamp;
    const QString name = QFileInfo(path).fileName();
    options.keepFirst = [this, &path, &name]() -> std::string {
        const int error =
            m_context.safekeeping ? m_context.safekeeping->keepWhileWriting(m_window, m_song, path, name) : 0;
        return error == 0 ? std::string() : "it could not first be kept for recovery (" + files::errorText(error) + ")";
    };
    const SaveResult result = saveOrgFile(m_song, toFilesystemPath(path), m_context.fileSystem, options);
    switch (result.refusal) {
        case SaveRefusal::ReadOnly:
            m_context.prompts.message(m_window, MessageIcon::Warning, "File Save Error", name + " is read-only.");
            return Written::SaveAsInstead;
        case SaveRefusal::ChangedElsewhere:
            switch (m_context.prompts.askOverwriteChanged(m_window, m_baseCaption)) {
                case ChangedFileChoice::Overwrite:
                    return writeSong(path, false);
                case ChangedFileChoice::SaveAs:
                    return Written::SaveAsInstead;
                case ChangedFileChoice::Cancel:
                    break;
            }
            return Written::NotSaved;
        case SaveRefusal::None:
            break;
    }
    if (!result.ok) {
        m_context.prompts.message(m_window, MessageIcon::Warning, "File Save Error",
                                  failureText(path, QString::fromStdString(result.reason)));
        // The file may hold part of the song now: only the recovery copy holds it whole.
        if (result.fileTouched)
            m_history.resetClean();
        return Written::NotSaved;
    }
    m_stamp = result.stamp;
    m_history.setClean();
    if (m_context.safekeeping)
        m_context.safekeeping->writtenWhole(m_window);
    settings::addRecentSong(path);
    return Written::Saved;
}

void FileCommands::setCaptionFromPath(const QString& path) {
    m_baseCaption = QFileInfo(path).fileName();
    emit captionChanged();
}

bool FileCommands::confirmClose() {
    m_host.finishGesture();
    if (!isModified())
        return true;
    switch (m_context.prompts.askSaveChanges(m_window, m_baseCaption)) {
        case SaveChoice::Save:
            return save();
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

void FileCommands::exportAudio() {
    const QString songFile = m_fileName == noFileName ? QString() : m_fileName;
    dialogs::exportAudio(m_window, m_context.prompts, m_song, m_context.sampleFolder, songFile,
                         QFileInfo(proposedPath()).completeBaseName(),
                         m_context.openSongFiles ? m_context.openSongFiles() : std::vector<std::filesystem::path>{});
}

}  // namespace tromel
