// Where a new document window goes so that a dozen of them stay reachable.
#pragma once

#include <QList>
#include <QPoint>
#include <QSize>

#include <optional>

namespace tromel {

// One step (a title bar's height) down and right of the newest window, back to the top left
// when the window would run past the area, and never exactly on a window already there: a place
// that is taken moves on along the diagonal, and a diagonal that has no room left starts again
// one step further right.
QPoint cascadePosition(const QList<QPoint>& taken, std::optional<QPoint> newest, QSize window, QSize area, int step);

}  // namespace tromel
