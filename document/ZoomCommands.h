// A document's zoom: View > Zoom In, Zoom Out and Actual Size, and Ctrl with the wheel.
#pragma once

#include "roll/RollGeometry.h"
#include "song/EditState.h"

#include <QObject>
#include <QPointF>

#include <cstdint>
#include <functional>
#include <optional>

class QMenu;
class QScrollBar;
class QWidget;

namespace tromel {

// Each window keeps its own zoom (EditState::zoomX, zoomY); the last one chosen is what new
// windows open with. Zoom In and Out step through the levels of both directions together. The
// scroll bars keep their range, so they cover the same song at every zoom; a zoom keeps the
// song's point under the anchor where it was, as nearly as the bars' steps allow: the pointer for
// the wheel; for the menu and its keys, the column a cursor stands in when there is one in view,
// else the column at the left edge, and the middle row.
class ZoomCommands : public QObject {
    Q_OBJECT

public:
    // `roll` is the roll widget; `redraw` draws it anew after the scale changed; `keptColumn`
    // names the column of a cursor in view, if any.
    ZoomCommands(EditState& state, QWidget& roll, QScrollBar& xScroll, QScrollBar& yScroll,
                 std::function<void()> redraw, std::function<std::optional<int32_t>()> keptColumn);

    void addTo(QMenu* viewMenu);
    roll::RollScale scale() const { return roll::RollScale::ofZoom(m_state.zoomX, m_state.zoomY); }

    void zoomIn();
    void zoomOut();
    void actualSize();
    // Ctrl and the wheel: a level a notch, anchored at the pointer (roll pixels).
    void turnWheel(int angleDelta, QPointF pointer);

private:
    void step(int levels, QPointF anchor);
    void zoomTo(int zoomX, int zoomY, QPointF anchor);
    QPointF keyAnchor() const;

    EditState& m_state;
    QWidget& m_roll;
    QScrollBar& m_xScroll;
    QScrollBar& m_yScroll;
    std::function<void()> m_redraw;
    std::function<std::optional<int32_t>()> m_keptColumn;
    int m_pendingWheel = 0;
};

}  // namespace tromel
