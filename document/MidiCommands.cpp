// A document's MIDI commands: export, and import into a new document.
#include "document/MidiCommands.h"

#include "audio/render/OfflineRender.h"
#include "dialogs/MidiImportDialog.h"
#include "dialogs/MidiPartPreview.h"
#include "exchange/MidiExport.h"
#include "exchange/MidiImport.h"
#include "exchange/MidiReader.h"
#include "exchange/MidiWriter.h"
#include "song/AtomicFile.h"
#include "widgets/FilePaths.h"

#include <QDir>
#include <QFileInfo>

namespace tromel {
namespace {

constexpr const char* importTitle = "Import MIDI";
constexpr const char* inputItselfText = "this is the input file itself; choose another output file";

}  // namespace

MidiCommands::MidiCommands(QWidget* window, EditorContext& context, Song& song, FilePort& file,
                           std::function<void()> finishGesture)
    : m_window(window), m_context(context), m_song(song), m_file(file), m_finishGesture(std::move(finishGesture)) {}

void MidiCommands::exportMidi() {
    m_finishGesture();
    // Beside the song's file (or the file it was imported from) with its name, or named after the caption.
    const QString proposed = m_file.proposedPath();
    const QFileInfo song(proposed);
    const QString name = song.completeBaseName() + ".mid";
    const QString suggested = song.isAbsolute() ? song.dir().filePath(name) : name;
    const std::optional<QString> path = m_context.prompts.chooseMidiFile(m_window, "Export MIDI...", suggested, true);
    if (!path)
        return;
    if (const char* refusal = overwriteRefusal(toFilesystemPath(*path))) {
        m_context.prompts.message(m_window, MessageIcon::Warning, "Export MIDI", *path + ": " + refusal);
        return;
    }
    const exchange::MidiExportResult exported = exchange::songToMidi(m_song);
    if (!exported.ok()) {
        m_context.prompts.message(m_window, MessageIcon::Warning, "Export MIDI",
                                  QString::fromStdString(exported.error));
        return;
    }
    const SaveResult saved =
        writeFileAtomically(toFilesystemPath(*path), exchange::writeMidiBytes(exported.file), m_context.fileSystem);
    if (!saved.ok)
        m_context.prompts.message(m_window, MessageIcon::Warning, "File Save Error",
                                  QString::fromStdString(saved.reason));
}

// The chooser asked before replacing a file, but not whether that file is a song being edited: its
// window would go on showing a song its file no longer holds.
const char* MidiCommands::overwriteRefusal(const std::filesystem::path& target) const {
    files::FileSystem& files = m_context.fileSystem;
    if (m_file.fileName() != noFileName && files::isSameFile(files, toFilesystemPath(m_file.fileName()), target))
        return inputItselfText;
    const auto open = m_context.openSongFiles ? m_context.openSongFiles() : std::vector<std::filesystem::path>{};
    for (const std::filesystem::path& song : open)
        if (files::isSameFile(files, song, target))
            return audio::openSongText;
    return nullptr;
}

OpenOutcome MidiCommands::importMidi() {
    const std::optional<QString> path = m_context.prompts.chooseMidiFile(m_window, "Import MIDI...", QString(), false);
    if (!path)
        return OpenOutcome::Cancelled;
    const QString fileName = QFileInfo(*path).fileName();
    const exchange::MidiReadResult read = exchange::loadMidiFile(toFilesystemPath(*path), m_context.fileSystem);
    const std::vector<exchange::MidiPart> parts =
        read.ok() ? exchange::findMidiParts(read.file) : std::vector<exchange::MidiPart>{};
    if (!read.ok() || parts.empty()) {
        const QString reason = read.ok() ? QStringLiteral("it holds no notes") : QString::fromStdString(read.error);
        m_context.prompts.message(m_window, MessageIcon::Warning, importTitle,
                                  QStringLiteral("%1 cannot be imported: %2.").arg(fileName, reason));
        return OpenOutcome::NotOpened;
    }
    dialogs::MidiImportDialog dialog(fileName, read.file, parts, exchange::defaultImportPlan(read.file, parts),
                                     new dialogs::MidiPartPreview(m_context.layer, m_context.sampleFolder), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return OpenOutcome::Cancelled;
    exchange::MidiImportResult imported = exchange::midiToSong(read.file, parts, dialog.plan());
    m_song = std::move(imported.song);
    m_file.showUnsavedSong(QFileInfo(*path).completeBaseName() + ".org", QFileInfo(*path).absolutePath());
    QStringList lines;
    for (const std::string& line : imported.summary.lines())
        lines << QString::fromStdString(line);
    m_context.prompts.message(m_window, MessageIcon::Information, importTitle, lines.join('\n'));
    return OpenOutcome::Opened;
}

}  // namespace tromel
