// Playing a song offline, through the same engine as the device, into audio files.
#include "audio/render/OfflineRender.h"

#include "audio/MixerAudioLayer.h"
#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"
#include "audio/render/ExportRun.h"
#include "audio/render/RenderFiles.h"
#include "audio/render/RunningRenders.h"
#include "audio/render/StemsAside.h"
#include "audio/samples/SamplePreparation.h"
#include "files/AtomicWrite.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>

namespace tromel::audio {

namespace {

namespace fs = std::filesystem;

RenderOutcome outcome(RenderOutcome::Status status, std::vector<std::string> problems = {}) {
    return {status, std::move(problems), {}, {}};
}

std::string aboutFile(const fs::path& path, const std::string& reason) {
    return path.string() + ": " + reason;
}

// How long a cancel may wait to be heard while the samples are prepared.
constexpr std::chrono::milliseconds cancelLatency{20};

// Waits for a preparation, asking `progress` (with nothing written yet) whether to go on.
bool waitFor(SamplePreparation& preparation, int64_t frames, const RenderProgress& progress) {
    while (!preparation.waitFor(cancelLatency)) {
        if (progress && !progress(0, frames)) {
            preparation.cancel();
            return false;
        }
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
    std::vector<std::string> problems;
    std::set<fs::path> named;
    for (int k : channelsWithNotes(song)) {
        const int error = preparation->errors()[k];
        if (error != errorNone && !requests[k].path.empty() && named.insert(requests[k].path).second)
            problems.push_back(aboutFile(requests[k].path, errorText(error)));
    }
    return problems;
}

// Options that cannot make the file asked for, or nothing.
std::optional<std::string> optionRefusal(const Song& song, const RenderRequest& request, int64_t frames) {
    const exchange::AudioEncoding& encoding = request.encoding;
    const auto refuse = [](const std::string& reason) { return std::optional<std::string>(reason); };
    if (encoding.oggQuality < exchange::lowestOggQuality || encoding.oggQuality > exchange::highestOggQuality)
        return refuse("the Ogg Vorbis quality must be 0 to 10, not " + std::to_string(encoding.oggQuality));
    if (!exchange::isMp3Bitrate(encoding.mp3Bitrate))
        return refuse(
            "the MP3 bit rate must be one LAME offers (32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, "
            "224, 256 or 320 kbit/s), not " +
            std::to_string(encoding.mp3Bitrate));
    if (encoding.format == exchange::AudioFormat::Mp3 && !exchange::canWriteMp3())
        return refuse("this system's libsndfile cannot write MP3 (it was built without LAME)");
    if (request.loudness && !(*request.loudness >= quietestLoudness && *request.loudness <= loudestLoudness))
        return refuse("the loudness must be -70 to 0 LUFS");
    if (!(request.fadeSeconds >= 0.0) || std::llround(request.fadeSeconds * outputRate) > frames)
        return refuse("the fade must be 0 seconds or more and no longer than the render");
    if (request.loopPoints && (request.fadeSeconds > 0.0 || request.ring))
        return refuse("loop points do not go with a fade or a ringing end: the loop would no longer loop");
    if (request.loopPoints && request.seconds)
        return refuse("loop points need a length in loops, not in seconds");
    if (request.loopPoints && request.loops.value_or(1) < 1)
        return refuse("loop points need at least one loop after the first pass");
    if (request.loopPoints && encoding.format == exchange::AudioFormat::Mp3)
        return refuse("MP3 carries no loop points (and pads its start); choose WAV, FLAC or Ogg Vorbis");
    if (request.ring && request.seconds)
        return refuse("a ringing end needs a length in loops, not in seconds");
    if (request.stems && channelsWithNotes(song).empty())
        return refuse("the song has no notes, so there are no stems to write");
    return std::nullopt;
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
    return stepFrame(static_cast<int64_t>(steps), song.tempo);
}

std::string describeLoudness(const LoudnessFigures& figures) {
    char text[160];
    std::snprintf(text, sizeof text, "Integrated loudness %.1f LUFS, loudness range %.1f LU, true peak %.1f dBTP",
                  figures.integrated, figures.range, figures.truePeak);
    return text;
}

RenderOutcome renderSong(const Song& song, const RenderRequest& request, const RenderProgress& progress) {
    using Status = RenderOutcome::Status;
    if (const auto reason = playRefusal(song))
        return outcome(Status::Refused, {*reason});
    const auto length = renderLength(song, request);
    if (const auto* reason = std::get_if<std::string>(&length))
        return outcome(Status::Refused, {*reason});
    const int64_t frames = std::get<int64_t>(length);
    if (const auto reason = optionRefusal(song, request, frames))
        return outcome(Status::Refused, {*reason});
    files::FileSystem& files = request.fileSystem();
    for (const fs::path& output : renderOutputs(song, request)) {
        if (!request.songFile.empty() && files::isSameFile(files, request.songFile, output))
            return outcome(Status::Refused, {aboutFile(output, songItselfText)});
        for (const fs::path& open : request.openSongFiles)
            if (files::isSameFile(files, open, output))
                return outcome(Status::Refused, {aboutFile(output, openSongText)});
    }
    std::error_code error;
    const fs::path folder = request.output.parent_path();
    if (!folder.empty() && !fs::exists(folder, error))
        return outcome(Status::Refused, {"The folder " + folder.string() + " does not exist."});
    StemsAside::restore(files, folder.empty() ? fs::path(".") : folder);
    files::removeStaleTemporaries(files, folder.empty() ? fs::path(".") : folder);
    if (!fs::is_directory(request.sampleFolder, error))
        return outcome(Status::Refused, {aboutFile(request.sampleFolder, "no such sample folder")});
    auto cache = request.samples ? request.samples : std::make_shared<SampleCache>();
    MixerAudioLayer layer(cache);
    auto problems = prepareSamples(layer, song, request.sampleFolder, frames, progress);
    if (!problems)
        return outcome(Status::Cancelled);
    if (!problems->empty())
        return outcome(Status::Refused, std::move(*problems));
    // Known to the process while its files exist, so that a program told to end stops it first.
    RunningRenders& renders = RunningRenders::ofProcess();
    const int render = renders.begin();
    const RenderProgress progressOrEnd = [&](int64_t done, int64_t total) {
        return (!progress || progress(done, total)) && !renders.cancelled(render);
    };
    RenderRequest told = request;
    told.temporaryMade = [&](const fs::path& temporary) {
        renders.made(render, temporary);
        if (request.temporaryMade)
            request.temporaryMade(temporary);
    };
    RenderOutcome written = ExportRun(song, told, cache, frames, progressOrEnd).run();
    renders.end(render);
    return written;
}

}  // namespace tromel::audio
