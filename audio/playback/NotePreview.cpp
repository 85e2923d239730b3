// Sounds a note as it is placed, through the playback's own audio layer.
#include "audio/playback/NotePreview.h"

#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"
#include "audio/samples/SamplePreparation.h"

#include <algorithm>

namespace tromel::audio {
namespace {

constexpr int longestPreviewMilliseconds = 1000;

}  // namespace

NotePreview::NotePreview(AudioLayer& layer, std::filesystem::path sampleFolder)
    : m_layer(layer), m_sampleFolder(std::move(sampleFolder)) {}

NotePreview::~NotePreview() {
    stop();
}

int NotePreview::start(const Song& song, int kind, int channel, const NoteRec& note, Clock::time_point now) {
    stop();
    const bool drum = kind == 1;
    const PlayEvent event = playEventOf(note, drum, channel);
    if (event.kind != EventKind::NoteStart)
        return 0;
    const int number = song.settings(kind)[static_cast<std::size_t>(channel)].wave;
    Sound sound{{m_sampleFolder / sampleFileName(drum, number), !drum},
                noteFrequency(event.keyRow, drum),
                event.volume,
                event.pan,
                longestPreviewMilliseconds};
    if (note.length > 0 && song.tempo > 0)
        sound.milliseconds = static_cast<int>(
            std::min<int64_t>(static_cast<int64_t>(note.length) * song.tempo, longestPreviewMilliseconds));
    std::shared_ptr<SamplePreparation> preparation = m_layer.prepareSamples({sound.sample});
    if (!preparation)
        return play(sound);
    m_waiting = Waiting{sound, std::move(preparation), now + longestWait};
    return 0;
}

int NotePreview::proceed(Clock::time_point now) {
    if (!m_waiting)
        return 0;
    if (!m_waiting->preparation->finished()) {
        if (now < m_waiting->givenUpAt)
            return 0;
        // Too late to belong to the gesture; the sample is still prepared for the next one.
        m_waiting.reset();
        return 0;
    }
    const Waiting waiting = std::move(*m_waiting);
    m_waiting.reset();
    if (waiting.preparation->errors().front() != errorNone)
        return 0;
    return play(waiting.sound);
}

// Loading takes no time here: the sample was found prepared, or has just been.
int NotePreview::play(const Sound& sound) {
    m_sample = m_layer.loadSample(sound.sample.path, sound.sample.loop, 1);
    m_channel = m_layer.channelFromSample(m_sample);
    if (m_channel == 0) {
        stop();
        return 0;
    }
    m_layer.setChannelLooping(m_channel, sound.sample.loop);
    m_layer.setChannelAttributes(m_channel, sound.frequency, sound.volume, sound.pan);
    m_layer.playChannel(m_channel);
    return sound.milliseconds;
}

// The note fades out, and its sample and channel go once it is silent: a preview holds no place
// in the mixer between notes.
void NotePreview::stop() {
    m_waiting.reset();
    m_layer.stopChannel(m_channel);
    m_layer.freeSampleWhenSilent(m_sample);
    m_channel = 0;
    m_sample = 0;
}

}  // namespace tromel::audio
