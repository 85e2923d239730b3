// A loaded sample, prepared for band-limited playback at any rate.
#pragma once

#include <cstdint>
#include <vector>

namespace tromel::audio {

// One level of a sample: the sample low-passed to the band that level may carry and stored
// oversampled, as cubic B-spline coefficients (so four coefficients give any point).
struct SampleLevel {
    std::vector<float> data;  // interleaved by channel, with guardFrames frames before and after
    int64_t length = 0;       // frames; for a looping sample exactly one loop
    double framesPerSourceFrame = 0.0;
    // The same values made at build time and carried in the program, used instead of `data` when set.
    const float* builtIn = nullptr;

    const float* values() const { return builtIn ? builtIn : data.data(); }
};

// Which levels to play at a ratio: `level`, with `duller` (the next level, of half or the same
// storage rate) mixed in at `weight`. Where the weight is 0 one level plays alone.
struct LevelBlend {
    int level = 0;
    int duller = 0;
    float weight = 0.0f;
};

// Immutable once built: channels made from it on the audio thread only read it.
struct SampleData {
    // Frames kept around every level so the interpolator reads one before and two after any
    // frame without checks, even a step of the fastest (32 frames, a loop's top level) past a
    // run's end; a loop's guards hold its other end.
    static constexpr int guardFrames = 64;
    // Level L carries what lies below 1/(2 * 2^(L/2)) of the sample's own rate, so playing it at
    // up to 2^(L/2) times that rate aliases nothing: two levels an octave. At 44100 Hz the last
    // of the first levelCount reaches a drum's highest key; lower rates play every key at a
    // higher ratio and need more, up to mostLevels at the lowest (see levelCountFor).
    static constexpr int levelCount = 9;
    static constexpr int mostLevels = 11;
    // Level 2m is stored at 8 / 2^m frames a source frame, eight times the band it carries, and
    // level 2m - 1 beside it at the same rate, still more than five times its band. A loop is
    // never stored below its own rate.
    static constexpr int oversampling = 8;
    // Below each level's reach, over the last quarter octave, the next level fades in; at the
    // reach it plays alone. So the band a note carries shrinks a little with every key upwards
    // instead of halving at a few.
    static constexpr double blendOctaves = 0.25;

    int channels = 1;  // 1 or 2
    int rate = 44100;  // the sample's own rate in Hz
    int64_t frames = 0;
    bool loop = false;
    std::vector<SampleLevel> levels;

    // The largest ratio level L plays without aliasing.
    static double reachOf(int level);
    // How many levels play every ratio up to `highestRatio` unaliased: at least levelCount, at
    // most mostLevels.
    static int levelCountFor(double highestRatio);
    // The levels to play at `ratio` source frames per output frame (at most largestRatio(count)),
    // of the first `count` levels: a player that plays fewer hears the same whoever made more.
    LevelBlend blendFor(double ratio, int count = levelCount) const;
    // The largest ratio the first `count` levels play without aliasing; rates above are clamped to it.
    static double largestRatio(int count = levelCount) { return reachOf(count - 1); }
    // Whether the first `count` levels are here (a sample of no frames has none, and needs none).
    bool hasLevels(int count) const { return frames == 0 || static_cast<int>(levels.size()) >= count; }
};

}  // namespace tromel::audio
