// Sounds a note as it is placed, through the playback's own audio layer.
#pragma once

#include "audio/AudioLayer.h"
#include "song/Song.h"

#include <filesystem>

namespace tromel::audio {

// The channel's wave or drum at the note's key, volume and pan, as playback would start it, on a
// channel of its own: it never touches a song or its playback. One note sounds at a time; each
// start ends the one before. [user-interface thread]
class NotePreview {
public:
    NotePreview(AudioLayer& layer, std::filesystem::path sampleFolder);
    ~NotePreview();

    NotePreview(const NotePreview&) = delete;
    NotePreview& operator=(const NotePreview&) = delete;

    // Starts `note` of channel `channel` of kind `kind` (0 instruments, 1 drums) of `song` and
    // returns how long it should sound in milliseconds: its length at the song's tempo, at most a
    // second. The caller calls stop() then. 0 when nothing sounds (a record without a key, or a
    // sample that cannot be played).
    int start(const Song& song, int kind, int channel, const NoteRec& note);
    void stop();

private:
    AudioLayer& m_layer;
    std::filesystem::path m_sampleFolder;
    Handle m_sample = 0;
    Handle m_channel = 0;
};

}  // namespace tromel::audio
