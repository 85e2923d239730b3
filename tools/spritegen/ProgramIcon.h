// Tromel's icon: a small piano roll with coloured notes and the red play cursor, drawn from one
// list of shapes as PNG pictures of any size and as an SVG file.
#pragma once

#include <QByteArray>
#include <QImage>

namespace tromel::spritegen {

// The icon as a size x size picture with a transparent surround.
QImage paintProgramIcon(int size);
// The same shapes as a scalable SVG document.
QByteArray programIconSvg();

}  // namespace tromel::spritegen
