// A song played offline by the engine: its mix, or its channels side by side as stems.
#pragma once

#include "audio/MixerAudioLayer.h"
#include "audio/mixer/DcBlocker.h"
#include "audio/mixer/PeakLimiter.h"
#include "audio/playback/Transport.h"
#include "audio/samples/SampleCache.h"
#include "song/Song.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tromel::audio {

// Every stream starts at frame 0 with the song's first step, as a MIDI export starts at tick 0. The stems come from
// one run of the engine: the mixer mixes each stem's channel into a bus of its own, and each bus goes through a DC
// blocker and a limiter of its own, as the mix goes through the mixer's, the blockers told where the whole mix is
// silent, so that the stems add up to the mix wherever the limiters rest. Samples come from the shared cache,
// prepared beforehand.
class SongSource {
public:
    // `stemChannels`: the song channel of each stem; empty for the mix.
    SongSource(const std::filesystem::path& sampleFolder, std::shared_ptr<SampleCache> cache,
               const std::vector<int>& stemChannels);

    // Starts playing; nothing, or why it could not.
    std::optional<std::string> start(const Song& song);
    int streams() const { return std::max(1, static_cast<int>(m_stemChannels.size())); }
    // From `frame` on no note starts: the song has played its last step and what sounds rings out.
    void endNotesAt(int64_t frame) { m_notesEndAt = frame; }
    // The next frames of every stream (interleaved stereo) into blocks[stream].
    void render(std::vector<std::vector<float>>& blocks, int frames);

private:
    // A stem's end of the chain, as the mixer has its own for the mix (see Mixer::render).
    struct Bus {
        DcBlocker dcBlocker;
        PeakLimiter limiter;
        explicit Bus(int rate) : dcBlocker(rate), limiter(PeakLimiter::ceiling, rate) {}
    };

    void advance(std::vector<std::vector<float>>& blocks, int offset, int frames);
    void endNotes();

    MixerAudioLayer m_layer;
    Transport m_transport;
    const std::vector<int> m_stemChannels;
    std::vector<Bus> m_buses;  // a stem each; none for the mix
    std::vector<float*> m_busOutputs;
    std::vector<uint8_t> m_mixSilent;
    std::vector<std::vector<float>> m_skipped;
    int64_t m_frame = -1;  // of the mixer's clock: latencyFrames ahead of the streams' frames
    std::optional<int64_t> m_notesEndAt;
    bool m_notesEnded = false;
};

}  // namespace tromel::audio
