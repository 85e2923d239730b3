// A key pressed or let go on a keyboard that plays notes in, as the editor receives it.
#pragma once

#include <cstdint>

namespace tromel::audio {

struct PlayedNote {
    bool on = true;
    int32_t fileKey = 0;      // 0 to 95; file key 57 is A4
    int16_t volume = 0;       // the volume byte it plays at (note-ons)
    int64_t nanoseconds = 0;  // when it arrived, on the steady clock

    friend bool operator==(const PlayedNote&, const PlayedNote&) = default;
};

}  // namespace tromel::audio
