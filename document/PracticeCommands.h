// View > Metronome, Count In and Loop Selection: playing along with the song and recording to it.
#pragma once

#include "document/EditPort.h"
#include "document/PlaybackPort.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <QObject>

class QAction;
class QMenu;

namespace tromel {

// The metronome and the count-in are settings of the whole program; Count In counts only a Play
// made with this window's Record on. Loop Selection plays the selected columns over and over
// until Stop, or until the selection is dropped by anything but recording (recorded notes take
// the selection with them, and the loop plays on to record over).
class PracticeCommands : public QObject {
    Q_OBJECT

public:
    // The other rooms outlive this object.
    PracticeCommands(QObject* parent, Song& song, EditState& state, EditPort& edits, PlaybackPort& playback);

    // Metronome, Count In and Loop Selection at the end of View, after `recordAction` (Record).
    void addTo(QMenu* viewMenu, QAction* recordAction);
    void loopSelection();
    // Recorded notes took the selection with them: the loop lasts until Stop.
    void holdLoop() { m_loopHeld = true; }

private:
    void readSettings();
    void followLoop();

    Song& m_song;
    EditState& m_state;
    EditPort& m_edits;
    PlaybackPort& m_playback;
    QAction* m_recordAction = nullptr;
    QAction* m_metronomeAction = nullptr;
    QAction* m_countInAction = nullptr;
    QAction* m_loopAction = nullptr;
    bool m_loopHeld = false;  // recording took the selection: the loop lasts until Stop
};

}  // namespace tromel
