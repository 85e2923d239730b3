// Version check, volume range and device of the audio layer, in the order the editor relies on.
#include "app/AudioStartUp.h"

#include "widgets/AudioErrorBox.h"

namespace tromel {

AudioStartUp prepareAudio(audio::AudioLayer& layer, Prompts& prompts) {
    if ((layer.version() >> 16) != audio::expectedVersionHigh) {
        prompts.message(nullptr, MessageIcon::Critical, "Tromel", wrongVersionMessage);
        return AudioStartUp::WrongVersion;
    }
    layer.setMaxVolume(audio::largestVolume);
    if (!layer.initDevice(audio::outputRate)) {
        showAudioError(prompts, nullptr, noDeviceMessage, layer);
        return AudioStartUp::NoDevice;
    }
    return AudioStartUp::Ready;
}

}  // namespace tromel
