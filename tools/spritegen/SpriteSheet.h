// Paints Tromel's own roll artwork onto a sprite sheet laid out as roll/ui/SpriteLayout.h says.
#pragma once

#include <QImage>

namespace tromel::spritegen {

QImage paintSpriteSheet();
// The About window's 32 x 32 picture.
QImage paintAboutPicture();

}  // namespace tromel::spritegen
