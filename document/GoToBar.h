// View > Go to Bar...: the view scrolls to a bar and beat, and a still song's play position moves there.
#pragma once

#include "document/PlaybackPort.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <QObject>

#include <cstdint>

class QMenu;
class QScrollBar;
class QWidget;

namespace tromel {

// Bars are counted as the grid that follows the song counts them (GridMeter), whether or not
// the roll draws that grid: a song with either bar field 0 has bars of 4 beats of 4 steps.
class GoToBar : public QObject {
    Q_OBJECT

public:
    // Adds "Go to Bar..." (Ctrl+G) to `viewMenu`. The song, state, bar, roll and playback outlive
    // this object.
    GoToBar(QObject* parent, QMenu* viewMenu, const Song& song, const EditState& state, QScrollBar& xScroll,
            QWidget& roll, PlaybackPort& playback);

    // The column at the roll's left edge and, unless the song plays, the play position.
    void goTo(int64_t bar, int64_t beat);

public slots:
    // Asks for the bar and beat, starting from the bar at the view's left edge.
    void ask();

private:
    const Song& m_song;
    const EditState& m_state;
    QScrollBar& m_xScroll;
    QWidget& m_roll;
    PlaybackPort& m_playback;
};

}  // namespace tromel
