/* What a program's first sound costs: load a song file, make a player, render the first 4096 frames. The
   benchmark starts this afresh for every run, so the library's loading and its first preparations count. */
#include <tromel/tromel.h>

#include <stdio.h>

int main(int argc, char** argv) {
    static float frames[2 * 4096];
    char error[256];
    tromel_song* song;
    tromel_player* player;
    size_t rendered;
    if (argc != 2) {
        fprintf(stderr, "usage: tromel_first_frames SONG.org\n");
        return 2;
    }
    song = tromel_song_load_file(argv[1], error, sizeof error);
    if (!song) {
        fprintf(stderr, "%s: %s\n", argv[1], error);
        return 1;
    }
    player = tromel_player_new(song, 44100, error, sizeof error);
    if (!player) {
        fprintf(stderr, "%s: %s\n", argv[1], error);
        return 1;
    }
    rendered = tromel_player_render(player, frames, 4096);
    tromel_player_free(player);
    tromel_song_free(song);
    return rendered == 4096 ? 0 : 1;
}
