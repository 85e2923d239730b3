// A song played on the sound device: one libtromel player fed from SDL's audio callback.
#include "tools/cli/SongDevice.h"

#include <algorithm>
#include <cstring>

namespace tromel::cli {

namespace {

constexpr int preferredRate = 44100;
constexpr Uint16 bufferFrames = 2048;

}  // namespace

SongDevice::SongDevice(const tromel_song* song, int loops) {
    char reason[256];
    // Made before the device opens: a paused device plays silence, which would come before the song.
    m_player = tromel_player_new(song, preferredRate, reason, sizeof reason);
    if (!m_player) {
        m_error = reason;
        return;
    }
    tromel_player_set_loops(m_player, loops);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        fail(std::string("no audio device: ") + SDL_GetError());
        return;
    }
    m_audioStarted = true;
    SDL_AudioSpec wanted{};
    wanted.freq = preferredRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = bufferFrames;
    wanted.callback = &SongDevice::fill;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // The device's own rate spares a resampler; a rate the library cannot play is left to SDL to convert.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (m_device != 0 && (obtained.freq < TROMEL_RATE_MIN || obtained.freq > TROMEL_RATE_MAX)) {
        SDL_CloseAudioDevice(m_device);
        m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    }
    if (m_device == 0) {
        fail(std::string("no audio device: ") + SDL_GetError());
        return;
    }
    if (obtained.freq != preferredRate) {
        tromel_player_free(m_player);
        m_player = tromel_player_new(song, obtained.freq, reason, sizeof reason);
        if (!m_player) {
            fail(reason);
            return;
        }
        tromel_player_set_loops(m_player, loops);
    }
    SDL_PauseAudioDevice(m_device, 0);
}

void SongDevice::fail(const std::string& reason) {
    m_error = reason;
    tromel_player_free(m_player);
    m_player = nullptr;
}

SongDevice::~SongDevice() {
    if (m_device != 0)
        SDL_CloseAudioDevice(m_device);
    tromel_player_free(m_player);
    if (m_audioStarted)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SongDevice::setPaused(bool paused) {
    m_paused = paused;
    SDL_PauseAudioDevice(m_device, paused ? 1 : 0);
}

void SongDevice::seekBy(double seconds) {
    SDL_LockAudioDevice(m_device);
    tromel_player_seek(m_player, std::max(0.0, tromel_player_position(m_player) + seconds));
    m_callbacksSinceEnd = 0;
    SDL_UnlockAudioDevice(m_device);
}

double SongDevice::position() const {
    SDL_LockAudioDevice(m_device);
    const double seconds = tromel_player_position(m_player);
    SDL_UnlockAudioDevice(m_device);
    return seconds;
}

// Runs on SDL's audio thread.
void SongDevice::fill(void* self, Uint8* stream, int length) {
    auto* device = static_cast<SongDevice*>(self);
    const std::size_t frames = static_cast<std::size_t>(length) / (2 * sizeof(float));
    std::size_t rendered = 0;
    if (device->m_player)
        rendered = tromel_player_render(device->m_player, reinterpret_cast<float*>(stream), frames);
    if (rendered < frames) {
        std::memset(stream + rendered * 2 * sizeof(float), 0, (frames - rendered) * 2 * sizeof(float));
        device->m_callbacksSinceEnd.fetch_add(1);
    }
}

}  // namespace tromel::cli
