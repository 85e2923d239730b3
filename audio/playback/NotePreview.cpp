// Sounds a note as it is placed, through the playback's own audio layer.
#include "audio/playback/NotePreview.h"

#include "audio/mixer/KeyFrequency.h"
#include "audio/mixer/LiveNote.h"
#include "audio/playback/SongCompiler.h"

#include <algorithm>

namespace tromel::audio {
namespace {

constexpr int longestPreviewMilliseconds = 1000;
constexpr int32_t keyRows = 96;  // stored key rows count down from the highest file key

}  // namespace

NotePreview::NotePreview(AudioLayer& layer, std::filesystem::path sampleFolder, std::function<void()> prepared)
    : m_layer(layer), m_channel(layer, std::move(sampleFolder), std::move(prepared)) {}

NotePreview::~NotePreview() {
    stop();
}

int NotePreview::start(const Song& song, int kind, int channel, const NoteRec& note, Clock::time_point now) {
    stop();
    const bool drum = kind == 1;
    const PlayEvent event = playEventOf(note, drum, channel);
    if (event.kind != EventKind::NoteStart)
        return 0;
    Sound sound{keyRows - event.keyRow, noteFrequency(event.keyRow, drum), event.volume, event.pan,
                longestPreviewMilliseconds};
    if (note.length > 0 && song.tempo > 0)
        sound.milliseconds = static_cast<int>(
            std::min<int64_t>(static_cast<int64_t>(note.length) * song.tempo, longestPreviewMilliseconds));
    m_channel.want(drum, song.settings(kind)[static_cast<std::size_t>(channel)].wave);
    if (!m_channel.isWaiting())
        return play(sound);
    m_waiting = Waiting{sound, now + longestWait};
    return 0;
}

int NotePreview::proceed(Clock::time_point now) {
    if (!m_waiting)
        return 0;
    if (m_channel.isWaiting() && !m_channel.proceed()) {
        if (m_channel.isWaiting() && now < m_waiting->givenUpAt)
            return 0;
        // Too late to belong to the gesture, or the sample could not be prepared.
        stop();
        return 0;
    }
    const Sound sound = m_waiting->sound;
    m_waiting.reset();
    return play(sound);
}

// The sample was found prepared, or has just been: the channel is there, and the note goes the
// way every note played live goes, heard as soon as the mixer can.
int NotePreview::play(const Sound& sound) {
    const Handle channel = m_channel.channel();
    if (channel == 0 || !m_layer.postLiveNote({LiveNote::Kind::On, channel, sound.fileKey, sound.frequency,
                                               sound.volume, sound.pan, m_layer.nextFrame()})) {
        stop();
        return 0;
    }
    return sound.milliseconds;
}

// The note fades out, and its sample and channel go once it is silent: a preview holds no place
// in the mixer between notes.
void NotePreview::stop() {
    m_waiting.reset();
    m_channel.letGo();
}

}  // namespace tromel::audio
