// Pointer mapping and scroll offsets of the piano roll.
#include "roll/RollGeometry.h"

#include <cmath>

namespace tromel::roll {

int32_t getColumnFromX(int32_t x, int32_t viewScrollX) {
    if (x <= 64)
        return 0;
    return static_cast<int32_t>(floorDiv(static_cast<int64_t>(x) - 64 + viewScrollX, columnWidth) + 1);
}

int32_t getRowFromY(int32_t y, int32_t viewScrollY) {
    return static_cast<int32_t>(floorDiv(static_cast<int64_t>(y) + viewScrollY, rowHeight) + 1);
}

int32_t pixelFloor(double coordinate) {
    return static_cast<int32_t>(std::floor(coordinate));
}

int64_t volumeMarkY(int64_t volume, int height) {
    return height - 70 + static_cast<int64_t>(std::floor((248.0 - static_cast<double>(volume)) / 248.0 * 62.0));
}

int32_t viewScrollXFromBar(int value, int maximum, int width) {
    const double ratio = static_cast<double>(value) / maximum;
    // Nearest integer with halves to the even neighbour (the default rounding mode).
    return static_cast<int32_t>(std::nearbyint(std::floor(ratio * rollWidth) - ratio * (width - keyStripWidth)));
}

int32_t viewScrollYFromBar(int value, int maximum, int height) {
    const double ratio = static_cast<double>(value) / maximum;
    return static_cast<int32_t>(std::floor(ratio * keyboardHeight - ratio * (height - panelHeight)));
}

}  // namespace tromel::roll
