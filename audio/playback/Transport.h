// Play, Pause and Stop of one document: compiles the song and drives its step clock.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/playback/StepGrid.h"
#include "song/Song.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tromel::audio {

// What a play tells whoever started it as it gets ready to sound; the document window shows it
// (user-interface thread). Hosts that show nothing of the way there keep the empty defaults.
class TransportHost {
public:
    virtual ~TransportHost() = default;
    // The play's samples are being prepared: `total` files, none of them ready yet.
    virtual void samplesPreparing(int32_t total) { static_cast<void>(total); }
    // `done` of them are ready.
    virtual void samplesPrepared(int32_t done) { static_cast<void>(done); }
    // The song's events are compiled up to its loop end, `steps` steps, and its channels made.
    virtual void songCompiled(int32_t steps) { static_cast<void>(steps); }
    // Nothing is prepared or compiled any more: the song plays, or Stop gave its preparation up.
    virtual void preparationEnded() {}
    virtual void showAudioError(const std::string& text) = 0;     // "Can't play file", with the layer's error code
    virtual void showPlayRefusal(const std::string& reason) = 0;  // a song that cannot play, and why
};

enum class TransportState { Stopped, Playing, Paused };

class PlaybackEngine;

// One per document window, and one per render (whose first step sounds at once).
// Every call is made on the user-interface thread.
class Transport {
public:
    Transport(AudioLayer& layer, std::filesystem::path sampleFolder, FirstStep first = FirstStep::OneStepIn);
    ~Transport();  // stops the instrument channels and releases this document's samples

    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    // Paused: resume at the next step. Otherwise compile the song and start from its first step.
    // Samples not prepared yet are prepared on a worker thread first (the song's events are taken
    // now): until they are ready isPreparing() is true, the host hears how far they are, and
    // proceed() starts the song. Returns false when nothing started or will start: the song was
    // refused (host.showPlayRefusal said why) or the mixer had no room (host.showAudioError).
    bool play(const Song& song, TransportHost& host);
    // Play from Here: compiles as Play does, even when paused, and plays from the play position
    // `position` (a column of the roll, counted from 1; past the loop end, the loop end) on, then
    // loops as Play does. Stop returns to the start as ever.
    bool playFrom(const Song& song, TransportHost& host, int32_t position);
    // Loop Selection: compiles as Play from Here does and plays the play positions [first, last]
    // (columns, counted from 1) over and over in place of the song's loop, until Stop or
    // endPassageLoop(); the song's loop points are not touched.
    bool playPassage(const Song& song, TransportHost& host, int32_t first, int32_t last);
    // The song's own loop again from the next step on; playing past its loop end, playback
    // goes on at its loop begin. Nothing unless a passage loops.
    void endPassageLoop();
    bool loopsPassage() const;
    // The metronome: a click on every beat of the song's meter while it plays, an accented one on
    // the first beat of each bar (a song whose bar fields are 0 counts 4 beats of 4 steps). The
    // click is the mixer's own tone, untouched by mute boxes; off unless set.
    void setMetronome(bool on);
    // Each Play (a start or a resume) first clicks one bar of the song's meter at its tempo with
    // the song silent; stepGrid() tells the count-in's steps apart. Off unless set.
    void setCountIn(bool on);
    // Call it from a timer while isPreparing(): tells the host how far the samples are and, once the samples are ready
    // and the state is Playing, compiles and starts the song. True while still preparing.
    bool proceed(TransportHost& host);
    // Waits for the samples, then proceeds: for callers without an event loop.
    void finishPreparing(TransportHost& host);
    bool isPreparing() const;
    // During a preparation Pause keeps the song from starting when it is ready, and Stop gives
    // the preparation up.
    void pause();
    void stop();

    // Mute boxes 0..15: 0..7 instrument channels, 8..15 drum channels.
    void setMuted(int channel, bool muted);
    // The layer's channel that plays mute box k's channel in the song last compiled (0 for none).
    Handle channelOf(int k) const;

    TransportState state() const;
    bool isPaused() const { return state() == TransportState::Paused; }
    // The play position of the step being heard now (0 before the first step and after Stop).
    int32_t playPosition() const;
    // Counts published positions; it changes whenever a step has been heard, so the window's
    // redraw timer can tell a new step from the last one it drew.
    uint64_t stepsHeard() const;
    // While playing: where the steps of the present run of the clock fall in the mixer's frames,
    // once the mixer has begun it (nothing before, while paused or stopped).
    std::optional<StepGrid> stepGrid() const;
    // While playing or paused: the song's notes as they are now play from the loop's next pass
    // on, the tempo, loop and samples staying those of the play.
    void refreshEvents(const Song& song);

private:
    std::unique_ptr<PlaybackEngine> m_engine;
};

}  // namespace tromel::audio
