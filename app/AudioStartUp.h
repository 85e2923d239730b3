// The audio checks the editor makes before any window opens.
#pragma once

#include "audio/AudioLayer.h"
#include "widgets/Prompts.h"

namespace tromel {

enum class AudioStartUp { Ready, WrongVersion, NoDevice };

inline constexpr const char* wrongVersionMessage = "An incorrect version of BASS.DLL was loaded";
inline constexpr const char* noDeviceMessage = "Can't initialize device";

// Checks the layer's version, sets the largest volume and opens the default device at 44100 Hz,
// telling the user when the program cannot go on.
AudioStartUp prepareAudio(audio::AudioLayer& layer, Prompts& prompts);

}  // namespace tromel
