/* The tromel GStreamer plug-in: a type finder for Organya songs and the tromeldec decoder. */
#include "TromelDec.h"

#include <string.h>

/* Songs are known by their first six bytes, whatever the file is called. */
static void find_song(GstTypeFind* find, gpointer caps) {
    const guint8* magic = gst_type_find_peek(find, 0, 6);
    if (magic && (memcmp(magic, "Org-02", 6) == 0 || memcmp(magic, "Org-03", 6) == 0))
        gst_type_find_suggest(find, GST_TYPE_FIND_MAXIMUM, (GstCaps*)caps);
}

static gboolean plugin_init(GstPlugin* plugin) {
    GstCaps* caps = gst_caps_from_string(TROMEL_SONG_CAPS);
    const gboolean found = gst_type_find_register(plugin, "audio/x-organya", GST_RANK_PRIMARY, find_song, "org", caps,
                                                  caps, (GDestroyNotify)gst_caps_unref);
    return found && gst_element_register(plugin, "tromeldec", GST_RANK_PRIMARY, TROMEL_TYPE_DEC);
}

#define PACKAGE "tromel"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, tromel, "Organya songs played by Tromel's engine", plugin_init,
                  TROMEL_VERSION, "unknown", "Tromel", "https://github.com/tromel/tromel")
