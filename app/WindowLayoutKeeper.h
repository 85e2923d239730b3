// View > "Remember Window Layout": the main window's size, position and maximised state, kept
// when it closes and restored at start.
#pragma once

#include <QObject>

class QWidget;

namespace tromel {

class WindowLayoutKeeper : public QObject {
public:
    // Restores the layout of `window` (not yet shown) when the setting is on, and keeps it each
    // time the window is closed while the setting is on.
    explicit WindowLayoutKeeper(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
};

}  // namespace tromel
