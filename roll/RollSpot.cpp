// A pointer position on the roll read in song terms: its column, row, area and strip values.
#include "roll/RollSpot.h"

#include "roll/RollGeometry.h"

#include <algorithm>
#include <cmath>

namespace tromel::roll {
namespace {

constexpr double pixelLimit = 1.0e9;

double clampPixel(double coordinate) {
    if (std::isnan(coordinate))
        return 0.0;
    return std::clamp(coordinate, -pixelLimit, pixelLimit);
}

}  // namespace

int32_t roundPixel(double coordinate) {
    return static_cast<int32_t>(std::nearbyint(clampPixel(coordinate)));
}

RollSpot::RollSpot(double x, double y, int height, int32_t viewScrollX, int32_t viewScrollY, RollScale scale)
    : m_x(clampPixel(x)),
      m_y(clampPixel(y)),
      m_height(height),
      m_viewScrollX(viewScrollX),
      m_scale(scale),
      m_column(getColumnFromX(pixelFloor(m_x), viewScrollX, scale)),
      m_row(getRowFromY(pixelFloor(m_y), viewScrollY, scale)) {}

bool RollSpot::inRoll() const {
    return rightOfKeyboard() && m_y <= m_height - panelHeight;
}

bool RollSpot::onKeyboard() const {
    return m_x >= 0 && m_x < keyStripWidth && !belowRoll();
}

bool RollSpot::belowRoll() const {
    return m_y > m_height - panelHeight;
}

bool RollSpot::inPanStrip() const {
    return belowRoll() && m_y < m_height - panelHeight / 2;
}

bool RollSpot::inVolumeStrip() const {
    return m_y > m_height - panelHeight / 2;
}

int16_t RollSpot::pan() const {
    const double pan = std::floor((m_y - (m_height - panelHeight)) / 5.0);
    return static_cast<int16_t>(std::clamp(pan, 0.0, 12.0));
}

int16_t RollSpot::volume() const {
    const double volume = 248.0 - std::floor((m_y - (m_height - panelHeight / 2)) / 72.0 * 248.0);
    return static_cast<int16_t>(std::clamp(volume, 0.0, 248.0));
}

double RollSpot::offsetInColumn() const {
    return m_x - keyStripWidth - m_scale.columnWidth * (static_cast<double>(m_column) - 1) + m_viewScrollX;
}

}  // namespace tromel::roll
