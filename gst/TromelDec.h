/* tromeldec: a GStreamer decoder of Organya songs on libtromel, for decodebin, playbin and the players on them. */
#ifndef TROMEL_GST_TROMELDEC_H
#define TROMEL_GST_TROMELDEC_H

#include <gst/audio/gstnonstreamaudiodecoder.h>
#include <gst/gst.h>

G_BEGIN_DECLS

/* Declared by hand: the base class has no autoptr cleanup, which G_DECLARE_FINAL_TYPE would need. */
typedef struct _TromelDec TromelDec;
typedef struct {
    GstNonstreamAudioDecoderClass parent_class;
} TromelDecClass;

GType tromel_dec_get_type(void);
#define TROMEL_TYPE_DEC (tromel_dec_get_type())
#define TROMEL_DEC(object) (G_TYPE_CHECK_INSTANCE_CAST((object), TROMEL_TYPE_DEC, TromelDec))

/* The caps of the songs the type finder recognises and the decoder takes. */
#define TROMEL_SONG_CAPS "audio/x-organya"

G_END_DECLS

#endif /* TROMEL_GST_TROMELDEC_H */
