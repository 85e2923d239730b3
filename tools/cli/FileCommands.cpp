// tromel-cli info and resave.
#include "song/DrumSet.h"
#include "tools/cli/CliCommand.h"

#include <cstdio>
#include <iostream>

namespace tromel::cli {

void reportPathError(const std::filesystem::path& path, const std::string& reason) {
    std::cerr << "tromel-cli: " << path.string() << ": " << reason << '\n';
}

bool loadOrReport(Song& song, const std::filesystem::path& path) {
    const LoadResult result = loadOrgFile(song, path);
    switch (result.status) {
        case LoadStatus::Read:
            if (const std::string unknown = unknownDrumsText(song); !unknown.empty())
                reportPathError(path, unknown);
            return true;
        case LoadStatus::NotOrganya:
            std::cerr << invalidOrgMessage << '\n';
            return false;
        case LoadStatus::Unreadable:
            reportPathError(path, result.reason);
            return false;
    }
    return false;
}

namespace {

void printChannels(const char* title, const std::array<ChannelSettings, 8>& channels, const NoteTable& notes) {
    std::printf("%-11s  ch  frequency  wave  pi   file notes  live notes\n", title);
    for (int ch = 0; ch < 8; ++ch) {
        const ChannelSettings& c = channels[ch];
        std::printf("%-11s  %2d  %9d  %4d  %-3s  %10d  %10d\n", "", ch + 1, c.frequency, c.wave, c.pi ? "yes" : "no",
                    c.noteCount, notes.liveCount(ch));
    }
}

}  // namespace

int runInfo(const std::vector<std::string>& args) {
    if (args.size() != 1)
        throw UsageError{"info takes one file"};
    Song song;
    if (!loadOrReport(song, args[0]))
        return exitFailure;
    std::printf("File            %s\n", args[0].c_str());
    std::printf("Tempo           %d ms per step\n", song.tempo);
    std::printf("Steps per Bar   %d\n", song.stepsPerBar);
    std::printf("Beats per Step  %d\n", song.beatsPerStep);
    std::printf("Loop            %d to %d\n", song.loopBegin, song.loopEnd);
    std::printf("Notes           %d instrument, %d drum\n\n", song.instrumentNotes.liveCount(),
                song.drumNotes.liveCount());
    printChannels("Instruments", song.instruments, song.instrumentNotes);
    std::printf("\n");
    printChannels("Drums", song.drums, song.drumNotes);
    return exitOk;
}

int runResave(const std::vector<std::string>& args) {
    if (args.size() != 2)
        throw UsageError{"resave takes an input and an output file"};
    Song song;
    if (!loadOrReport(song, args[0]))
        return exitFailure;
    // Nobody is there to ask whether another program's changes may go: the file is written as told.
    const SaveResult saved = saveOrgFile(song, args[1]);
    if (!saved.ok) {
        reportPathError(args[1], saved.reason);
        return exitFailure;
    }
    return exitOk;
}

}  // namespace tromel::cli
