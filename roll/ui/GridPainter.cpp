// The static layer's pieces at any cell size and grid. Columns are tiled from the roll content's
// corner, so the pictures scroll exactly as the written tiles do.
#include "roll/ui/GridPainter.h"

#include "roll/ui/SpriteLayout.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace tromel::roll {
namespace {

int64_t floorMod(int64_t a, int64_t b) {
    return a - floorDiv(a, b) * b;
}

constexpr int loopLineWidth = 2;

// A pixel outside the loop: a quarter darker, each channel at three quarters.
QRgb shaded(QRgb pixel) {
    return 0xFF000000u | (((pixel & 0xFCFCFCu) >> 2) * 3);
}

// Pixels from..to of a line from a pattern of `period` pixels, whose pixel (phase + x) modulo the
// period lands on x: the first part, a whole period, then what is done copied on, twice as much
// each time.
void fillWithPattern(QRgb* line, int from, int to, const QRgb* pattern, int period, int phase) {
    if (from >= to)
        return;
    const int first = (phase + from) % period;
    const int head = std::min(to - from, period - first);
    std::copy_n(pattern + first, head, line + from);
    const int start = from + head;
    if (start >= to)
        return;
    std::copy_n(pattern, std::min(period, to - start), line + start);
    for (int done = period; start + done < to; done *= 2)
        std::copy_n(line + start, std::min(done, to - start - done), line + start + done);
}

}  // namespace

// One octave of rows is drawn into a band, the loop with it, and the band copied down the roll:
// the rows repeat every octave, and copies cost far less than filling every pixel from tiles.
void GridPainter::drawGrid(QPainter& painter) const {
    refreshBands();
    const int octave = m_view.scale.octaveHeight();
    const QRect notes(keyStripWidth, 0, m_size.width() - keyStripWidth, octave);
    for (int64_t top = -floorMod(m_view.viewScrollY, octave); top < m_size.height(); top += octave)
        painter.drawImage(QPoint(keyStripWidth, static_cast<int>(top)), m_bands.rows, notes);
}

void GridPainter::drawPanel(QPainter& painter) const {
    refreshBands();
    painter.drawImage(QPoint(0, m_size.height() - panelHeight), m_bands.panel);
}

void GridPainter::refreshBands() const {
    const GridBands::Columns columns{m_view.scale,
                                     m_view.meter,
                                     m_view.loop.has_value(),
                                     m_view.loop ? m_view.loop->begin : 0,
                                     m_view.loop ? m_view.loop->end : 0,
                                     m_view.viewScrollX,
                                     m_size.width()};
    if (m_bands.drawnFor == columns)
        return;
    for (const auto& [band, height] :
         {std::pair{&m_bands.rows, m_view.scale.octaveHeight()}, std::pair{&m_bands.panel, panelHeight}}) {
        if (band->size() != QSize(m_size.width(), height))
            *band = QImage(m_size.width(), height, QImage::Format_RGB32);
    }
    drawColumns(m_bands.rows, m_pictures.gridCell(), m_pictures.gridBeatLine(), m_pictures.gridBarLine());
    drawColumns(m_bands.panel, m_pictures.panelCell(), m_pictures.panelBeatLine(), m_pictures.panelBarLine());
    m_bands.drawnFor = columns;
}

// A band of the given pictures' height across the roll's width: the cells tiled from the roll
// content's left edge, darker outside the loop, the lines of the columns that end a beat or a
// bar, and the loop's ends. Written straight into the band's pixels, each row one column's
// pattern copied on and on.
void GridPainter::drawColumns(QImage& band, const QImage& cell, const QImage& beat, const QImage& bar) const {
    const int cw = m_view.scale.columnWidth;
    const int64_t scrollX = m_view.viewScrollX;
    const int width = band.width();
    auto* const pixels = reinterpret_cast<QRgb*>(band.bits());
    const qsizetype stride = band.bytesPerLine() / 4;
    const LoopColumns loop = loopColumns(width);
    // Band x is content x - 65 + scrollX, in the cell's column of that modulo the column width.
    const auto phase = static_cast<int>(floorMod(scrollX - keyStripWidth, cw));
    std::vector<QRgb> darker(static_cast<std::size_t>(cw));
    for (int y = 0; y < band.height(); ++y) {
        const auto* pattern = reinterpret_cast<const QRgb*>(cell.constScanLine(y));
        QRgb* line = pixels + y * stride;
        fillWithPattern(line, 0, width, pattern, cw, phase);
        if (!m_view.loop)
            continue;
        std::transform(pattern, pattern + cw, darker.begin(), shaded);
        fillWithPattern(line, keyStripWidth, loop.begin, darker.data(), cw, phase);
        fillWithPattern(line, loop.end, width, darker.data(), cw, phase);
    }
    const GridMeter& meter = m_view.meter;
    const int64_t firstColumn = floorDiv(scrollX, cw) + 1;
    const int64_t lastColumn = floorDiv(scrollX + width - keyStripWidth, cw) + 1;
    // Column c's line is its last pixel; only the columns ending a beat get a line of their own.
    for (int64_t c = (floorDiv(firstColumn - 1, meter.beatColumns) + 1) * meter.beatColumns; c <= lastColumn;
         c += meter.beatColumns) {
        const int64_t x = columnLeftX(c + 1, m_view.viewScrollX, m_view.scale) - 1;
        if (x < keyStripWidth || x >= width)
            continue;
        const QImage& lines = meter.endsBar(c) ? bar : beat;
        const bool outside = m_view.loop && (x < loop.begin || x >= loop.end);
        for (int y = 0; y < band.height(); ++y)
            pixels[y * stride + x] = outside ? shaded(lines.pixel(0, y)) : lines.pixel(0, y);
    }
    if (m_view.loop) {
        for (int y = 0; y < band.height(); ++y) {
            for (const auto& [left, right] : loop.lines)
                std::fill(pixels + y * stride + left, pixels + y * stride + right, 0xFF000000u | sprite::loopLine);
        }
    }
}

// Where the loop's columns begin and end in the band, and its two lines: each takes the last
// pixel before an edge and the first after it.
GridPainter::LoopColumns GridPainter::loopColumns(int width) const {
    LoopColumns columns{keyStripWidth, width, {}};
    if (!m_view.loop)
        return columns;
    const auto clampX = [&](int64_t x) { return static_cast<int>(std::clamp<int64_t>(x, keyStripWidth, width)); };
    const auto edge = [&](int32_t step) { return columnLeftX(step + int64_t{1}, m_view.viewScrollX, m_view.scale); };
    columns.begin = clampX(edge(m_view.loop->begin));
    columns.end = clampX(edge(m_view.loop->end));
    for (std::size_t i = 0; i < columns.lines.size(); ++i) {
        const int64_t x = edge(i == 0 ? m_view.loop->begin : m_view.loop->end) - 1;
        columns.lines[i] = {clampX(x), clampX(x + loopLineWidth)};
    }
    return columns;
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
    // Rows shorter than the roll leave a band above the panel: the grid goes on there, and the
    // key strip takes the panel label's ground.
    const int64_t belowKeys = m_view.scale.keyboardHeight() - scrollY;
    const int64_t panelTop = m_size.height() - panelHeight;
    if (belowKeys < panelTop)
        painter.fillRect(QRect(0, static_cast<int>(belowKeys), keyStripWidth, static_cast<int>(panelTop - belowKeys)),
                         QColor::fromRgb(sprite::labelGround));
}

}  // namespace tromel::roll
