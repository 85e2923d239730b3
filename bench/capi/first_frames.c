/* What a program's first sound costs: load a song file, make a player, render the first 4096 frames. The
   benchmark starts this afresh for every run, so the library's loading and its first preparations count; the
   time from the load to the last frame, apart from the process around it, is written on stdout in
   nanoseconds. */
#define _POSIX_C_SOURCE 199309L
#include <tromel/tromel.h>

#include <stdio.h>
#include <time.h>

static long long nanoseconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

int main(int argc, char** argv) {
    static float frames[2 * 4096];
    char error[256];
    tromel_song* song;
    tromel_player* player;
    size_t rendered;
    long long start;
    long long end;
    if (argc != 2) {
        fprintf(stderr, "usage: tromel_first_frames SONG.org\n");
        return 2;
    }
    start = nanoseconds();
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
    end = nanoseconds();
    printf("%lld\n", end - start);
    tromel_player_free(player);
    tromel_song_free(song);
    return rendered == 4096 ? 0 : 1;
}
