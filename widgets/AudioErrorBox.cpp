// The audio error box.
#include "widgets/AudioErrorBox.h"

namespace tromel {

QString audioErrorText(const QString& text, const audio::AudioLayer& layer) {
    return text + "\r\n\r\nerror code: " + QString::number(layer.lastError());
}

void showAudioError(Prompts& prompts, QWidget* parent, const QString& text, const audio::AudioLayer& layer) {
    prompts.message(parent, MessageIcon::Warning, "Error", audioErrorText(text, layer));
}

}  // namespace tromel
