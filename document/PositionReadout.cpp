// The ruler above the roll and the position readout in the status bar.
#include "document/PositionReadout.h"

#include "audio/ui/TransportControls.h"
#include "roll/ui/RollRuler.h"

#include <QLabel>
#include <QStatusBar>

namespace tromel {
namespace {

// The progress bar lies over the status bar's right end: 161 wide, 20 from the edge.
constexpr int progressBarRoom = 161 + 20;

}  // namespace

PositionReadout::PositionReadout(QWidget* window, QStatusBar& statusBar, const EditState& state,
                                 audio::TransportControls& controls)
    : m_state(state), m_controls(controls) {
    m_ruler = new roll::RollRuler(window);
    m_ruler->hide();
    connect(m_ruler, &roll::RollRuler::columnClicked, this,
            [this](int32_t column) { m_controls.moveWhilePaused(column); });
    m_label = new QLabel(&statusBar);
    m_label->setObjectName("positionReadout");
    m_progressRoom = new QWidget(&statusBar);
    m_progressRoom->setFixedWidth(progressBarRoom);
    statusBar.addPermanentWidget(m_label);
    statusBar.addPermanentWidget(m_progressRoom);
    m_label->hide();
    m_progressRoom->hide();
}

int PositionReadout::rulerHeight() const {
    return m_shown ? roll::RollRuler::stripHeight : 0;
}

void PositionReadout::setShown(bool shown) {
    m_shown = shown;
    m_ruler->setVisible(shown);
    m_label->setVisible(shown);
    m_progressRoom->setVisible(shown);
}

void PositionReadout::setView(roll::RollScale scale, roll::GridMeter meter) {
    m_scale = scale;
    m_meter = meter;
    m_ruler->setView(m_state.viewScrollX, scale, meter);
    if (m_pointerIn)
        showPointer();
}

QString PositionReadout::text() const {
    return m_label->text();
}

void PositionReadout::pointerAt(QPoint pointer, int height) {
    m_pointer = pointer;
    m_height = height;
    m_pointerIn = true;
    showPointer();
}

void PositionReadout::pointerLeft() {
    m_pointerIn = false;
    showPointer();
}

void PositionReadout::stepHeard(int32_t) {
    showPointer();
}

void PositionReadout::setPianoOctave(std::optional<int> octave) {
    m_pianoOctave = octave;
    showPointer();
}

// The pointer's column and (over the rows) its key; while playing, the play position alone.
void PositionReadout::showPointer() {
    if (!m_shown)
        return;
    QString text;
    if (m_controls.isPlaying()) {
        text = QString::fromStdString(m_meter.describe(m_controls.playPosition()));
    } else if (m_pointerIn) {
        const int32_t column = roll::getColumnFromX(m_pointer.x(), m_state.viewScrollX, m_scale);
        std::optional<int32_t> row;
        if (m_pointer.y() < m_height - roll::panelHeight)
            row = roll::getRowFromY(m_pointer.y(), m_state.viewScrollY, m_scale);
        text = QString::fromStdString(m_meter.describe(column, row));
    }
    if (m_pianoOctave)
        text += QString(text.isEmpty() ? "Piano from C%1" : " · Piano from C%1").arg(*m_pianoOctave);
    m_label->setText(text);
}

}  // namespace tromel
