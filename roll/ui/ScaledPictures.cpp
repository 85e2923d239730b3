// The roll's artwork at one cell size, cut and stretched from the sprite sheet.
#include "roll/ui/ScaledPictures.h"

#include "roll/ui/SpriteLayout.h"

#include <algorithm>

namespace tromel::roll {
namespace {

// The source pixel for target pixel `at` of `length`, from a source of `sourceLength`: the first
// `keepFirst` and the last pixel are kept, the rest comes from the source's middle.
int stretched(int at, int length, int sourceLength, int keepFirst = 1) {
    if (at == length - 1)
        return sourceLength - 1;
    if (at < keepFirst)
        return at;
    return sourceLength / 2;
}

// The source row of a grid cell's pixel row: the separator last, the written dot rows 1, 5 and 9
// on the rows in the same proportion down the cell, the ground row 0 elsewhere.
int gridSourceRow(int at, int rowHeight) {
    if (at == rowHeight - 1)
        return 11;
    for (const int dot : {1, 5, 9}) {
        if (at == (dot * (rowHeight - 1) * 2 + 11) / 22)
            return dot;
    }
    return 0;
}

// Pixel column `sourceX` of a 12-row grid lane, as one octave of cells of the given row height.
QImage laneColumns(const QImage& sheet, int sourceX, int width, int rowHeight) {
    QImage image(width, 12 * rowHeight, QImage::Format_RGB32);
    for (int row = 0; row < 12; ++row) {
        const sprite::Rect& lane = sprite::octaveIsBlack[row] ? sprite::blackKeyLane : sprite::whiteKeyLane;
        for (int y = 0; y < rowHeight; ++y) {
            const QRgb line = sheet.pixel(lane.x + sourceX, lane.y + gridSourceRow(y, rowHeight));
            const QRgb ground = sheet.pixel(lane.x, lane.y + gridSourceRow(y, rowHeight));
            for (int x = 0; x < width; ++x)
                image.setPixel(x, rowHeight * row + y, x == width - 1 ? line : ground);
        }
    }
    return image;
}

QImage panelColumns(const QImage& sheet, int sourceX, int width) {
    const sprite::Rect& tile = sprite::panelTile;
    QImage image(width, tile.height, QImage::Format_RGB32);
    for (int y = 0; y < tile.height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, sheet.pixel(tile.x + (x == width - 1 ? sourceX : 0), tile.y + y));
    }
    return image;
}

// A box of the sheet stretched to width x height, keeping its one-pixel edges; a bridge is the
// box's middle column with its top and bottom edges.
QImage stretchedBox(const QImage& sheet, const sprite::Rect& box, int width, int height, bool middleOnly) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const int sourceY = box.y + stretched(y, height, box.height);
        for (int x = 0; x < width; ++x) {
            const int sourceX = box.x + (middleOnly ? box.width / 2 : stretched(x, width, box.width));
            image.setPixel(x, y, sheet.pixel(sourceX, sourceY));
        }
    }
    return image;
}

}  // namespace

ScaledPictures::ScaledPictures(const QImage& sheet, RollScale scale) : m_scale(scale) {
    makeKeys(sheet);
    makeGrid(sheet);
    makePanel(sheet);
    makeBoxes(sheet);
    const sprite::Rect& tile = sprite::cursorTile;
    m_cursorTile = sheet.copy(tile.x, tile.y, 1, tile.height).scaled(scale.boxWidth(), tile.height);
}

// The keys keep their top two rows (a black key's shine) and their bottom edge.
void ScaledPictures::makeKeys(const QImage& sheet) {
    const int rowHeight = m_scale.rowHeight;
    m_keys = QImage(keyStripWidth, m_scale.octaveHeight(), QImage::Format_RGB32);
    for (int row = 0; row < 12; ++row) {
        const sprite::Rect& key = sprite::octaveIsBlack[row] ? sprite::blackKey : sprite::whiteKey;
        for (int y = 0; y < rowHeight; ++y) {
            const int sourceY = key.y + stretched(y, rowHeight, key.height, 2);
            for (int x = 0; x < keyStripWidth; ++x)
                m_keys.setPixel(x, rowHeight * row + y, sheet.pixel(key.x + x, sourceY));
        }
    }
}

// The written lane marks every column on x = 15, every beat on x = 63 and the bar on x = 255.
void ScaledPictures::makeGrid(const QImage& sheet) {
    m_gridCell = laneColumns(sheet, 15, m_scale.columnWidth, m_scale.rowHeight);
    m_gridBeatLine = laneColumns(sheet, 63, 1, m_scale.rowHeight);
    m_gridBarLine = laneColumns(sheet, 255, 1, m_scale.rowHeight);
}

void ScaledPictures::makePanel(const QImage& sheet) {
    m_panelCell = panelColumns(sheet, 15, m_scale.columnWidth);
    m_panelBeatLine = panelColumns(sheet, 63, 1);
    m_panelBarLine = panelColumns(sheet, 255, 1);
}

void ScaledPictures::makeBoxes(const QImage& sheet) {
    const int width = m_scale.boxWidth();
    const int height = m_scale.boxHeight();
    for (int channel = 0; channel < 8; ++channel) {
        const auto c = static_cast<std::size_t>(channel);
        const std::array<sprite::Rect, 3> sources{sprite::noteBox(channel, true), sprite::noteBox(channel, false),
                                                  sprite::selectedNoteBox(channel)};
        for (std::size_t look = 0; look < 3; ++look) {
            m_boxes[look][c] = stretchedBox(sheet, sources[look], width, height, false);
            m_bridges[look][c] = stretchedBox(sheet, sources[look], m_scale.bridgeWidth(), height, true);
        }
    }
}

int ScaledPictures::digitTop() const {
    return std::min(11 * m_scale.rowHeight, 12 * m_scale.rowHeight - 12);
}

}  // namespace tromel::roll
