// Space plays or pauses after a menu was closed with Escape, as it does everywhere else.
#pragma once

#include <QObject>

#include <functional>

class QMenuBar;

namespace tromel {

class DocumentWindow;

// A menu closed with Escape leaves the menu bar holding the keyboard with a menu's title marked,
// where Space would open that menu again. The bar lets the keyboard go first, as a second Escape
// would, and Space and Shift+Space reach the active document's transport.
class MenuBarSpace : public QObject {
public:
    // Watches `bar` for as long as it lives.
    MenuBarSpace(QMenuBar* bar, std::function<DocumentWindow*()> activeDocument);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenuBar* m_bar;
    std::function<DocumentWindow*()> m_activeDocument;
};

}  // namespace tromel
