// The audio layer on the default SDL output device.
#pragma once

#include "audio/MixerAudioLayer.h"

#include <SDL.h>

#include <vector>

namespace tromel::audio {

// The mixer runs in SDL's audio callback; everything else is as in MixerAudioLayer.
class SdlAudioLayer : public MixerAudioLayer {
public:
    static constexpr int bufferFrames = 512;

    SdlAudioLayer() = default;
    ~SdlAudioLayer() override;

    // [user-interface thread] Opens the default device at the mixer's rate, stereo (float, or
    // 16-bit when the device insists); false with errorNoDevice when none opens.
    bool initDevice(int sampleRate) override;
    // [user-interface thread] Closes the device, then frees every sample and channel.
    void release() override;
    // The limiter's look-ahead and a buffer of the device's, which plays while the next is mixed.
    int outputLatencyFrames() const override { return MixerAudioLayer::outputLatencyFrames() + m_deviceFrames; }

private:
    static void callback(void* self, Uint8* stream, int bytes);
    // [audio thread]
    void fill(Uint8* stream, int bytes);
    void closeDevice();

    SDL_AudioDeviceID m_device = 0;
    bool m_sdlStarted = false;
    bool m_float = true;
    int m_deviceFrames = bufferFrames;
    std::vector<float> m_scratch;  // sized once at open, used only by the callback
};

}  // namespace tromel::audio
