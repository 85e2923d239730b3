// What a document's Play, Pause and Stop do: compile, drive the step clock, release samples.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/CompiledSong.h"
#include "audio/SongSequencer.h"
#include "audio/Transport.h"
#include "song/Song.h"

#include <array>
#include <filesystem>
#include <memory>

namespace tromel::audio {

// Every call is made on the user-interface thread; the clock itself runs on the audio thread.
class PlaybackEngine {
public:
    PlaybackEngine(AudioLayer& layer, std::filesystem::path sampleFolder);
    ~PlaybackEngine();

    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;

    bool play(const Song& song, TransportHost& host);
    void pause();
    void stop();
    void setMuted(int channel, bool muted) { m_sequencer->setMuted(channel, muted); }

    TransportState state() const { return m_state; }
    int32_t playPosition() const;
    uint64_t stepsHeard() const { return m_sequencer->stepsHeard(); }

private:
    // What Stop or Pause asked for while a compile was waiting on an error box.
    enum class Deferred { Nothing, Pause, Stop };

    void compile(const Song& song, TransportHost& host);
    void prepareChannel(int k, const Song& song, TransportHost& host, CompiledSong& compiled);
    void releaseSamples(bool whenSilent);
    void send(SongSequencer::Command kind, Disposable* payload = nullptr);

    AudioLayer& m_layer;
    std::filesystem::path m_sampleFolder;
    std::unique_ptr<SongSequencer> m_sequencer;
    std::array<Handle, songChannelCount> m_samples{};
    TransportState m_state = TransportState::Stopped;
    bool m_compiled = false;
    bool m_compiling = false;
    Deferred m_deferred = Deferred::Nothing;
    uint32_t m_generation = 0;
};

}  // namespace tromel::audio
