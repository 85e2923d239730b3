// Lets a focused button or box take a plain Space itself, though the window plays on Space.
#pragma once

#include <QObject>

class QWidget;

namespace tromel::roll {

// A window-wide Space shortcut would otherwise take the key from a focused control; watching
// the shortcut's announcement, this keeps Space for the control, as in any dialog.
class SpaceKeeper : public QObject {
public:
    // Watches `control` for as long as it lives.
    static void keepSpaceFor(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tromel::roll
