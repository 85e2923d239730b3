// The audio layer on the default SDL output device.
#include "audio/sdl/SdlAudioLayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tromel::audio {

SdlAudioLayer::~SdlAudioLayer() {
    closeDevice();
}

bool SdlAudioLayer::initDevice(int sampleRate) {
    closeDevice();
    // The program handles SIGTERM and SIGINT itself, keeping unsaved work; SDL's own handlers
    // would turn them into a quit event nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        MixerAudioLayer::initDevice(sampleRate);
        setError(errorNoDevice);
        return false;
    }
    m_sdlStarted = true;
    SDL_AudioSpec wanted{};
    wanted.freq = this->sampleRate();  // the mixer's rate; SDL converts if the device differs
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = bufferFrames;
    wanted.callback = &SdlAudioLayer::callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FORMAT_CHANGE);
    if (m_device == 0 || (obtained.format != AUDIO_F32SYS && obtained.format != AUDIO_S16SYS)) {
        closeDevice();
        setError(errorNoDevice);
        return false;
    }
    m_float = obtained.format == AUDIO_F32SYS;
    m_deviceFrames = obtained.samples;
    m_scratch.assign(static_cast<std::size_t>(std::max<int>(obtained.samples, bufferFrames)) * 2, 0.0f);
    SDL_PauseAudioDevice(m_device, 0);
    setError(errorNone);
    return true;
}

void SdlAudioLayer::closeDevice() {
    if (m_device != 0) {
        // Returns once the callback has finished: after this nothing renders.
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    if (m_sdlStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_sdlStarted = false;
    }
}

void SdlAudioLayer::release() {
    closeDevice();
    MixerAudioLayer::release();
}

void SdlAudioLayer::callback(void* self, Uint8* stream, int bytes) {
    static_cast<SdlAudioLayer*>(self)->fill(stream, bytes);
}

// [audio thread]
void SdlAudioLayer::fill(Uint8* stream, int bytes) {
    const int bytesPerFrame = 2 * (m_float ? static_cast<int>(sizeof(float)) : static_cast<int>(sizeof(int16_t)));
    int frames = bytes / bytesPerFrame;
    const int chunk = static_cast<int>(m_scratch.size() / 2);
    while (frames > 0) {
        const int n = std::min(frames, chunk);
        renderFrames(m_scratch.data(), n);
        if (m_float) {
            std::memcpy(stream, m_scratch.data(), static_cast<std::size_t>(n) * 2 * sizeof(float));
        } else {
            auto* out = reinterpret_cast<int16_t*>(stream);
            for (int i = 0; i < 2 * n; ++i)
                out[i] = static_cast<int16_t>(std::lrint(m_scratch[i] * 32767.0f));
        }
        stream += n * bytesPerFrame;
        frames -= n;
    }
}

}  // namespace tromel::audio
