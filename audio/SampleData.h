// A loaded sample, prepared for band-limited playback at any rate.
#pragma once

#include <cstdint>
#include <vector>

namespace tromel::audio {

// One octave level of a sample: the sample low-passed to the band that level may carry and
// stored oversampled, as cubic B-spline coefficients (so four coefficients give any point).
struct SampleLevel {
    std::vector<float> data;  // interleaved by channel, with guardFrames frames before and after
    int64_t length = 0;       // frames; for a looping sample exactly one loop
    double framesPerSourceFrame = 0.0;
};

// Immutable once built: channels made from it on the audio thread only read it.
struct SampleData {
    // Frames kept around every level so the interpolator reads one before and two after any
    // frame without checks; a loop's guards hold its other end.
    static constexpr int guardFrames = 4;
    // Level L carries what lies below 1/2^(L+1) of the sample's own rate, so playing it at up to
    // 2^L times that rate aliases nothing. Level 4 reaches a drum's highest key.
    static constexpr int levelCount = 5;
    static constexpr int oversampling = 8;

    int channels = 1;  // 1 or 2
    int rate = 44100;  // the sample's own rate in Hz
    int64_t frames = 0;
    bool loop = false;
    std::vector<SampleLevel> levels;

    // The level to play at `ratio` source frames per output frame.
    int levelFor(double ratio) const;
    // The largest ratio any level plays without aliasing; rates above are clamped to it.
    double largestRatio() const { return static_cast<double>(1 << (levelCount - 1)); }
};

}  // namespace tromel::audio
