// The roll's static layer and note layer. Positions come from roll/RollGeometry.h and are kept in
// 64 bits until a copy is known to touch the picture: positions read from files reach 2^31 - 1.
#include "roll/ui/RollRenderer.h"

#include "roll/NoteLayerPlan.h"
#include "roll/RollGeometry.h"
#include "roll/ui/GridPainter.h"
#include "roll/ui/SpriteLayout.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

namespace tromel::roll {
namespace {

QRect toQRect(const sprite::Rect& rect) {
    return {rect.x, rect.y, rect.width, rect.height};
}

// A plain rectangle copy; copies wholly outside the target are skipped before the coordinates
// are narrowed to the painter's int.
void blit(QPainter& painter, QSize target, int64_t x, int64_t y, const QImage& source, const QRect& from) {
    if (x >= target.width() || y >= target.height() || x + from.width() <= 0 || y + from.height() <= 0)
        return;
    painter.drawImage(QPoint(static_cast<int>(x), static_cast<int>(y)), source, from);
}

// The picture's size in the roll's own pixels, whatever the screen's pixel ratio.
QSize logicalSize(const QImage& image) {
    return image.deviceIndependentSize().toSize();
}

sprite::Rect boxSprite(int channel, bool current, bool selected) {
    return selected ? sprite::selectedNoteBox(channel) : sprite::noteBox(channel, current);
}

sprite::Rect bridgeSprite(int channel, bool current, bool selected) {
    return selected ? sprite::selectedBridge(channel) : sprite::bridge(channel, current);
}

// The scaled box or bridge a copy takes.
const QImage& piece(const ScaledPictures& scaled, const NoteCopy& copy) {
    const auto look = copy.selected  ? ScaledPictures::selected
                      : copy.current ? ScaledPictures::bright
                                     : ScaledPictures::dark;
    return copy.kind == NoteCopy::Kind::box ? scaled.box(copy.channel, look) : scaled.bridge(copy.channel, look);
}

// Subtracts a period while the offset exceeds it, so an offset of exactly one period stays.
int32_t wrapOffset(int32_t offset, int32_t period) {
    return offset > period ? (offset - 1) % period + 1 : offset;
}

}  // namespace

void RollRenderer::drawRoll(QImage& buffer, const RollView& view) const {
    QPainter painter(&buffer);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QSize size = logicalSize(buffer);
    if (view.isWritten()) {
        drawBackground(painter, size, view);
        drawCursor(painter, size, view);
        drawPanel(painter, size, view);
        drawKeyboard(painter, size, view);
    } else {
        drawAdded(painter, size, view);
    }
    blit(painter, size, 0, size.height() - panelHeight, m_pictures.sheet(), toQRect(sprite::panelLabel));
}

// The static layer at another cell size, with the song's grid or the loop: the grid and panel
// from the pieces of the cell size, the written cursor and keys where the cells keep their size.
void RollRenderer::drawAdded(QPainter& painter, QSize size, const RollView& view) const {
    const GridPainter grid(m_pictures.scaled(view.scale), view, size, m_bands);
    grid.drawGrid(painter);
    if (view.scale.isWrittenX())
        drawCursor(painter, size, view);
    else
        grid.drawCursor(painter);
    grid.drawPanel(painter);
    if (view.scale.isWrittenY())
        drawKeyboard(painter, size, view);
    else
        grid.drawKeyboard(painter, m_pictures.sheet());
}

void RollRenderer::drawBackground(QPainter& painter, QSize size, const RollView& view) const {
    const int32_t xoff = wrapOffset(view.viewScrollX, barWidth);
    const int32_t yoff = wrapOffset(view.viewScrollY, octaveHeight);
    painter.drawImage(QPoint(keyStripWidth, 0), m_pictures.pianoBG(), QRect(xoff, yoff, size.width(), size.height()));
}

void RollRenderer::drawCursor(QPainter& painter, QSize size, const RollView& view) const {
    const int64_t p = view.playPosition;
    // A cursor whose column starts behind the keyboard is not drawn at all.
    if (p == 0 || 16 * (p - 1) - view.viewScrollX < 0)
        return;
    painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    const int64_t x = cursorX(p, view.viewScrollX);
    const int64_t lastTile = floorDiv(size.height() - panelHeight, cursorTileHeight) + 1;
    for (int64_t j = 0; j <= lastTile; ++j)
        blit(painter, size, x, cursorTileHeight * j, m_pictures.sheet(), toQRect(sprite::cursorTile));
    painter.setCompositionMode(QPainter::CompositionMode_Source);
}

void RollRenderer::drawPanel(QPainter& painter, QSize size, const RollView& view) const {
    const int64_t xoff = wrapOffset(view.viewScrollX, barWidth);
    const int64_t lastTile = floorDiv(size.width(), barWidth) + 1;
    for (int64_t k = 0; k <= lastTile; ++k) {
        blit(painter, size, barWidth * k + keyStripWidth - xoff, size.height() - panelHeight, m_pictures.sheet(),
             toQRect(sprite::panelTile));
    }
}

void RollRenderer::drawKeyboard(QPainter& painter, QSize size, const RollView& view) const {
    const int64_t scrollY = view.viewScrollY;
    const int64_t firstBlock = floorDiv(scrollY, octaveHeight);
    const int64_t lastBlock = floorDiv(size.height() + scrollY - panelHeight, octaveHeight);
    const QImage& keys = m_pictures.pianoKeys();
    for (int64_t b = firstBlock; b <= lastBlock; ++b) {
        blit(painter, size, 0, octaveHeight * b - scrollY, keys, keys.rect());
        // Block b shows the digit 7 - b, whose source x is 93 - 4b (past the last octave this
        // reaches into the key art; the panel label drawn next covers it).
        const QRect digit(static_cast<int>(93 - 4 * b), sprite::digit(0).y, digitWidth, digitHeight);
        blit(painter, size, digitX, octaveHeight * b + 132 - scrollY, m_pictures.sheet(), digit);
    }
}

void RollRenderer::drawNotes(QImage& picture, const QImage& buffer, const RollView& view) const {
    const QSize size = logicalSize(picture);
    const auto copies = planNoteLayer(*view.notes, view.currentChannel, view.viewScrollX, view.viewScrollY,
                                      size.width(), size.height(), view.selection, view.scale);
    // Where the pictures' pixels are the roll's own, the copies go straight into the picture's
    // memory: a zoomed-out roll makes tens of thousands of tiny copies, each costing a painter far
    // more than its few pixels.
    const bool direct = copies && picture.devicePixelRatio() == 1 && picture.format() == QImage::Format_RGB32 &&
                        buffer.format() == QImage::Format_RGB32 && buffer.size() == picture.size();
    if (direct) {
        std::memcpy(picture.bits(), buffer.constBits(), static_cast<std::size_t>(buffer.sizeInBytes()));
        copyDirectly(picture, *copies, view.scale);
    }
    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (!direct) {
        painter.drawImage(QPoint(0, 0), buffer);
        if (copies)
            drawCopies(painter, size, *copies, view.scale);
        else
            drawEveryRecord(painter, size, view);
    }
    if (view.band)
        drawBand(painter, size, *view.band, view);
    if (view.editCursor > 0)
        drawEditCursor(painter, size, view);
    // Notes drawn under the keyboard are hidden again; the panel label is not restored.
    const qreal ratio = buffer.devicePixelRatio();
    painter.drawImage(QRectF(0, 0, keyStripWidth, size.height() - panelHeight), buffer,
                      QRectF(0, 0, keyStripWidth * ratio, (size.height() - panelHeight) * ratio));
}

// A thin line down the notes at the left edge of the cursor's column, over its grid line.
void RollRenderer::drawEditCursor(QPainter& painter, QSize size, const RollView& view) const {
    const int64_t x = columnLeftX(view.editCursor, view.viewScrollX, view.scale) - 1;
    if (x < keyStripWidth || x >= size.width())
        return;
    painter.fillRect(QRect(static_cast<int>(x), 0, sprite::editCursorWidth, size.height() - panelHeight),
                     QColor::fromRgb(sprite::editCursorLine));
}

void RollRenderer::copyDirectly(QImage& picture, const std::vector<NoteCopy>& copies, RollScale scale) const {
    const ScaledPictures* scaled = scale.isWritten() ? nullptr : &m_pictures.scaled(scale);
    auto* const pixels = reinterpret_cast<QRgb*>(picture.bits());
    const qsizetype stride = picture.bytesPerLine() / 4;
    const int64_t width = picture.width();
    const int64_t height = picture.height();
    for (const NoteCopy& copy : copies) {
        const QImage* source = &m_pictures.sheet();
        QRect from;
        if (scaled && copy.kind != NoteCopy::Kind::mark) {
            source = &piece(*scaled, copy);
            from = QRect(0, 0, source->width(), source->height());
        } else {
            from =
                toQRect(copy.kind == NoteCopy::Kind::box      ? boxSprite(copy.channel, copy.current, copy.selected)
                        : copy.kind == NoteCopy::Kind::bridge ? bridgeSprite(copy.channel, copy.current, copy.selected)
                                                              : sprite::mark);
        }
        const int64_t left = std::max<int64_t>(copy.x, 0);
        const int64_t right = std::min<int64_t>(copy.x + from.width(), width);
        const int64_t top = std::max<int64_t>(copy.y, 0);
        const int64_t bottom = std::min<int64_t>(copy.y + from.height(), height);
        if (left >= right || top >= bottom)
            continue;
        const qsizetype sourceStride = source->bytesPerLine() / 4;
        const QRgb* sourceLine = reinterpret_cast<const QRgb*>(source->constBits()) +
                                 (from.y() + top - copy.y) * sourceStride + (from.x() + left - copy.x);
        QRgb* line = pixels + top * stride + left;
        for (int64_t y = top; y < bottom; ++y, line += stride, sourceLine += sourceStride)
            std::copy_n(sourceLine, right - left, line);
    }
}

void RollRenderer::drawCopies(QPainter& painter, QSize size, const std::vector<NoteCopy>& copies,
                              RollScale scale) const {
    const ScaledPictures* scaled = scale.isWritten() ? nullptr : &m_pictures.scaled(scale);
    for (const NoteCopy& copy : copies)
        drawCopy(painter, size, copy, scaled);
}

// A copy from the sheet as written, or from the pictures of another cell size; marks keep their size.
void RollRenderer::drawCopy(QPainter& painter, QSize size, const NoteCopy& copy, const ScaledPictures* scaled) const {
    if (scaled && copy.kind != NoteCopy::Kind::mark) {
        const QImage& from = piece(*scaled, copy);
        blit(painter, size, copy.x, copy.y, from, from.rect());
        return;
    }
    const sprite::Rect& from = copy.kind == NoteCopy::Kind::box ? boxSprite(copy.channel, copy.current, copy.selected)
                               : copy.kind == NoteCopy::Kind::bridge
                                   ? bridgeSprite(copy.channel, copy.current, copy.selected)
                                   : sprite::mark;
    blit(painter, size, copy.x, copy.y, m_pictures.sheet(), toQRect(from));
}

// Every record in order, each copy as it comes: the picture the plan reproduces.
void RollRenderer::drawEveryRecord(QPainter& painter, QSize size, const RollView& view) const {
    const NoteTable& notes = *view.notes;
    for (int channel = 0; channel < NoteTable::channelCount; ++channel) {
        for (int32_t slot = 1; slot <= notes.slotBound(); ++slot) {
            const NoteRec& note = notes.at(channel, slot);
            if (!isInView(note.position, note.length, size.width(), view.viewScrollX, view.scale))
                continue;
            if (channel == view.currentChannel)
                drawMarks(painter, size, note, view);
            const bool selected = view.selection && view.selection->contains(channel, slot);
            drawNoteBoxes(painter, size, note, channel, selected, view);
        }
    }
}

void RollRenderer::drawMarks(QPainter& painter, QSize size, const NoteRec& note, const RollView& view) const {
    const int64_t x = noteBoxX(note.position, view.viewScrollX, view.scale);
    const QRect mark = toQRect(sprite::mark);
    blit(painter, size, x, panMarkY(note.pan, size.height()), m_pictures.sheet(), mark);
    if (note.volume != noVolume)
        blit(painter, size, x, volumeMarkY(note.volume, size.height()), m_pictures.sheet(), mark);
}

void RollRenderer::drawNoteBoxes(QPainter& painter, QSize size, const NoteRec& note, int channel, bool selected,
                                 const RollView& view) const {
    const RollScale& scale = view.scale;
    const int64_t scrollX = view.viewScrollX;
    // Only boxes lying wholly above the bottom panel are drawn.
    if (!boxAbovePanel(note.key, view.viewScrollY, size.height(), scale))
        return;
    const bool current = channel == view.currentChannel;
    const ScaledPictures* scaled = scale.isWritten() ? nullptr : &m_pictures.scaled(scale);
    NoteCopy copy{NoteCopy::Kind::box, channel, current, 0, noteBoxY(note.key, view.viewScrollY, scale), selected};
    const auto draw = [&](NoteCopy::Kind kind, int64_t x) {
        copy.kind = kind;
        copy.x = x;
        drawCopy(painter, size, copy, scaled);
    };
    const int64_t position = note.position;
    draw(NoteCopy::Kind::box, noteBoxX(position, scrollX, scale));
    // Boxes k = 1 .. length - 1; those wholly outside the picture change nothing and are skipped.
    const int64_t cw = scale.columnWidth;
    const int64_t firstK = std::max<int64_t>(1, floorDiv(scrollX - 5 * cw, cw) - position + 1);
    const int64_t lastK = std::min<int64_t>(note.length - 1, floorDiv(size.width() + scrollX, cw) - position + 2);
    for (int64_t k = firstK; k <= lastK; ++k) {
        draw(NoteCopy::Kind::box, noteBoxX(position + k, scrollX, scale));
        draw(NoteCopy::Kind::bridge, bridgeX(position + k, scrollX, scale));
    }
}

// The rectangle being drawn with Shift: an outline around its cells, over the rows only.
void RollRenderer::drawBand(QPainter& painter, QSize size, const CellRect& band, const RollView& view) const {
    const RollScale& scale = view.scale;
    const int64_t left = std::max<int64_t>(keyStripWidth, columnLeftX(band.firstColumn, view.viewScrollX, scale));
    const int64_t right =
        std::min<int64_t>(size.width() - 1, columnLeftX(band.lastColumn + 1, view.viewScrollX, scale) - 1);
    const int64_t top = std::max<int64_t>(0, rowTopY(band.firstRow, view.viewScrollY, scale));
    const int64_t bottom =
        std::min<int64_t>(size.height() - panelHeight - 1, rowTopY(band.lastRow + 1, view.viewScrollY, scale) - 1);
    if (left > right || top > bottom)
        return;
    painter.setPen(QColor(sprite::bandOutline));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(static_cast<int>(left), static_cast<int>(top)),
                           QPoint(static_cast<int>(right), static_cast<int>(bottom))));
}

}  // namespace tromel::roll
