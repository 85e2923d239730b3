// tromel-cli export-midi and import-midi.
#include "exchange/MidiExport.h"
#include "exchange/MidiImport.h"
#include "exchange/MidiReader.h"
#include "exchange/MidiWriter.h"
#include "tools/cli/CliCommand.h"

#include <iostream>
#include <optional>

namespace tromel::cli {
namespace {

namespace fs = std::filesystem;

bool isSameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::exists(a, error) && fs::exists(b, error) && fs::equivalent(a, b, error);
}

bool refuseSameFile(const fs::path& input, const fs::path& output) {
    if (!isSameFile(input, output))
        return false;
    reportPathError(output, "this is the input file itself; choose another output file");
    return true;
}

int parseStepsPerBeat(const std::string& text) {
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
    }
    if (used != text.size() || value < 1 || value > exchange::largestImportStepsPerBeat)
        throw UsageError{"--steps-per-beat takes a whole number from 1 to 24, not '" + text + "'"};
    return value;
}

exchange::ChordPolicy parseChords(const std::string& text) {
    if (text == "spread")
        return exchange::ChordPolicy::Spread;
    if (text == "top")
        return exchange::ChordPolicy::Top;
    throw UsageError{"--chords takes spread or top, not '" + text + "'"};
}

}  // namespace

int runExportMidi(const std::vector<std::string>& args) {
    if (args.size() != 2)
        throw UsageError{"export-midi takes a song and a MIDI file to write"};
    Song song;
    if (!loadOrReport(song, args[0]) || refuseSameFile(args[0], args[1]))
        return exitFailure;
    const exchange::MidiExportResult exported = exchange::songToMidi(song);
    if (!exported.ok()) {
        reportPathError(args[0], exported.error);
        return exitFailure;
    }
    const SaveResult saved = exchange::saveMidiFile(exported.file, args[1]);
    if (!saved.ok) {
        reportPathError(args[1], saved.reason);
        return exitFailure;
    }
    return exitOk;
}

int runImportMidi(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    std::optional<int> stepsPerBeat;
    exchange::ChordPolicy chords = exchange::ChordPolicy::Spread;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--steps-per-beat" || arg == "--chords";
        if (takesValue && i + 1 >= args.size())
            throw UsageError{arg + " needs a value"};
        if (arg == "--steps-per-beat")
            stepsPerBeat = parseStepsPerBeat(args[++i]);
        else if (arg == "--chords")
            chords = parseChords(args[++i]);
        else if (arg.starts_with("--"))
            throw UsageError{"unknown option '" + arg + "'"};
        else
            files.push_back(arg);
    }
    if (files.size() != 2)
        throw UsageError{"import-midi takes a MIDI file and a song to write"};
    const exchange::MidiReadResult read = exchange::loadMidiFile(files[0]);
    if (!read.ok()) {
        reportPathError(files[0], read.error);
        return exitFailure;
    }
    if (refuseSameFile(files[0], files[1]))
        return exitFailure;
    const std::vector<exchange::MidiPart> parts = exchange::findMidiParts(read.file);
    exchange::MidiImportPlan plan = exchange::defaultImportPlan(read.file, parts);
    plan.stepsPerBeat = stepsPerBeat.value_or(plan.stepsPerBeat);
    plan.chords = chords;
    const exchange::MidiImportResult imported = exchange::midiToSong(read.file, parts, plan);
    const SaveResult saved = saveOrgFile(imported.song, files[1]);
    if (!saved.ok) {
        reportPathError(files[1], saved.reason);
        return exitFailure;
    }
    for (const std::string& line : imported.summary.lines())
        std::cerr << line << '\n';
    return exitOk;
}

}  // namespace tromel::cli
