// Start-up of the editor: the program's folder, the audio checks, the roll pictures and the main window.
#pragma once

#include "audio/AudioLayer.h"
#include "widgets/Prompts.h"

class QObject;
#include <QStringList>

namespace tromel {

// While `owner` lives, a timer posts the audio layer's commands that found the mixer's queue full
// as soon as there is room, instead of leaving them for the user's next action.
void retryPendingCommands(audio::AudioLayer& layer, QObject* owner);

// Runs the editor until its main window closes and returns the exit code. When the audio layer
// fails its checks the user is told and 1 is returned at once, with no window ever shown.
// Each of songs (absolute paths) opens in its own document window once the main window shows.
int runEditor(audio::AudioLayer& layer, Prompts& prompts, const QStringList& songs = {});

}  // namespace tromel
