// View > Show Ruler: the bar numbers above the roll and, in the status bar, where the pointer or
// the play position stands (bar, beat, step and key).
#pragma once

#include "roll/GridMeter.h"
#include "roll/RollGeometry.h"
#include "song/EditState.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>

class QLabel;
class QStatusBar;
class QWidget;

namespace tromel::roll {
class RollRuler;
}

namespace tromel::audio {
class TransportControls;
}

namespace tromel {

class PositionReadout : public QObject {
    Q_OBJECT

public:
    // The ruler becomes a child of `window`; the readout a permanent widget of the status bar,
    // with room kept right of it for the progress bar laid over the status bar's end.
    PositionReadout(QWidget* window, QStatusBar& statusBar, const EditState& state, audio::TransportControls& controls);

    roll::RollRuler* ruler() const { return m_ruler; }
    int rulerHeight() const;
    bool isShown() const { return m_shown; }
    void setShown(bool shown);
    // The view the ruler and the readout read positions in.
    void setView(roll::RollScale scale, roll::GridMeter meter);
    QString text() const;

    // The pointer over the roll (roll pixels of a roll `height` high), or gone from it.
    void pointerAt(QPoint pointer, int height);
    void pointerLeft();
    // While playing the readout follows the play position.
    void stepHeard(int32_t playPosition);
    // While the keyboard piano is on, the readout ends with its base octave.
    void setPianoOctave(std::optional<int> octave);

private:
    void showPointer();

    const EditState& m_state;
    audio::TransportControls& m_controls;
    roll::RollRuler* m_ruler = nullptr;
    QLabel* m_label = nullptr;
    QWidget* m_progressRoom = nullptr;
    bool m_shown = false;
    roll::RollScale m_scale;
    roll::GridMeter m_meter;
    QPoint m_pointer;
    int m_height = 0;
    bool m_pointerIn = false;
    std::optional<int> m_pianoOctave;
};

}  // namespace tromel
