// A pointer position on the roll read in song terms: its column, row, area and strip values.
#pragma once

#include "roll/RollGeometry.h"

#include <cstdint>

namespace tromel::roll {

class RollSpot {
public:
    // x, y: pointer in the roll's client pixels; height: the roll's client height.
    RollSpot(double x, double y, int height, int32_t viewScrollX, int32_t viewScrollY, RollScale scale = {});

    double x() const { return m_x; }
    double y() const { return m_y; }
    int32_t column() const { return m_column; }
    int32_t row() const { return m_row; }

    bool inRoll() const;         // the note area, right of the keyboard and above the panel
    bool belowRoll() const;      // anywhere over the pan and volume panel or below it
    bool inPanStrip() const;     // upper half of the panel
    bool inVolumeStrip() const;  // lower half of the panel
    bool rightOfKeyboard() const { return m_x > 65; }
    bool onKeyboard() const;  // the key strip beside the rows, above the panel

    int16_t pan() const;     // 0 at the top of the pan strip, 12 from 60 pixels down
    int16_t volume() const;  // 248 at the top of the volume strip, falling to 0

    // Pixels from the left edge of the pointer's column on screen (one column wide; -1 to 14
    // in the written roll, whose mapping lies a pixel left of the drawn columns).
    double offsetInColumn() const;
    // Whether the pointer lies on the right end of the column it is in, where a note stretches.
    bool inStretchZone() const { return m_scale.inStretchZone(offsetInColumn()); }
    const RollScale& scale() const { return m_scale; }

private:
    double m_x;
    double m_y;
    int m_height;
    int32_t m_viewScrollX;
    RollScale m_scale;
    int32_t m_column;
    int32_t m_row;
};

// Rounds to the nearest whole pixel, halves to even, kept within a range that cannot overflow
// the pixel arithmetic (a captured drag can report points far outside the roll).
int32_t roundPixel(double coordinate);

}  // namespace tromel::roll
