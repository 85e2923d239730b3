// Space after a menu was closed with Escape.
#include "app/MenuBarSpace.h"

#include "audio/ui/TransportControls.h"
#include "document/DocumentWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

namespace tromel {

MenuBarSpace::MenuBarSpace(QMenuBar* bar, std::function<DocumentWindow*()> activeDocument)
    : QObject(bar), m_bar(bar), m_activeDocument(std::move(activeDocument)) {
    bar->installEventFilter(this);
}

bool MenuBarSpace::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_bar || event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() != Qt::Key_Space || (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier))
        return false;
    // The bar gives the keyboard back to where it was before the menu opened.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(m_bar, &escape);
    if (DocumentWindow* document = m_activeDocument()) {
        if (modifiers == Qt::ShiftModifier)
            document->transportControls().stop();
        else
            document->transportControls().playOrPause();
    }
    return true;
}

}  // namespace tromel
