// A song played offline by the engine: its mix, or its channels side by side as stems.
#pragma once

#include "audio/MixerAudioLayer.h"
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

// Every stream starts at frame 0 with the song's first step, as a MIDI export starts at tick 0. A stem is the song with
// every other channel muted, on an engine of its own; the stems' engines run in step, their DC blockers told where the
// whole mix is silent, so that they add up to the mix wherever the limiters rest. Samples come from the shared cache,
// prepared beforehand.
class SongSource {
public:
    // `stemChannels`: the song channel of each stem; empty for the mix.
    SongSource(const std::filesystem::path& sampleFolder, std::shared_ptr<SampleCache> cache,
               const std::vector<int>& stemChannels);
    ~SongSource();

    // Starts playing; nothing, or why it could not.
    std::optional<std::string> start(const Song& song);
    int streams() const { return static_cast<int>(m_engines.size()); }
    // From `frame` on no note starts: the song has played its last step and what sounds rings out.
    void endNotesAt(int64_t frame) { m_notesEndAt = frame; }
    // The next frames of every stream (interleaved stereo) into blocks[stream].
    void render(std::vector<std::vector<float>>& blocks, int frames);

private:
    struct Engine;

    void advance(std::vector<std::vector<float>>& blocks, int offset, int frames);
    void endNotes();

    std::vector<std::unique_ptr<Engine>> m_engines;
    bool m_parts;  // stems: rendered in halves, with the mix's silence between
    std::vector<uint8_t> m_mixSilent;
    std::vector<std::vector<float>> m_skipped;
    int64_t m_frame = -1;  // of the mixer's clock: latencyFrames ahead of the streams' frames
    std::optional<int64_t> m_notesEndAt;
    bool m_notesEnded = false;
};

}  // namespace tromel::audio
