// Play, Pause and Stop of one document: compiles the song and drives its step clock.
#include "audio/playback/Transport.h"

#include "audio/playback/PlaybackEngine.h"

namespace tromel::audio {

Transport::Transport(AudioLayer& layer, std::filesystem::path sampleFolder, FirstStep first)
    : m_engine(std::make_unique<PlaybackEngine>(layer, std::move(sampleFolder), first)) {}

Transport::~Transport() = default;

bool Transport::play(const Song& song, TransportHost& host) {
    return m_engine->play(song, host);
}

bool Transport::playFrom(const Song& song, TransportHost& host, int32_t position) {
    return m_engine->play(song, host, position);
}

bool Transport::playPassage(const Song& song, TransportHost& host, int32_t first, int32_t last) {
    return m_engine->play(song, host, first, PlaybackEngine::Passage{first, last});
}

void Transport::endPassageLoop() {
    m_engine->endPassageLoop();
}

bool Transport::loopsPassage() const {
    return m_engine->loopsPassage();
}

void Transport::setMetronome(bool on) {
    m_engine->setMetronome(on);
}

void Transport::setCountIn(bool on) {
    m_engine->setCountIn(on);
}

bool Transport::proceed(TransportHost& host) {
    return m_engine->proceed(host);
}

void Transport::finishPreparing(TransportHost& host) {
    m_engine->finishPreparing(host);
}

bool Transport::isPreparing() const {
    return m_engine->isPreparing();
}

void Transport::pause() {
    m_engine->pause();
}

void Transport::stop() {
    m_engine->stop();
}

void Transport::setMuted(int channel, bool muted) {
    m_engine->setMuted(channel, muted);
}

Handle Transport::channelOf(int k) const {
    return m_engine->channelOf(k);
}

TransportState Transport::state() const {
    return m_engine->state();
}

int32_t Transport::playPosition() const {
    return m_engine->playPosition();
}

uint64_t Transport::stepsHeard() const {
    return m_engine->stepsHeard();
}

std::optional<StepGrid> Transport::stepGrid() const {
    return m_engine->stepGrid();
}

void Transport::refreshEvents(const Song& song) {
    m_engine->refreshEvents(song);
}

}  // namespace tromel::audio
