// tromel-cli render: plays a song offline, through the editor's own engine, into a WAV file.
#include "audio/playback/SongCompiler.h"
#include "audio/render/OfflineRender.h"
#include "audio/samples/SampleFolder.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/TemporaryFileGuard.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <system_error>

namespace tromel::cli {

namespace {

namespace fs = std::filesystem;

// How often the progress bar is redrawn, in rendered frames.
constexpr int64_t progressFrames = 4096 * 64;

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
    return audio::findSampleFolder(error ? fs::current_path() : program.parent_path());
}

audio::RenderRequest parseRenderArgs(const std::vector<std::string>& args) {
    audio::RenderRequest request;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--loops" || arg == "--seconds" || arg == "--samples";
        if (takesValue && i + 1 >= args.size())
            throw UsageError{arg + " needs a value"};
        if (arg == "--loops")
            request.loops = parseCount(args[++i]);
        else if (arg == "--seconds")
            request.seconds = parseSeconds(args[++i]);
        else if (arg == "--samples")
            request.sampleFolder = args[++i];
        else if (arg.rfind("--", 0) == 0)
            throw UsageError{"unknown option '" + arg + "'"};
        else
            files.push_back(arg);
    }
    if (files.size() != 2)
        throw UsageError{"render takes a song and an output file"};
    if (request.loops && request.seconds)
        throw UsageError{"--loops and --seconds do not go together"};
    request.songFile = files[0];
    request.output = files[1];
    if (request.sampleFolder.empty())
        request.sampleFolder = besideProgram();
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
    const audio::RenderRequest request = parseRenderArgs(args);
    Song song;
    if (!loadOrReport(song, request.songFile))
        return exitFailure;
    // A render ended by a signal takes its unfinished file with it.
    TemporaryFileGuard guard(audio::temporaryRenderPath(request.output));
    const audio::RenderOutcome outcome =
        audio::renderSong(song, request, isatty(STDERR_FILENO) ? audio::RenderProgress(showProgress) : nullptr);
    for (const std::string& problem : outcome.problems)
        std::cerr << "tromel-cli: " << problem << '\n';
    return outcome.written() ? exitOk : exitFailure;
}

}  // namespace tromel::cli
