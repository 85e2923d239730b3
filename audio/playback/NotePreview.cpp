// Sounds a note as it is placed, through the playback's own audio layer.
#include "audio/playback/NotePreview.h"

#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"

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

int NotePreview::start(const Song& song, int kind, int channel, const NoteRec& note) {
    stop();
    const bool drum = kind == 1;
    const PlayEvent event = playEventOf(note, drum, channel);
    if (event.kind != EventKind::NoteStart)
        return 0;
    const int number = song.settings(kind)[static_cast<std::size_t>(channel)].wave;
    m_sample = m_layer.loadSample(m_sampleFolder / sampleFileName(drum, number), !drum, 1);
    m_channel = m_layer.channelFromSample(m_sample);
    if (m_channel == 0) {
        stop();
        return 0;
    }
    m_layer.setChannelLooping(m_channel, !drum);
    m_layer.setChannelAttributes(m_channel, noteFrequency(event.keyRow, drum), event.volume, event.pan);
    m_layer.playChannel(m_channel);
    if (note.length <= 0 || song.tempo <= 0)
        return longestPreviewMilliseconds;
    return static_cast<int>(
        std::min<int64_t>(static_cast<int64_t>(note.length) * song.tempo, longestPreviewMilliseconds));
}

// The note fades out, and its sample and channel go once it is silent: a preview holds no place
// in the mixer between notes.
void NotePreview::stop() {
    m_layer.stopChannel(m_channel);
    m_layer.freeSampleWhenSilent(m_sample);
    m_channel = 0;
    m_sample = 0;
}

}  // namespace tromel::audio
