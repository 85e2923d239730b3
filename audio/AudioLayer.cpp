// The audio layer's error codes in words, and the frame heard at a moment.
#include "audio/AudioLayer.h"

#include <algorithm>
#include <chrono>

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

namespace {

// A moment long after the last buffer began means the device has stalled: the mixer is not that
// far on, so the count stops at two of its largest buffers.
constexpr int64_t longestLead = 4096;

}  // namespace

int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t heardFrameAt(const AudioLayer& layer, int64_t nanoseconds) {
    const AudioClockStamp stamp = layer.clockStamp();
    int64_t frame = stamp.frame;
    if (stamp.nanoseconds != 0) {
        const int64_t elapsed = nanoseconds - stamp.nanoseconds;
        frame += std::min(elapsed / 1000 * layer.sampleRate() / 1000000, longestLead);
    }
    return frame - layer.outputLatencyFrames();
}

}  // namespace tromel::audio
