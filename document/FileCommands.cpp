// A document's file: opening, saving, exporting, and the prompt before closing.
#include "document/FileCommands.h"

#include "dialogs/ExportAudioDialog.h"
#include "song/DrumSet.h"
#include "song/OrgFile.h"
#include "widgets/ProgramSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUndoStack>

namespace tromel {
namespace {

std::filesystem::path toFilesystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

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
    if (m_fileName != noFileName)
        return writeSong(m_fileName);
    return saveAs();
}

bool FileCommands::saveAs() {
    m_host.finishGesture();
    const std::optional<QString> path = m_context.prompts.chooseSaveFile(m_window, "Save As...", proposedPath());
    if (!path)
        return false;
    // A failed save keeps the document bound to its file, so Save and recovery still know it.
    if (!writeSong(*path))
        return false;
    m_fileName = *path;
    setCaptionFromPath(*path);
    return true;
}

QString FileCommands::proposedPath() const {
    // A song with a file proposes that file; one without its caption's name ("NewData.org" when new).
    if (m_fileName != noFileName)
        return m_fileName;
    return m_unsavedFolder.isEmpty() ? m_baseCaption : QDir(m_unsavedFolder).filePath(m_baseCaption);
}

bool FileCommands::writeSong(const QString& path) {
    const SaveResult result = saveOrgFile(m_song, toFilesystemPath(path), m_context.fileSystem);
    if (!result.ok) {
        m_context.prompts.message(m_window, MessageIcon::Warning, "File Save Error",
                                  QString::fromStdString(result.reason));
        return false;
    }
    m_history.setClean();
    settings::addRecentSong(path);
    return true;
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
                         QFileInfo(proposedPath()).completeBaseName());
}

}  // namespace tromel
