// Pointer mapping and scroll offsets of the piano roll.
#include "roll/RollGeometry.h"

#include <algorithm>
#include <cmath>

namespace tromel::roll {
namespace {

int sizeAtZoom(int written, int percent, const std::array<int, 5>& levels) {
    return std::find(levels.begin(), levels.end(), percent) != levels.end() ? written * percent / 100 : written;
}

}  // namespace

RollScale RollScale::ofZoom(int zoomXPercent, int zoomYPercent) {
    return {sizeAtZoom(roll::columnWidth, zoomXPercent, zoomLevelsX),
            sizeAtZoom(roll::rowHeight, zoomYPercent, zoomLevelsY)};
}

int32_t getColumnFromX(int32_t x, int32_t viewScrollX, RollScale scale) {
    if (x <= 64)
        return 0;
    const int64_t contentX = static_cast<int64_t>(x) - keyStripWidth + scale.mappingShift() + viewScrollX;
    return static_cast<int32_t>(floorDiv(contentX, scale.columnWidth) + 1);
}

int32_t getRowFromY(int32_t y, int32_t viewScrollY, RollScale scale) {
    return static_cast<int32_t>(floorDiv(static_cast<int64_t>(y) + viewScrollY, scale.rowHeight) + 1);
}

int32_t pixelFloor(double coordinate) {
    return static_cast<int32_t>(std::floor(coordinate));
}

int64_t volumeMarkY(int64_t volume, int height) {
    return height - 70 + static_cast<int64_t>(std::floor((248.0 - static_cast<double>(volume)) / 248.0 * 62.0));
}

int32_t viewScrollXFromBar(int value, int maximum, int width, RollScale scale) {
    const double ratio = static_cast<double>(value) / maximum;
    // Nearest integer with halves to the even neighbour (the default rounding mode).
    const auto offset =
        static_cast<int32_t>(std::nearbyint(std::floor(ratio * scale.rollWidth()) - ratio * (width - keyStripWidth)));
    return scale.isWrittenX() ? offset : std::max(offset, 0);
}

int32_t viewScrollYFromBar(int value, int maximum, int height, RollScale scale) {
    const double ratio = static_cast<double>(value) / maximum;
    const auto offset =
        static_cast<int32_t>(std::floor(ratio * scale.keyboardHeight() - ratio * (height - panelHeight)));
    return scale.isWrittenY() ? offset : std::max(offset, 0);
}

}  // namespace tromel::roll
