/* Plays an Organya song forever through SDL2 with libtromel; Enter mutes or unmutes the drums, q ends.
 *
 *   cc -std=c99 example.c $(pkg-config --cflags --libs tromel sdl2) -o example
 *   ./example SONG.org [SECONDS]
 *
 * With SECONDS it plays that long and ends; without, it reads keys from stdin until q or the end of input. */
#include <SDL.h>
#include <tromel/tromel.h>

#include <stdio.h>
#include <stdlib.h>

/* Runs on SDL's audio thread: the render call never allocates, locks or waits, so it belongs here. */
static void fill(void* player, Uint8* stream, int length) {
    tromel_player_render((tromel_player*)player, (float*)stream, (size_t)length / (2 * sizeof(float)));
}

/* Called from the main thread while the audio thread renders: the library allows it for mute. */
static void set_drums_muted(tromel_player* player, int muted) {
    int channel;
    for (channel = 8; channel < TROMEL_CHANNELS; ++channel)
        tromel_player_mute_channel(player, channel, muted);
    puts(muted ? "drums muted" : "drums on");
    fflush(stdout);
}

int main(int argc, char** argv) {
    char error[256];
    tromel_song* song;
    tromel_player* player;
    SDL_AudioSpec wanted, obtained;
    SDL_AudioDeviceID device;
    int drums_muted = 0;
    int key;

    if (argc < 2) {
        fprintf(stderr, "usage: %s SONG.org [SECONDS]\n", argv[0]);
        return 2;
    }
    song = tromel_song_load_file(argv[1], error, sizeof error);
    if (!song) {
        fprintf(stderr, "%s: %s\n", argv[1], error);
        return 1;
    }
    if (SDL_Init(SDL_INIT_AUDIO) != 0) {
        fprintf(stderr, "no audio: %s\n", SDL_GetError());
        tromel_song_free(song);
        return 1;
    }
    SDL_zero(wanted);
    wanted.freq = 44100;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = fill;
    /* The player is made before the device starts, so the callback always has one to render. */
    player = tromel_player_new(song, wanted.freq, error, sizeof error);
    if (!player) {
        fprintf(stderr, "%s: %s\n", argv[1], error);
        SDL_Quit();
        tromel_song_free(song);
        return 1;
    }
    wanted.userdata = player;
    device = SDL_OpenAudioDevice(NULL, 0, &wanted, &obtained, 0);
    if (device == 0) {
        fprintf(stderr, "no audio device: %s\n", SDL_GetError());
        tromel_player_free(player);
        SDL_Quit();
        tromel_song_free(song);
        return 1;
    }
    SDL_PauseAudioDevice(device, 0);

    if (argc > 2) {
        SDL_Delay((Uint32)(atof(argv[2]) * 1000));
    } else {
        printf("Enter: drums on or off, q: quit\n");
        while ((key = getchar()) != EOF && key != 'q') {
            if (key == '\n') {
                drums_muted = !drums_muted;
                set_drums_muted(player, drums_muted);
            }
        }
    }

    /* Closing the device waits for the callback to return; only then may the player go. */
    SDL_CloseAudioDevice(device);
    tromel_player_free(player);
    tromel_song_free(song);
    SDL_Quit();
    return 0;
}
