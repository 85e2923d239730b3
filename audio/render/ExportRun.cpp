// The passes of one export: measuring (loudness, a ringing end), then writing the mix or stems.
#include "audio/render/ExportRun.h"

#include "audio/mixer/KeyFrequency.h"
#include "audio/render/ExportStream.h"
#include "audio/render/SongSource.h"
#include "song/ChannelNames.h"

#include <algorithm>
#include <cmath>

namespace tromel::audio {

namespace {

using Status = RenderOutcome::Status;

// A ringing end is over once its sound has stayed this long below the depth asked for.
constexpr int64_t quietFrames = outputRate / 10;

// Follows the end of a render past its last step: where the sound falls ringDepthDb below the
// largest it reached there, for good.
class RingWatch {
public:
    explicit RingWatch(int64_t from) : m_from(from), m_lastLoud(from - 1) {}

    // Looks at frames from `first` on; true once the ring has been quiet for quietFrames.
    bool quietAfter(const float* stereo, int frames, int64_t first) {
        const float depth = static_cast<float>(std::pow(10.0, -ringDepthDb / 20.0));
        for (int n = std::max<int64_t>(0, m_from - first); n < frames; ++n) {
            const float level = std::max(std::abs(stereo[2 * n]), std::abs(stereo[2 * n + 1]));
            m_peak = std::max(m_peak, level);
            if (level > 0.0f && level >= m_peak * depth)
                m_lastLoud = first + n;
        }
        return first + frames - 1 - m_lastLoud >= quietFrames;
    }
    int64_t frames() const { return m_lastLoud + 1 - m_from; }

private:
    int64_t m_from;
    int64_t m_lastLoud;
    float m_peak = 0.0f;
};

}  // namespace

ExportRun::ExportRun(const Song& song, const RenderRequest& request, std::shared_ptr<SampleCache> cache, int64_t frames,
                     const RenderProgress& progress)
    : m_song(song),
      m_request(request),
      m_cache(std::move(cache)),
      m_files(song, request),
      m_progress(progress),
      m_mainFrames(frames) {}

exchange::LoopPoints ExportRun::loopPointsOf(const Song& song, long long loops) {
    const int64_t length = song.loopEnd - song.loopBegin;
    const int64_t lastPass = song.loopEnd + (loops - 1) * length;  // the steps played before it
    return {stepFrame(lastPass, song.tempo), stepFrame(lastPass + length, song.tempo)};
}

RenderOutcome ExportRun::run() {
    const bool measureFirst = m_request.ring || m_request.loudness;
    m_passesPlanned = (measureFirst ? 1 : 0) + 1 + (m_request.loudness && m_request.stems ? 1 : 0);
    if (measureFirst) {
        PassResult first = render({.measure = m_request.loudness.has_value(), .findRing = m_request.ring});
        if (first.status != Status::Written)
            return finish(first);
        m_ringFrames = first.ringFrames;
        m_first = first.loudness;
    }
    if (!m_request.loudness)
        return finish(render({.write = true, .stems = m_request.stems, .measure = m_request.measure}));
    return normalise();
}

// The mix is rendered at the gain that brings it to the loudness asked for (and written, unless
// stems are to be written) and measured; a pass that missed by more than the tolerance leads to
// one more, its gain corrected by the slope the limiter left.
RenderOutcome ExportRun::normalise() {
    if (!m_first || !std::isfinite(m_first->integrated))
        return finish(ended(Status::Refused, "the render is silent (below -70 LUFS), so it has no loudness to set"));
    const double target = *m_request.loudness;
    // The first pass heard what the file holds, fade and all, unless the fade waited for the
    // ringing end's length.
    const bool comparable = !(m_request.ring && m_request.fadeSeconds > 0.0);
    double gain = target - m_first->integrated;
    PassResult result;
    for (int renders = 2; renders <= 3; ++renders) {
        result = render({.gainDb = gain, .limit = true, .write = !m_request.stems, .measure = true});
        if (result.status != Status::Written)
            return finish(result);
        const double miss = target - result.loudness->integrated;
        if (std::abs(miss) <= loudnessTolerance || renders == 3)
            break;
        // Loudness follows the gain one for one up to the knee where the limiter starts to act,
        // then more slowly: how much more slowly, the pass just made tells.
        const double knee = truePeakCeiling - m_first->truePeak;
        double slope = 1.0;
        if (comparable && gain > knee + 0.5)
            slope = std::clamp((result.loudness->integrated - m_first->integrated - knee) / (gain - knee), 0.1, 1.0);
        gain += miss / slope;
        ++m_passesPlanned;
    }
    if (!m_request.stems)
        return finish(result);
    return finish(render({.gainDb = gain, .limit = true, .write = true, .stems = true, .measure = true}));
}

RenderOutcome ExportRun::finish(PassResult result) {
    RenderOutcome outcome{result.status, {}, {}, result.loudness};
    if (result.status == Status::Written) {
        if (const auto problem = m_files.commit()) {
            outcome.status = Status::Failed;
            outcome.problems.push_back(*problem);
        } else {
            outcome.files = m_files.outputs();
        }
        return outcome;
    }
    m_files.removeTemporaries();
    if (!result.problem.empty())
        outcome.problems.push_back(result.problem);
    outcome.loudness.reset();
    return outcome;
}

exchange::AudioFileTags ExportRun::tagsOf(std::size_t stream) const {
    exchange::AudioFileTags tags;
    tags.title = (m_request.songFile.empty() ? m_request.output.stem() : m_request.songFile.filename()).string();
    if (!m_files.channels().empty())
        tags.title += ", " + channelName(m_files.channels()[stream] / 8, m_files.channels()[stream] % 8, true);
    tags.software = m_request.software;
    if (m_request.loopPoints)
        tags.loop = loopPointsOf(m_song, m_request.loops.value_or(1));
    return tags;
}

bool ExportRun::reportProgress(int64_t passDone) {
    if (!m_progress)
        return true;
    const int64_t passFrames = m_mainFrames + m_ringFrames;
    const int64_t total = std::max(1, m_passesPlanned) * passFrames;
    return m_progress(std::min(total, m_passesDone * passFrames + std::min(passDone, passFrames)), total);
}

ExportRun::PassResult ExportRun::render(const Pass& pass) {
    PassResult result;
    SongSource source(m_request.sampleFolder, m_cache, pass.stems ? m_files.channels() : std::vector<int>{});
    if (const auto problem = source.start(m_song))
        return ended(Status::Failed, *problem);
    if (m_request.ring)
        source.endNotesAt(m_mainFrames);
    const bool sixteenBit = exchange::infoOf(m_request.encoding.format).pcmBits == 16;
    StreamSettings settings;
    settings.gainDb = pass.gainDb;
    settings.limit = pass.limit;
    settings.frames = m_mainFrames + (pass.findRing ? std::llround(longestRingSeconds * outputRate) : m_ringFrames);
    settings.fadeFrames = pass.findRing ? 0 : std::llround(m_request.fadeSeconds * outputRate);
    // A changed signal is dithered; an unchanged one is the mixer's output rounded, the same bytes
    // for the same song.
    settings.dither = pass.write && sixteenBit && (m_request.fadeSeconds > 0.0 || m_request.ring || m_request.loudness);
    std::vector<std::unique_ptr<ExportStream>> streams;
    LoudnessMeter meter;
    for (int i = 0; i < source.streams(); ++i) {
        streams.push_back(std::make_unique<ExportStream>(settings));
        if (pass.measure && !pass.stems)
            streams.back()->meterWith(&meter);
        if (!pass.write)
            continue;
        int fd = -1;
        if (const int error = m_files.createTemporary(i, fd))
            return ended(Status::Failed, m_files.outputs()[i].string() + ": " + files::errorText(error));
        streams.back()->writeTo(exchange::openAudioFile(fd, m_request.encoding, tagsOf(i), m_request.fileSystem()));
        if (!streams.back()->writer()->isOpen())
            return ended(Status::Failed, m_files.outputs()[i].string() + ": " + streams.back()->writer()->error());
    }
    std::vector<std::vector<float>> blocks;
    for (int primed = 0, delay = streams.front()->delayFrames(); primed < delay;) {
        const int n = std::min(blockFrames, delay - primed);
        source.render(blocks, n);
        for (int i = 0; i < source.streams(); ++i)
            streams[i]->prime(blocks[i].data(), n);
        primed += n;
    }
    RingWatch ring(m_mainFrames);
    std::vector<float> sum;
    int64_t frames = settings.frames;
    for (int64_t done = 0; done < frames;) {
        const int n = static_cast<int>(std::min<int64_t>(blockFrames, frames - done));
        source.render(blocks, n);
        for (int i = 0; i < source.streams(); ++i)
            if (!streams[i]->process(blocks[i].data(), n, done))
                return ended(Status::Failed, m_files.outputs()[i].string() + ": " + streams[i]->writer()->error());
        if (pass.measure && pass.stems) {
            sum.assign(blocks.front().begin(), blocks.front().end());
            for (std::size_t i = 1; i < blocks.size(); ++i)
                std::transform(sum.begin(), sum.end(), blocks[i].begin(), sum.begin(), std::plus<>());
            meter.add(sum.data(), n);
        }
        if (pass.findRing && done + n > m_mainFrames && ring.quietAfter(blocks.front().data(), n, done))
            frames = done + n;
        done += n;
        if (!reportProgress(done))
            return ended(Status::Cancelled, {});
    }
    for (std::size_t i = 0; i < streams.size(); ++i)
        if (pass.write && !streams[i]->writer()->close())
            return ended(Status::Failed, m_files.outputs()[i].string() + ": " + streams[i]->writer()->error());
    ++m_passesDone;
    result.ringFrames = std::min(ring.frames(), settings.frames - m_mainFrames);
    if (pass.measure)
        result.loudness = meter.figures();
    return result;
}

}  // namespace tromel::audio
