// The step clock of one document: plays its compiled song on the audio thread.
#pragma once

#include "audio/mixer/SeqlockValue.h"
#include "audio/mixer/Sequencer.h"
#include "audio/playback/CompiledSong.h"
#include "audio/playback/StepGrid.h"
#include "audio/playback/StepPlayer.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace tromel::audio {

class SongSequencer : public Sequencer {
public:
    // `rate`: the frames a second of the mixer that drives it.
    explicit SongSequencer(FirstStep first = FirstStep::OneStepIn, int rate = outputRate)
        : m_first(first), m_rate(rate) {}

    // Command kinds; a command's tag carries the play generation where it has one.
    enum Command : int {
        start = 1,  // payload: the CompiledSong to play from its first step; count: steps of count-in
        resume,     // go on from the step after the last one played; count: steps of count-in
        pause,      // clock stands, instrument channels paused, position kept
        stop,       // clock stands, instrument channels stopped, position 0
        halt,       // clock stands, all sixteen channels stopped (a new compile follows)
        close,      // clock stands, instrument channels stopped, drums play out
        replace,    // payload: a CompiledSong whose events play from the next pass of the loop on
        unloop,     // the song's own loop again, in place of a looped passage (a new run of the grid)
    };

    // [audio thread]
    void receive(const SequencerCommand& command, int64_t frame, ChannelControl& channels) override;
    int64_t nextStepFrame() const override { return m_nextStep; }
    void step(ChannelControl& channels) override;
    void publish() override;

    // [user-interface thread] Mute box k (0..7 instruments, 8..15 drums).
    void setMuted(int channel, bool muted);
    // [user-interface thread] A click on every beat of the song's meter, accented on the first
    // of each bar, from the next step on. A count-in clicks whether or not this is on.
    void setMetronome(bool on) { m_metronome.store(on, std::memory_order_relaxed); }
    // [any thread] The generation of the play (high 32 bits) and the position (low 32 bits) of
    // the last step that has been mixed.
    uint64_t publishedPosition() const { return m_published.load(std::memory_order_acquire); }
    uint64_t stepsHeard() const { return m_heard.load(std::memory_order_acquire); }
    // [any thread] The run of the clock last started or resumed: where its steps fall.
    StepGrid grid() const { return m_grid.load(); }

private:
    void startClock(int64_t frame, int32_t countIn);
    void playSongStep(ChannelControl& channels);
    void countIn(ChannelControl& channels);
    void takeOwnLoop();
    void haltClock() { m_nextStep = noStepFrame; }
    void silence(int firstChannel, int lastChannel, bool stopThem, ChannelControl& channels);

    void takeReplacement(ChannelControl& channels);

    const FirstStep m_first;
    const int32_t m_rate;
    std::unique_ptr<CompiledSong> m_song;
    std::unique_ptr<CompiledSong> m_replacement;  // waits for the loop's next pass
    PlaybackState m_state;
    int64_t m_gridStart = 0;  // the frame of step 0 of the running grid
    int64_t m_stepsOnGrid = 0;
    int64_t m_nextStep = noStepFrame;
    uint32_t m_generation = 0;
    uint64_t m_stepsTaken = 0;
    int32_t m_countIn = 0;      // steps of count-in of the running grid
    int32_t m_countInLeft = 0;  // of which are still to come
    std::atomic<uint16_t> m_muted{0};
    std::atomic<bool> m_metronome{false};
    std::atomic<uint64_t> m_published{0};
    std::atomic<uint64_t> m_heard{0};
    uint32_t m_run = 0;
    SeqlockValue<StepGrid> m_grid;
};

}  // namespace tromel::audio
