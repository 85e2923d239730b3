// The editor's one report of an audio failure: the text and the audio layer's error code.
#pragma once

#include "widgets/Prompts.h"
#include "audio/AudioLayer.h"

#include <QString>

namespace tromel {

// text, an empty line, then "error code: " and the layer's current error number.
QString audioErrorText(const QString& text, const audio::AudioLayer& layer);
// A modal box titled "Error" with the warning icon; the caller carries on afterwards.
void showAudioError(Prompts& prompts, QWidget* parent, const QString& text, const audio::AudioLayer& layer);

}  // namespace tromel
