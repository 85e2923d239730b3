// Start-up of the editor: the program's folder, the audio checks, the roll pictures and the main window.
#pragma once

#include "app/Prompts.h"
#include "audio/AudioLayer.h"

#include <QStringList>

namespace tromel {

// Runs the editor until its main window closes and returns the exit code. When the audio layer
// fails its checks the user is told and 1 is returned at once, with no window ever shown.
// Each of songs (absolute paths) opens in its own document window once the main window shows.
int runEditor(audio::AudioLayer& layer, Prompts& prompts, const QStringList& songs = {});

}  // namespace tromel
