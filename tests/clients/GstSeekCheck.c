/* tromeldec seeked by time in a pipeline: what follows the seek, its first timestamp and the duration query
 * agree with libtromel's own seek and duration. Usage: gst_seek_check SONG SECONDS (GST_PLUGIN_PATH set) */
#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <tromel/tromel.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int fail(const char* what) {
    fprintf(stderr, "gst_seek_check: %s\n", what);
    return 1;
}

/* The song from `seconds` on, as the library renders it after its own seek. */
static float* reference(const char* path, double seconds, size_t* frames) {
    tromel_song* song = tromel_song_load_file(path, NULL, 0);
    tromel_player* player = tromel_player_new(song, 44100, NULL, 0);
    size_t capacity = 44100 * 60;
    float* samples = malloc(capacity * 2 * sizeof(float));
    tromel_player_set_loops(player, 0);
    tromel_player_seek(player, seconds);
    *frames = tromel_player_render(player, samples, capacity);
    tromel_player_free(player);
    tromel_song_free(song);
    return samples;
}

int main(int argc, char** argv) {
    if (argc != 3)
        return fail("usage: gst_seek_check SONG SECONDS");
    const double seconds = atof(argv[2]);
    gst_init(&argc, &argv);
    GError* error = NULL;
    GstElement* pipeline = gst_parse_launch(
        "filesrc name=source ! tromeldec ! audio/x-raw,format=F32LE,rate=44100 ! appsink name=sink sync=false", &error);
    if (!pipeline)
        return fail(error->message);
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "source");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    g_object_set(source, "location", argv[1], NULL);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (gst_element_get_state(pipeline, NULL, NULL, 10 * GST_SECOND) != GST_STATE_CHANGE_SUCCESS)
        return fail("the pipeline does not preroll");

    size_t expected_frames = 0;
    float* expected = reference(argv[1], 0, &expected_frames);
    gint64 duration = -1;
    if (!gst_element_query_duration(pipeline, GST_FORMAT_TIME, &duration) ||
        llabs(duration - llround((double)expected_frames / 44100 * GST_SECOND)) > GST_MSECOND)
        return fail("the duration query does not give the length of one pass");
    free(expected);

    if (!gst_element_seek_simple(pipeline, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE,
                                 llround(seconds * GST_SECOND)))
        return fail("the seek is refused");
    gst_element_get_state(pipeline, NULL, NULL, 10 * GST_SECOND);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);

    expected = reference(argv[1], seconds, &expected_frames);
    size_t frames = 0;
    int first = 1;
    GstSample* sample;
    while ((sample = gst_app_sink_pull_sample(GST_APP_SINK(sink))) != NULL) {
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (first && llabs((gint64)GST_BUFFER_PTS(buffer) - llround(seconds * GST_SECOND)) > GST_MSECOND)
            return fail("the first buffer after the seek is not stamped with the seek's time");
        first = 0;
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_READ);
        const size_t count = map.size / (2 * sizeof(float));
        if (frames + count > expected_frames || memcmp(map.data, expected + 2 * frames, map.size) != 0)
            return fail("the sound after the seek is not the library's");
        frames += count;
        gst_buffer_unmap(buffer, &map);
        gst_sample_unref(sample);
    }
    if (frames != expected_frames)
        return fail("the play after the seek ends early");
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(source);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    free(expected);
    printf("gst_seek_check: %zu frames from %.2f s equal the library's\n", frames, seconds);
    return 0;
}
