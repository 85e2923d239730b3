// The channel that notes played in live sound on: the current channel's wave or drum, kept ready.
#include "audio/playback/LiveChannel.h"

#include "audio/playback/SongCompiler.h"
#include "audio/samples/SamplePreparation.h"

namespace tromel::audio {

LiveChannel::LiveChannel(AudioLayer& layer, std::filesystem::path sampleFolder, std::function<void()> prepared)
    : m_layer(layer), m_sampleFolder(std::move(sampleFolder)), m_prepared(std::move(prepared)) {}

LiveChannel::~LiveChannel() {
    release();
}

bool LiveChannel::want(bool drum, int number) {
    if (m_chosen && drum == m_drum && number == m_number)
        return false;
    const Handle before = m_channel;
    release();
    m_chosen = true;
    m_drum = drum;
    m_number = number;
    const std::string file = sampleFileName(drum, number);
    if (file.empty())
        return before != 0;  // a drum beyond the bank plays nothing
    m_request = {m_sampleFolder / file, !drum};
    m_preparation = m_layer.prepareSamples({m_request});
    if (!m_preparation)
        make();
    else if (m_prepared)
        m_preparation->whenFinished(m_prepared);
    return m_channel != before;
}

void LiveChannel::letGo() {
    release();
    m_chosen = false;
}

bool LiveChannel::proceed() {
    if (!m_preparation || !m_preparation->finished())
        return false;
    const bool prepared = m_preparation->errors().front() == errorNone;
    m_preparation.reset();
    if (prepared)
        make();
    return m_channel != 0;
}

// One playback is enough: live notes replace one another as a song's notes do on a channel.
void LiveChannel::make() {
    m_sample = m_layer.loadSample(m_request.path, m_request.loop, 1);
    m_channel = m_layer.channelFromSample(m_sample);
    m_layer.setChannelLooping(m_channel, m_request.loop);
}

// The channel stops with a fade and goes once silent.
void LiveChannel::release() {
    if (m_preparation) {
        m_preparation->whenFinished({});
        m_preparation->cancel();
    }
    m_preparation.reset();
    m_layer.freeSample(m_sample);
    m_sample = 0;
    m_channel = 0;
}

}  // namespace tromel::audio
