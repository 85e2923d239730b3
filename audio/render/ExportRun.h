// The passes of one export: measuring (loudness, a ringing end), then writing the mix or stems.
#pragma once

#include "audio/render/OfflineRender.h"
#include "audio/render/RenderFiles.h"
#include "audio/samples/SampleCache.h"
#include "exchange/AudioFileWriter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tromel::audio {

// Loudness is measured over a first render, set by the gain of a second, which writes; the true-
// peak limiter lowers it a little, so a third corrects the gain when the second missed by more
// than loudnessTolerance. Nothing of the song is ever held in memory: a pass renders it again.
class ExportRun {
public:
    static constexpr double loudnessTolerance = 0.2;  // LU
    static constexpr int blockFrames = 4096;

    // `frames`: the render's length before any ringing end.
    ExportRun(const Song& song, const RenderRequest& request, std::shared_ptr<SampleCache> cache, int64_t frames,
              const RenderProgress& progress);

    RenderOutcome run();

    // The last pass of a render of `loops` loops (from A, where its first step sounds, to B,
    // where the next pass would begin).
    static exchange::LoopPoints loopPointsOf(const Song& song, long long loops);

private:
    struct Pass {
        double gainDb = 0.0;
        bool limit = false;
        bool write = false;
        bool stems = false;
        bool measure = false;
        bool findRing = false;  // render on past the end until the sound has rung out
    };
    struct PassResult {
        RenderOutcome::Status status = RenderOutcome::Status::Written;
        std::string problem;
        std::optional<LoudnessFigures> loudness;
        int64_t ringFrames = 0;
    };

    static PassResult ended(RenderOutcome::Status status, std::string problem) {
        PassResult result;
        result.status = status;
        result.problem = std::move(problem);
        return result;
    }
    PassResult render(const Pass& pass);
    RenderOutcome normalise();
    RenderOutcome finish(PassResult result);
    exchange::AudioFileTags tagsOf(std::size_t stream) const;
    bool reportProgress(int64_t passDone);

    const Song& m_song;
    const RenderRequest& m_request;
    std::shared_ptr<SampleCache> m_cache;
    RenderFiles m_files;
    const RenderProgress& m_progress;
    int64_t m_mainFrames;
    int64_t m_ringFrames = 0;
    std::optional<LoudnessFigures> m_first;  // the measuring pass's figures
    int m_passesPlanned = 1;
    int m_passesDone = 0;
};

}  // namespace tromel::audio
