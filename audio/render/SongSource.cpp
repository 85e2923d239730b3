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

struct SongSource::Engine {
    MixerAudioLayer layer;
    Transport transport;

    Engine(std::shared_ptr<SampleCache> cache, const std::filesystem::path& sampleFolder)
        : layer(std::move(cache)), transport(layer, sampleFolder, FirstStep::AtOnce) {
        layer.setMaxVolume(largestVolume);
        layer.initDevice(layer.sampleRate());
    }
};

SongSource::SongSource(const std::filesystem::path& sampleFolder, std::shared_ptr<SampleCache> cache,
                       const std::vector<int>& stemChannels)
    : m_parts(!stemChannels.empty()) {
    const std::size_t count = m_parts ? stemChannels.size() : 1;
    for (std::size_t i = 0; i < count; ++i) {
        m_engines.push_back(std::make_unique<Engine>(cache, sampleFolder));
        if (m_parts)
            for (int k = 0; k < songChannelCount; ++k)
                m_engines.back()->transport.setMuted(k, k != stemChannels[i]);
    }
    m_skipped.resize(count);
}

SongSource::~SongSource() = default;

std::optional<std::string> SongSource::start(const Song& song) {
    for (auto& engine : m_engines) {
        QuietHost host;
        if (!engine->transport.play(song, host))
            return host.problem;
        engine->transport.finishPreparing(host);
    }
    // The engine's latency: its first frames come before anything started by Play can sound.
    m_frame = 0;
    const int latency = m_engines.front()->layer.outputLatencyFrames();
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
    for (auto& engine : m_engines)
        for (int k = 0; k < songChannelCount; ++k)
            engine->transport.setMuted(k, true);
    m_notesEnded = true;
}

void SongSource::render(std::vector<std::vector<float>>& blocks, int frames) {
    blocks.resize(m_engines.size());
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
        if (!m_parts) {
            m_engines[0]->layer.renderFrames(blocks[0].data() + 2 * offset, n);
        } else {
            for (std::size_t i = 0; i < m_engines.size(); ++i)
                m_engines[i]->layer.renderVoices(blocks[i].data() + 2 * offset, n);
            m_mixSilent.assign(2 * static_cast<std::size_t>(n), 1);
            for (const auto& block : blocks)
                for (int s = 0; s < 2 * n; ++s)
                    m_mixSilent[s] &= block[2 * offset + s] == 0.0f;
            for (std::size_t i = 0; i < m_engines.size(); ++i)
                m_engines[i]->layer.finishPart(blocks[i].data() + 2 * offset, n, m_mixSilent.data());
        }
        m_frame += n;
        offset += n;
        frames -= n;
    }
}

}  // namespace tromel::audio
