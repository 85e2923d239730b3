/* What a program's first sound costs: load a song file, make a player, render the first 4096 frames. The
   benchmark starts this afresh for every run, so the library's loading and its first preparations count; the
   time from the load to the last frame, apart from the process around it, is written on stdout in
   nanoseconds: the wall clock's, then the process's CPU time. */
#define _POSIX_C_SOURCE 199309L
#include <tromel/tromel.h>

#include <stdio.h>
#include <time.h>

static long long nanoseconds(clockid_t clock) {
    struct timespec now;
    clock_gettime(clock, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

int main(int argc, char** argv) {
    static float frames[2 * 4096];
    char error[256];
    tromel_song* song;
    tromel_player* player;
    size_t rendered;
    long long start;
    long long startCpu;
    if (argc != 2) {
        fprintf(stderr, "usage: tromel_first_frames SONG.org\n");
        return 2;
    }
    start = nanoseconds(CLOCK_MONOTONIC);
    startCpu = nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
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
    printf("%lld %lld\n", nanoseconds(CLOCK_MONOTONIC) - start, nanoseconds(CLOCK_PROCESS_CPUTIME_ID) - startCpu);
    tromel_player_free(player);
    tromel_song_free(song);
    return rendered == 4096 ? 0 : 1;
}
