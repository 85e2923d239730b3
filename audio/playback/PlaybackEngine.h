// What a document's Play, Pause and Stop do: prepare and compile, drive the step clock, release samples.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/playback/CompiledSong.h"
#include "audio/playback/SongSequencer.h"
#include "audio/playback/Transport.h"
#include "audio/samples/SamplePreparation.h"
#include "song/Song.h"

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace tromel::audio {

// Every call is made on the user-interface thread; the clock itself runs on the audio thread and
// the samples are prepared on the layer's sample worker. The clock takes its place in the mixer,
// and the channels theirs, from Play to Stop or close: any number of documents may be open, and
// as many as the mixer drives may play or pause at once.
class PlaybackEngine {
public:
    PlaybackEngine(AudioLayer& layer, std::filesystem::path sampleFolder, FirstStep first = FirstStep::OneStepIn);
    ~PlaybackEngine();

    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;

    // A passage of play positions [first, last] that playback loops over in place of the song's loop.
    struct Passage {
        int32_t first = 1;
        int32_t last = 1;
    };

    // From the song's first step; with `from` (a play position), compiled anew from there; with
    // `passage` too, looping over it.
    bool play(const Song& song, TransportHost& host, std::optional<int32_t> from = std::nullopt,
              std::optional<Passage> passage = std::nullopt);
    // The song's own loop again, at once, for the rest of the play.
    void endPassageLoop();
    bool loopsPassage() const { return m_passageLoop; }
    void setMetronome(bool on) { m_sequencer->setMetronome(on); }
    void setCountIn(bool on) { m_countIn = on; }
    bool proceed(TransportHost& host);
    void finishPreparing(TransportHost& host);
    void pause();
    void stop();
    void setMuted(int channel, bool muted) { m_sequencer->setMuted(channel, muted); }
    // The layer's channel that plays song channel k in the last compile (0 for none).
    Handle channelOf(int k) const { return m_lastCompile ? m_lastCompile->channels[k] : 0; }

    TransportState state() const { return m_state; }
    bool isPreparing() const { return m_pending != nullptr; }
    int32_t playPosition() const;
    uint64_t stepsHeard() const { return m_sequencer->stepsHeard(); }
    // While playing: where the steps of the present run of the clock fall, once it has begun.
    std::optional<StepGrid> stepGrid() const;
    // While a compile plays or is paused: the song's notes as they are now take the place of the
    // compiled ones from the loop's next pass on (its tempo, loop and samples stay).
    void refreshEvents(const Song& song);

private:
    // What Stop or Pause asked for while a compile was waiting on an error box.
    enum class Deferred { Nothing, Pause, Stop };

    // A Play whose samples are being prepared: its events are compiled already, as the song
    // was when Play was pressed.
    struct PendingPlay {
        std::vector<SampleRequest> samples;  // by song channel
        std::unique_ptr<CompiledSong> compiled;
        std::shared_ptr<SamplePreparation> preparation;  // null when nothing needed preparing
    };

    bool attach(TransportHost& host);
    void startPreparing(std::vector<SampleRequest> samples, std::unique_ptr<CompiledSong> compiled,
                        TransportHost& host);
    void compile(PendingPlay& pending, TransportHost& host);
    void prepareChannel(int k, const SampleRequest& sample, TransportHost& host, CompiledSong& compiled);
    void releaseSamples(bool whenSilent);
    void cancelPreparation();
    void send(SongSequencer::Command kind, Disposable* payload = nullptr, int32_t count = 0);
    void ownLoopAgain();

    AudioLayer& m_layer;
    std::filesystem::path m_sampleFolder;
    std::unique_ptr<SongSequencer> m_sequencer;
    std::array<Handle, songChannelCount> m_samples{};
    std::unique_ptr<PendingPlay> m_pending;
    // What Stop, Pause and Play play again: the last compile's events and samples.
    std::unique_ptr<CompiledSong> m_lastCompile;
    std::vector<SampleRequest> m_lastSamples;
    TransportState m_state = TransportState::Stopped;
    bool m_compiled = false;  // the clock holds a compile whose channels are ours
    bool m_compiling = false;
    bool m_countIn = false;
    int32_t m_countInSteps = 0;  // of the Play under way: the next start or resume counts in
    bool m_passageLoop = false;
    Deferred m_deferred = Deferred::Nothing;
    uint32_t m_generation = 0;
    uint32_t m_runs = 0;  // starts and resumes sent to the clock
};

}  // namespace tromel::audio
