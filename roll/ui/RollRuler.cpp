// The bar numbers above the roll, at the bar lines of the grid in use.
#include "roll/ui/RollRuler.h"

#include "roll/ui/SpriteLayout.h"

#include <QMouseEvent>
#include <QPainter>

namespace tromel::roll {
namespace {

constexpr QRgb rulerGround = 0xFF22272B;  // the panel label's ground
constexpr QRgb rulerText = 0xFFD0D4D0;
constexpr int numberGap = 3;  // between a bar line and its number, and between two numbers

}  // namespace

RollRuler::RollRuler(QWidget* parent) : QWidget(parent) {
    setObjectName("rollRuler");
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
}

void RollRuler::setView(int32_t viewScrollX, RollScale scale, GridMeter meter) {
    if (viewScrollX == m_viewScrollX && scale == m_scale && meter == m_meter)
        return;
    m_viewScrollX = viewScrollX;
    m_scale = scale;
    m_meter = meter;
    update();
}

QList<std::pair<int, int>> RollRuler::labels() const {
    QList<std::pair<int, int>> shown;
    const int64_t bar = static_cast<int64_t>(m_meter.barColumns) * m_scale.columnWidth;
    const int64_t first = floorDiv(m_viewScrollX, bar);
    const int64_t last = floorDiv(static_cast<int64_t>(m_viewScrollX) + width() - keyStripWidth, bar);
    int64_t freeFrom = keyStripWidth;
    for (int64_t n = first; n <= last; ++n) {
        // Bar n + 1 starts after the bar line that ends column n x bar.
        const int64_t textX = columnLeftX(n * m_meter.barColumns + 1, m_viewScrollX, m_scale) - 1 + numberGap;
        const QString number = QString::number(n + 1);
        if (textX >= freeFrom) {
            shown.append({static_cast<int>(textX), static_cast<int>(n + 1)});
            freeFrom = textX + fontMetrics().horizontalAdvance(number) + numberGap;
        }
    }
    return shown;
}

void RollRuler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(rulerGround));
    const QColor line = QColor::fromRgb(0xFF000000u | sprite::blackLaneLine);
    const int64_t bar = static_cast<int64_t>(m_meter.barColumns) * m_scale.columnWidth;
    for (int64_t n = floorDiv(m_viewScrollX, bar);
         n <= floorDiv(static_cast<int64_t>(m_viewScrollX) + width() - keyStripWidth, bar); ++n) {
        const int64_t x = columnLeftX(n * m_meter.barColumns + 1, m_viewScrollX, m_scale) - 1;
        if (x >= keyStripWidth)
            painter.fillRect(QRect(static_cast<int>(x), 0, 1, height()), line);
    }
    painter.setPen(QColor::fromRgb(rulerText));
    for (const auto& [x, number] : labels())
        painter.drawText(QRect(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, QString::number(number));
    painter.fillRect(QRect(0, 0, keyStripWidth, height()), QColor::fromRgb(rulerGround));
    painter.drawText(QRect(4, 0, keyStripWidth - 4, height()), Qt::AlignLeft | Qt::AlignVCenter, "Bar");
}

void RollRuler::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int32_t column = getColumnFromX(pixelFloor(event->position().x()), m_viewScrollX, m_scale);
    if (column <= 0)
        return;
    if (event->modifiers().testFlag(Qt::AltModifier))
        emit columnAltClicked(column);
    else
        emit columnClicked(column);
}

}  // namespace tromel::roll
