// libtromel's C functions: songs and players behind the public header, every refusal a message.
#include "capi/tromel/tromel.h"

#include "audio/playback/SongCompiler.h"
#include "capi/Player.h"
#include "song/OrgFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <string>

#define TROMEL_EXPORT extern "C" __attribute__((visibility("default")))

struct tromel_song {
    tromel::Song song;
};

struct tromel_player {
    const tromel_song* song;
    std::unique_ptr<tromel::capi::Player> player;
};

namespace {

// Nothing may leave a C function as an exception: what the engine throws (memory above all) becomes its text.
std::string failureText(const std::exception& failure) {
    return dynamic_cast<const std::bad_alloc*>(&failure) ? "not enough memory" : failure.what();
}

// Cut to the buffer and always ended, whatever the buffer.
void writeError(char* error, size_t size, const std::string& text) {
    if (!error || size == 0)
        return;
    const size_t length = std::min(text.size(), size - 1);
    std::memcpy(error, text.data(), length);
    error[length] = '\0';
}

bool validChannel(int channel) {
    return channel >= 0 && channel < TROMEL_CHANNELS;
}

tromel_song* loaded(std::unique_ptr<tromel_song> song, const tromel::LoadResult& result, char* error,
                    size_t errorSize) {
    if (!result.ok()) {
        writeError(error, errorSize, result.reason);
        return nullptr;
    }
    writeError(error, errorSize, "");
    return song.release();
}

}  // namespace

TROMEL_EXPORT int tromel_version(void) {
    return TROMEL_VERSION_MAJOR * 10000 + TROMEL_VERSION_MINOR * 100 + TROMEL_VERSION_PATCH;
}

TROMEL_EXPORT const char* tromel_version_string(void) {
    return TROMEL_VERSION;
}

TROMEL_EXPORT tromel_song* tromel_song_load(const void* data, size_t size, char* error, size_t error_size) {
    if (!data && size > 0) {
        writeError(error, error_size, "no bytes to read: the data is NULL");
        return nullptr;
    }
    try {
        auto song = std::make_unique<tromel_song>();
        const auto* bytes = static_cast<const uint8_t*>(data);
        const tromel::LoadResult result =
            tromel::readOrgBytes(std::span<const uint8_t>(bytes, bytes ? size : 0), song->song);
        return loaded(std::move(song), result, error, error_size);
    } catch (const std::exception& failure) {
        writeError(error, error_size, failureText(failure));
        return nullptr;
    }
}

TROMEL_EXPORT tromel_song* tromel_song_load_file(const char* path, char* error, size_t error_size) {
    if (!path) {
        writeError(error, error_size, "no file to read: the path is NULL");
        return nullptr;
    }
    try {
        auto song = std::make_unique<tromel_song>();
        const tromel::LoadResult result = tromel::loadOrgFile(song->song, std::filesystem::path(path));
        return loaded(std::move(song), result, error, error_size);
    } catch (const std::exception& failure) {
        writeError(error, error_size, failureText(failure));
        return nullptr;
    }
}

TROMEL_EXPORT void tromel_song_free(tromel_song* song) {
    delete song;
}

TROMEL_EXPORT int tromel_song_get_info(const tromel_song* song, tromel_song_info* info) {
    constexpr size_t smallest = offsetof(tromel_song_info, version) + sizeof(int);
    if (!song || !info || info->struct_size < smallest)
        return TROMEL_ERROR_ARGUMENT;
    const tromel::Song& s = song->song;
    tromel_song_info full{};
    full.struct_size = info->struct_size;
    full.version = s.fileVersion;
    full.tempo_ms = s.tempo;
    full.beats_per_bar = s.stepsPerBar;
    full.steps_per_beat = s.beatsPerStep;
    full.loop_begin = s.loopBegin;
    full.loop_end = s.loopEnd;
    for (int ch = 0; ch < 8; ++ch) {
        full.channel_sound[ch] = s.instruments[ch].wave;
        full.channel_sound[8 + ch] = s.drums[ch].wave;
        full.channel_notes[ch] = s.instrumentNotes.liveCount(ch);
        full.channel_notes[8 + ch] = s.drumNotes.liveCount(ch);
    }
    std::memcpy(info, &full, std::min(info->struct_size, sizeof full));
    return TROMEL_OK;
}

