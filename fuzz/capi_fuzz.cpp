// Fuzzes libtromel as a program uses it: arbitrary bytes loaded as a song, and a second of it played, with a
// rate, loops, mutes and a seek taken from the bytes' last ones.
#include "capi/tromel/tromel.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char error[64];
    tromel_song* song = tromel_song_load(data, size, error, sizeof error);
    if (!song)
        return 0;
    tromel_song_info info{};
    info.struct_size = sizeof info;
    tromel_song_get_info(song, &info);
    tromel_song_duration(song, 2);
    const uint8_t last = size > 0 ? data[size - 1] : 0;
    const int rate = last & 1 ? 48000 : 44100;
    if (tromel_player* player = tromel_player_new(song, rate, error, sizeof error)) {
        tromel_player_set_loops(player, (last >> 1 & 3) - 1);
        tromel_player_mute_channel(player, last >> 3 & 15, 1);
        std::vector<float> buffer(2 * 4096);
        for (int done = 0; done < rate; done += 4096) {
            if (done == 4096 * 4 && last & 128)
                tromel_player_seek(player, last * 0.37);
            if (tromel_player_render(player, buffer.data(), 4096) == 0)
                break;
        }
        tromel_player_step(player);
        tromel_player_free(player);
    }
    tromel_song_free(song);
    return 0;
}
