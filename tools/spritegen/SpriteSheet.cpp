// The sprite sheet's artwork, one region at a time.
#include "tools/spritegen/SpriteSheet.h"

#include "roll/ui/SpriteLayout.h"
#include "tools/spritegen/PixelFont.h"

#include <QColor>
#include <QPainter>

namespace tromel::spritegen {
namespace {

namespace sprite = roll::sprite;

constexpr QRgb keyWhite = 0xFFF2F2EC;
constexpr QRgb keyEdge = 0xFF9A9A94;
constexpr QRgb keyBlack = 0xFF141418;
constexpr QRgb keyBlackShine = 0xFF3A3A42;
constexpr QRgb keyStripBorder = 0xFF404048;
constexpr QRgb panelGround = 0xFF181C1F;
constexpr QRgb panelVolumeGround = 0xFF1C2023;
constexpr QRgb panelColumnLine = 0xFF272D31;
constexpr QRgb panelBeatLine = 0xFF34423A;
constexpr QRgb panelBarLine = 0xFF4C7159;
constexpr QRgb panelDivider = 0xFF55606A;
constexpr QRgb panelCentreLine = 0xFF2F3A40;
constexpr QRgb labelGround = 0xFF22272B;
constexpr QRgb labelText = 0xFFD0D4D0;
constexpr QRgb markFill = 0xFF8FE06A;
constexpr QRgb markEdge = 0xFF3C7A2C;
constexpr QRgb sheetSpare = 0xFF000000;

QRect toQRect(const sprite::Rect& rect) {
    return {rect.x, rect.y, rect.width, rect.height};
}
QRgb opaque(uint32_t rgb) {
    return 0xFF000000u | rgb;
}

void drawWhiteKey(QPainter& painter) {
    const QRect key = toQRect(sprite::whiteKey);
    painter.fillRect(key, QColor::fromRgb(keyWhite));
    painter.fillRect(key.x(), key.bottom(), key.width() - 1, 1, QColor::fromRgb(keyEdge));
    painter.fillRect(key.right(), key.y(), 1, key.height(), QColor::fromRgb(keyStripBorder));
}

void drawBlackKey(QPainter& painter) {
    const QRect key = toQRect(sprite::blackKey);
    painter.fillRect(key, QColor::fromRgb(keyWhite));
    painter.fillRect(key.x(), key.y(), 40, key.height(), QColor::fromRgb(keyBlack));
    painter.fillRect(key.x(), key.y() + 1, 38, 1, QColor::fromRgb(keyBlackShine));
    painter.fillRect(key.right(), key.y(), 1, key.height(), QColor::fromRgb(keyStripBorder));
}

// A filled box with a lighter upper-left edge and a darker lower-right edge.
void drawNoteBox(QPainter& painter, const sprite::Rect& where, uint32_t rgb) {
    const QColor main = QColor::fromRgb(opaque(rgb));
    const QRect box = toQRect(where);
    painter.fillRect(box, main);
    painter.fillRect(box.x(), box.y(), box.width(), 1, main.lighter(150));
    painter.fillRect(box.x(), box.y(), 1, box.height(), main.lighter(150));
    painter.fillRect(box.x() + 1, box.bottom(), box.width() - 1, 1, main.darker(170));
    painter.fillRect(box.right(), box.y() + 1, 1, box.height() - 1, main.darker(170));
}

// A selected note: its bright colour lighter still, outlined top and bottom so that the bridges
// carry the outline along the note, and at both ends of the box.
void drawSelectedNoteBox(QPainter& painter, int channel) {
    const QRect box = toQRect(sprite::selectedNoteBox(channel));
    painter.fillRect(box, QColor(opaque(sprite::brightNoteColours[channel])).lighter(170));
    painter.setPen(QColor(opaque(sprite::selectedOutline)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
}

void drawNoteBoxes(QPainter& painter) {
    for (int channel = 0; channel < 8; ++channel) {
        drawNoteBox(painter, sprite::noteBox(channel, true), sprite::brightNoteColours[channel]);
        drawNoteBox(painter, sprite::noteBox(channel, false), sprite::darkNoteColours[channel]);
        drawSelectedNoteBox(painter, channel);
    }
}

void drawDigits(QPainter& painter, QImage& sheet) {
    for (int value = 0; value <= 7; ++value) {
        const QRect cell = toQRect(sprite::digit(value));
        painter.fillRect(cell, Qt::white);
        drawPixelText(sheet, cell.x(), cell.y() + 1, QString::number(value), 0xFF000000);
    }
}

void drawCursor(QPainter& painter) {
    painter.fillRect(toQRect(sprite::cursorTile), QColor::fromRgb(opaque(sprite::cursorRed)));
}

// One bar of grid beside a key: ground, row separator, column dots, beat dots and the bar line.
void drawLane(QImage& sheet, const sprite::Rect& lane, uint32_t ground, uint32_t line) {
    for (int y = 0; y < lane.height; ++y) {
        for (int x = 0; x < lane.width; ++x)
            sheet.setPixel(lane.x + x, lane.y + y, opaque(y == lane.height - 1 ? sprite::rowSeparator : ground));
    }
    for (int x = 15; x < lane.width; x += 16)
        sheet.setPixel(lane.x + x, lane.y + 5, opaque(line));
    for (int x : {63, 127, 191}) {
        sheet.setPixel(lane.x + x, lane.y + 1, opaque(line));
        sheet.setPixel(lane.x + x, lane.y + 9, opaque(line));
    }
    for (int y = 0; y < lane.height; ++y)
        sheet.setPixel(lane.x + lane.width - 1, lane.y + y, opaque(line));
}

void drawPanelColumnLines(QPainter& painter, const QRect& tile) {
    for (int x = 15; x < tile.width(); x += 16) {
        const QRgb colour = x == tile.width() - 1 ? panelBarLine : (x % 64 == 63 ? panelBeatLine : panelColumnLine);
        painter.fillRect(tile.x() + x, tile.y(), 1, tile.height(), QColor::fromRgb(colour));
    }
}

void drawPanelTile(QPainter& painter) {
    const QRect tile = toQRect(sprite::panelTile);
    const int half = tile.height() / 2;
    painter.fillRect(tile.x(), tile.y(), tile.width(), half, QColor::fromRgb(panelGround));
    painter.fillRect(tile.x(), tile.y() + half, tile.width(), half, QColor::fromRgb(panelVolumeGround));
    drawPanelColumnLines(painter, tile);
    // Pan 6, the centre, puts its mark 33 rows below the panel's top; a line marks it.
    painter.fillRect(tile.x(), tile.y() + 35, tile.width(), 1, QColor::fromRgb(panelCentreLine));
    painter.fillRect(tile.x(), tile.y(), tile.width(), 1, QColor::fromRgb(panelDivider));
    painter.fillRect(tile.x(), tile.y() + half, tile.width(), 1, QColor::fromRgb(panelDivider));
}

void drawCentred(QImage& sheet, const QRect& area, int y, const QString& word) {
    drawPixelText(sheet, area.x() + (area.width() - 1 - pixelTextWidth(word)) / 2, y, word, labelText);
}

void drawPanelLabel(QPainter& painter, QImage& sheet) {
    const QRect label = toQRect(sprite::panelLabel);
    const int half = label.height() / 2;
    painter.fillRect(label, QColor::fromRgb(labelGround));
    painter.fillRect(label.x(), label.y(), label.width(), 1, QColor::fromRgb(panelDivider));
    painter.fillRect(label.x(), label.y() + half, label.width(), 1, QColor::fromRgb(panelDivider));
    painter.fillRect(label.right(), label.y(), 1, label.height(), QColor::fromRgb(keyStripBorder));
    drawCentred(sheet, label, label.y() + 3, "Right");
    drawCentred(sheet, label, label.y() + 31, "Pan");
    drawCentred(sheet, label, label.y() + 60, "Left");
    drawCentred(sheet, label, label.y() + half + 32, "Volume");
}

void drawMark(QPainter& painter) {
    const QRect mark = toQRect(sprite::mark);
    painter.fillRect(mark, QColor::fromRgb(markEdge));
    painter.fillRect(mark.adjusted(1, 1, -1, -1), QColor::fromRgb(markFill));
}

}  // namespace

QImage paintSpriteSheet() {
    QImage sheet(sprite::sheetWidth, sprite::sheetHeight, QImage::Format_RGB32);
    sheet.fill(sheetSpare);
    {
        QPainter painter(&sheet);
        drawWhiteKey(painter);
        drawBlackKey(painter);
        drawNoteBoxes(painter);
        drawDigits(painter, sheet);
        drawCursor(painter);
        drawPanelTile(painter);
        drawPanelLabel(painter, sheet);
        drawMark(painter);
    }
    drawLane(sheet, sprite::blackKeyLane, sprite::blackLaneGround, sprite::blackLaneLine);
    drawLane(sheet, sprite::whiteKeyLane, sprite::whiteLaneGround, sprite::whiteLaneLine);
    return sheet;
}

QImage paintAboutPicture() {
    QImage picture(32, 32, QImage::Format_RGB32);
    picture.fill(opaque(sprite::whiteLaneGround));
    QPainter painter(&picture);
    for (int y = 7; y < 32; y += 8)
        painter.fillRect(0, y, 32, 1, QColor::fromRgb(opaque(sprite::rowSeparator)));
    for (int x = 7; x < 32; x += 8)
        painter.fillRect(x, 0, 1, 32, QColor::fromRgb(opaque(sprite::whiteLaneLine)));
    const int heights[] = {18, 10, 22, 4};
    for (int i = 0; i < 4; ++i)
        drawNoteBox(painter, {8 * i, heights[i], 8, 6}, sprite::brightNoteColours[i]);
    painter.fillRect(0, 30, 32, 2, QColor::fromRgb(opaque(sprite::cursorRed)));
    return picture;
}

}  // namespace tromel::spritegen
