// Playing a song offline, through the same engine as the device, into a 16-bit stereo WAV file.
#include "audio/render/OfflineRender.h"

#include "audio/MixerAudioLayer.h"
#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"
#include "audio/playback/Transport.h"
#include "audio/render/RunningRenders.h"
#include "audio/samples/SamplePreparation.h"
#include "exchange/WavFileWriter.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>
#include <thread>

namespace tromel::audio {

namespace {

namespace fs = std::filesystem;

constexpr int blockFrames = 4096;

// The render checks every sample it needs beforehand, so what a compile would show has been
// said already.
class QuietHost : public TransportHost {
public:
    void setProgressMaximum(int32_t) override {}
    void setProgress(int32_t) override {}
    void setStatusText(const std::string&) override {}
    void showChannelStatus() override {}
    void showAudioError(const std::string& text) override { problem = text; }
    void showPlayRefusal(const std::string& reason) override { problem = reason; }
    std::string problem;
};

RenderOutcome outcome(RenderOutcome::Status status, std::vector<std::string> problems = {}) {
    return {status, std::move(problems)};
}

std::string aboutFile(const fs::path& path, const std::string& reason) {
    return path.string() + ": " + reason;
}

// Song channels with a note start that will be heard.
std::array<bool, songChannelCount> soundingChannels(const Song& song) {
    CompiledSong compiled;
    compileEvents(song, compiled);
    std::array<bool, songChannelCount> sounding{};
    for (const PlayEvent& event : compiled.events)
        if (event.kind == EventKind::NoteStart)
            sounding[event.songChannel()] = true;
    return sounding;
}

// Waits for a preparation, asking `progress` (with nothing written yet) whether to go on.
bool waitFor(SamplePreparation& preparation, int64_t frames, const RenderProgress& progress) {
    while (!preparation.finished()) {
        if (progress && !progress(0, frames)) {
            preparation.cancel();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Prepares every sample of the song and names each missing or unreadable one that a sounding
// channel needs; a channel without notes sounds the same without its sample. Nothing when
// cancelled.
std::optional<std::vector<std::string>> prepareSamples(MixerAudioLayer& layer, const Song& song, const fs::path& folder,
                                                       int64_t frames, const RenderProgress& progress) {
    const std::vector<SampleRequest> requests = songSamples(song, folder);
    const std::shared_ptr<SamplePreparation> preparation = layer.prepareSamples(requests);
    if (!preparation)
        return std::vector<std::string>{};
    if (!waitFor(*preparation, frames, progress))
        return std::nullopt;
    const auto sounding = soundingChannels(song);
    std::vector<std::string> problems;
    std::set<fs::path> named;
    for (int k = 0; k < songChannelCount; ++k) {
        const int error = preparation->errors()[k];
        if (sounding[k] && error != errorNone && named.insert(requests[k].path).second)
            problems.push_back(aboutFile(requests[k].path, errorText(error)));
    }
    return problems;
}

// The engine's latency: its first frames come before anything started by Play can sound.
void skipLatency(MixerAudioLayer& layer, std::vector<float>& block) {
    for (int64_t skipped = 0; skipped < Mixer::latencyFrames;) {
        const int n = static_cast<int>(std::min<int64_t>(blockFrames, Mixer::latencyFrames - skipped));
        layer.renderFrames(block.data(), n);
        skipped += n;
    }
}

RenderOutcome writeRender(MixerAudioLayer& layer, int64_t frames, const fs::path& output,
                          const RenderProgress& progress, int render) {
    const fs::path temporary = temporaryRenderPath(output);
    exchange::WavFileWriter file(temporary, outputRate);
    if (!file.isOpen())
        return outcome(RenderOutcome::Status::Failed, {aboutFile(output, file.error())});
    std::vector<float> block(2 * blockFrames);
    skipLatency(layer, block);
    bool ok = true;
    bool cancelled = false;
    for (int64_t done = 0; done < frames && ok && !cancelled;) {
        const int n = static_cast<int>(std::min<int64_t>(blockFrames, frames - done));
        layer.renderFrames(block.data(), n);
        ok = file.write(block.data(), n);
        done += n;
        cancelled = (progress && !progress(done, frames)) || RunningRenders::ofProcess().cancelled(render);
    }
    ok = file.close() && ok;
    std::error_code error;
    if (ok && !cancelled)
        fs::rename(temporary, output, error);
    if (!ok || cancelled || error) {
        fs::remove(temporary, error);
        if (cancelled)
            return outcome(RenderOutcome::Status::Cancelled);
        return outcome(RenderOutcome::Status::Failed, {aboutFile(output, ok ? error.message() : file.error())});
    }
    return outcome(RenderOutcome::Status::Written);
}

}  // namespace

std::variant<int64_t, std::string> renderLength(const Song& song, const RenderRequest& request) {
    const long double loops = static_cast<long double>(request.loops.value_or(1));
    const long double steps = song.loopEnd + loops * (song.loopEnd - song.loopBegin);
    const long double seconds =
        request.seconds ? static_cast<long double>(*request.seconds) : steps * song.tempo / 1000.0L;
    if (seconds > longestRenderSeconds) {
        std::ostringstream reason;
        reason << "the render would last " << static_cast<double>(seconds / 3600.0L) << " hours; the limit is "
               << longestRenderSeconds / 3600 << " (choose a number of seconds or fewer loops)";
        return reason.str();
    }
    if (request.seconds)
        return static_cast<int64_t>(std::llround(*request.seconds * outputRate));
    // The last step lasts until the step after it would start.
    return stepFrame(static_cast<int64_t>(steps) + 1, song.tempo);
}

fs::path temporaryRenderPath(const fs::path& output) {
    return output.string() + ".tmp-" + std::to_string(getpid());
}

bool isSameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::exists(a, error) && fs::exists(b, error) && fs::equivalent(a, b, error);
}

RenderOutcome renderSong(const Song& song, const RenderRequest& request, const RenderProgress& progress) {
    using Status = RenderOutcome::Status;
    if (const auto reason = playRefusal(song))
        return outcome(Status::Refused, {*reason});
    if (!request.songFile.empty() && isSameFile(request.songFile, request.output))
        return outcome(Status::Refused,
                       {aboutFile(request.output, "this is the song itself; choose another output file")});
    const auto length = renderLength(song, request);
    if (const auto* reason = std::get_if<std::string>(&length))
        return outcome(Status::Refused, {*reason});
    std::error_code error;
    if (!fs::is_directory(request.sampleFolder, error))
        return outcome(Status::Refused, {aboutFile(request.sampleFolder, "no such sample folder")});
    MixerAudioLayer layer;
    layer.setMaxVolume(largestVolume);
    layer.initDevice(outputRate);
    const int64_t frames = std::get<int64_t>(length);
    auto problems = prepareSamples(layer, song, request.sampleFolder, frames, progress);
    if (!problems)
        return outcome(Status::Cancelled);
    if (!problems->empty())
        return outcome(Status::Refused, std::move(*problems));
    QuietHost host;
    Transport transport(layer, request.sampleFolder);
    if (!transport.play(song, host))
        return outcome(Status::Failed, {host.problem});
    transport.finishPreparing(host);
    // Known to the process while its file exists, so that a program told to end stops it first.
    RunningRenders& renders = RunningRenders::ofProcess();
    const int render = renders.begin(temporaryRenderPath(request.output));
    RenderOutcome written = writeRender(layer, frames, request.output, progress, render);
    renders.end(render);
    return written;
}

}  // namespace tromel::audio
