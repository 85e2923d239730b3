// What a document's Play, Pause and Stop do: compile, drive the step clock, release samples.
#include "audio/PlaybackEngine.h"

#include "audio/SongCompiler.h"

namespace tromel::audio {

namespace {

constexpr const char* compilingText = "Compiling ORG...";
constexpr const char* sampleFailureText = "Can't play file";

}  // namespace

PlaybackEngine::PlaybackEngine(AudioLayer& layer, std::filesystem::path sampleFolder)
    : m_layer(layer), m_sampleFolder(std::move(sampleFolder)), m_sequencer(std::make_unique<SongSequencer>()) {
    m_layer.attachSequencer(m_sequencer.get());
}

// Closing a document silences its instruments; its drums play out, and their samples go once
// they have.
PlaybackEngine::~PlaybackEngine() {
    if (m_compiled)
        send(SongSequencer::close);
    releaseSamples(true);
    m_layer.retireSequencer(std::move(m_sequencer));
}

void PlaybackEngine::send(SongSequencer::Command kind, Disposable* payload) {
    m_layer.sendToSequencer(m_sequencer.get(), {kind, payload, m_generation});
}

int32_t PlaybackEngine::playPosition() const {
    if (m_state == TransportState::Stopped && !m_compiling)
        return 0;
    const uint64_t published = m_sequencer->publishedPosition();
    if (static_cast<uint32_t>(published >> 32) != m_generation)
        return 0;  // nothing of this play has been heard yet
    return static_cast<int32_t>(static_cast<uint32_t>(published));
}

bool PlaybackEngine::play(const Song& song, TransportHost& host) {
    if (m_compiling)
        return false;  // Play pressed again while this compile waits on an error box
    if (m_state == TransportState::Paused && m_compiled) {
        send(SongSequencer::resume);
        m_state = TransportState::Playing;
        return true;
    }
    if (const auto reason = playRefusal(song)) {
        host.showPlayRefusal(*reason);
        return false;
    }
    m_compiling = true;
    m_deferred = Deferred::Nothing;
    compile(song, host);
    m_compiling = false;
    m_state = TransportState::Playing;
    if (m_deferred == Deferred::Pause)
        pause();
    else if (m_deferred == Deferred::Stop)
        stop();
    return true;
}

void PlaybackEngine::compile(const Song& song, TransportHost& host) {
    // The clock stops first, so no step runs against a half-made compile, and the previous
    // compile's channels are silenced and given back before new ones are made.
    if (m_compiled)
        send(SongSequencer::halt);
    releaseSamples(false);
    auto compiled = std::make_unique<CompiledSong>();
    for (int k = 0; k < songChannelCount; ++k)
        prepareChannel(k, song, host, *compiled);
    host.setProgressMaximum(song.loopEnd);
    host.setStatusText(compilingText);
    compileEvents(song, *compiled);
    host.setProgress(song.loopEnd);
    ++m_generation;
    send(SongSequencer::start, compiled.release());
    m_compiled = true;
    host.setProgress(0);
    host.showChannelStatus();
}

void PlaybackEngine::prepareChannel(int k, const Song& song, TransportHost& host, CompiledSong& compiled) {
    const bool drum = k >= 8;
    const int channel = drum ? k - 8 : k;
    const int number = drum ? song.drums[channel].wave : song.instruments[channel].wave;
    const std::filesystem::path path = m_sampleFolder / sampleFileName(drum, number);
    m_samples[k] = m_layer.loadSample(path, !drum, samplesMaxPlaybacks);
    const Handle handle = m_layer.channelFromSample(m_samples[k]);
    compiled.channels[k] = handle;
    if (handle == 0)
        host.showAudioError(sampleFailureText);
    m_layer.setChannelLooping(handle, !drum);
    m_layer.setChannelAttributes(handle, 0, unchangedVolume, unchangedPan);
    if (!drum)
        m_layer.preBuffer(handle);
}

void PlaybackEngine::releaseSamples(bool whenSilent) {
    for (Handle& sample : m_samples) {
        if (whenSilent)
            m_layer.freeSampleWhenSilent(sample);
        else
            m_layer.freeSample(sample);
        sample = 0;
    }
}

void PlaybackEngine::pause() {
    if (m_compiling) {
        m_deferred = Deferred::Pause;
        return;
    }
    m_state = TransportState::Paused;
    if (m_compiled)
        send(SongSequencer::pause);
}

void PlaybackEngine::stop() {
    if (m_compiling) {
        m_deferred = Deferred::Stop;
        return;
    }
    m_state = TransportState::Stopped;
    ++m_generation;
    if (m_compiled)
        send(SongSequencer::stop);
}

}  // namespace tromel::audio
