// Reading and writing a song of 16 channels x 2,000 notes.
#include "song/OrgFile.h"

#include <benchmark/benchmark.h>

namespace {

tromel::Song denseSong() {
    tromel::Song song;
    for (int kind = 0; kind < 2; ++kind) {
        tromel::NoteTable& table = song.notes(kind);
        table.grow(2000);
        for (int ch = 0; ch < 8; ++ch)
            for (int slot = 1; slot <= 2000; ++slot)
                table.at(ch, slot) = {slot * 2, 1 + (slot + ch) % 96, 1 + slot % 8, 6, 166};
    }
    return song;
}

void BM_WriteOrgBytes(benchmark::State& state) {
    const tromel::Song song = denseSong();
    for (auto _ : state)
        benchmark::DoNotOptimize(tromel::writeOrgBytes(song));
}
BENCHMARK(BM_WriteOrgBytes)->Unit(benchmark::kMicrosecond);

void BM_ReadOrgBytes(benchmark::State& state) {
    const auto bytes = tromel::writeOrgBytes(denseSong());
    for (auto _ : state) {
        tromel::Song song;
        benchmark::DoNotOptimize(tromel::readOrgBytes(bytes, song));
    }
}
BENCHMARK(BM_ReadOrgBytes)->Unit(benchmark::kMicrosecond);

}  // namespace
