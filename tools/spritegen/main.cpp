// spritegen: writes the roll's sprite sheet, the About picture and the program icon (PNG in
// several sizes under icons/, and tromel.svg) into a folder.
#include "tools/spritegen/ProgramIcon.h"
#include "tools/spritegen/SpriteSheet.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>

namespace {

bool writeIcons(const QString& folder) {
    if (!QDir().mkpath(folder + "/icons"))
        return false;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        if (!tromel::spritegen::paintProgramIcon(size).save(QString("%1/icons/tromel-%2.png").arg(folder).arg(size)))
            return false;
    }
    QFile svg(folder + "/icons/tromel.svg");
    const QByteArray text = tromel::spritegen::programIconSvg();
    return svg.open(QIODevice::WriteOnly) && svg.write(text) == text.size();
}

}  // namespace

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
                         tromel::spritegen::paintAboutPicture().save(folder + "/about.png", "PNG") &&
                         writeIcons(folder);
    if (!written) {
        std::fprintf(stderr, "spritegen: cannot write the pictures into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
