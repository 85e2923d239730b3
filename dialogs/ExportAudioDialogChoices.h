// What the Export Audio dialog offers a song first, and what it was last told for it.
#pragma once

#include "exchange/AudioFormat.h"
#include "song/Song.h"

#include <QObject>
#include <QString>

#include <optional>

namespace tromel::dialogs {

// The state of the dialog's controls, those disabled too, so that a choice comes back as it was left.
struct ExportAudioDialogChoices {
    QString format = QStringLiteral("wav16");
    int quality = exchange::defaultOggQuality;
    int bitrate = exchange::defaultMp3Bitrate;
    bool inLoops = true;  // the length in loops after the first pass, not in seconds
    int loops = 1;
    double seconds = 60.0;
    double fade = 0.0;
    bool ring = false;
    int loudness = 0;  // an item of the loudness list; 0 as mixed
    bool loopPoints = false;
    bool stems = false;

    friend bool operator==(const ExportAudioDialogChoices&, const ExportAudioDialogChoices&) = default;

    // A song whose loop begins at step 0 and ends at or after the end of its last note is one
    // piece without a loop of its own (an imported one): one pass of it. Any other gets its loop
    // once after the first pass.
    static ExportAudioDialogChoices firstFor(const Song& song);

    // [user-interface thread] The last choices exported with for the song of `window`, whose file
    // is `songFile` (empty without one), while the program runs; nothing before the first. A file
    // keeps its choices when its window closes; an unsaved song's are its window's.
    static std::optional<ExportAudioDialogChoices> recall(QObject* window, const QString& songFile);
    static void remember(QObject* window, const QString& songFile, const ExportAudioDialogChoices& choices);
};

}  // namespace tromel::dialogs
