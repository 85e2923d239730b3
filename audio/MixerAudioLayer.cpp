// The audio layer on our own mixer, without a device: renders on request.
#include "audio/MixerAudioLayer.h"

#include "audio/samples/SamplePreparation.h"

#include <algorithm>

namespace tromel::audio {

namespace {

constexpr Handle sampleHandleBit = 0x80000000u;
constexpr uint32_t channelSerialLimit = 1u << (31 - Mixer::slotBits);  // channel handles keep the top bit clear

MixerCommand commandOf(MixerCommand::Kind kind) {
    MixerCommand command;
    command.kind = kind;
    return command;
}

}  // namespace

MixerAudioLayer::MixerAudioLayer(int rate) : MixerAudioLayer(std::make_shared<SampleCache>(), rate) {
    m_cacheShared = false;
}

MixerAudioLayer::MixerAudioLayer(std::shared_ptr<SampleCache> sharedCache, int rate)
    : m_mixer(rate), m_slotSample(Mixer::slotCapacity, 0), m_cache(std::move(sharedCache)), m_cacheShared(true) {
    for (uint32_t slot = Mixer::slotCapacity; slot-- > 0;)
        m_freeSlots.push_back(slot);
}

MixerAudioLayer::~MixerAudioLayer() {
    release();
    m_worker.reset();
}

// Commands keep their order: nothing new goes ahead of one still waiting.
void MixerAudioLayer::postOverflow() {
    while (!m_overflow.empty() && m_mixer.post(m_overflow.front()))
        m_overflow.pop_front();
}

void MixerAudioLayer::post(MixerCommand command) {
    command.frame = m_mixer.renderedFrames();
    postOverflow();
    if (!m_overflow.empty() || !m_mixer.post(command))
        m_overflow.push_back(command);
}

bool MixerAudioLayer::flushPending() {
    postOverflow();
    collectReturns();
    return !m_overflow.empty();
}

void MixerAudioLayer::collectReturns() {
    MixerReturn item;
    while (m_mixer.collect(item)) {
        if (item.kind == MixerReturn::Kind::Dispose)
            delete item.object;
        else
            slotReleased(item.slot);
    }
}

void MixerAudioLayer::slotReleased(uint32_t slot) {
    const Handle sample = m_slotSample[slot];
    m_slotSample[slot] = 0;
    m_freeSlots.push_back(slot);
    const auto found = m_samples.find(sample);
    if (found == m_samples.end())
        return;
    if (--found->second.slotsOut == 0 && found->second.freed)
        m_samples.erase(found);
}

void MixerAudioLayer::settleAfterAudioStopped() {
    while (!m_overflow.empty()) {
        m_mixer.post(m_overflow.front());
        m_overflow.pop_front();
        m_mixer.settle();
    }
    m_mixer.settle();
    collectReturns();
}

void MixerAudioLayer::setMaxVolume(int volume) {
    m_maxVolume = std::max(1, volume);
    MixerCommand command;
    command.kind = MixerCommand::Kind::SetMaxVolume;
    command.volume = m_maxVolume;
    post(command);
    m_lastError = errorNone;
}

bool MixerAudioLayer::initDevice(int) {
    m_lastError = errorNone;
    return true;
}

void MixerAudioLayer::release() {
    if (m_worker)
        m_worker->cancelAll();
    settleAfterAudioStopped();
    m_mixer.clear();
    m_samples.clear();
    m_channelSample.clear();
    std::fill(m_slotSample.begin(), m_slotSample.end(), 0);
    m_freeSlots.clear();
    for (uint32_t slot = Mixer::slotCapacity; slot-- > 0;)
        m_freeSlots.push_back(slot);
    if (!m_cacheShared)
        m_cache->clear();
    m_attached.clear();
}

Handle MixerAudioLayer::loadSample(const std::filesystem::path& path, bool loop, int maxPlaybacks) {
    collectReturns();
    SampleLoad load = m_cache->load(path, loop, m_mixer.sampleLevels());
    m_lastError = load.error;
    if (!load.sample)
        return 0;
    std::shared_ptr<const SampleData> data = std::move(load.sample);
    Handle handle = 0;
    do {
        handle = sampleHandleBit | (++m_handleSerial & ~sampleHandleBit);
    } while (handle == sampleHandleBit || m_samples.count(handle));
    SampleRecord& record = m_samples[handle];
    record.data = std::move(data);
    record.maxPlaybacks = std::max(1, maxPlaybacks);
    return handle;
}

std::shared_ptr<SamplePreparation> MixerAudioLayer::prepareSamples(const std::vector<SampleRequest>& requests) {
    const bool allPrepared = std::all_of(requests.begin(), requests.end(), [this](const SampleRequest& request) {
        return m_cache->find(request.path, request.loop, m_mixer.sampleLevels()) != nullptr;
    });
    if (allPrepared)
        return nullptr;
    auto batch = std::make_shared<SamplePreparation>(requests);
    if (!m_worker)
        m_worker = std::make_unique<SampleWorker>(*m_cache, m_mixer.sampleLevels());
    m_worker->enqueue(batch);
    return batch;
}

void MixerAudioLayer::releaseSample(Handle sample, MixerCommand::Kind retirement) {
    collectReturns();
    const auto found = m_samples.find(sample);
    if (found == m_samples.end() || found->second.freed) {
        m_lastError = sample == 0 ? m_lastError : errorHandle;
        return;
    }
    SampleRecord& record = found->second;
    for (Handle channel : record.channels) {
        MixerCommand command;
        command.kind = retirement;
        command.handle = channel;
        post(command);
        m_channelSample.erase(channel);
    }
    record.channels.clear();
    record.freed = true;
    // The data stays with the record until the audio thread has handed back every slot.
    if (record.slotsOut == 0)
        m_samples.erase(found);
    m_lastError = errorNone;
}

void MixerAudioLayer::freeSample(Handle sample) {
    releaseSample(sample, MixerCommand::Kind::Retire);
}

void MixerAudioLayer::freeSampleWhenSilent(Handle sample) {
    releaseSample(sample, MixerCommand::Kind::RetireWhenSilent);
}

Handle MixerAudioLayer::nextHandle(uint32_t slot) {
    m_handleSerial = m_handleSerial + 1 < channelSerialLimit ? m_handleSerial + 1 : 1;
    return (m_handleSerial << Mixer::slotBits) | slot;
}

Handle MixerAudioLayer::channelFromSample(Handle sample) {
    if (sample == 0)
        return 0;
    collectReturns();
    const auto found = m_samples.find(sample);
    if (found == m_samples.end() || found->second.freed) {
        m_lastError = errorHandle;
        return 0;
    }
    SampleRecord& record = found->second;
    if (static_cast<int>(record.channels.size()) >= record.maxPlaybacks || m_freeSlots.empty()) {
        m_lastError = errorNoChannel;
        return 0;
    }
    const uint32_t slot = m_freeSlots.back();
    m_freeSlots.pop_back();
    const Handle channel = nextHandle(slot);
    record.channels.push_back(channel);
    ++record.slotsOut;
    m_slotSample[slot] = sample;
    m_channelSample[channel] = sample;
    MixerCommand command;
    command.kind = MixerCommand::Kind::Bind;
    command.slot = slot;
    command.handle = channel;
    command.sample = record.data.get();
    command.flag = record.data->loop;
    post(command);
    m_lastError = errorNone;
    return channel;
}

bool MixerAudioLayer::knownChannel(Handle channel) {
    if (channel == 0)
        return false;
    collectReturns();
    if (m_channelSample.count(channel))
        return true;
    m_lastError = errorHandle;
    return false;
}

void MixerAudioLayer::postToChannel(Handle channel, MixerCommand command) {
    if (!knownChannel(channel))
        return;
    command.handle = channel;
    post(command);
    m_lastError = errorNone;
}

void MixerAudioLayer::setChannelLooping(Handle channel, bool loop) {
    MixerCommand command = commandOf(MixerCommand::Kind::SetLooping);
    command.flag = loop;
    postToChannel(channel, command);
}

void MixerAudioLayer::setChannelAttributes(Handle channel, int frequency, int volume, int pan) {
    MixerCommand command = commandOf(MixerCommand::Kind::SetAttributes);
    command.frequency = frequency;
    command.volume = volume;
    command.pan = pan;
    postToChannel(channel, command);
}

void MixerAudioLayer::setChannelBus(Handle channel, int bus) {
    MixerCommand command = commandOf(MixerCommand::Kind::SetBus);
    command.bus = bus;
    postToChannel(channel, command);
}

// Samples live in memory whole, so there is nothing to read ahead.
void MixerAudioLayer::preBuffer(Handle channel) {
    if (knownChannel(channel))
        m_lastError = errorNone;
}

void MixerAudioLayer::playChannel(Handle channel) {
    postToChannel(channel, commandOf(MixerCommand::Kind::Play));
}

void MixerAudioLayer::pauseChannel(Handle channel) {
    postToChannel(channel, commandOf(MixerCommand::Kind::Pause));
}

void MixerAudioLayer::stopChannel(Handle channel) {
    postToChannel(channel, commandOf(MixerCommand::Kind::Stop));
}

bool MixerAudioLayer::attachSequencer(Sequencer* sequencer) {
    collectReturns();
    if (!sequencer || m_attached.count(sequencer))
        return sequencer != nullptr;
    if (m_attached.size() >= static_cast<std::size_t>(Mixer::sequencerCapacity)) {
        m_lastError = errorNoSequencer;
        return false;
    }
    m_attached.insert(sequencer);
    MixerCommand command;
    command.kind = MixerCommand::Kind::Attach;
    command.sequencer = sequencer;
    post(command);
    m_lastError = errorNone;
    return true;
}

void MixerAudioLayer::detachSequencer(Sequencer* sequencer) {
    if (!sequencer || !m_attached.erase(sequencer))
        return;
    MixerCommand command;
    command.kind = MixerCommand::Kind::Detach;
    command.sequencer = sequencer;
    post(command);
}

void MixerAudioLayer::retireSequencer(std::unique_ptr<Sequencer> sequencer) {
    if (!sequencer)
        return;
    m_attached.erase(sequencer.get());
    MixerCommand command;
    command.kind = MixerCommand::Kind::Retreat;
    command.sequencer = sequencer.release();
    post(command);
    collectReturns();
}

void MixerAudioLayer::sendToSequencer(Sequencer* sequencer, const SequencerCommand& command) {
    if (!sequencer) {
        delete command.payload;
        return;
    }
    MixerCommand message;
    message.kind = MixerCommand::Kind::ToSequencer;
    message.sequencer = sequencer;
    message.sequencerCommand = command;
    post(message);
}

bool MixerAudioLayer::postLiveNote(const LiveNote& note) {
    const std::lock_guard<std::mutex> oneAtATime(m_liveProducers);
    return m_mixer.postLive(note);
}

void MixerAudioLayer::renderFrames(float* interleavedStereo, int frames) {
    if (frames <= 0)
        return;
    m_clock.store({m_mixer.renderedFrames(), steadyNanoseconds()});
    m_mixer.render(interleavedStereo, frames);
}

void MixerAudioLayer::renderBuses(std::span<float* const> buses, int frames) {
    if (frames > 0)
        m_mixer.renderBuses(buses, frames);
}

}  // namespace tromel::audio
