// The mixer: every channel's voices and every step clock, rendered into one stereo output.
#pragma once

#include "audio/mixer/ClickVoice.h"
#include "audio/mixer/DcBlocker.h"
#include "audio/mixer/LiveNote.h"
#include "audio/mixer/MixerCommand.h"
#include "audio/mixer/PeakLimiter.h"
#include "audio/mixer/SpscQueue.h"
#include "audio/mixer/Voice.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

namespace tromel::audio {

// THE THREAD RULE. render() runs on the audio thread (the device callback, or whoever renders
// offline) and never blocks, allocates, frees, logs or waits for the user-interface thread.
// Everything reaches it through one single-producer/single-consumer queue, written only by the
// user-interface thread, each command stamped with the output frame at which it takes effect;
// render() splits its buffer at command frames and at the step frames of its sequencers, so a
// step lands on its exact frame whatever the buffer size. Whatever the audio thread lets go of
// (a channel slot, a compiled song, a sequencer) goes back through a second such queue, and the
// user-interface thread frees it there. Notes played live (previews, the piano, MIDI keyboards)
// come through a queue of their own, whose producers take turns (see AudioLayer::postLiveNote),
// each stamped with the frame at which it is heard; render() splits its buffer at those too.
class Mixer : public ChannelControl {
public:
    static constexpr int sequencerCapacity = 64;
    // Every clock's sixteen channels, and as many again for channels let go of that still fade
    // out: a song played again while every clock plays gets new channels before its old ones end.
    static constexpr uint32_t slotBits = 11;
    static constexpr uint32_t slotCapacity = 1u << slotBits;  // handles carry the slot in their low bits
    static constexpr uint32_t slotMask = slotCapacity - 1;
    // The sum of all voices is scaled by this fixed gain, low enough to keep songs linear: a dense
    // song of sixteen busy channels at loud volumes peaks 8 dB below the limiter's ceiling, and
    // sixteen channels restarting on every step at full volume just under it. The limiter is
    // there for what is louder still.
    static constexpr float mixGain = 0.3f;

    // `rate`: frames a second, lowestRate to highestRate (others are taken to the nearest).
    // Every frame count the mixer is given or gives is in its own frames.
    explicit Mixer(int rate = outputRate);

    int rate() const { return m_rate; }
    // Frames between a command or step taking effect and its sound leaving render(): the
    // limiter's look-ahead. The device simply lags by this much; an offline render drops the
    // first latencyFrames() frames so that frame 0 of its output is the moment Play was pressed.
    int latencyFrames() const { return m_limiter.lookAhead(); }
    // The levels its samples need (see SampleData::levelCountFor): more, the lower the rate.
    int sampleLevels() const { return m_timing.levels; }
    // A mixer for one song's channels alone: room for `slots` channels (whose handles carry a slot below it)
    // and `commands` queued commands, so that it is made in no time.
    Mixer(int rate, uint32_t slots, std::size_t commands);

    // [user-interface thread] false when the queue is full (the caller keeps the command).
    bool post(const MixerCommand& command) { return m_commands.push(command); }
    // [the live notes' producer, one thread at a time] false when the queue is full (the note is
    // dropped). Notes go in the order of their frames.
    bool postLive(const LiveNote& note) { return m_live.push(note); }
    // [user-interface thread] Something the audio thread has let go of.
    bool collect(MixerReturn& item) { return m_returns.pop(item); }
    // [any thread] The output frame the mixer has rendered up to.
    int64_t renderedFrames() const { return m_renderedFrames.load(std::memory_order_acquire); }

    // [audio thread] Interleaved stereo, below PeakLimiter::ceiling: the voices times mixGain,
    // rid of any DC offset, through the limiter.
    void render(float* out, int frames);
    // [offline] The parts of one mix (stems) in one run of the clock: the voices of each channel
    // given a bus (a SetBus command) times mixGain into buses[bus], interleaved stereo, and
    // nothing more; the voices of other channels move on unheard, and the click is not heard.
    // Each bus then needs a DC blocker and a limiter of its own, the blockers told where the
    // whole mix is silent, for the parts to add up to the mix.
    void renderBuses(std::span<float* const> buses, int frames);
    // [whoever renders, between renders] The voices and clocks moved on as render() would move
    // them, nothing mixed: how a seek gets far into a song at once. The filters see nothing of it.
    void skipVoices(int frames);

    // [user-interface thread, only while nothing renders] Applies every queued command now.
    void settle();
    // [user-interface thread, only while nothing renders] Forgets every slot and sequencer.
    void clear();

    // ChannelControl. [audio thread]
    void setChannelAttributes(Handle channel, int frequency, int volume, int pan) override;
    void playChannel(Handle channel) override;
    void startNote(Handle channel, int frequency, int volume, int pan) override;
    void pauseChannel(Handle channel) override;
    void stopChannel(Handle channel) override;
    void click(bool accent) override { m_click.start(accent); }
    void dispose(Disposable* object) override;

private:
    enum class Retirement : uint8_t { None, Now, WhenSilent };

    struct Slot {
        Handle handle = 0;
        const SampleData* sample = nullptr;
        bool loop = false;
        int frequency = 0;  // Hz; 0 is the sample's own rate
        int volume = 0;
        int pan = 0;
        Retirement retirement = Retirement::None;
        int32_t liveKey = -1;  // the file key a live note-on started, while it sounds
        int bus = -1;          // where renderBuses mixes its voices; -1 for nowhere
        Voice main;
        // Retriggered notes' fading ends: two, so that a note started within a fade's length of
        // the last one need not cut a fade short.
        std::array<Voice, 2> tails;
    };

    Slot* slotOf(Handle handle);
    void storeAttributes(Slot& slot, int frequency, int volume, int pan) const;
    void fadeMainAway(Slot& slot);
    void startMain(Slot& slot);
    double ratioOf(const Slot& slot) const;
    void gainsOf(const Slot& slot, float& left, float& right) const;
    void apply(const MixerCommand& command);
    void applySlotCommand(const MixerCommand& command);
    void applySequencerCommand(const MixerCommand& command);
    void applyDueCommands();
    void applyDueLiveNotes();
    void runDueSteps();
    int64_t nextEventFrame(int64_t limit) const;
    void renderVoices(float* out, int frames);
    void mixVoices(float* out, int frames);
    void mixBuses(std::span<float* const> buses, int offset, int frames);
    void advance(float* out, std::span<float* const> buses, int frames);
    void skipRun(int frames);
    void releaseSilentSlots();
    void giveBack(const MixerReturn& item);
    void resendUnsent();
    void removeSequencer(Sequencer* sequencer);

    int m_rate;
    VoiceTiming m_timing;
    std::vector<Slot> m_slots;
    uint32_t m_slotsUsed = 0;  // one past the highest slot ever bound
    std::array<Sequencer*, sequencerCapacity> m_sequencers{};
    int m_sequencerCount = 0;
    SpscQueue<MixerCommand> m_commands;
    SpscQueue<LiveNote> m_live;
    SpscQueue<MixerReturn> m_returns;
    std::array<MixerReturn, 256> m_unsent{};  // returns that found the queue full, sent later
    int m_unsentCount = 0;
    ClickVoice m_click{m_rate};
    DcBlocker m_dcBlocker{m_rate};
    PeakLimiter m_limiter{PeakLimiter::ceiling, m_rate};
    int m_maxVolume = largestVolume;
    int64_t m_frame = 0;
    std::atomic<int64_t> m_renderedFrames{0};
};

}  // namespace tromel::audio
