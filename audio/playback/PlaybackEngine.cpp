// What a document's Play, Pause and Stop do: prepare and compile, drive the step clock, release samples.
#include "audio/playback/PlaybackEngine.h"

#include "audio/playback/SongCompiler.h"

#include <algorithm>

namespace tromel::audio {

namespace {

constexpr const char* sampleFailureText = "Can't play file";

}  // namespace

PlaybackEngine::PlaybackEngine(AudioLayer& layer, std::filesystem::path sampleFolder, FirstStep first)
    : m_layer(layer),
      m_sampleFolder(std::move(sampleFolder)),
      m_sequencer(std::make_unique<SongSequencer>(first, layer.sampleRate())) {}

// Closing a document silences its instruments; its drums play out, and their samples go once
// they have.
PlaybackEngine::~PlaybackEngine() {
    cancelPreparation();
    if (m_compiled)
        send(SongSequencer::close);
    releaseSamples(true);
    m_layer.retireSequencer(std::move(m_sequencer));
}

void PlaybackEngine::send(SongSequencer::Command kind, Disposable* payload, int32_t count) {
    if (kind == SongSequencer::start || kind == SongSequencer::resume || kind == SongSequencer::unloop)
        ++m_runs;
    m_layer.sendToSequencer(m_sequencer.get(), {kind, payload, m_generation, m_runs, count});
}

// What plays again after Stop, or from Stop, Pause, Play, loops as the song does.
void PlaybackEngine::ownLoopAgain() {
    m_passageLoop = false;
    if (!m_lastCompile)
        return;
    m_lastCompile->loopBegin = m_lastCompile->songLoopBegin;
    m_lastCompile->loopEnd = m_lastCompile->songLoopEnd;
}

void PlaybackEngine::endPassageLoop() {
    if (!m_passageLoop)
        return;
    ownLoopAgain();
    if (m_compiled)
        send(SongSequencer::unloop);
}

// A grid of an earlier run (before a pause, or of the last play) would misplace what is heard now.
std::optional<StepGrid> PlaybackEngine::stepGrid() const {
    if (m_state != TransportState::Playing || !m_compiled)
        return std::nullopt;
    const StepGrid grid = m_sequencer->grid();
    if (grid.run != m_runs)
        return std::nullopt;
    return grid;
}

void PlaybackEngine::refreshEvents(const Song& song) {
    if (!m_compiled || !m_lastCompile)
        return;
    auto compiled = std::make_unique<CompiledSong>();
    compileEvents(song, *compiled, m_lastCompile->loopEnd);
    m_lastCompile->events = compiled->events;
    m_lastCompile->slotCount = compiled->slotCount;
    send(SongSequencer::replace, compiled.release());
}

int32_t PlaybackEngine::playPosition() const {
    if (m_state == TransportState::Stopped && !m_compiling)
        return 0;
    const uint64_t published = m_sequencer->publishedPosition();
    if (static_cast<uint32_t>(published >> 32) != m_generation)
        return 0;  // nothing of this play has been heard yet
    return static_cast<int32_t>(static_cast<uint32_t>(published));
}

// The mixer drives a bounded number of clocks; a refused one is reported as the error box.
bool PlaybackEngine::attach(TransportHost& host) {
    if (m_layer.attachSequencer(m_sequencer.get()))
        return true;
    host.showAudioError(sampleFailureText);
    return false;
}

bool PlaybackEngine::play(const Song& song, TransportHost& host, std::optional<int32_t> from,
                          std::optional<Passage> passage) {
    if (m_compiling)
        return false;  // Play pressed again while this compile waits on an error box
    m_countInSteps = m_countIn ? barStepsOf(song) : 0;
    if (from) {
        // Play from Here starts afresh whatever the state: a preparation under way gives way.
        cancelPreparation();
        if (m_state == TransportState::Paused)
            m_state = TransportState::Stopped;
    }
    if (m_pending) {
        // Pressed again while the samples are prepared: that preparation goes on.
        m_state = TransportState::Playing;
        proceed(host);
        return true;
    }
    if (m_state == TransportState::Paused && m_compiled) {
        send(SongSequencer::resume, nullptr, m_countInSteps);
        m_state = TransportState::Playing;
        return true;
    }
    if (m_state == TransportState::Paused && m_lastCompile) {
        // Stop, Pause, Play: the last compile once more from its first step, on new channels.
        if (!attach(host))
            return false;
        startPreparing(m_lastSamples, std::make_unique<CompiledSong>(*m_lastCompile), host);
        return true;
    }
    if (const auto reason = playRefusal(song)) {
        host.showPlayRefusal(*reason);
        return false;
    }
    if (!attach(host))
        return false;
    if (passage) {
        passage->first = std::max(passage->first, 1);
        passage->last = std::max(passage->last, passage->first);
    }
    auto compiled = std::make_unique<CompiledSong>();
    compileEvents(song, *compiled, passage ? passage->last : 0);
    m_passageLoop = passage.has_value();
    if (passage) {
        compiled->loopBegin = passage->first - 1;
        compiled->loopEnd = passage->last;
    }
    if (from)
        compiled->firstPosition = std::clamp(*from, 1, compiled->loopEnd);
    startPreparing(songSamples(song, m_sampleFolder), std::move(compiled), host);
    return true;
}

void PlaybackEngine::startPreparing(std::vector<SampleRequest> samples, std::unique_ptr<CompiledSong> compiled,
                                    TransportHost& host) {
    // The clock stops first, so no step runs against a half-made compile, and the previous
    // compile's channels are silenced and given back before new ones are made.
    if (m_compiled)
        send(SongSequencer::halt);
    m_compiled = false;
    releaseSamples(false);
    ++m_generation;  // the cursor shows nothing until this play is heard
    m_state = TransportState::Playing;
    m_pending = std::make_unique<PendingPlay>();
    m_pending->samples = std::move(samples);
    m_pending->compiled = std::move(compiled);
    m_pending->preparation = m_layer.prepareSamples(m_pending->samples);
    if (!m_pending->preparation) {
        proceed(host);
        return;
    }
    host.samplesPreparing(m_pending->preparation->total());
}

bool PlaybackEngine::proceed(TransportHost& host) {
    if (!m_pending || m_compiling)
        return m_pending != nullptr;
    const SamplePreparation* preparation = m_pending->preparation.get();
    if (preparation && !preparation->finished()) {
        host.samplesPrepared(preparation->done());
        return true;
    }
    if (m_state != TransportState::Playing)
        return true;  // paused while preparing: the song starts when Play is pressed again
    const std::unique_ptr<PendingPlay> pending = std::move(m_pending);
    compile(*pending, host);
    return false;
}

void PlaybackEngine::finishPreparing(TransportHost& host) {
    if (m_pending && m_pending->preparation)
        m_pending->preparation->wait();
    proceed(host);
}

void PlaybackEngine::cancelPreparation() {
    if (m_pending && m_pending->preparation)
        m_pending->preparation->cancel();
    m_pending.reset();
}

// The samples are prepared by now, so loading them takes no time; error boxes may still wait.
void PlaybackEngine::compile(PendingPlay& pending, TransportHost& host) {
    m_compiling = true;
    m_deferred = Deferred::Nothing;
    CompiledSong& compiled = *pending.compiled;
    for (int k = 0; k < songChannelCount; ++k)
        prepareChannel(k, pending.samples[k], host, compiled);
    host.songCompiled(compiled.loopEnd);
    m_lastCompile = std::make_unique<CompiledSong>(compiled);
    m_lastCompile->firstPosition = 1;  // played again after Stop, a compile starts at the start
    m_lastSamples = pending.samples;
    send(SongSequencer::start, pending.compiled.release(), m_countInSteps);
    m_compiled = true;
    host.preparationEnded();
    m_compiling = false;
    if (m_deferred == Deferred::Pause)
        pause();
    else if (m_deferred == Deferred::Stop)
        stop();
}

void PlaybackEngine::prepareChannel(int k, const SampleRequest& sample, TransportHost& host, CompiledSong& compiled) {
    const bool drum = k >= 8;
    if (sample.path.empty()) {
        compiled.channels[k] = 0;  // a drum beyond the bank: silent, and reported when the song was opened
        return;
    }
    m_samples[k] = m_layer.loadSample(sample.path, sample.loop, samplesMaxPlaybacks);
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

// A stopped document gives its clock's place and its channels back; its drums play out first.
void PlaybackEngine::stop() {
    if (m_compiling) {
        m_deferred = Deferred::Stop;
        return;
    }
    cancelPreparation();
    ownLoopAgain();
    m_state = TransportState::Stopped;
    ++m_generation;
    if (m_compiled)
        send(SongSequencer::stop);
    m_compiled = false;
    releaseSamples(true);
    m_layer.detachSequencer(m_sequencer.get());
}

}  // namespace tromel::audio
