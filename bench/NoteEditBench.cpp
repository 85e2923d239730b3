// Tidying a full channel and one drag step over a full table, the costliest edits of the roll.
#include "roll/NoteEditor.h"
#include "roll/NoteTableOps.h"

#include <benchmark/benchmark.h>

namespace {

// Every channel full, positions in descending order so the sort has all of its work to do.
tromel::Song fullSong() {
    tromel::Song song;
    song.instrumentNotes.grow(tromel::roll::maxChannelNotes);
    for (int ch = 0; ch < tromel::NoteTable::channelCount; ++ch)
        for (int32_t slot = 1; slot <= tromel::roll::maxChannelNotes; ++slot)
            song.instrumentNotes.at(ch, slot) = {40000 - slot, 1 + slot % 96, 1, 6, 166};
    return song;
}

void BM_SortFullChannel(benchmark::State& state) {
    const tromel::Song song = fullSong();
    for (auto _ : state) {
        state.PauseTiming();
        tromel::NoteTable table = song.instrumentNotes;
        state.ResumeTiming();
        int16_t count = 0;
        tromel::roll::sortNotes(table, 0, count);
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_SortFullChannel)->Unit(benchmark::kMillisecond);

void BM_PaintDragOverFullTable(benchmark::State& state) {
    tromel::Song song = fullSong();
    tromel::EditState edit;
    edit.noteCounts[0].fill(tromel::roll::maxChannelNotes);
    tromel::roll::NoteEditor editor(song, edit);
    const tromel::roll::MouseButtons left{true, false, false};
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.move(left, 200.0, 440.0, 452).redraw);
}
BENCHMARK(BM_PaintDragOverFullTable)->Unit(benchmark::kMillisecond);

}  // namespace
