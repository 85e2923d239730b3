// MIDI exchange at its largest: importing a 6,000-note file (read, parts, plan, song) and exporting
// a song of 16 × 32,767 notes (song to MIDI file and bytes).
#include "exchange/MidiExport.h"
#include "exchange/MidiImport.h"
#include "exchange/MidiReader.h"
#include "exchange/MidiWriter.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tromel;

// Eight melodic parts and a drum part of 4 drums, 6,000 notes in all, with chords, pans and volumes,
// as a DAW writes them (division 480).
std::vector<uint8_t> sixThousandNoteFile() {
    exchange::MidiFile file;
    file.division = 480;
    for (int part = 0; part < 10; ++part) {
        exchange::MidiTrack track;
        const int channel = part < 9 ? part : 9;
        for (int n = 0; n < 600; ++n) {
            const auto tick = static_cast<uint32_t>(120 * n);
            const int key = channel == 9 ? 36 + 2 * (n % 4) : 40 + (n * 7 + part) % 40;
            if (n % 16 == 0)
                track.events.push_back(exchange::MidiEvent::channelMessage(tick, exchange::midi::controlChange, channel,
                                                                           n % 32 ? 10 : 7, n % 128));
            track.events.push_back(exchange::MidiEvent::channelMessage(tick, exchange::midi::noteOn, channel, key, 90));
            track.events.push_back(
                exchange::MidiEvent::channelMessage(tick + 100, exchange::midi::noteOff, channel, key, 0));
        }
        track.endTick = track.events.back().tick;
        file.tracks.push_back(track);
    }
    return exchange::writeMidiBytes(file);
}

void BM_ImportSixThousandNotes(benchmark::State& state) {
    const std::vector<uint8_t> bytes = sixThousandNoteFile();
    for (auto _ : state) {
        const exchange::MidiReadResult read = exchange::readMidiBytes(bytes);
        const auto parts = exchange::findMidiParts(read.file);
        const auto imported = exchange::midiToSong(read.file, parts, exchange::defaultImportPlan(read.file, parts));
        benchmark::DoNotOptimize(imported.summary.imported);
    }
}
BENCHMARK(BM_ImportSixThousandNotes)->Unit(benchmark::kMillisecond);

void BM_ExportFullSong(benchmark::State& state) {
    constexpr int32_t full = 32767;
    Song song;
    for (int kind = 0; kind < 2; ++kind) {
        song.notes(kind).grow(full);
        for (int ch = 0; ch < 8; ++ch)
            for (int32_t slot = 1; slot <= full; ++slot)
                song.notes(kind).at(ch, slot) = {2 * slot - 1, 1 + (slot * 7 + ch) % 96, 1 + slot % 3,
                                                 static_cast<int16_t>(slot % 13), static_cast<int16_t>(slot % 255)};
    }
    song.loopEnd = 2 * full;
    for (auto _ : state) {
        const exchange::MidiExportResult exported = exchange::songToMidi(song);
        benchmark::DoNotOptimize(exchange::writeMidiBytes(exported.file).size());
    }
}
BENCHMARK(BM_ExportFullSong)->Unit(benchmark::kMillisecond);

}  // namespace
