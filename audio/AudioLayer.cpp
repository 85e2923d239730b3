// The audio layer's error codes in words.
#include "audio/AudioLayer.h"

namespace tromel::audio {

const char* errorText(int code) {
    switch (code) {
        case errorNone:
            return "no error";
        case errorFileOpen:
            return "the file is missing or cannot be read";
        case errorFormat:
            return "not a PCM WAV file (8 to 32-bit or float, mono or stereo)";
        case errorTooLong:
            return "the sample is longer than 30 seconds (or than 1440000 frames)";
        case errorMemory:
            return "not enough memory to prepare the sample";
        case errorHandle:
            return "unknown sample or channel";
        case errorNoDevice:
            return "no output device";
        case errorNoChannel:
            return "no free channel";
        case errorNoSequencer:
            return "too many songs are playing at once";
        default:
            return "unknown error";
    }
}

}  // namespace tromel::audio
