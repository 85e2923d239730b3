/* libtromel: plays Organya songs ("Org-02" and "Org-03") in any program, with the editor's own engine and samples. */
#ifndef TROMEL_TROMEL_H
#define TROMEL_TROMEL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Thread rules.
 * - A const tromel_song* may be read by many threads at once (get_info, duration, player_new).
 * - Players are independent: different players may render on different threads at once.
 * - tromel_player_set_loops and tromel_player_mute_channel may be called from any thread while another thread
 *   renders the same player; they are lock-free and take effect at the next render call.
 * - tromel_player_seek and tromel_player_free must not run while the same player renders: call them under the
 *   lock your audio callback runs under (for example SDL_LockAudioDevice).
 * - tromel_player_render and tromel_player_render_s16 are real-time safe: they never allocate, lock or do I/O,
 *   so they may run in an audio callback. Everything a song plays is prepared in tromel_player_new.
 * - A song must outlive every player made from it.
 *
 * Errors: functions returning int give TROMEL_OK or a negative TROMEL_ERROR_ value; functions returning a pointer
 * give NULL and, where they take one, write the reason into `error` (always NUL-terminated and cut to
 * `error_size`; `error` may be NULL or `error_size` 0).
 */

#define TROMEL_VERSION_MAJOR 0
#define TROMEL_VERSION_MINOR 8
#define TROMEL_VERSION_PATCH 0

enum { TROMEL_OK = 0, TROMEL_ERROR_ARGUMENT = -1, TROMEL_ERROR_STATE = -2 };

/* The lowest and highest output rates a player accepts, in Hz. */
enum { TROMEL_RATE_MIN = 22050, TROMEL_RATE_MAX = 192000 };
/* Channels 0-7 are the instruments, 8-15 the drums. */
enum { TROMEL_CHANNELS = 16 };

typedef struct tromel_song tromel_song;     /* opaque */
typedef struct tromel_player tromel_player; /* opaque */

/* MAJOR * 10000 + MINOR * 100 + PATCH of the library in use. */
int tromel_version(void);
/* "MAJOR.MINOR.PATCH", in static storage. */
const char* tromel_version_string(void);

/* A song from the bytes of a file, copied. NULL when the bytes are not a song, with the reason in `error`. */
tromel_song* tromel_song_load(const void* data, size_t size, char* error, size_t error_size);
/* A song from a file. The path is bytes, as the system takes it; only regular files are read, never blocking. */
tromel_song* tromel_song_load_file(const char* path, char* error, size_t error_size);
/* NULL: nothing. */
void tromel_song_free(tromel_song* song);

typedef struct {
    size_t struct_size;             /* the caller sets sizeof(tromel_song_info) */
    int version;                    /* 2 for "Org-02", 3 for "Org-03" */
    int tempo_ms;                   /* milliseconds per step */
    int beats_per_bar;              /* the file's first bar field */
    int steps_per_beat;             /* the file's second bar field */
    int32_t loop_begin, loop_end;   /* steps, counted from 0 */
    int channel_sound[16];          /* 0-7: wave of instrument 1-8; 8-15: drum of drum channel 1-8 */
    int channel_notes[16];          /* how many notes each channel holds */
} tromel_song_info;

/* Fills `info` up to info->struct_size bytes. TROMEL_ERROR_ARGUMENT on NULL or a struct_size too small. */
int tromel_song_get_info(const tromel_song* song, tromel_song_info* info);
/* Seconds a render with `loops` repeats of the loop lasts (the first pass not counted); loops < 0: INFINITY.
   A song that cannot play, or NULL: 0. */
double tromel_song_duration(const tromel_song* song, int loops);

/* A player of `song` at `sample_rate` Hz (TROMEL_RATE_MIN to TROMEL_RATE_MAX), looping forever until told
   otherwise. NULL with the reason when the rate is out of range or the song cannot play. */
tromel_player* tromel_player_new(const tromel_song* song, int sample_rate, char* error, size_t error_size);
/* NULL: nothing. */
void tromel_player_free(tromel_player* player);
/* The player's rate in Hz; TROMEL_ERROR_ARGUMENT on NULL. */
int tromel_player_sample_rate(const tromel_player* player);
/* -1 loops forever (the default); N >= 0 plays the loop N more times after the first pass, then ends. */
int tromel_player_set_loops(tromel_player* player, int loops);
/* The loops last set; TROMEL_ERROR_ARGUMENT on NULL. */
int tromel_player_loops(const tromel_player* player);

/* The next `frames` frames of interleaved stereo into `stereo` (2 * frames values, -1 to 1). Returns the frames
   written: fewer than asked at the end of a finite play, then 0; 0 on a NULL player or buffer. */
size_t tromel_player_render(tromel_player* player, float* stereo, size_t frames);
/* The same as 16-bit values: round(x * 32767), clamped, no dither. */
size_t tromel_player_render_s16(tromel_player* player, int16_t* stereo, size_t frames);
/* 1 once a finite play has ended, else 0. */
int tromel_player_finished(const tromel_player* player);

/* Goes to `seconds` along the timeline, as a render from the start would sound there. 0 restarts; past the end
   of a finite play the player is finished. TROMEL_ERROR_ARGUMENT on a negative or non-finite time. */
int tromel_player_seek(tromel_player* player, double seconds);
/* Seconds along the timeline (the loop unrolled); 0 on NULL. */
double tromel_player_position(const tromel_player* player);
/* The frame along the timeline the next render starts at: frames rendered since the start, moved by a seek;
   -1 on NULL. */
int64_t tromel_player_frame(const tromel_player* player);
/* The step last heard, counted from 0 along the timeline (passes of the loop counted); -1 before the first. */
int64_t tromel_player_step(const tromel_player* player);

/* Mutes (1) or unmutes (0) a channel, 0-15: a sounding note fades out over about 2 ms and the channel's later
   events are skipped; unmuted, the channel's next event sounds. TROMEL_ERROR_ARGUMENT on a bad channel. */
int tromel_player_mute_channel(tromel_player* player, int channel, int muted);
/* 1 when muted, 0 when not, TROMEL_ERROR_ARGUMENT on a bad channel or NULL. */
int tromel_player_channel_muted(const tromel_player* player, int channel);

#ifdef __cplusplus
}
#endif

#endif /* TROMEL_TROMEL_H */
