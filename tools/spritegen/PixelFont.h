// A tiny bitmap font for the sprite sheet's digits and panel words, so the artwork needs no system fonts.
#pragma once

#include <QImage>
#include <QString>

namespace tromel::spritegen {

// Draws text with its top-left corner at (x, y); returns the x just past the last glyph.
int drawPixelText(QImage& image, int x, int y, const QString& text, QRgb colour);
// Width in pixels of text drawn with drawPixelText.
int pixelTextWidth(const QString& text);

}  // namespace tromel::spritegen
