// What the Export Audio dialog offers a song first, and what it was last told for it.
#include "dialogs/ExportAudioDialogChoices.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace tromel::dialogs {
namespace {

// The step at which the last note of the song has ended.
int64_t endOfNotes(const Song& song) {
    int64_t end = 0;
    for (int kind = 0; kind < 2; ++kind) {
        const NoteTable& table = song.notes(kind);
        for (int channel = 0; channel < NoteTable::channelCount; ++channel)
            for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
                const NoteRec& note = table.at(channel, slot);
                if (!note.isEmpty() && note.key != noKey)
                    end = std::max<int64_t>(end, int64_t{note.position} - 1 + note.length);
            }
    }
    return end;
}

QHash<QString, ExportAudioDialogChoices>& byFile() {
    static QHash<QString, ExportAudioDialogChoices> choices;
    return choices;
}

QHash<const QObject*, ExportAudioDialogChoices>& byWindow() {
    static QHash<const QObject*, ExportAudioDialogChoices> choices;
    return choices;
}

QString keyOf(const QString& songFile) {
    return QFileInfo(songFile).absoluteFilePath();
}

}  // namespace

ExportAudioDialogChoices ExportAudioDialogChoices::firstFor(const Song& song) {
    ExportAudioDialogChoices choices;
    if (song.loopBegin == 0 && song.loopEnd >= endOfNotes(song))
        choices.loops = 0;
    return choices;
}

std::optional<ExportAudioDialogChoices> ExportAudioDialogChoices::recall(QObject* window, const QString& songFile) {
    if (!songFile.isEmpty()) {
        const auto found = byFile().constFind(keyOf(songFile));
        return found == byFile().cend() ? std::nullopt : std::optional(*found);
    }
    const auto found = byWindow().constFind(window);
    return found == byWindow().cend() ? std::nullopt : std::optional(*found);
}

void ExportAudioDialogChoices::remember(QObject* window, const QString& songFile,
                                        const ExportAudioDialogChoices& choices) {
    if (!songFile.isEmpty()) {
        byFile().insert(keyOf(songFile), choices);
        return;
    }
    if (!byWindow().contains(window))
        QObject::connect(window, &QObject::destroyed, [window] { byWindow().remove(window); });
    byWindow().insert(window, choices);
}

}  // namespace tromel::dialogs
