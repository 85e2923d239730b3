// One playback of a sample: position, rate, gains and the band-limited inner loops.
#pragma once

#include "audio/samples/SampleData.h"

#include <algorithm>
#include <cstdint>

namespace tromel::audio {

// What a voice takes from the mixer's rate: its glides in frames, and how many of a sample's
// levels it plays (the fewer frames a second, the higher the ratio of the highest keys).
struct VoiceTiming {
    int rampFrames = 88;
    int attackFrames = 32;
    int levels = SampleData::levelCount;
};

// Everything here runs on the audio thread (or offline, on whichever thread renders).
class Voice {
public:
    // About 2 ms at 44100 Hz: long enough to hide a jump, short enough to keep a cut crisp.
    static constexpr int rampFrames = 88;
    // A note rises from silence over its first 0.7 ms: too short to soften an attack, long
    // enough to take the edge off a sample that does not begin at zero.
    static constexpr int attackFrames = 32;
    // The same times, and the levels the highest keys need, at `rate` frames a second.
    static VoiceTiming timingAt(int rate);

    // [audio thread] Starts the sample from its first frame at once, rising to the given gains
    // over attackFrames. A voice loops only when asked to and the sample was prepared as a loop.
    void start(const SampleData& sample, bool loop, double ratio, float gainLeft, float gainRight,
               const VoiceTiming& timing = {});
    // [audio thread] Source frames per output frame; takes effect at once.
    void setRatio(double ratio);
    // [audio thread] Glides to new gains over rampFrames.
    void setGains(float gainLeft, float gainRight);
    // [audio thread] Glides to silence over rampFrames, then ends.
    void fadeOut();
    void silence() { m_sample = nullptr; }

    bool active() const { return m_sample != nullptr; }
    // The larger of the two gains now, 0 when silent.
    float level() const { return active() ? std::max(m_gain.left, m_gain.right) : 0.0f; }
    // [audio thread] Adds frames to an interleaved stereo buffer.
    void mix(float* out, int frames);
    // [audio thread] Moves on as mix() would, adding nothing.
    void skip(int frames);

private:
    struct Gain {
        float left = 0.0f;
        float right = 0.0f;
    };
    // How the duller level joins in: not at all, at the same frames, or at half as many.
    enum class Blend : uint8_t { None, SameRate, HalfRate };

    void selectLevel(double ratio, double sourcePosition);
    double sourcePosition() const;
    void beginRamp(Gain target, bool endAfter, int frames);
    Gain rampGainAfter(int done) const;
    int framesBeforeEdge() const;
    bool passEdge();
    template <int Channels, bool Ramping>
    void mixBlended(float* out, int frames);
    template <int Channels, bool Ramping, Blend Mode>
    void mixRun(float* out, int frames);

    const SampleData* m_sample = nullptr;
    VoiceTiming m_timing;
    const SampleLevel* m_level = nullptr;
    const SampleLevel* m_duller = nullptr;
    float m_dullerWeight = 0.0f;
    Blend m_blend = Blend::None;
    uint64_t m_position = 0;  // 32.32 fixed point, in frames of the current level
    uint64_t m_step = 0;
    uint64_t m_end = 0;  // the level's length, same scale
    double m_ratio = 1.0;
    bool m_loop = false;
    Gain m_gain;
    Gain m_rampFrom;
    Gain m_target;
    int m_rampLength = 1;
    int m_rampLeft = 0;
    bool m_endAfterRamp = false;
};

}  // namespace tromel::audio
