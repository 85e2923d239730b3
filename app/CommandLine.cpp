// Reading the editor's command line.
#include "app/CommandLine.h"

#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace tromel {
namespace {

constexpr const char* usageText =
    "usage: tromel [SONG.org ...]\n"
    "       tromel --help | --version\n"
    "\n"
    "Tromel edits and plays Organya music files. Each SONG.org named opens in a window of its own,\n"
    "as File > Open would open it; without songs the editor starts with no document.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n";

bool isOneOf(const char* argument, const char* shortName, const char* longName) {
    return std::strcmp(argument, shortName) == 0 || std::strcmp(argument, longName) == 0;
}

}  // namespace

std::optional<int> answerInformationRequest(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (isOneOf(argv[i], "-h", "--help")) {
            std::fputs(usageText, stdout);
            return 0;
        }
        if (isOneOf(argv[i], "-v", "--version")) {
            std::printf("tromel %s\n", TROMEL_VERSION);
            return 0;
        }
    }
    return std::nullopt;
}

SongArguments songArguments(const QStringList& arguments) {
    SongArguments result;
    bool optionsEnded = false;
    for (const QString& argument : arguments.mid(1)) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.startsWith('-') && argument != "-") {
            std::fprintf(stderr, "tromel: unknown option '%s'\n\n%s", qPrintable(argument), usageText);
            result.exitCode = 2;
            return result;
        }
        result.songs << QFileInfo(argument).absoluteFilePath();
    }
    return result;
}

}  // namespace tromel
