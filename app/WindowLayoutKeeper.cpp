// The main window's layout kept between runs.
#include "app/WindowLayoutKeeper.h"

#include "widgets/ProgramSettings.h"

#include <QEvent>
#include <QWidget>

namespace tromel {

WindowLayoutKeeper::WindowLayoutKeeper(QWidget* window) : QObject(window), m_window(window) {
    if (settings::rememberLayout()) {
        const QByteArray layout = settings::mainWindowLayout();
        if (!layout.isEmpty())
            window->restoreGeometry(layout);
    }
    window->installEventFilter(this);
}

bool WindowLayoutKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Close && settings::rememberLayout())
        settings::setMainWindowLayout(m_window->saveGeometry());
    return false;
}

}  // namespace tromel
