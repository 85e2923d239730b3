/* tromeldec: a GStreamer decoder of Organya songs on libtromel, for decodebin, playbin and the players on them. */
#include "TromelDec.h"

#include <tromel/tromel.h>

#include <math.h>

GST_DEBUG_CATEGORY_STATIC(tromel_dec_debug);
#define GST_CAT_DEFAULT tromel_dec_debug

/* Frames per output buffer: about 23 ms at 44,100 Hz, short enough for a seek to be heard at once. */
#define FRAMES_PER_BUFFER 1024

struct _TromelDec {
    GstNonstreamAudioDecoder parent;
    tromel_song* song;
    tromel_player* player;
    gint num_loops;
    GstAudioFormat format;
};

G_DEFINE_TYPE(TromelDec, tromel_dec, GST_TYPE_NONSTREAM_AUDIO_DECODER)

static GstStaticPadTemplate sink_template =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS(TROMEL_SONG_CAPS));

/* Downstream chooses among these; the editor's own format and rate when it leaves the choice open. */
static GstStaticPadTemplate src_template = GST_STATIC_PAD_TEMPLATE(
    "src", GST_PAD_SRC, GST_PAD_ALWAYS,
    GST_STATIC_CAPS("audio/x-raw, format = (string) { F32LE, S16LE }, layout = (string) interleaved, "
                    "rate = (int) { 44100, 48000 }, channels = (int) 2"));

/* Posts the refusal on the bus. The base class holds its mutex around every call into this file; an
   application answering the error message may call back into the element, so the mutex is let go meanwhile. */
static void post_refusal(TromelDec* dec, const char* what, const char* reason) {
    GST_NONSTREAM_AUDIO_DECODER_UNLOCK_MUTEX(dec);
    GST_ELEMENT_ERROR(dec, STREAM, DECODE, ("%s", what), ("%s", reason));
    GST_NONSTREAM_AUDIO_DECODER_LOCK_MUTEX(dec);
}

static void release_song(TromelDec* dec) {
    tromel_player_free(dec->player);
    dec->player = NULL;
    tromel_song_free(dec->song);
    dec->song = NULL;
}

static gboolean tromel_dec_load_from_buffer(GstNonstreamAudioDecoder* base, GstBuffer* source_data,
                                            guint initial_subsong, GstNonstreamAudioSubsongMode initial_subsong_mode,
                                            GstClockTime* initial_position,
                                            GstNonstreamAudioOutputMode* initial_output_mode, gint* initial_num_loops) {
    TromelDec* dec = TROMEL_DEC(base);
    (void)initial_subsong;
    (void)initial_subsong_mode;
    release_song(dec);

    char reason[512];
    GstMapInfo map;
    if (!gst_buffer_map(source_data, &map, GST_MAP_READ)) {
        post_refusal(dec, "Could not read the song", "the input buffer cannot be mapped");
        return FALSE;
    }
    dec->song = tromel_song_load(map.data, map.size, reason, sizeof reason);
    gst_buffer_unmap(source_data, &map);
    if (!dec->song) {
        post_refusal(dec, "This is not an Organya song Tromel can play", reason);
        return FALSE;
    }

    /* In and out: what downstream does not fix stays at these, the editor's own format and rate. */
    GstAudioFormat format = GST_AUDIO_FORMAT_F32LE;
    gint rate = 44100;
    gint channels = 2;
    gst_nonstream_audio_decoder_get_downstream_info(base, &format, &rate, &channels);
    dec->format = format == GST_AUDIO_FORMAT_S16LE ? GST_AUDIO_FORMAT_S16LE : GST_AUDIO_FORMAT_F32LE;
    rate = rate == 48000 ? 48000 : 44100;

    dec->player = tromel_player_new(dec->song, rate, reason, sizeof reason);
    if (!dec->player) {
        post_refusal(dec, "This song cannot be played", reason);
        release_song(dec);
        return FALSE;
    }
    dec->num_loops = *initial_num_loops;
    tromel_player_set_loops(dec->player, dec->num_loops);
    *initial_position = 0;
    *initial_output_mode = GST_NONSTREAM_AUDIO_OUTPUT_MODE_STEADY;
    return gst_nonstream_audio_decoder_set_output_format_simple(base, (guint)rate, dec->format, 2);
}

static gboolean tromel_dec_seek(GstNonstreamAudioDecoder* base, GstClockTime* new_position) {
    TromelDec* dec = TROMEL_DEC(base);
    if (!dec->player || !GST_CLOCK_TIME_IS_VALID(*new_position))
        return FALSE;
    if (tromel_player_seek(dec->player, (double)*new_position / GST_SECOND) != TROMEL_OK)
        return FALSE;
    *new_position = (GstClockTime)llround(tromel_player_position(dec->player) * GST_SECOND);
    return TRUE;
}