TROMEL_EXPORT double tromel_song_duration(const tromel_song* song, int loops) {
    if (!song || tromel::audio::playRefusal(song->song))
        return 0.0;
    if (loops < 0)
        return INFINITY;
    const tromel::Song& s = song->song;
    const double steps = s.loopEnd + static_cast<double>(loops) * (s.loopEnd - s.loopBegin);
    return steps * s.tempo / 1000.0;
}

TROMEL_EXPORT tromel_player* tromel_player_new(const tromel_song* song, int sample_rate, char* error,
                                               size_t error_size) {
    if (!song) {
        writeError(error, error_size, "no song to play: the song is NULL");
        return nullptr;
    }
    if (const auto reason = tromel::capi::Player::refusal(song->song, sample_rate)) {
        writeError(error, error_size, *reason);
        return nullptr;
    }
    try {
        auto player = std::make_unique<tromel_player>();
        player->song = song;
        player->player = std::make_unique<tromel::capi::Player>(song->song, sample_rate);
        writeError(error, error_size, "");
        return player.release();
    } catch (const std::exception& failure) {
        writeError(error, error_size, failureText(failure));
        return nullptr;
    }
}

TROMEL_EXPORT void tromel_player_free(tromel_player* player) {
    delete player;
}

TROMEL_EXPORT int tromel_player_sample_rate(const tromel_player* player) {
    return player ? player->player->rate() : TROMEL_ERROR_ARGUMENT;
}

TROMEL_EXPORT int tromel_player_set_loops(tromel_player* player, int loops) {
    if (!player || loops < -1)
        return TROMEL_ERROR_ARGUMENT;
    player->player->setLoops(loops);
    return TROMEL_OK;
}

TROMEL_EXPORT int tromel_player_loops(const tromel_player* player) {
    return player ? player->player->loops() : TROMEL_ERROR_ARGUMENT;
}

TROMEL_EXPORT size_t tromel_player_render(tromel_player* player, float* stereo, size_t frames) {
    if (!player || !stereo)
        return 0;
    return player->player->render(stereo, frames);
}

TROMEL_EXPORT size_t tromel_player_render_s16(tromel_player* player, int16_t* stereo, size_t frames) {
    if (!player || !stereo)
        return 0;
    return player->player->renderS16(stereo, frames);
}

TROMEL_EXPORT int tromel_player_finished(const tromel_player* player) {
    return player && player->player->finished() ? 1 : 0;
}

TROMEL_EXPORT int tromel_player_seek(tromel_player* player, double seconds) {
    if (!player || !std::isfinite(seconds) || seconds < 0.0)
        return TROMEL_ERROR_ARGUMENT;
    // Far beyond any play's end, and far from the limits of the frame count.
    const double frames = std::min(seconds * player->player->rate(), 0x1p62);
    try {
        player->player->seek(static_cast<int64_t>(std::llround(frames)));
    } catch (const std::exception&) {
        return TROMEL_ERROR_STATE;
    }
    return TROMEL_OK;
}

TROMEL_EXPORT double tromel_player_position(const tromel_player* player) {
    if (!player)
        return 0.0;
    return static_cast<double>(player->player->frame()) / player->player->rate();
}

TROMEL_EXPORT int64_t tromel_player_frame(const tromel_player* player) {
    return player ? player->player->frame() : -1;
}

TROMEL_EXPORT int64_t tromel_player_step(const tromel_player* player) {
    return player ? player->player->step() : -1;
}

TROMEL_EXPORT int tromel_player_mute_channel(tromel_player* player, int channel, int muted) {
    if (!player || !validChannel(channel))
        return TROMEL_ERROR_ARGUMENT;
    player->player->setMuted(channel, muted != 0);
    return TROMEL_OK;
}

TROMEL_EXPORT int tromel_player_channel_muted(const tromel_player* player, int channel) {
    if (!player || !validChannel(channel))
        return TROMEL_ERROR_ARGUMENT;
    return player->player->muted(channel) ? 1 : 0;
}
