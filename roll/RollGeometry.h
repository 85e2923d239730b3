// The piano roll's pixel grid: layout constants, song-to-pixel positions and the pointer mapping.
#pragma once

#include <array>
#include <cstdint>

namespace tromel::roll {

inline constexpr int keyStripWidth = 65;  // window x 0..64 hold the keyboard
inline constexpr int columnWidth = 16;    // one step
inline constexpr int rowHeight = 12;      // one key
inline constexpr int octaveHeight = 144;  // twelve rows
inline constexpr int rowCount = 96;
inline constexpr int keyboardHeight = rowCount * rowHeight;  // 1152
inline constexpr int rollWidth = 36864;                      // 2304 columns
inline constexpr int columnCount = rollWidth / columnWidth;
inline constexpr int beatWidth = 64;
inline constexpr int barWidth = 256;
inline constexpr int panelHeight = 144;  // pan and volume panel along the bottom
inline constexpr int noteBoxWidth = 12;
inline constexpr int noteBoxHeight = 10;
inline constexpr int bridgeWidth = 6;
inline constexpr int markWidth = 16;
inline constexpr int markHeight = 5;
inline constexpr int cursorTileWidth = 12;
inline constexpr int cursorTileHeight = 11;
inline constexpr int digitWidth = 4;
inline constexpr int digitHeight = 10;
inline constexpr int digitX = 56;

// Floor division, for pixel arithmetic that may go negative.
constexpr int64_t floorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// The zoom levels of the note area, in percent; 100 is the written roll.
inline constexpr std::array<int, 5> zoomLevelsX{25, 50, 100, 200, 400};
inline constexpr std::array<int, 5> zoomLevelsY{50, 75, 100, 150, 200};

// The size of the note area's cells at a zoom. Only the columns and rows scale: the key strip,
// the panel, the marks and the digits keep their sizes. The default is the written roll, whose
// pointer mapping lies one pixel left of the drawn columns; at any other column width the
// pointer maps to the drawn column exactly.
struct RollScale {
    int columnWidth = 16;
    int rowHeight = 12;

    // A zoom that is not one of the levels counts as 100 %.
    static RollScale ofZoom(int zoomXPercent, int zoomYPercent);
    friend bool operator==(const RollScale&, const RollScale&) = default;

    constexpr bool isWrittenX() const { return columnWidth == 16; }
    constexpr bool isWrittenY() const { return rowHeight == 12; }
    constexpr bool isWritten() const { return isWrittenX() && isWrittenY(); }
    // The pixels left of a cell's first pixel that still give the previous column.
    constexpr int mappingShift() const { return isWrittenX() ? 1 : 0; }

    constexpr int64_t rollWidth() const { return static_cast<int64_t>(columnCount) * columnWidth; }
    constexpr int keyboardHeight() const { return rowCount * rowHeight; }
    constexpr int octaveHeight() const { return 12 * rowHeight; }

    // A note box within its cell: 12 x 10 at (2, 1) of 16 x 12, in the same proportions at other
    // sizes, always leaving the cell's last pixel column (the grid line) and last row free.
    constexpr int boxInsetX() const { return columnWidth / 8; }
    constexpr int boxWidth() const { return columnWidth - 1 - boxInsetX() - columnWidth / 16; }
    constexpr int boxInsetY() const { return rowHeight / 12; }
    constexpr int boxHeight() const { return rowHeight - 1 - boxInsetY(); }
    // A bridge runs from the last pixel of one box to the first of the next.
    constexpr int bridgeWidth() const { return columnWidth - boxWidth() + 2; }
    // Whether a pointer this far into its column lies on a note's right end: the right-hand 4
    // pixels of the written column, else the right quarter of the column, at least 2 pixels.
    constexpr bool inStretchZone(double offsetInColumn) const {
        if (isWrittenX())
            return offsetInColumn > 10.0;
        const int zone = columnWidth / 4 > 2 ? columnWidth / 4 : 2;
        return offsetInColumn >= columnWidth - zone;
    }
};

// Column under window x: 0 on the keyboard (x <= 64). The mapping lies one pixel left of the
// drawn columns, so a column's grid line already gives the next column.
int32_t getColumnFromX(int32_t x, int32_t viewScrollX, RollScale scale = {});
// Row under window y, for every y (0 and below above the roll).
int32_t getRowFromY(int32_t y, int32_t viewScrollY, RollScale scale = {});
// Pointer coordinates are rounded down to whole pixels first.
int32_t pixelFloor(double coordinate);

// Window positions of what the roll draws (64-bit: positions from files may be huge).
constexpr int64_t columnLeftX(int64_t column, int32_t viewScrollX, RollScale scale = {}) {
    return 65 + scale.columnWidth * (column - 1) - viewScrollX;
}
constexpr int64_t rowTopY(int64_t row, int32_t viewScrollY, RollScale scale = {}) {
    return scale.rowHeight * (row - 1) - viewScrollY;
}
constexpr int64_t noteBoxX(int64_t column, int32_t viewScrollX, RollScale scale = {}) {
    return columnLeftX(column, viewScrollX, scale) + scale.boxInsetX();
}
constexpr int64_t noteBoxY(int64_t row, int32_t viewScrollY, RollScale scale = {}) {
    return rowTopY(row, viewScrollY, scale) + scale.boxInsetY();
}
constexpr int64_t bridgeX(int64_t column, int32_t viewScrollX, RollScale scale = {}) {
    return noteBoxX(column - 1, viewScrollX, scale) + scale.boxWidth() - 1;
}
constexpr int64_t cursorX(int64_t playPosition, int32_t viewScrollX, RollScale scale = {}) {
    return noteBoxX(playPosition, viewScrollX, scale);
}
// Whether a note box of this row lies wholly above the bottom panel (12 * row < H - 142 + scroll
// for the written rows).
constexpr bool boxAbovePanel(int64_t row, int32_t viewScrollY, int height, RollScale scale = {}) {
    return noteBoxY(row, viewScrollY, scale) + scale.boxHeight() <= height - panelHeight;
}
constexpr int64_t panMarkY(int64_t pan, int height) {
    return height - 141 + 5 * pan;
}
int64_t volumeMarkY(int64_t volume, int height);

// Whether a record at position with length is drawn at all (the note layer's column test).
constexpr bool isInView(int64_t position, int64_t length, int width, int32_t viewScrollX, RollScale scale = {}) {
    const int64_t cw = scale.columnWidth;
    return cw * position < width + static_cast<int64_t>(viewScrollX) && cw * (position + length - 1) > viewScrollX;
}

// Scroll offsets from the scroll bars' values and maxima, for a roll of width x height pixels.
// The bars cover the same song at every zoom: at the maximum the last column or row meets the
// edge. Zoomed out so far that the roll is smaller than the view, the offset stays at 0.
int32_t viewScrollXFromBar(int value, int maximum, int width, RollScale scale = {});
int32_t viewScrollYFromBar(int value, int maximum, int height, RollScale scale = {});

}  // namespace tromel::roll
