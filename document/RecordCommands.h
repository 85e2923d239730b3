// View > "Record": notes played while the song plays go in where they were heard.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/midi/PlayedNote.h"
#include "audio/playback/StepGrid.h"
#include "document/EditPort.h"
#include "document/PlaybackPort.h"
#include "roll/NoteEntry.h"
#include "roll/Recording.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QTimer;

namespace tromel {

// With Record on and the song playing, each note played goes in on the current channel at the
// step heard when it was played (its moment less the output's latency), for as long as it was
// held; the song plays on and loops, and hears the notes from its next pass on. A pass runs from
// Play (or a resume) to Pause or Stop, or to Record turned off, and is one step of the history.
class RecordCommands : public QObject {
    Q_OBJECT

public:
    // How often a pass places the notes that are over and looks whether it has ended.
    static constexpr int followMilliseconds = 20;

    RecordCommands(QObject* parent, audio::AudioLayer& layer, Song& song, EditState& state, EditPort& edits,
                   PlaybackPort& playback, std::function<void(const std::string&)> showStatus);
    ~RecordCommands() override;

    void addTo(QMenu* viewMenu);
    QAction* recordAction() const { return m_recordAction; }
    // A note played: taken (true) while recording, or left to step entry.
    bool take(const audio::PlayedNote& note);

signals:
    // Recorded notes are about to go in, and the selection goes with them.
    void selectionTaken();

private:
    bool isRecording() const;
    void follow();
    void endPass();
    void apply(std::vector<roll::EntryOutcome> outcomes);
    int64_t heardNow() const;

    audio::AudioLayer& m_layer;
    Song& m_song;
    EditState& m_state;
    EditPort& m_edits;
    PlaybackPort& m_playback;
    std::function<void(const std::string&)> m_showStatus;
    QAction* m_recordAction = nullptr;
    QTimer* m_timer = nullptr;
    std::unique_ptr<roll::Recording> m_pass;
    std::optional<audio::StepGrid> m_grid;  // the run the pass plays in, once the mixer began it
    uint64_t m_passes = 0;
};

}  // namespace tromel
