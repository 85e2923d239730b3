// tromel: the Organya music editor.
#include "app/DialogPrompts.h"
#include "app/EditorStart.h"
#include "audio/sdl/SdlAudioLayer.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tromel");
    tromel::audio::SdlAudioLayer layer;
    tromel::DialogPrompts prompts;
    return tromel::runEditor(layer, prompts);
}
