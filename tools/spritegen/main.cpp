// spritegen: writes the roll's sprite sheet and the About picture as PNG files into a folder.
#include "tools/spritegen/SpriteSheet.h"

#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: spritegen OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "spritegen: cannot create %s\n", argv[1]);
        return 1;
    }
    const bool written = tromel::spritegen::paintSpriteSheet().save(folder + "/sprites.png", "PNG") &&
                         tromel::spritegen::paintAboutPicture().save(folder + "/about.png", "PNG");
    if (!written) {
        std::fprintf(stderr, "spritegen: cannot write the pictures into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
