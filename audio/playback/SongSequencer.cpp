// The step clock of one document: plays its compiled song on the audio thread.
#include "audio/playback/SongSequencer.h"

#include "audio/mixer/KeyFrequency.h"

namespace tromel::audio {

// [audio thread] Step n of a grid sounds at its StepGrid::frameOf(n): a start or a resume
// begins a new grid at the frame it takes effect, so nothing drifts however long it plays.
void SongSequencer::startClock(int64_t frame) {
    m_gridStart = frame;
    m_stepsOnGrid = 0;
    const StepGrid grid{m_run,  m_state.playPosition, m_gridStart, m_song->tempo, m_song->loopBegin, m_song->loopEnd,
                        m_first};
    m_nextStep = grid.frameOf(1);
    m_grid.store(grid);
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
                startClock(frame);
            break;
        case resume:
            m_run = command.run;
            if (m_song)
                startClock(frame);
            break;
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

// [audio thread]
void SongSequencer::step(ChannelControl& channels) {
    const bool lastOfPass = m_state.playPosition + 1 == m_song->loopEnd;
    playStep(m_state, *m_song, m_muted.load(std::memory_order_relaxed), channels);
    if (lastOfPass)
        takeReplacement(channels);
    ++m_stepsTaken;
    ++m_stepsOnGrid;
    m_nextStep = m_gridStart + stepFrame(m_stepsOnGrid + static_cast<int32_t>(m_first), m_song->tempo);
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
