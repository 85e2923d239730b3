// The shared source pictures of every roll: the sprite sheet, one octave of keys and the background grid.
#pragma once

#include "roll/RollGeometry.h"
#include "roll/ui/ScaledPictures.h"

#include <QImage>
#include <QSize>

#include <map>
#include <memory>
#include <utility>

namespace tromel::roll {

class RollPictures {
public:
    // Composes the keyboard octave and a background grid covering a screen of the given size.
    RollPictures(QImage spriteSheet, QSize screenSize);

    // The sprite sheet built into the program.
    static QImage builtInSpriteSheet();

    const QImage& sheet() const { return m_sheet; }
    const QImage& pianoKeys() const { return m_pianoKeys; }
    const QImage& pianoBG() const { return m_pianoBG; }

    // The artwork at a zoom's cell size, made on first use and kept.
    const ScaledPictures& scaled(RollScale scale) const;

    // A roll larger than the screen the grid was built for (a window stretched over a second,
    // larger monitor) would copy from beyond the tiles; the grid is rebuilt large enough first.
    void ensureBackgroundCovers(int width, int height);

private:
    void composeKeys();
    void composeBackground(int tileColumns, int tileRows);

    QImage m_sheet;
    QImage m_pianoKeys;
    QImage m_pianoBG;
    int m_tileColumns = 0;  // nx + 1
    int m_tileRows = 0;     // ny + 1
    mutable std::map<std::pair<int, int>, std::unique_ptr<ScaledPictures>> m_scaled;
};

}  // namespace tromel::roll
