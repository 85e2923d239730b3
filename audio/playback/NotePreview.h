// Sounds a note as it is placed, through the playback's own audio layer.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/playback/LiveChannel.h"
#include "song/Song.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

namespace tromel::audio {

// The channel's wave or drum at the note's key, volume and pan, as playback would start it, on a
// live channel of its own: it never touches a song or its playback. One note sounds at a time; each
// start ends the one before. A sample not prepared yet is prepared by the sample worker, as
// playback's are: the note sounds once it is ready, if that is within `longestWait` of the
// gesture, and is skipped otherwise. `prepared` is the live channel's wake-up: proceed() is called
// then. [user-interface thread]
class NotePreview {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds longestWait{200};

    NotePreview(AudioLayer& layer, std::filesystem::path sampleFolder, std::function<void()> prepared = {});
    ~NotePreview();

    NotePreview(const NotePreview&) = delete;
    NotePreview& operator=(const NotePreview&) = delete;

    // Starts `note` of channel `channel` of kind `kind` (0 instruments, 1 drums) of `song` and
    // returns how long it should sound in milliseconds: its length at the song's tempo, at most a
    // second. The caller calls stop() then. 0 when nothing sounds now: a record without a key, a
    // sample that cannot be played, or one still being prepared (then isWaiting()).
    int start(const Song& song, int kind, int channel, const NoteRec& note, Clock::time_point now = Clock::now());
    // While waiting: once the sample is ready, starts the note and returns how long it should
    // sound; past the longest wait, gives it up. 0 while it waits on, and when nothing sounds.
    int proceed(Clock::time_point now = Clock::now());
    bool isWaiting() const { return m_waiting.has_value(); }
    void stop();

private:
    struct Sound {
        int32_t fileKey = 0;
        int frequency = 0;
        int volume = 0;
        int pan = 0;
        int milliseconds = 0;
    };
    struct Waiting {
        Sound sound;
        Clock::time_point givenUpAt;
    };

    int play(const Sound& sound);

    AudioLayer& m_layer;
    LiveChannel m_channel;
    std::optional<Waiting> m_waiting;
};

}  // namespace tromel::audio
