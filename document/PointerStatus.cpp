// The status bar's text as the pointer moves over a document window's controls.
#include "document/PointerStatus.h"

#include <QEvent>
#include <QWidget>

namespace tromel {
namespace {

void keepPointerMoves(QWidget* widget) {
    widget->setMouseTracking(true);
    widget->setAttribute(Qt::WA_NoMousePropagation);
}

}  // namespace

PointerStatus::PointerStatus(QWidget* window, const Watched& watched, std::function<void()> showChannelStatus,
                             std::function<void()> sayMute)
    : QObject(window),
      m_muteBoxes(watched.muteBoxes),
      m_showChannelStatus(std::move(showChannelStatus)),
      m_sayMute(std::move(sayMute)) {
    window->setMouseTracking(true);
    window->installEventFilter(this);
    for (QWidget* widget : watched.restoring + watched.muteBoxes) {
        keepPointerMoves(widget);
        widget->installEventFilter(this);
    }
    for (QWidget* widget : watched.quiet)
        keepPointerMoves(widget);
}

bool PointerStatus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (m_muteBoxes.contains(watched))
            m_sayMute();
        else
            m_showChannelStatus();
    }
    return false;
}

}  // namespace tromel
