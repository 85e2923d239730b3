// tromel-cli render: plays a song offline, through the editor's own engine, into audio files.
#include "audio/playback/SongCompiler.h"
#include "audio/render/OfflineRender.h"
#include "audio/render/RenderFiles.h"
#include "audio/samples/SampleFolder.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/TemporaryFileGuard.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <system_error>

namespace tromel::cli {

namespace {

namespace fs = std::filesystem;

// How often the progress bar is redrawn, in rendered frames.
constexpr int64_t progressFrames = 4096 * 64;

struct Refusal {
    std::string reason;
};

long long parseWhole(const std::string& option, const std::string& text) {
    std::size_t used = 0;
    long long value = -1;
    try {
        value = std::stoll(text, &used);
    } catch (const std::exception&) {
    }
    if (used != text.size() || text.empty())
        throw UsageError{option + " takes a whole number, not '" + text + "'"};
    return value;
}

double parseNumber(const std::string& option, const std::string& text) {
    std::size_t used = 0;
    double value = std::nan("");
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
    }
    if (used != text.size() || !std::isfinite(value))
        throw UsageError{option + " takes a number, not '" + text + "'"};
    return value;
}

fs::path besideProgram() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return audio::findSampleFolder(error ? fs::current_path() : program.parent_path());
}

// The options that take a value, with what was given; the flags, given or not.
struct RenderArgs {
    std::map<std::string, std::string> values;
    bool ring = false;
    bool loopPoints = false;
    bool stems = false;
    std::vector<std::string> files;
};

RenderArgs splitRenderArgs(const std::vector<std::string>& args) {
    static const std::vector<std::string> valued{"--loops",   "--seconds", "--samples", "--format",
                                                 "--quality", "--bitrate", "--fade",    "--loudness"};
    RenderArgs split;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (std::find(valued.begin(), valued.end(), arg) != valued.end()) {
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a value"};
            split.values[arg] = args[++i];
        } else if (arg == "--ring") {
            split.ring = true;
        } else if (arg == "--loop-points") {
            split.loopPoints = true;
        } else if (arg == "--stems") {
            split.stems = true;
        } else if (arg.rfind("--", 0) == 0) {
            throw UsageError{"unknown option '" + arg + "'"};
        } else {
            split.files.push_back(arg);
        }
    }
    if (split.files.size() != 2)
        throw UsageError{"render takes a song and an output file"};
    if (split.values.count("--loops") && split.values.count("--seconds"))
        throw UsageError{"--loops and --seconds do not go together"};
    return split;
}

// The format, from --format or the output's extension; the quality and bit rate only where the
// format has them.
exchange::AudioEncoding encodingOf(const RenderArgs& args, const fs::path& output) {
    exchange::AudioEncoding encoding;
    const auto named = args.values.find("--format");
    const auto format = named != args.values.end() ? exchange::formatNamed(named->second)
                                                   : exchange::formatOfExtension(output.extension().string());
    if (!format && named != args.values.end())
        throw Refusal{"unknown format '" + named->second + "' (wav16, wav24, float, flac16, flac24, ogg or mp3)"};
    if (!format)
        throw Refusal{"cannot tell the format from '" + output.filename().string() +
                      "': name it .wav, .flac, .ogg or .mp3, or give --format"};
    encoding.format = *format;
    if (const auto quality = args.values.find("--quality"); quality != args.values.end()) {
        if (*format != exchange::AudioFormat::Ogg)
            throw Refusal{"--quality is for the ogg format only"};
        const long long value = parseWhole("--quality", quality->second);
        encoding.oggQuality = static_cast<int>(std::clamp<long long>(value, -1, 11));
    }
    if (const auto bitrate = args.values.find("--bitrate"); bitrate != args.values.end()) {
        if (*format != exchange::AudioFormat::Mp3)
            throw Refusal{"--bitrate is for the mp3 format only"};
        const long long value = parseWhole("--bitrate", bitrate->second);
        encoding.mp3Bitrate = static_cast<int>(std::clamp<long long>(value, 0, 100000));
    }
    return encoding;
}

audio::RenderRequest parseRenderArgs(const std::vector<std::string>& args) {
    const RenderArgs split = splitRenderArgs(args);
    audio::RenderRequest request;
    request.songFile = split.files[0];
    request.output = split.files[1];
    const auto value = [&split](const char* option) {
        const auto found = split.values.find(option);
        return found == split.values.end() ? std::optional<std::string>() : found->second;
    };
    if (const auto loops = value("--loops")) {
        request.loops = parseWhole("--loops", *loops);
        if (*request.loops < 0)
            throw UsageError{"--loops takes a whole number of 0 or more, not '" + *loops + "'"};
    }
    if (const auto seconds = value("--seconds")) {
        request.seconds = parseNumber("--seconds", *seconds);
        if (*request.seconds <= 0.0)
            throw UsageError{"--seconds takes a number above 0, not '" + *seconds + "'"};
    }
    request.sampleFolder = value("--samples").value_or("");
    if (request.sampleFolder.empty())
        request.sampleFolder = besideProgram();
    if (const auto fade = value("--fade"))
        request.fadeSeconds = parseNumber("--fade", *fade);
    if (const auto loudness = value("--loudness"))
        request.loudness = parseNumber("--loudness", *loudness);
    request.ring = split.ring;
    request.loopPoints = split.loopPoints;
    request.stems = split.stems;
    // Said before anything about the output's name: it is no output at all.
    if (files::isSameFile(files::systemFileSystem(), request.songFile, request.output))
        throw Refusal{request.output.string() + ": " + audio::songItselfText};
    request.encoding = encodingOf(split, request.output);
    return request;
}

bool showProgress(int64_t done, int64_t total) {
    if (done != total && done % progressFrames != 0)
        return true;
    const int width = 40;
    const int filled = total > 0 ? static_cast<int>(done * width / total) : width;
    std::fprintf(stderr, "\rRendering [%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(width - filled, ' ').c_str(), total > 0 ? static_cast<int>(done * 100 / total) : 100);
    if (done == total)
        std::fprintf(stderr, "\n");
    return true;
}

}  // namespace

int runRender(const std::vector<std::string>& args) {
    audio::RenderRequest request;
    try {
        request = parseRenderArgs(args);
    } catch (const Refusal& refusal) {
        std::cerr << "tromel-cli: " << refusal.reason << '\n';
        return exitFailure;
    }
    Song song;
    if (!loadOrReport(song, request.songFile))
        return exitFailure;
    // A render ended by a signal takes its unfinished files with it.
    TemporaryFileGuard guard;
    request.temporaryMade = [&guard](const std::filesystem::path& temporary) { guard.add(temporary); };
    const audio::RenderOutcome outcome =
        audio::renderSong(song, request, isatty(STDERR_FILENO) ? audio::RenderProgress(showProgress) : nullptr);
    for (const std::string& problem : outcome.problems)
        std::cerr << "tromel-cli: " << problem << '\n';
    if (outcome.written() && request.loudness && outcome.loudness)
        std::printf("%s\n", audio::describeLoudness(*outcome.loudness).c_str());
    return outcome.written() ? exitOk : exitFailure;
}

}  // namespace tromel::cli
