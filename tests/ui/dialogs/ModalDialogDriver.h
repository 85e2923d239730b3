// Acts on a modal dialog from inside its own event loop, so tests can drive exec()-style calls.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tromel::test {

// Once a modal `Dialog` is up, runs `action` on it; the action must hide the dialog. Gives up
// (closing whatever modal window is open) after about a second so a failing test cannot hang.
template <typename Dialog>
void whenModalShown(std::function<void(Dialog&)> action, int attemptsLeft = 100) {
    QTimer::singleShot(10, [action, attemptsLeft] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<Dialog*>(modal); dialog && dialog->isVisible())
            action(*dialog);
        else if (attemptsLeft > 0)
            whenModalShown<Dialog>(action, attemptsLeft - 1);
        else if (modal)
            modal->close();
    });
}

}  // namespace tromel::test
