// Cascading placement of new document windows.
#include "app/WindowCascade.h"

namespace tromel {

QPoint cascadePosition(const QList<QPoint>& taken, std::optional<QPoint> newest, QSize window, QSize area, int step) {
    const auto fits = [&](QPoint place) {
        return place.x() + window.width() <= area.width() && place.y() + window.height() <= area.height();
    };
    QPoint place = newest ? *newest + QPoint(step, step) : QPoint(0, 0);
    if (!fits(place))
        place = QPoint(0, 0);
    int diagonalStart = 0;
    // Bounded: with more windows than places, the last place tried is as good as any.
    for (int tries = 0; tries < 1000 && taken.contains(place); ++tries) {
        place += QPoint(step, step);
        if (!fits(place)) {
            // An area too small for any window lets the places run on to the right.
            const bool roomFurtherRight = fits(QPoint(diagonalStart + step, 0)) || !fits(QPoint(0, 0));
            diagonalStart = roomFurtherRight ? diagonalStart + step : 0;
            place = QPoint(diagonalStart, 0);
        }
    }
    return place;
}

}  // namespace tromel
