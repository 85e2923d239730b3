// The step clock of one document: plays its compiled song on the audio thread.
#include "audio/playback/SongSequencer.h"

#include "audio/mixer/KeyFrequency.h"

#include <algorithm>

namespace tromel::audio {

// [audio thread] Step n of a grid sounds at its StepGrid::frameOf(n): a start or a resume
// begins a new grid at the frame it takes effect, so nothing drifts however long it plays. A
// count-in takes the grid's first steps, clicking with the song silent.
void SongSequencer::startClock(int64_t frame, int32_t countIn) {
    m_gridStart = frame;
    m_stepsOnGrid = 0;
    m_countIn = std::max(countIn, 0);
    m_countInLeft = m_countIn;
    const StepGrid grid{
        m_run, m_state.playPosition, m_gridStart, m_song->tempo, m_song->loopBegin, m_song->loopEnd, m_countIn, m_first,
        m_rate};
    m_nextStep = grid.frameOf(1);
    m_grid.store(grid);
}

// [audio thread] The grid goes on where it stands, told from here on as a run of its own whose
// first step is the next one to play.
void SongSequencer::takeOwnLoop() {
    if (!m_song)
        return;
    m_song->loopBegin = m_song->songLoopBegin;
    m_song->loopEnd = m_song->songLoopEnd;
    // A passage past the song's loop end would otherwise play on into silence for ever.
    if (m_state.playPosition >= m_song->loopEnd)
        m_state.playPosition = m_song->loopBegin;
    if (m_nextStep == noStepFrame)
        return;
    m_grid.store({m_run, m_state.playPosition, m_gridStart + stepFrame(m_stepsOnGrid, m_song->tempo, m_rate),
                  m_song->tempo, m_song->loopBegin, m_song->loopEnd, m_countInLeft, m_first, m_rate});
}

// [audio thread] The new events take the playing song's place, channels, tempo and loop: only
// what plays at each step changes, so the clock's grid stands.
void SongSequencer::takeReplacement(ChannelControl& channels) {
    if (!m_replacement || !m_song)
        return;
    m_replacement->channels = m_song->channels;
    m_replacement->tempo = m_song->tempo;
    m_replacement->loopBegin = m_song->loopBegin;
    m_replacement->loopEnd = m_song->loopEnd;
    m_replacement->songLoopBegin = m_song->songLoopBegin;
    m_replacement->songLoopEnd = m_song->songLoopEnd;
    channels.dispose(m_song.release());
    m_song = std::move(m_replacement);
}

// [audio thread]
void SongSequencer::silence(int firstChannel, int lastChannel, bool stopThem, ChannelControl& channels) {
    if (!m_song)
        return;
    for (int k = firstChannel; k <= lastChannel; ++k) {
        if (stopThem)
            channels.stopChannel(m_song->channels[k]);
        else
            channels.pauseChannel(m_song->channels[k]);
    }
}

// [audio thread]
void SongSequencer::receive(const SequencerCommand& command, int64_t frame, ChannelControl& channels) {
    switch (command.kind) {
        case start:
            haltClock();
            channels.dispose(m_song.release());
            channels.dispose(m_replacement.release());
            m_run = command.run;
            m_song.reset(static_cast<CompiledSong*>(command.payload));
            m_state.reset();
            if (m_song)
                m_state.playPosition = m_song->firstPosition - 1;
            m_generation = command.tag;
            if (m_song)
                startClock(frame, command.count);
            break;
        case resume:
            m_run = command.run;
            if (m_song)
                startClock(frame, command.count);
            break;
        case unloop:
            m_run = command.run;
            takeOwnLoop();
            return;
        case replace:
            channels.dispose(m_replacement.release());
            m_replacement.reset(static_cast<CompiledSong*>(command.payload));
            return;
        case pause:
            haltClock();
            silence(0, 7, false, channels);
            break;
        case stop:
            haltClock();
            m_state.playPosition = 0;
            m_generation = command.tag;
            silence(0, 7, true, channels);
            break;
        case halt:
            haltClock();
            silence(0, songChannelCount - 1, true, channels);
            break;
        case close:
            haltClock();
            silence(0, 7, true, channels);
            break;
        default:
            channels.dispose(command.payload);
            return;
    }
    // A clock that stands may leave the mixer before its next publish: what it played up to
    // here has been mixed, so it is heard.
    if (m_nextStep == noStepFrame)
        publish();
}

// [audio thread] The click of a beat comes with the step's notes, at the step's own frame.
void SongSequencer::playSongStep(ChannelControl& channels) {
    const int32_t fileStep = m_state.playPosition;  // the step about to play
    const bool lastOfPass = m_state.playPosition + 1 == m_song->loopEnd;
    playStep(m_state, *m_song, m_muted.load(std::memory_order_relaxed), channels);
    if (m_metronome.load(std::memory_order_relaxed) && fileStep % m_song->beatSteps == 0)
        channels.click(fileStep % m_song->barSteps == 0);
    if (lastOfPass)
        takeReplacement(channels);
}

// [audio thread] One bar of the song's meter, its first beat accented.
void SongSequencer::countIn(ChannelControl& channels) {
    const int32_t counted = m_countIn - m_countInLeft;
    if (counted % m_song->beatSteps == 0)
        channels.click(counted == 0);
    --m_countInLeft;
}

// [audio thread]
void SongSequencer::step(ChannelControl& channels) {
    if (m_countInLeft > 0)
        countIn(channels);
    else
        playSongStep(channels);
    ++m_stepsTaken;
    ++m_stepsOnGrid;
    m_nextStep = m_gridStart + stepFrame(m_stepsOnGrid + static_cast<int32_t>(m_first), m_song->tempo, m_rate);
}

// [audio thread]
void SongSequencer::publish() {
    const uint64_t position = static_cast<uint32_t>(m_state.playPosition);
    m_published.store((static_cast<uint64_t>(m_generation) << 32) | position, std::memory_order_release);
    m_heard.store(m_stepsTaken, std::memory_order_release);
}

void SongSequencer::setMuted(int channel, bool muted) {
    if (channel < 0 || channel >= songChannelCount)
        return;
    const uint16_t bit = static_cast<uint16_t>(1u << channel);
    if (muted)
        m_muted.fetch_or(bit, std::memory_order_relaxed);
    else
        m_muted.fetch_and(static_cast<uint16_t>(~bit), std::memory_order_relaxed);
}

}  // namespace tromel::audio
