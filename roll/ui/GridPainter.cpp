// The static layer's pieces at any cell size and grid. Columns are tiled from the roll content's
// corner, so the pictures scroll exactly as the written tiles do.
#include "roll/ui/GridPainter.h"

#include "roll/ui/SpriteLayout.h"

#include <QBrush>
#include <QPainter>

#include <algorithm>

namespace tromel::roll {
namespace {

int64_t floorMod(int64_t a, int64_t b) {
    return a - floorDiv(a, b) * b;
}

// Fills the rectangle with the picture repeated from `origin`.
void tile(QPainter& painter, const QRect& area, const QImage& picture, QPoint origin) {
    if (area.isEmpty())
        return;
    painter.setBrushOrigin(origin);
    painter.fillRect(area, QBrush(picture));
}

constexpr int loopShadeAlpha = 64;
constexpr int loopLineWidth = 2;

}  // namespace

// One octave of rows is drawn into a band, the loop with it, and the band copied down the roll:
// the rows repeat every octave, and copies cost far less than filling every pixel from tiles.
void GridPainter::drawGrid(QPainter& painter) const {
    const int octave = m_view.scale.octaveHeight();
    QImage band(m_size.width(), octave, QImage::Format_RGB32);
    {
        QPainter bandPainter(&band);
        bandPainter.setCompositionMode(QPainter::CompositionMode_Source);
        drawColumns(bandPainter, m_pictures.gridCell(), m_pictures.gridBeatLine(), m_pictures.gridBarLine());
    }
    const QRect notes(keyStripWidth, 0, m_size.width() - keyStripWidth, octave);
    for (int64_t top = -floorMod(m_view.viewScrollY, octave); top < m_size.height(); top += octave)
        painter.drawImage(QPoint(keyStripWidth, static_cast<int>(top)), band, notes);
}

void GridPainter::drawPanel(QPainter& painter) const {
    QImage band(m_size.width(), panelHeight, QImage::Format_RGB32);
    {
        QPainter bandPainter(&band);
        bandPainter.setCompositionMode(QPainter::CompositionMode_Source);
        drawColumns(bandPainter, m_pictures.panelCell(), m_pictures.panelBeatLine(), m_pictures.panelBarLine());
    }
    painter.drawImage(QPoint(0, m_size.height() - panelHeight), band);
}

// A band of the given pictures' height across the roll's width: the cells tiled from the roll
// content's left edge, the lines of the columns that end a beat or a bar, then the loop.
void GridPainter::drawColumns(QPainter& painter, const QImage& cell, const QImage& beat, const QImage& bar) const {
    const int64_t cw = m_view.scale.columnWidth;
    const int64_t scrollX = m_view.viewScrollX;
    const int height = cell.height();
    tile(painter, QRect(0, 0, m_size.width(), height), cell,
         QPoint(keyStripWidth - static_cast<int>(floorMod(scrollX, cw)), 0));
    const GridMeter& meter = m_view.meter;
    const int64_t firstColumn = floorDiv(scrollX, cw) + 1;
    const int64_t lastColumn = floorDiv(scrollX + m_size.width() - keyStripWidth, cw) + 1;
    // Column c's line is its last pixel; only the columns ending a beat get a line of their own.
    for (int64_t c = (floorDiv(firstColumn - 1, meter.beatColumns) + 1) * meter.beatColumns; c <= lastColumn;
         c += meter.beatColumns) {
        const int64_t x = columnLeftX(c + 1, m_view.viewScrollX, m_view.scale) - 1;
        if (x >= keyStripWidth && x < m_size.width())
            painter.drawImage(QPoint(static_cast<int>(x), 0), meter.endsBar(c) ? bar : beat);
    }
    drawLoop(painter, height);
}

// Outside the loop the columns are a little darker; its two ends are lines of their own colour.
void GridPainter::drawLoop(QPainter& painter, int height) const {
    if (!m_view.loop)
        return;
    const int64_t width = m_size.width();
    const auto clampX = [&](int64_t x) { return static_cast<int>(std::clamp<int64_t>(x, keyStripWidth, width)); };
    const int begin = clampX(columnLeftX(m_view.loop->begin + int64_t{1}, m_view.viewScrollX, m_view.scale));
    const int end = clampX(columnLeftX(m_view.loop->end + int64_t{1}, m_view.viewScrollX, m_view.scale));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QColor shade(0, 0, 0, loopShadeAlpha);
    painter.fillRect(QRect(keyStripWidth, 0, begin - keyStripWidth, height), shade);
    painter.fillRect(QRect(end, 0, static_cast<int>(width) - end, height), shade);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QColor line = QColor::fromRgb(0xFF000000u | sprite::loopLine);
    for (const int64_t step : {int64_t{m_view.loop->begin}, int64_t{m_view.loop->end}}) {
        // The line takes the last pixel before the loop's edge and the first after it.
        const int64_t x = columnLeftX(step + 1, m_view.viewScrollX, m_view.scale) - 1;
        const int left = clampX(x);
        const int right = clampX(x + loopLineWidth);
        if (right > left)
            painter.fillRect(QRect(left, 0, right - left, height), line);
    }
}

void GridPainter::drawCursor(QPainter& painter) const {
    const int64_t p = m_view.playPosition;
    // A cursor whose column starts behind the keyboard is not drawn at all.
    if (p == 0 || m_view.scale.columnWidth * (p - 1) - m_view.viewScrollX < 0)
        return;
    const int64_t x = cursorX(p, m_view.viewScrollX, m_view.scale);
    if (x >= m_size.width())
        return;
    const QImage& cursor = m_pictures.cursorTile();
    painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    const int64_t lastTile = floorDiv(m_size.height() - panelHeight, cursorTileHeight) + 1;
    for (int64_t j = 0; j <= lastTile; ++j)
        painter.drawImage(QPoint(static_cast<int>(x), static_cast<int>(cursorTileHeight * j)), cursor);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
}

void GridPainter::drawKeyboard(QPainter& painter, const QImage& sheet) const {
    const int64_t scrollY = m_view.viewScrollY;
    const int64_t octave = m_view.scale.octaveHeight();
    const int64_t firstBlock = std::max<int64_t>(0, floorDiv(scrollY, octave));
    const int64_t lastBlock = std::min<int64_t>(7, floorDiv(m_size.height() + scrollY - panelHeight, octave));
    for (int64_t b = firstBlock; b <= lastBlock; ++b) {
        const auto top = static_cast<int>(octave * b - scrollY);
        painter.drawImage(QPoint(0, top), m_pictures.keys());
        const sprite::Rect digit = sprite::digit(static_cast<int>(7 - b));
        painter.drawImage(QPoint(digitX, top + m_pictures.digitTop()), sheet,
                          QRect(digit.x, digit.y, digit.width, digit.height));
    }
    const int64_t belowKeys = m_view.scale.keyboardHeight() - scrollY;
    const int64_t panelTop = m_size.height() - panelHeight;
    if (belowKeys < panelTop)
        painter.fillRect(QRect(0, static_cast<int>(belowKeys), m_size.width(), static_cast<int>(panelTop - belowKeys)),
                         Qt::black);
}

}  // namespace tromel::roll