static GstClockTime tromel_dec_tell(GstNonstreamAudioDecoder* base) {
    TromelDec* dec = TROMEL_DEC(base);
    if (!dec->player)
        return GST_CLOCK_TIME_NONE;
    return (GstClockTime)llround(tromel_player_position(dec->player) * GST_SECOND);
}

static GstClockTime tromel_dec_get_subsong_duration(GstNonstreamAudioDecoder* base, guint subsong) {
    TromelDec* dec = TROMEL_DEC(base);
    (void)subsong;
    const double seconds = tromel_song_duration(dec->song, dec->num_loops);
    if (!dec->song || !isfinite(seconds))
        return GST_CLOCK_TIME_NONE;
    return (GstClockTime)llround(seconds * GST_SECOND);
}

static gboolean tromel_dec_set_num_loops(GstNonstreamAudioDecoder* base, gint num_loops) {
    TromelDec* dec = TROMEL_DEC(base);
    dec->num_loops = num_loops < 0 ? -1 : num_loops;
    if (dec->player)
        tromel_player_set_loops(dec->player, dec->num_loops);
    return TRUE;
}

static gint tromel_dec_get_num_loops(GstNonstreamAudioDecoder* base) {
    return TROMEL_DEC(base)->num_loops;
}

static guint tromel_dec_get_supported_output_modes(GstNonstreamAudioDecoder* base) {
    (void)base;
    return 1u << GST_NONSTREAM_AUDIO_OUTPUT_MODE_STEADY;
}

static gboolean tromel_dec_decode(GstNonstreamAudioDecoder* base, GstBuffer** buffer, guint* num_samples) {
    TromelDec* dec = TROMEL_DEC(base);
    if (!dec->player || tromel_player_finished(dec->player))
        return FALSE;
    const gsize frame_bytes = dec->format == GST_AUDIO_FORMAT_S16LE ? 2 * sizeof(int16_t) : 2 * sizeof(float);
    GstBuffer* out = gst_nonstream_audio_decoder_allocate_output_buffer(base, FRAMES_PER_BUFFER * frame_bytes);
    if (!out)
        return FALSE;
    GstMapInfo map;
    if (!gst_buffer_map(out, &map, GST_MAP_WRITE)) {
        gst_buffer_unref(out);
        return FALSE;
    }
    const size_t frames = dec->format == GST_AUDIO_FORMAT_S16LE
                              ? tromel_player_render_s16(dec->player, (int16_t*)map.data, FRAMES_PER_BUFFER)
                              : tromel_player_render(dec->player, (float*)map.data, FRAMES_PER_BUFFER);
    gst_buffer_unmap(out, &map);
    if (frames == 0) {
        gst_buffer_unref(out);
        return FALSE;
    }
    gst_buffer_set_size(out, (gssize)(frames * frame_bytes));
    *buffer = out;
    *num_samples = (guint)frames;
    return TRUE;
}

static void tromel_dec_finalize(GObject* object) {
    release_song(TROMEL_DEC(object));
    G_OBJECT_CLASS(tromel_dec_parent_class)->finalize(object);
}

static void tromel_dec_class_init(TromelDecClass* klass) {
    GST_DEBUG_CATEGORY_INIT(tromel_dec_debug, "tromeldec", 0, "Organya songs decoded by libtromel");
    GObjectClass* object_class = G_OBJECT_CLASS(klass);
    GstElementClass* element_class = GST_ELEMENT_CLASS(klass);
    GstNonstreamAudioDecoderClass* decoder_class = GST_NONSTREAM_AUDIO_DECODER_CLASS(klass);

    object_class->finalize = tromel_dec_finalize;
    gst_element_class_add_static_pad_template(element_class, &sink_template);
    gst_element_class_add_static_pad_template(element_class, &src_template);
    gst_element_class_set_static_metadata(element_class, "Organya song decoder", "Codec/Decoder/Audio",
                                          "Plays Organya songs (Org-02, Org-03) with Tromel's engine",
                                          "The Tromel developers <tromel@localhost>");

    decoder_class->load_from_buffer = tromel_dec_load_from_buffer;
    decoder_class->seek = tromel_dec_seek;
    decoder_class->tell = tromel_dec_tell;
    decoder_class->get_subsong_duration = tromel_dec_get_subsong_duration;
    decoder_class->set_num_loops = tromel_dec_set_num_loops;
    decoder_class->get_num_loops = tromel_dec_get_num_loops;
    decoder_class->get_supported_output_modes = tromel_dec_get_supported_output_modes;
    decoder_class->decode = tromel_dec_decode;
}

static void tromel_dec_init(TromelDec* dec) {
    dec->song = NULL;
    dec->player = NULL;
    dec->num_loops = 0;
    dec->format = GST_AUDIO_FORMAT_F32LE;
}
