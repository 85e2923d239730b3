// One step of playback: note ends, then the step's events, then the wrap at the loop end.
#include "audio/playback/StepPlayer.h"

#include "audio/mixer/KeyFrequency.h"

#include <limits>

namespace tromel::audio {

namespace {

constexpr int drumChangeVolumeBoost = 25;

void endNotes(PlaybackState& state, const CompiledSong& song, ChannelControl& channels) {
    for (int k = 0; k < songChannelCount; ++k) {
        if (!state.channelSilent[k] && state.ticksLeft[k] == 0) {
            state.channelSilent[k] = true;
            channels.pauseChannel(song.channels[k]);
        } else {
            // Silent channels count down too; a note of length 0 starts at -1 and is never cut.
            // The count stops at the bottom instead of wrapping round to a cut years later.
            if (state.ticksLeft[k] != std::numeric_limits<int32_t>::min())
                --state.ticksLeft[k];
        }
    }
}

void startNote(PlaybackState& state, const CompiledSong& song, const PlayEvent& event, ChannelControl& channels) {
    const int k = event.songChannel();
    state.ticksLeft[k] = event.length - 1;
    channels.startNote(song.channels[k], noteFrequency(event.keyRow, event.isDrum != 0), event.volume, event.pan);
    state.channelSilent[k] = false;
}

void changeNote(const CompiledSong& song, const PlayEvent& event, ChannelControl& channels) {
    int volume = event.volume;
    if (event.isDrum && volume != unchangedVolume)
        volume += drumChangeVolumeBoost;
    channels.setChannelAttributes(song.channels[event.songChannel()], unchangedFrequency, volume, event.pan);
}

}  // namespace

void PlaybackState::reset() {
    playPosition = 0;
    ticksLeft.fill(0);
    channelSilent.fill(true);
}

void playStep(PlaybackState& state, const CompiledSong& song, MuteMask muted, ChannelControl& channels) {
    ++state.playPosition;
    endNotes(state, song, channels);
    for (const PlayEvent& event : song.eventsAt(state.playPosition)) {
        if (muted & (1u << event.songChannel()))
            continue;
        if (event.kind == EventKind::NoteStart)
            startNote(state, song, event, channels);
        else if (event.kind == EventKind::Change)
            changeNote(song, event, channels);
    }
    if (state.playPosition == song.loopEnd)
        state.playPosition = song.loopBegin;
}

}  // namespace tromel::audio
