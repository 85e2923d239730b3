// The editor's command line: songs to open at start-up, or a question answered without a window.
#pragma once

#include <QStringList>

#include <optional>

namespace tromel {

// --help (-h) and --version (-v) print their answer on standard output and give exit code 0.
// They are looked for before anything touches the window system, so they work without a display.
std::optional<int> answerInformationRequest(int argc, char** argv);

struct SongArguments {
    QStringList songs;            // absolute paths, in the order given
    std::optional<int> exitCode;  // set when the program should end at once
};

// The arguments left once Qt has taken its own options (the first is the program): each one is a
// song, made absolute against the folder the program was started in; an unknown option is
// reported on standard error with exit code 2.
SongArguments songArguments(const QStringList& arguments);

}  // namespace tromel
