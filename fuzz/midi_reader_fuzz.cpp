// Fuzzes the MIDI reader and the import behind it: whatever the reader accepts must write and read
// back the same, and import into a song that the song writer and reader take.
#include "exchange/MidiImport.h"
#include "exchange/MidiReader.h"
#include "exchange/MidiWriter.h"
#include "song/OrgFile.h"

#include <cstdlib>

using namespace tromel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const exchange::MidiReadResult read = exchange::readMidiBytes({data, size});
    if (!read.ok())
        return 0;
    const exchange::MidiReadResult again = exchange::readMidiBytes(exchange::writeMidiBytes(read.file));
    if (!again.ok() || !(again.file == read.file))
        std::abort();
    const auto parts = exchange::findMidiParts(read.file);
    exchange::MidiImportPlan plan = exchange::defaultImportPlan(read.file, parts);
    plan.chords = size % 2 ? exchange::ChordPolicy::Top : exchange::ChordPolicy::Spread;
    if (size % 3 == 0)
        plan.stepsPerBeat = static_cast<int>(size % 256);  // beyond the grids offered too: the import bounds it
    const exchange::MidiImportResult imported = exchange::midiToSong(read.file, parts, plan);
    Song back;
    if (!readOrgBytes(writeOrgBytes(imported.song), back).ok())
        std::abort();
    return 0;
}
