// Composition of the keyboard octave and the background grid from the sprite sheet.
#include "roll/ui/RollPictures.h"

#include "roll/RollGeometry.h"
#include "roll/ui/SpriteLayout.h"

#include <QPainter>

#include <algorithm>

namespace tromel::roll {
namespace {

QRect toQRect(const sprite::Rect& rect) {
    return {rect.x, rect.y, rect.width, rect.height};
}

void copyBlock(QPainter& painter, int x, int y, const QImage& source, const sprite::Rect& from) {
    painter.drawImage(QPoint(x, y), source, toQRect(from));
}

}  // namespace

RollPictures::RollPictures(QImage spriteSheet, QSize screenSize)
    : m_sheet(spriteSheet.convertToFormat(QImage::Format_RGB32)) {
    composeKeys();
    composeBackground(screenSize.width() / barWidth + 1, screenSize.height() / octaveHeight + 1);
}

QImage RollPictures::builtInSpriteSheet() {
    return QImage(":/images/sprites.png");
}

void RollPictures::composeKeys() {
    m_pianoKeys = QImage(keyStripWidth, octaveHeight, QImage::Format_RGB32);
    QPainter painter(&m_pianoKeys);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int row = 0; row < 12; ++row)
        copyBlock(painter, 0, rowHeight * row, m_sheet,
                  sprite::octaveIsBlack[row] ? sprite::blackKey : sprite::whiteKey);
}

void RollPictures::composeBackground(int tileColumns, int tileRows) {
    m_tileColumns = tileColumns;
    m_tileRows = tileRows;
    // 256 rows per tile row although a tile is 144 high: the rows below the tiles stay unused.
    m_pianoBG = QImage(tileColumns * barWidth, tileRows * barWidth, QImage::Format_RGB32);
    m_pianoBG.fill(Qt::black);
    QPainter painter(&m_pianoBG);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < tileColumns; ++i) {
        for (int j = 0; j < tileRows; ++j) {
            for (int row = 0; row < 12; ++row) {
                const sprite::Rect& lane = sprite::octaveIsBlack[row] ? sprite::blackKeyLane : sprite::whiteKeyLane;
                copyBlock(painter, barWidth * i, octaveHeight * j + rowHeight * row, m_sheet, lane);
            }
        }
    }
}

const ScaledPictures& RollPictures::scaled(RollScale scale) const {
    std::unique_ptr<ScaledPictures>& pictures = m_scaled[{scale.columnWidth, scale.rowHeight}];
    if (!pictures)
        pictures = std::make_unique<ScaledPictures>(m_sheet, scale);
    return *pictures;
}

void RollPictures::ensureBackgroundCovers(int width, int height) {
    // drawRoll copies width x height from an offset of up to 256 x 144 into the tiles.
    const int columnsNeeded = (width + barWidth) / barWidth + 1;
    const int rowsNeeded = (height + octaveHeight) / octaveHeight + 1;
    if (columnsNeeded > m_tileColumns || rowsNeeded > m_tileRows)
        composeBackground(std::max(columnsNeeded, m_tileColumns), std::max(rowsNeeded, m_tileRows));
}

}  // namespace tromel::roll
