// tromel-cli: inspect, resave, render and exchange Organya songs with the editor's own core.
#include "tools/cli/CliCommand.h"

#include <cstring>
#include <iostream>

namespace {

constexpr const char* usageText =
    "usage: tromel-cli info SONG.org\n"
    "       tromel-cli resave IN.org OUT.org\n"
    "       tromel-cli render SONG.org OUT.wav [--loops N | --seconds S] [--samples DIR]\n"
    "       tromel-cli export-midi SONG.org OUT.mid\n"
    "       tromel-cli import-midi IN.mid OUT.org [--steps-per-beat N] [--chords spread|top]\n"
    "\n"
    "  info     print the header, the sixteen channel settings and the note counts\n"
    "  resave   read a song and write it again\n"
    "  render   play a song offline into a 44100 Hz 16-bit stereo WAV file: from the start to the\n"
    "           loop end, then the loop once more (--loops N: N times), or exactly S seconds;\n"
    "           the samples come from \"Processed ORG Samples\" beside the program (installed:\n"
    "           in share/tromel/) unless --samples names another folder\n"
    "  export-midi  write a song as a Standard MIDI File (type 1, a track per channel)\n"
    "  import-midi  make a song from a MIDI file of type 0 or 1 as the editor's import does with\n"
    "           its defaults: N steps per beat (1 to 24; default division / 96 when whole, else\n"
    "           4), chords spread over free channels or reduced to their top note; what did\n"
    "           not fit is counted on stderr\n";

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
};

}  // namespace

int main(int argc, char** argv) {
    using namespace tromel::cli;
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << usageText;
        return exitOk;
    }
    if (argc < 2) {
        std::cerr << usageText;
        return exitUsage;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const Command& command : commands) {
        if (std::strcmp(argv[1], command.name) != 0)
            continue;
        try {
            return command.run(args);
        } catch (const UsageError& error) {
            std::cerr << "tromel-cli: " << error.message << "\n\n" << usageText;
            return exitUsage;
        }
    }
    std::cerr << "tromel-cli: unknown command '" << argv[1] << "'\n\n" << usageText;
    return exitUsage;
}
