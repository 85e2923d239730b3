// Tidying a full channel, one drag step over a full table and the passage operations on a full
// channel, the costliest edits of the roll.
#include "roll/NoteEditor.h"
#include "roll/NoteTableOps.h"
#include "roll/PassageEditor.h"

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

// A tidy full channel 0 with a note on every other column, keys away from the keyboard's ends.
tromel::Song fullTidyChannel(tromel::EditState& edit) {
    tromel::Song song;
    song.instrumentNotes.grow(tromel::roll::maxChannelNotes);
    for (int32_t slot = 1; slot <= tromel::roll::maxChannelNotes; ++slot)
        song.instrumentNotes.at(0, slot) = {2 * slot, 40 + slot % 12, 1, 6, 166};
    edit.noteCounts[0][0] = tromel::roll::maxChannelNotes;
    return song;
}

// 1,000 notes from the middle of the channel, up and down or right and left in turn.
void BM_TransposeAndMoveSelection(benchmark::State& state) {
    tromel::EditState edit;
    tromel::Song song = fullTidyChannel(edit);
    tromel::roll::PassageEditor editor(song, edit);
    std::vector<int32_t> slots(1000);
    for (int32_t i = 0; i < 1000; ++i)
        slots[static_cast<std::size_t>(i)] = 10001 + i;
    tromel::roll::NoteSelection selection(0, 0, slots);
    const bool transposing = state.range(0) == 0;
    int32_t direction = 1;
    for (auto _ : state) {
        const tromel::roll::PassageEdit done =
            transposing ? editor.transpose(selection, direction) : editor.move(selection, direction, 0);
        if (!done.changed)
            state.SkipWithError("the operation was refused");
        selection = done.selection;
        direction = -direction;
    }
}
BENCHMARK(BM_TransposeAndMoveSelection)->ArgName("move")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Select all, copy through the clipboard's bytes and paste over the same notes.
void BM_SelectAllCopyPasteFullChannel(benchmark::State& state) {
    tromel::EditState edit;
    const tromel::Song full = fullTidyChannel(edit);
    const tromel::EditState fullEdit = edit;
    tromel::Song song = full;
    for (auto _ : state) {
        state.PauseTiming();
        song = full;
        edit = fullEdit;
        state.ResumeTiming();
        tromel::roll::PassageEditor editor(song, edit);
        const auto bytes = editor.copy(tromel::roll::selectAll(song, edit)).toBytes();
        const auto read = tromel::roll::NoteClip::fromBytes(bytes);
        if (!editor.paste(read.clip, 2).changed)
            state.SkipWithError("the paste was refused");
    }
}
BENCHMARK(BM_SelectAllCopyPasteFullChannel)->Unit(benchmark::kMillisecond);

}  // namespace
