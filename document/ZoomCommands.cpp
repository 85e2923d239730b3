// A document's zoom through the View menu, its keys and Ctrl with the wheel.
#include "document/ZoomCommands.h"

#include "roll/ViewScroll.h"
#include "widgets/ProgramSettings.h"

#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWidget>

#include <algorithm>

namespace tromel {
namespace {

constexpr int wheelNotch = 120;
constexpr int actualSizeLevel = 2;  // 100 % in both lists of levels

// The level of a zoom in a list; a zoom not in it counts as 100 %.
int levelOf(int percent, const std::array<int, 5>& levels) {
    const auto found = std::find(levels.begin(), levels.end(), percent);
    return found == levels.end() ? actualSizeLevel : static_cast<int>(found - levels.begin());
}

int levelBy(int percent, const std::array<int, 5>& levels, int steps) {
    return levels[static_cast<std::size_t>(std::clamp(levelOf(percent, levels) + steps, 0, 4))];
}

}  // namespace

ZoomCommands::ZoomCommands(EditState& state, QWidget& roll, QScrollBar& xScroll, QScrollBar& yScroll,
                           std::function<void()> redraw, std::function<std::optional<int32_t>()> keptColumn)
    : m_state(state),
      m_roll(roll),
      m_xScroll(xScroll),
      m_yScroll(yScroll),
      m_redraw(std::move(redraw)),
      m_keptColumn(std::move(keptColumn)) {
    m_state.zoomX = static_cast<int16_t>(levelBy(settings::zoomX(), roll::zoomLevelsX, 0));
    m_state.zoomY = static_cast<int16_t>(levelBy(settings::zoomY(), roll::zoomLevelsY, 0));
}

void ZoomCommands::addTo(QMenu* viewMenu) {
    QAction* in = viewMenu->addAction("Zoom In", this, &ZoomCommands::zoomIn);
    in->setShortcuts({QKeySequence("Ctrl++"), QKeySequence("Ctrl+=")});
    viewMenu->addAction("Zoom Out", QKeySequence("Ctrl+-"), this, &ZoomCommands::zoomOut);
    viewMenu->addAction("Actual Size", QKeySequence("Ctrl+0"), this, &ZoomCommands::actualSize);
}

void ZoomCommands::zoomIn() {
    step(1, keyAnchor());
}

void ZoomCommands::zoomOut() {
    step(-1, keyAnchor());
}

void ZoomCommands::actualSize() {
    zoomTo(100, 100, keyAnchor());
}

void ZoomCommands::turnWheel(int angleDelta, QPointF pointer) {
    if ((angleDelta < 0) != (m_pendingWheel < 0))
        m_pendingWheel = 0;
    m_pendingWheel += angleDelta;
    const int notches = m_pendingWheel / wheelNotch;
    m_pendingWheel -= notches * wheelNotch;
    if (notches != 0)
        step(notches, pointer);
}

void ZoomCommands::step(int levels, QPointF anchor) {
    zoomTo(levelBy(m_state.zoomX, roll::zoomLevelsX, levels), levelBy(m_state.zoomY, roll::zoomLevelsY, levels),
           anchor);
}

void ZoomCommands::zoomTo(int zoomX, int zoomY, QPointF anchor) {
    const roll::RollScale before = scale();
    settings::setZoom(zoomX, zoomY);
    if (zoomX == m_state.zoomX && zoomY == m_state.zoomY)
        return;
    // The song's point under the anchor, in columns and rows.
    const double column = (anchor.x() - roll::keyStripWidth + m_state.viewScrollX) / before.columnWidth;
    const double row = (anchor.y() + m_state.viewScrollY) / before.rowHeight;
    m_state.zoomX = static_cast<int16_t>(zoomX);
    m_state.zoomY = static_cast<int16_t>(zoomY);
    const roll::RollScale after = scale();
    const auto wantedX = static_cast<int64_t>(column * after.columnWidth - (anchor.x() - roll::keyStripWidth));
    const auto wantedY = static_cast<int64_t>(row * after.rowHeight - anchor.y());
    {
        // One redraw for both bars and the new scale.
        const QSignalBlocker blockX(&m_xScroll);
        const QSignalBlocker blockY(&m_yScroll);
        m_xScroll.setValue(roll::nearestBarValueForScrollX(wantedX, m_xScroll.maximum(), m_roll.width(), after));
        m_yScroll.setValue(roll::nearestBarValueForScrollY(wantedY, m_yScroll.maximum(), m_roll.height(), after));
    }
    m_redraw();
}

QPointF ZoomCommands::keyAnchor() const {
    const std::optional<int32_t> column = m_keptColumn();
    const double x = column ? static_cast<double>(roll::columnLeftX(*column, m_state.viewScrollX, scale()))
                            : static_cast<double>(roll::keyStripWidth);
    return {x, (m_roll.height() - roll::panelHeight) / 2.0};
}

}  // namespace tromel
