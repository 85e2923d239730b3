// The program icon's shapes on a 64-unit grid, painted or written out as SVG.
#include "tools/spritegen/ProgramIcon.h"

#include "roll/ui/SpriteLayout.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <vector>

namespace tromel::spritegen {
namespace {

namespace sprite = roll::sprite;

constexpr double grid = 64.0;

struct Shape {
    double x, y, width, height;
    uint32_t rgb;
    double radius = 0;
};

// Back to front: the rounded frame, the lanes, the keyboard, the notes, the cursor.
std::vector<Shape> iconShapes() {
    std::vector<Shape> shapes{{2, 2, 60, 60, 0x22272B, 10}};
    for (int row = 0; row < 8; ++row) {
        const bool black = row % 2 == 1;
        shapes.push_back({18, 10.0 + 5.5 * row, 38, 5.5, black ? sprite::blackLaneGround : sprite::whiteLaneGround});
    }
    shapes.push_back({8, 10, 10, 44, 0xF2F2EC, 1.5});
    for (const double y : {14.5, 25.5, 36.5, 47.5})
        shapes.push_back({8, y, 6, 3.5, 0x141418});
    const struct {
        double x, y, width;
        int channel;
    } notes[] = {{20, 43, 12, 0}, {26, 32, 14, 2}, {36, 21, 16, 3}, {44, 37, 10, 1}, {22, 15, 8, 4}};
    for (const auto& note : notes)
        shapes.push_back({note.x, note.y, note.width, 5, sprite::brightNoteColours[note.channel], 1.5});
    shapes.push_back({41, 10, 2.5, 44, sprite::cursorRed});
    return shapes;
}

QString number(double value) {
    return QString::number(value, 'g', 4);
}

}  // namespace

QImage paintProgramIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / grid, size / grid);
    painter.setPen(Qt::NoPen);
    for (const Shape& shape : iconShapes()) {
        painter.setBrush(QColor::fromRgb(0xFF000000u | shape.rgb));
        painter.drawRoundedRect(QRectF(shape.x, shape.y, shape.width, shape.height), shape.radius, shape.radius);
    }
    return icon;
}

QByteArray programIconSvg() {
    QString svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n";
    for (const Shape& shape : iconShapes()) {
        svg +=
            QString("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"#%6\"/>\n")
                .arg(number(shape.x), number(shape.y), number(shape.width), number(shape.height), number(shape.radius))
                .arg(shape.rgb, 6, 16, QChar('0'));
    }
    svg += "</svg>\n";
    return svg.toUtf8();
}

}  // namespace tromel::spritegen
