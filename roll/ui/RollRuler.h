// The strip above the roll (`rollRuler`) with the numbers of the bars, scrolling with the roll.
#pragma once

#include "roll/GridMeter.h"
#include "roll/RollGeometry.h"

#include <QList>
#include <QWidget>

#include <utility>

namespace tromel::roll {

class RollRuler : public QWidget {
    Q_OBJECT

public:
    static constexpr int stripHeight = 16;

    explicit RollRuler(QWidget* parent = nullptr);

    // The roll's horizontal scroll, cell size and meter; repaints when any changed.
    void setView(int32_t viewScrollX, RollScale scale, GridMeter meter);
    // The bar numbers shown, each with the x where its text starts: right of its bar line, where
    // the number before leaves room for it.
    QList<std::pair<int, int>> labels() const;

signals:
    // A click over the column (a position counted from 1, as the roll's pointer gives it).
    void columnClicked(int32_t column);
    // The same with Alt held, which is step entry's.
    void columnAltClicked(int32_t column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int32_t m_viewScrollX = 0;
    RollScale m_scale;
    GridMeter m_meter;
};

}  // namespace tromel::roll
