// A note played live (a preview, the piano, a MIDI keyboard): from the thread that plays it to the audio thread.
#pragma once

#include "audio/AudioLayer.h"

#include <cstdint>

namespace tromel::audio {

// A note-on starts the key on the channel at once, as a step of a song starts a note (the note
// sounding there fades out); a note-off ends it only while that key is the one sounding, so a
// key let go after a newer one was pressed does not cut the newer one.
struct LiveNote {
    enum class Kind : uint8_t { On, Off };
    Kind kind = Kind::On;
    Handle channel = 0;
    int32_t fileKey = 0;
    int frequency = 0;  // note-ons: the playback rate, volume and pan as AudioLayer takes them
    int volume = 0;
    int pan = 0;
    int64_t frame = 0;  // the mixer's frame at which it is heard; one gone by already, at the next buffer's start
};

}  // namespace tromel::audio
