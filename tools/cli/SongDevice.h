// A song played on the sound device: one libtromel player fed from SDL's audio callback.
#pragma once

#include <SDL.h>
#include <tromel/tromel.h>

#include <atomic>
#include <string>

namespace tromel::cli {

class SongDevice {
public:
    // Opens the device and makes the player at the rate the device runs at; ready() tells whether it worked
    // and error() why not. The song must outlive the device.
    SongDevice(const tromel_song* song, int loops);
    ~SongDevice();
    SongDevice(const SongDevice&) = delete;
    SongDevice& operator=(const SongDevice&) = delete;

    bool ready() const { return m_player != nullptr; }
    const std::string& error() const { return m_error; }

    void setPaused(bool paused);
    bool paused() const { return m_paused; }
    // Moves the play position by `seconds`, never before the start.
    void seekBy(double seconds);
    double position() const;
    // True once a finite play has ended and its last buffer has left for the device.
    bool ended() const { return m_callbacksSinceEnd.load() >= 2; }

private:
    static void fill(void* self, Uint8* stream, int length);
    void fail(const std::string& reason);

    SDL_AudioDeviceID m_device = 0;
    tromel_player* m_player = nullptr;
    bool m_paused = false;
    bool m_audioStarted = false;
    // Written by the audio callback only; the main thread resets it under the device lock.
    std::atomic<int> m_callbacksSinceEnd{0};
    std::string m_error;
};

}  // namespace tromel::cli
