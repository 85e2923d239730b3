// The audio layer on our own mixer, without a device: renders on request.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/mixer/Mixer.h"
#include "audio/mixer/SeqlockValue.h"
#include "audio/samples/SampleCache.h"
#include "audio/samples/SampleData.h"
#include "audio/samples/SampleWorker.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <span>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tromel::audio {

// Every AudioLayer call is made on the user-interface thread; renderFrames on the audio thread
// (here, whoever renders). The layer never waits for the audio thread: it posts commands and
// frees what the audio thread has handed back at its next call.
class MixerAudioLayer : public AudioLayer {
public:
    // `rate`: the mixer's frames a second (see Mixer).
    explicit MixerAudioLayer(int rate = outputRate);
    // Takes its samples from a cache it shares with other layers (the renders of one export),
    // which release() leaves to its owner.
    explicit MixerAudioLayer(std::shared_ptr<SampleCache> sharedCache, int rate = outputRate);
    ~MixerAudioLayer() override;

    uint32_t version() const override { return layerVersion; }
    void setMaxVolume(int volume) override;
    // No device: succeeds and opens nothing; renderFrames is the clock, at the rate the layer was
    // made with, whatever is asked here.
    bool initDevice(int sampleRate) override;
    void release() override;
    int lastError() const override { return m_lastError; }

    Handle loadSample(const std::filesystem::path& path, bool loop, int maxPlaybacks) override;
    std::shared_ptr<SamplePreparation> prepareSamples(const std::vector<SampleRequest>& requests) override;
    void freeSample(Handle sample) override;
    void freeSampleWhenSilent(Handle sample) override;
    Handle channelFromSample(Handle sample) override;
    void setChannelLooping(Handle channel, bool loop) override;
    void setChannelAttributes(Handle channel, int frequency, int volume, int pan) override;
    void preBuffer(Handle channel) override;
    void playChannel(Handle channel) override;
    void pauseChannel(Handle channel) override;
    void stopChannel(Handle channel) override;

    bool attachSequencer(Sequencer* sequencer) override;
    void detachSequencer(Sequencer* sequencer) override;
    void retireSequencer(std::unique_ptr<Sequencer> sequencer) override;
    void sendToSequencer(Sequencer* sequencer, const SequencerCommand& command) override;
    bool flushPending() override;
    bool postLiveNote(const LiveNote& note) override;
    int64_t nextFrame() const override { return m_mixer.renderedFrames(); }
    AudioClockStamp clockStamp() const override { return m_clock.load(); }
    // The limiter's look-ahead: whoever renders hears each frame as it leaves.
    int outputLatencyFrames() const override { return m_mixer.latencyFrames(); }
    int sampleRate() const override { return m_mixer.rate(); }

    // [audio thread] Renders the next frames of the output: interleaved stereo floats in [-1, 1].
    void renderFrames(float* interleavedStereo, int frames);
    // [user-interface thread] The bus whose part renderBuses mixes the channel's voices into;
    // -1, as every channel starts, for none.
    void setChannelBus(Handle channel, int bus);
    // [offline] The voices alone, each channel's into its bus (see Mixer::renderBuses).
    void renderBuses(std::span<float* const> buses, int frames);
    // [any thread] Frames rendered so far.
    int64_t renderedFrames() const { return m_mixer.renderedFrames(); }

protected:
    // [user-interface thread] Frees what the audio thread has let go of.
    void collectReturns();
    // [user-interface thread, once nothing renders] Applies what is still queued, then frees.
    void settleAfterAudioStopped();
    void setError(int code) { m_lastError = code; }

private:
    struct SampleRecord {
        std::shared_ptr<const SampleData> data;
        int maxPlaybacks = 0;
        std::vector<Handle> channels;
        int slotsOut = 0;  // channels the audio thread has not yet handed back
        bool freed = false;
    };
    void post(MixerCommand command);
    // Sends the command to a known channel; unknown handles set the error and send nothing.
    void postToChannel(Handle channel, MixerCommand command);
    bool knownChannel(Handle channel);
    void releaseSample(Handle sample, MixerCommand::Kind retirement);
    void postOverflow();
    void slotReleased(uint32_t slot);
    Handle nextHandle(uint32_t slot);

    Mixer m_mixer;
    SeqlockValue<AudioClockStamp> m_clock;  // written by whoever renders
    std::deque<MixerCommand> m_overflow;    // commands that found the queue full, posted first next time
    std::unordered_map<Handle, SampleRecord> m_samples;
    std::unordered_map<Handle, Handle> m_channelSample;  // channel -> its sample
    std::vector<Handle> m_slotSample;                    // slot -> sample, while the slot is out
    std::vector<uint32_t> m_freeSlots;
    std::shared_ptr<SampleCache> m_cache;
    bool m_cacheShared = false;
    uint32_t m_handleSerial = 0;
    std::unordered_set<Sequencer*> m_attached;
    std::mutex m_liveProducers;  // one thread at a time posts to the mixer's live queue
    int m_maxVolume = largestVolume;
    int m_lastError = errorNone;
    std::unique_ptr<SampleWorker> m_worker;  // made on first use; goes before the cache it fills
};

}  // namespace tromel::audio
