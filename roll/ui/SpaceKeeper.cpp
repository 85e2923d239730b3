// Lets a focused button or box take a plain Space itself, though the window plays on Space.
#include "roll/ui/SpaceKeeper.h"

#include <QKeyEvent>
#include <QWidget>

namespace tromel::roll {

void SpaceKeeper::keepSpaceFor(QWidget* control) {
    static SpaceKeeper keeper;
    control->installEventFilter(&keeper);
}

bool SpaceKeeper::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Space || key->modifiers() != Qt::NoModifier)
        return false;
    event->accept();
    return true;
}

}  // namespace tromel::roll
