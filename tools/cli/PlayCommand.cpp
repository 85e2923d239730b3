// tromel-cli play: plays a song on the sound device through libtromel, with one status line and a few keys.
#include "tools/cli/CliCommand.h"
#include "tools/cli/SongDevice.h"
#include "tools/cli/TerminalKeys.h"

#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>

namespace tromel::cli {

namespace {

constexpr double seekSeconds = 5.0;
constexpr int refreshMilliseconds = 100;

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}

struct PlayArgs {
    std::string song;
    int loops = -1;
};

PlayArgs parsePlayArgs(const std::vector<std::string>& args) {
    PlayArgs parsed;
    bool haveSong = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--loops") {
            if (i + 1 >= args.size())
                throw UsageError{"--loops needs a value"};
            const std::string& text = args[++i];
            std::size_t used = 0;
            long long value = -1;
            try {
                value = std::stoll(text, &used);
            } catch (const std::exception&) {
            }
            if (text.empty() || used != text.size() || value < 0 || value > 1000000)
                throw UsageError{"--loops takes a whole number of 0 or more, not '" + text + "'"};
            parsed.loops = static_cast<int>(value);
        } else if (args[i].rfind("--", 0) == 0) {
            throw UsageError{"unknown option '" + args[i] + "'"};
        } else if (!haveSong) {
            parsed.song = args[i];
            haveSong = true;
        } else {
            throw UsageError{"play takes one song"};
        }
    }
    if (!haveSong)
        throw UsageError{"play takes one song"};
    return parsed;
}

std::string clock(double seconds) {
    if (std::isinf(seconds))
        return "\u221e";
    const long whole = std::lround(std::floor(seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

std::string statusLine(const std::string& name, double position, double duration, bool paused) {
    return name + "  " + clock(position) + " / " + clock(duration) + (paused ? "  (paused)" : "");
}

void installInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: the wait for a key ends at once.
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int runPlay(const std::vector<std::string>& args) {
    const PlayArgs parsed = parsePlayArgs(args);
    char reason[512];
    const std::unique_ptr<tromel_song, void (*)(tromel_song*)> song(
        tromel_song_load_file(parsed.song.c_str(), reason, sizeof reason), tromel_song_free);
    if (!song) {
        reportPathError(parsed.song, reason);
        return exitFailure;
    }
    SongDevice device(song.get(), parsed.loops);
    if (!device.ready()) {
        std::cerr << "tromel-cli: " << device.error() << "\n";
        return exitFailure;
    }
    installInterruptHandler();
    const std::string name = std::filesystem::path(parsed.song).filename().string();
    const double duration = tromel_song_duration(song.get(), parsed.loops);
    const bool liveStatus = isatty(STDOUT_FILENO);
    TerminalKeys keys;
    for (;;) {
        if (liveStatus) {
            std::cout << "\r\033[K" << statusLine(name, device.position(), duration, device.paused()) << std::flush;
        }
        if (interrupted || device.ended())
            break;
        const PlayKey key = keys.wait(refreshMilliseconds);
        if (key == PlayKey::Quit)
            break;
        if (key == PlayKey::Pause)
            device.setPaused(!device.paused());
        else if (key == PlayKey::Back)
            device.seekBy(-seekSeconds);
        else if (key == PlayKey::Forward)
            device.seekBy(seekSeconds);
    }
    if (!liveStatus)
        std::cout << statusLine(name, device.position(), duration, device.paused());
    std::cout << std::endl;
    return exitOk;
}

}  // namespace tromel::cli
