// Plays the opening of one part of a MIDI file as it would sound once imported.
#pragma once

#include "audio/AudioLayer.h"
#include "song/Song.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <vector>

namespace tromel::audio {
class NotePreview;
}

namespace tromel::dialogs {

// A channel of an imported song, from its first note through four bars, note by note through the
// note preview (the sound of a note as it is placed), at the song's tempo. A new play ends the
// one before; so does destroying it.
class MidiPartPreview : public QObject {
    Q_OBJECT

public:
    MidiPartPreview(audio::AudioLayer& layer, std::filesystem::path sampleFolder, QObject* parent = nullptr);
    ~MidiPartPreview() override;

    // Starts channel `channel` of kind `kind` (0 instruments, 1 drums) of `song`.
    void play(Song song, int kind, int channel);
    void stop();
    bool isPlaying() const { return m_timer.isActive(); }
    // The notes being played: their steps from the first, in order.
    const std::vector<std::pair<int64_t, NoteRec>>& notes() const { return m_notes; }

private:
    void advance();

    audio::AudioLayer& m_layer;
    std::filesystem::path m_sampleFolder;
    std::unique_ptr<audio::NotePreview> m_preview;
    Song m_song;
    int m_kind = 0;
    int m_channel = 0;
    std::vector<std::pair<int64_t, NoteRec>> m_notes;
    std::size_t m_next = 0;
    qint64 m_soundsUntil = -1;  // ms from the start when the sounding note stops
    QElapsedTimer m_clock;
    QTimer m_timer;
};

}  // namespace tromel::dialogs
