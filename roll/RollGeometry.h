// The piano roll's pixel grid: layout constants, song-to-pixel positions and the pointer mapping.
#pragma once

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

// Column under window x: 0 on the keyboard (x <= 64). The mapping lies one pixel left of the
// drawn columns, so a column's grid line already gives the next column.
int32_t getColumnFromX(int32_t x, int32_t viewScrollX);
// Row under window y, for every y (0 and below above the roll).
int32_t getRowFromY(int32_t y, int32_t viewScrollY);
// Pointer coordinates are rounded down to whole pixels first.
int32_t pixelFloor(double coordinate);

// Window positions of what the roll draws (64-bit: positions from files may be huge).
constexpr int64_t noteBoxX(int64_t column, int32_t viewScrollX) {
    return 16 * (column - 1) + 67 - viewScrollX;
}
constexpr int64_t noteBoxY(int64_t row, int32_t viewScrollY) {
    return 12 * (row - 1) + 1 - viewScrollY;
}
constexpr int64_t bridgeX(int64_t column, int32_t viewScrollX) {
    return 16 * (column - 1) + 62 - viewScrollX;
}
constexpr int64_t columnLeftX(int64_t column, int32_t viewScrollX) {
    return 65 + 16 * (column - 1) - viewScrollX;
}
constexpr int64_t rowTopY(int64_t row, int32_t viewScrollY) {
    return 12 * (row - 1) - viewScrollY;
}
constexpr int64_t cursorX(int64_t playPosition, int32_t viewScrollX) {
    return noteBoxX(playPosition, viewScrollX);
}
constexpr int64_t panMarkY(int64_t pan, int height) {
    return height - 141 + 5 * pan;
}
int64_t volumeMarkY(int64_t volume, int height);

// Whether a record at position with length is drawn at all (the note layer's column test).
constexpr bool isInView(int64_t position, int64_t length, int width, int32_t viewScrollX) {
    return 16 * position < width + static_cast<int64_t>(viewScrollX) && 16 * (position + length - 1) > viewScrollX;
}

// Scroll offsets from the scroll bars' values and maxima, for a roll of width x height pixels.
int32_t viewScrollXFromBar(int value, int maximum, int width);
int32_t viewScrollYFromBar(int value, int maximum, int height);

}  // namespace tromel::roll
