// A song played offline by the engine: its mix, or its channels side by side as stems.
#include "audio/render/SongSource.h"

#include "audio/playback/CompiledSong.h"

#include <algorithm>

namespace tromel::audio {

namespace {

// The render checks every sample it needs beforehand, so what a compile would show has been
// said already.
class QuietHost : public TransportHost {
public:
    void showAudioError(const std::string& text) override { problem = text; }
    void showPlayRefusal(const std::string& reason) override { problem = reason; }
    std::string problem;
};

}  // namespace

SongSource::SongSource(const std::filesystem::path& sampleFolder, std::shared_ptr<SampleCache> cache,
                       const std::vector<int>& stemChannels)
    : m_layer(std::move(cache)), m_transport(m_layer, sampleFolder, FirstStep::AtOnce), m_stemChannels(stemChannels) {
    m_layer.setMaxVolume(largestVolume);
    m_layer.initDevice(m_layer.sampleRate());
    for (std::size_t i = 0; i < m_stemChannels.size(); ++i)
        m_buses.emplace_back(m_layer.sampleRate());
    m_busOutputs.resize(m_buses.size());
    m_skipped.resize(static_cast<std::size_t>(streams()));
}

std::optional<std::string> SongSource::start(const Song& song) {
    QuietHost host;
    if (!m_transport.play(song, host))
        return host.problem;
    m_transport.finishPreparing(host);
    for (std::size_t i = 0; i < m_stemChannels.size(); ++i)
        m_layer.setChannelBus(m_transport.channelOf(m_stemChannels[i]), static_cast<int>(i));
    // The engine's latency: its first frames come before anything started by Play can sound.
    m_frame = 0;
    const int latency = m_layer.outputLatencyFrames();
    for (int64_t skipped = 0; skipped < latency;) {
        const int n = static_cast<int>(std::min<int64_t>(4096, latency - skipped));
        for (auto& block : m_skipped)
            block.resize(2 * static_cast<std::size_t>(n));
        advance(m_skipped, 0, n);
        skipped += n;
    }
    return std::nullopt;
}

// Muting every channel keeps the clock running, so the notes sounding still end at their
// lengths, while nothing new starts.
void SongSource::endNotes() {
    for (int k = 0; k < songChannelCount; ++k)
        m_transport.setMuted(k, true);
    m_notesEnded = true;
}

void SongSource::render(std::vector<std::vector<float>>& blocks, int frames) {
    blocks.resize(static_cast<std::size_t>(streams()));
    for (auto& block : blocks)
        block.resize(2 * static_cast<std::size_t>(frames));
    advance(blocks, 0, frames);
}

// The step at the mixer's frame E is taken while the mixer renders frame E, so a mute set before
// that frame keeps it from starting anything.
void SongSource::advance(std::vector<std::vector<float>>& blocks, int offset, int frames) {
    while (frames > 0) {
        if (m_notesEndAt && !m_notesEnded && m_frame >= *m_notesEndAt)
            endNotes();
        int n = frames;
        if (m_notesEndAt && !m_notesEnded)
            n = static_cast<int>(std::min<int64_t>(n, *m_notesEndAt - m_frame));
        if (m_buses.empty()) {
            m_layer.renderFrames(blocks[0].data() + 2 * offset, n);
        } else {
            for (std::size_t i = 0; i < m_buses.size(); ++i)
                m_busOutputs[i] = blocks[i].data() + 2 * offset;
            m_layer.renderBuses(m_busOutputs, n);
            m_mixSilent.assign(2 * static_cast<std::size_t>(n), 1);
            for (const float* bus : m_busOutputs)
                for (int s = 0; s < 2 * n; ++s)
                    m_mixSilent[s] &= bus[s] == 0.0f;
            for (std::size_t i = 0; i < m_buses.size(); ++i) {
                m_buses[i].dcBlocker.process(m_busOutputs[i], n, m_mixSilent.data());
                m_buses[i].limiter.process(m_busOutputs[i], n);
            }
        }
        m_frame += n;
        offset += n;
        frames -= n;
    }
}

}  // namespace tromel::audio
