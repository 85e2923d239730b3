// tromel: the Organya music editor.
#include "app/CommandLine.h"
#include "app/DialogPrompts.h"
#include "app/EditorStart.h"
#include "audio/sdl/SdlAudioLayer.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (const std::optional<int> answered = tromel::answerInformationRequest(argc, argv))
        return *answered;
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tromel");
    QApplication::setApplicationVersion(TROMEL_VERSION);
    const tromel::SongArguments arguments = tromel::songArguments(QApplication::arguments());
    if (arguments.exitCode)
        return *arguments.exitCode;
    tromel::audio::SdlAudioLayer layer;
    tromel::DialogPrompts prompts;
    return tromel::runEditor(layer, prompts, arguments.songs);
}
