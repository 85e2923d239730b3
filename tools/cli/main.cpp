// tromel-cli: inspect, resave, render and exchange Organya songs with the editor's own core.
#include "tools/cli/CliCommand.h"

#include <algorithm>
#include <cstring>
#include <iostream>

namespace {

constexpr const char* usageText =
    "usage: tromel-cli info SONG.org\n"
    "       tromel-cli resave IN.org OUT.org\n"
    "       tromel-cli render SONG.org OUT [--loops N | --seconds S] [--samples DIR] [--format F]\n"
    "                         [--quality Q] [--bitrate K] [--fade S] [--ring] [--loudness LUFS]\n"
    "                         [--loop-points] [--stems]\n"
    "       tromel-cli export-midi SONG.org OUT.mid\n"
    "       tromel-cli import-midi IN.mid OUT.org [--steps-per-beat N] [--chords spread|top]\n"
    "       tromel-cli play SONG.org [--loops N]\n"
    "\n"
    "  info     print the header, the sixteen channel settings and the note counts\n"
    "  resave   read a song and write it again\n"
    "  render   play a song offline into a 44100 Hz stereo audio file: from the start to the loop\n"
    "           end, then the loop once more (--loops N: N times), or exactly S seconds; the\n"
    "           samples come from \"Processed ORG Samples\" beside the program (installed: in\n"
    "           share/tromel/) unless --samples names another folder\n"
    "  export-midi  write a song as a Standard MIDI File (type 1, a track per channel)\n"
    "  import-midi  make a song from a MIDI file of type 0 or 1 as the editor's import does with\n"
    "           its defaults: N steps in the meter's beat (1 to 24; by default the fewest of\n"
    "           1 2 3 4 6 8 12 16 24 on which 99 % of the note starts stay put, else 4; a file\n"
    "           Tromel exported comes back on its own grid), chords spread over free channels\n"
    "           or reduced to their top note; what did not fit is counted on stderr\n"
    "  play     play a song on the sound device, looping until stopped (--loops N: the loop N more\n"
    "           times, then end), with the song, the position and the duration on one line; on a\n"
    "           terminal Space pauses, Left and Right seek 5 s and q quits\n"
    "\n"
    "render options:\n"
    "  --format F        wav16 wav24 float flac16 flac24 ogg mp3; without it, the output's\n"
    "                    extension: .wav 16-bit WAV, .flac 16-bit FLAC, .ogg, .mp3\n"
    "  --quality Q       Ogg Vorbis quality 0 to 10 (6)\n"
    "  --bitrate K       MP3 constant bit rate in kbit/s, 32 to 320 as LAME offers them (256)\n"
    "  --fade S          fade out over the last S seconds\n"
    "  --ring            after the last step, let the sounding notes ring out (at most 10 s)\n"
    "  --loudness LUFS   normalise to this integrated loudness (-70 to 0), true peak under -1 dBTP\n"
    "  --loop-points     mark the last pass as the file's loop (WAV smpl; FLAC and Ogg\n"
    "                    LOOPSTART and LOOPLENGTH comments)\n"
    "  --stems           OUT-instrument1.EXT .. OUT-drum8.EXT, one file per channel with notes\n";

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>&);
};

constexpr Command commands[] = {
    {"info", tromel::cli::runInfo},
    {"resave", tromel::cli::runResave},
    {"render", tromel::cli::runRender},
    {"export-midi", tromel::cli::runExportMidi},
    {"import-midi", tromel::cli::runImportMidi},
    {"play", tromel::cli::runPlay},
};

bool asksForHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(), [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tromel::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && asksForHelp({args.front()})) {
        std::cout << usageText;
        return exitOk;
    }
    if (args.empty()) {
        std::cerr << usageText;
        return exitUsage;
    }
    const std::vector<std::string> commandArgs(args.begin() + 1, args.end());
    for (const Command& command : commands) {
        if (args.front() != command.name)
            continue;
        if (asksForHelp(commandArgs)) {
            std::cout << usageText;
            return exitOk;
        }
        try {
            return command.run(commandArgs);
        } catch (const UsageError& error) {
            std::cerr << "tromel-cli: " << error.message << "\n\n" << usageText;
            return exitUsage;
        }
    }
    std::cerr << "tromel-cli: unknown command '" << args.front() << "'\n\n" << usageText;
    return exitUsage;
}
