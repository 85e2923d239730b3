// A note sounded on its own: a preview, Listen, a key of the roll's keyboard or of the keyboard piano.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/playback/NotePreview.h"
#include "song/Song.h"

#include <QObject>

#include <filesystem>

class QTimer;

namespace tromel::audio {

// The note preview on the user-interface thread: when its sample has to be prepared first, the
// sample worker's wake-up (a queued call, no timer polls) sounds it if it is still in time, and a
// single-shot timer ends it after its length. [user-interface thread]
class LivePreview : public QObject {
    Q_OBJECT

public:
    static constexpr int untilStopped = -1;

    LivePreview(AudioLayer& layer, std::filesystem::path sampleFolder, QObject* parent);

    // Sounds `note` of channel `channel` of kind `kind` of `song` (see NotePreview::start) for
    // `milliseconds`: 0 for as long as the note lasts, untilStopped until stop() or the next note.
    void play(const Song& song, int kind, int channel, const NoteRec& note, int milliseconds);
    void stop();

private:
    void sound(int lasting);

    NotePreview m_preview;
    QTimer* m_ending = nullptr;
    int m_milliseconds = 0;
};

}  // namespace tromel::audio
