// One song played by the engine for a program of its own: the mixer, the song's step clock and where it is.
#pragma once

#include "audio/mixer/Mixer.h"
#include "audio/playback/CompiledSong.h"
#include "audio/playback/SongSequencer.h"
#include "song/Song.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tromel::capi {

// Frame t of the output is frame t of a render from the start: step n of the timeline (the loop unrolled)
// sounds at timelineFrame(n). The mixer runs Mixer::latencyFrames ahead of the output, which a new player
// and a seek render away. render() takes mutes and loops asked for from other threads as it starts.
class Player {
public:
    // Why a song cannot be played at that rate, or nothing.
    static constexpr int rateMin = 22050;
    static constexpr int rateMax = 192000;

    static std::optional<std::string> refusal(const Song& song, int rate);
    // A song refusal() accepts; every sample it plays is prepared here.
    Player(const Song& song, int rate);
    ~Player();

    int rate() const { return m_rate; }
    // [any thread] -1 forever; N >= 0 the loop N more times after the first pass.
    void setLoops(int loops) { m_loops.store(loops, std::memory_order_relaxed); }
    int loops() const { return m_loops.load(std::memory_order_relaxed); }
    // [any thread] Channel 0-15.
    void setMuted(int channel, bool muted);
    bool muted(int channel) const;

    // [the rendering thread] Interleaved stereo; the frames written, fewer at the end of a finite play.
    std::size_t render(float* stereo, std::size_t frames);
    std::size_t renderS16(int16_t* stereo, std::size_t frames);
    bool finished() const;
    // [not while rendering] The output as a render from the start has it from frame `frame` on.
    void seek(int64_t frame);

    int64_t frame() const { return m_frame.load(std::memory_order_relaxed); }
    // The timeline step last heard, -1 before the first.
    int64_t step() const;
    // floor(n * tempo * rate / 1000).
    int64_t timelineFrame(int64_t n) const;
    // The frames a play with `loops` lasts; -1 for ever.
    int64_t lengthFor(int loops) const;

    // Frames of a seek rendered in full before its target, so that the filters and the limiter hold there
    // what they would after a play from the start.
    static constexpr double seekLeadSeconds = 0.2;

private:
    void restart();
    int64_t foldedTarget(int64_t target) const;
    void takeMutes();
    std::size_t framesLeft(std::size_t asked) const;
    void renderDropped(int64_t frames);

    const int m_rate;
    const int32_t m_tempo;
    const int32_t m_loopBegin;
    const int32_t m_loopEnd;
    audio::CompiledSong m_compiled;  // the events, copied into each start of the clock
    std::array<const audio::SampleData*, audio::songChannelCount> m_samples{};
    std::array<audio::Handle, audio::songChannelCount> m_handles{};  // 0 for a channel without a sample
    std::unique_ptr<audio::Mixer> m_mixer;
    std::unique_ptr<audio::SongSequencer> m_sequencer;
    std::atomic<int> m_loops{-1};
    std::atomic<uint16_t> m_mutesAsked{0};
    uint16_t m_mutesTaken = 0;
    std::atomic<int64_t> m_frame{0};
    std::vector<float> m_scratch;  // render_s16's floats and what a seek renders away
};

}  // namespace tromel::capi
