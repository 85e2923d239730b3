// tromel-cli render: plays a song offline, through the editor's own engine, into a WAV file.
#include "audio/KeyFrequency.h"
#include "audio/MixerAudioLayer.h"
#include "audio/SongCompiler.h"
#include "audio/Transport.h"
#include "tools/cli/CliCommand.h"

#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <system_error>

namespace tromel::cli {

namespace {

namespace fs = std::filesystem;

// Beyond three hours a 16-bit stereo WAV nears its 4 GB limit, and nobody meant it.
constexpr double longestRenderSeconds = 3 * 60 * 60;
constexpr int blockFrames = 4096;

struct RenderOptions {
    fs::path song;
    fs::path output;
    std::optional<long long> loops;
    std::optional<double> seconds;
    fs::path samples;
};

long long parseCount(const std::string& text) {
    std::size_t used = 0;
    long long value = -1;
    try {
        value = std::stoll(text, &used);
    } catch (const std::exception&) {
    }
    if (used != text.size() || value < 0)
        throw UsageError{"--loops takes a whole number of 0 or more, not '" + text + "'"};
    return value;
}

double parseSeconds(const std::string& text) {
    std::size_t used = 0;
    double value = -1.0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
    }
    if (used != text.size() || !std::isfinite(value) || value <= 0.0)
        throw UsageError{"--seconds takes a number above 0, not '" + text + "'"};
    return value;
}

fs::path besideProgram() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return (error ? fs::current_path() : program.parent_path()) / audio::sampleFolderName;
}

RenderOptions parseRenderArgs(const std::vector<std::string>& args) {
    RenderOptions options;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--loops" || arg == "--seconds" || arg == "--samples";
        if (takesValue && i + 1 >= args.size())
            throw UsageError{arg + " needs a value"};
        if (arg == "--loops")
            options.loops = parseCount(args[++i]);
        else if (arg == "--seconds")
            options.seconds = parseSeconds(args[++i]);
        else if (arg == "--samples")
            options.samples = args[++i];
        else if (arg.rfind("--", 0) == 0)
            throw UsageError{"unknown option '" + arg + "'"};
        else
            files.push_back(arg);
    }
    if (files.size() != 2)
        throw UsageError{"render takes a song and an output file"};
    if (options.loops && options.seconds)
        throw UsageError{"--loops and --seconds do not go together"};
    options.song = files[0];
    options.output = files[1];
    if (options.samples.empty())
        options.samples = besideProgram();
    return options;
}

// What the compile shows, as the command line shows it.
class CliHost : public audio::TransportHost {
public:
    explicit CliHost(const audio::AudioLayer& layer) : m_layer(layer) {}
    void setProgressMaximum(int32_t) override {}
    void setProgress(int32_t) override {}
    void setStatusText(const std::string&) override {}
    void showChannelStatus() override {}
    void showAudioError(const std::string& text) override {
        std::cerr << "tromel-cli: " << text << " (error code: " << m_layer.lastError() << ")\n";
    }
    void showPlayRefusal(const std::string& reason) override { std::cerr << "tromel-cli: " << reason << '\n'; }

private:
    const audio::AudioLayer& m_layer;
};

// The frames to render, or nothing (with the reason on stderr) when it would be absurdly long.
std::optional<int64_t> renderLength(const Song& song, const RenderOptions& options) {
    // By default: from the start to the loop end, then the loop once more (or --loops times).
    const long double loops = static_cast<long double>(options.loops.value_or(1));
    const long double steps = song.loopEnd + loops * (song.loopEnd - song.loopBegin);
    const long double seconds =
        options.seconds ? static_cast<long double>(*options.seconds) : steps * song.tempo / 1000.0L;
    if (seconds > longestRenderSeconds) {
        std::cerr << "tromel-cli: the render would last " << static_cast<double>(seconds / 3600.0L)
                  << " hours; the limit is " << longestRenderSeconds / 3600 << " (choose --seconds or fewer --loops)\n";
        return std::nullopt;
    }
    if (options.seconds)
        return static_cast<int64_t>(std::llround(*options.seconds * audio::outputRate));
    // The last step lasts until the step after it would start.
    return audio::stepFrame(static_cast<int64_t>(steps) + 1, song.tempo);
}

void showProgress(int64_t done, int64_t total) {
    const int width = 40;
    const int filled = total > 0 ? static_cast<int>(done * width / total) : width;
    std::fprintf(stderr, "\rRendering [%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(width - filled, ' ').c_str(), total > 0 ? static_cast<int>(done * 100 / total) : 100);
    if (done == total)
        std::fprintf(stderr, "\n");
}

// Renders into a temporary file beside the target and renames it over the target when whole.
bool writeRender(audio::MixerAudioLayer& layer, int64_t frames, const fs::path& output) {
    const fs::path temporary = output.string() + ".tmp-" + std::to_string(getpid());
    SF_INFO info{};
    info.samplerate = audio::outputRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
    if (!file) {
        reportPathError(output, sf_strerror(nullptr));
        return false;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const bool progress = isatty(STDERR_FILENO);
    std::vector<float> block(2 * blockFrames);
    // What leaves the mixer lags by its latency: the frames before the compile's sound are not written.
    layer.renderFrames(block.data(), audio::Mixer::latencyFrames);
    bool ok = true;
    for (int64_t done = 0; done < frames && ok;) {
        const int n = static_cast<int>(std::min<int64_t>(blockFrames, frames - done));
        layer.renderFrames(block.data(), n);
        ok = sf_writef_float(file, block.data(), n) == n;
        done += n;
        if (progress && (done == frames || done % (blockFrames * 64) == 0))
            showProgress(done, frames);
    }
    const std::string writeError = ok ? "" : sf_strerror(file);
    ok = sf_close(file) == 0 && ok;
    std::error_code error;
    if (ok)
        fs::rename(temporary, output, error);
    if (!ok || error) {
        reportPathError(output, ok ? error.message() : (writeError.empty() ? "write failed" : writeError));
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace

int runRender(const std::vector<std::string>& args) {
    const RenderOptions options = parseRenderArgs(args);
    Song song;
    if (!loadOrReport(song, options.song))
        return exitFailure;
    if (const auto reason = audio::playRefusal(song)) {
        std::cerr << "tromel-cli: " << *reason << '\n';
        return exitFailure;
    }
    std::error_code error;
    if (!fs::is_directory(options.samples, error)) {
        reportPathError(options.samples, "no such sample folder");
        return exitFailure;
    }
    const std::optional<int64_t> frames = renderLength(song, options);
    if (!frames)
        return exitFailure;
    audio::MixerAudioLayer layer;
    layer.setMaxVolume(audio::largestVolume);
    layer.initDevice(audio::outputRate);
    CliHost host(layer);
    audio::Transport transport(layer, options.samples);
    // Frame 0 of the file is the compile, so the note at file step s starts at step s + 1's frame.
    if (!transport.play(song, host))
        return exitFailure;
    return writeRender(layer, *frames, options.output) ? exitOk : exitFailure;
}

}  // namespace tromel::cli
